// The terminal settings dialog's frame: its pages and lists, the popup
// menu, the page kept in the settings, the tag-5 decoder, the wait and the
// poll of the engine, and the refusals that must send nothing.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "support/AppFixture.h"
#include "link/AnswerItems.h"
#include "termset/TermsetEngine.h"
#include "termset/TermsetBinding.h"
#include "termset/TfrmWattorSet.h"
#include "support/Controls.h"
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QTabWidget>
#include <QCoro/QCoroTask>
#include <QTest>
#include <QTimer>

namespace {

template <class T> T *child(const QString &name)
{
    T *w = frmWattorSet->findChild<T *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

QString text(const QString &label) { return child<QLabel>(label)->text(); }

// A function-4 answer with request tag 5 carrying the given words.
QByteArray tag5Answer(const QList<quint16> &words)
{
    QByteArray f;
    const int len = 3 + 2 * int(words.size());
    f.append(char(5)).append(char(0)).append(char(0)).append(char(0));
    f.append(char(len >> 8)).append(char(len & 0xFF)).append(char(1)).append(char(4));
    f.append(char(2 * words.size()));
    for (quint16 w : words)
        f.append(char(w >> 8)).append(char(w & 0xFF));
    return f;
}

// Sends a marker read behind whatever the dialog sent and waits for the
// simulator to receive it; the stream keeps order, so everything sent
// before it has arrived too. Returns the function-6 writes before it.
int writesBeforeMarker(AppFixture &fx)
{
    appSession->link().SendReadInputRegisters(9, 0, 1);
    const bool arrived = QTest::qWaitFor([&] {
        const auto &r = fx.gateway()->requests();
        return !r.isEmpty() && r.last().tag == 9;
    }, 3000);
    if (!arrived)
        return -1;
    int writes = 0;
    for (const SimRequest &r : fx.gateway()->requests())
        writes += r.function == 6 ? 1 : 0;
    return writes;
}

// A tag-5 answer handed to the dialog's decoder, as its poll does with the
// answers to its own reads.
void decode(const QByteArray &answer)
{
    ReceiveBuffer rb;
    rb.assign(answer);
    forEachWordItem(rb, [](int index, uint16_t value) { frmWattorSet->ShowParameterWord(index, value); });
}

// A reply of request `serial` that the link answered at once.
Reply answeredAtOnce(uint64_t serial)
{
    auto r = std::make_shared<LinkReply>(serial, termset::kParameterTag);
    ReceiveBuffer rb;
    rb.assign(tag5Answer({1}));
    r->finishAnswered(rb, {});
    return r;
}

// A stand-in link whose every read of block 7 is answered 10 ms later
// (the answers still due at the end go with `context`).
std::function<Reply(int, int)> answeredLater(QObject *context, int *reads)
{
    auto lastSerial = std::make_shared<uint64_t>(0);  // serials are never reused, as the link's
    return [=](int address, int count) {
        [&] {
            QCOMPARE(address, 320 + 8 * 7);
            QCOMPARE(count, 8);
        }();
        ++*reads;
        auto reply = std::make_shared<LinkReply>(++*lastSerial, termset::kParameterTag);
        QTimer::singleShot(10, context, [reply] {
            ReceiveBuffer rb;
            rb.assign(tag5Answer({1}));
            reply->finishAnswered(rb, {});
        });
        return Reply(reply);
    };
}

} // namespace

class TestTermsetDialog : public QObject {
    Q_OBJECT
private slots:
    void pagesAndLists();
    void popupMenuEnablesControls_data();
    void popupMenuEnablesControls();
    void pageFollowsPowerTerminalKind();
    void radioLabels_data();
    void radioLabels();
    void answersDecodedIntoActivePage();
    void waitTicksRunsTheEventLoop();
    void tickTimerRunsOnlyWhileCounting();
    void pollTimeLimitCoversWholePoll();
    void pollTimeLimitHoldsWithoutTicks();
    void refusalsSendNothing_data();
    void refusalsSendNothing();
    void notConnectedReadEndsWithTimeLimitText();
};

void TestTermsetDialog::pagesAndLists()
{
    AppFixture fx(false);
    QTabWidget *pc = controls::find<QTabWidget>(frmWattorSet, "PageControl1");
    const QStringList tabs = {"電力7・28回路", "電流8回路", "電力14回路", "電流16・32回路", "ｺﾝｾﾝﾄﾊﾞｰ"};
    QCOMPARE(pc->count(), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(pc->tabText(i), tabs[i]);
    for (const char *t : {"cbxWattor7Type", "cbxCurron08Type", "cbxWattor14Type", "cbxCurron16Type", "cbxPDUtype"}) {
        auto *c = child<QComboBox>(t);
        QCOMPARE(c->count(), 23);
        QCOMPARE(c->itemText(11), QStringLiteral("11: 単相2線式電力７回路(2W)"));
        QCOMPARE(c->itemText(22), QStringLiteral("22: 電流8回路"));
        QVERIFY(!c->isEnabled());
    }
    QCOMPARE(child<QComboBox>("cbxWattor7Volt")->itemText(6), QStringLiteral("6. 440V"));
    for (int n = 1; n <= 16; ++n) {
        auto *c = child<QComboBox>(QStringLiteral("cbxCurron16Cur%1").arg(n));
        QCOMPARE(c->count(), n <= 3 ? 10 : 9);
        if (n <= 3)
            QCOMPARE(c->itemText(9), QString());
    }
    QVERIFY(!child<QComboBox>("cbxCurron08Volt")->isEnabled());
    QCOMPARE(child<QRadioButton>("RadioGroup1_0")->text(), QStringLiteral("\u30007回路 1～7"));
    QVERIFY(child<QRadioButton>("RadioGroup1_0")->isChecked());
    QCOMPARE(child<QRadioButton>("RadioGroup2_0")->text(), QStringLiteral(" 1～16"));
    for (QComboBox *c : frmWattorSet->findChildren<QComboBox *>())
        QVERIFY2(c->currentIndex() == -1, qPrintable(c->objectName()));
    const QStringList edits = {"edPreReadWait", "edWrtInt", "edWaiting", "edTObase", "edTOCntr"};
    const QStringList defaults = {"40", "10", "0", "100", "0"};
    for (int i = 0; i < 5; ++i) {
        auto *e = child<QLineEdit>(edits[i]);
        QCOMPARE(e->text(), defaults[i]);
        QVERIFY(!e->isEnabled());
        QVERIFY(!e->hasFrame());
    }
    child<QSpinBox>("UpDown5")->setValue(17);
    QCOMPARE(text("stPDUadrs"), QStringLiteral("17"));
}

void TestTermsetDialog::popupMenuEnablesControls_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("controls");
    QTest::newRow("type") << "TypeWrtEn" << "製品タイプの書き換えを許可"
                          << QStringList{"cbxWattor7Type", "cbxWattor14Type"};
    QTest::newRow("time limit") << "TimeOutChange" << "タイムアウト値を変更" << QStringList{"edTObase"};
    QTest::newRow("interval") << "N1" << "書き込み間隔を変更" << QStringList{"edWrtInt"};
    QTest::newRow("opening wait") << "N2" << "設定読み込み待ち時間を変更" << QStringList{"edPreReadWait"};
}

void TestTermsetDialog::popupMenuEnablesControls()
{
    QFETCH(QString, action);
    QFETCH(QString, caption);
    QFETCH(QStringList, controls);
    AppFixture fx(false);
    QAction *a = frmWattorSet->PopupMenu1->findChild<QAction *>(action);
    QVERIFY(a);
    QVERIFY(frmWattorSet->PopupMenu1->actions().contains(a));
    QCOMPARE(a->text(), caption);
    QVERIFY(!a->isChecked());
    for (bool on : {true, false}) {
        a->trigger();
        QCOMPARE(a->isChecked(), on);
        for (const QString &c : controls)
            QCOMPARE(child<QWidget>(c)->isEnabled(), on);
    }
    // The current pages' type lists are never enabled.
    a->trigger();
    QVERIFY(!child<QComboBox>("cbxCurron16Type")->isEnabled());
}

void TestTermsetDialog::pageFollowsPowerTerminalKind()
{
    AppFixture fx(false);
    appSession->settings().powerTerminalKind = 3;
    triggerMenu("EPcfg");
    QCOMPARE(controls::find<QTabWidget>(frmWattorSet, "PageControl1")->currentIndex(), 3);
    QVERIFY(frmWattorSet->isVisible());
    controls::find<QTabWidget>(frmWattorSet, "PageControl1")->setCurrentIndex(4);
    QCOMPARE(appSession->settings().powerTerminalKind, 4);
    appSession->settings().powerTerminalKind = 2;
    frmWattorSet->FormCreate();
    QCOMPARE(controls::find<QTabWidget>(frmWattorSet, "PageControl1")->currentIndex(), 2);
    // A kind outside the pages changes nothing.
    appSession->settings().powerTerminalKind = 9;
    frmWattorSet->FormCreate();
    QCOMPARE(controls::find<QTabWidget>(frmWattorSet, "PageControl1")->currentIndex(), 2);
}

void TestTermsetDialog::radioLabels_data()
{
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("firstLabel");
    QTest::addColumn<QString>("lastLabel");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("7 circuits") << "RadioGroup1_0" << "Label6" << "Label12" << "I1" << "I7";
    QTest::newRow("28: 1-7") << "RadioGroup1_1" << "Label6" << "Label12" << "I11" << "I71";
    QTest::newRow("28: 8-14") << "RadioGroup1_2" << "Label6" << "Label12" << "I12" << "I72";
    QTest::newRow("28: 15-21") << "RadioGroup1_3" << "Label6" << "Label12" << "I81" << "I141";
    QTest::newRow("28: 22-28") << "RadioGroup1_4" << "Label6" << "Label12" << "I82" << "I148";
    QTest::newRow("17-32") << "RadioGroup2_1" << "lblC1" << "lblC16" << "I17" << "I32";
}

void TestTermsetDialog::radioLabels()
{
    QFETCH(QString, radio);
    QFETCH(QString, firstLabel);
    QFETCH(QString, lastLabel);
    QFETCH(QString, first);
    QFETCH(QString, last);
    AppFixture fx(false);
    child<QRadioButton>(radio)->click();
    QCOMPARE(text(firstLabel), first);
    QCOMPARE(text(lastLabel), last);
}

// Tag-5 answers reach ShowParameterWord word by word, into the page shown
// while no transaction runs; a tag-5 answer to no request of the dialog
// reaches nothing.
void TestTermsetDialog::answersDecodedIntoActivePage()
{
    AppFixture fx(false);
    QTabWidget *pc = controls::find<QTabWidget>(frmWattorSet, "PageControl1");
    pc->setCurrentIndex(4);
    appSession->link().receiveBytes(tag5Answer({1, 2, 1, 18, 7, 7, 7, 7}));
    QCOMPARE(text("stPDUcfg0"), QString());
    decode(tag5Answer({1, 2, 1, 18, 7, 7, 7, 7}));
    QCOMPARE(text("stPDUcfg0"), QStringLiteral("1"));
    QCOMPARE(text("stPDUcfg3"), QStringLiteral("18"));
    QCOMPARE(text("stWattor7cfg1"), QString());

    pc->setCurrentIndex(0);
    decode(tag5Answer({1, 2, 3, 4, 5, 6, 7, 8}));
    QCOMPARE(text("stWattor7cfg4"), QStringLiteral("4"));
    QCOMPARE(text("stWattor7cfg5"), QString());  // an 8-word answer fills cfg1 to cfg4 only

    pc->setCurrentIndex(1);
    child<QCheckBox>("cbCRC")->setChecked(true);
    decode(tag5Answer({0, 1, 2, 22, 0x0102, 0x0304, 0x0201, 0x0807}));
    QCOMPARE(text("stCurron08cfg101"), QStringLiteral("2"));
    QCOMPARE(text("stCurron08cfg104"), QStringLiteral("3"));
    QCOMPARE(text("stCurron08cfg105"), QStringLiteral("1"));
    QCOMPARE(text("stCurron08cfg106"), QStringLiteral("1"));
    QCOMPARE(text("stCurron08cfg201"), QStringLiteral("8"));
}

void TestTermsetDialog::waitTicksRunsTheEventLoop()
{
    AppFixture fx(false);
    QStringList shown;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        const QString t = controls::find<QLineEdit>(frmWattorSet, "edWaiting")->text();
        if (shown.isEmpty() || shown.last() != t)
            shown << t;
    });
    watcher.start(20);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(QCoro::waitFor(frmWattorSet->WaitTicks(4)));
    const qint64 ms = clock.elapsed();
    QVERIFY2(ms >= 290 && ms < 700, qPrintable(QString::number(ms)));
    QCOMPARE(frmWattorSet->WaitCount(), 0);
    QVERIFY2(shown.contains("2") && shown.contains("1"), qPrintable(shown.join(',')));
    clock.restart();
    QVERIFY(QCoro::waitFor(frmWattorSet->WaitTicks(0)));
    QVERIFY(QCoro::waitFor(frmWattorSet->WaitTicks(-5)));  // a negative count must not hang
    QVERIFY(clock.elapsed() < 100);
}

void TestTermsetDialog::tickTimerRunsOnlyWhileCounting()
{
    // Idle, nothing counts and the timer sleeps; a pause starts it, and the
    // tick that ends the pause (its counter box back at 0) stops it.
    AppFixture fx(false);
    auto *timer = frmWattorSet->findChild<QTimer *>(QStringLiteral("WaitTimer1"));
    auto *waiting = controls::find<QLineEdit>(frmWattorSet, "edWaiting");
    QVERIFY(!timer->isActive());
    QCOMPARE(waiting->text(), QStringLiteral("0"));
    bool activeDuringWait = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] { activeDuringWait |= timer->isActive(); });
    watcher.start(20);
    QVERIFY(QCoro::waitFor(frmWattorSet->WaitTicks(2)));
    QVERIFY(activeDuringWait);
    QVERIFY(!timer->isActive());
    QCOMPARE(waiting->text(), QStringLiteral("0"));

    // The engine tells when a pause or a poll starts counting, and only then.
    int started = 0;
    uint64_t serial = 0;
    TermsetEngine engine({[](int, uint16_t) { return Reply(); },
                          [&](int, int) { return answeredAtOnce(++serial); }, {}});
    engine.countingStarted = [&] { ++started; };
    QVERIFY(QCoro::waitFor(engine.WaitTicks(0)));
    QCOMPARE(started, 0);
    int reads = 0;
    QVERIFY(QCoro::waitFor(engine.PollSettingsBlock(7, 8, 5, [&] { return reads++ > 0; })));
    QCOMPARE(started, 1);
    QVERIFY(!QCoro::waitFor(engine.PollSettingsBlock(7, 8, 0, [] { return false; })));
    QCOMPARE(started, 1);
}

// The engine against a stand-in link that answers every read 10 ms later.
void TestTermsetDialog::pollTimeLimitCoversWholePoll()
{
    int reads = 0;
    int completeAfter = 1000;
    QTimer ticker;  // also the context of the answers still due at the end
    TermsetEngine engine({[](int, uint16_t) { return Reply(); }, answeredLater(&ticker, &reads), {}});
    QObject::connect(&ticker, &QTimer::timeout, [&] { engine.tick(); });
    ticker.start(100);

    QElapsedTimer clock;
    clock.start();
    QVERIFY(!QCoro::waitFor(engine.PollSettingsBlock(7, 8, 3, [&] { return reads >= completeAfter; })));
    QVERIFY2(clock.elapsed() >= 190 && clock.elapsed() < 600, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(reads >= 10, qPrintable(QString::number(reads)));  // next request right after each answer

    reads = 0;
    completeAfter = 3;
    QVERIFY(QCoro::waitFor(engine.PollSettingsBlock(7, 8, 50, [&] { return reads >= completeAfter; })));
    QCOMPARE(reads, 3);
    QCOMPARE(engine.TimeoutCount, 0);

    reads = 0;  // a limit of 0 fails after the first request
    QVERIFY(!QCoro::waitFor(engine.PollSettingsBlock(7, 8, 0, [] { return false; })));
    QCOMPARE(reads, 1);
}

// Answers that keep coming can hold the ticks back (on Windows, timer
// messages wait until no other message does): the limit still holds, by
// the clock. Here no tick comes at all.
void TestTermsetDialog::pollTimeLimitHoldsWithoutTicks()
{
    int reads = 0;
    QObject context;
    TermsetEngine engine({[](int, uint16_t) { return Reply(); }, answeredLater(&context, &reads), {}});
    bool rescued = false;  // the poll ran on far past its limit
    QTimer::singleShot(5000, &context, [&] {
        rescued = true;
        engine.TimeoutCount = 0;
    });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!QCoro::waitFor(engine.PollSettingsBlock(7, 8, 3, [] { return false; })));
    QVERIFY(!rescued);
    QVERIFY2(clock.elapsed() >= 300, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(reads >= 10);
}

void TestTermsetDialog::refusalsSendNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("status");   // status text expected afterwards
    QTest::addColumn<int>("box");          // -1 none, else msg::Kind
    for (const char *b : {"btnWriteWattor7", "btnWriteCurron08", "btnWriteWattor14", "btnWriteCurron16", "btnWritePDU"})
        QTest::addRow("%s before any read", b) << b << "" << "設定が無効です" << -1;
    QTest::newRow("p0 type 13 with rewrite") << "btnWriteWattor7" << "type13" << "設定が無効です" << -1;
    QTest::newRow("p2 type 13 with rewrite") << "btnWriteWattor14" << "type13" << "設定が無効です" << -1;
    QTest::newRow("p3 read 62, 17-32") << "btnReadCurron16" << "addr62" << "" << int(msg::Kind::Warning);
    QTest::newRow("p0 write 62, 22-28") << "btnWriteWattor7" << "addr62" << "" << int(msg::Kind::Warning);
    QTest::newRow("read, letters in the wait") << "btnReadPDU" << "preRead=abc" << "" << int(msg::Kind::Error);
    QTest::newRow("read, empty time limit") << "btnReadCurron08" << "timeLimit=" << "" << int(msg::Kind::Error);
    QTest::newRow("write, negative interval") << "btnWriteWattor7" << "interval=-1" << "" << int(msg::Kind::Error);
    QTest::newRow("write, negative time limit") << "btnWritePDU" << "timeLimit=-2" << "" << int(msg::Kind::Error);
}

void TestTermsetDialog::refusalsSendNothing()
{
    QFETCH(QString, button);
    QFETCH(QString, setup);
    QFETCH(QString, status);
    QFETCH(int, box);
    AppFixture fx;
    QVERIFY(fx.connectGateway());
    const int page = button.contains("Wattor7") ? 0 : button.contains("Curron08") ? 1
                     : button.contains("Wattor14") ? 2 : button.contains("Curron16") ? 3 : 4;
    const termset::PageBinding &d = termset::pageBinding(page);
    if (!setup.isEmpty()) {
        // Every list chosen, so that only the case's own fault remains.
        for (const QString &l : d.mustSelect())
            child<QComboBox>(l)->setCurrentIndex(1);
    }
    if (setup == "type13") {
        frmWattorSet->PopupMenu1->findChild<QAction *>("TypeWrtEn")->trigger();
        child<QComboBox>(d.typeList())->setCurrentIndex(13);
    } else if (setup == "addr62") {
        child<QSpinBox>(d.upDown)->setValue(62);
        child<QRadioButton>(page == 0 ? "RadioGroup1_4" : "RadioGroup2_1")->click();
    } else if (setup.contains('=')) {
        const QString edit = setup.startsWith("preRead") ? "edPreReadWait"
                             : setup.startsWith("interval") ? "edWrtInt" : "edTObase";
        child<QLineEdit>(edit)->setText(setup.section('=', 1));
    }
    fx.gateway()->clearRequests();
    child<QPushButton>(button)->click();
    QCOMPARE(text(d.statusLabel), status);
    QCOMPARE(writesBeforeMarker(fx), 0);
    QVERIFY2(fx.messages.size() == (box < 0 ? 0 : 1), qPrintable(fx.messageTexts().join(" / ")));
    if (box >= 0)
        QCOMPARE(int(fx.messages[0].kind), box);
    QVERIFY(child<QPushButton>(button)->isEnabled());
}

void TestTermsetDialog::notConnectedReadEndsWithTimeLimitText()
{
    AppFixture fx(false);
    controls::find<QLineEdit>(frmWattorSet, "edPreReadWait")->setText("1");
    controls::find<QLineEdit>(frmWattorSet, "edTObase")->setText("2");
    child<QPushButton>("btnReadPDU")->click();
    QCOMPARE(text("lbPDUWriteStatus"), QStringLiteral("読み出せませんでした"));
    child<QPushButton>("btnReadWattor7")->click();
    QCOMPARE(text("lbWattor7WriteStatus"), QStringLiteral("設定値が読み出せませんでした"));
    QVERIFY(child<QPushButton>("btnReadWattor7")->isEnabled());
}

QTEST_MAIN(TestTermsetDialog)
#include "test_termset_dialog.moc"
