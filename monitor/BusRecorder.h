#pragma once
// The bus recorder: every tick, the reads of a recording's layout (see
// monitor/RecordingLayout.h) with their own tag beside the monitor's polls,
// and one row of the answers in the recording's file (monitor/Recording.h).
//
// A tick whose reads do not all come back whole (a timeout, an exception,
// the connection lost or not there) is a gap row, once per run of such
// ticks; the ticks go on, and rows come again when the connection is back.
// A tick that finds the last one's reads still in flight is left out.
// The rows are committed at least twice a second, and the file's journal is
// brought onto the disk once a second, so that a crash or a power cut takes
// at most the last second. A file that can take no more (a full disk) ends
// the recording with one message; what was committed stays.
#include "monitor/Recording.h"
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

class ModbusLink;

class BusRecorder : public QObject {
    Q_OBJECT
public:
    explicit BusRecorder(ModbusLink &link, QObject *parent = nullptr);
    ~BusRecorder() override;

    // Starts recording into a new file in `folder`, named after the start
    // time, of the installation (none: the whole input area) every
    // intervalMs. False with *error when the file cannot be made.
    bool start(const QString &folder, const site::Site *site, int intervalMs, bool swapped,
               QString *error);
    // Ends the recording: the rows in flight are left out, the file is
    // committed and closed.
    void stop();
    bool isRecording() const { return m_writer != nullptr; }

    QString path() const { return m_path; }
    int64_t rows() const { return m_rows; }
    int64_t bytes() const { return m_bytes; }
    const rec::Layout &layout() const { return m_layout; }
    int intervalMs() const { return m_timer.interval(); }

    // One tick now (the timer calls it).
    void tick();

signals:
    void recordingChanged(bool on);
    // The rows and the size after a commit.
    void progress(int64_t rows, int64_t bytes);
    // The recording ended by itself; the message says why.
    void failed(const QString &message);

private:
    int64_t now() const;
    void tickEnded();
    void commit();
    void end(QString failure);  // a copy: the writer whose error it may be goes here

    ModbusLink &m_link;
    QTimer m_timer;
    QTimer m_commitTimer;
    std::unique_ptr<rec::Writer> m_writer;
    rec::Layout m_layout;
    QString m_path;
    int64_t m_startMs = 0;
    QElapsedTimer m_clock;
    QElapsedTimer m_sinceCommit;
    QElapsedTimer m_sinceSync;
    int64_t m_rows = 0;
    int64_t m_bytes = 0;
    // The tick in flight: its reads not yet ended, whether one failed, and
    // the registers of those that came.
    int m_pending = 0;
    bool m_tickFailed = false;
    uint64_t m_tickNumber = 0;
    std::vector<uint16_t> m_registers;
    bool m_inGap = false;
};
