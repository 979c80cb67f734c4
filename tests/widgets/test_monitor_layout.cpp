// The monitor panel's layout: terminal types, channel labels and units,
// read windows, group captions and address labels, in the real main window.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "monitor/MonitorLayout.h"
#include "app/TfrmConnect.h"
#include "support/AppFixture.h"
#include "support/Controls.h"
#include "support/InterfaceTexts.h"
#include "support/MonitorControls.h"
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

namespace {

QString labelText(const QString &name)
{
    auto *l = frmMain->findChild<QLabel *>(name);
    return l ? l->text() : QStringLiteral("<missing>");
}

QStringList captions()
{
    QStringList out;
    for (int g = 0; g < 4; ++g)
        out << frmMain->findChild<QGroupBox *>(QStringLiteral("GroupBoxWord%1").arg(g))->title();
    return out;
}

QStringList stMA()
{
    QStringList out;
    for (int g = 0; g < 4; ++g)
        out << labelText(QStringLiteral("stMA%1").arg(g));
    return out;
}

// Rows of one group as "label|unit".
QStringList rows(int group)
{
    QStringList out;
    for (int k = 0; k < 8; ++k) {
        const int p = 8 * group + k;
        out << labelText(QStringLiteral("lbHd%1").arg(p)) + u'|'
                   + labelText(QStringLiteral("lbTanni%1").arg(p));
    }
    return out;
}

// Selects a page and its address and data area as the user would.
} // namespace

class TestMonitorLayout : public QObject {
    Q_OBJECT
private slots:
    void longestValuesFit_data();
    void longestValuesFit();
    void channelTables_data();
    void channelTables();
    void startUp();
    void readWindows_data();
    void readWindows();
    void captionsAndRows_data();
    void captionsAndRows();
    void manualWindowKeepsCaptions();
    void bitPageSizeWithoutLink();
    void addressLabels_data();
    void addressLabels();
    void layoutClearsValuesAndKeepsFormat();
    void logAreaOnlyInTheEnlargedWindow();
};

void TestMonitorLayout::channelTables_data()
{
    QTest::addColumn<int>("terminal");
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("unit");
    QTest::newRow("thermocouple area 0") << 0 << 0 << 9 << "CH1" << "";
    QTest::newRow("thermocouple area 1") << 0 << 1 << 31 << "CH7" << "℃";
    QTest::newRow("thermocouple area 2") << 0 << 2 << 12 << "CH4" << "℃";
    QTest::newRow("thermocouple area 3") << 0 << 3 << 12 << "CH4" << "";
    QTest::newRow("counter13 area 1") << 1 << 1 << 3 << "CH3" << "回";
    QTest::newRow("counter24 area 1 group 0") << 2 << 1 << 5 << "CH5" << "回";
    QTest::newRow("counter24 area 1 group 1") << 2 << 1 << 13 << "" << "";
    QTest::newRow("counter24 area 1 group 2") << 2 << 1 << 16 << "CH0" << "回";
    QTest::newRow("counter24 area 0 group 1") << 2 << 0 << 13 << "CH5" << "";
    QTest::newRow("power7 Vab") << 3 << 1 << 0 << "Vab" << "V";
    QTest::newRow("power7 I3") << 3 << 1 << 3 << "I3" << "A";
    QTest::newRow("power7 Vbc") << 3 << 1 << 8 << "Vbc" << "V";
    QTest::newRow("power7 P7") << 3 << 1 << 15 << "P7" << "W";
    QTest::newRow("power7 group 3 P1") << 3 << 1 << 25 << "P1" << "W";
    QTest::newRow("power14 V1") << 4 << 1 << 0 << "V1" << "V";
    QTest::newRow("power14 I71") << 4 << 1 << 7 << "I71" << "A";
    QTest::newRow("power14 free word") << 4 << 1 << 8 << "" << "-";
    QTest::newRow("power14 P11") << 4 << 1 << 9 << "P11" << "W";
    QTest::newRow("power14 V2") << 4 << 1 << 16 << "V2" << "V";
    QTest::newRow("power14 P72") << 4 << 1 << 31 << "P72" << "W";
    QTest::newRow("power7hf Vca") << 5 << 1 << 8 << "Vca" << "V";
    QTest::newRow("power7hf I7c") << 5 << 1 << 23 << "I7c" << "A";
    QTest::newRow("power7hf free word") << 5 << 1 << 24 << "" << "-";
    QTest::newRow("power7hf P4") << 5 << 1 << 28 << "P4" << "W";
    QTest::newRow("current8") << 6 << 1 << 12 << "I4" << "A";
    QTest::newRow("current16 group 1") << 7 << 1 << 12 << "I12" << "A";
    QTest::newRow("current32") << 8 << 1 << 29 << "I29" << "A";
    QTest::newRow("outlet alive") << 9 << 1 << 8 << "生存" << "";
    QTest::newRow("outlet A current") << 9 << 1 << 1 << "A電流" << "A";
    QTest::newRow("outlet Btrip") << 9 << 1 << 20 << "Btrip" << "";
    QTest::newRow("outlet B last") << 9 << 1 << 30 << "B直前" << "A";
    QTest::newRow("thermistor 2") << 10 << 1 << 9 << "温度2" << "℃";
    QTest::newRow("temp/hum temperature") << 11 << 1 << 2 << "温度" << "℃";
    QTest::newRow("temp/hum humidity") << 11 << 1 << 27 << "湿度" << "%RH";
    QTest::newRow("no type") << -1 << 1 << 30 << "CH6" << "";
}

void TestMonitorLayout::channelTables()
{
    QFETCH(int, terminal);
    QFETCH(int, area);
    QFETCH(int, position);
    QFETCH(QString, label);
    QFETCH(QString, unit);
    const monitor::ChannelTexts t = monitor::terminalChannels(terminal, area);
    QCOMPARE(t.labels[size_t(position)], label);
    QCOMPARE(t.units[size_t(position)], unit);
}

void TestMonitorLayout::startUp()
{
    AppFixture fx(false);
    // Data area 1, bit area 0, decimal display, terminal type 0 of the
    // settings defaults, the window of word address 0.
    QCOMPARE(child<QComboBox>("DataAreaSelect")->currentIndex(), 1);
    QCOMPARE(child<QComboBox>("BitDataSelect")->currentIndex(), 0);
    QVERIFY(frmMain->findChild<QAction *>(QStringLiteral("ByDec"))->isChecked());
    QCOMPARE(appSession->displayFormat(), 0);
    QCOMPARE(labelText("stTerminalType"), QStringLiteral("温度測定　熱電対ターミナル"));
    QCOMPARE(child<QSpinBox>("seReadAddress")->value(), 30321);
    QCOMPARE(child<QSpinBox>("seReadSize")->value(), 32);
    QCOMPARE(captions(), (QStringList{"WORD 0", "WORD 1", "WORD 2", "WORD 3"}));
    QCOMPARE(appSession->realFactor()[31], 0.1f);
    QVERIFY(!child<QSpinBox>("seReadAddress")->isEnabled());
    QVERIFY(child<QComboBox>("DataAreaSelect")->isVisibleTo(frmMain));
    QVERIFY(!child<QComboBox>("BitDataSelect")->isVisibleTo(frmMain));
    // All controls of the panel were collected.
    for (int p = 0; p < 32; ++p)
        QVERIFY(valueBox(size_t(p)) && controls::find<QLabel>(frmMain, QStringLiteral("lbHd%1").arg(size_t(p))) && controls::find<QLabel>(frmMain, QStringLiteral("lbTanni%1").arg(size_t(p))));
    for (int i = 0; i < 4; ++i)
        QVERIFY(headerBox(size_t(i)));
    QCOMPARE(child<QComboBox>("cbTerminalType")->count(), 13);
    QCOMPARE(child<QComboBox>("cbTerminalType")->itemText(12), QStringLiteral("99：その他"));
}

void TestMonitorLayout::readWindows_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("terminal");
    QTest::addColumn<int>("area");     // DataAreaSelect, or BitDataSelect on the bit pages
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("readAddress");
    QTest::addColumn<int>("readSize");
    QTest::addColumn<int>("dataType");
    QTest::newRow("word bus w=5") << int(Word) << 0 << 0 << 5 << 30038 << 4 << 0;
    QTest::newRow("extended w=5") << int(Word) << 0 << 1 << 5 << 30361 << 32 << 0;
    QTest::newRow("extended 24-bit counter") << int(Word) << 2 << 1 << 8 << 30385 << 32 << 3;
    QTest::newRow("engineering w=63") << int(Word) << 0 << 2 << 63 << 31841 << 64 << 2;
    QTest::newRow("input soft counters") << int(Word) << 0 << 3 << 2 << 32657 << 64 << 1;
    QTest::newRow("timed soft counters") << int(Word) << 0 << 4 << 1 << 33665 << 64 << 1;
    QTest::newRow("free 16-bit") << int(Word) << 0 << 5 << 7 << 30040 << 4 << 0;
    QTest::newRow("free 32-bit") << int(Word) << 0 << 6 << 7 << 30040 << 4 << 1;
    QTest::newRow("free real") << int(Word) << 0 << 7 << 7 << 30040 << 4 << 2;
    QTest::newRow("no area") << int(Word) << 0 << -1 << 7 << 30008 << 4 << 0;
    QTest::newRow("other type area 0") << int(Word) << 12 << 0 << 0 << 30033 << 32 << 0;
    QTest::newRow("other type area 2") << int(Word) << 12 << 2 << 1 << 30849 << 32 << 2;
    QTest::newRow("no type") << int(Word) << -1 << 1 << 1 << 30329 << 32 << 0;
    QTest::newRow("bit bus b=37") << int(Bit) << 0 << 0 << 37 << 30003 << 4 << 5;
    QTest::newRow("edge counters b=255") << int(Bit) << 0 << 1 << 255 << 32624 << 32 << 0;
    QTest::newRow("edge counters b=20") << int(Bit) << 0 << 1 << 20 << 32389 << 32 << 0;
    QTest::newRow("D2 d=100") << int(D2) << 0 << 0 << 100 << 30039 << 4 << 5;
    QTest::newRow("D2 ignores the bit item") << int(D2) << 0 << 1 << 511 << 30064 << 4 << 5;
}

void TestMonitorLayout::readWindows()
{
    QFETCH(int, page);
    QFETCH(int, terminal);
    QFETCH(int, area);
    QFETCH(int, address);
    QFETCH(int, readAddress);
    QFETCH(int, readSize);
    QFETCH(int, dataType);
    AppFixture fx(false);
    select(page, terminal, page == Word ? area : 1, page == Word ? 0 : area, address, true);
    QCOMPARE(child<QSpinBox>("seReadAddress")->value(), readAddress);
    QCOMPARE(child<QSpinBox>("seReadSize")->value(), readSize);
    QCOMPARE(child<QComboBox>("cbxDataType")->currentIndex(), dataType);
    if (page == Word) {
        const auto w = monitor::wordReadWindow(area, terminal, address);
        QCOMPARE(w.address, readAddress);
        QCOMPARE(w.size, readSize);
    }
}

void TestMonitorLayout::captionsAndRows_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("terminal");
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("groupCaptions");
    QTest::addColumn<QStringList>("ma");
    QTest::addColumn<int>("group");
    QTest::addColumn<QStringList>("groupRows");
    QTest::addColumn<int>("powerKind");  // expected PowerTerminalKind after starting at 5

    QTest::newRow("power 7 standard w=10 area 0")
        << int(Word) << 3 << 0 << 10 << "電力７回路標準ターミナル"
        << QStringList{"WORD 10", "WORD 11", "WORD 12", "WORD 13"}
        << QStringList{"30043", "30044", "30045", "30046"} << 1
        << QStringList{"Vbc|V", "P1|W", "P2|W", "P3|W", "P4|W", "P5|W", "P6|W", "P7|W"} << 0;
    QTest::newRow("power 14") << int(Word) << 4 << 1 << 16 << "電力14回路ターミナル"
        << QStringList{"WORD 16", "WORD 17", "WORD 18", "WORD 19"}
        << QStringList{"30049", "30050", "30051", "30052"} << 3
        << QStringList{"|-", "P12|W", "P22|W", "P32|W", "P42|W", "P52|W", "P62|W", "P72|W"} << 2;
    QTest::newRow("power 7 high function") << int(Word) << 5 << 1 << 20 << "電力７回路高機能ターミナル"
        << QStringList{"WORD 20", "WORD 21", "WORD 22", "WORD 23"}
        << QStringList{"30053", "30054", "30055", "30056"} << 2
        << QStringList{"Vcb|V", "I1c|A", "I2c|A", "I3c|A", "I4c|A", "I5c|A", "I6c|A", "I7c|A"} << 3;
    QTest::newRow("counter 24 area 1 group 1 empty") << int(Word) << 2 << 1 << 8
        << "カウンターターミナル(24bit)" << QStringList{"WORD 8", "WORD 9", "WORD 10", "WORD 11"}
        << QStringList{"30041", "30042", "30043", "30044"} << 1
        << QStringList{"|", "|", "|", "|", "|", "|", "|", "|"} << 5;
    QTest::newRow("outlet bar") << int(Word) << 9 << 1 << 36 << "コンセントバーPDU"
        << QStringList{"WORD 36", "WORD 37", "WORD 38", "WORD 39"}
        << QStringList{"30069", "30070", "30071", "30072"} << 0
        << QStringList{"生存|", "A電流|A", "Atrip|", "B電流|A", "Btrip|", "A直前|A", "B直前|A", "--|"} << 1;
    QTest::newRow("other") << int(Word) << 12 << 1 << 48 << "その他"
        << QStringList{"WORD 48", "WORD 49", "WORD 50", "WORD 51"}
        << QStringList{"30081", "30082", "30083", "30084"} << 0
        << QStringList{"CH0|", "CH1|", "CH2|", "CH3|", "CH4|", "CH5|", "CH6|", "CH7|"} << 5;
    QTest::newRow("bit bus b=40") << int(Bit) << 0 << 0 << 40 << "16点ビット入力ターミナル"
        << QStringList{"BitBus-word 2", "BitBus-word 3", "BitBus-word 4", "BitBus-word 5"}
        << QStringList{"30003", "30004", "30005", "30006"} << 2
        << QStringList{"0|1", "2|3", "4|5", "6|7", "8|9", "10|11", "12|13", "14|15"} << 5;
    QTest::newRow("edge counters b=20 group 0") << int(Bit) << 0 << 1 << 20 << "16点ビット入力ターミナル"
        << QStringList{"BitBus-word 1", "BitBus-word 2", "BitBus-word 3", "BitBus-word 4"}
        << QStringList{"30002", "30003", "30004", "30005"} << 2
        << QStringList{"0|回", "1|回", "2|回", "3|回", "4|回", "5|回", "6|回", "7|回"} << 5;
    QTest::newRow("edge counters b=20 group 3") << int(Bit) << 0 << 1 << 20 << "16点ビット入力ターミナル"
        << QStringList{"BitBus-word 1", "BitBus-word 2", "BitBus-word 3", "BitBus-word 4"}
        << QStringList{"30002", "30003", "30004", "30005"} << 3
        << QStringList{"8|回", "9|回", "10|回", "11|回", "12|回", "13|回", "14|回", "15|回"} << 5;
    QTest::newRow("D2 d=33") << int(D2) << 0 << 0 << 33 << "16点ビット入力ターミナル"
        << QStringList{"D2Bus-word 2", "D2Bus-word 3", "D2Bus-word 4", "D2Bus-word 5"}
        << QStringList{"30035", "30036", "30037", "30038"} << 0
        << QStringList{"0|1", "2|3", "4|5", "6|7", "8|9", "10|11", "12|13", "14|15"} << 5;
}

void TestMonitorLayout::captionsAndRows()
{
    QFETCH(int, page);
    QFETCH(int, terminal);
    QFETCH(int, area);
    QFETCH(int, address);
    QFETCH(QString, caption);
    QFETCH(QStringList, groupCaptions);
    QFETCH(QStringList, ma);
    QFETCH(int, group);
    QFETCH(QStringList, groupRows);
    QFETCH(int, powerKind);
    AppFixture fx(false);
    appSession->settings().powerTerminalKind = 5;
    select(page, terminal, page == Word ? area : 1, page == Word ? 0 : area, address, true);
    QCOMPARE(labelText("stTerminalType"), caption);
    QCOMPARE(captions(), groupCaptions);
    QCOMPARE(stMA(), ma);
    QCOMPARE(rows(group), groupRows);
    QCOMPARE(appSession->settings().powerTerminalKind, powerKind);
    QCOMPARE(appSession->settings().terminalType, terminal);
}

void TestMonitorLayout::manualWindowKeepsCaptions()
{
    AppFixture fx(false);
    select(Word, 3, 0, 0, 10, true);
    child<QCheckBox>("chkbxAutoChange")->setChecked(false);
    child<QSpinBox>("seReadAddress")->setValue(41025);
    child<QSpinBox>("seWordAdrs")->setValue(20);
    // The word label follows the address; window, captions and stMA stay.
    QCOMPARE(labelText("stModbusAdrs"), QStringLiteral("30053"));
    QCOMPARE(captions(), (QStringList{"WORD 10", "WORD 11", "WORD 12", "WORD 13"}));
    QCOMPARE(stMA(), (QStringList{"30043", "30044", "30045", "30046"}));
    QCOMPARE(child<QSpinBox>("seReadAddress")->value(), 41025);
    // Typing is allowed in the address while the link is off.
    QVERIFY(child<QSpinBox>("seReadAddress")->isEnabled());
    // The labels still follow the terminal type.
    child<QComboBox>("cbTerminalType")->setCurrentIndex(6);
    QCOMPARE(rows(1).first(), QStringLiteral("I0|A"));
}

void TestMonitorLayout::bitPageSizeWithoutLink()
{
    AppFixture fx(false);
    child<QCheckBox>("chkbxAutoChange")->setChecked(false);
    child<QSpinBox>("seReadAddress")->setValue(30100);
    child<QSpinBox>("seReadSize")->setValue(7);
    child<QTabWidget>("pcSlaveType")->setCurrentIndex(Bit);
    // The size follows the bit area even without the link; the address not.
    QCOMPARE(child<QSpinBox>("seReadSize")->value(), 4);
    child<QComboBox>("BitDataSelect")->setCurrentIndex(1);
    QCOMPARE(child<QSpinBox>("seReadSize")->value(), 32);
    QCOMPARE(child<QSpinBox>("seReadAddress")->value(), 30100);
    QVERIFY(child<QComboBox>("BitDataSelect")->isVisibleTo(frmMain));
    QVERIFY(!child<QComboBox>("DataAreaSelect")->isVisibleTo(frmMain));
    // Captions follow the bit address whether linked or not.
    child<QSpinBox>("seBitAdrs")->setValue(100);
    QCOMPARE(captions().first(), QStringLiteral("BitBus-word 6"));
    QCOMPARE(appSession->selection().bitDataItem, 1);
}

void TestMonitorLayout::addressLabels_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("d");
    QTest::addColumn<QStringList>("labels");  // word, bit in, bit word, bit out, D2 in, D2 word, D2 out
    QTest::newRow("all 0") << 0 << 0 << 0
                           << QStringList{"30033", "10001", "30001", "00001", "11001", "30033", "04001"};
    QTest::newRow("highest") << 63 << 255 << 511
                             << QStringList{"30096", "10256", "30016", "00256", "11512", "30064", "04512"};
    QTest::newRow("middle") << 10 << 37 << 100
                            << QStringList{"30043", "10038", "30003", "00038", "11101", "30039", "04101"};
}

void TestMonitorLayout::addressLabels()
{
    QFETCH(int, w);
    QFETCH(int, b);
    QFETCH(int, d);
    QFETCH(QStringList, labels);
    AppFixture fx(false);
    child<QSpinBox>("seWordAdrs")->setValue(w);
    child<QSpinBox>("seBitAdrs")->setValue(b);
    child<QSpinBox>("seD2BitAdrs")->setValue(d);
    // (The soft counter dialog writes the bit output label without leading
    // zeros at start-up; every refresh writes it again.)
    frmMain->RefreshMonitorLayout();
    const QStringList shown{labelText("stModbusAdrs"),         labelText("stModbusBitInAdrs"),
                            labelText("stModbusBitWordAdrs"),  labelText("stModbusBitOutAdrs"),
                            labelText("stModbusD2BitInAdrs"),  labelText("stModbusD2BitWordAdrs"),
                            labelText("stModbusD2BitOutAdrs")};
    QCOMPARE(shown, labels);
    const auto pure = monitor::addressLabels(w, b, d);
    QCOMPARE(pure.d2BitOutAdrs, labels[6]);
}

void TestMonitorLayout::layoutClearsValuesAndKeepsFormat()
{
    AppFixture fx(false);
    valueBox(3)->setText(QStringLiteral("123"));
    headerBox(0)->setText(QStringLiteral("9"));
    frmMain->findChild<QAction *>(QStringLiteral("ByHex"))->trigger();
    QCOMPARE(appSession->displayFormat(), 1);
    child<QSpinBox>("seWordAdrs")->setValue(3);
    QCOMPARE(valueBox(3)->text(), QString());
    QCOMPARE(headerBox(0)->text(), QStringLiteral("9"));  // header boxes stay
    QCOMPARE(appSession->displayFormat(), 1);
    QVERIFY(frmMain->findChild<QAction *>(QStringLiteral("ByHex"))->isChecked());
    QVERIFY(!frmMain->findChild<QAction *>(QStringLiteral("ByDec"))->isChecked());
}

void TestMonitorLayout::logAreaOnlyInTheEnlargedWindow()
{
    AppFixture fx(false);
    frmMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmMain));
    auto *memo = frmMain->findChild<QWidget *>(QStringLiteral("Memo2"));
    auto *row = frmMain->findChild<QWidget *>(QStringLiteral("LogLineBuf"));
    QVERIFY(memo && row);
    QVERIFY(!frmMain->findChild<QWidget *>(QStringLiteral("Memo1"))->isVisibleTo(frmMain));
    const QWidget *central = frmMain->centralWidget();
    // The normal window ends below the row display, before the log area.
    QTRY_VERIFY(central->height() > 0);
    QVERIFY2(row->geometry().bottom() < central->height(),
             qPrintable(QStringLiteral("%1 %2").arg(row->geometry().bottom()).arg(central->height())));
    QVERIFY(memo->y() >= central->height());
    frmMain->findChild<QAction *>(QStringLiteral("N11"))->trigger();
    QTRY_VERIFY(central->height() > memo->geometry().bottom());
}

// The longest value a field shows stays whole: the read address of the
// monitor (five digits) and the connection dialog's host and port (a
// simulator's port has five digits).
void TestMonitorLayout::longestValuesFit_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("port");
    QTest::newRow("gateway") << 30417 << "192.168.1.200" << "502";
    QTest::newRow("largest") << 49999 << "192.168.1.200" << "65535";
}

void TestMonitorLayout::longestValuesFit()
{
    QFETCH(int, address);
    QFETCH(QString, host);
    QFETCH(QString, port);
    AppFixture fx(false);
    frmMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmMain));
    auto *spin = child<QSpinBox>("seReadAddress");
    spin->setValue(address);
    auto *edit = spin->findChild<QLineEdit *>();
    QVERIFY(edit);
    const QString shown = spin->text();
    QCOMPARE(shown, QString::number(address));
    const int room = edit->contentsRect().width() - 2 * 2;  // the line edit's own text margin
    QVERIFY2(edit->fontMetrics().horizontalAdvance(shown) <= room,
             qPrintable(QStringLiteral("%1 px in %2").arg(edit->fontMetrics().horizontalAdvance(shown)).arg(room)));

    frmConnect->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmConnect));
    controls::find<QLabel>(frmConnect, "HostAddress")->setText(host);
    controls::find<QLabel>(frmConnect, "HostPort")->setText(port);
    const QList<ShownText> cut = cutOffTextsOf(frmConnect);
    QStringList where;
    for (const ShownText &t : cut)
        where << t.where + u' ' + t.text;
    QVERIFY2(cut.isEmpty(), qPrintable(where.join(u'\n')));
    frmConnect->hide();
}

QTEST_MAIN(TestMonitorLayout)
#include "test_monitor_layout.moc"
