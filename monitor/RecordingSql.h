#pragma once
// What the recording's writer and reader share: the SQLite statement they
// prepare, the summary's numbers as the file stores them, and the messages'
// translation context. Not for use outside monitor/Recording*.cpp.
#include "monitor/Recording.h"
#include <QCoreApplication>
#include <sqlite3.h>
#include <cmath>
#include <cstring>
#include <limits>

namespace rec::detail {

inline QString text(const char *source)
{
    return QCoreApplication::translate("Recording", source);
}

inline constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

// Rows in a block of a level (1..kLevels).
inline int64_t blockRows(int level)
{
    int64_t n = kBlockRows;
    for (int l = 1; l < level; ++l)
        n *= kLevelRatio;
    return n;
}

inline void putFloat(char *to, float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    for (int i = 0; i < 4; ++i)
        to[i] = char((bits >> (8 * i)) & 0xFF);
}

inline float getFloat(const unsigned char *from)
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

inline QString columnText(sqlite3_stmt *s, int i)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, i)),
                             sqlite3_column_bytes(s, i));
}

// The smallest (which 0) or largest (which 1) number of channel c in a
// block's minmax value of `bytes` bytes; NaN when the value holds none.
inline float extremeOf(const unsigned char *minmax, int bytes, int c, int which)
{
    if (!minmax || bytes < 8 * (c + 1))
        return kNone;
    return getFloat(minmax + 8 * c + 4 * which);
}

} // namespace rec::detail
