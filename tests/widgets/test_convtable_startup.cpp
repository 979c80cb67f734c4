// A conversion table named as the first command-line argument is loaded at
// the end of the main window's creation, after the defaults; a bad line is
// reported and the tool starts with what was read before it.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "support/AppFixture.h"
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString g_tablePath;
}

class TestConvTableStartup : public QObject {
    Q_OBJECT
private slots:
    void firstArgumentIsLoaded();
};

void TestConvTableStartup::firstArgumentIsLoaded()
{
    QCOMPARE(QCoreApplication::arguments().value(1), g_tablePath);
    AppFixture fx(false, {}, parseCommandLine(QCoreApplication::arguments()).options);
    const ConversionTable &t = appSession->conversionTable();
    QCOMPARE(t.entry(9).gain, 2.0f);
    QCOMPARE(t.entry(9).offset, -5.0f);
    QCOMPARE(t.entry(10).gain, 0.5f);
    // The line after the bad one was not read; untouched entries keep the
    // defaults that were in place before the file.
    QCOMPARE(t.entry(11).gain, 0.1f);
    QCOMPARE(t.entry(1).gain, 0.1f);
    QCOMPARE(t.entry(512).number, 512);
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(fx.messages[0].kind, msg::Kind::Error);
    QVERIFY2(fx.messages[0].text.contains(QStringLiteral("'x'")), qPrintable(fx.messages[0].text));
}

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    g_tablePath = dir.filePath(QStringLiteral("start.cfg"));
    {
        QFile f(g_tablePath);
        if (!f.open(QIODevice::WriteOnly))
            return 2;
        f.write("# start-up table\r\n9,2,-5\r\n10 0.5 0\r\n11,x,0\r\n12,3,3\r\n");
    }
    // The application sees the table as its first argument; the test
    // runner itself gets only the program name and any options given.
    QByteArray table = g_tablePath.toLocal8Bit();
    int appArgc = 2;
    char *appArgv[] = {argv[0], table.data(), nullptr};
    QApplication app(appArgc, appArgv);
    TestConvTableStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_convtable_startup.moc"
