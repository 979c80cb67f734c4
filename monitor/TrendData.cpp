#include "monitor/TrendData.h"
#include "monitor/ValueDecoding.h"
#include <QDateTime>
#include <charconv>
#include <system_error>

namespace monitor {

namespace {

// The number a box shows; NaN for a text that is none ("--", "INF", "NAN").
// The box texts are short and ASCII: parsed from a narrow copy on the
// stack, with no string of their own.
double shownNumber(const QString &text)
{
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    char buf[64];
    const qsizetype n = text.size();
    if (n == 0 || n >= qsizetype(sizeof buf))
        return none;
    const QChar *c = text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = c[i].unicode();
        // Digits, sign, point and exponent only: "INF", "NAN" and the
        // characters format are not numbers.
        if (!((u >= '0' && u <= '9') || u == '-' || u == '+' || u == '.' || u == 'E' || u == 'e'))
            return none;
        buf[i] = char(u);
    }
    const char *begin = buf;
    if (*begin == '+')
        ++begin;  // from_chars takes no plus sign
    double v = 0;
    const auto r = std::from_chars(begin, buf + n, v);
    if (r.ec != std::errc() || r.ptr != buf + n)
        return none;
    return std::isfinite(v) ? v : none;
}

void takeShown(const MonitorBoxes &boxes, TrendSample &s)
{
    for (int p = 0; p < kTrendChannels; ++p) {
        if (!((boxes.valueMask >> p) & 1u))
            continue;
        s.values[size_t(p)] = shownNumber(boxes.values[size_t(p)]);
        if (!std::isnan(s.values[size_t(p)]))
            s.mask |= 1u << p;
    }
}

constexpr int kBitBusInputItem = 0;
constexpr int kEdgeCounterItem = 1;

} // namespace

TrendSample trendSample(const uint8_t *data, int byteCount, const MonitorState &state,
                        const MonitorBoxes &shown)
{
    TrendSample s;
    s.values.fill(std::numeric_limits<double>::quiet_NaN());
    if (!state.wordPage) {
        if (state.bitDataItem == kBitBusInputItem) {
            // 32 channels: the bits of the first two words of the window.
            const int words = std::min(2, byteCount / 2);
            for (int r = 0; r < words; ++r) {
                const uint16_t v = uint16_t(data[2 * r] << 8 | data[2 * r + 1]);
                for (int bit = 0; bit < 16; ++bit) {
                    const int c = 16 * r + bit;
                    s.values[size_t(c)] = (v >> bit) & 1u;
                    s.mask |= 1u << c;
                }
            }
        } else if (state.bitDataItem == kEdgeCounterItem) {
            takeShown(shown, s);
        }
        return s;
    }
    if (state.displayFormat == Decimal || state.displayFormat == Converted) {
        takeShown(shown, s);
        return s;
    }
    // Hexadecimal and characters: the decimal value of the same boxes.
    MonitorState decimal = state;
    decimal.displayFormat = Decimal;
    MonitorBoxes boxes;
    decodeMonitorBoxes(data, byteCount, decimal, boxes);
    takeShown(boxes, s);
    return s;
}

QString trendChannelName(const QString &label, const QString &unit)
{
    const QString l = label.trimmed();
    const QString u = unit.trimmed();
    if (u.isEmpty())
        return l;
    if (l.isEmpty())
        return u;
    return l + u' ' + u;
}

TrendLayout trendLayout(const QString &key, const std::array<QString, kTrendChannels> &labels,
                        const std::array<QString, kTrendChannels> &units, bool bitBus,
                        const std::array<QString, 4> &groupTitles)
{
    TrendLayout t;
    t.key = key;
    t.bits = bitBus;
    if (bitBus) {
        for (size_t p = 0; p < size_t(kTrendChannels); ++p)
            t.names[p] = QStringLiteral("%1 b%2").arg(groupTitles[p / 16]).arg(p % 16);
        return t;
    }
    for (size_t p = 0; p < size_t(kTrendChannels); ++p)
        t.names[p] = trendChannelName(labels[p], units[p]);
    // A name that more than one group uses ("CH0 ℃" of four thermocouples)
    // is told apart by the group's caption ("WORD 1 CH0 ℃").
    std::array<QString, kTrendChannels> named = t.names;
    for (size_t p = 0; p < size_t(kTrendChannels); ++p) {
        if (named[p].isEmpty() || groupTitles[p / 8].isEmpty())
            continue;
        const auto repeats = std::count(named.begin(), named.end(), named[p]);
        if (repeats > 1)
            t.names[p] = groupTitles[p / 8] + u' ' + named[p];
    }
    return t;
}

TrendData::TrendData(int capacity)
    : m_capacity(std::max(1, capacity)),
      m_times(size_t(m_capacity)),
      m_values(size_t(m_capacity) * kTrendChannels),
      m_gap(size_t(m_capacity))
{
}

bool TrendData::setLayout(const TrendLayout &layout)
{
    const bool fresh = layout.key != m_layout.key;
    m_layout = layout;
    if (fresh)
        clear();
    return fresh;
}

void TrendData::clear()
{
    m_head = 0;
    m_size = 0;
    m_seen = 0;
    ++m_revision;
}

size_t TrendData::nextSlot()
{
    size_t s;
    if (m_size < m_capacity) {
        s = slot(m_size);
        ++m_size;
    } else {
        s = size_t(m_head);  // the oldest row makes room
        m_head = (m_head + 1) % m_capacity;
    }
    ++m_revision;
    return s;
}

void TrendData::append(int64_t timeMs, const TrendSample &sample)
{
    const size_t s = nextSlot();
    m_times[s] = timeMs;
    m_gap[s] = 0;
    const size_t cap = size_t(m_capacity);
    for (size_t c = 0; c < size_t(kTrendChannels); ++c)
        m_values[c * cap + s] = (sample.mask >> c) & 1u ? sample.values[c]
                                                        : std::numeric_limits<double>::quiet_NaN();
    m_seen |= sample.mask;
}

void TrendData::appendGap(int64_t timeMs)
{
    // One gap row per stale period: a second timeout in a row adds nothing.
    if (m_size > 0 && isGap(m_size - 1))
        return;
    const size_t s = nextSlot();
    m_times[s] = timeMs;
    m_gap[s] = 1;
    const size_t cap = size_t(m_capacity);
    for (size_t c = 0; c < size_t(kTrendChannels); ++c)
        m_values[c * cap + s] = std::numeric_limits<double>::quiet_NaN();
}

int TrendData::lowerBound(int64_t timeMs) const
{
    int lo = 0, hi = m_size;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (time(mid) < timeMs)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

bool trendRedrawDue(const TrendView &drawn, const TrendView &now, double msSinceDrawn)
{
    if (now.columns != drawn.columns || (now.rows == 0) != (drawn.rows == 0))
        return true;
    if (now.rows == 0)
        return false;
    const double width = (now.t1 - now.t0) / now.columns;  // ms a pixel column shows
    if (!(width > 0) || msSinceDrawn >= width)
        return true;
    if (std::abs(now.t0 - drawn.t0) >= width || std::abs(now.t1 - drawn.t1) >= width)
        return true;
    // The column a time falls into; before and after the view are one
    // column each.
    auto column = [](const TrendView &v, double t) {
        const double w = (v.t1 - v.t0) / v.columns;
        return std::clamp(std::floor((t - v.t0) / w), -1.0, double(v.columns));
    };
    if (column(now, double(now.newest)) != column(drawn, double(drawn.newest)))
        return true;
    // Rows that left the front of the ring while the view showed them.
    return now.oldest != drawn.oldest && double(drawn.oldest) >= now.t0 && double(drawn.oldest) < now.t1;
}

QString trendCsv(const TrendData &data, uint32_t channels, int64_t t0, int64_t t1)
{
    QString text = QStringLiteral("時刻");
    for (int c = 0; c < kTrendChannels; ++c)
        if ((channels >> c) & 1u)
            text += u',' + data.layout().names[size_t(c)];
    text += QStringLiteral("\r\n");
    char buffer[32];
    for (int i = data.lowerBound(t0); i < data.size() && data.time(i) <= t1; ++i) {
        if (data.isGap(i))
            continue;
        const QDateTime t = QDateTime::fromMSecsSinceEpoch(data.time(i));
        text += t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODateWithMs);
        for (int c = 0; c < kTrendChannels; ++c) {
            if (!((channels >> c) & 1u))
                continue;
            text += u',';
            const double v = data.value(c, i);
            if (std::isnan(v))
                continue;
            const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
            text += QLatin1StringView(buffer, r.ptr - buffer);
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

} // namespace monitor
