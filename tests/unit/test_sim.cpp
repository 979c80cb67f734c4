// relaymo-sim as a program: its start line, its trace, its clock, and a
// third-party Modbus client reading the documented registers.
#include "link/ModbusLink.h"
#include "sim/SimClock.h"
#include "sim/SimModuleInfo.h"
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

class TestSim : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void traceOfEveryRequest();
    void thirdPartyClientReadsModuleInformation();
    void clockSetThroughHoldingRegisters();

private:
    bool connectLink();
    QList<uint16_t> readInput(uint8_t tag, int address, int count);

    QProcess m_sim;
    quint16 m_port = 0;
    ModbusLink m_link;
};

void TestSim::init()
{
    m_sim.setProgram(QStringLiteral(RELAYMO_SIM_PATH));
    m_sim.setArguments({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--trace")});
    m_sim.start();
    QVERIFY(m_sim.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return m_sim.canReadLine(); }, 5000));
    const QString first = QString::fromUtf8(m_sim.readLine()).trimmed();
    const auto m = QRegularExpression(QStringLiteral("^relaymo-sim listening on 127\\.0\\.0\\.1:(\\d+)$")).match(first);
    QVERIFY2(m.hasMatch(), qPrintable(first));
    m_port = quint16(m.captured(1).toUInt());
    QVERIFY(m_port != 0);
}

void TestSim::cleanup()
{
    m_link.close();
    m_sim.kill();
    m_sim.waitForFinished();
}

bool TestSim::connectLink()
{
    m_link.setHost(QStringLiteral("127.0.0.1"));
    m_link.setPort(m_port);
    QSignalSpy connected(&m_link, &ModbusLink::connected);
    m_link.open();
    return connected.wait(5000);
}

QList<uint16_t> TestSim::readInput(uint8_t tag, int address, int count)
{
    QList<uint16_t> words;
    const Reply reply = m_link.SendReadInputRegisters(tag, uint32_t(address), uint32_t(count));
    if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 5000) || !reply->isGoodAnswer())
        return words;  // no answer in time
    for (int i = 0; i < reply->answer().wordCount(); ++i)
        words << reply->answer().word(i);
    return words;
}

void TestSim::traceOfEveryRequest()
{
    QVERIFY(connectLink());
    QCOMPARE(readInput(1, 296, 16).size(), 16);
    m_link.SendWriteSingleRegister(1202, 1);
    m_link.SendWriteSingleCoil(5, 0xFF);
    m_link.SendWriteTwoRegisters(1280, 0x12345678);
    QStringList lines;
    QVERIFY(QTest::qWaitFor([&] {
        while (m_sim.canReadLine())
            lines << QString::fromUtf8(m_sim.readLine()).trimmed();
        return lines.size() >= 4;
    }, 5000));
    QCOMPARE(lines, (QStringList{QStringLiteral("REQ tag=1 fn=4 addr=296 count=16"),
                                 QStringLiteral("REQ tag=254 fn=6 addr=1202 value=1"),
                                 QStringLiteral("REQ tag=254 fn=5 addr=5 value=65280"),
                                 QStringLiteral("REQ tag=254 fn=16 addr=1280 count=2 values=22136,4660")}));
}

void TestSim::thirdPartyClientReadsModuleInformation()
{
    const QString mbpoll = QStandardPaths::findExecutable(QStringLiteral("mbpoll"));
    if (mbpoll.isEmpty())
        QSKIP("mbpoll is not installed");
    // mbpoll counts references from 1: reference 297 is protocol address 296.
    QProcess client;
    client.start(mbpoll, {QStringLiteral("-m"), QStringLiteral("tcp"), QStringLiteral("-a"), QStringLiteral("1"),
                          QStringLiteral("-t"), QStringLiteral("3"), QStringLiteral("-r"), QStringLiteral("297"),
                          QStringLiteral("-c"), QStringLiteral("16"), QStringLiteral("-1"),
                          QStringLiteral("-p"), QString::number(m_port), QStringLiteral("127.0.0.1")});
    QVERIFY(client.waitForFinished(10000));
    const QString out = QString::fromUtf8(client.readAllStandardOutput());
    QCOMPARE(client.exitCode(), 0);
    for (int i = 0; i < 16; ++i) {
        const QString line = QStringLiteral("[%1]: \t%2").arg(297 + i).arg(SimModuleInfo::kRegisters[i]);
        QVERIFY2(out.contains(line), qPrintable(line + QStringLiteral(" not in ") + out));
    }
    client.start(mbpoll, {QStringLiteral("-m"), QStringLiteral("tcp"), QStringLiteral("-a"), QStringLiteral("1"),
                          QStringLiteral("-t"), QStringLiteral("3"), QStringLiteral("-r"), QStringLiteral("254"),
                          QStringLiteral("-c"), QStringLiteral("1"), QStringLiteral("-1"),
                          QStringLiteral("-p"), QString::number(m_port), QStringLiteral("127.0.0.1")});
    QVERIFY(client.waitForFinished(10000));
    QVERIFY(QString::fromUtf8(client.readAllStandardOutput()).contains(QStringLiteral("[254]: \t9")));
}

void TestSim::clockSetThroughHoldingRegisters()
{
    QVERIFY(connectLink());
    // 2024-05-17 09:05:07, weekday code 0x20 (Friday) as written.
    m_link.SendWriteSingleRegister(1184, 0x2405);
    m_link.SendWriteSingleRegister(1185, 0x1720);
    m_link.SendWriteSingleRegister(1186, 0x0905);
    m_link.SendWriteSingleRegister(1187, 0x0700);
    m_link.SendWriteSingleRegister(1188, 1);
    QList<uint16_t> clock;
    QVERIFY(QTest::qWaitFor([&] {
        clock = readInput(4, 160, 4);
        return clock.size() == 4 && clock[0] == 0x2405;
    }, 5000));
    QCOMPARE(clock[1], uint16_t(0x1720));
    QCOMPARE(clock[2], uint16_t(0x0905));
    QVERIFY(clock[3] >= 0x0700 && clock[3] <= 0x0900);  // it keeps running
    QCOMPARE(clock[3] & 0xFF, 0);
}

QTEST_GUILESS_MAIN(TestSim)
#include "test_sim.moc"
