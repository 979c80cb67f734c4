// Bus recordings: how long a recording of the whole input area takes to
// make and how big it is, and how quickly a recording opens and gives the
// points of a trend over it.
//
//   bench_recording --make 1h|24h PATH
//   bench_recording --measure PATH [--evict] [--runs 5] [--columns 1000]
//   bench_recording --window PATH [--evict] [--runs 5] [--columns 1000]
//
// --make writes a synthetic recording (tests/support/SyntheticRecording.h:
// 512 registers, a connection loss at 01:40 and a fault at 03:12) of 36 000
// or 864 000 rows at 100 ms, starting 2026-03-02 01:00 local time, into
// PATH (which must not exist), and prints the time it took (wall and this
// process's CPU) and the size of the file and its journal (-wal).
//
// --measure opens PATH (rec::Reader::open, which takes in the rows with
// refresh()), then computes the points of 8 channels (a furnace, a room
// temperature, two motor currents one of which faults, a counter, a
// constant register, a voltage and an empty register) over --columns
// columns (rec::Reader::points), for the whole span and for 10 minutes in
// the middle of it: a first run (the database's page cache cold) and then
// --runs more, of which the median is printed, with the summary level
// levelFor chose and the points returned. At the end the resident memory
// with the file open (VmRSS, and the highest, VmHWM, from /proc/self/status).
// --evict first drops the file's pages from the operating system's cache
// (posix_fadvise; only this file's), so that the open and the first run read
// from the disk.
//
// --window does the same through the program's own trend window over a
// recording (the whole program made, offscreen unless QT_QPA_PLATFORM says
// otherwise; ファイル → 記録を開く's App::openRecording), widened so that its
// chart has --columns pixel columns, with the same 8 channels chosen in its
// list: the time to open the window, then each redraw (TfrmTrend::redrawTrend
// and the paint it leaves to the event loop) of the whole span and of 10
// minutes in the middle, the first and then --runs more, each view moved by
// a second from the one before so that every redraw draws the chart anew as
// after a scroll; the resident memory with the window open at the end.
#include "support/SyntheticRecording.h"
#include "support/Controls.h"
#include "support/TestApp.h"
#include "app/MessageBoxes.h"
#include "app/Settings.h"
#include "monitor/Recording.h"
#include "tools/trend/TfrmTrend.h"
#include "tools/trend/TrendChart.h"
#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kIntervalMs = 100;
constexpr int64_t kTenMinutesMs = 600'000;

// One channel of each kind of signal (word address * 8 + channel): a
// furnace, a room temperature, a motor current, the motor that faults, a
// counter, a constant register, a voltage, an empty register.
const QList<int> kChannels{0 * 8 + 0, 5 * 8 + 1, 17 * 8 + 2, synthetic::kFaultTerminal * 8,
                           33 * 8 + 3, 40 * 8 + 0, 46 * 8 + 4, 60 * 8 + 7};

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// VmRSS and VmHWM in KiB.
std::pair<long, long> residentKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    long rss = -1, hwm = -1;
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : f.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                rss = line.mid(6).trimmed().split(' ').value(0).toLong();
            else if (line.startsWith("VmHWM:"))
                hwm = line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return {rss, hwm};
}

int64_t fileBytes(const QString &path)
{
    return QFileInfo(path).size();
}

int option(const QStringList &args, const QString &name, int def)
{
    const int i = int(args.indexOf(name));
    return i >= 0 && i + 1 < args.size() ? args[i + 1].toInt() : def;
}

// Drops the pages of the file from the operating system's cache.
void evict(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY);
    if (fd < 0)
        return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

int make(const QString &span, const QString &path)
{
    int64_t rows = 0;
    if (span == QLatin1String("1h"))
        rows = 36'000;
    else if (span == QLatin1String("24h"))
        rows = 864'000;
    else {
        std::fprintf(stderr, "--make 1h or 24h\n");
        return 1;
    }
    const int64_t start = QDateTime(QDate(2026, 3, 2), QTime(1, 0)).toMSecsSinceEpoch();
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = cpuSeconds();
    QString error;
    if (!writeSyntheticRecording(path, rows, kIntervalMs, start, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    const int64_t file = fileBytes(path);
    const int64_t wal = fileBytes(path + QStringLiteral("-wal"));
    std::printf("made %s: %lld rows at %d ms from %s\n", qPrintable(path), static_cast<long long>(rows),
                kIntervalMs, qPrintable(QDateTime::fromMSecsSinceEpoch(start).toString(Qt::ISODate)));
    std::printf("time %.1f s wall, %.1f s CPU (%.1f us a row)\n", seconds, cpu, 1e6 * seconds / double(rows));
    std::printf("size %lld bytes (%.1f MiB) + -wal %lld bytes = %.1f MiB, %.0f bytes a row\n",
                static_cast<long long>(file), double(file) / 1048576.0, static_cast<long long>(wal),
                double(file + wal) / 1048576.0, double(file + wal) / double(rows));
    return 0;
}

struct Draw {
    double wallMs;
    double cpuMs;
    size_t points;
};

Draw draw(const rec::Reader &reader, const QList<int> &channels, double t0, double t1, int columns)
{
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    const auto lines = reader.points(channels, t0, t1, columns);
    const double ms = double(wall.nsecsElapsed()) / 1e6;
    size_t points = 0;
    for (const auto &line : lines)
        points += line.size();
    return {ms, 1e3 * (cpuSeconds() - cpu0), points};
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2.0;
}

int measure(const QString &path, const QStringList &args)
{
    const int runs = std::max(1, option(args, QStringLiteral("--runs"), 5));
    const int columns = std::max(1, option(args, QStringLiteral("--columns"), 1000));
    if (args.contains(QStringLiteral("--evict"))) {
        evict(path);
        evict(path + QStringLiteral("-wal"));
    }
    const long rssBefore = residentKiB().first;
    rec::Reader reader;
    QString error;
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    if (!reader.open(path, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const double openMs = double(wall.nsecsElapsed()) / 1e6;
    const double openCpuMs = 1e3 * (cpuSeconds() - cpu0);
    const int64_t first = reader.firstTime(), last = reader.lastTime();
    std::printf("%s: %lld rows, %s .. %s, %lld + %lld bytes\n", qPrintable(path),
                static_cast<long long>(reader.rowCount()),
                qPrintable(QDateTime::fromMSecsSinceEpoch(first).toString(Qt::ISODateWithMs)),
                qPrintable(QDateTime::fromMSecsSinceEpoch(last).toString(Qt::ISODateWithMs)),
                static_cast<long long>(fileBytes(path)),
                static_cast<long long>(fileBytes(path + QStringLiteral("-wal"))));
    std::printf("open %.2f ms wall, %.2f ms CPU\n", openMs, openCpuMs);

    const QList<int> &channels = kChannels;
    const double mid = (double(first) + double(last)) / 2.0;
    struct Span {
        const char *name;
        double t0, t1;
    };
    const Span spans[] = {{"whole span", double(first), double(last + 1)},
                          {"10 minutes in the middle", mid - kTenMinutesMs / 2, mid + kTenMinutesMs / 2}};
    for (const Span &s : spans) {
        const int level = reader.levelFor(s.t0, s.t1, columns);
        const Draw cold = draw(reader, channels, s.t0, s.t1, columns);
        std::vector<double> walls, cpus;
        size_t points = cold.points;
        for (int i = 0; i < runs; ++i) {
            const Draw d = draw(reader, channels, s.t0, s.t1, columns);
            walls.push_back(d.wallMs);
            cpus.push_back(d.cpuMs);
            points = d.points;
        }
        std::printf("points, %s (%.0f s), %d channels, %d columns: level %d; first run %.2f ms wall "
                    "(%.2f ms CPU), median of %d after it %.2f ms wall (%.2f ms CPU); %zu points\n",
                    s.name, (s.t1 - s.t0) / 1000.0, int(channels.size()), columns, level, cold.wallMs, cold.cpuMs,
                    runs, median(walls), median(cpus), points);
    }
    const auto [rss, hwm] = residentKiB();
    std::printf("resident memory: VmRSS %ld KiB, VmHWM %ld KiB with the file open after the draws "
                "(VmRSS %ld KiB before the open)\n",
                rss, hwm, rssBefore);
    return 0;
}

int measureWindow(const QString &path, const QStringList &args)
{
    const int runs = std::max(1, option(args, QStringLiteral("--runs"), 5));
    const int wantedColumns = std::max(1, option(args, QStringLiteral("--columns"), 1000));
    if (args.contains(QStringLiteral("--evict"))) {
        evict(path);
        evict(path + QStringLiteral("-wal"));
    }
    QTemporaryDir dir;
    setSettingsFilePathOverride(dir.filePath(QStringLiteral("RMTool.ini")));
    msg::setMessageBoxHook([](const msg::Shown &m) {
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return true;
    });
    createTestApp();
    frmMain->show();
    const long rssBefore = residentKiB().first;

    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    TfrmTrend *w = theApp->openRecording(path);
    if (!w)
        return 1;
    // The redraws come from here alone, not from the window's timer.
    controls::find<QTimer>(w, "TimerTrend")->stop();
    if (!QTest::qWaitForWindowExposed(w)) {
        std::fprintf(stderr, "the trend window was not shown\n");
        return 1;
    }
    controls::find<QTimer>(w, "TimerTrend")->stop();
    const double openMs = double(wall.nsecsElapsed()) / 1e6;
    const double openCpuMs = 1e3 * (cpuSeconds() - cpu0);

    auto *chart = controls::find<trend::TrendChart>(w, "TrendChart");
    for (int i = 0; i < 3 && chart->width() != wantedColumns; ++i) {
        w->resize(w->width() + wantedColumns - chart->width(), w->height());
        QCoreApplication::processEvents();
    }
    auto *list = controls::find<QListWidget>(w, "lstTrendChannels");
    for (int c = 0; c < list->count(); ++c)
        list->item(c)->setCheckState(kChannels.contains(c) ? Qt::Checked : Qt::Unchecked);
    controls::find<QTimer>(w, "TimerTrend")->stop();
    QCoreApplication::processEvents();
    const int columns = chart->width();
    const rec::Reader &reader = *w->recording();
    const int64_t first = reader.firstTime(), last = reader.lastTime();
    std::printf("%s in the trend window: %lld rows; window opened and shown in %.1f ms (%.1f ms CPU); "
                "chart %d x %d\n",
                qPrintable(path), static_cast<long long>(reader.rowCount()), openMs, openCpuMs, columns,
                chart->height());

    // A redraw of [t0, t1) as after the user moved the view there.
    auto redraw = [&](double t0, double t1) {
        chart->setTimeRange(t0, t1);
        emit chart->userChangedTimeRange(t0, t1);
        QElapsedTimer clock;
        const double c0 = cpuSeconds();
        clock.start();
        w->redrawTrend();
        QCoreApplication::processEvents();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        size_t points = 0;
        for (const int c : kChannels)
            points += chart->points(w->recordingSeries(c)).size();
        return Draw{ms, 1e3 * (cpuSeconds() - c0), points};
    };
    const double mid = (double(first) + double(last)) / 2.0;
    struct Span {
        const char *name;
        double t0, t1;
    };
    const Span spans[] = {{"whole span", double(first), double(last + 1)},
                          {"10 minutes in the middle", mid - kTenMinutesMs / 2, mid + kTenMinutesMs / 2}};
    for (const Span &s : spans) {
        const Draw cold = redraw(s.t0, s.t1);
        std::vector<double> walls, cpus;
        size_t points = cold.points;
        for (int i = 1; i <= runs; ++i) {
            const Draw d = redraw(s.t0 - 1000.0 * i, s.t1 - 1000.0 * i);
            walls.push_back(d.wallMs);
            cpus.push_back(d.cpuMs);
            points = d.points;
        }
        std::printf("redraw, %s (%.0f s), %d channels, %d columns: level %d; first %.2f ms wall (%.2f ms CPU), "
                    "median of %d after it %.2f ms wall (%.2f ms CPU); %zu points\n",
                    s.name, (s.t1 - s.t0) / 1000.0, int(kChannels.size()), columns,
                    reader.levelFor(s.t0, s.t1, columns), cold.wallMs, cold.cpuMs, runs, median(walls),
                    median(cpus), points);
    }
    const auto [rss, hwm] = residentKiB();
    std::printf("resident memory: VmRSS %ld KiB, VmHWM %ld KiB with the window open after the redraws "
                "(VmRSS %ld KiB with the main window alone)\n",
                rss, hwm, rssBefore);
    destroyTestApp();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    bool window = false;
    for (int i = 1; i < argc; ++i)
        window = window || QByteArray(argv[i]) == "--window";
    if (window && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (window)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int windowAt = int(args.indexOf(QStringLiteral("--window")));
    if (windowAt > 0 && windowAt + 1 < args.size())
        return measureWindow(args[windowAt + 1], args);
    const int makeAt = int(args.indexOf(QStringLiteral("--make")));
    const int measureAt = int(args.indexOf(QStringLiteral("--measure")));
    if (makeAt > 0 && makeAt + 2 < args.size())
        return make(args[makeAt + 1], args[makeAt + 2]);
    if (measureAt > 0 && measureAt + 1 < args.size())
        return measure(args[measureAt + 1], args);
    std::fprintf(stderr, "usage: bench_recording --make 1h|24h PATH\n"
                         "       bench_recording --measure PATH [--evict] [--runs 5] [--columns 1000]\n"
                         "       bench_recording --window PATH [--evict] [--runs 5] [--columns 1000]\n");
    return 1;
}
