// Bus recordings: how long a recording of the whole input area takes to
// make and how big it is, and how quickly a recording opens and gives the
// points of a trend over it.
//
//   bench_recording --make 1h|24h PATH
//   bench_recording --measure PATH [--evict] [--runs 5] [--columns 1000]
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
#include "support/SyntheticRecording.h"
#include "monitor/Recording.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kIntervalMs = 100;
constexpr int64_t kTenMinutesMs = 600'000;

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

    // One channel of each kind of signal (word address * 8 + channel).
    const QList<int> channels{0 * 8 + 0, 5 * 8 + 1, 17 * 8 + 2, synthetic::kFaultTerminal * 8,
                              33 * 8 + 3, 40 * 8 + 0, 46 * 8 + 4, 60 * 8 + 7};
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int makeAt = int(args.indexOf(QStringLiteral("--make")));
    const int measureAt = int(args.indexOf(QStringLiteral("--measure")));
    if (makeAt > 0 && makeAt + 2 < args.size())
        return make(args[makeAt + 1], args[makeAt + 2]);
    if (measureAt > 0 && measureAt + 1 < args.size())
        return measure(args[measureAt + 1], args);
    std::fprintf(stderr, "usage: bench_recording --make 1h|24h PATH\n"
                         "       bench_recording --measure PATH [--evict] [--runs 5] [--columns 1000]\n");
    return 1;
}
