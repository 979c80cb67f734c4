// The table of requests in flight: matching answers to requests, response
// times, timeouts, late and unsolicited answers. (What the link counts of
// them is counted by diag/CommStats from the link's signals.)
#include "link/Transactions.h"
#include <QTest>

using namespace modbus;

namespace {

Transaction request(uint8_t tag, uint8_t function, uint16_t address = 0, uint16_t count = 1)
{
    Transaction t;
    t.tag = tag;
    t.transactionId = uint16_t(tag << 8);
    t.function = function;
    t.address = address;
    t.count = count;
    return t;
}

constexpr int64_t kTimeout = 1000000;  // 1 s in microseconds

} // namespace

class TestTransactions : public QObject {
    Q_OBJECT
private slots:
    void matching_data();
    void matching();
    void sameIdentifierAnsweredOldestFirst();
    void timeoutReportedOnceThenLate();
    void lateMemoryIsBounded();
    void clearForgetsTheRequests();
};

void TestTransactions::matching_data()
{
    // One request in flight (tag 1, function 4, sent at 0); one answer.
    QTest::addColumn<uint16_t>("answerId");
    QTest::addColumn<uint8_t>("answerFunction");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("stillInFlight");
    QTest::newRow("own answer") << uint16_t(0x0100) << uint8_t(4) << int(AnswerKind::Matched) << 0;
    QTest::newRow("exception answer to it") << uint16_t(0x0100) << uint8_t(0x84)
                                            << int(AnswerKind::Matched) << 0;
    QTest::newRow("another tag") << uint16_t(0x0000) << uint8_t(4) << int(AnswerKind::Unsolicited) << 1;
    QTest::newRow("low byte differs") << uint16_t(0x0101) << uint8_t(4)
                                      << int(AnswerKind::Unsolicited) << 1;
    QTest::newRow("another function") << uint16_t(0x0100) << uint8_t(3)
                                      << int(AnswerKind::Unsolicited) << 1;
}

void TestTransactions::matching()
{
    QFETCH(uint16_t, answerId);
    QFETCH(uint8_t, answerFunction);
    QFETCH(int, kind);
    QFETCH(int, stillInFlight);
    TransactionTable table;
    const uint64_t serial = table.add(request(1, 4, 296, 16), 0, kTimeout).serial;
    const AnswerMatch m = table.match(answerId, answerFunction, 2500);
    QCOMPARE(int(m.kind), kind);
    QCOMPARE(int(table.inFlight().size()), stillInFlight);
    QCOMPARE(table.isInFlight(serial), stillInFlight == 1);
    if (m.kind == AnswerKind::Matched) {
        QCOMPARE(m.request.serial, serial);
        QCOMPARE(m.request.address, uint16_t(296));
        QCOMPARE(m.request.count, uint16_t(16));
        QCOMPARE(m.responseUs, int64_t(2500));
    } else {
        QCOMPARE(m.request.serial, 0u);
    }
}

void TestTransactions::sameIdentifierAnsweredOldestFirst()
{
    // Writes all carry tag 254, and a slow gateway lets monitor polls of
    // tag 0 pile up: answers with one identifier go to the oldest request.
    TransactionTable table;
    const uint64_t a = table.add(request(0, 4, 360, 32), 100, kTimeout).serial;
    const uint64_t b = table.add(request(0, 4, 360, 32), 200, kTimeout).serial;
    const uint64_t c = table.add(request(254, 6, 1202), 300, kTimeout).serial;
    QVERIFY(a < b && b < c);
    const AnswerMatch first = table.match(0x0000, 4, 1000);
    QCOMPARE(first.request.serial, a);
    QCOMPARE(first.responseUs, int64_t(900));
    QCOMPARE(table.match(0xFE00, 6, 1100).request.serial, c);
    QCOMPARE(table.match(0x0000, 4, 1200).request.serial, b);
    QCOMPARE(int(table.match(0x0000, 4, 1300).kind), int(AnswerKind::Unsolicited));
    QVERIFY(table.inFlight().empty());
}

void TestTransactions::timeoutReportedOnceThenLate()
{
    TransactionTable table;
    const uint64_t early = table.add(request(1, 4), 0, kTimeout).serial;
    table.add(request(2, 4), 500000, kTimeout);
    QCOMPARE(table.nextDeadlineUs(), std::optional<int64_t>(kTimeout));
    QVERIFY(table.expire(kTimeout - 1).empty());
    const auto gone = table.expire(kTimeout);
    QCOMPARE(int(gone.size()), 1);
    QCOMPARE(gone[0].serial, early);
    QVERIFY(!table.isInFlight(early));
    QVERIFY(table.expire(kTimeout + 1).empty());  // reported once only
    QCOMPARE(table.nextDeadlineUs(), std::optional<int64_t>(500000 + kTimeout));

    const AnswerMatch late = table.match(0x0100, 4, 1200000);
    QCOMPARE(int(late.kind), int(AnswerKind::Late));
    QCOMPARE(late.request.serial, early);
    QCOMPARE(late.responseUs, int64_t(1200000));
    // A second answer to it is not late again: nothing asked for it.
    QCOMPARE(int(table.match(0x0100, 4, 1300000).kind), int(AnswerKind::Unsolicited));
}

void TestTransactions::lateMemoryIsBounded()
{
    TransactionTable table;
    const int n = int(TransactionTable::kLateMemory) + 10;
    for (int i = 0; i < n; ++i)
        table.add(request(254, 5, uint16_t(i)), i, kTimeout);
    QCOMPARE(int(table.expire(2 * kTimeout).size()), n);
    int late = 0, unsolicited = 0;
    for (int i = 0; i < n; ++i) {
        const AnswerKind k = table.match(0xFE00, 5, 3 * kTimeout).kind;
        late += k == AnswerKind::Late;
        unsolicited += k == AnswerKind::Unsolicited;
    }
    QCOMPARE(late, int(TransactionTable::kLateMemory));
    QCOMPARE(unsolicited, 10);
}

void TestTransactions::clearForgetsTheRequests()
{
    TransactionTable table;
    table.add(request(1, 4), 0, kTimeout);
    table.add(request(3, 4), 0, 10);
    QCOMPARE(int(table.expire(10).size()), 1);
    table.clear();
    QVERIFY(table.inFlight().empty());
    QVERIFY(!table.nextDeadlineUs());
    // The forgotten request is never reported as timed out.
    QVERIFY(table.expire(10 * kTimeout).empty());
    // Neither the forgotten request nor the timed-out one is waited for.
    QCOMPARE(int(table.match(0x0100, 4, 20).kind), int(AnswerKind::Unsolicited));
    QCOMPARE(int(table.match(0x0300, 4, 20).kind), int(AnswerKind::Unsolicited));
    // Serials go on: a request after the clear is never taken for an old one.
    QCOMPARE(table.add(request(1, 4), 30, kTimeout).serial, 3u);
}

QTEST_GUILESS_MAIN(TestTransactions)
#include "test_transactions.moc"
