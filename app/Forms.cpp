#include "app/Forms.h"
#include "app/Settings.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "diag/AutoReconnect.h"
#include "diag/TfrmCommStats.h"
#include "diag/TfrmTraffic.h"
#include "ui_TfrmMain.h"
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
#include <QDateTime>

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

// Automatic reconnection: the option of the settings dialog, the link's
// events, each attempt in the status bar and the connection dialog, and
// monitoring resumed once the connection is back. Also tells the
// statistics whether a connection is the user's or came back by itself.
void wireReconnect()
{
    ModbusLink *link = frmMain->ClientSocket1;
    auto *r = new AutoReconnect([link] { link->open(); }, frmMain);
    r->setObjectName(QStringLiteral("AutoReconnect"));
    r->setEnabled(frmMain->Settings.modbusReconnect != 0);
    QObject::connect(frmGWcfg, &QDialog::accepted, r, [r] {
        r->setEnabled(frmMain->Settings.modbusReconnect != 0);
        frmCommStats->setResponseTimeout(frmMain->Settings.responseTimeoutMs);
    });
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
    auto attemptText = [r] { return QStringLiteral("再接続中 (%1 回目)・・・").arg(r->attempt()); };
    // The link's "接続中・・・" of an attempt says which attempt it is.
    QObject::connect(link, &ModbusLink::connecting, r, [r, attemptText] {
        if (r->isPending())
            frmConnect->setStatusText(attemptText());
    });
    QObject::connect(r, &AutoReconnect::attemptScheduled, frmMain, [](int n, qint64 ms) {
        const QString why = n == 1 ? QStringLiteral("接続が切れました。") : QStringLiteral("再接続できませんでした。");
        frmMain->showStatusText(why + QStringLiteral("%1 秒後に再接続します (%2 回目)").arg(ms / 1000).arg(n));
        frmConnect->setStatusText(QStringLiteral("再接続待ち (%1 回目、%2 秒後)").arg(n).arg(ms / 1000));
    });
    QObject::connect(r, &AutoReconnect::attemptStarted, frmMain, [attemptText] {
        frmMain->showStatusText(attemptText());
        if (!frmMain->ClientSocket1->isOpen())
            frmConnect->setStatusText(attemptText());
    });
    QObject::connect(r, &AutoReconnect::reconnected, frmMain, [](int n) {
        frmMain->showStatusText(QStringLiteral("再接続しました (%1 回目)").arg(n));
        frmMain->resumeMonitoring();
    });
    QObject::connect(r, &AutoReconnect::stopped, frmMain, [] {
        if (!frmMain->ClientSocket1->isOpen())
            frmConnect->setStatusText(QStringLiteral("接続されていません"));
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
    frmModInfo = new TfrmModInfo(frmMain);
    frmGWcfg = new TfrmGWcfg(frmMain);
    frmWattorSet = new TfrmWattorSet(frmMain);
    frmFTPtool = new TfrmFTPtool(frmMain);
    frmWriteTool = new TfrmWriteTool(frmMain);
    frmCntrPreset = new TfrmCntrPreset(frmMain);
    frmConnect = new TfrmConnect(frmMain);
    frmSoftCntr = new TfrmSoftCntr(frmMain);
    frmLadderConsole = new TfrmLadderConsole(frmMain);
    frmCommStats = new TfrmCommStats(frmMain);
    frmTraffic = new TfrmTraffic(frmMain);
    wireDiagnostics();
    wireReconnect();
    frmTrend = new TfrmTrend(frmMain);

    // The trend follows the monitor: its answers, its selection, and (from
    // the link) the polls that got no answer in time.
    QObject::connect(frmMain, &TfrmMain::monitorValues, frmTrend, &TfrmTrend::monitorAnswer);
    QObject::connect(frmMain, &TfrmMain::monitorLayoutChanged, frmTrend, &TfrmTrend::monitorLayout);
    QObject::connect(frmMain->ClientSocket1, &ModbusLink::requestTimedOut, frmTrend, [](const modbus::Transaction &t) {
        if (t.tag == 0)
            frmTrend->monitorTimedOut(QDateTime::currentMSecsSinceEpoch());
    });
    frmTrend->monitorLayout(frmMain->trendLayout());
    QObject::connect(frmMain->ui->actTrend, &QAction::triggered, frmTrend, [] {
        frmMain->placeBeside(frmTrend, 10);
        frmTrend->show();
        frmTrend->raise();
        frmTrend->activateWindow();
    });
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
