// Each dialog built alone, with a fake link and no main window: what one
// typical user action sends, and what the dialog tells the other windows.
#include "app/MessageBoxes.h"
#include "app/Settings.h"
#include "app/TfrmConnect.h"
#include "link/ModbusLink.h"
#include "support/AnswerFrames.h"
#include "support/Controls.h"
#include "support/FakeGatewayLink.h"
#include "termset/TfrmWattorSet.h"
#include "tools/cntrpreset/CounterProtocol.h"
#include "tools/cntrpreset/TfrmCntrPreset.h"
#include "tools/ftp/TfrmFTPtool.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "tools/modinfo/TfrmModInfo.h"
#include "tools/softcntr/TfrmSoftCntr.h"
#include "tools/writetool/TfrmWriteTool.h"
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using Verb = FakeGatewayLink::Verb;

using frames::registerBytes;

class TestDialogsFakeLink : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void moduleInformationReadsEachAfterItsOwnAnswer();
    void moduleInformationGivesUpWithoutAnswer();
    void moduleInformationEndsWhenClosedOrLost_data();
    void moduleInformationEndsWhenClosedOrLost();
    void writeToolWritesTheRegisterTyped_data();
    void writeToolWritesTheRegisterTyped();
    void writeToolCoilAndRange();
    void softCounterResetsFromTheMonitorAddresses();
    void counterPresetReadBackAndReset();
    void counterPresetSendsTheValuesItChecked();
    void counterPresetEndsWhenClosedOrLost_data();
    void counterPresetEndsWhenClosedOrLost();
    void settingsTakeOverAndClock();
    void settingsHandOutTheAutoSaveFields();
    void ftpToolAsksForTheSettingsPage();
    void terminalSettingsPageFollowsTheSetting();
    void connectionDialogShowsAndAsks();

private:
    QStringList m_shown;
};

void TestDialogsFakeLink::init()
{
    m_shown.clear();
    msg::setMessageBoxHook([this](const msg::Shown &s) {
        m_shown << s.text;
        return true;
    });
}

void TestDialogsFakeLink::cleanup()
{
    msg::setMessageBoxHook({});
}

void TestDialogsFakeLink::moduleInformationReadsEachAfterItsOwnAnswer()
{
    FakeGatewayLink link;
    TfrmModInfo dialog(link, [] { return true; });
    // Every read is first followed by someone else's answer (the monitor's),
    // then, a little later, by its own.
    const QHash<uint8_t, QByteArray> data = {
        {1, registerBytes({0x1A00, 0x3C2B, 0x5E4D, 0x0102, 0x0215, 0x0100, 0x0304, 0x00A5, 0, 0, 1, 0, 0, 0, 0x0110, 0})},
        {2, registerBytes({0x0100})},
        {3, registerBytes({0x0009})}};
    link.onRead = [&](const FakeGatewayLink::Request &r) {
        QTimer::singleShot(0, &link, [&link] { link.answer(0, 0, registerBytes({1, 2})); });
        QTimer::singleShot(50, &link, [&link, r, &data] { link.answer(r.serial, r.tag, data.value(r.tag)); });
    };
    dialog.RequestModuleInfo();
    // Only the first read is out; "更新" waits for the sequence.
    QCOMPARE(link.requests.size(), 1);
    QVERIFY(!controls::find<QPushButton>(&dialog, "Button1")->isEnabled());
    QTRY_VERIFY(!dialog.isRequesting());

    QCOMPARE(link.requests.size(), 3);
    const struct { uint8_t tag; uint32_t address, count; } expected[] = {{1, 296, 16}, {2, 182, 1}, {3, 253, 1}};
    for (int i = 0; i < 3; ++i) {
        const auto &r = link.requests[i];
        QCOMPARE(r.verb, Verb::ReadInput);
        QCOMPARE(r.tag, expected[i].tag);
        QCOMPARE(r.address, expected[i].address);
        QCOMPARE(r.value, expected[i].count);
        // Sent after the foreign and the own answer of each read before it.
        QCOMPARE(r.answersBefore, 2 * i);
    }
    QTRY_COMPARE(link.answersDelivered(), 6);
    QCOMPARE(controls::find<QLabel>(&dialog, "StaticText13")->text(), QStringLiteral("Admin"));
    QCOMPARE(controls::find<QLabel>(&dialog, "StaticText20")->text(), QStringLiteral("D2 1km"));
    QCOMPARE(controls::find<QLabel>(&dialog, "StaticText11")->text(), QStringLiteral("0100"));
    QCOMPARE(controls::find<QLabel>(&dialog, "StaticText21")->text(), QStringLiteral("1A-00-3C-2B-5E-4D"));
    QVERIFY(controls::find<QPushButton>(&dialog, "Button1")->isEnabled());
    QVERIFY(m_shown.isEmpty());
}

void TestDialogsFakeLink::moduleInformationGivesUpWithoutAnswer()
{
    FakeGatewayLink link;
    TfrmModInfo dialog(link, [] { return false; });
    // The first read is answered, the second times out: the third is not sent.
    link.onRead = [&](const FakeGatewayLink::Request &r) {
        if (r.tag == 1)
            QTimer::singleShot(0, &link, [&link, r] { link.answer(r.serial, 1, registerBytes({0})); });
        else
            QTimer::singleShot(0, &link, [&link, r] { link.timeOut(r.serial); });
    };
    dialog.RequestModuleInfo();
    QTRY_COMPARE(m_shown.size(), 1);
    QVERIFY(m_shown.first().contains(QStringLiteral("応答がありません")));
    QCOMPARE(link.requests.size(), 2);
    QVERIFY(!dialog.isRequesting());
    QVERIFY(controls::find<QPushButton>(&dialog, "Button1")->isEnabled());
}

void TestDialogsFakeLink::moduleInformationEndsWhenClosedOrLost_data()
{
    QTest::addColumn<bool>("close");
    QTest::addColumn<bool>("warned");  // the user is told the reads failed
    QTest::newRow("dialog closed") << true << false;
    QTest::newRow("connection lost") << false << true;
}

// The dialog closed ("閉じる") or the connection lost while the second read
// waits for its answer: the sequence ends there, sends nothing more (its
// late answer changes nothing), and "更新" works again.
void TestDialogsFakeLink::moduleInformationEndsWhenClosedOrLost()
{
    QFETCH(bool, close);
    QFETCH(bool, warned);
    FakeGatewayLink link;
    TfrmModInfo dialog(link, [] { return false; });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    link.onRead = [&](const FakeGatewayLink::Request &r) {
        if (r.tag == 1)
            QTimer::singleShot(0, &link, [&link, r] { link.answer(r.serial, 1, registerBytes({0})); });
    };
    dialog.RequestModuleInfo();
    QTRY_COMPARE(link.requests.size(), 2);
    const uint64_t second = link.requests[1].serial;
    QVERIFY(dialog.isRequesting());
    if (close)
        controls::find<QPushButton>(&dialog, "Button2")->click();
    else
        link.loseConnection();
    // Ended at once, buttons back.
    QVERIFY(!dialog.isRequesting());
    QVERIFY(controls::find<QPushButton>(&dialog, "Button1")->isEnabled());
    QCOMPARE(dialog.isVisible(), !close);
    // The answer to the second read coming after all reaches nothing, and
    // no third read goes out.
    const QString login = controls::find<QLabel>(&dialog, "StaticText13")->text();
    link.reopen();
    link.answer(second, 2, registerBytes({0x0100}));
    QCOMPARE(link.requests.size(), 2);
    QCOMPARE(controls::find<QLabel>(&dialog, "StaticText13")->text(), login);
    if (warned)
        QTRY_COMPARE(m_shown.size(), 1);
    else
        QCOMPARE(m_shown.size(), 0);
    // "更新" starts the reads again.
    link.onRead = {};
    dialog.RequestModuleInfo();
    QCOMPARE(link.requests.size(), 3);
    QCOMPARE(link.requests[2].tag, uint8_t(1));
}

void TestDialogsFakeLink::writeToolWritesTheRegisterTyped_data()
{
    QTest::addColumn<int>("reference");
    QTest::addColumn<bool>("twoRegisters");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("verb");
    QTest::addColumn<uint>("address");
    QTest::addColumn<uint>("value");
    QTest::newRow("16-bit decimal") << 41100 << false << false << "1234" << int(Verb::WriteSingle) << 1099u << 1234u;
    QTest::newRow("16-bit keeps the low word") << 41025 << false << true << "12345" << int(Verb::WriteSingle) << 1024u
                                               << 0x2345u;
    QTest::newRow("32-bit") << 41200 << true << false << "70000" << int(Verb::WriteTwo) << 1199u << 70000u;
}

void TestDialogsFakeLink::writeToolWritesTheRegisterTyped()
{
    QFETCH(int, reference);
    QFETCH(bool, twoRegisters);
    QFETCH(bool, hex);
    QFETCH(QString, text);
    QFETCH(int, verb);
    QFETCH(uint, address);
    QFETCH(uint, value);
    FakeGatewayLink link;
    TfrmWriteTool dialog(link);
    controls::find<QRadioButton>(&dialog, twoRegisters ? "RadioGroup1Item1" : "RadioGroup1Item0")->setChecked(true);
    controls::find<QRadioButton>(&dialog, hex ? "RadioButtonHex" : "RadioButtonDec")->setChecked(true);
    controls::find<QSpinBox>(&dialog, "seWRAdrs")->setValue(reference);
    controls::find<QLineEdit>(&dialog, "edWRData")->setText(text);
    controls::find<QPushButton>(&dialog, "btnWRT")->click();
    QCOMPARE(link.requests.size(), 1);
    QCOMPARE(int(link.requests[0].verb), verb);
    QCOMPARE(link.requests[0].address, address);
    QCOMPARE(link.requests[0].value, value);
    QCOMPARE(controls::find<QLabel>(&dialog, "StaticText3")->text(), QString::number(address));
}

void TestDialogsFakeLink::writeToolCoilAndRange()
{
    FakeGatewayLink link;
    TfrmWriteTool dialog(link);
    // The coil area: ON and OFF write the coil before the number shown.
    auto *areas = controls::find<QComboBox>(&dialog, "cbxModbusAreaSel");
    areas->setCurrentIndex(6);
    auto *address = controls::find<QSpinBox>(&dialog, "seWRAdrs");
    const int coil = address->value();
    controls::find<QPushButton>(&dialog, "btnON")->click();
    controls::find<QPushButton>(&dialog, "btnOFF")->click();
    QCOMPARE(link.requests.size(), 2);
    QCOMPARE(link.requests[0].verb, Verb::WriteCoil);
    QCOMPARE(link.requests[0].address, uint32_t(coil - 1));
    QCOMPARE(link.requests[0].value, 0xFFu);
    QCOMPARE(link.requests[1].value, 0x00u);
    QVERIFY(m_shown.isEmpty());
}

void TestDialogsFakeLink::softCounterResetsFromTheMonitorAddresses()
{
    FakeGatewayLink link;
    softcounter::MonitorAddresses monitor{200, 5, 0};
    TfrmSoftCntr dialog(link, [&monitor] { return monitor; });
    QCOMPARE(controls::find<QLineEdit>(&dialog, "edWRstAdrs")->text(), QStringLiteral("41241"));
    QCOMPARE(controls::find<QLineEdit>(&dialog, "edRstHL")->text(), QStringLiteral("H"));
    QCOMPARE(controls::find<QLineEdit>(&dialog, "edBRstBitAdrs")->text(), QStringLiteral("2201"));

    // The monitor's bit output label is told the coil of its bit address.
    QSignalSpy coil(&dialog, &TfrmSoftCntr::monitorBitCoil);
    monitor.bitAddress = 7;
    dialog.UpdateResetAddresses();
    QCOMPARE(coil.size(), 1);
    QCOMPARE(coil.first().first().toInt(), 8);

    controls::find<QPushButton>(&dialog, "btnWBcntRst")->click();
    controls::find<QPushButton>(&dialog, "Button3")->click();
    QCOMPARE(link.requests.size(), 2);
    QCOMPARE(link.requests[0].verb, Verb::WriteSingle);
    QCOMPARE(link.requests[0].address, 1240u);
    QCOMPARE(link.requests[0].value, 0xFF00u);
    QCOMPARE(link.requests[1].verb, Verb::WriteCoil);
    QCOMPARE(link.requests[1].address, 2200u);

    // A number outside the protocol's addresses is refused, nothing sent.
    controls::find<QLineEdit>(&dialog, "edBRstBitAdrs")->setText(QStringLiteral("70000"));
    controls::find<QPushButton>(&dialog, "Button3")->click();
    QCOMPARE(link.requests.size(), 2);
    QCOMPARE(m_shown.size(), 1);
}

void TestDialogsFakeLink::counterPresetReadBackAndReset()
{
    FakeGatewayLink link;
    AppSettings settings;
    TfrmCntrPreset dialog(link, settings);
    dialog.WaitTim->setInterval(1);
    controls::find<QLineEdit>(&dialog, "edCntrAdrs")->setText(QStringLiteral("8"));
    // Mode B (24 bit, 2 words): the extended input of address 8.
    controls::find<QPushButton>(&dialog, "ReadCurrent")->click();
    QCOMPARE(link.requests.size(), 1);
    QCOMPARE(link.requests[0].verb, Verb::ReadInput);
    QCOMPARE(link.requests[0].tag, uint8_t(11));
    QCOMPARE(link.requests[0].address, 384u);
    QCOMPARE(link.requests[0].value, 16u);

    // Reset of CH0 and CH2: the reset mask, then 0, after the first was answered.
    controls::find<QCheckBox>(&dialog, "CheckBox1")->setChecked(true);
    controls::find<QCheckBox>(&dialog, "CheckBox3")->setChecked(true);
    controls::find<QPushButton>(&dialog, "btnReset")->click();
    QVERIFY(dialog.isBusy());
    QTRY_VERIFY(!dialog.isBusy());
    QCOMPARE(link.requests.size(), 3);
    QCOMPARE(link.requests[1].verb, Verb::WriteSingle);
    QCOMPARE(link.requests[1].address, 1064u);
    QCOMPARE(link.requests[1].value, 0x05u);
    QCOMPARE(link.requests[2].address, 1064u);
    QCOMPARE(link.requests[2].value, 0u);
}

void TestDialogsFakeLink::counterPresetSendsTheValuesItChecked()
{
    FakeGatewayLink link;
    AppSettings settings;
    TfrmCntrPreset dialog(link, settings);
    dialog.WaitTim->setInterval(1);
    controls::find<QRadioButton>(&dialog, "CntrModeItem4")->setChecked(true);  // C: 16 bit
    controls::find<QLineEdit>(&dialog, "edCntrAdrs")->setText(QStringLiteral("8"));
    controls::find<QLineEdit>(&dialog, "edCntrOutAdrs")->setText(QStringLiteral("8"));
    controls::find<QCheckBox>(&dialog, "CheckBox2")->setChecked(true);
    auto *value = controls::find<QSpinBox>(&dialog, "SpinEdit2");
    value->setValue(200);
    // A value changed while the command word goes out, past the 16 bits the
    // check allowed, is not what the preset sends: the bytes are those of
    // the value checked.
    link.onWrite = [value](const FakeGatewayLink::Request &r) {
        if (r.serial == 1)
            value->setValue(70000);
    };
    controls::find<QPushButton>(&dialog, "btnPreset")->click();
    QTRY_VERIFY(!dialog.isBusy());
    QList<QPair<uint32_t, uint32_t>> writes;
    for (const auto &r : link.requests)
        writes << qMakePair(r.address, r.value);
    const QList<QPair<uint32_t, uint32_t>> expected = {{1064, 0x0200}, {1065, 0x05C8}, {1065, 0x0600}, {1065, 0}, {1064, 0}};
    QCOMPARE(writes, expected);
    QVERIFY(m_shown.isEmpty());
}

void TestDialogsFakeLink::counterPresetEndsWhenClosedOrLost_data()
{
    QTest::addColumn<bool>("close");
    QTest::newRow("dialog closed") << true;
    QTest::newRow("connection lost") << false;
}

// The dialog closed or the connection lost while the preset pauses after
// its second word (the gateway has not answered that write yet): no word
// more goes out, ever, and the buttons and the channel's value are back.
void TestDialogsFakeLink::counterPresetEndsWhenClosedOrLost()
{
    QFETCH(bool, close);
    FakeGatewayLink link;
    AppSettings settings;
    TfrmCntrPreset dialog(link, settings);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.WaitTim->setInterval(1);
    controls::find<QLineEdit>(&dialog, "edCntrOutAdrs")->setText(QStringLiteral("8"));
    controls::find<QLineEdit>(&dialog, "edCntrAdrs")->setText(QStringLiteral("8"));
    controls::find<QCheckBox>(&dialog, "CheckBox2")->setChecked(true);
    auto *value = controls::find<QSpinBox>(&dialog, "SpinEdit2");
    value->setValue(200);
    // The first word is answered; the second stays unanswered.
    link.onWrite = [&link](const FakeGatewayLink::Request &r) {
        if (r.serial == 2)
            link.answerWrites = false;
    };
    controls::find<QPushButton>(&dialog, "btnPreset")->click();
    QTRY_COMPARE(link.requests.size(), 2);
    QVERIFY(dialog.isBusy());
    QVERIFY(!value->isEnabled());  // its bytes go out
    QVERIFY(dialog.WaitTim->isActive() || link.isInFlight(2));
    if (close)
        dialog.hide();
    else
        link.loseConnection();
    QVERIFY(!dialog.isBusy());
    for (const char *b : {"btnPreset", "btnReset", "btnSetKeta"})
        QVERIFY(controls::find<QPushButton>(&dialog, b)->isEnabled());
    QVERIFY(value->isEnabled());
    // Nothing counts on, and the write's answer coming after all starts
    // nothing: a sequence still running would have sent its third word
    // within a few of the 1 ms ticks.
    QVERIFY(!dialog.WaitTim->isActive());
    // Closed while connected, the operation still ends as every one ends:
    // the data word, then the command word, back to 0. With the connection
    // gone nothing more is sent.
    const qsizetype sent = close ? 4 : 2;
    QCOMPARE(link.requests.size(), sent);
    if (close) {
        QCOMPARE(link.requests[2].address, 1057u + 8);
        QCOMPARE(link.requests[2].value, 0u);
        QCOMPARE(link.requests[3].address, 1056u + 8);
        QCOMPARE(link.requests[3].value, 0u);
    }
    link.reopen();
    link.answerWrites = true;
    link.answer(2, 254, {});
    QTest::qWait(50);
    QCOMPARE(link.requests.size(), sent);
    QVERIFY(m_shown.isEmpty());
    // The next preset runs whole.
    if (close)
        dialog.show();
    controls::find<QPushButton>(&dialog, "btnPreset")->click();
    QTRY_VERIFY(!dialog.isBusy());
    std::array<uint32_t, counter::kChannels> values{};
    values[1] = 200;
    const auto steps = counter::presetSteps(8, 0x02, true, values);
    QCOMPARE(link.requests.size(), qsizetype(sent + steps.size()));
    for (size_t i = 0; i < steps.size(); ++i) {
        QCOMPARE(link.requests[qsizetype(sent + i)].address, steps[i].reg);
        QCOMPARE(link.requests[qsizetype(sent + i)].value, uint32_t(steps[i].value));
    }
}

void TestDialogsFakeLink::settingsTakeOverAndClock()
{
    FakeGatewayLink link;
    AppSettings settings;
    settings.responseTimeoutMs = 1000;
    TfrmGWcfg dialog(link, settings);
    dialog.fillFromSettings(settings, QStringLiteral("127.0.0.1"), 1502);
    controls::find<QLineEdit>(&dialog, "ModbusPort")->setText(QStringLiteral("1503"));
    controls::find<QLineEdit>(&dialog, "EdRespTimeout")->setText(QStringLiteral("250"));
    controls::find<QLineEdit>(&dialog, "FTPIP")->setText(QStringLiteral("127.0.0.2"));
    QSignalSpy target(&dialog, &TfrmGWcfg::modbusTargetChanged);
    QSignalSpy ftp(&dialog, &TfrmGWcfg::ftpServerChanged);
    controls::find<QPushButton>(&dialog, "OKbtn")->click();
    QCOMPARE(link.host, QStringLiteral("127.0.0.1"));
    QCOMPARE(link.port, 1503);
    QCOMPARE(link.responseTimeoutMs, 250);
    QCOMPARE(settings.modbusPort, QStringLiteral("1503"));
    QCOMPARE(settings.responseTimeoutMs, 250);
    QCOMPARE(target.size(), 1);
    QCOMPARE(target.first().at(1).toString(), QStringLiteral("1503"));
    QCOMPARE(ftp.size(), 1);
    QCOMPARE(ftp.first().at(0).toString(), QStringLiteral("127.0.0.2"));

    // 取得 while not connected: told so, nothing sent; connected: the clock read.
    link.connected = false;
    controls::find<QPushButton>(&dialog, "btnGetDate")->click();
    QCOMPARE(link.requests.size(), 0);
    QCOMPARE(m_shown, QStringList{QStringLiteral("リレイモに接続されていません")});
    link.connected = true;
    controls::find<QPushButton>(&dialog, "btnGetDate")->click();
    QCOMPARE(link.requests.size(), 1);
    QCOMPARE(link.requests[0].tag, uint8_t(4));
    QCOMPARE(link.requests[0].address, 160u);
    QCOMPARE(link.requests[0].value, 4u);
    // A clock answer too short goes to the status bar, not the date field.
    QSignalSpy status(&dialog, &TfrmGWcfg::statusMessage);
    link.answer(link.requests[0].serial, 4, registerBytes({0x2026}));
    QCOMPARE(status.size(), 1);
}

// The main window reads the log page's auto-save fields through the
// dialog's accessor: each field as typed at the time of the call.
void TestDialogsFakeLink::settingsHandOutTheAutoSaveFields()
{
    FakeGatewayLink link;
    AppSettings settings;
    TfrmGWcfg dialog(link, settings);
    auto *enabled = controls::find<QCheckBox>(&dialog, "ChkAutoSave");
    auto *digits = controls::find<QComboBox>(&dialog, "CbxLogSaveKeta");
    QVERIFY(digits->count() > 1);
    enabled->setChecked(false);
    QCOMPARE(dialog.autoSaveFields().enabled, false);
    enabled->setChecked(true);
    controls::find<QLineEdit>(&dialog, "EdSaveInt")->setText(QStringLiteral(" 25"));
    controls::find<QLineEdit>(&dialog, "EdLogSaveFN")->setText(QStringLiteral("plant_"));
    controls::find<QLineEdit>(&dialog, "EdLogSaveStart")->setText(QStringLiteral("7"));
    digits->setCurrentIndex(digits->count() - 1);
    const AutoSaveFields f = dialog.autoSaveFields();
    QCOMPARE(f.enabled, true);
    QCOMPARE(f.interval, QStringLiteral(" 25"));
    QCOMPARE(f.fileHeader, QStringLiteral("plant_"));
    QCOMPARE(f.firstNumber, QStringLiteral("7"));
    QCOMPARE(f.digits, digits->itemText(digits->count() - 1));
    QVERIFY(f.digits != digits->itemText(0));
}

void TestDialogsFakeLink::ftpToolAsksForTheSettingsPage()
{
    AppSettings settings;
    settings.ftpHost = QStringLiteral("127.0.0.3");
    settings.ftpPort = QStringLiteral("2121");
    TfrmFTPtool dialog(settings);
    QCOMPARE(controls::find<QLabel>(&dialog, "FTPhostIP")->text(), settings.ftpHost);
    dialog.setServer(QStringLiteral("127.0.0.4"), QStringLiteral("21"));
    QSignalSpy asked(&dialog, &TfrmFTPtool::settingsRequested);
    controls::find<QPushButton>(&dialog, "BtnFTPconfig")->click();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first().at(0).toString(), QStringLiteral("127.0.0.4"));
    QCOMPARE(asked.first().at(1).toString(), QStringLiteral("21"));
}

void TestDialogsFakeLink::terminalSettingsPageFollowsTheSetting()
{
    FakeGatewayLink link;
    AppSettings settings;
    settings.powerTerminalKind = 2;
    TfrmWattorSet dialog(link, settings);
    auto *pages = controls::find<QTabWidget>(&dialog, "PageControl1");
    QCOMPARE(pages->currentIndex(), 2);
    pages->setCurrentIndex(1);
    QCOMPARE(settings.powerTerminalKind, 1);
    QVERIFY(link.requests.isEmpty());
}

void TestDialogsFakeLink::connectionDialogShowsAndAsks()
{
    ModbusLink link;
    AppSettings settings;
    settings.modbusHost = QStringLiteral("127.0.0.5");
    settings.modbusPort = QStringLiteral("1502");
    TfrmConnect dialog(link, settings);
    QCOMPARE(controls::find<QLabel>(&dialog, "HostAddress")->text(), settings.modbusHost);
    QCOMPARE(controls::find<QLabel>(&dialog, "HostPort")->text(), settings.modbusPort);
    dialog.setTarget(QStringLiteral("127.0.0.6"), QStringLiteral("503"));
    QCOMPARE(controls::find<QLabel>(&dialog, "HostAddress")->text(), QStringLiteral("127.0.0.6"));
    QSignalSpy asked(&dialog, &TfrmConnect::settingsRequested);
    controls::find<QPushButton>(&dialog, "btnHOST")->click();
    QCOMPARE(asked.size(), 1);
    dialog.showBytesReceived(23);
    QCOMPARE(controls::find<QLabel>(&dialog, "StaticText2")->text(), QStringLiteral("23 Byte(s) Recieved."));
}

QTEST_MAIN(TestDialogsFakeLink)
#include "test_dialogs_fake_link.moc"
