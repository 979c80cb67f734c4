// RM Tool: engineering tool for the Relaymo Ethernet gateway.
#include "app/Forms.h"
#include "app/Settings.h"
#include "app/TfrmMain.h"
#include "app/Translation.h"
#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RMTool"));
    setProgramArguments(QCoreApplication::arguments());
    // The interface language is fixed before the first window is made.
    installTranslation(app, startupLanguage(settingsFilePath()));
    CreateAllForms();
    frmMain->show();
    const int rc = app.exec();
    DestroyAllForms();
    return rc;
}
