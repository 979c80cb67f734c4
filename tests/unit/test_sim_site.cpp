// relaymo-sim serving an installation file: the listed terminals move at
// their addresses and obey the settings-mode commands there, every other
// word address reads 0, what it cannot serve it names in a note, and a
// refused file stops it. The demo installation's ranges hold for what it
// serves, but for the one channel made too narrow on purpose.
#include "monitor/SiteFile.h"
#include "sim/SimGateway.h"
#include "sim/SimTerminalSettings.h"
#include "sim/SimWordTerminals.h"
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kExtended = 320;

std::optional<site::Site> siteOf(const QByteArray &json)
{
    QString error;
    auto s = site::fromBytes(json, QStringLiteral("test.rmsite"), &error);
    if (!s)
        qWarning().noquote() << error;
    return s;
}

int channel(const SimGateway &gw, int address, int k)
{
    return gw.inputRegister(kExtended + 8 * address + k);
}

QString writeFile(const QTemporaryDir &dir, const char *name, const QByteArray &bytes)
{
    const QString path = dir.filePath(QLatin1String(name));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return path;
}

} // namespace

class TestSimSite : public QObject {
    Q_OBJECT
private slots:
    void servesListedTerminalsOnly();
    void settingsModeAtListedAddresses();
    void demoSiteRangesHoldButOne();
    void refusedFileEndsTheProgram();
};

void TestSimSite::servesListedTerminalsOnly()
{
    const auto s = siteOf(R"({"format": "rmtool-site/1", "terminals": [
        {"address": 12, "type": 3, "name": "Feeder"},
        {"address": 5, "type": 0, "name": "Oven"},
        {"address": 30, "type": 1, "name": "Counts"},
        {"address": 50, "type": 12, "name": "Spare"},
        {"address": 13, "type": 10, "name": "Under the feeder"},
        {"address": 62, "type": 4, "name": "Too far"}]})");
    QVERIFY(s);
    SimGateway gw;
    const QStringList notes = installSiteBehaviours(gw, *s);
    gw.tickNow();
    gw.tickNow();

    // The power terminal at 12: Vab about 101 V in tenths, powers in word 13.
    QVERIFY2(channel(gw, 12, 0) > 990 && channel(gw, 12, 0) < 1030, qPrintable(QString::number(channel(gw, 12, 0))));
    QVERIFY(channel(gw, 13, 1) > 1000);
    QCOMPARE(gw.inputRegister(32 + 12), quint16(channel(gw, 12, 0)));
    QVERIFY(qAbs(simmap::readReal(gw, 832 + 16 * 12) - channel(gw, 12, 0) / 10.0) < 0.01);
    // The thermocouple at 5, its furnace channel included.
    QVERIFY(channel(gw, 5, 0) > 200 && channel(gw, 5, 0) < 250);
    QVERIFY(channel(gw, 5, 7) > 3800 && channel(gw, 5, 7) < 3900);
    // The 13-bit counter at 30 counts.
    const int count = channel(gw, 30, 1);
    gw.tickNow();
    QCOMPARE(channel(gw, 30, 1), (count + 2) % 8192);

    // Nothing anywhere else: the default installation's places, the terminal
    // it does not know, and the bit terminals (the file lists none).
    for (const int w : {0, 4, 8, 24, 36, 48, 50, 62, 63}) {
        for (int k = 0; k < 8; ++k)
            QVERIFY2(channel(gw, w, k) == 0, qPrintable(QStringLiteral("address %1 channel %2").arg(w).arg(k)));
        QCOMPARE(gw.inputRegister(32 + w), quint16(0));
    }
    QCOMPARE(gw.inputRegister(3), quint16(0));   // bit bus 48..63
    QCOMPARE(gw.inputRegister(33), quint16(0));  // D2 bits 16..31

    // One note for each terminal served as zeros, by its place in the file.
    QCOMPARE(notes.size(), 3);
    QVERIFY2(notes[0].startsWith(QStringLiteral("terminal 4 \"Spare\" at word address 50 (type 12)")), qPrintable(notes[0]));
    QVERIFY2(notes[1].contains(QStringLiteral("overlaps terminal 1")), qPrintable(notes[1]));
    QVERIFY2(notes[2].contains(QStringLiteral("past word address 63")), qPrintable(notes[2]));
}

void TestSimSite::settingsModeAtListedAddresses()
{
    const auto s = siteOf(R"({"format": "rmtool-site/1", "terminals": [
        {"address": 40, "type": 3, "name": "Feeder"},
        {"address": 6, "type": 6, "name": "Lighting"},
        {"address": 9, "type": 9, "name": "PDU"},
        {"address": 20, "type": 0, "name": "Oven"}]})");
    QVERIFY(s);
    SimGateway gw;
    installSiteBehaviours(gw, *s);
    auto *settings = gw.behaviour<SimTerminalSettings>();
    QVERIFY(settings);
    const auto command = [&](int address, int value) {
        settings->onWrite(gw, QModbusDataUnit::HoldingRegisters, 1056 + address, quint16(value));
    };
    // The power terminal at 40 takes the settings of the default one at 12.
    command(40, 1);
    gw.tickNow();
    QCOMPARE(channel(gw, 40, 0), 1);
    QCOMPARE(channel(gw, 40, 3), 2);
    QCOMPARE(channel(gw, 41, 5), 7);  // its fifth current range
    // The current terminal at 6 presents group 0 with its product type.
    command(6, 1);
    QCOMPARE(channel(gw, 6, 0), 1);
    QCOMPARE(channel(gw, 6, 3) & 0x1FF, 22);
    // The outlet bar at 9.
    command(9, 1);
    QCOMPARE(channel(gw, 9, 3), 18);
    // No terminal of settings mode elsewhere: neither at the default places
    // nor at the thermocouple.
    for (const int w : {12, 24, 36, 20}) {
        command(w, 1);
        gw.tickNow();
        QVERIFY2(!settings->inSettingsMode(w), qPrintable(QString::number(w)));
        QVERIFY2(channel(gw, w, 0) == 0 || w == 20, qPrintable(QString::number(w)));
    }
}

void TestSimSite::demoSiteRangesHoldButOne()
{
    QString error;
    const auto s = site::read(QStringLiteral(TESTS_SOURCE_DIR "/../demo/site.rmsite"), &error);
    QVERIFY2(s, qPrintable(error));
    SimGateway gw;
    QVERIFY(installSiteBehaviours(gw, *s).isEmpty());
    gw.tickNow();
    // On the monitor's default data area (拡張512W入力データ) the decimal format
    // shows box p of the terminal at w as the raw register 320 + 8w + p.
    QStringList outside;
    int ranged = 0;
    for (const site::Terminal &t : s->terminals)
        for (const site::Channel &c : t.channels) {
            if (!c.min && !c.max)
                continue;
            ++ranged;
            const int v = channel(gw, t.address, c.channel);
            if ((c.min && v < *c.min) || (c.max && v > *c.max))
                outside << c.tag;
        }
    QVERIFY(ranged >= 10);
    QCOMPARE(outside, QStringList{QStringLiteral("I-FAN")});
}

void TestSimSite::refusedFileEndsTheProgram()
{
    QTemporaryDir dir;
    const QString refused = writeFile(dir, "refused.rmsite",
                                      R"({"format": "rmtool-site/1", "terminals": [{"address": 70, "type": 3}]})");
    QVERIFY(!refused.isEmpty());

    QProcess sim;
    sim.start(QStringLiteral(RELAYMO_SIM_PATH), {QStringLiteral("--site"), refused});
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitCode(), 1);
    const QStringList lines = QString::fromUtf8(sim.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].startsWith(QStringLiteral("relaymo-sim: ") + refused), qPrintable(lines[0]));
    QVERIFY2(lines[0].contains(QStringLiteral("70")), qPrintable(lines[0]));
    QVERIFY(sim.readAllStandardOutput().isEmpty());
}

QTEST_GUILESS_MAIN(TestSimSite)
#include "test_sim_site.moc"
