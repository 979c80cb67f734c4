// The bus recorder driven through the real main window against the
// simulator: ファイル → 記録開始 records the whole input area beside the
// monitor, each row what the gateway served; silence and a lost connection
// are gap rows, and the recording goes on through the reconnection.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "diag/AutoReconnect.h"
#include "link/ModbusFrames.h"
#include "monitor/Recording.h"
#include "support/AppFixture.h"
#include "support/MonitorControls.h"
#include "support/TmpfsMount.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

uint16_t pattern(uint32_t address)
{
    return uint16_t(address * 7 + 1);
}

void serve(TestGateway *gw)
{
    gw->setTicking(false);  // the registers hold what the test sets
    for (uint32_t a = rec::kAreaFirst; a < rec::kAreaFirst + rec::kAreaRegisters; ++a)
        gw->setInputRegister(int(a), pattern(a));
}

void setSilentAfter(TestGateway *gw, int n)
{
#ifdef RM_REMOTE_SIM
    gw->setOption(QStringLiteral("silent-after"), n);
#else
    gw->options().silentAfter = n;
#endif
}

// The rows of a recording: 'R' for a row, 'G' for a gap row, and whether
// every row held the pattern (with `changed` at `at` from some row on).
struct Rows {
    QString kinds;
    bool asServed = true;
};

Rows readBack(const QString &path, uint32_t at = 0, uint16_t changed = 0)
{
    Rows out;
    rec::Reader r;
    QString error;
    if (!r.open(path, &error)) {
        out.asServed = false;
        out.kinds = error;
        return out;
    }
    bool sawChange = false;
    r.rows(0, INT64_MAX, [&](int64_t, const uint16_t *regs) {
        out.kinds += regs ? u'R' : u'G';
        if (!regs)
            return true;
        for (int i = 0; i < rec::kAreaRegisters; ++i) {
            const uint32_t a = rec::kAreaFirst + uint32_t(i);
            if (at && a == at && (regs[i] == changed || (!sawChange && regs[i] == pattern(a)))) {
                sawChange = sawChange || regs[i] == changed;
                continue;  // the old value until the change, the new one after
            }
            out.asServed = out.asServed && regs[i] == pattern(a);
        }
        return true;
    });
    if (at && !sawChange)
        out.asServed = false;
    return out;
}

QAction *action(const char *name)
{
    return frmMain->findChild<QAction *>(QLatin1StringView(name));
}

} // namespace

class TestE2eRecording : public QObject {
    Q_OBJECT
private slots:
    void recordsTheWholeAreaBesideTheMonitor();
    void gapRowsOnSilenceAndThroughReconnection();
    void fullDiskEndsTheRecordingWithOneMessage();
};

void TestE2eRecording::recordsTheWholeAreaBesideTheMonitor()
{
    AppFixture fx;
    serve(fx.gateway());
    QVERIFY(fx.connectGateway());
    frmMain->show();
    appSession->settings().logDir = fx.dir() + u'/';
    child<QLineEdit>("Interval")->setText(QStringLiteral("100"));
    child<QToolButton>("sbtnMonitor")->click();
    QVERIFY(appSession->isMonitoring());
    QVERIFY(!action("mnuRecordStop")->isEnabled());

    triggerMenu("mnuRecordStart");
    BusRecorder &recorder = appSession->recorder();
    QVERIFY(recorder.isRecording());
    QVERIFY(!action("mnuRecordStart")->isEnabled());
    QVERIFY(action("mnuRecordStop")->isEnabled());
    QCOMPARE(recorder.intervalMs(), 100);
    const QFileInfo file(recorder.path());
    QCOMPARE(file.absolutePath(), QFileInfo(fx.dir()).absoluteFilePath());
    QVERIFY2(QRegularExpression(QStringLiteral("^REC-\\d{8}-\\d{6}\\.rmrec$")).match(file.fileName()).hasMatch(),
             qPrintable(file.fileName()));
    auto *field = frmMain->findChild<QLabel *>(QStringLiteral("stRecord"));
    QVERIFY(field && field->isVisible());

    const uint32_t monitorBefore = appSession->monitorCount();
    QTRY_VERIFY_WITH_TIMEOUT(recorder.rows() >= 10, 20000);
    QVERIFY(field->text().contains(file.fileName()));
    QVERIFY2(field->text().contains(QStringLiteral(" 行 ")) && field->text().endsWith(QStringLiteral(" MB")),
             qPrintable(field->text()));
    fx.gateway()->setInputRegister(500, 4242);
    const int64_t atChange = recorder.rows();
    QTRY_VERIFY_WITH_TIMEOUT(recorder.rows() >= atChange + 5, 20000);
    // The monitor went on beside the recording.
    QVERIFY(appSession->monitorCount() >= monitorBefore + 10);

    triggerMenu("mnuRecordStop");
    QVERIFY(!recorder.isRecording());
    QVERIFY(action("mnuRecordStart")->isEnabled());
    QVERIFY(!field->isVisible());
    const Rows rows = readBack(file.filePath(), 500, 4242);
    QVERIFY2(rows.asServed, qPrintable(rows.kinds));
    QVERIFY(rows.kinds.size() >= atChange + 5);
    QVERIFY2(!rows.kinds.contains(u'G'), qPrintable(rows.kinds));
    // The reads: their own tag, input registers, at most 125 a read, five a
    // row.
    int reads = 0;
    for (const SimRequest &r : fx.gateway()->requests()) {
        if (r.tag != modbus::kRecordTag)
            continue;
        ++reads;
        QCOMPARE(r.function, 4);
        QVERIFY(r.count <= 125 && r.address >= 320 && r.address + r.count <= 832);
    }
    QVERIFY2(reads >= 5 * rows.kinds.size(), qPrintable(QStringLiteral("%1 reads").arg(reads)));
    QVERIFY(fx.messages.isEmpty());
}

void TestE2eRecording::gapRowsOnSilenceAndThroughReconnection()
{
    SimOptions o;
    o.restartOnCommand = true;
    AppFixture fx(true, o);
    serve(fx.gateway());
    QVERIFY(fx.connectGateway());
    frmMain->show();
    setReconnectOption(true);
    appSession->settings().logDir = fx.dir() + u'/';
    appSession->link().setResponseTimeout(300);
    child<QLineEdit>("Interval")->setText(QStringLiteral("100"));
    triggerMenu("mnuRecordStart");
    BusRecorder &recorder = appSession->recorder();
    QVERIFY(recorder.isRecording());
    QTRY_VERIFY_WITH_TIMEOUT(recorder.rows() >= 5, 20000);

    // Silence: the reads time out, one gap row for the whole silence.
    QList<int> timedOutTags;
    QObject::connect(&appSession->link(), &ModbusLink::requestTimedOut, &recorder,
                     [&](const modbus::Transaction &t) { timedOutTags << t.tag; });
    setSilentAfter(fx.gateway(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(timedOutTags.size() >= 10, 20000);
    QCOMPARE(timedOutTags.count(int(modbus::kRecordTag)), timedOutTags.size());
    QVERIFY(!appSession->isStale());  // the monitor's own state is the monitor's
    setSilentAfter(fx.gateway(), 0);
    int64_t before = recorder.rows();
    QTRY_VERIFY_WITH_TIMEOUT(recorder.rows() >= before + 5, 20000);

    // The gateway restarts: the connection goes, comes back by itself, and
    // the recording goes on.
    auto *reconnect = frmMain->findChild<AutoReconnect *>(QStringLiteral("AutoReconnect"));
    QVERIFY(reconnect);
    QSignalSpy back(reconnect, &AutoReconnect::reconnected);
    appSession->link().SendWriteSingleRegister(1203, 1);  // the gateway's restart command
    QTRY_VERIFY_WITH_TIMEOUT(!appSession->isConnected(), 10000);
    QVERIFY(back.wait(20000));
    QVERIFY(recorder.isRecording());
    before = recorder.rows();
    QTRY_VERIFY_WITH_TIMEOUT(recorder.rows() >= before + 5, 20000);
    triggerMenu("mnuRecordStop");

    const Rows rows = readBack(recorder.path());
    QVERIFY2(rows.asServed, qPrintable(rows.kinds));
    QVERIFY2(QRegularExpression(QStringLiteral("^R{5,}GR{5,}GR{5,}$")).match(rows.kinds).hasMatch(),
             qPrintable(rows.kinds));
}

void TestE2eRecording::fullDiskEndsTheRecordingWithOneMessage()
{
    TmpfsMount disk(1024);
    if (!disk.isMounted())
        QSKIP(qPrintable(QStringLiteral("no full-disk test: ") + disk.problem()));
    AppFixture fx;
    serve(fx.gateway());
    QVERIFY(fx.connectGateway());
    frmMain->show();
    appSession->settings().logDir = disk.path();
    child<QLineEdit>("Interval")->setText(QStringLiteral("100"));
    child<QToolButton>("sbtnMonitor")->click();
    triggerMenu("mnuRecordStart");
    BusRecorder &recorder = appSession->recorder();
    QVERIFY(recorder.isRecording());
    const QString path = recorder.path();
    QTRY_VERIFY_WITH_TIMEOUT(recorder.rows() >= 5, 20000);
    QVERIFY(disk.fill(0));
    QTRY_VERIFY_WITH_TIMEOUT(!recorder.isRecording(), 30000);
    QTRY_COMPARE(fx.messages.size(), 1);
    QVERIFY2(fx.messageTexts().first().contains(QFileInfo(path).fileName()), qPrintable(fx.messageTexts().first()));
    QVERIFY(action("mnuRecordStart")->isEnabled());
    QVERIFY(appSession->isMonitoring());  // the monitor goes on
    const int64_t committed = recorder.rows();
    QVERIFY(committed >= 5);

    // Read back while the disk is still full.
    const Rows rows = readBack(path);
    QVERIFY2(rows.asServed, qPrintable(rows.kinds));
    QCOMPARE(int64_t(rows.kinds.size()), committed);
    QTest::qWait(300);  // no second message comes later
    QCOMPARE(fx.messages.size(), 1);
}

QTEST_MAIN(TestE2eRecording)
#include "test_e2e_recording.moc"
