#include "app/App.h"
#include "app/MainGatewayLink.h"
#include "app/MessageBoxes.h"
#include "app/Settings.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "app/WindowPlacement.h"
#include "diag/AutoReconnect.h"
#include "diag/TfrmCommStats.h"
#include "diag/TfrmTraffic.h"
#include "monitor/MonitorSession.h"
#include "monitor/Survey.h"
#include "termset/TfrmWattorSet.h"
#include "tools/cntrpreset/TfrmCntrPreset.h"
#include "tools/ftp/TfrmFTPtool.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "tools/journal/TfrmJournal.h"
#include "tools/ladder/TfrmLadderConsole.h"
#include "tools/modinfo/TfrmModInfo.h"
#include "tools/site/TfrmSite.h"
#include "tools/softcntr/TfrmSoftCntr.h"
#include "tools/survey/TfrmSurvey.h"
#include "tools/trend/TfrmTrend.h"
#include "tools/writetool/TfrmWriteTool.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QScreen>
#include <QFileInfo>

namespace {

// A window beside the main window, shown and brought to the front.
void showBeside(TfrmMain *main, QWidget *window, int gap, bool keepOnScreen = false)
{
    // A resizable window is kept on the main window's screen.
    if (keepOnScreen)
        placeBesideOnScreen(main, window, gap);
    else
        placeBeside(main, window, gap);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

App::App(const StartOptions &options)
{
    if (!options.settingsFile.isEmpty())
        setSettingsFilePathOverride(options.settingsFile);
    m_session = new MonitorSession(this);
    m_session->settings() = AppSettings::load(settingsFilePath());
    m_session->applyConnectionSettings();
    AppSettings &settings = m_session->settings();

    // The write journal goes beside the settings file.
    m_session->journal().setFilePath(
        QFileInfo(settingsFilePath()).absoluteDir().filePath(QLatin1String(WriteJournal::kFileName)));

    m_main = new TfrmMain(*m_session);
    // Each dialog's link is the session's connection, named in the journal
    // by the window's title as the user sees it (the settings dialog writes
    // only the clock). Owned here, so that they outlive the windows: a
    // dialog closed at the end still sends the commands that end its
    // sequence.
    const auto title = [](const char *context, const char *text) { return QCoreApplication::translate(context, text); };
    m_modInfo = new TfrmModInfo(*gatewayFor(title("TfrmModInfo", "モジュール情報")),
                                [m = m_main] { return m->isRm2Gateway(); }, m_main);
    m_gwcfg = new TfrmGWcfg(
        *gatewayFor(title("TfrmGWcfg", "リレイモ設定") + QStringLiteral(" - ") + title("TfrmGWcfg", "時計")), settings,
        m_main);
    m_wattorSet = new TfrmWattorSet(*gatewayFor(title("TfrmWattorSet", "電力・電流ターミナル設定")), settings, m_main);
    m_ftp = new TfrmFTPtool(settings, m_main);
    m_writeTool = new TfrmWriteTool(*gatewayFor(title("TfrmWriteTool", "任意書き込み")), m_main);
    m_cntrPreset = new TfrmCntrPreset(*gatewayFor(title("TfrmCntrPreset", "カウンターターミナル　プリセット")),
                                      settings, m_main);
    m_connect = new TfrmConnect(m_session->link(), settings, m_main);
    m_softCntr = new TfrmSoftCntr(*gatewayFor(title("TfrmSoftCntr", "ｿﾌﾄｶｳﾝﾀﾘｾｯﾄ")), [s = m_session] {
        const AppSettings &st = s->settings();
        return softcounter::MonitorAddresses{st.bitAddress, st.wordAddress, st.terminalType};
    }, m_main);
    m_ladder = new TfrmLadderConsole(m_main);
    m_commStats = new TfrmCommStats(m_main);
    m_traffic = new TfrmTraffic(m_main);
    m_trend = new TfrmTrend(m_main);
    m_journal = new TfrmJournal(m_session->journal(), m_main);
    connect(&m_session->journal(), &WriteJournal::fileError, m_main, &TfrmMain::showStatusText);
    m_site = new TfrmSite(*m_session, m_main->terminalTypeNames(), m_main);
    // The survey reads the session's installation; its window takes the
    // monitor's interval, the gateway kind and the statistics from the
    // windows that hold them.
    m_survey = new Survey(*m_session);
    m_survey->setTerminalTypeNames(m_main->terminalTypeNames());
    m_surveyWindow = new TfrmSurvey(
        *m_survey, *m_session,
        TfrmSurvey::Sources{[m = m_main] { return m->monitorIntervalText(); },
                            [m = m_main] { return m->isRm2Gateway(); },
                            [s = m_commStats] { return report::commFigures(s->stats()); }},
        m_main);
    m_session->setAutoSaveFields(m_gwcfg->autoSaveFields());

    wireConnection();
    wireDialogs();
    wireDiagnostics();
    wireReconnect();
    wireTrend();

    // A conversion table file named as the first plain command-line argument.
    if (!options.conversionTable.isEmpty())
        m_main->LoadConversionTable(options.conversionTable);
}

App::~App()
{
    // The link closes as it goes and reports the drop: nothing may then
    // reconnect or write into a main window half taken down.
    delete m_reconnect;
    delete m_main;  // the dialogs are its children; it saves the settings
    // A survey still running ends on the session's link, so before it.
    delete m_survey;
    delete m_session;
}

MainGatewayLink *App::gatewayFor(const QString &source)
{
    return new MainGatewayLink(m_session->link(), [s = m_session] { return s->isConnected(); },
                               &m_session->journal(), source, this);
}

void App::start(const StartOptions &options)
{
    if (options.monitor) {
        // One press of ▶ at the first connection, by whoever opens it.
        connect(&m_session->link(), &ModbusLink::connected, m_main,
                [this] { if (!m_session->isMonitoring()) m_main->sbtnMonitorClick(); },
                Qt::SingleShotConnection);
    }
    if (options.record) {
        // ファイル → 記録開始 at the first connection, after a --monitor
        // start so that the recording takes the monitor's interval.
        connect(&m_session->link(), &ModbusLink::connected, m_main,
                [this] { if (!m_session->recorder().isRecording()) m_main->mnuRecordStartClick(); },
                Qt::SingleShotConnection);
    }
    if (options.trend)
        openWindow(int(TfrmMain::Tool::Trend));
    // The installation of --site, opened as 設置構成's 開く opens it: a
    // refused file is told and nothing is opened.
    if (!options.siteFile.isEmpty() && m_site->openFile(options.siteFile))
        openWindow(int(TfrmMain::Tool::Site));
    if (options.connect)
        m_connect->btnCONNClick();
}

void App::showSettingsPage(int page)
{
    placeDialog(m_main, m_gwcfg, 30, 30);
    m_gwcfg->fillFromSettings(m_session->settings(), m_session->link().host(), m_session->link().port());
    m_gwcfg->showPage(page);
}

void App::openWindow(int which)
{
    const AppSettings &s = m_session->settings();
    switch (TfrmMain::Tool(which)) {
    case TfrmMain::Tool::ModuleInfo:
        placeBeside(m_main, m_modInfo, 0);
        m_modInfo->RequestModuleInfo();
        m_modInfo->show();
        break;
    case TfrmMain::Tool::FtpTool:
        placeBeside(m_main, m_ftp, 10);
        m_ftp->setServer(s.ftpHost, s.ftpPort);
        m_ftp->show();
        break;
    case TfrmMain::Tool::TerminalSettings:
        placeBeside(m_main, m_wattorSet, 10);
        m_wattorSet->showPage(s.powerTerminalKind);
        m_wattorSet->show();
        break;
    case TfrmMain::Tool::WriteTool:
        placeBeside(m_main, m_writeTool, 10);
        m_writeTool->show();
        break;
    case TfrmMain::Tool::CounterPreset:
        placeBeside(m_main, m_cntrPreset, 10);
        m_cntrPreset->show();
        break;
    case TfrmMain::Tool::SoftCounter:
        placeBeside(m_main, m_softCntr, 10);
        m_softCntr->UpdateResetAddresses();
        m_softCntr->show();
        break;
    case TfrmMain::Tool::LadderConsole:
        placeBeside(m_main, m_ladder, 0);
        m_ladder->show();
        break;
    case TfrmMain::Tool::CommStats: showBeside(m_main, m_commStats, 10); break;
    case TfrmMain::Tool::Traffic: showBeside(m_main, m_traffic, 10); break;
    case TfrmMain::Tool::Journal: showBeside(m_main, m_journal, 10, true); break;
    case TfrmMain::Tool::Trend: showBeside(m_main, m_trend, 10, true); break;
    case TfrmMain::Tool::Site: showBeside(m_main, m_site, 10, true); break;
    case TfrmMain::Tool::Survey: showBeside(m_main, m_surveyWindow, 10, true); break;
    }
}

// The connection dialog shows the state of the session's connection, and
// opens and closes as the main window asks.
void App::wireConnection()
{
    connect(&m_session->link(), &ModbusLink::connecting, m_connect,
            [c = m_connect] { c->setStatusText(QCoreApplication::translate("TfrmMain", "接続中・・・")); });
    connect(&m_session->link(), &ModbusLink::socketError, m_connect,
            [c = m_connect] { c->setStatusText(QCoreApplication::translate("TfrmMain", "接続エラー")); });
    connect(m_session, &MonitorSession::connectionStateChanged, m_connect, [c = m_connect](monitor::ConnectionState st) {
        if (st == monitor::ConnectionState::Connected) {
            c->setStatusText(QCoreApplication::translate("TfrmMain", "接続しました"));
            c->connectionOpened();
        } else if (st == monitor::ConnectionState::Disconnected) {
            c->setStatusText(QCoreApplication::translate("TfrmMain", "接続されていません"));
        }
    });
    connect(m_main, &TfrmMain::connectionDialogRequested, m_connect, [this] {
        placeDialog(m_main, m_connect, 20, 20);
        m_connect->exec();
    });
    connect(m_main, &TfrmMain::settingsPageRequested, this, &App::showSettingsPage);
    connect(m_main, &TfrmMain::windowRequested, this, [this](TfrmMain::Tool t) { openWindow(int(t)); });
}

// What one window tells another: the settings dialog fills the connection
// and FTP dialogs and gives the session its auto-save fields, those dialogs
// open the settings, the connection dialog's 接続 clears the main window's
// status and the log, and it shows the byte count of every read; the
// soft-counter dialog names the monitor's bit output coil; the installation
// window's chosen terminal is shown on the monitor.
void App::wireDialogs()
{
    connect(m_gwcfg, &TfrmGWcfg::autoSaveFieldsChanged, m_session, &MonitorSession::setAutoSaveFields);
    connect(&m_session->link(), &ModbusLink::bytesRead, m_connect, &TfrmConnect::showBytesReceived);
    connect(m_gwcfg, &TfrmGWcfg::modbusTargetChanged, m_connect, &TfrmConnect::setTarget);
    connect(m_gwcfg, &TfrmGWcfg::ftpServerChanged, m_ftp, &TfrmFTPtool::setServer);
    connect(m_gwcfg, &TfrmGWcfg::statusMessage, m_main, &TfrmMain::showStatusText);
    connect(m_ftp, &TfrmFTPtool::settingsRequested, m_gwcfg, [this](const QString &host, const QString &port) {
        placeDialog(m_main, m_gwcfg, 30, 30);
        m_gwcfg->fillFromSettings(m_session->settings(), m_session->link().host(), m_session->link().port());
        m_gwcfg->setFtpServer(host, port);
        m_gwcfg->showPage(1);
    });
    connect(m_connect, &TfrmConnect::settingsRequested, m_gwcfg, [this] { showSettingsPage(0); });
    connect(m_connect, &TfrmConnect::connectPressed, m_main, [this] {
        m_main->clearStatusText();
        m_session->clearRows();
    });
    connect(m_connect, &TfrmConnect::disconnectPressed, m_main, &TfrmMain::clearStatusText);
    connect(m_softCntr, &TfrmSoftCntr::monitorBitCoil, m_main, &TfrmMain::showBitOutputCoil);
    // A terminal chosen in the installation is shown on the monitor.
    connect(m_site, &TfrmSite::terminalChosen, m_main, &TfrmMain::showTerminal);
    m_softCntr->UpdateResetAddresses();
}

// The diagnostics windows follow the link's traffic.
void App::wireDiagnostics()
{
    ModbusLink *link = &m_session->link();
    TfrmCommStats *stats = m_commStats;
    TfrmTraffic *traffic = m_traffic;
    stats->setResponseTimeout(m_session->settings().responseTimeoutMs);
    connect(link, &ModbusLink::disconnected, stats, &TfrmCommStats::onDisconnected);
    connect(link, &ModbusLink::frameSent, stats, &TfrmCommStats::onRequestSent);
    connect(link, &ModbusLink::frameSent, traffic, &TfrmTraffic::onRequestSent);
    connect(link, &ModbusLink::answerReceived, stats, &TfrmCommStats::onAnswerReceived);
    connect(link, &ModbusLink::answerReceived, traffic, &TfrmTraffic::onAnswerReceived);
    connect(link, &ModbusLink::requestTimedOut, stats, [stats](const modbus::Transaction &t) { stats->onTimeout(t.tag); });
    connect(link, &ModbusLink::requestTimedOut, traffic, &TfrmTraffic::onTimeout);
    connect(link, &ModbusLink::bytesRead, stats, &TfrmCommStats::onBytesReceived);
    connect(link, &ModbusLink::streamLost, stats, &TfrmCommStats::onStreamLost);
    connect(link, &ModbusLink::streamLost, traffic, [traffic] { traffic->onStreamLost(); });
}

// Automatic reconnection after a dropped connection: switched by the
// settings dialog's option at start and after every OK (which may also have
// changed the response timeout the statistics judge by); each attempt shown
// in the status bar and the connection dialog; monitoring resumed once the
// connection is back.
void App::wireReconnect()
{
    ModbusLink *link = &m_session->link();
    auto *r = new AutoReconnect([link] { link->open(); }, m_main);
    m_reconnect = r;
    r->setObjectName(QStringLiteral("AutoReconnect"));
    r->setEnabled(m_session->settings().modbusReconnect != 0);
    connect(m_gwcfg, &QDialog::accepted, r, [this, r] {
        r->setEnabled(m_session->settings().modbusReconnect != 0);
        m_commStats->setResponseTimeout(m_session->settings().responseTimeoutMs);
    });
    connect(link, &ModbusLink::openRequested, r, &AutoReconnect::openRequested);
    connect(link, &ModbusLink::closeRequested, r, &AutoReconnect::closeRequested);
    connect(link, &ModbusLink::connected, r, [this, r] {
        m_commStats->onConnected(r->isPending());
        r->connectionUp();
    });
    connect(link, &ModbusLink::disconnected, r, &AutoReconnect::connectionDown);
    connect(link, &ModbusLink::socketError, r, [r, link] {
        if (!link->isOpen())
            r->connectError();
    });

    const auto attemptText = [r] { return QCoreApplication::translate("Forms", "再接続中 (%1 回目)・・・").arg(r->attempt()); };
    // The link's "接続中・・・" of an attempt says which attempt it is.
    connect(link, &ModbusLink::connecting, r, [this, r, attemptText] {
        if (r->isPending())
            m_connect->setStatusText(attemptText());
    });
    connect(r, &AutoReconnect::attemptScheduled, m_main, [this](int n, qint64 ms) {
        const QString why = n == 1 ? QCoreApplication::translate("Forms", "接続が切れました。") : QCoreApplication::translate("Forms", "再接続できませんでした。");
        m_main->showStatusText(why + QCoreApplication::translate("Forms", "%1 秒後に再接続します (%2 回目)").arg(ms / 1000).arg(n));
        m_connect->setStatusText(QCoreApplication::translate("Forms", "再接続待ち (%1 回目、%2 秒後)").arg(n).arg(ms / 1000));
    });
    connect(r, &AutoReconnect::attemptStarted, m_main, [this, link, attemptText] {
        m_main->showStatusText(attemptText());
        if (!link->isOpen())
            m_connect->setStatusText(attemptText());
    });
    connect(r, &AutoReconnect::reconnected, m_main, [this](int n) {
        m_main->showStatusText(QCoreApplication::translate("Forms", "再接続しました (%1 回目)").arg(n));
        m_session->resumeMonitoring();
    });
    connect(r, &AutoReconnect::stopped, m_main, [this, link] {
        if (!link->isOpen())
            m_connect->setStatusText(QCoreApplication::translate("Forms", "接続されていません"));
    });
}

// The trend follows the monitor: the numbers of its answers, its layout,
// and the polls that got no answer in time. Monitoring started again and a
// dropped connection are periods without answers as well: gaps, not lines
// across them.
void App::wireTrend()
{
    connect(m_session, &MonitorSession::valuesSampled, m_trend, &TfrmTrend::monitorAnswer);
    connect(m_main, &TfrmMain::monitorLayoutChanged, m_trend, &TfrmTrend::monitorLayout);
    connect(&m_session->link(), &ModbusLink::requestTimedOut, m_trend, [t = m_trend](const modbus::Transaction &r) {
        if (r.tag == 0)
            t->monitorTimedOut(QDateTime::currentMSecsSinceEpoch());
    });
    connect(m_session, &MonitorSession::monitorStarted, m_trend, &TfrmTrend::monitorInterrupted);
    connect(&m_session->link(), &ModbusLink::disconnected, m_trend,
            [t = m_trend] { t->monitorInterrupted(QDateTime::currentMSecsSinceEpoch()); });
    m_trend->monitorLayout(m_main->trendLayout());
    connect(m_main, &TfrmMain::recordingOpenRequested, this, &App::chooseRecording);
}

void App::chooseRecording()
{
    auto *dialog = m_main->findChild<QFileDialog *>(QStringLiteral("OpenRecording"), Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new QFileDialog(m_main, QCoreApplication::translate("TfrmMain", "記録を開く"));
        dialog->setObjectName(QStringLiteral("OpenRecording"));
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
        dialog->setNameFilter(QStringLiteral("*.rmrec"));
    }
    // The recordings are written into the log folder.
    dialog->setDirectory(m_session->settings().logDir);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    openRecording(dialog->selectedFiles().first());
}

TfrmTrend *App::openRecording(const QString &path)
{
    auto *window = new TfrmTrend(m_main);
    window->setObjectName(QStringLiteral("TfrmTrendRecording"));
    window->setAttribute(Qt::WA_DeleteOnClose);  // and the file with it
    QString error;
    if (!window->openRecording(path, &error)) {
        delete window;
        msg::error(m_main, error);
        return nullptr;
    }
    // Below the main window, so that the live trend beside it stays in
    // view; each further recording a step down and right of the last.
    int open = 0;
    for (const QWidget *w : m_main->findChildren<TfrmTrend *>(QStringLiteral("TfrmTrendRecording")))
        open += w != window && w->isVisible();
    const QRect main = m_main->frameGeometry();
    QPoint at(main.left() + 30 * open, main.bottom() + 10 + 30 * open);
    if (const QScreen *screen = m_main->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(std::max(room.left(), std::min(at.x(), room.right() - window->width())));
        at.setY(std::max(room.top(), std::min(at.y(), room.bottom() - window->height())));
    }
    window->move(at);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
