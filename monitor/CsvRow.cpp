#include "monitor/CsvRow.h"
#include "monitor/GeneralFormat.h"
#include <QLocale>
#include <cmath>

namespace monitor {

namespace {

QString scaled(double n, int scale)
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

namespace {

// An integer in the general format with 15 significant digits: integers of
// up to 32 bits have at most 10 digits, and a tenth of them one decimal, so
// the text is exact without floating-point formatting.
QString integerText(int64_t n, int scale)
{
    if (scale != 1)
        return QString::number(n);
    const bool negative = n < 0;
    const int64_t a = negative ? -n : n;
    QString s;
    if (negative)
        s += u'-';
    s += QString::number(a / 10);
    if (a % 10)
        s += u'.' + QString(QChar(u'0' + int(a % 10)));
    return s;
}

} // namespace

QString csvValue16(uint16_t value, int valueType, int scale)
{
    return integerText(valueType == 1 ? int64_t(int16_t(value)) : int64_t(value), scale);
}

QString csvValue32(uint32_t value, int valueType, int scale)
{
    return integerText(valueType == 1 ? int64_t(int32_t(value)) : int64_t(value), scale);
}

QString csvValueReal(float value, int valueType, int scale)
{
    // The integer part of a real that is not finite stays what it is.
    const double n = valueType == 1 ? std::trunc(double(value)) : double(value);
    return scaled(n, scale);
}

} // namespace monitor
