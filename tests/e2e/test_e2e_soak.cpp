// The fault soak, short: a few seconds of the whole program against each
// impairment of the simulator (tests/support/FaultSoak.h says what is
// checked). bench/bench_fault_soak runs the same for ten minutes each.
#include "support/FaultSoak.h"
#include <QTest>

class TestE2eSoak : public QObject {
    Q_OBJECT
private slots:
    void soak_data();
    void soak();
};

void TestE2eSoak::soak_data()
{
    QTest::addColumn<int>("index");
    const auto all = soak::impairments();
    for (int i = 0; i < all.size(); ++i)
        QTest::newRow(all[i].name) << i;
}

void TestE2eSoak::soak()
{
    QFETCH(int, index);
    const soak::Impairment imp = soak::impairments()[index];
    AppFixture fx(true, imp.options);
    soak::FaultSoak run(fx, imp);
    const soak::Figures f = run.run(imp.restartCommands ? 9 : 6);
    QVERIFY2(f.faults.isEmpty(), qPrintable(f.faults.join(u'\n')));
    QCOMPARE(f.rowsLost, 0);
    QCOMPARE(f.rowsWrong, 0);
    QCOMPARE(f.rowsFound, f.rowsLogged);
    // The soak did what it is for: rows logged, every dialog ran.
    QVERIFY(f.rowsLogged > 0);
    QVERIFY(f.modInfoRuns > 0 && f.counterReads > 0 && f.termsetReads > 0);
    const QString name = QLatin1String(imp.name);
    if (name == QLatin1String("drop-after"))
        QVERIFY2(f.drops >= 1 && f.lostConnections == f.drops && f.sessions == f.drops + 1,
                 qPrintable(QString::number(f.drops)));
    if (name == QLatin1String("silent-after"))
        QVERIFY(f.userReconnects >= 1);
    if (name == QLatin1String("garbage-every"))
        QVERIFY(f.garbage > 0);
    if (name == QLatin1String("exception-every"))
        QVERIFY(f.exceptions > 0);
    if (name == QLatin1String("restart-on-command"))
        QVERIFY(f.restarts >= 1 && f.sessions >= 2);
    // Where every answer arrives whole, the dialogs got theirs: each wait
    // ends on the answer to its own read, so every module-information run
    // completes, however the monitor's answers interleave with it.
    if (name == QLatin1String("wrong-unit") || name == QLatin1String("jitter")) {
        QCOMPARE(f.modInfoComplete, f.modInfoRuns);
        QVERIFY(f.counterShown > 0);
        QVERIFY(f.termsetRead > 0);
    }
    qInfo("%s: requests %lld, answers %lld, rows %lld, sessions %d, module info %d/%d, counters %d/%d, "
          "settings %d/%d, boxes %d",
          imp.name, f.requests, f.answers, f.rowsLogged, f.sessions, f.modInfoComplete, f.modInfoRuns,
          f.counterShown, f.counterReads, f.termsetRead, f.termsetReads, f.messageBoxes);
}

QTEST_MAIN(TestE2eSoak)
#include "test_e2e_soak.moc"
