#include "tools/softcntr/TfrmSoftCntr.h"
#include "app/Forms.h"
#include "app/MessageBoxes.h"
#include "app/TfrmMain.h"
#include "monitor/TextNumbers.h"
#include "tools/softcntr/SoftCounterMap.h"
#include "tools/softcntr/UpDownLink.h"
#include "ui_TfrmSoftCntr.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

using namespace softcounter;

namespace {

// A control of the main window itself (the dialogs, its children, have
// controls of the same names).
template <class T> T *mainControl(const char *name)
{
    if (!frmMain)
        return nullptr;
    for (T *w : frmMain->findChildren<T *>(QLatin1String(name)))
        if (w->window() == frmMain)
            return w;
    return nullptr;
}

int mainBitAddress()
{
    const auto *se = mainControl<QSpinBox>("seBitAdrs");
    return se ? se->value() : frmMain->Settings.bitAddress;
}

int mainWordAddress()
{
    const auto *se = mainControl<QSpinBox>("seWordAdrs");
    return se ? se->value() : frmMain->Settings.wordAddress;
}

int mainTerminalType()
{
    const auto *cb = mainControl<QComboBox>("cbTerminalType");
    return cb ? cb->currentIndex() : frmMain->Settings.terminalType;
}

} // namespace

TfrmSoftCntr::TfrmSoftCntr(QWidget *parent) : QDialog(parent), ui(new Ui::TfrmSoftCntr)
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

void TfrmSoftCntr::FormCreate()
{
    if (frmMain) {
        ui->seBitAdrs->setValue(mainBitAddress());
        ui->seWordAdrs->setValue(mainWordAddress());
    }
    UpdateResetAddresses();
}

void TfrmSoftCntr::UpdateResetAddresses()
{
    const int w = ui->seWordAdrs->value();
    const int b = ui->seBitAdrs->value();
    const int blockW = blockWordAddress(w, frmMain ? mainTerminalType() : 0);
    ui->edWRstAdrs->setText(QString::number(wordBlockRegister(blockW)));
    ui->edRstHL->setText(wordBlockIsHigh(blockW) ? QStringLiteral("H") : QStringLiteral("L"));
    ui->edWRstBitAdrs->setText(QString::number(wordResetCoil(w)));
    ui->edBRstAdrs->setText(QString::number(bitBlockRegister(b)));
    ui->edBRstBitAdrs->setText(QString::number(bitResetCoil(b)));
    // The main window's bit output label names the coil of its own bit
    // address.
    if (auto *label = mainControl<QLabel>("stModbusBitOutAdrs"))
        label->setText(QString::number(mainBitAddress() + 1));
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
    // Numbers outside the up-down ranges go out as typed, but one past the
    // protocol's 16-bit addresses would reach another coil or register.
    const int a = *n - base;
    if (a < 0 || a > 0xFFFF) {
        msg::information(this, tr("アドレスの指定範囲が誤っています"));
        return false;
    }
    *protocolAddress = a;
    return true;
}

void TfrmSoftCntr::btnWBcntRstClick()
{
    int a = 0;
    if (!referenceNumber(ui->edWRstAdrs, 40001, &a))
        return;
    frmMain->SendWriteSingleRegister(uint32_t(a), wordBlockValue(ui->edRstHL->text() != QLatin1String("L")));
}

void TfrmSoftCntr::Button2Click()
{
    int a = 0;
    if (referenceNumber(ui->edWRstBitAdrs, 1, &a))
        frmMain->SendWriteSingleCoil(uint32_t(a), 0xFF);
}

void TfrmSoftCntr::btnBBcntRstClick()
{
    int a = 0;
    if (referenceNumber(ui->edBRstAdrs, 40001, &a))
        frmMain->SendWriteSingleRegister(uint32_t(a), kBitBlockValue);
}

void TfrmSoftCntr::Button3Click()
{
    int a = 0;
    if (referenceNumber(ui->edBRstBitAdrs, 1, &a))
        frmMain->SendWriteSingleCoil(uint32_t(a), 0xFF);
}
