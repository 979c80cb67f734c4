// The rules of the gateway dialogs as plain functions: the module
// information decoders, the counter preset's command steps and the
// reference-number conversions of the write tool and the soft counters.
#include "link/ReceiveBuffer.h"
#include "support/AnswerFrames.h"
#include "tools/cntrpreset/CounterProtocol.h"
#include "tools/modinfo/ModInfoText.h"
#include "tools/softcntr/SoftCounterMap.h"
#include "tools/writetool/WriteAreas.h"
#include <QTest>
#include <limits>

using counter::CommandStep;
Q_DECLARE_METATYPE(std::vector<CommandStep>)
Q_DECLARE_METATYPE(std::optional<uint32_t>)

namespace {

// An answer of function 4 with the given registers (byteCount < 0: as many
// bytes as the registers take).
ReceiveBuffer answer(const QList<uint16_t> &regs, int byteCount = -1)
{
    ReceiveBuffer rb;
    rb.assign(frames::readAnswer(0, frames::registerBytes(regs), byteCount));
    return rb;
}

// A field as the dialog would show it ("<kept>": the answer leaves it).
QString shown(const std::optional<QString> &field)
{
    return field ? *field : QStringLiteral("<kept>");
}

// An address, -1 for none.
qint64 number(std::optional<uint32_t> address)
{
    return address ? qint64(*address) : -1;
}

} // namespace

class TestDialogRules : public QObject {
    Q_OBJECT
private slots:
    void moduleWords();
    void moduleWordsShort();
    void loginAndRotarySwitch();
    void commandSteps_data();
    void commandSteps();
    void writeToolAddresses_data();
    void writeToolAddresses();
    void softCounterAddresses_data();
    void softCounterAddresses();
};

void TestDialogRules::moduleWords()
{
    const QList<uint16_t> regs = {0x1A00, 0x3C2B, 0x5E4D, 0x0102, 0x0215, 0x0100, 0x0304, 0x00A5,
                                  0,      0,      1,      0,      0,      0,      0x0110, 0};
    const ModuleInfoFields rm1 = decodeModuleWords(answer(regs), false);
    QCOMPARE(shown(rm1.macAddress), QStringLiteral("00-1A-2B-3C-4D-5E"));
    QCOMPARE(shown(rm1.pcBoardHw), QStringLiteral("0100"));
    QCOMPARE(shown(rm1.pcBoardFw), QStringLiteral("0304"));
    QCOMPARE(shown(rm1.busBoardHw), QStringLiteral("0102"));
    QCOMPARE(shown(rm1.busBoardFw), QStringLiteral("0215"));
    QCOMPARE(shown(rm1.fpga), QStringLiteral("0110"));
    QCOMPARE(shown(rm1.dipSwitch), QStringLiteral("00A5"));
    QCOMPARE(shown(rm1.extension), QStringLiteral("ON"));
    QVERIFY(!rm1.loginMode && !rm1.rotarySwitch && !rm1.transmission);
    QCOMPARE(shown(decodeModuleWords(answer(regs), true).macAddress), QStringLiteral("1A-00-3C-2B-5E-4D"));
}

void TestDialogRules::moduleWordsShort()
{
    // Seven registers: MAC and the words up to 6; the rest stays untouched.
    const ModuleInfoFields f = decodeModuleWords(answer({1, 2, 3, 4, 5, 6, 7}), true);
    QVERIFY(f.macAddress);
    QCOMPARE(shown(f.pcBoardFw), QStringLiteral("0007"));
    QVERIFY(!f.dipSwitch && !f.extension && !f.fpga);
    // A stated count shorter than the MAC: nothing at all.
    const ModuleInfoFields none = decodeModuleWords(answer({1, 2, 3}, 5), false);
    QVERIFY(!none.macAddress && !none.busBoardHw && !none.pcBoardHw);
}

void TestDialogRules::loginAndRotarySwitch()
{
    QCOMPARE(shown(decodeLoginMode(answer({0x0000})).loginMode), QStringLiteral("User"));
    QCOMPARE(shown(decodeLoginMode(answer({0x0100})).loginMode), QStringLiteral("Admin"));
    QVERIFY(!decodeLoginMode(answer({0x0200})).loginMode);
    QVERIFY(!decodeLoginMode(answer({}, 0)).loginMode);

    const ModuleInfoFields r = decodeRotarySwitch(answer({0x0009}));
    QCOMPARE(shown(r.rotarySwitch), QStringLiteral("0009"));
    QCOMPARE(shown(r.transmission), QStringLiteral("D2 1km"));
    // Past the modes: the switch is shown, the mode kept.
    const ModuleInfoFields high = decodeRotarySwitch(answer({0x0010}));
    QCOMPARE(shown(high.rotarySwitch), QStringLiteral("0010"));
    QVERIFY(!high.transmission);
    QVERIFY(!decodeRotarySwitch(answer({0x0009}, 1)).rotarySwitch);
}

void TestDialogRules::commandSteps_data()
{
    QTest::addColumn<std::vector<CommandStep>>("steps");
    QTest::addColumn<std::vector<CommandStep>>("expected");
    std::array<uint32_t, 8> values{};
    values[0] = 0x123456;
    values[2] = 0xABCD;
    // Address 8: command register 1064, data register 1065.
    QTest::newRow("preset 24 bit CH0 CH2")
        << counter::presetSteps(8, 0x05, true, values)
        << std::vector<CommandStep>{{1064, 0x0500, 10, -1}, {1065, 0x0156, 10, 0}, {1065, 0x0234, 10, 0},
                                    {1065, 0x0312, 10, 0},  {1065, 0x09CD, 10, 2}, {1065, 0x0AAB, 10, 2},
                                    {1065, 0x0B00, 10, 2},  {1065, 0, 0, -1},      {1064, 0, 0, -1}};
    QTest::newRow("preset 16 bit CH2")
        << counter::presetSteps(8, 0x04, false, values)
        << std::vector<CommandStep>{{1064, 0x0400, 10, -1}, {1065, 0x09CD, 10, 2}, {1065, 0x0AAB, 10, 2},
                                    {1065, 0, 0, -1}, {1064, 0, 0, -1}};
    QTest::newRow("reset 24 bit") << counter::resetSteps(2, 0x81, true)
                                  << std::vector<CommandStep>{{1058, 0x81, 10, -1}, {1058, 0, 0, -1}};
    QTest::newRow("reset 16 bit sends no mask") << counter::resetSteps(2, 0x81, false)
                                                << std::vector<CommandStep>{{1058, 0, 10, -1}, {1058, 0, 0, -1}};
    std::array<int, 8> items{};
    items[1] = 4;
    items[7] = 0;
    QTest::newRow("digits CH1 CH7")
        << counter::digitSteps(0, 0x82, true, items)
        << std::vector<CommandStep>{{1056, 0x8200, 10, -1}, {1057, 0x2204, 5, 1}, {1057, 0x2800, 5, 7},
                                    {1057, 0, 0, -1}, {1056, 0, 0, -1}};
    QTest::newRow("digits in a 16-bit mode: no codes")
        << counter::digitSteps(0, 0x82, false, items)
        << std::vector<CommandStep>{{1056, 0x8200, 10, -1}, {1057, 0, 0, -1}, {1056, 0, 0, -1}};
}

void TestDialogRules::commandSteps()
{
    QFETCH(std::vector<CommandStep>, steps);
    QFETCH(std::vector<CommandStep>, expected);
    QCOMPARE(steps.size(), expected.size());
    for (size_t i = 0; i < steps.size(); ++i) {
        QCOMPARE(steps[i].reg, expected[i].reg);
        QCOMPARE(steps[i].value, expected[i].value);
        QCOMPARE(steps[i].ticks, expected[i].ticks);
        QCOMPARE(steps[i].channel, expected[i].channel);
    }
}

void TestDialogRules::writeToolAddresses_data()
{
    QTest::addColumn<bool>("coil");
    QTest::addColumn<int>("reference");
    QTest::addColumn<std::optional<uint32_t>>("address");
    QTest::newRow("lowest register") << false << 41025 << std::optional<uint32_t>(1024);
    QTest::newRow("below the registers") << false << 41024 << std::optional<uint32_t>();
    QTest::newRow("top register") << false << 49999 << std::optional<uint32_t>(9998);
    QTest::newRow("coil 1") << true << 1 << std::optional<uint32_t>(0);
    QTest::newRow("coil 0") << true << 0 << std::optional<uint32_t>();
    QTest::newRow("coil 3001") << true << 3001 << std::optional<uint32_t>(3000);
}

void TestDialogRules::writeToolAddresses()
{
    QFETCH(bool, coil);
    QFETCH(int, reference);
    QFETCH(std::optional<uint32_t>, address);
    QCOMPARE(number(coil ? coilWriteAddress(reference) : registerWriteAddress(reference)), number(address));
}

void TestDialogRules::softCounterAddresses_data()
{
    QTest::addColumn<int>("reference");
    QTest::addColumn<int>("base");
    QTest::addColumn<std::optional<uint32_t>>("address");
    QTest::newRow("register") << 41241 << 40001 << std::optional<uint32_t>(1240);
    QTest::newRow("register 40001") << 40001 << 40001 << std::optional<uint32_t>(0);
    QTest::newRow("below 40001") << 40000 << 40001 << std::optional<uint32_t>();
    QTest::newRow("top register") << 105536 << 40001 << std::optional<uint32_t>(0xFFFF);
    QTest::newRow("past the top") << 105537 << 40001 << std::optional<uint32_t>();
    QTest::newRow("coil 2201") << 2201 << 1 << std::optional<uint32_t>(2200);
    QTest::newRow("coil 65537") << 65537 << 1 << std::optional<uint32_t>();
    QTest::newRow("most negative") << std::numeric_limits<int>::min() << 1 << std::optional<uint32_t>();
}

void TestDialogRules::softCounterAddresses()
{
    QFETCH(int, reference);
    QFETCH(int, base);
    QFETCH(std::optional<uint32_t>, address);
    QCOMPARE(number(softcounter::protocolAddress(reference, base)), number(address));
}

QTEST_APPLESS_MAIN(TestDialogRules)
#include "test_dialog_rules.moc"
