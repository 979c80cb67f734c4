// The trend's data apart from any window: the numbers of an answer, the
// ring of rows, gaps, min/max decimation and the CSV export.
#include "monitor/TrendData.h"
#include "monitor/ValueDecoding.h"
#include <QDateTime>
#include <QTest>
#include <cmath>
#include <limits>

using namespace monitor;

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

QByteArray registers(const QList<int> &regs)
{
    QByteArray d;
    for (int r : regs) {
        d.append(char(r >> 8 & 0xFF));
        d.append(char(r & 0xFF));
    }
    return d;
}

// The numbers of the answer in the given state, as the monitor hands them to the trend.
TrendSample sampleOf(const QByteArray &data, const MonitorState &s)
{
    MonitorBoxes boxes;
    QString row;
    const auto *bytes = reinterpret_cast<const uint8_t *>(data.constData());
    decodeMonitorAnswer(bytes, int(data.size()), s, boxes, row);
    return trendSample(bytes, int(data.size()), s, boxes);
}

QList<double> numbers(const TrendSample &t, int count)
{
    QList<double> out;
    for (int p = 0; p < count; ++p)
        out << ((t.mask >> p & 1u) ? t.values[size_t(p)] : -999.0);
    return out;
}

TrendSample sampleOfValues(const QList<double> &v)
{
    TrendSample s;
    for (int c = 0; c < int(v.size()); ++c) {
        s.values[size_t(c)] = v[c];
        if (!std::isnan(v[c]))
            s.mask |= 1u << c;
    }
    return s;
}

using Points = std::vector<TrendPoint>;

Points decimate(const QList<double> &t, const QList<double> &v, double t0, double t1, int columns)
{
    return decimateMinMax(
        0, int(t.size()), [&](int i) { return t[i]; }, [&](int i) { return v[i]; }, t0, t1, columns);
}

QString show(const Points &p)
{
    QStringList s;
    for (const auto &pt : p)
        s << QStringLiteral("%1:%2").arg(pt.x).arg(std::isnan(pt.y) ? QStringLiteral("gap")
                                                                     : QString::number(pt.y));
    return s.join(u' ');
}

} // namespace

class TestTrendData : public QObject {
    Q_OBJECT
private slots:
    void valuesAsTheBoxesShowThem_data();
    void valuesAsTheBoxesShowThem();
    void bitPages();
    void channelNames();
    void ringKeepsTheNewestRows();
    void newTrendOnlyForAnotherSelection();
    void gapRows();
    void decimation_data();
    void decimation();
    void decimationKeepsEveryPeak();
    void csvExport();
    void redrawDue_data();
    void redrawDue();
};

void TestTrendData::valuesAsTheBoxesShowThem_data()
{
    QTest::addColumn<int>("dataType");
    QTest::addColumn<int>("format");
    QTest::addColumn<QList<int>>("regs");
    QTest::addColumn<QList<double>>("want");

    const QList<int> r16{0xFFFF, 0x000A, 1234, 0};
    // Hex and characters plot the decimal value of the same box.
    for (int f : {Decimal, Hexadecimal, Characters})
        QTest::addRow("u16 format %d", f) << int(Unsigned16) << f << r16
                                         << QList<double>{65535, 10, 1234, 0};
    // Converted: the shown value (default gain 0.1, 7 significant digits).
    QTest::newRow("u16 converted") << int(Unsigned16) << int(Converted) << r16
                                   << QList<double>{6553.5, 1, 123.4, 0};
    QTest::newRow("s16 hex") << int(Signed16) << int(Hexadecimal) << QList<int>{0xFFFF, 0x7FFF}
                             << QList<double>{-1, 32767};
    QTest::newRow("u32 characters (box unchanged)") << int(Unsigned32) << int(Characters)
                                                    << QList<int>{0x0001, 0x0000, 0x0000, 0x0001}
                                                    << QList<double>{1, 65536};
    // The real as the box shows it: 7 significant digits.
    const uint32_t third = bitsFromReal(1.0f / 3.0f);
    QTest::newRow("real decimal") << int(Real32) << int(Decimal)
                                  << QList<int>{int(third & 0xFFFF), int(third >> 16), 0, 0x3F80}
                                  << QList<double>{0.3333333, 1};
    QTest::newRow("real hex shows --, plots the value") << int(Real32) << int(Hexadecimal)
                                                        << QList<int>{0, 0x3F80}
                                                        << QList<double>{1};
    QTest::newRow("real converted") << int(Real32) << int(Converted) << QList<int>{0, 0x3F80}
                                    << QList<double>{0.1};
    // Shown in scientific notation: plotted as the number the box shows.
    QTest::newRow("u32 converted large") << int(Unsigned32) << int(Converted)
                                         << QList<int>{0xFFFF, 0xFFFF} << QList<double>{429496700};
    const uint32_t tiny = bitsFromReal(-0.000015f);
    QTest::newRow("real tiny negative") << int(Real32) << int(Decimal)
                                        << QList<int>{int(tiny & 0xFFFF), int(tiny >> 16)}
                                        << QList<double>{-1.5e-5};
    // An infinite real is no point on a chart.
    QTest::newRow("real infinite") << int(Real32) << int(Decimal) << QList<int>{0, 0x7F80, 0, 0x4000}
                                   << QList<double>{-999, 2};
    QTest::newRow("on/off on the word page") << int(OnOff) << int(Decimal) << QList<int>{1, 2}
                                             << QList<double>{-999, -999};
}

void TestTrendData::valuesAsTheBoxesShowThem()
{
    QFETCH(int, dataType);
    QFETCH(int, format);
    QFETCH(QList<int>, regs);
    QFETCH(QList<double>, want);
    ConversionTable table;
    MonitorState s;
    s.dataType = dataType;
    s.displayFormat = format;
    s.table = &table;
    const TrendSample t = sampleOf(registers(regs), s);
    QCOMPARE(numbers(t, int(want.size())), want);
    // Nothing beyond what the answer carries.
    QCOMPARE(t.mask >> want.size(), 0u);
}

void TestTrendData::bitPages()
{
    MonitorState s;
    s.wordPage = false;
    s.bitDataItem = 0;
    // Bits of the first two words, 0 or 1; the third word is beyond the 32 channels.
    const TrendSample bits = sampleOf(registers({0x0006, 0x8001, 0xFFFF}), s);
    QCOMPARE(bits.mask, 0xFFFFFFFFu);
    QList<double> want(32, 0.0);
    want[1] = want[2] = want[16] = want[31] = 1;
    QCOMPARE(numbers(bits, 32), want);

    s.bitDataItem = 1;  // edge counters: the counters as shown
    QCOMPARE(numbers(sampleOf(registers({7, 65535}), s), 3), (QList<double>{7, 65535, -999}));
}

void TestTrendData::channelNames()
{
    std::array<QString, 32> labels, units;
    labels[3] = QStringLiteral("CH3");
    units[3] = QStringLiteral("℃");
    labels[2] = QStringLiteral("I2");
    units[2] = QStringLiteral(" A ");
    labels[4] = QStringLiteral("Atrip");
    const std::array<QString, 4> groups{QStringLiteral("BitBus-word 2"), QStringLiteral("BitBus-word 3"),
                                        QString(), QString()};
    const TrendLayout word = trendLayout(QStringLiteral("k"), labels, units, false, groups);
    QCOMPARE(word.names[3], QStringLiteral("CH3 ℃"));
    QCOMPARE(word.names[2], QStringLiteral("I2 A"));
    QCOMPARE(word.names[4], QStringLiteral("Atrip"));
    QVERIFY(!word.bits);
    // A name of more than one group gets the group's caption.
    std::array<QString, 32> thermo, celsius;
    for (int p = 0; p < 32; ++p) {
        thermo[p] = QStringLiteral("CH%1").arg(p % 8);
        celsius[p] = QStringLiteral("℃");
    }
    thermo[31] = QStringLiteral("CH31");
    const std::array<QString, 4> words{QStringLiteral("WORD 0"), QStringLiteral("WORD 1"),
                                       QStringLiteral("WORD 2"), QStringLiteral("WORD 3")};
    const TrendLayout four = trendLayout(QStringLiteral("k"), thermo, celsius, false, words);
    QCOMPARE(four.names[0], QStringLiteral("WORD 0 CH0 ℃"));
    QCOMPARE(four.names[11], QStringLiteral("WORD 1 CH3 ℃"));
    QCOMPARE(four.names[31], QStringLiteral("CH31 ℃"));
    const TrendLayout bit = trendLayout(QStringLiteral("k"), labels, units, true, groups);
    QCOMPARE(bit.names[0], QStringLiteral("BitBus-word 2 b0"));
    QCOMPARE(bit.names[31], QStringLiteral("BitBus-word 3 b15"));
    QVERIFY(bit.bits);
}

void TestTrendData::ringKeepsTheNewestRows()
{
    TrendData d(5);
    for (int i = 0; i < 7; ++i)
        d.append(1000 + 100 * i, sampleOfValues({double(i), double(10 * i)}));
    QCOMPARE(d.size(), 5);
    QList<int64_t> times;
    QList<double> ch0, ch1;
    for (int i = 0; i < d.size(); ++i) {
        times << d.time(i);
        ch0 << d.value(0, i);
        ch1 << d.value(1, i);
    }
    QCOMPARE(times, (QList<int64_t>{1200, 1300, 1400, 1500, 1600}));
    QCOMPARE(ch0, (QList<double>{2, 3, 4, 5, 6}));
    QCOMPARE(ch1, (QList<double>{20, 30, 40, 50, 60}));
    QVERIFY(std::isnan(d.value(2, 0)));  // no number for channel 2
    QCOMPARE(d.channelsSeen(), 0b11u);
    QCOMPARE(d.lowerBound(1250), 1);
    QCOMPARE(d.lowerBound(1300), 1);
    QCOMPARE(d.lowerBound(0), 0);
    QCOMPARE(d.lowerBound(5000), 5);
    // The default ring holds one hour at 100 ms.
    QCOMPARE(TrendData().capacity(), 36000);
}

void TestTrendData::newTrendOnlyForAnotherSelection()
{
    TrendData d;
    TrendLayout a;
    a.key = QStringLiteral("word/3/12/1");
    a.names[0] = QStringLiteral("Va V");
    QVERIFY(d.setLayout(a));
    d.append(1, sampleOfValues({1}));
    a.names[0] = QStringLiteral("renamed");
    QVERIFY(!d.setLayout(a));
    QCOMPARE(d.size(), 1);
    QCOMPARE(d.layout().names[0], QStringLiteral("renamed"));
    TrendLayout b = a;
    b.key = QStringLiteral("word/3/13/1");
    const uint64_t rev = d.revision();
    QVERIFY(d.setLayout(b));
    QCOMPARE(d.size(), 0);
    QCOMPARE(d.channelsSeen(), 0u);
    QVERIFY(d.revision() != rev);
}

void TestTrendData::gapRows()
{
    TrendData d;
    d.append(100, sampleOfValues({1}));
    const uint64_t rev = d.revision();
    d.appendGap(200);
    QVERIFY(d.revision() != rev);
    d.appendGap(300);  // still the same stale period
    d.append(400, sampleOfValues({2}));
    QCOMPARE(d.size(), 3);
    QVERIFY(!d.isGap(0));
    QVERIFY(d.isGap(1));
    QCOMPARE(d.time(1), int64_t(200));
    QVERIFY(std::isnan(d.value(0, 1)));
    QVERIFY(!d.isGap(2));
}

void TestTrendData::decimation_data()
{
    QTest::addColumn<QList<double>>("t");
    QTest::addColumn<QList<double>>("v");
    QTest::addColumn<double>("t0");
    QTest::addColumn<double>("t1");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("want");

    QTest::newRow("fewer rows than columns: every row")
        << QList<double>{0, 10, 20} << QList<double>{5, 6, 7} << 0.0 << 30.0 << 30
        << QStringLiteral("0:5 10:6 20:7");
    // One column of ten rows: first, min, max, last in time order.
    QTest::newRow("one column") << QList<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}
                                << QList<double>{3, 4, 9, 1, 5, 5, 0, 2, 8, 4} << 0.0 << 10.0 << 1
                                << QStringLiteral("0:3 2:9 6:0 9:4");
    QTest::newRow("max is the first, min the last")
        << QList<double>{0, 1, 2} << QList<double>{9, 5, 1} << 0.0 << 10.0 << 1
        << QStringLiteral("0:9 2:1");
    QTest::newRow("two columns") << QList<double>{0, 1, 2, 5, 6, 7} << QList<double>{1, 7, 2, 4, 4, 4}
                                 << 0.0 << 10.0 << 2 << QStringLiteral("0:1 1:7 2:2 5:4 7:4");
    QTest::newRow("rows outside the range left out")
        << QList<double>{0, 10, 20, 30} << QList<double>{1, 2, 3, 4} << 10.0 << 30.0 << 10
        << QStringLiteral("10:2 20:3");
    // A gap breaks the line once, however many rows it spans.
    QTest::newRow("gap") << QList<double>{0, 1, 2, 3, 4, 5} << QList<double>{1, 2, NaN, NaN, 3, 4}
                         << 0.0 << 6.0 << 1 << QStringLiteral("0:1 1:2 2:gap 4:3 5:4");
    QTest::newRow("gap at the start draws nothing before")
        << QList<double>{0, 1} << QList<double>{NaN, 3} << 0.0 << 2.0 << 2 << QStringLiteral("1:3");
    QTest::newRow("empty range") << QList<double>{0, 1} << QList<double>{1, 2} << 5.0 << 5.0 << 10
                                 << QString();
}

void TestTrendData::decimation()
{
    QFETCH(QList<double>, t);
    QFETCH(QList<double>, v);
    QFETCH(double, t0);
    QFETCH(double, t1);
    QFETCH(int, columns);
    QFETCH(QString, want);
    QCOMPARE(show(decimate(t, v, t0, t1, columns)), want);
}

void TestTrendData::decimationKeepsEveryPeak()
{
    // An hour at 100 ms into 800 columns: at most four points a column, in
    // time order, and every column keeps its extremes.
    QList<double> t, v;
    for (int i = 0; i < 36000; ++i) {
        t << 100.0 * i;
        v << std::sin(i / 50.0) * 100 + (i % 997 == 0 ? 500 : 0);
    }
    const int columns = 800;
    const Points p = decimate(t, v, 0, 3'600'000, columns);
    QVERIFY(p.size() <= size_t(4 * columns));
    QVERIFY(p.size() >= size_t(2 * columns));
    for (size_t i = 1; i < p.size(); ++i)
        QVERIFY(p[i].x > p[i - 1].x);
    const double width = 3'600'000.0 / columns;
    for (int c = 0; c < columns; ++c) {
        double lo = 1e300, hi = -1e300, plo = 1e300, phi = -1e300;
        for (int i = 0; i < int(t.size()); ++i)
            if (int(t[i] / width) == c) {
                lo = std::min(lo, v[i]);
                hi = std::max(hi, v[i]);
            }
        for (const auto &pt : p)
            if (int(pt.x / width) == c) {
                plo = std::min(plo, pt.y);
                phi = std::max(phi, pt.y);
            }
        QCOMPARE(plo, lo);
        QCOMPARE(phi, hi);
    }
}

void TestTrendData::csvExport()
{
    TrendData d;
    TrendLayout l;
    l.key = QStringLiteral("k");
    l.names[0] = QStringLiteral("CH0 ℃");
    l.names[1] = QStringLiteral("CH1 ℃");
    l.names[2] = QStringLiteral("CH2 ℃");
    d.setLayout(l);
    const int64_t t = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7, 8)).toMSecsSinceEpoch();
    d.append(t, sampleOfValues({1.5, 0.1, -3}));
    d.appendGap(t + 100);
    d.append(t + 200, sampleOfValues({NaN, 1e-7, 123456789}));
    d.append(t + 300, sampleOfValues({4, 5, 6}));

    const QString csv = trendCsv(d, 0b101, t, t + 200);
    QVERIFY(csv.endsWith(QStringLiteral("\r\n")));
    QStringList lines = csv.split(QStringLiteral("\r\n"));
    lines.removeLast();
    QCOMPARE(lines.size(), 3);  // header and the two answers in the range, no gap row
    QCOMPARE(lines[0], QStringLiteral("時刻,CH0 ℃,CH2 ℃"));
    const QStringList row1 = lines[1].split(u',');
    const QStringList row2 = lines[2].split(u',');
    // ISO 8601 with milliseconds and the offset: the same instant reads back.
    QVERIFY2(row1[0].contains(QStringLiteral("T05:06:07.008")), qPrintable(row1[0]));
    QCOMPARE(QDateTime::fromString(row1[0], Qt::ISODateWithMs).toMSecsSinceEpoch(), t);
    QCOMPARE(QDateTime::fromString(row2[0], Qt::ISODateWithMs).toMSecsSinceEpoch(), t + 200);
    QCOMPARE(row1.mid(1), (QStringList{QStringLiteral("1.5"), QStringLiteral("-3")}));
    // No number: an empty field; every number reads back exactly.
    QCOMPARE(row2[1], QString());
    QCOMPARE(row2[2].toDouble(), 123456789.0);
    QCOMPARE(csv.count(u'\n'), csv.count(QStringLiteral("\r\n")));  // CR LF only
}

Q_DECLARE_METATYPE(monitor::TrendView)

void TestTrendData::redrawDue_data()
{
    // A view drawn of 100 columns over 100 s (1 s a column), rows from 0 to
    // 10.5 s; what the data and view are now, how long after the drawing.
    QTest::addColumn<TrendView>("drawn");
    QTest::addColumn<TrendView>("now");
    QTest::addColumn<double>("since");
    QTest::addColumn<bool>("due");
    const TrendView d{0, 100'000, 100, 106, 0, 10'500};
    auto with = [d](auto change) {
        TrendView v = d;
        change(v);
        return v;
    };
    QTest::newRow("a row in the newest row's column")
        << d << with([](TrendView &v) { v.rows += 1, v.newest = 10'900; }) << 400.0 << false;
    QTest::newRow("a row in the next column")
        << d << with([](TrendView &v) { v.rows += 1, v.newest = 11'000; }) << 400.0 << true;
    QTest::newRow("waited a column's time")
        << d << with([](TrendView &v) { v.rows += 1, v.newest = 10'900; }) << 1000.0 << true;
    QTest::newRow("view slid by less than a column")
        << d << with([](TrendView &v) { v.t0 += 900, v.t1 += 900, v.newest = 10'900; }) << 0.0 << false;
    QTest::newRow("view slid by a column")
        << d << with([](TrendView &v) { v.t0 += 1000, v.t1 += 1000, v.newest = 10'900; }) << 0.0 << true;
    QTest::newRow("right edge grew by a column")
        << d << with([](TrendView &v) { v.t1 += 1100, v.newest = 10'900; }) << 0.0 << true;
    QTest::newRow("other columns") << d << with([](TrendView &v) { v.columns = 101; }) << 0.0 << true;
    QTest::newRow("first rows") << with([](TrendView &v) { v.rows = 0; }) << d << 0.0 << true;
    QTest::newRow("still no rows") << with([](TrendView &v) { v.rows = 0; })
                                   << with([](TrendView &v) { v.rows = 0; }) << 5000.0 << false;
    // A view that does not follow: rows beyond it draw nothing new; a row
    // it showed leaving the ring does.
    const TrendView past{0, 5'000, 100, 106, 0, 10'500};
    QTest::newRow("rows after a fixed view")
        << past << TrendView{0, 5'000, 100, 200, 0, 19'900} << 0.0 << false;
    QTest::newRow("a shown row left the ring")
        << past << TrendView{0, 5'000, 100, 106, 100, 10'600} << 0.0 << true;
    QTest::newRow("a row before the view left the ring")
        << TrendView{5'000, 10'000, 100, 106, 0, 10'500} << TrendView{5'000, 10'000, 100, 106, 100, 10'600}
        << 0.0 << false;
}

void TestTrendData::redrawDue()
{
    QFETCH(TrendView, drawn);
    QFETCH(TrendView, now);
    QFETCH(double, since);
    QFETCH(bool, due);
    QCOMPARE(trendRedrawDue(drawn, now, since), due);
}

QTEST_MAIN(TestTrendData)
#include "test_trend_data.moc"
