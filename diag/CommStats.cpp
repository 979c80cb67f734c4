#include "diag/CommStats.h"
#include "link/FrameText.h"
#include <algorithm>

CommStats::CommStats(int timeoutMs) : m_timeoutMs(timeoutMs)
{
    reset(0, timeoutMs);
}

void CommStats::reset(int64_t nowMs, int timeoutMs)
{
    m_timeoutMs = timeoutMs;
    m_total = KindStats{0, 0, 0, 0, ResponseTimes(timeoutMs)};
    for (KindStats &k : m_kinds)
        k = KindStats{0, 0, 0, 0, ResponseTimes(timeoutMs)};
    m_byCode.fill(0);
    m_late = m_unsolicited = m_bytesSent = m_bytesReceived = m_resyncs = 0;
    m_connectedMs = 0;
    if (m_connectedSince >= 0)
        m_connectedSince = nowMs;
}

void CommStats::connected(int64_t nowMs)
{
    if (m_connectedSince < 0)
        m_connectedSince = nowMs;
}

void CommStats::disconnected(int64_t nowMs)
{
    if (m_connectedSince < 0)
        return;
    m_connectedMs += std::max<int64_t>(nowMs - m_connectedSince, 0);
    m_connectedSince = -1;
}

int64_t CommStats::connectedMs(int64_t nowMs) const
{
    return m_connectedMs + (m_connectedSince >= 0 ? std::max<int64_t>(nowMs - m_connectedSince, 0) : 0);
}

void CommStats::requestSent(uint8_t tag, int bytes)
{
    ++m_total.requests;
    ++kindOf(tag).requests;
    m_bytesSent += bytes;
}

void CommStats::answerMatched(uint8_t tag, int64_t responseUs, std::optional<uint8_t> exception)
{
    for (KindStats *k : {&m_total, &kindOf(tag)}) {
        ++k->answers;
        if (exception)
            ++k->exceptions;
        k->times.add(responseUs);
    }
    if (exception)
        ++m_byCode[*exception];
}

void CommStats::timedOut(uint8_t tag)
{
    ++m_total.timeouts;
    ++kindOf(tag).timeouts;
}

void CommStats::frameSent(const QByteArray &frame)
{
    requestSent(frame.isEmpty() ? 0 : uint8_t(frame[0]), int(frame.size()));
}

void CommStats::answerReceived(const QByteArray &frame, const modbus::AnswerMatch &match)
{
    switch (match.kind) {
    case modbus::AnswerKind::Matched: {
        const modbus::FrameFields f = modbus::decodeAnswer(frame);
        answerMatched(f.tag, match.responseUs, f.exception ? std::optional<uint8_t>(f.exceptionCode) : std::nullopt);
        break;
    }
    case modbus::AnswerKind::Late: lateAnswer(); break;
    case modbus::AnswerKind::Unsolicited: unsolicitedAnswer(); break;
    }
}

void CommStats::lateAnswer()
{
    ++m_late;
}

void CommStats::unsolicitedAnswer()
{
    ++m_unsolicited;
}

QString connectedTimeText(int64_t ms)
{
    const int64_t s = std::max<int64_t>(ms, 0) / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}
