// Request frames, stream reassembly, dispatch and the replies of the
// Modbus/TCP link.
#include "link/AnswerItems.h"
#include "link/FrameAssembler.h"
#include "link/ModbusFrames.h"
#include "link/ModbusLink.h"
#include "support/Wine.h"
#include "link/Sequence.h"
#include <QCoro/QCoroTask>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

namespace {

QByteArray hex(const char *s)
{
    return QByteArray::fromHex(QByteArray(s).replace(' ', ""));
}

// A read answer with the given tag and registers.
QByteArray readAnswer(uint8_t tag, const QList<uint16_t> &regs, uint8_t fc = 4)
{
    QByteArray a;
    a += char(tag);
    a += char(0);
    a += QByteArray(2, '\0');
    const int len = 3 + 2 * int(regs.size());
    a += char(len >> 8);
    a += char(len & 0xFF);
    a += char(1);
    a += char(fc);
    a += char(2 * regs.size());
    for (uint16_t r : regs) {
        a += char(r >> 8);
        a += char(r & 0xFF);
    }
    return a;
}

// Every whole answer the link took in, as the link reports it.
struct Answers {
    explicit Answers(ModbusLink &link)
    {
        QObject::connect(&link, &ModbusLink::answerReceived, &ctx,
                         [this](const QByteArray &a, const modbus::AnswerMatch &m) {
                             bytes << a;
                             kinds << m.kind;
                         });
    }
    ReceiveBuffer at(int i) const
    {
        ReceiveBuffer rb;
        rb.assign(bytes.at(i));
        return rb;
    }
    QList<QByteArray> bytes;
    QList<modbus::AnswerKind> kinds;
    QObject ctx;
};

} // namespace

class TestLink : public QObject {
    Q_OBJECT
private slots:
    void frames_data();
    void frames();
    void requestsWithoutConnectionAreLostAtOnce();
    void reassemblyCoalesced();
    void reassemblySplitAtEveryPosition();
    void reassemblyGarbage_data();
    void reassemblyGarbage();
    void resetStreamDropsPartialAnswer_data();
    void resetStreamDropsPartialAnswer();
    void dispatchRules();
    void exceptionAnswers();
    void shortAnswersAreNotReadPast();
    void doubleWordItems_data();
    void doubleWordItems();
    void destroyedWhileConnectedReportsNothing();
    void requestLeavesBeforeTheEventLoopRuns();
    void batchSendsTogether();
    void requestsTheKernelCannotTakeYetFollowInOrder();
    void timeoutsAfterAnswersAndShorterTimeouts_data();
    void timeoutsAfterAnswersAndShorterTimeouts();
    void listenerReadingAgainDuringItsAnswer();
    void viewsStayValidUntilMoreBytes();
    void replyEndings_data();
    void replyEndings();
    void answersReachTheirOwnReplies();
    void exceptionAnswerEndsItsReply();
    void sequenceAwaitsAndStops();
};

namespace {

// A link connected to a server of the test's own on 127.0.0.1; `peer` is
// the server's end of the connection.
struct Connected {
    QTcpServer server;
    ModbusLink link;
    QTcpSocket *peer = nullptr;

    bool open()
    {
        if (!server.listen(QHostAddress::LocalHost, 0))
            return false;
        link.setHost(QStringLiteral("127.0.0.1"));
        link.setPort(server.serverPort());
        QSignalSpy up(&link, &ModbusLink::connected);
        link.open();
        if (!up.wait(5000) || !(server.hasPendingConnections() || server.waitForNewConnection(5000)))
            return false;
        peer = server.nextPendingConnection();
        return peer != nullptr;
    }
    // The answer of the server to request `t`: its transaction identifier,
    // function 4 and the given registers.
    void answer(const modbus::Transaction &t, const QList<uint16_t> &regs)
    {
        QByteArray a = readAnswer(t.tag, regs);
        a[1] = char(t.transactionId & 0xFF);
        peer->write(a);
        peer->flush();
    }
};

} // namespace

void TestLink::frames_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("module info read") << modbus::readInputRegistersFrame(1, 296, 16)
                                      << hex("01 00 00 00 00 06 01 04 01 28 00 10");
    QTest::newRow("holding read") << modbus::readHoldingRegistersFrame(0, 1024, 10)
                                  << hex("00 00 00 00 00 06 01 03 04 00 00 0A");
    QTest::newRow("write 0x0420 := 1") << modbus::writeSingleRegisterFrame(0x0420, 1)
                                       << hex("FE 00 00 00 00 06 01 06 04 20 00 01");
    QTest::newRow("coil 5 on") << modbus::writeSingleCoilFrame(5, 0xFF)
                               << hex("FE 00 00 00 00 06 01 05 00 05 FF 00");
    QTest::newRow("coil 5 off") << modbus::writeSingleCoilFrame(5, 0x00)
                                << hex("FE 00 00 00 00 06 01 05 00 05 00 00");
    QTest::newRow("two registers 0x12345678") << modbus::writeTwoRegistersFrame(16, 0x12345678)
                                              << hex("FE 00 00 00 00 0B 01 10 00 10 00 02 04 56 78 12 34");
    QTest::newRow("two registers 65535") << modbus::writeTwoRegistersFrame(16, 65535)
                                         << hex("FE 00 00 00 00 0B 01 10 00 10 00 02 04 FF FF 00 00");
    QTest::newRow("address above 65535 sent as its low 16 bits")
        << modbus::readInputRegistersFrame(0, 0x10000 + 360, 0x10000 + 32)
        << hex("00 00 00 00 00 06 01 04 01 68 00 20");
    QTest::newRow("write value above 65535 sent as its low 16 bits")
        << modbus::writeSingleRegisterFrame(0x11202, 0x10001)
        << hex("FE 00 00 00 00 06 01 06 12 02 00 01");
}

void TestLink::frames()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, expected);
    QCOMPARE(frame.toHex(' '), expected.toHex(' '));
}

void TestLink::requestsWithoutConnectionAreLostAtOnce()
{
    // Nothing is sent without a connection: every builder's reply has
    // ended, lost, before the builder returns, and nothing is in flight.
    ModbusLink link;
    QSignalSpy sent(&link, &ModbusLink::frameSent);
    const QList<Reply> replies = {link.SendReadInputRegisters(0, 0, 4), link.SendReadHoldingRegisters(5, 1024, 8),
                                  link.SendWriteSingleRegister(1202, 1), link.SendWriteTwoRegisters(1280, 7),
                                  link.SendWriteSingleCoil(3, 0xFF)};
    for (const Reply &r : replies) {
        QVERIFY(r);
        QCOMPARE(r->ending(), LinkReply::Ending::Lost);
        QCOMPARE(r->serial(), uint64_t(0));
    }
    QCOMPARE(replies[1]->tag(), uint8_t(5));
    QCOMPARE(replies[2]->tag(), modbus::kWriteTag);
    QCOMPARE(sent.count(), 0);
    QVERIFY(link.inFlight().empty());
}

void TestLink::reassemblyCoalesced()
{
    // The monitor's tag-0 and tag-20 answers arriving in one read.
    ModbusLink link;
    Answers answers(link);
    const QByteArray both = readAnswer(0, {11, 12, 13}) + readAnswer(20, {99, 1, 2, 3});
    QCOMPARE(link.receiveBytes(both), 2);
    QCOMPARE(answers.bytes.size(), 2);
    QList<int> tags;
    for (int i = 0; i < 2; ++i)
        tags << answers.at(i).tag() << answers.at(i).word(0);
    QCOMPARE(tags, (QList<int>{0, 11, 20, 99}));
}

void TestLink::reassemblySplitAtEveryPosition()
{
    const QByteArray a = readAnswer(0, {0x1234, 0xABCD}) + readAnswer(20, {1, 2, 3, 4})
                         + readAnswer(1, QList<uint16_t>(16, 0x0102));
    for (int cut1 = 0; cut1 <= a.size(); ++cut1) {
        for (int cut2 = cut1; cut2 <= a.size(); cut2 += 7) {
            ModbusLink link;
            Answers answers(link);
            link.receiveBytes(a.left(cut1));
            link.receiveBytes(a.mid(cut1, cut2 - cut1));
            link.receiveBytes(a.mid(cut2));
            QCOMPARE(answers.bytes.size(), 3);
            QCOMPARE(answers.bytes.join(), a);
        }
    }
}

void TestLink::reassemblyGarbage_data()
{
    QTest::addColumn<QByteArray>("garbage");
    QTest::newRow("protocol identifier not 0") << hex("00 00 00 01 00 05 01 04 02 00 01");
    QTest::newRow("length 1") << hex("00 00 00 00 00 01 01");
    QTest::newRow("length 255") << hex("00 00 00 00 00 FF 01 04");
    QTest::newRow("text") << QByteArray("HTTP/1.1 400 Bad Request\r\n");
}

void TestLink::reassemblyGarbage()
{
    QFETCH(QByteArray, garbage);
    ModbusLink link;
    Answers answers(link);
    QSignalSpy lost(&link, &ModbusLink::streamLost);
    link.receiveBytes(readAnswer(0, {1}) + garbage + readAnswer(0, {2}));
    QCOMPARE(answers.bytes.size(), 1);  // the answer before the garbage; the rest is discarded
    QCOMPARE(lost.count(), 1);
    // The stream goes on with the next whole answer.
    link.receiveBytes(readAnswer(0, {3}));
    QCOMPARE(answers.bytes.size(), 2);
    QCOMPARE(answers.at(1).word(0), uint16_t(3));
}

void TestLink::resetStreamDropsPartialAnswer_data()
{
    QTest::addColumn<int>("kept");  // bytes of the first answer before the reset
    const int size = int(readAnswer(0, {7, 8}).size());
    for (int kept : {0, 1, 5, 6, 7, size - 1})
        QTest::newRow(qPrintable(QStringLiteral("%1 of %2 bytes").arg(kept).arg(size))) << kept;
}

void TestLink::resetStreamDropsPartialAnswer()
{
    QFETCH(int, kept);
    ModbusLink link;
    Answers answers(link);
    QSignalSpy lost(&link, &ModbusLink::streamLost);
    QCOMPARE(link.receiveBytes(readAnswer(0, {7, 8}).left(kept)), 0);
    link.resetStream();
    // The next answer is read from its own first byte, not as the rest of
    // the one cut off.
    QCOMPARE(link.receiveBytes(readAnswer(0, {0x1234, 0x5678})), 1);
    QCOMPARE(answers.bytes.size(), 1);
    QCOMPARE((QList<int>{answers.at(0).word(0), answers.at(0).word(1)}), (QList<int>{0x1234, 0x5678}));
    QCOMPARE(lost.count(), 0);
}

void TestLink::dispatchRules()
{
    ModbusLink link;
    QSignalSpy bytes(&link, &ModbusLink::bytesRead);
    QSignalSpy unsolicited(&link, &ModbusLink::unsolicitedAnswer);
    Answers answers(link);

    // Answers to nothing in flight (a write's echo, a function-16 answer,
    // reads) are taken in whole and reported as unsolicited, each with its
    // transaction identifier and function.
    link.receiveBytes(hex("05 00 00 00 00 06 01 06 04 20 00 01"));
    link.receiveBytes(hex("FE 00 00 00 00 06 01 10 05 00 00 02"));
    link.receiveBytes(readAnswer(9, {1, 2}));
    link.receiveBytes(readAnswer(7, {1}));
    QCOMPARE(answers.bytes.size(), 4);
    QCOMPARE(unsolicited.count(), 4);
    QCOMPARE(unsolicited.at(1).at(0).value<quint16>(), quint16(0xFE00));
    QCOMPARE(unsolicited.at(1).at(1).value<quint8>(), quint8(16));
    QCOMPARE(answers.at(3).tag(), uint8_t(7));
    for (modbus::AnswerKind k : answers.kinds)
        QCOMPARE(int(k), int(modbus::AnswerKind::Unsolicited));
    // Each read event reports its byte count.
    QCOMPARE(bytes.count(), 4);
    QCOMPARE(bytes.at(3).at(0).toInt(), 11);
    // A 137-byte answer (64 registers).
    link.receiveBytes(readAnswer(7, QList<uint16_t>(64, 1)));
    QCOMPARE(bytes.last().at(0).toInt(), 137);
}

void TestLink::exceptionAnswers()
{
    ModbusLink link;
    QSignalSpy exc(&link, &ModbusLink::exceptionAnswer);
    link.receiveBytes(hex("01 00 00 00 00 03 01 84 02"));
    QVERIFY(link.receiveBuffer().isException());
    QCOMPARE(exc.count(), 1);
    QCOMPARE(exc.at(0).at(0).value<uint8_t>(), uint8_t(1));
    QCOMPARE(exc.at(0).at(1).value<uint8_t>(), uint8_t(4));
    QCOMPARE(exc.at(0).at(2).value<uint8_t>(), uint8_t(2));
}

void TestLink::shortAnswersAreNotReadPast()
{
    ModbusLink link;
    // Fill the buffer with an old, long answer first.
    link.receiveBytes(readAnswer(3, QList<uint16_t>(64, 0xEEEE)));
    // An answer that states 32 data bytes but carries only 4.
    QList<uint16_t> words;
    link.receiveBytes(hex("03 00 00 00 00 07 01 04 20 00 01 00 02"));
    forEachWordItem(link.receiveBuffer(), [&](int, uint16_t v) { words << v; });
    QCOMPARE(words, (QList<uint16_t>{1, 2}));
    QCOMPARE(link.receiveBuffer().word(2), uint16_t(0));  // stale bytes never handed out
    // Byte counts of 0 and 1 hand over no words; below 4 no double words.
    words.clear();
    int dwords = 0;
    auto decode = [&] {
        forEachWordItem(link.receiveBuffer(), [&](int, uint16_t v) { words << v; });
        forEachDoubleWordItem(link.receiveBuffer(), false, [&](int, uint32_t, int) { ++dwords; });
    };
    link.receiveBytes(hex("03 00 00 00 00 04 01 04 01 05"));
    decode();
    link.receiveBytes(hex("03 00 00 00 00 06 01 04 03 05 06 07"));
    decode();
    QCOMPARE(words, (QList<uint16_t>{0x0506}));
    QCOMPARE(dwords, 0);
}

void TestLink::doubleWordItems_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("swapped");
    QTest::addColumn<uint>("value");
    QTest::addColumn<int>("field");
    QTest::newRow("standard") << hex("12 34 0A 56") << false << 5640756u << 5;
    QTest::newRow("swapped") << hex("0A 56 12 34") << true << 5640756u << 5;
    QTest::newRow("field uses 3 bits only") << hex("00 01 FF 00") << false << 1u << 7;
    QTest::newRow("top byte never set") << hex("FF FF FF FF") << true << 0xFFFFFFu << 7;
}

void TestLink::doubleWordItems()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, swapped);
    QFETCH(uint, value);
    QFETCH(int, field);
    const auto item = doubleWordItem(uint8_t(data[0]), uint8_t(data[1]), uint8_t(data[2]),
                                     uint8_t(data[3]), swapped);
    QCOMPARE(item.value, value);
    QCOMPARE(item.field, field);
}

// The main window owns the link: when it goes, the link's listeners are
// half destroyed already, so the closing socket must reach none of them
// (it used to report the disconnect and clear its requests after the
// table itself was gone).
void TestLink::destroyedWhileConnectedReportsNothing()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    auto *link = new ModbusLink;
    link->setHost(QStringLiteral("127.0.0.1"));
    link->setPort(server.serverPort());
    int reports = 0;
    QObject::connect(link, &ModbusLink::disconnected, [&reports] { ++reports; });
    QObject::connect(link, &ModbusLink::socketError, [&reports] { ++reports; });
    QSignalSpy up(link, &ModbusLink::connected);
    link->open();
    QVERIFY(up.wait(5000));
    link->SendReadInputRegisters(0, 320, 8);
    link->SendReadInputRegisters(20, 32, 4);
    QCOMPARE(link->inFlight().size(), size_t(2));
    delete link;
    QCOMPARE(reports, 0);
}

void TestLink::requestLeavesBeforeTheEventLoopRuns()
{
    // The server's blocking wait runs no event loop of the link: the frame
    // reaches it only if the request was written to the socket at once.
    Connected c;
    QVERIFY(c.open());
    QVERIFY(c.link.SendReadInputRegisters(0, 320, 64)->serial() != 0);
    QVERIFY(c.link.SendWriteSingleRegister(0x0420, 1)->serial() != 0);
    const QByteArray expected = modbus::readInputRegistersFrame(0, 320, 64)
                                + modbus::writeSingleRegisterFrame(0x0420, 1);
    QByteArray got;
    while (got.size() < expected.size() && c.peer->waitForReadyRead(2000))
        got += c.peer->readAll();
    QCOMPARE(got.toHex(' '), expected.toHex(' '));
}

void TestLink::batchSendsTogether()
{
    // Inside a batch the requests wait (entered and reported all the same);
    // they go out together, in order, when it ends.
    Connected c;
    QVERIFY(c.open());
    QSignalSpy sent(&c.link, &ModbusLink::requestSent);
    {
        const ModbusLink::Batch outer(c.link);
        {
            const ModbusLink::Batch inner(c.link);
            c.link.SendReadInputRegisters(0, 320, 64);
        }
        QVERIFY(!c.peer->waitForReadyRead(100));  // the inner end sends nothing
        c.link.SendReadInputRegisters(20, 32, 4);
        QCOMPARE(sent.count(), 2);
        QCOMPARE(int(c.link.inFlight().size()), 2);
        QVERIFY(!c.peer->waitForReadyRead(100));
    }
    QCOMPARE(c.link.socket()->bytesToWrite(), qint64(0));
    const QByteArray expected = modbus::readInputRegistersFrame(0, 320, 64)
                                + modbus::readInputRegistersFrame(20, 32, 4);
    QByteArray got;
    while (got.size() < expected.size() && c.peer->waitForReadyRead(2000))
        got += c.peer->readAll();
    QCOMPARE(got.toHex(' '), expected.toHex(' '));
}

void TestLink::requestsTheKernelCannotTakeYetFollowInOrder()
{
    // The server reads nothing until the connection's buffers are full:
    // what the kernel does not take is held by the socket, and every
    // request after it waits behind it. All of them arrive, whole and in
    // the order sent, once the server reads.
    if (underWine())
        QSKIP("under Wine the small socket buffers asked for do not fill, and the backlog does not arrive in time");
    Connected c;
    QVERIFY(c.open());
    c.link.setResponseTimeout(60000);
    // Small buffers on both ends, so that they fill after a few thousand
    // requests; the peer reads only when the event loop runs.
    c.link.socket()->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, 8192);
    c.peer->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 8192);
    QByteArray expected;
    int sentCount = 0;
    auto sendOne = [&] {
        const uint32_t address = uint32_t(sentCount % 4000);
        const ModbusLink::Batch together(c.link);
        QVERIFY(c.link.SendReadInputRegisters(0, address, 2)->serial() != 0);
        QVERIFY(c.link.SendWriteSingleRegister(address, uint32_t(sentCount & 0xFFFF))->serial() != 0);
        expected += modbus::readInputRegistersFrame(0, address, 2)
                    + modbus::writeSingleRegisterFrame(address, uint32_t(sentCount & 0xFFFF));
        ++sentCount;
    };
    while (c.link.socket()->bytesToWrite() == 0 && sentCount < 200000)
        sendOne();
    QVERIFY2(c.link.socket()->bytesToWrite() > 0, "the kernel took every request");
    // The server takes some of it, which makes room in the kernel while the
    // socket still holds its part: the requests sent now must not overtake it.
    QByteArray got;
    while (got.size() < 16384 && c.peer->waitForReadyRead(2000))
        got += c.peer->readAll();
    for (int i = 0; i < 100; ++i)
        sendOne();
    QDeadlineTimer deadline(20000);
    while (got.size() < expected.size() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        got += c.peer->readAll();
    }
    QCOMPARE(got.size(), expected.size());
    QVERIFY(got == expected);
}

void TestLink::timeoutsAfterAnswersAndShorterTimeouts_data()
{
    // Two requests A then B, each with its own response timeout; A is
    // answered (or not) before B is sent. Expected: which of them the link
    // reports as timed out.
    QTest::addColumn<int>("timeoutA");
    QTest::addColumn<bool>("answerA");
    QTest::addColumn<int>("timeoutB");
    QTest::addColumn<QString>("timedOut");
    QTest::newRow("answered first, the second times out") << 60 << true << 60 << "B";
    QTest::newRow("shorter timeout overtakes the first") << 5000 << false << 40 << "B";
    QTest::newRow("both unanswered") << 40 << false << 80 << "AB";
    QTest::newRow("longer second after an answer") << 30 << true << 120 << "B";
}

void TestLink::timeoutsAfterAnswersAndShorterTimeouts()
{
    QFETCH(int, timeoutA);
    QFETCH(bool, answerA);
    QFETCH(int, timeoutB);
    QFETCH(QString, timedOut);
    Connected c;
    QVERIFY(c.open());
    QSignalSpy sent(&c.link, &ModbusLink::requestSent);
    QSignalSpy matched(&c.link, &ModbusLink::answerMatched);
    QSignalSpy expired(&c.link, &ModbusLink::requestTimedOut);

    c.link.setResponseTimeout(timeoutA);
    const Reply replyA = c.link.SendReadInputRegisters(0, 320, 2);
    const uint64_t a = replyA->serial();
    if (answerA) {
        c.answer(sent.at(0).at(0).value<modbus::Transaction>(), {1, 2});
        QVERIFY(matched.wait(2000));
    }
    c.link.setResponseTimeout(timeoutB);
    const Reply replyB = c.link.SendReadInputRegisters(20, 32, 4);
    const uint64_t b = replyB->serial();
    // Each request is reported by its own deadline: well before the other
    // one's, which is far in the future in the overtaking case.
    QTRY_COMPARE_WITH_TIMEOUT(int(expired.count()), int(timedOut.size()), 2000);
    QString order;
    for (const QList<QVariant> &e : expired) {
        const auto t = e.at(0).value<modbus::Transaction>();
        order += t.serial == a ? u'A' : t.serial == b ? u'B' : u'?';
    }
    QCOMPARE(order, timedOut);
    // Each reply ended as its request did.
    QCOMPARE(replyA->ending(), answerA ? LinkReply::Ending::Answered
                               : timedOut.contains(u'A') ? LinkReply::Ending::TimedOut
                                                         : LinkReply::Ending::Pending);
    QCOMPARE(replyB->ending(), LinkReply::Ending::TimedOut);
    QCOMPARE(matched.count(), answerA ? 1 : 0);
    QCOMPARE(c.link.isInFlight(a), !answerA && !timedOut.contains(u'A'));
    QVERIFY(!c.link.isInFlight(b));
}

void TestLink::listenerReadingAgainDuringItsAnswer()
{
    // A reply's listener that runs the event loop while the next answers
    // arrive: the socket takes them in but does not signal again meanwhile;
    // they are dispatched, in order and whole, once the listener returns,
    // and the answer being handled keeps its bytes.
    Connected c;
    QVERIFY(c.open());
    QSignalSpy sent(&c.link, &ModbusLink::requestSent);
    QList<uint16_t> seen;
    QList<Reply> replies;
    for (int i = 0; i < 3; ++i) {
        const Reply r = c.link.SendReadInputRegisters(0, 320, 2);
        replies << r;
        QObject::connect(r.get(), &LinkReply::finished, r.get(), [&, raw = r.get()] {
            const ReceiveBuffer &rb = raw->answer();
            const uint16_t first = rb.word(0);
            if (first == 100) {
                for (int k = 1; k <= 2; ++k)
                    c.answer(sent.at(k).at(0).value<modbus::Transaction>(), {uint16_t(100 + k), 7});
                QTRY_VERIFY_WITH_TIMEOUT(c.link.socket()->bytesAvailable() > 0, 2000);
            }
            seen << first << raw->answer().word(1);
        });
    }
    c.answer(sent.at(0).at(0).value<modbus::Transaction>(), {100, 5});
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 6, 2000);
    QCOMPARE(seen, (QList<uint16_t>{100, 5, 101, 7, 102, 7}));
    for (const Reply &r : replies)
        QCOMPARE(r->ending(), LinkReply::Ending::Answered);
}

void TestLink::viewsStayValidUntilMoreBytes()
{
    // Two answers and the head of a third in one go: both views are whole
    // and unchanged until more bytes come, and the third is cut the same
    // after the buffer restarted.
    const QByteArray one = readAnswer(0, {0x1111, 0x2222});
    const QByteArray two = readAnswer(20, {0x3333});
    const QByteArray three = readAnswer(1, {0x4444, 0x5555, 0x6666});
    for (int head = 0; head < three.size(); ++head) {
        FrameAssembler f;
        f.receiveData(one + two + three.left(head));
        const auto v1 = f.nextAnswerView();
        const auto v2 = f.nextAnswerView();
        QVERIFY(v1 && v2);
        QVERIFY(!f.nextAnswerView());
        QCOMPARE(v1->toByteArray().toHex(), one.toHex());
        QCOMPARE(v2->toByteArray().toHex(), two.toHex());
        f.receiveData(three.mid(head));
        const auto v3 = f.nextAnswerView();
        QVERIFY(v3);
        QCOMPARE(v3->toByteArray().toHex(), three.toHex());
        QCOMPARE(f.bufferedBytes(), 0);
        // A fresh answer after everything was consumed starts at byte 0.
        f.receiveData(one);
        QCOMPARE(f.nextAnswer().value_or(QByteArray()).toHex(), one.toHex());
    }
}

void TestLink::replyEndings_data()
{
    // How the request's reply ends against a loopback peer: its answer,
    // the response timeout, or the link's loss (the link closed, the peer
    // dropping the connection, the link opened anew).
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("expected");
    QTest::newRow("answer") << "answer" << int(LinkReply::Ending::Answered);
    QTest::newRow("response timeout") << "timeout" << int(LinkReply::Ending::TimedOut);
    QTest::newRow("link closed") << "close" << int(LinkReply::Ending::Lost);
    QTest::newRow("peer drops the connection") << "drop" << int(LinkReply::Ending::Lost);
    QTest::newRow("link opened anew") << "reopen" << int(LinkReply::Ending::Lost);
}

void TestLink::replyEndings()
{
    QFETCH(QString, ending);
    QFETCH(int, expected);
    if (ending == "drop" && underWine())
        QSKIP("under Wine the link does not learn of the peer's close in time (not known of Windows itself)");
    Connected c;
    QVERIFY(c.open());
    c.link.setResponseTimeout(ending == "timeout" ? 50 : 60000);
    QSignalSpy sent(&c.link, &ModbusLink::requestSent);
    const Reply reply = c.link.SendReadInputRegisters(3, 253, 1);
    QSignalSpy finished(reply.get(), &LinkReply::finished);
    QVERIFY(reply->serial() != 0);
    QCOMPARE(reply->ending(), LinkReply::Ending::Pending);
    if (ending == "answer")
        c.answer(sent.at(0).at(0).value<modbus::Transaction>(), {0x0009});
    else if (ending == "close")
        c.link.close();
    else if (ending == "drop")
        c.peer->abort();
    else if (ending == "reopen")
        c.link.open();
    if (finished.isEmpty())
        QVERIFY(finished.wait(5000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(int(reply->ending()), expected);
    QVERIFY(!c.link.isInFlight(reply->serial()));
    if (expected == int(LinkReply::Ending::Answered)) {
        QCOMPARE(reply->answer().word(0), uint16_t(0x0009));
        QCOMPARE(reply->match().request.serial, reply->serial());
        QVERIFY(reply->isGoodAnswer());
    }
    // It ends once: an answer coming after all changes nothing.
    if (ending == "timeout") {
        QSignalSpy late(&c.link, &ModbusLink::lateAnswer);
        c.answer(sent.at(0).at(0).value<modbus::Transaction>(), {0x0009});
        QVERIFY(late.wait(5000));
        QCOMPARE(reply->ending(), LinkReply::Ending::TimedOut);
    }
    QCOMPARE(finished.count(), 1);
}

void TestLink::answersReachTheirOwnReplies()
{
    // Two reads in flight with different tags, answered in the reverse
    // order: each answer ends the reply of its own request, whatever came
    // before it; a third reply (another request of the first tag) waits.
    Connected c;
    QVERIFY(c.open());
    c.link.setResponseTimeout(60000);
    QSignalSpy sent(&c.link, &ModbusLink::requestSent);
    const Reply one = c.link.SendReadInputRegisters(1, 296, 16);
    const Reply two = c.link.SendReadInputRegisters(2, 182, 1);
    const Reply again = c.link.SendReadInputRegisters(1, 296, 16);
    QSignalSpy oneDone(one.get(), &LinkReply::finished);
    QSignalSpy twoDone(two.get(), &LinkReply::finished);
    c.answer(sent.at(1).at(0).value<modbus::Transaction>(), {0x0100});
    QVERIFY(twoDone.wait(5000));
    QCOMPARE(two->answer().word(0), uint16_t(0x0100));
    QVERIFY(!one->isFinished());
    c.answer(sent.at(0).at(0).value<modbus::Transaction>(), {0x1A00});
    QVERIFY(oneDone.wait(5000));
    QCOMPARE(one->answer().word(0), uint16_t(0x1A00));
    QCOMPARE(one->answer().tag(), uint8_t(1));
    QVERIFY(!again->isFinished());
    QCOMPARE(int(c.link.inFlight().size()), 1);
}

void TestLink::exceptionAnswerEndsItsReply()
{
    // An exception answer ends its request's reply as answered, with the
    // exception in it, after the link reported it for the status bar.
    Connected c;
    QVERIFY(c.open());
    QSignalSpy exc(&c.link, &ModbusLink::exceptionAnswer);
    const Reply reply = c.link.SendWriteSingleRegister(1202, 1);
    bool reportedFirst = false;
    QObject::connect(reply.get(), &LinkReply::finished, reply.get(), [&] { reportedFirst = exc.count() == 1; });
    QSignalSpy finished(reply.get(), &LinkReply::finished);
    c.peer->write(hex("FE 00 00 00 00 03 01 86 02"));
    c.peer->flush();
    QVERIFY(finished.wait(5000));
    QVERIFY(reportedFirst);
    QVERIFY(reply->isException());
    QVERIFY(!reply->isGoodAnswer());
    QCOMPARE(reply->answer().exceptionCode(), uint8_t(2));
}

void TestLink::sequenceAwaitsAndStops()
{
    // A sequence awaiting a reply inside a nested task: the caller goes on
    // at once; a second sequence is refused while it runs; the reply's end
    // resumes it. Stopped while it awaits a condition, it ends within stop()
    // and every await after that returns false without suspending.
    Sequence seq;
    auto reply = std::make_shared<LinkReply>(1, 3);
    int counter = 3;
    QStringList trail;
    auto inner = [&]() -> QCoro::Task<bool> { co_return co_await seq.reply(reply); };
    auto run = [&]() -> QCoro::Task<> {
        auto running = seq.begin();
        if (!running) {
            trail << "refused";
            co_return;
        }
        trail << "sent";
        trail << (co_await inner() ? "answered" : "stopped");
        trail << (co_await seq.until([&] { return counter == 0; }) ? "counted" : "stopped");
        trail << (co_await seq.until([] { return false; }) ? "passed" : "stopped again");
    };
    run();
    QCOMPARE(trail, (QStringList{"sent"}));
    QVERIFY(seq.isRunning());
    run();
    QCOMPARE(trail, (QStringList{"sent", "refused"}));
    reply->finishAnswered(ReceiveBuffer{}, {});
    QCOMPARE(trail, (QStringList{"sent", "refused", "answered"}));
    --counter;
    seq.poke();  // not yet
    QCOMPARE(trail.size(), 3);
    seq.stop();
    QCOMPARE(trail, (QStringList{"sent", "refused", "answered", "stopped", "stopped again"}));
    QVERIFY(!seq.isRunning());
    // The next sequence runs afresh.
    counter = 0;
    reply = std::make_shared<LinkReply>(2, 3);
    reply->finishLost();
    trail.clear();
    auto again = [&]() -> QCoro::Task<> {
        auto running = seq.begin();
        trail << (co_await seq.reply(reply) ? "ended" : "stopped");
        trail << (co_await seq.until([&] { return counter == 0; }) ? "counted" : "stopped");
    };
    again();
    QCOMPARE(trail, (QStringList{"ended", "counted"}));
    QVERIFY(!seq.isRunning());
}

QTEST_GUILESS_MAIN(TestLink)
#include "test_link.moc"
