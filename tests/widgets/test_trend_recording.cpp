// The trend window over a recording of the bus, through the real window:
// recordings made with rec::Writer (known ramps, a spike, a gap row), and
// what the window lists, draws at a zoomed span and at 全体, exports as CSV
// and PNG, how it follows a recording still being written, and a file that
// is not a recording; and ファイル → 記録を開く of the whole program.
#include "app/MessageBoxes.h"
#include "app/Settings.h"
#include "monitor/CsvRow.h"
#include "monitor/Recording.h"
#include "support/AppFixture.h"
#include "support/Controls.h"
#include "support/TestApp.h"
#include "tools/trend/TfrmTrend.h"
#include "tools/trend/TrendChart.h"
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImageReader>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>
#include <sqlite3.h>
#include <cmath>

using trend::TrendChart;

namespace {

constexpr int64_t kStart = 1'700'000'000'000;
constexpr int kIntervalMs = 100;
constexpr int kRows = 72'000;  // two hours
constexpr int kGapRow = kRows - 200;  // in the last minute
constexpr int kSpikeRow = 30'000;
constexpr uint16_t kSpike = 5000;
constexpr int kRegisters = 4;

int64_t timeOf(int row)
{
    return kStart + int64_t(row) * kIntervalMs;
}

// Two terminals as an installation names them: W12 with a voltage and a
// current, W13 with a 24-bit channel.
rec::Layout twoTerminals()
{
    rec::Layout layout;
    layout.reads = {{rec::kAreaFirst + 12 * 8, kRegisters}};
    layout.registers = kRegisters;
    rec::Channel c;
    c.terminal = 12;
    c.type = 3;
    c.terminalName = QStringLiteral("Feeder");
    c.label = QStringLiteral("Vab");
    c.unit = QStringLiteral("V");
    layout.channels << c;
    c.box = 1;
    c.label = QStringLiteral("I1");
    c.unit = QStringLiteral("A");
    c.offset = 1;
    layout.channels << c;
    c.terminal = 13;
    c.terminalName = QStringLiteral("Pump");
    c.box = 0;
    c.label = QStringLiteral("CH0");
    c.unit = QStringLiteral("℃");
    c.tag = QStringLiteral("TC-101");
    c.offset = 2;
    c.kind = rec::Kind::Unsigned24;
    layout.channels << c;
    return layout;
}

// Row `row`: a rising sawtooth (and the spike), a falling one, and a
// steady climb in 24 bits.
std::array<uint16_t, kRegisters> registersOf(int row)
{
    const uint32_t climb = uint32_t(row) * 3;
    return {uint16_t(row == kSpikeRow ? kSpike : row % 1000), uint16_t(1000 - row % 1000),
            uint16_t(climb & 0xFFFF), uint16_t(climb >> 16)};
}

rec::Info infoFor(const rec::Layout &layout)
{
    rec::Info info;
    info.program = QStringLiteral("RMTool test");
    info.startedMs = kStart;
    info.intervalMs = kIntervalMs;
    info.layout = layout;
    return info;
}

// Appends rows [from, to) of the known values (the gap row a gap).
bool appendRows(rec::Writer &writer, int from, int to)
{
    for (int row = from; row < to; ++row) {
        const auto regs = registersOf(row);
        if (!writer.append(timeOf(row), row == kGapRow ? nullptr : regs.data()))
            return false;
    }
    return writer.commit();
}

bool isGap(const monitor::TrendPoint &p)
{
    return std::isnan(p.y);
}

// Answers the next file dialog with path.
void answerFileDialog(const QString &path)
{
    QTimer::singleShot(0, [path] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            controls::chooseFile(dialog, path);
    });
}

} // namespace

class TestTrendRecording : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void channelList_data();
    void channelList();
    void atMost32Channels();
    void zoomedSpanDrawsTheRows();
    void wholeRecordingDrawsTheEnvelope();
    void csvOfTheRangeOnScreen();
    void pictureIsAPng();
    void recordingBeingWrittenGrows();
    void notARecording_data();
    void notARecording();
    void openedFromTheMainWindow();

private:
    // A window shown at its first size over the recording at path.
    std::unique_ptr<TfrmTrend> openWindow(const QString &path);
    TrendChart *chart(TfrmTrend *w) { return controls::find<TrendChart>(w, "TrendChart"); }
    // The value of channel c at row, as the file decodes it.
    double valueOf(int c, int row) const;

    QTemporaryDir m_dir;
    QString m_twoHours;  // kRows rows of twoTerminals(), finished
    QList<msg::Shown> m_messages;
};

void TestTrendRecording::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_twoHours = m_dir.filePath(QStringLiteral("two-hours.rmrec"));
    rec::Writer writer;
    QString error;
    QVERIFY2(writer.create(m_twoHours, infoFor(twoTerminals()), &error), qPrintable(error));
    QVERIFY2(appendRows(writer, 0, kRows), qPrintable(writer.error()));
    QVERIFY2(writer.finish(timeOf(kRows)), qPrintable(writer.error()));
}

void TestTrendRecording::init()
{
    m_messages.clear();
    msg::setMessageBoxHook([this](const msg::Shown &s) {
        m_messages << s;
        return false;
    });
}

void TestTrendRecording::cleanup()
{
    msg::setMessageBoxHook({});
}

std::unique_ptr<TfrmTrend> TestTrendRecording::openWindow(const QString &path)
{
    auto w = std::make_unique<TfrmTrend>();
    QString error;
    if (!w->openRecording(path, &error))
        qFatal("cannot open %s: %s", qPrintable(path), qPrintable(error));
    w->resize(900, 520);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        qFatal("the trend window was not shown");
    return w;
}

double TestTrendRecording::valueOf(int c, int row) const
{
    const auto regs = registersOf(row);
    return rec::channelValue(twoTerminals().channels[c], regs.data(), false);
}

void TestTrendRecording::channelList_data()
{
    QTest::addColumn<bool>("installation");
    QTest::addColumn<QList<int>>("drawn");
    // The first terminal's channels; without an installation the first
    // eight registers.
    QTest::newRow("installation") << true << QList<int>{0, 1};
    QTest::newRow("registers") << false << QList<int>{0, 1, 2, 3, 4, 5, 6, 7};
}

void TestTrendRecording::channelList()
{
    QFETCH(bool, installation);
    QFETCH(QList<int>, drawn);
    const rec::Layout layout = installation ? twoTerminals() : rec::layoutOf(nullptr);
    const QString path = m_dir.filePath(QStringLiteral("list-%1.rmrec").arg(installation));
    {
        rec::Writer writer;
        QString error;
        QVERIFY2(writer.create(path, infoFor(layout), &error), qPrintable(error));
        QVERIFY(writer.finish(kStart));
    }
    auto w = openWindow(path);
    QCOMPARE(w->windowTitle(), QStringLiteral("トレンド - ") + QFileInfo(path).fileName());
    auto *list = controls::find<QListWidget>(w.get(), "lstTrendChannels");
    QCOMPARE(list->count(), layout.channels.size());
    for (int c = 0; c < list->count(); ++c) {
        QCOMPARE(list->item(c)->text(), layout.channels[c].name());
        QCOMPARE(list->item(c)->checkState(), drawn.contains(c) ? Qt::Checked : Qt::Unchecked);
        // Each drawn channel in a series of its own, named and coloured.
        const int series = w->recordingSeries(c);
        QCOMPARE(series >= 0, drawn.contains(c));
        if (series >= 0) {
            QVERIFY(chart(w.get())->isSeriesVisible(series));
            QCOMPARE(chart(w.get())->seriesName(series), layout.channels[c].name());
        }
    }
    if (installation)
        QCOMPARE(list->item(2)->text(), QStringLiteral("W13 Pump CH0 ℃ TC-101"));
    else
        QCOMPARE(list->item(0)->text(), QStringLiteral("30321"));
}

void TestTrendRecording::atMost32Channels()
{
    const QString path = m_dir.filePath(QStringLiteral("registers.rmrec"));
    {
        rec::Writer writer;
        QString error;
        QVERIFY2(writer.create(path, infoFor(rec::layoutOf(nullptr)), &error), qPrintable(error));
        std::vector<uint16_t> regs(rec::kAreaRegisters);
        for (int i = 0; i < rec::kAreaRegisters; ++i)
            regs[size_t(i)] = uint16_t(i);
        QVERIFY(writer.append(kStart, regs.data()));
        QVERIFY(writer.finish(kStart));
    }
    auto w = openWindow(path);
    auto *list = controls::find<QListWidget>(w.get(), "lstTrendChannels");
    // Eight drawn: 24 more fit, each in a free series.
    for (int c = 8; c < 32; ++c)
        list->item(c)->setCheckState(Qt::Checked);
    QVERIFY(m_messages.isEmpty());
    QList<int> series;
    for (int c = 0; c < 32; ++c)
        series << w->recordingSeries(c);
    std::sort(series.begin(), series.end());
    for (int s = 0; s < 32; ++s)
        QCOMPARE(series[s], s);
    // The 33rd is refused and told.
    list->item(100)->setCheckState(Qt::Checked);
    QCOMPARE(list->item(100)->checkState(), Qt::Unchecked);
    QCOMPARE(w->recordingSeries(100), -1);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages[0].text.contains(QStringLiteral("32")));
    // One taken off frees its series for another, which draws in it.
    const int freed = w->recordingSeries(5);
    list->item(5)->setCheckState(Qt::Unchecked);
    QVERIFY(!chart(w.get())->isSeriesVisible(freed));
    list->item(100)->setCheckState(Qt::Checked);
    QCOMPARE(w->recordingSeries(100), freed);
    QCOMPARE(chart(w.get())->seriesName(freed), QStringLiteral("30421"));
    w->redrawTrend();
    const auto points = chart(w.get())->points(freed);
    QCOMPARE(points.size(), size_t(1));
    QCOMPARE(points[0].y, 100.0);
}

void TestTrendRecording::zoomedSpanDrawsTheRows()
{
    auto w = openWindow(m_twoHours);
    controls::find<QComboBox>(w.get(), "cbTrendSpan")->setCurrentIndex(0);  // 1分
    w->redrawTrend();
    TrendChart *c = chart(w.get());
    // The last minute, fewer rows than columns: every row a point of its own.
    QCOMPARE(c->timeTo(), double(timeOf(kRows - 1)) + 1);
    QCOMPARE(c->timeTo() - c->timeFrom(), 60'001.0);
    QVERIFY((c->timeTo() - c->timeFrom()) / c->width() < kIntervalMs);
    for (int channel : {0, 1}) {
        const auto points = c->points(w->recordingSeries(channel));
        std::vector<std::pair<double, double>> drawn, expected;
        for (const auto &p : points)
            drawn.emplace_back(p.x, isGap(p) ? -1.0 : p.y);
        for (int row = 0; row < kRows; ++row) {
            if (double(timeOf(row)) < c->timeFrom())
                continue;
            // The gap breaks the line.
            expected.emplace_back(double(timeOf(row)), row == kGapRow ? -1.0 : valueOf(channel, row));
        }
        QCOMPARE(expected.size(), size_t(601));
        QCOMPARE(drawn, expected);
    }
}

void TestTrendRecording::wholeRecordingDrawsTheEnvelope()
{
    auto w = openWindow(m_twoHours);
    controls::find<QComboBox>(w.get(), "cbTrendSpan")->setCurrentIndex(5);  // 全体
    w->redrawTrend();
    TrendChart *c = chart(w.get());
    QCOMPARE(c->timeFrom(), double(timeOf(0)));
    QCOMPARE(c->timeTo(), double(timeOf(kRows - 1)) + 1);
    const double column = (c->timeTo() - c->timeFrom()) / c->width();
    // Seconds a column: drawn from the summary, at most four points a
    // column, and still every peak: the one-row spike and both ends of the
    // ramps.
    const auto rising = c->points(w->recordingSeries(0));
    QVERIFY(rising.size() <= size_t(4 * c->width()) + 2);
    double low = 1e9, high = -1e9, highAt = 0;
    for (const auto &p : rising) {
        if (isGap(p))
            continue;
        low = std::min(low, p.y);
        if (p.y > high) {
            high = p.y;
            highAt = p.x;
        }
    }
    QCOMPARE(low, 0.0);
    QCOMPARE(high, double(kSpike));
    QVERIFY2(std::abs(highAt - double(timeOf(kSpikeRow))) < column,
             qPrintable(QStringLiteral("%1 %2").arg(highAt - double(timeOf(kSpikeRow))).arg(column)));
    const auto falling = c->points(w->recordingSeries(1));
    double fallingLow = 1e9, fallingHigh = -1e9;
    for (const auto &p : falling)
        if (!isGap(p)) {
            fallingLow = std::min(fallingLow, p.y);
            fallingHigh = std::max(fallingHigh, p.y);
        }
    QCOMPARE(fallingLow, 1.0);
    QCOMPARE(fallingHigh, 1000.0);
    // The block with the gap row breaks the line there.
    const auto gap = std::find_if(rising.begin(), rising.end(), isGap);
    QVERIFY(gap != rising.end());
    QVERIFY(std::abs(gap->x - double(timeOf(kGapRow))) < column);
}

void TestTrendRecording::csvOfTheRangeOnScreen()
{
    auto w = openWindow(m_twoHours);
    controls::find<QComboBox>(w.get(), "cbTrendSpan")->setCurrentIndex(0);  // 1分
    w->redrawTrend();
    // Zoomed in with the wheel, around the gap: no longer following.
    TrendChart *c = chart(w.get());
    QWidget *plot = controls::find<QWidget>(c, "TrendPlot");
    const QPointF at(plot->width() / 2.0, plot->height() / 2.0);
    QWheelEvent wheel(at, plot->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(plot, &wheel);
    QVERIFY(!w->following());
    const double t0 = c->timeFrom(), t1 = c->timeTo();
    QVERIFY(t1 - t0 < 60'000);
    QVERIFY(t0 < double(timeOf(kGapRow)) && double(timeOf(kGapRow)) < t1);

    const QString path = m_dir.filePath(QStringLiteral("range"));
    answerFileDialog(path);
    controls::find<QPushButton>(w.get(), "btnTrendCsv")->click();
    QFile file(path + QStringLiteral(".csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith("\r\n"));
    QStringList lines = QString::fromLocal8Bit(bytes).split(QStringLiteral("\r\n"));
    lines.removeLast();
    QCOMPARE(lines.first(), QStringLiteral("Date,Time,Count,W12 Feeder Vab V,W12 Feeder I1 A"));
    // Every row on screen but the gap, counted from 1, with its numbers.
    int count = 0;
    for (int row = 0; row < kRows; ++row) {
        const double t = double(timeOf(row));
        if (t < std::floor(t0) || t > std::ceil(t1) || row == kGapRow)
            continue;
        ++count;
        QVERIFY(count < lines.size());
        const QStringList f = lines[count].split(u',');
        QCOMPARE(f.size(), 5);
        // The local date and time as a CSV log writes them.
        const QDateTime when = QDateTime::fromMSecsSinceEpoch(timeOf(row));
        QCOMPARE(f[0], monitor::csvDateText(when.date()));
        QCOMPARE(f[1], monitor::csvTimeText(when.time()));
        QCOMPARE(f[2].toInt(), count);
        QCOMPARE(f[3].toDouble(), valueOf(0, row));
        QCOMPARE(f[4].toDouble(), valueOf(1, row));
    }
    QVERIFY(count > 100);
    QCOMPARE(lines.size(), count + 1);
    QVERIFY(m_messages.isEmpty());
}

void TestTrendRecording::pictureIsAPng()
{
    auto w = openWindow(m_twoHours);
    const QString path = m_dir.filePath(QStringLiteral("chart"));
    answerFileDialog(path);
    controls::find<QPushButton>(w.get(), "btnTrendSave")->click();
    QImageReader reader(path + QStringLiteral(".png"));
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), controls::find<QWidget>(chart(w.get()), "TrendPlot")->size());
    QVERIFY(m_messages.isEmpty());
}

void TestTrendRecording::recordingBeingWrittenGrows()
{
    const QString path = m_dir.filePath(QStringLiteral("live.rmrec"));
    rec::Writer writer;
    QString error;
    QVERIFY2(writer.create(path, infoFor(twoTerminals()), &error), qPrintable(error));
    QVERIFY(appendRows(writer, 0, 300));
    auto w = openWindow(path);
    controls::find<QComboBox>(w.get(), "cbTrendSpan")->setCurrentIndex(0);  // 1分
    TrendChart *c = chart(w.get());
    const int series = w->recordingSeries(0);
    auto newestDrawn = [&] {
        const auto points = c->points(series);
        return points.empty() ? 0.0 : points.back().x;
    };
    QTRY_COMPARE(newestDrawn(), double(timeOf(299)));

    // Rows committed while the window follows: drawn.
    QVERIFY(appendRows(writer, 300, 400));
    QTRY_COMPARE(newestDrawn(), double(timeOf(399)));
    QCOMPARE(c->points(series).back().y, valueOf(0, 399));

    // A view zoomed in (over the time the next rows take) keeps still as
    // they come...
    QWidget *plot = controls::find<QWidget>(c, "TrendPlot");
    const QPointF at(plot->width() * 0.75, plot->height() / 2.0);
    QWheelEvent wheel(at, plot->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(plot, &wheel);
    QVERIFY(!w->following());
    QVERIFY(c->timeFrom() < double(timeOf(300)) && double(timeOf(499)) < c->timeTo());
    w->redrawTrend();
    const auto zoomed = c->points(series);
    QVERIFY(appendRows(writer, 400, 500));
    QTRY_COMPARE(w->recording()->rowCount(), int64_t(500));
    QSignalSpy ticks(controls::find<QTimer>(w.get(), "TimerTrend"), &QTimer::timeout);
    QVERIFY(ticks.wait());
    QCOMPARE(c->points(series).size(), zoomed.size());
    // ...until 追従.
    controls::find<QPushButton>(w.get(), "btnTrendFollow")->click();
    QTRY_COMPARE(newestDrawn(), double(timeOf(499)));
}

void TestTrendRecording::notARecording_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");  // "sqlite": a database of other tables
    QTest::newRow("text") << QStringLiteral("text.rmrec") << QByteArray("Date,Time,Count\r\n");
    QTest::newRow("other database") << QStringLiteral("other.rmrec") << QByteArray("sqlite");
    QTest::newRow("missing") << QStringLiteral("missing.rmrec") << QByteArray();
}

void TestTrendRecording::notARecording()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = m_dir.filePath(name);
    if (content == "sqlite") {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "CREATE TABLE rows(x); INSERT INTO rows VALUES(1);", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(db);
    } else if (!content.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    TfrmTrend w;
    QString error;
    QVERIFY(!w.openRecording(path, &error));
    QVERIFY2(error.contains(path), qPrintable(error));
    QVERIFY(!w.recording());
}

void TestTrendRecording::openedFromTheMainWindow()
{
    AppFixture fx(false);
    appSession->settings().logDir = m_dir.path();
    frmMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmMain));
    const auto recordingWindows = [] {
        return frmMain->findChildren<TfrmTrend *>(QStringLiteral("TfrmTrendRecording"));
    };

    // The menu item's file dialog starts in the log folder.
    QString dialogName, dialogFolder;
    QStringList filters;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialogName = dialog->objectName();
        dialogFolder = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        controls::chooseFile(dialog, m_twoHours);
    });
    triggerMenu("mnuRecordOpen");
    QCOMPARE(dialogName, QStringLiteral("OpenRecording"));
    QCOMPARE(dialogFolder, QDir(m_dir.path()).absolutePath());
    QCOMPARE(filters, QStringList{QStringLiteral("*.rmrec")});
    QCOMPARE(recordingWindows().size(), 1);
    TfrmTrend *first = recordingWindows().first();
    QVERIFY(first->isVisible());
    QCOMPARE(first->windowTitle(), QStringLiteral("トレンド - two-hours.rmrec"));
    QCOMPARE(first->recording()->rowCount(), int64_t(kRows));
    QVERIFY(!frmTrend->recording());  // the live trend stays as it is

    // Another recording: another window. Closed, a window goes.
    const QString other = m_dir.filePath(QStringLiteral("other-window.rmrec"));
    {
        rec::Writer writer;
        QString error;
        QVERIFY2(writer.create(other, infoFor(twoTerminals()), &error), qPrintable(error));
        QVERIFY(appendRows(writer, 0, 10));
    }
    QPointer<TfrmTrend> second = theApp->openRecording(other);
    QVERIFY(second);
    QVERIFY(second->isVisible());
    QCOMPARE(recordingWindows().size(), 2);
    second->close();
    QTRY_VERIFY(!second);
    QVERIFY(fx.messages.isEmpty());

    // Not a recording: an error box, and no window.
    const QString bad = m_dir.filePath(QStringLiteral("RMTool.ini"));
    QFile(bad).open(QIODevice::WriteOnly);
    QVERIFY(!theApp->openRecording(bad));
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(fx.messages[0].kind, msg::Kind::Error);
    QVERIFY(fx.messages[0].text.contains(bad));
    QCOMPARE(recordingWindows().size(), 1);
}

QTEST_MAIN(TestTrendRecording)
#include "test_trend_recording.moc"
