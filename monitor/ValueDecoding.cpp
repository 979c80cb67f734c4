#include "monitor/ValueDecoding.h"
#include "monitor/GeneralFormat.h"
#include <cstring>

namespace monitor {

float realFromBits(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

uint32_t bitsFromReal(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

namespace {

void appendControlCharName(QString &out, uint8_t byte)
{
    static const char *const names[32] = {
        "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
        "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
        "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",
    };
    if (byte < 32)
        out += QLatin1StringView(names[byte]);
    else if (byte >= 0xA1 && byte <= 0xDF)
        out += QChar(char16_t(0xFF61 + (byte - 0xA1)));
    else
        out += QChar(char16_t(byte));
}

} // namespace

QString ControlCharName(uint8_t byte)
{
    QString s;
    appendControlCharName(s, byte);
    return s;
}

QString FormatCharPair(uint16_t value)
{
    QString s;
    s.reserve(7);  // "NUL･NUL"
    appendControlCharName(s, uint8_t(value >> 8));
    s += QChar(char16_t(0xFF65));
    appendControlCharName(s, uint8_t(value & 0xFF));
    return s;
}

QString unsigned16Text(uint16_t value, int format, float gain, float offset)
{
    switch (format) {
    case Hexadecimal: return HexText(value, 4);
    case Converted:
        return FormatGeneral(double((long double)value * gain + offset), 7);
    case Characters: return FormatCharPair(value);
    default: return QString::number(value);
    }
}

QString signed16Text(int16_t value, int format, float gain, float offset)
{
    switch (format) {
    case Hexadecimal: return HexText(uint32_t(int32_t(value)), 4);
    case Converted:
        return FormatGeneral(double((long double)value * gain + offset), 7);
    case Characters: return FormatCharPair(uint16_t(value));
    default: return QString::number(value);
    }
}

std::optional<QString> doubleWordText(uint32_t value, int format, float gain, float offset)
{
    switch (format) {
    case Hexadecimal: return HexText(value, 8);
    case Converted:
        return FormatGeneral(double((long double)value * gain + offset), 7);
    case Characters: return std::nullopt;
    default: return QString::number(value);
    }
}

std::optional<QString> realText(float value, int format, float realFactor)
{
    switch (format) {
    case Hexadecimal: return QStringLiteral("--");
    case Converted: return FormatGeneral(double((long double)value * realFactor), 7);
    case Characters: return std::nullopt;
    default: return FormatGeneral(value, 7);
    }
}

std::optional<QString> headerText(uint16_t value, int format, bool wordPage)
{
    if (format == Hexadecimal || (wordPage && format == Characters))
        return HexText(value, 4);
    if (format == Decimal || (wordPage && format == Converted))
        return QString::number(value);
    return std::nullopt;
}

QString bitPairText(uint16_t value, int pair)
{
    static const QString texts[4] = {
        QStringLiteral("●  ● "),
        QStringLiteral("○  ● "),
        QStringLiteral("●  ○ "),
        QStringLiteral("○  ○ "),
    };
    return texts[(value >> (2 * pair)) & 3];
}

} // namespace monitor
