// The FTP tool window driven through its controls against a real FTP
// server on 127.0.0.1.
#include "support/AppFixture.h"
#include "support/TmpfsMount.h"
#include "support/FtpTestServer.h"
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "tools/ftp/FtpFiles.h"
#include "tools/ftp/TfrmFTPtool.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>

namespace {

template <typename T>
T *control(const char *name)
{
    T *c = frmFTPtool->findChild<T *>(QLatin1String(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

QString status() { return control<QLabel>("FTPStatus")->text(); }
QPlainTextEdit *memo() { return control<QPlainTextEdit>("Memo1"); }
void click(const char *button) { control<QPushButton>(button)->click(); }

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const char *const kSample = "# engineering unit conversion\nCH01=1.000,0.000\nCH02=0.100,-40.000\n";

} // namespace

class TestFtpTool : public QObject {
    Q_OBJECT

    std::unique_ptr<AppFixture> fx;
    std::unique_ptr<FtpTestServer> server;
    QString programDir;

    // The tool opened from the menu with the FTP settings pointing at the
    // test server.
    void openTool()
    {
        appSession->settings().ftpHost = QStringLiteral("127.0.0.1");
        appSession->settings().ftpPort = QString::number(server->port());
        appSession->settings().ftpUser = QString::fromLatin1(FtpTestServer::kUser);
        appSession->settings().ftpPass = QString::fromLatin1(FtpTestServer::kPassword);
        triggerMenu("FTPF2");
    }
    // Connect pressed and the connection's follow-up finished.
    bool connectTool()
    {
        openTool();
        click("BtnFTPconnect");
        FtpClient *c = frmFTPtool->ftpClient;
        return QTest::qWaitFor([c] {
            return !c->isBusy() && c->isConnected() && c->transferType() == FtpClient::TransferType::Ascii;
        }, 15000);
    }
    bool waitIdle() { return QTest::qWaitFor([] { return !frmFTPtool->ftpClient->isBusy(); }, 15000); }

private slots:
    void init()
    {
        fx = std::make_unique<AppFixture>(false);
        server = std::make_unique<FtpTestServer>();
        programDir = fx->dir() + QStringLiteral("/program");
        QDir().mkpath(programDir);
        ftpfiles::setLocalFolderOverride(programDir);
    }
    void cleanup()
    {
        fx.reset();
        server.reset();
        ftpfiles::setLocalFolderOverride(QString());
    }

    void fileChoice_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("file");
        QTest::newRow("master") << 0 << "mstcfg.cfg";
        QTest::newRow("trend data") << 1 << "trenddata.cfg";
        QTest::newRow("linearise") << 2 << "linear.cfg";
        QTest::newRow("unit conversion") << 3 << "trans.cfg";
        QTest::newRow("other: typed") << 4 << "my own.cfg";
    }
    void fileChoice()
    {
        QFETCH(int, choice);
        QFETCH(QString, file);
        // At creation: the settings' host and port, the first choice, no name.
        QCOMPARE(control<QLabel>("FTPhostIP")->text(), appSession->settings().ftpHost);
        QCOMPARE(control<QLabel>("FTPhostPort")->text(), QStringLiteral("21"));
        QVERIFY(control<QRadioButton>("rbFile0")->isChecked());
        QCOMPARE(control<QComboBox>("ComboFileName")->currentText(), QString());
        control<QComboBox>("ComboFileName")->setEditText(QStringLiteral("my own.cfg"));
        frmFTPtool->setFileChoice(choice);
        QCOMPARE(frmFTPtool->chosenFileName(), file);
    }

    void pickingFromTheListChoosesOther()
    {
        auto *combo = control<QComboBox>("ComboFileName");
        QCOMPARE(combo->count(), 19);
        const int ntp = combo->findText(QStringLiteral("ntp.cfg"));
        QCOMPARE(ntp, 3);
        combo->setCurrentIndex(ntp);
        emit combo->activated(ntp);
        QVERIFY(control<QRadioButton>("rbFile4")->isChecked());

        // ... and a download then transfers that file.
        QVERIFY(server->start());
        server->put(QStringLiteral("ntp.cfg"), "server=127.0.0.1\n");
        QVERIFY(connectTool());
        click("btnDownload");
        QTRY_COMPARE(memo()->toPlainText(), QStringLiteral("server=127.0.0.1\n"));
        QCOMPARE(readFile(programDir + QStringLiteral("/ntp.cfg")), QByteArray("server=127.0.0.1\r\n"));
    }

    void connectAndLoginFailure()
    {
        QVERIFY(server->start());
        QVERIFY(connectTool());
        QCOMPARE(status(), QStringLiteral("接続：relaymo"));
        QCOMPARE(frmFTPtool->ftpClient->currentDir(), QStringLiteral("/www/htdocs/"));
        QVERIFY(fx->messages.isEmpty());

        // A wrong password: "接続失敗" and nothing else.
        appSession->settings().ftpPass = QStringLiteral("wrong");
        click("BtnFTPconnect");
        QVERIFY(waitIdle());
        QCOMPARE(status(), QStringLiteral("接続失敗"));
        QVERIFY(!frmFTPtool->ftpClient->isConnected());
        QVERIFY2(fx->messages.isEmpty(), qPrintable(fx->messageTexts().join(u'|')));
    }

    void refusedLoginShowsOnlyFailure_data()
    {
        QTest::addColumn<bool>("connectedBefore");
        QTest::newRow("no session before") << false;
        QTest::newRow("session open before") << true;
    }
    void refusedLoginShowsOnlyFailure()
    {
        QFETCH(bool, connectedBefore);
        QVERIFY(server->start());
        if (connectedBefore)
            QVERIFY(connectTool());
        else
            openTool();
        FtpClient *c = frmFTPtool->ftpClient;
        // The status after each notification, in order (queued: the
        // dialog's own handler runs first).
        QStringList shown;
        QObject scope;
        auto note = [&shown] { shown << status(); };
        connect(c, &FtpClient::connected, &scope, note, Qt::QueuedConnection);
        connect(c, &FtpClient::disconnected, &scope, note, Qt::QueuedConnection);
        connect(c, &FtpClient::connectionFailed, &scope, note, Qt::QueuedConnection);

        appSession->settings().ftpPass = QStringLiteral("wrong");
        click("BtnFTPconnect");
        QVERIFY(QTest::qWaitFor([&] { return shown.contains(QStringLiteral("接続失敗")) && !c->isBusy(); },
                                15000));
        // Whatever the server and libcurl still do with the refused control
        // connection, the status stays.
        QVERIFY2(!QTest::qWaitFor([] { return status() != QStringLiteral("接続失敗"); }, 1000),
                 qPrintable(status()));
        // "切断されました" only where a session was open before.
        const QStringList expected = connectedBefore
            ? QStringList{QStringLiteral("切断されました"), QStringLiteral("接続失敗")}
            : QStringList{QStringLiteral("接続失敗")};
        QCOMPARE(shown, expected);
        QVERIFY(!c->isConnected());
        QVERIFY2(fx->messages.isEmpty(), qPrintable(fx->messageTexts().join(u'|')));

        // The right password then logs in as usual.
        appSession->settings().ftpPass = QString::fromLatin1(FtpTestServer::kPassword);
        shown.clear();
        click("BtnFTPconnect");
        QVERIFY(QTest::qWaitFor([&] { return !shown.isEmpty() && !c->isBusy(); }, 15000));
        QCOMPARE(shown, QStringList{QStringLiteral("接続：relaymo")});
    }

    void fullLocalDiskKeepsLocalCopy()
    {
        // The program folder on a small disk of its own, filled up.
        TmpfsMount disk(64);
        if (!disk.isMounted())
            QSKIP(qPrintable(disk.problem()));
        ftpfiles::setLocalFolderOverride(disk.path());
        const QString local = disk.path() + QStringLiteral("trans.cfg");
        QString error;
        QVERIFY(ftpfiles::writeTextFile(local, QStringLiteral("old copy\n"), &error));
        QVERIFY(server->start());
        server->put(QStringLiteral("trans.cfg"), kSample);
        QVERIFY(connectTool());
        control<QRadioButton>("rbFile3")->click();
        QVERIFY(disk.fill());

        // Download: the file does not fit; reported, the old local copy and
        // the editor stay as they were.
        memo()->setPlainText(QStringLiteral("being edited"));
        click("btnDownload");
        QVERIFY(waitIdle());
        QCOMPARE(fx->messages.size(), 1);
        QVERIFY2(fx->messages.at(0).text.contains(QStringLiteral("書き込めません")),
                 qPrintable(fx->messages.at(0).text));
        QCOMPARE(readFile(local), QByteArray("old copy\r\n"));
        QCOMPARE(memo()->toPlainText(), QStringLiteral("being edited"));
        // The session goes on: only the local file failed.
        QCOMPARE(status(), QStringLiteral("Download failed"));
        QVERIFY(frmFTPtool->ftpClient->isConnected());

        // Upload: the editor text cannot be stored locally, so nothing is
        // sent and the old local copy stays whole.
        click("btnUpload");
        QVERIFY(waitIdle());
        QCOMPARE(fx->messages.size(), 2);
        QVERIFY(fx->messages.at(1).text.contains(QStringLiteral("書き込めません")));
        QCOMPARE(readFile(local), QByteArray("old copy\r\n"));
        QCOMPARE(server->get(QStringLiteral("trans.cfg")), QByteArray(kSample));
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{".filler", "trans.cfg"}));

        // With space again the download replaces the copy.
        QVERIFY(disk.freeSpace());
        click("btnDownload");
        QTRY_COMPARE(memo()->toPlainText(), QString::fromLatin1(kSample));
        QCOMPARE(readFile(local), QByteArray(kSample).replace("\n", "\r\n"));
        ftpfiles::setLocalFolderOverride(programDir);
    }

    void downloadEditUpload()
    {
        QVERIFY(server->start());
        server->put(QStringLiteral("trans.cfg"), kSample);
        QVERIFY(connectTool());
        control<QRadioButton>("rbFile3")->click();
        click("btnDownload");
        QTRY_COMPARE(memo()->toPlainText(), QString::fromLatin1(kSample));
        const QString local = programDir + QStringLiteral("/trans.cfg");
        QCOMPARE(readFile(local), QByteArray(kSample).replace("\n", "\r\n"));

        // One line changed, uploaded under the same name.
        QString text = memo()->toPlainText();
        text.replace(QStringLiteral("CH02=0.100,-40.000"), QStringLiteral("CH02=0.250,-10.000"));
        memo()->setPlainText(text);
        click("btnUpload");
        QVERIFY(waitIdle());
        QByteArray expected(kSample);
        expected.replace("CH02=0.100,-40.000", "CH02=0.250,-10.000");
        QCOMPARE(server->get(QStringLiteral("trans.cfg")), expected);
        QCOMPARE(readFile(local), QByteArray(expected).replace("\n", "\r\n"));

        // Downloading again shows the edit.
        memo()->clear();
        click("btnDownload");
        QTRY_COMPARE(memo()->toPlainText(), QString::fromLatin1(expected));
        QVERIFY(fx->messages.isEmpty());
        QCOMPARE(server->logins(), 1);
    }

    void missingFileKeepsEditor()
    {
        QVERIFY(server->start());
        QVERIFY(connectTool());
        control<QComboBox>("ComboFileName")->setEditText(QStringLiteral("missing.cfg"));
        control<QRadioButton>("rbFile4")->click();
        memo()->setPlainText(QStringLiteral("text being edited"));
        click("btnDownload");
        QVERIFY(waitIdle());
        QCOMPARE(status(), QStringLiteral("Download failed"));
        QCOMPARE(fx->messages.size(), 1);
        QCOMPARE(fx->messages.at(0).kind, msg::Kind::Error);
        QVERIFY2(fx->messages.at(0).text.startsWith(QStringLiteral("550")), qPrintable(fx->messages.at(0).text));
        QCOMPARE(memo()->toPlainText(), QStringLiteral("text being edited"));
        QVERIFY(!QFile::exists(programDir + QStringLiteral("/missing.cfg")));
        // The session goes on.
        QVERIFY(frmFTPtool->ftpClient->isConnected());
    }

    void reconnectWhileConnected()
    {
        QVERIFY(server->start());
        QVERIFY(connectTool());
        QStringList shown;
        FtpClient *c = frmFTPtool->ftpClient;
        // The status after each notification, in order (queued: the
        // dialog's own handler runs first).
        QObject scope;
        connect(c, &FtpClient::disconnected, &scope, [&shown] { shown << status(); }, Qt::QueuedConnection);
        connect(c, &FtpClient::connected, &scope, [&shown] { shown << status(); }, Qt::QueuedConnection);
        click("BtnFTPconnect");
        QVERIFY(QTest::qWaitFor([&] { return shown.size() == 2 && !c->isBusy(); }, 15000));
        QCOMPARE(shown, (QStringList{QStringLiteral("切断されました"), QStringLiteral("接続：relaymo")}));
        QCOMPARE(c->currentDir(), QStringLiteral("/www/htdocs/"));
        QCOMPARE(server->logins(), 2);

        // The disconnect button ends the session.
        shown.clear();
        click("BtnFTPdisconnect");
        QVERIFY(waitIdle());
        QCOMPARE(status(), QStringLiteral("切断されました"));
        QVERIFY(!c->isConnected());
    }

    void unsafeNamesRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent folder") << "../victim.cfg";
        QTest::newRow("parent, backslash") << "..\\victim.cfg";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("sub folder") << "www/victim.cfg";
        QTest::newRow("absolute") << "@ABS@";
    }
    void unsafeNamesRefused()
    {
        QFETCH(QString, name);
        // victim.cfg beside the program folder, and one above the remote
        // folder on the server.
        const QString victim = fx->dir() + QStringLiteral("/victim.cfg");
        if (name == QLatin1String("@ABS@"))
            name = victim;
        QFile v(victim);
        QVERIFY(v.open(QIODevice::WriteOnly));
        v.write("keep me\r\n");
        v.close();
        QVERIFY(server->start());
        QFile remote(server->root() + QStringLiteral("/www/victim.cfg"));
        QVERIFY(remote.open(QIODevice::WriteOnly));
        remote.write("keep me too\n");
        remote.close();
        server->put(QStringLiteral("victim.cfg"), "bait\n");
        QVERIFY(connectTool());

        control<QComboBox>("ComboFileName")->setEditText(name);
        control<QRadioButton>("rbFile4")->click();
        memo()->setPlainText(QStringLiteral("overwrite attempt"));
        click("btnDownload");
        click("btnUpload");
        // Refused at once, with a message each, before anything is queued.
        QVERIFY(!frmFTPtool->ftpClient->isBusy());
        QCOMPARE(fx->messages.size(), 2);
        for (const msg::Shown &m : fx->messages) {
            QCOMPARE(m.kind, msg::Kind::Warning);
            QVERIFY2(m.text.contains(QStringLiteral("ファイル名")), qPrintable(m.text));
        }
        QCOMPARE(readFile(victim), QByteArray("keep me\r\n"));
        QCOMPARE(readFile(server->root() + QStringLiteral("/www/victim.cfg")), QByteArray("keep me too\n"));
        QCOMPARE(memo()->toPlainText(), QStringLiteral("overwrite attempt"));
        QCOMPARE(QDir(programDir).entryList(QDir::Files), QStringList());
        QCOMPARE(status(), QStringLiteral("接続：relaymo"));
    }

    void commandsWithoutSession()
    {
        // No session: the download's error is reported, nothing is written.
        openTool();
        memo()->setPlainText(QStringLiteral("keep"));
        click("btnDownload");
        QVERIFY(waitIdle());
        QCOMPARE(fx->messages.size(), 1);
        QCOMPARE(fx->messages.at(0).kind, msg::Kind::Error);
        QVERIFY(fx->messages.at(0).text.contains(QStringLiteral("接続されていません")));
        QCOMPARE(memo()->toPlainText(), QStringLiteral("keep"));
        QCOMPARE(status(), QString());

        // A port text that is not a number stops the connect.
        control<QLabel>("FTPhostPort")->setText(QStringLiteral("2l"));
        click("BtnFTPconnect");
        QCOMPARE(fx->messages.size(), 2);
        QCOMPARE(fx->messages.at(1).text, QStringLiteral("'2l' は有効な整数値ではありません"));
        QVERIFY(!frmFTPtool->ftpClient->isBusy());
        QCOMPARE(status(), QString());
    }

    void serverGoingAwayShowsDisconnect()
    {
        QVERIFY(server->start());
        QVERIFY(connectTool());
        server->stop();
        QTRY_COMPARE_WITH_TIMEOUT(status(), QStringLiteral("切断されました"), 5000);
        QVERIFY(fx->messages.isEmpty());
    }

    void windowKeepsWorkingDuringSlowDownload()
    {
        QVERIFY(server->start({QStringLiteral("--throttle"), QStringLiteral("16384")}));
        QByteArray big;
        for (int i = 0; big.size() < 40 * 1024; ++i)
            big += "TREND" + QByteArray::number(i) + "=30001,1,0\n";
        server->put(QStringLiteral("trenddata.cfg"), big);
        QVERIFY(connectTool());
        control<QRadioButton>("rbFile1")->click();
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
        ticker.start(20);
        QElapsedTimer clock;
        clock.start();
        click("btnDownload");
        QVERIFY2(clock.elapsed() < 200, "the download button blocked the window");
        // While the file comes in, the editor still takes input.
        QTest::qWait(300);
        memo()->setPlainText(QStringLiteral("typed meanwhile"));
        QVERIFY(frmFTPtool->ftpClient->isBusy());
        QTRY_COMPARE_WITH_TIMEOUT(memo()->toPlainText(), QString::fromLatin1(big), 30000);
        QVERIFY2(clock.elapsed() > 1500, "the throttled transfer was not slow");
        QVERIFY2(ticks > clock.elapsed() / 20 / 2,
                 qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(ticks).arg(clock.elapsed())));
    }

    void settingsButtonOpensFtpPage()
    {
        openTool();
        control<QLabel>("FTPhostIP")->setText(QStringLiteral("127.0.0.2"));
        QString page, host, port, user;
        QTimer::singleShot(0, this, [&] {
            if (auto *pages = frmGWcfg->findChild<QTabWidget *>(QStringLiteral("PageControl1")))
                page = pages->currentWidget()->objectName();
            if (auto *e = frmGWcfg->findChild<QLineEdit *>(QStringLiteral("FTPIP")))
                host = e->text();
            if (auto *e = frmGWcfg->findChild<QLineEdit *>(QStringLiteral("FTPport")))
                port = e->text();
            if (auto *e = frmGWcfg->findChild<QLineEdit *>(QStringLiteral("FTPuser")))
                user = e->text();
            frmGWcfg->reject();
        });
        click("BtnFTPconfig");
        QCOMPARE(page, QStringLiteral("TabFTP"));
        QCOMPARE(host, QStringLiteral("127.0.0.2"));
        QCOMPARE(port, QString::number(server->port()));
        QCOMPARE(user, QString::fromLatin1(FtpTestServer::kUser));
    }
};

QTEST_MAIN(TestFtpTool)
#include "test_ftp_tool.moc"
