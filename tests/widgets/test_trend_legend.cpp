// The trend chart's legend below the plot: at any width of the chart every
// name gets the room it needs (the columns follow the width), and every
// visible series has its entry.
#include "support/Controls.h"
#include "tools/trend/TrendChart.h"
#include <QtTest>
#include <qcustomplot.h>

class TestTrendLegend : public QObject {
    Q_OBJECT
private slots:
    void namesFitAtEveryWidth_data();
    void namesFitAtEveryWidth();
};

void TestTrendLegend::namesFitAtEveryWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("visible");
    // The trend window's chart at its first size, narrower and wider, with
    // the 32 channels of four power terminals or a few of them.
    QTest::newRow("first size, 32 channels") << 700 << 32;
    QTest::newRow("narrow, 32 channels") << 360 << 32;
    QTest::newRow("very narrow") << 150 << 32;
    QTest::newRow("wide, 32 channels") << 1600 << 32;
    QTest::newRow("first size, 3 channels") << 700 << 3;
}

void TestTrendLegend::namesFitAtEveryWidth()
{
    QFETCH(int, width);
    QFETCH(int, visible);
    // Placed as the trend window's layout places it: at the width it is
    // given, whatever its size hint asks for.
    QWidget host;
    host.resize(width, 500);
    auto &chart = *new trend::TrendChart(&host);
    chart.setGeometry(0, 0, width, 500);
    const QStringList names{"Vab V", "I1 A", "I2 A", "I3 A", "I4 A", "I5 A", "I6 A", "I7 A"};
    for (int c = 0; c < monitor::kTrendChannels; ++c) {
        chart.setSeries(c, QStringLiteral("WORD %1 %2").arg(12 + c / 8).arg(names[c % 8]), trend::trendColour(c),
                        false);
        chart.setSeriesVisible(c, c < visible);
    }
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QCOMPARE(chart.width(), width);
    auto *plot = controls::find<QCustomPlot>(&chart, "TrendPlot");
    plot->replot();
    QCPLegend *legend = plot->legend;
    int entries = 0;
    for (int i = 0; i < legend->itemCount(); ++i) {  // the grid's cells, empty ones too
        QCPAbstractLegendItem *item = legend->item(i);
        if (!item)
            continue;
        ++entries;
        const int need = item->minimumOuterSizeHint().width();
        QVERIFY2(item->outerRect().width() >= need || width < need,
                 qPrintable(QStringLiteral("item %1: %2 of %3 px").arg(i).arg(item->outerRect().width()).arg(need)));
        QVERIFY2(item->outerRect().right() <= plot->width(), qPrintable(QString::number(i)));
    }
    QCOMPARE(entries, visible);
}

QTEST_MAIN(TestTrendLegend)
#include "test_trend_legend.moc"
