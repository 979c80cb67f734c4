#pragma once
// Test support: the one way tests reach a window's controls, by the
// objectName a user-facing control keeps. A missing control stops the test
// program with its name, so a renamed control cannot pass unnoticed.
#include <QFileDialog>
#include <QLineEdit>
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

// Chooses path in an open file dialog (Qt's own, as the tests run it) and
// accepts it. selectFile() leaves the file name box as it is while the box
// has the keyboard focus, which a shown dialog gives it once its window is
// activated, sooner or later; accept() would then open the folder and the
// dialog would stay open. The box is filled here in that case.
inline void chooseFile(QFileDialog *dialog, const QString &path)
{
    dialog->selectFile(path);
    if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
        if (name->text().isEmpty() || !path.endsWith(name->text()))
            name->setText(path);
    }
    static_cast<QDialog *>(dialog)->accept();
}

} // namespace controls
