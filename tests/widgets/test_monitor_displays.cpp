// The monitor's value boxes and row display: they draw exactly what the
// plain QLabel and QLineEdit they stand for draw, in the states the main
// window puts them in, and in the real window only the boxes whose text an
// answer changed are painted again, never the group boxes under them.
#include "support/TestApp.h"
#include "app/MonitorDisplays.h"
#include "app/TfrmMain.h"
#include "link/ReceiveBuffer.h"
#include "support/AnswerFrames.h"
#include "support/AppFixture.h"
#include "support/MonitorControls.h"
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <functional>
#include <map>

namespace {

// The three kinds of box in the main window, set up as the window sets them.
enum class Kind { Value, Header, Counter };

void styleBox(QLabel *l, Kind kind)
{
    l->setTextFormat(Qt::PlainText);
    QPalette pal = l->palette();
    switch (kind) {
    case Kind::Value:
        l->setGeometry(35, 37, 73, 17);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        pal.setColor(QPalette::Window, Qt::white);
        break;
    case Kind::Header: {
        l->setGeometry(44, 17, 84, 17);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        pal.setColor(QPalette::Window, Qt::black);
        pal.setColor(QPalette::WindowText, Qt::white);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        l->setContentsMargins(0, 0, 2, 0);
        break;
    }
    case Kind::Counter:
        l->setGeometry(10, 60, 62, 20);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setAlignment(Qt::AlignCenter);
        pal.setColor(QPalette::Window, QColor(0, 255, 0));
        break;
    }
    l->setAutoFillBackground(true);
    l->setPalette(pal);
    l->setFixedSize(l->size());
}

// What the main window does to a box when the monitor goes stale.
void makeGrey(QLabel *l)
{
    QPalette grey = l->palette();
    grey.setColor(QPalette::WindowText, QColor(160, 160, 160));
    l->setPalette(grey);
}

// A window holding one box inside a group box, as the value boxes sit.
struct BoxHost {
    QWidget window;
    QGroupBox *group;
    QLabel *box;
    BoxHost(bool valueBox, Kind kind)
    {
        window.resize(150, 100);
        group = new QGroupBox(QStringLiteral("WORD 0"), &window);
        group->setGeometry(2, 2, 140, 92);
        box = valueBox ? new ValueBox(group) : new QLabel(group);
        styleBox(box, kind);
    }
};

bool sameImage(const QImage &a, const QImage &b)
{
    return a.size() == b.size()
           && a.convertToFormat(QImage::Format_ARGB32) == b.convertToFormat(QImage::Format_ARGB32);
}

// Counts the paint events of the widgets it watches.
class PaintCounter : public QObject {
public:
    std::map<const QObject *, int> counts;
    void watch(QWidget *w)
    {
        counts[w] = 0;
        w->installEventFilter(this);
    }
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++counts[o];
        return false;
    }
};

// A 64-register answer of the extended area; register r holds regs[r].
ReceiveBuffer answerOf(const QList<uint16_t> &regs)
{
    ReceiveBuffer rb;
    rb.assign(frames::readAnswer(0, frames::registerBytes(regs)));
    return rb;
}

} // namespace

class TestMonitorDisplays : public QObject {
    Q_OBJECT
private slots:
    void valueBoxLooksLikeLabel_data();
    void valueBoxLooksLikeLabel();
    void rowDisplayLooksLikeLineEdit_data();
    void rowDisplayLooksLikeLineEdit();
    void onlyChangedBoxesRepaint();
};

void TestMonitorDisplays::valueBoxLooksLikeLabel_data()
{
    using Step = std::function<void(QLabel *)>;
    QTest::addColumn<int>("kind");
    QTest::addColumn<Step>("step");
    const auto text = [](const QString &t) { return Step([t](QLabel *l) { l->setText(t); }); };
    const std::pair<const char *, Kind> kinds[] = {
        {"value", Kind::Value}, {"header", Kind::Header}, {"counter", Kind::Counter}};
    for (const auto &[name, kind] : kinds) {
        const int k = int(kind);
        QTest::addRow("%s number", name) << k << text(QStringLiteral("-32768"));
        QTest::addRow("%s hex", name) << k << text(QStringLiteral("7FFF"));
        QTest::addRow("%s real", name) << k << text(QStringLiteral("123.4567"));
        QTest::addRow("%s empty", name) << k << text(QString());
        QTest::addRow("%s longer than the box", name)
            << k << text(QStringLiteral("-2147483648.123456789"));
        QTest::addRow("%s characters", name) << k << text(QStringLiteral("AB\"&<"));
        QTest::addRow("%s stale grey", name) << k << Step([](QLabel *l) {
            l->setText(QStringLiteral("12345"));
            makeGrey(l);
        });
        QTest::addRow("%s disabled", name) << k << Step([](QLabel *l) {
            l->setText(QStringLiteral("12345"));
            l->setEnabled(false);
        });
        QTest::addRow("%s new background", name) << k << Step([](QLabel *l) {
            l->setText(QStringLiteral("0:00:01.5"));
            QPalette pal = l->palette();
            pal.setColor(QPalette::Window, QColor(255, 255, 0));
            l->setPalette(pal);
        });
    }
}

void TestMonitorDisplays::valueBoxLooksLikeLabel()
{
    using Step = std::function<void(QLabel *)>;
    QFETCH(int, kind);
    QFETCH(Step, step);
    BoxHost plain(false, Kind(kind)), box(true, Kind(kind));
    // The box has shown another text before the step.
    box.box->setText(QStringLiteral("88888"));
    box.window.show();
    plain.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box.window));
    QVERIFY(QTest::qWaitForWindowExposed(&plain.window));
    box.window.grab();
    step(plain.box);
    step(box.box);
    QCOMPARE(box.box->text(), plain.box->text());
    const QImage want = plain.window.grab().toImage();
    const QImage got = box.window.grab().toImage();
    if (!sameImage(got, want)) {
        want.save(QStringLiteral("monitor_displays_want.png"));
        got.save(QStringLiteral("monitor_displays_got.png"));
    }
    QVERIFY2(sameImage(got, want), "the box draws otherwise than a QLabel (see monitor_displays_*.png)");
}

void TestMonitorDisplays::rowDisplayLooksLikeLineEdit_data()
{
    using Step = std::function<void(QLineEdit *)>;
    QTest::addColumn<bool>("inGroupBox");
    QTest::addColumn<Step>("step");
    const QString row = QStringLiteral("0001,0:00:00.1,")
                        + QStringLiteral("12345,-2,0x7FFF,123.4,").repeated(16);
    // What the window does with every answer: the row, its start in view.
    const auto shown = [](const QString &t, bool enabled) {
        return Step([t, enabled](QLineEdit *e) {
            e->setEnabled(enabled);
            e->setText(t);
            e->setCursorPosition(0);
        });
    };
    QTest::newRow("disabled row") << false << shown(row, false);
    QTest::newRow("characters row")
        << false << shown(QStringLiteral("12,AV,To,Wa,ff,fi,\"q\",|_|,").repeated(20), false);
    QTest::newRow("row in Japanese") << false << shown(QStringLiteral("電力,12,").repeated(40), false);
    QTest::newRow("row after a shorter one") << false << Step([row](QLineEdit *e) {
        e->setText(QStringLiteral("1,2"));
        e->grab();
        e->setText(row);
        e->setCursorPosition(0);
    });
    QTest::newRow("disabled empty") << false << shown(QString(), false);
    QTest::newRow("disabled short") << false << shown(QStringLiteral("1,2,3"), false);
    QTest::newRow("enabled row") << false << shown(row, true);
    QTest::newRow("other window colour") << false << Step([row](QLineEdit *e) {
        e->setText(row);
        e->setCursorPosition(0);
        QWidget *w = e->window();
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, QColor(200, 220, 255));
        w->setPalette(pal);
    });
    QTest::newRow("in a group box") << true << shown(row, false);
}

void TestMonitorDisplays::rowDisplayLooksLikeLineEdit()
{
    using Step = std::function<void(QLineEdit *)>;
    QFETCH(bool, inGroupBox);
    QFETCH(Step, step);
    struct Host {
        QWidget window;
        QLineEdit *edit;
        Host(bool row, bool inGroupBox)
        {
            window.resize(560, 60);
            // A bare QWidget under the window, as the main window's central widget.
            QWidget *central = inGroupBox ? new QGroupBox(QStringLiteral("ログ"), &window)
                                          : new QWidget(&window);
            central->setGeometry(0, 0, 560, 60);
            edit = row ? new RowDisplay(central) : new QLineEdit(central);
            edit->setGeometry(inGroupBox ? 0 : 2, inGroupBox ? 30 : 20, 529, 20);
            edit->setEnabled(false);
        }
    } plain(false, inGroupBox), row(true, inGroupBox);
    row.edit->setText(QStringLiteral("9999,9999"));
    row.window.show();
    plain.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row.window));
    QVERIFY(QTest::qWaitForWindowExposed(&plain.window));
    row.window.grab();
    step(plain.edit);
    step(row.edit);
    QCOMPARE(row.edit->text(), plain.edit->text());
    const QImage want = plain.window.grab().toImage();
    const QImage got = row.window.grab().toImage();
    if (!sameImage(got, want)) {
        want.save(QStringLiteral("row_display_want.png"));
        got.save(QStringLiteral("row_display_got.png"));
    }
    QVERIFY2(sameImage(got, want), "the row display draws otherwise than a QLineEdit (see row_display_*.png)");
}

void TestMonitorDisplays::onlyChangedBoxesRepaint()
{
    AppFixture fx(false);
    frmMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmMain));
    select(Word, 3, 1, 0, 0);
    QList<uint16_t> regs;
    for (int r = 0; r < 64; ++r)
        regs << uint16_t(100 + r);
    appSession->handleValuesAnswer(answerOf(regs), {});
    auto *row = child<QLineEdit>("LogLineBuf");
    QVERIFY(qobject_cast<RowDisplay *>(row));
    const QString firstRow = row->text();
    QVERIFY(!firstRow.isEmpty());

    PaintCounter paints;
    QStringList before;
    for (int p = 0; p < 32; ++p) {
        auto *box = child<QLabel>(qPrintable(QStringLiteral("StVal%1").arg(p)));
        QVERIFY(qobject_cast<ValueBox *>(box));
        before << box->text();
    }
    QVERIFY(!before.first().isEmpty());
    // Everything the first answer changed is painted before counting.
    paints.watch(row);
    QTRY_VERIFY(paints.counts[row] > 0);
    QCoreApplication::processEvents();
    paints.counts.clear();
    paints.watch(row);
    for (int p = 0; p < 32; ++p)
        paints.watch(child<QLabel>(qPrintable(QStringLiteral("StVal%1").arg(p))));
    // The boxes fill their own plain background: Qt paints nothing of the
    // group boxes under a box that changed.
    QList<QGroupBox *> groups;
    for (int g = 0; g < 4; ++g) {
        groups << child<QGroupBox>(qPrintable(QStringLiteral("GroupBoxWord%1").arg(g)));
        paints.watch(groups.last());
    }

    // A second answer in which only a few registers differ.
    for (int r : {0, 1, 9})
        regs[r] = uint16_t(regs[r] + 1000);
    appSession->handleValuesAnswer(answerOf(regs), {});
    QVERIFY(row->text() != firstRow);  // the row display holds the new row at once
    QCOMPARE(row->cursorPosition(), 0);
    // The row changes with every answer: once it is painted, so are all
    // the boxes this answer changed (one repaint of the window).
    QTRY_VERIFY(paints.counts[row] > 0);
    QCoreApplication::processEvents();
    int changed = 0, kept = 0;
    for (int p = 0; p < 32; ++p) {
        auto *box = child<QLabel>(qPrintable(QStringLiteral("StVal%1").arg(p)));
        const bool differs = box->text() != before[p];
        (differs ? changed : kept)++;
        if (differs)
            QVERIFY2(paints.counts[box] > 0, qPrintable(box->objectName() + QStringLiteral(" not painted")));
        else
            QVERIFY2(paints.counts[box] == 0, qPrintable(box->objectName() + QStringLiteral(" painted again")));
    }
    QVERIFY(changed > 0);
    QVERIFY(kept > 0);
    for (QGroupBox *g : std::as_const(groups))
        QVERIFY2(paints.counts[g] == 0, qPrintable(g->objectName() + QStringLiteral(" painted under its boxes")));
}

QTEST_MAIN(TestMonitorDisplays)
#include "test_monitor_displays.moc"
