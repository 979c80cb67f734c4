#pragma once
// The ladder console: the frame of a monitor and write console for the
// gateway's ladder memory. Its working part converts a W memory address
// into the Modbus reference number that holds it; nothing is sent.
#include <QDialog>

namespace Ui { class TfrmLadderConsole; }

class TfrmLadderConsole : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLadderConsole(QWidget *parent = nullptr);
    ~TfrmLadderConsole() override;

public slots:
    void edWad1Change();

private:
    Ui::TfrmLadderConsole *ui;
};
