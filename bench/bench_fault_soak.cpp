// Long run of the fault soak (tests/support/FaultSoak.h): the whole program,
// offscreen, against an in-process simulator with one impairment, for ten
// minutes (or the seconds given), monitoring at 100 ms with logging and
// auto-save while the module information, the counter read-back and a
// terminal-settings read run in turn. Prints the figures and every fault.
//
//   QT_QPA_PLATFORM=offscreen build/bench_fault_soak --impairment NAME [--seconds 600]
//
// NAME is one of drop-after, silent-after, garbage-every, wrong-unit, jitter,
// exception-every, restart-on-command. Exit code 0 when no fault was found.
#include "support/FaultSoak.h"
#include <QApplication>
#include <QCommandLineParser>
#include <QMap>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser p;
    p.addHelpOption();
    QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("Length of the run."), QStringLiteral("s"),
                               QStringLiteral("600"));
    QCommandLineOption which(QStringLiteral("impairment"), QStringLiteral("The simulator impairment."),
                             QStringLiteral("name"));
    p.addOptions({seconds, which});
    p.process(app);
    const auto all = soak::impairments();
    const auto it = std::find_if(all.begin(), all.end(),
                                 [&](const soak::Impairment &i) { return p.value(which) == QLatin1String(i.name); });
    if (it == all.end()) {
        std::fprintf(stderr, "bench_fault_soak: --impairment is one of:");
        for (const auto &i : all)
            std::fprintf(stderr, " %s", i.name);
        std::fprintf(stderr, "\n");
        return 2;
    }
    soak::Figures f;
    {
        AppFixture fx(true, it->options);
        soak::FaultSoak run(fx, *it);
        f = run.run(p.value(seconds).toInt());
        std::printf("impairment %s, %d s, simulator seed %u\n", it->name, p.value(seconds).toInt(),
                    fx.gateway()->seed());
        // The in-process simulator keeps every request and answer for the
        // checks; that memory is in the resident figure too.
        qint64 kept = 0;
        for (const SimAnswer &a : fx.gateway()->answers())
            kept += qint64(sizeof(SimAnswer)) + a.bytes.capacity();
        kept += fx.gateway()->requests().size() * qint64(sizeof(SimRequest));
        std::printf("simulator records held for the checks: about %lld KiB\n", kept / 1024);
        // Message boxes by text (the tool's own reports of the faults).
        QMap<QString, int> boxes;
        for (const msg::Shown &m : fx.messages)
            ++boxes[m.text];
        for (auto b = boxes.cbegin(); b != boxes.cend(); ++b)
            std::printf("message box %d x %s\n", b.value(), qPrintable(b.key()));
    }
    std::printf("requests %lld, answers %lld (garbage %lld, exceptions %lld)\n", f.requests, f.answers, f.garbage,
                f.exceptions);
    std::printf("monitor answers handled %lld, rows logged %lld, rows found %lld, lost %lld, wrong %lld, files %lld\n",
                f.monitorAnswers, f.rowsLogged, f.rowsFound, f.rowsLost, f.rowsWrong, f.files);
    std::printf("sessions %d, connections lost %d (simulator drops %d, restarts %d), user reconnects %d\n",
                f.sessions, f.lostConnections, f.drops, f.restarts, f.userReconnects);
    std::printf("module information %d complete of %d, counter read-back %d shown of %d, "
                "terminal settings %d read, %d failed of %d\n",
                f.modInfoComplete, f.modInfoRuns, f.counterShown, f.counterReads, f.termsetRead, f.termsetFailed,
                f.termsetReads);
    std::printf("message boxes %d, resident memory %ld KiB at start, %ld KiB after 60 s, %ld KiB at end\n",
                f.messageBoxes, f.rssStartKiB, f.rssMinuteKiB, f.rssEndKiB);
    std::printf("faults %lld\n", qint64(f.faults.size()));
    for (const QString &fault : f.faults)
        std::printf("  %s\n", qPrintable(fault));
    return f.faults.isEmpty() && f.rowsLost == 0 ? 0 : 1;
}
