#pragma once
// A recording of the bus: one SQLite file (*.rmrec) per recording.
//
// The file (WAL journal, synchronous=NORMAL; the writer commits at least
// once a second, so a crash or a power cut loses at most the last second of
// rows and never the file):
//
//   meta(key TEXT PRIMARY KEY, value)
//       format      "rmtool-recording/1"
//       program     "RMTool <version>"
//       started_ms  start of the recording, ms since the epoch
//       interval_ms the tick interval
//       swapped     1 when double words are high word first
//       site        the installation file's JSON, NULL without one
//       rows        the rows committed (gap rows included)
//       ended_ms    the end of a recording stopped in order (absent otherwise)
//   reads(seq INTEGER PRIMARY KEY, address INTEGER, count INTEGER)
//       the input-register reads of a tick, in row order
//   channels(id INTEGER PRIMARY KEY, terminal, type, terminal_name, box,
//            label, unit, tag, name, offset, kind)
//       kind 0: unsigned 16 bits at register `offset` of a row; 1: 24 bits
//       from registers offset and offset + 1 (word order by `swapped`)
//   rows(t INTEGER PRIMARY KEY, regs BLOB)
//       t: when the tick's last answer arrived, ms since the epoch (always
//       rising: the recording's clock is the monotonic clock from the start
//       time on, so that a clock set back does not put rows out of order);
//       regs: the registers as the gateway sent them (2 bytes each, high
//       byte first) in the order of `reads`; NULL for a gap row (a tick
//       without a whole answer: timeout, error or no connection)
//   summary(level INTEGER, t0 INTEGER, t1 INTEGER, gap INTEGER, minmax BLOB,
//           PRIMARY KEY(level, t0)) WITHOUT ROWID
//       level 1 summarises 16 rows, each higher level 4 blocks of the one
//       below (64, 256, ... rows); t0 and t1 the first and last row's time,
//       gap 1 when a gap row is among them; minmax per channel in id order
//       the smallest and the largest number (IEEE single, little-endian, 8
//       bytes a channel; NaN when the block holds no number for it).
//       A block is written with the row that completes it; the rows after
//       the last block of a level are summarised by the level below when
//       drawn.
#include "monitor/RecordingLayout.h"
#include "monitor/TrendData.h"
#include <QByteArray>
#include <QString>
#include <QElapsedTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace rec {

inline constexpr char kFormat[] = "rmtool-recording/1";
inline constexpr int kBlockRows = 16;   // rows of a level-1 block
inline constexpr int kLevelRatio = 4;   // blocks of a level in a block of the next
inline constexpr int kLevels = 6;       // 16 .. 16384 rows a block

// The name of a recording started at the given local time:
// "REC-YYYYMMDD-HHMMSS.rmrec".
QString fileNameFor(const QDateTime &start);

struct Info {
    QString program;         // "RMTool 1.0.0"
    int64_t startedMs = 0;
    int intervalMs = 0;
    bool swapped = false;
    QByteArray siteJson;     // empty: no installation
    Layout layout;
    std::optional<int64_t> endedMs;
};

class Writer {
public:
    Writer();
    ~Writer();  // commits what is pending and closes
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    // Creates the file (refused when it exists) with its tables and meta,
    // committed before it returns.
    bool create(const QString &path, const Info &info, QString *error);
    // One row at timeMs: the layout's registers, or a gap row (registers
    // null). Rows go into the open transaction; false when the file could
    // not take it (the writer is then closed; see error()).
    bool append(int64_t timeMs, const uint16_t *registers);
    // Commits the open transaction.
    bool commit();
    // Commits, notes the end time and closes.
    bool finish(int64_t endedMs);
    bool isOpen() const { return m_db != nullptr; }
    const QString &path() const { return m_path; }
    // The rows appended / committed since the start.
    int64_t rows() const { return m_rows; }
    int64_t committedRows() const { return m_committedRows; }
    // The last row's time (0 before the first).
    int64_t lastTime() const { return m_lastTime; }
    // The file and its journal together, in bytes.
    int64_t bytes() const;
    // Why the last call failed; diskFull() when the disk was full.
    const QString &error() const { return m_error; }
    bool diskFull() const { return m_diskFull; }

private:
    bool fail(int rc, const char *what);
    bool exec(const char *sql);
    void closeDb();
    struct Level;
    void merge(Level &level, int64_t t0, int64_t t1, const float *mins, const float *maxs);
    bool endBlock(int level, bool gap);
    bool writeBlock(int level, int64_t t0, int64_t t1, bool gap, const float *mins, const float *maxs);

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_insertRow = nullptr;
    sqlite3_stmt *m_insertBlock = nullptr;
    sqlite3_stmt *m_updateRows = nullptr;
    QString m_path;
    QString m_error;
    bool m_diskFull = false;
    bool m_inTransaction = false;
    Info m_info;
    int64_t m_rows = 0;
    int64_t m_committedRows = 0;
    int64_t m_lastTime = 0;
    std::vector<std::unique_ptr<Level>> m_levels;
    QByteArray m_blob;
    std::vector<float> m_row;  // the numbers of the row being appended
};

class Reader {
public:
    Reader();
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    // Opens a recording (read only; one being written may be opened too).
    bool open(const QString &path, QString *error);
    const Info &info() const { return m_info; }
    const QString &path() const { return m_path; }
    // Takes in what the writer committed since; true when rows came.
    bool refresh();
    int64_t rowCount() const { return m_rowCount; }
    // The first and the last row's time (0 without rows).
    int64_t firstTime() const { return m_first; }
    int64_t lastTime() const { return m_last; }

    // The summary level a view of [t0, t1) over `columns` pixel columns is
    // drawn from: the coarsest whose blocks are no wider than a column (0:
    // the rows themselves).
    int levelFor(double t0, double t1, int columns) const;
    // The points of each of `channels` (indexes into the layout's channels)
    // in [t0, t1) decimated to columns as the live trend draws them (at
    // most the first, smallest, largest and last value of a column; a gap
    // breaks the line), from the level levelFor chooses.
    std::vector<std::vector<monitor::TrendPoint>> points(const QList<int> &channels, double t0,
                                                         double t1, int columns) const;
    // Every row with t0 <= time <= t1 in time order: its time and registers
    // (null for a gap row). Return false from `each` to stop.
    using RowFn = std::function<bool(int64_t time, const uint16_t *registers)>;
    bool rows(int64_t t0, int64_t t1, const RowFn &each) const;
    // The blocks of a level with t0 <= block start <= t1: start, end, gap and
    // the channel's minimum and maximum (NaN: none). For the tests and the
    // benchmarks.
    struct Block {
        int64_t t0, t1;
        bool gap;
        float min, max;
    };
    std::vector<Block> blocks(int level, int channel, int64_t t0, int64_t t1) const;

private:
    QString m_path;
    sqlite3 *m_db = nullptr;
    Info m_info;
    int64_t m_rowCount = 0;
    int64_t m_first = 0;
    int64_t m_last = 0;
    mutable std::vector<uint16_t> m_registers;
};

// The rows of the given channels with t0 <= time <= t1 as the text of a CSV
// log file in the time-stamp form ("Date,Time,Count," and the channels'
// names; each row its local date, time and count from 1, then the numbers):
// gap rows are no answers and are left out. Lines end in CR LF.
QString exportCsv(const Reader &reader, const QList<int> &channels, int64_t t0, int64_t t1);

} // namespace rec
