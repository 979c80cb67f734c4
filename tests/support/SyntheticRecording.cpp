#include "support/SyntheticRecording.h"
#include "app/CommandLine.h"
#include "monitor/Recording.h"
#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace synthetic {

int64_t firstLocalTimeAfter(int64_t startMs, int64_t msOfDay)
{
    QDate day = QDateTime::fromMSecsSinceEpoch(startMs).date();
    const QTime at = QTime::fromMSecsSinceStartOfDay(int(msOfDay));
    for (int i = 0; i < 3; ++i, day = day.addDays(1)) {
        const int64_t t = QDateTime(day, at).toMSecsSinceEpoch();
        if (t >= startMs)
            return t;
    }
    return startMs;
}

} // namespace synthetic

namespace {

constexpr int64_t kDayMs = 24 * 3'600'000LL;
constexpr int kCommitRows = 10;

// xorshift64*: fast, and the same numbers on every machine and library.
class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint64_t next()
    {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 2685821657736338717ULL;
    }
    // Uniform in [0, 1).
    double unit() { return double(next() >> 11) * 0x1.0p-53; }
    // In (-1, 1), most often near 0 (the sum of two uniforms): noise.
    double noise()
    {
        const uint64_t r = next();
        return (double(r & 0xFFFF) + double((r >> 16) & 0xFFFF)) / 65536.0 - 1.0;
    }

private:
    uint64_t m_state;
};

enum class Signal { Furnace, Room, Current, Counter, Constant, Voltage, None };

Signal signalOf(int wordAddress)
{
    if (wordAddress < 4)
        return Signal::Furnace;
    if (wordAddress < 16)
        return Signal::Room;
    if (wordAddress < 32)
        return Signal::Current;
    if (wordAddress < 40)
        return Signal::Counter;
    if (wordAddress < 44)
        return Signal::Constant;
    if (wordAddress < 52)
        return Signal::Voltage;
    return Signal::None;
}

enum class Shift { Day, Late, Night };

Shift shiftAt(int64_t msOfDay)
{
    const int64_t hour = msOfDay / 3'600'000;
    return hour >= 6 && hour < 14 ? Shift::Day : hour >= 14 && hour < 22 ? Shift::Late : Shift::Night;
}

// The plant behind the registers: each register's signal, its own constants
// drawn once, and the state of those that carry one (the furnaces' lag, the
// counters).
class Plant {
public:
    Plant(int64_t startMs, int64_t localOffsetMs, uint64_t seed) : m_random(seed), m_localOffsetMs(localOffsetMs)
    {
        m_fault = synthetic::firstLocalTimeAfter(startMs, synthetic::kFaultAtMs);
        m_registers.resize(rec::kAreaRegisters);
        for (int i = 0; i < rec::kAreaRegisters; ++i) {
            Register &r = m_registers[size_t(i)];
            r.signal = signalOf(i / 8);
            switch (r.signal) {
            case Signal::Furnace:
                r.base = m_random.noise() * 60.0;            // the set point's offset, 0.1 ℃
                break;
            case Signal::Room:
                r.base = 200.0 + 150.0 * m_random.unit();    // 20.0 .. 35.0 ℃
                r.amplitude = 30.0 + 30.0 * m_random.unit(); // ±3 .. 6 ℃ over the day
                break;
            case Signal::Current:
                r.base = 500.0 + 2500.0 * m_random.unit();   // rated 5 .. 30 A
                r.amplitude = 0.85 + 0.3 * m_random.unit();  // this motor's share of the shift's load
                break;
            case Signal::Counter:
                r.base = 0.5 + m_random.unit();              // this line's speed
                r.state = double(m_random.next() % 2000);
                break;
            case Signal::Constant:
                r.constant = i / 8 == 40 ? uint16_t(1)       // status: running
                                         : uint16_t(m_random.next() % 5000);
                break;
            case Signal::Voltage:
                r.base = 2000.0 + 15.0 * m_random.noise();
                break;
            case Signal::None:
                break;
            }
        }
        const int64_t msOfDay = localMsOfDay(startMs);
        for (Register &r : m_registers)
            if (r.signal == Signal::Furnace)
                r.state = furnaceSetPoint(msOfDay) + r.base;  // warm when the recording starts
    }

    // The plant runs on for one tick of dtMs ending at time t.
    void step(int64_t t, int64_t dtMs)
    {
        const int64_t msOfDay = localMsOfDay(t);
        const Shift shift = shiftAt(msOfDay);
        // Pieces a second per line in each shift.
        const double rate = shift == Shift::Day ? 0.3 : shift == Shift::Late ? 0.22 : 0.03;
        const double lag = 1.0 - std::exp(-double(dtMs) / 1'200'000.0);  // 20 minutes
        const double setPoint = furnaceSetPoint(msOfDay);
        for (Register &r : m_registers) {
            if (r.signal == Signal::Furnace)
                r.state += (setPoint + r.base - r.state) * lag;
            else if (r.signal == Signal::Counter && m_random.unit() < rate * r.base * double(dtMs) / 1000.0)
                r.state += 1.0;
        }
    }

    // The registers at time t (after step).
    void read(int64_t t, uint16_t *registers)
    {
        const int64_t msOfDay = localMsOfDay(t);
        const Shift shift = shiftAt(msOfDay);
        const double hours = double(msOfDay) / 3'600'000.0;
        const double warmth = std::cos(2.0 * std::numbers::pi * (hours - 15.0) / 24.0);  // 1 at 15:00
        const double load = shift == Shift::Day ? 0.9 : shift == Shift::Late ? 0.65 : 0.12;
        const bool stalled = t >= m_fault && t < m_fault + synthetic::kStallMs;
        const bool tripped = t >= m_fault + synthetic::kStallMs
                             && t < m_fault + synthetic::kStallMs + synthetic::kTripMs;
        for (int i = 0; i < rec::kAreaRegisters; ++i) {
            Register &r = m_registers[size_t(i)];
            double v = 0.0;
            switch (r.signal) {
            case Signal::Furnace:
                v = r.state + 2.0 * m_random.noise();
                break;
            case Signal::Room:
                v = r.base + r.amplitude * warmth + 2.0 * m_random.noise();
                break;
            case Signal::Current:
                if (i / 8 == synthetic::kFaultTerminal && (stalled || tripped))
                    v = stalled ? 6.0 * r.base * (1.0 + 0.05 * m_random.noise()) : 0.0;
                else
                    v = r.base * load * r.amplitude * (1.0 + 0.015 * m_random.noise());
                break;
            case Signal::Counter:
                v = r.state;
                break;
            case Signal::Constant:
                v = r.constant;
                break;
            case Signal::Voltage:
                v = r.base - 20.0 * warmth + 3.0 * m_random.noise();  // higher at night
                break;
            case Signal::None:
                break;
            }
            registers[i] = r.signal == Signal::Counter ? uint16_t(int64_t(v) & 0xFFFF)
                                                       : uint16_t(std::clamp(std::lround(v), 0L, 65535L));
        }
    }

    // How long after its tick a row's answer arrives, in ms.
    int64_t latency() { return 3 + int64_t(m_random.next() % 7); }

private:
    struct Register {
        Signal signal = Signal::None;
        double base = 0.0;
        double amplitude = 0.0;
        double state = 0.0;
        uint16_t constant = 0;
    };

    int64_t localMsOfDay(int64_t t) const { return ((t + m_localOffsetMs) % kDayMs + kDayMs) % kDayMs; }
    static double furnaceSetPoint(int64_t msOfDay)
    {
        return shiftAt(msOfDay) == Shift::Night ? 2500.0 : 4000.0;
    }

    Random m_random;
    int64_t m_localOffsetMs;
    int64_t m_fault = 0;
    std::vector<Register> m_registers;
};

} // namespace

bool writeSyntheticRecording(const QString &path, int64_t rows, int intervalMs, int64_t startMs,
                             QString *error)
{
    auto refuse = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (rows < 0 || intervalMs <= 0)
        return refuse(QStringLiteral("no rows of %1 ms").arg(intervalMs));
    rec::Info info;
    info.program = programVersionText().trimmed();
    info.startedMs = startMs;
    info.intervalMs = intervalMs;
    info.layout = rec::layoutOf(nullptr);
    rec::Writer writer;
    if (!writer.create(path, info, error))
        return false;

    // The local time of day is taken with the offset at the start: a change
    // to or from summer time within the recording shifts its events by an
    // hour, which does not matter to what the rows are for.
    const int64_t localOffsetMs = int64_t(QDateTime::fromMSecsSinceEpoch(startMs).offsetFromUtc()) * 1000;
    Plant plant(startMs, localOffsetMs, 0x5EED'2026'0312'0140ULL);
    const int64_t lossAt = synthetic::firstLocalTimeAfter(startMs, synthetic::kLossAtMs);
    bool lost = false;
    std::vector<uint16_t> registers(size_t(info.layout.registers));
    int64_t tick = startMs;
    for (int64_t written = 0; written < rows; tick += intervalMs) {
        bool ok;
        if (!lost && tick >= lossAt) {
            // The connection goes: one gap row; the plant runs on through the
            // ticks that write nothing until it is back.
            lost = true;
            ok = writer.append(tick + plant.latency(), nullptr);
            const int64_t back = lossAt + synthetic::kLossMs;
            plant.step(tick, intervalMs);
            while (tick + intervalMs < back) {
                tick += intervalMs;
                plant.step(tick, intervalMs);
            }
        } else {
            plant.step(tick, intervalMs);
            plant.read(tick, registers.data());
            ok = writer.append(tick + plant.latency(), registers.data());
        }
        ++written;
        if (ok && written % kCommitRows == 0)
            ok = writer.commit();
        if (!ok)
            return refuse(writer.error());
    }
    if (!writer.finish(tick))
        return refuse(writer.error());
    return true;
}
