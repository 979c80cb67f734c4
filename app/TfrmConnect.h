#pragma once
#include <QDialog>

namespace Ui { class TfrmConnect; }

// The connection dialog: the Modbus/TCP target, the connection state text
// (the one place the tool keeps it) and the byte count of the last read.
class TfrmConnect : public QDialog {
    Q_OBJECT
public:
    explicit TfrmConnect(QWidget *parent = nullptr);
    ~TfrmConnect() override;

    Ui::TfrmConnect *ui;

    QString statusText() const;
    void setStatusText(const QString &text);

public slots:
    void FormCreate();
    void btnCONNClick();
    void btnDISCONNClick();
    void btnHOSTClick();
    void BitBtn1Click();
};
