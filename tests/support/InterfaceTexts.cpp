#include "support/InterfaceTexts.h"
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolButton>

namespace {

QString nameOf(const QWidget *window, const QObject *o, const char *what)
{
    return window->objectName() + u'/' + o->objectName() + u'/' + QLatin1String(what);
}

// The text a button or menu shows: "&&" is one '&', a single '&' marks the
// mnemonic and is not drawn.
QString drawnText(QString text)
{
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text;
}

int widestLine(const QFontMetrics &fm, const QString &text)
{
    int w = 0;
    for (const QString &line : text.split(u'\n'))
        w = qMax(w, fm.horizontalAdvance(line));
    return w;
}

// The widget the action belongs to: its nearest widget ancestor.
const QWidget *ownerOf(const QAction *action)
{
    for (QObject *o = action->parent(); o; o = o->parent())
        if (o->isWidgetType())
            return static_cast<QWidget *>(o);
    return nullptr;
}

bool belongsTo(const QWidget *w, const QWidget *window)
{
    if (w->window() == window)
        return true;
    // A menu is a window of its own; it belongs where its owner is.
    if (const auto *menu = qobject_cast<const QMenu *>(w))
        return menu->parentWidget() && belongsTo(menu->parentWidget(), window);
    return false;
}

void checkLabel(const QLabel *l, QList<ShownText> &out, const QWidget *window)
{
    const QString text = l->text();
    if (text.isEmpty() || l->textFormat() == Qt::RichText
        || (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(text)))
        return;
    const QFontMetrics fm(l->font());
    int indent = l->indent();
    if (indent < 0)
        indent = l->frameWidth() > 0 ? fm.horizontalAdvance(u'x') / 2 : 0;
    const QRect box = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    const int width = box.width() - indent;
    if (l->wordWrap()) {
        const QRect need = fm.boundingRect(QRect(0, 0, width, 100000),
                                           int(l->alignment()) | Qt::TextWordWrap, text);
        if (need.height() > box.height() || need.width() > width)
            out << ShownText{nameOf(window, l, "label (wrapped)"), text};
    } else if (widestLine(fm, text) > width) {
        out << ShownText{nameOf(window, l, "label"), text};
    }
}

void checkButton(const QAbstractButton *b, QList<ShownText> &out, const QWidget *window)
{
    const QString text = drawnText(b->text());
    if (text.isEmpty())
        return;
    QStyle *style = b->style();
    const QFontMetrics fm(b->font());
    const int textWidth = widestLine(fm, text);
    int need = 0;
    if (qobject_cast<const QCheckBox *>(b)) {
        need = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, b)
               + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, b) + textWidth;
    } else if (qobject_cast<const QRadioButton *>(b)) {
        need = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, b)
               + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, b) + textWidth;
    } else if (const auto *tool = qobject_cast<const QToolButton *>(b)) {
        QStyleOptionToolButton opt;
        opt.initFrom(tool);
        opt.text = text;
        opt.toolButtonStyle = Qt::ToolButtonTextOnly;
        need = style->sizeFromContents(QStyle::CT_ToolButton, &opt, QSize(textWidth, fm.height()), b)
                   .width();
    } else if (const auto *push = qobject_cast<const QPushButton *>(b)) {
        QStyleOptionButton opt;
        opt.initFrom(push);
        opt.text = text;
        if (push->autoDefault())
            opt.features |= QStyleOptionButton::AutoDefaultButton;
        // The button's frame and margins, without the minimum width some
        // styles give a button of short text.
        need = textWidth + style->pixelMetric(QStyle::PM_ButtonMargin, &opt, b)
               + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, b);
    } else {
        need = textWidth;
    }
    if (need > b->width())
        out << ShownText{nameOf(window, b, "button"), text};
}

void checkCombo(const QComboBox *c, QList<ShownText> &out, const QWidget *window)
{
    QStyleOptionComboBox opt;
    opt.initFrom(c);
    opt.editable = c->isEditable();
    opt.frame = c->hasFrame();
    const int field =
        c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c).width();
    const QFontMetrics fm(c->font());
    for (int i = 0; i < c->count(); ++i)
        if (fm.horizontalAdvance(c->itemText(i)) > field)
            out << ShownText{nameOf(window, c, "combo item"), c->itemText(i)};
}

void checkTabs(const QTabWidget *t, QList<ShownText> &out, const QWidget *window)
{
    const QTabBar *bar = t->tabBar();
    const QFontMetrics fm(bar->font());
    for (int i = 0; i < t->count(); ++i) {
        const QString text = drawnText(t->tabText(i));
        const QRect r = bar->tabRect(i);
        // Every tab at its full width and all of them inside the widget:
        // no eliding, no scroll buttons.
        if (r.width() < fm.horizontalAdvance(text) || bar->mapTo(t, r.topRight()).x() >= t->width())
            out << ShownText{nameOf(window, t, "tab"), text};
    }
}

void checkHeaders(const QAbstractItemView *v, QList<ShownText> &out, const QWidget *window)
{
    for (const QHeaderView *h : v->findChildren<QHeaderView *>()) {
        if (!h->isVisible() || !h->model())
            continue;
        const QFontMetrics fm(h->font());
        for (int i = 0; i < h->count(); ++i) {
            const QString text = h->model()->headerData(i, h->orientation()).toString();
            if (!text.isEmpty() && h->orientation() == Qt::Horizontal
                && fm.horizontalAdvance(text) > h->sectionSize(i))
                out << ShownText{nameOf(window, h, "header"), text};
        }
    }
}

} // namespace

bool hasJapanese(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30FF)      // CJK punctuation, hiragana, katakana
            || (u >= 0x3400 && u <= 0x4DBF)   // CJK extension A
            || (u >= 0x4E00 && u <= 0x9FFF)   // CJK ideographs
            || (u >= 0xF900 && u <= 0xFAFF)   // CJK compatibility ideographs
            || (u >= 0xFF00 && u <= 0xFFEF))  // full-width forms, half-width katakana
            return true;
        if (c.isHighSurrogate())  // CJK extensions B.. (planes 2 and 3)
            return true;
    }
    return false;
}

QList<ShownText> textsOf(QWidget *window)
{
    QList<ShownText> out;
    auto add = [&](const QObject *o, const char *what, const QString &text) {
        if (!text.isEmpty())
            out << ShownText{nameOf(window, o, what), text};
    };
    add(window, "window title", window->windowTitle());
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (const QWidget *w : std::as_const(widgets)) {
        if (!belongsTo(w, window))
            continue;
        add(w, "tool tip", w->toolTip());
        add(w, "status tip", w->statusTip());
        if (const auto *l = qobject_cast<const QLabel *>(w))
            add(w, "label", l->text());
        if (const auto *b = qobject_cast<const QAbstractButton *>(w))
            add(w, "button", b->text());
        if (const auto *g = qobject_cast<const QGroupBox *>(w))
            add(w, "group box", g->title());
        if (const auto *m = qobject_cast<const QMenu *>(w))
            add(w, "menu", m->title());
        if (const auto *e = qobject_cast<const QLineEdit *>(w))
            add(w, "placeholder", e->placeholderText());
        if (const auto *t = qobject_cast<const QTabWidget *>(w))
            for (int i = 0; i < t->count(); ++i) {
                add(w, "tab", t->tabText(i));
                add(w, "tab tool tip", t->tabToolTip(i));
            }
        if (const auto *c = qobject_cast<const QComboBox *>(w))
            for (int i = 0; i < c->count(); ++i)
                add(w, "combo item", c->itemText(i));
        if (const auto *v = qobject_cast<const QAbstractItemView *>(w); v && v->model())
            for (const Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
                const int n = o == Qt::Horizontal ? v->model()->columnCount() : v->model()->rowCount();
                for (int i = 0; i < n; ++i)
                    add(w, "header", v->model()->headerData(i, o).toString());
            }
    }
    for (const QAction *a : window->findChildren<QAction *>()) {
        const QWidget *owner = ownerOf(a);
        if (!owner || !belongsTo(owner, window) || a->isSeparator())
            continue;
        add(a, "action", a->text());
        if (a->toolTip() != drawnText(a->text()))
            add(a, "action tool tip", a->toolTip());
        add(a, "action status tip", a->statusTip());
    }
    return out;
}

QList<ShownText> cutOffTextsOf(QWidget *window)
{
    // A text set just before the check has only posted its layout request;
    // measure the controls as the user sees them once the layout has run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QList<ShownText> out;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    for (const QWidget *w : std::as_const(widgets)) {
        if (w->window() != window || !w->isVisible())
            continue;
        if (const auto *l = qobject_cast<const QLabel *>(w))
            checkLabel(l, out, window);
        else if (const auto *b = qobject_cast<const QAbstractButton *>(w))
            checkButton(b, out, window);
        else if (const auto *c = qobject_cast<const QComboBox *>(w))
            checkCombo(c, out, window);
        else if (const auto *t = qobject_cast<const QTabWidget *>(w))
            checkTabs(t, out, window);
        else if (const auto *v = qobject_cast<const QAbstractItemView *>(w))
            checkHeaders(v, out, window);
        if (const auto *g = qobject_cast<const QGroupBox *>(w); g && !g->title().isEmpty()) {
            // The title sits inside the frame with a margin on each side.
            const int margin = 2 * g->style()->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, g) / 3;
            if (QFontMetrics(g->font()).horizontalAdvance(drawnText(g->title())) + 2 * margin > g->width())
                out << ShownText{nameOf(window, g, "group box"), g->title()};
        }
    }
    return out;
}

QList<QWidget *> programWindows()
{
    QList<QWidget *> windows{frmMain};
    for (QWidget *w : frmMain->findChildren<QWidget *>())
        if (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog)
            windows << w;
    return windows;
}
