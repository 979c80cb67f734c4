// rmtool-screenshots: pictures of the real windows, connected to a gateway
// (relaymo-sim), for the README and for looking over every window in one
// language. scripts/screenshots starts the simulator and the FTP server,
// writes the settings file and runs this once per language.
//
//   rmtool-screenshots --settings FILE --lang ja|en --all DIR [--docs DIR]
//                      [--site FILE]
//
// It connects and monitors as the demo does (the power terminal at word
// address 12), lets the trend fill, reads the terminal settings, logs in to
// the FTP server and downloads mstcfg.cfg; with --site it opens that
// installation, surveys it and writes the report (DIR/report.pdf). With
// --docs it saves the README's pictures there. Then it saves every window (every page of its tab widgets)
// into --all as <objectName>[_<tabs>-<page>].png and prints, for each, the
// texts that do not fit their control and, in English, the Japanese texts
// left. Exit status 1 when a step did not complete, 0 otherwise (what it
// found in the windows is for the reader to judge).
#include "app/CommandLine.h"
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "monitor/SiteFile.h"
#include "monitor/Survey.h"
#include "tools/survey/TfrmSurvey.h"
#include "tools/trend/TfrmTrend.h"
#include "app/App.h"
#include "app/Translation.h"
#include "support/SyntheticRecording.h"
#include "support/Controls.h"
#include "support/InterfaceTexts.h"
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTabWidget>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <functional>

namespace {

QTextStream out(stdout);

bool step(const char *what, bool ok)
{
    out << (ok ? "ok    " : "FAILED") << ' ' << what << Qt::endl;
    return ok;
}

bool step(const char *what, const std::function<bool()> &done, int timeoutMs)
{
    return step(what, QTest::qWaitFor(done, timeoutMs));
}

// The main window, or one of the windows it owns, by objectName.
QWidget *windowNamed(const char *name)
{
    if (frmMain->objectName() == QLatin1String(name))
        return frmMain;
    return controls::find<QWidget>(frmMain, name);
}

void showWindow(QWidget *w)
{
    w->show();
    w->raise();
    if (!QTest::qWaitForWindowExposed(w))
        out << "not exposed: " << w->objectName() << Qt::endl;
    QTest::qWait(50);  // one more paint pass for the charts and tables
}

bool save(QWidget *w, const QString &path)
{
    showWindow(w);
    const bool ok = w->grab().save(path);
    out << (ok ? "saved  " : "NOT SAVED ") << path << Qt::endl;
    return ok;
}

template <class T> T *control(const char *window, const char *name)
{
    return controls::find<T>(windowNamed(window), name);
}

// The window at every page of its tab widgets, one tab widget after the
// other (the first picture as the window opens).
void everyPage(QWidget *w, const std::function<void(const QString &suffix)> &f)
{
    f(QString());
    for (QTabWidget *t : w->findChildren<QTabWidget *>()) {
        if (t->window() != w)
            continue;
        const int was = t->currentIndex();
        for (int i = 0; i < t->count(); ++i) {
            t->setCurrentIndex(i);
            f(QStringLiteral("_%1-%2").arg(t->objectName()).arg(i));
        }
        t->setCurrentIndex(was);
    }
}

void listTexts(const char *what, const QList<ShownText> &texts)
{
    QStringList lines;
    for (const ShownText &t : texts)
        lines << t.where + QLatin1String(": ") + t.text;
    lines.removeDuplicates();
    for (const QString &l : lines)
        out << "  " << what << ": " << l << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RMTool"));
    QCommandLineParser p;
    const QCommandLineOption settings(QStringLiteral("settings"), QStringLiteral("Settings file."),
                                      QStringLiteral("file"));
    const QCommandLineOption lang(QStringLiteral("lang"), QStringLiteral("ja or en."), QStringLiteral("lang"));
    const QCommandLineOption all(QStringLiteral("all"), QStringLiteral("Folder for every window."),
                                 QStringLiteral("dir"));
    const QCommandLineOption docs(QStringLiteral("docs"), QStringLiteral("Folder for the README's pictures."),
                                  QStringLiteral("dir"));
    const QCommandLineOption siteFile(QStringLiteral("site"), QStringLiteral("Installation file to survey."),
                                      QStringLiteral("file"));
    p.addOptions({settings, lang, all, docs, siteFile});
    p.addHelpOption();
    p.process(app);
    if (!p.isSet(settings) || !p.isSet(all)) {
        QTextStream(stderr) << "rmtool-screenshots: --settings and --all are needed\n";
        return 2;
    }
    const QString language = p.value(lang).isEmpty() ? QStringLiteral("ja") : p.value(lang);
    const QDir allDir(p.value(all));
    QDir().mkpath(allDir.path());
    const bool withDocs = p.isSet(docs);
    const QDir docsDir(p.value(docs));
    if (withDocs)
        QDir().mkpath(docsDir.path());

    installTranslation(app, language);
    createTestAppFromArguments({QStringLiteral("RMTool"), QStringLiteral("--settings"), p.value(settings)});
    bool ok = true;
    {
        frmMain->move(0, 0);
        frmMain->show();
        StartOptions start;
        start.connect = start.monitor = start.trend = true;
        theApp->start(start);
        ok &= step("connected and monitoring", [] { return appSession->isConnected() && appSession->isMonitoring(); },
                   10000);
        // A few seconds of values in the trend, shown over the last minute.
        QWidget *trend = windowNamed("TfrmTrend");
        auto *span = controls::find<QComboBox>(trend, "cbTrendSpan");
        span->setCurrentIndex(0);
        QTest::qWait(8000);
        if (withDocs) {
            ok &= save(frmMain, docsDir.filePath(QStringLiteral("main-monitoring.png")));
            ok &= save(trend, docsDir.filePath(QStringLiteral("trend.png")));
            ok &= save(windowNamed("TfrmCommStats"), docsDir.filePath(QStringLiteral("statistics.png")));
            ok &= save(windowNamed("TfrmTraffic"), docsDir.filePath(QStringLiteral("traffic.png")));

            // A day of a recording of the bus (a synthetic one, a row a
            // second) in a trend window of its own over 24 hours: two
            // furnaces with their night setback, a room temperature, and the
            // two motor currents that stall and trip at 03:12.
            QTemporaryDir recordings;
            const QString day = recordings.filePath(QStringLiteral("REC-20260302-010000.rmrec"));
            QString error;
            ok &= step("a day's recording made",
                       writeSyntheticRecording(day, 86'400, 1000,
                                               QDateTime(QDate(2026, 3, 2), QTime(1, 0)).toMSecsSinceEpoch(), &error));
            if (TfrmTrend *w = theApp->openRecording(day)) {
                w->resize(1000, 560);
                auto *list = controls::find<QListWidget>(w, "lstTrendChannels");
                for (int c = 2; c < 8; ++c)
                    list->item(c)->setCheckState(Qt::Unchecked);
                for (const int c : {8 * 8, 8 * synthetic::kFaultTerminal, 8 * synthetic::kFaultTerminal + 1})
                    list->item(c)->setCheckState(Qt::Checked);
                controls::find<QComboBox>(w, "cbTrendSpan")->setCurrentIndex(4);  // 24時間
                w->redrawTrend();
                ok &= save(w, docsDir.filePath(QStringLiteral("recording-24h.png")));
                w->close();
            } else {
                out << "  " << error << Qt::endl;
            }
        }

        // The FTP tool: logged in, mstcfg.cfg downloaded and shown.
        triggerMenu("FTPF2");
        QWidget *ftp = windowNamed("TfrmFTPtool");
        showWindow(ftp);
        control<QPushButton>("TfrmFTPtool", "BtnFTPconnect")->click();
        ok &= step("FTP logged in", [] { return control<QPushButton>("TfrmFTPtool", "btnDownload")->isEnabled(); },
                   15000);
        control<QRadioButton>("TfrmFTPtool", "rbFile0")->setChecked(true);
        control<QPushButton>("TfrmFTPtool", "btnDownload")->click();
        ok &= step("mstcfg.cfg downloaded",
                   [] { return !control<QPlainTextEdit>("TfrmFTPtool", "Memo1")->toPlainText().isEmpty(); },
                   15000);
        if (withDocs)
            ok &= save(ftp, docsDir.filePath(QStringLiteral("ftp-tool.png")));

        // The terminal settings of the power terminal at word address 12.
        triggerMenu("EPcfg");
        QWidget *termset = windowNamed("TfrmWattorSet");
        showWindow(termset);
        control<QSpinBox>("TfrmWattorSet", "UpDown1")->setValue(12);
        control<QPushButton>("TfrmWattorSet", "btnReadWattor7")->click();
        ok &= step("terminal settings read",
                   [] { return !control<QLabel>("TfrmWattorSet", "stWattor7cfg1")->text().isEmpty(); }, 30000);
        if (withDocs)
            ok &= save(termset, docsDir.filePath(QStringLiteral("terminal-settings.png")));

        // The module information, read from the gateway; the settings
        // dialog filled from the settings, as its menu entries fill it.
        triggerMenu("m1");
        ok &= step("module information read",
                   [] { return control<QPushButton>("TfrmModInfo", "Button1")->isEnabled(); }, 15000);
        fillSettingsDialog();

        // The installation: its window with a terminal chosen, the survey
        // of it (the monitor pauses meanwhile) and the report.
        if (p.isSet(siteFile)) {
            QString error;
            const auto site = site::read(p.value(siteFile), &error);
            ok &= step("installation opened", site.has_value());
            if (!site)
                out << "  " << error << Qt::endl;
            if (site) {
                appSession->setSite(*site, p.value(siteFile));
                QWidget *siteWindow = windowNamed("TfrmSite");
                showWindow(siteWindow);
                control<QTableWidget>("TfrmSite", "gridTerminals")->selectRow(2);
                if (withDocs)
                    ok &= save(siteWindow, docsDir.filePath(QStringLiteral("site.png")));
                triggerMenu("mnuSurvey");
                showWindow(frmSurvey);
                controls::find<QSpinBox>(frmSurvey, "seSurveySamples")->setValue(5);
                QSignalSpy finished(&theApp->survey(), &Survey::finished);
                controls::find<QPushButton>(frmSurvey, "btnSurveyStart")->click();
                ok &= step("installation surveyed", [&] { return finished.count() > 0; }, 120000);
                // Wide enough for the verdicts (beside the main window on this
                // small screen it opens narrower).
                frmSurvey->resize(1180, 520);
                if (withDocs)
                    ok &= save(frmSurvey, docsDir.filePath(QStringLiteral("survey.png")));
                const QString pdf = allDir.filePath(QStringLiteral("report.pdf"));
                ok &= step("report written", frmSurvey->saveReport(pdf, &error));
                if (!error.isEmpty())
                    out << "  " << error << Qt::endl;
            }
        }
    }

    // Every window, at every page.
    int cutCount = 0, japaneseCount = 0;
    for (QWidget *w : programWindows()) {
        showWindow(w);
        out << "window " << w->objectName() << ": " << w->windowTitle() << Qt::endl;
        everyPage(w, [&](const QString &suffix) {
            ok &= save(w, allDir.filePath(w->objectName() + suffix + QStringLiteral(".png")));
            const QList<ShownText> cut = cutOffTextsOf(w);
            cutCount += cut.size();
            listTexts("cut off", cut);
        });
        if (language != QLatin1String("ja")) {
            QList<ShownText> japanese;
            for (const ShownText &t : textsOf(w))
                if (hasJapanese(t.text))
                    japanese << t;
            japaneseCount += japanese.size();
            listTexts("Japanese", japanese);
        }
        if (w != frmMain)
            w->hide();
    }
    out << "texts cut off: " << cutCount << ", Japanese texts in " << language << ": " << japaneseCount << Qt::endl;
    destroyTestApp();
    return ok ? 0 : 1;
}
