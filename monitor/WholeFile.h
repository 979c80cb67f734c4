#pragma once
// Files written whole or not at all: every file the program writes (CSV
// logs, the settings file, the FTP tool's local copies) goes through here.
//
// The bytes go into a temporary file in the target's folder; only when
// every byte has been written, flushed and synced is it renamed over the
// target. A step that fails (open, write, flush, sync, rename; a full disk
// among them) removes the temporary file: an existing target keeps its old
// content and a new name never appears, not even as an empty file.
//
// QSaveFile alone is not enough: it keeps small writes in a buffer that its
// commit() flushes without looking at the result, so on a full disk it
// renames an empty or cut-off file into place and reports success. The
// writer here opens it unbuffered, checks the count of every write and
// flushes and syncs before the commit.
#include <QByteArray>
#include <QSaveFile>
#include <QString>

class WholeFileWriter {
public:
    explicit WholeFileWriter(const QString &path);
    // Without a successful commit() the temporary file is removed.
    ~WholeFileWriter();
    WholeFileWriter(const WholeFileWriter &) = delete;
    WholeFileWriter &operator=(const WholeFileWriter &) = delete;

    bool open();
    // Writes all of the bytes; false once any write has failed.
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // Flushes, syncs and renames over the target; false (and nothing left
    // behind) when any step fails, or when an earlier write failed.
    bool commit();
    // Gives up: the temporary file is removed, the target left as it was.
    void discard();

    // The system's description of the first step that failed.
    QString errorString() const { return m_error; }
    QString path() const { return m_file.fileName(); }

private:
    bool fail(const QString &why);

    QSaveFile m_file;
    bool m_failed = false;
    QString m_error;
};

// The whole of `bytes` into `path` by the rule above. On failure *error
// (when given) receives the system's description of the step that failed.
bool WriteWholeFile(const QString &path, const QByteArray &bytes, QString *error);
