#include "tools/modinfo/TfrmModInfo.h"
#include "app/MessageBoxes.h"
#include "link/GatewayLink.h"
#include "link/ReceiveBuffer.h"
#include "tools/modinfo/ModInfoText.h"
#include "ui_TfrmModInfo.h"
#include <QCoreApplication>
#include <QTimer>

namespace {

void setIfGiven(QLabel *label, const std::optional<QString> &text)
{
    if (text)
        label->setText(*text);
}

} // namespace

TfrmModInfo::TfrmModInfo(GatewayLink &link, std::function<bool()> gatewayIsRm2, QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmModInfo), m_link(link), m_gatewayIsRm2(std::move(gatewayIsRm2))
{
    ui->setupUi(this);
    // No close box: the dialog is closed with "閉じる".
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());

    connect(ui->Button1, &QPushButton::clicked, this, &TfrmModInfo::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TfrmModInfo::Button2Click);
    connect(ui->btnAlmRest, &QPushButton::clicked, this, &TfrmModInfo::btnAlmRestClick);
}

TfrmModInfo::~TfrmModInfo()
{
    // The reads end while the controls are still there.
    m_sequence.stop();
    delete ui;
}

void TfrmModInfo::hideEvent(QHideEvent *event)
{
    m_sequence.stop();
    QDialog::hideEvent(event);
}

void TfrmModInfo::showFields(const ModuleInfoFields &f)
{
    setIfGiven(ui->StaticText21, f.macAddress);
    setIfGiven(ui->StaticText11, f.pcBoardHw);
    setIfGiven(ui->StaticText12, f.pcBoardFw);
    setIfGiven(ui->StaticText13, f.loginMode);
    setIfGiven(ui->StaticText14, f.busBoardHw);
    setIfGiven(ui->StaticText15, f.busBoardFw);
    setIfGiven(ui->StaticText16, f.fpga);
    setIfGiven(ui->StaticText17, f.rotarySwitch);
    setIfGiven(ui->StaticText18, f.dipSwitch);
    setIfGiven(ui->StaticText19, f.extension);
    setIfGiven(ui->StaticText20, f.transmission);
}

void TfrmModInfo::ShowModuleWords(const ReceiveBuffer &rb)
{
    showFields(decodeModuleWords(rb, m_gatewayIsRm2 && m_gatewayIsRm2()));
}

void TfrmModInfo::ShowLoginMode(const ReceiveBuffer &rb)
{
    showFields(decodeLoginMode(rb));
}

void TfrmModInfo::ShowRotarySwitch(const ReceiveBuffer &rb)
{
    showFields(decodeRotarySwitch(rb));
}

QCoro::Task<> TfrmModInfo::RequestModuleInfo()
{
    // "更新" pressed while the reads run.
    const auto running = m_sequence.begin();
    if (!running)
        co_return;
    ui->Button1->setEnabled(false);

    bool answered = true;
    for (const ModuleInfoRead &r : kModuleInfoReads) {
        // Each read goes out after the answer to the one before: the
        // monitor's answers, which keep coming meanwhile, go to their own
        // replies and never end this wait.
        const Reply reply = m_link.SendReadInputRegisters(r.tag, r.address, r.count);
        if (!co_await m_sequence.reply(reply)) {
            // The dialog was closed: nothing more is sent or told.
            ui->Button1->setEnabled(true);
            co_return;
        }
        if (!reply->isAnswered()) {
            answered = false;
            break;
        }
        // An exception answer shows nothing (the status bar tells of it).
        if (reply->isException())
            continue;
        switch (r.tag) {
        case 1: ShowModuleWords(reply->answer()); break;
        case 2: ShowLoginMode(reply->answer()); break;
        default: ShowRotarySwitch(reply->answer()); break;
        }
    }
    ui->Button1->setEnabled(true);

    if (!answered) {
        // Told after the dialog is on screen with what did arrive.
        QTimer::singleShot(0, this, [this] {
            msg::warning(this, QCoreApplication::translate(
                                   "TfrmMain", "リレイモから応答がありません。モジュール情報の一部を読み込めませんでした。"));
        });
    }
}

void TfrmModInfo::Button1Click()
{
    RequestModuleInfo();
}

void TfrmModInfo::Button2Click()
{
    hide();
}

void TfrmModInfo::btnAlmRestClick()
{
    // Error reset register: 1 clears the wire-break error flag.
    m_link.SendWriteSingleRegister(1202, 1);
}
