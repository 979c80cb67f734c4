#pragma once
// The automatically saved CSV log files: their header row, their names and
// their text, and the writing of a text file the way the tool writes all
// its text files (system code page, CR LF line ends, written whole or not
// at all).
#include <QString>
#include <QStringList>

// The first column's caption by header mode: "" (mode 0 and unknown
// modes), "Count", "Elapsed", "Date,Time,Count".
QString CsvHeaderCaption(int headerMode);

// The header row without its line end: the caption, then one column per
// register of the read window ("Count,30321,30322,30323").
QString CsvHeaderRow(int headerMode, int firstRegister, int registerCount);

// The file number padded on the left with "0" to at least `digits`
// characters; longer numbers are not cut.
QString CsvFileNumberText(int number, int digits);

// folder + header + padded number + ".csv" (folder ends with its separator).
QString CsvFileName(const QString &folder, const QString &header, int number, int digits);

// The text of a file: the header row and every line, each followed by CR LF.
QString CsvFileText(const QString &headerRow, const QStringList &lines);

// The lines of a log text as its memo holds them: an empty text has no
// line, and a line end at the very end does not start another line.
QStringList LogTextLines(const QString &text);

// Writes text to path in the system code page, replacing an existing file
// only once the whole text has been written. False with *error set (in
// Japanese, naming the file) when it cannot.
bool WriteTextFile(const QString &path, const QString &text, QString *error);

// The first file number from `number` on whose name does not yet exist in
// the folder; *name receives that name. Numbers run up to INT_MAX.
int NextFreeCsvNumber(const QString &folder, const QString &header, int number, int digits,
                      QString *name);
