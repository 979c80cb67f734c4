// The monitor in the real main window: polling requests, starting and
// stopping, counters, the display of answers, the bit buttons, another copy
// of the tool and the addresses in the settings file.
#include "support/TestApp.h"
#include "support/AnswerFrames.h"
#include "app/IniFile.h"
#include "app/TfrmMain.h"
#include "support/AppFixture.h"
#include "support/MonitorControls.h"
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

// A read answer of the gateway as it arrives on the socket.
QByteArray answer(int tag, const QList<int> &regs, int function = 4)
{
    QByteArray a;
    const int len = 3 + 2 * int(regs.size());
    a.append(char(tag));
    a.append(char(1));
    a.append('\0');
    a.append('\0');
    a.append(char(len >> 8));
    a.append(char(len & 0xFF));
    a.append(char(1));
    a.append(char(function));
    a.append(char(2 * regs.size()));
    for (int r : regs) {
        a.append(char(r >> 8 & 0xFF));
        a.append(char(r & 0xFF));
    }
    return a;
}

// One answer to a poll request of the monitor, handed to the monitor as
// the poll's reply hands it.
void feed(int tag, const QList<int> &regs)
{
    ReceiveBuffer rb;
    rb.assign(answer(tag, regs));
    if (tag == 20)
        appSession->handleHeaderAnswer(rb, {});
    else
        appSession->handleValuesAnswer(rb, {});
}

QStringList values(int from, int count)
{
    QStringList out;
    for (int p = from; p < from + count; ++p)
        out << valueBox(size_t(p))->text();
    return out;
}

QStringList headers()
{
    QStringList out;
    for (int i = 0; i < 4; ++i)
        out << headerBox(size_t(i))->text();
    return out;
}

// The requests the simulator received up to a marker read sent after them
// (the stream keeps its order, so nothing sent before the marker is missed).
QStringList requestsUntilMarker(AppFixture &fx)
{
    appSession->link().SendReadInputRegisters(99, 0, 1);
    QStringList out;
    const bool seen = QTest::qWaitFor([&] {
        for (const SimRequest &r : fx.gateway()->requests())
            if (r.tag == 99)
                return true;
        return false;
    }, 5000);
    if (!seen)
        return {QStringLiteral("<marker not seen>")};
    for (const SimRequest &r : fx.gateway()->requests()) {
        if (r.tag == 99)
            break;
        out << r.text();
    }
    return out;
}

QColor background(const char *name)
{
    return child<QLabel>(name)->palette().color(QPalette::Window);
}

} // namespace

class TestMonitorWindow : public QObject {
    Q_OBJECT
private slots:
    void tickRequests_data();
    void tickRequests();
    void monitorButtonFollowsConnection();
    void startAndStop();
    void intervalErrors_data();
    void intervalErrors();
    void autoChangeStopsMonitoring();
    void countersAndElapsed();
    void answersReachTheBoxes_data();
    void answersReachTheBoxes();
    void headerAnswers_data();
    void headerAnswers();
    void formatAndOrderTakeEffectWithNextAnswer();
    void bitButtons_data();
    void bitButtons();
    void anotherCopy();
    void addressesInSettingsFile();
};

void TestMonitorWindow::tickRequests_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("terminal");
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("bitItem");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("manualAddress");  // 0: the link chooses the window
    QTest::addColumn<int>("manualSize");
    QTest::addColumn<QStringList>("requests");
    QTest::newRow("extended w=5") << int(Word) << 0 << 1 << 0 << 5 << 0 << 0
        << QStringList{"REQ tag=0 fn=4 addr=360 count=32", "REQ tag=20 fn=4 addr=37 count=4"};
    QTest::newRow("engineering w=63") << int(Word) << 0 << 2 << 0 << 63 << 0 << 0
        << QStringList{"REQ tag=0 fn=4 addr=1840 count=64", "REQ tag=20 fn=4 addr=95 count=4"};
    QTest::newRow("other type word bus") << int(Word) << 12 << 0 << 0 << 0 << 0 << 0
        << QStringList{"REQ tag=0 fn=4 addr=32 count=32", "REQ tag=20 fn=4 addr=32 count=4"};
    QTest::newRow("bit bus b=37") << int(Bit) << 0 << 1 << 0 << 37 << 0 << 0
        << QStringList{"REQ tag=0 fn=4 addr=2 count=4", "REQ tag=20 fn=4 addr=2 count=4"};
    QTest::newRow("edge counters b=255") << int(Bit) << 0 << 1 << 1 << 255 << 0 << 0
        << QStringList{"REQ tag=0 fn=4 addr=2623 count=32", "REQ tag=20 fn=4 addr=15 count=4"};
    QTest::newRow("D2 d=100") << int(D2) << 0 << 1 << 0 << 100 << 0 << 0
        << QStringList{"REQ tag=0 fn=4 addr=38 count=4", "REQ tag=20 fn=4 addr=38 count=4"};
    QTest::newRow("holding registers 41025") << int(Word) << 0 << 1 << 0 << 3 << 41025 << 10
        << QStringList{"REQ tag=0 fn=3 addr=1024 count=10"};
    QTest::newRow("last input register 40000") << int(Word) << 0 << 1 << 0 << 3 << 40000 << 1
        << QStringList{"REQ tag=0 fn=4 addr=9999 count=1", "REQ tag=20 fn=4 addr=35 count=4"};
    QTest::newRow("holding 40500 sends nothing") << int(Word) << 0 << 1 << 0 << 3 << 40500 << 10
        << QStringList{};
    QTest::newRow("holding 41024 sends nothing") << int(Word) << 0 << 1 << 0 << 3 << 41024 << 10
        << QStringList{};
}

void TestMonitorWindow::tickRequests()
{
    QFETCH(int, page);
    QFETCH(int, terminal);
    QFETCH(int, area);
    QFETCH(int, bitItem);
    QFETCH(int, address);
    QFETCH(int, manualAddress);
    QFETCH(int, manualSize);
    QFETCH(QStringList, requests);
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    select(page, terminal, area, bitItem, address);
    if (manualAddress) {
        child<QCheckBox>("chkbxAutoChange")->setChecked(false);
        child<QSpinBox>("seReadAddress")->setValue(manualAddress);
        child<QSpinBox>("seReadSize")->setValue(manualSize);
    }
    // A long interval: the test makes the ticks itself.
    child<QLineEdit>("Interval")->setText(QStringLiteral("10000"));
    child<QToolButton>("sbtnMonitor")->click();
    QVERIFY(appSession->isMonitoring());
    fx.gateway()->clearRequests();
    appSession->tick();
    QCOMPARE(requestsUntilMarker(fx), requests);
}

void TestMonitorWindow::monitorButtonFollowsConnection()
{
    AppFixture fx;
    auto *button = child<QToolButton>("sbtnMonitor");
    QVERIFY(!button->isEnabled());
    QVERIFY(fx.connectGateway());
    QVERIFY(button->isEnabled());
    child<QLineEdit>("Interval")->setText(QStringLiteral("100"));
    button->click();
    QVERIFY(appSession->isMonitoring());
    QVERIFY(button->isChecked());
    // Answers arrive by themselves and count up.
    QTRY_VERIFY_WITH_TIMEOUT(appSession->monitorCount() >= 3, 5000);
    appSession->link().close();
    QTRY_VERIFY(!button->isEnabled());
    QVERIFY(!appSession->isMonitoring());
    // The button no longer shows monitoring after the next tick.
    appSession->tick();
    QVERIFY(!button->isChecked());
}

void TestMonitorWindow::startAndStop()
{
    AppFixture fx(false);
    for (int p = 0; p < 32; ++p)
        if (QLabel *l = valueBox(p))
        l->setText(QStringLiteral("old"));
    headerBox(2)->setText(QStringLiteral("old"));
    child<QLineEdit>("Interval")->setText(QStringLiteral("250"));
    {
        ReceiveBuffer rb;  // an answer counted before the start
        rb.assign(frames::readAnswer(0, frames::registerBytes({1})));
        appSession->handleValuesAnswer(rb, {});
    }
    QCOMPARE(appSession->monitorCount(), 1u);
    frmMain->sbtnMonitorClick();
    QVERIFY(appSession->isMonitoring());
    QCOMPARE(appSession->monitorCount(), 0u);
    QCOMPARE(values(0, 32), QStringList(32, QString()));
    QCOMPARE(headers(), QStringList(4, QString()));
    QCOMPARE(child<QLabel>("stCntr")->text(), QStringLiteral("0"));
    QCOMPARE(child<QLabel>("stElTime")->text(), QStringLiteral("0:00:00.0"));
    QCOMPARE((&appSession->pollTimer())->interval(), 250);
    QVERIFY((&appSession->pollTimer())->isActive());
    QVERIFY(!child<QLineEdit>("Interval")->isEnabled());

    // Counter colours: lime and yellow while monitoring, silver otherwise.
    appSession->tick();
    QCOMPARE(background("stCntr"), QColor(0, 255, 0));
    QCOMPARE(background("stElTime"), QColor(255, 255, 0));

    // Stop: values stay, the interval can be edited again.
    valueBox(0)->setText(QStringLiteral("12"));
    frmMain->sbtnMonitorClick();
    QVERIFY(!appSession->isMonitoring());
    QVERIFY(child<QLineEdit>("Interval")->isEnabled());
    QCOMPARE(valueBox(0)->text(), QStringLiteral("12"));
    QVERIFY(!appSession->pollTimer().isActive());  // nothing polls any more
    appSession->tick();
    QCOMPARE(background("stCntr"), QColor(192, 192, 192));
    QCOMPARE(background("stElTime"), QColor(192, 192, 192));
}

void TestMonitorWindow::intervalErrors_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("monitoring");
    QTest::addColumn<bool>("timerActive");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a number") << "4oo" << 0 << false << "'4oo' は有効な整数値ではありません";
    QTest::newRow("empty") << "" << 0 << false << "'' は有効な整数値ではありません";
    QTest::newRow("negative") << "-100" << 0 << false
                              << "モニター間隔 '-100' は 0 以上の整数で指定してください";
    QTest::newRow("zero stops the timer") << "0" << 1 << false << "";
    QTest::newRow("blanks around") << " 300 " << 1 << true << "";
}

void TestMonitorWindow::intervalErrors()
{
    QFETCH(QString, interval);
    QFETCH(int, monitoring);
    QFETCH(bool, timerActive);
    QFETCH(QString, message);
    AppFixture fx(false);
    valueBox(5)->setText(QStringLiteral("old"));
    child<QLineEdit>("Interval")->setText(interval);
    frmMain->sbtnMonitorClick();
    QCOMPARE(appSession->isMonitoring(), monitoring == 1);
    QCOMPARE((&appSession->pollTimer())->isActive(), timerActive);
    QCOMPARE(fx.messageTexts(), message.isEmpty() ? QStringList{} : QStringList{message});
    if (!message.isEmpty()) {
        QCOMPARE(fx.messages.first().kind, msg::Kind::Error);
        // The steps before the interval have happened; the edit stays usable.
        QCOMPARE(valueBox(5)->text(), QString());
        QCOMPARE(child<QLabel>("stCntr")->text(), QStringLiteral("0"));
        QVERIFY(child<QLineEdit>("Interval")->isEnabled());
    }
}

void TestMonitorWindow::autoChangeStopsMonitoring()
{
    AppFixture fx(false);
    frmMain->sbtnMonitorClick();
    QVERIFY(appSession->isMonitoring());
    auto *link = child<QCheckBox>("chkbxAutoChange");
    link->click();
    QVERIFY(!appSession->isMonitoring());
    QVERIFY(child<QSpinBox>("seReadAddress")->isEnabled());
    QVERIFY(child<QSpinBox>("seReadSize")->isEnabled());
    // Only the monitor button gives the interval back.
    QVERIFY(!child<QLineEdit>("Interval")->isEnabled());
    // The layout is not refreshed by the click: the window stays.
    QCOMPARE(child<QSpinBox>("seReadAddress")->value(), 30321);
    frmMain->sbtnMonitorClick();
    QVERIFY(appSession->isMonitoring());
    link->click();
    QVERIFY(!appSession->isMonitoring());
    QVERIFY(!child<QSpinBox>("seReadAddress")->isEnabled());
    QVERIFY(!child<QSpinBox>("seReadSize")->isEnabled());
}

void TestMonitorWindow::countersAndElapsed()
{
    // The panel shows what the session counts (the counting itself is
    // the session's, tested without a window).
    AppFixture fx(false);
    select(Word, 0, 0, 0, 0);
    appSession->settings().logHeaderMode = 1;
    frmMain->sbtnMonitorClick();  // interval "400"
    feed(0, {1, 2, 3, 4});
    QCOMPARE(child<QLabel>("stCntr")->text(), QStringLiteral("1"));
    QCOMPARE(child<QLabel>("stElTime")->text(), QStringLiteral("0:00:00.4"));
    QCOMPARE(child<QLineEdit>("LogLineBuf")->text(), QStringLiteral("0,1,2,3,4"));
    frmMain->sbtnLogStartClick();
    feed(0, {5, 6, 7, 8});
    feed(0, {9, 10, 11, 12});
    QCOMPARE(child<QLabel>("stCntr")->text(), QStringLiteral("3"));
    QCOMPARE(child<QLabel>("stElTime")->text(), QStringLiteral("0:00:01.2"));
    QCOMPARE(child<QLineEdit>("LogLineBuf")->text(), QStringLiteral("1,9,10,11,12"));
    QCOMPARE(child<QLabel>("stLogCntr")->text(), QStringLiteral("2"));
}

void TestMonitorWindow::answersReachTheBoxes_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("terminal");
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("bitItem");
    QTest::addColumn<int>("dataType");  // -2: as the layout chose
    QTest::addColumn<QList<int>>("regs");
    QTest::addColumn<int>("first");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("row");
    QTest::newRow("word bus 16-bit") << int(Word) << 0 << 0 << 0 << -2 << QList<int>{1, 2, 65535}
                                     << 0 << QStringList{"1", "2", "65535", ""} << ",1,2,65535";
    QTest::newRow("user picks signed") << int(Word) << 0 << 0 << 0 << 4 << QList<int>{65535, 32767}
                                       << 0 << QStringList{"-1", "32767"} << ",65535,32767";
    QTest::newRow("24-bit counters, items 8.. in the third group") << int(Word) << 2 << 1 << 0 << -2
        << QList<int>{1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0x0201,
                      9, 0, 10, 0, 11, 0, 12, 0, 13, 0, 14, 0, 15, 0, 16, 0}
        << 6 << QStringList{"7", "65544", "", "", "", "", "", "", "", "", "9", "10"}
        << ",1,2,3,4,5,6,7,65544,9,10,11,12,13,14,15,16";
    QTest::newRow("bit bus") << int(Bit) << 0 << 0 << 0 << -2 << QList<int>{6, 0xFFFF} << 0
        << QStringList{"●  ○ ", "○  ● ", "●  ● ", "●  ● ", "●  ● ", "●  ● ", "●  ● ", "●  ● ",
                       "○  ○ "} << ",6,65535";
    QTest::newRow("D2 bits") << int(D2) << 0 << 0 << 0 << -2 << QList<int>{0x8000} << 7
                             << QStringList{"●  ○ ", ""} << ",32768";
}

void TestMonitorWindow::answersReachTheBoxes()
{
    QFETCH(int, page);
    QFETCH(int, terminal);
    QFETCH(int, area);
    QFETCH(int, bitItem);
    QFETCH(int, dataType);
    QFETCH(QList<int>, regs);
    QFETCH(int, first);
    QFETCH(QStringList, boxes);
    QFETCH(QString, row);
    AppFixture fx(false);
    select(page, terminal, area, bitItem, 0);
    if (dataType != -2)
        child<QComboBox>("cbxDataType")->setCurrentIndex(dataType);
    feed(0, regs);
    QCOMPARE(values(first, int(boxes.size())), boxes);
    QCOMPARE(child<QLineEdit>("LogLineBuf")->text(), row);
    QCOMPARE(appSession->monitorCount(), 1u);
}

void TestMonitorWindow::headerAnswers_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("expected");
    const QStringList old{"old", "old", "old", "old"};
    QTest::newRow("word page converted") << int(Word) << "ByRatio"
                                         << QStringList{"10", "65535", "0", "4660"};
    QTest::newRow("word page characters") << int(Word) << "ASCII1"
                                          << QStringList{"000A", "FFFF", "0000", "1234"};
    QTest::newRow("bit page hex") << int(Bit) << "ByHex" << QStringList{"000A", "FFFF", "0000", "1234"};
    QTest::newRow("bit page converted") << int(Bit) << "ByRatio" << old;
    QTest::newRow("D2 page characters") << int(D2) << "ASCII1" << old;
}

void TestMonitorWindow::headerAnswers()
{
    QFETCH(int, page);
    QFETCH(QString, format);
    QFETCH(QStringList, expected);
    AppFixture fx(false);
    select(page, 0, 1, 0, 0);
    frmMain->findChild<QAction *>(format)->trigger();
    for (QLabel *l : {headerBox(0), headerBox(1), headerBox(2), headerBox(3)})
        l->setText(QStringLiteral("old"));
    // A fifth register has no box.
    feed(20, {10, 65535, 0, 0x1234, 99});
    QCOMPARE(headers(), expected);
    QCOMPARE(appSession->monitorCount(), 0u);
}

void TestMonitorWindow::formatAndOrderTakeEffectWithNextAnswer()
{
    AppFixture fx(false);
    select(Word, 0, 6, 0, 0);  // free 32-bit
    feed(0, {1, 0});
    QCOMPARE(valueBox(0)->text(), QStringLiteral("1"));
    // The pop-up menu of the value groups carries the four formats.
    auto *group = child<QGroupBox>("GroupBoxWord2");
    QCOMPARE(group->toolTip(), QStringLiteral("右クリックで表示モード変更"));
    QCOMPARE(group->contextMenuPolicy(), Qt::CustomContextMenu);
    QCOMPARE(frmMain->findChild<QMenu *>(QStringLiteral("PopupMenu1"))->actions().size(), 4);
    frmMain->findChild<QAction *>(QStringLiteral("ByHex"))->trigger();
    QCOMPARE(valueBox(0)->text(), QStringLiteral("1"));  // not redrawn
    feed(0, {1, 0});
    QCOMPARE(valueBox(0)->text(), QStringLiteral("00000001"));
    frmMain->findChild<QAction *>(QStringLiteral("SWAP1"))->trigger();
    QCOMPARE(appSession->settings().wordOrderSwap, 1);
    feed(0, {1, 0});
    QCOMPARE(valueBox(0)->text(), QStringLiteral("00010000"));
    frmMain->findChild<QAction *>(QStringLiteral("N7"))->trigger();
    frmMain->findChild<QAction *>(QStringLiteral("ByRatio"))->trigger();
    feed(0, {1234, 0});
    QCOMPARE(valueBox(0)->text(), QStringLiteral("123.4"));
    // Characters of 16-bit data; a shorter answer keeps the other boxes.
    child<QComboBox>("DataAreaSelect")->setCurrentIndex(0);
    frmMain->findChild<QAction *>(QStringLiteral("ASCII1"))->trigger();
    feed(0, {0x0D0A, 0x4142});
    feed(0, {0x4102});
    QCOMPARE(values(0, 2), (QStringList{"A･STX", "A･B"}));
}

void TestMonitorWindow::bitButtons_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("coil");
    QTest::addColumn<bool>("on");
    QTest::newRow("b=0 on") << int(Bit) << 0 << "btnBitOn" << "REQ tag=254 fn=5 addr=0 value=65280" << 0
                            << true;
    QTest::newRow("b=255 off") << int(Bit) << 255 << "btnBitOff" << "REQ tag=254 fn=5 addr=255 value=0"
                               << 255 << false;
    QTest::newRow("d=511 on") << int(D2) << 511 << "btnD2BitOn"
                              << "REQ tag=254 fn=5 addr=4511 value=65280" << 4511 << true;
    QTest::newRow("d=7 off") << int(D2) << 7 << "btnD2BitOff" << "REQ tag=254 fn=5 addr=4007 value=0"
                             << 4007 << false;
}

void TestMonitorWindow::bitButtons()
{
    QFETCH(int, page);
    QFETCH(int, address);
    QFETCH(QString, button);
    QFETCH(QString, request);
    QFETCH(int, coil);
    QFETCH(bool, on);
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    select(page, 0, 1, 0, address);
    fx.gateway()->setCoil(coil, !on);
    fx.gateway()->clearRequests();
    frmMain->findChild<QPushButton *>(button)->click();
    QCOMPARE(requestsUntilMarker(fx), QStringList{request});
    QTRY_COMPARE(fx.gateway()->coil(coil), on);
}

void TestMonitorWindow::anotherCopy()
{
    AppFixture fx(false);
    QCOMPARE(TfrmMain::anotherCopyProgram(), QCoreApplication::applicationFilePath());
    // A program that cannot start is reported.
    TfrmMain::setAnotherCopyProgram(fx.dir() + QStringLiteral("/no-such-program"));
    child<QPushButton>("Button1")->click();
    QCOMPARE(fx.messageTexts(), QStringList{QStringLiteral("起動に失敗しました")});
    QCOMPARE(fx.messages.first().caption, QStringLiteral("エラー"));
    QCOMPARE(fx.messages.first().kind, msg::Kind::Error);
    // One that starts is not.
    fx.messages.clear();
    TfrmMain::setAnotherCopyProgram(QStringLiteral("/bin/true"));
    child<QPushButton>("Button1")->click();
    QVERIFY(fx.messages.isEmpty());
    TfrmMain::setAnotherCopyProgram(QString());
    QCOMPARE(child<QPushButton>("Button1")->text(), QStringLiteral("追加起動"));
}

void TestMonitorWindow::addressesInSettingsFile()
{
    QString path;
    {
        AppFixture fx(false);
        path = fx.settingsPath();
        child<QSpinBox>("seWordAdrs")->setValue(12);
        child<QSpinBox>("seBitAdrs")->setValue(200);
        child<QComboBox>("cbTerminalType")->setCurrentIndex(3);
        frmMain->SaveSettings();
        IniFile ini(path);
        ini.load();
        QCOMPARE(ini.readString(QStringLiteral("ADDRESS"), QStringLiteral("w0"), {}), QStringLiteral("12"));
        QCOMPARE(ini.readString(QStringLiteral("ADDRESS"), QStringLiteral("b0"), {}), QStringLiteral("200"));
        QCOMPARE(ini.readString(QStringLiteral("TERM"), QStringLiteral("type"), {}), QStringLiteral("3"));
        QCOMPARE(ini.readString(QStringLiteral("Wattor"), QStringLiteral("type"), {}), QStringLiteral("0"));
        // Out-of-range addresses in the file: the spin edits hold them in
        // range. (Closing the windows saves the settings: edit after it.)
        destroyTestApp();
        ini.load();
        ini.writeString(QStringLiteral("ADDRESS"), QStringLiteral("w0"), QStringLiteral("99"));
        ini.writeString(QStringLiteral("ADDRESS"), QStringLiteral("b0"), QStringLiteral("-4"));
        ini.writeString(QStringLiteral("TERM"), QStringLiteral("type"), QStringLiteral("5"));
        QVERIFY(ini.save());
        createTestApp();
        QCOMPARE(child<QSpinBox>("seWordAdrs")->value(), 63);
        QCOMPARE(child<QSpinBox>("seBitAdrs")->value(), 0);
        QCOMPARE(appSession->settings().wordAddress, 63);
        QCOMPARE(child<QComboBox>("cbTerminalType")->currentIndex(), 5);
        QCOMPARE(child<QLabel>("stTerminalType")->text(), QStringLiteral("電力７回路高機能ターミナル"));
        QCOMPARE(child<QSpinBox>("seReadAddress")->value(), 30321 + 8 * 63);
    }
}

QTEST_MAIN(TestMonitorWindow)
#include "test_monitor_window.moc"
