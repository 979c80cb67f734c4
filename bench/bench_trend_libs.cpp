// The two chart libraries on the trend's work, side by side in one run:
// 32 channels, one hour of answers at 100 ms (36 000 rows) in the trend's
// ring, and a redraw as the trend window does it ten times a second: one
// new row, min/max decimation of every channel to the plot's pixel columns,
// the points handed to the library, the chart rendered (offscreen).
//
//   bench_trend_libs [--redraws 200] [--width 1000] [--height 560] [--lib charts|qcp]
//
// Prints per library and span (the whole hour, and the last minute) the CPU
// time per redraw (user + system, getrusage) and the resident memory the
// chart added (VmRSS after the redraws minus before the chart was made).
// A library whose development package is missing is reported as skipped.
// --lib runs only one of them (for a memory figure of its own: the first
// chart made in a process also pays for the fonts and the style).
#include "monitor/TrendData.h"
#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <sys/resource.h>
#ifdef HAVE_QTCHARTS
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#endif
#ifdef HAVE_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

namespace {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
           + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long rssKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

int option(const QStringList &args, const QString &name, int def)
{
    const int i = int(args.indexOf(name));
    return i >= 0 && i + 1 < args.size() ? args[i + 1].toInt() : def;
}

// A sample like a slowly drifting process value with noise, per channel.
monitor::TrendSample sampleAt(int row)
{
    monitor::TrendSample s;
    for (int c = 0; c < monitor::kTrendChannels; ++c)
        s.values[size_t(c)] = 100.0 * c + 40.0 * std::sin(row / (300.0 + 10 * c))
                              + double((row * 7919 + c * 104729) % 97) / 10.0;
    s.mask = 0xFFFFFFFFu;
    return s;
}

using Series = std::vector<std::vector<monitor::TrendPoint>>;

// What the trend does before the library gets its points.
Series decimate(const monitor::TrendData &data, double t0, double t1, int columns)
{
    Series out(monitor::kTrendChannels);
    const int first = data.lowerBound(int64_t(t0));
    for (int c = 0; c < monitor::kTrendChannels; ++c)
        out[size_t(c)] = monitor::decimateMinMax(
            first, data.size(), [&](int i) { return data.time(i); },
            [&](int i) { return data.value(c, i); }, t0, t1, columns);
    return out;
}

// One library: make the chart, then redraw it with the given points.
struct Lib {
    const char *name;
    std::function<QWidget *()> make;
    std::function<void(const Series &, double t0, double t1)> draw;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int redraws = option(args, QStringLiteral("--redraws"), 200);
    const int width = option(args, QStringLiteral("--width"), 1000);
    const int height = option(args, QStringLiteral("--height"), 560);

    monitor::TrendData data;
    const int64_t start = 1'700'000'000'000;
    int row = 0;
    for (; row < monitor::TrendData::kCapacity; ++row)
        data.append(start + 100 * row, sampleAt(row));
    std::printf("ring: %d rows x %d channels\n", data.size(), monitor::kTrendChannels);

    std::vector<Lib> libs;
#ifdef HAVE_QTCHARTS
    {
        auto chart = std::make_shared<QChart *>(nullptr);
        auto series = std::make_shared<std::vector<QLineSeries *>>();
        auto ax = std::make_shared<QDateTimeAxis *>(nullptr);
        auto ay = std::make_shared<QValueAxis *>(nullptr);
        libs.push_back({"Qt Charts",
                        [=]() -> QWidget * {
                            *chart = new QChart;
                            *ax = new QDateTimeAxis;
                            (*ax)->setFormat(QStringLiteral("HH:mm:ss"));
                            *ay = new QValueAxis;
                            (*chart)->addAxis(*ax, Qt::AlignBottom);
                            (*chart)->addAxis(*ay, Qt::AlignLeft);
                            (*chart)->legend()->hide();
                            for (int c = 0; c < monitor::kTrendChannels; ++c) {
                                auto *s = new QLineSeries;
                                (*chart)->addSeries(s);
                                s->attachAxis(*ax);
                                s->attachAxis(*ay);
                                series->push_back(s);
                            }
                            auto *view = new QChartView(*chart);
                            return view;
                        },
                        [=](const Series &pts, double t0, double t1) {
                            double lo = 1e300, hi = -1e300;
                            for (size_t c = 0; c < pts.size(); ++c) {
                                QList<QPointF> list;
                                list.reserve(qsizetype(pts[c].size()));
                                for (const auto &p : pts[c]) {
                                    if (std::isnan(p.y))
                                        continue;  // Qt Charts draws no gaps
                                    list.append(QPointF(p.x, p.y));
                                    lo = std::min(lo, p.y);
                                    hi = std::max(hi, p.y);
                                }
                                (*series)[c]->replace(list);
                            }
                            (*ax)->setRange(QDateTime::fromMSecsSinceEpoch(int64_t(t0)),
                                            QDateTime::fromMSecsSinceEpoch(int64_t(t1)));
                            (*ay)->setRange(lo, hi);
                        }});
    }
#else
    std::printf("Qt Charts: skipped (qt6-charts-dev not installed)\n");
#endif
#ifdef HAVE_QCUSTOMPLOT
    {
        auto plot = std::make_shared<QCustomPlot *>(nullptr);
        libs.push_back({"QCustomPlot",
                        [=]() -> QWidget * {
                            *plot = new QCustomPlot;
                            auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
                            ticker->setDateTimeFormat(QStringLiteral("HH:mm:ss"));
                            (*plot)->xAxis->setTicker(ticker);
                            for (int c = 0; c < monitor::kTrendChannels; ++c)
                                (*plot)->addGraph();
                            return *plot;
                        },
                        [=](const Series &pts, double t0, double t1) {
                            double lo = 1e300, hi = -1e300;
                            for (size_t c = 0; c < pts.size(); ++c) {
                                QVector<QCPGraphData> d;
                                d.reserve(qsizetype(pts[c].size()));
                                for (const auto &p : pts[c]) {
                                    d.append(QCPGraphData(p.x / 1000.0, p.y));
                                    if (!std::isnan(p.y)) {
                                        lo = std::min(lo, p.y);
                                        hi = std::max(hi, p.y);
                                    }
                                }
                                (*plot)->graph(int(c))->data()->set(d, true);
                            }
                            (*plot)->xAxis->setRange(t0 / 1000.0, t1 / 1000.0);
                            (*plot)->yAxis->setRange(lo, hi);
                            (*plot)->replot(QCustomPlot::rpImmediateRefresh);
                        }});
    }
#else
    std::printf("QCustomPlot: skipped (libqcustomplot-dev not installed)\n");
#endif

    const int only = int(args.indexOf(QStringLiteral("--lib")));
    const QString onlyLib = only >= 0 && only + 1 < args.size() ? args[only + 1] : QString();
    for (const Lib &lib : libs) {
        if (!onlyLib.isEmpty()
            && (onlyLib == QStringLiteral("qcp")) != (QByteArray(lib.name) == "QCustomPlot"))
            continue;
        const long rss0 = rssKiB();
        std::unique_ptr<QWidget> w(lib.make());
        w->resize(width, height);
        w->show();
        QCoreApplication::processEvents();
        for (const auto &[spanName, spanMs] :
             {std::pair{"1 hour", 3'600'000.0}, std::pair{"1 minute", 60'000.0}}) {
            double decimateCpu = 0;
            const double cpu0 = cpuSeconds();
            size_t points = 0;
            for (int i = 0; i < redraws; ++i) {
                data.append(start + 100 * row, sampleAt(row));
                ++row;
                const double t1 = double(data.time(data.size() - 1)) + 1;
                const double t0 = t1 - spanMs;
                const double d0 = cpuSeconds();
                const Series pts = decimate(data, t0, t1, width);
                decimateCpu += cpuSeconds() - d0;
                for (const auto &s : pts)
                    points += s.size();
                lib.draw(pts, t0, t1);
                const QPixmap shot = w->grab();  // the paint the screen would get
                (void)shot;
            }
            const double cpu = cpuSeconds() - cpu0;
            std::printf("%-12s %-9s %8.2f ms CPU per redraw (decimation %.2f ms), %zu points per redraw, "
                        "%.0f %% of a core at 10 Hz\n",
                        lib.name, spanName, 1e3 * cpu / redraws, 1e3 * decimateCpu / redraws,
                        points / size_t(redraws), 100.0 * 10 * cpu / redraws);
        }
        std::printf("%-12s memory added by the chart: %ld KiB\n", lib.name, rssKiB() - rss0);
    }
    return 0;
}
