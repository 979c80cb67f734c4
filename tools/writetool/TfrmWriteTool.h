#pragma once
// The arbitrary write dialog: one 16-bit or 32-bit value into holding
// registers, or ON/OFF into one coil, anywhere in the writable areas.
#include <QDialog>

namespace Ui { class TfrmWriteTool; }
class GatewayLink;

class TfrmWriteTool : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWriteTool(GatewayLink &link, QWidget *parent = nullptr);
    ~TfrmWriteTool() override;

public slots:
    void cbxModbusAreaSelChange();
    void seWRAdrsChange();
    void RadioGroup1Click();
    void btnWRTClick();
    void btnONClick();
    void btnOFFClick();

private:
    // The address of the spin edit: its text, or the lowest address of the
    // range when the text is not a number.
    int currentAddress() const;
    void writeCoil(bool on);

    Ui::TfrmWriteTool *ui;
    GatewayLink &m_link;
};
