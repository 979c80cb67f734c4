#pragma once
// Test support: the one way tests reach a window's controls, by the
// objectName a user-facing control keeps. A missing control stops the test
// program with its name, so a renamed control cannot pass unnoticed.
#include <QObject>
#include <QString>
#include <QtGlobal>

namespace controls {

template <class T> T *find(const QObject *window, const QString &name)
{
    if (!window)
        qFatal("no window to look for control %s in", qPrintable(name));
    T *w = window->findChild<T *>(name);
    if (!w)
        qFatal("no control %s of that type in %s", qPrintable(name),
               qPrintable(window->objectName()));
    return w;
}

template <class T> T *find(const QObject *window, const char *name)
{
    return find<T>(window, QLatin1String(name));
}

} // namespace controls
