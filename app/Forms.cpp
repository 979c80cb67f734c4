#include "app/Forms.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "diag/TfrmCommStats.h"
#include "diag/TfrmTraffic.h"
#include <QAction>
#include "termset/TfrmWattorSet.h"
#include "tools/cntrpreset/TfrmCntrPreset.h"
#include "tools/ftp/TfrmFTPtool.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "tools/ladder/TfrmLadderConsole.h"
#include "tools/modinfo/TfrmModInfo.h"
#include "tools/softcntr/TfrmSoftCntr.h"
#include "tools/writetool/TfrmWriteTool.h"

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

namespace {

QStringList g_arguments;

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
    QObject::connect(link, &ModbusLink::connected, frmCommStats, [] { frmCommStats->onConnected(); });
    QObject::connect(link, &ModbusLink::disconnected, frmCommStats, &TfrmCommStats::onDisconnected);
    QObject::connect(link, &ModbusLink::frameSent, frmCommStats, &TfrmCommStats::onRequestSent);
    QObject::connect(link, &ModbusLink::frameSent, frmTraffic, &TfrmTraffic::onRequestSent);
    QObject::connect(link, &ModbusLink::bytesRead, frmCommStats, &TfrmCommStats::onBytesReceived);
    QObject::connect(link, &ModbusLink::streamLost, frmCommStats, [] { frmCommStats->onStreamLost({}); });
    QObject::connect(link, &ModbusLink::streamLost, frmTraffic, [] { frmTraffic->onStreamLost({}); });
}

} // namespace

void setProgramArguments(const QStringList &arguments)
{
    g_arguments = arguments;
}

const QStringList &programArguments()
{
    return g_arguments;
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
}

void DestroyAllForms()
{
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
}
