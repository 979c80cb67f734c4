// The simulated terminals' settings mode, driven directly (no network):
// what they present, how current terminals cycle their groups, and when
// item commands show.
#include "sim/SimGateway.h"
#include "sim/SimTerminalSettings.h"
#include <QTest>

namespace {

constexpr auto Holding = QModbusDataUnit::HoldingRegisters;

struct Sim {
    SimGateway gw;
    SimTerminalSettings *t;
    Sim()
    {
        gw.addBehaviour(std::make_unique<SimTerminalSettings>());
        t = gw.behaviour<SimTerminalSettings>();
    }
    void command(int address, int value) { t->onWrite(gw, Holding, 1056 + address, quint16(value)); }
    int block(int address, int reg) { return gw.inputRegister(320 + 8 * address + reg); }
};

} // namespace

class TestTermsetSim : public QObject {
    Q_OBJECT
private slots:
    void currentTerminalCyclesItsGroups();
    void power28UnitsAndSecondCommandWord();
    void itemCommandsShowAfterReentry();
    void silentTerminalIgnoresCommands();
};

void TestTermsetSim::currentTerminalCyclesItsGroups()
{
    Sim s;
    s.gw.setInputRegister(320 + 8 * 24 + 5, 0x1234);  // live data before
    s.command(24, 1);
    QList<int> groups;
    for (int tick = 0; tick < 5; ++tick) {
        groups << ((s.block(24, 1) >> 9) & 3);
        QCOMPARE(s.block(24, 0), 1);
        s.gw.setInputRegister(320 + 8 * 24 + 5, 0x1234);  // live data of the next tick
        s.gw.tickNow();
        QCOMPARE(s.block(24, 5) >> 13, 5);  // overwritten by the settings word
    }
    QCOMPARE(groups, (QList<int>{0, 1, 2, 0, 1}));
    // Now group 2: circuit 8 in register 1, laid out like its item command.
    QCOMPARE(s.block(24, 1), 0x2400 | 8);
    s.gw.tickNow();
    s.gw.tickNow();  // group 1
    QCOMPARE(s.block(24, 5), 0xA200 | 5);
    QCOMPARE(s.block(24, 7), 0xE200 | 7);
    s.command(24, 0);
    QVERIFY(!s.t->inSettingsMode(24));
    s.gw.tickNow();
    QCOMPARE(s.block(24, 1), 0);  // no longer presented
}

void TestTermsetSim::power28UnitsAndSecondCommandWord()
{
    Sim s;
    // Unit 2 of the 28-circuit terminal at 52: address 56, ranges 15 to 21.
    const QList<int> ranges = s.t->terminalAt(52)->ranges;
    s.command(57, 0xE003);  // ignored: not in settings mode
    s.command(56, 1);
    QCOMPARE(s.block(56, 3), 13);
    for (int r = 1; r <= 7; ++r)
        QCOMPARE(s.block(57, r), ranges[14 + r - 1]);
    s.command(57, 0xE003);  // circuit 21
    s.command(56, 0x2002);  // frequency, shared by the whole terminal
    QCOMPARE(s.t->terminalAt(52)->ranges[20], 3);
    QCOMPARE(s.t->terminalAt(52)->ranges[6], ranges[6]);
    QCOMPARE(s.t->terminalAt(52)->frequency, 2);
    QVERIFY(!s.t->inSettingsMode(52));
}

void TestTermsetSim::itemCommandsShowAfterReentry()
{
    Sim s;
    s.command(36, 1);
    QCOMPARE(s.block(36, 2), 0);
    s.command(36, 0x4001);  // clear
    s.gw.tickNow();
    QCOMPARE(s.block(36, 2), 0);  // still the snapshot of the entry
    s.command(36, 0);
    s.command(36, 1);
    QCOMPARE(s.block(36, 2), 1);
    QCOMPARE(s.block(36, 3), 18);
}

void TestTermsetSim::silentTerminalIgnoresCommands()
{
    Sim s;
    s.command(60, 1);
    s.command(60, 0x2002);
    s.gw.tickNow();
    QVERIFY(!s.t->inSettingsMode(60));
    QCOMPARE(s.block(60, 0), 0);
    QCOMPARE(s.t->terminalAt(60)->frequency, 1);
    // A terminal made silent while in settings mode stops presenting.
    s.command(12, 1);
    s.t->terminalAt(12)->silent = true;
    s.gw.tickNow();
    QVERIFY(!s.t->inSettingsMode(12));
}

QTEST_MAIN(TestTermsetSim)
#include "test_termset_sim.moc"
