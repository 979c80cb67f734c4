#pragma once
// The main window: the program's frame and menu, and the view of the
// session's monitor. It hands the choices of its controls to the session,
// turns the user's presses into calls on it, and draws what the session
// reports; what the program knows lives in the session, not here.
#include "monitor/MonitorSession.h"
#include "monitor/TrendData.h"
#include <QMainWindow>

namespace Ui { class TfrmMain; }
class MonitorPanel;
class QLabel;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(MonitorSession &session, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The windows the menu opens (windowRequested).
    enum class Tool {
        ModuleInfo, FtpTool, TerminalSettings, WriteTool, CounterPreset, SoftCounter,
        LadderConsole, CommStats, Traffic, Trend, Journal, Site, Survey
    };

    // The connection check of commands that need the gateway: shows
    // "リレイモに接続されていません" and returns false when not connected.
    bool ConnectionCheck();
    // The gateway kind chosen on the panel (the module information decodes by it).
    bool isRm2Gateway() const;
    // What the trend belongs to now: the selection and the channel names.
    monitor::TrendLayout trendLayout() const;
    // Shows the word terminal at address of type (item of cbTerminalType)
    // on the monitor panel: the page DB/D2ﾜｰﾄﾞ, the address and the type.
    void showTerminal(int address, int type);
    // The items of cbTerminalType, for windows that name terminal types.
    QStringList terminalTypeNames() const;
    // The text of the monitor's interval edit (the survey samples at it).
    QString monitorIntervalText() const;
    // Writes the window's place and the addresses into the settings and
    // the settings file.
    void SaveSettings();
    // Reads a conversion table file into the session's table; a failure is
    // reported in a message box (entries read before the failing line stay).
    bool LoadConversionTable(const QString &fileName);
    // The program Button1 starts: this program's own executable unless a
    // test set another.
    static QString anotherCopyProgram();
    static void setAnotherCopyProgram(const QString &path);

signals:
    void connectionDialogRequested();
    // The settings dialog filled from the settings and shown modally on a page.
    void settingsPageRequested(int page);
    void windowRequested(TfrmMain::Tool tool);
    // ファイル → 記録を開く: a recording to show in a trend window of its own.
    void recordingOpenRequested();
    // After every layout refresh: the selection and channel names.
    void monitorLayoutChanged(const monitor::TrendLayout &layout);

public slots:
    void Exit1Click();
    void sbtnConnClick();
    void sbtnDisConnClick();
    void showStatusText(const QString &text);
    void clearStatusText();
    // The soft-counter dialog names the bit output coil of the monitor.
    void showBitOutputCoil(int coil);
    void LangClick(const QString &lang);

    // Monitor.
    void sbtnMonitorClick();
    void chkbxAutoChangeClick();
    void RefreshMonitorLayout();
    void btnBitOnClick();
    void btnBitOffClick();
    void btnD2BitOnClick();
    void btnD2BitOffClick();
    void Button1Click();

    // Log.
    void sbtnLogStartClick();
    void sbtnLogStopClick();
    void Save1Click();
    void N11Click();
    void N9Click();

    // Recording.
    void mnuRecordStartClick();
    void mnuRecordStopClick();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setupMenu();
    void setupMonitor();
    void setupLog();
    void setupRecording();
    void setupLanguageMenu();
    void setClientHeight(int height);
    void showConnectionState(monitor::ConnectionState state);
    void sendBitOutput(const QLabel *label, bool on);

    MonitorSession &m_session;
    Ui::TfrmMain *ui;
    MonitorPanel *m_panel = nullptr;
    bool m_exiting = false;
};
