#pragma once
// The soft counter reset dialog: resets the gateway's soft counters of a
// word or bit terminal address, a block at a time or one counter at a time.
#include "tools/softcntr/SoftCounterMap.h"
#include <QDialog>
#include <functional>

namespace Ui { class TfrmSoftCntr; }
class QLineEdit;
class GatewayLink;

class TfrmSoftCntr : public QDialog {
    Q_OBJECT
public:
    // monitor reads the monitor's addresses and terminal type as they are
    // now (none: addresses 0 and the first terminal type).
    using MonitorSource = std::function<softcounter::MonitorAddresses()>;
    TfrmSoftCntr(GatewayLink &link, MonitorSource monitor, QWidget *parent = nullptr);
    ~TfrmSoftCntr() override;

    // Recomputes the register and coil numbers shown (also run by the main
    // window's menu item before it shows the dialog), and tells the coil of
    // the monitor's bit address.
    void UpdateResetAddresses();

signals:
    // The coil number of the monitor's bit address (its bit output label).
    void monitorBitCoil(int coil);

public slots:
    void FormCreate();
    void seWordAdrsChange();
    void seBitAdrsChange();
    void btnWBcntRstClick();
    void Button2Click();
    void btnBBcntRstClick();
    void Button3Click();

private:
    // The reference number in an edit, converted; reported when it is not a
    // number or lies outside the protocol's address range.
    bool referenceNumber(QLineEdit *edit, int base, int *protocolAddress);
    softcounter::MonitorAddresses monitor() const;

    Ui::TfrmSoftCntr *ui;
    GatewayLink &m_link;
    MonitorSource m_monitor;
};
