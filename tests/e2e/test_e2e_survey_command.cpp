// RMTool --site FILE --survey --report OUT as a script runs it: no display,
// the simulator serving the installation, the report and the journal
// written, the exit status and the one line on standard error of each
// failure.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kSite = R"({"format": "rmtool-site/1", "name": "試験盤",
  "terminals": [
    {"address": 0, "type": 0, "name": "炉", "channels": [{"channel": 0, "tag": "TC-1", "min": 0, "max": 5000}]},
    {"address": 12, "type": 3, "name": "動力盤", "channels": [{"channel": 0, "tag": "V-AB", "min": 1, "max": 2}]}]})";

QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    return env;
}

struct Run {
    int exitCode = -1;
    QString err;
};

Run runTool(const QStringList &args)
{
    QProcess p;
    p.setProcessEnvironment(withoutDisplay());
    p.start(QStringLiteral(RMTOOL_PATH), args);
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError())};
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestE2eSurveyCommand : public QObject {
    Q_OBJECT
private slots:
    void reportAndJournalWritten_data();
    void reportAndJournalWritten();
    void failuresExitWithOneLine_data();
    void failuresExitWithOneLine();
};

void TestE2eSurveyCommand::reportAndJournalWritten_data()
{
    QTest::addColumn<bool>("fileGateway");
    // The settings name the simulator's port.
    QTest::newRow("settings' gateway") << false;
    // The file names a gateway on 127.0.0.1: the simulator, started with the
    // file alone, listens there and the survey goes there, whatever the
    // settings say.
    QTest::newRow("file's gateway") << true;
}

void TestE2eSurveyCommand::reportAndJournalWritten()
{
    QFETCH(bool, fileGateway);
    QTemporaryDir dir;
    const QString site = dir.filePath(QStringLiteral("panel.rmsite"));
    QByteArray siteText = kSite;
    QStringList simArgs{QStringLiteral("--site"), site};
    QByteArray filePort;
    if (fileGateway) {
        QTcpServer probe;  // a free port
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        filePort = QByteArray::number(probe.serverPort());
        probe.close();
        siteText.replace("\"name\": \"試験盤\",",
                         "\"name\": \"試験盤\", \"gateway\": {\"host\": \"127.0.0.1\", \"port\": " + filePort + "},");
    } else {
        simArgs << QStringLiteral("--port") << QStringLiteral("0");
    }
    QVERIFY(writeFile(site, siteText));
    QProcess sim;
    sim.setProcessChannelMode(QProcess::MergedChannels);
    sim.start(QStringLiteral(RELAYMO_SIM_PATH), simArgs);
    QVERIFY(sim.waitForStarted());
    QString simOut;
    const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    QTRY_VERIFY_WITH_TIMEOUT((simOut += QString::fromLocal8Bit(sim.readAll()), listening.match(simOut).hasMatch()),
                             10000);
    const QByteArray simPort = listening.match(simOut).captured(1).toLatin1();
    if (fileGateway)
        QCOMPARE(simPort, filePort);
    // With the file's gateway, settings that lead nowhere (port 1 refuses).
    const QString ini = dir.filePath(QStringLiteral("rm.ini"));
    QVERIFY(writeFile(ini, "[MODBUS]\r\nhost=127.0.0.1\r\nport=" + (fileGateway ? QByteArray("1") : simPort) + "\r\n"));
    const QString report = dir.filePath(QStringLiteral("report.html"));

    const Run run = runTool({"--settings", ini, "--site", site, "--survey", "--report", report, "--samples", "2"});
    sim.kill();
    sim.waitForFinished();
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));

    QFile r(report);
    QVERIFY(r.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(r.readAll());
    // Both terminals with both samples and their tags.
    for (const char *text : {"試験盤", "炉", "動力盤", "受信 2 / 2", "TC-1", "V-AB"})
        QVERIFY2(html.contains(QString::fromUtf8(text)), text);
    // The survey's settings read of the power terminal went into the
    // journal beside the settings file: into settings mode and out again.
    QFile j(dir.filePath(QStringLiteral("RMTool-journal.csv")));
    QVERIFY(j.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(j.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines[1].contains(QStringLiteral(",一括点検,6,41069,1,OK")), qPrintable(lines[1]));
    QVERIFY2(lines[2].contains(QStringLiteral(",一括点検,6,41069,0,OK")), qPrintable(lines[2]));
    // ... and the journal is in the report too.
    QVERIFY(html.contains(QStringLiteral("41069")));
}

void TestE2eSurveyCommand::failuresExitWithOneLine_data()
{
    QTest::addColumn<QByteArray>("site");
    QTest::addColumn<QString>("line");  // a pattern the one line matches whole
    QTest::newRow("gateway not reached") << kSite << "RMTool: cannot reach the gateway at 127\\.0\\.0\\.1:\\d+: .+";
    QTest::newRow("file refused") << QByteArray(R"({"format": "rmtool-site/1", "terminals": [{"address": 64, "type": 0}]})")
                                  << "RMTool: .*bad\\.rmsite.*64.*";
}

void TestE2eSurveyCommand::failuresExitWithOneLine()
{
    QFETCH(QByteArray, site);
    QFETCH(QString, line);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bad.rmsite"));
    QVERIFY(writeFile(file, site));
    // A port nobody listens on any more.
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    const QByteArray port = QByteArray::number(closed.serverPort());
    closed.close();
    const QString ini = dir.filePath(QStringLiteral("rm.ini"));
    QVERIFY(writeFile(ini, "[MODBUS]\r\nhost=127.0.0.1\r\nport=" + port + "\r\n"));
    const QString report = dir.filePath(QStringLiteral("r.pdf"));
    const Run run = runTool({"--settings", ini, "--site", file, "--survey", "--report", report});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.endsWith(u'\n') && run.err.count(u'\n') == 1, qPrintable(run.err));
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(line)).match(run.err.trimmed()).hasMatch(),
             qPrintable(run.err));
    QVERIFY(!QFile::exists(report));
}

QTEST_MAIN(TestE2eSurveyCommand)
#include "test_e2e_survey_command.moc"
