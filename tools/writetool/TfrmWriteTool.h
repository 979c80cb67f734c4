#pragma once
// The arbitrary write dialog: one 16-bit or 32-bit value into holding
// registers, or ON/OFF into one coil, anywhere in the writable areas.
#include <QDialog>

namespace Ui { class TfrmWriteTool; }

class TfrmWriteTool : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWriteTool(QWidget *parent = nullptr);
    ~TfrmWriteTool() override;

    Ui::TfrmWriteTool *ui;

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
};
