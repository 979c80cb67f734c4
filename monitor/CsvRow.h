#pragma once
// The CSV row of one monitor answer: a prefix chosen by the log header mode
// and one column per value, in the number form and scale of the log
// settings, in the general format with 15 significant digits.
#include <QDateTime>
#include <QString>
#include <cstdint>

namespace monitor {

// The prefix of the row, ending in ",":
//   0 ","   1 "<count>,"   2 "<elapsed text>,"
//   3 "<short date>,<long time>,<count>,"
// logCount is the count before this row is logged. Other modes give the
// prefix of mode 0, so that the columns stay where the header puts them.
QString csvRowPrefix(int headerMode, uint32_t logCount, const QString &elapsedText,
                     const QDateTime &now);

// The platform's short date and long time texts of the time-stamp prefix.
QString csvDateText(const QDate &date);
QString csvTimeText(const QTime &time);

// Column texts. valueType 1 reads the value as signed (16-bit registers
// as two's complement, double words as signed 32-bit, reals by their
// integer part); scale 1 divides by 10. Any other setting acts as 0.
QString csvValue16(uint16_t value, int valueType, int scale);
QString csvValue32(uint32_t value, int valueType, int scale);
QString csvValueReal(float value, int valueType, int scale);
// The same texts appended to a row (no string of their own).
void appendCsvValue16(QString &row, uint16_t value, int valueType, int scale);
void appendCsvValue32(QString &row, uint32_t value, int valueType, int scale);
void appendCsvValueReal(QString &row, float value, int valueType, int scale);

} // namespace monitor
