// The command-line rule: "--" arguments are options, the first other
// argument names the conversion table; help, version and errors are
// answered without starting the program.
#include "app/CommandLine.h"
#include "app/Settings.h"
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Action = CommandLine::Action;
Q_DECLARE_METATYPE(CommandLine::Action)

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void errors_data();
    void errors();
    void helpListsEveryOption();
    void surveyOptionsAreRead();
    void settingsFileIsMadeAbsolute();
    void fileHome_data();
    void fileHome();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("connect");
    QTest::addColumn<bool>("monitor");
    QTest::addColumn<bool>("trend");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("table");

    const QString none;
    QTest::newRow("nothing") << QStringList{} << Action::Run << false << false << false << none << none;
    QTest::newRow("table alone, as before") << QStringList{"t.cfg"} << Action::Run << false << false << false << none
                                            << "t.cfg";
    QTest::newRow("options around the table")
        << QStringList{"--connect", "t.cfg", "--monitor"} << Action::Run << true << true << false << none << "t.cfg";
    QTest::newRow("first plain argument wins") << QStringList{"a.cfg", "b.cfg"} << Action::Run << false << false << false
                                               << none << "a.cfg";
    QTest::newRow("lang value is not the table")
        << QStringList{"--lang", "en", "t.cfg"} << Action::Run << false << false << false << "en" << "t.cfg";
    QTest::newRow("lang with equals") << QStringList{"--lang=ja"} << Action::Run << false << false << false << "ja" << none;
    QTest::newRow("settings value is not the table")
        << QStringList{"--settings", "my.ini"} << Action::Run << false << false << false << none << none;
    QTest::newRow("single dash is a plain argument")
        << QStringList{"-x.cfg", "--monitor"} << Action::Run << false << true << false << none << "-x.cfg";
    QTest::newRow("after -- everything is plain")
        << QStringList{"--", "--connect"} << Action::Run << false << false << false << none << "--connect";
    QTest::newRow("trend") << QStringList{"--trend"} << Action::Run << false << false << true << none << none;
    QTest::newRow("the demo's start")
        << QStringList{"--connect", "--monitor", "--trend", "t.cfg"} << Action::Run << true << true << true << none
        << "t.cfg";
    QTest::newRow("help") << QStringList{"--connect", "--help"} << Action::Help << false << false << false << none << none;
    QTest::newRow("version") << QStringList{"--version", "t.cfg"} << Action::Version << false << false << false << none
                             << none;
    QTest::newRow("help before version") << QStringList{"--version", "--help"} << Action::Help << false << false << false
                                         << none << none;
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, args);
    QFETCH(Action, action);
    args.prepend(QStringLiteral("RMTool"));
    const CommandLine cl = parseCommandLine(args);
    QCOMPARE(cl.action, action);
    QTEST(cl.options.connect, "connect");
    QTEST(cl.options.monitor, "monitor");
    QTEST(cl.options.trend, "trend");
    QTEST(cl.options.language, "language");
    QTEST(cl.options.conversionTable, "table");
    if (action == Action::Version)
        QCOMPARE(cl.text, QStringLiteral("RMTool " RMTOOL_VERSION "\n"));
    if (action == Action::Run)
        QVERIFY(cl.text.isEmpty());
}

void TestCommandLine::errors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown option") << QStringList{"--conect"} << "Unknown option 'conect'";
    QTest::newRow("unknown after good ones") << QStringList{"--connect", "t.cfg", "--fast"} << "'fast'";
    QTest::newRow("lang not ja or en") << QStringList{"--lang", "de"} << "'de'";
    QTest::newRow("lang in capitals") << QStringList{"--lang=EN"} << "'EN'";
    QTest::newRow("lang without value") << QStringList{"--lang"} << "Missing value after '--lang'";
    QTest::newRow("settings without value") << QStringList{"--settings"} << "Missing value after '--settings'";
    QTest::newRow("settings empty") << QStringList{"--settings="} << "needs a file name";
    QTest::newRow("settings a folder") << QStringList{"--settings", QDir::tempPath()} << "is a folder";
    QTest::newRow("value to a switch") << QStringList{"--connect=yes"} << "--connect";
    QTest::newRow("value to trend") << QStringList{"--trend=on"} << "--trend";
    QTest::newRow("trend misspelt") << QStringList{"--trends"} << "Unknown option 'trends'";
    QTest::newRow("site without value") << QStringList{"--site"} << "Missing value after '--site'";
    QTest::newRow("survey without site") << QStringList{"--survey", "--report", "r.pdf"} << "needs '--site FILE'";
    QTest::newRow("survey without report") << QStringList{"--survey", "--site", "s.rmsite"} << "'--report FILE'";
    QTest::newRow("report of another kind")
        << QStringList{"--survey", "--site", "s.rmsite", "--report", "r.txt"} << ".pdf or .html";
    QTest::newRow("samples 0") << QStringList{"--survey", "--site", "s", "--report", "r.pdf", "--samples", "0"}
                               << "Invalid value for '--samples': '0'";
    QTest::newRow("samples not a number")
        << QStringList{"--survey", "--site", "s", "--report", "r.pdf", "--samples", "ten"} << "'ten'";
    QTest::newRow("report without survey") << QStringList{"--site", "s", "--report", "r.pdf"} << "belong to '--survey'";
    QTest::newRow("survey with a window option")
        << QStringList{"--survey", "--site", "s", "--report", "r.html", "--trend"} << "shows no window";
    // An error wins over help: nothing starts and the status says so.
    QTest::newRow("error and help") << QStringList{"--help", "--nope"} << "'nope'";
}

void TestCommandLine::errors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    args.prepend(QStringLiteral("RMTool"));
    const CommandLine cl = parseCommandLine(args);
    QCOMPARE(cl.action, Action::Error);
    QVERIFY2(cl.text.contains(message), qPrintable(cl.text));
    QVERIFY(cl.text.endsWith(u'\n'));
}

void TestCommandLine::helpListsEveryOption()
{
    const CommandLine cl = parseCommandLine({QStringLiteral("RMTool"), QStringLiteral("--help")});
    QVERIFY2(cl.text.startsWith(QStringLiteral("Usage: RMTool [options] [table]")), qPrintable(cl.text));
    for (const char *option : {"--help", "--version", "--connect", "--monitor", "--trend", "--lang <ja|en>",
                               "--settings <file>", "--site <file>", "--survey", "--report <file>", "--samples <n>"})
        QVERIFY2(cl.text.contains(QLatin1String(option)), option);
}

void TestCommandLine::surveyOptionsAreRead()
{
    const CommandLine survey = parseCommandLine({"RMTool", "--site", "plant.rmsite", "--survey", "--report",
                                                 "out/r.PDF", "--samples", "25"});
    QCOMPARE(survey.action, Action::Run);
    QVERIFY(survey.options.survey);
    QCOMPARE(survey.options.siteFile, QDir::current().absoluteFilePath("plant.rmsite"));
    QCOMPARE(survey.options.reportFile, QDir::current().absoluteFilePath("out/r.PDF"));
    QCOMPARE(survey.options.samples, 25);
    // --site alone opens the installation in the windows, nothing more.
    const CommandLine windows = parseCommandLine({"RMTool", "--site", "plant.rmsite", "--connect", "t.cfg"});
    QCOMPARE(windows.action, Action::Run);
    QVERIFY(!windows.options.survey);
    QCOMPARE(windows.options.siteFile, QDir::current().absoluteFilePath("plant.rmsite"));
    QCOMPARE(windows.options.conversionTable, QStringLiteral("t.cfg"));
    QCOMPARE(windows.options.samples, 10);
}

void TestCommandLine::settingsFileIsMadeAbsolute()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const CommandLine cl = parseCommandLine({QStringLiteral("RMTool"), QStringLiteral("--settings"),
                                             QStringLiteral("sub/my.ini")});
    QDir::setCurrent(previous);
    QCOMPARE(cl.action, Action::Run);
    // The file stays the same one whatever the program's current folder later is.
    QCOMPARE(cl.options.settingsFile, QDir(dir.path()).absoluteFilePath(QStringLiteral("sub/my.ini")));
}

void TestCommandLine::fileHome_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<bool>("besideExists");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("configFolder");
    // Installed: always the user's folder, even when root could write there
    // or an old file lies beside the program.
    QTest::newRow("/usr/bin writable") << "/usr/bin" << false << true << true;
    QTest::newRow("/usr/bin with a file") << "/usr/bin" << true << true << true;
    QTest::newRow("/usr/local/bin") << "/usr/local/bin" << false << true << true;
    QTest::newRow("/usr/local/bin/ trailing") << "/usr/local/bin/" << false << true << true;
    QTest::newRow("/bin") << "/bin" << false << false << true;
    // Elsewhere: the program's own folder where it has a file or can write.
    QTest::newRow("build folder") << "/work/rm/build" << false << true << false;
    QTest::newRow("read-only with a file") << "/media/stick" << true << false << false;
    QTest::newRow("read-only, no file") << "/media/stick" << false << false << true;
    QTest::newRow("a bin under home") << "/home/u/usr/bin" << false << true << false;
    QTest::newRow("/usr itself") << "/usr" << false << true << false;
}

void TestCommandLine::fileHome()
{
    QFETCH(QString, dir);
    QFETCH(bool, besideExists);
    QFETCH(bool, writable);
    QFETCH(bool, configFolder);
    QCOMPARE(fileHomeFor(dir, besideExists, writable) == FileHome::ConfigFolder, configFolder);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
