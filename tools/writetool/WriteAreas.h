#pragma once
// The writable areas of the gateway's Modbus map as the arbitrary write tool
// offers them, the names of the address ranges, and the conversion of the
// value text.
//
// Register addresses are reference numbers 4xxxx (protocol address =
// number - 40001); coil addresses are counted from 1 (protocol address =
// number - 1).
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

struct WriteArea {
    const char *item;  // text in the area list
    int min;           // lowest address (reference number)
    int max;           // highest address
    bool coil;         // written with ON/OFF instead of a register value
    bool keepAddress;  // choosing the area keeps the address shown
};

// Item index = position in the area list.
const std::array<WriteArea, 13> &writeAreas();
constexpr int kFreeArea = 12;

// The lowest reference number a register write accepts.
constexpr int kLowestRegisterAddress = 41025;

// The name of the area that holds a register reference number; empty when
// the number lies in no named area.
QString areaDescription(int address);

// The value text as the write tool converts it: decimal (optional sign) or,
// with hex, hexadecimal digits without prefix; any 64-bit number is
// accepted and its low 32 bits are the value. nullopt when the text does not
// convert.
std::optional<uint32_t> parseWriteValue(const QString &text, bool hex);

// The protocol address of a register reference number typed into the write
// tool; nullopt below kLowestRegisterAddress (the write is refused).
inline std::optional<uint32_t> registerWriteAddress(int reference)
{
    if (reference < kLowestRegisterAddress)
        return std::nullopt;
    return uint32_t(reference - 40001);
}

// The protocol address of a coil number (counted from 1); nullopt for
// numbers below 1, which would wrap round to the top of the map.
inline std::optional<uint32_t> coilWriteAddress(int reference)
{
    if (reference < 1)
        return std::nullopt;
    return uint32_t(reference - 1);
}
