#pragma once
// Where the targets keep the files of one input: in memory (/dev/shm)
// where there is such a folder, so that a write per input costs no disk.
#include <QDir>
#include <QFileInfo>
#include <QString>

namespace fuzz {

inline QString scratchTemplate()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    return base + QStringLiteral("/rmtool-fuzz-XXXXXX");
}

} // namespace fuzz
