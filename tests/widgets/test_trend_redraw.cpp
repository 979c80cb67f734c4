// The trend window draws new rows when they reach a new pixel column of the
// chart, or once they have waited a column's time; rows that fall into the
// column of the newest row drawn do not redraw the chart at every tick.
#include "support/Controls.h"
#include "tools/trend/TfrmTrend.h"
#include "tools/trend/TrendChart.h"
#include <QComboBox>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class TestTrendRedraw : public QObject {
    Q_OBJECT
private slots:
    void newRowsWaitForANewColumn();
};

void TestTrendRedraw::newRowsWaitForANewColumn()
{
    TfrmTrend window;
    window.resize(900, 520);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    monitor::TrendLayout layout;
    layout.key = QStringLiteral("test");
    layout.names[0] = QStringLiteral("CH0 ℃");
    window.monitorLayout(layout);
    auto *span = controls::find<QComboBox>(&window, "cbTrendSpan");
    span->setCurrentIndex(2);  // 1時間: a column is some seconds
    auto *chart = controls::find<trend::TrendChart>(&window, "TrendChart");
    auto *timer = controls::find<QTimer>(&window, "TimerTrend");
    auto newestDrawn = [chart] {
        const auto points = chart->points(0);
        return points.empty() ? 0.0 : points.back().x;
    };

    monitor::TrendSample sample;
    sample.mask = 1;
    const qint64 first = 1'700'000'000'000;
    auto answer = [&](qint64 at, double value) {
        sample.values[0] = value;
        window.monitorAnswer(sample, at);
    };
    answer(first, 1);
    QTRY_COMPARE(newestDrawn(), double(first));
    const double column = (chart->timeTo() - chart->timeFrom()) / chart->width();
    QVERIFY2(column > 4000, qPrintable(QString::number(column)));

    // Two rows in the first row's column: ticks pass, nothing new is drawn.
    answer(first + 100, 2);
    answer(first + 200, 3);
    QSignalSpy ticks(timer, &QTimer::timeout);
    for (int i = 0; i < 3; ++i)
        QVERIFY(ticks.wait());
    QCOMPARE(newestDrawn(), double(first));

    // A row in the next column: drawn, with the rows before it.
    const qint64 next = first + qint64(std::ceil(column));
    answer(next, 4);
    QTRY_COMPARE(newestDrawn(), double(next));
    std::vector<double> values;
    for (const auto &p : chart->points(0))
        values.push_back(p.y);
    QCOMPARE(values, (std::vector<double>{1, 3, 4}));  // the column's first, largest and last

    // 10分 (under a second a column): a last row in the newest row's column
    // is drawn when it has waited that long.
    span->setCurrentIndex(1);
    QTRY_VERIFY(chart->timeTo() - chart->timeFrom() < 700'000);
    answer(next + 10, 5);
    QTRY_COMPARE(newestDrawn(), double(next + 10));
    QCOMPARE(chart->points(0).back().y, 5.0);
}

QTEST_MAIN(TestTrendRedraw)
#include "test_trend_redraw.moc"
