// The monitor's displays that change with every answer: the value boxes
// and counters (labels) and the row display (a line edit). They look and
// behave exactly as the plain QLabel and QLineEdit they are, and only paint
// for less: what stays the same from one answer to the next (the box's
// background and frame, the row display's rounded panel) is drawn once into
// a pixmap and copied from then on.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPixmap>
#include <QPointF>

class MonitorGlyphTable;

// A label with a plain background (autoFillBackground on a solid colour):
// paints the background and its frame from a pixmap made once per size,
// palette, frame and enabled state, and the text over it where QLabel puts
// it. A number or other short ASCII text is set from the font's glyphs,
// each character and each pair of them shaped once, instead of shaping
// every new text again; any other text is drawn by the style as QLabel
// draws it. Opaque, so that the parent is not painted again under it. A
// box without a plain background paints as a QLabel.
class ValueBox : public QLabel {
    Q_OBJECT
public:
    explicit ValueBox(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct BackgroundKey {
        QSize size;
        int frameStyle = 0, lineWidth = 0, midLineWidth = 0;
        QRect frameRect;
        qint64 palette = 0;
        QRgb colour = 0;
        bool enabled = false;
        qreal dpr = 0;
        const QStyle *style = nullptr;
        bool operator==(const BackgroundKey &) const = default;
    };
    bool plainBackground() const;
    bool paintsOwnBackground() const;
    void updateOpaque();
    BackgroundKey backgroundKey() const;
    QRect textRect() const;
    bool drawSetText(QPainter &p, const QRect &r, int flags, const QPalette &palette,
                     const QString &t);

    QPixmap m_background;  // background and frame, made for m_backgroundKey
    BackgroundKey m_backgroundKey;
    MonitorGlyphTable *m_table = nullptr;  // the glyphs of the box's font
    QList<quint32> m_glyphs;      // the text's glyphs when set from the font's table
    QList<QPointF> m_positions;
};

// The row display: a line edit whose panel (Fusion's antialiased rounded
// rectangle) comes from a pixmap made once per size, state and palette,
// over the parent's plain background, so that the widget is opaque. A row
// longer than the display, shown from its start as the monitor shows it
// (cursor at 0, nothing selected, no cursor drawn), is drawn from the
// font's glyph table as far as the display reaches, at the places the line
// edit's own layout gives those characters; anything else the line edit
// draws itself.
class RowDisplay : public QLineEdit {
    Q_OBJECT
public:
    explicit RowDisplay(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void updateOpaque();
    bool paintSetText();

    MonitorGlyphTable *m_table = nullptr;  // the glyphs of the display's font
    QList<quint32> m_glyphs;
    QList<QPointF> m_positions;
};
