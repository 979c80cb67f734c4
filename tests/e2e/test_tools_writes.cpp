// What the gateway tools write, checked against what the simulator received:
// the arbitrary write tool, the counter preset sequences and the soft
// counter resets.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "support/AppFixture.h"
#include "tools/cntrpreset/TfrmCntrPreset.h"
#include "tools/softcntr/TfrmSoftCntr.h"
#include "tools/writetool/TfrmWriteTool.h"
#include "tools/writetool/KeepRangeSpinBox.h"
#include "support/Controls.h"
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace {

using Write = QPair<int, int>;  // (address, value) of one function-6 write

QList<Write> registerWrites(SimGateway *gw)
{
    QList<Write> w;
    for (const SimRequest &r : gw->requests())
        if (r.function == 6)
            w << Write(r.address, r.value);
    return w;
}

// Waits until the simulator has received n requests.
bool received(SimGateway *gw, int n)
{
    return QTest::qWaitFor([&] { return gw->requests().size() >= n; }, 3000);
}

// Settles the link: nothing more arrives within a short while.
void settle(SimGateway *gw)
{
    qsizetype n = -1;
    while (n != gw->requests().size()) {
        n = gw->requests().size();
        QTest::qWait(50);
    }
}

void connectFast(AppFixture &fx)
{
    QVERIFY(fx.connectGateway());
    // The pauses between command words: a few ms instead of 100 ms ticks.
    frmCntrPreset->findChild<QTimer *>(QStringLiteral("WaitTim"))->setInterval(2);
    fx.gateway()->clearRequests();
}

void setMode(int index)
{
    frmCntrPreset->findChild<QRadioButton *>(QStringLiteral("CntrModeItem%1").arg(index))->setChecked(true);
}

void select(int k, bool on = true)
{
    frmCntrPreset->findChild<QCheckBox *>(QStringLiteral("CheckBox%1").arg(k + 1))->setChecked(on);
}

QSpinBox *presetValue(int k)
{
    return frmCntrPreset->findChild<QSpinBox *>(QStringLiteral("SpinEdit%1").arg(k + 1));
}

QComboBox *digitList(int k)
{
    return frmCntrPreset->findChild<QComboBox *>(QStringLiteral("ComboBox%1").arg(k + 1));
}

// Sets the main window's terminal type (its combo when it has one).
void setTerminalType(int index)
{
    for (auto *cb : frmMain->findChildren<QComboBox *>(QStringLiteral("cbTerminalType")))
        if (cb->window() == frmMain) {
            cb->setCurrentIndex(index);
            return;
        }
    appSession->settings().terminalType = index;
}

} // namespace

class TestToolsWrites : public QObject {
    Q_OBJECT
private slots:
    void writeToolAreas_data();
    void writeToolAreas();
    void writeToolRegisterWrites_data();
    void writeToolRegisterWrites();
    void writeToolCoilsAndFreeArea();
    void writeToolBadValue();

    void presetSequences_data();
    void presetSequences();
    void presetRefusals_data();
    void presetRefusals();
    void oneOperationAtATime();
    void readBackRequests_data();
    void readBackRequests();
    void addressLink();

    void softCounterNumbers_data();
    void softCounterNumbers();
    void softCounterTypedCoils_data();
    void softCounterTypedCoils();
};

// ---- arbitrary write tool -------------------------------------------------

void TestToolsWrites::writeToolAreas_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<bool>("coil");
    QTest::newRow("bit bus") << 0 << 41025 << 41040 << false;
    QTest::newRow("word bus") << 1 << 41057 << 41120 << false;
    QTest::newRow("extended") << 2 << 41281 << 41792 << false;
    QTest::newRow("error reset") << 3 << 41203 << 41203 << false;
    QTest::newRow("restart") << 4 << 41204 << 41204 << false;
    QTest::newRow("nv work") << 5 << 41793 << 42816 << false;
    QTest::newRow("B0-511") << 6 << 1001 << 1512 << true;
    QTest::newRow("B1280-1791") << 7 << 5001 << 5512 << true;
    QTest::newRow("QD4") << 8 << 1 << 256 << true;
    QTest::newRow("QD2") << 9 << 4001 << 4512 << true;
    QTest::newRow("32-bit work 1") << 10 << 42849 << 46944 << false;
    QTest::newRow("32-bit work 2") << 11 << 46945 << 46976 << false;
}

void TestToolsWrites::writeToolAreas()
{
    QFETCH(int, item);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(bool, coil);
    AppFixture fx(false);
    QCOMPARE(controls::find<QComboBox>(frmWriteTool, "cbxModbusAreaSel")->currentIndex(), -1);
    QCOMPARE(controls::find<QComboBox>(frmWriteTool, "cbxModbusAreaSel")->count(), 13);
    controls::find<QComboBox>(frmWriteTool, "cbxModbusAreaSel")->setCurrentIndex(item);
    QCOMPARE(controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->value(), min);
    QCOMPARE(controls::find<QPushButton>(frmWriteTool, "btnWRT")->isEnabled(), !coil);
    QCOMPARE(controls::find<QGroupBox>(frmWriteTool, "RadioGroup1")->isEnabled(), !coil);
    QCOMPARE(controls::find<QPushButton>(frmWriteTool, "btnON")->isEnabled(), coil);
    QCOMPARE(controls::find<QPushButton>(frmWriteTool, "btnOFF")->isEnabled(), coil);
    // Stepping and setting stay inside an area of several addresses; an
    // area of one address does not hold the value (as the original spin
    // edit did not).
    controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->stepBy(-1);
    QCOMPARE(controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->value(), min == max ? min - 1 : min);
    controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->setAddress(max + 100);
    QCOMPARE(controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->value(), min == max ? max + 100 : max);
}

void TestToolsWrites::writeToolRegisterWrites_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<bool>("wide");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("high");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QList<int>>("expected");  // function, address, values
    QTest::newRow("word bus 16 bit") << 1 << 41060 << "1234" << false << false << "1059" << "0"
                                     << "1234" << QList<int>{6, 1059, 1234};
    QTest::newRow("32 bit hex") << 10 << 42849 << "12345678" << true << true << "2848" << "4660"
                                << "22136" << QList<int>{16, 2848, 0x5678, 0x1234};
    QTest::newRow("16 bit keeps the low half") << 12 << 41025 << "70000" << false << false << "1024"
                                               << "1" << "4464" << QList<int>{6, 1024, 4464};
    QTest::newRow("minus one") << 3 << 41203 << "-1" << false << false << "1202" << "65535"
                               << "65535" << QList<int>{6, 1202, 0xFFFF};
}

void TestToolsWrites::writeToolRegisterWrites()
{
    QFETCH(int, item);
    QFETCH(int, address);
    QFETCH(QString, text);
    QFETCH(bool, hex);
    QFETCH(bool, wide);
    QFETCH(QString, offset);
    QFETCH(QString, high);
    QFETCH(QString, low);
    QFETCH(QList<int>, expected);
    AppFixture fx;
    connectFast(fx);
    controls::find<QComboBox>(frmWriteTool, "cbxModbusAreaSel")->setCurrentIndex(item);
    controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->setAddress(address);
    controls::find<QLineEdit>(frmWriteTool, "edWRData")->setText(text);
    (hex ? controls::find<QRadioButton>(frmWriteTool, "RadioButtonHex") : controls::find<QRadioButton>(frmWriteTool, "RadioButtonDec"))->setChecked(true);
    (wide ? controls::find<QRadioButton>(frmWriteTool, "RadioGroup1Item1") : controls::find<QRadioButton>(frmWriteTool, "RadioGroup1Item0"))->setChecked(true);
    QCOMPARE(controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->singleStep(), wide ? 2 : 1);
    controls::find<QPushButton>(frmWriteTool, "btnWRT")->click();
    QVERIFY(received(fx.gateway(), 1));
    settle(fx.gateway());
    QCOMPARE(fx.gateway()->requests().size(), 1);
    const SimRequest r = fx.gateway()->requests().first();
    QCOMPARE(r.tag, 254);
    QCOMPARE(r.function, expected[0]);
    QCOMPARE(r.address, expected[1]);
    if (r.function == 6)
        QCOMPARE(r.value, expected[2]);
    else
        QCOMPARE(r.values, (QList<quint16>{quint16(expected[2]), quint16(expected[3])}));
    QCOMPARE(controls::find<QLabel>(frmWriteTool, "StaticText3")->text(), offset);
    QCOMPARE(controls::find<QLabel>(frmWriteTool, "StaticText2")->text(), high);
    QCOMPARE(controls::find<QLabel>(frmWriteTool, "StaticText1")->text(), low);
    QVERIFY(fx.messages.isEmpty());
}

void TestToolsWrites::writeToolCoilsAndFreeArea()
{
    AppFixture fx;
    connectFast(fx);
    // "フリー" after "エラーリセット" keeps 41203 and widens the range.
    controls::find<QComboBox>(frmWriteTool, "cbxModbusAreaSel")->setCurrentIndex(3);
    controls::find<QComboBox>(frmWriteTool, "cbxModbusAreaSel")->setCurrentIndex(12);
    QCOMPARE(controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->value(), 41203);
    QCOMPARE(controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->addressMin(), 41025);
    QCOMPARE(controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->addressMax(), 49999);
    QCOMPARE(controls::find<QLabel>(frmWriteTool, "AreaDesc")->text(), QStringLiteral("ｴﾗｰﾘｾｯﾄ"));

    // QD4: address 1, ON and OFF write coil 0.
    controls::find<QComboBox>(frmWriteTool, "cbxModbusAreaSel")->setCurrentIndex(8);
    QCOMPARE(controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->value(), 1);
    controls::find<QPushButton>(frmWriteTool, "btnON")->click();
    controls::find<QPushButton>(frmWriteTool, "btnOFF")->click();
    QVERIFY(received(fx.gateway(), 2));
    const auto &rq = fx.gateway()->requests();
    QCOMPARE(rq[0].function, 5);
    QCOMPARE(rq[0].address, 0);
    QCOMPARE(rq[0].value, 0xFF00);
    QCOMPARE(rq[1].value, 0x0000);

    // "フリー" after QD4 keeps the coil number; a register write refuses it.
    controls::find<QComboBox>(frmWriteTool, "cbxModbusAreaSel")->setCurrentIndex(12);
    QCOMPARE(controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->value(), 1);
    QVERIFY(controls::find<QPushButton>(frmWriteTool, "btnWRT")->isEnabled());
    QVERIFY(!controls::find<QPushButton>(frmWriteTool, "btnON")->isEnabled());
    controls::find<QLineEdit>(frmWriteTool, "edWRData")->setText(QStringLiteral("65537"));
    controls::find<QPushButton>(frmWriteTool, "btnWRT")->click();
    QCOMPARE(fx.messageTexts(), QStringList{QStringLiteral("アドレスの指定範囲が誤っています")});
    QCOMPARE(fx.messages.first().kind, msg::Kind::Information);
    // The halves are shown before the address check.
    QCOMPARE(controls::find<QLabel>(frmWriteTool, "StaticText2")->text(), QStringLiteral("1"));
    QCOMPARE(controls::find<QLabel>(frmWriteTool, "StaticText1")->text(), QStringLiteral("1"));
    QCOMPARE(controls::find<QLabel>(frmWriteTool, "StaticText3")->text(), QStringLiteral("0"));
    // Leaving the field pulls the address into the range again.
    frmWriteTool->show();
    frmWriteTool->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frmWriteTool));
    controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->setFocus();
    QTRY_VERIFY(controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->hasFocus());
    QCOMPARE(controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->value(), 1);
    controls::find<QLineEdit>(frmWriteTool, "edWRData")->setFocus();
    QTRY_COMPARE(controls::find<KeepRangeSpinBox>(frmWriteTool, "seWRAdrs")->value(), 41025);
    settle(fx.gateway());
    QCOMPARE(fx.gateway()->requests().size(), 2);
}

void TestToolsWrites::writeToolBadValue()
{
    AppFixture fx;
    connectFast(fx);
    controls::find<QLineEdit>(frmWriteTool, "edWRData")->setText(QStringLiteral("12AB"));
    controls::find<QPushButton>(frmWriteTool, "btnWRT")->click();
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(fx.messages.first().kind, msg::Kind::Error);
    QVERIFY(fx.messages.first().text.contains(QStringLiteral("12AB")));
    QCOMPARE(controls::find<QLabel>(frmWriteTool, "StaticText1")->text(), QStringLiteral("0"));
    // The same text is a number in hexadecimal.
    controls::find<QRadioButton>(frmWriteTool, "RadioButtonHex")->setChecked(true);
    controls::find<QPushButton>(frmWriteTool, "btnWRT")->click();
    QVERIFY(received(fx.gateway(), 1));
    QCOMPARE(fx.gateway()->requests().first().address, 1024);
    QCOMPARE(fx.gateway()->requests().first().value, 0x12AB);
}

// ---- counter preset -------------------------------------------------------

void TestToolsWrites::presetSequences_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("channels");
    QTest::addColumn<bool>("linked");
    QTest::addColumn<QList<Write>>("expected");
    const QList<int> ch3{3};
    QTest::newRow("preset CH3 24bit 2W") << "preset" << 3 << ch3 << true
        << QList<Write>{{1060, 0x0800}, {1061, 0x0D56}, {1061, 0x0E34}, {1061, 0x0F12}, {1061, 0}, {1060, 0}};
    QTest::newRow("preset CH3 16bit 1W") << "preset" << 4 << ch3 << true
        << QList<Write>{{1060, 0x0800}, {1061, 0x0D56}, {1061, 0x0E34}, {1061, 0}, {1060, 0}};
    QTest::newRow("preset CH0 and CH7 CRC") << "preset" << 6 << QList<int>{0, 7} << true
        << QList<Write>{{1060, 0x8100}, {1061, 0x0156}, {1061, 0x0234}, {1061, 0x0312},
                        {1061, 0x1D56}, {1061, 0x1E34}, {1061, 0x1F12}, {1061, 0}, {1060, 0}};
    QTest::newRow("preset nothing selected") << "preset" << 3 << QList<int>{} << true
        << QList<Write>{{1060, 0}, {1061, 0}, {1060, 0}};
    QTest::newRow("reset CH1 CH3 24 bit") << "reset" << 0 << QList<int>{1, 3} << true
        << QList<Write>{{1060, 0x000A}, {1060, 0}};
    QTest::newRow("reset 16 bit mode") << "reset" << 5 << QList<int>{1, 3} << true
        << QList<Write>{{1060, 0}, {1060, 0}};
    QTest::newRow("reset nothing selected") << "reset" << 3 << QList<int>{} << true
        << QList<Write>{{1060, 0}, {1060, 0}};
    QTest::newRow("digits CH0 none, CH2 7") << "digits" << 3 << QList<int>{0, 2} << true
        << QList<Write>{{1060, 0x0500}, {1061, 0x2100}, {1061, 0x2304}, {1061, 0}, {1060, 0}};
    QTest::newRow("digits in 16 bit mode") << "digits" << 4 << QList<int>{0, 2} << true
        << QList<Write>{{1060, 0x0500}, {1061, 0}, {1060, 0}};
    QTest::newRow("unlinked preset") << "preset" << 3 << ch3 << false
        << QList<Write>{{1062, 0x0800}, {1063, 0x0D56}, {1063, 0x0E34}, {1063, 0x0F12}, {1063, 0}, {1062, 0}};
    QTest::newRow("unlinked digits") << "digits" << 3 << QList<int>{0} << false
        << QList<Write>{{1062, 0x0100}, {1063, 0x2100}, {1063, 0}, {1062, 0}};
    QTest::newRow("unlinked reset uses IN") << "reset" << 3 << ch3 << false
        << QList<Write>{{1058, 0x0008}, {1058, 0}};
}

void TestToolsWrites::presetSequences()
{
    QFETCH(QString, operation);
    QFETCH(int, mode);
    QFETCH(QList<int>, channels);
    QFETCH(bool, linked);
    QFETCH(QList<Write>, expected);
    AppFixture fx;
    connectFast(fx);
    setMode(mode);
    if (linked) {
        controls::find<QLineEdit>(frmCntrPreset, "edCntrAdrs")->setText(QStringLiteral("4"));
        QCOMPARE(controls::find<QLineEdit>(frmCntrPreset, "edCntrOutAdrs")->text(), QStringLiteral("4"));
    } else {
        controls::find<QCheckBox>(frmCntrPreset, "chkRendou")->click();
        QVERIFY(controls::find<QLineEdit>(frmCntrPreset, "edCntrOutAdrs")->isEnabled());
        controls::find<QLineEdit>(frmCntrPreset, "edCntrAdrs")->setText(QStringLiteral("2"));
        controls::find<QLineEdit>(frmCntrPreset, "edCntrOutAdrs")->setText(QStringLiteral("6"));
    }
    // Bytes 0x12 0x34 0x56; a 16-bit mode takes no third byte, so there
    // the value is 0x3456 (a larger one is refused, see presetRefusals).
    for (int k : channels) {
        select(k);
        presetValue(k)->setValue(mode == 4 || mode == 5 ? 0x3456 : 0x123456);
    }
    digitList(0)->setCurrentIndex(0);
    digitList(2)->setCurrentIndex(4);
    QPushButton *button = operation == QLatin1String("preset") ? controls::find<QPushButton>(frmCntrPreset, "btnPreset")
                          : operation == QLatin1String("reset") ? controls::find<QPushButton>(frmCntrPreset, "btnReset")
                                                                  : controls::find<QPushButton>(frmCntrPreset, "btnSetKeta");
    button->click();
    // Disabled while the operation's words go out, back when it ends.
    QVERIFY(!button->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!frmCntrPreset->isBusy(), 20000);
    QVERIFY(button->isEnabled());
    QVERIFY(received(fx.gateway(), int(expected.size())));
    settle(fx.gateway());
    QCOMPARE(registerWrites(fx.gateway()), expected);
    QCOMPARE(fx.gateway()->requests().size(), expected.size());
    QVERIFY(fx.messages.isEmpty());
    for (int k = 0; k < 8; ++k) {
        QVERIFY(presetValue(k)->isEnabled());
        QVERIFY(digitList(k)->isEnabled());
    }
}

void TestToolsWrites::presetRefusals_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("in");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    const int error = int(msg::Kind::Error), info = int(msg::Kind::Information),
              warn = int(msg::Kind::Warning);
    QTest::newRow("IN not a number") << "preset" << 3 << "4a" << 1 << 0 << error << "4a";
    QTest::newRow("IN not a number, reset") << "reset" << 3 << "" << 1 << 0 << error << "''";
    QTest::newRow("IN not a number, read") << "read" << 3 << "x" << 1 << 0 << error << "x";
    QTest::newRow("IN past the word addresses") << "reset" << 3 << "64" << 1 << 0 << info
                                                << "アドレスの指定範囲が誤っています";
    QTest::newRow("IN negative") << "preset" << 3 << "-2" << 1 << 0 << info
                                 << "アドレスの指定範囲が誤っています";
    QTest::newRow("16-bit value too large") << "preset" << 5 << "4" << 65536 << 0 << warn << "CH1";
    QTest::newRow("digits not chosen") << "digits" << 3 << "4" << 1 << -1 << warn << "CH1";
}

void TestToolsWrites::presetRefusals()
{
    QFETCH(QString, operation);
    QFETCH(int, mode);
    QFETCH(QString, in);
    QFETCH(int, value);
    QFETCH(int, digits);
    QFETCH(int, kind);
    QFETCH(QString, text);
    AppFixture fx;
    connectFast(fx);
    setMode(mode);
    controls::find<QLineEdit>(frmCntrPreset, "edCntrAdrs")->setText(in);
    select(1);
    presetValue(1)->setValue(value);
    digitList(1)->setCurrentIndex(digits);
    QPushButton *button = operation == QLatin1String("preset")  ? controls::find<QPushButton>(frmCntrPreset, "btnPreset")
                          : operation == QLatin1String("reset") ? controls::find<QPushButton>(frmCntrPreset, "btnReset")
                          : operation == QLatin1String("read")  ? controls::find<QPushButton>(frmCntrPreset, "ReadCurrent")
                                                                : controls::find<QPushButton>(frmCntrPreset, "btnSetKeta");
    button->click();
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(int(fx.messages.first().kind), kind);
    QVERIFY2(fx.messages.first().text.contains(text), qPrintable(fx.messages.first().text));
    QVERIFY(button->isEnabled());
    settle(fx.gateway());
    QVERIFY(fx.gateway()->requests().isEmpty());
}

void TestToolsWrites::oneOperationAtATime()
{
    AppFixture fx;
    connectFast(fx);
    controls::find<QLineEdit>(frmCntrPreset, "edCntrAdrs")->setText(QStringLiteral("8"));
    select(0);
    // Looks at the buttons while the preset waits between its words, and
    // tries a reset there.
    QList<bool> enabledDuringPreset;
    bool tried = false;
    QTimer probe;
    probe.setInterval(1);
    connect(&probe, &QTimer::timeout, [&] {
        if (!frmCntrPreset->isBusy() || tried)
            return;
        tried = true;
        enabledDuringPreset << controls::find<QPushButton>(frmCntrPreset, "btnPreset")->isEnabled() << controls::find<QPushButton>(frmCntrPreset, "btnReset")->isEnabled()
                            << controls::find<QPushButton>(frmCntrPreset, "btnSetKeta")->isEnabled();
        frmCntrPreset->btnResetClick();
    });
    probe.start();
    controls::find<QPushButton>(frmCntrPreset, "btnPreset")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!frmCntrPreset->isBusy(), 20000);
    probe.stop();
    QVERIFY(tried);
    QCOMPARE(enabledDuringPreset, (QList<bool>{false, false, false}));
    QVERIFY(received(fx.gateway(), 6));
    settle(fx.gateway());
    const QList<Write> expected{{1064, 0x0100}, {1065, 0x0100 | 0x7F}, {1065, 0x0200 | 0x96},
                                {1065, 0x0300 | 0x98}, {1065, 0}, {1064, 0}};
    QCOMPARE(registerWrites(fx.gateway()), expected);  // 9999999 = 0x98967F, no reset inside
    QVERIFY(controls::find<QPushButton>(frmCntrPreset, "btnReset")->isEnabled());
}

void TestToolsWrites::readBackRequests_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("count");
    QTest::newRow("8 24bit 16W") << 0 << 12 << 32 + 6 << 16;
    QTest::newRow("9 24bit 8W") << 1 << 13 << 320 + 48 << 64;
    QTest::newRow("A 24bit 4W") << 2 << 14 << 320 + 48 << 32;
    QTest::newRow("B 24bit 2W") << 3 << 11 << 320 + 48 << 16;
    QTest::newRow("C 16bit 1W") << 4 << 10 << 32 + 6 << 8;
    QTest::newRow("D 13bit 1W") << 5 << 10 << 320 + 48 << 8;
    QTest::newRow("E CRC 2W") << 6 << 11 << 320 + 48 << 16;
}

void TestToolsWrites::readBackRequests()
{
    QFETCH(int, mode);
    QFETCH(int, tag);
    QFETCH(int, address);
    QFETCH(int, count);
    AppFixture fx;
    connectFast(fx);
    setMode(mode);
    controls::find<QCheckBox>(frmCntrPreset, "chkRendou")->click();
    controls::find<QLineEdit>(frmCntrPreset, "edCntrOutAdrs")->setText(QStringLiteral("40"));  // not used by reads
    controls::find<QLineEdit>(frmCntrPreset, "edCntrAdrs")->setText(QStringLiteral("6"));
    controls::find<QPushButton>(frmCntrPreset, "ReadCurrent")->click();
    QVERIFY(received(fx.gateway(), 1));
    const SimRequest r = fx.gateway()->requests().first();
    QCOMPARE(r.tag, tag);
    QCOMPARE(r.function, 4);
    QCOMPARE(r.address, address);
    QCOMPARE(r.count, count);
}

void TestToolsWrites::addressLink()
{
    AppFixture fx(false);
    QVERIFY(controls::find<QCheckBox>(frmCntrPreset, "chkRendou")->isChecked());
    QVERIFY(!controls::find<QLineEdit>(frmCntrPreset, "edCntrOutAdrs")->isEnabled());
    // The up-down steps by 2 and writes into its edit, which the link copies.
    controls::find<QSpinBox>(frmCntrPreset, "UpDown1")->stepBy(1);
    QCOMPARE(controls::find<QLineEdit>(frmCntrPreset, "edCntrAdrs")->text(), QStringLiteral("2"));
    QCOMPARE(controls::find<QLineEdit>(frmCntrPreset, "edCntrOutAdrs")->text(), QStringLiteral("2"));
    controls::find<QCheckBox>(frmCntrPreset, "chkRendou")->click();
    QVERIFY(controls::find<QLineEdit>(frmCntrPreset, "edCntrOutAdrs")->isEnabled());
    controls::find<QLineEdit>(frmCntrPreset, "edCntrAdrs")->setText(QStringLiteral("10"));
    QCOMPARE(controls::find<QLineEdit>(frmCntrPreset, "edCntrOutAdrs")->text(), QStringLiteral("2"));
    // On again: disabled without copying; the next IN change is copied.
    controls::find<QCheckBox>(frmCntrPreset, "chkRendou")->click();
    QVERIFY(!controls::find<QLineEdit>(frmCntrPreset, "edCntrOutAdrs")->isEnabled());
    QCOMPARE(controls::find<QLineEdit>(frmCntrPreset, "edCntrOutAdrs")->text(), QStringLiteral("2"));
    controls::find<QSpinBox>(frmCntrPreset, "UpDown1")->stepBy(1);
    QCOMPARE(controls::find<QLineEdit>(frmCntrPreset, "edCntrAdrs")->text(), QStringLiteral("12"));
    QCOMPARE(controls::find<QLineEdit>(frmCntrPreset, "edCntrOutAdrs")->text(), QStringLiteral("12"));
}

// ---- soft counter reset ---------------------------------------------------

void TestToolsWrites::softCounterNumbers_data()
{
    QTest::addColumn<int>("word");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("bit");
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("hl");
    QTest::addColumn<QString>("coil");
    QTest::addColumn<QString>("bitBlock");
    QTest::addColumn<QString>("bitCoil");
    QTest::newRow("w5 thermocouple, b200") << 5 << 0 << 200 << "41241" << "H" << "3041" << "41235" << "2201";
    QTest::newRow("w5 other type") << 5 << 12 << 0 << "41239" << "L" << "3041" << "41223" << "2001";
    QTest::newRow("w5 no type") << 5 << -1 << 15 << "41239" << "L" << "3041" << "41223" << "2016";
    QTest::newRow("w62 type 11, b255") << 62 << 11 << 255 << "41270" << "L" << "3497" << "41238" << "2256";
    QTest::newRow("w63") << 63 << 1 << 16 << "41270" << "H" << "3505" << "41224" << "2017";
}

void TestToolsWrites::softCounterNumbers()
{
    QFETCH(int, word);
    QFETCH(int, type);
    QFETCH(int, bit);
    QFETCH(QString, block);
    QFETCH(QString, hl);
    QFETCH(QString, coil);
    QFETCH(QString, bitBlock);
    QFETCH(QString, bitCoil);
    AppFixture fx(false);
    setTerminalType(type);
    controls::find<QSpinBox>(frmSoftCntr, "seWordAdrs")->setValue(word);
    controls::find<QSpinBox>(frmSoftCntr, "seBitAdrs")->setValue(bit);
    triggerMenu("s2");  // the menu item refreshes for the current type
    QCOMPARE(controls::find<QLineEdit>(frmSoftCntr, "edWRstAdrs")->text(), block);
    QCOMPARE(controls::find<QLineEdit>(frmSoftCntr, "edRstHL")->text(), hl);
    QCOMPARE(controls::find<QLineEdit>(frmSoftCntr, "edWRstBitAdrs")->text(), coil);
    QCOMPARE(controls::find<QLineEdit>(frmSoftCntr, "edBRstAdrs")->text(), bitBlock);
    QCOMPARE(controls::find<QLineEdit>(frmSoftCntr, "edBRstBitAdrs")->text(), bitCoil);
    QVERIFY(frmSoftCntr->isVisible());
}

void TestToolsWrites::softCounterTypedCoils_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("sentTo");  // -1: nothing sent
    QTest::addColumn<QString>("message");
    QTest::newRow("outside the up-down range") << "9999" << 9998 << "";
    QTest::newRow("not a number") << "30a1" << -1 << "30a1";
    QTest::newRow("past the coil addresses") << "65537" << -1 << "アドレスの指定範囲が誤っています";
    QTest::newRow("zero") << "0" << -1 << "アドレスの指定範囲が誤っています";
    QTest::newRow("last coil") << "65536" << 65535 << "";
}

void TestToolsWrites::softCounterTypedCoils()
{
    QFETCH(QString, text);
    QFETCH(int, sentTo);
    QFETCH(QString, message);
    AppFixture fx;
    connectFast(fx);
    controls::find<QLineEdit>(frmSoftCntr, "edBRstBitAdrs")->setText(text);
    controls::find<QPushButton>(frmSoftCntr, "Button3")->click();
    if (sentTo >= 0) {
        QVERIFY(received(fx.gateway(), 1));
        QCOMPARE(fx.gateway()->requests().first().address, sentTo);
        QVERIFY(fx.messages.isEmpty());
    } else {
        QCOMPARE(fx.messages.size(), 1);
        QVERIFY(fx.messages.first().text.contains(message));
        settle(fx.gateway());
        QVERIFY(fx.gateway()->requests().isEmpty());
    }
}

QTEST_MAIN(TestToolsWrites)
#include "test_tools_writes.moc"
