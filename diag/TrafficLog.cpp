#include "diag/TrafficLog.h"
#include "diag/ResponseTimes.h"
#include "link/FrameText.h"
#include <QDateTime>
#include <algorithm>

bool TrafficEntry::isException() const
{
    return kind == Received && bytes.size() > 7 && (uint8_t(bytes[7]) & 0x80) != 0;
}

TrafficLog::TrafficLog(int capacity) : m_ring(size_t(std::max(capacity, 1))) {}

void TrafficLog::append(TrafficEntry entry)
{
    const size_t cap = m_ring.size();
    if (m_size < cap) {
        m_ring[(m_head + m_size) % cap] = std::move(entry);
        ++m_size;
    } else {
        m_ring[m_head] = std::move(entry);
        m_head = (m_head + 1) % cap;
    }
    ++m_appended;
}

void TrafficLog::clear()
{
    for (TrafficEntry &e : m_ring)
        e = TrafficEntry{};
    m_head = m_size = 0;
    m_appended = 0;
}

namespace {

QString summary(const TrafficEntry &e)
{
    switch (e.kind) {
    case TrafficEntry::Sent:
        return modbus::requestSummary(e.bytes);
    case TrafficEntry::Received: {
        QString s = modbus::answerSummary(e.bytes);
        if (e.elapsedUs >= 0)
            s += QStringLiteral("  %1 ms").arg(msText(e.elapsedUs));
        if (e.note == TrafficEntry::Late)
            s += QStringLiteral("  (タイムアウト後の応答)");
        else if (e.note == TrafficEntry::Unsolicited)
            s += QStringLiteral("  (該当する要求なし)");
        return s;
    }
    case TrafficEntry::Timeout: {
        QString s = QStringLiteral("タイムアウト");
        if (e.elapsedUs >= 0)
            s += QStringLiteral(" (%1 ms 応答なし)").arg(msText(e.elapsedUs));
        return s + QStringLiteral("  ") + modbus::requestSummary(e.tag, e.function, e.address, e.count);
    }
    case TrafficEntry::LostFraming:
        if (e.bytes.isEmpty())
            return QStringLiteral("受信データの区切りが失われました (受信済みのデータを破棄)");
        return QStringLiteral("受信データの区切りが失われました (%1 バイト破棄)").arg(e.bytes.size());
    }
    return {};
}

} // namespace

QString trafficText(const TrafficEntry &e, TrafficColumn column)
{
    switch (column) {
    case TrafficColumn::Time:
        return QDateTime::fromMSecsSinceEpoch(e.timeMs).time().toString(QStringLiteral("hh:mm:ss.zzz"));
    case TrafficColumn::Direction:
        return e.kind == TrafficEntry::Sent      ? QStringLiteral("送信")
               : e.kind == TrafficEntry::Timeout ? QStringLiteral("-")
                                                 : QStringLiteral("受信");
    case TrafficColumn::Bytes:
        return e.kind == TrafficEntry::Timeout ? QString() : modbus::hexBytes(e.bytes);
    case TrafficColumn::Summary:
        return summary(e);
    }
    return {};
}

QString trafficColumnCaption(TrafficColumn column)
{
    switch (column) {
    case TrafficColumn::Time: return QStringLiteral("時刻");
    case TrafficColumn::Direction: return QStringLiteral("方向");
    case TrafficColumn::Bytes: return QStringLiteral("データ (16進)");
    case TrafficColumn::Summary: return QStringLiteral("内容");
    }
    return {};
}

QString trafficLine(const TrafficEntry &e)
{
    QString line;
    for (int c = 0; c < kTrafficColumns; ++c) {
        if (c)
            line += u'\t';
        line += trafficText(e, TrafficColumn(c));
    }
    return line;
}

QString trafficFileText(const TrafficLog &log)
{
    QString text;
    for (int c = 0; c < kTrafficColumns; ++c)
        text += (c ? QStringLiteral("\t") : QString()) + trafficColumnCaption(TrafficColumn(c));
    text += QStringLiteral("\r\n");
    for (int i = 0; i < log.size(); ++i)
        text += trafficLine(log.at(i)) + QStringLiteral("\r\n");
    return text;
}
