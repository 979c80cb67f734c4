// The write journal: how a reply's ending becomes an entry's outcome, the
// file's lines and quoting, the file appended across runs, a file that
// cannot be written (a real full disk), and the rows of its model as the
// journal grows past its bound.
#include "link/ModbusFrames.h"
#include "monitor/WriteJournal.h"
#include "support/TmpfsMount.h"
#include "tools/journal/JournalModel.h"
#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

using journal::Write;

Reply pendingReply(uint64_t serial)
{
    return std::make_shared<LinkReply>(serial, modbus::kWriteTag);
}

void answer(const Reply &r, const char *hex)
{
    ReceiveBuffer rb;
    rb.assign(QByteArray::fromHex(hex));
    r->finishAnswered(rb, {});
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The file's lines after its one header, each without its time and line end.
QList<QByteArray> bodyLines(const QString &path)
{
    const QByteArray bytes = readBytes(path);
    if (!bytes.startsWith(journal::csvHeader()) || bytes.count("time,window") != 1)
        return {"<header>"};
    QList<QByteArray> lines = bytes.mid(journal::csvHeader().size()).split('\n');
    lines.removeLast();  // after the last line end
    for (QByteArray &l : lines)
        l = l.mid(l.indexOf(',') + 1).chopped(1);
    return lines;
}

void recordTimeouts(WriteJournal &j, int n, uint32_t firstAddress = 1024)
{
    for (int i = 0; i < n; ++i) {
        const Reply r = pendingReply(uint64_t(i) + 1);
        j.track(r, Write::singleRegister(QStringLiteral("W"), firstAddress + uint32_t(i), uint32_t(i)));
        r->finishTimedOut();
    }
}

} // namespace

class TestWriteJournal : public QObject {
    Q_OBJECT
private slots:
    void outcomes_data();
    void outcomes();
    void csvLines_data();
    void csvLines();
    void fileAppendedAcrossRuns();
    void fullDisk();
    void modelFollowsTheBound();
};

void TestWriteJournal::outcomes_data()
{
    QTest::addColumn<QByteArray>("ending");  // the answer in hex, "timeout", "lost" or "never sent"
    QTest::addColumn<QString>("outcome");
    QTest::newRow("answered") << QByteArray("FE0300000006010604B20001") << "OK";
    QTest::newRow("exception 2") << QByteArray("FE0300000003018602") << "exception 2";
    QTest::newRow("timed out") << QByteArray("timeout") << "timeout";
    QTest::newRow("lost") << QByteArray("lost") << "disconnected";
    QTest::newRow("never sent") << QByteArray("never sent") << "not sent";
}

void TestWriteJournal::outcomes()
{
    QFETCH(QByteArray, ending);
    QFETCH(QString, outcome);
    WriteJournal j;
    QSignalSpy recorded(&j, &WriteJournal::entryRecorded);
    const bool sent = ending != "never sent";
    const Reply r = pendingReply(sent ? 3 : 0);
    // A request that was never sent comes back ended, as the link makes it.
    if (!sent)
        r->finishLost();
    QCOMPARE(j.track(r, Write::singleRegister(QStringLiteral("W"), 1202, 1)), r);
    const QDateTime before = QDateTime::currentDateTime();
    if (sent) {
        // Recorded when the reply ends, not when the write is sent.
        QCOMPARE(j.pending(), 1);
        QCOMPARE(j.size(), 0);
        if (ending == "timeout")
            r->finishTimedOut();
        else if (ending == "lost")
            r->finishLost();
        else
            answer(r, ending.constData());
        QVERIFY(j.entries().front().time >= before);
    }
    QCOMPARE(j.pending(), 0);
    QCOMPARE(recorded.size(), 1);
    QCOMPARE(journal::outcomeText(j.entries().front()), outcome);
    // A reply ends once: a second ending records nothing more.
    r->finishTimedOut();
    QCOMPARE(j.size(), 1);
}

void TestWriteJournal::csvLines_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<int>("function");
    QTest::addColumn<QString>("source");
    QTest::addColumn<uint32_t>("address");
    QTest::addColumn<uint32_t>("value");
    QTest::addColumn<QString>("line");
    const QDate d(2026, 12, 9);
    const QDateTime tokyo(d, QTime(14, 3, 5, 123), Qt::OffsetFromUTC, 9 * 3600);
    const QDateTime utc(d, QTime(0, 0, 0, 7), Qt::UTC);
    const QDateTime newfoundland(d, QTime(23, 59, 59, 999), Qt::OffsetFromUTC, -(3 * 3600 + 1800));
    QTest::newRow("coil on") << tokyo << 5 << "任意書き込み" << 1000u << 0xFFu
                             << "2026-12-09T14:03:05.123+09:00,任意書き込み,5,1001,ON,OK";
    QTest::newRow("coil off, UTC") << utc << 5 << "Main" << 0u << 0u << "2026-12-09T00:00:00.007+00:00,Main,5,1,OFF,OK";
    QTest::newRow("register, low 16 bits") << newfoundland << 6 << "M" << 1202u << 0x10001u
                                           << "2026-12-09T23:59:59.999-03:30,M,6,41203,1,OK";
    QTest::newRow("pair, 32 bits") << tokyo << 16 << "M" << 2848u << 0x89ABCDEFu
                                   << "2026-12-09T14:03:05.123+09:00,M,16,42849,2309737967,OK";
    QTest::newRow("comma and quotes") << tokyo << 6 << "a,\"b\"" << 1024u << 5u
                                      << "2026-12-09T14:03:05.123+09:00,\"a,\"\"b\"\"\",6,41025,5,OK";
}

void TestWriteJournal::csvLines()
{
    QFETCH(QDateTime, time);
    QFETCH(int, function);
    QFETCH(QString, source);
    QFETCH(uint32_t, address);
    QFETCH(uint32_t, value);
    QFETCH(QString, line);
    const Write w = function == 5   ? Write::singleCoil(source, address, uint8_t(value))
                    : function == 6 ? Write::singleRegister(source, address, value)
                                    : Write::twoRegisters(source, address, value);
    const journal::Entry e{time, w, journal::Outcome::Ok, 0};
    QCOMPARE(journal::csvLine(e), line.toUtf8() + "\r\n");
}

void TestWriteJournal::fileAppendedAcrossRuns()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QLatin1String(WriteJournal::kFileName));
    {
        WriteJournal first;
        first.setFilePath(path);
        recordTimeouts(first, 2);
        // Each line is in the file as soon as it is recorded.
        QCOMPARE(bodyLines(path).size(), 2);
        // A write still in flight when the program ends.
        first.track(pendingReply(9), Write::singleCoil(QStringLiteral("B"), 4000, 0xFF));
    }
    {
        WriteJournal second;
        second.setFilePath(path);
        // The second run's memory holds its own writes only.
        recordTimeouts(second, 1, 2000);
        QCOMPARE(second.size(), 1);
    }
    QCOMPARE(bodyLines(path), (QList<QByteArray>{"W,6,41025,0,timeout", "W,6,41026,1,timeout",
                                                  "B,5,4001,ON,disconnected", "W,6,42001,0,timeout"}));
}

void TestWriteJournal::fullDisk()
{
    TmpfsMount disk(64);
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.problem()));
    const QString path = disk.path() + QLatin1String(WriteJournal::kFileName);
    WriteJournal j;
    j.setFilePath(path);
    QSignalSpy errors(&j, &WriteJournal::fileError);
    recordTimeouts(j, 1);
    QVERIFY(disk.fill(0));
    // Enough lines to fill the last page the filler left, whatever it was.
    int n = 1;
    while (errors.isEmpty() && n < 200) {
        recordTimeouts(j, 1, 1024 + uint32_t(n));
        ++n;
    }
    // Reported once however many lines fail; every entry stays in memory.
    for (int more = 0; more < 2; ++more, ++n)
        recordTimeouts(j, 1, 1024 + uint32_t(n));
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors.first().first().toString().contains(path));
    QCOMPARE(j.size(), n);
    QVERIFY(j.unwritten() > 2);
    // The file ends with a whole line, never a cut one.
    QVERIFY(readBytes(path).endsWith("\r\n"));

    QVERIFY(disk.freeSpace());
    recordTimeouts(j, 1, 1024 + uint32_t(n));
    QCOMPARE(j.unwritten(), 0);
    QList<QByteArray> all;
    for (int i = 0; i <= n; ++i)
        all << "W,6," + QByteArray::number(41025 + i) + ",0,timeout";
    QCOMPARE(bodyLines(path), all);
}

void TestWriteJournal::modelFollowsTheBound()
{
    WriteJournal j(nullptr, 3);
    recordTimeouts(j, 2);
    JournalModel model(j);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 2);
    // While rows are announced as going, the rows after them still show
    // what they showed (a view reads them then); afterwards they moved up.
    QStringList stayingFirst;
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [&](const QModelIndex &, int, int last) {
        stayingFirst << model.index(last + 1, int(JournalColumn::Reference)).data().toString();
    });
    QStringList firstAfter;
    connect(&model, &QAbstractItemModel::rowsRemoved, this, [&] {
        firstAfter << model.index(0, int(JournalColumn::Reference)).data().toString();
    });
    recordTimeouts(j, 4, 1100);
    QVERIFY(!stayingFirst.isEmpty());
    QCOMPARE(firstAfter, stayingFirst);
    QCOMPARE(j.recorded(), 6);
    QCOMPARE(model.rowCount(), 3);
    const auto cell = [&](int row, JournalColumn c) { return model.index(row, int(c)).data().toString(); };
    // The newest last; the oldest gone.
    QCOMPARE(cell(0, JournalColumn::Reference), QStringLiteral("41102"));
    QCOMPARE(cell(2, JournalColumn::Reference), QStringLiteral("41104"));
    QCOMPARE(cell(2, JournalColumn::Value), QStringLiteral("3"));
    QCOMPARE(cell(2, JournalColumn::Function), QStringLiteral("6"));
    QCOMPARE(cell(2, JournalColumn::Window), QStringLiteral("W"));
    QCOMPARE(cell(2, JournalColumn::Outcome), QStringLiteral("timeout"));
    QCOMPARE(cell(2, JournalColumn::Time), journal::timeText(j.entries().back().time));
}

QTEST_MAIN(TestWriteJournal)
#include "test_write_journal.moc"
