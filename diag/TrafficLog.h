#pragma once
// The traffic of the connection, frame by frame, in a ring of fixed size.
//
// Every frame sent and every answer received is one entry; so is a request
// that timed out (no bytes of its own: it names the request) and a loss of
// the stream's framing (the bytes thrown away, where known). When the ring
// is full the oldest entry falls off. Entries keep only what was on the
// wire and when; their texts are made when somebody looks (rowText), so an
// unwatched log costs one copy of the frame's bytes per entry.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

struct TrafficEntry {
    enum Kind : uint8_t { Sent, Received, Timeout, LostFraming };
    enum Note : uint8_t { Plain, Late, Unsolicited };

    int64_t timeMs = 0;     // wall-clock time, ms since the epoch
    Kind kind = Sent;
    Note note = Plain;
    int64_t elapsedUs = -1;  // Received: response time; Timeout: time waited; -1 unknown
    QByteArray bytes;        // Sent, Received: the frame; LostFraming: the bytes dropped, where known
    // Timeout: the request that went unanswered.
    uint8_t tag = 0;
    uint8_t function = 0;
    uint16_t address = 0;
    uint16_t count = 0;

    bool isException() const;
};

class TrafficLog {
public:
    static constexpr int kDefaultCapacity = 10000;

    explicit TrafficLog(int capacity = kDefaultCapacity);

    void append(TrafficEntry entry);
    void clear();

    int size() const { return int(m_size); }
    int capacity() const { return int(m_ring.size()); }
    // Entry i, 0 the oldest kept.
    const TrafficEntry &at(int i) const { return m_ring[(m_head + size_t(i)) % m_ring.size()]; }
    // Entries appended since the creation or the last clear (kept or not).
    int64_t appended() const { return m_appended; }

private:
    std::vector<TrafficEntry> m_ring;
    size_t m_head = 0;  // oldest entry
    size_t m_size = 0;
    int64_t m_appended = 0;
};

// The columns of one entry as the view and the saved file show them.
enum class TrafficColumn { Time, Direction, Bytes, Summary };
constexpr int kTrafficColumns = 4;

// Time "hh:mm:ss.zzz" (local), direction "送信"/"受信" ("-" for a timeout,
// which is no frame), bytes in hex (nothing for a timeout), and the decoded
// summary with the response time of an answer, the note of a late or an
// unsolicited one, the time waited of a timeout.
QString trafficText(const TrafficEntry &e, TrafficColumn column);
// The four columns separated by tabs, without a line end.
QString trafficLine(const TrafficEntry &e);
// Every kept entry, one line each, each followed by CR LF, with a header
// line of the column captions first.
QString trafficFileText(const TrafficLog &log);
QString trafficColumnCaption(TrafficColumn column);
