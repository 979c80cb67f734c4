// The write journal against the simulator, through the real windows: the
// writes of the write tool, the main window's bit outputs and the soft
// counter resets appear in the journal window (表示 → 書込履歴) and in the
// journal file beside the settings file, under the window that sent them
// and with how they ended: answered, answered with an exception, not
// answered in time, lost with the connection, or never sent.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "monitor/WriteJournal.h"
#include "support/AppFixture.h"
#include "support/Controls.h"
#include "support/MonitorControls.h"
#include "tools/journal/JournalModel.h"
#include "tools/journal/TfrmJournal.h"
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

QAbstractItemModel *journalRows()
{
    return controls::find<QTableView>(frmJournal, "gridJournal")->model();
}

// A row of the journal window without its time: window, function,
// reference, value, outcome.
QString shownRow(int row)
{
    QStringList cells;
    for (int c = 1; c < journalRows()->columnCount(); ++c)
        cells << journalRows()->index(row, c).data().toString();
    return cells.join(u',');
}

// The lines of the journal file without the header and without their times.
QStringList fileRows(const AppFixture &fx)
{
    QFile f(fx.dir() + u'/' + QLatin1String(WriteJournal::kFileName));
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("<no file>")};
    QStringList rows;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (!lines[i].isEmpty())
            rows << QString::fromUtf8(lines[i].trimmed()).section(u',', 1);
    return rows;
}

QPushButton *writeToolButton(const char *name)
{
    return controls::find<QPushButton>(frmWriteTool, name);
}

void writeToolArea(int item)
{
    controls::find<QComboBox>(frmWriteTool, "cbxModbusAreaSel")->setCurrentIndex(item);
}

void writeToolValue(const QString &text, bool wide)
{
    controls::find<QRadioButton>(frmWriteTool, wide ? "RadioGroup1Item1" : "RadioGroup1Item0")->setChecked(true);
    controls::find<QLineEdit>(frmWriteTool, "edWRData")->setText(text);
}

} // namespace

class TestE2eJournal : public QObject {
    Q_OBJECT
private slots:
    void writesOfTwoWindows();
    void exceptionAnswer();
    void noAnswerLostAndNotSent();
    void followsTheNewestRow();
};

void TestE2eJournal::writesOfTwoWindows()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    triggerMenu("mnuJournal");
    QVERIFY(QTest::qWaitForWindowExposed(frmJournal));
    QCOMPARE(journalRows()->rowCount(), 0);

    triggerMenu("W1");
    writeToolValue(QStringLiteral("1234"), false);
    writeToolButton("btnWRT")->click();
    QTRY_COMPARE(journalRows()->rowCount(), 1);
    QCOMPARE(shownRow(0), QStringLiteral("任意書き込み,6,41025,1234,OK"));

    // The bit output of bus bit 3: coil 00004.
    select(Bit, 0, 1, 0, 3);
    child<QPushButton>("btnBitOn")->click();
    QTRY_COMPARE(journalRows()->rowCount(), 2);
    QCOMPARE(shownRow(1), QStringLiteral("メイン画面,5,4,ON,OK"));
    QVERIFY(fx.gateway()->coil(3));
    // The time as the file has it, of the newest row.
    const QString time = journalRows()->index(1, 0).data().toString();
    QVERIFY2(QDateTime::fromString(time, Qt::ISODateWithMs).isValid(), qPrintable(time));

    QCOMPARE(fileRows(fx), (QStringList{"任意書き込み,6,41025,1234,OK", "メイン画面,5,4,ON,OK"}));

    // A journal file that cannot be written is told in the status bar.
    const QString unwritable = fx.dir() + QStringLiteral("/missing/journal.csv");
    appSession->journal().setFilePath(unwritable);
    child<QPushButton>("btnBitOff")->click();
    QTRY_COMPARE(journalRows()->rowCount(), 3);
    QVERIFY2(frmMain->statusBar()->currentMessage().contains(unwritable),
             qPrintable(frmMain->statusBar()->currentMessage()));
}

void TestE2eJournal::exceptionAnswer()
{
    SimOptions o;
    o.exceptionEvery = 1;  // every request refused with exception 6 (busy)
    AppFixture fx(true, o);
    QVERIFY(fx.connectGateway());
    triggerMenu("s2");
    const QString reference = controls::find<QLineEdit>(frmSoftCntr, "edWRstAdrs")->text();
    controls::find<QPushButton>(frmSoftCntr, "btnWBcntRst")->click();
    QTRY_COMPARE(journalRows()->rowCount(), 1);
    const QString row = shownRow(0);
    QVERIFY2(row.startsWith(QStringLiteral("ｿﾌﾄｶｳﾝﾀﾘｾｯﾄ,6,") + reference + u','), qPrintable(row));
    QVERIFY2(row.endsWith(QStringLiteral(",exception 6")), qPrintable(row));
    QCOMPARE(fileRows(fx), QStringList{row});
}

// The simulator answers the first request only: the coil is answered, the
// pair times out, the next write is lost when the connection is closed
// under it, and one written while disconnected is never sent.
void TestE2eJournal::noAnswerLostAndNotSent()
{
    SimOptions o;
    o.silentAfter = 1;
    AppFixture fx(true, o);
    QVERIFY(fx.connectGateway());
    triggerMenu("W1");

    writeToolArea(6);  // ladder memory B0-511: coils 1001..1512
    writeToolButton("btnON")->click();
    QTRY_COMPARE(journalRows()->rowCount(), 1);

    appSession->link().setResponseTimeout(200);
    writeToolArea(10);  // 32-bit work area from 42849
    writeToolValue(QStringLiteral("305419896"), true);
    writeToolButton("btnWRT")->click();
    QTRY_COMPARE(journalRows()->rowCount(), 2);

    appSession->link().setResponseTimeout(600000);
    writeToolValue(QStringLiteral("7"), false);
    writeToolButton("btnWRT")->click();
    QTRY_COMPARE(appSession->journal().pending(), 1);
    QCOMPARE(journalRows()->rowCount(), 2);
    child<QToolButton>("sbtnDisConn")->click();
    QTRY_COMPARE(journalRows()->rowCount(), 3);
    QTRY_VERIFY(!appSession->isConnected());

    writeToolButton("btnWRT")->click();
    QTRY_COMPARE(journalRows()->rowCount(), 4);

    const QStringList expected{"任意書き込み,5,1001,ON,OK", "任意書き込み,16,42849,305419896,timeout",
                               "任意書き込み,6,42849,7,disconnected", "任意書き込み,6,42849,7,not sent"};
    QStringList shown;
    for (int r = 0; r < 4; ++r)
        shown << shownRow(r);
    QCOMPARE(shown, expected);
    QCOMPARE(fileRows(fx), expected);
}

// The list follows the newest write while it shows its end, and stays
// where the user scrolled to otherwise.
void TestE2eJournal::followsTheNewestRow()
{
    AppFixture fx(false);
    triggerMenu("mnuJournal");
    QVERIFY(QTest::qWaitForWindowExposed(frmJournal));
    const auto write = [](int n) {
        for (int i = 0; i < n; ++i) {
            auto never = std::make_shared<LinkReply>(0, uint8_t(254));
            never->finishLost();
            appSession->journal().track(never, journal::Write::singleCoil(QStringLiteral("T"), uint32_t(i), 0xFF));
        }
    };
    QScrollBar *bar = controls::find<QTableView>(frmJournal, "gridJournal")->verticalScrollBar();
    write(200);
    QCOMPARE(journalRows()->rowCount(), 200);
    QTRY_VERIFY(bar->maximum() > 0);
    QTRY_COMPARE(bar->value(), bar->maximum());
    write(1);
    QTRY_COMPARE(bar->value(), bar->maximum());

    bar->setValue(10);
    write(5);
    QCOMPARE(journalRows()->rowCount(), 206);
    QCOMPARE(bar->value(), 10);

    bar->setValue(bar->maximum());
    write(1);
    QTRY_COMPARE(bar->value(), bar->maximum());
    QCOMPARE(journalRows()->index(206, int(JournalColumn::Reference)).data().toString(), QStringLiteral("1"));
}

QTEST_MAIN(TestE2eJournal)
#include "test_e2e_journal.moc"
