#include "tools/cntrpreset/CounterProtocol.h"

namespace counter {

const std::array<Mode, 7> &modes()
{
    using L = ReadBackLayout;
    static const std::array<Mode, 7> m{{
        {"8：24bit 16W", true, 12, true, 16, L::Pairs},
        {"9：24bit 8W", true, 13, false, 64, L::Pairs8W},
        {"A：24bit 4W", true, 14, false, 32, L::Pairs4W},
        {"B：24bit 2W", true, 11, false, 16, L::Pairs},
        {"C：16bit 1W", false, 10, true, 8, L::Words},
        {"D：13bit 1W", false, 10, false, 8, L::Words},
        {"E：CRC   2W", true, 11, false, 16, L::Pairs},
    }};
    return m;
}

uint32_t readBackStart(const Mode &mode, int in)
{
    return mode.wordBusArea ? kWordBusInput + uint32_t(in) : kExtendedInput + 8 * uint32_t(in);
}

int channelOfPair8W(int index)
{
    // Each channel pair sits in a word address of its own: CH0..CH3 at the
    // even ones, CH4..CH7 at the odd ones, two registers further per channel.
    switch (index) {
    case 0: return 0;
    case 9: return 1;
    case 18: return 2;
    case 27: return 3;
    case 4: return 4;
    case 13: return 5;
    case 22: return 6;
    case 31: return 7;
    default: return -1;
    }
}

int channelOfPair4W(int index)
{
    switch (index) {
    case 0: return 0;
    case 2: return 2;
    case 4: return 4;
    case 6: return 6;
    case 9: return 1;
    case 11: return 3;
    case 13: return 5;
    case 15: return 7;
    default: return -1;
    }
}

namespace {

bool selected(uint8_t channels, int k)
{
    return (channels >> k & 1) != 0;
}

// The words that end every preset and digit setting.
void closeOperation(std::vector<CommandStep> &steps, int out)
{
    steps.push_back({dataRegister(out), 0, 0, -1});
    steps.push_back({commandRegister(out), 0, 0, -1});
}

} // namespace

std::vector<CommandStep> presetSteps(int out, uint8_t channels, bool wide,
                                     const std::array<uint32_t, kChannels> &values)
{
    std::vector<CommandStep> steps{{commandRegister(out), presetCommand(channels), kByteTicks, -1}};
    const int bytes = wide ? 3 : 2;
    for (int k = 0; k < kChannels; ++k)
        if (selected(channels, k))
            for (int b = 0; b < bytes; ++b)
                steps.push_back({dataRegister(out), presetData(k, b, values[size_t(k)]), kByteTicks, k});
    closeOperation(steps, out);
    return steps;
}

std::vector<CommandStep> resetSteps(int in, uint8_t channels, bool wide)
{
    return {{commandRegister(in), resetCommand(channels, wide), kByteTicks, -1}, {commandRegister(in), 0, 0, -1}};
}

std::vector<CommandStep> digitSteps(int out, uint8_t channels, bool wide, const std::array<int, kChannels> &items)
{
    std::vector<CommandStep> steps{{commandRegister(out), presetCommand(channels), kByteTicks, -1}};
    if (wide)
        for (int k = 0; k < kChannels; ++k)
            if (selected(channels, k))
                steps.push_back({dataRegister(out), digitData(k, items[size_t(k)]), kDigitTicks, k});
    closeOperation(steps, out);
    return steps;
}

} // namespace counter
