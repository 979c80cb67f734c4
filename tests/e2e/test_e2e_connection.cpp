// The application shell and the connection states, driven through the real
// windows against the simulator on 127.0.0.1.
#include "support/TestApp.h"
#include "app/IniFile.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "support/AppFixture.h"
#include "support/MonitorControls.h"
#include "tools/modinfo/TfrmModInfo.h"
#include "support/Controls.h"
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QAction>
#include <QToolButton>

namespace {

QString statusBarText()
{
    return frmMain->statusBar()->currentMessage();
}

} // namespace

class TestE2eConnection : public QObject {
    Q_OBJECT
private slots:
    void startWithoutSettingsFile();
    void closeAsksAndAlwaysSaves();
    void notConnectedCommandsWarn();
    void connectFromModalDialog();
    void refusedConnection();
    void gatewayClosesTheConnection();
    void userDisconnects();
    void answersThroughImpairedStream_data();
    void answersThroughImpairedStream();
    void exceptionAnswerShownInStatusBar();
    // Last: the exit command ends the application's event loops for good.
    void exitDoesNotAsk();
};

void TestE2eConnection::startWithoutSettingsFile()
{
    AppFixture fx(false);
    QVERIFY(!QFile::exists(fx.settingsPath()));
    QCOMPARE(appSession->settings().windowTop, 50);
    QCOMPARE(appSession->settings().windowLeft, 100);
    QCOMPARE(appSession->link().port(), 502);
    QVERIFY(child<QAction>("N7")->isChecked());
    QVERIFY(!child<QAction>("SWAP1")->isChecked());
    QCOMPARE(frmMain->windowTitle(), QStringLiteral("RM Tool"));
    QVERIFY(child<QToolButton>("sbtnConn")->isEnabled());
    QVERIFY(!child<QToolButton>("sbtnDisConn")->isEnabled());
    QVERIFY(!child<QToolButton>("sbtnMonitor")->isEnabled());
    QCOMPARE(frmConnect->statusText(), QString());
    QVERIFY(appSession->link().inFlight().empty());
    // All ten windows exist, with their captions.
    const QStringList captions = {frmModInfo->windowTitle(), frmConnect->windowTitle()};
    QCOMPARE(captions, (QStringList{QStringLiteral("モジュール情報"), QStringLiteral("接続")}));
    QCOMPARE(controls::find<QLabel>(frmConnect, "HostAddress")->text(), QStringLiteral("192.168.1.200"));
    QCOMPARE(controls::find<QLabel>(frmConnect, "HostPort")->text(), QStringLiteral("502"));
}

void TestE2eConnection::closeAsksAndAlwaysSaves()
{
    AppFixture fx(false);
    frmMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmMain));
    fx.answerYes = false;
    frmMain->close();
    QCOMPARE(fx.messageTexts(), QStringList{QStringLiteral("終了しますか ?")});
    QCOMPARE(fx.messages.first().kind, msg::Kind::Question);
    QVERIFY(frmMain->isVisible());
    // The settings file was written anyway, with all seventeen keys.
    IniFile ini(fx.settingsPath());
    ini.load();
    int keys = 0;
    for (const QString &l : ini.lines())
        keys += l.contains(u'=') ? 1 : 0;
    QCOMPARE(keys, 17);
    QCOMPARE(ini.readString(QStringLiteral("MODBUS"), QStringLiteral("port"), QString()),
             QStringLiteral("502"));

    fx.answerYes = true;
    frmMain->close();
    QVERIFY(!frmMain->isVisible());
    QCOMPARE(fx.messages.size(), 2);
}

void TestE2eConnection::exitDoesNotAsk()
{
    AppFixture fx(false);
    frmMain->show();
    appSession->settings().ftpUser = QStringLiteral("engineer");
    child<QAction>("Exit1")->trigger();
    QVERIFY(fx.messages.isEmpty());
    QVERIFY(!frmMain->isVisible());
    IniFile ini(fx.settingsPath());
    ini.load();
    QCOMPARE(ini.readString(QStringLiteral("FTP"), QStringLiteral("user"), QString()),
             QStringLiteral("engineer"));
}

void TestE2eConnection::notConnectedCommandsWarn()
{
    AppFixture fx(false);
    child<QAction>("m1")->trigger();
    QCOMPARE(fx.messageTexts(), QStringList{QStringLiteral("リレイモに接続されていません")});
    QCOMPARE(fx.messages.first().kind, msg::Kind::Warning);
    QVERIFY(!frmModInfo->isVisible());
}

void TestE2eConnection::connectFromModalDialog()
{
    AppFixture fx;
    appSession->settings().modbusHost = QStringLiteral("127.0.0.1");
    appSession->link().setHost(QStringLiteral("127.0.0.1"));
    appSession->link().setPort(fx.gateway()->port());
    frmMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmMain));
    bool dialogWasShown = false;
    QTimer::singleShot(0, frmConnect, [&] {
        dialogWasShown = frmConnect->isVisible();
        controls::find<QPushButton>(frmConnect, "btnCONN")->click();
        // Safety net: never leave the modal loop hanging if connecting fails.
        QTimer::singleShot(5000, frmConnect, [] { frmConnect->reject(); });
    });
    child<QToolButton>("sbtnConn")->click();  // exec() returns once connected
    QVERIFY(dialogWasShown);
    QVERIFY(!frmConnect->isVisible());
    QVERIFY(appSession->isConnected());
    QCOMPARE(frmConnect->statusText(), QStringLiteral("接続しました"));
    QCOMPARE(frmMain->windowTitle(), QStringLiteral("RM Tool [127.0.0.1]"));
    QVERIFY(child<QToolButton>("sbtnDisConn")->isEnabled());
    QVERIFY(child<QToolButton>("sbtnMonitor")->isEnabled());
}

void TestE2eConnection::refusedConnection()
{
    AppFixture fx(false);
    QTcpServer probe;  // a port that nothing listens on
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 closedPort = probe.serverPort();
    probe.close();
    QVERIFY(!fx.connectTo(closedPort, 3000));
    QTRY_COMPARE(frmConnect->statusText(), QStringLiteral("接続エラー"));
    QCOMPARE(statusBarText(), QStringLiteral("以前に受け付けられた接続要求が完了できなかった"));
    QCOMPARE(frmMain->windowTitle(), QStringLiteral("RM Tool"));
    QVERIFY(!child<QToolButton>("sbtnDisConn")->isEnabled());
    QVERIFY(!child<QToolButton>("sbtnMonitor")->isEnabled());
    // A command that needs the gateway still refuses after the error.
    child<QAction>("m1")->trigger();
    QCOMPARE(fx.messageTexts().last(), QStringLiteral("リレイモに接続されていません"));
}

void TestE2eConnection::gatewayClosesTheConnection()
{
    // A server of our own that accepts, then hangs up.
    AppFixture fx(false);
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    QVERIFY(fx.connectTo(server.serverPort()));
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *peer = server.nextPendingConnection();
    QTest::mouseClick(child<QToolButton>("sbtnMonitor"), Qt::LeftButton);
    QVERIFY(appSession->isMonitoring());
    peer->disconnectFromHost();
    QTRY_COMPARE(frmConnect->statusText(), QStringLiteral("接続されていません"));
    QCOMPARE(frmMain->windowTitle(), QStringLiteral("NT900 Modbus/TCP Client"));
    QVERIFY(!appSession->isMonitoring());
    QVERIFY(!child<QToolButton>("sbtnDisConn")->isEnabled());
    QVERIFY(!child<QToolButton>("sbtnMonitor")->isEnabled());
    QCOMPARE(statusBarText(), QString());  // a close is not an error
}

void TestE2eConnection::userDisconnects()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    // While connected a different host is refused.
    QString error;
    QVERIFY(!appSession->link().setHost(QStringLiteral("127.0.0.2"), &error));
    QCOMPARE(error, QStringLiteral("使用中のソケットは値を変更できません"));
    frmMain->showStatusText(QStringLiteral("old"));
    QTest::mouseClick(child<QToolButton>("sbtnDisConn"), Qt::LeftButton);
    QTRY_COMPARE(frmConnect->statusText(), QStringLiteral("接続されていません"));
    QCOMPARE(statusBarText(), QString());
    QVERIFY(appSession->link().setHost(QStringLiteral("127.0.0.2")));
}

void TestE2eConnection::answersThroughImpairedStream_data()
{
    QTest::addColumn<bool>("split");
    QTest::addColumn<int>("coalesce");
    QTest::newRow("plain") << false << 0;
    QTest::newRow("split in two segments") << true << 0;
    QTest::newRow("coalesced by three") << false << 3;
    QTest::newRow("split and coalesced") << true << 2;
}

void TestE2eConnection::answersThroughImpairedStream()
{
    QFETCH(bool, split);
    QFETCH(int, coalesce);
    SimOptions o;
    o.split = split;
    o.coalesce = coalesce;
    AppFixture fx(true, o);
    QVERIFY(fx.connectGateway());
    QList<QPair<int, uint16_t>> got;
    QObject ctx;
    auto collect = [&](const Reply &r) {
        onAnswer(r, &ctx, [&](const LinkReply &a) { got << qMakePair(int(a.answer().tag()), a.answer().word(0)); });
    };
    fx.gateway()->setInputRegister(300, 0x0215);
    fx.gateway()->setInputRegister(310, 0x0110);
    for (int round = 0; round < 4; ++round) {
        collect(appSession->link().SendReadInputRegisters(30, 299, 2));
        collect(appSession->link().SendReadInputRegisters(31, 309, 2));
        collect(appSession->link().SendReadInputRegisters(32, 296, 3));
    }
    QTRY_COMPARE(got.size(), 12);
    for (int i = 0; i < 12; i += 3) {
        QCOMPARE(got[i], qMakePair(30, uint16_t(0x0102)));
        QCOMPARE(got[i + 1], qMakePair(31, uint16_t(0x0000)));
        QCOMPARE(got[i + 2], qMakePair(32, uint16_t(0x001A)));
    }
    QVERIFY(appSession->link().inFlight().empty());
    QVERIFY(controls::find<QLabel>(frmConnect, "StaticText2")->text().endsWith(QStringLiteral(" Byte(s) Recieved.")));
}

void TestE2eConnection::exceptionAnswerShownInStatusBar()
{
    SimOptions o;
    o.exceptionAddress = 300;
    AppFixture fx(true, o);
    QVERIFY(fx.connectGateway());
    int decoded = 0;
    QObject ctx;
    const Reply refused = appSession->link().SendReadInputRegisters(33, 296, 16);
    onAnswer(refused, &ctx, [&](const LinkReply &) { ++decoded; });
    QTRY_VERIFY(refused->isFinished());
    QVERIFY(refused->isException());
    QCOMPARE(decoded, 0);
    QVERIFY(statusBarText().contains(QStringLiteral("機能コード 4")));
    QVERIFY(statusBarText().contains(QStringLiteral("例外コード 2")));
    // Reads that do not cover the address still decode.
    onAnswer(appSession->link().SendReadInputRegisters(33, 301, 2), &ctx, [&](const LinkReply &) { ++decoded; });
    QTRY_COMPARE(decoded, 1);
}

QTEST_MAIN(TestE2eConnection)
#include "test_e2e_connection.moc"
