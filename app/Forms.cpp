#include "app/Forms.h"
#include "app/MainGatewayLink.h"
#include "app/Settings.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "diag/AutoReconnect.h"
#include "diag/TfrmCommStats.h"
#include "diag/TfrmTraffic.h"
#include "termset/TfrmWattorSet.h"
#include "tools/cntrpreset/TfrmCntrPreset.h"
#include "tools/ftp/TfrmFTPtool.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "tools/ladder/TfrmLadderConsole.h"
#include "tools/modinfo/TfrmModInfo.h"
#include "tools/softcntr/TfrmSoftCntr.h"
#include "tools/trend/TfrmTrend.h"
#include "tools/writetool/TfrmWriteTool.h"
#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QCoreApplication>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

TfrmMain *frmMain = nullptr;
TfrmModInfo *frmModInfo = nullptr;
TfrmGWcfg *frmGWcfg = nullptr;
TfrmWattorSet *frmWattorSet = nullptr;
TfrmFTPtool *frmFTPtool = nullptr;
TfrmWriteTool *frmWriteTool = nullptr;
TfrmCntrPreset *frmCntrPreset = nullptr;
TfrmConnect *frmConnect = nullptr;
TfrmSoftCntr *frmSoftCntr = nullptr;
TfrmLadderConsole *frmLadderConsole = nullptr;
TfrmCommStats *frmCommStats = nullptr;
TfrmTraffic *frmTraffic = nullptr;
TfrmTrend *frmTrend = nullptr;

namespace {

StartOptions g_options;

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

// What the soft-counter dialog reads of the monitor: its controls, or the
// settings where a control is missing.
softcounter::MonitorAddresses monitorAddresses()
{
    const AppSettings &s = frmMain->Settings;
    const auto *bit = mainControl<QSpinBox>("seBitAdrs");
    const auto *word = mainControl<QSpinBox>("seWordAdrs");
    const auto *type = mainControl<QComboBox>("cbTerminalType");
    return {bit ? bit->value() : s.bitAddress, word ? word->value() : s.wordAddress,
            type ? type->currentIndex() : s.terminalType};
}

bool gatewayIsRm2()
{
    const auto *rm2 = mainControl<QRadioButton>("rbRM2");
    return rm2 && rm2->isChecked();
}

// The settings dialog on one page, filled from the settings first.
void showSettingsPage(int page)
{
    frmMain->FillGWcfgFromSettings();
    frmMain->showGWcfgPage(page);
}

// The connection dialog keeps the state text the main window reports, and
// opens, connects and closes as the main window asks.
void wireConnectionDialog()
{
    frmMain->connectionStatusSource = [connect = frmConnect] { return connect->statusText(); };
    QObject::connect(frmMain, &TfrmMain::connectionStatusChanged, frmConnect, &TfrmConnect::setStatusText);
    QObject::connect(frmMain, &TfrmMain::connectionOpened, frmConnect, &TfrmConnect::connectionOpened);
    QObject::connect(frmMain, &TfrmMain::connectRequested, frmConnect, &TfrmConnect::btnCONNClick);
    QObject::connect(frmMain, &TfrmMain::connectionDialogRequested, frmConnect, [] {
        frmMain->placeDialog(frmConnect, 20, 20);
        frmConnect->exec();
    });
}

// A tool window of the menu, placed beside the main window and shown.
void openTool(TfrmMain::Tool tool)
{
    const AppSettings &s = frmMain->Settings;
    switch (tool) {
    case TfrmMain::Tool::ModuleInfo:
        frmMain->placeBeside(frmModInfo, 0);
        frmModInfo->RequestModuleInfo();
        frmModInfo->show();
        break;
    case TfrmMain::Tool::FtpTool:
        frmMain->placeBeside(frmFTPtool, 10);
        frmFTPtool->setServer(s.ftpHost, s.ftpPort);
        frmFTPtool->show();
        break;
    case TfrmMain::Tool::TerminalSettings:
        frmMain->placeBeside(frmWattorSet, 10);
        if (auto *pages = frmWattorSet->findChild<QTabWidget *>(QStringLiteral("PageControl1")))
            pages->setCurrentIndex(s.powerTerminalKind);
        frmWattorSet->show();
        break;
    case TfrmMain::Tool::WriteTool:
        frmMain->placeBeside(frmWriteTool, 10);
        frmWriteTool->show();
        break;
    case TfrmMain::Tool::CounterPreset:
        frmMain->placeBeside(frmCntrPreset, 10);
        frmCntrPreset->show();
        break;
    case TfrmMain::Tool::SoftCounter:
        frmMain->placeBeside(frmSoftCntr, 10);
        frmSoftCntr->UpdateResetAddresses();
        frmSoftCntr->show();
        break;
    case TfrmMain::Tool::LadderConsole:
        frmMain->placeBeside(frmLadderConsole, 0);
        frmLadderConsole->show();
        break;
    }
}

// The main window's menu opens the settings dialog (filled first) and the
// tool windows.
void wireMainMenu()
{
    QObject::connect(frmMain, &TfrmMain::settingsFillRequested, frmGWcfg, [] {
        frmMain->placeDialog(frmGWcfg, 30, 30);
        frmGWcfg->fillFromSettings(frmMain->Settings, frmMain->ClientSocket1->host(),
                                   frmMain->ClientSocket1->port());
    });
    QObject::connect(frmMain, &TfrmMain::settingsPageRequested, frmGWcfg, &TfrmGWcfg::showPage);
    QObject::connect(frmMain, &TfrmMain::toolRequested, frmMain, &openTool);
}

// What one window tells another: the settings dialog fills the connection
// and FTP dialogs and gives the main window its auto-save fields, those
// dialogs open the settings, the connection dialog's buttons clear the main
// window's status and log and it shows the byte count of every read, the
// soft-counter dialog names the monitor's bit output coil.
void wireDialogs()
{
    frmMain->autoSaveSource = [gwcfg = frmGWcfg] { return gwcfg->autoSaveFields(); };
    QObject::connect(frmMain->ClientSocket1, &ModbusLink::bytesRead, frmConnect, &TfrmConnect::showBytesReceived);
    QObject::connect(frmGWcfg, &TfrmGWcfg::modbusTargetChanged, frmConnect, &TfrmConnect::setTarget);
    QObject::connect(frmGWcfg, &TfrmGWcfg::ftpServerChanged, frmFTPtool, &TfrmFTPtool::setServer);
    QObject::connect(frmGWcfg, &TfrmGWcfg::statusMessage, frmMain, &TfrmMain::showStatusText);
    QObject::connect(frmFTPtool, &TfrmFTPtool::settingsRequested, frmGWcfg,
                     [](const QString &host, const QString &port) {
                         frmMain->FillGWcfgFromSettings();
                         frmGWcfg->setFtpServer(host, port);
                         frmMain->showGWcfgPage(1);
                     });
    QObject::connect(frmConnect, &TfrmConnect::settingsRequested, frmGWcfg, [] { showSettingsPage(0); });
    QObject::connect(frmConnect, &TfrmConnect::connectPressed, frmMain, [] {
        frmMain->clearStatusText();
        frmMain->clearLogArea();
    });
    QObject::connect(frmConnect, &TfrmConnect::disconnectPressed, frmMain, &TfrmMain::clearStatusText);
    QObject::connect(frmSoftCntr, &TfrmSoftCntr::monitorBitCoil, frmMain, [](int coil) {
        if (auto *label = mainControl<QLabel>("stModbusBitOutAdrs"))
            label->setText(QString::number(coil));
    });
    frmSoftCntr->UpdateResetAddresses();
}

// Opens a diagnostics window beside the main window, as the tool dialogs.
void showBeside(QDialog *dialog)
{
    frmMain->placeBeside(dialog, 10);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

// The diagnostics windows: their menu items, and the link's traffic into
// their input slots.
void wireDiagnostics()
{
    QObject::connect(frmMain->findChild<QAction *>(QStringLiteral("actCommStats")), &QAction::triggered,
                     frmCommStats, [] { showBeside(frmCommStats); });
    QObject::connect(frmMain->findChild<QAction *>(QStringLiteral("actTraffic")), &QAction::triggered,
                     frmTraffic, [] { showBeside(frmTraffic); });

    ModbusLink *link = frmMain->ClientSocket1;
    frmCommStats->setResponseTimeout(frmMain->Settings.responseTimeoutMs);
    QObject::connect(link, &ModbusLink::disconnected, frmCommStats, &TfrmCommStats::onDisconnected);
    QObject::connect(link, &ModbusLink::frameSent, frmCommStats, &TfrmCommStats::onRequestSent);
    QObject::connect(link, &ModbusLink::frameSent, frmTraffic, &TfrmTraffic::onRequestSent);
    QObject::connect(link, &ModbusLink::answerReceived, frmCommStats, &TfrmCommStats::onAnswerReceived);
    QObject::connect(link, &ModbusLink::answerReceived, frmTraffic, &TfrmTraffic::onAnswerReceived);
    QObject::connect(link, &ModbusLink::requestTimedOut, frmCommStats,
                     [](const modbus::Transaction &t) { frmCommStats->onTimeout(t.tag); });
    QObject::connect(link, &ModbusLink::requestTimedOut, frmTraffic, &TfrmTraffic::onTimeout);
    QObject::connect(link, &ModbusLink::bytesRead, frmCommStats, &TfrmCommStats::onBytesReceived);
    QObject::connect(link, &ModbusLink::streamLost, frmCommStats, &TfrmCommStats::onStreamLost);
    QObject::connect(link, &ModbusLink::streamLost, frmTraffic, [] { frmTraffic->onStreamLost(); });
}

// The reconnection timer of the link, switched by the settings dialog's
// option as it is at start and after every OK (which may also have changed
// the response timeout the statistics judge by).
AutoReconnect *createReconnect(ModbusLink *link)
{
    auto *r = new AutoReconnect([link] { link->open(); }, frmMain);
    r->setObjectName(QStringLiteral("AutoReconnect"));
    r->setEnabled(frmMain->Settings.modbusReconnect != 0);
    QObject::connect(frmGWcfg, &QDialog::accepted, r, [r] {
        r->setEnabled(frmMain->Settings.modbusReconnect != 0);
        frmCommStats->setResponseTimeout(frmMain->Settings.responseTimeoutMs);
    });
    return r;
}

// The link's events drive the reconnection; the statistics learn whether a
// connection is the user's or came back by itself.
void followLink(AutoReconnect *r, ModbusLink *link)
{
    QObject::connect(link, &ModbusLink::openRequested, r, &AutoReconnect::openRequested);
    QObject::connect(link, &ModbusLink::closeRequested, r, &AutoReconnect::closeRequested);
    QObject::connect(link, &ModbusLink::connected, r, [r] {
        frmCommStats->onConnected(r->isPending());
        r->connectionUp();
    });
    QObject::connect(link, &ModbusLink::disconnected, r, &AutoReconnect::connectionDown);
    QObject::connect(link, &ModbusLink::socketError, r, [r, link] {
        if (!link->isOpen())
            r->connectError();
    });
}

QString attemptText(const AutoReconnect *r)
{
    return QCoreApplication::translate("Forms", "再接続中 (%1 回目)・・・").arg(r->attempt());
}

// Each attempt in the status bar and the connection dialog, and monitoring
// resumed once the connection is back.
void reportAttempts(AutoReconnect *r, ModbusLink *link)
{
    // The link's "接続中・・・" of an attempt says which attempt it is.
    QObject::connect(link, &ModbusLink::connecting, r, [r] {
        if (r->isPending())
            frmConnect->setStatusText(attemptText(r));
    });
    QObject::connect(r, &AutoReconnect::attemptScheduled, frmMain, [](int n, qint64 ms) {
        const QString why = n == 1 ? QCoreApplication::translate("Forms", "接続が切れました。") : QCoreApplication::translate("Forms", "再接続できませんでした。");
        frmMain->showStatusText(why + QCoreApplication::translate("Forms", "%1 秒後に再接続します (%2 回目)").arg(ms / 1000).arg(n));
        frmConnect->setStatusText(QCoreApplication::translate("Forms", "再接続待ち (%1 回目、%2 秒後)").arg(n).arg(ms / 1000));
    });
    QObject::connect(r, &AutoReconnect::attemptStarted, frmMain, [r, link] {
        frmMain->showStatusText(attemptText(r));
        if (!link->isOpen())
            frmConnect->setStatusText(attemptText(r));
    });
    QObject::connect(r, &AutoReconnect::reconnected, frmMain, [](int n) {
        frmMain->showStatusText(QCoreApplication::translate("Forms", "再接続しました (%1 回目)").arg(n));
        frmMain->resumeMonitoring();
    });
    QObject::connect(r, &AutoReconnect::stopped, frmMain, [link] {
        if (!link->isOpen())
            frmConnect->setStatusText(QCoreApplication::translate("Forms", "接続されていません"));
    });
}

// Automatic reconnection after a dropped connection.
void wireReconnect()
{
    ModbusLink *link = frmMain->ClientSocket1;
    AutoReconnect *r = createReconnect(link);
    followLink(r, link);
    reportAttempts(r, link);
}

// The trend follows the monitor: its answers, its selection, and (from the
// link) the polls that got no answer in time. Monitoring started again and a
// dropped connection are periods without answers as well: gaps, not lines
// across them. Its menu item opens it beside the main window.
void wireTrend()
{
    QObject::connect(frmMain, &TfrmMain::monitorValues, frmTrend, &TfrmTrend::monitorAnswer);
    QObject::connect(frmMain, &TfrmMain::monitorLayoutChanged, frmTrend, &TfrmTrend::monitorLayout);
    QObject::connect(frmMain->ClientSocket1, &ModbusLink::requestTimedOut, frmTrend, [](const modbus::Transaction &t) {
        if (t.tag == 0)
            frmTrend->monitorTimedOut(QDateTime::currentMSecsSinceEpoch());
    });
    QObject::connect(frmMain, &TfrmMain::monitorStarted, frmTrend, &TfrmTrend::monitorInterrupted);
    QObject::connect(frmMain->ClientSocket1, &ModbusLink::disconnected, frmTrend,
                     [] { frmTrend->monitorInterrupted(QDateTime::currentMSecsSinceEpoch()); });
    frmTrend->monitorLayout(frmMain->trendLayout());
    // Resizable: kept on the main window's screen.
    QObject::connect(frmMain->trendMenuItem(), &QAction::triggered, frmTrend, [] {
        frmMain->placeBesideOnScreen(frmTrend, 10);
        frmTrend->show();
        frmTrend->raise();
        frmTrend->activateWindow();
    });
}

} // namespace

void setProgramOptions(const StartOptions &options)
{
    g_options = options;
    if (!options.settingsFile.isEmpty())
        setSettingsFilePathOverride(options.settingsFile);
}

void setProgramArguments(const QStringList &arguments)
{
    setProgramOptions(parseCommandLine(arguments).options);
}

const StartOptions &programOptions()
{
    return g_options;
}

void CreateAllForms()
{
    frmMain = new TfrmMain;
    // The dialogs' link: the main window's connection, connected as the
    // connection dialog says. A child of the main window created after the
    // connection, so it goes before the dialogs do.
    auto *gateway = new MainGatewayLink(
        *frmMain->ClientSocket1, [] { return frmMain->isConnected(); },
        [] { return frmConnect ? frmConnect->statusText() : QString(); }, frmMain);
    AppSettings &settings = frmMain->Settings;
    frmModInfo = new TfrmModInfo(*gateway, gatewayIsRm2, frmMain);
    frmGWcfg = new TfrmGWcfg(*gateway, settings, frmMain);
    frmWattorSet = new TfrmWattorSet(*gateway, settings, frmMain);
    frmFTPtool = new TfrmFTPtool(settings, frmMain);
    frmWriteTool = new TfrmWriteTool(*gateway, frmMain);
    frmCntrPreset = new TfrmCntrPreset(*gateway, settings, frmMain);
    frmConnect = new TfrmConnect(*frmMain->ClientSocket1, settings, frmMain);
    frmSoftCntr = new TfrmSoftCntr(*gateway, monitorAddresses, frmMain);
    frmLadderConsole = new TfrmLadderConsole(frmMain);
    frmCommStats = new TfrmCommStats(frmMain);
    frmTraffic = new TfrmTraffic(frmMain);
    wireConnectionDialog();
    wireMainMenu();
    wireDialogs();
    wireDiagnostics();
    wireReconnect();
    frmTrend = new TfrmTrend(frmMain);
    wireTrend();
}

void DestroyAllForms()
{
    // The link closes as it goes and reports the drop: nothing may then
    // reconnect or write into a main window half taken down.
    delete frmMain->findChild<AutoReconnect *>(QStringLiteral("AutoReconnect"));
    delete frmMain;  // the dialogs are its children
    frmMain = nullptr;
    frmModInfo = nullptr;
    frmGWcfg = nullptr;
    frmWattorSet = nullptr;
    frmFTPtool = nullptr;
    frmWriteTool = nullptr;
    frmCntrPreset = nullptr;
    frmConnect = nullptr;
    frmSoftCntr = nullptr;
    frmLadderConsole = nullptr;
    frmCommStats = nullptr;
    frmTraffic = nullptr;
    frmTrend = nullptr;
}
