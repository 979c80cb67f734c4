#pragma once
// The main window: the program's frame and menu, and the view of the
// session's monitor. It hands the choices of its controls to the session,
// turns the user's presses into calls on it, and draws what the session
// reports; what the program knows lives in the session, not here.
#include "monitor/MonitorSession.h"
#include "monitor/TrendData.h"
#include <QMainWindow>
#include <array>

namespace Ui { class TfrmMain; }
class QLabel;
class QMenu;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(MonitorSession &session, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The windows the menu opens (windowRequested).
    enum class Tool {
        ModuleInfo, FtpTool, TerminalSettings, WriteTool, CounterPreset, SoftCounter,
        LadderConsole, CommStats, Traffic, Trend
    };

    // The connection check of commands that need the gateway: shows
    // "リレイモに接続されていません" and returns false when not connected.
    bool ConnectionCheck();
    // The gateway kind chosen on the panel (the module information decodes by it).
    bool isRm2Gateway() const;
    // What the trend belongs to now: the selection and the channel names.
    monitor::TrendLayout trendLayout() const;
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

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setupMenu();
    void setupMonitor();
    void setupValueBoxes();
    void setupFormatMenu();
    void showSessionAnswers();
    void setupLog();
    void setupLanguageMenu();
    void setClientHeight(int height);
    void showConnectionState(monitor::ConnectionState state);
    void showMonitoring(bool on);
    void setDisplayFormat(int format);
    // The selection of the controls, handed to the session.
    void updateSelection();
    monitor::MonitorPage monitorPage() const;
    void applyTerminalLayout(int base, int stride);
    void applyBitPageLayout(monitor::MonitorPage page);
    void setWordGroupCaptions(const QString &prefix, int base, int first);
    void showBoxes(const monitor::MonitorBoxes &boxes);
    void clearBoxes();
    void setStale(bool stale);
    void showCounterColours(bool monitoring);
    void sendBitOutput(const QLabel *label, bool on);

    MonitorSession &m_session;
    Ui::TfrmMain *ui;
    std::array<QLabel *, 32> m_values{};
    std::array<QLabel *, 32> m_labels{};
    std::array<QLabel *, 32> m_units{};
    std::array<QLabel *, 4> m_headers{};
    std::array<QPalette, 36> m_livePalettes;  // of the value and header boxes while greyed
    QMenu *m_formatMenu = nullptr;
    int m_counterColours = -1;
    bool m_exiting = false;
};
