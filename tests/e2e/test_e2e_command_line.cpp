// The built RMTool program started with options: help, version and errors
// without any display, and --connect --monitor polling relaymo-sim at once;
// --settings read and written in place of the default file.
#include "support/TestApp.h"
#include "app/IniFile.h"
#include "app/TfrmMain.h"
#include "app/Settings.h"
#include "app/TfrmConnect.h"
#include "support/AppFixture.h"
#include "support/Controls.h"
#include "support/MonitorControls.h"
#include "tools/trend/TrendChart.h"
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

// An environment with no display at all: a program that tried to open a
// window here would fail.
QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    return env;
}

void writeSettings(const QString &path, const QList<QStringList> &keys)
{
    IniFile ini(path);
    for (const QStringList &k : keys)
        ini.writeString(k[0], k[1], k[2]);
    QVERIFY(ini.save());
}

} // namespace

class TestE2eCommandLine : public QObject {
    Q_OBJECT
private slots:
    void answeredWithoutWindows_data();
    void answeredWithoutWindows();
    void connectAndMonitorAtStart();
    void settingsFileReadAndWritten();
    void connectAlone();
    void monitorPressedAtFirstConnectionOnly();
    void trendOpenAtStart_data();
    void trendOpenAtStart();
};

void TestE2eCommandLine::answeredWithoutWindows_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");  // a pattern stdout matches whole
    QTest::addColumn<QString>("err");  // a pattern stderr matches whole
    QTest::newRow("help") << QStringList{"--help"} << 0
                          << R"(Usage: RMTool \[options\] \[table\]\n(.|\n)*--connect(.|\n)*--monitor(.|\n)*)" << "";
    QTest::newRow("version") << QStringList{"--version"} << 0
                             << QRegularExpression::escape(QStringLiteral("RMTool " RMTOOL_VERSION "\n")) << "";
    QTest::newRow("unknown option") << QStringList{"--connect", "--colour"} << 2 << ""
                                    << R"(RMTool: Unknown option 'colour'\.\nTry 'RMTool --help'\.\n)";
    QTest::newRow("bad language") << QStringList{"--lang", "fr"} << 2 << ""
                                  << R"(RMTool: Invalid value for '--lang': 'fr'.*\n.*\n)";
    QTest::newRow("settings without file") << QStringList{"--settings"} << 2 << ""
                                           << R"(RMTool: Missing value after '--settings'\.\n.*\n)";
}

void TestE2eCommandLine::answeredWithoutWindows()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess p;
    p.setProcessEnvironment(withoutDisplay());
    p.start(QStringLiteral(RMTOOL_PATH), args);
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    const QString stdoutText = QString::fromLocal8Bit(p.readAllStandardOutput());
    const QString stderrText = QString::fromLocal8Bit(p.readAllStandardError());
    QCOMPARE(p.exitCode(), exitCode);
    const auto whole = [](const QString &pattern) {
        return QRegularExpression(QRegularExpression::anchoredPattern(pattern));
    };
    QVERIFY2(whole(out).match(stdoutText).hasMatch(), qPrintable(stdoutText));
    QVERIFY2(whole(err).match(stderrText).hasMatch(), qPrintable(stderrText));
}

void TestE2eCommandLine::connectAndMonitorAtStart()
{
    QProcess sim;
    sim.setProcessChannelMode(QProcess::MergedChannels);
    sim.start(QStringLiteral(RELAYMO_SIM_PATH), {QStringLiteral("--port"), QStringLiteral("0"),
                                                 QStringLiteral("--trace")});
    QVERIFY(sim.waitForStarted());
    QString simOut;
    const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    QTRY_VERIFY_WITH_TIMEOUT((simOut += QString::fromLocal8Bit(sim.readAll()), listening.match(simOut).hasMatch()),
                             10000);
    const QString port = listening.match(simOut).captured(1);

    // The power terminal at word address 12 (terminal type 3) on the word
    // page: its channels are read from the extended area, 320 + 8 * 12.
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("start.ini"));
    writeSettings(ini, {{"MODBUS", "host", "127.0.0.1"}, {"MODBUS", "port", port},
                        {"ADDRESS", "w0", "12"}, {"TERM", "type", "3"}});
    // In English the connection check reads the English status text: the
    // program connects and monitors all the same.
    // The windowing system comes from Qt's own option, which must neither be
    // refused nor taken for a conversion table (its error box would stop
    // the start-up before it connects).
    QProcess tool;
    tool.setProcessEnvironment(withoutDisplay());
    tool.setProcessChannelMode(QProcess::ForwardedChannels);
    tool.start(QStringLiteral(RMTOOL_PATH), {QStringLiteral("-platform"), QStringLiteral("offscreen"),
                                             QStringLiteral("--settings"), ini, QStringLiteral("--lang"),
                                             QStringLiteral("en"), QStringLiteral("--connect"),
                                             QStringLiteral("--monitor")});
    QVERIFY(tool.waitForStarted());
    // Monitoring polls again and again, each poll followed by the header words.
    const QString poll = QStringLiteral("REQ tag=0 fn=4 addr=416 count=32");
    QTRY_VERIFY_WITH_TIMEOUT((simOut += QString::fromLocal8Bit(sim.readAll()), simOut.count(poll) >= 3), 20000);
    QVERIFY2(simOut.contains(QStringLiteral("REQ tag=20 fn=4 addr=44 count=4")), qPrintable(simOut));
    QCOMPARE(tool.state(), QProcess::Running);
    tool.kill();
    tool.waitForFinished();
    sim.kill();
    sim.waitForFinished();
}

void TestE2eCommandLine::settingsFileReadAndWritten()
{
    QTemporaryDir dir;
    const QString mine = dir.filePath(QStringLiteral("other.ini"));
    writeSettings(mine, {{"MODBUS", "port", "1502"}, {"FTP", "user", "site"}});
    createTestAppFromArguments({QStringLiteral("RMTool"), QStringLiteral("--settings"), mine});
    QCOMPARE(settingsFilePath(), mine);
    QCOMPARE(appSession->link().port(), 1502);
    QCOMPARE(appSession->settings().ftpUser, QStringLiteral("site"));
    appSession->settings().ftpUser = QStringLiteral("changed");
    destroyTestApp();  // saves, as at the end of the program
    setSettingsFilePathOverride(QString());
    IniFile ini(mine);
    ini.load();
    QCOMPARE(ini.readString(QStringLiteral("FTP"), QStringLiteral("user"), QString()), QStringLiteral("changed"));
    QCOMPARE(ini.readString(QStringLiteral("MODBUS"), QStringLiteral("port"), QString()), QStringLiteral("1502"));
    QCOMPARE(ini.readString(QStringLiteral("WINDOW"), QStringLiteral("Top"), QString()), QStringLiteral("50"));
}

void TestE2eCommandLine::connectAlone()
{
    AppFixture fx;
    appSession->settings().modbusHost = QStringLiteral("127.0.0.1");
    appSession->link().setHost(QStringLiteral("127.0.0.1"));
    appSession->link().setPort(fx.gateway()->port());
    StartOptions o;
    o.connect = true;
    theApp->start(o);
    QTRY_VERIFY(appSession->isConnected());
    QCOMPARE(frmMain->windowTitle(), QStringLiteral("RM Tool [127.0.0.1]"));
    QVERIFY(!appSession->isMonitoring());
    QVERIFY(fx.messages.isEmpty());
}

void TestE2eCommandLine::monitorPressedAtFirstConnectionOnly()
{
    AppFixture fx;
    StartOptions o;
    o.monitor = true;
    theApp->start(o);  // without --connect it waits for the user's connection
    QVERIFY(!appSession->isMonitoring());
    QVERIFY(fx.connectGateway());
    QVERIFY(appSession->isMonitoring());
    QVERIFY(child<QToolButton>("sbtnMonitor")->isChecked());
    QTRY_VERIFY(fx.gateway()->requests().size() >= 2);
    // A later connection is the user's: monitoring waits for ▶ again.
    frmMain->sbtnDisConnClick();
    QTRY_VERIFY(!appSession->isConnected());
    QVERIFY(!appSession->isMonitoring());
    QVERIFY(fx.connectGateway());
    QVERIFY(!appSession->isMonitoring());
    QVERIFY(fx.messages.isEmpty());
}

void TestE2eCommandLine::trendOpenAtStart_data()
{
    QTest::addColumn<bool>("trend");
    QTest::newRow("with --trend") << true;
    QTest::newRow("without") << false;
}

void TestE2eCommandLine::trendOpenAtStart()
{
    QFETCH(bool, trend);
    AppFixture fx;
    frmMain->show();
    auto *window = controls::find<QDialog>(frmMain, "TfrmTrend");
    QVERIFY(!window->isVisible());
    appSession->settings().modbusHost = QStringLiteral("127.0.0.1");
    appSession->link().setHost(QStringLiteral("127.0.0.1"));
    appSession->link().setPort(fx.gateway()->port());
    StartOptions o;
    o.connect = true;
    o.monitor = true;
    o.trend = trend;
    theApp->start(o);
    QCOMPARE(window->isVisible(), trend);
    // The open window draws the polls of the monitoring the same start began.
    auto *chart = controls::find<trend::TrendChart>(window, "TrendChart");
    QTRY_VERIFY(appSession->isMonitoring());
    if (trend)
        QTRY_VERIFY(chart->points(0).size() >= 2);
    QVERIFY(fx.messages.isEmpty());
}

QTEST_MAIN(TestE2eCommandLine)
#include "test_e2e_command_line.moc"
