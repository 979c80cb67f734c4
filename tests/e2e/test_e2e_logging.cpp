// CSV logging driven through the real main window against the simulator:
// monitoring with logging and auto-save, for every header mode; every
// answer received becomes exactly one row, in a file or still in the log
// area.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "monitor/CsvLog.h"
#include "monitor/CsvRow.h"
#include "monitor/FormatElapsed.h"
#include "support/AppFixture.h"
#include "support/MonitorControls.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "support/Controls.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStringDecoder>
#include <QTest>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolButton>

namespace {

QStringList fileLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString text = QStringDecoder(QStringConverter::System).decode(f.readAll());
    if (!text.endsWith(QStringLiteral("\r\n")))
        return {QStringLiteral("<no CR LF at the end>")};
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

int monitorReadsReceived(TestGateway *gw)
{
    int n = 0;
    for (const SimRequest &r : gw->requests())
        n += r.tag == 0 && r.function == 4;
    return n;
}

void setUpLog(const QString &folder, int headerMode, const QString &interval)
{
    appSession->settings().logHeaderMode = headerMode;
    appSession->settings().logDir = folder;
    controls::find<QCheckBox>(frmGWcfg, "ChkAutoSave")->setChecked(true);
    controls::find<QLineEdit>(frmGWcfg, "EdSaveInt")->setText(interval);
    controls::find<QLineEdit>(frmGWcfg, "EdLogSaveFN")->setText(QStringLiteral("E"));
    controls::find<QLineEdit>(frmGWcfg, "EdLogSaveStart")->setText(QStringLiteral("1"));
    controls::find<QComboBox>(frmGWcfg, "CbxLogSaveKeta")->setCurrentText(QStringLiteral("4"));
    child<QLineEdit>("Interval")->setText(QStringLiteral("100"));
}

// Stops the monitor and waits until every read the simulator received has
// been answered and handled.
bool stopMonitorAndDrain(TestGateway *gw)
{
    child<QToolButton>("sbtnMonitor")->click();
    if (appSession->isMonitoring())
        return false;
    return QTest::qWaitFor([gw] { return int(appSession->monitorCount()) == monitorReadsReceived(gw); }, 5000);
}

void saveShot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("RMTOOL_SHOTS");
    if (!dir.isEmpty() && QDir().mkpath(dir))
        w->grab().save(dir + u'/' + name + QStringLiteral(".png"));
}

} // namespace

class TestE2eLogging : public QObject {
    Q_OBJECT
private slots:
    void everyAnswerIsOneRow_data();
    void everyAnswerIsOneRow();
};

void TestE2eLogging::everyAnswerIsOneRow_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("none") << 0;
    QTest::newRow("count") << 1;
    QTest::newRow("elapsed") << 2;
    QTest::newRow("stamp and count") << 3;
}

void TestE2eLogging::everyAnswerIsOneRow()
{
    QFETCH(int, mode);
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    frmMain->show();
    const QString folder = fx.dir() + QStringLiteral("/csv/");
    QVERIFY(QDir().mkpath(folder));
    setUpLog(folder, mode, QStringLiteral("4"));
    // Word page, extended 512-word area, word address 0: 30321, 32 registers.
    QCOMPARE(child<QSpinBox>("seReadAddress")->value(), 30321);
    QCOMPARE(child<QSpinBox>("seReadSize")->value(), 32);

    child<QToolButton>("sbtnLogStart")->click();
    fx.gateway()->clearRequests();
    child<QToolButton>("sbtnMonitor")->click();
    QVERIFY(appSession->isMonitoring());
    QTRY_VERIFY_WITH_TIMEOUT(appSession->monitorCount() >= 14, 10000);
    QVERIFY(stopMonitorAndDrain(fx.gateway()));
    const int answers = int(appSession->monitorCount());
    QCOMPARE(int(appSession->logCount()), answers);

    const QString header = CsvHeaderRow(mode, 30321, 32);
    QStringList rows;
    const int files = answers / 4;
    for (int n = 1; n <= files; ++n) {
        const QStringList lines = fileLines(folder + QStringLiteral("E%1.csv").arg(n, 4, 10, QLatin1Char('0')));
        QCOMPARE(lines.value(0), header);
        QCOMPARE(lines.size(), 1 + 4);
        rows << lines.mid(1);
    }
    QVERIFY(!QFile::exists(folder + QStringLiteral("E%1.csv").arg(files + 1, 4, 10, QLatin1Char('0'))));
    rows << LogTextLines(child<QPlainTextEdit>("Memo2")->toPlainText());
    QCOMPARE(rows.size(), answers);
    QCOMPARE(child<QLineEdit>("LogLineBuf")->text(), rows.last());
    QCOMPARE(child<QLabel>("stLogCntr")->text(), QString::number(answers));

    // Each row: its prefix by the header mode, then 32 values.
    const int prefixColumns = mode == 0 || mode == 1 || mode == 2 ? 1 : 3;
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList cols = rows[i].split(u',');
        QCOMPARE(cols.size(), prefixColumns + 32);
        switch (mode) {
        case 0: QCOMPARE(cols[0], QString()); break;
        case 1: QCOMPARE(cols[0], QString::number(i)); break;
        case 2: QCOMPARE(cols[0], FormatElapsed(100, uint32_t(i))); break;
        case 3:
            QCOMPARE(cols[0], monitor::csvDateText(QDate::currentDate()));
            QVERIFY(!cols[1].isEmpty());
            QCOMPARE(cols[2], QString::number(i));
            break;
        }
        for (int v = prefixColumns; v < cols.size(); ++v) {
            bool ok = false;
            cols[v].toUInt(&ok);
            QVERIFY2(ok, qPrintable(rows[i]));
        }
    }
    if (mode == 3) {
        child<QAction>("N11")->trigger();
        saveShot(frmMain, QStringLiteral("main-log-area"));
    }
    QVERIFY(fx.messages.isEmpty());
}

QTEST_MAIN(TestE2eLogging)
#include "test_e2e_logging.moc"
