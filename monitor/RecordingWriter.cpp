// The recording's writer: the file made, its rows, and the summary blocks
// built as the rows come in.
#include "monitor/Recording.h"
#include "monitor/RecordingSql.h"
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QVariant>

namespace rec {

using namespace detail;

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

} // namespace rec
