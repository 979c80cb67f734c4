#pragma once
// Where the windows open, relative to the main window.
class QWidget;

// A dialog at the main window's top + dy and left + dx.
void placeDialog(const QWidget *main, QWidget *dialog, int dx, int dy);
// A tool window with its top at the main window's top and its left at the
// main window's right edge + gap.
void placeBeside(const QWidget *main, QWidget *window, int gap);
// A resizable window placed as placeBeside does, then kept on the main
// window's screen: narrower (or lower) down to its minimum size where it
// would run past the edge, moved back only where that is not enough.
void placeBesideOnScreen(const QWidget *main, QWidget *window, int gap);
