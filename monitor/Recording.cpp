#include "monitor/Recording.h"
#include "monitor/CsvLog.h"
#include "monitor/CsvRow.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <cmath>
#include <cstring>
#include <limits>

namespace rec {

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("Recording", source);
}

constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

// Rows in a block of a level (1..kLevels).
int64_t blockRows(int level)
{
    int64_t n = kBlockRows;
    for (int l = 1; l < level; ++l)
        n *= kLevelRatio;
    return n;
}

void putFloat(char *to, float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    for (int i = 0; i < 4; ++i)
        to[i] = char((bits >> (8 * i)) & 0xFF);
}

float getFloat(const unsigned char *from)
{
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= uint32_t(from[i]) << (8 * i);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

// A prepared statement that finalises itself.
class Statement {
public:
    Statement(sqlite3 *db, const char *sql) { sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    operator sqlite3_stmt *() const { return m_stmt; }
    bool ok() const { return m_stmt != nullptr; }
    bool row() { return m_stmt && sqlite3_step(m_stmt) == SQLITE_ROW; }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

QString columnText(sqlite3_stmt *s, int i)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, i)),
                             sqlite3_column_bytes(s, i));
}

} // namespace

QString fileNameFor(const QDateTime &start)
{
    return start.toString(QStringLiteral("'REC-'yyyyMMdd-HHmmss'.rmrec'"));
}

// ---- writer ----------------------------------------------------------------------

// The open block of a level: the rows (level 1) or blocks of the level
// below it holds so far, with their times and each channel's extremes.
struct Writer::Level {
    int count = 0;
    int64_t t0 = 0;
    int64_t t1 = 0;
    std::vector<float> mins;
    std::vector<float> maxs;
    // The start of the last block written at this level (none: -1).
    int64_t lastWritten = -1;
    bool lastWrittenGap = false;
};

Writer::Writer() = default;

Writer::~Writer()
{
    if (m_db) {
        commit();
        closeDb();
    }
}

bool Writer::fail(int rc, const char *what)
{
    const QString detail = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
    m_diskFull = rc == SQLITE_FULL || (rc & 0xFF) == SQLITE_FULL;
    if (m_diskFull)
        m_error = text("ディスクがいっぱいのため、記録 %1 を止めました。それまでに記録した行はファイルに残っています。").arg(QFileInfo(m_path).fileName());
    else
        m_error = text("記録 %1 に書き込めません (%2): %3").arg(QFileInfo(m_path).fileName(), QString::fromUtf8(what), detail);
    // What was committed stays in the file; the rows of the open transaction go.
    if (m_db && m_inTransaction)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    m_inTransaction = false;
    closeDb();
    return false;
}

bool Writer::exec(const char *sql)
{
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    return rc == SQLITE_OK || fail(rc, sql);
}

void Writer::closeDb()
{
    for (sqlite3_stmt **s : {&m_insertRow, &m_insertBlock, &m_updateRows}) {
        sqlite3_finalize(*s);
        *s = nullptr;
    }
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool Writer::create(const QString &path, const Info &info, QString *error)
{
    m_path = path;
    m_info = info;
    auto refuse = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (QFileInfo::exists(path))
        return refuse(text("記録 %1 は既にあります。").arg(path));
    const QByteArray name = path.toUtf8();
    int rc = sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        fail(rc, "open");
        QFile::remove(path);
        return refuse(m_error);
    }
    sqlite3_extended_result_codes(m_db, 1);
    const bool made =
        exec("PRAGMA journal_mode=WAL") && exec("PRAGMA synchronous=NORMAL") && exec("BEGIN")
        && exec("CREATE TABLE meta(key TEXT PRIMARY KEY, value)")
        && exec("CREATE TABLE reads(seq INTEGER PRIMARY KEY, address INTEGER, count INTEGER)")
        && exec("CREATE TABLE channels(id INTEGER PRIMARY KEY, terminal INTEGER, type INTEGER,"
                " terminal_name TEXT, box INTEGER, label TEXT, unit TEXT, tag TEXT, name TEXT,"
                " offset INTEGER, kind INTEGER)")
        && exec("CREATE TABLE rows(t INTEGER PRIMARY KEY, regs BLOB)")
        && exec("CREATE TABLE summary(level INTEGER, t0 INTEGER, t1 INTEGER, gap INTEGER,"
                " minmax BLOB, PRIMARY KEY(level, t0)) WITHOUT ROWID");
    if (!made) {
        QFile::remove(path);
        return refuse(m_error);
    }
    {
        Statement meta(m_db, "INSERT INTO meta(key, value) VALUES(?, ?)");
        auto put = [&](const char *key, const QVariant &value) {
            sqlite3_reset(meta);
            sqlite3_bind_text(meta, 1, key, -1, SQLITE_STATIC);
            if (!value.isValid()) {
                sqlite3_bind_null(meta, 2);
            } else if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray) {
                const QByteArray bytes = value.toByteArray();
                sqlite3_bind_text(meta, 2, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_int64(meta, 2, value.toLongLong());
            }
            return sqlite3_step(meta) == SQLITE_DONE;
        };
        bool ok = put("format", QString::fromLatin1(kFormat)) && put("program", info.program)
                  && put("started_ms", qint64(info.startedMs)) && put("interval_ms", info.intervalMs)
                  && put("swapped", info.swapped ? 1 : 0)
                  && put("site", info.siteJson.isEmpty() ? QVariant() : QVariant(info.siteJson))
                  && put("rows", 0);
        Statement read(m_db, "INSERT INTO reads(address, count) VALUES(?, ?)");
        for (const Read &r : info.layout.reads) {
            sqlite3_reset(read);
            sqlite3_bind_int64(read, 1, r.address);
            sqlite3_bind_int(read, 2, r.count);
            ok = ok && sqlite3_step(read) == SQLITE_DONE;
        }
        Statement channel(m_db, "INSERT INTO channels(terminal, type, terminal_name, box, label, unit,"
                                " tag, name, offset, kind) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (const Channel &c : info.layout.channels) {
            sqlite3_reset(channel);
            const QByteArray texts[] = {c.terminalName.toUtf8(), c.label.toUtf8(), c.unit.toUtf8(),
                                        c.tag.toUtf8(), c.name().toUtf8()};
            if (c.terminal >= 0) {
                sqlite3_bind_int(channel, 1, c.terminal);
                sqlite3_bind_int(channel, 2, c.type);
            } else {
                sqlite3_bind_null(channel, 1);
                sqlite3_bind_null(channel, 2);
            }
            sqlite3_bind_text(channel, 3, texts[0].constData(), int(texts[0].size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(channel, 4, c.box);
            for (int i = 1; i < 5; ++i)
                sqlite3_bind_text(channel, 4 + i, texts[i].constData(), int(texts[i].size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(channel, 9, c.offset);
            sqlite3_bind_int(channel, 10, int(c.kind));
            ok = ok && sqlite3_step(channel) == SQLITE_DONE;
        }
        if (!ok) {
            fail(sqlite3_errcode(m_db), "create");
            QFile::remove(path);
            return refuse(m_error);
        }
    }
    if (!exec("COMMIT")) {
        QFile::remove(path);
        return refuse(m_error);
    }
    sqlite3_prepare_v2(m_db, "INSERT INTO rows(t, regs) VALUES(?, ?)", -1, &m_insertRow, nullptr);
    sqlite3_prepare_v2(m_db, "INSERT OR REPLACE INTO summary(level, t0, t1, gap, minmax) VALUES(?, ?, ?, ?, ?)",
                       -1, &m_insertBlock, nullptr);
    sqlite3_prepare_v2(m_db, "UPDATE meta SET value = ? WHERE key = 'rows'", -1, &m_updateRows, nullptr);
    const size_t channels = size_t(info.layout.channels.size());
    m_levels.clear();
    for (int l = 0; l < kLevels; ++l) {
        auto level = std::make_unique<Level>();
        level->mins.assign(channels, kNone);
        level->maxs.assign(channels, kNone);
        m_levels.push_back(std::move(level));
    }
    m_row.assign(channels, 0.0f);
    m_blob.resize(qsizetype(8 * channels));
    m_rows = m_committedRows = 0;
    m_lastTime = 0;
    m_diskFull = false;
    m_error.clear();
    return true;
}

bool Writer::writeBlock(int level, int64_t t0, int64_t t1, bool gap, const float *mins, const float *maxs)
{
    for (size_t c = 0; c < m_row.size(); ++c) {
        putFloat(m_blob.data() + 8 * c, mins[c]);
        putFloat(m_blob.data() + 8 * c + 4, maxs[c]);
    }
    sqlite3_reset(m_insertBlock);
    sqlite3_bind_int(m_insertBlock, 1, level + 1);
    sqlite3_bind_int64(m_insertBlock, 2, t0);
    sqlite3_bind_int64(m_insertBlock, 3, t1);
    sqlite3_bind_int(m_insertBlock, 4, gap ? 1 : 0);
    sqlite3_bind_blob(m_insertBlock, 5, m_blob.constData(), int(m_blob.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(m_insertBlock);
    if (rc != SQLITE_DONE)
        return fail(rc, "summary");
    m_levels[size_t(level)]->lastWritten = t0;
    m_levels[size_t(level)]->lastWrittenGap = gap;
    return true;
}

void Writer::merge(Level &l, int64_t t0, int64_t t1, const float *mins, const float *maxs)
{
    if (l.count == 0)
        l.t0 = t0;
    l.t1 = t1;
    ++l.count;
    for (size_t c = 0; c < m_row.size(); ++c) {
        if (!std::isnan(mins[c]) && !(l.mins[c] <= mins[c]))
            l.mins[c] = mins[c];
        if (!std::isnan(maxs[c]) && !(l.maxs[c] >= maxs[c]))
            l.maxs[c] = maxs[c];
    }
}

// Writes the open block of `level` and takes it into the open block of the
// level above; the level starts a new block.
bool Writer::endBlock(int level, bool gap)
{
    Level &l = *m_levels[size_t(level)];
    if (!writeBlock(level, l.t0, l.t1, gap, l.mins.data(), l.maxs.data()))
        return false;
    if (level + 1 < kLevels)
        merge(*m_levels[size_t(level + 1)], l.t0, l.t1, l.mins.data(), l.maxs.data());
    l.count = 0;
    std::fill(l.mins.begin(), l.mins.end(), kNone);
    std::fill(l.maxs.begin(), l.maxs.end(), kNone);
    return true;
}

bool Writer::append(int64_t timeMs, const uint16_t *registers)
{
    if (!m_db)
        return false;
    // Times always rise, so that every row has its own.
    timeMs = std::max(timeMs, m_lastTime + 1);
    if (!m_inTransaction) {
        if (!exec("BEGIN"))
            return false;
        m_inTransaction = true;
    }
    sqlite3_reset(m_insertRow);
    sqlite3_bind_int64(m_insertRow, 1, timeMs);
    QByteArray regs;
    if (registers) {
        const int n = m_info.layout.registers;
        regs.resize(2 * n);
        for (int i = 0; i < n; ++i) {
            regs[2 * i] = char(registers[i] >> 8);
            regs[2 * i + 1] = char(registers[i] & 0xFF);
        }
        sqlite3_bind_blob(m_insertRow, 2, regs.constData(), int(regs.size()), SQLITE_STATIC);
    } else {
        sqlite3_bind_null(m_insertRow, 2);
    }
    const int rc = sqlite3_step(m_insertRow);
    if (rc != SQLITE_DONE)
        return fail(rc, "rows");
    m_lastTime = timeMs;
    ++m_rows;

    if (!registers) {
        // A gap ends the open block of every level, so that no block spans
        // it and the line breaks where it came; a level whose last block
        // has just ended gets the mark on that block.
        for (int l = 0; l < kLevels; ++l) {
            Level &level = *m_levels[size_t(l)];
            if (level.count > 0) {
                if (!endBlock(l, true))
                    return false;
                continue;
            }
            if (level.lastWritten < 0 || level.lastWrittenGap)
                continue;
            Statement mark(m_db, "UPDATE summary SET gap = 1 WHERE level = ? AND t0 = ?");
            sqlite3_bind_int(mark, 1, l + 1);
            sqlite3_bind_int64(mark, 2, level.lastWritten);
            const int mrc = sqlite3_step(mark);
            if (mrc != SQLITE_DONE)
                return fail(mrc, "summary");
            level.lastWrittenGap = true;
        }
        return true;
    }
    for (qsizetype c = 0; c < qsizetype(m_row.size()); ++c)
        m_row[size_t(c)] = float(channelValue(m_info.layout.channels[c], registers, m_info.swapped));
    // The row into level 1, and every block it completes up the levels.
    merge(*m_levels[0], timeMs, timeMs, m_row.data(), m_row.data());
    for (int l = 0; l < kLevels; ++l) {
        const int full = l == 0 ? kBlockRows : kLevelRatio;
        if (m_levels[size_t(l)]->count < full)
            break;
        if (!endBlock(l, false))
            return false;
    }
    return true;
}

bool Writer::commit()
{
    if (!m_db || !m_inTransaction)
        return m_db != nullptr;
    sqlite3_reset(m_updateRows);
    sqlite3_bind_int64(m_updateRows, 1, m_rows);
    const int rc = sqlite3_step(m_updateRows);
    if (rc != SQLITE_DONE)
        return fail(rc, "meta");
    if (!exec("COMMIT"))
        return false;
    m_inTransaction = false;
    m_committedRows = m_rows;
    return true;
}

bool Writer::finish(int64_t endedMs)
{
    if (!m_db)
        return false;
    if (!commit())
        return false;
    Statement ended(m_db, "INSERT OR REPLACE INTO meta(key, value) VALUES('ended_ms', ?)");
    sqlite3_bind_int64(ended, 1, endedMs);
    const int rc = sqlite3_step(ended);
    if (rc != SQLITE_DONE)
        return fail(rc, "meta");
    closeDb();
    return true;
}

int64_t Writer::bytes() const
{
    return QFileInfo(m_path).size() + QFileInfo(m_path + QStringLiteral("-wal")).size();
}

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
        Block b{sqlite3_column_int64(s, 0), sqlite3_column_int64(s, 1), sqlite3_column_int(s, 2) != 0, kNone, kNone};
        if (blob && bytes >= 8 * (channel + 1)) {
            b.min = getFloat(blob + 8 * channel);
            b.max = getFloat(blob + 8 * channel + 4);
        }
        out.push_back(b);
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
                const int c = channels[qsizetype(k)];
                if (!blob || bytes < 8 * (c + 1))
                    return nan;
                const float v = getFloat(blob + 8 * c + 4 * which);
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
