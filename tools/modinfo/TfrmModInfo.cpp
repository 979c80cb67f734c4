#include "tools/modinfo/TfrmModInfo.h"
#include "app/Forms.h"
#include "app/TfrmMain.h"
#include "link/ReceiveBuffer.h"
#include "tools/modinfo/ModInfoText.h"
#include "ui_TfrmModInfo.h"
#include <QRadioButton>

namespace {

// The gateway type chosen on the main window; "RM1.x" unless "RM2.x" is on.
bool gatewayIsRm2()
{
    const auto *rm2 = frmMain ? frmMain->findChild<QRadioButton *>(QStringLiteral("rbRM2")) : nullptr;
    return rm2 && rm2->isChecked();
}

} // namespace

TfrmModInfo::TfrmModInfo(QWidget *parent) : QDialog(parent), ui(new Ui::TfrmModInfo)
{
    ui->setupUi(this);
    // No close box: the dialog is closed with "閉じる".
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());

    connect(ui->Button1, &QPushButton::clicked, this, &TfrmModInfo::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TfrmModInfo::Button2Click);
    connect(ui->btnAlmRest, &QPushButton::clicked, this, &TfrmModInfo::btnAlmRestClick);

    if (frmMain) {
        ModbusLink *link = frmMain->ClientSocket1;
        link->setAnswerHandler(1, [this](const ReceiveBuffer &rb) { ShowModuleWords(rb); });
        link->setAnswerHandler(2, [this](const ReceiveBuffer &rb) { ShowLoginMode(rb); });
        link->setAnswerHandler(3, [this](const ReceiveBuffer &rb) { ShowRotarySwitch(rb); });
    }
}

// The link is a child of the main window created before this dialog, so it
// is gone before the dialog is; no handler can reach a deleted dialog.
TfrmModInfo::~TfrmModInfo()
{
    delete ui;
}

void TfrmModInfo::ShowModuleWords(const ReceiveBuffer &rb)
{
    const int n = rb.byteCount();
    // Word i is input register 296 + i.
    auto has = [n](int word) { return 2 * word + 1 < n; };
    auto setHex = [&](QLabel *field, int word) {
        if (has(word))
            field->setText(hex4(rb.word(word)));
    };
    if (n >= 6) {
        uint8_t mac[6];
        for (int i = 0; i < 6; ++i)
            mac[i] = rb.dataByte(i);
        ui->StaticText21->setText(macAddressText(mac, gatewayIsRm2()));
    }
    setHex(ui->StaticText11, 5);   // PC board H/W
    setHex(ui->StaticText12, 6);   // PC board F/W
    setHex(ui->StaticText14, 3);   // Nexilo board H/W
    setHex(ui->StaticText15, 4);   // Nexilo board F/W
    setHex(ui->StaticText16, 14);  // FPGA
    setHex(ui->StaticText18, 7);   // internal DIP switch
    if (has(10))
        ui->StaticText19->setText(rb.word(10) != 0 ? QStringLiteral("ON") : QStringLiteral("OFF"));
}

void TfrmModInfo::ShowLoginMode(const ReceiveBuffer &rb)
{
    if (rb.byteCount() < 1)
        return;
    // The high byte of the login-mode register.
    switch (rb.dataByte(0)) {
    case 0: ui->StaticText13->setText(QStringLiteral("User")); break;
    case 1: ui->StaticText13->setText(QStringLiteral("Admin")); break;
    default: break;
    }
}

void TfrmModInfo::ShowRotarySwitch(const ReceiveBuffer &rb)
{
    if (rb.byteCount() < 2)
        return;
    const uint16_t v = rb.word(0);
    ui->StaticText17->setText(hex4(v));
    const QString mode = transmissionModeText(v);
    if (!mode.isEmpty())
        ui->StaticText20->setText(mode);
}

void TfrmModInfo::Button1Click()
{
    frmMain->RequestModuleInfo();
}

void TfrmModInfo::Button2Click()
{
    hide();
}

void TfrmModInfo::btnAlmRestClick()
{
    // Error reset register: 1 clears the wire-break error flag.
    frmMain->SendWriteSingleRegister(1202, 1);
}
