// The survey's rules without a gateway: a channel's statistics and verdict
// over its samples against its expected range, and which value boxes of a
// terminal the survey reports.
#include "monitor/Survey.h"
#include <QTest>
#include <algorithm>
#include <optional>

using survey::Verdict;
using Bound = std::optional<double>;

class TestSurveyStats : public QObject {
    Q_OBJECT
private slots:
    void statistics_data();
    void statistics();
    void channels_data();
    void channels();
};

void TestSurveyStats::statistics_data()
{
    QTest::addColumn<QList<double>>("samples");
    QTest::addColumn<Bound>("min");
    QTest::addColumn<Bound>("max");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<Bound>("lowest");
    QTest::addColumn<Bound>("mean");
    QTest::addColumn<Bound>("highest");

    const QList<double> inside{150, 162, 171};
    QTest::newRow("no samples") << QList<double>{} << Bound(100) << Bound(200) << Verdict::NoAnswer
                                << Bound() << Bound() << Bound();
    QTest::newRow("all inside, bounds reached") << QList<double>{150, 180, 165} << Bound(150) << Bound(180)
                                                << Verdict::Ok << Bound(150) << Bound(165) << Bound(180);
    QTest::newRow("one below min") << QList<double>{150, 149.5, 170} << Bound(150) << Bound(180)
                                   << Verdict::OutOfRange << Bound(149.5) << Bound(156.5) << Bound(170);
    QTest::newRow("one above max") << QList<double>{160, 181, 170} << Bound(150) << Bound(180)
                                   << Verdict::OutOfRange << Bound(160) << Bound(170.33333333333334) << Bound(181);
    QTest::newRow("only a max, far below it") << QList<double>{-40, 0} << Bound() << Bound(10) << Verdict::Ok
                                              << Bound(-40) << Bound(-20) << Bound(0);
    QTest::newRow("no range") << QList<double>{1e6, -1e6, 7} << Bound() << Bound() << Verdict::Ok
                              << Bound(-1e6) << Bound(7.0 / 3) << Bound(1e6);
}

void TestSurveyStats::statistics()
{
    QFETCH(QList<double>, samples);
    QFETCH(Bound, min);
    QFETCH(Bound, max);
    survey::ChannelResult c;
    c.expectedMin = min;
    c.expectedMax = max;
    // Figures of an earlier survey do not stay.
    c.lowest = c.mean = c.highest = 12345;
    survey::fillStatistics(c, samples);
    QTEST(c.verdict, "verdict");
    QTEST(c.lowest, "lowest");
    QTEST(c.highest, "highest");
    QFETCH(Bound, mean);
    QCOMPARE(c.mean.has_value(), mean.has_value());
    if (mean)
        QVERIFY2(qFuzzyCompare(*c.mean, *mean), qPrintable(QString::number(*c.mean, 'g', 17)));
}

void TestSurveyStats::channels_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<int>>("named");
    QTest::addColumn<QList<int>>("boxes");

    QList<int> all, firstEight;
    for (int p = 0; p < 32; ++p)
        all << p;
    for (int p = 0; p < 8; ++p)
        firstEight << p;
    // The 14-circuit power terminal takes all four words and leaves boxes 8
    // and 24 without a label.
    QList<int> power14 = all;
    power14.removeAll(8);
    power14.removeAll(24);
    QTest::newRow("power 14, every labelled box") << 4 << QList<int>{} << power14;
    QTest::newRow("power 14, a named free box") << 4 << QList<int>{24} << (QList<int>(power14) << 24);
    // One-word terminals: the monitor labels all four groups alike, but the
    // three after the first show the next addresses' words.
    QTest::newRow("thermocouple, its own word only") << 0 << QList<int>{} << firstEight;
    QTest::newRow("thermocouple, a named box further on") << 0 << QList<int>{20} << (QList<int>(firstEight) << 20);
    QTest::newRow("current 8") << 6 << QList<int>{} << firstEight;
    QTest::newRow("thermistor") << 10 << QList<int>{} << QList<int>{0, 1};
    QTest::newRow("thermistor, a named '--' box") << 10 << QList<int>{5} << QList<int>{0, 1, 5};
    QTest::newRow("temperature/humidity") << 11 << QList<int>{} << QList<int>{2, 3};
    // Two-word terminals.
    QList<int> sixteen;
    for (int p = 0; p < 16; ++p)
        sixteen << p;
    QTest::newRow("power 7") << 3 << QList<int>{} << sixteen;
    QTest::newRow("current 16") << 7 << QList<int>{} << sixteen;
    // The 24-bit counter's pairs: group 0 (group 1 holds their high halves).
    QTest::newRow("counter 24 bit") << 2 << QList<int>{} << firstEight;
}

void TestSurveyStats::channels()
{
    QFETCH(int, type);
    QFETCH(QList<int>, named);
    site::Terminal t;
    t.type = type;
    for (int p : named)
        t.channels << site::Channel{p, QStringLiteral("T%1").arg(p), {}, {}, {}};
    QList<int> got = survey::surveyedChannels(t);
    QFETCH(QList<int>, boxes);
    std::sort(boxes.begin(), boxes.end());
    QCOMPARE(got, boxes);
}

QTEST_GUILESS_MAIN(TestSurveyStats)
#include "test_survey_stats.moc"
