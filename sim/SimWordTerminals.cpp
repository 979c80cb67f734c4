#include "sim/SimWordTerminals.h"
#include "monitor/MonitorLayout.h"
#include "sim/SimGateway.h"
#include <cmath>
#include <cstring>
#include <iterator>

namespace {

quint16 raw(double v)
{
    const long r = std::lround(v);
    return quint16(r < 0 ? 0 : r > 65535 ? 65535 : r);
}

double wave(double t, double period, double phase)
{
    return std::sin(2 * M_PI * t / period + phase);
}

// Channel k of word address a: its raw value, and the same in engineering
// units (raw × scale) as a real.
void channel(SimGateway &gw, int a, int k, quint16 value, double scale)
{
    gw.setInputRegister(SimWordTerminals::kExtended + 8 * a + k, value);
    const float real = float(value * scale);
    quint32 bits;
    std::memcpy(&bits, &real, sizeof bits);
    SimWordTerminals::write32(gw, SimWordTerminals::kReals + 16 * a + 2 * k, bits);
    if (k == 0)
        gw.setInputRegister(SimWordTerminals::kWordBus + a, value);
}

// A load current in tenths of an ampere: each circuit has its own level and
// swings slowly around it.
quint16 loadCurrent(int circuit, double t)
{
    const double base = 40 + 23 * ((circuit * 7) % 11);
    return raw(base + 0.25 * base * wave(t, 20 + circuit % 5, circuit));
}

quint16 voltage(double nominal, double t, double phase)
{
    return raw(nominal * 10 + 8 * wave(t, 13, phase) + 3 * wave(t, 3.7, 2 * phase));
}

} // namespace

void SimWordTerminals::write32(SimGateway &gw, int r, quint32 value)
{
    gw.setInputRegister(r, quint16(value & 0xFFFF));
    gw.setInputRegister(r + 1, quint16(value >> 16));
}

SimWordTerminals::SimWordTerminals() : m_terminals(std::begin(kTerminals), std::end(kTerminals)) {}

SimWordTerminals::SimWordTerminals(const QList<Terminal> &terminals) : m_terminals(terminals) {}

int SimWordTerminals::blocksOf(int type)
{
    for (const Terminal &t : kTerminals)
        if (t.type == type)
            return monitor::terminalWordCount(type);
    return 0;
}

void SimWordTerminals::attach(SimGateway &gw)
{
    // Counts that do not all start at zero, so that every digit shows.
    for (const Terminal &t : std::as_const(m_terminals)) {
        for (int k = 0; k < 8; ++k) {
            if (t.type == 1) {
                gw.setInputRegister(kExtended + 8 * t.address + k, quint16(1000 * k));
            } else if (t.type == 2) {
                const int r = kExtended + 8 * t.address + 2 * k;
                gw.setInputRegister(r, quint16((k * 1234567) & 0xFFFF));
                gw.setInputRegister(r + 1, quint16((gw.inputRegister(r + 1) & 0xFF00) | ((k * 1234567) >> 16 & 0xFF)));
            }
        }
    }
}

void SimWordTerminals::tick(SimGateway &gw, qint64 nowMs)
{
    const double t = double(nowMs) / 1000.0;
    for (const Terminal &term : std::as_const(m_terminals)) {
        const int a = term.address;
        switch (term.type) {
        case 0: thermocouple(gw, a, t); break;
        case 1: counter13(gw, a); break;
        case 2: counter24(gw, a); break;
        case 3: power7(gw, a, t); break;
        case 4: power14(gw, a, t); break;
        case 5: power7HighFunction(gw, a, t); break;
        case 6: currents(gw, a, 8, t); break;
        case 7: currents(gw, a, 16, t); break;
        case 8: currents(gw, a, 32, t); break;
        case 9: outletBar(gw, a, nowMs, t); break;
        case 10: thermistor(gw, a, t); break;
        case 11: temperatureHumidity(gw, a, t); break;
        case 12: other(gw, a, nowMs); break;
        default: break;
        }
    }
    softCounters(gw, nowMs);
}

void SimWordTerminals::thermocouple(SimGateway &gw, int a, double t)
{
    // Tenths of a degree around room temperature; channel 7 sits on a
    // furnace.
    for (int k = 0; k < 8; ++k) {
        const double deg = k == 7 ? 385.0 + 4 * wave(t, 30, 0) : 22.0 + 1.3 * k + 1.5 * wave(t, 31, k);
        channel(gw, a, k, raw(deg * 10), 0.1);
    }
}

void SimWordTerminals::counter13(SimGateway &gw, int a)
{
    // Channel k counts k + 1 pulses a tick, within 13 bits.
    for (int k = 0; k < 8; ++k) {
        const int r = kExtended + 8 * a + k;
        const quint16 n = quint16((gw.inputRegister(r) + k + 1) % 8192);
        channel(gw, a, k, n, 1.0);
    }
}

void SimWordTerminals::counter24(SimGateway &gw, int a)
{
    // Eight 24-bit counts in the 2W layout over word addresses a and a + 1;
    // channel k counts 13 × (k + 1) pulses a tick. The high byte of each
    // second register (the digit code) stays as it is.
    for (int k = 0; k < 8; ++k) {
        const int r = kExtended + 8 * a + 2 * k;
        const quint32 n = (simmap::count24(gw, r) + 13u * quint32(k + 1)) & 0xFFFFFF;
        gw.setInputRegister(r, quint16(n & 0xFFFF));
        gw.setInputRegister(r + 1, quint16((gw.inputRegister(r + 1) & 0xFF00) | (n >> 16)));
        const float real = float(n);
        quint32 bits;
        std::memcpy(&bits, &real, sizeof bits);
        write32(gw, kReals + 16 * a + 2 * k, bits);
    }
    // The bus words carry channel 0's pair.
    gw.setInputRegister(kWordBus + a, gw.inputRegister(kExtended + 8 * a));
    gw.setInputRegister(kWordBus + a + 1, gw.inputRegister(kExtended + 8 * a + 1));
}

void SimWordTerminals::power7(SimGateway &gw, int a, double t)
{
    // Word a: Vab and the currents I1..I7 (tenths of V and A); word a + 1:
    // Vbc and the powers P1..P7 (W).
    const quint16 vab = voltage(101.0, t, 0), vbc = voltage(101.5, t, 1);
    channel(gw, a, 0, vab, 0.1);
    channel(gw, a + 1, 0, vbc, 0.1);
    for (int k = 1; k < 8; ++k) {
        const quint16 i = loadCurrent(k, t);
        channel(gw, a, k, i, 0.1);
        channel(gw, a + 1, k, raw(vab * 0.1 * i * 0.1 * 0.95), 1.0);
    }
}

void SimWordTerminals::power14(SimGateway &gw, int a, double t)
{
    // Two systems of seven circuits: words a, a + 1 and a + 2, a + 3, each
    // pair with the voltage and currents, then a free word and the powers.
    for (int sys = 0; sys < 2; ++sys) {
        const int w = a + 2 * sys;
        const quint16 v = voltage(sys ? 202.0 : 101.0, t, sys);
        channel(gw, w, 0, v, 0.1);
        channel(gw, w + 1, 0, 0, 1.0);
        for (int k = 1; k < 8; ++k) {
            const quint16 i = loadCurrent(7 * sys + k, t);
            channel(gw, w, k, i, 0.1);
            channel(gw, w + 1, k, raw(v * 0.1 * i * 0.1 * 0.95), 1.0);
        }
    }
}

void SimWordTerminals::power7HighFunction(SimGateway &gw, int a, double t)
{
    // Words a, a + 1, a + 2: Vab / Vca / Vcb with the currents of phases a,
    // b and c; word a + 3: a free word and the three-phase powers P1..P7.
    quint16 v[3];
    for (int ph = 0; ph < 3; ++ph) {
        v[ph] = voltage(202.0, t, 2.1 * ph);
        channel(gw, a + ph, 0, v[ph], 0.1);
    }
    channel(gw, a + 3, 0, 0, 1.0);
    for (int k = 1; k < 8; ++k) {
        double watts = 0;
        for (int ph = 0; ph < 3; ++ph) {
            const quint16 i = loadCurrent(3 * k + ph, t);
            channel(gw, a + ph, k, i, 0.1);
            watts += v[ph] * 0.1 * i * 0.1 / std::sqrt(3.0) * 0.92;
        }
        channel(gw, a + 3, k, raw(watts), 1.0);
    }
}

void SimWordTerminals::currents(SimGateway &gw, int a, int circuits, double t)
{
    for (int c = 0; c < circuits; ++c)
        channel(gw, a + c / 8, c % 8, loadCurrent(c + circuits, t), 0.1);
}

void SimWordTerminals::outletBar(SimGateway &gw, int a, qint64 nowMs, double t)
{
    // 生存 (alive, flips every second), A current, A trip, B current, B trip,
    // A and B currents of the tick before, a free word.
    const int ext = kExtended + 8 * a;
    const quint16 lastA = gw.inputRegister(ext + 1), lastB = gw.inputRegister(ext + 3);
    channel(gw, a, 0, quint16((nowMs / 1000) % 2), 1.0);
    channel(gw, a, 1, raw(55 + 12 * wave(t, 17, 0)), 0.1);
    channel(gw, a, 2, 0, 1.0);
    channel(gw, a, 3, raw(38 + 9 * wave(t, 23, 1)), 0.1);
    channel(gw, a, 4, 0, 1.0);
    channel(gw, a, 5, lastA, 0.1);
    channel(gw, a, 6, lastB, 0.1);
    channel(gw, a, 7, 0, 1.0);
}

void SimWordTerminals::thermistor(SimGateway &gw, int a, double t)
{
    channel(gw, a, 0, raw(253 + 6 * wave(t, 40, 0)), 0.1);
    channel(gw, a, 1, raw(310 + 9 * wave(t, 55, 2)), 0.1);
    for (int k = 2; k < 8; ++k)
        channel(gw, a, k, 0, 0.1);
}

void SimWordTerminals::temperatureHumidity(SimGateway &gw, int a, double t)
{
    channel(gw, a, 0, 0, 0.1);
    channel(gw, a, 1, 0, 0.1);
    channel(gw, a, 2, raw(245 + 8 * wave(t, 60, 0)), 0.1);
    channel(gw, a, 3, raw(452 + 40 * wave(t, 45, 1)), 0.1);
    for (int k = 4; k < 8; ++k)
        channel(gw, a, k, 0, 0.1);
}

void SimWordTerminals::other(SimGateway &gw, int a, qint64 nowMs)
{
    // Saw teeth of different pitch.
    const qint64 steps = nowMs / 100;
    for (int k = 0; k < 8; ++k)
        channel(gw, a, k, quint16(1000 * k + (steps * (k + 1)) % 1000), 1.0);
}

void SimWordTerminals::softCounters(SimGateway &gw, qint64 nowMs)
{
    const qint64 second = nowMs / 1000, minute = nowMs / 60000;
    const bool newSecond = second != m_lastSecond;
    const bool newMinute = minute != m_lastMinute;
    m_lastSecond = second;
    m_lastMinute = minute;
    if (!newSecond)
        return;
    for (const Terminal &term : std::as_const(m_terminals)) {
        for (int w = term.address; w < term.address + term.blocks; ++w) {
            for (int k = 0; k < 8; ++k) {
                const quint32 v = gw.inputRegister(kExtended + 8 * w + k);
                const int in = kInputIntegration + 16 * w + 2 * k;
                write32(gw, in, simmap::read32(gw, in) + v);
                const int fixed = kFixedTimeIntegration + 16 * w + 2 * k;
                write32(gw, fixed, (newMinute ? 0 : simmap::read32(gw, fixed)) + v);
            }
        }
    }
}
