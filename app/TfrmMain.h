#pragma once
// The main window: the program's frame and menu, the settings in memory,
// the one Modbus/TCP connection and its states, and the monitor.
#include "app/Settings.h"
#include "link/ModbusLink.h"
#include "monitor/ConversionTable.h"
#include "monitor/MonitorAnswer.h"
#include "monitor/MonitorLayout.h"
#include "monitor/MonitorPolling.h"
#include "monitor/TrendData.h"
#include "tools/gwcfg/AutoSaveFields.h"
#include <QElapsedTimer>
#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>

namespace Ui { class TfrmMain; }
class QAction;
class QLabel;
class QMenu;
class QTimer;
struct StartOptions;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The program's only Modbus/TCP connection.
    ModbusLink *ClientSocket1;
    // The settings in memory (loaded at creation, written by SaveSettings).
    AppSettings Settings;
    // Monitoring flag: 0 idle, 1 polling.
    int Monitoring = 0;

    // Control reference arrays of the monitor panel, collected by name at
    // creation; a slot whose control does not exist stays null.
    std::array<QLabel *, 4> stWI{};
    std::array<QLabel *, 32> StVal{};
    std::array<QLabel *, 32> lbTanni{};
    std::array<QLabel *, 32> lbHd{};

    // The request builders, each returning the request's reply.
    Reply SendReadInputRegisters(uint8_t tag, uint32_t address, uint32_t count)
    { return ClientSocket1->SendReadInputRegisters(tag, address, count); }
    Reply SendReadHoldingRegisters(uint8_t tag, uint32_t address, uint32_t count)
    { return ClientSocket1->SendReadHoldingRegisters(tag, address, count); }
    Reply SendWriteSingleRegister(uint32_t address, uint32_t value)
    { return ClientSocket1->SendWriteSingleRegister(address, value); }
    Reply SendWriteTwoRegisters(uint32_t address, uint32_t value)
    { return ClientSocket1->SendWriteTwoRegisters(address, value); }
    Reply SendWriteSingleCoil(uint32_t address, uint8_t state)
    { return ClientSocket1->SendWriteSingleCoil(address, state); }

    // True when the connection dialog says "接続しました".
    bool isConnected() const;
    // The connection dialog's status text, the one place the connection
    // state is kept; handed over by app/Forms.cpp. Unset: not connected.
    std::function<QString()> connectionStatusSource;
    // The connection check of commands that need the gateway: shows
    // "リレイモに接続されていません" and returns false when not connected.
    bool ConnectionCheck();

    // Places a dialog at the main window's top + dy and left + dx.
    void placeDialog(QWidget *dialog, int dx, int dy);
    // Places a tool dialog with its top at the main window's top and its
    // left at the main window's right edge + gap.
    void placeBeside(QWidget *dialog, int gap);
    // Places a resizable window as placeBeside does, then keeps it on the
    // main window's screen: narrower (or lower) down to its minimum size
    // where it would run past the edge, moved back only where that is not
    // enough.
    void placeBesideOnScreen(QWidget *window, int gap);
    // Client height (below the menu, status bar included) of the fixed frame.
    void setClientHeight(int height);

    void clearStatusText();
    void showStatusText(const QString &text);
    void clearLogArea();

    // ---- CSV logging (app/TfrmMainLog.cpp) ----
    int Logging = 0;
    uint32_t LogCount = 0;
    int LogFileNumber = 1;
    int LogFileDigits = 4;
    // Called by HandleMonitorAnswer with the row it built: appends the row
    // to the log area and advances the log counters when logging is on.
    void LogAnswerRow(const QString &row);
    // Called by HandleMonitorAnswer after MonitorCount advanced.
    void AutoSaveCheck();
    // Start of monitoring: takes the first file number and the digit count
    // from the settings dialog. False (after reporting) when they do not
    // convert; monitoring then does not start.
    bool RestartLogFileNumbering();
    // Connects the log buttons and the file and view menu items of the log
    // and the conversion table (called once by the constructor).
    void setupLogging();
    void sbtnLogStartClick();
    void sbtnLogStopClick();
    void Save1Click();
    void N11Click();
    // Writes the log area into the next numbered file (auto-save).
    void AutoSaveLog();
    // Where the automatic-saving fields come from: the settings dialog's
    // log page, handed over by app/Forms.cpp. Unset, every field is empty
    // (nothing is saved, and monitoring refuses to start).
    std::function<AutoSaveFields()> autoSaveSource;
    // The auto-save rule (it remembers the unusable interval text it
    // reported), and the last auto-save write failure, already reported.
    monitor::AutoSaveRule autoSaveRule;
    QString reportedAutoSaveError;

    // ---- conversion table (gain and offset per channel) ----
    ConversionTable conversionTable;
    void N9Click();
    // Reads a table file into conversionTable; a failure is reported in a
    // message box (entries read before the failing line stay).
    bool LoadConversionTable(const QString &fileName);

    // ---- monitor (app/TfrmMainMonitor.cpp) ----
    // The poll timer: 500 ms from creation, always running; monitoring
    // takes its interval from the Interval edit (0 stops it).
    QTimer *Timer1 = nullptr;
    // Monitor answers since monitoring last started.
    uint32_t MonitorCount = 0;
    // Display format of the value boxes: 0 decimal, 1 hex, 2 converted,
    // 3 characters (the checked item of PopupMenu1).
    int DisplayFormat = 0;
    // Factor of real data in the converted format, per value box.
    std::array<float, 32> RealFactor{};
    // Item indexes of BitDataSelect and DataAreaSelect as of the last layout
    // refresh (the bit display decides by the first).
    int BitDataSelectItem = 0;
    int DataAreaSelectItem = 1;
    QMenu *PopupMenu1 = nullptr;

    void Timer1On();
    void sbtnMonitorClick();
    void chkbxAutoChangeClick();
    void AdrsChange();
    void TypeChange();
    void RefreshMonitorLayout();
    void ApplyTerminalLayout(int base, int stride);
    // The bit pages' part of the layout (Bit or D2).
    void ApplyBitPageLayout(monitor::MonitorPage page);
    void SetWordGroupCaptions(const QString &prefix, int base, int first);
    // The answers of tag 0 (the polled window) and tag 20 (header words).
    void HandleMonitorAnswer(const ReceiveBuffer &rb);
    // The good answer to one of the monitor's poll requests, by its tag:
    // 0 the values (HandleMonitorAnswer), 20 the header words.
    void HandleMonitorReply(const ReceiveBuffer &rb);
    // The answer being handled read what a tick of the present selection
    // reads (the read window, or for tag 20 the header words); answers to
    // a tick of an earlier selection are not shown.
    bool answersCurrentSelection() const;
    // What a tick reads follows from these controls.
    monitor::PollSelection pollSelection() const;
    // The protocol address of the header words a tick reads.
    int headerWord() const;
    void ShowHeaderWord(int index, uint16_t value);
    // A monitor request (tag 0 or 20) timed out: the boxes keep their last
    // values greyed and the status bar says "応答なし" with the time since
    // the last answer, until the next monitor answer.
    void MonitorTimedOut(const modbus::Transaction &request);
    bool MonitorStale = false;
    // Monitoring as it was when the connection last dropped; an automatic
    // reconnection resumes it (resumeMonitoring) with the counters, the log
    // and its rows going on.
    int MonitoringAtDisconnect = 0;
    void resumeMonitoring();
    // What the trend belongs to now: the selection and the channel names of
    // the panel.
    monitor::TrendLayout trendLayout() const;
    void ByDecClick();
    void ByHexClick();
    void ByRatioClick();
    void ASCII1Click();
    void btnBitOnClick();
    void btnBitOffClick();
    void btnD2BitOnClick();
    void btnD2BitOffClick();
    // "追加起動": starts another copy of this program.
    void Button1Click();
    // The program Button1 starts: this program's own executable unless a
    // test set another.
    static QString anotherCopyProgram();
    static void setAnotherCopyProgram(const QString &path);

    // The start-up actions of the command line, run once the window is up:
    // --connect connects as the connection dialog's 接続 does, --monitor
    // presses ▶ the first time the connection opens.
    void StartFromOptions(const StartOptions &options);

    // 表示 → トレンド, which app/Forms.cpp connects to the trend window.
    QAction *trendMenuItem() const;

    void SaveSettings();
    void FillGWcfgFromSettings();
    // Shows the settings dialog modally on the given page.
    void showGWcfgPage(int page);

    // The tool windows the menu opens (toolRequested).
    enum class Tool { ModuleInfo, FtpTool, TerminalSettings, WriteTool, CounterPreset, SoftCounter, LadderConsole };

signals:
    // What the main window asks of the other windows; app/Forms.cpp wires
    // these to them. The connection state text for the connection dialog:
    void connectionStatusChanged(const QString &text);
    // The connection opened (after the state text and the buttons): the
    // connection dialog, if open, closes.
    void connectionOpened();
    // The connection dialog, modal (the speed button and the file menu).
    void connectionDialogRequested();
    // Connect as the connection dialog's 接続 does (--connect).
    void connectRequested();
    // The settings dialog placed and filled from the settings, and shown
    // modally on a page.
    void settingsFillRequested();
    void settingsPageRequested(int page);
    // A tool window opened beside the main window (a menu item; the module
    // information only when connected).
    void toolRequested(TfrmMain::Tool tool);
    // Every monitor answer: the numbers of its value boxes and the time it
    // arrived (ms since the epoch).
    void monitorValues(const monitor::TrendSample &sample, qint64 arrivalMs);
    // After every layout refresh: the selection and channel names.
    void monitorLayoutChanged(const monitor::TrendLayout &layout);
    // Monitoring was started at atMs (ms since the epoch): nothing was
    // polled since it stopped, if it ran before.
    void monitorStarted(qint64 atMs);

public slots:
    void FormCreate();
    void Exit1Click();

    // Connection (speed buttons and socket events).
    void sbtnConnClick();
    void sbtnDisConnClick();
    void ClientSockConnecting();
    void ClientSockConnect();
    void ClientSockDisconnect();
    void ClientSockError(ModbusLink::ErrorKind kind);

    // Menu commands that open a dialog.
    void m1Click();
    void Modbus1Click();
    void FTPF1Click();
    void L1Click();
    void TimeSetClick();
    void N7Click();
    void SWAP1Click();
    void FTPF2Click();
    void EPcfgClick();
    void W1Click();
    void N4Click();
    void s2Click();
    void L2Click();

    // 表示 → 言語: lang "ja" or "en" becomes the setting WINDOW lang, for the
    // next start; an information box in that language says so.
    void LangClick(const QString &lang);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Ui::TfrmMain *ui;

    void FormClose(QCloseEvent *event);
    void collectControlArrays();
    // Monitor controls, timer, pop-up menu and answer handlers (before
    // FormCreate); the change handlers of the selection (after it).
    void setupMonitor();
    void setupDisplayFormatMenu();
    void setupValueBoxes();
    // The page of pcSlaveType shown now.
    monitor::MonitorPage monitorPage() const;
    // What the decoding of an answer reads besides the answer.
    monitor::MonitorState monitorState() const;
    // Green and yellow counters while monitoring, grey otherwise.
    void showCounterColours(bool monitoring);
    void connectMonitorSelection();
    // The language items, checked for the language in use (after FormCreate).
    void setupLanguageMenu();
    int m_counterColours = -1;  // colour state of stCntr/stElTime
    void setMonitorStale(bool stale);
    QElapsedTimer m_lastMonitorAnswer;  // invalid until the first answer
    std::array<QPalette, 36> m_livePalettes;  // of the 32 value and 4 header boxes while greyed

    bool m_exiting = false;
};
