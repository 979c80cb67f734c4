#pragma once
// Gain and offset per channel: 512 entries numbered 1..512, entry
// 8 * w + p + 1 for value box p of word address w. Every entry starts as
// {c, 0.1, 0.0}.
#include <array>
#include <cstdint>

struct ConversionEntry {
    int32_t number;
    float gain;
    float offset;
};

class ConversionTable {
public:
    static constexpr int kEntries = 512;

    ConversionTable() { reset(); }
    void reset()
    {
        for (int c = 1; c <= kEntries; ++c)
            m_entries[size_t(c - 1)] = {c, 0.1f, 0.0f};
    }
    // c from 1 to 512.
    const ConversionEntry &entry(int c) const { return m_entries[size_t(c - 1)]; }
    ConversionEntry &entry(int c) { return m_entries[size_t(c - 1)]; }

private:
    std::array<ConversionEntry, kEntries> m_entries;
};
