// Automatic reconnection driven by hand: what it opens and when, and what
// stops it. Delays are shortened to attempt × 20 ms; the order and the
// attempt numbers are what is checked, never how long anything took.
#include "diag/AutoReconnect.h"
#include <QSignalSpy>
#include <QTest>

namespace {

// The open function stands for the link, which reports every open as it
// is asked for it (openRequested), its own attempts included.
struct Rig {
    int opens = 0;
    AutoReconnect r{[this] {
                        ++opens;
                        r.openRequested();
                    },
                    nullptr, [](int attempt) { return int64_t(attempt) * 20; }};
    QSignalSpy scheduled{&r, &AutoReconnect::attemptScheduled};
    QSignalSpy started{&r, &AutoReconnect::attemptStarted};
    QSignalSpy back{&r, &AutoReconnect::reconnected};
    QSignalSpy stopped{&r, &AutoReconnect::stopped};
    Rig(bool enabled = true) { r.setEnabled(enabled); }
};

} // namespace

class TestAutoReconnect : public QObject {
    Q_OBJECT
private slots:
    void offDoesNothing();
    void attemptsUntilBack();
    void userDisconnectIsNoDrop();
    void userStopsWhilePending_data();
    void userStopsWhilePending();
    void hangingAttemptIsGivenUp();
};

void TestAutoReconnect::offDoesNothing()
{
    Rig rig(false);
    rig.r.connectionDown();
    QTest::qWait(100);
    QCOMPARE(rig.opens, 0);
    QCOMPARE(rig.scheduled.size(), 0);
    QVERIFY(!rig.r.isPending());
}

void TestAutoReconnect::attemptsUntilBack()
{
    Rig rig;
    rig.r.connectionDown();
    QVERIFY(rig.r.isPending());
    QCOMPARE(rig.scheduled.size(), 1);
    QCOMPARE(rig.scheduled[0], (QVariantList{1, qint64(20)}));
    // Two attempts fail, the third connects.
    for (int n = 1; n <= 3; ++n) {
        QVERIFY(rig.started.size() == n || rig.started.wait(2000));
        QCOMPARE(rig.started.last().first().toInt(), n);
        QCOMPARE(rig.opens, n);
        if (n < 3) {
            rig.r.connectError();
            QCOMPARE(rig.scheduled.size(), n + 1);
            QCOMPARE(rig.scheduled.last(), (QVariantList{n + 1, qint64(20 * (n + 1))}));
        }
    }
    rig.r.connectionUp();
    QCOMPARE(rig.back.size(), 1);
    QCOMPARE(rig.back[0].first().toInt(), 3);
    QVERIFY(!rig.r.isPending());
    QTest::qWait(150);
    QCOMPARE(rig.opens, 3);  // nothing more once it is back
    QCOMPARE(rig.stopped.size(), 0);
    // A later drop starts again from the first delay.
    rig.r.connectionDown();
    QCOMPARE(rig.scheduled.last(), (QVariantList{1, qint64(20)}));
}

void TestAutoReconnect::userDisconnectIsNoDrop()
{
    Rig rig;
    rig.r.closeRequested();
    rig.r.connectionDown();
    QTest::qWait(100);
    QCOMPARE(rig.opens, 0);
    QCOMPARE(rig.scheduled.size(), 0);
    // After the user connects again a drop is a drop again.
    rig.r.openRequested();
    rig.r.connectionUp();
    rig.r.connectionDown();
    QVERIFY(rig.started.wait(2000));
    QCOMPARE(rig.opens, 1);
}

void TestAutoReconnect::userStopsWhilePending_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("切断") << 0;
    QTest::newRow("the user connects himself") << 1;
    QTest::newRow("option switched off") << 2;
}

void TestAutoReconnect::userStopsWhilePending()
{
    QFETCH(int, how);
    Rig rig;
    rig.r.connectionDown();
    QVERIFY(rig.started.wait(2000));
    rig.r.connectError();  // waiting for attempt 2
    if (how == 0)
        rig.r.closeRequested();
    else if (how == 1)
        rig.r.openRequested();
    else
        rig.r.setEnabled(false);
    QCOMPARE(rig.stopped.size(), 1);
    QVERIFY(!rig.r.isPending());
    QTest::qWait(200);
    QCOMPARE(rig.opens, 1);
    QCOMPARE(rig.started.size(), 1);
    // A connection that comes up now is no reconnection of ours.
    rig.r.connectionUp();
    QCOMPARE(rig.back.size(), 0);
}

void TestAutoReconnect::hangingAttemptIsGivenUp()
{
    Rig rig;
    rig.r.setAttemptLimit(50);
    rig.r.connectionDown();
    // Neither connected nor refused: after the limit the next is scheduled.
    QVERIFY(rig.started.wait(2000));
    QVERIFY(rig.started.wait(2000));
    QCOMPARE(rig.started.last().first().toInt(), 2);
    QCOMPARE(rig.opens, 2);
}

QTEST_GUILESS_MAIN(TestAutoReconnect)
#include "test_auto_reconnect.moc"
