#include "app/Forms.h"
#include "app/Settings.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
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
TfrmTrend *frmTrend = nullptr;

namespace {
StartOptions g_options;
}

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
    frmTrend = new TfrmTrend(frmMain);

    // The trend follows the monitor: its answers, its selection, and (from
    // the link) the polls that got no answer in time.
    QObject::connect(frmMain, &TfrmMain::monitorValues, frmTrend, &TfrmTrend::monitorAnswer);
    QObject::connect(frmMain, &TfrmMain::monitorLayoutChanged, frmTrend, &TfrmTrend::monitorLayout);
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
    frmTrend = nullptr;
}
