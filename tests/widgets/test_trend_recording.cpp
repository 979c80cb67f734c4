// The trend window over recordings made with rec::Writer (known ramps, a
// one-row spike, a gap row): what it lists, draws at a zoomed span and at
// 全体, exports, how it follows a recording still being written, and
// ファイル → 記録を開く of the whole program.
#include "monitor/CsvRow.h"
#include "monitor/Recording.h"
#include "support/AppFixture.h"
#include "support/Controls.h"
#include "support/TestApp.h"
#include "app/Settings.h"
#include "tools/trend/TfrmTrend.h"
#include "tools/trend/TrendChart.h"
#include <QApplication>
#include <QComboBox>
#include <QImageReader>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>

using trend::TrendChart;

namespace {

constexpr int64_t kStart = 1'700'000'000'000;
constexpr int kRows = 72'000;         // two hours at 100 ms
constexpr int kGapRow = kRows - 200;  // in the last minute
constexpr int kSpikeRow = 30'000;
constexpr double kSpike = 5000;

int64_t timeOf(int row)
{
    return kStart + int64_t(row) * 100;
}

// Channel 0 a rising sawtooth with the spike, 1 a falling one, 2 a short one.
double valueOf(int channel, int row)
{
    return channel == 0 ? (row == kSpikeRow ? kSpike : row % 1000) : channel == 1 ? 1000 - row % 1000 : row % 7;
}

// Two terminals as an installation names them: W12 with channels 0 and 1, W13 with 2.
rec::Layout twoTerminals()
{
    rec::Layout layout{{{rec::kAreaFirst, 3}}, 3, {}};
    for (int c = 0; c < 3; ++c) {
        rec::Channel channel;
        channel.terminal = c < 2 ? 12 : 13;
        channel.terminalName = QStringLiteral("Feeder");
        channel.label = QStringLiteral("CH%1").arg(c);
        channel.offset = c;
        layout.channels << channel;
    }
    return layout;
}

std::unique_ptr<rec::Writer> startRecording(const QString &path, const rec::Layout &layout)
{
    rec::Info info;
    info.startedMs = kStart;
    info.intervalMs = 100;
    info.layout = layout;
    auto writer = std::make_unique<rec::Writer>();
    QString error;
    if (!writer->create(path, info, &error))
        qFatal("%s", qPrintable(error));
    return writer;
}

// Rows [from, to) of twoTerminals(), committed.
void appendRows(rec::Writer &writer, int from, int to)
{
    for (int row = from; row < to; ++row) {
        const uint16_t regs[3] = {uint16_t(valueOf(0, row)), uint16_t(valueOf(1, row)), uint16_t(valueOf(2, row))};
        if (!writer.append(timeOf(row), row == kGapRow ? nullptr : regs))
            qFatal("%s", qPrintable(writer.error()));
    }
    if (!writer.commit())
        qFatal("%s", qPrintable(writer.error()));
}

// Answers the next file dialog with path; *name receives the dialog's name.
void answerFileDialog(const QString &path, QString *name = nullptr)
{
    QTimer::singleShot(0, [path, name] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            if (name)
                *name = dialog->objectName() + u' ' + dialog->directory().absolutePath() + u' '
                        + dialog->nameFilters().join(u';');
            controls::chooseFile(dialog, path);
        }
    });
}

void wheelZoom(TrendChart *chart, double across)
{
    QWidget *plot = controls::find<QWidget>(chart, "TrendPlot");
    const QPointF at(plot->width() * across, plot->height() / 2.0);
    QWheelEvent wheel(at, plot->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(plot, &wheel);
}

} // namespace

class TestTrendRecording : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup() { fx.reset(); }
    void channelList();
    void drawsRowsAndEnvelope();
    void exports();
    void recordingBeingWrittenGrows();
    void openedFromTheMainWindow();

private:
    // A recording window of the program, shown, at 1分 or 全体 (span 0 or 5).
    TfrmTrend *open(const QString &path, int span = 0);
    TrendChart *chart(TfrmTrend *w) { return controls::find<TrendChart>(w, "TrendChart"); }
    // The points series of channel c draws.
    std::vector<monitor::TrendPoint> drawn(TfrmTrend *w, int c) { return chart(w)->points(w->recordingSeries(c)); }

    QTemporaryDir m_dir;
    QString m_twoHours;  // kRows rows of twoTerminals(), finished
    std::unique_ptr<AppFixture> fx;
};

void TestTrendRecording::initTestCase()
{
    m_twoHours = m_dir.filePath(QStringLiteral("two-hours.rmrec"));
    auto writer = startRecording(m_twoHours, twoTerminals());
    appendRows(*writer, 0, kRows);
    QVERIFY(writer->finish(timeOf(kRows)));
}

TfrmTrend *TestTrendRecording::open(const QString &path, int span)
{
    fx.reset();  // one program at a time
    fx = std::make_unique<AppFixture>(false);
    TfrmTrend *w = theApp->openRecording(path);
    if (!w || !QTest::qWaitForWindowExposed(w))
        qFatal("%s not shown", qPrintable(path));
    controls::find<QComboBox>(w, "cbTrendSpan")->setCurrentIndex(span);
    w->redrawTrend();
    return w;
}

void TestTrendRecording::channelList()
{
    // The first terminal's channels drawn at first, each in a series named as the channel.
    TfrmTrend *w = open(m_twoHours);
    auto *list = controls::find<QListWidget>(w, "lstTrendChannels");
    QCOMPARE(list->count(), 3);
    for (int c = 0; c < 3; ++c) {
        QCOMPARE(list->item(c)->text(), QStringLiteral("W%1 Feeder CH%2").arg(c < 2 ? 12 : 13).arg(c));
        QCOMPARE(list->item(c)->checkState(), c < 2 ? Qt::Checked : Qt::Unchecked);
        QCOMPARE(w->recordingSeries(c) >= 0, c < 2);
    }
    QCOMPARE(chart(w)->seriesName(w->recordingSeries(1)), QStringLiteral("W12 Feeder CH1"));

    // Without an installation every register, the first eight drawn; 24
    // more fit, a 33rd is refused and told until another is taken off.
    const QString registers = m_dir.filePath(QStringLiteral("registers.rmrec"));
    QVERIFY(startRecording(registers, rec::layoutOf(nullptr))->finish(kStart));
    w = open(registers);
    list = controls::find<QListWidget>(w, "lstTrendChannels");
    QCOMPARE(list->count(), rec::kAreaRegisters);
    QCOMPARE(list->item(100)->text(), QStringLiteral("30421"));
    for (int c = 0; c < 32; ++c) {
        QCOMPARE(list->item(c)->checkState(), c < 8 ? Qt::Checked : Qt::Unchecked);
        list->item(c)->setCheckState(Qt::Checked);
    }
    QVERIFY(fx->messages.isEmpty());
    list->item(100)->setCheckState(Qt::Checked);
    QCOMPARE(list->item(100)->checkState(), Qt::Unchecked);
    QCOMPARE(w->recordingSeries(100), -1);
    QCOMPARE(fx->messages.size(), 1);
    const int freed = w->recordingSeries(5);
    list->item(5)->setCheckState(Qt::Unchecked);
    QVERIFY(!chart(w)->isSeriesVisible(freed));
    list->item(100)->setCheckState(Qt::Checked);
    QCOMPARE(w->recordingSeries(100), freed);
    QCOMPARE(chart(w)->seriesName(freed), QStringLiteral("30421"));
}

void TestTrendRecording::drawsRowsAndEnvelope()
{
    // 1分, fewer rows than columns: every row of the last minute a point
    // of its own, the gap row a break.
    TfrmTrend *w = open(m_twoHours, 0);
    TrendChart *c = chart(w);
    QCOMPARE(c->timeTo(), double(timeOf(kRows - 1)) + 1);
    QCOMPARE(c->timeTo() - c->timeFrom(), 60'001.0);
    for (int channel : {0, 1}) {
        std::vector<std::pair<double, double>> points, expected;
        for (const auto &p : drawn(w, channel))
            points.emplace_back(p.x, std::isnan(p.y) ? -1.0 : p.y);
        for (int row = kRows - 601; row < kRows; ++row)  // a minute and its last row
            expected.emplace_back(double(timeOf(row)), row == kGapRow ? -1.0 : valueOf(channel, row));
        QCOMPARE(points, expected);
    }

    // 全体: seconds a column, drawn from the summary, at most four points a
    // column; the one-row spike, both ends of the ramps and the gap stay.
    controls::find<QComboBox>(w, "cbTrendSpan")->setCurrentIndex(5);
    w->redrawTrend();
    QCOMPARE(c->timeFrom(), double(timeOf(0)));
    const double column = (c->timeTo() - c->timeFrom()) / c->width();
    for (int channel : {0, 1}) {
        const auto points = drawn(w, channel);
        QVERIFY(points.size() <= size_t(4 * c->width()) + 2);
        double low = 1e9, high = -1e9, highAt = 0, gapAt = 0;
        for (const auto &p : points) {
            if (std::isnan(p.y)) {
                gapAt = p.x;
                continue;
            }
            low = std::min(low, p.y);
            if (p.y > high)
                std::tie(high, highAt) = std::pair(p.y, p.x);
        }
        QCOMPARE(low, channel == 0 ? 0.0 : 1.0);
        QCOMPARE(high, channel == 0 ? kSpike : 1000.0);
        if (channel == 0)
            QVERIFY(std::abs(highAt - double(timeOf(kSpikeRow))) < column);
        QVERIFY(std::abs(gapAt - double(timeOf(kGapRow))) < column);
    }
}

void TestTrendRecording::exports()
{
    // Zoomed in with the wheel around the gap: the CSV holds the range on
    // screen in the CSV log's time-stamp form, gap row left out.
    TfrmTrend *w = open(m_twoHours, 0);
    wheelZoom(chart(w), 0.5);
    QVERIFY(!w->following());
    const double t0 = chart(w)->timeFrom(), t1 = chart(w)->timeTo();
    QVERIFY(t1 - t0 < 60'000 && t0 < double(timeOf(kGapRow)) && double(timeOf(kGapRow)) < t1);
    answerFileDialog(m_dir.filePath(QStringLiteral("range")));
    controls::find<QPushButton>(w, "btnTrendCsv")->click();
    QFile file(m_dir.filePath(QStringLiteral("range.csv")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromLocal8Bit(file.readAll()).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines.takeFirst(), QStringLiteral("Date,Time,Count,W12 Feeder CH0,W12 Feeder CH1"));
    QStringList expected;
    for (int row = 0; row < kRows; ++row) {
        const QDateTime when = QDateTime::fromMSecsSinceEpoch(timeOf(row));
        if (row != kGapRow && double(timeOf(row)) >= std::floor(t0) && double(timeOf(row)) <= std::ceil(t1))
            expected << QStringLiteral("%1,%2,%3,%4,%5")
                            .arg(monitor::csvDateText(when.date()), monitor::csvTimeText(when.time()))
                            .arg(expected.size() + 1)
                            .arg(valueOf(0, row))
                            .arg(valueOf(1, row));
    }
    QVERIFY(expected.size() > 100);
    QCOMPARE(lines, expected);

    answerFileDialog(m_dir.filePath(QStringLiteral("chart")));
    controls::find<QPushButton>(w, "btnTrendSave")->click();
    QImageReader png(m_dir.filePath(QStringLiteral("chart.png")));
    QCOMPARE(png.format(), QByteArray("png"));
    QCOMPARE(png.read().size(), controls::find<QWidget>(chart(w), "TrendPlot")->size());
    QVERIFY(fx->messages.isEmpty());
}

void TestTrendRecording::recordingBeingWrittenGrows()
{
    const QString path = m_dir.filePath(QStringLiteral("live.rmrec"));
    auto writer = startRecording(path, twoTerminals());
    appendRows(*writer, 0, 300);
    TfrmTrend *w = open(path, 0);
    const auto newestDrawn = [&] { return drawn(w, 0).empty() ? 0.0 : drawn(w, 0).back().x; };
    QCOMPARE(newestDrawn(), double(timeOf(299)));
    appendRows(*writer, 300, 400);
    QTRY_COMPARE(newestDrawn(), double(timeOf(399)));

    // Zoomed in over the time of the next rows: the view keeps still as
    // they come, until 追従.
    wheelZoom(chart(w), 0.75);
    QVERIFY(chart(w)->timeFrom() < double(timeOf(300)) && double(timeOf(499)) < chart(w)->timeTo());
    w->redrawTrend();
    appendRows(*writer, 400, 500);
    QTRY_COMPARE(w->recording()->rowCount(), int64_t(500));
    QVERIFY(QSignalSpy(controls::find<QTimer>(w, "TimerTrend"), &QTimer::timeout).wait());
    QCOMPARE(newestDrawn(), double(timeOf(399)));
    controls::find<QPushButton>(w, "btnTrendFollow")->click();
    QTRY_COMPARE(newestDrawn(), double(timeOf(499)));
}

void TestTrendRecording::openedFromTheMainWindow()
{
    fx = std::make_unique<AppFixture>(false);
    // A log folder the file dialogs before did not visit.
    const QString logs = m_dir.filePath(QStringLiteral("logs"));
    QVERIFY(QDir().mkpath(logs));
    appSession->settings().logDir = logs;
    const auto windows = [] { return frmMain->findChildren<TfrmTrend *>(QStringLiteral("TfrmTrendRecording")); };
    QString dialog;
    answerFileDialog(m_twoHours, &dialog);
    triggerMenu("mnuRecordOpen");
    QCOMPARE(dialog, QStringLiteral("OpenRecording ") + QDir(logs).absolutePath() + QStringLiteral(" *.rmrec"));
    QCOMPARE(windows().size(), 1);
    QVERIFY(windows()[0]->isVisible());
    QCOMPARE(windows()[0]->windowTitle(), QStringLiteral("トレンド - two-hours.rmrec"));
    QVERIFY(!frmTrend->recording());  // the live trend stays as it is

    // Another recording, another window; closed, it goes.
    QPointer<TfrmTrend> second = theApp->openRecording(m_twoHours);
    QVERIFY(second && second->isVisible());
    QCOMPARE(windows().size(), 2);
    second->close();
    QTRY_VERIFY(!second);

    // Not a recording: an error box naming it, and no window.
    const QString bad = m_dir.filePath(QStringLiteral("empty.rmrec"));
    QVERIFY(QFile(bad).open(QIODevice::WriteOnly));
    QVERIFY(!theApp->openRecording(bad));
    QCOMPARE(fx->messages.size(), 1);
    QCOMPARE(fx->messages[0].kind, msg::Kind::Error);
    QVERIFY(fx->messages[0].text.contains(bad));
    QCOMPARE(windows().size(), 1);
}

QTEST_MAIN(TestTrendRecording)
#include "test_trend_recording.moc"
