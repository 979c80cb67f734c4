#include "tools/softcntr/TfrmSoftCntr.h"
#include "app/MessageBoxes.h"
#include "link/GatewayLink.h"
#include "monitor/TextNumbers.h"
#include "tools/softcntr/SoftCounterMap.h"
#include "tools/softcntr/UpDownLink.h"
#include "ui_TfrmSoftCntr.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

using namespace softcounter;

TfrmSoftCntr::TfrmSoftCntr(GatewayLink &link, MonitorSource monitor, QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmSoftCntr), m_link(link), m_monitor(std::move(monitor))
{
    ui->setupUi(this);
    setFixedSize(size());
    // Arrows only.
    ui->seWordAdrs->findChild<QLineEdit *>()->setReadOnly(true);
    ui->seBitAdrs->findChild<QLineEdit *>()->setReadOnly(true);
    ui->pcSoftCntr->setCurrentWidget(ui->tsWIRst);
    linkUpDown(ui->UpDown1, ui->edWRstBitAdrs);
    linkUpDown(ui->UpDown2, ui->edBRstBitAdrs);

    connect(ui->btnWBcntRst, &QPushButton::clicked, this, &TfrmSoftCntr::btnWBcntRstClick);
    connect(ui->Button2, &QPushButton::clicked, this, &TfrmSoftCntr::Button2Click);
    connect(ui->btnBBcntRst, &QPushButton::clicked, this, &TfrmSoftCntr::btnBBcntRstClick);
    connect(ui->Button3, &QPushButton::clicked, this, &TfrmSoftCntr::Button3Click);
    FormCreate();
    connect(ui->seWordAdrs, &QSpinBox::valueChanged, this, &TfrmSoftCntr::seWordAdrsChange);
    connect(ui->seBitAdrs, &QSpinBox::valueChanged, this, &TfrmSoftCntr::seBitAdrsChange);
}

TfrmSoftCntr::~TfrmSoftCntr()
{
    delete ui;
}

MonitorAddresses TfrmSoftCntr::monitor() const
{
    return m_monitor ? m_monitor() : MonitorAddresses{};
}

void TfrmSoftCntr::FormCreate()
{
    if (m_monitor) {
        const MonitorAddresses m = m_monitor();
        ui->seBitAdrs->setValue(m.bitAddress);
        ui->seWordAdrs->setValue(m.wordAddress);
    }
    UpdateResetAddresses();
}

void TfrmSoftCntr::UpdateResetAddresses()
{
    const int w = ui->seWordAdrs->value();
    const int b = ui->seBitAdrs->value();
    const MonitorAddresses m = monitor();
    const int blockW = blockWordAddress(w, m.terminalType);
    ui->edWRstAdrs->setText(QString::number(wordBlockRegister(blockW)));
    ui->edRstHL->setText(wordBlockIsHigh(blockW) ? QStringLiteral("H") : QStringLiteral("L"));
    ui->edWRstBitAdrs->setText(QString::number(wordResetCoil(w)));
    ui->edBRstAdrs->setText(QString::number(bitBlockRegister(b)));
    ui->edBRstBitAdrs->setText(QString::number(bitResetCoil(b)));
    // The monitor's bit output label names the coil of its own bit address.
    if (m_monitor)
        emit monitorBitCoil(m.bitAddress + 1);
}

void TfrmSoftCntr::seWordAdrsChange()
{
    UpdateResetAddresses();
}

void TfrmSoftCntr::seBitAdrsChange()
{
    UpdateResetAddresses();
}

bool TfrmSoftCntr::referenceNumber(QLineEdit *edit, int base, int *protocolAddress)
{
    const QString text = edit->text();
    const auto n = ParseInt(text);
    if (!n) {
        msg::error(this, IntConversionError(text));
        return false;
    }
    const auto a = softcounter::protocolAddress(*n, base);
    if (!a) {
        msg::information(this, tr("アドレスの指定範囲が誤っています"));
        return false;
    }
    *protocolAddress = int(*a);
    return true;
}

void TfrmSoftCntr::btnWBcntRstClick()
{
    int a = 0;
    if (!referenceNumber(ui->edWRstAdrs, 40001, &a))
        return;
    m_link.SendWriteSingleRegister(uint32_t(a), wordBlockValue(ui->edRstHL->text() != QLatin1String("L")));
}

void TfrmSoftCntr::Button2Click()
{
    int a = 0;
    if (referenceNumber(ui->edWRstBitAdrs, 1, &a))
        m_link.SendWriteSingleCoil(uint32_t(a), 0xFF);
}

void TfrmSoftCntr::btnBBcntRstClick()
{
    int a = 0;
    if (referenceNumber(ui->edBRstAdrs, 40001, &a))
        m_link.SendWriteSingleRegister(uint32_t(a), kBitBlockValue);
}

void TfrmSoftCntr::Button3Click()
{
    int a = 0;
    if (referenceNumber(ui->edBRstBitAdrs, 1, &a))
        m_link.SendWriteSingleCoil(uint32_t(a), 0xFF);
}
