#pragma once
// Where the simulated terminals keep their live data in the input
// registers (SimWordTerminals and SimBitTerminals say how it moves), and
// how a test reads the wider values back: on QtCore alone, for any gateway
// with inputRegister(), in this process or in another one.
#include <QtGlobal>
#include <cstring>

namespace simmap {

constexpr int kWordBus = 32;
constexpr int kExtended = 320;
constexpr int kReals = 832;
constexpr int kInputIntegration = 2624;
constexpr int kFixedTimeIntegration = 3648;
constexpr int kEdgeCounters = 2368;

struct WordTerminal {
    int address;
    int type;    // item of the monitor's terminal type list (12: other)
    int blocks;  // word addresses it occupies
};
// The default installation: one word terminal of each type.
constexpr WordTerminal kWordTerminals[] = {
    {0, 0, 1},  {4, 1, 1},  {8, 2, 2},  {12, 3, 2}, {16, 4, 4},  {20, 5, 4},  {24, 6, 1},
    {28, 7, 2}, {32, 8, 4}, {36, 9, 1}, {40, 10, 1}, {44, 11, 1}, {48, 12, 1},
};

// 32 bits, low word first.
template <class Gateway> quint32 read32(const Gateway &gw, int firstRegister)
{
    return quint32(gw.inputRegister(firstRegister + 1)) << 16 | gw.inputRegister(firstRegister);
}

// An IEEE single, low word first.
template <class Gateway> float readReal(const Gateway &gw, int firstRegister)
{
    const quint32 bits = read32(gw, firstRegister);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// A 24-bit count as the 2W layout holds it (first register bits 0..15,
// second register's low byte bits 16..23).
template <class Gateway> quint32 count24(const Gateway &gw, int firstRegister)
{
    return quint32(gw.inputRegister(firstRegister + 1) & 0xFF) << 16 | gw.inputRegister(firstRegister);
}

} // namespace simmap
