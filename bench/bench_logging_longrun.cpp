// Long run of the CSV logging: the real main window, offscreen, monitors a
// relaymo-sim process at 100 ms (or --interval ms) with logging on and an
// auto-save every 100 answers (or --save-every n), for ten minutes (or the
// seconds given as the first argument). --trend opens the trend window as
// well, as `RMTool --trend` does; --diag opens the communication statistics
// and the traffic windows from their menu items. At the end it checks that the saved files
// and the log area hold exactly one row per answer received (the
// simulator's trace counts the polls), none lost or doubled, and prints the
// program's resident memory over the run.
//
//   QT_QPA_PLATFORM=offscreen build/bench_logging_longrun [seconds [csv-folder]]
//       [--interval ms] [--save-every n] [--trend] [--diag]
//
// The CSV files go to a temporary folder, removed at the end, unless a
// folder to keep them is given.
// Exit code 0 when every check holds.
#include "support/ResidentMemory.h"
#include "support/TestApp.h"
#include "app/MessageBoxes.h"
#include "app/Settings.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "tools/trend/TfrmTrend.h"
#include "diag/TfrmCommStats.h"
#include "diag/TfrmTraffic.h"
#include "monitor/CsvLog.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "tests/support/Controls.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

int fail(const char *what)
{
    std::printf("FAILED: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int seconds = 600;
    int intervalMs = 100;
    int saveEvery = 100;
    bool trend = false;
    bool diag = false;
    QString keepFolder;
    {
        QStringList plain;
        const QStringList args = app.arguments().mid(1);
        for (int i = 0; i < args.size(); ++i) {
            if (args[i] == QLatin1String("--interval") && i + 1 < args.size())
                intervalMs = args[++i].toInt();
            else if (args[i] == QLatin1String("--save-every") && i + 1 < args.size())
                saveEvery = args[++i].toInt();
            else if (args[i] == QLatin1String("--trend"))
                trend = true;
            else if (args[i] == QLatin1String("--diag"))
                diag = true;
            else
                plain << args[i];
        }
        if (!plain.isEmpty())
            seconds = plain[0].toInt();
        if (plain.size() > 1)
            keepFolder = plain[1];
        if (seconds <= 0 || intervalMs <= 0 || saveEvery <= 0)
            return fail("usage: bench_logging_longrun [seconds [csv-folder]] [--interval ms] [--save-every n] [--trend] [--diag]");
    }
    QTemporaryDir dir;
    setSettingsFilePathOverride(dir.filePath(QStringLiteral("RMTool.ini")));
    QStringList boxes;
    msg::setMessageBoxHook([&boxes](const msg::Shown &m) {
        boxes << m.text;
        return true;
    });

    // The simulator as its own process, tracing every request.
    QProcess sim;
    quint16 port = 0;
    int polls = 0;  // tag-0 reads the simulator received
    QByteArray pending;
    QObject::connect(&sim, &QProcess::readyReadStandardOutput, [&] {
        pending += sim.readAllStandardOutput();
        qsizetype nl;
        while ((nl = pending.indexOf('\n')) >= 0) {
            const QByteArray line = pending.left(nl);
            pending.remove(0, nl + 1);
            if (line.startsWith("relaymo-sim listening on 127.0.0.1:"))
                port = quint16(line.mid(line.lastIndexOf(':') + 1).trimmed().toUInt());
            else if (line.startsWith("REQ tag=0 fn=4 "))
                ++polls;
        }
    });
    sim.start(QCoreApplication::applicationDirPath() + QStringLiteral("/relaymo-sim"),
              {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--trace")});
    if (!waitFor([&] { return port != 0; }, 10000))
        return fail("simulator did not start");

    createTestApp();
    frmMain->show();
    appSession->settings().modbusHost = QStringLiteral("127.0.0.1");
    appSession->link().setHost(QStringLiteral("127.0.0.1"));
    appSession->link().setPort(port);
    frmConnect->btnCONNClick();
    if (!waitFor([] { return appSession->isConnected(); }, 5000))
        return fail("no connection");

    const QString folder = (!keepFolder.isEmpty() ? QDir(keepFolder).absolutePath()
                                                   : dir.filePath(QStringLiteral("csv"))) + u'/';
    QDir().mkpath(folder);
    appSession->settings().logDir = folder;
    appSession->settings().logHeaderMode = 1;  // the count column numbers every row
    controls::find<QCheckBox>(frmGWcfg, "ChkAutoSave")->setChecked(true);
    controls::find<QLineEdit>(frmGWcfg, "EdSaveInt")->setText(QString::number(saveEvery));
    controls::find<QLineEdit>(frmGWcfg, "EdLogSaveFN")->setText(QStringLiteral("RUN"));
    controls::find<QLineEdit>(frmMain, "Interval")->setText(QString::number(intervalMs));
    if (trend) {
        triggerMenu("actTrend");
        if (!waitFor([] { return frmTrend->isVisible(); }, 5000))
            return fail("the trend window did not open");
    }
    if (diag) {
        for (const char *item : {"actCommStats", "actTraffic"})
            frmMain->findChild<QAction *>(QLatin1String(item))->trigger();
        if (!waitFor([] { return frmCommStats->isVisible() && frmTraffic->isVisible(); }, 5000))
            return fail("the diagnostics windows did not open");
    }
    controls::find<QToolButton>(frmMain, "sbtnLogStart")->click();
    controls::find<QToolButton>(frmMain, "sbtnMonitor")->click();
    if (!appSession->isMonitoring())
        return fail("monitoring did not start");

    std::printf("port %u, %d s, poll every %d ms, save every %d answers, trend window %s, diagnostics %s, folder %s\n",
                port, seconds, intervalMs, saveEvery, trend ? "open" : "closed", diag ? "open" : "closed",
                qPrintable(folder));
    std::printf("%6s %8s %6s %10s %10s\n", "s", "answers", "files", "RSS KiB", "log lines");
    QList<long> rss;
    QElapsedTimer run;
    run.start();
    for (int s = 0;; s = std::min(s + 30, seconds)) {
        // One timer per step, so the bench itself does not wake every tick.
        if (const qint64 left = qint64(s) * 1000 - run.elapsed(); left > 0) {
            QEventLoop loop;
            QTimer::singleShot(int(left), &loop, &QEventLoop::quit);
            loop.exec();
        }
        rss << residentKiB();
        std::printf("%6d %8u %6d %10ld %10d\n", s, appSession->monitorCount(), appSession->logFileNumber() - 1,
                    rss.last(), controls::find<QPlainTextEdit>(frmMain, "Memo2")->blockCount());
        std::fflush(stdout);
        if (s == seconds)
            break;
    }

    // Stop and let the answers still on the way arrive.
    controls::find<QToolButton>(frmMain, "sbtnMonitor")->click();
    waitFor([&] { return int(appSession->monitorCount()) == polls; }, 10000);
    const int answers = int(appSession->monitorCount());

    QStringList rows;
    int files = 0;
    for (int n = 1; n < appSession->logFileNumber(); ++n) {
        QFile f(CsvFileName(folder, QStringLiteral("RUN"), n, 4));
        if (!f.open(QIODevice::ReadOnly))
            return fail("a numbered file is missing");
        QStringList lines = QString::fromLocal8Bit(f.readAll()).split(QStringLiteral("\r\n"));
        if (lines.takeLast() != QString() || lines.value(0) != CsvHeaderRow(1, 30321, 32) || lines.size() != saveEvery + 1)
            return fail("a file is not a header row and the auto-save count of rows");
        rows << lines.mid(1);
        ++files;
    }
    rows << LogTextLines(controls::find<QPlainTextEdit>(frmMain, "Memo2")->toPlainText());
    int gaps = 0;
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i].section(u',', 0, 0) != QString::number(i))
            ++gaps;
    const long warm = rss.size() > 2 ? rss[2] : rss.first();  // after the first minute
    std::printf("polls received by the simulator %d, answers handled %d, LogCount %u\n", polls, answers,
                appSession->logCount());
    std::printf("files %d, rows in files and log area %lld, rows out of sequence %d, message boxes %lld\n",
                files, qint64(rows.size()), gaps, qint64(boxes.size()));
    std::printf("RSS at 1 min %ld KiB, at the end %ld KiB, change %+ld KiB\n", warm, rss.last(),
                rss.last() - warm);

    int rc = 0;
    if (answers != polls || rows.size() != answers || int(appSession->logCount()) != answers || gaps != 0)
        rc = fail("rows and answers differ");
    for (const QString &b : boxes)
        std::printf("message box: %s\n", qPrintable(b));
    if (!boxes.isEmpty())
        rc = fail("message boxes were raised");
    destroyTestApp();
    sim.kill();
    sim.waitForFinished();
    return rc;
}
