#pragma once
// Where the gateway resets its soft counters: block reset registers and
// single reset coils, as reference numbers (registers 4xxxx, coils from 1).
//
// Word soft counters: eight per word address w. Register 41239 + w / 2 holds
// one bit per counter for two addresses, the low byte for the even address
// and the high byte for the odd one; coil 3001 + 8w + k resets counter k.
// Bit soft counters: one per bit address b. Register 41223 + b / 16 holds one
// bit per address for sixteen addresses; coil 2001 + b resets one.
#include <cstdint>
#include <optional>

namespace softcounter {

constexpr int kWordBlockBase = 41239;
constexpr int kWordCoilBase = 3001;
constexpr int kBitBlockBase = 41223;
constexpr int kBitCoilBase = 2001;

inline int wordBlockRegister(int w) { return kWordBlockBase + w / 2; }
inline bool wordBlockIsHigh(int w) { return w % 2 != 0; }
inline uint16_t wordBlockValue(bool high) { return high ? 0xFF00 : 0x00FF; }
inline int wordResetCoil(int w) { return kWordCoilBase + 8 * w; }
inline int bitBlockRegister(int b) { return kBitBlockBase + b / 16; }
constexpr uint16_t kBitBlockValue = 0xFFFF;
inline int bitResetCoil(int b) { return kBitCoilBase + b; }

// Terminal type item "99：その他": its word address has no soft counters of
// its own, and the block reset falls back to address 0.
constexpr int kOtherTerminalType = 12;
inline int blockWordAddress(int w, int terminalType)
{
    return terminalType >= 0 && terminalType < kOtherTerminalType ? w : 0;
}

// The protocol address of a reference number counted from `base` (40001
// for registers, 1 for coils). Numbers outside the up-down ranges go out as
// typed, but one outside the protocol's 16-bit addresses would reach
// another coil or register: nullopt.
inline std::optional<uint32_t> protocolAddress(int reference, int base)
{
    const long long a = (long long)reference - base;
    if (a < 0 || a > 0xFFFF)
        return std::nullopt;
    return uint32_t(a);
}

// What the dialog reads of the monitor: its word and bit addresses and the
// chosen terminal type item.
struct MonitorAddresses {
    int bitAddress = 0;
    int wordAddress = 0;
    int terminalType = 0;
};

} // namespace softcounter
