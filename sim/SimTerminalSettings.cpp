#include "sim/SimTerminalSettings.h"
#include "sim/SimGateway.h"
#include "sim/SimWordTerminals.h"

namespace {

constexpr int kCommandWords = 1056;
constexpr int kBlocks = 320;
constexpr int kAddresses = 64;
// Register 0 of a block in settings mode: the mode the terminal is in.
constexpr quint16 kModeWord = 1;

QList<int> cycle(int count, int modulo, int step, int first)
{
    QList<int> l;
    for (int i = 0; i < count; ++i)
        l << (first + i * step) % modulo;
    return l;
}

} // namespace

SimTerminalSettings::SimTerminalSettings()
{
    using K = Kind;
    // Default installation (the live data of these addresses is the
    // monitor's); 52 to 63 are the extra terminals of this protocol.
    addTerminal({K::Power7, 12, false, 1, 2, 2, 0, {1, 2, 3, 4, 7, 8, 9}});
    addTerminal({K::Power14, 16, false, 2, 1, 13, 0, {1, 2, 3, 4, 5, 6, 8}});
    addTerminal({K::Power7, 20, false, 1, 5, 17, 0, {6, 6, 6, 9, 10, 2, 1}});
    addTerminal({K::Current8, 24, false, 1, 2, 22, 0, {1, 2, 3, 4, 5, 6, 7, 8}});
    addTerminal({K::Current16, 28, false, 2, 1, 7, 0, cycle(16, 8, 1, 1)});
    addTerminal({K::Current32, 32, false, 1, 3, 12, 0, cycle(32, 9, 2, 0)});
    addTerminal({K::OutletBar, 36, false, 1, 0, 18, 0, {}});
    addTerminal({K::Power28, 52, false, 1, 2, 13, 0, cycle(28, 11, 3, 1)});
    addTerminal({K::Current8, 60, true, 1, 2, 22, 0, {1, 1, 1, 1, 1, 1, 1, 1}});
    addTerminal({K::OutletBar, 63, false, 2, 0, 18, 0, {}});
}

SimTerminalSettings::SimTerminalSettings(const QList<Terminal> &terminals)
{
    for (const Terminal &t : terminals)
        addTerminal(t);
}

std::optional<SimTerminalSettings::Terminal> SimTerminalSettings::forMonitorType(int type, int address)
{
    SimTerminalSettings defaults;
    for (const SimWordTerminals::Terminal &w : SimWordTerminals::kTerminals) {
        if (w.type != type)
            continue;
        const Terminal *t = defaults.terminalAt(w.address);
        if (!t)
            return std::nullopt;
        Terminal moved = *t;
        moved.address = address;
        return moved;
    }
    return std::nullopt;
}

bool SimTerminalSettings::isPower(Kind k)
{
    return k == Kind::Power7 || k == Kind::Power14 || k == Kind::Power28;
}

int SimTerminalSettings::circuitsPerUnit(Kind k)
{
    switch (k) {
    case Kind::Power7:
    case Kind::Power14:
    case Kind::Power28:
        return 7;
    case Kind::Current8:
        return 8;
    case Kind::Current16:
    case Kind::Current32:
        return 16;
    case Kind::OutletBar:
        return 0;
    }
    return 0;
}

int SimTerminalSettings::unitCount(Kind k)
{
    return k == Kind::Power28 ? 4 : k == Kind::Current32 ? 2 : 1;
}

int SimTerminalSettings::unitStride(Kind)
{
    return 2;
}

int SimTerminalSettings::lastGroup(Kind k)
{
    return k == Kind::Current8 ? 2 : 3;
}

void SimTerminalSettings::addTerminal(const Terminal &t)
{
    m_terminals.push_back(t);
    const int circuits = circuitsPerUnit(t.kind) * unitCount(t.kind);
    while (m_terminals.back().ranges.size() < circuits)
        m_terminals.back().ranges << 0;
    for (int k = 0; k < unitCount(t.kind); ++k)
        m_units.push_back(Unit{int(m_terminals.size()) - 1, k, t.address + k * unitStride(t.kind), false, 0, {}});
}

SimTerminalSettings::Terminal *SimTerminalSettings::terminalAt(int address)
{
    for (Terminal &t : m_terminals)
        if (t.address == address)
            return &t;
    return nullptr;
}

bool SimTerminalSettings::inSettingsMode(int address) const
{
    for (const Unit &u : m_units)
        if (u.address == address)
            return u.settingsMode;
    return false;
}

SimTerminalSettings::Unit *SimTerminalSettings::unitWithCommandWord(int address, bool *second)
{
    for (Unit &u : m_units) {
        const Kind kind = m_terminals[size_t(u.terminal)].kind;
        if (u.address == address) {
            *second = false;
            return &u;
        }
        if (isPower(kind) && u.address + 1 == address) {
            *second = true;
            return &u;
        }
    }
    return nullptr;
}

void SimTerminalSettings::present(SimGateway &gw, const Unit &u) const
{
    const Terminal &s = u.snapshot;
    const int base = kBlocks + 8 * u.address;
    const int n = circuitsPerUnit(s.kind);
    QList<quint16> words(8, 0);
    words[0] = kModeWord;
    if (isPower(s.kind)) {
        words[1] = quint16(s.frequency);
        words[2] = quint16(s.voltage);
        words[3] = quint16(s.type);
        for (int i = 0; i < 8; ++i)
            gw.setInputRegister(base + i, words[i]);
        // The seven current ranges of the unit in the next block.
        gw.setInputRegister(base + 8, 0);
        for (int r = 1; r <= 7; ++r)
            gw.setInputRegister(base + 8 + r, quint16(s.ranges.value(u.index * n + r - 1)));
        return;
    }
    if (s.kind == Kind::OutletBar) {
        words[1] = quint16(s.frequency);
        words[2] = quint16(s.clear);
        words[3] = quint16(s.type);
    } else {
        // One group at a time, each word laid out like the item command
        // that sets it.
        const int g = u.group;
        for (int r = 1; r <= 7; ++r) {
            int code = 0;
            if (g == 0) {
                code = r == 1 ? s.frequency : r == 2 ? s.voltage : r == 3 ? s.type : 0;
            } else {
                const int circuit = (g - 1) * 7 + (r - 1);
                if (circuit < n)
                    code = s.ranges.value(u.index * n + circuit);
            }
            words[r] = quint16(r << 13 | g << 9 | (code & 0x1FF));
        }
    }
    for (int i = 0; i < 8; ++i)
        gw.setInputRegister(base + i, words[i]);
}

void SimTerminalSettings::clearBlocks(SimGateway &gw, const Unit &u) const
{
    const int blocks = isPower(m_terminals[size_t(u.terminal)].kind) ? 2 : 1;
    for (int i = 0; i < 8 * blocks; ++i)
        gw.setInputRegister(kBlocks + 8 * u.address + i, 0);
}

void SimTerminalSettings::apply(Unit &u, bool second, int reg, int group, int code)
{
    if (reg < 1 || reg > 7)
        return;
    Terminal &t = m_terminals[size_t(u.terminal)];
    const int n = circuitsPerUnit(t.kind);
    if (isPower(t.kind)) {
        if (group != 0)
            return;
        if (second) {
            t.ranges[u.index * n + reg - 1] = code;
            return;
        }
        if (reg == 1)
            t.frequency = code;
        else if (reg == 2)
            t.voltage = code;
        else if (reg == 3)
            t.type = code;
        return;
    }
    if (t.kind == Kind::OutletBar) {
        if (group != 0)
            return;
        if (reg == 1)
            t.frequency = code;
        else if (reg == 2)
            t.clear = code;
        else if (reg == 3)
            t.type = code;
        return;
    }
    if (group == 0) {
        if (reg == 1)
            t.frequency = code;
        else if (reg == 2)
            t.voltage = code;
        else if (reg == 3)
            t.type = code;
        return;
    }
    const int circuit = (group - 1) * 7 + (reg - 1);
    if (circuit < n)
        t.ranges[u.index * n + circuit] = code;
}

void SimTerminalSettings::tick(SimGateway &gw, qint64)
{
    for (Unit &u : m_units) {
        if (!u.settingsMode)
            continue;
        if (m_terminals[size_t(u.terminal)].silent) {
            u.settingsMode = false;
            continue;
        }
        const Kind kind = u.snapshot.kind;
        if (!isPower(kind) && kind != Kind::OutletBar)
            u.group = u.group >= lastGroup(kind) ? 0 : u.group + 1;
        present(gw, u);
    }
}

void SimTerminalSettings::onWrite(SimGateway &gw, QModbusDataUnit::RegisterType table, int address,
                                  quint16 value)
{
    if (table != QModbusDataUnit::HoldingRegisters || address < kCommandWords
        || address >= kCommandWords + kAddresses)
        return;
    bool second = false;
    Unit *u = unitWithCommandWord(address - kCommandWords, &second);
    if (!u || m_terminals[size_t(u->terminal)].silent)
        return;
    if (second) {
        // The second word of a power unit takes only item commands.
        if (u->settingsMode)
            apply(*u, true, value >> 13, (value >> 9) & 3, value & 0x1FF);
        return;
    }
    if (value == 1) {
        u->settingsMode = true;
        u->snapshot = m_terminals[size_t(u->terminal)];
        u->group = 0;
        present(gw, *u);
    } else if (value == 0) {
        if (u->settingsMode)
            clearBlocks(gw, *u);
        u->settingsMode = false;
    } else if (u->settingsMode) {
        apply(*u, false, value >> 13, (value >> 9) & 3, value & 0x1FF);
    }
}
