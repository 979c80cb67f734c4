#include "monitor/RecordingLayout.h"
#include "monitor/MonitorLayout.h"
#include "monitor/Survey.h"
#include "monitor/ValueDecoding.h"
#include <algorithm>
#include <map>
#include <set>

namespace rec {

QString Channel::name() const
{
    QStringList parts;
    if (terminal >= 0)
        parts << QStringLiteral("W%1").arg(terminal);
    for (const QString &part : {terminalName.trimmed(), label.trimmed(), unit.trimmed(), tag.trimmed()})
        if (!part.isEmpty())
            parts << part;
    return parts.join(u' ');
}

namespace {

// The reads that cover the registers (protocol addresses, sorted): one per
// run of consecutive registers, split at the read limit.
QList<Read> readsOf(const std::set<uint32_t> &registers)
{
    QList<Read> reads;
    for (const uint32_t r : registers) {
        if (!reads.isEmpty()) {
            Read &last = reads.last();
            if (last.address + uint32_t(last.count) == r && last.count < kMaxReadRegisters) {
                ++last.count;
                continue;
            }
        }
        reads.append({r, 1});
    }
    return reads;
}

// The first register (offset in the terminal's window) of value box p of a
// terminal read as `kind`; -1 when the monitor writes no number there.
int windowRegisterOf(Kind kind, int p)
{
    if (kind == Kind::Unsigned16)
        return p;
    // 24-bit counters: register pair j fills box j, and from the ninth pair
    // on box j + 8 (the third group).
    if (p < 8)
        return 2 * p;
    if (p >= 16 && p < 24)
        return 2 * (p - 8);
    return -1;
}

} // namespace

Layout layoutOf(const site::Site *site)
{
    Layout layout;
    const uint32_t areaEnd = kAreaFirst + uint32_t(kAreaRegisters);
    if (!site) {
        std::set<uint32_t> all;
        for (uint32_t r = kAreaFirst; r < areaEnd; ++r)
            all.insert(r);
        layout.reads = readsOf(all);
        layout.registers = kAreaRegisters;
        for (int i = 0; i < kAreaRegisters; ++i) {
            Channel c;
            c.box = i;
            c.label = QString::number(30001 + int(kAreaFirst) + i);
            c.offset = i;
            layout.channels.append(c);
        }
        return layout;
    }

    // Each channel by the protocol address of its first register.
    struct Wanted {
        Channel channel;
        uint32_t reg;
    };
    QList<Wanted> wanted;
    std::set<uint32_t> registers;
    QList<site::Terminal> terminals = site->terminals;
    std::sort(terminals.begin(), terminals.end(),
              [](const site::Terminal &a, const site::Terminal &b) { return a.address < b.address; });
    for (const site::Terminal &t : terminals) {
        const uint32_t first = kAreaFirst + 8u * uint32_t(t.address);
        // The terminal's own words, whole, whatever of them has a channel.
        for (uint32_t r = first; r < first + 8u * uint32_t(monitor::terminalWordCount(t.type)) && r < areaEnd; ++r)
            registers.insert(r);
        const Kind kind = monitor::wordAreaDataType(monitor::Extended512, t.type) == monitor::Unsigned24
                              ? Kind::Unsigned24
                              : Kind::Unsigned16;
        const monitor::ChannelTexts texts = monitor::terminalChannels(t.type, monitor::Extended512);
        for (const int p : survey::surveyedChannels(t)) {
            const int w = windowRegisterOf(kind, p);
            const int width = kind == Kind::Unsigned24 ? 2 : 1;
            if (w < 0 || first + uint32_t(w + width) > areaEnd)
                continue;  // the monitor shows no number there, or it lies past the area
            for (int k = 0; k < width; ++k)
                registers.insert(first + uint32_t(w + k));
            Channel c;
            c.terminal = t.address;
            c.type = t.type;
            c.terminalName = t.name;
            c.box = p;
            c.label = texts.labels[size_t(p)].trimmed();
            c.unit = texts.units[size_t(p)].trimmed();
            if (const site::Channel *named = t.channelAt(p))
                c.tag = named->tag;
            c.kind = kind;
            wanted.append({c, first + uint32_t(w)});
        }
    }
    layout.reads = readsOf(registers);
    // A register's index in a row: its place among all the registers read.
    std::map<uint32_t, int> index;
    for (const uint32_t r : registers)
        index.emplace(r, int(index.size()));
    layout.registers = int(registers.size());
    for (Wanted &w : wanted) {
        w.channel.offset = index.at(w.reg);
        layout.channels.append(w.channel);
    }
    return layout;
}

double channelValue(const Channel &channel, const uint16_t *registers, bool swapped)
{
    const uint16_t *r = registers + channel.offset;
    switch (channel.kind) {
    case Kind::Unsigned24: return double(monitor::assemble24(r[0], r[1], swapped));
    case Kind::Unsigned16: break;
    }
    return double(r[0]);
}

} // namespace rec
