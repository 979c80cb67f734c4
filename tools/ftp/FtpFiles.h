#pragma once
// The configuration files of the FTP tool: which file each choice names,
// which names may be used, where the local copies live and how the editor
// text is stored in them.
#include <QString>
#include <QStringList>

namespace ftpfiles {

// The file choice: 0 master settings .. 3 engineering-unit conversion,
// 4 "other" (the name typed or picked in the name list).
inline constexpr int kOtherChoice = 4;
inline constexpr int kChoiceCount = 5;

// The file name of a choice; for kOtherChoice the given name, as typed.
QString fileNameForChoice(int choice, const QString &otherName);
// The names offered in the list of other files, in order.
QStringList otherFileNames();

// Why a name cannot be used for a transfer, in Japanese; empty when it can.
// The name becomes a file in the program folder and a file in the remote
// folder, so it must be a bare file name: no folder separator, not "." or
// "..", no drive colon, no control character, no character that Windows
// refuses in a file name.
QString fileNameProblem(const QString &name);

// The folder of the local copies, with a trailing '/': the program's folder,
// or, where that cannot be written, the user's configuration folder for the
// program. Tests point it elsewhere.
QString localFolder();
void setLocalFolderOverride(const QString &folder);
QString localFilePath(const QString &name);

// The editor text stored in a local file: the system's 8-bit encoding and
// CR LF line ends. Reading accepts CR LF, LF or CR line ends.
bool readTextFile(const QString &path, QString *text, QString *error);
bool writeTextFile(const QString &path, const QString &text, QString *error);

} // namespace ftpfiles
