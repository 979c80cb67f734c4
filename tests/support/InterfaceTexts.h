#pragma once
// Test support: every text a window shows (titles, labels, buttons, group
// boxes, tabs, combo items, table headers, tool tips, menus and actions),
// whether a text holds Japanese, and whether a text fits its control.
#include <QList>
#include <QString>

class QWidget;

struct ShownText {
    QString where;  // window / control objectName / what
    QString text;
};

// True when text holds a character of the CJK or kana ranges (CJK
// punctuation, hiragana, katakana, CJK ideographs, full-width and
// half-width forms).
bool hasJapanese(const QString &text);

// The texts of window and of all its children, hidden ones included, with
// its actions and menus.
QList<ShownText> textsOf(QWidget *window);

// The visible controls of window whose text does not fit: text width by
// the control's font metrics plus its frame, margins and indicator against
// the control's width (a word-wrapped label against its height).
QList<ShownText> cutOffTextsOf(QWidget *window);

// The windows of the program: frmMain and every window among its children,
// in creation order.
QList<QWidget *> programWindows();
