#include "monitor/GeneralFormat.h"
#include <cmath>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace {

// The general format into buf (room for kGeneralChars); returns the length.
// The texts are ASCII, so that they go into a QString as Latin-1 without
// any temporary string.
constexpr int kGeneralChars = 64;

int generalChars(char *buf, double value, int digits)
{
    auto put = [buf](const char *s) {
        const int n = int(std::strlen(s));
        std::memcpy(buf, s, size_t(n));
        return n;
    };
    if (std::isnan(value))
        return put(std::signbit(value) ? "-NAN" : "NAN");
    if (std::isinf(value))
        return put(value < 0 ? "-INF" : "INF");
    if (value == 0)
        return put("0");
    if (digits < 1)
        digits = 1;
    if (digits > 30)
        digits = 30;

    // Scientific notation with digits - 1 decimals rounds to the wanted
    // significant digits and tells the exponent after rounding:
    // "-d.ddddde+XX".
    char sci[80];
    const auto res = std::to_chars(sci, sci + sizeof sci - 1, value, std::chars_format::scientific,
                                   digits - 1);
    *res.ptr = '\0';
    const char *p = sci;
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

    // At most 1 + 30 digits + "." + "E-" + 3 exponent digits, or "-0." and
    // 4 zeros and 30 digits: always within kGeneralChars.
    int len = 0;
    if (negative)
        buf[len++] = '-';
    if (exponent >= digits || exponent < -4) {
        buf[len++] = mantissa[0];
        if (n > 1) {
            buf[len++] = '.';
            std::memcpy(buf + len, mantissa + 1, size_t(n - 1));
            len += n - 1;
        }
        buf[len++] = 'E';
        len = int(std::to_chars(buf + len, buf + kGeneralChars, exponent).ptr - buf);
    } else if (exponent >= 0) {
        const int intDigits = exponent + 1;
        for (int i = 0; i < intDigits; ++i)
            buf[len++] = i < n ? mantissa[i] : '0';
        if (n > intDigits) {
            buf[len++] = '.';
            std::memcpy(buf + len, mantissa + intDigits, size_t(n - intDigits));
            len += n - intDigits;
        }
    } else {
        buf[len++] = '0';
        buf[len++] = '.';
        for (int i = 0; i < -exponent - 1; ++i)
            buf[len++] = '0';
        std::memcpy(buf + len, mantissa, size_t(n));
        len += n;
    }
    return len;
}

int hexChars(char *buf, uint32_t value, int minDigits)
{
    char digits[8];
    int n = 0;
    do {
        digits[n++] = "0123456789ABCDEF"[value & 0xF];
        value >>= 4;
    } while (value);
    int len = 0;
    for (int i = n; i < minDigits && len < 8; ++i)
        buf[len++] = '0';
    while (n)
        buf[len++] = digits[--n];
    return len;
}

} // namespace

QString FormatGeneral(double value, int digits)
{
    char buf[kGeneralChars];
    return QString::fromLatin1(buf, generalChars(buf, value, digits));
}

void AppendGeneral(QString &out, double value, int digits)
{
    char buf[kGeneralChars];
    out.append(QLatin1StringView(buf, generalChars(buf, value, digits)));
}

QString HexText(uint32_t value, int minDigits)
{
    char buf[16];
    return QString::fromLatin1(buf, hexChars(buf, value, minDigits));
}
