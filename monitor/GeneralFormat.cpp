#include "monitor/GeneralFormat.h"
#include <cmath>
#include <charconv>
#include <cstdlib>

QString FormatGeneral(double value, int digits)
{
    if (std::isnan(value))
        return std::signbit(value) ? QStringLiteral("-NAN") : QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");
    if (digits < 1)
        digits = 1;
    if (digits > 30)
        digits = 30;

    // Scientific notation with digits - 1 decimals rounds to the wanted
    // significant digits and tells the exponent after rounding:
    // "-d.ddddde+XX".
    char buf[80];
    const auto res = std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific,
                                   digits - 1);
    *res.ptr = '\0';
    const char *p = buf;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    char mantissa[40];
    int n = 0;
    for (; *p && *p != 'e' && *p != 'E'; ++p)
        if (*p >= '0' && *p <= '9' && n < int(sizeof mantissa) - 1)
            mantissa[n++] = *p;
    const int exponent = *p ? std::atoi(p + 1) : 0;
    while (n > 1 && mantissa[n - 1] == '0')
        --n;

    QString out;
    out.reserve(digits + 8);
    if (negative)
        out += u'-';
    if (exponent >= digits || exponent < -4) {
        out += QLatin1Char(mantissa[0]);
        if (n > 1) {
            out += u'.';
            out += QLatin1String(mantissa + 1, n - 1);
        }
        out += u'E';
        out += QString::number(exponent);
    } else if (exponent >= 0) {
        const int intDigits = exponent + 1;
        for (int i = 0; i < intDigits; ++i)
            out += i < n ? QLatin1Char(mantissa[i]) : QLatin1Char('0');
        if (n > intDigits) {
            out += u'.';
            out += QLatin1String(mantissa + intDigits, n - intDigits);
        }
    } else {
        out += QLatin1String("0.");
        for (int i = 0; i < -exponent - 1; ++i)
            out += u'0';
        out += QLatin1String(mantissa, n);
    }
    return out;
}

QString HexText(uint32_t value, int minDigits)
{
    return QString::number(value, 16).toUpper().rightJustified(minDigits, u'0');
}
