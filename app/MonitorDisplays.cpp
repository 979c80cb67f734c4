#include "app/MonitorDisplays.h"
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QProxyStyle>
#include <QRawFont>
#include <QStyleOption>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <memory>

namespace {

bool isPlain(const QBrush &brush)
{
    return brush.style() == Qt::SolidPattern && brush.isOpaque();
}

// The brush the area under `w` is filled with, when nothing else paints
// there: the first ancestor that fills its background, every one between
// being a bare QWidget (whose paint event draws nothing). Null when
// something else may show through.
const QBrush *backgroundUnder(const QWidget *w)
{
    for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
        if (p->autoFillBackground() || p->isWindow()) {
            const QBrush &b = p->palette().brush(p->backgroundRole());
            return isPlain(b) ? &b : nullptr;
        }
        if (p->metaObject() != &QWidget::staticMetaObject || p->testAttribute(Qt::WA_StyledBackground))
            return nullptr;
    }
    return nullptr;
}

// Draws the line edit panel from a pixmap the base style painted once over
// the background under the widget: the same pixels as drawing it there.
class PanelCacheStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement pe, const QStyleOption *opt, QPainter *p,
                       const QWidget *w) const override
    {
        const QBrush *under = w ? backgroundUnder(w) : nullptr;
        if (pe != PE_PanelLineEdit || !under || !w->testAttribute(Qt::WA_OpaquePaintEvent)
            || opt->rect != w->rect()) {
            QProxyStyle::drawPrimitive(pe, opt, p, w);
            return;
        }
        const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(opt);
        const qreal dpr = p->device()->devicePixelRatio();
        const Key key{opt->rect.size(), opt->state, opt->direction, opt->palette.cacheKey(),
                      frame ? frame->lineWidth : -1, frame ? int(frame->features) : -1,
                      under->color().rgba(), dpr};
        if (m_panel.isNull() || !(key == m_key)) {
            m_key = key;
            m_panel = QPixmap(opt->rect.size() * dpr);
            m_panel.setDevicePixelRatio(dpr);
            m_panel.fill(under->color());
            QPainter q(&m_panel);
            q.translate(-opt->rect.topLeft());
            QProxyStyle::drawPrimitive(pe, opt, &q, w);
        }
        p->drawPixmap(opt->rect.topLeft(), m_panel);
    }

private:
    struct Key {
        QSize size;
        QStyle::State state;
        Qt::LayoutDirection direction;
        qint64 palette;
        int lineWidth;
        int features;
        QRgb under;
        qreal dpr;
        bool operator==(const Key &) const = default;
    };
    mutable Key m_key{};
    mutable QPixmap m_panel;
};

} // namespace

// The printable ASCII characters (no space) of one font, each shaped once
// on its own, and which pairs of them the shaper sets exactly one advance
// apart (no kerning). A text made only of such characters and pairs is set
// from the table, with the same glyphs at the same positions as the shaper
// gives it, without shaping it again.
class MonitorGlyphTable {
public:
    explicit MonitorGlyphTable(const QFont &font) : m_font(font) {}

    // The glyphs of `text` and their pen positions (baseline at 0), the
    // line's advance and its natural width (the advance with the ink of the
    // last glyph past it); false when the text is not one the table can set.
    // Characters not seen before are shaped for `device`.
    // When asked, also the ink's extent above and below the baseline over
    // the whole text, the baseline itself included (`inkAbove` ≥ 0,
    // `inkBelow` ≥ 0), as the font metrics measure a text's bounding box.
    bool set(QStringView text, const QPaintDevice *device, QList<quint32> &glyphs,
             QList<QPointF> &positions, qreal &advance, qreal &natural, qreal *inkAbove = nullptr,
             qreal *inkBelow = nullptr)
    {
        m_device = device;
        const struct Forget {
            const QPaintDevice *&device;
            ~Forget() { device = nullptr; }
        } forget{m_device};
        glyphs.resize(text.size());
        positions.resize(text.size());
        qreal x = 0, above = 0, below = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const Glyph *g = glyph(text[i]);
            if (!g || (i > 0 && !pairSetApart(text[i - 1], text[i])))
                return false;
            glyphs[i] = g->index;
            positions[i] = QPointF(x, m_ascent);
            x += g->advance;
            natural = x + g->overhang;
            above = std::max(above, g->inkAbove);
            below = std::max(below, g->inkBelow);
        }
        advance = x;
        if (inkAbove)
            *inkAbove = above;
        if (inkBelow)
            *inkBelow = below;
        return true;
    }
    const QRawFont &rawFont() const { return m_raw; }
    qreal ascent() const { return m_ascent; }
    qreal height() const { return m_ascent + m_descent; }

private:
    struct Glyph {
        quint32 index = 0;
        qreal advance = 0;
        qreal overhang = 0;  // natural width less the advance
        qreal inkAbove = 0, inkBelow = 0;  // the ink's extent from the baseline
        int known = 0;  // 0 not yet shaped, 1 usable, -1 not
    };

    static constexpr char16_t kFirst = 0x21, kLast = 0x7E;
    static constexpr size_t kCount = kLast - kFirst + 1;

    QList<QGlyphRun> shape(const QString &s, qreal *advance, qreal *natural, qreal *ascent,
                           qreal *descent) const
    {
        QTextLayout layout(s, m_font, m_device);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        if (!line.isValid())
            return {};
        *advance = line.horizontalAdvance();
        *natural = line.naturalTextWidth();
        *ascent = line.ascent();
        *descent = line.descent();
        return layout.glyphRuns();
    }

    const Glyph *glyph(QChar c)
    {
        if (c.unicode() < kFirst || c.unicode() > kLast)
            return nullptr;
        Glyph &g = m_glyphs[c.unicode() - kFirst];
        if (g.known == 0) {
            g.known = -1;
            qreal advance = 0, natural = 0, ascent = 0, descent = 0;
            const QList<QGlyphRun> runs = shape(QString(c), &advance, &natural, &ascent, &descent);
            // One glyph, at the pen, of the same font (no fallback) and
            // line height as the characters before it.
            const bool single = runs.size() == 1 && runs[0].glyphIndexes().size() == 1
                                && runs[0].positions().first() == QPointF(0, ascent);
            const bool sameFont = !m_raw.isValid()
                                  || (single && runs[0].rawFont() == m_raw && ascent == m_ascent
                                      && descent == m_descent);
            if (single && sameFont) {
                if (!m_raw.isValid()) {
                    m_raw = runs[0].rawFont();
                    m_ascent = ascent;
                    m_descent = descent;
                }
                g.index = runs[0].glyphIndexes().first();
                g.advance = advance;
                g.overhang = natural - advance;
                const QRectF ink = m_raw.boundingRect(g.index);  // y downwards from the baseline
                g.inkAbove = std::max<qreal>(0, -ink.top());
                g.inkBelow = std::max<qreal>(0, ink.bottom());
                g.known = 1;
            }
        }
        return g.known == 1 ? &g : nullptr;
    }

    // Both characters are in the table's range (set() has found their
    // glyphs); each pair is shaped once and its answer kept in a flat table,
    // looked up for every neighbouring pair of every text painted.
    bool pairSetApart(QChar a, QChar b)
    {
        int8_t &known = m_pairs[size_t(a.unicode() - kFirst) * kCount + size_t(b.unicode() - kFirst)];
        if (known != 0)
            return known > 0;
        qreal advance = 0, natural = 0, ascent = 0, descent = 0;
        const QList<QGlyphRun> runs = shape(QString(a) + b, &advance, &natural, &ascent, &descent);
        const Glyph *ga = glyph(a), *gb = glyph(b);
        const bool apart = ga && gb && runs.size() == 1 && runs[0].rawFont() == m_raw
                           && runs[0].glyphIndexes() == QList<quint32>{ga->index, gb->index}
                           && runs[0].positions()
                                  == QList<QPointF>{QPointF(0, m_ascent), QPointF(ga->advance, m_ascent)}
                           && advance == ga->advance + gb->advance
                           && natural == ga->advance + gb->advance + gb->overhang;
        known = apart ? 1 : -1;
        return apart;
    }

    QFont m_font;
    const QPaintDevice *m_device = nullptr;  // only while set() runs
    QRawFont m_raw;
    qreal m_ascent = 0, m_descent = 0;
    std::array<Glyph, kCount> m_glyphs{};
    std::array<int8_t, kCount * kCount> m_pairs{};  // 0 not yet shaped, 1 set apart, -1 not
};

namespace {

// One table per font and resolution the boxes use (the plain and the bold
// font), kept as long as the application (the fonts' engines go with it).
MonitorGlyphTable &glyphTable(const QFont &font, const QPaintDevice *device)
{
    using Tables = QHash<QString, std::shared_ptr<MonitorGlyphTable>>;
    static Tables *tables = nullptr;
    if (!tables) {
        tables = new Tables;
        QObject::connect(QCoreApplication::instance(), &QObject::destroyed, [] {
            delete tables;
            tables = nullptr;
        });
    }
    const QString key = font.key() + QLatin1Char('@') + QString::number(device->logicalDpiX())
                        + QLatin1Char('x') + QString::number(device->logicalDpiY());
    auto &t = (*tables)[key];
    if (!t)
        t = std::make_shared<MonitorGlyphTable>(font);
    return *t;
}

// The glyphs of `table` set by MonitorGlyphTable::set, drawn with their
// top left at `at` in the painter's pen.
void drawTableGlyphs(QPainter &p, const QPointF &at, const MonitorGlyphTable &table,
                     const QList<quint32> &glyphs, const QList<QPointF> &positions)
{
    QGlyphRun run;
    run.setRawFont(table.rawFont());
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    p.drawGlyphRun(at, run);
}

// A change after which a widget's glyph table is found again: its font,
// its style or its screen.
bool changesGlyphTable(const QEvent *event)
{
    return event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange
           || event->type() == QEvent::ScreenChangeInternal;
}

} // namespace

// ---- ValueBox -------------------------------------------------------------------

ValueBox::ValueBox(QWidget *parent) : QLabel(parent) {}

bool ValueBox::plainBackground() const
{
    return autoFillBackground() && isPlain(palette().brush(backgroundRole()));
}

QRect ValueBox::textRect() const
{
    // Where QLabel lays out a plain text: the contents less the margin,
    // and, in a frame with no indent of its own, half an 'x' in from the
    // side the text is aligned to.
    QRect r = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const Qt::LayoutDirection dir = text().isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    const Qt::Alignment align = QStyle::visualAlignment(dir, alignment());
    int m = indent();
    if (m < 0 && frameWidth())
        m = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin();
    if (m > 0) {
        if (align & Qt::AlignLeft)
            r.setLeft(r.left() + m);
        if (align & Qt::AlignRight)
            r.setRight(r.right() - m);
        if (align & Qt::AlignTop)
            r.setTop(r.top() + m);
        if (align & Qt::AlignBottom)
            r.setBottom(r.bottom() - m);
    }
    return r;
}

ValueBox::BackgroundKey ValueBox::backgroundKey() const
{
    return {size(), frameStyle(), lineWidth(), midLineWidth(), frameRect(), palette().cacheKey(),
            palette().color(backgroundRole()).rgba(), isEnabled(), devicePixelRatio(), style()};
}

void ValueBox::updateOpaque()
{
    setAttribute(Qt::WA_OpaquePaintEvent, paintsOwnBackground());
}

bool ValueBox::paintsOwnBackground() const
{
    return plainBackground() && textFormat() == Qt::PlainText && pixmap().isNull() && !wordWrap();
}

void ValueBox::paintEvent(QPaintEvent *event)
{
    const bool own = paintsOwnBackground();
    if (!own) {
        if (testAttribute(Qt::WA_OpaquePaintEvent)) {
            // The background was not filled for this paint: have it
            // filled for the next.
            setAttribute(Qt::WA_OpaquePaintEvent, false);
            update();
        }
        QLabel::paintEvent(event);
        return;
    }
    // The pixmap covers the whole box: the background need not be filled.
    if (!testAttribute(Qt::WA_OpaquePaintEvent))
        setAttribute(Qt::WA_OpaquePaintEvent, true);
    const BackgroundKey key = backgroundKey();
    if (m_background.isNull() || !(key == m_backgroundKey)) {
        m_backgroundKey = key;
        m_background = QPixmap(size() * key.dpr);
        m_background.setDevicePixelRatio(key.dpr);
        m_background.fill(palette().color(backgroundRole()));
        QPainter bp(&m_background);
        drawFrame(&bp);
    }
    QPainter p(this);
    p.drawPixmap(0, 0, m_background);
    const QString &t = text();
    if (t.isEmpty())
        return;
    const Qt::LayoutDirection dir = t.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    const int flags = int(QStyle::visualAlignment(dir, alignment()))
                      | (dir == Qt::LeftToRight ? Qt::TextForceLeftToRight : Qt::TextForceRightToLeft);
    QStyleOption opt;
    opt.initFrom(this);
    const QRect r = textRect();
    if (!drawSetText(p, r, flags, opt.palette, t))
        style()->drawItemText(&p, r, flags, opt.palette, isEnabled(), t, foregroundRole());
}

bool ValueBox::drawSetText(QPainter &p, const QRect &r, int flags, const QPalette &palette,
                           const QString &t)
{
    // What the style's drawItemText does with a single line (the text of
    // the box, in the pen of its foreground role, placed by its alignment),
    // from the glyphs of the font's table. Anything else (other characters,
    // a centred text wider than the box) goes the style's way.
    if (t.size() > 64 || devicePixelRatio() != 1.0
        || style()->metaObject()->className() != QByteArrayView("QFusionStyle"))
        return false;
    if (!m_table)  // found again when the font or the screen changes
        m_table = &glyphTable(font(), this);
    MonitorGlyphTable &table = *m_table;
    // Placed by its advance; a text whose ink (natural width) or height
    // does not fit is clipped to the rectangle, as the style clips it (a
    // value too long for its box shows its leading digits cut off).
    qreal advance = 0, natural = 0;
    if (!table.set(t, this, m_glyphs, m_positions, advance, natural))
        return false;
    const bool clip = natural > r.width() || table.height() > r.height();
    // A centred text cut off on both sides is placed otherwise by the style
    // (seen in the counter): that one goes the style's way.
    if ((flags & Qt::AlignHCenter) && natural > r.width())
        return false;
    qreal xoff = 0, yoff = 0;
    if (flags & Qt::AlignRight)
        xoff = r.width() - advance;
    else if (flags & Qt::AlignHCenter)
        xoff = (r.width() - advance) / 2;
    if (flags & Qt::AlignBottom)
        yoff = r.height() - table.height();
    else if (flags & Qt::AlignVCenter)
        yoff = (r.height() - table.height()) / 2;
    const QPen saved = p.pen();
    if (clip) {
        p.save();
        p.setClipRect(r, Qt::IntersectClip);
    }
    p.setPen(QPen(palette.brush(foregroundRole()), saved.widthF()));
    drawTableGlyphs(p, QPointF(r.x() + xoff, r.y() + yoff), table, m_glyphs, m_positions);
    if (clip)
        p.restore();
    else
        p.setPen(saved);
    return true;
}

void ValueBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        updateOpaque();
    if (changesGlyphTable(event))
        m_table = nullptr;
    QLabel::changeEvent(event);
}

bool ValueBox::event(QEvent *event)
{
    if (changesGlyphTable(event))
        m_table = nullptr;
    return QLabel::event(event);
}

void ValueBox::showEvent(QShowEvent *event)
{
    updateOpaque();
    QLabel::showEvent(event);
}

// ---- RowDisplay -----------------------------------------------------------------

RowDisplay::RowDisplay(QWidget *parent) : QLineEdit(parent)
{
    auto *style = new PanelCacheStyle;
    style->setParent(this);
    setStyle(style);
}

void RowDisplay::updateOpaque()
{
    setAttribute(Qt::WA_OpaquePaintEvent, backgroundUnder(this) != nullptr);
}

void RowDisplay::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange)
        updateOpaque();
    if (changesGlyphTable(event))
        m_table = nullptr;
    QLineEdit::changeEvent(event);
}

bool RowDisplay::event(QEvent *event)
{
    if (changesGlyphTable(event))
        m_table = nullptr;
    return QLineEdit::event(event);
}

void RowDisplay::paintEvent(QPaintEvent *event)
{
    if (!paintSetText())
        QLineEdit::paintEvent(event);
}

bool RowDisplay::paintSetText()
{
    // The line edit lays out and shapes the whole row on every change and
    // measures it again on every paint, to draw the few dozen characters
    // the display shows. Here the shown part is set from the glyph table
    // instead, in the state the monitor leaves the display in; every other
    // state is the line edit's.
    const QString t = text();
    if (t.isEmpty() || t.size() > 4096 || cursorPosition() != 0 || hasSelectedText() || hasFocus()
        || echoMode() != Normal || !inputMask().isEmpty() || !actions().isEmpty()
        || alignment() != (Qt::AlignLeft | Qt::AlignVCenter)
        || layoutDirection() != Qt::LeftToRight || t.isRightToLeft() || devicePixelRatio() != 1.0
        || !styleSheet().isEmpty() || !qApp->styleSheet().isEmpty())
        return false;
    // A side widget (the clear button, an action's button) narrows the text.
    for (const QObject *child : children())
        if (child->isWidgetType())
            return false;
    if (!m_table)  // found again when the font or the screen changes
        m_table = &glyphTable(font(), this);
    qreal advance = 0, natural = 0, above = 0, below = 0;
    if (!m_table->set(t, this, m_glyphs, m_positions, advance, natural, &above, &below))
        return false;
    const QFontMetrics fm = fontMetrics();
    // The line's height is the font's unless the text's ink is taller; its
    // baseline the font's ascent.
    if (above + below >= fm.height() || qRound(m_table->ascent()) != fm.ascent())
        return false;
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this)
                        .marginsRemoved(textMargins());
    // The line edit's text line: two pixels in from each side, centred
    // upright in the contents.
    constexpr int kHorizontalMargin = 2;
    const int lineHeight = fm.height();
    const QRect line(r.x() + kHorizontalMargin, r.y() + (r.height() - lineHeight + 1) / 2,
                     r.width() - 2 * kHorizontalMargin, lineHeight);
    // A row that fits is placed by its bearings, and one only just wider by
    // the line edit's scrolling; a row clearly wider than the line, shown
    // from its start, begins at the line's left edge.
    const int slack = qMax(0, -fm.minLeftBearing()) + qMax(0, -fm.minRightBearing()) + 2 * lineHeight;
    if (qRound(natural) + 1 <= line.width() + slack)
        return false;
    // The glyphs up to a little past the right edge (their ink may reach
    // back into the line); the rest is clipped away in any case.
    const qreal reach = r.right() + 1 - line.x() + 2 * lineHeight;
    qsizetype shown = 0;
    while (shown < m_positions.size() && m_positions[shown].x() < reach)
        ++shown;
    m_glyphs.resize(shown);
    m_positions.resize(shown);

    QPainter p(this);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &p, this);
    p.setClipRect(r);
    p.setPen(palette().text().color());
    drawTableGlyphs(p, QPointF(line.topLeft()), *m_table, m_glyphs, m_positions);
    return true;
}

void RowDisplay::showEvent(QShowEvent *event)
{
    updateOpaque();
    QLineEdit::showEvent(event);
}
