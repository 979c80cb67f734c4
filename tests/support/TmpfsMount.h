#pragma once
// Test support: a real full disk. A small tmpfs of the test's own, mounted
// on a temporary folder (tests run as root) and unmounted again when the
// object goes, also when the test fails half-way. fill() takes the free
// space with a filler file, freeSpace() gives it back.
#include <QString>
#include <QTemporaryDir>

class TmpfsMount {
public:
    explicit TmpfsMount(int sizeKiB);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount &) = delete;
    TmpfsMount &operator=(const TmpfsMount &) = delete;

    bool isMounted() const { return m_mounted; }
    // Why it could not be mounted (not root, mount refused).
    QString problem() const { return m_problem; }
    // The mount point, ending in '/'.
    QString path() const { return m_dir.path() + u'/'; }

    // Fills the file system until only about `leaveBytes` are free (rounded
    // down to whole pages). False when the filler could not be written.
    bool fill(qint64 leaveBytes = 0);
    // Removes the filler again.
    bool freeSpace();
    // Mounts it again read-only, or writable.
    bool setReadOnly(bool readOnly);
    qint64 bytesFree() const;

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_problem;
};
