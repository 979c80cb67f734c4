#pragma once
// Bringing what was written to a file onto the disk, on each platform: the
// file's data (fsync on Unix, _commit, that is FlushFileBuffers, on
// Windows) and, on Unix, a new file's name in its folder (NTFS keeps its
// folders in its journal: nothing to do there).
#include <QString>

// The data of the open file descriptor fd (QFile::handle()) on the disk.
// A file system that cannot sync counts as synced: it has nothing more to
// report. False with the system's reason in *why otherwise (a full disk
// may show only here).
bool syncToDisk(int fd, QString *why = nullptr);

// The folder's entries (a file just created in it) on the disk.
void syncFolderToDisk(const QString &folder);
