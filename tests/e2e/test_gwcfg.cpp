// The gateway settings dialog: its pages, filling and taking over the
// settings (also refused while connected), the log folder and file-name
// prefix, the PC clock fields and their up-downs, and the gateway clock
// read and set against the simulator.
#include "support/TestApp.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "support/AppFixture.h"
#include "sim/SimClock.h"
#include "tools/ftp/TfrmFTPtool.h"
#include "tools/gwcfg/GatewayClock.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "tools/gwcfg/UpDown.h"
#include "support/Controls.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

// A tag-4 answer of function 4 with the given data bytes.
QByteArray clockAnswer(const QByteArray &data)
{
    QByteArray a;
    const int len = 3 + int(data.size());
    a.append(char(4)).append(char(0)).append(char(0)).append(char(0));
    a.append(char(len >> 8)).append(char(len & 0xFF)).append(char(1)).append(char(4));
    a.append(char(data.size())).append(data);
    return a;
}

QList<SimRequest> writesFrom(const QList<SimRequest> &requests, int function)
{
    QList<SimRequest> w;
    for (const auto &r : requests)
        if (r.function == function)
            w << r;
    return w;
}

void saveShot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("RMTOOL_SHOTS");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    w->grab().save(dir + u'/' + name + QStringLiteral(".png"));
}

} // namespace

class TestGWcfg : public QObject {
    Q_OBJECT
private slots:
    void clockText_data();
    void clockText();
    void clockWords_data();
    void clockWords();
    void pagesAndControls();
    void upDownsStepTheirPartners_data();
    void upDownsStepTheirPartners();
    void pcClockFields();
    void clockTimerRunsWhileNeeded();
    void fillFromSettingsAndShowPage();
    void okTakesOverEverything();
    void okStopsAtFailedStep_data();
    void okStopsAtFailedStep();
    void okWhileMonitoring_data();
    void okWhileMonitoring();
    void responseTimeoutEdit_data();
    void responseTimeoutEdit();
    void folderChooserAndPrefix();
    void clockButtonsNeedConnection();
    void clockSetAndReadBackOnSimulator();
    void automaticReadWhileHidden();
    void shortClockAnswerIsNotShown();
    void simulatorClockRules_data();
    void simulatorClockRules();
};

void TestGWcfg::clockText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("friday") << QByteArray::fromHex("24051720090507") << "2024/05/17 (金) 09:05:07";
    QTest::newRow("unknown weekday") << QByteArray::fromHex("24051703090507") << "2024/05/17 (?\?) 09:05:07";
    QTest::newRow("sunday") << QByteArray::fromHex("99123101235959") << "2099/12/31 (日) 23:59:59";
    QTest::newRow("thursday") << QByteArray::fromHex("01010110000000") << "2001/01/01 (木) 00:00:00";
    QTest::newRow("saturday") << QByteArray::fromHex("01010140000000") << "2001/01/01 (土) 00:00:00";
    QTest::newRow("blank code") << QByteArray::fromHex("01010100000000") << "2001/01/01 (?\?) 00:00:00";
    QTest::newRow("not BCD") << QByteArray::fromHex("1a0bff80fe0a0c") << "201A/0B/FF (?\?) FE:0A:0C";
}

void TestGWcfg::clockText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    std::array<uint8_t, 7> d{};
    for (int i = 0; i < 7; ++i)
        d[size_t(i)] = uint8_t(bytes[i]);
    QCOMPARE(gwclock::FormatClock(d), text);
}

void TestGWcfg::clockWords_data()
{
    QTest::addColumn<QStringList>("fields");  // year month day hour minute second
    QTest::addColumn<int>("weekday");
    QTest::addColumn<QList<int>>("words");    // empty: refused
    QTest::addColumn<QString>("bad");
    QTest::newRow("2024-05-17 fri 09:05:07")
        << QStringList{"2024", "05", "17", "9", "05", "07"} << 6
        << QList<int>{0x2405, 0x1720, 0x0905, 0x0700} << "";
    QTest::newRow("up-down texts without zeros")
        << QStringList{"2031", "7", "1", "0", "0", "59"} << 1
        << QList<int>{0x3107, 0x0101, 0x0000, 0x5900} << "";
    QTest::newRow("year 2100 wraps to 00")
        << QStringList{"2100", "12", "31", "23", "59", "59"} << 7
        << QList<int>{0x0012, 0x3140, 0x2359, 0x5900} << "";
    QTest::newRow("blank weekday item")
        << QStringList{"2001", "1", "1", "0", "0", "0"} << 0 << QList<int>{0x0101, 0x0100, 0, 0} << "";
    QTest::newRow("no weekday item")
        << QStringList{"2001", "1", "1", "0", "0", "0"} << -1 << QList<int>{0x0101, 0x0100, 0, 0} << "";
    QTest::newRow("hex digits refused")
        << QStringList{"2024", "1A", "1", "0", "0", "0"} << 1 << QList<int>{} << "1A";
    QTest::newRow("empty second refused")
        << QStringList{"2024", "1", "1", "0", "0", ""} << 1 << QList<int>{} << "";
    QTest::newRow("word refused")
        << QStringList{"2024", "1", "1", "abc", "0", "0"} << 1 << QList<int>{} << "abc";
    QTest::newRow("year before 2000 refused")
        << QStringList{"1999", "1", "1", "0", "0", "0"} << 1 << QList<int>{} << "1999";
}

void TestGWcfg::clockWords()
{
    QFETCH(QStringList, fields);
    QFETCH(int, weekday);
    QFETCH(QList<int>, words);
    QFETCH(QString, bad);
    gwclock::Fields f{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], weekday};
    QString badText = QStringLiteral("unset");
    const auto w = gwclock::EncodeClock(f, &badText);
    if (words.isEmpty()) {
        QVERIFY(!w);
        QCOMPARE(badText, bad);
        return;
    }
    QVERIFY(w);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(int((*w)[size_t(i)]), words[i]);
}

void TestGWcfg::pagesAndControls()
{
    AppFixture fx(false);
    QCOMPARE(frmGWcfg->windowTitle(), QStringLiteral("リレイモ設定"));
    const QStringList names{"TabModbus", "TabFTP", "TabLog", "TabSheet1"};
    const QStringList captions{"Modbus/TCP接続", "FTP接続", "LOG形式", "時計"};
    QCOMPARE(controls::find<QTabWidget>(frmGWcfg, "PageControl1")->count(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(controls::find<QTabWidget>(frmGWcfg, "PageControl1")->widget(i)->objectName(), names[i]);
        QCOMPARE(controls::find<QTabWidget>(frmGWcfg, "PageControl1")->tabText(i), captions[i]);
    }
    // The prefix follows the log folder from start-up on.
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stLogDir")->text(), appSession->settings().logDir);
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stLogFN")->text(), appSession->settings().logDir + QStringLiteral("LOG"));
    // The one-second timer (when it runs: clockTimerRunsWhileNeeded).
    auto *timer = frmGWcfg->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 1000);

    fillSettingsDialog();
    frmGWcfg->showPcClock(QDateTime(QDate(2024, 5, 17), QTime(9, 5, 7)));
    controls::find<QLabel>(frmGWcfg, "stGWDate")->setText(QStringLiteral("2024/05/17 (金) 09:05:07"));
    for (int i = 0; i < 4; ++i) {
        controls::find<QTabWidget>(frmGWcfg, "PageControl1")->setCurrentIndex(i);
        saveShot(frmGWcfg, QStringLiteral("gwcfg-page%1").arg(i));
    }
}

void TestGWcfg::upDownsStepTheirPartners_data()
{
    QTest::addColumn<QString>("updown");
    QTest::addColumn<QString>("start");   // partner text before the step
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("after");
    QTest::newRow("year up") << "UpDown1" << "2024" << 1 << "2025";
    QTest::newRow("year stops at 2100") << "UpDown1" << "2100" << 1 << "2100";
    QTest::newRow("year stops at 2001") << "UpDown1" << "2001" << -1 << "2001";
    QTest::newRow("month wraps up") << "UpDown2" << "12" << 1 << "1";
    QTest::newRow("month wraps down") << "UpDown2" << "1" << -1 << "12";
    QTest::newRow("month from zero-padded") << "UpDown2" << "05" << 1 << "6";
    QTest::newRow("day wraps") << "UpDown3" << "31" << 1 << "1";
    QTest::newRow("hour wraps") << "UpDown4" << "23" << 1 << "0";
    QTest::newRow("hour down wraps") << "UpDown4" << "0" << -1 << "23";
    QTest::newRow("minute wraps") << "UpDown5" << "59" << 1 << "0";
    QTest::newRow("second typed then stepped") << "UpDown6" << "41" << -1 << "40";
}

void TestGWcfg::upDownsStepTheirPartners()
{
    QFETCH(QString, updown);
    QFETCH(QString, start);
    QFETCH(int, steps);
    QFETCH(QString, after);
    AppFixture fx(false);
    controls::find<QCheckBox>(frmGWcfg, "cbPCTimeSync")->setChecked(false);
    auto *ud = frmGWcfg->findChild<UpDown *>(updown);
    QVERIFY(ud && ud->partner());
    ud->partner()->setText(start);
    ud->stepBy(steps);
    QCOMPARE(ud->partner()->text(), after);
    QVERIFY(!ud->findChild<QLineEdit *>()->isVisible());  // only the arrows show
}

void TestGWcfg::pcClockFields()
{
    AppFixture fx(false);
    frmGWcfg->showPcClock(QDateTime(QDate(2024, 5, 17), QTime(9, 5, 7)));
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "PCYear")->text(), QStringLiteral("2024"));
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "PCMonth")->text(), QStringLiteral("05"));
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "PCDay")->text(), QStringLiteral("17"));
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "PCHour")->text(), QStringLiteral("9"));
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "PCMin")->text(), QStringLiteral("05"));
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "PCSec")->text(), QStringLiteral("07"));
    QCOMPARE(controls::find<QComboBox>(frmGWcfg, "PCDayOfWeek")->currentText(), QStringLiteral("金"));
    frmGWcfg->showPcClock(QDateTime(QDate(2024, 5, 19), QTime(23, 0, 0)));
    QCOMPARE(controls::find<QComboBox>(frmGWcfg, "PCDayOfWeek")->currentIndex(), 1);  // Sunday
    frmGWcfg->showPcClock(QDateTime(QDate(2024, 5, 18), QTime(23, 0, 0)));
    QCOMPARE(controls::find<QComboBox>(frmGWcfg, "PCDayOfWeek")->currentIndex(), 7);  // Saturday

    // While the window is shown the timer keeps the fields on the PC clock
    // while synchronised, and leaves them alone when not.
    frmGWcfg->show();
    controls::find<QLineEdit>(frmGWcfg, "PCYear")->setText(QStringLiteral("2001"));
    QTRY_COMPARE_WITH_TIMEOUT(controls::find<QLineEdit>(frmGWcfg, "PCYear")->text(), QString::number(QDate::currentDate().year()), 3000);
    controls::find<QCheckBox>(frmGWcfg, "cbPCTimeSync")->setChecked(false);
    controls::find<QLineEdit>(frmGWcfg, "PCYear")->setText(QStringLiteral("2050"));
    QSignalSpy ticks(frmGWcfg->Timer1, &QTimer::timeout);
    QVERIFY(ticks.wait(3000));
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "PCYear")->text(), QStringLiteral("2050"));
    frmGWcfg->hide();
}

void TestGWcfg::clockTimerRunsWhileNeeded()
{
    // Hidden, with the gateway's clock not read automatically, nothing
    // needs the one-second tick; shown, the PC clock fields are filled at
    // once and kept; the automatic read keeps it running hidden or not.
    AppFixture fx(false);
    auto *timer = frmGWcfg->findChild<QTimer *>(QStringLiteral("Timer1"));
    auto *autoRead = controls::find<QCheckBox>(frmGWcfg, "cbAutoGetDate");
    QVERIFY(!frmGWcfg->isVisible() && !autoRead->isChecked());
    QVERIFY(!timer->isActive());
    controls::find<QLineEdit>(frmGWcfg, "PCYear")->setText(QStringLiteral("2001"));
    frmGWcfg->show();
    QVERIFY(timer->isActive());
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "PCYear")->text(), QString::number(QDate::currentDate().year()));
    autoRead->setChecked(true);
    frmGWcfg->hide();
    QVERIFY(timer->isActive());
    autoRead->setChecked(false);
    QVERIFY(!timer->isActive());
    autoRead->setChecked(true);
    QVERIFY(timer->isActive());
    frmGWcfg->show();
    autoRead->setChecked(false);
    QVERIFY(timer->isActive());
    frmGWcfg->hide();
    QVERIFY(!timer->isActive());
}

void TestGWcfg::fillFromSettingsAndShowPage()
{
    AppFixture fx(false);
    AppSettings &s = appSession->settings();
    s.ftpHost = QStringLiteral("127.0.0.9");
    s.ftpPort = QStringLiteral("2121");
    s.ftpUser = QStringLiteral("user1");
    s.ftpPass = QStringLiteral("secret");
    s.logHeaderMode = 3;
    s.logValueType = 1;
    s.logScale = 1;
    s.logDir = QStringLiteral("/data/logs/");
    appSession->link().setHost(QStringLiteral("127.0.0.5"));
    appSession->link().setPort(1502);
    controls::find<QLineEdit>(frmGWcfg, "EdLogSaveFN")->setText(QStringLiteral("RUN"));
    frmMain->move(140, 120);

    int page = -1;
    bool shownModal = false;
    QTimer::singleShot(0, [&] {
        page = controls::find<QTabWidget>(frmGWcfg, "PageControl1")->currentIndex();
        shownModal = frmGWcfg->isModal() && frmGWcfg->isVisible();
        frmGWcfg->reject();
    });
    triggerMenu("L1");
    QCOMPARE(page, 2);
    QVERIFY(shownModal);
    QCOMPARE(frmGWcfg->pos(), frmMain->pos() + QPoint(30, 30));
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "ModbusIP")->text(), QStringLiteral("127.0.0.5"));
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "ModbusPort")->text(), QStringLiteral("1502"));
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "FTPIP")->text(), s.ftpHost);
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "FTPport")->text(), s.ftpPort);
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "FTPuser")->text(), s.ftpUser);
    QCOMPARE(controls::find<QLineEdit>(frmGWcfg, "FTPpass")->text(), s.ftpPass);
    QCOMPARE(controls::find<QComboBox>(frmGWcfg, "cbxLogHeaderType")->currentIndex(), 3);
    QVERIFY(controls::find<QGroupBox>(frmGWcfg, "LogDataTypeSel")->findChild<QRadioButton *>(QStringLiteral("LogDataTypeSel1"))->isChecked());
    QVERIFY(controls::find<QGroupBox>(frmGWcfg, "LogRatioSel")->findChild<QRadioButton *>(QStringLiteral("LogRatioSel1"))->isChecked());
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stLogDir")->text(), s.logDir);
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stLogFN")->text(), QStringLiteral("/data/logs/RUN"));

    // The other menu items open their own pages.
    const QList<std::pair<const char *, int>> items{{"Modbus1", 0}, {"FTPF1", 1}, {"TimeSet", 3}};
    for (const auto &[item, expected] : items) {
        QTimer::singleShot(0, [&] {
            page = controls::find<QTabWidget>(frmGWcfg, "PageControl1")->currentIndex();
            frmGWcfg->reject();
        });
        triggerMenu(item);
        QCOMPARE(page, expected);
    }
    // Closing without OK took nothing over.
    QCOMPARE(s.logHeaderMode, 3);
}

void TestGWcfg::okTakesOverEverything()
{
    AppFixture fx(false);
    QTimer::singleShot(0, [] {
        controls::find<QLineEdit>(frmGWcfg, "ModbusIP")->setText(QStringLiteral("127.0.0.7"));
        controls::find<QLineEdit>(frmGWcfg, "ModbusPort")->setText(QStringLiteral("1503"));
        controls::find<QLineEdit>(frmGWcfg, "FTPIP")->setText(QStringLiteral("127.0.0.8"));
        controls::find<QLineEdit>(frmGWcfg, "FTPport")->setText(QStringLiteral("2100"));
        controls::find<QLineEdit>(frmGWcfg, "FTPuser")->setText(QStringLiteral("eng"));
        controls::find<QLineEdit>(frmGWcfg, "FTPpass")->setText(QStringLiteral("pw"));
        controls::find<QComboBox>(frmGWcfg, "cbxLogHeaderType")->setCurrentIndex(2);
        controls::find<QGroupBox>(frmGWcfg, "LogDataTypeSel")->findChild<QRadioButton *>(QStringLiteral("LogDataTypeSel1"))->setChecked(true);
        controls::find<QGroupBox>(frmGWcfg, "LogRatioSel")->findChild<QRadioButton *>(QStringLiteral("LogRatioSel1"))->setChecked(true);
        QTest::mouseClick(controls::find<QPushButton>(frmGWcfg, "OKbtn"), Qt::LeftButton);
    });
    triggerMenu("Modbus1");
    QVERIFY(!frmGWcfg->isVisible());
    QVERIFY(fx.messages.isEmpty());
    const AppSettings &s = appSession->settings();
    QCOMPARE(appSession->link().host(), QStringLiteral("127.0.0.7"));
    QCOMPARE(appSession->link().port(), 1503);
    QCOMPARE(controls::find<QLabel>(frmConnect, "HostAddress")->text(), QStringLiteral("127.0.0.7"));
    QCOMPARE(controls::find<QLabel>(frmConnect, "HostPort")->text(), QStringLiteral("1503"));
    QCOMPARE(s.modbusHost, QStringLiteral("127.0.0.7"));
    QCOMPARE(s.modbusPort, QStringLiteral("1503"));
    QCOMPARE(s.logHeaderMode, 2);
    QCOMPARE(s.logValueType, 1);
    QCOMPARE(s.logScale, 1);
    QCOMPARE(s.ftpHost, QStringLiteral("127.0.0.8"));
    QCOMPARE(s.ftpPort, QStringLiteral("2100"));
    QCOMPARE(s.ftpUser, QStringLiteral("eng"));
    QCOMPARE(s.ftpPass, QStringLiteral("pw"));
    for (const char *name : {"FTPhostIP", "FTPhostPort"}) {
        const QString expected = QString::fromLatin1(name) == QStringLiteral("FTPhostIP") ? s.ftpHost : s.ftpPort;
        if (auto *e = frmFTPtool->findChild<QLineEdit *>(QLatin1String(name)))
            QCOMPARE(e->text(), expected);
        else if (auto *l = frmFTPtool->findChild<QLabel *>(QLatin1String(name)))
            QCOMPARE(l->text(), expected);
    }
    // The settings file gets them at the end of the run.
    frmMain->SaveSettings();
    const AppSettings saved = AppSettings::load(fx.settingsPath());
    QCOMPARE(saved.modbusPort, QStringLiteral("1503"));
    QCOMPARE(saved.logHeaderMode, 2);
}

void TestGWcfg::okStopsAtFailedStep_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("host");       // "" = the connected simulator's
    QTest::addColumn<QString>("port");       // "" = the connected simulator's
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("hostTaken");     // the link's host changed
    QTest::newRow("new host while connected") << true << "127.0.0.2" << "" << "使用中のソケットは値を変更できません" << false;
    QTest::newRow("new port while connected") << true << "" << "1" << "使用中のソケットは値を変更できません" << false;
    QTest::newRow("same host and port while connected") << true << "" << "" << "" << false;
    QTest::newRow("same host with blanks around it while connected") << true << " 127.0.0.1 " << "" << "" << false;
    QTest::newRow("port not a number") << false << "127.0.0.3" << "50x" << "'50x' は有効な整数値ではありません" << true;
    QTest::newRow("port out of range") << false << "127.0.0.3" << "70000" << "70000" << true;
}

void TestGWcfg::okStopsAtFailedStep()
{
    QFETCH(bool, connected);
    QFETCH(QString, host);
    QFETCH(QString, port);
    QFETCH(QString, message);
    QFETCH(bool, hostTaken);
    AppFixture fx(connected);
    if (connected)
        QVERIFY(fx.connectGateway());
    const QString hostBefore = appSession->link().host();
    const int portBefore = appSession->link().port();
    const AppSettings before = appSession->settings();
    const QString connectHostBefore = controls::find<QLabel>(frmConnect, "HostAddress")->text();
    fillSettingsDialog();
    if (!host.isEmpty())
        controls::find<QLineEdit>(frmGWcfg, "ModbusIP")->setText(host);
    if (!port.isEmpty())
        controls::find<QLineEdit>(frmGWcfg, "ModbusPort")->setText(port);
    controls::find<QComboBox>(frmGWcfg, "cbxLogHeaderType")->setCurrentIndex(1);
    controls::find<QLineEdit>(frmGWcfg, "FTPuser")->setText(QStringLiteral("changed"));
    frmGWcfg->open();
    frmGWcfg->OKbtnClick();
    QVERIFY(!frmGWcfg->isVisible());  // closes also after a failed step

    const AppSettings &s = appSession->settings();
    if (message.isEmpty()) {
        QVERIFY(fx.messages.isEmpty());
        QCOMPARE(s.logHeaderMode, 1);
        QCOMPARE(s.ftpUser, QStringLiteral("changed"));
        QCOMPARE(s.modbusHost, QStringLiteral("127.0.0.1"));
        QCOMPARE(appSession->link().host(), QStringLiteral("127.0.0.1"));
        QVERIFY(appSession->isConnected());
        return;
    }
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(fx.messages[0].kind, msg::Kind::Error);
    QVERIFY2(fx.messages[0].text.contains(message), qPrintable(fx.messages[0].text));
    QCOMPARE(appSession->link().host(), hostTaken ? host : hostBefore);
    QCOMPARE(appSession->link().port(), portBefore);
    // No later step happened.
    QCOMPARE(s.modbusHost, before.modbusHost);
    QCOMPARE(s.modbusPort, before.modbusPort);
    QCOMPARE(controls::find<QLabel>(frmConnect, "HostAddress")->text(), connectHostBefore);
    QCOMPARE(s.logHeaderMode, before.logHeaderMode);
    QCOMPARE(s.ftpUser, before.ftpUser);
    if (connected)
        QVERIFY(appSession->isConnected());
}

// Connected and monitoring, the user opens a page of the settings from the
// menu, changes something that is not the gateway's address, and presses
// OK: no message, the change taken over, the connection and the monitor go
// on.
void TestGWcfg::okWhileMonitoring_data()
{
    QTest::addColumn<QString>("menuItem");
    QTest::newRow("Modbus設定") << "Modbus1";
    QTest::newRow("FTP設定") << "FTPF1";
    QTest::newRow("ログ詳細設定") << "L1";
    QTest::newRow("時計") << "TimeSet";
}

void TestGWcfg::okWhileMonitoring()
{
    QFETCH(QString, menuItem);
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    QTest::mouseClick(controls::find<QToolButton>(frmMain, "sbtnMonitor"), Qt::LeftButton);
    QVERIFY(appSession->isMonitoring());
    const quint16 port = quint16(appSession->link().port());
    bool pressed = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<TfrmGWcfg *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        controls::find<QLineEdit>(dialog, "FTPuser")->setText(QStringLiteral("changed"));
        controls::find<QComboBox>(dialog, "cbxLogHeaderType")->setCurrentIndex(2);
        QTest::mouseClick(controls::find<QPushButton>(dialog, "OKbtn"), Qt::LeftButton);
        pressed = true;
    });
    triggerMenu(menuItem.toLatin1().constData());
    QVERIFY(pressed);
    QVERIFY(!frmGWcfg->isVisible());
    QCOMPARE(fx.messageTexts(), QStringList{});
    QCOMPARE(appSession->settings().ftpUser, QStringLiteral("changed"));
    QCOMPARE(appSession->settings().logHeaderMode, 2);
    QCOMPARE(appSession->link().host(), QStringLiteral("127.0.0.1"));
    QCOMPARE(appSession->link().port(), int(port));
    QVERIFY(appSession->isConnected());
    QVERIFY(appSession->isMonitoring());
    const uint32_t count = appSession->monitorCount();
    QTRY_VERIFY(appSession->monitorCount() > count + 2);
}

void TestGWcfg::responseTimeoutEdit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("taken");      // 0 = refused, the old value stays
    QTest::addColumn<QString>("message");
    QTest::newRow("taken") << "250" << 250 << "";
    QTest::newRow("blanks around") << " 3000 " << 3000 << "";
    QTest::newRow("not a number") << "1s" << 0 << "'1s' は有効な整数値ではありません";
    QTest::newRow("zero") << "0" << 0 << "応答タイムアウト 0 は 1 から 600000 の範囲にありません";
    QTest::newRow("too long") << "600001" << 0 << "600000";
}

void TestGWcfg::responseTimeoutEdit()
{
    QFETCH(QString, text);
    QFETCH(int, taken);
    QFETCH(QString, message);
    AppFixture fx(false);
    appSession->settings().responseTimeoutMs = 1500;
    fillSettingsDialog();
    auto *edit = frmGWcfg->findChild<QLineEdit *>(QStringLiteral("EdRespTimeout"));
    QVERIFY(edit);
    QCOMPARE(edit->text(), QStringLiteral("1500"));
    auto *label = frmGWcfg->findChild<QLabel *>(QStringLiteral("LabelRespTimeout"));
    QCOMPARE(label->text(), QStringLiteral("応答タイムアウト(ms)"));
    QCOMPARE(edit->parentWidget()->objectName(), QStringLiteral("TabModbus"));
    edit->setText(text);
    frmGWcfg->open();
    if (QByteArray(QTest::currentDataTag()) == "taken") {
        QDir().mkpath(QStringLiteral("/tmp/shots-gwcfg"));
        frmGWcfg->grab().save(QStringLiteral("/tmp/shots-gwcfg/modbus-page.png"));
    }
    frmGWcfg->OKbtnClick();
    const int expected = taken ? taken : 1500;
    QCOMPARE(appSession->settings().responseTimeoutMs, expected);
    if (taken) {
        QCOMPARE(appSession->link().responseTimeout(), taken);
        QVERIFY(fx.messages.isEmpty());
    } else {
        QCOMPARE(fx.messages.size(), 1);
        QVERIFY2(fx.messages[0].text.contains(message), qPrintable(fx.messages[0].text));
    }
    frmMain->SaveSettings();
    QCOMPARE(AppSettings::load(fx.settingsPath()).responseTimeoutMs, expected);
}

void TestGWcfg::folderChooserAndPrefix()
{
    AppFixture fx(false);
    QDir base(fx.dir());
    QVERIFY(base.mkpath(QStringLiteral("logs/site")));
    const QString start = base.filePath(QStringLiteral("logs")) + QDir::separator();
    const QString chosen = base.filePath(QStringLiteral("logs/site"));
    appSession->settings().logDir = start;
    fillSettingsDialog();
    controls::find<QLineEdit>(frmGWcfg, "EdLogSaveFN")->setText(QStringLiteral("LOG"));
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stLogFN")->text(), start + QStringLiteral("LOG"));

    QString title, initial;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        title = dialog->windowTitle();
        initial = QDir(dialog->directory()).absolutePath();
        dialog->setDirectory(chosen);
        controls::chooseFile(dialog, chosen);
    });
    QTest::mouseClick(controls::find<QPushButton>(frmGWcfg, "btnLogDirBrowse"), Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("フォルダを選択してください"));
    QCOMPARE(initial, QDir(start).absolutePath());
    const QString stored = QDir::toNativeSeparators(chosen) + QDir::separator();
    QCOMPARE(appSession->settings().logDir, stored);
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stLogDir")->text(), stored);
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stLogFN")->text(), stored + QStringLiteral("LOG"));

    // The header edit keeps the prefix in step.
    controls::find<QLineEdit>(frmGWcfg, "EdLogSaveFN")->setText(QStringLiteral("PUMP"));
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stLogFN")->text(), stored + QStringLiteral("PUMP"));

    // Cancelling changes nothing.
    QTimer::singleShot(0, [] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    QTest::mouseClick(controls::find<QPushButton>(frmGWcfg, "btnLogDirBrowse"), Qt::LeftButton);
    QCOMPARE(appSession->settings().logDir, stored);
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stLogDir")->text(), stored);
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stLogFN")->text(), stored + QStringLiteral("PUMP"));
}

void TestGWcfg::clockButtonsNeedConnection()
{
    AppFixture fx;
    QTest::mouseClick(controls::find<QPushButton>(frmGWcfg, "btnGetDate"), Qt::LeftButton);
    QTest::mouseClick(controls::find<QPushButton>(frmGWcfg, "btnSetDate"), Qt::LeftButton);
    QCOMPARE(fx.messageTexts(), QStringList(2, QStringLiteral("リレイモに接続されていません")));
    QCOMPARE(fx.messages[0].kind, msg::Kind::Warning);

    // Connected, a field that does not convert stops before anything is sent.
    QVERIFY(fx.connectGateway());
    fx.gateway()->clearRequests();
    controls::find<QCheckBox>(frmGWcfg, "cbPCTimeSync")->setChecked(false);
    controls::find<QLineEdit>(frmGWcfg, "PCMin")->setText(QStringLiteral("5x"));
    QTest::mouseClick(controls::find<QPushButton>(frmGWcfg, "btnSetDate"), Qt::LeftButton);
    QCOMPARE(fx.messages.size(), 3);
    QCOMPARE(fx.messages[2].kind, msg::Kind::Error);
    QVERIFY(fx.messages[2].text.contains(QStringLiteral("'5x'")));
    // A read goes through on the same connection, so anything sent before
    // it would show up first.
    QTest::mouseClick(controls::find<QPushButton>(frmGWcfg, "btnGetDate"), Qt::LeftButton);
    QTRY_VERIFY(!fx.gateway()->requests().isEmpty());
    QCOMPARE(fx.gateway()->requests().first().function, 4);
}

void TestGWcfg::clockSetAndReadBackOnSimulator()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    controls::find<QCheckBox>(frmGWcfg, "cbPCTimeSync")->setChecked(false);

    // The fields as the PC clock fills them: 2024-05-17 (Fri) 09:05:07.
    frmGWcfg->showPcClock(QDateTime(QDate(2024, 5, 17), QTime(9, 5, 7)));
    fx.gateway()->clearRequests();
    QTest::mouseClick(controls::find<QPushButton>(frmGWcfg, "btnSetDate"), Qt::LeftButton);
    QTRY_COMPARE(writesFrom(fx.gateway()->requests(), 6).size(), 5);
    const auto w = writesFrom(fx.gateway()->requests(), 6);
    const QList<std::pair<int, int>> expected{
        {1184, 0x2405}, {1185, 0x1720}, {1186, 0x0905}, {1187, 0x0700}, {1188, 1}};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(w[i].address, expected[i].first);
        QCOMPARE(w[i].value, expected[i].second);
    }
    // The simulator's clock now runs from that time; read it back.
    QTest::mouseClick(controls::find<QPushButton>(frmGWcfg, "btnGetDate"), Qt::LeftButton);
    QTRY_VERIFY(controls::find<QLabel>(frmGWcfg, "stGWDate")->text().startsWith(QStringLiteral("2024/05/17 (金) 09:05:")));

    // Set by the up-downs with synchronisation off, on a weekday code that
    // is not the date's own: the code is kept as written.
    controls::find<QLineEdit>(frmGWcfg, "PCYear")->setText(QStringLiteral("2030"));
    controls::find<UpDown>(frmGWcfg, "UpDown1")->stepBy(1);                       // 2031
    controls::find<QLineEdit>(frmGWcfg, "PCMonth")->setText(QStringLiteral("12"));
    controls::find<QLineEdit>(frmGWcfg, "PCDay")->setText(QStringLiteral("31"));
    controls::find<QLineEdit>(frmGWcfg, "PCHour")->setText(QStringLiteral("23"));
    controls::find<QLineEdit>(frmGWcfg, "PCMin")->setText(QStringLiteral("58"));
    controls::find<QLineEdit>(frmGWcfg, "PCSec")->setText(QStringLiteral("1"));
    controls::find<QComboBox>(frmGWcfg, "PCDayOfWeek")->setCurrentIndex(2);           // 月
    QTest::mouseClick(controls::find<QPushButton>(frmGWcfg, "btnSetDate"), Qt::LeftButton);
    QTRY_COMPARE(fx.gateway()->holdingRegister(1184), quint16(0x3112));
    QTRY_COMPARE(fx.gateway()->inputRegister(160), quint16(0x3112));
    QCOMPARE(fx.gateway()->inputRegister(161), quint16(0x3102));
    QCOMPARE(fx.gateway()->inputRegister(162) >> 8, 0x23);
    QTest::mouseClick(controls::find<QPushButton>(frmGWcfg, "btnGetDate"), Qt::LeftButton);
    QTRY_VERIFY2(controls::find<QLabel>(frmGWcfg, "stGWDate")->text().startsWith(QStringLiteral("2031/12/31 (月) 23:5")),
                 qPrintable(controls::find<QLabel>(frmGWcfg, "stGWDate")->text()));
}

void TestGWcfg::automaticReadWhileHidden()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    QVERIFY(!frmGWcfg->isVisible());
    fx.gateway()->clearRequests();
    controls::find<QCheckBox>(frmGWcfg, "cbAutoGetDate")->setChecked(true);
    const QString expected = gwclock::FormatClock({
        uint8_t(fx.gateway()->inputRegister(160) >> 8), uint8_t(fx.gateway()->inputRegister(160)),
        uint8_t(fx.gateway()->inputRegister(161) >> 8), uint8_t(fx.gateway()->inputRegister(161)),
        0, 0, 0});
    QTRY_VERIFY_WITH_TIMEOUT(!controls::find<QLabel>(frmGWcfg, "stGWDate")->text().isEmpty(), 3000);
    // Same day (unless the test runs across midnight).
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stGWDate")->text().left(15), expected.left(15));
    const SimRequest r = fx.gateway()->requests().first();
    QCOMPARE(r.tag, 4);
    QCOMPARE(r.function, 4);
    QCOMPARE(r.address, 160);
    QCOMPARE(r.count, 4);
    // Every second another read.
    QTRY_VERIFY_WITH_TIMEOUT(fx.gateway()->requests().size() >= 3, 4000);
    controls::find<QCheckBox>(frmGWcfg, "cbAutoGetDate")->setChecked(false);
}

void TestGWcfg::shortClockAnswerIsNotShown()
{
    AppFixture fx(false);
    // The clock answers as the read's reply hands them, one after the other
    // through the same buffer.
    ReceiveBuffer rb;
    auto show = [&](const QByteArray &answer) {
        rb.assign(answer);
        frmGWcfg->ShowGatewayClock(rb);
    };
    show(clockAnswer(QByteArray::fromHex("2405172009050700")));
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stGWDate")->text(), QStringLiteral("2024/05/17 (金) 09:05:07"));
    // A shorter answer leaves the earlier answer's bytes in the buffer; they
    // must not be shown as the new clock.
    show(clockAnswer(QByteArray::fromHex("31123101")));
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stGWDate")->text(), QStringLiteral("2024/05/17 (金) 09:05:07"));
    show(clockAnswer(QByteArray::fromHex("31123101235958")));
    QCOMPARE(controls::find<QLabel>(frmGWcfg, "stGWDate")->text(), QStringLiteral("2031/12/31 (日) 23:59:58"));
    QVERIFY(fx.messages.isEmpty());
}

void TestGWcfg::simulatorClockRules_data()
{
    QTest::addColumn<QList<int>>("written");   // 1184..1187
    QTest::addColumn<int>("reg160");           // -1: the write is ignored
    QTest::addColumn<int>("reg161");
    QTest::newRow("friday") << QList<int>{0x2405, 0x1720, 0x0905, 0x0700} << 0x2405 << 0x1720;
    QTest::newRow("weekday not the date's own") << QList<int>{0x2405, 0x1702, 0x0905, 0x0700} << 0x2405 << 0x1702;
    QTest::newRow("two days in one code kept") << QList<int>{0x2405, 0x1703, 0x0905, 0x0700} << 0x2405 << 0x1703;
    QTest::newRow("blank code kept") << QList<int>{0x2405, 0x1700, 0x0905, 0x0700} << 0x2405 << 0x1700;
    QTest::newRow("year 2100 written as 00") << QList<int>{0x0012, 0x3140, 0x2359, 0x0000} << 0x0012 << 0x3140;
    QTest::newRow("month 13 ignored") << QList<int>{0x2413, 0x0101, 0x0000, 0x0000} << -1 << -1;
    QTest::newRow("day not BCD ignored") << QList<int>{0x2401, 0x0A01, 0x0000, 0x0000} << -1 << -1;
    QTest::newRow("minute not BCD ignored") << QList<int>{0x2401, 0x0101, 0x003A, 0x0000} << -1 << -1;
}

void TestGWcfg::simulatorClockRules()
{
    QFETCH(QList<int>, written);
    QFETCH(int, reg160);
    QFETCH(int, reg161);
    SimGateway gw;
    installDefaultBehaviours(gw);
    auto *clock = gw.behaviour<SimClock>();
    QVERIFY(clock);
    const quint16 before160 = gw.inputRegister(160), before161 = gw.inputRegister(161);
    for (int i = 0; i < 4; ++i)
        gw.setHoldingRegister(1184 + i, quint16(written[i]));
    gw.setHoldingRegister(1188, 1);
    clock->onWrite(gw, QModbusDataUnit::HoldingRegisters, 1188, 1);
    gw.tickNow();
    if (reg160 < 0) {
        // Ignored: the clock runs on from the PC's time (same minute).
        QCOMPARE(gw.inputRegister(160), before160);
        QCOMPARE(gw.inputRegister(161), before161);
        return;
    }
    QCOMPARE(int(gw.inputRegister(160)), reg160);
    QCOMPARE(int(gw.inputRegister(161)), reg161);
    QCOMPARE(int(gw.inputRegister(162) >> 8), written[2] >> 8);
    QCOMPARE(gw.inputRegister(163) & 0xFF, 0);
    QCOMPARE(gw.holdingRegister(1188), quint16(0));

    if (QTest::currentDataTag() == QByteArray("friday")) {
        // Across midnight the date and a one-day code move on together.
        gw.setHoldingRegister(1185, 0x1720);
        gw.setHoldingRegister(1186, 0x2359);
        gw.setHoldingRegister(1187, 0x5900);
        clock->onWrite(gw, QModbusDataUnit::HoldingRegisters, 1188, 1);
        QTRY_COMPARE_WITH_TIMEOUT((gw.tickNow(), gw.inputRegister(161)), quint16(0x1840), 3000);
        QCOMPARE(gw.inputRegister(160), quint16(0x2405));
        QCOMPARE(gw.inputRegister(162), quint16(0x0000));
    }
}

QTEST_MAIN(TestGWcfg)
#include "test_gwcfg.moc"
