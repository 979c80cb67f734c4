#include "tools/writetool/TfrmWriteTool.h"
#include <QCoreApplication>
#include "app/MessageBoxes.h"
#include "link/GatewayLink.h"
#include "monitor/TextNumbers.h"
#include "tools/writetool/WriteAreas.h"
#include "ui_TfrmWriteTool.h"
#include <QLineEdit>

namespace {
QString rangeError()
{
    return QCoreApplication::translate("TfrmWriteTool", "アドレスの指定範囲が誤っています");
}
}

TfrmWriteTool::TfrmWriteTool(GatewayLink &link, QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmWriteTool), m_link(link)
{
    ui->setupUi(this);
    setFixedSize(size());

    // "フリー" state with no area item chosen.
    ui->cbxModbusAreaSel->setCurrentIndex(-1);
    ui->seWRAdrs->setAddressRange(41025, 49999);
    ui->seWRAdrs->setAddress(41025);
    ui->AreaDesc->setText(QStringLiteral(" "));

    connect(ui->cbxModbusAreaSel, &QComboBox::currentIndexChanged, this,
            &TfrmWriteTool::cbxModbusAreaSelChange);
    connect(ui->seWRAdrs, &QSpinBox::valueChanged, this, &TfrmWriteTool::seWRAdrsChange);
    connect(ui->RadioGroup1Item0, &QRadioButton::toggled, this, &TfrmWriteTool::RadioGroup1Click);
    connect(ui->btnWRT, &QPushButton::clicked, this, &TfrmWriteTool::btnWRTClick);
    connect(ui->btnON, &QPushButton::clicked, this, &TfrmWriteTool::btnONClick);
    connect(ui->btnOFF, &QPushButton::clicked, this, &TfrmWriteTool::btnOFFClick);
}

TfrmWriteTool::~TfrmWriteTool()
{
    delete ui;
}

void TfrmWriteTool::cbxModbusAreaSelChange()
{
    const int index = ui->cbxModbusAreaSel->currentIndex();
    if (index < 0 || index >= int(writeAreas().size()))
        return;
    const WriteArea &area = writeAreas()[size_t(index)];
    ui->seWRAdrs->setAddressRange(area.min, area.max);
    if (!area.keepAddress)
        ui->seWRAdrs->setAddress(area.min);
    ui->btnWRT->setEnabled(!area.coil);
    ui->RadioGroup1->setEnabled(!area.coil);
    ui->btnON->setEnabled(area.coil);
    ui->btnOFF->setEnabled(area.coil);
    // The name follows the address even when the value did not change.
    seWRAdrsChange();
}

void TfrmWriteTool::seWRAdrsChange()
{
    ui->AreaDesc->setText(areaDescription(ui->seWRAdrs->value()));
}

void TfrmWriteTool::RadioGroup1Click()
{
    ui->seWRAdrs->setSingleStep(ui->RadioGroup1Item1->isChecked() ? 2 : 1);
}

int TfrmWriteTool::currentAddress() const
{
    const auto n = ParseInt(ui->seWRAdrs->cleanText());
    return n ? *n : ui->seWRAdrs->addressMin();
}

void TfrmWriteTool::btnWRTClick()
{
    const int n = currentAddress();
    const QString text = ui->edWRData->text();
    const auto value = parseWriteValue(text, ui->RadioButtonHex->isChecked());
    if (!value) {
        msg::error(this, IntConversionError(text));
        return;
    }
    ui->StaticText1->setText(QString::number(*value & 0xFFFF));
    ui->StaticText2->setText(QString::number(*value >> 16));
    const auto address = registerWriteAddress(n);
    if (!address) {
        msg::information(this, rangeError());
        return;
    }
    ui->StaticText3->setText(QString::number(*address));
    if (ui->RadioGroup1Item1->isChecked())
        m_link.SendWriteTwoRegisters(*address, *value);
    else
        m_link.SendWriteSingleRegister(*address, *value & 0xFFFF);
}

void TfrmWriteTool::writeCoil(bool on)
{
    const auto coil = coilWriteAddress(currentAddress());
    if (!coil) {
        msg::information(this, rangeError());
        return;
    }
    m_link.SendWriteSingleCoil(*coil, on ? 0xFF : 0x00);
}

void TfrmWriteTool::btnONClick()
{
    writeCoil(true);
}

void TfrmWriteTool::btnOFFClick()
{
    writeCoil(false);
}
