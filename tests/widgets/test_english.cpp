// The English interface: every window, every page of its tab widgets, its
// menus and the monitor panel in every layout show no Japanese text and no
// text cut off; message boxes and status texts speak English, and the
// connection check still works on the English status text. The Japanese
// interface keeps its texts. With RMTOOL_SCREENSHOTS=<folder> the walk also
// saves a picture of every window and page in both languages.
#include "support/TestApp.h"
#include "app/IniFile.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "app/Translation.h"
#include "diag/AutoReconnect.h"
#include "diag/TfrmCommStats.h"
#include "diag/TfrmTraffic.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "tools/trend/TfrmTrend.h"
#include "support/AppFixture.h"
#include "support/InterfaceTexts.h"
#include "support/MonitorControls.h"
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>
#include <algorithm>

namespace {

QString describe(const QList<ShownText> &texts)
{
    QStringList lines;
    for (const ShownText &t : texts)
        lines << t.where + QLatin1String(": ") + t.text;
    lines.removeDuplicates();
    return lines.join(u'\n');
}

// The Japanese texts and the cut-off controls of window, added to the lists.
void collect(QWidget *window, QList<ShownText> &japanese, QList<ShownText> &cut)
{
    for (const ShownText &t : textsOf(window))
        if (hasJapanese(t.text))
            japanese << t;
    cut << cutOffTextsOf(window);
}

// Names what a walk found, for the failure report.
void warnAbout(const QList<ShownText> &japanese, const QList<ShownText> &cut)
{
    if (!japanese.isEmpty())
        qWarning().noquote() << "Japanese left:\n" + describe(japanese);
    if (!cut.isEmpty())
        qWarning().noquote() << "cut off:\n" + describe(cut);
}

QList<QWidget *> diagnosticsWindows()
{
    return {frmCommStats, frmTraffic, frmTrend};
}

// Every tab widget of window at every page, one after the other (nested tab
// widgets included): f runs once per combination shown.
void everyPage(QWidget *window, const std::function<void(const QString &page)> &f)
{
    const QList<QTabWidget *> tabs = window->findChildren<QTabWidget *>();
    f(QStringLiteral("0"));
    for (QTabWidget *t : tabs) {
        if (t->window() != window)
            continue;
        const int was = t->currentIndex();
        for (int i = 0; i < t->count(); ++i) {
            t->setCurrentIndex(i);
            f(t->objectName() + u'-' + QString::number(i));
        }
        t->setCurrentIndex(was);
    }
}

void saveShot(QWidget *window, const QString &lang, const QString &page)
{
    const QString dir = qEnvironmentVariable("RMTOOL_SCREENSHOTS");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    window->grab().save(QDir(dir).filePath(
        QStringLiteral("%1_%2_%3.png").arg(lang, window->objectName(), page)));
}

// The main window's menus and their submenus, opened one by one.
void saveMenuShots(const QString &lang)
{
    if (qEnvironmentVariable("RMTOOL_SCREENSHOTS").isEmpty())
        return;
    for (QMenu *menu : frmMain->menuBar()->findChildren<QMenu *>()) {
        menu->popup(frmMain->mapToGlobal(QPoint(0, 0)));
        if (QTest::qWaitForWindowExposed(menu))
            saveShot(menu, lang, QStringLiteral("menu"));
        menu->hide();
    }
}

QAction *action(const char *name)
{
    auto *a = frmMain->findChild<QAction *>(QLatin1String(name));
    if (!a)
        qFatal("no action %s", name);
    return a;
}

} // namespace

class TestEnglish : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyWindowInEnglish();
    void monitorPanelInEveryLayout();
    void diagnosticsWindowsInEnglish();
    void messagesAndStatusTexts();
    void reconnectionTexts();
    void connectionCheckOnEnglishStatus();
    void languageMenuSavesTheChoice();
    void japaneseInterfaceUnchanged();
};

void TestEnglish::initTestCase()
{
    QVERIFY(installTranslation(*qApp, QStringLiteral("en")));
    QCOMPARE(currentLanguage(), QStringLiteral("en"));
}

void TestEnglish::everyWindowInEnglish()
{
    AppFixture app(false);
    const QList<QWidget *> windows = programWindows();
    // The main window and its nine dialogs at least (more when new ones come).
    QVERIFY2(windows.size() >= 10, qPrintable(QString::number(windows.size())));
    // The diagnostics windows and the trend are walked as well.
    for (QWidget *w : diagnosticsWindows())
        QVERIFY2(windows.contains(w), qPrintable(w->objectName()));
    QList<ShownText> japanese, cut;
    int texts = 0;
    for (QWidget *w : windows) {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        everyPage(w, [&](const QString &page) {
            saveShot(w, QStringLiteral("en"), page);
            cut << cutOffTextsOf(w);
        });
        const QList<ShownText> all = textsOf(w);
        texts += all.size();
        for (const ShownText &t : all)
            if (hasJapanese(t.text))
                japanese << t;
        w->hide();
    }
    frmMain->show();
    saveMenuShots(QStringLiteral("en"));
    // The walk saw the windows' texts: the menus, the dialogs' controls.
    QVERIFY2(texts > 500, qPrintable(QString::number(texts)));
    warnAbout(japanese, cut);
    QVERIFY(japanese.isEmpty());
    QVERIFY(cut.isEmpty());
}

void TestEnglish::monitorPanelInEveryLayout()
{
    AppFixture app(false);
    frmMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmMain));
    auto *types = child<QComboBox>("cbTerminalType");
    auto *areas = child<QComboBox>("DataAreaSelect");
    auto *bits = child<QComboBox>("BitDataSelect");
    QList<ShownText> japanese, cut;
    for (const Page page : {Word, Bit, D2})
        for (int type = 0; type < types->count(); ++type)
            for (int area = 0; area < (page == Word ? areas->count() : bits->count()); ++area) {
                select(page, type, page == Word ? area : 1, page == Word ? 0 : area, 0, true);
                collect(frmMain, japanese, cut);
            }
    warnAbout(japanese, cut);
    QVERIFY(japanese.isEmpty());
    QVERIFY(cut.isEmpty());

    // A few layouts read as an engineer expects them.
    select(Word, 0, 2, 0, 0, true);  // thermocouple, engineering units
    QCOMPARE(child<QLabel>("lbTanni0")->text(), QStringLiteral("°C"));
    QCOMPARE(child<QLabel>("stTerminalType")->text(), QStringLiteral("Thermocouple terminal"));
    select(Word, 11, 1, 0, 0, true);  // temperature and humidity
    QCOMPARE(child<QLabel>("lbHd2")->text(), QStringLiteral("Temp"));
    QCOMPARE(child<QLabel>("lbHd3")->text(), QStringLiteral("RH"));
    QCOMPARE(child<QLabel>("lbTanni3")->text(), QStringLiteral("%"));
    select(Bit, 0, 1, 1, 0, true);  // edge soft counters
    QCOMPARE(child<QLabel>("lbTanni0")->text(), QStringLiteral("cnt"));
    QCOMPARE(child<QLabel>("stTerminalType")->text(), QStringLiteral("16-point bit input terminal"));
}

// The traffic log and the statistics filled by a monitor against a gateway
// that answers some requests with an exception: every row, every cell and
// every header in English, nothing cut off.
void TestEnglish::diagnosticsWindowsInEnglish()
{
    SimOptions o;
    o.exceptionEvery = 5;
    AppFixture app(true, o);
    QVERIFY(app.connectGateway());
    frmMain->show();
    action("actTraffic")->trigger();
    action("actCommStats")->trigger();
    action("actTrend")->trigger();
    select(Word, 3, 1, 0, 3, true);
    child<QLineEdit>("Interval")->setText(QStringLiteral("50"));
    child<QToolButton>("sbtnMonitor")->click();
    QVERIFY(appSession->isMonitoring());
    QTRY_VERIFY_WITH_TIMEOUT(appSession->monitorCount() >= 20, 20000);
    child<QToolButton>("sbtnMonitor")->click();
    QTRY_VERIFY(appSession->link().inFlight().empty());

    QList<ShownText> japanese;
    QStringList directions, summaries;
    auto *list = frmTraffic->findChild<QTableView *>(QStringLiteral("TrafficList"));
    QTRY_COMPARE(list->model()->rowCount(), frmTraffic->log().size());
    QVERIFY(list->model()->rowCount() > 0);
    for (int r = 0; r < list->model()->rowCount(); ++r)
        for (int c = 0; c < list->model()->columnCount(); ++c) {
            const QString text = list->model()->index(r, c).data().toString();
            if (hasJapanese(text))
                japanese << ShownText{QStringLiteral("TrafficList %1,%2").arg(r).arg(c), text};
            if (c == int(TrafficColumn::Direction))
                directions << text;
            else if (c == int(TrafficColumn::Summary))
                summaries << text;
        }
    QVERIFY2(directions.contains(QStringLiteral("Sent")) && directions.contains(QStringLiteral("Received")),
             qPrintable(directions.join(u'|')));
    const auto anySummary = [&](const QString &part) {
        return std::any_of(summaries.begin(), summaries.end(), [&](const QString &t) { return t.contains(part); });
    };
    QVERIFY2(anySummary(QStringLiteral("monitor data")), qPrintable(summaries.join(u'\n')));
    QVERIFY2(anySummary(QStringLiteral("exception 06 Server device busy")), qPrintable(summaries.join(u'\n')));
    for (QTableWidget *t : frmCommStats->findChildren<QTableWidget *>())
        for (int r = 0; r < t->rowCount(); ++r)
            for (int c = 0; c < t->columnCount(); ++c)
                if (const QTableWidgetItem *i = t->item(r, c); i && hasJapanese(i->text()))
                    japanese << ShownText{t->objectName(), i->text()};
    QList<ShownText> cut;
    for (QWidget *w : diagnosticsWindows()) {
        saveShot(w, QStringLiteral("en"), QStringLiteral("filled"));
        collect(w, japanese, cut);
    }
    warnAbout(japanese, cut);
    QVERIFY(japanese.isEmpty());
    QVERIFY(cut.isEmpty());
}

void TestEnglish::messagesAndStatusTexts()
{
    AppFixture app(false);
    // Not connected: the check of every gateway command.
    QVERIFY(!frmMain->ConnectionCheck());
    // A monitor interval that is no number.
    frmMain->findChild<QLineEdit *>(QStringLiteral("Interval"))->setText(QStringLiteral("abc"));
    frmMain->sbtnMonitorClick();
    // A conversion table that cannot be opened.
    frmMain->LoadConversionTable(app.dir() + QStringLiteral("/missing.cfg"));
    const QStringList texts = app.messageTexts();
    QVERIFY2(texts.size() >= 2, qPrintable(texts.join(u'|')));
    QCOMPARE(texts.first(), QStringLiteral("Not connected to the Relaymo"));
    QVERIFY2(texts.contains(QStringLiteral("'abc' is not a valid integer")), qPrintable(texts.join(u'|')));
    QVERIFY2(texts.last().startsWith(QStringLiteral("Cannot open file ")), qPrintable(texts.last()));
    for (const auto &m : std::as_const(app.messages)) {
        // After "Cannot open file <path>: " comes the system's own reason,
        // in the system's language (Japanese on a Japanese Windows).
        const QString own = m.text.startsWith(QStringLiteral("Cannot open file "))
                                ? m.text.section(QStringLiteral(": "), 0, 0) : m.text;
        QVERIFY2(!hasJapanese(own), qPrintable(m.text));
        QVERIFY2(!hasJapanese(m.caption), qPrintable(m.caption));
    }
    // The status bar after a lost stream of answers.
    emit appSession->link().streamLost();
    const QString status = frmMain->statusBar()->currentMessage();
    QVERIFY2(!status.isEmpty() && !hasJapanese(status), qPrintable(status));
}

// What the status bar and the connection dialog say while the connection
// is being brought back.
void TestEnglish::reconnectionTexts()
{
    AppFixture app(false);
    auto *r = frmMain->findChild<AutoReconnect *>(QStringLiteral("AutoReconnect"));
    QVERIFY(r);
    const auto status = [] { return frmMain->statusBar()->currentMessage(); };
    emit r->attemptScheduled(1, 1000);
    QCOMPARE(status(), QStringLiteral("Connection lost. Reconnecting in 1 s (attempt 1)"));
    QCOMPARE(frmConnect->statusText(), QStringLiteral("Waiting to reconnect (attempt 1, in 1 s)"));
    emit r->attemptScheduled(2, 2000);
    QCOMPARE(status(), QStringLiteral("Reconnection failed. Reconnecting in 2 s (attempt 2)"));
    QCOMPARE(frmConnect->statusText(), QStringLiteral("Waiting to reconnect (attempt 2, in 2 s)"));
    emit r->attemptStarted(2);
    QVERIFY2(status().startsWith(QStringLiteral("Reconnecting (attempt ")), qPrintable(status()));
    emit r->stopped();
    QCOMPARE(frmConnect->statusText(), QStringLiteral("Not connected"));
    emit r->reconnected(3);
    QCOMPARE(status(), QStringLiteral("Reconnected (attempt 3)"));
}

void TestEnglish::connectionCheckOnEnglishStatus()
{
    AppFixture app;
    QVERIFY(!appSession->isConnected());
    QVERIFY(app.connectGateway());
    QCOMPARE(frmConnect->statusText(), QStringLiteral("Connected"));
    QVERIFY(frmMain->ConnectionCheck());
    QVERIFY(app.messages.isEmpty());
    appSession->link().close();
    QTRY_COMPARE(frmConnect->statusText(), QStringLiteral("Not connected"));
    QVERIFY(!appSession->isConnected());
}

void TestEnglish::languageMenuSavesTheChoice()
{
    AppFixture app(false);
    QVERIFY(action("LangEn")->isChecked());
    QVERIFY(!action("LangJa")->isChecked());
    QVERIFY(!action("LangNote")->isEnabled());
    QCOMPARE(action("LangNote")->text(), QStringLiteral("(takes effect at next start)"));

    // Choosing Japanese from the English interface: the box speaks Japanese.
    action("LangJa")->trigger();
    QVERIFY(action("LangJa")->isChecked());
    QVERIFY(!action("LangEn")->isChecked());
    QCOMPARE(app.messages.size(), 1);
    QCOMPARE(app.messages.last().kind, msg::Kind::Information);
    QCOMPARE(app.messages.last().text, QStringLiteral("言語の設定は次回起動時に有効になります。"));
    IniFile saved(app.settingsPath());
    saved.load();
    QCOMPARE(saved.readString(QStringLiteral("WINDOW"), QStringLiteral("lang"), {}), QStringLiteral("ja"));
    // The interface itself stays as it is until the next start.
    QCOMPARE(currentLanguage(), QStringLiteral("en"));

    action("LangEn")->trigger();
    QCOMPARE(app.messages.last().text, QStringLiteral("The language setting takes effect at the next start."));
    saved.load();
    QCOMPARE(saved.readString(QStringLiteral("WINDOW"), QStringLiteral("lang"), {}), QStringLiteral("en"));
    QCOMPARE(startupLanguage(app.settingsPath()), QStringLiteral("en"));
}

void TestEnglish::japaneseInterfaceUnchanged()
{
    QVERIFY(installTranslation(*qApp, QStringLiteral("ja")));
    QCOMPARE(currentLanguage(), QStringLiteral("ja"));
    {
        AppFixture app;
        for (QWidget *w : programWindows()) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            everyPage(w, [&](const QString &page) { saveShot(w, QStringLiteral("ja"), page); });
            w->hide();
        }
        frmMain->show();
        saveMenuShots(QStringLiteral("ja"));
        QCOMPARE(frmMain->findChild<QMenu *>(QStringLiteral("Show1"))->title(), QStringLiteral("表示(&V)"));
        QCOMPARE(frmMain->findChild<QMenu *>(QStringLiteral("Lang1"))->title(), QStringLiteral("言語(&L)"));
        QCOMPARE(action("LangJa")->text(), QStringLiteral("日本語"));
        QCOMPARE(action("LangEn")->text(), QStringLiteral("English"));
        QCOMPARE(action("LangNote")->text(), QStringLiteral("(次回起動時に有効)"));
        QVERIFY(action("LangJa")->isChecked());
        QCOMPARE(action("C1")->text(), QStringLiteral("接続(&C)"));
        QCOMPARE(child<QLabel>("stTerminalType")->text().isEmpty(), false);
        select(Word, 0, 2, 0, 0, true);
        QCOMPARE(child<QLabel>("lbTanni0")->text(), QStringLiteral("℃"));
        QCOMPARE(frmGWcfg->windowTitle(), QStringLiteral("リレイモ設定"));

        QVERIFY(!frmMain->ConnectionCheck());
        QCOMPARE(app.messageTexts(), QStringList{QStringLiteral("リレイモに接続されていません")});
        QVERIFY(app.connectGateway());
        QCOMPARE(frmConnect->statusText(), QStringLiteral("接続しました"));
        QVERIFY(frmMain->ConnectionCheck());

        action("LangEn")->trigger();
        QCOMPARE(app.messages.last().text, QStringLiteral("The language setting takes effect at the next start."));
    }
    QVERIFY(installTranslation(*qApp, QStringLiteral("en")));
}

QTEST_MAIN(TestEnglish)
#include "test_english.moc"
