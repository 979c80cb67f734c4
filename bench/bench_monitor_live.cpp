// Monitoring relaymo-sim for a while through the real main window, as a
// user would: how many ticks were answered, and how much CPU time RM Tool
// (this process; the simulator runs as a program of its own) spent per
// answer, all included: timer, socket, decoding, boxes, repaint.
//
//   bench_monitor_live [--seconds 60] [--interval 100] [--area 1] [--address 12]
//                      [--type 3] [--size N] [--datatype D] [--sim path/to/relaymo-sim]
//                      [--port P] [--hidden] [--idle 10] [--trend] [--trend-span I]
//                      [--clicks] [--record]
//
// --size reads N registers whatever the terminal (automatic read window off),
// --datatype picks the data type (0 16-bit, 1 32-bit unsigned, 2 real, ...).
// --port monitors a simulator already listening on 127.0.0.1:P instead of
// starting one.
//
// First the program idles connected for --idle seconds (the other windows'
// timers run all the time); the CPU time of that idle rate is reported and
// taken off the monitoring run's figure as well.
//
// --hidden leaves the window unshown: no repaint, only the polling and the
// handling of the answers. --diag opens the statistics and traffic windows
// (表示 → 通信統計, 通信ログ) as well, shown and refreshing. --trend opens the
// trend window (表示 → トレンド) before monitoring starts, so that it draws
// every channel as it comes; --trend-span picks its span (0 1分, 1 10分 as
// the window opens, 2 1時間, 3 8時間, 4 24時間, 5 全体).
//
// The resident memory (VmRSS) is printed as monitoring starts and as it
// ends. --clicks probes how quickly the window answers the user while it
// monitors: every second a mouse press and release are posted to a button
// of the window, and the time until its clicked() runs is measured.
//
// --record runs two phases of --seconds each with the same window, one after
// the other: the monitor alone, then the monitor and a recording of the bus
// (ファイル → 記録開始 from the menu, as a user starts it: without an
// installation the 512 registers of the extended input area in five reads,
// at the monitor's interval). It prints RM Tool's CPU time per monitor tick
// in each phase and the difference: what the recording adds to a tick. The
// start (the file made) and the stop (the file closed) are timed apart. The
// recording goes into a temporary folder (the log folder of the settings),
// which is removed at the end.
#include "support/TestApp.h"
#include "app/Settings.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "tools/trend/TfrmTrend.h"
#include "app/MessageBoxes.h"
#include "monitor/BusRecorder.h"
#include "monitor/Recording.h"
#include "tests/support/Controls.h"
#include "tests/support/ResidentMemory.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

// Runs the event loop until pred() holds or timeoutMs has passed. The loop
// sleeps between events (a timer wakes it to look at the clock), so that
// the waiting itself costs no CPU time.
template <class Pred> bool waitFor(Pred pred, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QTimer wake;
    wake.start(100);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Runs the event loop for `ms` milliseconds. Only the program's own
// timers and sockets wake it meanwhile: the benchmark adds no wake-up of
// its own to the CPU time it measures.
void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

double toSeconds(const timeval &t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

// This process's CPU time so far: in its own code and the libraries
// (user), in the kernel on its behalf (system).
struct Cpu {
    double user = 0, system = 0;
    double total() const { return user + system; }
};

Cpu cpuTimes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return {toSeconds(u.ru_utime), toSeconds(u.ru_stime)};
}

double cpuSeconds()
{
    return cpuTimes().total();
}

int option(const QStringList &args, const QString &name, int def)
{
    const int i = int(args.indexOf(name));
    return i >= 0 && i + 1 < args.size() ? args[i + 1].toInt() : def;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program's own options are not the tool's command line (whose
    // first argument would name a conversion table).
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    int appArgc = 1;
    QApplication app(appArgc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int seconds = option(args, QStringLiteral("--seconds"), 60);
    const int interval = option(args, QStringLiteral("--interval"), 100);
    const int area = option(args, QStringLiteral("--area"), 1);
    const int address = option(args, QStringLiteral("--address"), 12);
    const int type = option(args, QStringLiteral("--type"), 3);
    const int simAt = int(args.indexOf(QStringLiteral("--sim")));
    const QString simPath = simAt >= 0 && simAt + 1 < args.size()
                                ? args[simAt + 1]
                                : QCoreApplication::applicationDirPath() + QStringLiteral("/relaymo-sim");

    QProcess sim;
    quint16 port = quint16(option(args, QStringLiteral("--port"), 0));
    if (!port) {
        sim.start(simPath, {QStringLiteral("--port"), QStringLiteral("0")});
        if (!sim.waitForStarted(5000)) {
            std::fprintf(stderr, "cannot start %s\n", qPrintable(simPath));
            return 1;
        }
        const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
        QByteArray out;
        waitFor([&] {
            out += sim.readAllStandardOutput();
            const auto m = listening.match(QString::fromLatin1(out));
            if (m.hasMatch())
                port = quint16(m.captured(1).toUInt());
            return port != 0;
        }, 5000);
        if (!port) {
            std::fprintf(stderr, "relaymo-sim did not report its port\n");
            return 1;
        }
    }

    QTemporaryDir dir;
    setSettingsFilePathOverride(dir.filePath(QStringLiteral("RMTool.ini")));
    msg::setMessageBoxHook([](const msg::Shown &m) {
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return true;
    });
    createTestApp();
    const bool hidden = args.contains(QStringLiteral("--hidden"));
    const bool diag = args.contains(QStringLiteral("--diag"));
    if (!hidden)
        frmMain->show();
    if (diag) {
        frmMain->findChild<QAction *>(QStringLiteral("actCommStats"))->trigger();
        frmMain->findChild<QAction *>(QStringLiteral("actTraffic"))->trigger();
    }
    appSession->link().setHost(QStringLiteral("127.0.0.1"));
    appSession->link().setPort(port);
    frmConnect->btnCONNClick();
    if (!waitFor([] { return appSession->isConnected(); }, 5000)) {
        std::fprintf(stderr, "not connected\n");
        return 1;
    }
    frmMain->findChild<QTabWidget *>(QStringLiteral("pcSlaveType"))->setCurrentIndex(0);
    frmMain->findChild<QComboBox *>(QStringLiteral("cbTerminalType"))->setCurrentIndex(type);
    frmMain->findChild<QComboBox *>(QStringLiteral("DataAreaSelect"))->setCurrentIndex(area);
    frmMain->findChild<QSpinBox *>(QStringLiteral("seWordAdrs"))->setValue(address);
    frmMain->findChild<QLineEdit *>(QStringLiteral("Interval"))->setText(QString::number(interval));
    if (const int dataType = option(args, QStringLiteral("--datatype"), -1); dataType >= 0)
        controls::find<QComboBox>(frmMain, "cbxDataType")->setCurrentIndex(dataType);
    if (const int readSize = option(args, QStringLiteral("--size"), 0); readSize > 0) {
        controls::find<QCheckBox>(frmMain, "chkbxAutoChange")->setChecked(false);
        controls::find<QSpinBox>(frmMain, "seReadSize")->setValue(readSize);
    }

    const bool trend = args.contains(QStringLiteral("--trend"));
    const int trendSpan = option(args, QStringLiteral("--trend-span"), -1);
    if (trend) {
        controls::find<QAction>(frmMain, "actTrend")->trigger();
        if (trendSpan >= 0)
            controls::find<QComboBox>(frmTrend, "cbTrendSpan")->setCurrentIndex(trendSpan);
    }

    int ticks = 0;
    QObject::connect((&appSession->pollTimer()), &QTimer::timeout, [&] {
        if (appSession->isMonitoring())
            ++ticks;
    });
    const int size = frmMain->findChild<QSpinBox *>(QStringLiteral("seReadSize"))->value();
    const int idleSeconds = option(args, QStringLiteral("--idle"), 10);
    const double idle0 = cpuSeconds();
    QElapsedTimer idleWall;
    idleWall.start();
    runFor(idleSeconds * 1000);
    const double idleRate = idleSeconds > 0 ? (cpuSeconds() - idle0) / (double(idleWall.elapsed()) / 1000.0) : 0.0;
    // The click probe: a small button of its own in the window's corner.
    const bool clicks = args.contains(QStringLiteral("--clicks"));
    QList<qint64> clickUs;
    auto *probe = new QPushButton(frmMain);  // the window's own from here on
    QElapsedTimer clickClock;
    QTimer clickTimer;
    if (clicks) {
        probe->setGeometry(0, 0, 12, 12);
        probe->show();
        QObject::connect(probe, &QPushButton::clicked, [&] { clickUs << clickClock.nsecsElapsed() / 1000; });
        QObject::connect(&clickTimer, &QTimer::timeout, [&] {
            const QPointF at(6, 6);
            const QPointF global = probe->mapToGlobal(at);
            clickClock.start();
            QCoreApplication::postEvent(probe, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                                Qt::LeftButton, Qt::NoModifier));
            QCoreApplication::postEvent(probe, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                                                Qt::NoButton, Qt::NoModifier));
        });
        clickTimer.start(1000);
    }
    const bool record = args.contains(QStringLiteral("--record"));
    QTemporaryDir recordDir;
    if (record)
        appSession->settings().logDir = recordDir.path();
    const long rssStart = residentKiB();
    const Cpu cpu0 = cpuTimes();
    QElapsedTimer wall;
    wall.start();
    frmMain->findChild<QToolButton *>(QStringLiteral("sbtnMonitor"))->click();
    // The points between the phases of --record: CPU time and ticks so far.
    struct Mark {
        Cpu cpu;
        int ticks;
    };
    auto mark = [&] { return Mark{cpuTimes(), ticks}; };
    Mark monitorStart{cpu0, 0}, monitorEnd{}, recordStart{}, recordEnd{}, recordStopped{};
    QString recordPath;
    int64_t recordRows = 0;
    if (record) {
        runFor(seconds * 1000);
        monitorEnd = mark();
        controls::find<QAction>(frmMain, "mnuRecordStart")->trigger();
        recordStart = mark();
        if (!appSession->recorder().isRecording()) {
            std::fprintf(stderr, "the recording did not start\n");
            return 1;
        }
        recordPath = appSession->recorder().path();
        runFor(seconds * 1000);
        recordEnd = mark();
        controls::find<QAction>(frmMain, "mnuRecordStop")->trigger();
        recordStopped = mark();
        recordRows = appSession->recorder().rows();
    } else {
        runFor(seconds * 1000);
    }
    frmMain->sbtnMonitorClick();  // stop: no further tick counts
    const int ticksAtStop = ticks;
    // Answers still on the way belong to the ticks counted.
    runFor(2 * interval + 200);
    const Cpu cpu1 = cpuTimes();
    const double cpuUser = cpu1.user - cpu0.user, cpuSystem = cpu1.system - cpu0.system;
    const double cpu = cpuUser + cpuSystem;
    const double elapsed = double(wall.elapsed()) / 1000.0;
    const uint32_t answers = appSession->monitorCount();
    const long rssEnd = residentKiB();
    clickTimer.stop();

    std::printf("window: %d registers (area %d, type %d, word address %d), interval %d ms, %d s%s%s\n",
                size, area, type, address, interval, seconds, hidden ? ", window hidden" : "",
                trend ? ", trend open" : "");
    if (trend)
        std::printf("trend span %s\n",
                    qPrintable(controls::find<QComboBox>(frmTrend, "cbTrendSpan")->currentText()));
    if (diag)
        std::printf("statistics and traffic windows open\n");
    std::printf("ticks %d, answers %u, answered %.2f %%\n", ticksAtStop, answers,
                ticksAtStop ? 100.0 * answers / ticksAtStop : 0.0);
    std::printf("RM Tool CPU %.3f s in %.1f s wall (%.2f %% of one core), %.1f us per answer\n", cpu,
                elapsed, 100.0 * cpu / elapsed, answers ? 1e6 * cpu / answers : 0.0);
    std::printf("of which user %.1f us, system %.1f us per answer\n",
                answers ? 1e6 * cpuUser / answers : 0.0, answers ? 1e6 * cpuSystem / answers : 0.0);
    const double net = cpu - idleRate * elapsed;
    std::printf("idle (connected, not monitoring) %.2f %% of one core; monitoring net of it %.1f us per answer\n",
                100.0 * idleRate, answers ? 1e6 * net / answers : 0.0);
    std::printf("resident memory: %ld KiB as monitoring started, %ld KiB as it ended\n", rssStart, rssEnd);
    if (record) {
        const rec::Layout &layout = appSession->recorder().layout();
        std::printf("recording (ファイル → 記録開始): %d registers in %d reads every %d ms\n", layout.registers,
                    int(layout.reads.size()), appSession->recorder().intervalMs());
        auto perTick = [](const Mark &from, const Mark &to) {
            const int n = to.ticks - from.ticks;
            return n > 0 ? 1e6 * (to.cpu.total() - from.cpu.total()) / n : 0.0;
        };
        const double alone = perTick(monitorStart, monitorEnd), with = perTick(recordStart, recordEnd);
        const double idlePerTick = 1e6 * idleRate * interval / 1000.0;
        std::printf("monitor alone: %d ticks, CPU %.3f s, %.1f us per tick (net of idle %.1f us)\n",
                    monitorEnd.ticks - monitorStart.ticks, monitorEnd.cpu.total() - monitorStart.cpu.total(), alone,
                    alone - idlePerTick);
        std::printf("monitor + recording: %d ticks, CPU %.3f s, %.1f us per tick (net of idle %.1f us)\n",
                    recordEnd.ticks - recordStart.ticks, recordEnd.cpu.total() - recordStart.cpu.total(), with,
                    with - idlePerTick);
        std::printf("the recording adds %.1f us per tick (%.0f %% of the monitor alone net of idle)\n",
                    with - alone, alone - idlePerTick > 0 ? 100.0 * (with - alone) / (alone - idlePerTick) : 0.0);
        std::printf("start (file made) %.2f ms CPU, stop (file closed) %.2f ms CPU\n",
                    1e3 * (recordStart.cpu.total() - monitorEnd.cpu.total()),
                    1e3 * (recordStopped.cpu.total() - recordEnd.cpu.total()));
        rec::Reader reader;
        QString error;
        int64_t rows = 0, gaps = 0;
        if (reader.open(recordPath, &error)) {
            reader.rows(0, INT64_MAX, [&](int64_t, const uint16_t *regs) {
                ++rows;
                gaps += regs ? 0 : 1;
                return true;
            });
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(error));
        }
        std::printf("recording file: %lld rows (%lld committed at the stop), %lld gap rows, %lld bytes\n",
                    static_cast<long long>(rows), static_cast<long long>(recordRows), static_cast<long long>(gaps),
                    static_cast<long long>(QFileInfo(recordPath).size()));
    }
    if (clicks) {
        std::sort(clickUs.begin(), clickUs.end());
        std::printf("clicks: %lld answered, median %lld us, slowest %lld us after the press\n",
                    qlonglong(clickUs.size()), clickUs.isEmpty() ? -1LL : qlonglong(clickUs[clickUs.size() / 2]),
                    clickUs.isEmpty() ? -1LL : qlonglong(clickUs.last()));
    }
    destroyTestApp();
    if (sim.state() != QProcess::NotRunning) {
        sim.kill();
        sim.waitForFinished(2000);
    }
    return answers >= uint32_t(ticksAtStop) && ticksAtStop > 0 ? 0 : 2;
}
