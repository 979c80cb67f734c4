// The trend window against the simulated gateway, through the real windows:
// what the series hold against what the boxes showed, gaps, the span and
// channel choice, and the exports.
//
// With RM_SHOTS_DIR set, the screenshots case monitors the thermocouple
// (word address 0) and the power terminal (word address 12) for
// RM_TREND_SECONDS each (default 20) and saves the window and the exported
// picture there. Runs longer than Qt Test's five minutes per case need
// QTEST_FUNCTION_TIMEOUT (ms) as well:
//   QTEST_FUNCTION_TIMEOUT=1500000 RM_SHOTS_DIR=shots RM_TREND_SECONDS=300 xvfb-run -a build/test_e2e_trend screenshots
#include "support/TestApp.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "support/AppFixture.h"
#include "support/MonitorControls.h"
#include "tools/trend/TfrmTrend.h"
#include "tools/trend/TrendChart.h"
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>

using trend::TrendChart;

namespace {

TrendChart *chart()
{
    return frmTrend->findChild<TrendChart *>(QStringLiteral("TrendChart"));
}
template <class T> T *trendChild(const char *name)
{
    T *w = frmTrend->findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

// What the boxes showed at each answer, and when the answer had been handled.
struct Shown {
    QStringList boxes;
    qint64 after = 0;
};

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Answers the next file dialog with path.
void answerFileDialog(const QString &path, QString *name)
{
    QTimer::singleShot(0, [path, name] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        *name = dialog->objectName();
        controls::chooseFile(dialog, path);
    });
}

} // namespace

class TestE2ETrend : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void seriesHoldWhatTheBoxesShowed();
    void gapBreaksTheLine();
    void timeoutRestartAndDropAreGaps();
    void spanChannelsAndFollowing();
    void exports();
    void newTrendOnAnotherSelection_data();
    void newTrendOnAnotherSelection();
    void answerToTheOldSelectionIsNotShown_data();
    void answerToTheOldSelectionIsNotShown();
    void opensBesideOnTheScreen_data();
    void opensBesideOnTheScreen();
    void screenshots();

private:
    std::unique_ptr<AppFixture> fx;
    void startProgram(const SimOptions &options);
    QList<Shown> shown;
    void openTrendAndMonitor(int terminal, int area, int address);
    bool waitAnswers(int n);
};

void TestE2ETrend::init()
{
    startProgram({});
}

void TestE2ETrend::startProgram(const SimOptions &options)
{
    fx.reset();
    fx = std::make_unique<AppFixture>(true, options);
    QVERIFY(fx->connectGateway());
    frmMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmMain));
    shown.clear();
    // Connected after the trend: runs once the trend has its row.
    connect(appSession, &MonitorSession::valuesSampled, this, [this] {
        Shown s;
        for (int p = 0; p < 32; ++p)
        if (QLabel *l = valueBox(p))
            s.boxes << l->text();
        s.after = QDateTime::currentMSecsSinceEpoch();
        shown << s;
    });
}

void TestE2ETrend::cleanup()
{
    fx.reset();
}

void TestE2ETrend::openTrendAndMonitor(int terminal, int area, int address)
{
    select(Word, terminal, area, 0, address);
    child<QAction>("actTrend")->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(frmTrend));
    child<QLineEdit>("Interval")->setText(QStringLiteral("100"));
    child<QToolButton>("sbtnMonitor")->click();
    QVERIFY(appSession->isMonitoring());
}

bool TestE2ETrend::waitAnswers(int n)
{
    const qsizetype target = shown.size() + n;
    return QTest::qWaitFor([&] { return shown.size() >= target; }, 5000 + 300 * n);
}

void TestE2ETrend::seriesHoldWhatTheBoxesShowed()
{
    // Every poll is answered here: on a busy machine an answer may take
    // longer than the default second, and its timeout would be a gap row
    // that no box showed.
    appSession->link().setResponseTimeout(60000);
    openTrendAndMonitor(3, 1, 12);
    trendChild<QComboBox>("cbTrendSpan")->setCurrentIndex(0);  // 1分
    // Placed like the tool dialogs, at the main window's top; this screen is
    // narrower than the trend, so where it stands across is
    // opensBesideOnTheScreen's matter.
    QCOMPARE(frmTrend->y(), frmMain->y());
    QCOMPARE(frmTrend->windowTitle(), QStringLiteral("トレンド"));
    QVERIFY(!frmTrend->isModal());
    QVERIFY(waitAnswers(10));
    // The hexadecimal format plots the decimal value of the same box.
    frmMain->findChild<QAction *>(QStringLiteral("ByHex"))->trigger();
    QVERIFY(waitAnswers(10));
    frmMain->sbtnMonitorClick();

    const monitor::TrendData &d = frmTrend->data();
    QCOMPARE(d.size(), int(shown.size()));
    QCOMPARE(d.channelsSeen(), 0xFFFFFFFFu);
    // Words 12 to 15 under the layout of the power terminal: names told
    // apart by the word.
    QCOMPARE(d.layout().names[0], QStringLiteral("WORD 12 Vab V"));
    QCOMPARE(d.layout().names[9], QStringLiteral("WORD 13 P1 W"));
    QCOMPARE(d.layout().names[25], QStringLiteral("WORD 15 P1 W"));
    QCOMPARE(chart()->seriesName(9), QStringLiteral("WORD 13 P1 W"));
    int hexRows = 0;
    for (int i = 0; i < d.size(); ++i) {
        const Shown &s = shown[i];
        const bool hex = s.boxes[0].size() == 4 && s.boxes[0].startsWith(u'0');
        hexRows += hex;
        for (int c = 0; c < 32; ++c) {
            bool ok = false;
            const double box = hex ? double(s.boxes[c].toUInt(&ok, 16)) : s.boxes[c].toDouble(&ok);
            QVERIFY2(ok, qPrintable(s.boxes[c]));
            QCOMPARE(d.value(c, i), box);
        }
        // The time the answer arrived: after the answer before it was
        // handled, and not after this one was.
        QVERIFY(d.time(i) <= s.after);
        if (i > 0)
            QVERIFY(d.time(i) >= shown[i - 1].after);
    }
    QVERIFY(hexRows >= 5);
    // Drawn: in the last minute every row is a point of its own (far fewer
    // rows than pixel columns), in order.
    frmTrend->redrawTrend();
    for (int c : {0, 9, 31}) {
        const auto pts = chart()->points(c);
        QCOMPARE(int(pts.size()), d.size());
        for (int i = 0; i < d.size(); ++i) {
            QCOMPARE(pts[size_t(i)].x, double(d.time(i)));
            QCOMPARE(pts[size_t(i)].y, d.value(c, i));
        }
    }
    // Hovering over a drawn point tells its time and value; far from every
    // point, nothing. The powers lie within a pixel of each other and the
    // rows a pixel or two apart, so only this channel is drawn, and the
    // point told must be one of its rows next to the one hovered, with that
    // row's own time and value.
    auto *list = trendChild<QListWidget>("lstTrendChannels");
    for (int c = 0; c < 32; ++c)
        if (c != 9)
            list->item(c)->setCheckState(Qt::Unchecked);
    frmTrend->redrawTrend();
    const int row = d.size() / 2;
    const QString hover = chart()->hoverText(chart()->pixelOf(double(d.time(row)), d.value(9, row)));
    int told = -1;
    for (int i = std::max(0, row - 3); i <= std::min(d.size() - 1, row + 3); ++i)
        if (hover.contains(QDateTime::fromMSecsSinceEpoch(d.time(i)).toString(QStringLiteral("HH:mm:ss.zzz"))))
            told = i;
    QVERIFY2(told >= 0, qPrintable(hover));
    QVERIFY2(hover.endsWith(QStringLiteral("\nWORD 13 P1 W: ") + QString::number(d.value(9, told))), qPrintable(hover));
    QVERIFY(chart()->hoverText(QPoint(-1000, -1000)).isEmpty());
}

void TestE2ETrend::gapBreaksTheLine()
{
    openTrendAndMonitor(3, 1, 12);
    trendChild<QComboBox>("cbTrendSpan")->setCurrentIndex(0);  // 1分: a point per row
    QVERIFY(waitAnswers(5));
    const qint64 stale = QDateTime::currentMSecsSinceEpoch();
    frmTrend->monitorTimedOut(stale);  // what the link reports for a poll without answer
    frmTrend->monitorTimedOut(stale + 100);  // the same stale period
    QVERIFY(waitAnswers(5));
    frmMain->sbtnMonitorClick();
    frmTrend->redrawTrend();
    const auto pts = chart()->points(0);
    int gaps = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        if (!std::isnan(pts[i].y))
            continue;
        ++gaps;
        QCOMPARE(pts[i].x, double(stale));
        QVERIFY(i > 0 && i + 1 < pts.size());  // values on both sides, not joined
    }
    QCOMPARE(gaps, 1);
    QCOMPARE(int(pts.size()), int(shown.size()) + 1);
    // The CSV has the answers only.
    const QString path = fx->dir() + QStringLiteral("/gap.csv");
    QString error;
    QVERIFY2(frmTrend->saveCsv(path, &error), qPrintable(error));
    QCOMPARE(int(readFile(path).count("\r\n")), 1 + int(shown.size()));
}

void TestE2ETrend::timeoutRestartAndDropAreGaps()
{
    // Each connection answers 30 requests (15 ticks: the window and the
    // header words), then nothing; a poll unanswered for 500 ms times out.
    SimOptions silent;
    silent.silentAfter = 30;
    startProgram(silent);
    appSession->link().setResponseTimeout(500);
    openTrendAndMonitor(3, 1, 12);
    trendChild<QComboBox>("cbTrendSpan")->setCurrentIndex(0);  // 1分: a point per row
    QSignalSpy timedOut((&appSession->link()), &ModbusLink::requestTimedOut);
    QVERIFY(QTest::qWaitFor([&] {
        return std::any_of(timedOut.begin(), timedOut.end(), [](const QList<QVariant> &a) {
            return a.first().value<modbus::Transaction>().tag == 0;
        });
    }, 10000));
    // Answers before each period without answers.
    QList<qsizetype> answersBefore{shown.size()};
    // A fresh connection answers again; the drop stopped the monitoring.
    auto *monitor = child<QToolButton>("sbtnMonitor");
    auto reconnect = [this, monitor] {
        controls::find<QPushButton>(frmConnect, "btnDISCONN")->click();
        QVERIFY(QTest::qWaitFor([] { return !appSession->isConnected(); }, 5000));
        QVERIFY(fx->connectGateway());
        if (!appSession->isMonitoring())
            monitor->click();
        QVERIFY(appSession->isMonitoring());
    };
    reconnect();
    QVERIFY(waitAnswers(3));
    // Stopped and started again: no answer in flight when it starts.
    monitor->click();
    QVERIFY(!appSession->isMonitoring());
    QVERIFY(QTest::qWaitFor([] {
        const auto &f = appSession->link().inFlight();
        return std::none_of(f.begin(), f.end(), [](const auto &t) { return t.tag == 0; });
    }, 2000));
    answersBefore << shown.size();
    monitor->click();
    QVERIFY(appSession->isMonitoring());
    QVERIFY(waitAnswers(3));
    // The connection dropped while answers flowed.
    answersBefore << shown.size();
    reconnect();
    QVERIFY(waitAnswers(3));
    frmMain->sbtnMonitorClick();

    // One gap row for each period, after exactly the answers before it.
    const monitor::TrendData &d = frmTrend->data();
    QList<qsizetype> answersBeforeGaps;
    qsizetype answers = 0;
    for (int i = 0; i < d.size(); ++i) {
        if (d.isGap(i))
            answersBeforeGaps << answers;
        else
            ++answers;
    }
    QCOMPARE(answers, shown.size());
    QCOMPARE(answersBeforeGaps, answersBefore);
    // Drawn: the line breaks at every gap, and the gap is the only NaN.
    frmTrend->redrawTrend();
    const auto pts = chart()->points(0);
    QCOMPARE(int(pts.size()), d.size());
    for (int i = 0; i < d.size(); ++i) {
        QCOMPARE(pts[size_t(i)].x, double(d.time(i)));
        QCOMPARE(std::isnan(pts[size_t(i)].y), d.isGap(i));
    }
}

void TestE2ETrend::spanChannelsAndFollowing()
{
    openTrendAndMonitor(3, 1, 12);
    QVERIFY(waitAnswers(15));
    auto *span = trendChild<QComboBox>("cbTrendSpan");
    QCOMPARE(span->count(), 6);
    const monitor::TrendData &d = frmTrend->data();
    // Each span shows the newest data: the range ends at the newest row.
    for (const auto &[item, width] : {std::pair{0, 60'000.0}, std::pair{1, 600'000.0},
                                      std::pair{2, 3'600'000.0}, std::pair{3, 28'800'000.0},
                                      std::pair{4, 86'400'000.0}}) {
        span->setCurrentIndex(item);
        frmTrend->redrawTrend();
        QCOMPARE(chart()->timeTo() - chart()->timeFrom(), width + 1);
        QVERIFY(chart()->timeTo() > double(d.time(d.size() - 1)));
    }
    span->setCurrentIndex(5);  // 全体: from the first row to the newest
    frmTrend->redrawTrend();
    QCOMPARE(chart()->timeFrom(), double(d.time(0)));
    QCOMPARE(chart()->timeTo(), double(d.time(d.size() - 1)) + 1);

    // Channel choice: all on at first; a channel taken off is not drawn.
    auto *list = trendChild<QListWidget>("lstTrendChannels");
    QCOMPARE(list->count(), 32);
    for (int c = 0; c < 32; ++c)
        QCOMPARE(list->item(c)->checkState(), Qt::Checked);
    QCOMPARE(list->item(9)->text(), QStringLiteral("WORD 13 P1 W"));
    list->item(9)->setCheckState(Qt::Unchecked);
    frmTrend->redrawTrend();
    QVERIFY(!chart()->isSeriesVisible(9));
    QVERIFY(chart()->points(9).empty());
    QVERIFY(!chart()->points(8).empty());
    // The value axis fits the channels drawn: without the powers (P1..P7,
    // thousands of W) it shrinks to the volts and amperes.
    span->setCurrentIndex(0);
    for (int c = 9; c < 16; ++c)
        list->item(c)->setCheckState(Qt::Unchecked);
    frmTrend->redrawTrend();
    double highest = 0;
    for (int c : {0, 1, 8})
        for (const auto &p : chart()->points(c))
            highest = std::max(highest, p.y);
    QVERIFY(chart()->valueTo() >= highest);
    QVERIFY(chart()->valueTo() < highest * 1.2);

    // A wheel turn on the chart zooms the time axis and stops following.
    auto *follow = trendChild<QPushButton>("btnTrendFollow");
    QVERIFY(frmTrend->following());
    QVERIFY(!follow->isEnabled());
    QWidget *plot = chart()->findChild<QWidget *>(QStringLiteral("TrendPlot"));
    const QPointF at(plot->width() / 2.0, plot->height() / 2.0);
    QWheelEvent wheel(at, plot->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(plot, &wheel);
    QVERIFY(!frmTrend->following());
    QVERIFY(follow->isEnabled());
    const double zoomedTo = chart()->timeTo();
    QVERIFY(chart()->timeTo() - chart()->timeFrom() < 60'000.0);
    QVERIFY(waitAnswers(3));
    frmTrend->redrawTrend();
    QCOMPARE(chart()->timeTo(), zoomedTo);  // new rows do not move the view
    follow->click();
    QVERIFY(frmTrend->following());
    frmTrend->redrawTrend();
    // Less than a minute of data: the minute starts at the first row, and
    // the line grows towards the right edge.
    QCOMPARE(chart()->timeFrom(), double(d.time(0)));
    QCOMPARE(chart()->timeTo() - chart()->timeFrom(), 60'001.0);
    QVERIFY(chart()->timeTo() > double(d.time(d.size() - 1)));
    frmMain->sbtnMonitorClick();
}

void TestE2ETrend::exports()
{
    openTrendAndMonitor(3, 1, 12);
    QVERIFY(waitAnswers(12));
    frmMain->sbtnMonitorClick();
    auto *list = trendChild<QListWidget>("lstTrendChannels");
    for (int c = 2; c < 32; ++c)
        if (c != 9)
            list->item(c)->setCheckState(Qt::Unchecked);

    QString dialogName;
    const QString png = fx->dir() + QStringLiteral("/trend");
    answerFileDialog(png, &dialogName);
    trendChild<QPushButton>("btnTrendSave")->click();
    QCOMPARE(dialogName, QStringLiteral("SaveTrendPng"));
    QImage image;
    QVERIFY(image.load(png + QStringLiteral(".png"), "PNG"));
    QWidget *plot = chart()->findChild<QWidget *>(QStringLiteral("TrendPlot"));
    QCOMPARE(image.size(), plot->size());  // the size on screen

    const QString csv = fx->dir() + QStringLiteral("/trend");
    answerFileDialog(csv, &dialogName);
    trendChild<QPushButton>("btnTrendCsv")->click();
    QCOMPARE(dialogName, QStringLiteral("SaveTrendCsv"));
    const QByteArray bytes = readFile(csv + QStringLiteral(".csv"));
    QVERIFY(bytes.endsWith("\r\n"));
    QStringList lines = QString::fromLocal8Bit(bytes).split(QStringLiteral("\r\n"));
    lines.removeLast();
    QCOMPARE(lines.first(), QStringLiteral("時刻,WORD 12 Vab V,WORD 12 I1 A,WORD 13 P1 W"));
    // Every answer of the shown range, and its numbers read back the same.
    const monitor::TrendData &d = frmTrend->data();
    QCOMPARE(int(lines.size()) - 1, d.size());
    for (int i = 0; i < d.size(); ++i) {
        const QStringList f = lines[i + 1].split(u',');
        QCOMPARE(f.size(), 4);
        QCOMPARE(QDateTime::fromString(f[0], Qt::ISODateWithMs).toMSecsSinceEpoch(), d.time(i));
        QCOMPARE(f[1].toDouble(), d.value(0, i));
        QCOMPARE(f[2].toDouble(), d.value(1, i));
        QCOMPARE(f[3].toDouble(), d.value(9, i));
        QCOMPARE(f[3], shown[i].boxes[9]);  // the box's own text
    }
    QVERIFY(fx->messages.isEmpty());

    // A folder that does not exist: a reason, and nothing written.
    for (const QString &name : {QStringLiteral("trend.csv"), QStringLiteral("trend.png")}) {
        const QString bad = fx->dir() + QStringLiteral("/no/such/") + name;
        QString error;
        const bool saved = name.endsWith(QStringLiteral("csv")) ? frmTrend->saveCsv(bad, &error)
                                                                : frmTrend->savePicture(bad, &error);
        QVERIFY(!saved);
        QVERIFY(error.contains(bad));
        QVERIFY(!QFile::exists(bad));
    }
}

void TestE2ETrend::newTrendOnAnotherSelection_data()
{
    // A control of the main window (spin box, combo box or display-format
    // action), the value it is given, and whether the trend starts anew.
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("fresh");
    QTest::newRow("word address") << QStringLiteral("seWordAdrs") << 13 << true;
    QTest::newRow("terminal type") << QStringLiteral("cbTerminalType") << 6 << true;
    QTest::newRow("data area") << QStringLiteral("DataAreaSelect") << 2 << true;
    // 32-bit channels are pairs of the 16-bit ones: other channels.
    QTest::newRow("data type") << QStringLiteral("cbxDataType") << 1 << true;
    QTest::newRow("signed") << QStringLiteral("cbxDataType") << 4 << true;
    // The converted format plots another quantity; hexadecimal and
    // characters plot the decimal value the trend already draws.
    QTest::newRow("converted") << QStringLiteral("ByRatio") << 0 << true;
    QTest::newRow("hexadecimal") << QStringLiteral("ByHex") << 0 << false;
    QTest::newRow("characters") << QStringLiteral("ASCII1") << 0 << false;
}

void TestE2ETrend::newTrendOnAnotherSelection()
{
    QFETCH(QString, control);
    QFETCH(int, value);
    QFETCH(bool, fresh);
    openTrendAndMonitor(3, 1, 12);
    QVERIFY(waitAnswers(5));
    trendChild<QComboBox>("cbTrendSpan")->setCurrentIndex(0);
    frmTrend->redrawTrend();
    QVERIFY(!chart()->points(0).empty());
    // Unchanged selection: the trend goes on.
    frmMain->RefreshMonitorLayout();
    QVERIFY(frmTrend->data().size() >= 5);
    const int rows = frmTrend->data().size();
    const qsizetype before = shown.size();
    if (auto *spin = frmMain->findChild<QSpinBox *>(control))
        spin->setValue(value);
    else if (auto *action = frmMain->findChild<QAction *>(control))
        action->trigger();
    else
        controls::find<QComboBox>(frmMain, control)->setCurrentIndex(value);
    frmTrend->redrawTrend();
    if (!fresh) {
        QVERIFY(waitAnswers(3));
        QCOMPARE(frmTrend->data().size(), rows + int(shown.size() - before));
        frmMain->sbtnMonitorClick();
        return;
    }
    QVERIFY(frmTrend->data().size() <= int(shown.size() - before));
    QVERIFY(chart()->points(0).size() <= size_t(shown.size() - before));
    // The new trend gets its own rows and names.
    QVERIFY(waitAnswers(3));
    QVERIFY(frmTrend->data().size() >= 3);
    QCOMPARE(frmTrend->data().size(), int(shown.size() - before));
    QCOMPARE(chart()->seriesName(0), frmTrend->data().layout().names[0]);
    frmMain->sbtnMonitorClick();
}

void TestE2ETrend::answerToTheOldSelectionIsNotShown_data()
{
    // The power terminal at word 12 (Vab about 101 V) is where each change
    // ends; the answer in flight at the change read other registers: the
    // engineering-unit singles (whose low words are any 16-bit number), the
    // raw words, or the 24-bit counter at word 8.
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("volts");  // Vab as the boxes show it after the change
    QTest::newRow("engineering units to extended") << 2 << 12 << QStringLiteral("DataAreaSelect") << 1 << 1010.0;
    QTest::newRow("extended to engineering units") << 1 << 12 << QStringLiteral("DataAreaSelect") << 2 << 101.0;
    QTest::newRow("word address 8 to 12") << 1 << 8 << QStringLiteral("seWordAdrs") << 12 << 1010.0;
}

void TestE2ETrend::answerToTheOldSelectionIsNotShown()
{
    QFETCH(int, area);
    QFETCH(int, address);
    QFETCH(QString, control);
    QFETCH(int, value);
    QFETCH(double, volts);
    // Answers take 60 ms, so that the change falls while one is in flight.
    SimOptions slow;
    slow.delayMs = 60;
    startProgram(slow);
    openTrendAndMonitor(3, area, address);
    QVERIFY(waitAnswers(3));
    QSignalSpy sent((&appSession->link()), &ModbusLink::requestSent);
    QVERIFY(QTest::qWaitFor([&] {
        return std::any_of(sent.begin(), sent.end(), [](const QList<QVariant> &a) {
            return a.first().value<modbus::Transaction>().tag == 0;
        });
    }, 2000));
    const auto inFlight = appSession->link().inFlight();
    QVERIFY(std::any_of(inFlight.begin(), inFlight.end(), [](const auto &t) { return t.tag == 0; }));
    if (auto *spin = frmMain->findChild<QSpinBox *>(control))
        spin->setValue(value);
    else
        frmMain->findChild<QComboBox *>(control)->setCurrentIndex(value);
    const qsizetype before = shown.size();
    QVERIFY(waitAnswers(4));
    frmMain->sbtnMonitorClick();
    // Every row of the new trend, and every box shown since the change, is
    // the power terminal's voltage (within its swing of 1.1 %), and none
    // was dropped but the one in flight.
    const monitor::TrendData &d = frmTrend->data();
    QVERIFY(d.size() >= 4);
    QCOMPARE(d.size(), int(shown.size() - before));
    for (int i = 0; i < d.size(); ++i)
        QVERIFY2(std::abs(d.value(0, i) / volts - 1) < 0.012, qPrintable(QString::number(d.value(0, i))));
    for (qsizetype i = before; i < shown.size(); ++i)
        QCOMPARE(shown[i].boxes[0].toDouble(), d.value(0, int(i - before)));
    // The value axis stays at the values drawn (the powers, a few kW).
    frmTrend->redrawTrend();
    QVERIFY(chart()->valueTo() < 5000.0);
}

void TestE2ETrend::opensBesideOnTheScreen_data()
{
    // The room right of the main window's frame, past the gap of 10:
    // beyond the trend's width, between its minimum and its width, below
    // its minimum.
    QTest::addColumn<int>("extra");
    QTest::addColumn<bool>("fromWidth");
    QTest::newRow("room for its whole width") << 20 << true;
    QTest::newRow("narrower to fit") << 100 << false;
    QTest::newRow("less room than its minimum") << -200 << false;
}

void TestE2ETrend::opensBesideOnTheScreen()
{
    QFETCH(int, extra);
    QFETCH(bool, fromWidth);
    const QRect avail = frmMain->screen()->availableGeometry();
    const int least = std::max(frmTrend->minimumWidth(), frmTrend->minimumSizeHint().width());
    // A size the test screen holds, well above the minimum.
    frmTrend->resize(std::min(least + 200, avail.width() - 40), 300);
    const QSize before = frmTrend->size();
    QVERIFY(before.width() > least + 100);
    const int frame = frmMain->frameGeometry().width() - frmMain->width();
    const int room = 10 + frame + (fromWidth ? before.width() : least) + extra;
    // The main window may stand partly off the screen's left edge.
    frmMain->move(avail.right() + 1 - room - frmMain->frameGeometry().width(), avail.top());
    const int beside = frmMain->x() + frmMain->frameGeometry().width() + 10;
    child<QAction>("actTrend")->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(frmTrend));
    const QRect g = frmTrend->frameGeometry();
    QVERIFY2(avail.contains(g), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())));
    QCOMPARE(frmTrend->y(), frmMain->y());
    QCOMPARE(frmTrend->height(), before.height());
    if (fromWidth) {
        QCOMPARE(frmTrend->x(), beside);  // as placed before, size kept
        QCOMPARE(frmTrend->width(), before.width());
    } else if (extra >= 0) {
        QCOMPARE(frmTrend->x(), beside);  // still beside, narrower
        QCOMPARE(frmTrend->width(), least + extra);
    } else {
        QCOMPARE(frmTrend->width(), least);  // as narrow as it goes, moved back
        QCOMPARE(g.right(), avail.right());
    }
}

void TestE2ETrend::screenshots()
{
    const QString dir = qEnvironmentVariable("RM_SHOTS_DIR");
    if (dir.isEmpty())
        QSKIP("RM_SHOTS_DIR not set");
    QDir().mkpath(dir);
    const int seconds = qEnvironmentVariableIntValue("RM_TREND_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("RM_TREND_SECONDS")
                            : 20;
    // The window before the first answer.
    controls::find<QAction>(frmMain, "actTrend")->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(frmTrend));
    frmTrend->resize(1000, 560);
    frmTrend->redrawTrend();
    frmTrend->grab().save(dir + QStringLiteral("/trend-empty.png"));
    struct Run {
        const char *name;
        int terminal, area, address;
    };
    for (const Run &r : {Run{"thermocouple", 0, 2, 0}, Run{"power7", 3, 1, 12}}) {
        openTrendAndMonitor(r.terminal, r.area, r.address);
        frmTrend->resize(1000, 560);
        trendChild<QComboBox>("cbTrendSpan")->setCurrentIndex(seconds > 600 ? 2 : seconds > 60 ? 1 : 0);
        const qsizetype start = shown.size();
        QTest::qWait(seconds * 1000);
        frmMain->sbtnMonitorClick();
        QVERIFY(shown.size() - start >= seconds * 5);  // most ticks answered
        frmTrend->redrawTrend();
        frmTrend->grab().save(dir + QStringLiteral("/trend-%1.png").arg(QLatin1String(r.name)));
        QString error;
        QVERIFY2(frmTrend->savePicture(dir + QStringLiteral("/trend-%1-export.png").arg(QLatin1String(r.name)),
                                       &error),
                 qPrintable(error));
    }
}

QTEST_MAIN(TestE2ETrend)
#include "test_e2e_trend.moc"
