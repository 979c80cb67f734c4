#include "support/TestApp.h"
#include "support/Controls.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "tools/survey/TfrmSurvey.h"
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

void createTestApp(const StartOptions &options)
{
    theApp = new App(options);
    appSession = &theApp->session();
    frmMain = theApp->mainWindow();
    frmModInfo = theApp->moduleInfo();
    frmGWcfg = theApp->settingsDialog();
    frmWattorSet = theApp->terminalSettings();
    frmFTPtool = theApp->ftpTool();
    frmWriteTool = theApp->writeTool();
    frmCntrPreset = theApp->counterPreset();
    frmConnect = theApp->connectionDialog();
    frmSoftCntr = theApp->softCounters();
    frmLadderConsole = theApp->ladderConsole();
    frmCommStats = theApp->commStats();
    frmTraffic = theApp->traffic();
    frmTrend = theApp->trend();
    frmJournal = theApp->journalWindow();
    frmSite = theApp->site();
    frmSurvey = theApp->surveyWindow();
}

void createTestAppFromArguments(const QStringList &arguments)
{
    createTestApp(parseCommandLine(arguments).options);
}

void destroyTestApp()
{
    delete theApp;
    theApp = nullptr;
    appSession = nullptr;
    frmMain = nullptr;
    frmModInfo = nullptr;
    frmGWcfg = nullptr;
    frmWattorSet = nullptr;
    frmFTPtool = nullptr;
    frmWriteTool = nullptr;
    frmCntrPreset = nullptr;
    frmConnect = nullptr;
    frmSoftCntr = nullptr;
    frmLadderConsole = nullptr;
    frmCommStats = nullptr;
    frmTraffic = nullptr;
    frmTrend = nullptr;
    frmJournal = nullptr;
    frmSite = nullptr;
    frmSurvey = nullptr;
}

void fillSettingsDialog()
{
    frmGWcfg->fillFromSettings(appSession->settings(), appSession->link().host(), appSession->link().port());
}

void triggerMenu(const char *name)
{
    controls::find<QAction>(frmMain, name)->trigger();
}

void setReconnectOption(bool on)
{
    QTimer::singleShot(0, [on] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog == frmGWcfg);
        controls::find<QCheckBox>(dialog, "chkAutoReconnect")->setChecked(on);
        controls::find<QPushButton>(dialog, "OKbtn")->click();
    });
    triggerMenu("Modbus1");
    QCOMPARE(appSession->settings().modbusReconnect, on ? 1 : 0);
}

QLabel *valueBox(int p)
{
    return controls::find<QLabel>(frmMain, QStringLiteral("StVal%1").arg(p));
}

QLabel *headerBox(int i)
{
    return controls::find<QLabel>(frmMain, QStringLiteral("stWI%1").arg(i));
}
