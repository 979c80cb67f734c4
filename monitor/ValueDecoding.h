#pragma once
// Decoding of monitor registers and the texts of the value boxes.
//
// Registers are combined into values by data type and word order, and each
// box writer turns a value into the text of its box in one of the four
// display formats. A writer that leaves its box unchanged returns nothing.
#include <QString>
#include <cstdint>
#include <optional>

namespace monitor {

// The display formats of the pop-up menu.
enum DisplayFormat : int { Decimal = 0, Hexadecimal = 1, Converted = 2, Characters = 3 };

// The data types of cbxDataType (item indexes).
enum DataType : int {
    Unsigned16 = 0,
    Unsigned32 = 1,
    Real32 = 2,
    Unsigned24 = 3,
    Signed16 = 4,
    OnOff = 5,
};

// Double words from registers r0 (first) and r1. Standard order: the first
// register holds the low word; swapped: the high word.
constexpr uint32_t assemble32(uint16_t r0, uint16_t r1, bool swapped)
{
    return swapped ? uint32_t(r0) << 16 | r1 : uint32_t(r1) << 16 | r0;
}
// 24 bits: the high byte of the high-word register is ignored.
constexpr uint32_t assemble24(uint16_t r0, uint16_t r1, bool swapped)
{
    return swapped ? uint32_t(r0 & 0xFF) << 16 | r1 : uint32_t(r1 & 0xFF) << 16 | r0;
}
// The IEEE 754 single whose bit pattern is the given 32 bits.
float realFromBits(uint32_t bits);
uint32_t bitsFromReal(float value);

// The abbreviation of an ASCII control code (0..31), otherwise the byte as a
// character of the Japanese code page: 0xA1..0xDF are the half-width
// katakana U+FF61..U+FF9F; other bytes are shown as their Latin-1 character
// (the code page has no single character for them).
QString ControlCharName(uint8_t byte);
// High byte, "･", low byte.
QString FormatCharPair(uint16_t value);

// The box writers' texts. gain and offset are those of the box's conversion
// table entry; the converted value is computed in extended precision.
QString unsigned16Text(uint16_t value, int format, float gain, float offset);
QString signed16Text(int16_t value, int format, float gain, float offset);
std::optional<QString> doubleWordText(uint32_t value, int format, float gain, float offset);
std::optional<QString> realText(float value, int format, float realFactor);

// A header box (the raw register of a group): on the word page decimal for
// formats 0 and 2 and hex(4) for 1 and 3; on the bit pages decimal for 0,
// hex(4) for 1, and unchanged for 2 and 3.
std::optional<QString> headerText(uint16_t value, int format, bool wordPage);

// One pair of bits of a bit word: bit 2k on the left, bit 2k + 1 on the
// right, "○" set and "●" clear, "symbol  symbol ".
QString bitPairText(uint16_t value, int pair);

} // namespace monitor
