#pragma once
// Test support: a recording of the whole input area (no installation: the
// 512 registers 30321..30832, each a channel) written through rec::Writer
// as a day on a small plant would fill it, for the benchmarks, the tests and
// the pictures of a recording. The same arguments always make the same rows.
//
// Per word address (8 registers each):
//   W0..W3    furnace temperatures (0.1 ℃): 400 ℃ in the day and late
//             shifts, 250 ℃ at night, following the set point with a lag of
//             about 20 minutes; a little noise
//   W4..W15   room and machine temperatures (0.1 ℃): 20 to 35 ℃ with a daily
//             cycle (warmest about 15:00, coolest about 03:00) and noise
//   W16..W31  motor currents (0.01 A): a load per shift, stepping at 06:00,
//             14:00 and 22:00, with ripple
//   W32..W39  piece counters: only rise, faster in the day shift (16 bits;
//             they wrap only after several days)
//   W40..W43  constant registers: status words and set values
//   W44..W51  supply voltages (0.1 V): 200 V, about 1 % higher at night
//   W52..W63  no terminal: 0
// At the first 01:40 local time after the start the connection is lost for
// two minutes: one gap row, then no row until it is back (the counters
// counted on meanwhile). At the first 03:12:07 local time after the start
// the pump motors at W18 stall (six times their current for 1.5 s) and trip
// (0 A for 4 s) before they run again.
//
// The file holds exactly `rows` rows (the gap row among them) at intervalMs
// from startMs, each a few ms after its tick as the gateway's answer would
// be; the two minutes of the connection loss lie between two of them. The
// rows are committed every 10, and the recording is finished (ended_ms) as
// one stopped in order.
#include <QString>
#include <cstdint>

namespace synthetic {

// The word address of the terminal whose fault the recording shows, and the
// local times of the connection loss and of the fault (ms after midnight).
inline constexpr int kFaultTerminal = 18;
inline constexpr int64_t kLossAtMs = (1 * 60 + 40) * 60'000;              // 01:40:00
inline constexpr int64_t kLossMs = 120'000;                               // two minutes
inline constexpr int64_t kFaultAtMs = ((3 * 60 + 12) * 60 + 7) * 1000;    // 03:12:07
inline constexpr int64_t kStallMs = 1500;  // the fault: six times the current
inline constexpr int64_t kTripMs = 4000;   // then none

// The first moment at or after startMs that is msOfDay local time.
int64_t firstLocalTimeAfter(int64_t startMs, int64_t msOfDay);

} // namespace synthetic

// Writes the recording to `path` (which must not exist). False with *error
// when the file cannot be made or written.
bool writeSyntheticRecording(const QString &path, int64_t rows, int intervalMs, int64_t startMs,
                             QString *error);
