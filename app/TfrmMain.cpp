#include "app/TfrmMain.h"
#include "app/MessageBoxes.h"
#include "app/Translation.h"
#include "ui_TfrmMain.h"
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QStatusBar>

namespace {

constexpr int kClientWidth = 533;
constexpr int kClientHeight = 397;

} // namespace

TfrmMain::TfrmMain(MonitorSession &session, QWidget *parent)
    : QMainWindow(parent), m_session(session), ui(new Ui::TfrmMain)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    const AppSettings &s = m_session.settings();
    setClientHeight(kClientHeight);
    move(s.windowLeft, s.windowTop);

    setupMenu();
    setupLog();
    setupRecording();
    setupMonitor();
    setupLanguageMenu();

    connect(&m_session, &MonitorSession::connectionStateChanged, this, &TfrmMain::showConnectionState);
    connect(&m_session.link(), &ModbusLink::socketError, this,
            [this](ModbusLink::ErrorKind kind) { showStatusText(ModbusLink::errorText(kind)); });
    connect(&m_session.link(), &ModbusLink::exceptionAnswer, this,
            [this](uint8_t tag, uint8_t function, uint8_t code) {
                showStatusText(tr("例外応答を受信しました (タグ %1, 機能コード %2, 例外コード %3)")
                                   .arg(tag).arg(function).arg(code));
            });
    connect(&m_session.link(), &ModbusLink::streamLost, this, [this] {
        showStatusText(tr("受信データの区切りが失われたため、受信済みのデータを破棄しました"));
    });
    connect(&m_session, &MonitorSession::statusText, this, &TfrmMain::showStatusText);
    // Shown after the answer's handler has returned, so that answers keep flowing.
    connect(&m_session, &MonitorSession::errorMessage, this,
            [this](const QString &text) { msg::error(this, text); }, Qt::QueuedConnection);
}

TfrmMain::~TfrmMain()
{
    SaveSettings();
    delete ui;
}

void TfrmMain::setupMenu()
{
    auto *swapGroup = new QActionGroup(this);
    swapGroup->addAction(ui->N7);
    swapGroup->addAction(ui->SWAP1);
    (m_session.settings().wordOrderSwap == 0 ? ui->N7 : ui->SWAP1)->setChecked(true);
    connect(ui->N7, &QAction::triggered, this, [this] { m_session.settings().wordOrderSwap = 0; });
    connect(ui->SWAP1, &QAction::triggered, this, [this] { m_session.settings().wordOrderSwap = 1; });

    connect(ui->sbtnConn, &QToolButton::clicked, this, &TfrmMain::sbtnConnClick);
    connect(ui->sbtnDisConn, &QToolButton::clicked, this, &TfrmMain::sbtnDisConnClick);
    // The file menu's connect and disconnect items do what the speed buttons do.
    connect(ui->C1, &QAction::triggered, this, &TfrmMain::sbtnConnClick);
    connect(ui->N1, &QAction::triggered, this, &TfrmMain::sbtnDisConnClick);
    connect(ui->Exit1, &QAction::triggered, this, &TfrmMain::Exit1Click);

    // 設定: the settings dialog on its page.
    const std::pair<QAction *, int> pages[] = {{ui->Modbus1, 0}, {ui->FTPF1, 1}, {ui->L1, 2}, {ui->TimeSet, 3}};
    for (const auto &[action, page] : pages)
        connect(action, &QAction::triggered, this, [this, page = page] { emit settingsPageRequested(page); });
    // The module information only when connected.
    connect(ui->m1, &QAction::triggered, this, [this] {
        if (ConnectionCheck())
            emit windowRequested(Tool::ModuleInfo);
    });
    const std::pair<QAction *, Tool> tools[] = {
        {ui->FTPF2, Tool::FtpTool},         {ui->EPcfg, Tool::TerminalSettings},
        {ui->W1, Tool::WriteTool},          {ui->N4, Tool::CounterPreset},
        {ui->s2, Tool::SoftCounter},        {ui->L2, Tool::LadderConsole},
        {ui->actCommStats, Tool::CommStats}, {ui->actTraffic, Tool::Traffic},
        {ui->actTrend, Tool::Trend},         {ui->mnuJournal, Tool::Journal},
        {ui->mnuSite, Tool::Site},           {ui->mnuSurvey, Tool::Survey}};
    for (const auto &[action, tool] : tools)
        connect(action, &QAction::triggered, this, [this, tool = tool] { emit windowRequested(tool); });
    connect(ui->mnuRecordOpen, &QAction::triggered, this, &TfrmMain::recordingOpenRequested);
    ui->L2->setEnabled(false);
}

void TfrmMain::setupLanguageMenu()
{
    auto *group = new QActionGroup(this);
    group->addAction(ui->LangJa);
    group->addAction(ui->LangEn);
    (currentLanguage() == QLatin1String("en") ? ui->LangEn : ui->LangJa)->setChecked(true);
    connect(ui->LangJa, &QAction::triggered, this, [this] { LangClick(QStringLiteral("ja")); });
    connect(ui->LangEn, &QAction::triggered, this, [this] { LangClick(QStringLiteral("en")); });
}

void TfrmMain::LangClick(const QString &lang)
{
    (lang == QLatin1String("en") ? ui->LangEn : ui->LangJa)->setChecked(true);
    m_session.settings().language = lang;
    SaveSettings();
    static const char *const kNextStart =
        QT_TRANSLATE_NOOP("TfrmMain", "言語の設定は次回起動時に有効になります。");
    msg::information(this, textInLanguage("TfrmMain", kNextStart, lang));
}

void TfrmMain::setClientHeight(int height)
{
    const int menu = menuBar()->sizeHint().height();
    setFixedSize(kClientWidth, height + menu);
}

void TfrmMain::SaveSettings()
{
    AppSettings &s = m_session.settings();
    s.windowTop = y();
    s.windowLeft = x();
    s.wordAddress = ui->seWordAdrs->value();
    s.bitAddress = ui->seBitAdrs->value();
    QString error;
    s.save(settingsFilePath(), &error);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    const bool yes = msg::askYesNo(this, tr("終了しますか ?"));
    SaveSettings();
    if (yes)
        event->accept();
    else
        event->ignore();
}

void TfrmMain::Exit1Click()
{
    SaveSettings();
    m_exiting = true;
    close();
    QCoreApplication::exit(0);
}

bool TfrmMain::ConnectionCheck()
{
    if (m_session.isConnected())
        return true;
    msg::warning(this, tr("リレイモに接続されていません"));
    return false;
}

bool TfrmMain::isRm2Gateway() const
{
    return ui->rbRM2->isChecked();
}

void TfrmMain::clearStatusText()
{
    statusBar()->clearMessage();
}

void TfrmMain::showStatusText(const QString &text)
{
    statusBar()->showMessage(text);
}

// ---- connection -----------------------------------------------------------

void TfrmMain::sbtnConnClick()
{
    emit connectionDialogRequested();
}

void TfrmMain::sbtnDisConnClick()
{
    clearStatusText();
    m_session.link().close();
}

void TfrmMain::showConnectionState(monitor::ConnectionState state)
{
    if (state == monitor::ConnectionState::Connecting)
        return;
    const bool connected = state == monitor::ConnectionState::Connected;
    setWindowTitle(connected ? QStringLiteral("RM Tool [") + m_session.settings().modbusHost + u']'
                             : QStringLiteral("NT900 Modbus/TCP Client"));
    ui->sbtnDisConn->setEnabled(connected);
    ui->sbtnMonitor->setEnabled(connected);
}
