// relaymo-sim --control, driven through RemoteGateway as the Windows tests
// drive it from under Wine: each control connection has a gateway of its
// own, what the test sets is what a client reads, and the requests a
// client sends come back whole.
#include "link/ModbusLink.h"
#include "support/RemoteGateway.h"
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

namespace {

bool connectTo(ModbusLink &link, quint16 port)
{
    link.setHost(QStringLiteral("127.0.0.1"));
    link.setPort(port);
    QSignalSpy connected(&link, &ModbusLink::connected);
    link.open();
    return connected.wait(5000);
}

} // namespace

class TestSimControl : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void gatewaysOfTheirOwn();
    void requestsAndRegistersSeenByAClient();
    void terminalSettingsAndOptions();
    void wrongCommandsAreRefused();

private:
    QProcess m_sim;
    quint16 m_control = 0;
};

void TestSimControl::initTestCase()
{
    m_sim.start(QStringLiteral(RELAYMO_SIM_PATH), {QStringLiteral("--control"), QStringLiteral("0")});
    QVERIFY(m_sim.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return m_sim.canReadLine(); }, 5000));
    const QString first = QString::fromUtf8(m_sim.readLine()).trimmed();
    const auto m = QRegularExpression(QStringLiteral("^relaymo-sim control on 127\\.0\\.0\\.1:(\\d+)$")).match(first);
    QVERIFY2(m.hasMatch(), qPrintable(first));
    m_control = quint16(m.captured(1).toUInt());
    qputenv("RMTOOL_SIM_CONTROL", QByteArray::number(m_control));
}

void TestSimControl::cleanupTestCase()
{
    m_sim.kill();
    m_sim.waitForFinished();
}

void TestSimControl::gatewaysOfTheirOwn()
{
    quint16 firstPort = 0;
    {
        RemoteGateway a({}), b({});
        firstPort = a.port();
        QVERIFY(a.port() != 0 && b.port() != 0 && a.port() != b.port());
        a.setHoldingRegister(1000, 4321);
        b.setHoldingRegister(1000, 7);
        QCOMPARE(a.holdingRegister(1000), 4321);
        QCOMPARE(b.holdingRegister(1000), 7);
        a.setCoil(4020, true);
        QVERIFY(a.coil(4020));
        QVERIFY(!b.coil(4020));
    }
    // Its control connection gone, a gateway stops listening.
    QTcpSocket probe;
    QVERIFY(QTest::qWaitFor([&] {
        probe.abort();
        probe.connectToHost(QStringLiteral("127.0.0.1"), firstPort);
        return !probe.waitForConnected(500);
    }, 5000));
}

void TestSimControl::requestsAndRegistersSeenByAClient()
{
    RemoteGateway gw({});
    gw.setInputRegister(3000, 0xBEEF);
    gw.setDiscreteInput(12, true);
    QVERIFY(gw.discreteInput(12));
    ModbusLink link;
    QVERIFY(connectTo(link, gw.port()));
    const Reply read = link.SendReadInputRegisters(3, 3000, 1);
    QVERIFY(QTest::qWaitFor([&] { return read->isFinished(); }, 5000));
    QVERIFY(read->isGoodAnswer());
    QCOMPARE(read->answer().word(0), 0xBEEF);
    link.SendWriteTwoRegisters(1280, 0x12345678);
    link.SendWriteSingleRegister(1000, 1);
    QList<SimRequest> seen;
    QVERIFY(QTest::qWaitFor([&] { return (seen = gw.requests()).size() == 3; }, 5000));
    QCOMPARE(seen[0].text(), QStringLiteral("REQ tag=3 fn=4 addr=3000 count=1"));
    QCOMPARE(seen[1].function, 16);
    QCOMPARE(seen[1].values, (QList<quint16>{0x5678, 0x1234}));
    QCOMPARE(seen[2].text(), QStringLiteral("REQ tag=254 fn=6 addr=1000 value=1"));
    QCOMPARE(gw.holdingRegister(1000), 1);
    gw.clearRequests();
    QVERIFY(gw.requests().isEmpty());

    // Held still, the live data stays as it is over several ticks.
    gw.setTicking(false);
    const quint16 held = gw.inputRegister(2624);
    QTest::qWait(350);
    QCOMPARE(gw.inputRegister(2624), held);
    gw.setTicking(true);
    QVERIFY(QTest::qWaitFor([&] { return gw.inputRegister(2624) != held; }, 3000));
}

void TestSimControl::terminalSettingsAndOptions()
{
    RemoteGateway gw({});
    // The default installation's current terminal of 8 circuits at word
    // address 24 and no settings terminal at 4 (a counter).
    const auto current = gw.terminalAt(24);
    QVERIFY(current);
    QCOMPARE(current->ranges.size(), 8);
    QVERIFY(!gw.terminalAt(4));
    QVERIFY(!gw.inSettingsMode(24));

    gw.setOption(QStringLiteral("exception-at"), 3000);
    ModbusLink link;
    QVERIFY(connectTo(link, gw.port()));
    const Reply read = link.SendReadInputRegisters(3, 2990, 20);
    QVERIFY(QTest::qWaitFor([&] { return read->isFinished(); }, 5000));
    QVERIFY(!read->isGoodAnswer());
}

void TestSimControl::wrongCommandsAreRefused()
{
    QTcpSocket s;
    s.connectToHost(QStringLiteral("127.0.0.1"), m_control);
    QVERIFY(s.waitForConnected(5000));
    const auto answer = [&](const QByteArray &command) {
        s.write(command + '\n');
        while (!s.canReadLine())
            if (!s.waitForReadyRead(5000))
                return QByteArray("<none>");
        return s.readLine().trimmed();
    };
    QVERIFY(answer("get hr 1").startsWith("error no gateway"));
    QVERIFY(answer("start delay=oops").startsWith("error bad option"));
    QVERIFY(answer("start").startsWith("ok "));
    QVERIFY(answer("set hr 1 70000").startsWith("error"));
    QVERIFY(answer("get xx 1").startsWith("error"));
    QVERIFY(answer("option split 1").startsWith("error"));
    QCOMPARE(answer("get hr 1"), QByteArray("ok 0"));
}

QTEST_MAIN(TestSimControl)
#include "test_sim_control.moc"
