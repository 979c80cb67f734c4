// RM Tool: engineering tool for the Relaymo Ethernet gateway.
#include "app/CommandLine.h"
#include "app/App.h"
#include "app/Settings.h"
#include "app/SurveyRun.h"
#include "app/TfrmMain.h"
#include "app/Translation.h"
#include <QApplication>
#include <QGuiApplication>
#include <QTimer>
#include <cstdio>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// A Windows program started from a command prompt has no standard output or
// error of its own: the prompt's console takes --help, --version and the
// survey's line. Handles that exist already (redirected to a file or a pipe)
// stay as they are.
void reachParentConsole()
{
#ifdef Q_OS_WIN
    const auto missing = [](DWORD which) {
        const HANDLE h = GetStdHandle(which);
        return h == nullptr || h == INVALID_HANDLE_VALUE;
    };
    const bool out = missing(STD_OUTPUT_HANDLE), err = missing(STD_ERROR_HANDLE);
    if ((out || err) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (out)
            std::freopen("CONOUT$", "w", stdout);
        if (err)
            std::freopen("CONOUT$", "w", stderr);
    }
#endif
}

QtMessageHandler g_qtMessages = nullptr;

// Without windows the program speaks only through its exit status and one
// line on standard error: Qt's own notes and warnings (a missing runtime
// folder, the off-screen platform's remarks) are left out.
void onlyCriticalMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        g_qtMessages(type, context, text);
}

QStringList rawArguments(int argc, char *argv[])
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

// Help, version and errors are answered before any application object
// exists, so they need no display; true when the program should go on.
bool answeredWithoutWindows(const CommandLine &cl, int *rc)
{
    switch (cl.action) {
    case CommandLine::Action::Run:
        return false;
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        std::fputs(cl.text.toLocal8Bit().constData(), stdout);
        *rc = 0;
        return true;
    case CommandLine::Action::Error:
        std::fputs(("RMTool: " + cl.text).toLocal8Bit().constData(), stderr);
        *rc = kCommandLineErrorExit;
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    reachParentConsole();
    int rc = 0;
    const CommandLine first = parseCommandLine(rawArguments(argc, argv));
    if (answeredWithoutWindows(first, &rc))
        return rc;
    if (first.options.survey) {
        // No window and no display: the report's pages and pictures are
        // drawn off screen.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        g_qtMessages = qInstallMessageHandler(onlyCriticalMessages);
        QGuiApplication gapp(argc, argv);
        QGuiApplication::setApplicationName(QStringLiteral("RMTool"));
        QGuiApplication::setApplicationVersion(QStringLiteral(RMTOOL_VERSION));
        if (!first.options.settingsFile.isEmpty())
            setSettingsFilePathOverride(first.options.settingsFile);
        installTranslation(gapp, first.options.language.isEmpty() ? startupLanguage(settingsFilePath())
                                                                   : first.options.language);
        return runSurvey(first.options);
    }
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RMTool"));
    QApplication::setApplicationVersion(QStringLiteral(RMTOOL_VERSION));
    // Parsed again without the windowing system's own arguments (-platform,
    // -style...), which QApplication has taken out: they never name the table.
    const CommandLine cl = parseCommandLine(QCoreApplication::arguments());
    if (answeredWithoutWindows(cl, &rc))
        return rc;
    // The interface language is fixed before the first window is made:
    // --lang, else RMTOOL_LANG or the setting WINDOW lang of the settings
    // file in use (--settings included).
    if (!cl.options.settingsFile.isEmpty())
        setSettingsFilePathOverride(cl.options.settingsFile);
    installTranslation(qapp, cl.options.language.isEmpty() ? startupLanguage(settingsFilePath())
                                                           : cl.options.language);
    App rmtool(cl.options);
    rmtool.mainWindow()->show();
    QTimer::singleShot(0, &rmtool, [&rmtool, &cl] { rmtool.start(cl.options); });
    rc = qapp.exec();
    return rc;
}
