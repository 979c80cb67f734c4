// The monitor's poll (the reads of a tick, the interval), the automatic
// saving rule, and the selection rules of the main window's panel, apart
// from any window.
#include "monitor/MonitorLayout.h"
#include "monitor/MonitorPolling.h"
#include <QTest>

using namespace monitor;

Q_DECLARE_METATYPE(monitor::MonitorPage)

namespace {

// "tag fn address count" per request: fn 4 input, 3 holding registers.
QStringList described(const std::vector<PollRequest> &requests)
{
    QStringList out;
    for (const PollRequest &r : requests)
        out << QStringLiteral("%1 %2 %3 %4")
                   .arg(r.tag)
                   .arg(r.function == PollRequest::InputRegisters ? 4 : 3)
                   .arg(r.address)
                   .arg(r.count);
    return out;
}

} // namespace

class TestMonitorPolling : public QObject {
    Q_OBJECT
private slots:
    void tickReads_data();
    void tickReads();
    void interval_data();
    void interval();
    void autoSave_data();
    void autoSave();
    void bitPages_data();
    void bitPages();
    void wordWindow_data();
    void wordWindow();
    void coilOfLabel_data();
    void coilOfLabel();
    void selectionKeys();
};

void TestMonitorPolling::tickReads_data()
{
    QTest::addColumn<MonitorPage>("page");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("size");
    QTest::addColumn<QStringList>("reads");
    // w = 5, b = 35, d = 70: header words 37 (word), 2 (bit), 36 (D2).
    const auto W = MonitorPage::Word, B = MonitorPage::Bit, D = MonitorPage::D2;
    QTest::newRow("below input registers") << W << 30000 << 4 << QStringList{};
    QTest::newRow("first input register") << W << 30001 << 4 << QStringList{"0 4 0 4", "20 4 37 4"};
    QTest::newRow("word window") << W << 30038 << 32 << QStringList{"0 4 37 32", "20 4 37 4"};
    QTest::newRow("bit page header") << B << 30003 << 4 << QStringList{"0 4 2 4", "20 4 2 4"};
    QTest::newRow("d2 page header") << D << 30037 << 4 << QStringList{"0 4 36 4", "20 4 36 4"};
    QTest::newRow("last input register") << W << 40000 << 1 << QStringList{"0 4 9999 1", "20 4 37 4"};
    QTest::newRow("first holding register: nothing") << W << 40001 << 4 << QStringList{};
    QTest::newRow("bit outputs: nothing") << B << 41024 << 4 << QStringList{};
    QTest::newRow("first holding read") << B << 41025 << 8 << QStringList{"0 3 1024 8"};
    QTest::newRow("last holding read") << D << 50000 << 64 << QStringList{"0 3 9999 64"};
    QTest::newRow("above holding registers") << W << 50001 << 4 << QStringList{};
}

void TestMonitorPolling::tickReads()
{
    QFETCH(MonitorPage, page);
    QFETCH(int, address);
    QFETCH(int, size);
    QFETCH(QStringList, reads);
    PollSelection s;
    s.page = page;
    s.readAddress = address;
    s.readSize = size;
    s.wordAddress = 5;
    s.bitAddress = 35;
    s.d2BitAddress = 70;
    QCOMPARE(described(pollRequests(s)), reads);
}

void TestMonitorPolling::interval_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("ms");  // -1: refused
    QTest::addColumn<QString>("error");
    QTest::newRow("default") << "500" << 500 << "";
    QTest::newRow("blanks around") << " 100 " << 100 << "";
    QTest::newRow("zero: on, silent") << "0" << 0 << "";
    QTest::newRow("plus sign") << "+250" << 250 << "";
    QTest::newRow("negative") << "-1" << -1 << "モニター間隔 '-1' は 0 以上の整数で指定してください";
    QTest::newRow("letters") << "abc" << -1 << "'abc' は有効な整数値ではありません";
    QTest::newRow("empty") << "" << -1 << "'' は有効な整数値ではありません";
    QTest::newRow("decimal point") << "1.5" << -1 << "'1.5' は有効な整数値ではありません";
    QTest::newRow("beyond int") << "2147483648" << -1 << "'2147483648' は有効な整数値ではありません";
}

void TestMonitorPolling::interval()
{
    QFETCH(QString, text);
    QFETCH(int, ms);
    QFETCH(QString, error);
    const PollInterval p = pollInterval(text);
    QCOMPARE(p.ms.value_or(-1), ms);
    QCOMPARE(p.error, error);
}

void TestMonitorPolling::autoSave_data()
{
    // Each step: logging, 自動ファイル保存, interval text, monitor count; and
    // what the rule answers ("-" nothing, "save", or the report's text).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("actions");
    const QString notInt = "'x' は有効な整数値ではありません\n保存間隔が直るまで自動ファイル保存は行いません。";
    const QString zero = "保存間隔 0 では自動ファイル保存ができません。1 以上の整数を指定してください。"
                         "\n保存間隔が直るまで自動ファイル保存は行いません。";
    QTest::newRow("every third answer")
        << QStringList{"1 1 3 1", "1 1 3 2", "1 1 3 3", "1 1 3 4", "1 1 3 6"}
        << QStringList{"-", "-", "save", "-", "save"};
    QTest::newRow("every answer") << QStringList{"1 1 1 1", "1 1 1 2"} << QStringList{"save", "save"};
    QTest::newRow("logging off") << QStringList{"0 1 3 3", "0 1 x 3"} << QStringList{"-", "-"};
    QTest::newRow("auto-save off") << QStringList{"1 0 3 3", "1 0 x 3"} << QStringList{"-", "-"};
    QTest::newRow("unusable text reported once")
        << QStringList{"1 1 x 1", "1 1 x 2", "1 1 x 3"} << QStringList{notInt, "-", "-"};
    QTest::newRow("zero and negative are each reported")
        << QStringList{"1 1 0 1", "1 1 0 2", "1 1 x 3"} << QStringList{zero, "-", notInt};
    QTest::newRow("reported again after a usable interval")
        << QStringList{"1 1 x 1", "1 1 2 2", "1 1 x 3", "1 1 2 4"} << QStringList{notInt, "save", notInt, "save"};
    QTest::newRow("logging off does not forget the report")
        << QStringList{"1 1 x 1", "0 1 x 2", "1 1 x 3"} << QStringList{notInt, "-", "-"};
}

void TestMonitorPolling::autoSave()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, actions);
    AutoSaveRule rule;
    QStringList got;
    for (const QString &step : steps) {
        const QStringList f = step.split(u' ');
        switch (rule.step(f[0] == "1", f[1] == "1", f[2], f[3].toUInt())) {
        case AutoSaveRule::Nothing: got << "-"; break;
        case AutoSaveRule::Save: got << "save"; break;
        case AutoSaveRule::Report: got << rule.report(); break;
        }
    }
    QCOMPARE(got, actions);
}

void TestMonitorPolling::bitPages_data()
{
    QTest::addColumn<MonitorPage>("page");
    QTest::addColumn<int>("item");
    // "address size dataType known edgeCounters prefix|base|first"
    QTest::addColumn<QString>("layout");
    // b = 35, d = 70
    QTest::newRow("bit bus input") << MonitorPage::Bit << 0 << "30003 4 5 1 0 BitBus-word |30001|2";
    QTest::newRow("edge counters") << MonitorPage::Bit << 1 << "32404 32 0 1 1 BitBus-word |30001|2";
    QTest::newRow("no item") << MonitorPage::Bit << -1 << "30001 4 -1 0 0 BitBus-word |30001|2";
    QTest::newRow("d2 page") << MonitorPage::D2 << 1 << "30037 4 5 1 0 D2Bus-word |30033|4";
}

void TestMonitorPolling::bitPages()
{
    QFETCH(MonitorPage, page);
    QFETCH(int, item);
    QFETCH(QString, layout);
    const BitPageLayout l = bitPageLayout(page, item, 35, 70);
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6|%7|%8")
                 .arg(l.window.window.address)
                 .arg(l.window.window.size)
                 .arg(l.window.dataType)
                 .arg(int(l.known))
                 .arg(int(l.edgeCounters))
                 .arg(l.captionPrefix)
                 .arg(l.captionBase)
                 .arg(l.firstGroup),
             layout);
}

void TestMonitorPolling::wordWindow_data()
{
    QTest::addColumn<int>("base");
    QTest::addColumn<int>("stride");
    QTest::addColumn<int>("terminal");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("size");
    QTest::newRow("word bus, thermocouple") << 30033 << 1 << 0 << 5 << 30038 << 4;
    QTest::newRow("extended, power") << 30321 << 8 << 3 << 2 << 30337 << 32;
    QTest::newRow("engineering units") << 30833 << 16 << 6 << 1 << 30849 << 64;
    QTest::newRow("other terminal") << 30833 << 16 << 12 << 1 << 30849 << 32;
    QTest::newRow("no terminal") << 30033 << 1 << -1 << 0 << 30033 << 32;
}

void TestMonitorPolling::wordWindow()
{
    QFETCH(int, base);
    QFETCH(int, stride);
    QFETCH(int, terminal);
    QFETCH(int, w);
    QFETCH(int, address);
    QFETCH(int, size);
    const ReadWindow win = wordReadWindow(AreaBase{base, stride}, terminal, w);
    QCOMPARE(win.address, address);
    QCOMPARE(win.size, size);
}

void TestMonitorPolling::coilOfLabel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("coil");
    QTest::newRow("first coil") << "00001" << 0;
    QTest::newRow("d2 output") << "04071" << 4070;
    QTest::newRow("blanks") << " 12 " << 11;
    QTest::newRow("zero: none") << "0" << -1;
    QTest::newRow("empty: none") << "" << -1;
    QTest::newRow("text: none") << "abc" << -1;
}

void TestMonitorPolling::coilOfLabel()
{
    QFETCH(QString, text);
    QFETCH(int, coil);
    QCOMPARE(coilOfAddressLabel(text), coil);
}

void TestMonitorPolling::selectionKeys()
{
    // Only what decides the meaning of the values on the page goes into
    // the key: the word page ignores the bit addresses, and the reverse;
    // the data type and conversion count where they change the numbers.
    QCOMPARE(selectionKey(MonitorPage::Word, 0, 35, 70, 3, 5, 1, 2, false), "word/3/5/1/2/n");
    QCOMPARE(selectionKey(MonitorPage::Word, 1, 36, 71, 3, 5, 1, 2, false), "word/3/5/1/2/n");
    QCOMPARE(selectionKey(MonitorPage::Word, 0, 35, 70, 3, 5, 1, 2, true), "word/3/5/1/2/c");
    QCOMPARE(selectionKey(MonitorPage::Bit, 0, 35, 70, 3, 5, 1, 0, true), "bit/0/35/n");
    QCOMPARE(selectionKey(MonitorPage::Bit, 1, 35, 71, 4, 6, 2, 3, false), "bit/1/35/n");
    QCOMPARE(selectionKey(MonitorPage::Bit, monitor::EdgeSoftCounters, 35, 71, 4, 6, 2, 3, true),
             QStringLiteral("bit/%1/35/c").arg(int(monitor::EdgeSoftCounters)));
    QCOMPARE(selectionKey(MonitorPage::D2, 0, 35, 70, 3, 5, 1, 4, true), "d2/0/70");
}

QTEST_GUILESS_MAIN(TestMonitorPolling)
#include "test_monitor_polling.moc"
