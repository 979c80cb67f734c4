// The settings file: private-profile semantics, defaults, strict numbers.
#include "app/IniFile.h"
#include "app/Settings.h"
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A key of our own stays in its section, after the Windows tool's own keys,
// and is in the file only as `saved` says ("" = not at all).
void checkModbusSection(const QByteArray &text, const char *key, const QByteArray &saved)
{
    const qsizetype modbus = text.indexOf("[MODBUS]");
    const QByteArray section = text.mid(modbus, text.indexOf('[', modbus + 1) - modbus);
    QVERIFY(section.startsWith("[MODBUS]\r\nhost=127.0.0.1\r\nport=502\r\n"));
    if (saved.isEmpty())
        QVERIFY(!text.toLower().contains(key));
    else
        QVERIFY2(section.endsWith(saved), section.constData());
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void defaultsWithoutFile();
    void windowsFileReadsBack();
    void numbersThatDoNotConvertKeepDefaults_data();
    void numbersThatDoNotConvertKeepDefaults();
    void saveWritesAllKeysInOrder();
    void saveKeepsForeignLinesAndRoundTrips();
    void iniWriteIntoExistingSection();
    void responseTimeout_data();
    void responseTimeout();
    void reconnectOption_data();
    void reconnectOption();
};

void TestSettings::defaultsWithoutFile()
{
    QTemporaryDir dir;
    const AppSettings s = AppSettings::load(dir.filePath(QStringLiteral("none.ini")));
    QCOMPARE(s.windowTop, 50);
    QCOMPARE(s.windowLeft, 100);
    QCOMPARE(s.modbusPort, QStringLiteral("502"));
    QCOMPARE(s.ftpPort, QStringLiteral("21"));
    QCOMPARE(s.ftpPass, QStringLiteral("qzvx"));
    QCOMPARE(s.modbusHost, QStringLiteral("192.168.1.200"));
    QCOMPARE(s.ftpHost, s.modbusHost);
    QCOMPARE(s.terminalType, 0);
    QCOMPARE(s.wordOrderSwap, 0);
    QVERIFY(s.logDir.endsWith(u'/') || s.logDir.endsWith(u'\\'));
}

void TestSettings::windowsFileReadsBack()
{
    // As the Windows profile functions write and read it: CR LF, sections and
    // keys in any case, blanks around '=', a quoted value, a comment.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RMTool.ini"));
    writeBytes(path,
               "; written on site\r\n"
               "[window]\r\nTOP=120\r\nleft = 340\r\n"
               "[Modbus]\r\nHost=10.1.2.3\r\nPort=1502\r\n"
               "[FTP]\r\nhost=10.1.2.4\r\nport=2121\r\nuser=\"admin\"\r\npass=secret\r\n"
               "[LOG]\r\nheader=3\r\ndatatype=1\r\nratio=1\r\ndir=D:\\logs\\\r\n"
               "[ADDRESS]\r\nw0=12\r\nb0=200\r\n"
               "[TERM]\r\ntype=3\r\n[WATTOR]\r\nTYPE=2\r\n[data32]\r\nswap=1\r\n");
    const AppSettings s = AppSettings::load(path);
    QCOMPARE(s.windowTop, 120);
    QCOMPARE(s.windowLeft, 340);
    QCOMPARE(s.modbusHost, QStringLiteral("10.1.2.3"));
    QCOMPARE(s.modbusPort, QStringLiteral("1502"));
    QCOMPARE(s.ftpHost, QStringLiteral("10.1.2.4"));
    QCOMPARE(s.ftpPort, QStringLiteral("2121"));
    QCOMPARE(s.ftpUser, QStringLiteral("admin"));
    QCOMPARE(s.ftpPass, QStringLiteral("secret"));
    QCOMPARE(s.logHeaderMode, 3);
    QCOMPARE(s.logValueType, 1);
    QCOMPARE(s.logScale, 1);
    QCOMPARE(s.logDir, QStringLiteral("D:\\logs\\"));  // backslashes are not escapes
    QCOMPARE(s.wordAddress, 12);
    QCOMPARE(s.bitAddress, 200);
    QCOMPARE(s.terminalType, 3);
    QCOMPARE(s.powerTerminalKind, 2);
    QCOMPARE(s.wordOrderSwap, 1);
}

void TestSettings::numbersThatDoNotConvertKeepDefaults_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("letters") << QByteArray("Top=abc");
    QTest::newRow("real") << QByteArray("Top=12.5");
    QTest::newRow("hex") << QByteArray("Top=0x20");
    QTest::newRow("empty") << QByteArray("Top=");
    QTest::newRow("trailing text") << QByteArray("Top=70px");
}

void TestSettings::numbersThatDoNotConvertKeepDefaults()
{
    QFETCH(QByteArray, line);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RMTool.ini"));
    writeBytes(path, "[WINDOW]\r\n" + line + "\r\nLeft=7\r\n[MODBUS]\r\nport=five\r\n");
    const AppSettings s = AppSettings::load(path);
    QCOMPARE(s.windowTop, 50);
    QCOMPARE(s.windowLeft, 7);
    QCOMPARE(s.modbusPort, QStringLiteral("502"));
}

void TestSettings::saveWritesAllKeysInOrder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RMTool.ini"));
    AppSettings s;
    s.logDir = QStringLiteral("C:\\");
    QVERIFY(s.save(path));
    const QByteArray text = readBytes(path);
    const QByteArray expected =
        "[WINDOW]\r\nTop=50\r\nLeft=100\r\n"
        "[MODBUS]\r\nhost=192.168.1.200\r\nport=502\r\n"
        "[FTP]\r\nhost=192.168.1.200\r\nport=21\r\nuser=relaymo\r\npass=qzvx\r\n"
        "[LOG]\r\nheader=0\r\ndatatype=0\r\nratio=0\r\ndir=C:\\\r\n"
        "[ADDRESS]\r\nw0=0\r\nb0=0\r\n[TERM]\r\ntype=0\r\n[Wattor]\r\ntype=0\r\n[DATA32]\r\nswap=0\r\n";
    QCOMPARE(text, expected);
}

void TestSettings::saveKeepsForeignLinesAndRoundTrips()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RMTool.ini"));
    writeBytes(path, "[Extra]\r\nkeep=me\r\n[window]\r\ntop=1\r\n; note\r\n");
    AppSettings s = AppSettings::load(path);
    s.windowTop = 77;
    s.modbusHost = QStringLiteral("127.0.0.1");
    s.ftpPass = QStringLiteral("p=a;s s");
    s.wordOrderSwap = 1;
    QVERIFY(s.save(path));
    const QByteArray text = readBytes(path);
    QVERIFY(text.startsWith("[Extra]\r\nkeep=me\r\n[window]\r\nTop=77\r\n"));
    QVERIFY(!text.contains("top=1"));
    QVERIFY(text.contains("; note\r\n"));
    const AppSettings back = AppSettings::load(path);
    QCOMPARE(back.windowTop, 77);
    QCOMPARE(back.modbusHost, QStringLiteral("127.0.0.1"));
    QCOMPARE(back.ftpPass, QStringLiteral("p=a;s s"));
    QCOMPARE(back.wordOrderSwap, 1);
}

void TestSettings::responseTimeout_data()
{
    // The file as found, the value set before saving, what is read, and the
    // timeout line the saved file holds ("" = none).
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("read");
    QTest::addColumn<QByteArray>("saved");
    const QByteArray head = "[MODBUS]\r\nhost=127.0.0.1\r\nport=502\r\n";
    QTest::newRow("no key reads 1000, saved without it") << head << 1000 << 1000 << QByteArray();
    QTest::newRow("key read") << head + "timeout=250\r\n" << 250 << 250 << QByteArray("timeout=250\r\n");
    QTest::newRow("changed back to 1000 is written") << head + "Timeout=250\r\n" << 1000 << 250
                                                     << QByteArray("timeout=1000\r\n");
    QTest::newRow("new value added") << head << 3000 << 1000 << QByteArray("timeout=3000\r\n");
    QTest::newRow("not a number keeps 1000") << head + "timeout=1s\r\n" << 1000 << 1000
                                             << QByteArray("timeout=1000\r\n");
    QTest::newRow("0 keeps 1000") << head + "timeout=0\r\n" << 1000 << 1000
                                  << QByteArray("timeout=1000\r\n");
}

void TestSettings::responseTimeout()
{
    QFETCH(QByteArray, file);
    QFETCH(int, set);
    QFETCH(int, read);
    QFETCH(QByteArray, saved);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RMTool.ini"));
    writeBytes(path, file);
    AppSettings s = AppSettings::load(path);
    QCOMPARE(s.responseTimeoutMs, read);
    s.responseTimeoutMs = set;
    QVERIFY(s.save(path));
    const QByteArray text = readBytes(path);
    // The key stays in its section, after the Windows tool's own keys.
    const qsizetype modbus = text.indexOf("[MODBUS]");
    const QByteArray section = text.mid(modbus, text.indexOf('[', modbus + 1) - modbus);
    QVERIFY(section.startsWith("[MODBUS]\r\nhost=127.0.0.1\r\nport=502\r\n"));
    if (saved.isEmpty())
        QVERIFY(!text.toLower().contains("timeout"));
    else
        QVERIFY2(section.endsWith(saved), section.constData());
    QCOMPARE(AppSettings::load(path).responseTimeoutMs, saved.isEmpty() ? 1000 : set);
}

void TestSettings::reconnectOption_data()
{
    // The file as found, the value set before saving, what is read, and the
    // reconnect line the saved file holds ("" = none).
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("read");
    QTest::addColumn<QByteArray>("saved");
    const QByteArray head = "[MODBUS]\r\nhost=127.0.0.1\r\nport=502\r\n";
    QTest::newRow("no key reads off, saved without it") << head << 0 << 0 << QByteArray();
    QTest::newRow("switched on") << head << 1 << 0 << QByteArray("reconnect=1\r\n");
    QTest::newRow("on read") << head + "Reconnect=1\r\n" << 1 << 1 << QByteArray("reconnect=1\r\n");
    QTest::newRow("switched off is written") << head + "reconnect=1\r\n" << 0 << 1
                                             << QByteArray("reconnect=0\r\n");
    QTest::newRow("not a number reads off") << head + "reconnect=yes\r\n" << 0 << 0
                                            << QByteArray("reconnect=0\r\n");
    QTest::newRow("any other number reads on") << head + "reconnect=2\r\n" << 1 << 1
                                               << QByteArray("reconnect=1\r\n");
}

void TestSettings::reconnectOption()
{
    QFETCH(QByteArray, file);
    QFETCH(int, set);
    QFETCH(QByteArray, saved);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RMTool.ini"));
    writeBytes(path, file);
    AppSettings s = AppSettings::load(path);
    QTEST(s.modbusReconnect, "read");
    s.modbusReconnect = set;
    QVERIFY(s.save(path));
    checkModbusSection(readBytes(path), "reconnect", saved);
    QCOMPARE(AppSettings::load(path).modbusReconnect, set);
}

void TestSettings::iniWriteIntoExistingSection()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    writeBytes(path, "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    IniFile ini(path);
    ini.load();
    ini.writeString(QStringLiteral("a"), QStringLiteral("Z"), QStringLiteral("3"));
    ini.writeString(QStringLiteral("b"), QStringLiteral("Y"), QStringLiteral("4"));
    QVERIFY(ini.save());
    QCOMPARE(readBytes(path), QByteArray("[A]\r\nx=1\r\nZ=3\r\n\r\n[B]\r\nY=4\r\n"));
    IniFile back(path);
    back.load();
    QCOMPARE(back.readString(QStringLiteral("A"), QStringLiteral("z"), QString()), QStringLiteral("3"));
    QCOMPARE(back.readString(QStringLiteral("C"), QStringLiteral("z"), QStringLiteral("d")),
             QStringLiteral("d"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
