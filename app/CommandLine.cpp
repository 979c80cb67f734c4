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

namespace {

// The options the program knows, as the parser needs them.
struct OptionSet {
    QCommandLineOption help{QStringLiteral("help"), QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{QStringLiteral("version"), QStringLiteral("Show the name and version and exit.")};
    QCommandLineOption connect{QStringLiteral("connect"),
                               QStringLiteral("Open the connection to the gateway at start.")};
    QCommandLineOption monitor{QStringLiteral("monitor"),
                               QStringLiteral("Start monitoring (as the monitor button does) once connected.")};
    QCommandLineOption record{QStringLiteral("record"),
                              QStringLiteral("Start recording the bus (File > Start recording) once connected.")};
    QCommandLineOption trend{QStringLiteral("trend"), QStringLiteral("Open the trend window at start.")};
    QCommandLineOption lang{QStringLiteral("lang"), QStringLiteral("Interface language: ja (default) or en."),
                            QStringLiteral("ja|en")};
    QCommandLineOption settings{QStringLiteral("settings"),
                                QStringLiteral("Read and write this settings file instead of the default one."),
                                QStringLiteral("file")};
    QCommandLineOption site{QStringLiteral("site"), QStringLiteral("Open this installation file (*.rmsite) at start."),
                            QStringLiteral("file")};
    QCommandLineOption survey{QStringLiteral("survey"),
                              QStringLiteral("Survey the installation of --site without any window, write the report "
                                             "(--report) and the write journal, and exit: 0 done, 1 the gateway "
                                             "could not be reached or the file was refused.")};
    QCommandLineOption report{QStringLiteral("report"),
                              QStringLiteral("With --survey: the report to write, a .pdf or .html file."),
                              QStringLiteral("file")};
    QCommandLineOption samples{QStringLiteral("samples"),
                               QStringLiteral("With --survey: answers read per terminal, 1 to 1000 (default 10)."),
                               QStringLiteral("n")};

    // True for an option name (without its dashes) that is followed by a value.
    bool takesValue(const QString &name) const
    {
        for (const QCommandLineOption *o : {&lang, &settings, &site, &report, &samples})
            if (name == o->names().first())
                return true;
        return false;
    }
};

void describeProgram(QCommandLineParser &parser, const OptionSet &o)
{
    parser.setApplicationDescription(QStringLiteral("RM Tool: engineering tool for the Relaymo Ethernet gateway."));
    parser.addOptions({o.help, o.version, o.connect, o.monitor, o.record, o.trend, o.lang, o.settings, o.site, o.survey,
                       o.report, o.samples});
    parser.addPositionalArgument(QStringLiteral("table"), QStringLiteral("Conversion table to load at start."),
                                 QStringLiteral("[table]"));
}

struct SplitArguments {
    QStringList forParser;  // the program, then the options and their values
    QStringList plain;
};

// Only "--" arguments (and the value after an option that takes one) go to
// the option parser; any other argument is a plain one, even when it
// begins with a single dash.
SplitArguments splitArguments(const QStringList &arguments, const OptionSet &o)
{
    SplitArguments split{{arguments.value(0)}, {}};
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == QLatin1String("--")) {
            split.plain += arguments.mid(i + 1);
            break;
        }
        if (!a.startsWith(QLatin1String("--"))) {
            split.plain << a;
            continue;
        }
        split.forParser << a;
        if (o.takesValue(a.mid(2)) && i + 1 < arguments.size())
            split.forParser << arguments[++i];
    }
    return split;
}

// An unusable command line; the options read before the fault stay as read.
CommandLine refused(const QString &message, const StartOptions &readSoFar = {})
{
    CommandLine cl;
    cl.options = readSoFar;
    cl.action = CommandLine::Action::Error;
    cl.text = message + QStringLiteral("\nTry 'RMTool --help'.\n");
    return cl;
}

CommandLine helpText(const QCommandLineParser &parser)
{
    CommandLine cl;
    cl.action = CommandLine::Action::Help;
    // The parser names the program after the running executable (or a
    // placeholder): the usage line always says RMTool.
    const QString text = parser.helpText();
    cl.text = QStringLiteral("Usage: RMTool [options] [table]") + text.mid(text.indexOf(u'\n'));
    return cl;
}

// What is wrong with the value of --settings, empty when it names a file.
QString settingsFileProblem(const QString &file)
{
    if (file.isEmpty())
        return QStringLiteral("'--settings' needs a file name.");
    if (QFileInfo(file).isDir())
        return QStringLiteral("'--settings %1' is a folder, not a settings file.").arg(file);
    return {};
}

// --site, --survey, --report and --samples: the survey needs an
// installation and a report of a kind it writes; the report and the
// samples belong to a survey.
CommandLine surveyOptions(const QCommandLineParser &parser, const OptionSet &opts, CommandLine cl)
{
    StartOptions &o = cl.options;
    if (parser.isSet(opts.site)) {
        const QString file = parser.value(opts.site);
        if (file.isEmpty())
            return refused(QStringLiteral("'--site' needs a file name."), o);
        o.siteFile = QFileInfo(file).absoluteFilePath();
    }
    o.survey = parser.isSet(opts.survey);
    if (parser.isSet(opts.report)) {
        const QString file = parser.value(opts.report);
        const QString suffix = QFileInfo(file).suffix().toLower();
        if (suffix != QLatin1String("pdf") && suffix != QLatin1String("html"))
            return refused(QStringLiteral("'--report %1': the report is a .pdf or .html file.").arg(file), o);
        o.reportFile = QFileInfo(file).absoluteFilePath();
    }
    if (parser.isSet(opts.samples)) {
        bool ok = false;
        o.samples = parser.value(opts.samples).toInt(&ok);
        if (!ok || o.samples < 1 || o.samples > 1000)
            return refused(QStringLiteral("Invalid value for '--samples': '%1' (use 1 to 1000).")
                               .arg(parser.value(opts.samples)), o);
    }
    if (o.survey && (o.siteFile.isEmpty() || o.reportFile.isEmpty()))
        return refused(QStringLiteral("'--survey' needs '--site FILE' and '--report FILE'."), o);
    if (!o.survey && (parser.isSet(opts.report) || parser.isSet(opts.samples)))
        return refused(QStringLiteral("'--report' and '--samples' belong to '--survey'."), o);
    if (o.survey && (o.connect || o.monitor || o.record || o.trend))
        return refused(QStringLiteral("'--survey' shows no window: it takes no '--connect', '--monitor', '--record' or '--trend'."),
                       o);
    return cl;
}

// The start options of a parsed command line; a refusal when a value of
// --lang or --settings cannot be used.
CommandLine startOptions(const QCommandLineParser &parser, const OptionSet &opts, const QStringList &plain)
{
    CommandLine cl;
    StartOptions &o = cl.options;
    o.connect = parser.isSet(opts.connect);
    o.monitor = parser.isSet(opts.monitor);
    o.record = parser.isSet(opts.record);
    o.trend = parser.isSet(opts.trend);
    if (parser.isSet(opts.lang)) {
        o.language = parser.value(opts.lang);
        if (o.language != QLatin1String("ja") && o.language != QLatin1String("en"))
            return refused(QStringLiteral("Invalid value for '--lang': '%1' (use ja or en).").arg(o.language), o);
    }
    if (parser.isSet(opts.settings)) {
        const QString file = parser.value(opts.settings);
        const QString problem = settingsFileProblem(file);
        if (!problem.isEmpty())
            return refused(problem, o);
        o.settingsFile = QFileInfo(file).absoluteFilePath();
    }
    o.conversionTable = plain.value(0);
    return surveyOptions(parser, opts, cl);
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    const OptionSet options;
    QCommandLineParser parser;
    describeProgram(parser, options);
    const SplitArguments split = splitArguments(arguments, options);
    if (!parser.parse(split.forParser))
        return refused(parser.errorText());
    if (parser.isSet(options.help))
        return helpText(parser);
    if (parser.isSet(options.version)) {
        CommandLine cl;
        cl.action = CommandLine::Action::Version;
        cl.text = programVersionText();
        return cl;
    }
    return startOptions(parser, options, split.plain);
}
