#pragma once
// What the program knows while it runs, apart from any window: the one
// connection to the gateway and its state, the settings in memory, the
// monitor's selection, its poll and the decoded numbers of its answers, the
// monitor and log counters, the CSV rows not yet saved and the automatic
// saving of them.
//
// The windows show it: they hand their controls' choices in (setSelection,
// setDisplayFormat, setAutoSaveFields), turn the user's presses into calls
// (startMonitoring, startLogging, ...) and draw what the signals give them.
// Nothing here reads a widget, and nothing here is read back from one: the
// trend and the CSV rows are made from the answer's numbers.
#include "app/Settings.h"
#include "monitor/BusRecorder.h"
#include "link/ModbusLink.h"
#include "monitor/ConversionTable.h"
#include "monitor/MonitorAnswer.h"
#include "monitor/MonitorPolling.h"
#include "monitor/SiteFile.h"
#include "monitor/TrendData.h"
#include "monitor/WriteJournal.h"
#include "tools/gwcfg/AutoSaveFields.h"
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <array>
#include <optional>
#include <unordered_map>

namespace monitor {

// The connection as the socket has it.
enum class ConnectionState { Disconnected, Connecting, Connected };

// What a tick reads and how its answers are decoded. Each poll request is
// stamped with the selection it was sent under; its answer is decoded by
// that selection, and shown only while the selection is still the same.
struct MonitorSelection {
    PollSelection poll;
    int dataType = 0;           // cbxDataType item, -1 none
    bool extendedArea = false;  // the word page's "拡張512W入力データ"
    int bitDataItem = 0;        // BitDataSelect item
    friend bool operator==(const MonitorSelection &, const MonitorSelection &) = default;
};

} // namespace monitor

class MonitorSession : public QObject {
    Q_OBJECT
public:
    explicit MonitorSession(QObject *parent = nullptr);
    ~MonitorSession() override;

    ModbusLink &link() { return *m_link; }
    const ModbusLink &link() const { return *m_link; }
    AppSettings &settings() { return m_settings; }
    const AppSettings &settings() const { return m_settings; }
    // Every write the program sends, with how it ended (monitor/WriteJournal.h).
    WriteJournal &journal() { return m_journal; }
    const WriteJournal &journal() const { return m_journal; }
    // Writes a coil through the link and records it in the journal under
    // `source` (the main window's bit outputs).
    Reply writeSingleCoil(const QString &source, uint32_t address, uint8_t state);

    // ---- connection ----
    monitor::ConnectionState connectionState() const;
    bool isConnected() const { return connectionState() == monitor::ConnectionState::Connected; }
    // Points the link at the settings' host, port and response timeout.
    void applyConnectionSettings();

    // ---- selection ----
    void setSelection(const monitor::MonitorSelection &selection);
    const monitor::MonitorSelection &selection() const { return m_selection; }
    // 0 decimal, 1 hex, 2 converted, 3 characters.
    void setDisplayFormat(int format) { m_displayFormat = format; }
    int displayFormat() const { return m_displayFormat; }
    ConversionTable &conversionTable() { return m_table; }
    std::array<float, 32> &realFactor() { return m_realFactor; }
    // Everything an answer of the selection is decoded by.
    monitor::MonitorState decodingState(const monitor::MonitorSelection &selection) const;

    // ---- monitoring ----
    enum class StartFailure { None, Numbering, Interval };
    // Starts monitoring at the interval the text gives: the monitor count
    // restarts, the file numbering restarts from the auto-save fields.
    // On a failure *error says why and monitoring stays off; a numbering
    // failure comes before the counters restart, an interval failure after.
    StartFailure startMonitoring(const QString &intervalText, QString *error);
    void stopMonitoring();
    bool isMonitoring() const { return m_monitoring; }
    // One tick of the poll: the reads of the present selection, in one send.
    void tick();
    QTimer &pollTimer() { return m_pollTimer; }
    int pollInterval() const { return m_pollTimer.interval(); }
    uint32_t monitorCount() const { return m_monitorCount; }
    QString monitorElapsedText() const;
    // Monitoring was on when the connection dropped: on again, with the
    // counters, the log and its rows going on (automatic reconnection).
    void resumeMonitoring();
    // Monitoring stops while another reader has the gateway to itself (a
    // survey), and goes on afterwards as it was, with its counters, the log
    // and its rows: endMonitoringPause() resumes it if it was on at the
    // pause. A connection that drops meanwhile resumes it when it comes back
    // (resumeMonitoring). Pressing ▶ in between is the user's choice and stays.
    void pauseMonitoring();
    void endMonitoringPause();
    bool isStale() const { return m_stale; }

    // ---- logging ----
    void startLogging();
    void stopLogging();
    bool isLogging() const { return m_logging; }
    uint32_t logCount() const { return m_logCount; }
    QString logElapsedText() const { return m_logElapsedText; }
    // The rows logged since logging started or the last file was saved.
    const QStringList &rows() const { return m_rows; }
    // The rows go without a file (the connection dialog's 接続 clears the
    // log area); the counters stay.
    void clearRows();
    // The last answer's row, logged or not.
    const QString &lastRow() const { return m_lastRow; }
    int logFileNumber() const { return m_logFileNumber; }
    int logFileDigits() const { return m_logFileDigits; }
    // The automatic-saving fields, as the settings dialog holds them.
    void setAutoSaveFields(const AutoSaveFields &fields) { m_autoSave = fields; }
    const AutoSaveFields &autoSaveFields() const { return m_autoSave; }
    // The rows as a file of CR LF lines (the log area's manual save).
    bool saveRows(const QString &path, QString *error) const;

    // ---- recording ----
    // The bus recorder (monitor/BusRecorder.h).
    BusRecorder &recorder() { return *m_recorder; }
    const BusRecorder &recorder() const { return *m_recorder; }
    // Starts a recording in the log folder of the installation open (none:
    // the whole input area), at the monitor's interval: the running poll's,
    // or the one the text gives. False with *error when the interval is no
    // number or 0, or the file cannot be made.
    bool startRecording(const QString &intervalText, QString *error);
    void stopRecording();

    // ---- installation ----
    // The installation open now (none until a file is opened or one is
    // made) and the file it came from or was last saved to (empty: none).
    // Its gateway is only shown: the connection stays as the settings have
    // it until the user changes them.
    void setSite(const site::Site &site, const QString &path);
    void clearSite();
    const std::optional<site::Site> &site() const { return m_site; }
    const QString &sitePath() const { return m_sitePath; }

    // The decoding of one monitor answer (the poll's own read, tag 0) and of
    // the header words (tag 20), by the selection the request was sent
    // under. The link calls these; a benchmark or test may feed them.
    void handleValuesAnswer(const ReceiveBuffer &rb, const modbus::Transaction &request);
    void handleHeaderAnswer(const ReceiveBuffer &rb, const modbus::Transaction &request);

signals:
    void connectionStateChanged(monitor::ConnectionState state);
    void monitoringChanged(bool on);
    // Monitoring was started at atMs (ms since the epoch).
    void monitorStarted(qint64 atMs);
    // The boxes an answer fills (values or header words).
    void boxesDecoded(const monitor::MonitorBoxes &boxes);
    // The row of a values answer, logged or not, and the counters after it.
    void answerRow(const QString &row);
    void monitorCounted(uint32_t count, const QString &elapsed);
    // A row went into the log, with the log counters after it.
    void rowLogged(const QString &row, uint32_t logCount, const QString &elapsed);
    // The rows were saved to a file or logging started again.
    void rowsCleared();
    // The numbers of a values answer and when it came (ms since the epoch).
    void valuesSampled(const monitor::TrendSample &sample, qint64 arrivalMs);
    // A monitor poll got no answer in time; or answers came again.
    void monitorTimedOut(std::optional<int64_t> msSinceLastAnswer);
    void staleChanged(bool stale);
    // A line for the status bar, and a message to show in a box (after the
    // answer's handler has returned).
    void statusText(const QString &text);
    void errorMessage(const QString &text);
    // The installation or its file changed (setSite, clearSite).
    void siteChanged();

private:
    void onDisconnected();
    void onTimedOut(const modbus::Transaction &request);
    // The selection a request was sent under, if it still is the present one.
    bool stampedCurrent(const modbus::Transaction &request, monitor::MonitorSelection *stamped);
    void answerCame();
    void logRow(const QString &row);
    void autoSaveCheck();
    void autoSave();

    AppSettings m_settings;
    ModbusLink *m_link;
    // A member, so it goes before the link (a child): the writes still in
    // flight at the end are recorded before the link drops their replies.
    WriteJournal m_journal;
    monitor::MonitorSelection m_selection;
    int m_displayFormat = 0;
    ConversionTable m_table;
    std::array<float, 32> m_realFactor{};
    // The selection of each poll request in flight, by its serial.
    std::unordered_map<uint64_t, monitor::MonitorSelection> m_stamps;

    QTimer m_pollTimer;
    bool m_monitoring = false;
    bool m_monitoringAtDisconnect = false;
    bool m_monitoringAtPause = false;
    uint32_t m_monitorCount = 0;
    bool m_stale = false;
    QElapsedTimer m_lastAnswer;  // invalid until the first answer

    bool m_logging = false;
    uint32_t m_logCount = 0;
    QString m_logElapsedText;
    QStringList m_rows;
    QString m_lastRow;
    int m_logFileNumber = 1;
    int m_logFileDigits = 4;
    AutoSaveFields m_autoSave;
    monitor::AutoSaveRule m_autoSaveRule;
    QString m_reportedAutoSaveError;

    std::optional<site::Site> m_site;
    QString m_sitePath;

    BusRecorder *m_recorder;
};

Q_DECLARE_METATYPE(monitor::ConnectionState)
