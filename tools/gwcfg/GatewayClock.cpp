#include "tools/gwcfg/GatewayClock.h"
#include <QCoreApplication>
#include "monitor/TextNumbers.h"

namespace gwclock {

uint8_t WeekdayCode(int itemIndex)
{
    if (itemIndex < 1 || itemIndex > 7)
        return 0x00;
    return uint8_t(1u << (itemIndex - 1));
}

QString WeekdayText(uint8_t code)
{
    switch (code) {
    case 0x01: return QCoreApplication::translate("gwclock", " (日) ");
    case 0x02: return QCoreApplication::translate("gwclock", " (月) ");
    case 0x04: return QCoreApplication::translate("gwclock", " (火) ");
    case 0x08: return QCoreApplication::translate("gwclock", " (水) ");
    case 0x10: return QCoreApplication::translate("gwclock", " (木) ");
    case 0x20: return QCoreApplication::translate("gwclock", " (金) ");
    case 0x40: return QCoreApplication::translate("gwclock", " (土) ");
    default: return QStringLiteral(" (?" "?) ");
    }
}

QString FormatClock(const std::array<uint8_t, 7> &d)
{
    auto hex2 = [](uint8_t b) { return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper(); };
    return QStringLiteral("20") + hex2(d[0]) + u'/' + hex2(d[1]) + u'/' + hex2(d[2])
           + WeekdayText(d[3]) + hex2(d[4]) + u':' + hex2(d[5]) + u':' + hex2(d[6]);
}

std::optional<QDateTime> ClockDateTime(const std::array<uint8_t, 7> &d)
{
    int v[7];
    for (int i = 0; i < 7; ++i) {
        if ((d[size_t(i)] >> 4) > 9 || (d[size_t(i)] & 0x0F) > 9)
            return std::nullopt;
        v[i] = (d[size_t(i)] >> 4) * 10 + (d[size_t(i)] & 0x0F);
    }
    const QDate date(2000 + v[0], v[1], v[2]);
    const QTime time(v[4], v[5], v[6]);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

std::optional<uint8_t> BcdOfText(const QString &decimalText)
{
    const QString t = decimalText.trimmed();
    if (t.isEmpty() || t.size() > 8)
        return std::nullopt;
    for (QChar c : t)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    bool ok = false;
    const uint v = t.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return uint8_t(v & 0xFF);
}

std::optional<std::array<uint16_t, 4>> EncodeClock(const Fields &f, QString *badText)
{
    auto bad = [&](const QString &text) {
        if (badText)
            *badText = text;
        return std::nullopt;
    };
    const auto year = ParseInt(f.year);
    if (!year || *year < 2000)
        return bad(f.year);
    const auto y = BcdOfText(QString::number(*year - 2000));
    if (!y)
        return bad(f.year);
    const auto mo = BcdOfText(f.month);
    if (!mo)
        return bad(f.month);
    const auto d = BcdOfText(f.day);
    if (!d)
        return bad(f.day);
    const auto h = BcdOfText(f.hour);
    if (!h)
        return bad(f.hour);
    const auto mi = BcdOfText(f.minute);
    if (!mi)
        return bad(f.minute);
    const auto s = BcdOfText(f.second);
    if (!s)
        return bad(f.second);
    return std::array<uint16_t, 4>{uint16_t(*y << 8 | *mo),
                                   uint16_t(*d << 8 | WeekdayCode(f.weekdayIndex)),
                                   uint16_t(*h << 8 | *mi), uint16_t(*s << 8)};
}

} // namespace gwclock
