// The bus recording's file: what a layout reads and decodes, rows and gap
// rows back as written, the summary levels against a brute-force minimum and
// maximum, the points drawn from them, the CSV export, and a recording that
// survives a killed writer and a full disk.
#include "monitor/CsvRow.h"
#include "monitor/Recording.h"
#include "monitor/ValueDecoding.h"
#include "support/TmpfsMount.h"
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <cmath>
#include <cstdio>

namespace {

// The registers a layout's row holds when input register a (protocol
// address) holds value(a).
template <class Value>
std::vector<uint16_t> rowOf(const rec::Layout &layout, Value value)
{
    std::vector<uint16_t> row;
    for (const rec::Read &r : layout.reads)
        for (int k = 0; k < r.count; ++k)
            row.push_back(value(r.address + uint32_t(k)));
    return row;
}

rec::Info infoOf(const rec::Layout &layout, int intervalMs = 100)
{
    rec::Info info;
    info.program = QStringLiteral("RMTool test");
    info.startedMs = 1'700'000'000'000;
    info.intervalMs = intervalMs;
    info.layout = layout;
    return info;
}

site::Terminal terminal(int address, int type, const QString &name)
{
    site::Terminal t;
    t.address = address;
    t.type = type;
    t.name = name;
    return t;
}

// The child of killedWriterKeepsCommittedRows: writes rows until killed,
// telling each commit on its standard output.
int writeUntilKilled(const QString &path)
{
    const rec::Layout layout = rec::layoutOf(nullptr);
    rec::Writer writer;
    QString error;
    if (!writer.create(path, infoOf(layout, 10), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    for (int64_t i = 0;; ++i) {
        const std::vector<uint16_t> row = rowOf(layout, [i](uint32_t a) { return uint16_t(i + a); });
        if (!writer.append(1'700'000'000'000 + 10 * i, row.data()))
            return 2;
        if (i % 20 == 19) {
            if (!writer.commit())
                return 3;
            std::printf("committed %lld\n", static_cast<long long>(writer.committedRows()));
            std::fflush(stdout);
        }
        QThread::msleep(1);
    }
}

} // namespace

class TestRecording : public QObject {
    Q_OBJECT
private slots:
    void layoutReadsAndDecodes_data();
    void layoutReadsAndDecodes();
    void rowsAndGapsComeBackAsWritten();
    void summaryLevelsMatchBruteForce();
    void pointsComeFromTheLevelOfThePixels();
    void exportIsACsvLogOfTheAnswers();
    void killedWriterKeepsCommittedRows();
    void fullDiskEndsRecordingAndKeepsCommittedRows();
    void refusesWhatIsNoRecording();
};

void TestRecording::layoutReadsAndDecodes_data()
{
    QTest::addColumn<bool>("withSite");
    QTest::addColumn<int>("channels");
    QTest::newRow("no installation: the whole area") << false << 512;
    // Thermocouple (1 word, 4 labelled channels and a tagged one), 24-bit
    // counter (2 words, 8 counters), current terminal at 62 (4 words, cut
    // at the area's end).
    QTest::newRow("installation") << true << -1;
}

void TestRecording::layoutReadsAndDecodes()
{
    QFETCH(bool, withSite);
    QFETCH(int, channels);
    site::Site s;
    s.terminals << terminal(12, 2, QStringLiteral("Counter")) << terminal(0, 0, QStringLiteral("Furnace"))
                << terminal(62, 4, QStringLiteral("Feeder"));
    site::Channel tagged;
    tagged.channel = 1;
    tagged.tag = QStringLiteral("TC-101");
    s.terminals[1].channels << tagged;
    const rec::Layout layout = rec::layoutOf(withSite ? &s : nullptr);

    // Reads: within the area, rising, none over the limit, and the row is
    // exactly their registers.
    int sum = 0;
    uint32_t next = 0;
    for (const rec::Read &r : layout.reads) {
        QVERIFY(r.count > 0 && r.count <= rec::kMaxReadRegisters);
        QVERIFY(r.address >= rec::kAreaFirst && r.address >= next);
        QVERIFY(r.address + uint32_t(r.count) <= rec::kAreaFirst + rec::kAreaRegisters);
        next = r.address + uint32_t(r.count);
        sum += r.count;
    }
    QCOMPARE(layout.registers, sum);
    if (channels > 0)
        QCOMPARE(layout.channels.size(), channels);
    if (!withSite) {
        QCOMPARE(layout.reads.size(), 5);  // 4 × 125 + 12
        QCOMPARE(layout.channels.first().name(), QStringLiteral("30321"));
        QCOMPARE(layout.channels.last().name(), QStringLiteral("30832"));
    }

    // Every channel reads its own registers: register a holds a's low bits
    // and the next register something else, so a wrong offset shows.
    const std::vector<uint16_t> row = rowOf(layout, [](uint32_t a) { return uint16_t(a * 7 + 3); });
    QCOMPARE(int(row.size()), layout.registers);
    int terminals[64] = {};
    for (const rec::Channel &c : layout.channels) {
        const uint32_t first = withSite ? rec::kAreaFirst + 8u * uint32_t(c.terminal) : rec::kAreaFirst;
        double expected;
        if (c.kind == rec::Kind::Unsigned24) {
            const int j = c.box < 8 ? c.box : c.box - 8;
            const uint32_t r = first + 2u * uint32_t(j);
            expected = monitor::assemble24(uint16_t(r * 7 + 3), uint16_t((r + 1) * 7 + 3), false);
        } else {
            expected = uint16_t((first + uint32_t(c.box)) * 7 + 3);
        }
        QCOMPARE(rec::channelValue(c, row.data(), false), expected);
        if (withSite)
            ++terminals[c.terminal];
    }
    if (withSite) {
        QCOMPARE(layout.channels.first().terminal, 0);  // in address order
        QVERIFY2(terminals[0] > 0 && terminals[12] == 8 && terminals[62] > 0, qPrintable(QStringLiteral("%1 %2 %3").arg(terminals[0]).arg(terminals[12]).arg(terminals[62])));
        const auto tc = std::find_if(layout.channels.begin(), layout.channels.end(),
                                     [](const rec::Channel &c) { return c.terminal == 0 && c.box == 1; });
        QVERIFY(tc != layout.channels.end());
        QVERIFY(tc->name().startsWith(QStringLiteral("W0 Furnace ")));
        QVERIFY(tc->name().endsWith(QStringLiteral(" TC-101")));
        for (const rec::Channel &c : layout.channels)
            QVERIFY(c.terminal != 62 || 8 * 62 + c.box < rec::kAreaRegisters);
    }
}

void TestRecording::rowsAndGapsComeBackAsWritten()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(rec::fileNameFor(QDateTime(QDate(2026, 12, 9), QTime(21, 5, 7))));
    QVERIFY(path.endsWith(QStringLiteral("/REC-20261209-210507.rmrec")));
    const rec::Layout layout = rec::layoutOf(nullptr);
    rec::Info info = infoOf(layout);
    info.siteJson = QByteArrayLiteral("{\"format\": \"rmtool-site/1\"}");
    info.swapped = true;
    {
        rec::Writer w;
        QString error;
        QVERIFY2(w.create(path, info, &error), qPrintable(error));
        QVERIFY(!w.create(path, info, &error));  // never over an existing file
        const auto row = [&](int i) { return rowOf(layout, [i](uint32_t a) { return uint16_t(i * 1000 + a); }); };
        QVERIFY(w.append(5000, row(0).data()));
        QVERIFY(w.append(5000, nullptr));         // the same ms: one later
        QVERIFY(w.append(4000, row(2).data()));   // a clock set back: still later
        QVERIFY(w.append(9000, row(3).data()));
        QVERIFY(w.finish(9500));
    }
    rec::Reader r;
    QString error;
    QVERIFY2(r.open(path, &error), qPrintable(error));
    QCOMPARE(r.info().layout, layout);
    QCOMPARE(r.info().siteJson, info.siteJson);
    QCOMPARE(r.info().swapped, true);
    QCOMPARE(r.info().intervalMs, 100);
    QCOMPARE(r.info().endedMs, std::optional<int64_t>(9500));
    QCOMPARE(r.rowCount(), 4);
    QCOMPARE(r.firstTime(), 5000);
    QCOMPARE(r.lastTime(), 9000);
    QList<int64_t> times;
    QList<int> firsts;
    r.rows(0, 10000, [&](int64_t t, const uint16_t *regs) {
        times << t;
        firsts << (regs ? int(regs[0]) : -1);
        if (regs)
            [&] { QCOMPARE(int(regs[511]), int(regs[0]) + 511); }();
        return true;
    });
    QCOMPARE(times, (QList<int64_t>{5000, 5001, 5002, 9000}));
    QCOMPARE(firsts, (QList<int>{320, -1, 2320, 3320}));
}

void TestRecording::summaryLevelsMatchBruteForce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.rmrec"));
    const rec::Layout layout = rec::layoutOf(nullptr);
    QRandomGenerator random(24);
    struct Row {
        int64_t t;
        bool gap;
        std::vector<uint16_t> regs;
    };
    std::vector<Row> written;
    {
        rec::Writer w;
        QString error;
        QVERIFY2(w.create(path, infoOf(layout), &error), qPrintable(error));
        int64_t t = 1'000'000;
        for (int i = 0; i < 6000; ++i) {
            t += 100;
            // Gaps now and then, sometimes several in a row, sometimes right
            // where a block ends.
            const bool gap = random.bounded(200) == 0 || (i >= 2047 && i <= 2049) || i == 4095 + 16;
            Row row{t, gap, {}};
            if (!gap)
                row.regs = rowOf(layout, [&](uint32_t a) { return uint16_t(a == 320 ? i : random.bounded(65536)); });
            QVERIFY(w.append(t, gap ? nullptr : row.regs.data()));
            if (i % 37 == 0)
                QVERIFY(w.commit());
            written.push_back(std::move(row));
        }
        QVERIFY(w.finish(t));
    }
    rec::Reader r;
    QString error;
    QVERIFY2(r.open(path, &error), qPrintable(error));
    for (const int channel : {0, 1, 300, 511}) {
        int64_t coveredTo = 0;  // the end of the blocks of the level below
        for (int level = 1; level <= rec::kLevels; ++level) {
            const auto blocks = r.blocks(level, channel, 0, INT64_MAX);
            if (level == 1)
                QVERIFY(blocks.size() > 6000 / 16);
            int64_t previousEnd = 0;
            for (const auto &b : blocks) {
                QVERIFY(b.t0 > previousEnd && b.t1 >= b.t0);
                previousEnd = b.t1;
                float lo = NAN, hi = NAN;
                int rows = 0;
                size_t after = 0;
                for (size_t i = 0; i < written.size(); ++i) {
                    const Row &row = written[i];
                    if (row.t > b.t1) {
                        after = i;
                        break;
                    }
                    if (row.t < b.t0 || row.gap)
                        continue;
                    ++rows;
                    const float v = float(row.regs[size_t(channel)]);
                    lo = std::isnan(lo) ? v : std::min(lo, v);
                    hi = std::isnan(hi) ? v : std::max(hi, v);
                }
                QVERIFY(rows > 0);
                QCOMPARE(b.min, lo);
                QCOMPARE(b.max, hi);
                // No block spans a gap, and a block before one says so.
                QCOMPARE(b.gap, after > 0 && written[after].gap);
            }
            if (level > 1)
                QVERIFY(previousEnd <= coveredTo);
            coveredTo = previousEnd;
        }
    }
}

void TestRecording::pointsComeFromTheLevelOfThePixels()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.rmrec"));
    const rec::Layout layout = rec::layoutOf(nullptr);
    const int64_t start = 1'000'000;
    const int rows = 20000;
    {
        rec::Writer w;
        QString error;
        QVERIFY2(w.create(path, infoOf(layout), &error), qPrintable(error));
        for (int i = 0; i < rows; ++i) {
            // Channel 0 a sawtooth with one spike; a gap at row 12345.
            const uint16_t v = i == 7777 ? 60000 : uint16_t(i % 1000);
            std::vector<uint16_t> regs(size_t(layout.registers), 0);
            regs[0] = v;
            QVERIFY(w.append(start + 100 * i, i == 12345 ? nullptr : regs.data()));
        }
        QVERIFY(w.commit());  // not finished: the tails come from the levels below
        rec::Reader r;
        QVERIFY2(r.open(path, &error), qPrintable(error));
        const double t0 = double(start), t1 = double(start + 100 * rows);
        QVERIFY(r.levelFor(t0, t1, 100) >= 2);
        const auto whole = r.points({0}, t0, t1, 100).front();
        double lo = 1e9, hi = -1e9;
        int breaks = 0;
        for (const auto &p : whole) {
            if (std::isnan(p.y)) {
                ++breaks;
                continue;
            }
            lo = std::min(lo, p.y);
            hi = std::max(hi, p.y);
        }
        QCOMPARE(lo, 0.0);
        QCOMPARE(hi, 60000.0);  // the one spike survives
        QCOMPARE(breaks, 1);
        // The last rows, after the last written blocks, are drawn too.
        QVERIFY(whole.back().x >= double(start + 100 * (rows - 16)));

        // Zoomed in to 50 rows over 500 columns: the rows themselves.
        const double z0 = double(start + 100 * 7760), z1 = double(start + 100 * 7810);
        QCOMPARE(r.levelFor(z0, z1, 500), 0);
        const auto zoomed = r.points({0}, z0, z1, 500).front();
        QCOMPARE(int(zoomed.size()), 50);
        for (int k = 0; k < 50; ++k) {
            const int i = 7760 + k;
            QCOMPARE(zoomed[size_t(k)].x, double(start + 100 * i));
            QCOMPARE(zoomed[size_t(k)].y, i == 7777 ? 60000.0 : double(i % 1000));
        }
    }
}

void TestRecording::exportIsACsvLogOfTheAnswers()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("e.rmrec"));
    site::Site s;
    s.terminals << terminal(2, 2, QStringLiteral("Count, line 2"));
    const rec::Layout layout = rec::layoutOf(&s);
    const QDateTime t0(QDate(2026, 12, 9), QTime(23, 59, 58));
    {
        rec::Writer w;
        QString error;
        QVERIFY2(w.create(path, infoOf(layout), &error), qPrintable(error));
        for (int i = 0; i < 5; ++i) {
            const auto regs = rowOf(layout, [i](uint32_t a) { return uint16_t(a == 336 ? 1000 + i : a == 337 ? 0x1201 : 0); });
            QVERIFY(w.append(t0.toMSecsSinceEpoch() + 1000 * i, i == 2 ? nullptr : regs.data()));
        }
        QVERIFY(w.finish(t0.toMSecsSinceEpoch() + 5000));
    }
    rec::Reader r;
    QString error;
    QVERIFY2(r.open(path, &error), qPrintable(error));
    const QString text = rec::exportCsv(r, {0, 1}, t0.toMSecsSinceEpoch() + 1000, t0.toMSecsSinceEpoch() + 4000);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 5);  // header, rows 1, 3, 4 (2 is a gap), and the end
    QCOMPARE(lines[0], QStringLiteral("Date,Time,Count,\"%1\",\"%2\"")
                           .arg(layout.channels[0].name(), layout.channels[1].name()));
    QVERIFY(layout.channels[0].name().startsWith(QStringLiteral("W2 Count, line 2")));
    const QStringList first = lines[1].split(u',');
    QCOMPARE(first.size(), 5);
    QCOMPARE(first[0], monitor::csvDateText(t0.addSecs(1).date()));
    QCOMPARE(first[1], monitor::csvTimeText(t0.addSecs(1).time()));
    QCOMPARE(first.mid(2), (QStringList{QStringLiteral("1"), QString::number(0x010000 + 1001), QStringLiteral("0")}));
    QCOMPARE(lines[2].split(u',').mid(2, 2), (QStringList{QStringLiteral("2"), QString::number(0x010000 + 1003)}));
    QCOMPARE(lines[2].split(u',')[0], monitor::csvDateText(t0.addSecs(3).date()));  // the next day
    QCOMPARE(lines[4], QString());
}

void TestRecording::killedWriterKeepsCommittedRows()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("k.rmrec"));
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--write-until-killed"), path});
    QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
    QByteArray out;
    int64_t committed = 0;
    QVERIFY(QTest::qWaitFor([&] {
        out += child.readAllStandardOutput();
        const QList<QByteArray> lines = out.trimmed().split('\n');
        if (lines.last().startsWith("committed "))
            committed = lines.last().mid(10).trimmed().toLongLong();
        return committed >= 400 || child.state() != QProcess::Running;
    }, 120'000));
    QCOMPARE(child.state(), QProcess::Running);
    child.kill();  // SIGKILL: no destructor, no close, no checkpoint
    QVERIFY(child.waitForFinished());
    out += child.readAllStandardOutput();
    committed = out.trimmed().split('\n').last().mid(10).trimmed().toLongLong();

    rec::Reader r;
    QString error;
    QVERIFY2(r.open(path, &error), qPrintable(error));
    QVERIFY(!r.info().endedMs);
    QVERIFY2(r.rowCount() >= committed, qPrintable(QStringLiteral("%1 < %2").arg(r.rowCount()).arg(committed)));
    int64_t i = 0;
    bool intact = true;
    r.rows(0, INT64_MAX, [&](int64_t t, const uint16_t *regs) {
        intact = intact && t == 1'700'000'000'000 + 10 * i && regs && regs[0] == uint16_t(i + 320)
                 && regs[511] == uint16_t(i + 831);
        ++i;
        return intact;
    });
    QVERIFY(intact);
    QCOMPARE(i, r.rowCount());
    // The summary drawn over all of it holds together.
    QVERIFY(!r.points({0}, double(r.firstTime()), double(r.lastTime() + 1), 200).front().empty());
}

void TestRecording::fullDiskEndsRecordingAndKeepsCommittedRows()
{
    TmpfsMount disk(512);
    if (!disk.isMounted())
        QSKIP(qPrintable(QStringLiteral("no full-disk test: ") + disk.problem()));
    const QString path = disk.path() + QStringLiteral("full.rmrec");
    const rec::Layout layout = rec::layoutOf(nullptr);
    rec::Writer w;
    QString error;
    QVERIFY2(w.create(path, infoOf(layout), &error), qPrintable(error));
    int64_t committed = 0;
    bool failed = false;
    for (int i = 0; i < 5000 && !failed; ++i) {
        const auto regs = rowOf(layout, [i](uint32_t a) { return uint16_t(i ^ a); });
        failed = !w.append(1000 + 100 * i, regs.data()) || (i % 10 == 9 && !w.commit());
        if (!failed)
            committed = w.committedRows();
    }
    QVERIFY(failed);
    QVERIFY(w.diskFull());
    QVERIFY(!w.isOpen());
    QVERIFY(w.error().contains(QStringLiteral("full.rmrec")));
    QVERIFY(!w.append(1'000'000, nullptr));  // stays ended
    QVERIFY(committed > 0);

    rec::Reader r;
    QVERIFY2(r.open(path, &error), qPrintable(error));
    QCOMPARE(r.rowCount(), committed);
    int64_t rows = 0;
    r.rows(0, INT64_MAX, [&](int64_t, const uint16_t *regs) {
        rows += regs && regs[5] == uint16_t(rows ^ 325) ? 1 : 0;
        return true;
    });
    QCOMPARE(rows, committed);
}

void TestRecording::refusesWhatIsNoRecording()
{
    QTemporaryDir dir;
    rec::Reader r;
    QString error;
    QVERIFY(!r.open(dir.filePath(QStringLiteral("none.rmrec")), &error));
    QVERIFY(error.contains(QStringLiteral("none.rmrec")));
    QFile text(dir.filePath(QStringLiteral("text.rmrec")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("Count,30321\r\n1,2\r\n");
    text.close();
    error.clear();
    QVERIFY(!r.open(text.fileName(), &error));
    QVERIFY(error.contains(QStringLiteral("text.rmrec")));
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--write-until-killed")
        return writeUntilKilled(QString::fromLocal8Bit(argv[2]));
    TestRecording test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_recording.moc"
