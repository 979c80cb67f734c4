#pragma once
// The requests in flight on the one Modbus/TCP connection.
//
// Every request that went out is an entry: its request tag, transaction
// identifier (the tag in the high byte), function, address, count and the
// time it was sent on a monotonic microsecond clock. An answer is matched to
// the oldest entry with its transaction identifier and function (bit 7, the
// exception flag, cleared), which the answer removes. An entry older than the
// response timeout is expired: reported once and removed, but remembered for
// a while, so that its answer arriving after all counts as late rather than
// unsolicited. An answer that matches neither is unsolicited.
//
// The table keeps no clock of its own: callers hand in the time, so that the
// rules are plain to test.
#include <QMetaType>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace modbus {

struct Transaction {
    uint64_t serial = 0;        // unique per request of one link, from 1
    uint8_t tag = 0;
    uint16_t transactionId = 0;
    uint8_t function = 0;
    uint16_t address = 0;
    uint16_t count = 0;         // registers read or written, 1 for a coil
    int64_t sentUs = 0;
    int64_t deadlineUs = 0;     // sentUs + the response timeout at the time
};

enum class AnswerKind { Matched, Late, Unsolicited };

struct AnswerMatch {
    AnswerKind kind = AnswerKind::Unsolicited;
    Transaction request;        // empty (serial 0) when unsolicited
    int64_t responseUs = 0;     // from the request's sending to this answer
};

class TransactionTable {
public:
    // How many timed-out requests are remembered for late answers.
    static constexpr size_t kLateMemory = 256;

    // Enters a sent request; gives it the next serial and its deadline.
    const Transaction &add(Transaction t, int64_t nowUs, int64_t timeoutUs);

    // Matches one answer (function: as answered, exception flag or not).
    AnswerMatch match(uint16_t transactionId, uint8_t function, int64_t nowUs);

    // Removes and returns, oldest first, every entry whose deadline passed.
    std::vector<Transaction> expire(int64_t nowUs);

    // The earliest deadline of the entries in flight.
    std::optional<int64_t> nextDeadlineUs() const;

    // The connection is gone: nothing in flight will be answered. The
    // entries are dropped without counting them as timed out.
    void clear();

    bool isInFlight(uint64_t serial) const;
    const std::deque<Transaction> &inFlight() const { return m_inFlight; }

private:
    std::deque<Transaction> m_inFlight;
    std::deque<Transaction> m_timedOut;
    uint64_t m_nextSerial = 1;
};

} // namespace modbus

Q_DECLARE_METATYPE(modbus::Transaction)
