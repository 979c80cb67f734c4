// The monitor's displays that change with every answer: the value boxes
// and counters (labels) and the row display (a line edit). They are the
// plain QLabel and QLineEdit, painted by them; the types exist so that the
// main window's form names them and a test can tell them apart.
//
// What keeps them cheap is the ordinary part, set up by the window: a box
// fills its own plain background (autoFillBackground on a solid colour), so
// Qt counts it opaque and never paints the group box under it again; every
// busy box has a fixed size, so a new text repaints the box alone and never
// lays the window out again; QLabel::setText does nothing for the text the
// box already shows, so an answer repaints only the boxes it changed.
#pragma once

#include <QLabel>
#include <QLineEdit>

// A value box, header word or counter of the monitor.
class ValueBox : public QLabel {
    Q_OBJECT
public:
    explicit ValueBox(QWidget *parent = nullptr);
};

// The row display: the last row, shown from its start.
class RowDisplay : public QLineEdit {
    Q_OBJECT
public:
    explicit RowDisplay(QWidget *parent = nullptr);
};
