#include "link/Transactions.h"
#include <algorithm>

namespace modbus {

namespace {

template <class Queue>
typename Queue::iterator findOldest(Queue &q, uint16_t transactionId, uint8_t function)
{
    return std::find_if(q.begin(), q.end(), [&](const Transaction &t) {
        return t.transactionId == transactionId && t.function == function;
    });
}

} // namespace

const Transaction &TransactionTable::add(Transaction t, int64_t nowUs, int64_t timeoutUs)
{
    t.serial = m_nextSerial++;
    t.sentUs = nowUs;
    t.deadlineUs = nowUs + std::max<int64_t>(timeoutUs, 0);
    m_inFlight.push_back(t);
    return m_inFlight.back();
}

AnswerMatch TransactionTable::match(uint16_t transactionId, uint8_t function, int64_t nowUs)
{
    const uint8_t fn = function & 0x7F;
    AnswerMatch m;
    if (auto it = findOldest(m_inFlight, transactionId, fn); it != m_inFlight.end()) {
        m.kind = AnswerKind::Matched;
        m.request = *it;
        m.responseUs = nowUs - it->sentUs;
        m_inFlight.erase(it);
        return m;
    }
    if (auto it = findOldest(m_timedOut, transactionId, fn); it != m_timedOut.end()) {
        m.kind = AnswerKind::Late;
        m.request = *it;
        m.responseUs = nowUs - it->sentUs;
        m_timedOut.erase(it);
        return m;
    }
    return m;
}

std::vector<Transaction> TransactionTable::expire(int64_t nowUs)
{
    std::vector<Transaction> gone;
    for (auto it = m_inFlight.begin(); it != m_inFlight.end();) {
        if (it->deadlineUs <= nowUs) {
            gone.push_back(*it);
            it = m_inFlight.erase(it);
        } else {
            ++it;
        }
    }
    for (const Transaction &t : gone) {
        m_timedOut.push_back(t);
        if (m_timedOut.size() > kLateMemory)
            m_timedOut.pop_front();
    }
    return gone;
}

std::optional<int64_t> TransactionTable::nextDeadlineUs() const
{
    if (m_inFlight.empty())
        return std::nullopt;
    return std::min_element(m_inFlight.begin(), m_inFlight.end(),
                            [](const Transaction &a, const Transaction &b) {
                                return a.deadlineUs < b.deadlineUs;
                            })
        ->deadlineUs;
}

void TransactionTable::clear()
{
    m_inFlight.clear();
    m_timedOut.clear();
}

bool TransactionTable::isInFlight(uint64_t serial) const
{
    return std::any_of(m_inFlight.begin(), m_inFlight.end(),
                       [serial](const Transaction &t) { return t.serial == serial; });
}

} // namespace modbus
