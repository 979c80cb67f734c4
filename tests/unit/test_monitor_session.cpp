// The monitor session without any window: the connection state from the
// socket, the selection each poll was sent under, the counters and rows of
// its answers, monitoring across a dropped connection.
#include "monitor/MonitorSession.h"
#include "support/AnswerFrames.h"
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

// A gateway of our own on loopback: the test reads the requests and decides
// which to answer, and when.
struct Peer {
    QTcpServer server;
    QTcpSocket *socket = nullptr;
    QByteArray received;

    bool listen() { return server.listen(QHostAddress::LocalHost, 0); }
    bool accept()
    {
        if (!QTest::qWaitFor([this] { return server.hasPendingConnections(); }, 5000))
            return false;
        socket = server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this] { received += socket->readAll(); });
        return true;
    }
    // The next whole request (12 bytes: every read the monitor sends).
    QByteArray takeRequest()
    {
        if (!QTest::qWaitFor([this] { return received.size() >= 12; }, 5000))
            return {};
        const QByteArray r = received.left(12);
        received.remove(0, 12);
        return r;
    }
    // Answers a read request with these registers.
    void answer(const QByteArray &request, const QList<uint16_t> &regs)
    {
        QByteArray a = frames::readAnswer(uint8_t(request[0]), frames::registerBytes(regs));
        a[1] = request[1];
        a[7] = request[7];
        socket->write(a);
        socket->flush();
    }
};

// The automatic-saving fields as the settings dialog starts with them.
const AutoSaveFields kAutoSave{false, QStringLiteral("100"), QStringLiteral("LOG"), QStringLiteral("1"), QStringLiteral("4")};

bool connectSession(MonitorSession &s, Peer &peer)
{
    s.link().setHost(QStringLiteral("127.0.0.1"));
    s.link().setPort(peer.server.serverPort());
    s.link().open();
    return peer.accept() && QTest::qWaitFor([&s] { return s.isConnected(); }, 5000);
}

monitor::MonitorSelection holdingWindow(int address, int size)
{
    monitor::MonitorSelection sel;
    sel.poll.readAddress = address;  // holding registers: one read, no header words
    sel.poll.readSize = size;
    sel.dataType = 0;
    return sel;
}

} // namespace

class TestMonitorSession : public QObject {
    Q_OBJECT
private slots:
    void connectionStateFollowsTheSocket();
    void answerOfAnEarlierSelectionIsNotShown();
    void rowsAndCountersOfTheAnswers();
    void onlyItsOwnPollAnswersCount();
    void rowPrefixesFollowTheLog();
    void droppedConnectionStopsAndResumeGoesOn();
};

void TestMonitorSession::connectionStateFollowsTheSocket()
{
    MonitorSession s;
    s.setAutoSaveFields(kAutoSave);
    Peer peer;
    QVERIFY(peer.listen());
    QSignalSpy states(&s, &MonitorSession::connectionStateChanged);
    QCOMPARE(s.connectionState(), monitor::ConnectionState::Disconnected);
    QVERIFY(connectSession(s, peer));
    QCOMPARE(states.first().first().value<monitor::ConnectionState>(), monitor::ConnectionState::Connecting);
    QCOMPARE(states.last().first().value<monitor::ConnectionState>(), monitor::ConnectionState::Connected);
    // The gateway hangs up: the state is the socket's, whatever any text says.
    peer.socket->disconnectFromHost();
    QTRY_COMPARE(s.connectionState(), monitor::ConnectionState::Disconnected);
    QCOMPARE(states.last().first().value<monitor::ConnectionState>(), monitor::ConnectionState::Disconnected);
}

void TestMonitorSession::answerOfAnEarlierSelectionIsNotShown()
{
    MonitorSession s;
    s.setAutoSaveFields(kAutoSave);
    Peer peer;
    QVERIFY(peer.listen());
    QVERIFY(connectSession(s, peer));
    QString error;
    s.setSelection(holdingWindow(41025, 2));
    QCOMPARE(s.startMonitoring(QStringLiteral("0"), &error), MonitorSession::StartFailure::None);
    QSignalSpy boxes(&s, &MonitorSession::boxesDecoded);
    QSignalSpy counted(&s, &MonitorSession::monitorCounted);

    s.tick();
    const QByteArray first = peer.takeRequest();
    QCOMPARE(first.mid(7, 5), QByteArray::fromHex("0304000002"));
    // The user picks another window before the answer comes: the answer
    // of the old one is neither shown nor counted.
    s.setSelection(holdingWindow(41031, 2));
    peer.answer(first, {111, 222});
    s.tick();
    const QByteArray second = peer.takeRequest();
    QCOMPARE(second.mid(7, 5), QByteArray::fromHex("0304060002"));
    peer.answer(second, {333, 444});
    QTRY_COMPARE(counted.size(), 1);
    QCOMPARE(boxes.size(), 1);
    const auto shown = boxes.first().first().value<monitor::MonitorBoxes>();
    QCOMPARE(shown.values[0], QStringLiteral("333"));
    QCOMPARE(shown.values[1], QStringLiteral("444"));
    QCOMPARE(s.lastRow(), QStringLiteral(",333,444"));
    QCOMPARE(s.monitorCount(), 1u);
}

void TestMonitorSession::rowsAndCountersOfTheAnswers()
{
    MonitorSession s;
    s.setAutoSaveFields(kAutoSave);
    s.settings().logHeaderMode = 1;  // the count column
    s.setSelection(holdingWindow(41025, 1));
    QString error;
    QCOMPARE(s.startMonitoring(QStringLiteral("300"), &error), MonitorSession::StartFailure::None);
    auto feed = [&s](uint16_t v) {
        ReceiveBuffer rb;
        rb.assign(frames::readAnswer(0, frames::registerBytes({v})));
        s.handleValuesAnswer(rb, modbus::Transaction{});
    };
    QSignalSpy logged(&s, &MonitorSession::rowLogged);
    feed(5);  // not logging: counted, not logged
    QCOMPARE(s.monitorCount(), 1u);
    QCOMPARE(s.monitorElapsedText(), QStringLiteral("0:00:00.3"));
    QVERIFY(s.rows().isEmpty());
    s.startLogging();
    for (uint16_t v : {7, 8, 9})
        feed(v);
    QCOMPARE(s.rows(), (QStringList{"0,7", "1,8", "2,9"}));
    QCOMPARE(s.logCount(), 3u);
    QCOMPARE(s.logElapsedText(), QStringLiteral("0:00:00.9"));
    QCOMPARE(logged.size(), 3);
    QCOMPARE(logged.last().at(2).toString(), QStringLiteral("0:00:00.9"));
    QCOMPARE(s.monitorCount(), 4u);
    // The elapsed column is the log's own time at the row, in mode 2.
    s.settings().logHeaderMode = 2;
    feed(10);
    QCOMPARE(s.rows().last(), QStringLiteral("0:00:00.9,10"));
    // Stopped: rows and counters stay; a new start begins from nothing.
    s.stopLogging();
    feed(11);
    QCOMPARE(s.rows().size(), 4);
    s.startLogging();
    QVERIFY(s.rows().isEmpty());
    QCOMPARE(s.logCount(), 0u);
    // The rows as a file.
    feed(12);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rows.csv"));
    QVERIFY(s.saveRows(path, &error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("0:00:00.0,12\r\n"));
}

void TestMonitorSession::onlyItsOwnPollAnswersCount()
{
    MonitorSession s;
    s.setAutoSaveFields(kAutoSave);
    s.setSelection(holdingWindow(41025, 4));
    QString error;
    QCOMPARE(s.startMonitoring(QStringLiteral("400"), &error), MonitorSession::StartFailure::None);
    QSignalSpy counted(&s, &MonitorSession::monitorCounted);
    ReceiveBuffer rb;
    rb.assign(frames::readAnswer(0, frames::registerBytes({1, 2, 3, 4})));
    for (int i = 0; i < 150; ++i)
        s.handleValuesAnswer(rb, modbus::Transaction{});
    // 150 answers at 400 ms: a minute, in the counter's own format.
    QCOMPARE(s.monitorCount(), 150u);
    QCOMPARE(counted.size(), 150);
    QCOMPARE(counted.first().at(1).toString(), QStringLiteral("0:00:00.4"));
    QCOMPARE(counted.last().at(1).toString(), QStringLiteral("0:01:00.0"));
    // Header answers do not count.
    s.handleHeaderAnswer(rb, modbus::Transaction{});
    QCOMPARE(s.monitorCount(), 150u);
    // Nor does an answer to no poll of the monitor: it reaches no reply.
    QCOMPARE(s.link().receiveBytes(frames::readAnswer(0, frames::registerBytes({1, 2, 3, 4}))), 1);
    QCOMPARE(s.monitorCount(), 150u);
    QCOMPARE(counted.size(), 150);
}

void TestMonitorSession::rowPrefixesFollowTheLog()
{
    MonitorSession s;
    s.setAutoSaveFields(kAutoSave);
    s.settings().logHeaderMode = 1;
    s.setSelection(holdingWindow(41025, 2));
    QString error;
    QCOMPARE(s.startMonitoring(QStringLiteral("500"), &error), MonitorSession::StartFailure::None);
    QSignalSpy rows(&s, &MonitorSession::answerRow);
    auto feed = [&s](const QList<uint16_t> &regs) {
        ReceiveBuffer rb;
        rb.assign(frames::readAnswer(0, frames::registerBytes(regs)));
        s.handleValuesAnswer(rb, modbus::Transaction{});
    };
    feed({7});
    feed({7});
    // Not logging: every row shown carries the count 0.
    QCOMPARE(rows.last().first().toString(), QStringLiteral("0,7"));
    s.startLogging();
    feed({7});
    QCOMPARE(rows.last().first().toString(), QStringLiteral("0,7"));
    feed({8});
    QCOMPARE(rows.last().first().toString(), QStringLiteral("1,8"));
    // The elapsed prefix is the log's time before this row: two rows at 500 ms.
    s.settings().logHeaderMode = 2;
    s.settings().logValueType = 1;  // signed
    s.settings().logScale = 1;      // divided by 10
    QCOMPARE(s.logElapsedText(), QStringLiteral("0:00:01.0"));
    feed({100, 65535});
    QCOMPARE(rows.last().first().toString(), QStringLiteral("0:00:01.0,10,-0.1"));
    QCOMPARE(s.rows(), (QStringList{"0,7", "1,8", "0:00:01.0,10,-0.1"}));
}

void TestMonitorSession::droppedConnectionStopsAndResumeGoesOn()
{
    MonitorSession s;
    s.setAutoSaveFields(kAutoSave);
    Peer peer;
    QVERIFY(peer.listen());
    QVERIFY(connectSession(s, peer));
    s.setSelection(holdingWindow(41025, 1));
    QString error;
    QCOMPARE(s.startMonitoring(QStringLiteral("20"), &error), MonitorSession::StartFailure::None);
    QVERIFY(!peer.takeRequest().isEmpty());  // the poll runs
    peer.socket->disconnectFromHost();
    QTRY_VERIFY(!s.isConnected());
    QVERIFY(!s.isMonitoring());
    QVERIFY(!s.pollTimer().isActive());
    // Nothing to resume on while the link is down.
    s.resumeMonitoring();
    QVERIFY(!s.isMonitoring());
    Peer again;
    QVERIFY(again.listen());
    QVERIFY(connectSession(s, again));
    s.resumeMonitoring();
    QVERIFY(s.isMonitoring());
    QVERIFY(!again.takeRequest().isEmpty());  // polling again at its interval
    // Monitoring the user stopped is not resumed.
    s.stopMonitoring();
    again.socket->disconnectFromHost();
    QTRY_VERIFY(!s.isConnected());
    Peer third;
    QVERIFY(third.listen());
    QVERIFY(connectSession(s, third));
    s.resumeMonitoring();
    QVERIFY(!s.isMonitoring());
}

QTEST_MAIN(TestMonitorSession)
#include "test_monitor_session.moc"
