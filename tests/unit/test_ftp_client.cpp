// The FTP client against a real FTP server on 127.0.0.1, and the rules
// around it: line ends of text transfers, usable file names, the local
// text files.
#include "support/FtpTestServer.h"
#include "tools/ftp/FtpClient.h"
#include "tools/ftp/FtpFiles.h"
#include "tools/ftp/LineEnds.h"
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QTest>
#include <optional>

namespace {

// Runs one operation of the client and waits for its completion function.
template <typename Start>
std::optional<FtpClient::Result> run(Start start, int timeoutMs = 15000)
{
    std::optional<FtpClient::Result> result;
    start([&result](const FtpClient::Result &r) { result = r; });
    if (!QTest::qWaitFor([&] { return result.has_value(); }, timeoutMs))
        return std::nullopt;
    return result;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestFtpClient : public QObject {
    Q_OBJECT

    QTemporaryDir m_local;

    // A client logged in to the server, in /www/htdocs/ with ASCII transfers.
    bool login(FtpClient &client, const FtpTestServer &server)
    {
        client.setHost(QStringLiteral("127.0.0.1"));
        client.setPort(server.port());
        client.setUserName(QString::fromLatin1(FtpTestServer::kUser));
        client.setPassword(QString::fromLatin1(FtpTestServer::kPassword));
        auto c = run([&](auto done) { client.connectToServer(done); });
        if (!c || !c->ok || !client.isConnected())
            return false;
        auto d = run([&](auto done) { client.changeDir(QStringLiteral("/www/htdocs/"), done); });
        auto t = run([&](auto done) { client.setTransferType(FtpClient::TransferType::Ascii, done); });
        return d && d->ok && t && t->ok;
    }

private slots:
    void lineEnds_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        const auto crlf = int(LineEndConverter::Target::CrLf);
        const auto lf = int(LineEndConverter::Target::Lf);
        QTest::newRow("lf to crlf") << crlf << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("crlf stays crlf") << crlf << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("mixed to crlf") << crlf << QByteArray("a\r\n\nb\rc\n") << QByteArray("a\r\n\r\nb\rc\r\n");
        QTest::newRow("crlf to lf") << lf << QByteArray("a\r\nb\r\n") << QByteArray("a\nb\n");
        QTest::newRow("lone cr kept") << lf << QByteArray("a\rb\r\r\n\r") << QByteArray("a\rb\r\n\r");
        QTest::newRow("lf stays lf") << lf << QByteArray("\n\nx") << QByteArray("\n\nx");
    }
    void lineEnds()
    {
        QFETCH(int, target);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        // The data split into two chunks at every position, and byte by byte:
        // a CR LF pair cut in two must still be recognised.
        for (qsizetype cut = 0; cut <= input.size(); ++cut) {
            LineEndConverter c{LineEndConverter::Target(target)};
            QByteArray out = c.convert(input.left(cut));
            out += c.convert(input.mid(cut));
            out += c.finish();
            QVERIFY2(out == expected, qPrintable(QStringLiteral("cut at %1: %2").arg(cut).arg(QString::fromLatin1(out.toHex()))));
        }
        LineEndConverter c{LineEndConverter::Target(target)};
        QByteArray out;
        for (char ch : input)
            out += c.convert(QByteArrayView(&ch, 1));
        out += c.finish();
        QCOMPARE(out, expected);
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("usable");
        QTest::newRow("plain") << "trans.cfg" << true;
        QTest::newRow("dash") << "syslog-ng.cfg" << true;
        QTest::newRow("dots inside") << "a..b.cfg" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank") << "  " << false;
        QTest::newRow("parent") << ".." << false;
        QTest::newRow("self") << "." << false;
        QTest::newRow("up and out") << "../RMTool.ini" << false;
        QTest::newRow("backslash up") << "..\\RMTool.ini" << false;
        QTest::newRow("sub folder") << "sub/x.cfg" << false;
        QTest::newRow("absolute") << "/etc/passwd" << false;
        QTest::newRow("drive") << "C:x.cfg" << false;
        QTest::newRow("line break") << "a\r\nDELE x" << false;
        QTest::newRow("trailing blank") << "trans.cfg " << false;
    }
    void fileNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, usable);
        QCOMPARE(ftpfiles::fileNameProblem(name).isEmpty(), usable);
    }

    void textFiles()
    {
        // The editor's text is stored with CR LF and read back the same; a
        // file with other line ends reads as the same lines.
        const QString path = m_local.filePath(QStringLiteral("t.cfg"));
        QString error;
        QVERIFY(ftpfiles::writeTextFile(path, QStringLiteral("a=1\nb=2\n"), &error));
        QCOMPARE(readFile(path), QByteArray("a=1\r\nb=2\r\n"));
        QString text;
        QVERIFY(ftpfiles::readTextFile(path, &text, &error));
        QCOMPARE(text, QStringLiteral("a=1\nb=2\n"));
        writeFile(path, "x\ny\rz\r\n");
        QVERIFY(ftpfiles::readTextFile(path, &text, &error));
        QCOMPARE(text, QStringLiteral("x\ny\nz\n"));
        QVERIFY(!ftpfiles::writeTextFile(m_local.filePath(QStringLiteral("no/such/dir/t.cfg")), text, &error));
        QVERIFY(!error.isEmpty());
    }

    void sessionTransfers()
    {
        FtpTestServer server;
        QVERIFY(server.start());
        server.put(QStringLiteral("trans.cfg"), "[TRANS]\nCH1=1.0,0\nCH2=0.1,-5\n");
        FtpClient client;
        QSignalSpy connectedSpy(&client, &FtpClient::connected);
        QVERIFY(login(client, server));
        QCOMPARE(connectedSpy.count(), 1);
        QCOMPARE(client.currentDir(), QStringLiteral("/www/htdocs/"));

        // ASCII download: the local file gets CR LF line ends.
        const QString local = m_local.filePath(QStringLiteral("trans.cfg"));
        auto r = run([&](auto done) { client.download(QStringLiteral("trans.cfg"), local, done); });
        QVERIFY(r && r->ok);
        QCOMPARE(readFile(local), QByteArray("[TRANS]\r\nCH1=1.0,0\r\nCH2=0.1,-5\r\n"));

        // ASCII upload of a CR LF file: the server stores its own (LF) lines,
        // not doubled CRs.
        writeFile(local, "[TRANS]\r\nCH1=2.0,0\r\n");
        r = run([&](auto done) { client.upload(local, QStringLiteral("trans.cfg"), done); });
        QVERIFY(r && r->ok);
        QCOMPARE(server.get(QStringLiteral("trans.cfg")), QByteArray("[TRANS]\nCH1=2.0,0\n"));

        // Binary transfers leave the bytes alone.
        r = run([&](auto done) { client.setTransferType(FtpClient::TransferType::Binary, done); });
        QVERIFY(r && r->ok);
        const QByteArray raw("a\r\nb\nc\r\xff\x00", 9);
        writeFile(local, raw);
        r = run([&](auto done) { client.upload(local, QStringLiteral("raw.bin"), done); });
        QVERIFY(r && r->ok);
        QCOMPARE(server.get(QStringLiteral("raw.bin")), raw);
        QFile::remove(local);
        r = run([&](auto done) { client.download(QStringLiteral("raw.bin"), local, done); });
        QVERIFY(r && r->ok);
        QCOMPARE(readFile(local), raw);

        // All of it over the one control connection.
        QCOMPARE(server.logins(), 1);
        QVERIFY(client.isConnected());

        QSignalSpy gone(&client, &FtpClient::disconnected);
        r = run([&](auto done) { client.disconnectFromServer(done); });
        QVERIFY(r && r->ok);
        QCOMPARE(gone.count(), 1);
        QVERIFY(!client.isConnected());
        // A new session after the old one ended.
        QVERIFY(login(client, server));
        QCOMPARE(server.logins(), 2);
    }

    void failedOperations_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("kind");
        QTest::newRow("cwd to a missing folder") << "cwd" << int(FtpClient::FailureKind::ChangeDir);
        QTest::newRow("download of a missing file") << "download" << int(FtpClient::FailureKind::Download);
        QTest::newRow("upload into a missing folder") << "upload" << int(FtpClient::FailureKind::Upload);
    }
    void failedOperations()
    {
        QFETCH(QString, operation);
        QFETCH(int, kind);
        FtpTestServer server;
        QVERIFY(server.start());
        server.put(QStringLiteral("ok.cfg"), "ok\n");
        FtpClient client;
        QVERIFY(login(client, server));
        QList<int> kinds;
        connect(&client, &FtpClient::failure, this,
                [&kinds](FtpClient::FailureKind k, bool *) { kinds << int(k); });

        const QString local = m_local.filePath(QStringLiteral("keep.cfg"));
        writeFile(local, "previous\r\n");
        std::optional<FtpClient::Result> r;
        if (operation == QLatin1String("cwd"))
            r = run([&](auto done) { client.changeDir(QStringLiteral("/no/such/dir/"), done); });
        else if (operation == QLatin1String("download"))
            r = run([&](auto done) { client.download(QStringLiteral("missing.cfg"), local, done); });
        else
            r = run([&](auto done) { client.upload(local, QStringLiteral("nodir/x.cfg"), done); });
        QVERIFY(r);
        QVERIFY(!r->ok);
        QVERIFY2(r->replyCode >= 400 && r->replyCode < 600, qPrintable(r->message));
        QVERIFY2(r->message.startsWith(QString::number(r->replyCode)), qPrintable(r->message));
        QCOMPARE(kinds, QList<int>{kind});
        // Nothing lost locally, and the session carries on where it was.
        QCOMPARE(readFile(local), QByteArray("previous\r\n"));
        QVERIFY(client.isConnected());
        QCOMPARE(client.currentDir(), QStringLiteral("/www/htdocs/"));
        r = run([&](auto done) { client.download(QStringLiteral("ok.cfg"), local, done); });
        QVERIFY(r && r->ok);
        QCOMPARE(readFile(local), QByteArray("ok\r\n"));
        QCOMPARE(server.logins(), 1);
    }

    void connectFailures_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("wrong password") << "password";
        QTest::newRow("nobody listening") << "refused";
        QTest::newRow("bad host text") << "host";
    }
    void connectFailures()
    {
        QFETCH(QString, how);
        FtpTestServer server;
        QVERIFY(server.start());
        FtpClient client;
        client.setHost(QStringLiteral("127.0.0.1"));
        client.setPort(server.port());
        client.setUserName(QString::fromLatin1(FtpTestServer::kUser));
        client.setPassword(QString::fromLatin1(FtpTestServer::kPassword));
        if (how == QLatin1String("password")) {
            client.setPassword(QStringLiteral("wrong"));
        } else if (how == QLatin1String("refused")) {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            const quint16 closedPort = probe.serverPort();
            probe.close();
            client.setPort(closedPort);
        } else {
            client.setHost(QStringLiteral("127.0.0.1/evil"));
        }
        QSignalSpy ok(&client, &FtpClient::connected);
        QSignalSpy failed(&client, &FtpClient::connectionFailed);
        QSignalSpy ended(&client, &FtpClient::disconnected);
        auto r = run([&](auto done) { client.connectToServer(done); });
        QVERIFY(r);
        QVERIFY(!r->ok);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(ok.count(), 0);
        // No session was open, so none ends, also once the server and
        // libcurl are done with the refused connection.
        QVERIFY(!ended.wait(1000));
        QVERIFY(!client.isConnected());
        QVERIFY(!client.isBusy());
        QCOMPARE(server.logins(), 0);
    }

    void notConnected()
    {
        // Transfers without a session fail with the client's own error and
        // no failure notification (no server reply to tell about).
        FtpClient client;
        QSignalSpy failures(&client, &FtpClient::failure);
        const QString local = m_local.filePath(QStringLiteral("nc.cfg"));
        auto r = run([&](auto done) { client.download(QStringLiteral("x.cfg"), local, done); });
        QVERIFY(r && !r->ok);
        QVERIFY(r->message.contains(QStringLiteral("接続されていません")));
        QCOMPARE(failures.count(), 0);
        QVERIFY(!QFile::exists(local));
    }

    void silentServerTimesOut()
    {
        // A server that accepts the connection and never greets: the connect
        // ends with a failure after the response limit, and the event loop
        // runs meanwhile.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        QList<QTcpSocket *> held;
        connect(&silent, &QTcpServer::newConnection, this, [&] { held << silent.nextPendingConnection(); });
        FtpClient client;
        client.setTimeLimits({2000, 1, 2});
        client.setHost(QStringLiteral("127.0.0.1"));
        client.setPort(silent.serverPort());
        client.setUserName(QStringLiteral("u"));
        QSignalSpy failed(&client, &FtpClient::connectionFailed);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
        ticker.start(20);
        QElapsedTimer clock;
        clock.start();
        client.connectToServer();
        QVERIFY(failed.wait(10000));
        QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(ticks >= 20, qPrintable(QString::number(ticks)));
        QVERIFY(!client.isConnected());
        QCOMPARE(held.size(), 1);
    }

    void unansweredDownloadTimesOut()
    {
        // The server takes RETR and never answers: the download fails after
        // the response limit and the session, now unusable, ends.
        FtpTestServer server;
        QVERIFY(server.start({QStringLiteral("--hang-on"), QStringLiteral("hang.cfg")}));
        server.put(QStringLiteral("hang.cfg"), "x\n");
        FtpClient client;
        client.setTimeLimits({2000, 1, 2});
        QVERIFY(login(client, server));
        QSignalSpy failures(&client, &FtpClient::failure);
        QSignalSpy gone(&client, &FtpClient::disconnected);
        const QString local = m_local.filePath(QStringLiteral("hang.cfg"));
        QElapsedTimer clock;
        clock.start();
        auto r = run([&](auto done) { client.download(QStringLiteral("hang.cfg"), local, done); }, 15000);
        QVERIFY(r);
        QVERIFY(!r->ok);
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(failures.count(), 1);
        QCOMPARE(failures.at(0).at(0).value<FtpClient::FailureKind>(), FtpClient::FailureKind::Download);
        QTRY_COMPARE(gone.count(), 1);
        QVERIFY(!client.isConnected());
        QVERIFY(!QFile::exists(local));
    }

    void serverClosingEndsSession()
    {
        FtpTestServer server;
        QVERIFY(server.start());
        FtpClient client;
        QVERIFY(login(client, server));
        QSignalSpy gone(&client, &FtpClient::disconnected);
        server.stop();
        QVERIFY(gone.wait(5000));
        QCOMPARE(gone.count(), 1);
        QVERIFY(!client.isConnected());
    }

    void slowTransferKeepsEventLoopRunning()
    {
        // About 3 s of transfer: the call returns at once and a 20 ms timer
        // keeps firing until the file is complete.
        FtpTestServer server;
        QVERIFY(server.start({QStringLiteral("--throttle"), QStringLiteral("16384")}));
        QByteArray big;
        for (int i = 0; big.size() < 48 * 1024; ++i)
            big += "CH" + QByteArray::number(i) + "=1.000,0.000\n";
        server.put(QStringLiteral("big.cfg"), big);
        FtpClient client;
        QVERIFY(login(client, server));

        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
        ticker.start(20);
        const QString local = m_local.filePath(QStringLiteral("big.cfg"));
        std::optional<FtpClient::Result> result;
        QElapsedTimer clock;
        clock.start();
        client.download(QStringLiteral("big.cfg"), local, [&result](const FtpClient::Result &r) { result = r; });
        QVERIFY2(clock.elapsed() < 200, "download() blocked its caller");
        QVERIFY(QTest::qWaitFor([&] { return result.has_value(); }, 30000));
        QVERIFY(result->ok);
        QVERIFY2(clock.elapsed() > 1500, "the throttled transfer was not slow");
        QVERIFY2(ticks > clock.elapsed() / 20 / 2, qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(ticks).arg(clock.elapsed())));
        QByteArray expected = big;
        expected.replace("\n", "\r\n");
        QCOMPARE(readFile(local), expected);
    }
};

QTEST_MAIN(TestFtpClient)
#include "test_ftp_client.moc"
