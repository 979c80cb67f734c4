// Monitoring the simulated gateway through the real main window: what the
// boxes show is compared with what the simulator's registers hold.
//
// With RM_SHOTS_DIR set, the window is also saved as PNG pictures there.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "monitor/GeneralFormat.h"
#include "monitor/ValueDecoding.h"
#include "sim/SimMap.h"
#include "support/AppFixture.h"
#include "support/MonitorControls.h"
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <cstring>
#include <functional>

namespace {

QStringList values(int from, int count)
{
    QStringList out;
    for (int p = from; p < from + count; ++p)
        out << valueBox(size_t(p))->text();
    return out;
}

void shot(const QString &name)
{
    const QString dir = qEnvironmentVariable("RM_SHOTS_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    frmMain->grab().save(dir + u'/' + name + QStringLiteral(".png"));
}

using Expected = std::function<QStringList(const TestGateway &)>;

// Waits for monitor answers until the boxes from `first` on show what
// `expected` derives from the simulator's registers right after an answer.
// The simulator moves its values every 100 ms, so an answer and the
// registers read after it can be a tick apart: a few answers are allowed.
bool boxesMatch(AppFixture &fx, int first, const Expected &expected, QString *diff, int answers = 30)
{
    for (int i = 0; i < answers; ++i) {
        const uint32_t before = appSession->monitorCount();
        if (!QTest::qWaitFor([&] { return appSession->monitorCount() > before; }, 3000)) {
            *diff = QStringLiteral("no answer");
            return false;
        }
        // The registers of one moment (a simulator in another process is
        // read register by register).
        fx.gateway()->setTicking(false);
        const QStringList want = expected(*fx.gateway());
        fx.gateway()->setTicking(true);
        const QStringList got = values(first, int(want.size()));
        if (got == want)
            return true;
        *diff = QStringLiteral("shown %1\nwanted %2").arg(got.join(u'|'), want.join(u'|'));
    }
    return false;
}

QString hex(uint32_t v, int digits)
{
    return QString::number(v, 16).toUpper().rightJustified(digits, u'0');
}

float realOf(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

QString pairText(uint16_t v, int k)
{
    const bool left = v >> (2 * k) & 1, right = v >> (2 * k + 1) & 1;
    return QString(left ? u'○' : u'●') + QStringLiteral("  ") + QString(right ? u'○' : u'●')
           + u' ';
}

} // namespace

class TestE2EMonitor : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void powerTerminal();
    void formatsOfTheThermocouple();
    void realsAndWordOrder();
    void counters();
    void bitPages();
    void dataAreasOfEveryTerminal_data();
    void dataAreasOfEveryTerminal();

private:
    std::unique_ptr<AppFixture> fx;
    void startMonitoring(int intervalMs = 100);
};

void TestE2EMonitor::init()
{
    fx = std::make_unique<AppFixture>();
    QVERIFY(fx->connectGateway());
    frmMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmMain));
}

void TestE2EMonitor::cleanup()
{
    fx.reset();
}

void TestE2EMonitor::startMonitoring(int intervalMs)
{
    child<QLineEdit>("Interval")->setText(QString::number(intervalMs));
    child<QToolButton>("sbtnMonitor")->click();
    QVERIFY(appSession->isMonitoring());
}

void TestE2EMonitor::powerTerminal()
{
    select(Word, 3, 1, 0, 12);
    startMonitoring();
    QCOMPARE(child<QLabel>("stTerminalType")->text(), QStringLiteral("電力７回路標準ターミナル"));
    QCOMPARE(controls::find<QLabel>(frmMain, QStringLiteral("lbHd%1").arg(8))->text(), QStringLiteral("Vbc"));
    QCOMPARE(controls::find<QLabel>(frmMain, QStringLiteral("lbTanni%1").arg(9))->text(), QStringLiteral("W"));
    QString diff;
    // Word 12 holds Vab and I1..I7, word 13 Vbc and P1..P7: the raw values.
    QVERIFY2(boxesMatch(*fx, 0, [](const TestGateway &gw) {
        QStringList w;
        for (int p = 0; p < 32; ++p)
            w << QString::number(gw.inputRegister(320 + 8 * 12 + p));
        return w;
    }, &diff), qPrintable(diff));
    // Plausible: about 101 V, and every circuit's power about V × I.
    const double vab = valueBox(0)->text().toDouble() / 10;
    QVERIFY2(vab > 95 && vab < 107, qPrintable(valueBox(0)->text()));
    // The header words are the bus words of 12..15.
    QTRY_COMPARE(headerBox(1)->text().isEmpty(), false);
    shot(QStringLiteral("power7-decimal"));
    // The values move.
    const QStringList first = values(0, 16);
    QTRY_VERIFY_WITH_TIMEOUT(values(0, 16) != first, 10000);
    shot(QStringLiteral("power7-decimal-later"));

    // Converted with the default table: tenths of volts and amperes.
    frmMain->findChild<QAction *>(QStringLiteral("ByRatio"))->trigger();
    QVERIFY2(boxesMatch(*fx, 0, [](const TestGateway &gw) {
        QStringList w;
        for (int p = 0; p < 8; ++p)
            w << QString::number(gw.inputRegister(320 + 8 * 12 + p) / 10.0, 'g', 7);
        return w;
    }, &diff), qPrintable(diff));
    shot(QStringLiteral("power7-converted"));

    // Logging: the rows the monitor builds go into the log area.
    frmMain->findChild<QAction *>(QStringLiteral("N11"))->trigger();
    child<QToolButton>("sbtnLogStart")->click();
    const uint32_t logged = appSession->monitorCount();
    QTRY_VERIFY(appSession->monitorCount() >= logged + 5);
    const QString last = child<QLineEdit>("LogLineBuf")->text();
    QTRY_VERIFY(frmMain->findChild<QPlainTextEdit *>(QStringLiteral("Memo2"))->toPlainText().contains(last));
    shot(QStringLiteral("power7-logging"));
}

void TestE2EMonitor::formatsOfTheThermocouple()
{
    select(Word, 0, 0, 0, 0);
    startMonitoring();
    QString diff;
    frmMain->findChild<QAction *>(QStringLiteral("ByHex"))->trigger();
    QVERIFY2(boxesMatch(*fx, 0, [](const TestGateway &gw) {
        QStringList w;
        for (int r = 0; r < 4; ++r)
            w << hex(gw.inputRegister(32 + r), 4);
        return w;
    }, &diff), qPrintable(diff));
    shot(QStringLiteral("thermocouple-hex"));
    // The extended area in characters: eight channels per word.
    child<QComboBox>("DataAreaSelect")->setCurrentIndex(1);
    frmMain->findChild<QAction *>(QStringLiteral("ASCII1"))->trigger();
    QVERIFY2(boxesMatch(*fx, 0, [](const TestGateway &gw) {
        QStringList w;
        for (int p = 0; p < 8; ++p)
            w << monitor::FormatCharPair(gw.inputRegister(320 + p));
        return w;
    }, &diff), qPrintable(diff));
    shot(QStringLiteral("thermocouple-characters"));
}

void TestE2EMonitor::realsAndWordOrder()
{
    // Engineering units of the power terminal: IEEE singles, low word first.
    select(Word, 3, 2, 0, 12);
    startMonitoring();
    QCOMPARE(child<QComboBox>("cbxDataType")->currentIndex(), 2);
    QString diff;
    QVERIFY2(boxesMatch(*fx, 0, [](const TestGateway &gw) {
        QStringList w;
        for (int j = 0; j < 16; ++j)
            w << QString::number(simmap::readReal(gw, 832 + 16 * 12 + 2 * j), 'g', 7);
        return w;
    }, &diff), qPrintable(diff));
    shot(QStringLiteral("power7-reals"));

    // Input-integrating soft counters in hex, standard and swapped order.
    select(Word, 0, 3, 0, 0);
    frmMain->findChild<QAction *>(QStringLiteral("ByHex"))->trigger();
    QVERIFY2(boxesMatch(*fx, 0, [](const TestGateway &gw) {
        QStringList w;
        for (int j = 0; j < 8; ++j)
            w << hex(simmap::read32(gw, 2624 + 2 * j), 8);
        return w;
    }, &diff), qPrintable(diff));
    frmMain->findChild<QAction *>(QStringLiteral("SWAP1"))->trigger();
    QVERIFY2(boxesMatch(*fx, 0, [](const TestGateway &gw) {
        QStringList w;
        for (int j = 0; j < 8; ++j)
            w << hex(uint32_t(gw.inputRegister(2624 + 2 * j)) << 16 | gw.inputRegister(2625 + 2 * j), 8);
        return w;
    }, &diff), qPrintable(diff));
    shot(QStringLiteral("softcounters-hex-swap"));
    // Swapped, the simulator's reals (low word first) read as other
    // numbers: the boxes show what the swapped bits mean.
    select(Word, 3, 2, 0, 12);
    frmMain->findChild<QAction *>(QStringLiteral("ByDec"))->trigger();
    QVERIFY2(boxesMatch(*fx, 0, [](const TestGateway &gw) {
        QStringList w;
        for (int j = 0; j < 16; ++j) {
            const int r = 832 + 16 * 12 + 2 * j;
            w << FormatGeneral(realOf(uint32_t(gw.inputRegister(r)) << 16 | gw.inputRegister(r + 1)), 7);
        }
        return w;
    }, &diff), qPrintable(diff));
    shot(QStringLiteral("power7-reals-swap"));
}

void TestE2EMonitor::counters()
{
    // The 24-bit counter terminal: items 0..7 in the first group, the words
    // beyond in the third.
    select(Word, 2, 1, 0, 8);
    QCOMPARE(child<QComboBox>("cbxDataType")->currentIndex(), 3);
    startMonitoring();
    QString diff;
    QVERIFY2(boxesMatch(*fx, 0, [](const TestGateway &gw) {
        QStringList w;
        for (int k = 0; k < 24; ++k) {
            if (k >= 8 && k < 16)
                w << QString();  // the second group stays empty
            else
                w << QString::number(simmap::count24(gw, 384 + 2 * (k < 8 ? k : k - 8)));
        }
        return w;
    }, &diff), qPrintable(diff));
    shot(QStringLiteral("counter24"));
    // The 13-bit counter counts on.
    select(Word, 1, 1, 0, 4);
    QVERIFY2(boxesMatch(*fx, 0, [](const TestGateway &gw) {
        QStringList w;
        for (int k = 0; k < 8; ++k)
            w << QString::number(gw.inputRegister(352 + k));
        return w;
    }, &diff), qPrintable(diff));
    const int before = valueBox(7)->text().toInt();
    QTRY_VERIFY(valueBox(7)->text().toInt() != before);
}

void TestE2EMonitor::bitPages()
{
    select(Bit, 0, 1, 0, 0);
    startMonitoring();
    QString diff;
    QVERIFY2(boxesMatch(*fx, 0, [](const TestGateway &gw) {
        QStringList w;
        for (int p = 0; p < 32; ++p)
            w << pairText(gw.inputRegister(p / 8), p % 8);
        return w;
    }, &diff), qPrintable(diff));
    QCOMPARE(controls::find<QLabel>(frmMain, QStringLiteral("lbHd%1").arg(3))->text(), QStringLiteral("6"));
    QCOMPARE(controls::find<QLabel>(frmMain, QStringLiteral("lbTanni%1").arg(3))->text(), QStringLiteral("7"));
    shot(QStringLiteral("bitbus"));
    // The walking one moves on.
    const QStringList first = values(8, 8);
    QTRY_VERIFY_WITH_TIMEOUT(values(8, 8) != first, 5000);
    shot(QStringLiteral("bitbus-later"));

    // Edge counters of bits 0..31 count the rising edges.
    child<QComboBox>("BitDataSelect")->setCurrentIndex(1);
    QVERIFY2(boxesMatch(*fx, 0, [](const TestGateway &gw) {
        QStringList w;
        for (int p = 0; p < 32; ++p)
            w << QString::number(gw.inputRegister(simmap::kEdgeCounters + p));
        return w;
    }, &diff), qPrintable(diff));
    QVERIFY(valueBox(0)->text().toInt() > 0);
    shot(QStringLiteral("edge-counters"));

    // D2 bits 16.. from register 33 on.
    select(D2, 0, 1, 0, 16);
    QCOMPARE(child<QSpinBox>("seReadAddress")->value(), 30034);
    QVERIFY2(boxesMatch(*fx, 0, [](const TestGateway &gw) {
        QStringList w;
        for (int p = 0; p < 24; ++p)
            w << pairText(gw.inputRegister(33 + p / 8), p % 8);
        return w;
    }, &diff), qPrintable(diff));
    shot(QStringLiteral("d2bits"));
    // The bit output of the page writes the coil shown.
    child<QSpinBox>("seD2BitAdrs")->setValue(20);
    frmMain->findChild<QPushButton *>(QStringLiteral("btnD2BitOn"))->click();
    QTRY_VERIFY(fx->gateway()->coil(4020));
}

void TestE2EMonitor::dataAreasOfEveryTerminal_data()
{
    QTest::addColumn<int>("terminal");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("channels");  // raw channels shown from box 0
    for (const auto &t : simmap::kWordTerminals) {
        if (t.type == 2)
            continue;  // the 24-bit counters are pairs (see counters())
        QTest::addRow("type %d at %d", t.type, t.address)
            << t.type << t.address << 8 * std::min(t.blocks, 4);
    }
}

void TestE2EMonitor::dataAreasOfEveryTerminal()
{
    QFETCH(int, terminal);
    QFETCH(int, address);
    QFETCH(int, channels);
    select(Word, terminal, 1, 0, address);
    startMonitoring();
    QString diff;
    QVERIFY2(boxesMatch(*fx, 0, [&](const TestGateway &gw) {
        QStringList w;
        for (int p = 0; p < channels; ++p)
            w << QString::number(gw.inputRegister(320 + 8 * address + p));
        return w;
    }, &diff), qPrintable(diff));
    // Not all zero: every installed terminal has live data.
    bool any = false;
    for (const QString &v : values(0, channels))
        any = any || v != u"0";
    QVERIFY(any);
    shot(QStringLiteral("terminal-%1").arg(terminal, 2, 10, QLatin1Char('0')));
}

QTEST_MAIN(TestE2EMonitor)
#include "test_e2e_monitor.moc"
