// The recording's reader (the points a view draws, the rows) and its CSV
// export.
#include "monitor/Recording.h"
#include "monitor/CsvLog.h"
#include "monitor/CsvRow.h"
#include "monitor/RecordingSql.h"
#include <QDateTime>
#include <QFileInfo>

namespace rec {

using namespace detail;

// ---- reader ----------------------------------------------------------------------

Reader::Reader() = default;

Reader::~Reader()
{
    if (m_db)
        sqlite3_close_v2(m_db);
}

bool Reader::open(const QString &path, QString *error)
{
    m_path = path;
    auto refuse = [&](const QString &why) {
        if (m_db)
            sqlite3_close_v2(m_db);
        m_db = nullptr;
        if (error)
            *error = why;
        return false;
    };
    if (!QFileInfo(path).isFile())
        return refuse(text("記録 %1 を開けません: ファイルがありません。").arg(path));
    const QByteArray name = path.toUtf8();
    // Read-write where it can: a recording that ended without its close
    // (a crash) has its last rows in the journal, which only a connection
    // that may write takes in. Nothing is written.
    int rc = sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        rc = sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
    }
    if (rc != SQLITE_OK)
        return refuse(text("記録 %1 を開けません: %2").arg(path, QString::fromUtf8(sqlite3_errstr(rc))));
    sqlite3_busy_timeout(m_db, 2000);
    const QString notRecording = text("%1 は記録のファイルではありません。").arg(path);
    Info info;
    {
        Statement meta(m_db, "SELECT key, value FROM meta");
        if (!meta.ok())
            return refuse(notRecording);
        bool format = false;
        while (meta.row()) {
            const QByteArray key(reinterpret_cast<const char *>(sqlite3_column_text(meta, 0)));
            if (key == "format")
                format = columnText(meta, 1) == QLatin1String(kFormat);
            else if (key == "program")
                info.program = columnText(meta, 1);
            else if (key == "started_ms")
                info.startedMs = sqlite3_column_int64(meta, 1);
            else if (key == "interval_ms")
                info.intervalMs = sqlite3_column_int(meta, 1);
            else if (key == "swapped")
                info.swapped = sqlite3_column_int(meta, 1) != 0;
            else if (key == "site" && sqlite3_column_type(meta, 1) != SQLITE_NULL)
                info.siteJson = columnText(meta, 1).toUtf8();
            else if (key == "ended_ms")
                info.endedMs = sqlite3_column_int64(meta, 1);
        }
        if (!format)
            return refuse(notRecording);
    }
    {
        Statement reads(m_db, "SELECT address, count FROM reads ORDER BY seq");
        if (!reads.ok())
            return refuse(notRecording);
        while (reads.row()) {
            info.layout.reads.append({uint32_t(sqlite3_column_int64(reads, 0)), sqlite3_column_int(reads, 1)});
            info.layout.registers += info.layout.reads.last().count;
        }
        Statement channels(m_db, "SELECT terminal, type, terminal_name, box, label, unit, tag, offset, kind"
                                 " FROM channels ORDER BY id");
        if (!channels.ok())
            return refuse(notRecording);
        while (channels.row()) {
            Channel c;
            c.terminal = sqlite3_column_type(channels, 0) == SQLITE_NULL ? -1 : sqlite3_column_int(channels, 0);
            c.type = sqlite3_column_type(channels, 1) == SQLITE_NULL ? -1 : sqlite3_column_int(channels, 1);
            c.terminalName = columnText(channels, 2);
            c.box = sqlite3_column_int(channels, 3);
            c.label = columnText(channels, 4);
            c.unit = columnText(channels, 5);
            c.tag = columnText(channels, 6);
            c.offset = sqlite3_column_int(channels, 7);
            c.kind = sqlite3_column_int(channels, 8) == 1 ? Kind::Unsigned24 : Kind::Unsigned16;
            const int width = c.kind == Kind::Unsigned24 ? 2 : 1;
            if (c.offset < 0 || c.offset + width > info.layout.registers)
                return refuse(notRecording);
            info.layout.channels.append(c);
        }
        Statement tables(m_db, "SELECT count(*) FROM sqlite_schema WHERE name IN ('rows', 'summary')");
        if (!tables.row() || sqlite3_column_int(tables, 0) != 2)
            return refuse(notRecording);
    }
    m_info = info;
    m_registers.assign(size_t(info.layout.registers), 0);
    refresh();
    return true;
}

bool Reader::refresh()
{
    if (!m_db)
        return false;
    const int64_t before = m_rowCount;
    const int64_t lastBefore = m_last;
    {
        Statement count(m_db, "SELECT value FROM meta WHERE key = 'rows'");
        if (count.row())
            m_rowCount = sqlite3_column_int64(count, 0);
    }
    {
        Statement first(m_db, "SELECT t FROM rows ORDER BY t LIMIT 1");
        Statement last(m_db, "SELECT t FROM rows ORDER BY t DESC LIMIT 1");
        m_first = first.row() ? sqlite3_column_int64(first, 0) : 0;
        m_last = last.row() ? sqlite3_column_int64(last, 0) : 0;
    }
    {
        Statement ended(m_db, "SELECT value FROM meta WHERE key = 'ended_ms'");
        if (ended.row())
            m_info.endedMs = sqlite3_column_int64(ended, 0);
    }
    return m_rowCount != before || m_last != lastBefore;
}

int Reader::levelFor(double t0, double t1, int columns) const
{
    if (columns <= 0 || !(t1 > t0) || m_info.intervalMs <= 0)
        return 0;
    const double rowsPerColumn = (t1 - t0) / double(m_info.intervalMs) / double(columns);
    int level = 0;
    while (level < kLevels && double(blockRows(level + 1)) <= rowsPerColumn)
        ++level;
    return level;
}

bool Reader::rows(int64_t t0, int64_t t1, const RowFn &each) const
{
    if (!m_db)
        return false;
    Statement s(m_db, "SELECT t, regs FROM rows WHERE t >= ? AND t <= ? ORDER BY t");
    sqlite3_bind_int64(s, 1, t0);
    sqlite3_bind_int64(s, 2, t1);
    const int n = m_info.layout.registers;
    while (s.row()) {
        const int64_t t = sqlite3_column_int64(s, 0);
        const auto *blob = static_cast<const unsigned char *>(sqlite3_column_blob(s, 1));
        const int bytes = sqlite3_column_bytes(s, 1);
        // A row of another length than the layout's is none the reader can
        // trust: a gap.
        const bool whole = blob && bytes == 2 * n;
        if (whole)
            for (int i = 0; i < n; ++i)
                m_registers[size_t(i)] = uint16_t(blob[2 * i] << 8 | blob[2 * i + 1]);
        if (!each(t, whole ? m_registers.data() : nullptr))
            break;
    }
    return true;
}

std::vector<Reader::Block> Reader::blocks(int level, int channel, int64_t t0, int64_t t1) const
{
    std::vector<Block> out;
    if (!m_db || channel < 0 || channel >= m_info.layout.channels.size())
        return out;
    Statement s(m_db, "SELECT t0, t1, gap, minmax FROM summary WHERE level = ? AND t0 >= ? AND t0 <= ? ORDER BY t0");
    sqlite3_bind_int(s, 1, level);
    sqlite3_bind_int64(s, 2, t0);
    sqlite3_bind_int64(s, 3, t1);
    while (s.row()) {
        const auto *blob = static_cast<const unsigned char *>(sqlite3_column_blob(s, 3));
        const int bytes = sqlite3_column_bytes(s, 3);
        out.push_back({sqlite3_column_int64(s, 0), sqlite3_column_int64(s, 1), sqlite3_column_int(s, 2) != 0,
                       extremeOf(blob, bytes, channel, 0), extremeOf(blob, bytes, channel, 1)});
    }
    return out;
}

std::vector<std::vector<monitor::TrendPoint>> Reader::points(const QList<int> &channels, double t0,
                                                             double t1, int columns) const
{
    const size_t n = size_t(channels.size());
    std::vector<std::vector<monitor::TrendPoint>> out(n);
    if (!m_db || n == 0 || columns <= 0 || !(t1 > t0))
        return out;
    for (const int c : channels)
        if (c < 0 || c >= m_info.layout.channels.size())
            return out;
    // The values to decimate, in time order: a row's number, or a block's
    // smallest at its start and largest at its end; NaN after a gap.
    std::vector<int64_t> times;
    std::vector<std::vector<double>> values(n);
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    auto push = [&](int64_t t, auto valueOf) {
        times.push_back(t);
        for (size_t k = 0; k < n; ++k)
            values[k].push_back(valueOf(k));
    };
    const int64_t from = int64_t(std::floor(t0));
    const int64_t to = int64_t(std::ceil(t1));

    // Each level's blocks as far as they go, then the level below from where
    // they end, down to the rows.
    int64_t next = from;
    for (int level = levelFor(t0, t1, columns); level > 0 && next <= to; --level) {
        Statement s(m_db, "SELECT t0, t1, gap, minmax FROM summary WHERE level = ? AND t0 >= ? AND t0 <= ? ORDER BY t0");
        sqlite3_bind_int(s, 1, level);
        sqlite3_bind_int64(s, 2, next);
        sqlite3_bind_int64(s, 3, to);
        while (s.row()) {
            const int64_t b0 = sqlite3_column_int64(s, 0);
            const int64_t b1 = sqlite3_column_int64(s, 1);
            const bool gap = sqlite3_column_int(s, 2) != 0;
            const auto *blob = static_cast<const unsigned char *>(sqlite3_column_blob(s, 3));
            const int bytes = sqlite3_column_bytes(s, 3);
            auto extreme = [&](size_t k, int which) {
                const float v = extremeOf(blob, bytes, channels[qsizetype(k)], which);
                return std::isnan(v) ? nan : double(v);
            };
            push(b0, [&](size_t k) { return extreme(k, 0); });
            push(b1, [&](size_t k) { return extreme(k, 1); });
            if (gap)
                push(b1, [](size_t) { return nan; });
            next = b1 + 1;
        }
    }
    if (next <= to) {
        rows(next, to, [&](int64_t t, const uint16_t *regs) {
            push(t, [&](size_t k) {
                return regs ? channelValue(m_info.layout.channels[channels[qsizetype(k)]], regs, m_info.swapped)
                            : nan;
            });
            return true;
        });
    }
    const int count = int(times.size());
    for (size_t k = 0; k < n; ++k)
        out[k] = monitor::decimateMinMax(
            0, count, [&](int i) { return times[size_t(i)]; }, [&](int i) { return values[k][size_t(i)]; },
            t0, t1, columns);
    return out;
}

// ---- export ----------------------------------------------------------------------

QString exportCsv(const Reader &reader, const QList<int> &channels, int64_t t0, int64_t t1)
{
    const Info &info = reader.info();
    QString out = CsvHeaderCaption(3);
    for (const int c : channels) {
        QString name = info.layout.channels.value(c).name();
        // A name with the separator or a quote is quoted, the quote doubled.
        if (name.contains(u',') || name.contains(u'"'))
            name = u'"' + name.replace(u'"', QStringLiteral("\"\"")) + u'"';
        out += u',' + name;
    }
    out += QStringLiteral("\r\n");
    uint32_t count = 0;
    reader.rows(t0, t1, [&](int64_t t, const uint16_t *regs) {
        if (!regs)
            return true;  // no answer, no row
        ++count;
        const QDateTime when = QDateTime::fromMSecsSinceEpoch(t);
        out += monitor::csvDateText(when.date()) + u',' + monitor::csvTimeText(when.time()) + u',' + QString::number(count);
        for (const int c : channels) {
            out += u',';
            if (c >= 0 && c < info.layout.channels.size())
                out += QString::number(qint64(channelValue(info.layout.channels[c], regs, info.swapped)));
        }
        out += QStringLiteral("\r\n");
        return true;
    });
    return out;
}

} // namespace rec
