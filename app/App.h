#pragma once
// The composition root: creates the session and every window, and wires
// them together with signals. No window reaches another window's controls;
// what one window asks of another goes through here.
#include "app/CommandLine.h"
#include <QObject>
#include <memory>

class MonitorSession;
class MainGatewayLink;
class AutoReconnect;
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
class TfrmJournal;
class TfrmSite;
class TfrmSurvey;
class Survey;

class App : public QObject {
    Q_OBJECT
public:
    // Reads the settings file (the one the options name, if they do) and
    // creates the session and the windows; the main window is not shown yet.
    // A conversion table the options name is loaded.
    explicit App(const StartOptions &options = {});
    // The main window's end saves the settings, as at the end of the program.
    ~App() override;

    // The start-up actions of the command line, run once the window is up:
    // --trend opens the trend window, --connect connects as the connection
    // dialog's 接続 does, --monitor presses ▶ and --record chooses
    // ファイル → 記録開始 the first time the connection opens.
    void start(const StartOptions &options);

    MonitorSession &session() { return *m_session; }
    TfrmMain *mainWindow() const { return m_main; }
    TfrmModInfo *moduleInfo() const { return m_modInfo; }
    TfrmGWcfg *settingsDialog() const { return m_gwcfg; }
    TfrmWattorSet *terminalSettings() const { return m_wattorSet; }
    TfrmFTPtool *ftpTool() const { return m_ftp; }
    TfrmWriteTool *writeTool() const { return m_writeTool; }
    TfrmCntrPreset *counterPreset() const { return m_cntrPreset; }
    TfrmConnect *connectionDialog() const { return m_connect; }
    TfrmSoftCntr *softCounters() const { return m_softCntr; }
    TfrmLadderConsole *ladderConsole() const { return m_ladder; }
    TfrmCommStats *commStats() const { return m_commStats; }
    TfrmTraffic *traffic() const { return m_traffic; }
    TfrmTrend *trend() const { return m_trend; }
    TfrmJournal *journalWindow() const { return m_journal; }
    TfrmSite *site() const { return m_site; }
    TfrmSurvey *surveyWindow() const { return m_surveyWindow; }
    Survey &survey() { return *m_survey; }

    // ファイル → 記録を開く after its file dialog: the recording at path in a
    // trend window of its own (one more for every recording opened), beside
    // the main window; closed, the window goes. A file that cannot be opened
    // as a recording is told in an error box, and null returned.
    TfrmTrend *openRecording(const QString &path);

private:
    void openWindow(int tool);
    void showSettingsPage(int page);
    void wireConnection();
    void wireDialogs();
    void wireDiagnostics();
    void wireReconnect();
    void wireTrend();
    // The file dialog of ファイル → 記録を開く, in the log folder.
    void chooseRecording();
    // The link of one window: its writes go into the journal under its name.
    MainGatewayLink *gatewayFor(const QString &source);

    MonitorSession *m_session = nullptr;
    TfrmMain *m_main = nullptr;
    TfrmModInfo *m_modInfo = nullptr;
    TfrmGWcfg *m_gwcfg = nullptr;
    TfrmWattorSet *m_wattorSet = nullptr;
    TfrmFTPtool *m_ftp = nullptr;
    TfrmWriteTool *m_writeTool = nullptr;
    TfrmCntrPreset *m_cntrPreset = nullptr;
    TfrmConnect *m_connect = nullptr;
    TfrmSoftCntr *m_softCntr = nullptr;
    TfrmLadderConsole *m_ladder = nullptr;
    TfrmCommStats *m_commStats = nullptr;
    TfrmTraffic *m_traffic = nullptr;
    TfrmTrend *m_trend = nullptr;
    TfrmJournal *m_journal = nullptr;
    TfrmSite *m_site = nullptr;
    Survey *m_survey = nullptr;
    TfrmSurvey *m_surveyWindow = nullptr;
    AutoReconnect *m_reconnect = nullptr;
};
