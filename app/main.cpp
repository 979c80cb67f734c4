// RM Tool: engineering tool for the Relaymo Ethernet gateway.
#include "app/Forms.h"
#include "app/TfrmMain.h"
#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RMTool"));
    setProgramArguments(QCoreApplication::arguments());
    CreateAllForms();
    frmMain->show();
    const int rc = app.exec();
    DestroyAllForms();
    return rc;
}
