#include "app/CommandLine.h"
#include <QCommandLineParser>
#include <QFileInfo>

#ifndef RMTOOL_VERSION
#error "RMTOOL_VERSION comes from the build (project version)"
#endif

QString programVersionText()
{
    return QStringLiteral("RMTool " RMTOOL_VERSION "\n");
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    const QCommandLineOption help(QStringLiteral("help"), QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the name and version and exit."));
    const QCommandLineOption connect(QStringLiteral("connect"),
                                     QStringLiteral("Open the connection to the gateway at start."));
    const QCommandLineOption monitor(QStringLiteral("monitor"),
                                     QStringLiteral("Start monitoring (as the monitor button does) once connected."));
    const QCommandLineOption lang(QStringLiteral("lang"), QStringLiteral("Interface language: ja (default) or en."),
                                  QStringLiteral("ja|en"));
    const QCommandLineOption settings(QStringLiteral("settings"),
                                      QStringLiteral("Read and write this settings file instead of the default one."),
                                      QStringLiteral("file"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("RM Tool: engineering tool for the Relaymo Ethernet gateway."));
    parser.addOptions({help, version, connect, monitor, lang, settings});
    parser.addPositionalArgument(QStringLiteral("table"), QStringLiteral("Conversion table to load at start."),
                                 QStringLiteral("[table]"));

    // Only "--" arguments (and the value after an option that takes one)
    // go to the option parser; any other argument is a plain one, even when
    // it begins with a single dash.
    QStringList optionArgs{arguments.value(0)};
    QStringList plain;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("--")) {
            plain += arguments.mid(i + 1);
            break;
        }
        if (!a.startsWith(QLatin1String("--"))) {
            plain << a;
            continue;
        }
        optionArgs << a;
        const QString name = a.mid(2);
        const bool takesValue = name == lang.names().first() || name == settings.names().first();
        if (takesValue && i + 1 < arguments.size())
            optionArgs << arguments[++i];
    }

    CommandLine cl;
    if (!parser.parse(optionArgs)) {
        cl.action = CommandLine::Action::Error;
        cl.text = parser.errorText() + QStringLiteral("\nTry 'RMTool --help'.\n");
        return cl;
    }
    if (parser.isSet(help)) {
        cl.action = CommandLine::Action::Help;
        // The parser names the program after the running executable (or a
        // placeholder): the usage line always says RMTool.
        const QString text = parser.helpText();
        cl.text = QStringLiteral("Usage: RMTool [options] [table]") + text.mid(text.indexOf(u'\n'));
        return cl;
    }
    if (parser.isSet(version)) {
        cl.action = CommandLine::Action::Version;
        cl.text = programVersionText();
        return cl;
    }
    StartOptions &o = cl.options;
    o.connect = parser.isSet(connect);
    o.monitor = parser.isSet(monitor);
    if (parser.isSet(lang)) {
        o.language = parser.value(lang);
        if (o.language != QLatin1String("ja") && o.language != QLatin1String("en")) {
            cl.action = CommandLine::Action::Error;
            cl.text = QStringLiteral("Invalid value for '--lang': '%1' (use ja or en).\nTry 'RMTool --help'.\n")
                          .arg(o.language);
            return cl;
        }
    }
    if (parser.isSet(settings)) {
        const QString file = parser.value(settings);
        if (file.isEmpty()) {
            cl.action = CommandLine::Action::Error;
            cl.text = QStringLiteral("'--settings' needs a file name.\nTry 'RMTool --help'.\n");
            return cl;
        }
        if (QFileInfo(file).isDir()) {
            cl.action = CommandLine::Action::Error;
            cl.text = QStringLiteral("'--settings %1' is a folder, not a settings file.\nTry 'RMTool --help'.\n")
                          .arg(file);
            return cl;
        }
        o.settingsFile = QFileInfo(file).absoluteFilePath();
    }
    o.conversionTable = plain.value(0);
    return cl;
}
