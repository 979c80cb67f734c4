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
#include <QList>

class SimWordTerminals : public SimBehaviour {
public:
    static constexpr int kWordBus = 32;
    static constexpr int kExtended = 320;
    static constexpr int kReals = 832;
    static constexpr int kInputIntegration = 2624;
    static constexpr int kFixedTimeIntegration = 3648;

    struct Terminal {
        int address;
        int type;    // item of the monitor's terminal type list (12: other)
        int blocks;  // word addresses it occupies
    };
    static constexpr Terminal kTerminals[] = {
        {0, 0, 1},  {4, 1, 1},  {8, 2, 2},  {12, 3, 2}, {16, 4, 4},  {20, 5, 4},  {24, 6, 1},
        {28, 7, 2}, {32, 8, 4}, {36, 9, 1}, {40, 10, 1}, {44, 11, 1}, {48, 12, 1},
    };
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

    // A 24-bit count as the 2W layout holds it (first register bits 0..15,
    // second register's low byte bits 16..23).
    static quint32 count24(const SimGateway &gw, int firstRegister);
    static quint32 read32(const SimGateway &gw, int firstRegister);
    static void write32(SimGateway &gw, int firstRegister, quint32 value);
    static float readReal(const SimGateway &gw, int firstRegister);

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
