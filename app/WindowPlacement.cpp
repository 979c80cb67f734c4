#include "app/WindowPlacement.h"
#include <QScreen>
#include <QWidget>
#include <algorithm>

void placeDialog(const QWidget *main, QWidget *dialog, int dx, int dy)
{
    dialog->move(main->x() + dx, main->y() + dy);
}

void placeBeside(const QWidget *main, QWidget *window, int gap)
{
    window->move(main->x() + main->frameGeometry().width() + gap, main->y());
}

void placeBesideOnScreen(const QWidget *main, QWidget *window, int gap)
{
    placeBeside(main, window, gap);
    const QScreen *s = main->screen();
    if (!s)
        return;
    const QRect avail = s->availableGeometry();
    // A window not shown yet has no frame of its own: take the main window's.
    const int frameW = main->frameGeometry().width() - main->width();
    const int frameH = main->frameGeometry().height() - main->height();
    const auto fit = [](int pos, int size, int minSize, int frame, int first, int end) {
        size = std::clamp(end - pos - frame, minSize, std::max(minSize, size));
        pos = std::max(first, std::min(pos, end - size - frame));
        return std::pair{pos, size};
    };
    const QSize least = window->minimumSize().expandedTo(window->minimumSizeHint());
    const auto [x, w] = fit(window->x(), window->width(), least.width(), frameW, avail.left(), avail.right() + 1);
    const auto [y, h] = fit(window->y(), window->height(), least.height(), frameH, avail.top(), avail.bottom() + 1);
    window->resize(w, h);
    window->move(x, y);
}
