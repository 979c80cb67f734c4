#pragma once
// The soft counter reset dialog: resets the gateway's soft counters of a
// word or bit terminal address, a block at a time or one counter at a time.
#include <QDialog>

namespace Ui { class TfrmSoftCntr; }
class QLineEdit;

class TfrmSoftCntr : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSoftCntr(QWidget *parent = nullptr);
    ~TfrmSoftCntr() override;

    Ui::TfrmSoftCntr *ui;

    // Recomputes the register and coil numbers shown (also run by the main
    // window's menu item before it shows the dialog).
    void UpdateResetAddresses();

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
};
