#pragma once
// The module information dialog: versions, switches, transmission mode and
// MAC address of the gateway, and the alarm reset.
#include <QDialog>

namespace Ui { class TfrmModInfo; }
struct ReceiveBuffer;

class TfrmModInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmModInfo(QWidget *parent = nullptr);
    ~TfrmModInfo() override;

    Ui::TfrmModInfo *ui;

    // Decoders of the three answers (tags 1, 2 and 3). Each sets only the
    // fields whose bytes the answer holds; the others keep their texts.
    void ShowModuleWords(const ReceiveBuffer &rb);
    void ShowLoginMode(const ReceiveBuffer &rb);
    void ShowRotarySwitch(const ReceiveBuffer &rb);

public slots:
    void Button1Click();
    void Button2Click();
    void btnAlmRestClick();
};
