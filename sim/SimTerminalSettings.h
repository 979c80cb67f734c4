#pragma once
// The settings mode of the simulated power, current and outlet-bar
// terminals.
//
// A terminal is commanded through its command word, holding register
// 1056 + address: 1 enters settings mode, 0 leaves it, and any other value
// is an item command r << 13 | g << 9 | code that sets the setting reported
// in register r, group g. On entering settings mode the terminal takes a
// snapshot of its settings and presents it in its settings block (input
// registers 320 + 8 * address onward) on every tick until it leaves, over
// whatever live data was written earlier in the tick; item commands change
// the stored settings, which the next entry into settings mode reports.
//
// Power terminals present frequency, voltage range and product type in the
// block of their address b and seven current ranges in the block of b + 1;
// the ranges are set through the second command word 1057 + b. A 28-circuit
// terminal is four such units at b, b + 2, b + 4, b + 6. Current terminals
// present one group at a time in registers 1 to 7 (group 0: frequency,
// voltage, type; group 1 + k: circuits 7k + 1 to 7k + 7), the next group on
// every tick; a 32-circuit terminal is two 16-circuit units at b and b + 2.
// A silent terminal ignores every command.
#include "sim/SimBehaviour.h"
#include <QList>
#include <optional>
#include <vector>

class SimTerminalSettings : public SimBehaviour {
public:
    enum class Kind { Power7, Power14, Power28, Current8, Current16, Current32, OutletBar };

    struct Terminal {
        Kind kind = Kind::Power7;
        int address = 0;
        bool silent = false;
        int frequency = 1;
        int voltage = 0;
        int type = 0;
        int clear = 0;        // outlet bar: current-value clear
        QList<int> ranges;    // current ranges: per circuit (per circuit pair on 14 circuits)
    };

    // The default set of terminals (see README.md, "The simulator").
    SimTerminalSettings();
    // These terminals only.
    explicit SimTerminalSettings(const QList<Terminal> &terminals);

    // The settings of the default installation's terminal of the monitor's
    // terminal type, at another address; none for a type without settings
    // mode (thermocouple, counter, thermistor, ...).
    static std::optional<Terminal> forMonitorType(int type, int address);

    // Adds a terminal; its settings mode units must not overlap another's.
    void addTerminal(const Terminal &t);
    // The terminal whose first address is `address`, or null.
    Terminal *terminalAt(int address);
    // True while the unit whose command word is 1056 + address is in
    // settings mode.
    bool inSettingsMode(int address) const;

    // Every terminal's settings-mode units with their block counts.
    static int circuitsPerUnit(Kind kind);
    static int unitCount(Kind kind);
    static int unitStride(Kind kind);

    void tick(SimGateway &gw, qint64 nowMs) override;
    void onWrite(SimGateway &gw, QModbusDataUnit::RegisterType table, int address, quint16 value) override;

private:
    struct Unit {
        int terminal;      // index into m_terminals
        int index;         // unit number within the terminal
        int address;       // its command word is 1056 + address
        bool settingsMode = false;
        int group = 0;     // current terminals: the group presented now
        Terminal snapshot; // what it reports while in settings mode
    };

    Unit *unitWithCommandWord(int address, bool *second);
    void present(SimGateway &gw, const Unit &u) const;
    void clearBlocks(SimGateway &gw, const Unit &u) const;
    void apply(Unit &u, bool second, int reg, int group, int code);
    static int lastGroup(Kind kind);
    static bool isPower(Kind kind);

    std::vector<Terminal> m_terminals;
    std::vector<Unit> m_units;
};
