// The link's transactions against relaymo-sim holding its answers back
// (--delay): each answer carries its response time, a request that outlives
// the response timeout is reported once, its answer then counts as late and
// still reaches its requester.
#include "link/ModbusLink.h"
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int kDelayMs = 300;

} // namespace

class TestE2eTransactions : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void responseTimeOfEachAnswer();
    void timeoutReportedOnceAndAnswerCountedLate();
    void disconnectDropsWhatIsInFlight();

private:
    bool connectLink();

    QProcess m_sim;
    quint16 m_port = 0;
    std::unique_ptr<ModbusLink> m_link;
};

void TestE2eTransactions::init()
{
    m_link = std::make_unique<ModbusLink>();
    m_sim.setProgram(QStringLiteral(RELAYMO_SIM_PATH));
    m_sim.setArguments({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--delay"),
                        QString::number(kDelayMs)});
    m_sim.start();
    QVERIFY(m_sim.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return m_sim.canReadLine(); }, 5000));
    const QString first = QString::fromUtf8(m_sim.readLine()).trimmed();
    const auto m = QRegularExpression(QStringLiteral(":(\\d+)$")).match(first);
    QVERIFY2(m.hasMatch(), qPrintable(first));
    m_port = quint16(m.captured(1).toUInt());
}

void TestE2eTransactions::cleanup()
{
    m_link.reset();
    m_sim.kill();
    m_sim.waitForFinished();
}

bool TestE2eTransactions::connectLink()
{
    m_link->setHost(QStringLiteral("127.0.0.1"));
    m_link->setPort(m_port);
    QSignalSpy connected(m_link.get(), &ModbusLink::connected);
    m_link->open();
    return connected.wait(5000);
}

void TestE2eTransactions::responseTimeOfEachAnswer()
{
    QVERIFY(connectLink());
    m_link->setResponseTimeout(5000);
    QSignalSpy sent(m_link.get(), &ModbusLink::requestSent);
    QSignalSpy matched(m_link.get(), &ModbusLink::answerMatched);
    QSignalSpy timedOut(m_link.get(), &ModbusLink::requestTimedOut);
    QList<qint64> seenInListener;
    const Reply readReply = m_link->SendReadInputRegisters(1, 296, 16);
    const Reply writeReply = m_link->SendWriteSingleRegister(1202, 1);
    QObject::connect(readReply.get(), &LinkReply::finished, this, [&] {
        QCOMPARE(int(m_link->currentAnswer().kind), int(modbus::AnswerKind::Matched));
        seenInListener << m_link->currentAnswer().responseUs;
    });
    const uint64_t read = readReply->serial();
    const uint64_t write = writeReply->serial();
    QVERIFY(read != 0 && write > read);
    QCOMPARE(sent.count(), 2);
    QCOMPARE(int(m_link->inFlight().size()), 2);
    const auto first = sent.at(0).at(0).value<modbus::Transaction>();
    QCOMPARE(first.serial, read);
    QCOMPARE(first.tag, uint8_t(1));
    QCOMPARE(first.transactionId, uint16_t(0x0100));
    QCOMPARE(first.function, uint8_t(4));
    QCOMPARE(first.address, uint16_t(296));
    QCOMPARE(first.count, uint16_t(16));

    QTRY_COMPARE_WITH_TIMEOUT(matched.count(), 2, 5000);
    QVERIFY(m_link->inFlight().empty());
    // The simulator held each answer back kDelayMs: no response time can be
    // shorter, and the handler saw the same figure as the signal.
    for (int i = 0; i < 2; ++i) {
        const auto request = matched.at(i).at(0).value<modbus::Transaction>();
        QCOMPARE(request.serial, i == 0 ? read : write);
        QVERIFY2(matched.at(i).at(1).toLongLong() >= kDelayMs * 1000,
                 qPrintable(QString::number(matched.at(i).at(1).toLongLong())));
    }
    QCOMPARE(seenInListener, QList<qint64>{matched.at(0).at(1).toLongLong()});
    // Each reply holds its own match and response time.
    QCOMPARE(readReply->match().responseUs, matched.at(0).at(1).toLongLong());
    QCOMPARE(writeReply->match().request.serial, write);
    QCOMPARE(writeReply->answer().functionCode(), uint8_t(6));
    QCOMPARE(timedOut.count(), 0);
}

void TestE2eTransactions::timeoutReportedOnceAndAnswerCountedLate()
{
    QVERIFY(connectLink());
    m_link->setResponseTimeout(kDelayMs / 3);
    QSignalSpy timedOut(m_link.get(), &ModbusLink::requestTimedOut);
    QSignalSpy late(m_link.get(), &ModbusLink::lateAnswer);
    QSignalSpy matched(m_link.get(), &ModbusLink::answerMatched);
    QList<QByteArray> lateBytes;
    connect(m_link.get(), &ModbusLink::answerReceived, this,
            [&](const QByteArray &a, const modbus::AnswerMatch &m) {
                if (m.kind == modbus::AnswerKind::Late)
                    lateBytes << a;
            });

    const Reply reply = m_link->SendReadInputRegisters(4, 160, 4);
    const uint64_t serial = reply->serial();
    QVERIFY(timedOut.wait(5000));
    QCOMPARE(reply->ending(), LinkReply::Ending::TimedOut);
    QCOMPARE(timedOut.at(0).at(0).value<modbus::Transaction>().serial, serial);
    QVERIFY(!m_link->isInFlight(serial));
    QCOMPARE(late.count(), 0);  // the answer is still held back

    QVERIFY(late.wait(5000));
    QCOMPARE(late.at(0).at(0).value<modbus::Transaction>().serial, serial);
    QVERIFY(late.at(0).at(1).toLongLong() >= kDelayMs * 1000);
    QCOMPARE(lateBytes.size(), 1);  // taken in whole all the same
    QCOMPARE(lateBytes.first().size(), 9 + 8);
    QCOMPARE(timedOut.count(), 1);  // reported once
    QCOMPARE(matched.count(), 0);
    QCOMPARE(reply->ending(), LinkReply::Ending::TimedOut);  // a reply ends once
}

void TestE2eTransactions::disconnectDropsWhatIsInFlight()
{
    QVERIFY(connectLink());
    QSignalSpy timedOut(m_link.get(), &ModbusLink::requestTimedOut);
    QSignalSpy unsolicited(m_link.get(), &ModbusLink::unsolicitedAnswer);
    m_link->setResponseTimeout(kDelayMs / 2);
    const Reply reply = m_link->SendReadInputRegisters(0, 32, 4);
    QSignalSpy disconnected(m_link.get(), &ModbusLink::disconnected);
    m_link->close();
    QVERIFY(disconnected.count() == 1 || disconnected.wait(5000));
    QVERIFY(m_link->inFlight().empty());
    QCOMPARE(reply->ending(), LinkReply::Ending::Lost);
    // Past the timeout nothing is reported: the request died with the link.
    QVERIFY(!timedOut.wait(3 * kDelayMs));
    // An answer of nobody's request, fed as the socket would.
    m_link->receiveBytes(QByteArray::fromHex("07000000000501040200 01"));
    QCOMPARE(unsolicited.count(), 1);
    QCOMPARE(unsolicited.at(0).at(0).value<quint16>(), quint16(0x0700));
    QCOMPARE(reply->ending(), LinkReply::Ending::Lost);
}

QTEST_GUILESS_MAIN(TestE2eTransactions)
#include "test_e2e_transactions.moc"
