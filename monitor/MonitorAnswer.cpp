#include "monitor/MonitorAnswer.h"
#include "monitor/CsvRow.h"
#include "monitor/ValueDecoding.h"

namespace monitor {

ConversionEntry conversionFor(const ConversionTable &table, int w, int position)
{
    const int c = 8 * w + position + 1;
    if (c < 1 || c > ConversionTable::kEntries)
        return {c, 0.1f, 0.0f};
    return table.entry(c);
}

namespace {

struct Writer {
    const MonitorState &s;
    MonitorBoxes &boxes;
    QString *row;  // none: the boxes alone
    bool first = true;

    // Starts the next column of the row; false when there is no row.
    bool column()
    {
        if (!row)
            return false;
        if (!first)
            *row += u',';
        first = false;
        return true;
    }
    void column16(uint16_t v)
    {
        if (column())
            appendCsvValue16(*row, v, s.logValueType, s.logScale);
    }
    void column32(uint32_t v)
    {
        if (column())
            appendCsvValue32(*row, v, s.logValueType, s.logScale);
    }
    void columnReal(float x)
    {
        if (column())
            appendCsvValueReal(*row, x, s.logValueType, s.logScale);
    }
    void set(int position, QString text)
    {
        boxes.values[size_t(position)] = std::move(text);
        boxes.valueMask |= 1u << position;
    }
    ConversionEntry entry(int position) const
    {
        return s.table ? conversionFor(*s.table, s.wordAddress, position)
                       : ConversionEntry{0, 0.1f, 0.0f};
    }

    void unsigned16(int position, uint16_t v)
    {
        if (position > 31)
            return;
        const auto e = entry(position);
        set(position, unsigned16Text(v, s.displayFormat, e.gain, e.offset));
    }
    void signed16(int position, uint16_t v)
    {
        if (position > 31)
            return;
        const auto e = entry(position);
        set(position, signed16Text(int16_t(v), s.displayFormat, e.gain, e.offset));
    }
    void doubleWord(int position, uint32_t v)
    {
        if (position > 31)
            return;
        const auto e = entry(position);
        if (auto text = doubleWordText(v, s.displayFormat, e.gain, e.offset))
            set(position, std::move(*text));
    }
    void real(int position, float x)
    {
        if (position > 31)
            return;
        const float factor = s.realFactor ? (*s.realFactor)[size_t(position)] : 0.1f;
        if (auto text = realText(x, s.displayFormat, factor))
            set(position, std::move(*text));
    }
    void bitWord(int index, uint16_t v)
    {
        if (s.bitDataItem == BitBusInputItem) {
            if (index > 3)
                return;
            boxes.headers[size_t(index)] = QString::number(v);
            boxes.headerMask |= 1u << index;
            for (int k = 0; k < 8; ++k)
                set(8 * index + k, bitPairText(v, k));
        } else if (s.bitDataItem == EdgeCounterItem) {
            if (index <= 31)
                set(index, QString::number(v));
        }
    }

    static constexpr int BitBusInputItem = 0;
    static constexpr int EdgeCounterItem = 1;
};

} // namespace

namespace {

void decode(const uint8_t *data, int byteCount, const MonitorState &s, MonitorBoxes &boxes,
            QString *row)
{
    const int words = byteCount / 2;
    const int pairs = byteCount / 4;
    auto reg = [data](int r) { return uint16_t(data[2 * r] << 8 | data[2 * r + 1]); };
    Writer w{s, boxes, row};
    if (row) {
        // Room for every column at once: a real takes up to 22 characters,
        // an integer 12; the row grows only when it must.
        row->reserve(row->size() + words * 12 + 16);
    }

    if (!s.wordPage) {
        for (int r = 0; r < words; ++r) {
            const uint16_t v = reg(r);
            w.bitWord(r, v);
            w.column16(v);
        }
        return;
    }
    switch (s.dataType) {
    case Unsigned16:
        for (int r = 0; r < words; ++r) {
            const uint16_t v = reg(r);
            w.unsigned16(r, v);
            w.column16(v);
        }
        break;
    case Signed16:
        for (int r = 0; r < words; ++r) {
            const uint16_t v = reg(r);
            w.signed16(r, v);
            w.column16(v);
        }
        break;
    case Unsigned32:
        for (int j = 0; j < pairs; ++j) {
            const uint32_t v = assemble32(reg(2 * j), reg(2 * j + 1), s.swapped);
            w.doubleWord(j, v);
            w.column32(v);
        }
        break;
    case Real32:
        for (int j = 0; j < pairs; ++j) {
            const float x = realFromBits(assemble32(reg(2 * j), reg(2 * j + 1), s.swapped));
            w.real(j, x);
            w.columnReal(x);
        }
        break;
    case Unsigned24:
        for (int j = 0; j < pairs; ++j) {
            const uint32_t v = assemble24(reg(2 * j), reg(2 * j + 1), s.swapped);
            // In the extended area a 24-bit counter terminal's second set of
            // eight counters belongs to the third group.
            const int position = s.extendedArea && j >= 8 ? j + 8 : j;
            w.doubleWord(position, v);
            w.column32(v);
        }
        break;
    default:
        break;  // ON/OFF on the word page, or no data type: nothing shown
    }
}

} // namespace

void decodeMonitorAnswer(const uint8_t *data, int byteCount, const MonitorState &s,
                         MonitorBoxes &boxes, QString &row)
{
    decode(data, byteCount, s, boxes, &row);
}

void decodeMonitorBoxes(const uint8_t *data, int byteCount, const MonitorState &s,
                        MonitorBoxes &boxes)
{
    decode(data, byteCount, s, boxes, nullptr);
}

} // namespace monitor
