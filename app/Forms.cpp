#include "app/Forms.h"
#include "app/Settings.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
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
}
