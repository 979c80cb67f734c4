#pragma once
// The program's command line. Arguments that begin with "--" are options;
// the first other argument names a conversion table to load at start, as it
// always did. Everything after a lone "--" is a plain argument.
#include <QString>
#include <QStringList>

// The name and version the program reports (the version is the build's).
QString programVersionText();

struct StartOptions {
    bool connect = false;     // --connect: open the connection at start
    bool monitor = false;     // --monitor: start monitoring once connected
    bool record = false;      // --record: start recording once connected
    bool trend = false;       // --trend: open the trend window at start
    QString language;         // --lang ja|en; empty when not given
    QString settingsFile;     // --settings FILE, as an absolute path; empty: the default file
    QString conversionTable;  // the first plain argument; empty when none
    QString siteFile;         // --site FILE, as an absolute path: the installation opened at start
    // --survey: survey the installation's gateway without any window, write
    // the report (--report FILE, .pdf or .html) and the journal, and exit.
    bool survey = false;
    QString reportFile;       // absolute path
    int samples = 10;         // --samples N (1..1000) answers per terminal
};

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    StartOptions options;
    // The usage text (Help), the name and version (Version) or the error
    // message (Error), each ending in a line feed.
    QString text;
};

// The parse rule: arguments[0] is the program itself. Pure: it prints
// nothing, needs no application object and ends nothing.
CommandLine parseCommandLine(const QStringList &arguments);

// Exit status of a command line that cannot be used.
inline constexpr int kCommandLineErrorExit = 2;
