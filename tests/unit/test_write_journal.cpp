// The write journal: how a reply's ending becomes an entry's outcome, the
// file's lines and quoting, the file appended across runs, a file that
// cannot be written (a missing folder, a full disk), and the rows of its
// model as the journal grows past its bound.
#include "link/ModbusFrames.h"
#include "monitor/WriteJournal.h"
#include "support/TmpfsMount.h"
#include "tools/journal/JournalModel.h"
#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

using journal::Write;

Reply pendingReply(uint64_t serial = 7)
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

// The file's lines after the header, without their line ends.
QList<QByteArray> bodyLines(const QString &path)
{
    const QByteArray bytes = readBytes(path);
    if (!bytes.startsWith(journal::csvHeader()))
        return {"<no header>"};
    QList<QByteArray> lines = bytes.mid(journal::csvHeader().size()).split('\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &l : lines)
        l.chop(l.endsWith('\r') ? 1 : 0);
    return lines;
}

// The line's fields after the time.
QByteArray fieldsAfterTime(const QByteArray &line)
{
    return line.mid(line.indexOf(',') + 1);
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
    void unwritableFileReportedOnce();
    void fullDiskLeavesWholeLines();
    void modelFollowsTheBound();
};

void TestWriteJournal::outcomes_data()
{
    QTest::addColumn<uint64_t>("serial");
    QTest::addColumn<QByteArray>("answer");  // hex; empty: ending below
    QTest::addColumn<int>("ending");
    QTest::addColumn<QString>("outcome");
    const int none = int(LinkReply::Ending::Answered);
    QTest::newRow("answered") << uint64_t(3) << QByteArray("FE0300000006010604B20001") << none << "OK";
    QTest::newRow("exception 2") << uint64_t(3) << QByteArray("FE0300000003018602") << none << "exception 2";
    QTest::newRow("exception 11") << uint64_t(3) << QByteArray("FE0300000003018F0B") << none << "exception 11";
    QTest::newRow("timed out") << uint64_t(3) << QByteArray() << int(LinkReply::Ending::TimedOut) << "timeout";
    QTest::newRow("lost") << uint64_t(3) << QByteArray() << int(LinkReply::Ending::Lost) << "disconnected";
    QTest::newRow("never sent") << uint64_t(0) << QByteArray() << int(LinkReply::Ending::Lost) << "not sent";
}

void TestWriteJournal::outcomes()
{
    QFETCH(uint64_t, serial);
    QFETCH(QByteArray, answer);
    QFETCH(int, ending);
    QFETCH(QString, outcome);
    WriteJournal j;
    QSignalSpy recorded(&j, &WriteJournal::entryRecorded);
    const Reply r = pendingReply(serial);
    // A request that was never sent comes back ended, as the link makes it.
    if (serial == 0)
        r->finishLost();
    const Reply returned = j.track(r, Write::singleRegister(QStringLiteral("W"), 1202, 1));
    QCOMPARE(returned, r);
    if (serial != 0) {
        // Recorded when the reply ends, not when the write is sent.
        QCOMPARE(j.size(), 0);
        QCOMPARE(j.pending(), 1);
        const QDateTime before = QDateTime::currentDateTime();
        if (!answer.isEmpty())
            ::answer(r, answer.constData());
        else if (LinkReply::Ending(ending) == LinkReply::Ending::TimedOut)
            r->finishTimedOut();
        else
            r->finishLost();
        QCOMPARE(j.size(), 1);
        QVERIFY(j.entries().front().time >= before);
    }
    QCOMPARE(j.pending(), 0);
    QCOMPARE(recorded.size(), 1);
    QCOMPARE(j.size(), 1);
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
    QTest::newRow("quote alone") << tokyo << 6 << "5\" panel" << 1024u << 5u
                                 << "2026-12-09T14:03:05.123+09:00,\"5\"\" panel\",6,41025,5,OK";
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
    const QByteArray bytes = readBytes(path);
    QCOMPARE(bytes.count("time,window"), 1);
    const QList<QByteArray> lines = bodyLines(path);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(fieldsAfterTime(lines[0]), QByteArray("W,6,41025,0,timeout"));
    QCOMPARE(fieldsAfterTime(lines[1]), QByteArray("W,6,41026,1,timeout"));
    QCOMPARE(fieldsAfterTime(lines[2]), QByteArray("B,5,4001,ON,disconnected"));
    QCOMPARE(fieldsAfterTime(lines[3]), QByteArray("W,6,42001,0,timeout"));
}

void TestWriteJournal::unwritableFileReportedOnce()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("missing"));
    const QString path = folder + QStringLiteral("/journal.csv");
    WriteJournal j;
    j.setFilePath(path);
    QSignalSpy errors(&j, &WriteJournal::fileError);
    recordTimeouts(j, 3);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().first().toString().contains(QStringLiteral("journal.csv")),
             qPrintable(errors.first().first().toString()));
    QCOMPARE(j.size(), 3);
    QCOMPARE(j.unwritten(), 3);
    QVERIFY(!QFile::exists(path));

    // Once the folder is there, the next write takes the lines kept with it.
    QVERIFY(QDir().mkpath(folder));
    recordTimeouts(j, 1, 1100);
    QCOMPARE(j.unwritten(), 0);
    QCOMPARE(errors.size(), 1);
    const QList<QByteArray> lines = bodyLines(path);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(fieldsAfterTime(lines[0]), QByteArray("W,6,41025,0,timeout"));
    QCOMPARE(fieldsAfterTime(lines[3]), QByteArray("W,6,41101,0,timeout"));

    // Failing again after it worked is reported again.
    QVERIFY(QDir(folder).removeRecursively());
    recordTimeouts(j, 1);
    QCOMPARE(errors.size(), 2);
}

void TestWriteJournal::fullDiskLeavesWholeLines()
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
    QCOMPARE(errors.size(), 1);
    QVERIFY(j.unwritten() > 0);
    // The file ends with a whole line, never a cut one.
    QVERIFY(readBytes(path).endsWith("\r\n"));

    QVERIFY(disk.freeSpace());
    recordTimeouts(j, 1, 1024 + uint32_t(n));
    QCOMPARE(j.unwritten(), 0);
    const QList<QByteArray> lines = bodyLines(path);
    QCOMPARE(lines.size(), n + 1);
    for (int i = 0; i <= n; ++i)
        QVERIFY2(lines[i].contains(QByteArray(",6,") + QByteArray::number(41025 + i) + ','), lines[i].constData());
}

void TestWriteJournal::modelFollowsTheBound()
{
    WriteJournal j(nullptr, 3);
    recordTimeouts(j, 2);
    JournalModel model(j);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 2);
    recordTimeouts(j, 4, 1100);
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
