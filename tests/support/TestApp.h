#pragma once
// Test support: the whole program made by its composition root, with
// pointers to its session and windows for the tests to reach them by (the
// program itself has no such globals). Set by createTestApp, cleared by
// destroyTestApp; AppFixture does both.
#include "app/App.h"
#include "app/CommandLine.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "diag/TfrmCommStats.h"
#include "diag/TfrmTraffic.h"
#include "monitor/MonitorSession.h"
#include "termset/TfrmWattorSet.h"
#include "tools/cntrpreset/TfrmCntrPreset.h"
#include "tools/ftp/TfrmFTPtool.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "tools/journal/TfrmJournal.h"
#include "tools/ladder/TfrmLadderConsole.h"
#include "tools/modinfo/TfrmModInfo.h"
#include "tools/site/TfrmSite.h"
#include "tools/softcntr/TfrmSoftCntr.h"
#include "tools/trend/TfrmTrend.h"
#include "tools/writetool/TfrmWriteTool.h"
#include <QAction>
#include <QLabel>

inline App *theApp = nullptr;
inline MonitorSession *appSession = nullptr;
inline TfrmMain *frmMain = nullptr;
inline TfrmModInfo *frmModInfo = nullptr;
inline TfrmGWcfg *frmGWcfg = nullptr;
inline TfrmWattorSet *frmWattorSet = nullptr;
inline TfrmFTPtool *frmFTPtool = nullptr;
inline TfrmWriteTool *frmWriteTool = nullptr;
inline TfrmCntrPreset *frmCntrPreset = nullptr;
inline TfrmConnect *frmConnect = nullptr;
inline TfrmSoftCntr *frmSoftCntr = nullptr;
inline TfrmLadderConsole *frmLadderConsole = nullptr;
inline TfrmCommStats *frmCommStats = nullptr;
inline TfrmTraffic *frmTraffic = nullptr;
inline TfrmTrend *frmTrend = nullptr;
inline TfrmJournal *frmJournal = nullptr;
inline TfrmSite *frmSite = nullptr;
// The survey window (tools/survey/TfrmSurvey.h).
class TfrmSurvey;
inline TfrmSurvey *frmSurvey = nullptr;

// Creates the program with these start options (a settings file among them
// becomes the one it reads and writes), or with those parsed from arguments.
void createTestApp(const StartOptions &options = {});
void createTestAppFromArguments(const QStringList &arguments);
// Destroys it again; the main window's end saves the settings.
void destroyTestApp();

// The settings dialog filled from the settings, as its menu items fill it
// before they show it.
void fillSettingsDialog();
// Triggers a menu item of the main window by its name.
void triggerMenu(const char *name);
// Switches automatic reconnection on or off in the settings dialog
// (設定 → Modbus設定), as a user does.
void setReconnectOption(bool on);
// Value box p (StVal<p>) and header box i (stWI<i>) of the main window.
QLabel *valueBox(int p);
QLabel *headerBox(int i);
