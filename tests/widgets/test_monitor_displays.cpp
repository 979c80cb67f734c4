// The monitor's value boxes and row display: they draw exactly what the
// plain QLabel and QLineEdit they stand for draw, in every state the main
// window puts them in, and in the real window only the boxes whose text an
// answer changed are painted again.
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
    void manyTextsLookAlike_data();
    void manyTextsLookAlike();
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
        QTest::addRow("%s new font", name) << k << Step([](QLabel *l) {
            QFont f = l->font();
            f.setBold(!f.bold());
            f.setPointSize(f.pointSize() + 1);
            l->setFont(f);
            l->setText(QStringLiteral("4096"));
        });
        QTest::addRow("%s raised frame", name) << k << Step([](QLabel *l) {
            l->setText(QStringLiteral("99"));
            l->setFrameShadow(QFrame::Raised);
        });
    }
}

void TestMonitorDisplays::valueBoxLooksLikeLabel()
{
    using Step = std::function<void(QLabel *)>;
    QFETCH(int, kind);
    QFETCH(Step, step);
    BoxHost plain(false, Kind(kind)), box(true, Kind(kind));
    // The box has painted another text before: what it keeps from then
    // must not show once the step has changed it.
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
    // The boxes of the window have a plain background: the box paints it
    // itself, so that the group box is not painted again under it.
    QVERIFY(box.box->testAttribute(Qt::WA_OpaquePaintEvent));
}

void TestMonitorDisplays::manyTextsLookAlike_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("value") << int(Kind::Value) << true;
    QTest::newRow("value disabled") << int(Kind::Value) << false;
    QTest::newRow("header") << int(Kind::Header) << true;
    QTest::newRow("counter") << int(Kind::Counter) << true;
}

void TestMonitorDisplays::manyTextsLookAlike()
{
    // The texts the boxes show (numbers in every format, times, the
    // character display) and every printable character next to others,
    // kerned pairs among them: each drawn as a QLabel draws it.
    QFETCH(int, kind);
    QFETCH(bool, enabled);
    QStringList texts;
    for (int i = 0; i < 120; ++i) {
        const qint64 v = (i * 7919LL * 7919LL) % 4294967296LL - (i % 3 ? 0 : 2147483648LL);
        texts << QString::number(v) << QString::number(uint32_t(v), 16).toUpper()
              << QString::number(double(v) / 977.0, 'f', i % 5)
              << QStringLiteral("%1:%2:%3.%4").arg(i / 7).arg(i % 60, 2, 10, QLatin1Char('0'))
                     .arg((i * 13) % 60, 2, 10, QLatin1Char('0')).arg(i % 10);
    }
    for (char16_t c = 0x21; c < 0x7F; c += 3)
        texts << QString(QChar(c)) + QChar(char16_t(c + 1)) + QChar(char16_t(0x21 + (c * 7) % 94))
                     + QChar(char16_t(c + 2 < 0x7F ? c + 2 : 0x30));
    texts << QStringLiteral("AVAV") << QStringLiteral("To.") << QStringLiteral("Wa,y") << QStringLiteral("1/7")
          << QStringLiteral("a b") << QStringLiteral(" 12") << QStringLiteral("12 ") << QStringLiteral("ﾃｽﾄ")
          << QStringLiteral("温度") << QStringLiteral("-0.000");
    BoxHost plain(false, Kind(kind)), box(true, Kind(kind));
    plain.box->setEnabled(enabled);
    box.box->setEnabled(enabled);
    plain.window.show();
    box.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box.window));
    QVERIFY(QTest::qWaitForWindowExposed(&plain.window));
    for (const QString &t : std::as_const(texts)) {
        plain.box->setText(t);
        box.box->setText(t);
        QVERIFY2(sameImage(box.box->grab().toImage(), plain.box->grab().toImage()),
                 qPrintable(QStringLiteral("text \"%1\" drawn otherwise").arg(t)));
    }
}

void TestMonitorDisplays::rowDisplayLooksLikeLineEdit_data()
{
    using Step = std::function<void(QLineEdit *)>;
    QTest::addColumn<bool>("inGroupBox");
    QTest::addColumn<bool>("opaque");
    QTest::addColumn<Step>("step");
    const QString row = QStringLiteral("0001,0:00:00.1,")
                        + QStringLiteral("12345,-2,0x7FFF,123.4,").repeated(16);
    const auto shown = [](const QString &t, bool enabled) {
        return Step([t, enabled](QLineEdit *e) {
            e->setEnabled(enabled);
            e->setText(t);
            e->setCursorPosition(0);
        });
    };
    QTest::newRow("disabled row") << false << true << shown(row, false);
    // Rows of the other display formats, drawn from the glyph table or by
    // the line edit where the table cannot set them (a space, kerned
    // letters, characters of other scripts, ink below the line).
    QTest::newRow("hex row") << false << true
                             << shown(QStringLiteral("17,0x00FF,0xABCD,").repeated(30), false);
    QTest::newRow("characters row") << false << true
                                    << shown(QStringLiteral("12,AV,To,Wa,ff,fi,\"q\",|_|,").repeated(20), false);
    QTest::newRow("row with spaces") << false << true
                                     << shown(QStringLiteral("2026/12/08 16:30:00.1,5,").repeated(20), false);
    QTest::newRow("row in Japanese") << false << true
                                     << shown(QStringLiteral("電力,12,").repeated(40), false);
    QTest::newRow("accented row") << false << true << shown(QStringLiteral("ÅÉ,gjpq,").repeated(40), false);
    // Around the width where the row stops fitting: each side of it is
    // placed as the line edit places it.
    for (int n = 60; n <= 110; n += 5)
        QTest::newRow(qPrintable(QStringLiteral("row of %1").arg(n)))
            << false << true << shown(QStringLiteral("1234567890").repeated(12).left(n), false);
    QTest::newRow("row after a shorter one") << false << true << Step([row](QLineEdit *e) {
        e->setText(QStringLiteral("1,2"));
        e->grab();
        e->setText(row);
        e->setCursorPosition(0);
    });
    QTest::newRow("scrolled row brought back") << false << true << Step([row](QLineEdit *e) {
        e->setEnabled(true);
        e->setText(row);
        e->setCursorPosition(int(row.size()));
        e->grab();
        e->setCursorPosition(0);
        e->setEnabled(false);
    });
    QTest::newRow("row with a clear button") << false << true << Step([row](QLineEdit *e) {
        e->setEnabled(true);
        e->setClearButtonEnabled(true);
        e->setText(row);
        e->setCursorPosition(0);
        QTest::qWait(500);  // the button fades in with the text
    });
    QTest::newRow("row with a selection") << false << true << Step([row](QLineEdit *e) {
        e->setEnabled(true);
        e->setText(row);
        e->setSelection(3, 20);
    });
    QTest::newRow("disabled empty") << false << true << shown(QString(), false);
    QTest::newRow("disabled short") << false << true << shown(QStringLiteral("1,2,3"), false);
    QTest::newRow("enabled row") << false << true << shown(row, true);
    QTest::newRow("enabled then disabled") << false << true << Step([row](QLineEdit *e) {
        e->setEnabled(true);
        e->setText(row);
        e->grab();
        e->setEnabled(false);
    });
    QTest::newRow("other window colour") << false << true << Step([row](QLineEdit *e) {
        e->setText(row);
        e->setCursorPosition(0);
        QWidget *w = e->window();
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, QColor(200, 220, 255));
        w->setPalette(pal);
    });
    QTest::newRow("wider") << false << true << Step([row](QLineEdit *e) {
        e->setText(row);
        e->setCursorPosition(0);
        e->resize(e->width() + 40, e->height() + 4);
    });
    // Over a group box (its frame may lie under the widget) the widget
    // draws as a line edit does, over whatever is there.
    QTest::newRow("in a group box") << true << false << shown(row, false);
}

void TestMonitorDisplays::rowDisplayLooksLikeLineEdit()
{
    using Step = std::function<void(QLineEdit *)>;
    QFETCH(bool, inGroupBox);
    QFETCH(bool, opaque);
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
    QCOMPARE(row.edit->testAttribute(Qt::WA_OpaquePaintEvent), opaque);
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
}

QTEST_MAIN(TestMonitorDisplays)
#include "test_monitor_displays.moc"
