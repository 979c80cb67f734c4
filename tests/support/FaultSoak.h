#pragma once
// The fault soak: the whole program against an impaired in-process
// simulator. The main window monitors at 100 ms with logging and an
// auto-save every 10 rows, while a user keeps opening the module
// information, reading back the counters and reading a power terminal's
// settings. Each step checks what must always hold:
//
//  - every step returns (a watchdog thread aborts the program with the
//    step's name when one does not return within kHangMs);
//  - each logged row carries the values of a monitor answer the simulator
//    sent, in the order sent, and its count column runs 0, 1, 2, ...;
//    the files and the log area hold rows 0 .. LogCount - 1, each once;
//  - the monitor boxes show the last row's values;
//  - the module information, counter and terminal-settings fields show
//    either what they were cleared to or what the simulator served for
//    their own requests;
//  - after the gateway drops the connection the windows show the
//    disconnected state.
//
// Faults go into Figures::faults as text; the caller decides how to report.
// Used by tests/e2e/test_e2e_soak.cpp (seconds) and bench/bench_fault_soak.cpp
// (ten minutes).
#include "support/TestApp.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include "monitor/CsvLog.h"
#include "monitor/ValueDecoding.h"
#include "support/AppFixture.h"
#include "support/ResidentMemory.h"
#include "termset/TermsetBinding.h"
#include "termset/TermsetController.h"
#include "termset/TfrmWattorSet.h"
#include "tools/cntrpreset/TfrmCntrPreset.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "tools/modinfo/TfrmModInfo.h"
#include "support/Controls.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTest>
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace soak {

struct Impairment {
    const char *name;
    SimOptions options;
    bool restartCommands = false;  // the user restarts the gateway every few seconds
};

inline QList<Impairment> impairments()
{
    auto with = [](auto set) {
        SimOptions o;
        set(o);
        return o;
    };
    return {
        {"drop-after", with([](SimOptions &o) { o.dropAfter = 60; })},
        {"silent-after", with([](SimOptions &o) { o.silentAfter = 60; })},
        {"garbage-every", with([](SimOptions &o) { o.garbageEvery = 7; o.seed = 20261208; })},
        {"wrong-unit", with([](SimOptions &o) { o.wrongUnit = true; })},
        {"jitter", with([](SimOptions &o) { o.delayMs = 20; o.jitterMs = 60; o.seed = 20261208; })},
        {"exception-every", with([](SimOptions &o) { o.exceptionEvery = 9; })},
        {"restart-on-command", with([](SimOptions &o) { o.restartOnCommand = true; }), true},
    };
}

struct Figures {
    qint64 requests = 0, answers = 0, garbage = 0, exceptions = 0;
    qint64 monitorAnswers = 0;  // handled by the window, over every session
    qint64 rowsLogged = 0, rowsFound = 0, rowsLost = 0, rowsWrong = 0, files = 0;
    int sessions = 0, lostConnections = 0, drops = 0, userReconnects = 0, restarts = 0;
    int modInfoRuns = 0, modInfoComplete = 0;
    int counterReads = 0, counterShown = 0;
    int termsetReads = 0, termsetRead = 0, termsetFailed = 0;
    int messageBoxes = 0;
    long rssStartKiB = 0, rssMinuteKiB = 0, rssEndKiB = 0;  // at start, after 60 s, at the end
    QStringList faults;
};

// Aborts the process when the soak's current step has not returned in time.
class Watchdog {
public:
    static constexpr qint64 kHangMs = 30000;
    Watchdog()
        : m_thread([this] {
              while (!m_stop) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(200));
                  if (now() - m_since > kHangMs) {
                      std::fprintf(stderr, "fault soak: step \"%s\" did not return within %lld ms\n", m_step.load(),
                                   static_cast<long long>(kHangMs));
                      std::abort();
                  }
              }
          })
    {
    }
    ~Watchdog()
    {
        m_stop = true;
        m_thread.join();
    }
    void step(const char *name)
    {
        m_step = name;
        m_since = now();
    }

private:
    static qint64 now()
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    std::atomic<bool> m_stop{false};
    std::atomic<const char *> m_step{"start"};
    std::atomic<qint64> m_since{now()};
    std::thread m_thread;
};

inline QStringList fileLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString text = QStringDecoder(QStringConverter::System).decode(f.readAll());
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

class FaultSoak {
public:
    FaultSoak(AppFixture &fx, const Impairment &impairment) : m_fx(fx), m_imp(impairment) {}

    Figures run(int seconds)
    {
        Watchdog dog;
        m_dog = &dog;
        m_figures.rssStartKiB = residentKiB();
        setUp();
        QElapsedTimer clock;
        clock.start();
        QElapsedTimer sinceRestart;
        sinceRestart.start();
        if (!startSession())
            return m_figures;
        for (int op = 0; clock.elapsed() < qint64(seconds) * 1000; ++op) {
            switch (op % 3) {
            case 0: moduleInformation(); break;
            case 1: counterReadBack(); break;
            case 2: terminalSettingsRead(); break;
            }
            dog.step("monitoring");
            if (m_figures.rssMinuteKiB == 0 && clock.elapsed() >= 60000)
                m_figures.rssMinuteKiB = residentKiB();
            const quint32 before = appSession->monitorCount();
            // The monitor runs on; a drop ends the pause early.
            (void)QTest::qWaitFor([] { return !appSession->isConnected(); }, 300);
            checkBoxes();
            if (appSession->isConnected())
                checkHeaderWords();
            if (m_imp.restartCommands && sinceRestart.elapsed() > 3000 && appSession->isConnected()) {
                // As the write tool would: the gateway's restart command.
                appSession->link().SendWriteSingleRegister(SimGateway::kRestartRegister, 1);
                sinceRestart.restart();
            }
            const bool stalled = appSession->isConnected() && appSession->monitorCount() == before
                                 && m_stallClock.isValid() && m_stallClock.elapsed() > 2000;
            if (appSession->monitorCount() != before || !m_stallClock.isValid())
                m_stallClock.start();
            if (!appSession->isConnected() || stalled) {
                // A gateway that hung up, or one that stays silent: the user
                // presses 切 and 接 again.
                if (!endSession(!appSession->isConnected()) || !startSession())
                    break;
            }
        }
        dog.step("end");
        endSession(!appSession->isConnected(), true);
        SimGateway *gw = m_fx.gateway();
        m_figures.requests = gw->requests().size();
        m_figures.answers = gw->answers().size();
        for (const SimAnswer &a : gw->answers()) {
            m_figures.garbage += a.kind == SimAnswer::Garbage;
            m_figures.exceptions += a.kind == SimAnswer::Exception;
        }
        m_figures.drops = gw->drops();
        m_figures.restarts = gw->restarts();
        m_figures.messageBoxes = int(m_fx.messages.size());
        m_figures.rssEndKiB = residentKiB();
        m_dog = nullptr;
        return m_figures;
    }

private:
    void fault(const QString &text)
    {
        if (m_figures.faults.size() < 50)
            m_figures.faults << QStringLiteral("[%1] %2").arg(QLatin1String(m_imp.name), text);
    }

    void setUp()
    {
        frmMain->show();
        // Word page, word address 0, the extended area: 30321, 32 registers
        // of 16 bits, shown and logged as plain decimal numbers.
        controls::find<QComboBox>(frmMain, "cbxDataType")->setCurrentIndex(0);
        triggerMenu("ByDec");
        appSession->settings().logHeaderMode = 1;
        appSession->settings().logValueType = 0;
        appSession->settings().logScale = 0;
        controls::find<QCheckBox>(frmGWcfg, "ChkAutoSave")->setChecked(true);
        controls::find<QLineEdit>(frmGWcfg, "EdSaveInt")->setText(QStringLiteral("10"));
        controls::find<QLineEdit>(frmGWcfg, "EdLogSaveFN")->setText(QStringLiteral("S"));
        controls::find<QLineEdit>(frmGWcfg, "EdLogSaveStart")->setText(QStringLiteral("1"));
        controls::find<QComboBox>(frmGWcfg, "CbxLogSaveKeta")->setCurrentText(QStringLiteral("4"));
        controls::find<QLineEdit>(frmMain, "Interval")->setText(QStringLiteral("100"));
        // Counter read-back: the 24-bit counter at word address 8 (mode B).
        controls::find<QAction>(frmMain, "N4")->trigger();
        controls::find<QLineEdit>(frmCntrPreset, "edCntrAdrs")->setText(QStringLiteral("8"));
        // Terminal settings: page 0, the 7-circuit power terminal at 12,
        // short timing so that a read takes about a second.
        triggerMenu("EPcfg");
        controls::find<QTabWidget>(frmWattorSet, "PageControl1")->setCurrentIndex(0);
        controls::find<QLineEdit>(frmWattorSet, "edPreReadWait")->setText(QStringLiteral("1"));
        controls::find<QLineEdit>(frmWattorSet, "edWrtInt")->setText(QStringLiteral("1"));
        controls::find<QLineEdit>(frmWattorSet, "edTObase")->setText(QStringLiteral("10"));
        frmWattorSet->findChild<QSpinBox *>(QStringLiteral("UpDown1"))->setValue(12);
        frmWattorSet->findChild<QRadioButton *>(QStringLiteral("RadioGroup1_0"))->click();
    }

    bool startSession()
    {
        m_dog->step("connect");
        // A restarting gateway refuses connections for a while.
        QElapsedTimer t;
        t.start();
        while (!m_fx.connectGateway(3000)) {
            if (t.elapsed() > 15000) {
                fault(QStringLiteral("could not connect again"));
                return false;
            }
            QTest::qWait(200);
        }
        ++m_figures.sessions;
        m_folder = m_fx.dir() + QStringLiteral("/session%1/").arg(m_figures.sessions);
        QDir().mkpath(m_folder);
        appSession->settings().logDir = m_folder;
        m_firstAnswer = m_fx.gateway()->answers().size();
        controls::find<QToolButton>(frmMain, "sbtnLogStart")->click();
        controls::find<QToolButton>(frmMain, "sbtnMonitor")->click();
        if (!appSession->isMonitoring())
            fault(QStringLiteral("monitor did not start"));
        m_stallClock.invalidate();
        return true;
    }

    // Ends the monitor and logging of one connection and checks its rows.
    bool endSession(bool dropped, bool last = false)
    {
        m_dog->step("end of session");
        if (dropped) {
            ++m_figures.lostConnections;
            if (frmConnect->statusText() != QStringLiteral("接続されていません"))
                fault(QStringLiteral("after a drop the connection dialog says %1").arg(frmConnect->statusText()));
            if (frmMain->windowTitle() != QStringLiteral("NT900 Modbus/TCP Client"))
                fault(QStringLiteral("after a drop the caption is %1").arg(frmMain->windowTitle()));
            if (appSession->isMonitoring()
                || controls::find<QToolButton>(frmMain, "sbtnMonitor")->isEnabled()
                || controls::find<QToolButton>(frmMain, "sbtnDisConn")->isEnabled())
                fault(QStringLiteral("after a drop monitoring is still offered"));
        } else {
            m_figures.userReconnects += !last;
            if (appSession->isMonitoring())
                controls::find<QToolButton>(frmMain, "sbtnMonitor")->click();
            // Answers still on the way are handled before the rows are counted.
            QTest::qWait(300);
            controls::find<QToolButton>(frmMain, "sbtnDisConn")->click();
            if (!QTest::qWaitFor([] { return frmConnect->statusText() == QStringLiteral("接続されていません"); }, 5000))
                fault(QStringLiteral("切断 did not end the connection"));
        }
        m_figures.monitorAnswers += appSession->monitorCount();
        checkRows();
        if (appSession->isLogging())
            controls::find<QToolButton>(frmMain, "sbtnLogStop")->click();
        return true;
    }

    QList<QList<quint16>> servedMonitorAnswers() const
    {
        QList<QList<quint16>> served;
        const auto &all = m_fx.gateway()->answers();
        for (qsizetype i = m_firstAnswer; i < all.size(); ++i)
            if (all[i].tag == 0 && all[i].function == 4 && all[i].kind == SimAnswer::Normal)
                served << all[i].words();
        return served;
    }

    void checkRows()
    {
        QStringList rows;
        const QStringList files = QDir(m_folder).entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
        for (const QString &f : files) {
            const QStringList lines = fileLines(m_folder + f);
            if (lines.size() != 11)
                fault(QStringLiteral("%1 holds %2 lines, not a header and 10 rows").arg(f).arg(lines.size()));
            rows << lines.mid(1);
        }
        m_figures.files += files.size();
        rows << LogTextLines(controls::find<QPlainTextEdit>(frmMain, "Memo2")->toPlainText());
        const qint64 logged = appSession->logCount();
        m_figures.rowsLogged += logged;
        m_figures.rowsFound += rows.size();
        if (rows.size() != logged) {
            fault(QStringLiteral("LogCount %1 but %2 rows in files and log area").arg(logged).arg(rows.size()));
            m_figures.rowsLost += std::max<qint64>(0, logged - rows.size());
        }
        const QList<QList<quint16>> served = servedMonitorAnswers();
        qsizetype next = 0;
        for (int i = 0; i < rows.size(); ++i) {
            const QStringList cols = rows[i].split(u',');
            if (cols.value(0) != QString::number(i)) {
                fault(QStringLiteral("row %1 has count %2").arg(i).arg(cols.value(0)));
                ++m_figures.rowsWrong;
                continue;
            }
            QList<quint16> values;
            for (int c = 1; c < cols.size(); ++c)
                values << quint16(cols[c].toUInt());
            // The next answer the simulator sent with these values.
            qsizetype j = next;
            while (j < served.size() && served[j] != values)
                ++j;
            if (j == served.size()) {
                fault(QStringLiteral("row %1 (%2) is no monitor answer sent after row %3")
                          .arg(i).arg(rows[i].left(60)).arg(i - 1));
                ++m_figures.rowsWrong;
            } else {
                next = j + 1;
            }
        }
        m_lastRow.clear();
    }

    // The boxes show the values of the last answer handled, which is the
    // last row logged (checked against what was served at the session's end).
    void checkBoxes()
    {
        if (!appSession->isConnected() || !appSession->isLogging() || appSession->logCount() == 0)
            return;
        const QString last = controls::find<QLineEdit>(frmMain, "LogLineBuf")->text();
        const QStringList cols = last.split(u',');
        for (int k = 0; k < 32 && k + 1 < cols.size(); ++k) {
            const QLabel *box = valueBox(size_t(k));
            if (box && box->text() != cols[k + 1]) {
                fault(QStringLiteral("box %1 shows %2, the last row %3").arg(k).arg(box->text(), cols[k + 1]));
                return;
            }
        }
    }

    // The four header words show one answer to a header-word request
    // (tag 20) of this connection, or nothing yet.
    void checkHeaderWords()
    {
        QStringList shown;
        for (const QLabel *l : {headerBox(0), headerBox(1), headerBox(2), headerBox(3)})
            shown << (l ? l->text() : QString());
        if (std::all_of(shown.begin(), shown.end(), [](const QString &t) { return t.isEmpty(); }))
            return;
        const auto &all = m_fx.gateway()->answers();
        for (qsizetype i = all.size() - 1; i >= m_firstAnswer; --i) {
            if (all[i].tag != 20 || all[i].kind != SimAnswer::Normal)
                continue;
            const QList<quint16> w = all[i].words();
            if (w.size() < 4)
                continue;
            // A word without a text leaves its box as it was.
            bool same = true;
            for (int k = 0; k < 4; ++k) {
                const auto text = monitor::headerText(w[k], appSession->displayFormat(), true);
                same = same && (!text || *text == shown[k]);
            }
            if (same)
                return;
        }
        fault(QStringLiteral("header words show %1, no header answer carried them").arg(shown.join(u' ')));
    }

    void moduleInformation()
    {
        m_dog->step("module information");
        const QList<QPair<QLabel *, QString>> fields = {
            {controls::find<QLabel>(frmModInfo, "StaticText11"), "0100"}, {controls::find<QLabel>(frmModInfo, "StaticText12"), "0304"}, {controls::find<QLabel>(frmModInfo, "StaticText13"), "User"},
            {controls::find<QLabel>(frmModInfo, "StaticText14"), "0102"}, {controls::find<QLabel>(frmModInfo, "StaticText15"), "0215"}, {controls::find<QLabel>(frmModInfo, "StaticText16"), "0110"},
            {controls::find<QLabel>(frmModInfo, "StaticText17"), "0009"}, {controls::find<QLabel>(frmModInfo, "StaticText18"), "00A5"}, {controls::find<QLabel>(frmModInfo, "StaticText19"), "ON"},
            {controls::find<QLabel>(frmModInfo, "StaticText20"), "D2 1km"}, {controls::find<QLabel>(frmModInfo, "StaticText21"), "1A-00-3C-2B-5E-4D"}};
        auto check = [&](bool *complete) {
            *complete = true;
            for (const auto &[field, expected] : fields) {
                if (field->text() != expected)
                    *complete = false;
                if (field->text() != expected && field->text() != QStringLiteral("?"))
                    fault(QStringLiteral("module information %1 shows %2").arg(field->objectName(), field->text()));
            }
        };
        bool complete = false;
        if (m_figures.modInfoRuns > 0)
            check(&complete);  // late answers of the run before
        for (const auto &f : fields)
            f.first->setText(QStringLiteral("?"));
        ++m_figures.modInfoRuns;
        controls::find<QAction>(frmMain, "m1")->trigger();
        // The reads run on while the soak waits (each ends with its answer,
        // the response timeout or the connection's loss).
        if (!QTest::qWaitFor([] { return !frmModInfo->isRequesting(); }, 30000))
            fault(QStringLiteral("module information reads never end"));
        check(&complete);
        m_figures.modInfoComplete += complete;
        if (!controls::find<QPushButton>(frmModInfo, "Button1")->isEnabled())
            fault(QStringLiteral("module information 更新 stays disabled"));
    }

    void counterReadBack()
    {
        m_dog->step("counter read-back");
        constexpr int kMarker = 16777215;
        QList<QSpinBox *> counts;
        for (int k = 0; k < 8; ++k) {
            counts << frmCntrPreset->findChild<QSpinBox *>(QStringLiteral("SpinEdit%1").arg(k + 1));
            counts.last()->setValue(kMarker);
        }
        const qsizetype first = m_fx.gateway()->answers().size();
        ++m_figures.counterReads;
        controls::find<QPushButton>(frmCntrPreset, "ReadCurrent")->click();
        const bool shown = QTest::qWaitFor([&] { return counts[0]->value() != kMarker; }, 1000);
        m_figures.counterShown += shown;
        if (!shown)
            return;
        // The counts shown are those of one answer to a read-back request:
        // a pair per channel, bits 0..15 and then bits 16..23.
        QList<int> got;
        for (QSpinBox *s : counts)
            got << s->value();
        const auto &all = m_fx.gateway()->answers();
        for (qsizetype i = first; i < all.size(); ++i) {
            if (all[i].tag < 10 || all[i].tag > 14)
                continue;
            const QList<quint16> w = all[i].words();
            if (w.size() < 16)
                continue;
            QList<int> served;
            for (int k = 0; k < 8; ++k)
                served << int(w[2 * k] | (w[2 * k + 1] & 0xFF) << 16);
            if (served == got)
                return;
        }
        fault(QStringLiteral("counter read-back shows %1, no answer to a read-back carried it")
                  .arg(QString::number(got[0])));
    }

    void terminalSettingsRead()
    {
        m_dog->step("terminal settings read");
        // The power terminal at 12 (README, "Power, current and outlet-bar
        // terminals"): frequency, voltage, type, current ranges 1 and 7.
        const QList<QPair<QString, int>> lists = {{"cbxWattor7Freq", 1}, {"cbxWattor7Volt", 2}, {"cbxWattor7Type", 2},
                                                  {"cbxWattor7Cur1", 1}, {"cbxWattor7Cur7", 9}};
        for (const auto &[name, index] : lists)
            frmWattorSet->findChild<QComboBox *>(name)->setCurrentIndex(-1);
        const termset::PageBinding &def = termset::pageBinding(0);
        ++m_figures.termsetReads;
        frmWattorSet->findChild<QPushButton *>(def.readButton)->click();
        if (!QTest::qWaitFor([] { return frmWattorSet->controller().runningPage() < 0; }, 60000))
            fault(QStringLiteral("terminal settings read never ends"));
        const QString status = frmWattorSet->findChild<QLabel *>(def.statusLabel)->text();
        bool all = true;
        for (const auto &[name, index] : lists) {
            const int shown = frmWattorSet->findChild<QComboBox *>(name)->currentIndex();
            if (shown != index)
                all = false;
            if (shown != index && shown != -1)
                fault(QStringLiteral("terminal settings %1 shows item %2, the terminal holds %3")
                          .arg(name).arg(shown).arg(index));
        }
        if (status.isEmpty()) {
            ++m_figures.termsetRead;
            if (!all)
                fault(QStringLiteral("terminal settings read reported done with lists unfilled"));
        } else {
            ++m_figures.termsetFailed;
        }
        if (!frmWattorSet->findChild<QPushButton *>(def.readButton)->isEnabled())
            fault(QStringLiteral("terminal settings read button stays disabled"));
    }

    AppFixture &m_fx;
    Impairment m_imp;
    Figures m_figures;
    Watchdog *m_dog = nullptr;
    QString m_folder;
    qsizetype m_firstAnswer = 0;
    QString m_lastRow;
    QElapsedTimer m_stallClock;
};

} // namespace soak
