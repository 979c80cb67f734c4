#pragma once
// The trend's data: the values of the monitor's value boxes over time.
//
// Every monitor answer is one row: the time it arrived and one number per
// value box (NaN where the answer wrote no box). A monitor poll that timed
// out is a gap row: its time and NaN everywhere, so that the chart breaks the
// line there instead of joining the values on either side. The rows live in
// a ring of fixed capacity (one hour at the fastest poll interval, 100 ms);
// the oldest row goes when a new one comes in a full ring.
//
// A trend belongs to one selection (page, terminal type, word or bit address,
// data area): a different selection starts a new trend.
#include "monitor/MonitorAnswer.h"
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace monitor {

constexpr int kTrendChannels = 32;

// The numbers of one monitor answer, as the value boxes show them.
struct TrendSample {
    std::array<double, kTrendChannels> values{};
    uint32_t mask = 0;  // bit p set when values[p] holds a number for channel p
};

// What a trend belongs to, and the names of its channels.
struct TrendLayout {
    // Everything that decides what the values mean; a change starts a new trend.
    QString key;
    // Channel p's name ("CH3 ℃", "I2 A"); an empty name is a channel that
    // shows nothing.
    std::array<QString, kTrendChannels> names;
    // The channels are bits (drawn as 0/1 steps).
    bool bits = false;
};

// The series of one answer: the numbers of the boxes in the decimal and
// converted formats as shown; in the hexadecimal and character formats the
// decimal value of the same box. On the bit-bus page the 32 bits of the
// first two words (0 or 1); on the other bit pages the counters as shown.
// shown is what decodeMonitorAnswer made of the answer in state.
TrendSample trendSample(const uint8_t *data, int byteCount, const MonitorState &state,
                        const MonitorBoxes &shown);

// A channel's name: the row's label and unit as the panel shows them ("CH3"
// and "℃" give "CH3 ℃"; a row without a unit is its label).
QString trendChannelName(const QString &label, const QString &unit);
// The layout of the panel: channel p named by row p's label and unit (a name
// that rows of more than one group share gets the caption of the row's group
// in front, "WORD 1 CH0 ℃"), or on the bit-bus page (bitBus) bit n of word g
// named "<groupTitles[g]> b<n>".
TrendLayout trendLayout(const QString &key, const std::array<QString, kTrendChannels> &labels,
                        const std::array<QString, kTrendChannels> &units, bool bitBus,
                        const std::array<QString, 4> &groupTitles);

class TrendData {
public:
    static constexpr int kCapacity = 36000;  // one hour at 100 ms

    explicit TrendData(int capacity = kCapacity);

    // A layout with another key discards every row (a new trend) and takes
    // the new names; the same key only takes the names. True when the rows
    // were discarded.
    bool setLayout(const TrendLayout &layout);
    const TrendLayout &layout() const { return m_layout; }

    // One answer: a row at timeMs (ms since the epoch).
    void append(int64_t timeMs, const TrendSample &sample);
    // A stale period starting at timeMs: a gap row.
    void appendGap(int64_t timeMs);
    void clear();

    int size() const { return m_size; }
    int capacity() const { return m_capacity; }
    // Row i, oldest first (0 <= i < size()).
    int64_t time(int i) const { return m_times[slot(i)]; }
    double value(int channel, int i) const
    {
        return m_values[size_t(channel) * size_t(m_capacity) + slot(i)];
    }
    bool isGap(int i) const { return m_gap[slot(i)] != 0; }
    // Channels that have held a number since the trend started.
    uint32_t channelsSeen() const { return m_seen; }
    // The first row at or after timeMs (size() when none).
    int lowerBound(int64_t timeMs) const;
    // Counts every change of the rows (append, gap, clear), so that a view
    // redraws only when something changed.
    uint64_t revision() const { return m_revision; }

private:
    size_t slot(int i) const { return size_t((m_head + i) % m_capacity); }
    size_t nextSlot();

    int m_capacity;
    int m_head = 0;  // slot of the oldest row
    int m_size = 0;
    uint32_t m_seen = 0;
    uint64_t m_revision = 0;
    std::vector<int64_t> m_times;
    std::vector<double> m_values;  // channel-major: channel c's rows are contiguous
    std::vector<uint8_t> m_gap;
    TrendLayout m_layout;
};

// The rows of the given channels (bit c of channels for channel c) with
// times in [t0, t1] as CSV text: a header row "時刻" and the channel names,
// then one row per answer (gap rows are no answers and are left out): the
// local time in ISO 8601 with milliseconds and offset, and each value in the
// shortest text that reads back to the same number (empty where the answer
// had none). Rows end in CR LF.
QString trendCsv(const TrendData &data, uint32_t channels, int64_t t0, int64_t t1);

// A point to draw: x time in ms since the epoch, y the value; y NaN breaks
// the line.
struct TrendPoint {
    double x;
    double y;
};

// Min/max decimation of the rows [first, last) of one channel into columns
// pixel columns spread evenly over the time range [t0, t1): per column at
// most four points, in time order: the first, the smallest, the largest and
// the last value that fall into it, so that every peak and every step
// survives. A NaN value (gap, or no number) becomes one NaN point and ends
// the run of its column, so the line breaks at the gap. Rows before t0 or
// at/after t1 are left out. time(i) and value(i) give row i.
template <class Time, class Value>
std::vector<TrendPoint> decimateMinMax(int first, int last, Time time, Value value, double t0,
                                       double t1, int columns)
{
    std::vector<TrendPoint> out;
    if (columns <= 0 || !(t1 > t0) || first >= last)
        return out;
    const double width = (t1 - t0) / columns;
    struct Run {
        int column = -1;
        TrendPoint first{}, min{}, max{}, last{};
        int iFirst = 0, iMin = 0, iMax = 0, iLast = 0;
    } run;
    auto flush = [&] {
        if (run.column < 0)
            return;
        // The four points in time order, each once.
        std::array<std::pair<int, TrendPoint>, 4> p{{{run.iFirst, run.first},
                                                     {run.iMin, run.min},
                                                     {run.iMax, run.max},
                                                     {run.iLast, run.last}}};
        std::sort(p.begin(), p.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        int previous = -1;
        for (const auto &[i, pt] : p) {
            if (i != previous)
                out.push_back(pt);
            previous = i;
        }
        run.column = -1;
    };
    bool lastWasGap = false;
    for (int i = first; i < last; ++i) {
        const double t = double(time(i));
        if (t < t0 || t >= t1)
            continue;
        const double y = value(i);
        if (std::isnan(y)) {
            flush();
            if (!lastWasGap && !out.empty())
                out.push_back({t, std::numeric_limits<double>::quiet_NaN()});
            lastWasGap = true;
            continue;
        }
        lastWasGap = false;
        const int column = std::min(columns - 1, int((t - t0) / width));
        const TrendPoint pt{t, y};
        if (column != run.column) {
            flush();
            run.column = column;
            run.first = run.min = run.max = run.last = pt;
            run.iFirst = run.iMin = run.iMax = run.iLast = i;
            continue;
        }
        if (y < run.min.y) {
            run.min = pt;
            run.iMin = i;
        }
        if (y > run.max.y) {
            run.max = pt;
            run.iMax = i;
        }
        run.last = pt;
        run.iLast = i;
    }
    flush();
    return out;
}

// What a drawn view of the trend showed: its time range [t0, t1) over its
// pixel columns, and the oldest and newest rows of the data then (rows 0:
// no data).
struct TrendView {
    double t0 = 0;
    double t1 = 0;
    int columns = 0;
    int rows = 0;
    int64_t oldest = 0;
    int64_t newest = 0;
};

// Whether the data changed since drawn would draw visibly differently now,
// msSinceDrawn after it was drawn: the view has another number of columns,
// an edge of it moved by a pixel column's time or more, the newest row fell
// into another column, a row the view showed left the data, or the first
// rows came (or all went). New rows in the column of the newest row drawn
// change only that column: they wait until a new column appears, at most a
// column's time.
bool trendRedrawDue(const TrendView &drawn, const TrendView &now, double msSinceDrawn);

} // namespace monitor
