#pragma once
// The write journal: every write the program sends (write single coil,
// function 5; write single register, 6; write two registers, 16), which
// window sent it, and how it ended.
//
// A write is recorded when its reply ends, with the time of that moment:
// answered ("OK", or "exception N" for an exception answer with code N),
// not answered within the response timeout ("timeout"), the connection gone
// before the answer came ("disconnected": the gateway may or may not have
// taken it), or never sent because there was no connection ("not sent").
// Nothing but "OK" says that the gateway took the write.
//
// The reference number is the one the user sees in the write tool: a
// holding register as 40001 + protocol address (a pair by its first
// register), a coil as protocol address + 1. The value is the coil's ON or
// OFF, the register's 16-bit value, or the pair's 32-bit value (its low half
// in the first register), in decimal.
//
// The entries of this run are kept in memory (the newest `capacity`), and
// each one is appended to the journal file as it is recorded: UTF-8 with a
// byte order mark, CR LF, a header line when the file is new, one line per
// write, flushed and synced before the next, so that a crash loses no line
// already recorded. A line the file did not take (missing folder, full
// disk) is kept and written, in order, with the next line that goes in; the
// failure is reported once until writing works again. A failed append is cut
// back off the file, which never holds half a line.
#include "link/LinkReply.h"
#include <QDateTime>
#include <QObject>
#include <QString>
#include <cstdint>
#include <deque>
#include <unordered_map>

namespace journal {

enum class Outcome { Ok, Exception, Timeout, Disconnected, NotSent };

// One write as it was sent.
struct Write {
    QString source;         // the window it came from
    uint8_t function = 0;   // 5, 6 or 16
    uint32_t address = 0;   // protocol address
    uint32_t value = 0;     // 5: the state byte (0xFF on, 0 off); 6: 16 bits; 16: 32 bits

    static Write singleCoil(const QString &source, uint32_t address, uint8_t state);
    static Write singleRegister(const QString &source, uint32_t address, uint32_t value);
    static Write twoRegisters(const QString &source, uint32_t address, uint32_t value);
};

struct Entry {
    QDateTime time;  // when the reply ended
    Write write;
    Outcome outcome = Outcome::NotSent;
    uint8_t exceptionCode = 0;  // of Outcome::Exception
};

// How a reply that has ended ended, as the journal names it.
void setOutcome(Entry &entry, const LinkReply &reply);

// The columns, as the file and the window show them.
QString timeText(const QDateTime &time);  // 2026-12-09T14:03:05.123+09:00
int referenceNumber(const Write &write);
QString valueText(const Write &write);
QString outcomeText(const Entry &entry);

// The file: its first line (byte order mark and header, CR LF) and the line
// of one entry (UTF-8, CR LF). A field holding a comma, a double quote or a
// line end is quoted, its double quotes doubled.
QByteArray csvHeader();
QByteArray csvLine(const Entry &entry);
QString csvField(const QString &text);

} // namespace journal

class WriteJournal : public QObject {
    Q_OBJECT
public:
    // About 100 bytes an entry: at most some 10 MB however long it runs.
    static constexpr int kDefaultCapacity = 100000;
    static constexpr const char *kFileName = "RMTool-journal.csv";

    explicit WriteJournal(QObject *parent = nullptr, int capacity = kDefaultCapacity);
    // Writes still awaiting their answer go into the file as "disconnected":
    // the connection ends with the program.
    ~WriteJournal() override;

    // The file every entry is appended to; empty: memory only.
    void setFilePath(const QString &path) { m_path = path; }
    QString filePath() const { return m_path; }

    // Records `write` when `reply` ends (at once when it has ended already);
    // returns the reply.
    Reply track(const Reply &reply, journal::Write write);

    const std::deque<journal::Entry> &entries() const { return m_entries; }
    int size() const { return int(m_entries.size()); }
    int capacity() const { return m_capacity; }
    // Entries recorded since the start, those no longer kept included.
    int64_t recorded() const { return m_recorded; }
    // Writes sent whose replies have not ended yet.
    int pending() const { return int(m_pending.size()); }
    // Lines the file has not taken yet.
    int unwritten() const { return int(m_unwritten.size()); }

signals:
    // An entry was recorded (the oldest may have gone to make room).
    void entryRecorded(const journal::Entry &entry);
    // The file could not be written (for the status bar): once, until a
    // later line goes in again.
    void fileError(const QString &text);

private:
    void finished(LinkReply *reply);
    void record(journal::Entry entry, bool notify);
    // Appends the lines not yet written; false with *error set.
    bool appendUnwritten(QString *error);

    int m_capacity;
    QString m_path;
    std::deque<journal::Entry> m_entries;
    int64_t m_recorded = 0;
    std::unordered_map<const LinkReply *, journal::Write> m_pending;
    std::deque<QByteArray> m_unwritten;
    bool m_failing = false;
};
