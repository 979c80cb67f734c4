#pragma once
// The whole program for a fuzz target: a QApplication on the offscreen
// platform, all ten windows, a settings file and a log folder of their own
// in a temporary folder, and message boxes answered without a person.
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include "FuzzScratch.h"

class QApplication;
class QWidget;
class App;

namespace fuzz {

class App {
public:
    App(int *argc, char ***argv);
    App(const App &) = delete;
    App &operator=(const App &) = delete;

    QString logDir() const { return m_dir.filePath(QStringLiteral("log")); }
    // The program: its session and windows.
    ::App &program() const { return *m_program; }
    QWidget *gwcfg() const;
    QWidget *termset() const;
    // Removes what an input left in the log folder (auto-saved files), so
    // that every input starts with an empty folder.
    void afterInput();
    // Message boxes the program showed since the start.
    long long messageBoxes() const { return m_boxes; }

private:
    QApplication *m_app = nullptr;
    ::App *m_program = nullptr;
    QTemporaryDir m_dir{scratchTemplate()};
    long long m_boxes = 0;
};

// The named child, or the process ends: a target that silently lost a
// control would go on fuzzing nothing.
QObject *needObject(QObject *parent, const char *name);
template <class T> T *need(QObject *parent, const char *name)
{
    T *t = qobject_cast<T *>(needObject(parent, name));
    if (!t)
        qFatal("fuzz: %s is not of the expected class", name);
    return t;
}

} // namespace fuzz
