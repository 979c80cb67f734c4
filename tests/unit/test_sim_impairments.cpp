// The fault impairments of relaymo-sim, each seen from a raw TCP client:
// dropped and silent connections, random answers, another unit, injected
// exceptions, jitter and the restart command; and the program's seed line.
#include "sim/SimGateway.h"
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QThread>
#include <QTest>
#include <algorithm>
#include <limits>

namespace {

// Request frames built here byte by byte, independent of the tool's link.
QByteArray frame(int tag, int function, int address, int word, int unit = 1)
{
    QByteArray f(12, '\0');
    f[0] = char(tag);
    f[1] = char(0x11);  // a low byte the simulator must echo too
    f[5] = 6;
    f[6] = char(unit);
    f[7] = char(function);
    f[8] = char(address >> 8);
    f[9] = char(address);
    f[10] = char(word >> 8);
    f[11] = char(word);
    return f;
}

QByteArray readInput(int tag, int address, int count) { return frame(tag, 4, address, count); }

// A client that cuts what it receives into answers by their MBAP length.
class RawClient {
public:
    bool connectTo(quint16 port)
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        return socket.waitForConnected(3000);
    }
    void send(const QByteArray &f)
    {
        socket.write(f);
        socket.flush();
    }
    // Waits until n answers have arrived in all.
    bool waitAnswers(int n, int timeoutMs = 3000)
    {
        return QTest::qWaitFor([&] {
            pending += socket.readAll();
            while (pending.size() >= 6) {
                const int len = quint8(pending[4]) << 8 | quint8(pending[5]);
                if (pending.size() < 6 + len)
                    break;
                answers << pending.left(6 + len);
                pending.remove(0, 6 + len);
            }
            return answers.size() >= n;
        }, timeoutMs);
    }
    QTcpSocket socket;
    QByteArray pending;
    QList<QByteArray> answers;
};

std::unique_ptr<SimGateway> startGateway(const SimOptions &o)
{
    auto gw = std::make_unique<SimGateway>();
    installDefaultBehaviours(*gw);
    if (!gw->start(0, o))
        return nullptr;
    return gw;
}

// The module information words 296.. answered without impairment.
QByteArray plainAnswer(int tag, int count)
{
    auto gw = startGateway({});
    RawClient c;
    if (!gw || !c.connectTo(gw->port()))
        return {};
    c.send(readInput(tag, 296, count));
    return c.waitAnswers(1) ? c.answers.first() : QByteArray();
}

} // namespace

class TestSimImpairments : public QObject {
    Q_OBJECT
private slots:
    void dropAfter();
    void silentAfter();
    void garbageEvery_data();
    void garbageEvery();
    void wrongUnit();
    void exceptionEvery_data();
    void exceptionEvery();
    void jitter();
    void delayHoldsEachAnswerItsWholeTime();
    void restartOnCommand_data();
    void restartOnCommand();
    void programPrintsSeedAndTrace_data();
    void programPrintsSeedAndTrace();
};

void TestSimImpairments::dropAfter()
{
    SimOptions o;
    o.dropAfter = 3;
    auto gw = startGateway(o);
    QVERIFY(gw);
    // Each connection gets its three answers, then the simulator hangs up.
    for (int round = 1; round <= 2; ++round) {
        RawClient c;
        QVERIFY(c.connectTo(gw->port()));
        QSignalSpy closed(&c.socket, &QTcpSocket::disconnected);
        for (int i = 0; i < 3; ++i) {
            c.send(readInput(i, 296, 2));
            QVERIFY(c.waitAnswers(i + 1));
        }
        QVERIFY(closed.wait(3000) || closed.size() == 1);
        QCOMPARE(c.answers.size(), 3);
        QCOMPARE(gw->drops(), round);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(int(quint8(c.answers[i][0])), i);
    }
}

void TestSimImpairments::silentAfter()
{
    SimOptions o;
    o.silentAfter = 2;
    auto gw = startGateway(o);
    QVERIFY(gw);
    RawClient c;
    QVERIFY(c.connectTo(gw->port()));
    for (int i = 0; i < 4; ++i)
        c.send(readInput(i, 296, 2));
    QVERIFY(c.waitAnswers(2));
    // All four arrived; only the first two were taken on.
    QTRY_COMPARE(gw->requests().size(), 4);
    QCOMPARE(gw->answers().size(), 2);
    QVERIFY(!c.waitAnswers(3, 300));
    QCOMPARE(c.socket.state(), QAbstractSocket::ConnectedState);
    QCOMPARE(c.answers.size(), 2);
    // A new connection is answered again.
    RawClient d;
    QVERIFY(d.connectTo(gw->port()));
    d.send(readInput(7, 296, 1));
    QVERIFY(d.waitAnswers(1));
    QCOMPARE(int(quint8(d.answers[0][0])), 7);
}

void TestSimImpairments::garbageEvery_data()
{
    QTest::addColumn<int>("every");
    QTest::newRow("every 2nd") << 2;
    QTest::newRow("every 3rd") << 3;
}

void TestSimImpairments::garbageEvery()
{
    QFETCH(int, every);
    const QByteArray plain = plainAnswer(5, 8);
    QCOMPARE(plain.size(), 9 + 16);
    auto run = [every](quint32 seed) {
        SimOptions o;
        o.garbageEvery = every;
        o.seed = seed;
        auto gw = startGateway(o);
        RawClient c;
        if (!gw || !c.connectTo(gw->port()))
            return QList<QByteArray>();
        for (int i = 0; i < 6; ++i)
            c.send(readInput(5, 296, 8));
        // Random bytes do not frame: take the stream as it comes.
        QByteArray stream;
        if (!QTest::qWaitFor([&] {
                stream += c.socket.readAll();
                return stream.size() >= 6 * 25;
            }, 3000))
            return QList<QByteArray>();
        // What went on the wire is what the simulator recorded.
        QList<QByteArray> recorded;
        for (const SimAnswer &a : gw->answers())
            recorded << a.bytes;
        if (recorded.join() != stream)
            return QList<QByteArray>();
        return recorded;
    };
    const QList<QByteArray> first = run(77);
    QCOMPARE(first.size(), 6);
    for (int i = 0; i < 6; ++i) {
        const bool garbage = (i + 1) % every == 0;
        QCOMPARE(first[i].size(), plain.size());
        QVERIFY2((first[i] != plain) == garbage, qPrintable(QString::number(i)));
    }
    // The same seed gives the same bytes, another seed others.
    QCOMPARE(run(77), first);
    QVERIFY(run(78) != first);
}

void TestSimImpairments::wrongUnit()
{
    const QByteArray plain = plainAnswer(9, 3);
    SimOptions o;
    o.wrongUnit = true;
    auto gw = startGateway(o);
    QVERIFY(gw);
    RawClient c;
    QVERIFY(c.connectTo(gw->port()));
    c.send(readInput(9, 296, 3));
    QVERIFY(c.waitAnswers(1));
    QByteArray expected = plain;
    expected[6] = 2;
    QCOMPARE(c.answers[0], expected);
    QCOMPARE(gw->answers().first().words(), (QList<quint16>{0x001A, 0x2B3C, 0x4D5E}));
}

void TestSimImpairments::exceptionEvery_data()
{
    QTest::addColumn<int>("every");
    QTest::addColumn<int>("coalesce");
    QTest::newRow("every 3rd") << 3 << 0;
    QTest::newRow("every 2nd, coalesced by 2") << 2 << 2;
}

void TestSimImpairments::exceptionEvery()
{
    QFETCH(int, every);
    QFETCH(int, coalesce);
    SimOptions o;
    o.exceptionEvery = every;
    o.coalesce = coalesce;
    auto gw = startGateway(o);
    QVERIFY(gw);
    RawClient c;
    QVERIFY(c.connectTo(gw->port()));
    // Six requests at once; the writes go to holding 1300 + i.
    for (int i = 0; i < 6; ++i)
        c.send(i % 2 ? frame(i, 6, 1300 + i, 100 + i) : readInput(i, 296, 2));
    QVERIFY(c.waitAnswers(6));
    for (int i = 0; i < 6; ++i) {
        const QByteArray &a = c.answers[i];
        const int function = i % 2 ? 6 : 4;
        // In request order, each with its own transaction identifier.
        QCOMPARE(int(quint8(a[0])), i);
        QCOMPARE(int(quint8(a[1])), 0x11);
        if ((i + 1) % every == 0) {
            QCOMPARE(a.size(), 9);
            QCOMPARE(int(quint8(a[5])), 3);
            QCOMPARE(int(quint8(a[7])), function | 0x80);
            QCOMPARE(int(quint8(a[8])), SimOptions::kInjectedException);
            QCOMPARE(gw->answers()[i].kind, SimAnswer::Exception);
            // A write answered with an exception did not take effect.
            if (function == 6)
                QCOMPARE(gw->holdingRegister(1300 + i), quint16(0));
        } else {
            QCOMPARE(int(quint8(a[7])), function);
            if (function == 6)
                QCOMPARE(gw->holdingRegister(1300 + i), quint16(100 + i));
        }
    }
}

void TestSimImpairments::jitter()
{
    auto run = [](quint32 seed, QList<int> *delays, QList<QByteArray> *answers) {
        SimOptions o;
        o.delayMs = 20;
        o.jitterMs = 30;
        o.seed = seed;
        auto gw = startGateway(o);
        RawClient c;
        if (!gw || !c.connectTo(gw->port()))
            return;
        for (int i = 0; i < 20; ++i)
            c.send(readInput(i, 296, 1));
        c.waitAnswers(20);
        *answers = c.answers;
        for (const SimAnswer &a : gw->answers())
            *delays << a.delayMs;
    };
    QList<int> delays, again, other;
    QList<QByteArray> answers, scratch;
    run(5, &delays, &answers);
    QCOMPARE(answers.size(), 20);
    QCOMPARE(delays.size(), 20);
    // Within --delay .. --delay + --jitter, not all the same, answers in order.
    for (int i = 0; i < 20; ++i) {
        QVERIFY2(delays[i] >= 20 && delays[i] <= 50, qPrintable(QString::number(delays[i])));
        QCOMPARE(int(quint8(answers[i][0])), i);
    }
    QVERIFY(std::adjacent_find(delays.begin(), delays.end(), std::not_equal_to<>()) != delays.end());
    run(5, &again, &scratch);
    QCOMPARE(again, delays);
    run(6, &other, &scratch);
    QVERIFY(other != delays);
}

void TestSimImpairments::delayHoldsEachAnswerItsWholeTime()
{
    // The program in a process of its own and a client that blocks on its
    // socket: each answer's arrival is timed to the microsecond, and none may
    // come before the delay asked for (the tool's response-time figures and
    // tests rely on it).
    QProcess sim;
    sim.start(QStringLiteral(RELAYMO_SIM_PATH), QStringList{"--port", "0", "--delay", "20"});
    QVERIFY(sim.waitForStarted());
    QVERIFY(sim.waitForReadyRead(5000));
    const auto m = QRegularExpression(QStringLiteral("127\\.0\\.0\\.1:(\\d+)")).match(QString::fromUtf8(sim.readLine()));
    QVERIFY(m.hasMatch());
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, quint16(m.captured(1).toUInt()));
    QVERIFY(s.waitForConnected(3000));
    qint64 shortest = std::numeric_limits<qint64>::max();
    for (int i = 0; i < 40; ++i) {
        QElapsedTimer t;
        t.start();
        s.write(readInput(i, 296, 2));
        QVERIFY(s.waitForBytesWritten(1000));
        QByteArray got;
        while (got.size() < 13 && s.waitForReadyRead(1000))
            got += s.readAll();
        const qint64 us = t.nsecsElapsed() / 1000;
        QCOMPARE(got.size(), 13);
        QCOMPARE(int(quint8(got[0])), i);
        shortest = std::min(shortest, us);
        // Send the next request at another point of the millisecond.
        QThread::usleep(137 * (i % 7));
    }
    QVERIFY2(shortest >= 20'000, qPrintable(QStringLiteral("%1 us").arg(shortest)));
    sim.kill();
    sim.waitForFinished();
}

void TestSimImpairments::restartOnCommand_data()
{
    QTest::addColumn<bool>("option");
    QTest::addColumn<int>("value");
    QTest::newRow("restart") << true << 1;
    QTest::newRow("sizing does not restart") << true << 2;
    QTest::newRow("option off") << false << 1;
}

void TestSimImpairments::restartOnCommand()
{
    QFETCH(bool, option);
    QFETCH(int, value);
    SimOptions o;
    o.restartOnCommand = option;
    auto gw = startGateway(o);
    QVERIFY(gw);
    const quint16 port = gw->port();
    RawClient c;
    QVERIFY(c.connectTo(port));
    QSignalSpy closed(&c.socket, &QTcpSocket::disconnected);
    QSignalSpy again(gw.get(), &SimGateway::listeningAgain);
    c.send(frame(254, 6, 1203, value));
    QVERIFY(c.waitAnswers(1));
    QCOMPARE(int(quint8(c.answers[0][7])), 6);  // the echo came first
    if (!(option && value == 1)) {
        // Still answering on the same connection.
        c.send(readInput(3, 296, 1));
        QVERIFY(c.waitAnswers(2));
        QCOMPARE(gw->restarts(), 0);
        QVERIFY(gw->isListening());
        return;
    }
    QVERIFY(closed.wait(3000) || closed.size() == 1);
    QCOMPARE(gw->restarts(), 1);
    // Not listening for a while: a connection is refused.
    QVERIFY(!gw->isListening());
    QTcpSocket refused;
    QSignalSpy error(&refused, &QTcpSocket::errorOccurred);
    refused.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(error.wait(1000) || error.size() == 1);
    QCOMPARE(refused.error(), QAbstractSocket::ConnectionRefusedError);
    // Then it listens again on the same port and answers.
    QVERIFY(again.wait(5000));
    QCOMPARE(gw->port(), port);
    RawClient d;
    QVERIFY(d.connectTo(port));
    d.send(readInput(4, 296, 1));
    QVERIFY(d.waitAnswers(1));
    QCOMPARE(int(quint8(d.answers[0][0])), 4);
}

void TestSimImpairments::programPrintsSeedAndTrace_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("seedLine");      // empty: none printed
    QTest::addColumn<QStringList>("traceLines");  // after the request lines
    QTest::newRow("garbage, seed given")
        << QStringList{"--garbage-every", "1", "--seed", "1234"} << "relaymo-sim seed 1234"
        << QStringList{"REQ tag=1 fn=4 addr=296 count=2", "GARBAGE tag=1 bytes=13"};
    QTest::newRow("exception and unit")
        << QStringList{"--exception-every", "1", "--wrong-unit"} << ""
        << QStringList{"REQ tag=1 fn=4 addr=296 count=2", "EXCEPTION tag=1 fn=4 code=6", "UNIT tag=1 unit=2"};
    QTest::newRow("jitter, seed chosen")
        << QStringList{"--jitter", "5"} << "relaymo-sim seed \\d+"
        << QStringList{"REQ tag=1 fn=4 addr=296 count=2", "DELAY tag=1 ms=[0-5]"};
    QTest::newRow("silent") << QStringList{"--silent-after", "1"} << ""
                            << QStringList{"REQ tag=1 fn=4 addr=296 count=2", "REQ tag=2 fn=4 addr=296 count=2",
                                           "SILENT tag=2"};
}

void TestSimImpairments::programPrintsSeedAndTrace()
{
    QFETCH(QStringList, options);
    QFETCH(QString, seedLine);
    QFETCH(QStringList, traceLines);
    QProcess sim;
    sim.start(QStringLiteral(RELAYMO_SIM_PATH), QStringList{"--port", "0", "--trace"} + options);
    QVERIFY(sim.waitForStarted());
    QStringList lines;
    auto readLines = [&](int n) {
        return QTest::qWaitFor([&] {
            while (sim.canReadLine())
                lines << QString::fromUtf8(sim.readLine()).trimmed();
            return lines.size() >= n;
        }, 5000);
    };
    const int head = seedLine.isEmpty() ? 1 : 2;
    QVERIFY(readLines(head));
    const auto m = QRegularExpression(QStringLiteral("^relaymo-sim listening on 127\\.0\\.0\\.1:(\\d+)$")).match(lines[0]);
    QVERIFY2(m.hasMatch(), qPrintable(lines[0]));
    if (!seedLine.isEmpty())
        QVERIFY2(QRegularExpression(QStringLiteral("^%1$").arg(seedLine)).match(lines[1]).hasMatch(),
                 qPrintable(lines[1]));
    RawClient c;
    QVERIFY(c.connectTo(quint16(m.captured(1).toUInt())));
    c.send(readInput(1, 296, 2));
    c.send(readInput(2, 296, 2));
    // Every expected line shows up (two requests may be traced before the
    // first answer's line).
    auto allSeen = [&] {
        for (const QString &pattern : traceLines) {
            const QRegularExpression re(QStringLiteral("^%1$").arg(pattern));
            if (std::none_of(lines.begin() + head, lines.end(), [&](const QString &l) { return re.match(l).hasMatch(); }))
                return false;
        }
        return true;
    };
    QVERIFY2(QTest::qWaitFor([&] {
        readLines(0);
        return allSeen();
    }, 5000), qPrintable(lines.join(u'\n')));
    sim.kill();
    sim.waitForFinished();
}

QTEST_GUILESS_MAIN(TestSimImpairments)
#include "test_sim_impairments.moc"
