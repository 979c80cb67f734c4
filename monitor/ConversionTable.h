#pragma once
// Gain and offset per channel: 512 entries numbered 1..512, entry
// 8 * w + p + 1 for value box p of word address w. Every entry starts as
// {c, 0.1, 0.0}.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

struct ConversionEntry {
    int32_t number;
    float gain;
    float offset;
};

// One line split into fields by the comma-text rule: blanks and control
// characters (codes 1..32) before and after a field are skipped; a field
// starting with a double quote runs to the closing quote (a doubled quote
// stands for one); any other field runs up to the next comma or character
// of code 32 or less; one comma after a field is skipped with the blanks
// after it, so ",," gives an empty field. A NUL character ends the line.
QStringList SplitCommaText(const QString &line);

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

    struct LoadResult {
        bool ok = true;
        int accepted = 0;   // lines that set an entry
        int line = 0;       // line number (from 1) of the failure
        QString error;      // the conversion or file error, in Japanese
    };

    // Reads "number, gain, offset" lines into the table. Lines whose first
    // field is "#" or empty are skipped, numbers outside 1..512 silently
    // skipped; at most 512 lines are accepted. A number, gain or offset that
    // does not convert stops the load at that line: what was read before it
    // stays, and of that line the number (and the gain, when it converted)
    // are already set.
    LoadResult load(const QString &text);
    // The same from a file in the system code page. A file that cannot be
    // opened leaves the table unchanged.
    LoadResult loadFile(const QString &path);

private:
    std::array<ConversionEntry, kEntries> m_entries;
};
