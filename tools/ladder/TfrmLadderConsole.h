#pragma once
#include <QDialog>

namespace Ui { class TfrmLadderConsole; }

class TfrmLadderConsole : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLadderConsole(QWidget *parent = nullptr);
    ~TfrmLadderConsole() override;

    Ui::TfrmLadderConsole *ui;
};
