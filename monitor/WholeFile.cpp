#include "monitor/WholeFile.h"
#include "monitor/DiskSync.h"

WholeFileWriter::WholeFileWriter(const QString &path) : m_file(path) {}

WholeFileWriter::~WholeFileWriter()
{
    discard();
}

bool WholeFileWriter::open()
{
    // Unbuffered: every write reaches the temporary file at once, so that a
    // full disk shows in the count that write() returns.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(m_file.errorString());
    return true;
}

bool WholeFileWriter::write(const char *data, qint64 size)
{
    if (m_failed || !m_file.isOpen())
        return fail(m_file.errorString());
    while (size > 0) {
        // A short count is followed by one more attempt, which then reports
        // why the rest does not fit.
        const qint64 n = m_file.write(data, size);
        if (n <= 0)
            return fail(m_file.errorString());
        data += n;
        size -= n;
    }
    return true;
}

bool WholeFileWriter::commit()
{
    if (m_failed || !m_file.isOpen())
        return fail(m_file.errorString());
    if (!m_file.flush())
        return fail(m_file.errorString());
    // Some file systems report a full disk only when the data is synced.
    QString why;
    if (!syncToDisk(m_file.handle(), &why))
        return fail(why);
    // A failed rename removes the temporary file itself.
    if (!m_file.commit()) {
        m_failed = true;
        m_error = m_file.errorString();
        return false;
    }
    return true;
}

void WholeFileWriter::discard()
{
    if (!m_file.isOpen())
        return;
    m_file.cancelWriting();
    // After cancelWriting() the commit only removes the temporary file.
    m_file.commit();
}

bool WholeFileWriter::fail(const QString &why)
{
    if (!m_failed) {
        m_failed = true;
        m_error = why;
    }
    discard();
    return false;
}

bool WriteWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    WholeFileWriter file(path);
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}
