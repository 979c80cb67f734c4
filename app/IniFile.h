#pragma once
// A private-profile (INI) file with the semantics of the Windows profile
// functions, so that a file written by the Windows tool reads back the same:
// sections and keys match case-insensitively, "key=value" lines, values
// neither quoted nor escaped on write, surrounding blanks and one pair of
// matching quotes removed on read, CR LF line ends, the system's 8-bit code
// page. Lines that are not understood are kept as they are.
#include <QString>
#include <QStringList>

class IniFile {
public:
    explicit IniFile(QString path);

    // Reads the file afresh; a missing file reads as empty.
    void load();
    // Writes the whole file; returns false (and sets *error) on failure.
    bool save(QString *error = nullptr) const;

    QString readString(const QString &section, const QString &key, const QString &def) const;
    void writeString(const QString &section, const QString &key, const QString &value);

    const QStringList &lines() const { return m_lines; }
    const QString &path() const { return m_path; }

private:
    int findSection(const QString &section) const;  // index of "[section]" or -1
    int sectionEnd(int sectionLine) const;           // first line after the section

    QString m_path;
    QStringList m_lines;
};
