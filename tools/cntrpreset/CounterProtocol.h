#pragma once
// The command protocol of counter terminals, as words written to the
// terminal's two output registers, and the read-back areas of the counter
// modes.
//
// Command word (holding register 1056 + address): high byte = channel mask
// of a preset or digit setting, low byte = channel mask of a reset; 0 ends
// an operation. Data word (1057 + address): high byte a code, low byte data:
// 4k+1, 4k+2, 4k+3 carry bytes 0, 1, 2 of channel k's preset value, 0x21+k
// its display digits.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace counter {

constexpr uint32_t kWordBusOutput = 1056;  // output words of word address 0
constexpr uint32_t kWordBusInput = 32;     // word bus input of word address 0
constexpr uint32_t kExtendedInput = 320;   // extended input, 8 registers per address
constexpr int kChannels = 8;
constexpr int kHighestAddress = 63;
// Bytes of 100 ms between the words of a command.
constexpr int kByteTicks = 10;
constexpr int kDigitTicks = 5;

enum class ReadBackLayout { Pairs, Pairs8W, Pairs4W, Words };

struct Mode {
    const char *caption;
    bool wide;              // 24-bit counts (3 preset bytes, digit codes); else 16-bit
    uint8_t tag;            // read-back request tag
    bool wordBusArea;       // read-back from the word bus input, else the extended input
    uint32_t count;         // registers read back
    ReadBackLayout layout;
};

// Item index of the mode radio group = position.
const std::array<Mode, 7> &modes();
constexpr int kDefaultMode = 3;

// First register of the read-back of a mode for the IN address.
uint32_t readBackStart(const Mode &mode, int in);

inline uint32_t commandRegister(int address) { return kWordBusOutput + uint32_t(address); }
inline uint32_t dataRegister(int address) { return kWordBusOutput + 1 + uint32_t(address); }

// Command words; `channels` has bit k set for each selected channel k.
inline uint16_t presetCommand(uint8_t channels) { return uint16_t(channels << 8); }
inline uint16_t resetCommand(uint8_t channels, bool wide) { return wide ? channels : 0; }

// Data word carrying byte `byte` (0 = bits 0..7) of the preset value v of
// channel k.
inline uint16_t presetData(int k, int byte, uint32_t v)
{
    return uint16_t((4 * k + 1 + byte) << 8 | ((v >> (8 * byte)) & 0xFF));
}

// Data word of a digit setting: 0x2100 + k * 0x100 + item index (0..4).
inline uint16_t digitData(int k, int item)
{
    return uint16_t(0x2100 + k * 0x100 + item);
}

// Channel shown by read-back pair `index` in the 8-word and 4-word layouts;
// -1 for pairs that carry no channel.
int channelOfPair8W(int index);
int channelOfPair4W(int index);

// Largest preset value of a mode.
inline uint32_t maxPresetValue(bool wide) { return wide ? 0xFFFFFF : 0xFFFF; }

// One write of an operation: the register and its word, the pause after it
// in 100 ms ticks (0: the next write follows at once, unawaited), and the
// channel whose control is taken while it goes out (-1: none).
struct CommandStep {
    uint32_t reg;
    uint16_t value;
    int ticks;
    int channel;
    bool operator==(const CommandStep &) const = default;
};

// Preset of the selected channels at the OUT address with the values
// (per channel) as they were when the user pressed プリセット.
std::vector<CommandStep> presetSteps(int out, uint8_t channels, bool wide,
                                     const std::array<uint32_t, kChannels> &values);
// Reset of the selected channels at the IN address.
std::vector<CommandStep> resetSteps(int in, uint8_t channels, bool wide);
// Display digits (item index per channel) of the selected channels; only
// 24-bit modes carry digit codes.
std::vector<CommandStep> digitSteps(int out, uint8_t channels, bool wide, const std::array<int, kChannels> &items);

} // namespace counter
