// The terminal-settings dialog alone, on a fake link that plays the
// terminal: the read and the write of every page, with the frames each sends
// and the values each shows. The poll of a transaction ends on the answers
// to its own reads (the monitor's answers in between change nothing), on its
// time limit, on 中止 and on a refused command word.
#include "app/MessageBoxes.h"
#include "app/Settings.h"
#include "link/ModbusFrames.h"
#include "support/AnswerFrames.h"
#include "support/Controls.h"
#include "support/FakeGatewayLink.h"
#include "termset/TermsetBinding.h"
#include "termset/TermsetController.h"
#include "termset/TfrmWattorSet.h"
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using Verb = FakeGatewayLink::Verb;
using frames::registerBytes;

namespace {

// An item command word: register r, group g, code.
uint16_t item(int r, int g, int code)
{
    return uint16_t(r << 13 | g << 9 | code);
}

QString write(int reg, int value)
{
    return QStringLiteral("W %1=%2").arg(reg).arg(value, 4, 16, QLatin1Char('0'));
}

QString read(int address, int count)
{
    return QStringLiteral("R5 %1x%2").arg(address).arg(count);
}

// A page as the terminal at one address shows it.
struct PageCase {
    int page = 0;
    const char *upDown = nullptr;
    int address = 0;
    const char *radio = nullptr;     // the radio item clicked, if any
    int cmd = 0;                     // the command word of the effective address
    int block = 0, count = 0;        // the settings block read
    QList<QList<uint16_t>> blocks;   // what the terminal's reads get, in turn
    QVariantMap shown;               // after a read: raw field -> text, list -> item index
    QString read, write, cancel, status, progress;  // the page's controls
    const char *readFail = nullptr;  // status of a read that got no settings
};

// A page's read, write and cancel buttons, write status and progress bar
// are named after its terminal (the outlet bar's cancel button otherwise).
void nameControls(PageCase &c, const QString &terminal, const QString &cancel = {})
{
    c.read = QStringLiteral("btnRead") + terminal;
    c.write = QStringLiteral("btnWrite") + terminal;
    c.cancel = cancel.isEmpty() ? c.read + QStringLiteral("Cancel") : cancel;
    c.status = QStringLiteral("lb") + terminal + QStringLiteral("WriteStatus");
    c.progress = terminal + QStringLiteral("ProgressBar1");
}

const char *const kNoSetting = "設定値が読み出せませんでした";
const char *const kNotRead = "読み出せませんでした";

PageCase power7(bool circuits28)
{
    PageCase c;
    c.page = 0;
    c.upDown = "UpDown1";
    // 28 circuits, 22-28: four blocks further on.
    c.address = circuits28 ? 20 : 12;
    c.radio = circuits28 ? "RadioGroup1_4" : nullptr;
    c.cmd = circuits28 ? 1082 : 1068;
    c.block = circuits28 ? 528 : 416;
    c.count = 16;
    c.blocks = {{7, 2, 5, 11, 0x1111, 0x1111, 0x1111, 0x1111, 0x1111, 1, 2, 3, 4, 5, 6, 7}};
    c.shown = {{"stWattor7cfg1", "7"}, {"stWattor7cfg4", "11"}, {"stWattor7cfg5", "1"}, {"stWattor7cfg11", "7"},
               {"cbxWattor7Freq", 2}, {"cbxWattor7Volt", 5}, {"cbxWattor7Type", 11}, {"cbxWattor7Cur1", 1},
               {"cbxWattor7Cur7", 7}};
    nameControls(c, QStringLiteral("Wattor7"));
    c.readFail = kNoSetting;
    return c;
}

// Eight circuits: ranges 1-7 in group 1 of registers 1-7, range 8 in group
// 2 of register 1; the terminal shows one group per register and answer.
PageCase current8()
{
    PageCase c;
    c.page = 1;
    c.upDown = "UpDown2";
    c.address = 24;
    c.cmd = 1080;
    c.block = 512;
    c.count = 8;
    const QList<uint16_t> tail = {item(4, 1, 4), item(5, 1, 5), item(6, 1, 6), item(7, 1, 7)};
    c.blocks = {QList<uint16_t>{9, 2, 3, 22} + tail,
                QList<uint16_t>{9, item(1, 1, 1), item(2, 1, 2), item(3, 1, 3)} + tail,
                QList<uint16_t>{9, item(1, 2, 8), item(2, 1, 2), item(3, 1, 3)} + tail};
    c.shown = {{"stCurron08cfg0", "9"}, {"stCurron08cfg3", "22"}, {"stCurron08cfg201", "8"},
               {"cbxCurron08Freq", 2}, {"cbxCurron08Volt", 3}, {"cbxCurron08Type", 22},
               {"cbxCurron08Cur1", 1}, {"cbxCurron08Cur7", 7}, {"cbxCurron08Cur8", 8}};
    nameControls(c, QStringLiteral("Curron08"));
    c.readFail = kNotRead;
    return c;
}

PageCase power14()
{
    PageCase c;
    c.page = 2;
    c.upDown = "UpDown4";
    c.address = 16;
    c.cmd = 1072;
    c.block = 448;
    c.count = 16;
    c.blocks = {{3, 1, 2, 2, 0x2222, 0x2222, 0x2222, 0x2222, 0x2222, 8, 7, 6, 5, 4, 3, 2}};
    c.shown = {{"stWattor14cfg2", "1"}, {"stWattor14cfg11", "2"}, {"cbxWattor14Freq", 1}, {"cbxWattor14Volt", 2},
               {"cbxWattor14Type", 2}, {"cbxWattor14Cur12", 8}, {"cbxWattor14Cur1314", 2}};
    nameControls(c, QStringLiteral("Wattor14"));
    c.readFail = kNoSetting;
    return c;
}

// Circuits 17-32 of a 32-circuit terminal: two blocks on. Ranges in groups
// 1 and 2 of registers 1-7 and group 3 of registers 1 and 2: four answers.
PageCase current32Upper()
{
    PageCase c;
    c.page = 3;
    c.upDown = "UpDown3";
    c.address = 28;
    c.radio = "RadioGroup2_1";
    c.cmd = 1086;
    c.block = 560;
    c.count = 8;
    const QList<uint16_t> group2 = {item(4, 2, 8), item(5, 2, 7), item(6, 2, 6), item(7, 2, 5)};
    c.blocks = {{4, 1, 2, 12, item(4, 1, 4), item(5, 1, 5), item(6, 1, 6), item(7, 1, 7)},
                QList<uint16_t>{4, item(1, 1, 1), item(2, 1, 2), item(3, 1, 3)} + group2,
                QList<uint16_t>{4, item(1, 2, 4), item(2, 2, 3), item(3, 2, 2)} + group2,
                QList<uint16_t>{4, item(1, 3, 1), item(2, 3, 2), item(3, 2, 2)} + group2};
    c.shown = {{"stCurron16cfg0", "4"}, {"stCurron16cfg302", "2"}, {"cbxCurron16Freq", 1},
               {"cbxCurron16Volt", 2}, {"cbxCurron16Type", 12}, {"cbxCurron16Cur1", 1},
               {"cbxCurron16Cur4", 4}, {"cbxCurron16Cur8", 4}, {"cbxCurron16Cur11", 8},
               {"cbxCurron16Cur14", 5}, {"cbxCurron16Cur15", 1}, {"cbxCurron16Cur16", 2}};
    nameControls(c, QStringLiteral("Curron16"));
    c.readFail = kNotRead;
    return c;
}

PageCase outletBar()
{
    PageCase c;
    c.page = 4;
    c.upDown = "UpDown5";
    c.address = 36;
    c.cmd = 1092;
    c.block = 608;
    c.count = 8;
    c.blocks = {{5, 1, 1, 18, 0, 0, 0, 0}};
    c.shown = {{"stPDUcfg0", "5"}, {"stPDUcfg3", "18"}, {"cbxPDUfreq", 1}, {"cbxPDUclr", 1}, {"cbxPDUtype", 18}};
    nameControls(c, QStringLiteral("PDU"), QStringLiteral("btnCancelPDU"));
    c.readFail = kNotRead;
    return c;
}

PageCase pageCase(int page)
{
    switch (page) {
    case 0: return power7(false);
    case 1: return current8();
    case 2: return power14();
    case 3: return current32Upper();
    default: return outletBar();
    }
}

// The dialog on a fake link, with the timing edits at no waits and a time
// limit that only a missing answer reaches. The terminal answers each
// settings read a little after the monitor's answer came in between.
struct Bench {
    enum class Terminal { Answers, Silent };

    FakeGatewayLink link;
    AppSettings settings;
    TfrmWattorSet dialog{link, settings};
    PageCase c;
    Terminal terminal = Terminal::Answers;
    int blocksGiven = 0;

    explicit Bench(const PageCase &pc, const char *timeLimit = "50") : c(pc)
    {
        edit("edPreReadWait")->setText(QStringLiteral("0"));
        edit("edWrtInt")->setText(QStringLiteral("0"));
        edit("edTObase")->setText(QLatin1String(timeLimit));
        controls::find<QSpinBox>(&dialog, c.upDown)->setValue(c.address);
        if (c.radio)
            controls::find<QRadioButton>(&dialog, c.radio)->click();
        link.onRead = [this](const FakeGatewayLink::Request &r) { answerLater(r); };
    }

    QLineEdit *edit(const char *name) { return controls::find<QLineEdit>(&dialog, name); }
    // Clicks a read or write button and waits until its transaction ended.
    bool run(const QString &name)
    {
        button(name)->click();
        return QTest::qWaitFor([this] { return dialog.controller().runningPage() < 0; }, 10000);
    }
    QPushButton *button(const QString &name) { return controls::find<QPushButton>(&dialog, name); }
    QString text(const QString &label) { return controls::find<QLabel>(&dialog, label)->text(); }

    void answerLater(const FakeGatewayLink::Request &r)
    {
        QTimer::singleShot(0, &link, [this] { link.answer(0, 0, registerBytes({1, 2})); });
        if (terminal == Terminal::Silent)
            return;
        const QList<uint16_t> words = c.blocks.value(blocksGiven++ % int(c.blocks.size()));
        QTimer::singleShot(5, &link, [this, r, words] { link.answer(r.serial, r.tag, registerBytes(words)); });
    }

    // The frames sent, in order: "W reg=value" and "R<tag> address x count".
    QStringList sent() const
    {
        QStringList out;
        for (const auto &q : link.requests) {
            if (q.verb == Verb::WriteSingle)
                out << write(int(q.address), int(q.value));
            else if (q.verb == Verb::ReadInput)
                out << QStringLiteral("R%1 %2x%3").arg(q.tag).arg(q.address).arg(q.value);
            else
                out << QStringLiteral("unexpected verb %1").arg(int(q.verb));
        }
        return out;
    }

    QStringList reads() const { return QStringList(c.blocks.size(), read(c.block, c.count)); }

    void checkShown()
    {
        for (auto it = c.shown.cbegin(); it != c.shown.cend(); ++it) {
            if (it.value().typeId() == QMetaType::QString)
                QCOMPARE(text(it.key()), it.value().toString());
            else
                QCOMPARE(controls::find<QComboBox>(&dialog, it.key())->currentIndex(), it.value().toInt());
        }
    }
};

} // namespace

Q_DECLARE_METATYPE(PageCase)

class TestTermsetFakeLink : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void readEveryPage_data();
    void readEveryPage();
    void writeEveryPage_data();
    void writeEveryPage();
    void pollEndsWithoutItsAnswer_data();
    void pollEndsWithoutItsAnswer();
    void transactionEndsWhenClosedOrLost_data();
    void transactionEndsWhenClosedOrLost();

private:
    QStringList m_shown;
};

void TestTermsetFakeLink::init()
{
    m_shown.clear();
    msg::setMessageBoxHook([this](const msg::Shown &s) {
        m_shown << s.text;
        return true;
    });
}

void TestTermsetFakeLink::cleanup()
{
    msg::setMessageBoxHook({});
}

void TestTermsetFakeLink::readEveryPage_data()
{
    QTest::addColumn<PageCase>("c");
    QTest::newRow("power 7 at 12") << power7(false);
    QTest::newRow("power 28 at 20, circuits 22-28") << power7(true);
    QTest::newRow("current 8 at 24") << current8();
    QTest::newRow("power 14 at 16") << power14();
    QTest::newRow("current 32 at 28, circuits 17-32") << current32Upper();
    QTest::newRow("outlet bar at 36") << outletBar();
}

// Settings mode on, one read per answer the page still needs, settings mode
// off; each read only after the answer to the one before it; the lists
// follow the raw fields.
void TestTermsetFakeLink::readEveryPage()
{
    QFETCH(PageCase, c);
    Bench b(c);
    QVERIFY(b.run(c.read));
    QCOMPARE(b.sent(), QStringList{write(c.cmd, 1)} + b.reads() + QStringList{write(c.cmd, 0)});
    for (int i = 1; i < b.link.requests.size(); ++i)
        QCOMPARE(b.link.requests[i].answersBefore, 2 * (i - 1));
    b.checkShown();
    QCOMPARE(b.text(c.status), QString());
    QVERIFY(b.button(c.read)->isEnabled());
    QVERIFY(b.button(c.write)->isEnabled());
    QVERIFY2(m_shown.isEmpty(), qPrintable(m_shown.join(" / ")));
}

void TestTermsetFakeLink::writeEveryPage_data()
{
    QTest::addColumn<PageCase>("c");
    QTest::addColumn<QVariantMap>("choices");
    QTest::addColumn<bool>("typeRewrite");
    QTest::addColumn<QStringList>("commands");  // before the poll
    QTest::addColumn<QStringList>("leave");     // after it

    {
        const QVariantMap choices = {{"cbxWattor7Freq", 1}, {"cbxWattor7Volt", 4}, {"cbxWattor7Type", 9},
                                     {"cbxWattor7Cur1", 3}, {"cbxWattor7Cur2", 4}, {"cbxWattor7Cur3", 5},
                                     {"cbxWattor7Cur4", 6}, {"cbxWattor7Cur5", 7}, {"cbxWattor7Cur6", 8},
                                     {"cbxWattor7Cur7", 9}};
        QStringList ranges;
        for (int k = 1; k <= 7; ++k)
            ranges << write(1069, item(k, 0, k + 2));
        QTest::newRow("power 7, type kept")
            << power7(false) << choices << false
            << QStringList{write(1068, 1), write(1068, 0x2001), write(1068, 0x4004)} + ranges
                   + QStringList{write(1068, 0), write(1068, 1)}
            << QStringList{write(1068, 0), write(1069, 0)};
        QTest::newRow("power 7, type rewritten")
            << power7(false) << choices << true
            << QStringList{write(1068, 1), write(1068, 0x2001), write(1068, 0x4004), write(1068, 0x6009)} + ranges
                   + QStringList{write(1068, 0), write(1068, 1)}
            << QStringList{write(1068, 0), write(1069, 0)};
    }
    {
        const QStringList lists = {"cbxWattor14Cur12", "cbxWattor14Cur34", "cbxWattor14Cur56", "cbxWattor14Cur78",
                                   "cbxWattor14Cur910", "cbxWattor14Cur1112", "cbxWattor14Cur1314"};
        QVariantMap choices = {{"cbxWattor14Freq", 2}, {"cbxWattor14Volt", 1}, {"cbxWattor14Type", 3}};
        QStringList ranges;
        for (int k = 1; k <= 7; ++k) {
            choices.insert(lists[k - 1], 9 - k);
            ranges << write(1073, item(k, 0, 9 - k));
        }
        QTest::newRow("power 14, type rewritten")
            << power14() << choices << true
            << QStringList{write(1072, 1), write(1072, 0x2002), write(1072, 0x4001), write(1072, 0x6003)} + ranges
                   + QStringList{write(1072, 0), write(1072, 1)}
            << QStringList{write(1072, 0), write(1073, 0)};
    }
    {
        QVariantMap choices = {{"cbxCurron08Freq", 1}, {"cbxCurron08Volt", 1}};
        for (int n = 1; n <= 8; ++n)
            choices.insert(QStringLiteral("cbxCurron08Cur%1").arg(n), n);
        QTest::newRow("current 8")
            << current8() << choices << false
            << QStringList{write(1080, 1), write(1080, 0x2001),
                           write(1080, item(1, 1, 1)), write(1080, item(2, 1, 2)), write(1080, item(3, 1, 3)),
                           write(1080, item(4, 1, 4)), write(1080, item(5, 1, 5)), write(1080, item(6, 1, 6)),
                           write(1080, item(7, 1, 7)), write(1080, item(1, 2, 8)),
                           write(1080, 0), write(1080, 1)}
            << QStringList{write(1080, 0)};
    }
    {
        QVariantMap choices = {{"cbxCurron16Freq", 2}, {"cbxCurron16Volt", 1}};
        for (int n = 1; n <= 16; ++n)
            choices.insert(QStringLiteral("cbxCurron16Cur%1").arg(n), n % 8 + 1);
        QTest::newRow("current 32, circuits 17-32")
            << current32Upper() << choices << false
            << QStringList{write(1086, 1), write(1086, 0x2002),
                           write(1086, item(1, 1, 2)), write(1086, item(2, 1, 3)), write(1086, item(3, 1, 4)),
                           write(1086, item(4, 1, 5)), write(1086, item(5, 1, 6)), write(1086, item(6, 1, 7)),
                           write(1086, item(7, 1, 8)), write(1086, item(1, 2, 1)), write(1086, item(2, 2, 2)),
                           write(1086, item(3, 2, 3)), write(1086, item(4, 2, 4)), write(1086, item(5, 2, 5)),
                           write(1086, item(6, 2, 6)), write(1086, item(7, 2, 7)), write(1086, item(1, 3, 8)),
                           write(1086, item(2, 3, 1)), write(1086, 0), write(1086, 1)}
            << QStringList{write(1086, 0)};
    }
    QTest::newRow("outlet bar")
        << outletBar() << QVariantMap{{"cbxPDUfreq", 2}, {"cbxPDUclr", 1}} << false
        << QStringList{write(1092, 1), write(1092, 0x2002), write(1092, 0x4001), write(1092, 0), write(1092, 1)}
        << QStringList{write(1092, 0)};
}

// The choices go out as item commands, then the poll reads the block until
// the page is complete, then settings mode is left.
void TestTermsetFakeLink::writeEveryPage()
{
    QFETCH(PageCase, c);
    QFETCH(QVariantMap, choices);
    QFETCH(bool, typeRewrite);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, leave);
    Bench b(c);
    if (typeRewrite)
        controls::find<QAction>(&b.dialog, "TypeWrtEn")->trigger();
    for (auto it = choices.cbegin(); it != choices.cend(); ++it)
        controls::find<QComboBox>(&b.dialog, it.key())->setCurrentIndex(it.value().toInt());
    QVERIFY(b.run(c.write));
    QCOMPARE(b.sent(), commands + b.reads() + leave);
    // Each read of the poll only after the answer to the one before it.
    const qsizetype firstRead = commands.size();
    for (qsizetype i = 0; i <= c.blocks.size(); ++i)
        QCOMPARE(b.link.requests[firstRead + i].answersBefore, int(2 * i));
    QCOMPARE(b.text(c.status), QString());
    QCOMPARE(controls::find<QProgressBar>(&b.dialog, c.progress)->value(), 100);
    QVERIFY(b.button(c.read)->isEnabled());
    QVERIFY2(m_shown.isEmpty(), qPrintable(m_shown.join(" / ")));
}

void TestTermsetFakeLink::pollEndsWithoutItsAnswer_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("writing");
    QTest::addColumn<QString>("ending");  // "time limit", "cancel" or "refused"
    for (int page = 0; page < 5; ++page) {
        for (const char *ending : {"time limit", "cancel", "refused"}) {
            QTest::addRow("page %d read, %s", page, ending) << page << false << QString::fromLatin1(ending);
            QTest::addRow("page %d write, %s", page, ending) << page << true << QString::fromLatin1(ending);
        }
    }
}

// The terminal never answers the settings reads (the monitor's answers keep
// coming): the poll sends its read once and ends on its time limit, on
// 中止, or at once when the gateway refused the command word; settings mode
// is left and the failure shown.
void TestTermsetFakeLink::pollEndsWithoutItsAnswer()
{
    QFETCH(int, page);
    QFETCH(bool, writing);
    QFETCH(QString, ending);
    const PageCase c = pageCase(page);
    Bench b(c, ending == "time limit" ? "2" : "50");
    b.terminal = Bench::Terminal::Silent;
    // Every list a write needs chosen: only the missing answer is wrong.
    for (const QString &list : termset::pageBinding(page).mustSelect())
        controls::find<QComboBox>(&b.dialog, list)->setCurrentIndex(1);

    bool safetyNetUsed = false;
    if (ending == "cancel") {
        // Without its ticks the time limit never passes: only 中止 ends the
        // poll (the net below ends it otherwise, and fails the case).
        auto *ticks = b.dialog.findChild<QTimer *>(QStringLiteral("WaitTimer1"));
        QVERIFY(ticks);
        ticks->stop();
        b.link.onRead = [&b, c](const FakeGatewayLink::Request &r) {
            b.answerLater(r);
            QTimer::singleShot(20, &b.link, [&b, c] { b.button(c.cancel)->click(); });
        };
        QTimer::singleShot(5000, &b.link, [&] {
            safetyNetUsed = true;
            ticks->start();
        });
    } else if (ending == "refused") {
        b.link.onWrite = [&b](const FakeGatewayLink::Request &r) {
            if (r.value == termset::kEnterSettings && b.link.requests.size() == 1)
                b.link.refuse(r.serial, 4);
        };
    }

    QVERIFY(b.run(writing ? c.write : c.read));
    QVERIFY(!safetyNetUsed);
    const QStringList sent = b.sent();
    const int reads = int(sent.count(read(c.block, c.count)));
    QCOMPARE(reads, ending == "refused" ? 0 : 1);
    QStringList leave{write(c.cmd, 0)};
    const bool powerPage = page == 0 || page == 2;
    if (writing && powerPage)
        leave << write(c.cmd + 1, 0);
    QCOMPARE(sent.mid(sent.size() - leave.size()), leave);
    QCOMPARE(sent.first(), write(c.cmd, 1));
    QCOMPARE(b.text(c.status), QString::fromUtf8(writing ? kNoSetting : c.readFail));
    if (writing)
        QVERIFY(controls::find<QProgressBar>(&b.dialog, c.progress)->value() < 100);
    QVERIFY(b.button(c.read)->isEnabled());
    QVERIFY(b.button(c.write)->isEnabled());
    QVERIFY2(m_shown.isEmpty(), qPrintable(m_shown.join(" / ")));
}

void TestTermsetFakeLink::transactionEndsWhenClosedOrLost_data()
{
    QTest::addColumn<bool>("writing");
    QTest::addColumn<QString>("phase");   // "pause" or "poll"
    QTest::addColumn<bool>("close");      // else the connection is lost
    for (bool writing : {false, true})
        for (const char *phase : {"pause", "poll"})
            for (bool close : {true, false})
                QTest::addRow("%s, %s in the %s", writing ? "write" : "read", close ? "closed" : "lost", phase)
                    << writing << QString::fromLatin1(phase) << close;
}

// The dialog closed, or the connection lost, while a transaction pauses
// between its commands or polls a terminal that does not answer: the
// transaction ends (closing: at once, "中断しました", with the commands that
// leave settings mode; losing the connection: at the end of its pause or at
// once in the poll, with the page's failure text), nothing else is sent
// after that, and the buttons work again.
void TestTermsetFakeLink::transactionEndsWhenClosedOrLost()
{
    QFETCH(bool, writing);
    QFETCH(QString, phase);
    QFETCH(bool, close);
    const PageCase c = current8();
    Bench b(c, "50");
    b.terminal = Bench::Terminal::Silent;
    for (const QString &list : termset::pageBinding(c.page).mustSelect())
        controls::find<QComboBox>(&b.dialog, list)->setCurrentIndex(1);
    if (phase == "pause")
        b.edit(writing ? "edWrtInt" : "edPreReadWait")->setText(QStringLiteral("3"));
    b.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b.dialog));

    b.button(writing ? c.write : c.read)->click();
    TermsetController &t = b.dialog.controller();
    QCOMPARE(t.runningPage(), c.page);
    QVERIFY(!b.button(c.read)->isEnabled());
    if (phase == "pause")
        QVERIFY(b.dialog.WaitCount() > 0);
    else
        QTRY_COMPARE(b.sent().count(read(c.block, c.count)), qsizetype(1));
    const QStringList before = b.sent();

    if (close) {
        b.dialog.hide();
        QCOMPARE(t.runningPage(), -1);  // at once
        QCOMPARE(b.text(c.status), TermsetController::abortedText());
        QCOMPARE(b.dialog.WaitCount(), 0);
        QCOMPARE(b.dialog.TimeoutCount(), 0);
    } else {
        b.link.loseConnection();
        if (phase == "poll")
            QCOMPARE(t.runningPage(), -1);  // at once
        QTRY_COMPARE(t.runningPage(), -1);
        QCOMPARE(b.text(c.status), QString::fromUtf8(writing ? kNoSetting : c.readFail));
    }
    QVERIFY(b.button(c.read)->isEnabled());
    QVERIFY(b.button(c.write)->isEnabled());
    // A closed one takes the terminal out of settings mode; then nothing
    // more goes out: not the next command, not the next read (the
    // connection back, a still running poll would read again after the
    // answer its read never gets).
    const QStringList leave = close ? QStringList{write(c.cmd, 0)} : QStringList{};
    b.link.reopen();
    QTRY_VERIFY(!b.dialog.WaitTimer1->isActive());
    QCOMPARE(b.sent(), before + leave);
    QVERIFY2(m_shown.isEmpty(), qPrintable(m_shown.join(" / ")));
    // A new transaction runs whole.
    b.terminal = Bench::Terminal::Answers;
    if (close)
        b.dialog.show();
    QVERIFY(b.run(c.read));
    QCOMPARE(b.text(c.status), QString());
    QCOMPARE(b.sent().mid(before.size() + leave.size()),
             QStringList{write(c.cmd, 1)} + b.reads() + QStringList{write(c.cmd, 0)});
}

QTEST_MAIN(TestTermsetFakeLink)
#include "test_termset_fake_link.moc"
