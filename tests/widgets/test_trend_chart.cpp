// The trend's chart on its own: the legend names every drawn channel whole,
// in the channels' order, at any width; a chart with nothing drawn keeps its
// plot at the chart's full width; a redraw that draws only the lines again
// looks exactly like one that draws everything; the time labels never run
// into each other.
#include "tools/trend/TrendChart.h"
#include <QSignalSpy>
#include <QTest>
#include <qcustomplot.h>

using trend::TrendChart;

namespace {

QCustomPlot *plotOf(TrendChart &chart)
{
    auto *plot = chart.findChild<QCustomPlot *>(QStringLiteral("TrendPlot"));
    if (!plot)
        qFatal("no TrendPlot");
    return plot;
}

void drawChannels(TrendChart &chart, int channels, const QString &name)
{
    for (int c = 0; c < channels; ++c) {
        chart.setSeries(c, name.arg(c), trend::trendColour(c), false);
        chart.setSeriesVisible(c, true);
        chart.setPoints(c, {{0.0, double(c)}, {1000.0, double(c) + 1}});
    }
    chart.setTimeRange(0, 1000);
    chart.fitValueAxis();
    chart.redraw();
}

} // namespace

class TestTrendChart : public QObject {
    Q_OBJECT
private slots:
    void legendNamesWhole_data();
    void legendNamesWhole();
    void emptyPlotTakesTheWidth();
    void redrawLooksLikeAFullDrawing_data();
    void redrawLooksLikeAFullDrawing();
    void linesOnTheirOwnLayerLookTheSame();
    void timeLabelsKeepApart_data();
    void timeLabelsKeepApart();
};

void TestTrendChart::legendNamesWhole_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("channels");
    QTest::addColumn<QString>("name");
    QTest::newRow("wide, 32 short names") << 1000 << 32 << QStringLiteral("CH%1 ℃");
    QTest::newRow("wide, 32 long names") << 1000 << 32 << QStringLiteral("D2Bus-word 3 b%1 入力エッジ");
    QTest::newRow("narrow, 32 long names") << 420 << 32 << QStringLiteral("WORD 12 温度%1 %RH");
    QTest::newRow("narrow, 3 names") << 420 << 3 << QStringLiteral("BitBus-word 15 b%1");
}

void TestTrendChart::legendNamesWhole()
{
    QFETCH(int, width);
    QFETCH(int, channels);
    QFETCH(QString, name);
    TrendChart chart;
    chart.resize(width, 520);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    drawChannels(chart, channels, name);
    // Taken off and on again: the legend keeps the channels' order.
    chart.setSeriesVisible(1, false);
    chart.redraw();
    chart.setSeriesVisible(1, true);
    chart.redraw();

    QCustomPlot *plot = plotOf(chart);
    QCPLegend *legend = plot->legend;
    QVERIFY(legend->visible());
    // The legend's cells in its fill order (the last row may have empty ones).
    QList<QCPAbstractLegendItem *> items;
    for (int i = 0; i < legend->itemCount(); ++i)
        if (QCPAbstractLegendItem *item = legend->item(i))
            items << item;
    QCOMPARE(int(items.size()), channels);
    for (int i = 0; i < channels; ++i) {
        auto *item = qobject_cast<QCPPlottableLegendItem *>(items[i]);
        QVERIFY(item);
        QCOMPARE(item->plottable()->name(), name.arg(i));
        const QRect r = item->outerRect();
        QVERIFY2(r.left() >= 0 && r.right() < plot->width() && r.bottom() < plot->height(),
                 qPrintable(QStringLiteral("%1: %2,%3 %4x%5").arg(i).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
        QVERIFY2(r.width() >= items[i]->minimumOuterSizeHint().width(), qPrintable(name.arg(i)));
    }
    QVERIFY(plot->axisRect()->height() > 50);
}

void TestTrendChart::emptyPlotTakesTheWidth()
{
    TrendChart chart;
    chart.resize(800, 480);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QCustomPlot *plot = plotOf(chart);
    // Before any data, with channels drawn, and with every channel taken
    // off again.
    for (int channels : {0, 4, -4}) {
        if (channels > 0)
            drawChannels(chart, channels, QStringLiteral("CH%1"));
        for (int c = 0; channels < 0 && c < -channels; ++c)
            chart.setSeriesVisible(c, false);
        chart.redraw();
        QVERIFY2(plot->axisRect()->width() > plot->width() * 8 / 10,
                 qPrintable(QString::number(plot->axisRect()->width())));
        QVERIFY(plot->axisRect()->height() > plot->height() / 2);
        QCOMPARE(plot->legend->visible(), channels > 0);
    }
}

void TestTrendChart::redrawLooksLikeAFullDrawing_data()
{
    // What changes between two redraws, and whether the second one may
    // draw the lines alone (everything else as it was).
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("linesOnly");
    QTest::newRow("new points") << QStringLiteral("points") << true;
    QTest::newRow("time range") << QStringLiteral("time") << false;
    QTest::newRow("value range") << QStringLiteral("value") << false;
    QTest::newRow("a series taken off") << QStringLiteral("hide") << false;
    QTest::newRow("a series renamed") << QStringLiteral("name") << false;
    QTest::newRow("size") << QStringLiteral("size") << false;
}

void TestTrendChart::redrawLooksLikeAFullDrawing()
{
    QFETCH(QString, change);
    QFETCH(bool, linesOnly);
    TrendChart chart;
    chart.resize(640, 420);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    drawChannels(chart, 6, QStringLiteral("CH%1 ℃"));
    QCustomPlot *plot = plotOf(chart);
    QSignalSpy full(plot, &QCustomPlot::afterReplot);
    if (change == QLatin1String("points"))
        chart.setPoints(2, {{0.0, 4.0}, {300.0, 0.5}, {600.0, 5.5}, {1000.0, 1.0}});
    else if (change == QLatin1String("time"))
        chart.setTimeRange(0, 800);
    else if (change == QLatin1String("value"))
        chart.fitValueAxis(), chart.setPoints(5, {{0.0, 40.0}}), chart.fitValueAxis();
    else if (change == QLatin1String("hide"))
        chart.setSeriesVisible(3, false);
    else if (change == QLatin1String("name"))
        chart.setSeries(1, QStringLiteral("新しい名前 %RH"), trend::trendColour(1), true);
    else if (change == QLatin1String("size"))
        chart.resize(700, 420);
    chart.redraw();
    QVERIFY(linesOnly ? full.isEmpty() : !full.isEmpty());
    const QImage drawn = chart.grab().toImage();
    plot->replot(QCustomPlot::rpImmediateRefresh);  // everything drawn again
    const QImage whole = chart.grab().toImage();
    QCOMPARE(drawn.size(), whole.size());
    QVERIFY(drawn == whole);
    // And a change of points shows: the picture is not the one before.
    chart.setPoints(0, {{0.0, 0.0}, {1000.0, 6.0}});
    chart.redraw();
    QVERIFY(chart.grab().toImage() != whole);
}

void TestTrendChart::linesOnTheirOwnLayerLookTheSame()
{
    // The lines drawn into a picture of their own and laid over the grid
    // look exactly as lines drawn straight over it.
    TrendChart chart;
    chart.resize(640, 420);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    drawChannels(chart, 8, QStringLiteral("CH%1"));
    chart.setPoints(3, {{0.0, 1.0}, {250.0, 7.0}, {500.0, 0.2}, {520.0, 6.0}, {1000.0, 3.0}});
    chart.redraw();
    const QImage layered = chart.grab().toImage();
    QCustomPlot *plot = plotOf(chart);
    QCPLayer *lines = plot->layer(QStringLiteral("main"));
    QCOMPARE(lines->mode(), QCPLayer::lmBuffered);
    lines->setMode(QCPLayer::lmLogical);
    plot->replot(QCustomPlot::rpImmediateRefresh);
    const QImage direct = chart.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage over = layered.convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(direct.size(), over.size());
    // Blending the lines' edges in two steps may round a channel the other
    // way: a level at most, on a few pixels.
    int differing = 0;
    int most = 0;
    for (int y = 0; y < direct.height(); ++y)
        for (int x = 0; x < direct.width(); ++x) {
            const QRgb a = direct.pixel(x, y), b = over.pixel(x, y);
            const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                    std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            differing += d > 0;
            most = std::max(most, d);
        }
    QVERIFY2(most <= 1 && differing <= direct.width() * direct.height() / 1000,
             qPrintable(QStringLiteral("%1 pixels differ, by up to %2").arg(differing).arg(most)));
}

QTEST_MAIN(TestTrendChart)
void TestTrendChart::timeLabelsKeepApart_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("minutes");
    for (int w : {360, 480, 700, 1000})
        for (int m : {1, 10, 60})
            QTest::addRow("%d px, %d min", w, m) << w << m;
}

void TestTrendChart::timeLabelsKeepApart()
{
    // However narrow the chart, neighbouring time labels (HH:mm:ss) keep
    // apart, and there are at least two of them.
    QFETCH(int, width);
    QFETCH(int, minutes);
    TrendChart chart;
    chart.resize(width, 420);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    drawChannels(chart, 4, QStringLiteral("CH%1"));
    const double t0 = 1.8e12;  // a time of day in ms since the epoch
    chart.setTimeRange(t0, t0 + minutes * 60000.0);
    chart.redraw();
    QCustomPlot *plot = plotOf(chart);
    plot->replot();
    const QVector<double> ticks = plot->xAxis->tickVector();
    QVERIFY2(ticks.size() >= 2, qPrintable(QString::number(ticks.size())));
    const int label = QFontMetrics(plot->xAxis->tickLabelFont()).horizontalAdvance(QStringLiteral("00:00:00"));
    for (int i = 1; i < ticks.size(); ++i) {
        const double gap = plot->xAxis->coordToPixel(ticks[i]) - plot->xAxis->coordToPixel(ticks[i - 1]);
        QVERIFY2(gap > label + 4, qPrintable(QStringLiteral("%1 px between labels %2 px wide").arg(gap).arg(label)));
    }
}

#include "test_trend_chart.moc"
