#pragma once
// Number texts of the monitor and the CSV rows.
#include <QString>
#include <cstdint>

// The general floating format with at most `digits` significant digits:
// rounded, trailing zeros and a trailing point removed, fixed notation
// unless the rounded magnitude is 10^digits or more or below 10^-4, then
// "1.234568E7" / "1E-5" (no "+", no leading zeros in the exponent). Zero is
// "0"; infinities "INF", not-a-number "NAN", each with "-" when the sign
// bit is set. The decimal separator is always a point, so that CSV columns
// stay columns whatever the user's locale.
QString FormatGeneral(double value, int digits);
// The same text appended to out (no string of its own).
void AppendGeneral(QString &out, double value, int digits);

// Upper-case hexadecimal without prefix, at least minDigits digits (up to 8).
QString HexText(uint32_t value, int minDigits);
