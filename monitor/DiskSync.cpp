#include "monitor/DiskSync.h"
#include <QFile>
#include <cerrno>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

bool syncToDisk(int fd, QString *why)
{
#ifdef Q_OS_WIN
    const bool ok = ::_commit(fd) == 0 || errno == EINVAL;
#else
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
#endif
    if (!ok && why)
        *why = qt_error_string(errno);
    return ok;
}

void syncFolderToDisk(const QString &folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
#else
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        syncToDisk(fd);
        ::close(fd);
    }
#endif
}
