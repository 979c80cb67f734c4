// The main window's menu as the whole program wires it: each item opens its
// window at its place, filled from the settings and the main window's
// connection, and --connect connects as the connection dialog's 接続.
#include "support/TestApp.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "link/ModbusLink.h"
#include "support/AppFixture.h"
#include "support/Controls.h"
#include "support/MonitorControls.h"
#include "termset/TfrmWattorSet.h"
#include "tools/cntrpreset/TfrmCntrPreset.h"
#include "tools/ftp/TfrmFTPtool.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "tools/journal/TfrmJournal.h"
#include <QScreen>
#include "tools/ladder/TfrmLadderConsole.h"
#include "tools/modinfo/TfrmModInfo.h"
#include "tools/softcntr/TfrmSoftCntr.h"
#include "tools/writetool/TfrmWriteTool.h"
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

QDialog *toolWindow(const QString &name)
{
    const QHash<QString, QDialog *> windows = {
        {"frmFTPtool", frmFTPtool},       {"frmWattorSet", frmWattorSet}, {"frmWriteTool", frmWriteTool},
        {"frmCntrPreset", frmCntrPreset}, {"frmSoftCntr", frmSoftCntr},   {"frmModInfo", frmModInfo},
        {"frmJournal", frmJournal}};
    return windows.value(name);
}

// A control of the main window's own panel (the soft-counter dialog, its
// child, has a seWordAdrs of its own).
template <class T> T *panelControl(const char *name)
{
    for (T *w : frmMain->findChildren<T *>(QLatin1String(name)))
        if (w->window() == frmMain)
            return w;
    qFatal("no control %s in the main window's panel", name);
}

// The main window shown at a place of the test's.
void showMainAt(int x, int y)
{
    frmMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmMain));
    frmMain->move(x, y);
    QTRY_COMPARE(frmMain->pos(), QPoint(x, y));
}

QPoint besideMain(int gap)
{
    return {frmMain->x() + frmMain->frameGeometry().width() + gap, frmMain->y()};
}

} // namespace

class TestE2eWindowWiring : public QObject {
    Q_OBJECT
private slots:
    void menuOpensToolBeside_data();
    void menuOpensToolBeside();
    void moduleInformationOpensWithItsReads();
    void settingsPagesOpenFilled_data();
    void settingsPagesOpenFilled();
    void connectOptionConnects();
};

void TestE2eWindowWiring::menuOpensToolBeside_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("gap");
    QTest::newRow("FTP tool") << "FTPF2" << "frmFTPtool" << 10;
    QTest::newRow("terminal settings") << "EPcfg" << "frmWattorSet" << 10;
    QTest::newRow("write tool") << "W1" << "frmWriteTool" << 10;
    QTest::newRow("counter preset") << "N4" << "frmCntrPreset" << 10;
    QTest::newRow("soft counter") << "s2" << "frmSoftCntr" << 10;
    QTest::newRow("write journal") << "mnuJournal" << "frmJournal" << 10;
}

void TestE2eWindowWiring::menuOpensToolBeside()
{
    QFETCH(QString, action);
    QFETCH(QString, window);
    QFETCH(int, gap);
    AppFixture fx(false);
    showMainAt(40, 30);
    appSession->settings().ftpHost = QStringLiteral("127.0.0.7");
    appSession->settings().ftpPort = QStringLiteral("2100");
    appSession->settings().powerTerminalKind = 3;
    panelControl<QComboBox>("cbTerminalType")->setCurrentIndex(0);
    panelControl<QSpinBox>("seBitAdrs")->setValue(7);
    controls::find<QSpinBox>(frmSoftCntr, "seWordAdrs")->setValue(6);
    QDialog *tool = toolWindow(window);
    QVERIFY(tool);
    QVERIFY(!tool->isVisible());
    child<QAction>(qPrintable(action))->trigger();
    QVERIFY(tool->isVisible());
    if (window == "frmJournal") {
        // Resizable and wide: beside the main window, narrowed to stay on
        // its screen.
        const QRect avail = frmMain->screen()->availableGeometry();
        QVERIFY(avail.contains(tool->frameGeometry()));
        QCOMPARE(tool->y(), frmMain->y());
        QCOMPARE(tool->x(), std::min(besideMain(gap).x(), avail.right() + 1 - tool->frameGeometry().width()));
    } else {
        QCOMPARE(tool->pos(), besideMain(gap));
    }
    // What each window takes from the main window as it opens.
    if (window == "frmFTPtool") {
        QCOMPARE(controls::find<QLabel>(tool, "FTPhostIP")->text(), QStringLiteral("127.0.0.7"));
        QCOMPARE(controls::find<QLabel>(tool, "FTPhostPort")->text(), QStringLiteral("2100"));
    } else if (window == "frmWattorSet") {
        QCOMPARE(controls::find<QTabWidget>(tool, "PageControl1")->currentIndex(), 3);
    } else if (window == "frmSoftCntr") {
        // Word address 6 of a terminal type with soft counters of its own:
        // its own block reset register; the monitor's bit output names the
        // coil of its bit address.
        QCOMPARE(controls::find<QLineEdit>(tool, "edWRstAdrs")->text(), QStringLiteral("41242"));
        QCOMPARE(panelControl<QLabel>("stModbusBitOutAdrs")->text(), QStringLiteral("8"));
    }
    QVERIFY(fx.messages.isEmpty());
}

// Connected, the module information opens beside the main window (no gap)
// and runs its three reads.
void TestE2eWindowWiring::moduleInformationOpensWithItsReads()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    showMainAt(50, 20);
    fx.gateway()->clearRequests();
    child<QAction>("m1")->trigger();
    QVERIFY(frmModInfo->isVisible());
    QCOMPARE(frmModInfo->pos(), besideMain(0));
    QTRY_VERIFY(!frmModInfo->isRequesting());
    QSet<int> tags;
    for (const SimRequest &r : fx.gateway()->requests())
        tags.insert(r.tag);
    QCOMPARE(tags, (QSet<int>{1, 2, 3}));
    QVERIFY2(fx.messages.isEmpty(), qPrintable(fx.messageTexts().join(" / ")));
}

void TestE2eWindowWiring::settingsPagesOpenFilled_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("page");
    QTest::newRow("Modbus") << "Modbus1" << 0;
    QTest::newRow("FTP") << "FTPF1" << 1;
    QTest::newRow("log") << "L1" << 2;
    QTest::newRow("clock") << "TimeSet" << 3;
}

// The settings dialog opens modally at the main window + 30, on its page,
// filled from the settings and the link's target.
void TestE2eWindowWiring::settingsPagesOpenFilled()
{
    QFETCH(QString, action);
    QFETCH(int, page);
    AppFixture fx(false);
    showMainAt(60, 40);
    appSession->settings().ftpHost = QStringLiteral("127.0.0.8");
    appSession->link().setHost(QStringLiteral("127.0.0.9"));
    appSession->link().setPort(1502);
    struct Seen {
        bool shown = false;
        int page = -1;
        QPoint pos;
        QString modbusIp, modbusPort, ftpIp;
    } seen;
    QTimer::singleShot(0, frmGWcfg, [&] {
        seen = {frmGWcfg->isVisible(), controls::find<QTabWidget>(frmGWcfg, "PageControl1")->currentIndex(),
                frmGWcfg->pos(), controls::find<QLineEdit>(frmGWcfg, "ModbusIP")->text(),
                controls::find<QLineEdit>(frmGWcfg, "ModbusPort")->text(),
                controls::find<QLineEdit>(frmGWcfg, "FTPIP")->text()};
        frmGWcfg->reject();
    });
    child<QAction>(qPrintable(action))->trigger();  // returns when the dialog closed
    QVERIFY(seen.shown);
    QCOMPARE(seen.page, page);
    QCOMPARE(seen.pos, QPoint(frmMain->x() + 30, frmMain->y() + 30));
    QCOMPARE(seen.modbusIp, QStringLiteral("127.0.0.9"));
    QCOMPARE(seen.modbusPort, QStringLiteral("1502"));
    QCOMPARE(seen.ftpIp, QStringLiteral("127.0.0.8"));
    QVERIFY(!frmGWcfg->isVisible());
}

// --connect presses the connection dialog's 接続: the status text it keeps
// follows the link, and the main window reads its state from there.
void TestE2eWindowWiring::connectOptionConnects()
{
    AppFixture fx;
    appSession->link().setHost(QStringLiteral("127.0.0.1"));
    appSession->link().setPort(fx.gateway()->port());
    QVERIFY(!appSession->isConnected());
    StartOptions options;
    options.connect = true;
    theApp->start(options);
    QTRY_VERIFY(appSession->isConnected());
    QCOMPARE(frmConnect->statusText(), QStringLiteral("接続しました"));
    frmMain->sbtnDisConnClick();
    QTRY_COMPARE(frmConnect->statusText(), QStringLiteral("接続されていません"));
    QVERIFY(!appSession->isConnected());
}

QTEST_MAIN(TestE2eWindowWiring)
#include "test_e2e_window_wiring.moc"
