#pragma once
// The module information dialog: versions, switches, transmission mode and
// MAC address of the gateway, and the alarm reset.
#include "link/Sequence.h"
#include <QDialog>
#include <QCoro/QCoroTask>
#include <functional>

namespace Ui { class TfrmModInfo; }
struct ReceiveBuffer;
struct ModuleInfoFields;
class GatewayLink;

class TfrmModInfo : public QDialog {
    Q_OBJECT
public:
    // gatewayIsRm2 tells the gateway type chosen on the monitor ("RM2.x"
    // keeps the MAC bytes in order).
    TfrmModInfo(GatewayLink &link, std::function<bool()> gatewayIsRm2, QWidget *parent = nullptr);
    ~TfrmModInfo() override;

    // Decoders of the three answers (tags 1, 2 and 3). Each sets only the
    // fields whose bytes the answer holds; the others keep their texts.
    void ShowModuleWords(const ReceiveBuffer &rb);
    void ShowLoginMode(const ReceiveBuffer &rb);
    void ShowRotarySwitch(const ReceiveBuffer &rb);

    // The three reads, each sent after the answer to the one before and
    // each answer shown as it comes; a read not answered (the response
    // timeout or the connection's loss) ends the sequence, and a warning
    // says so. Returns at the first wait; "更新" is disabled until the end.
    // Closing the dialog ends the reads without a warning.
    QCoro::Task<> RequestModuleInfo();
    bool isRequesting() const { return m_sequence.isRunning(); }

public slots:
    void Button1Click();
    void Button2Click();
    void btnAlmRestClick();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void showFields(const ModuleInfoFields &fields);

    Ui::TfrmModInfo *ui;
    GatewayLink &m_link;
    std::function<bool()> m_gatewayIsRm2;
    Sequence m_sequence;
};
