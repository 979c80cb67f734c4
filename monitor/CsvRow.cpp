#include "monitor/CsvRow.h"
#include "monitor/GeneralFormat.h"
#include <QLocale>
#include <cmath>

namespace monitor {

namespace {

QString scaled(long double n, int scale)
{
    return FormatGeneral(scale == 1 ? n / 10 : n, 15);
}

} // namespace

QString csvDateText(const QDate &date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

QString csvTimeText(const QTime &time)
{
    // The long time format without its time-zone part, which only some
    // platforms' long formats carry and which no log reader wants per row.
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return QLocale::system().toString(time, format.trimmed());
}

QString csvRowPrefix(int headerMode, uint32_t logCount, const QString &elapsedText,
                     const QDateTime &now)
{
    switch (headerMode) {
    case 1: return QString::number(logCount) + u',';
    case 2: return elapsedText + u',';
    case 3:
        return csvDateText(now.date()) + u',' + csvTimeText(now.time()) + u','
               + QString::number(logCount) + u',';
    default: return QStringLiteral(",");
    }
}

QString csvValue16(uint16_t value, int valueType, int scale)
{
    const long double n = valueType == 1 ? (long double)int16_t(value) : (long double)value;
    return scaled(n, scale);
}

QString csvValue32(uint32_t value, int valueType, int scale)
{
    const long double n = valueType == 1 ? (long double)int32_t(value) : (long double)value;
    return scaled(n, scale);
}

QString csvValueReal(float value, int valueType, int scale)
{
    // The integer part of a real that is not finite stays what it is.
    const long double n = valueType == 1 ? std::trunc((long double)value) : (long double)value;
    return scaled(n, scale);
}

} // namespace monitor
