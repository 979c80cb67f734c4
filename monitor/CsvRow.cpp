#include "monitor/CsvRow.h"
#include "monitor/GeneralFormat.h"
#include <QLocale>
#include <charconv>
#include <cmath>

namespace monitor {

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
void appendInteger(QString &row, int64_t n, int scale)
{
    char buf[24];
    char *p = buf;
    char *const end = buf + sizeof buf;
    if (scale != 1) {
        p = std::to_chars(p, end, n).ptr;
    } else {
        const bool negative = n < 0;
        const int64_t a = negative ? -n : n;
        if (negative)
            *p++ = '-';
        p = std::to_chars(p, end, a / 10).ptr;
        if (a % 10) {
            *p++ = '.';
            *p++ = char('0' + int(a % 10));
        }
    }
    row.append(QLatin1StringView(buf, p - buf));
}

int64_t integerOf16(uint16_t value, int valueType)
{
    return valueType == 1 ? int64_t(int16_t(value)) : int64_t(value);
}

int64_t integerOf32(uint32_t value, int valueType)
{
    return valueType == 1 ? int64_t(int32_t(value)) : int64_t(value);
}

double realOf(float value, int valueType, int scale)
{
    // The integer part of a real that is not finite stays what it is.
    const double n = valueType == 1 ? std::trunc(double(value)) : double(value);
    return scale == 1 ? n / 10 : n;
}

} // namespace

void appendCsvValue16(QString &row, uint16_t value, int valueType, int scale)
{
    appendInteger(row, integerOf16(value, valueType), scale);
}

void appendCsvValue32(QString &row, uint32_t value, int valueType, int scale)
{
    appendInteger(row, integerOf32(value, valueType), scale);
}

void appendCsvValueReal(QString &row, float value, int valueType, int scale)
{
    AppendGeneral(row, realOf(value, valueType, scale), 15);
}

QString csvValue16(uint16_t value, int valueType, int scale)
{
    QString s;
    appendCsvValue16(s, value, valueType, scale);
    return s;
}

QString csvValue32(uint32_t value, int valueType, int scale)
{
    QString s;
    appendCsvValue32(s, value, valueType, scale);
    return s;
}

QString csvValueReal(float value, int valueType, int scale)
{
    return FormatGeneral(realOf(value, valueType, scale), 15);
}

} // namespace monitor
