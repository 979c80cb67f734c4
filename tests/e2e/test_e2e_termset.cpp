// The terminal settings dialog driven through its real controls against the
// simulated power, current and outlet-bar terminals: reads and writes on
// every page, the time limit, cancel, and a page switch during a read.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#ifndef RM_REMOTE_SIM
#include "sim/SimTerminalSettings.h"
#endif
#include "support/AppFixture.h"
#include "termset/TermsetBinding.h"
#include "termset/TermsetController.h"
#include "termset/TfrmWattorSet.h"
#include "support/Controls.h"
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

// Short timing values so that a transaction takes a second or two; the
// time limit still leaves a current terminal time to cycle its groups.
void useShortTiming(const char *timeLimit = "30")
{
    controls::find<QLineEdit>(frmWattorSet, "edPreReadWait")->setText(QStringLiteral("1"));
    controls::find<QLineEdit>(frmWattorSet, "edWrtInt")->setText(QStringLiteral("1"));
    controls::find<QLineEdit>(frmWattorSet, "edTObase")->setText(QLatin1String(timeLimit));
}

template <class T> T *child(const QString &name)
{
    T *w = frmWattorSet->findChild<T *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

QString rawText(const QString &name) { return child<QLabel>(name)->text(); }
int listIndex(const QString &name) { return child<QComboBox>(name)->currentIndex(); }

// The simulated terminals' settings, as the simulator holds them.
#ifdef RM_REMOTE_SIM
RemoteGateway *terminals(AppFixture &fx) { return fx.gateway(); }
#else
SimTerminalSettings *terminals(AppFixture &fx) { return fx.gateway()->behaviour<SimTerminalSettings>(); }
#endif

// The function-6 writes the simulator received, as (register, value).
QList<QPair<int, int>> writesReceived(AppFixture &fx)
{
    QList<QPair<int, int>> w;
    for (const SimRequest &r : fx.gateway()->requests())
        if (r.function == 6)
            w << qMakePair(r.address, r.value);
    return w;
}

QList<SimRequest> settingsReads(AppFixture &fx)
{
    QList<SimRequest> l;
    for (const SimRequest &r : fx.gateway()->requests())
        if (r.function == 4 && r.tag == 5)
            l << r;
    return l;
}

void showPage(int page)
{
    triggerMenu("EPcfg");
    controls::find<QTabWidget>(frmWattorSet, "PageControl1")->setCurrentIndex(page);
}

void setAddress(const char *upDown, int a)
{
    child<QSpinBox>(QLatin1String(upDown))->setValue(a);
}

void shot(const QString &name)
{
    QDir().mkpath(QStringLiteral("/tmp/shots-termset"));
    QCoreApplication::processEvents();
    frmWattorSet->grab().save(QStringLiteral("/tmp/shots-termset/%1.png").arg(name));
}

// Waits until the transaction that a click started has ended (a click
// that starts none returns at once).
bool transactionEnds()
{
    return QTest::qWaitFor([] { return frmWattorSet->controller().runningPage() < 0; }, 30000);
}

// Waits until the simulator has handled every request sent so far (the last
// write of a transaction needs no answer before the transaction ends).
bool settle(AppFixture &fx, int expectedWrites)
{
    return QTest::qWaitFor([&] { return writesReceived(fx).size() >= expectedWrites; }, 3000);
}

// Clears the simulator's request trail once the transaction before has
// left settings mode at effective address b (its last write has arrived).
void clearAfterLeaving(AppFixture &fx, int b)
{
    QVERIFY(QTest::qWaitFor([&] { return !terminals(fx)->inSettingsMode(b); }, 3000));
    fx.gateway()->clearRequests();
}

} // namespace

class TestE2eTermset : public QObject {
    Q_OBJECT
private slots:
    void readEveryPage_data();
    void readEveryPage();
    void writePowerPages_data();
    void writePowerPages();
    void writeCurrentRangeOnPage3ReadsBackChanged();
    void write32CircuitUpperHalfAndCurrent8();
    void writeOutletBarClear();
    void readOfEmptyAddressFails();
    void silentTerminalHitsTimeLimit();
    void powerWriteWhosePollFails();
    void cancelDuringPollEndsAtOnce();
    void pageSwitchDuringRead();
    void negativeTimingNeverHangs();
    void intervalSpoiltDuringWriteLeavesSettingsMode();
    void secondTransactionRefusedWhileOneRuns();
    void refusedEnterCommandFailsRead();
};

// A read on each page fills its raw fields and lists from the terminal.
void TestE2eTermset::readEveryPage_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("upDown");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("radioItem");
    QTest::addColumn<int>("block");          // effective address
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("lists");  // lists checked after the read
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<QString>("shot");

    QTest::newRow("page 0, power 7 at 12")
        << 0 << "UpDown1" << 12 << 0 << 12 << 16
        << QStringList{"cbxWattor7Freq", "cbxWattor7Volt", "cbxWattor7Type", "cbxWattor7Cur1", "cbxWattor7Cur7"}
        << QList<int>{1, 2, 2, 1, 9} << "read-page0-power7";
    QTest::newRow("page 0, power 28 at 52, circuits 22-28")
        << 0 << "UpDown1" << 52 << 4 << 58 << 16
        << QStringList{"cbxWattor7Freq", "cbxWattor7Type", "cbxWattor7Cur1", "cbxWattor7Cur2"}
        << QList<int>{1, 13, (1 + 21 * 3) % 11, (1 + 22 * 3) % 11} << "read-page0-power28-22to28";
    QTest::newRow("page 1, current 8 at 24")
        << 1 << "UpDown2" << 24 << 0 << 24 << 8
        << QStringList{"cbxCurron08Freq", "cbxCurron08Volt", "cbxCurron08Type", "cbxCurron08Cur1", "cbxCurron08Cur8"}
        << QList<int>{1, 2, 22, 1, 8} << "read-page1-current8";
    QTest::newRow("page 2, power 14 at 16")
        << 2 << "UpDown4" << 16 << 0 << 16 << 16
        << QStringList{"cbxWattor14Freq", "cbxWattor14Volt", "cbxWattor14Type", "cbxWattor14Cur12", "cbxWattor14Cur1314"}
        << QList<int>{2, 1, 13, 1, 8} << "read-page2-power14";
    QTest::newRow("page 3, current 16 at 28")
        << 3 << "UpDown3" << 28 << 0 << 28 << 8
        << QStringList{"cbxCurron16Freq", "cbxCurron16Type", "cbxCurron16Cur1", "cbxCurron16Cur9", "cbxCurron16Cur16"}
        << QList<int>{2, 7, 1, 1, 0} << "read-page3-current16";
    QTest::newRow("page 3, current 32 at 32, circuits 17-32")
        << 3 << "UpDown3" << 32 << 1 << 34 << 8
        << QStringList{"cbxCurron16Freq", "cbxCurron16Volt", "cbxCurron16Cur1", "cbxCurron16Cur16"}
        << QList<int>{1, 3, (16 * 2) % 9, (31 * 2) % 9} << "read-page3-current32-17to32";
    QTest::newRow("page 4, outlet bar at 36")
        << 4 << "UpDown5" << 36 << 0 << 36 << 8
        << QStringList{"cbxPDUfreq", "cbxPDUclr", "cbxPDUtype"} << QList<int>{1, 0, 18} << "read-page4-outletbar";
    QTest::newRow("page 4, outlet bar at 63")
        << 4 << "UpDown5" << 63 << 0 << 63 << 8
        << QStringList{"cbxPDUfreq", "cbxPDUclr", "cbxPDUtype"} << QList<int>{2, 0, 18} << "";
}

void TestE2eTermset::readEveryPage()
{
    QFETCH(int, page);
    QFETCH(QString, upDown);
    QFETCH(int, address);
    QFETCH(int, radioItem);
    QFETCH(int, block);
    QFETCH(int, count);
    QFETCH(QStringList, lists);
    QFETCH(QList<int>, indexes);
    QFETCH(QString, shot);

    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming();
    showPage(page);
    setAddress(qPrintable(upDown), address);
    const QString radioGroup = page == 0 ? "RadioGroup1" : page == 3 ? "RadioGroup2" : "";
    if (!radioGroup.isEmpty())
        child<QRadioButton>(QStringLiteral("%1_%2").arg(radioGroup).arg(radioItem))->click();
    fx.gateway()->clearRequests();

    const termset::PageBinding &def = termset::pageBinding(page);
    child<QPushButton>(def.readButton)->click();
    QVERIFY(transactionEnds());

    QCOMPARE(child<QLabel>(def.statusLabel)->text(), QString());
    for (const QString &raw : def.required())
        QVERIFY2(!rawText(raw).isEmpty(), qPrintable(raw));
    for (int i = 0; i < lists.size(); ++i)
        QCOMPARE(listIndex(lists[i]), indexes[i]);
    QVERIFY(child<QPushButton>(def.readButton)->isEnabled());
    QCOMPARE(child<QProgressBar>(def.progressBar)->value(), 0);

    // Enter settings mode, poll the block of the effective address, leave.
    QVERIFY(settle(fx, 2));
    const auto writes = writesReceived(fx);
    QCOMPARE(writes, (QList<QPair<int, int>>{{1056 + block, 1}, {1056 + block, 0}}));
    const auto reads = settingsReads(fx);
    QVERIFY(!reads.isEmpty());
    for (const SimRequest &r : reads) {
        QCOMPARE(r.address, 320 + 8 * block);
        QCOMPARE(r.count, count);
    }
    // A current terminal shows one group at a time: one answer is not enough.
    if (page == 1 || page == 3)
        QVERIFY2(reads.size() > 1, qPrintable(QString::number(reads.size())));
    QTRY_VERIFY(!terminals(fx)->inSettingsMode(block));
    if (!shot.isEmpty())
        ::shot(shot);
}

// Power pages: the write order, the second command word and the read-back.
void TestE2eTermset::writePowerPages_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("typeRewrite");
    QTest::newRow("page 0 without type") << 0 << false;
    QTest::newRow("page 0 with type") << 0 << true;
    QTest::newRow("page 2 with type") << 2 << true;
}

void TestE2eTermset::writePowerPages()
{
    QFETCH(int, page);
    QFETCH(bool, typeRewrite);
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming();
    showPage(page);
    const bool p0 = page == 0;
    const int a = p0 ? 12 : 16;
    setAddress(p0 ? "UpDown1" : "UpDown4", a);
    const termset::PageBinding &def = termset::pageBinding(page);
    child<QPushButton>(def.readButton)->click();
    QVERIFY(transactionEnds());
    QCOMPARE(child<QLabel>(def.statusLabel)->text(), QString());

    // Change frequency, voltage, the type and two current ranges.
    const QString w = p0 ? "cbxWattor7" : "cbxWattor14";
    const QString cur1 = p0 ? "cbxWattor7Cur1" : "cbxWattor14Cur12";
    const QString cur7 = p0 ? "cbxWattor7Cur7" : "cbxWattor14Cur1314";
    child<QComboBox>(w + "Freq")->setCurrentIndex(2);
    child<QComboBox>(w + "Volt")->setCurrentIndex(p0 ? 6 : 2);
    child<QComboBox>(cur1)->setCurrentIndex(p0 ? 10 : 7);
    child<QComboBox>(cur7)->setCurrentIndex(0);
    if (typeRewrite) {
        frmWattorSet->findChild<QAction *>("TypeWrtEn")->trigger();
        QVERIFY(child<QComboBox>(w + "Type")->isEnabled());
        child<QComboBox>(w + "Type")->setCurrentIndex(3);
    }
    clearAfterLeaving(fx, a);
    child<QPushButton>(def.writeButton)->click();
    QVERIFY(transactionEnds());
    QCOMPARE(child<QLabel>(def.statusLabel)->text(), QString());
    QCOMPARE(child<QProgressBar>(def.progressBar)->value(), 100);

    const int cmd = 1056 + a, cmd2 = cmd + 1;
    const QList<int> after = terminals(fx)->terminalAt(a)->ranges;
    QList<QPair<int, int>> expected{{cmd, 1}, {cmd, 0x2002}, {cmd, 0x4000 + (p0 ? 6 : 2)}};
    if (typeRewrite)
        expected << qMakePair(cmd, 0x6003);
    const int curIdx[7] = {p0 ? 10 : 7, 2, 3, 4, p0 ? 7 : 5, p0 ? 8 : 6, 0};
    for (int r = 1; r <= 7; ++r)
        expected << qMakePair(cmd2, r * 0x2000 + curIdx[r - 1]);
    expected << qMakePair(cmd, 0) << qMakePair(cmd, 1) << qMakePair(cmd, 0) << qMakePair(cmd2, 0);
    QVERIFY(settle(fx, int(expected.size())));
    QCOMPARE(writesReceived(fx), expected);

    // The terminal kept the new settings and reported them back.
    const auto t = terminals(fx)->terminalAt(a);
    QCOMPARE(t->frequency, 2);
    QCOMPARE(t->voltage, p0 ? 6 : 2);
    QCOMPARE(t->type, typeRewrite ? 3 : (p0 ? 2 : 13));
    QCOMPARE(after.value(0), p0 ? 10 : 7);
    QCOMPARE(after.value(6), 0);
    const QString rawPrefix = p0 ? "stWattor7cfg" : "stWattor14cfg";
    QCOMPARE(rawText(rawPrefix + "2"), QStringLiteral("2"));
    QCOMPARE(rawText(rawPrefix + "5"), QString::number(p0 ? 10 : 7));
    QCOMPARE(rawText(rawPrefix + "11"), QStringLiteral("0"));
}

// A changed current range written on page 3 reads back changed.
void TestE2eTermset::writeCurrentRangeOnPage3ReadsBackChanged()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming();
    showPage(3);
    setAddress("UpDown3", 28);
    child<QPushButton>("btnReadCurron16")->click();
    QVERIFY(transactionEnds());
    QCOMPARE(listIndex("cbxCurron16Cur5"), 5);
    QCOMPARE(listIndex("cbxCurron16Cur15"), 7);

    child<QComboBox>("cbxCurron16Cur5")->setCurrentIndex(8);
    child<QComboBox>("cbxCurron16Cur15")->setCurrentIndex(3);
    child<QComboBox>("cbxCurron16Freq")->setCurrentIndex(1);
    clearAfterLeaving(fx, 28);
    child<QPushButton>("btnWriteCurron16")->click();
    QVERIFY(transactionEnds());
    QCOMPARE(child<QLabel>("lbCurron16WriteStatus")->text(), QString());
    QCOMPARE(child<QProgressBar>("Curron16ProgressBar1")->value(), 100);
    // The raw fields show what the terminal reports after the write.
    QCOMPARE(rawText("stCurron16cfg105"), QStringLiteral("8"));
    QCOMPARE(rawText("stCurron16cfg301"), QStringLiteral("3"));
    QCOMPARE(rawText("stCurron16cfg1"), QStringLiteral("1"));

    QList<QPair<int, int>> expected{{1084, 1}, {1084, 0x2001}};
    const int bases[16] = {0x2200, 0x4200, 0x6200, 0x8200, 0xA200, 0xC200, 0xE200, 0x2400,
                           0x4400, 0x6400, 0x8400, 0xA400, 0xC400, 0xE400, 0x2600, 0x4600};
    const QList<int> ranges = terminals(fx)->terminalAt(28)->ranges;
    for (int n = 0; n < 16; ++n)
        expected << qMakePair(1084, bases[n] + ranges[n]);
    expected << qMakePair(1084, 0) << qMakePair(1084, 1) << qMakePair(1084, 0);
    QVERIFY(settle(fx, int(expected.size())));
    QCOMPARE(writesReceived(fx), expected);
    QCOMPARE(ranges[4], 8);
    QCOMPARE(ranges[14], 3);

    // A fresh read, lists cleared first, shows the new ranges.
    child<QComboBox>("cbxCurron16Cur5")->setCurrentIndex(-1);
    child<QComboBox>("cbxCurron16Cur15")->setCurrentIndex(-1);
    child<QPushButton>("btnReadCurron16")->click();
    QVERIFY(transactionEnds());
    QCOMPARE(child<QLabel>("lbCurron16WriteStatus")->text(), QString());
    QCOMPARE(listIndex("cbxCurron16Cur5"), 8);
    QCOMPARE(listIndex("cbxCurron16Cur15"), 3);
    QCOMPARE(listIndex("cbxCurron16Freq"), 1);
    shot(QStringLiteral("write-page3-range-read-back"));
}

// The upper half of the 32-circuit terminal (command word b + 2) and the
// 8-circuit page's write order.
void TestE2eTermset::write32CircuitUpperHalfAndCurrent8()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming();
    showPage(3);
    setAddress("UpDown3", 32);
    child<QRadioButton>("RadioGroup2_1")->click();
    QCOMPARE(child<QLabel>("lblC1")->text(), QStringLiteral("I17"));
    child<QPushButton>("btnReadCurron16")->click();
    QVERIFY(transactionEnds());
    child<QComboBox>("cbxCurron16Cur16")->setCurrentIndex(6);
    child<QPushButton>("btnWriteCurron16")->click();
    QVERIFY(transactionEnds());
    QCOMPARE(child<QLabel>("lbCurron16WriteStatus")->text(), QString());
    const auto t32 = terminals(fx)->terminalAt(32);
    QCOMPARE(t32->ranges[31], 6);
    QCOMPARE(t32->ranges[15], (15 * 2) % 9);  // the lower half is untouched

    showPage(1);
    setAddress("UpDown2", 24);
    child<QPushButton>("btnReadCurron08")->click();
    QVERIFY(transactionEnds());
    child<QComboBox>("cbxCurron08Cur8")->setCurrentIndex(3);
    clearAfterLeaving(fx, 24);
    child<QPushButton>("btnWriteCurron08")->click();
    QVERIFY(transactionEnds());
    QCOMPARE(child<QLabel>("lbCurron08WriteStatus")->text(), QString());
    const QList<int> r8 = terminals(fx)->terminalAt(24)->ranges;
    QList<QPair<int, int>> expected{{1080, 1}, {1080, 0x2001}};
    const int bases[8] = {0x2200, 0x4200, 0x6200, 0x8200, 0xA200, 0xC200, 0xE200, 0x2400};
    for (int n = 0; n < 8; ++n)
        expected << qMakePair(1080, bases[n] + r8[n]);
    expected << qMakePair(1080, 0) << qMakePair(1080, 1) << qMakePair(1080, 0);
    QVERIFY(settle(fx, int(expected.size())));
    QCOMPARE(writesReceived(fx), expected);
    QCOMPARE(expected[9], qMakePair(1080, 0x2403));
    QCOMPARE(terminals(fx)->terminalAt(24)->ranges[7], 3);
    QCOMPARE(rawText("stCurron08cfg201"), QStringLiteral("3"));
}

void TestE2eTermset::writeOutletBarClear()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming();
    showPage(4);
    setAddress("UpDown5", 63);
    // A write before any read, with both lists chosen: accepted although
    // the type list has no selection.
    child<QComboBox>("cbxPDUfreq")->setCurrentIndex(1);
    child<QComboBox>("cbxPDUclr")->setCurrentIndex(1);
    QCOMPARE(listIndex("cbxPDUtype"), -1);
    fx.gateway()->clearRequests();
    child<QPushButton>("btnWritePDU")->click();
    QVERIFY(transactionEnds());
    QCOMPARE(child<QLabel>("lbPDUWriteStatus")->text(), QString());
    const QList<QPair<int, int>> expected{{1119, 1}, {1119, 0x2001}, {1119, 0x4001},
                                          {1119, 0},    {1119, 1},      {1119, 0}};
    QVERIFY(settle(fx, 6));
    QCOMPARE(writesReceived(fx), expected);
    for (const SimRequest &r : settingsReads(fx))
        QCOMPARE(r.address, 824);
    QCOMPARE(rawText("stPDUcfg2"), QStringLiteral("1"));
    QCOMPARE(terminals(fx)->terminalAt(63)->clear, 1);
    QCOMPARE(terminals(fx)->terminalAt(63)->frequency, 1);
}

// Nothing answers at an empty address on a current page: the read ends
// with its failure text and leaves settings mode.
void TestE2eTermset::readOfEmptyAddressFails()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming("5");
    showPage(1);
    setAddress("UpDown2", 62);
    fx.gateway()->clearRequests();
    child<QPushButton>("btnReadCurron08")->click();
    QVERIFY(transactionEnds());
    QCOMPARE(child<QLabel>("lbCurron08WriteStatus")->text(), QStringLiteral("読み出せませんでした"));
    QVERIFY(settle(fx, 2));
    QCOMPARE(writesReceived(fx), (QList<QPair<int, int>>{{1118, 1}, {1118, 0}}));
    QCOMPARE(listIndex("cbxCurron08Freq"), -1);
    QVERIFY(child<QPushButton>("btnReadCurron08")->isEnabled());
    shot(QStringLiteral("read-empty-address-fails"));
}

// A silent terminal: the poll gives up after its time limit, over the whole
// poll, and resets the command word.
void TestE2eTermset::silentTerminalHitsTimeLimit()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming("8");
    showPage(1);
    setAddress("UpDown2", 60);
    QVERIFY(terminals(fx)->terminalAt(60)->silent);
    fx.gateway()->clearRequests();
    QElapsedTimer clock;
    clock.start();
    child<QPushButton>("btnReadCurron08")->click();
    QVERIFY(transactionEnds());
    const qint64 ms = clock.elapsed();
    QCOMPARE(child<QLabel>("lbCurron08WriteStatus")->text(), QStringLiteral("読み出せませんでした"));
    // Opening wait of at most one tick, then 8 ticks of polling.
    QVERIFY2(ms >= 700 && ms < 2500, qPrintable(QString::number(ms)));
    QVERIFY(settingsReads(fx).size() > 1);
    QVERIFY(settle(fx, 2));
    QCOMPARE(writesReceived(fx).last(), qMakePair(1116, 0));
    QCOMPARE(frmWattorSet->TimeoutCount(), 0);

}

// A power page's write whose poll never completes (the gateway answers the
// block's reads with an exception): 0 goes to the command word and then to
// the second command word, and the bar stays where the commands left it.
void TestE2eTermset::powerWriteWhosePollFails()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming("5");
    fx.exceptionAt(320 + 8 * 12);
    showPage(0);
    setAddress("UpDown1", 12);
    for (const QString &l : termset::pageBinding(0).mustSelect())
        child<QComboBox>(l)->setCurrentIndex(1);
    fx.gateway()->clearRequests();
    child<QPushButton>("btnWriteWattor7")->click();
    QVERIFY(transactionEnds());
    QCOMPARE(child<QLabel>("lbWattor7WriteStatus")->text(), QStringLiteral("設定値が読み出せませんでした"));
    QCOMPARE(child<QProgressBar>("Wattor7ProgressBar1")->value(), 96);
    QVERIFY(settle(fx, 14));
    const auto w = writesReceived(fx);
    QCOMPARE(w.size(), 14);
    QCOMPARE(w.mid(12), (QList<QPair<int, int>>{{1068, 0}, {1069, 0}}));
    QVERIFY(child<QPushButton>("btnWriteWattor7")->isEnabled());
    QCOMPARE(terminals(fx)->terminalAt(12)->frequency, 1);  // index 1 written: 50Hz
}

void TestE2eTermset::cancelDuringPollEndsAtOnce()
{
#ifdef RM_REMOTE_SIM
    QSKIP("reacts to the simulator's requests as they arrive, which needs the simulator in this process");
#else
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming("100");  // 10 s: the cancel must end it long before
    showPage(1);
    setAddress("UpDown2", 60);
    bool cancelled = false;
    QObject::connect(fx.gateway(), &SimGateway::requestReceived, frmWattorSet, [&](const SimRequest &r) {
        if (r.function == 4 && r.tag == 5 && !cancelled) {
            cancelled = true;
            QTimer::singleShot(50, frmWattorSet, [] { child<QPushButton>("btnReadCurron08Cancel")->click(); });
        }
    });
    fx.gateway()->clearRequests();
    QElapsedTimer clock;
    clock.start();
    child<QPushButton>("btnReadCurron08")->click();
    QVERIFY(transactionEnds());
    QVERIFY(cancelled);
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(child<QLabel>("lbCurron08WriteStatus")->text(), QStringLiteral("読み出せませんでした"));
    QVERIFY(settle(fx, 2));
    QCOMPARE(writesReceived(fx).last(), qMakePair(1116, 0));
    QVERIFY(child<QPushButton>("btnReadCurron08")->isEnabled());
    QVERIFY(child<QPushButton>("btnWriteCurron08")->isEnabled());
#endif
}

// A page switch during a read: the answers still go to the page that asked
// for them, the read completes, and the newly shown page is left alone.
void TestE2eTermset::pageSwitchDuringRead()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming();
    controls::find<QLineEdit>(frmWattorSet, "edPreReadWait")->setText(QStringLiteral("3"));
    showPage(0);
    setAddress("UpDown1", 12);
    QTimer::singleShot(100, frmWattorSet, [] { controls::find<QTabWidget>(frmWattorSet, "PageControl1")->setCurrentIndex(4); });
    child<QPushButton>("btnReadWattor7")->click();
    QVERIFY(transactionEnds());
    QCOMPARE(controls::find<QTabWidget>(frmWattorSet, "PageControl1")->currentIndex(), 4);
    QCOMPARE(appSession->settings().powerTerminalKind, 4);
    QCOMPARE(child<QLabel>("lbWattor7WriteStatus")->text(), QString());
    QCOMPARE(listIndex("cbxWattor7Type"), 2);
    for (const QString &raw : termset::pageBinding(4).rawFields)
        QCOMPARE(rawText(raw), QString());
}

// A negative wait is refused before anything is sent.
void TestE2eTermset::negativeTimingNeverHangs()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming();
    controls::find<QLineEdit>(frmWattorSet, "edPreReadWait")->setText(QStringLiteral("-3"));
    showPage(4);
    setAddress("UpDown5", 36);
    fx.gateway()->clearRequests();
    child<QPushButton>("btnReadPDU")->click();
    QVERIFY(transactionEnds());
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(fx.messages[0].kind, msg::Kind::Error);
    QVERIFY(fx.messages[0].text.contains(QStringLiteral("設定読み込み待ち時間")));
    QTest::qWait(200);
    QVERIFY(fx.gateway()->requests().isEmpty());
    QVERIFY(child<QPushButton>("btnReadPDU")->isEnabled());
}

// An interval that stops converting in the middle of a write (it is read
// afresh for every command) is reported, and the write ends cleanly: the
// terminal leaves settings mode and the button works again.
void TestE2eTermset::intervalSpoiltDuringWriteLeavesSettingsMode()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming();
    showPage(2);
    setAddress("UpDown4", 16);
    child<QPushButton>("btnReadWattor14")->click();
    QVERIFY(transactionEnds());
    clearAfterLeaving(fx, 16);
    controls::find<QLineEdit>(frmWattorSet, "edWrtInt")->setText(QStringLiteral("2"));
    QTimer::singleShot(250, frmWattorSet, [] { controls::find<QLineEdit>(frmWattorSet, "edWrtInt")->setText(QStringLiteral("x")); });
    child<QPushButton>("btnWriteWattor14")->click();
    QVERIFY(transactionEnds());
    QCOMPARE(fx.messages.size(), 1);
    QVERIFY(fx.messages[0].text.contains(QStringLiteral("書き込み間隔")));
    QCOMPARE(child<QLabel>("lbWattor14WriteStatus")->text(), QStringLiteral("中断しました"));
    QVERIFY(child<QPushButton>("btnWriteWattor14")->isEnabled());
    QTRY_VERIFY(!terminals(fx)->inSettingsMode(16));
    const auto w = writesReceived(fx);
    QVERIFY(w.size() >= 4 && w.size() < 14);
    QCOMPARE(w.mid(w.size() - 2), (QList<QPair<int, int>>{{1072, 0}, {1073, 0}}));
}

// While one transaction runs, the other buttons are disabled; a cancel
// before the poll starts only enables the page's buttons (the read goes
// on), and a click on one of them does not start a second transaction.
void TestE2eTermset::secondTransactionRefusedWhileOneRuns()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming();
    controls::find<QLineEdit>(frmWattorSet, "edPreReadWait")->setText(QStringLiteral("5"));
    showPage(4);
    setAddress("UpDown5", 36);
    bool checked = false;
    QTimer::singleShot(150, frmWattorSet, [&] {
        QVERIFY(!child<QPushButton>("btnReadCurron08")->isEnabled());
        QVERIFY(!child<QPushButton>("btnWriteWattor14")->isEnabled());
        QVERIFY(child<QPushButton>("btnReadCurron08Cancel")->isEnabled());
        child<QPushButton>("btnCancelPDU")->click();
        child<QPushButton>("btnWritePDU")->click();  // refused: the read runs
        checked = true;
    });
    fx.gateway()->clearRequests();
    child<QPushButton>("btnReadPDU")->click();
    QVERIFY(transactionEnds());
    QVERIFY(checked);
    QVERIFY(settle(fx, 2));
    QCOMPARE(writesReceived(fx), (QList<QPair<int, int>>{{1092, 1}, {1092, 0}}));
    QCOMPARE(child<QLabel>("lbPDUWriteStatus")->text(), QString());
    QCOMPARE(listIndex("cbxPDUtype"), 18);
    QVERIFY(child<QPushButton>("btnReadCurron08")->isEnabled());
}

// The gateway answers the command that enters settings mode with an
// exception (busy): the terminal never shows its settings, so what the block
// holds is its live data and the read must fail, not fill the lists from it.
void TestE2eTermset::refusedEnterCommandFailsRead()
{
#ifdef RM_REMOTE_SIM
    QSKIP("reacts to the simulator's requests as they arrive, which needs the simulator in this process");
#else
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    useShortTiming("10");
    showPage(0);
    setAddress("UpDown1", 12);
    SimGateway *gw = fx.gateway();
    // Only the first request from here on gets the exception.
    gw->options().exceptionEvery = 1;
    int seen = 0;
    connect(gw, &SimGateway::requestReceived, gw, [&](const SimRequest &) {
        if (++seen == 2)
            gw->options().exceptionEvery = 0;
    });
    gw->clearRequests();
    const termset::PageBinding &def = termset::pageBinding(0);
    child<QPushButton>(def.readButton)->click();
    QVERIFY(transactionEnds());
    QCOMPARE(child<QLabel>(def.statusLabel)->text(), termset::pageDef(0).readFailText);
    for (const char *list : {"cbxWattor7Freq", "cbxWattor7Volt", "cbxWattor7Type", "cbxWattor7Cur1"})
        QCOMPARE(listIndex(list), -1);
    QVERIFY(!terminals(fx)->inSettingsMode(12));
    // The refused command, then the command word set back to 0 as after any failed read.
    QVERIFY(settle(fx, 2));
    QCOMPARE(writesReceived(fx), (QList<QPair<int, int>>{{1056 + 12, 1}, {1056 + 12, 0}}));
    QVERIFY(child<QPushButton>(def.readButton)->isEnabled());
#endif
}

QTEST_MAIN(TestE2eTermset)
#include "test_e2e_termset.moc"
