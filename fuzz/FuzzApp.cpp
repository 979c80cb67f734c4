#include "FuzzApp.h"
#include "app/App.h"
#include "app/MessageBoxes.h"
#include "app/Settings.h"
#include "app/TfrmMain.h"
#include "termset/TfrmWattorSet.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include <QApplication>
#include <QDir>
#include <cstdlib>

namespace fuzz {

App::App(int *argc, char ***argv)
{
    // No display: the program's windows are drawn into memory.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    m_app = new QApplication(*argc, *argv);
    QApplication::setApplicationName(QStringLiteral("RMTool"));
    QGuiApplication::setQuitOnLastWindowClosed(false);
    if (!m_dir.isValid() || !QDir().mkpath(logDir()))
        qFatal("fuzz: no temporary folder");
    setSettingsFilePathOverride(m_dir.filePath(QStringLiteral("RMTool.ini")));
    // Every box is answered at once with No (a question) or OK.
    msg::setMessageBoxHook([this](const msg::Shown &) {
        ++m_boxes;
        return false;
    });
    m_program = new ::App;
}

QWidget *App::gwcfg() const
{
    return m_program->settingsDialog();
}

QWidget *App::termset() const
{
    return m_program->terminalSettings();
}

void App::afterInput()
{
    QDir dir(logDir());
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(name);
}

QObject *needObject(QObject *parent, const char *name)
{
    QObject *o = parent->findChild<QObject *>(QLatin1String(name));
    if (!o)
        qFatal("fuzz: no control %s", name);
    return o;
}

} // namespace fuzz
