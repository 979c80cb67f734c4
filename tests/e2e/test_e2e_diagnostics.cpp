// The diagnostics against the simulator, through the real windows: the
// statistics of a slow and jittery gateway, the traffic view holding what
// went over the wire, the monitor's stale display, and the automatic
// reconnection after the gateway's restart command. Bounds on times are
// loose on purpose: the exact figures belong to the benchmark.
#include "support/TestApp.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "diag/AutoReconnect.h"
#include "diag/TfrmCommStats.h"
#include "diag/TfrmTraffic.h"
#include "link/FrameText.h"
#include "monitor/CsvLog.h"
#include "support/AppFixture.h"
#include "support/MonitorControls.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

QString label(QWidget *w, const char *name)
{
    auto *l = w->findChild<QLabel *>(QLatin1String(name));
    return l ? l->text() : QString();
}

void saveShot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("RMTOOL_SHOTS");
    if (!dir.isEmpty() && QDir().mkpath(dir))
        w->grab().save(dir + u'/' + name + QStringLiteral(".png"));
}

// Monitoring the word page's extended area at word address 3 (a window
// and the header words per tick) every `interval` ms.
void startMonitor(int interval)
{
    select(Word, 3, 1, 0, 3, true);
    child<QLineEdit>("Interval")->setText(QString::number(interval));
    child<QToolButton>("sbtnMonitor")->click();
    QVERIFY(appSession->isMonitoring());
}

bool stopMonitorAndDrain()
{
    child<QToolButton>("sbtnMonitor")->click();
    return QTest::qWaitFor([] { return appSession->link().inFlight().empty(); }, 5000);
}

// relaymo-sim as a program of its own, tracing every request on stdout.
struct SimProcess {
    QProcess p;
    quint16 port = 0;
    QStringList lines;

    bool start(const QStringList &args)
    {
        p.start(QStringLiteral(RELAYMO_SIM_PATH), QStringList{"--port", "0", "--trace"} + args);
        if (!p.waitForStarted())
            return false;
        const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
        return QTest::qWaitFor([&] {
            read();
            for (const QString &l : lines)
                if (const auto m = listening.match(l); m.hasMatch())
                    port = quint16(m.captured(1).toUInt());
            return port != 0;
        }, 5000);
    }
    void read()
    {
        while (p.canReadLine())
            lines << QString::fromUtf8(p.readLine()).trimmed();
    }
    int count(const QString &prefix)
    {
        read();
        int n = 0;
        for (const QString &l : lines)
            n += l.startsWith(prefix);
        return n;
    }
    ~SimProcess()
    {
        p.kill();
        p.waitForFinished();
    }
};

int tracedAnswers(SimGateway *gw, int tag)
{
    int n = 0;
    for (const SimAnswer &a : gw->answers())
        n += a.tag == tag;
    return n;
}

} // namespace

class TestE2eDiagnostics : public QObject {
    Q_OBJECT
private slots:
    void statisticsOfASlowJitteryGateway();
    void trafficHoldsWhatWentOverTheWire();
    void staleAndNormalAgain();
    void reconnectAfterRestartCommand();
    void noReconnect_data();
    void noReconnect();
};

void TestE2eDiagnostics::statisticsOfASlowJitteryGateway()
{
    SimProcess sim;
    QVERIFY(sim.start({"--delay", "50", "--jitter", "10"}));
    AppFixture fx(false);
    QVERIFY(fx.connectTo(sim.port));
    frmMain->show();
    child<QAction>("actCommStats")->trigger();
    QVERIFY(frmCommStats->isVisible());
    // Placed like the tool dialogs: beside the main window, top aligned.
    QCOMPARE(frmCommStats->pos(), QPoint(frmMain->x() + frmMain->frameGeometry().width() + 10, frmMain->y()));

    startMonitor(100);
    QTRY_VERIFY_WITH_TIMEOUT(appSession->monitorCount() >= 20, 20000);
    QVERIFY(stopMonitorAndDrain());
    const int windows = sim.count(QStringLiteral("REQ tag=0 "));
    const int headers = sim.count(QStringLiteral("REQ tag=20 "));
    QVERIFY(windows >= 20);

    const CommStats &s = frmCommStats->stats();
    QCOMPARE(s.total().requests, sim.count(QStringLiteral("REQ ")));
    QCOMPARE(s.kind(modbus::RequestKind::MonitorData).requests, windows);
    QCOMPARE(s.kind(modbus::RequestKind::MonitorData).answers, windows);
    QCOMPARE(s.kind(modbus::RequestKind::HeaderWords).answers, headers);
    QCOMPARE(s.total().answers, s.total().requests);
    QCOMPARE(s.total().timeouts, 0);
    QCOMPARE(int(appSession->monitorCount()), windows);
    // Every answer was held back at least 50 ms; the figures keep their order.
    const ResponseTimes &t = s.total().times;
    QVERIFY2(*t.minUs() >= 50'000, qPrintable(msText(t.minUs())));
    QVERIFY(*t.minUs() <= *t.meanUs());
    QVERIFY(*t.meanUs() <= *t.percentileUs(0.99));
    QVERIFY(*t.percentileUs(0.99) <= *t.maxUs());
    QVERIFY2(*t.meanUs() < 500'000, qPrintable(msText(t.meanUs())));
    // The window shows the same figures.
    QTRY_COMPARE(label(frmCommStats, "stStatAnswers"), QString::number(s.total().answers));
    QCOMPARE(label(frmCommStats, "stStatRequests"), QString::number(s.total().requests));
    QCOMPARE(label(frmCommStats, "stStatRespMin"), msText(t.minUs()));
    QCOMPARE(label(frmCommStats, "stStatRespP99"), msText(t.percentileUs(0.99)));
    QCOMPARE(label(frmCommStats, "stStatTimeouts"), QStringLiteral("0"));
    QVERIFY(fx.messages.isEmpty());
}

void TestE2eDiagnostics::trafficHoldsWhatWentOverTheWire()
{
    SimOptions o;
    o.delayMs = 20;
    o.jitterMs = 20;
    o.exceptionEvery = 25;
    AppFixture fx(true, o);
    QVERIFY(fx.connectGateway());
    frmMain->show();
    child<QAction>("actTraffic")->trigger();
    child<QAction>("actCommStats")->trigger();
    frmTraffic->move(frmMain->x(), frmMain->y() + frmMain->frameGeometry().height() + 10);
    startMonitor(100);
    QTRY_VERIFY_WITH_TIMEOUT(appSession->monitorCount() >= 30, 20000);
    saveShot(frmTraffic, QStringLiteral("traffic"));
    saveShot(frmCommStats, QStringLiteral("commstats"));
    saveShot(frmMain, QStringLiteral("main-with-diagnostics"));
    QVERIFY(stopMonitorAndDrain());

    // What the simulator received, in order, is what the view says was sent;
    // what it sent back, byte for byte and in order, what it says came in.
    const TrafficLog &log = frmTraffic->log();
    QList<QByteArray> sent, received;
    QStringList exceptionRows;
    for (int i = 0; i < log.size(); ++i) {
        const TrafficEntry &e = log.at(i);
        if (e.kind == TrafficEntry::Sent)
            sent << e.bytes;
        else if (e.kind == TrafficEntry::Received)
            received << e.bytes;
        if (e.isException())
            exceptionRows << trafficText(e, TrafficColumn::Summary);
        QVERIFY(e.kind != TrafficEntry::Timeout && e.kind != TrafficEntry::LostFraming);
    }
    const QList<SimRequest> &requests = fx.gateway()->requests();
    QCOMPARE(sent.size(), requests.size());
    for (int i = 0; i < sent.size(); ++i) {
        const modbus::FrameFields f = modbus::decodeRequest(sent[i]);
        QCOMPARE(int(f.tag), requests[i].tag);
        QCOMPARE(int(f.function), requests[i].function);
        QCOMPARE(int(f.address), requests[i].address);
        QCOMPARE(int(f.count), requests[i].count);
    }
    QList<QByteArray> answered;
    int injected = 0;
    for (const SimAnswer &a : fx.gateway()->answers()) {
        answered << a.bytes;
        injected += a.kind == SimAnswer::Exception;
    }
    QCOMPARE(received, answered);
    QVERIFY(injected >= 1);
    QCOMPARE(exceptionRows.size(), injected);
    for (const QString &row : exceptionRows)
        QVERIFY2(row.contains(QStringLiteral("例外 06 スレーブ機器ビジー")), qPrintable(row));
    // The list holds every kept entry, the newest at the bottom and in view.
    auto *list = frmTraffic->findChild<QTableView *>(QStringLiteral("TrafficList"));
    QTRY_COMPARE(list->model()->rowCount(), log.size());
    const QModelIndex last = list->model()->index(log.size() - 1, 0);
    QVERIFY(list->viewport()->rect().intersects(list->visualRect(last)));
    // The statistics count the same exceptions by their code.
    QCOMPARE(frmCommStats->stats().exceptionsWithCode(6), injected);
}

void TestE2eDiagnostics::staleAndNormalAgain()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    frmMain->show();
    appSession->link().setResponseTimeout(250);
    child<QAction>("actTraffic")->trigger();
    child<QToolButton>("sbtnLogStart")->click();
    startMonitor(100);
    QTRY_VERIFY_WITH_TIMEOUT(appSession->monitorCount() >= 5, 10000);
    QLabel *value = valueBox(0);
    QLabel *header = headerBox(0);
    const QColor liveValue = value->palette().color(QPalette::WindowText);
    const QColor liveHeader = header->palette().color(QPalette::WindowText);

    // The gateway stops answering: the boxes keep their last values, greyed.
    fx.gateway()->options().silentAfter = 1;
    QTRY_VERIFY_WITH_TIMEOUT(frmMain->statusBar()->currentMessage().startsWith(QStringLiteral("応答なし (最後の応答から ")),
                             5000);
    QVERIFY(appSession->isStale());
    const QString lastValue = value->text();
    QVERIFY(!lastValue.isEmpty());
    QVERIFY(value->palette().color(QPalette::WindowText) != liveValue);
    QVERIFY(header->palette().color(QPalette::WindowText) != liveHeader);
    // Polls go on without answers: no row, no count.
    const uint32_t answered = appSession->monitorCount();
    QSignalSpy timeouts((&appSession->link()), &ModbusLink::requestTimedOut);
    QVERIFY(timeouts.wait(3000));
    QVERIFY(timeouts.wait(3000));
    saveShot(frmMain, QStringLiteral("main-stale"));
    saveShot(frmTraffic, QStringLiteral("traffic-timeouts"));
    QCOMPARE(appSession->monitorCount(), answered);
    QCOMPARE(appSession->logCount(), answered);
    QCOMPARE(value->text(), lastValue);

    // Answers again: normal again, and one row per answer all along.
    fx.gateway()->options().silentAfter = 0;
    QTRY_VERIFY_WITH_TIMEOUT(!appSession->isStale(), 5000);
    QCOMPARE(value->palette().color(QPalette::WindowText), liveValue);
    QCOMPARE(header->palette().color(QPalette::WindowText), liveHeader);
    QTRY_VERIFY(appSession->monitorCount() > answered + 2);
    QVERIFY(stopMonitorAndDrain());
    QCOMPARE(int(appSession->monitorCount()), tracedAnswers(fx.gateway(), 0));
    QCOMPARE(appSession->logCount(), appSession->monitorCount());
    QCOMPARE(LogTextLines(child<QPlainTextEdit>("Memo2")->toPlainText()).size(), int(appSession->monitorCount()));
}

void TestE2eDiagnostics::reconnectAfterRestartCommand()
{
    SimOptions o;
    o.restartOnCommand = true;
    AppFixture fx(true, o);
    QVERIFY(fx.connectGateway());
    frmMain->show();
    setReconnectOption(true);
    appSession->settings().logHeaderMode = 1;  // the count column numbers the rows
    child<QToolButton>("sbtnLogStart")->click();
    startMonitor(100);
    QTRY_VERIFY_WITH_TIMEOUT(appSession->monitorCount() >= 5, 10000);

    auto *r = frmMain->findChild<AutoReconnect *>(QStringLiteral("AutoReconnect"));
    QVERIFY(r);
    QStringList dialogTexts, statusTexts;
    QObject::connect(r, &AutoReconnect::attemptScheduled, [&] { dialogTexts << frmConnect->statusText(); });
    QObject::connect(r, &AutoReconnect::attemptStarted, [&] { dialogTexts << frmConnect->statusText(); });
    QObject::connect(frmMain->statusBar(), &QStatusBar::messageChanged,
                     [&](const QString &m) { statusTexts << m; });
    QSignalSpy back(r, &AutoReconnect::reconnected);
    const uint32_t before = appSession->monitorCount();
    appSession->link().SendWriteSingleRegister(1203, 1);  // the gateway's restart command
    QTRY_VERIFY_WITH_TIMEOUT(!appSession->isConnected(), 5000);
    QVERIFY(back.wait(15000));
    QTRY_VERIFY(appSession->isConnected());
    QVERIFY(appSession->isMonitoring());
    QTRY_VERIFY_WITH_TIMEOUT(appSession->monitorCount() >= before + 5, 10000);

    // The listener was down for two seconds: the first attempt (after 1 s)
    // was refused, the second (after 2 s more) got through.
    QCOMPARE(back[0].first().toInt(), 2);
    QVERIFY2(statusTexts.contains(QStringLiteral("接続が切れました。1 秒後に再接続します (1 回目)")),
             qPrintable(statusTexts.join(u'|')));
    QVERIFY(statusTexts.contains(QStringLiteral("再接続中 (1 回目)・・・")));
    QVERIFY(statusTexts.contains(QStringLiteral("再接続できませんでした。2 秒後に再接続します (2 回目)")));
    QVERIFY(statusTexts.contains(QStringLiteral("再接続しました (2 回目)")));
    QVERIFY2(dialogTexts.contains(QStringLiteral("再接続待ち (1 回目、1 秒後)")), qPrintable(dialogTexts.join(u'|')));
    QVERIFY(dialogTexts.contains(QStringLiteral("再接続中 (2 回目)・・・")));

    // The rows went on: one per answer, numbered without a gap or a repeat.
    QVERIFY(stopMonitorAndDrain());
    const QStringList rows = LogTextLines(child<QPlainTextEdit>("Memo2")->toPlainText());
    QCOMPARE(int(appSession->logCount()), int(appSession->monitorCount()));
    QCOMPARE(rows.size(), int(appSession->monitorCount()));
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(rows[i].section(u',', 0, 0), QString::number(i));
    // The statistics went on through the reconnection.
    QTRY_COMPARE(frmCommStats->reconnects(), 1);
    QVERIFY(frmCommStats->stats().kind(modbus::RequestKind::MonitorData).answers >= int(appSession->monitorCount()));
}

void TestE2eDiagnostics::noReconnect_data()
{
    QTest::addColumn<bool>("option");
    QTest::newRow("option off, the gateway restarts") << false;
    QTest::newRow("option on, the user's 切断") << true;
}

void TestE2eDiagnostics::noReconnect()
{
    QFETCH(bool, option);
    SimOptions o;
    o.restartOnCommand = true;
    AppFixture fx(true, o);
    QVERIFY(fx.connectGateway());
    setReconnectOption(option);
    auto *r = frmMain->findChild<AutoReconnect *>(QStringLiteral("AutoReconnect"));
    QSignalSpy scheduled(r, &AutoReconnect::attemptScheduled);
    QSignalSpy connected((&appSession->link()), &ModbusLink::connected);
    if (option)
        child<QToolButton>("sbtnDisConn")->click();
    else
        appSession->link().SendWriteSingleRegister(1203, 1);
    QTRY_VERIFY_WITH_TIMEOUT(!appSession->isConnected(), 5000);
    // Past the first and the second delay and the two-second restart:
    // nothing is attempted and the tool stays disconnected, as today.
    QVERIFY(!connected.wait(4500));
    QCOMPARE(scheduled.size(), 0);
    QCOMPARE(frmConnect->statusText(), QStringLiteral("接続されていません"));
}

QTEST_MAIN(TestE2eDiagnostics)
#include "test_e2e_diagnostics.moc"
