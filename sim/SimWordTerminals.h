#pragma once
// Live data of the word terminals: by default one terminal of each of the
// thirteen types the monitor knows (word address: type):
//    0 thermocouple            4 counter 13 bit          8 counter 24 bit (2W)
//   12 power 7 circuits (12-13)   16 power 14 circuits (16-19)
//   20 power 7 circuits high function (20-23)   24 current 8 circuits
//   28 current 16 circuits (28-29)   32 current 32 circuits (32-35)
//   36 outlet bar   40 thermistor   44 temperature/humidity   48 other
// or the terminals of an installation file, each moving as the terminal of
// its type in the default installation does.
//
// For every word address a the terminal occupies:
//   input register 320 + 8a + k: channel k's raw value (the extended area),
//   input register 32 + a: the word on the bus (channel 0's raw value),
//   input registers 832 + 16a + 2k, +1: channel k in engineering units, an
//     IEEE single, low word first,
//   input registers 2624 + 16a + 2k, +1: input-integrating soft counter k
//     (32 bits, low word first), + channel k's raw value once a second,
//   input registers 3648 + 16a + 2k, +1: fixed-time integrating soft counter
//     k, the same sum restarted at every full minute.
// The counters (the 13-bit counts, the 24-bit counts and the soft counters)
// count on from what the registers hold (read, add, write), so presets and
// resets that other behaviours write take effect; the 24-bit counts keep the
// digit code in their second register's high byte.
#include "sim/SimBehaviour.h"
#include "sim/SimMap.h"
#include <QList>

class SimWordTerminals : public SimBehaviour {
public:
    static constexpr int kWordBus = simmap::kWordBus;
    static constexpr int kExtended = simmap::kExtended;
    static constexpr int kReals = simmap::kReals;
    static constexpr int kInputIntegration = simmap::kInputIntegration;
    static constexpr int kFixedTimeIntegration = simmap::kFixedTimeIntegration;

    using Terminal = simmap::WordTerminal;
    static constexpr auto &kTerminals = simmap::kWordTerminals;
    // The word addresses a terminal of the monitor's type occupies (0 for a
    // type that is none of the thirteen).
    static int blocksOf(int type);

    // The default installation.
    SimWordTerminals();
    // These terminals (types 0..12; each within word addresses 0..63 and
    // apart from the others).
    explicit SimWordTerminals(const QList<Terminal> &terminals);
    const QList<Terminal> &terminals() const { return m_terminals; }

    void attach(SimGateway &gw) override;
    void tick(SimGateway &gw, qint64 nowMs) override;

    static void write32(SimGateway &gw, int firstRegister, quint32 value);

private:
    void thermocouple(SimGateway &gw, int a, double t);
    void counter13(SimGateway &gw, int a);
    void counter24(SimGateway &gw, int a);
    void power7(SimGateway &gw, int a, double t);
    void power14(SimGateway &gw, int a, double t);
    void power7HighFunction(SimGateway &gw, int a, double t);
    void currents(SimGateway &gw, int a, int circuits, double t);
    void outletBar(SimGateway &gw, int a, qint64 nowMs, double t);
    void thermistor(SimGateway &gw, int a, double t);
    void temperatureHumidity(SimGateway &gw, int a, double t);
    void other(SimGateway &gw, int a, qint64 nowMs);
    void softCounters(SimGateway &gw, qint64 nowMs);

    QList<Terminal> m_terminals;
    qint64 m_lastSecond = -1;
    qint64 m_lastMinute = -1;
};
