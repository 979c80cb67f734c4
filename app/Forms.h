#pragma once
// The program's windows. All are created once at start-up, in this order,
// the main window first, and live until the end: the ten of the tool, then
// the two diagnostics windows (statistics and traffic) and the trend.
class TfrmMain;
class TfrmModInfo;
class TfrmGWcfg;
class TfrmWattorSet;
class TfrmFTPtool;
class TfrmWriteTool;
class TfrmCntrPreset;
class TfrmConnect;
class TfrmSoftCntr;
class TfrmLadderConsole;
class TfrmCommStats;
class TfrmTraffic;
class TfrmTrend;

extern TfrmMain *frmMain;
extern TfrmModInfo *frmModInfo;
extern TfrmGWcfg *frmGWcfg;
extern TfrmWattorSet *frmWattorSet;
extern TfrmFTPtool *frmFTPtool;
extern TfrmWriteTool *frmWriteTool;
extern TfrmCntrPreset *frmCntrPreset;
extern TfrmConnect *frmConnect;
extern TfrmSoftCntr *frmSoftCntr;
extern TfrmLadderConsole *frmLadderConsole;
extern TfrmCommStats *frmCommStats;
extern TfrmTraffic *frmTraffic;
extern TfrmTrend *frmTrend;

#include "app/CommandLine.h"
#include <QStringList>

// The program's start options as the main window reads them at creation
// (the conversion table to load). main() sets them; a test that creates the
// windows sees none unless it sets them itself, as options or as the
// command-line arguments they are parsed from. A settings file given in the
// options becomes the one the program reads and writes.
void setProgramOptions(const StartOptions &options);
void setProgramArguments(const QStringList &arguments);
const StartOptions &programOptions();

void CreateAllForms();
// Destroys them again (tests create a fresh set per case). The main window's
// destruction saves the settings, as at the end of the program.
void DestroyAllForms();
