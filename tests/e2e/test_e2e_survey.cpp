// The survey (ツール → 一括点検) through its window against the simulator:
// the demo installation surveyed while the monitor runs (every terminal, the
// figures within what the simulator served, the one narrow range out, the
// power terminal's settings under the dialog's own names and items, only the
// commands that enter and leave settings mode in the journal, the module
// information and the clock, the monitor polling on with its counters); a
// gateway that goes silent or drops the connection in mid-survey; 中止 after
// the running step; the refusals; and the report written from the window as
// HTML (through the file dialog) and as PDF, read back.
#include "support/TestApp.h"
#include "monitor/SiteFile.h"
#include "monitor/Survey.h"
#include "support/AppFixture.h"
#include "support/Controls.h"
#include "tools/survey/TfrmSurvey.h"
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>
#include <deque>

using survey::Verdict;

namespace {

const QString kDemoSite = QStringLiteral(TESTS_SOURCE_DIR "/../demo/site.rmsite");

template <class T> T *control(const char *name)
{
    return controls::find<T>(frmSurvey, name);
}

Survey &theSurvey()
{
    return theApp->survey();
}

// Opens the installation file in the session, as 設置構成 → 開く does.
bool openSite(const QString &path)
{
    QString error;
    const auto s = site::read(path, &error);
    if (!s)
        qWarning() << error;
    else
        appSession->setSite(*s, path);
    return s.has_value();
}

// A thermocouple, a thermistor and a temperature/humidity terminal: no
// settings to read, so that a survey of it is quick.
QString writeSmallSite(const QString &dir)
{
    const QString path = dir + QStringLiteral("/small.rmsite");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(R"({"format": "rmtool-site/1", "name": "Small",
                "terminals": [
                  {"address": 0, "type": 0, "name": "Oven",
                   "channels": [{"channel": 0, "tag": "TC-1", "min": 100, "max": 400}]},
                  {"address": 40, "type": 10, "name": "Cabinet"},
                  {"address": 44, "type": 11, "name": "Room"}]})");
    return path;
}

// Opens the window and presses 点検開始 with that many samples.
void pressStart(int samples)
{
    triggerMenu("mnuSurvey");
    control<QSpinBox>("seSurveySamples")->setValue(samples);
    control<QPushButton>("btnSurveyStart")->click();
}

// The lowest and highest word the simulator served at each register of the
// extended input area, from every read of it it answered.
class ServedWords : public QObject {
public:
    explicit ServedWords(SimGateway &gw)
    {
        connect(&gw, &SimGateway::requestReceived, this, [this](const SimRequest &r) { m_asked.push_back(r); });
        connect(&gw, &SimGateway::answerSent, this, [this](const SimAnswer &a) {
            if (m_asked.empty())
                return;
            const SimRequest r = m_asked.front();
            m_asked.pop_front();
            if (r.function != 4 || a.kind != SimAnswer::Normal)
                return;
            const QList<quint16> words = a.words();
            for (int i = 0; i < words.size(); ++i) {
                const auto it = m_range.find(r.address + i);
                if (it == m_range.end())
                    m_range.insert(r.address + i, {words[i], words[i]});
                else
                    *it = {std::min<int>(it->first, words[i]), std::max<int>(it->second, words[i])};
            }
        });
    }
    std::pair<int, int> range(int reg) const { return m_range.value(reg, {-1, -1}); }

private:
    std::deque<SimRequest> m_asked;
    QHash<int, std::pair<int, int>> m_range;
};

QStringList column(int c)
{
    QStringList texts;
    auto *grid = control<QTableWidget>("gridSurvey");
    for (int r = 0; r < grid->rowCount(); ++r)
        texts << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
    return texts;
}

// A survey of the small installation that ended after the first terminal's
// second sample: that terminal OK on two samples, the rest 応答なし, the
// gateway not read.
void checkEndedAfterTwoSamples(const survey::SurveyResult &r)
{
    QCOMPARE(r.terminals.size(), 3);
    QCOMPARE(r.terminals[0].samplesReceived, 2);
    for (const survey::ChannelResult &c : r.terminals[0].channels)
        QCOMPARE(c.verdict, Verdict::Ok);
    for (int i : {1, 2}) {
        QCOMPARE(r.terminals[i].samplesReceived, 0);
        for (const survey::ChannelResult &c : r.terminals[i].channels)
            QCOMPARE(c.verdict, Verdict::NoAnswer);
    }
    QVERIFY(!r.gateway.moduleInfoRead);
    QVERIFY(!r.gateway.clock);
}

void checkButtonsBack()
{
    QVERIFY(control<QPushButton>("btnSurveyStart")->isEnabled());
    QVERIFY(!control<QPushButton>("btnSurveyStop")->isEnabled());
    QVERIFY(control<QPushButton>("btnReport")->isEnabled());
}

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestE2eSurvey : public QObject {
    Q_OBJECT
private slots:
    void demoInstallation();
    void gatewayStopsAnswering_data();
    void gatewayStopsAnswering();
    void stopEndsAfterTheRunningStep();
    void refusals_data();
    void refusals();
};

void TestE2eSurvey::demoInstallation()
{
    SimOptions o;
    o.siteFile = kDemoSite;
    AppFixture fx(true, o);
    ServedWords served(*fx.gateway());
    QVERIFY(fx.connectGateway());
    QVERIFY(openSite(kDemoSite));
    controls::find<QLineEdit>(frmMain, "Interval")->setText(QStringLiteral("100"));
    frmMain->sbtnMonitorClick();
    QTRY_VERIFY(appSession->monitorCount() >= 2);

    QSignalSpy finished(&theSurvey(), &Survey::finished);
    pressStart(3);
    QVERIFY(!appSession->isMonitoring());
    const uint32_t countAtPause = appSession->monitorCount();
    QVERIFY(finished.wait(120000));
    const survey::SurveyResult r = theSurvey().result();
    QVERIFY(!r.stopped);

    // Every terminal of the file, in its order, with every sample.
    const site::Site installation = *appSession->site();
    QCOMPARE(r.terminals.size(), installation.terminals.size());
    for (int i = 0; i < r.terminals.size(); ++i) {
        const survey::TerminalResult &t = r.terminals[i];
        QCOMPARE(t.address, installation.terminals[i].address);
        QCOMPARE(t.name, installation.terminals[i].name);
        QCOMPARE(t.samplesReceived, 3);
        QVERIFY(!t.channels.isEmpty());
        for (const survey::ChannelResult &c : t.channels) {
            const QString where = QStringLiteral("%1/%2").arg(t.address).arg(c.channel);
            // What the monitor shows in decimal format is the register's word.
            const auto [lo, hi] = served.range(320 + 8 * t.address + c.channel);
            QVERIFY2(c.lowest && c.mean && c.highest, qPrintable(where));
            QVERIFY2(lo <= *c.lowest && *c.lowest <= *c.mean && *c.mean <= *c.highest && *c.highest <= hi,
                     qPrintable(where));
            QCOMPARE(c.verdict, c.tag == QLatin1String("I-FAN") ? Verdict::OutOfRange : Verdict::Ok);
        }
    }
    // The table shows every terminal, and the one bad verdict marked.
    const QStringList addresses = column(0);
    QCOMPARE(QSet<QString>(addresses.begin(), addresses.end()),
             QSet<QString>({"0", "4", "12", "24", "36", "40", "44"}));
    auto *grid = control<QTableWidget>("gridSurvey");
    int marked = 0;
    for (int row = 0; row < grid->rowCount(); ++row) {
        const QTableWidgetItem *v = grid->item(row, 10);
        if (!v || v->text().isEmpty())
            continue;
        const bool bad = v->text() == QStringLiteral("範囲外");
        QCOMPARE(v->background().style() != Qt::NoBrush, bad);
        if (bad) {
            ++marked;
            QCOMPARE(grid->item(row, 5)->text(), QStringLiteral("I-FAN"));
        }
    }
    QCOMPARE(marked, 1);

    // The power terminal's settings, named and valued as the dialog shows
    // them (the simulator's codes: 50 Hz, 200 V, type 2, ranges 1 2 3 4 7 8 9).
    const survey::TerminalResult &power = r.terminals[2];
    QVERIFY(power.settings && power.settings->read);
    QStringList names, values;
    for (const survey::SettingItem &s : power.settings->items)
        names << s.name, values << s.value;
    QStringList dialogNames, dialogValues;
    const auto label = [](const char *n) { return controls::find<QLabel>(frmWattorSet, n)->text(); };
    const auto item = [](const QString &list, int code) {
        return controls::find<QComboBox>(frmWattorSet, list)->itemText(code);
    };
    dialogNames << label("lbW7Cap0") << label("lbW7Cap1") << label("lbW7Cap2");
    dialogValues << item("cbxWattor7Freq", 1) << item("cbxWattor7Volt", 2) << item("cbxWattor7Type", 2);
    const int ranges[] = {1, 2, 3, 4, 7, 8, 9};
    for (int k = 0; k < 7; ++k) {
        dialogNames << label(QStringLiteral("Label%1").arg(6 + k).toLatin1().constData());
        dialogValues << item(QStringLiteral("cbxWattor7Cur%1").arg(k + 1), ranges[k]);
    }
    QCOMPARE(names, dialogNames);
    QCOMPARE(values, dialogValues);
    QVERIFY(r.terminals[3].settings && r.terminals[3].settings->read);  // current, 8 circuits
    QVERIFY(r.terminals[4].settings && r.terminals[4].settings->read);  // outlet bar
    for (int i : {0, 1, 5, 6})
        QVERIFY(!r.terminals[i].settings);

    // Reads only: each terminal entered and left settings mode, nothing else.
    QList<std::pair<int, uint32_t>> writes;
    for (const journal::Entry &e : appSession->journal().entries()) {
        QCOMPARE(e.write.source, Survey::journalSource());
        QCOMPARE(e.outcome, journal::Outcome::Ok);
        writes << std::pair{journal::referenceNumber(e.write), e.write.value};
    }
    const QList<std::pair<int, uint32_t>> expected{{41069, 1}, {41069, 0}, {41081, 1},
                                                   {41081, 0}, {41093, 1}, {41093, 0}};
    QCOMPARE(writes, expected);

    // The gateway: the module information as its window shows it, the clock
    // (the simulator's is the PC's).
    QVERIFY(r.gateway.moduleInfoRead);
    triggerMenu("m1");
    QVERIFY(r.gateway.moduleInfo.macAddress);
    QTRY_COMPARE(controls::find<QLabel>(frmModInfo, "StaticText21")->text(), *r.gateway.moduleInfo.macAddress);
    QVERIFY(r.gateway.clock && r.gateway.clockDifferenceSeconds);
    QVERIFY2(qAbs(*r.gateway.clockDifferenceSeconds) <= 2, qPrintable(QString::number(*r.gateway.clockDifferenceSeconds)));

    // The monitor polls again, its count going on from where it paused.
    QVERIFY(appSession->isMonitoring());
    QTRY_VERIFY(appSession->monitorCount() > countAtPause);
    checkButtonsBack();
    QCOMPARE(control<QProgressBar>("pbSurvey")->value(), control<QProgressBar>("pbSurvey")->maximum());

    // The report through the button: the HTML filter adds its suffix.
    const QString html = fx.dir() + QStringLiteral("/report.html");
    QString offered;
    QTimer::singleShot(0, frmSurvey, [&fx, &offered] {
        auto *dialog = frmSurvey->findChild<QFileDialog *>(QStringLiteral("SaveReportDialog"));
        if (!dialog)
            return;
        offered = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        dialog->selectNameFilter(QStringLiteral("HTML (*.html)"));
        controls::chooseFile(dialog, fx.dir() + QStringLiteral("/report"));
    });
    control<QPushButton>("btnReport")->click();
    // The dialog offered the installation's name and the survey's start.
    QCOMPARE(offered, QStringLiteral("site") + r.started.toString(QStringLiteral("-yyyyMMdd-HHmm")));
    QFile file(html);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(html));
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(file.readAll()));
    const QString shown = doc.toPlainText();
    for (const site::Terminal &t : installation.terminals)
        QVERIFY2(shown.contains(t.name), qPrintable(t.name));
    QVERIFY(shown.contains(QStringLiteral("I-FAN")));
    QVERIFY(shown.contains(Survey::journalSource()));

    const QString pdf = fx.dir() + QStringLiteral("/report.pdf");
    QString error;
    QVERIFY2(frmSurvey->saveReport(pdf, &error), qPrintable(error));
    QVERIFY(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty());
    const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    for (const site::Terminal &t : installation.terminals)
        QVERIFY2(text.contains(t.name), qPrintable(t.name + QStringLiteral(" missing from:\n") + text));
}

void TestE2eSurvey::gatewayStopsAnswering_data()
{
    QTest::addColumn<bool>("drop");
    QTest::newRow("silent") << false;
    QTest::newRow("connection dropped") << true;
}

// The gateway answers the first two samples (two reads each) of the first
// terminal, then nothing more.
void TestE2eSurvey::gatewayStopsAnswering()
{
    QFETCH(bool, drop);
    SimOptions o;
    (drop ? o.dropAfter : o.silentAfter) = 4;
    AppFixture fx(true, o);
    appSession->settings().responseTimeoutMs = 300;
    appSession->applyConnectionSettings();
    QVERIFY(fx.connectGateway());
    QVERIFY(openSite(writeSmallSite(fx.dir())));
    controls::find<QLineEdit>(frmMain, "Interval")->setText(QStringLiteral("0"));

    QSignalSpy finished(&theSurvey(), &Survey::finished);
    QSignalSpy monitorTimeouts(appSession, &MonitorSession::monitorTimedOut);
    pressStart(3);
    QVERIFY(finished.wait(60000));
    const survey::SurveyResult r = theSurvey().result();
    QCOMPARE(r.stopped, drop);
    // The survey's reads that timed out are not the monitor's: its values
    // are not greyed, the status bar does not report them.
    QCOMPARE(monitorTimeouts.count(), 0);
    QVERIFY(!appSession->isStale());
    checkEndedAfterTwoSamples(r);
    // Nothing of it still waits, and the table says 応答なし for the rest.
    QVERIFY(appSession->link().inFlight().empty());
    QVERIFY(column(10).contains(QStringLiteral("応答なし")));
    checkButtonsBack();
}

void TestE2eSurvey::stopEndsAfterTheRunningStep()
{
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    QVERIFY(openSite(writeSmallSite(fx.dir())));
    controls::find<QLineEdit>(frmMain, "Interval")->setText(QStringLiteral("50"));
    // 中止 as the second sample of the first terminal is in.
    connect(&theSurvey(), &Survey::progress, frmSurvey, [](int done, int) {
        if (done == 2)
            control<QPushButton>("btnSurveyStop")->click();
    });
    QSignalSpy finished(&theSurvey(), &Survey::finished);
    pressStart(5);
    QVERIFY(finished.wait(60000));
    const survey::SurveyResult r = theSurvey().result();
    QVERIFY(r.stopped);
    checkEndedAfterTwoSamples(r);
    // Nothing was left running: no read of it is in flight.
    QVERIFY(appSession->link().inFlight().empty());
    checkButtonsBack();
}

void TestE2eSurvey::refusals_data()
{
    QTest::addColumn<bool>("withSite");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("says");
    QTest::newRow("no installation") << false << true << QStringLiteral("設置構成が開かれていません");
    QTest::newRow("not connected") << true << false << QStringLiteral("リレイモに接続されていません");
}

void TestE2eSurvey::refusals()
{
    QFETCH(bool, withSite);
    QFETCH(bool, connected);
    AppFixture fx;
    if (connected)
        QVERIFY(fx.connectGateway());
    if (withSite)
        QVERIFY(openSite(writeSmallSite(fx.dir())));
    pressStart(1);
    QCOMPARE(fx.messages.size(), 1);
    QFETCH(QString, says);
    QVERIFY2(fx.messages.first().text.startsWith(says), qPrintable(fx.messages.first().text));
    QVERIFY(!theSurvey().isRunning());
    QVERIFY(control<QPushButton>("btnSurveyStart")->isEnabled());
    QVERIFY(!control<QPushButton>("btnReport")->isEnabled());
    QVERIFY(fx.gateway()->requests().isEmpty());
}

QTEST_MAIN(TestE2eSurvey)
#include "test_e2e_survey.moc"
