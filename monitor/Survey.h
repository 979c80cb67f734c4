#pragma once
// The survey (一括点検) of the session's installation: every terminal of the
// installation file in turn, then the gateway.
//
// - A terminal's values: `samples` answers at the interval, read as the
//   monitor reads that terminal on the DB/D2ﾜｰﾄﾞ page with the extended
//   input area (拡張512W入力データ) and decoded as the monitor decodes them
//   in decimal format. Per channel (every value box the monitor's layout
//   labels, and every channel the file names): lowest, mean and highest
//   value, the samples, and the verdict (OK, out of range, no answer).
// - The settings of power, current and outlet-bar terminals, read as the
//   terminal-settings dialog reads them with its default timings (reads
//   only; the commands that enter and leave settings mode go into the write
//   journal under "一括点検").
// - The module information (the three reads of its window) and the gateway
//   clock with its difference from the PC clock.
//
// The requests are the survey's own, each awaited as its reply (a
// coroutine on QCoro: nothing waits in a nested event loop); the monitor's
// polling pauses meanwhile and goes on afterwards if it was on. A read that
// gets no answer within the link's response timeout is a sample that did not
// come; when the connection goes, the survey ends at once and every terminal
// left stays without answer. stop() ends it after the step that runs (one
// sample, one settings read, the module information or the clock).
#include "link/Sequence.h"
#include "monitor/SiteFile.h"
#include "monitor/SurveyResult.h"
#include "termset/TermsetRead.h"
#include <QCoro/QCoroTask>
#include <QObject>
#include <QStringList>
#include <QTimer>

class MonitorSession;

namespace survey {

// The statistics of one channel over the samples that came and its verdict
// against its expected range (either bound may be missing; the bounds are
// inside the range). No sample: no statistics, no answer.
void fillStatistics(ChannelResult &channel, const QList<double> &samples);

// The value boxes a survey reports for a terminal of the installation: those
// of its own word addresses that the monitor's layout of its type labels (a
// label other than "--"), and those the file names; in box order.
QList<int> surveyedChannels(const site::Terminal &terminal);

} // namespace survey

class Survey : public QObject {
    Q_OBJECT
public:
    explicit Survey(MonitorSession &session, QObject *parent = nullptr);
    // A running survey ends here without a word: nothing more is sent but
    // the command that takes a terminal out of settings mode.
    ~Survey() override;

    // Starts the survey of the session's installation (session.site()),
    // `samples` answers per terminal at `intervalMs`. Returns at once; false
    // with *error when there is no installation, the link is not connected,
    // or a survey runs already.
    bool start(int samples, int intervalMs, QString *error);
    // Ends the survey after the step that runs (what is left is reported as
    // not surveyed / 応答なし).
    void stop();
    bool isRunning() const { return m_running; }
    const survey::SurveyResult &result() const { return m_result; }

    // The gateway kind the module information is decoded by (RM2.x: true;
    // the main window's choice).
    void setRm2Gateway(bool rm2) { m_rm2 = rm2; }
    // The names of the terminal types as the monitor's list shows them;
    // without them the monitor's terminal captions name the types.
    void setTerminalTypeNames(const QStringList &names) { m_typeNames = names; }
    // The window name of the survey's writes in the journal.
    static QString journalSource();

signals:
    void progress(int done, int total);  // steps done of all steps
    // As each terminal's values are in (and again when its settings are).
    void terminalSurveyed(int index, const survey::TerminalResult &terminal);
    void gatewaySurveyed(const survey::GatewayResult &gateway);
    // Always, also when stopped or the link went.
    void finished(const survey::SurveyResult &result);

private:
    QCoro::Task<> run();
    QCoro::Task<> sampleTerminal(int index);
    QCoro::Task<> readSettings(int index);
    QCoro::Task<> readModuleInfo();
    QCoro::Task<> readClock();
    // Waits ms; false when the survey cannot go on (the link went).
    QCoro::Task<bool> pause(int ms);
    // Whether the survey goes on to its next step.
    bool goesOn() const { return !m_stopRequested && !m_linkLost; }
    // The reply ended without its answer because the connection went.
    void noteEnding(const Reply &reply);
    void stepDone();
    void finish();

    MonitorSession &m_session;
    Sequence m_sequence;
    termset::TermsetRead m_settingsRead;
    QTimer m_pauseTimer;
    bool m_pauseOver = false;

    site::Site m_site;  // as it was when the survey started
    survey::SurveyResult m_result;
    bool m_running = false;
    bool m_stopRequested = false;
    bool m_linkLost = false;
    bool m_ending = false;  // the destructor runs
    int m_done = 0;
    int m_total = 0;
    bool m_rm2 = false;
    QStringList m_typeNames;
};
