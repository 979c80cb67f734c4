// The write journal against the simulator, through the real windows: the
// writes of the write tool, the main window's bit outputs and the soft
// counter resets appear in the journal window (表示 → 書込履歴) and in the
// journal file beside the settings file, under the window that sent them
// and with how they ended: answered, answered with an exception, or not
// answered in time.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "monitor/WriteJournal.h"
#include "support/AppFixture.h"
#include "support/Controls.h"
#include "support/MonitorControls.h"
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

namespace {

QAbstractItemModel *journalRows()
{
    return controls::find<QTableView>(frmJournal, "gridJournal")->model();
}

// The rows of the journal window without their times: window, function,
// reference, value, outcome.
QStringList shownRows()
{
    QStringList rows;
    for (int r = 0; r < journalRows()->rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c < journalRows()->columnCount(); ++c)
            cells << journalRows()->index(r, c).data().toString();
        rows << cells.join(u',');
    }
    return rows;
}

// The lines of the journal file after its header, without their times.
QStringList fileRows(const AppFixture &fx)
{
    QFile f(fx.dir() + u'/' + QLatin1String(WriteJournal::kFileName));
    QStringList rows;
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray &line : f.readAll().split('\n').mid(1))
            if (!line.isEmpty())
                rows << QString::fromUtf8(line.trimmed()).section(u',', 1);
    return rows;
}

template <class T> T *writeTool(const char *name)
{
    return controls::find<T>(frmWriteTool, name);
}

} // namespace

class TestE2eJournal : public QObject {
    Q_OBJECT
private slots:
    void writesOfTwoWindows();
    void exceptionAnswer();
    void noAnswer();
    void followsTheNewestRow();
};

void TestE2eJournal::writesOfTwoWindows()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    triggerMenu("mnuJournal");
    QVERIFY(QTest::qWaitForWindowExposed(frmJournal));
    triggerMenu("W1");
    writeTool<QLineEdit>("edWRData")->setText(QStringLiteral("1234"));
    writeTool<QPushButton>("btnWRT")->click();
    QTRY_COMPARE(journalRows()->rowCount(), 1);
    // The bit output of bus bit 3: coil 00004.
    select(Bit, 0, 1, 0, 3);
    child<QPushButton>("btnBitOn")->click();
    QTRY_COMPARE(journalRows()->rowCount(), 2);
    QVERIFY(fx.gateway()->coil(3));
    const QStringList expected{"任意書き込み,6,41025,1234,OK", "メイン画面,5,4,ON,OK"};
    QCOMPARE(shownRows(), expected);
    QCOMPARE(fileRows(fx), expected);
    const QString time = journalRows()->index(1, 0).data().toString();
    QVERIFY2(QDateTime::fromString(time, Qt::ISODateWithMs).isValid(), qPrintable(time));

    // A journal file that cannot be written is told in the status bar.
    const QString unwritable = fx.dir() + QStringLiteral("/missing/journal.csv");
    appSession->journal().setFilePath(unwritable);
    child<QPushButton>("btnBitOff")->click();
    QTRY_VERIFY(frmMain->statusBar()->currentMessage().contains(unwritable));
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
    const QString row = shownRows().first();
    QVERIFY2(row.startsWith("ｿﾌﾄｶｳﾝﾀﾘｾｯﾄ,6," + reference + u',') && row.endsWith(",exception 6"), qPrintable(row));
    QCOMPARE(fileRows(fx), QStringList{row});
}

// The simulator answers the first request only: the coil is answered, the
// pair times out.
void TestE2eJournal::noAnswer()
{
    SimOptions o;
    o.silentAfter = 1;
    AppFixture fx(true, o);
    QVERIFY(fx.connectGateway());
    triggerMenu("W1");
    writeTool<QComboBox>("cbxModbusAreaSel")->setCurrentIndex(6);  // ladder memory: coils 1001..1512
    writeTool<QPushButton>("btnON")->click();
    QTRY_COMPARE(journalRows()->rowCount(), 1);

    appSession->link().setResponseTimeout(200);
    writeTool<QComboBox>("cbxModbusAreaSel")->setCurrentIndex(10);  // 32-bit work area from 42849
    writeTool<QRadioButton>("RadioGroup1Item1")->setChecked(true);
    writeTool<QLineEdit>("edWRData")->setText(QStringLiteral("305419896"));
    writeTool<QPushButton>("btnWRT")->click();
    QTRY_COMPARE(journalRows()->rowCount(), 2);

    const QStringList expected{"任意書き込み,5,1001,ON,OK", "任意書き込み,16,42849,305419896,timeout"};
    QCOMPARE(shownRows(), expected);
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
    QTRY_VERIFY(bar->maximum() > 0);
    QTRY_COMPARE(bar->value(), bar->maximum());
    bar->setValue(10);
    write(5);
    QCOMPARE(journalRows()->rowCount(), 205);
    QCOMPARE(bar->value(), 10);
    bar->setValue(bar->maximum());
    write(1);
    QTRY_COMPARE(bar->value(), bar->maximum());
}

QTEST_MAIN(TestE2eJournal)
#include "test_e2e_journal.moc"
