// The conversion table: the comma-text split of a line, the loader's line
// rules and failures, files, and the file menu item that loads a table.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "monitor/ConversionTable.h"
#include "support/AppFixture.h"
#include "support/MonitorControls.h"
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QAction>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

bool isDefault(const ConversionTable &t, int c)
{
    const ConversionEntry &e = t.entry(c);
    return e.number == c && e.gain == 0.1f && e.offset == 0.0f;
}

} // namespace

class TestConvTable : public QObject {
    Q_OBJECT
private slots:
    void splitCommaText_data();
    void splitCommaText();
    void lineRules();
    void failureStopsAtLine_data();
    void failureStopsAtLine();
    void acceptsAtMost512Lines();
    void secondLoadAddsToFirst();
    void emptyAndMissingFiles();
    void menuItemLoadsChosenFile();
};

void TestConvTable::splitCommaText_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("commas") << "12,1.5,-3" << QStringList{"12", "1.5", "-3"};
    QTest::newRow("blanks") << "12 1.5 -3" << QStringList{"12", "1.5", "-3"};
    QTest::newRow("tabs and blanks around commas") << "\t 12 ,\t1.5 , -3  "
                                                   << QStringList{"12", "1.5", "-3"};
    QTest::newRow("empty field between commas") << "a,,b" << QStringList{"a", "", "b"};
    QTest::newRow("blank then comma is one separator") << "a ,b" << QStringList{"a", "b"};
    QTest::newRow("trailing comma adds nothing") << "a," << QStringList{"a"};
    QTest::newRow("leading comma gives empty first") << ",5,1" << QStringList{"", "5", "1"};
    QTest::newRow("quoted with blank and comma") << "\"a b,c\",2" << QStringList{"a b,c", "2"};
    QTest::newRow("doubled quote") << "\"say \"\"hi\"\"\",x" << QStringList{"say \"hi\"", "x"};
    QTest::newRow("unterminated quote runs to end") << "\"abc, d" << QStringList{"abc, d"};
    QTest::newRow("comment marker alone") << "# table" << QStringList{"#", "table"};
    QTest::newRow("comment marker glued") << "#note" << QStringList{"#note"};
    QTest::newRow("NUL ends the line") << QString::fromUtf16(u"1,2\0,3", 6) << QStringList{"1", "2"};
    QTest::newRow("only blanks") << " \t " << QStringList{};
}

void TestConvTable::splitCommaText()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    QCOMPARE(SplitCommaText(line), fields);
}

void TestConvTable::lineRules()
{
    ConversionTable t;
    const auto r = t.load(QStringLiteral("# table for word 0\r\n"
                                         "1,2.0,-10\r\n"
                                         "\r\n"
                                         "   \r\n"
                                         "2 0.5 0\r\n"
                                         "#, comma after the marker\r\n"
                                         ",7,7\r\n"          // empty first field: skipped
                                         "513,1,0\r\n"       // out of range: skipped
                                         "0,1,0\r\n"
                                         "9 1e2 -2.5E-1 extra fields\r\n"
                                         "\"10\",\"3\",\"4\"\r\n"
                                         "2,0.25,1"));       // later line replaces, no line end
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.accepted, 5);
    QCOMPARE(t.entry(1).gain, 2.0f);
    QCOMPARE(t.entry(1).offset, -10.0f);
    QCOMPARE(t.entry(2).gain, 0.25f);
    QCOMPARE(t.entry(2).offset, 1.0f);
    QCOMPARE(t.entry(9).gain, 100.0f);
    QCOMPARE(t.entry(9).offset, -0.25f);
    QCOMPARE(t.entry(10).gain, 3.0f);
    QCOMPARE(t.entry(10).offset, 4.0f);
    QVERIFY(isDefault(t, 7));
    QVERIFY(isDefault(t, 512));
    QVERIFY(isDefault(t, 3));
}

void TestConvTable::failureStopsAtLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("bad");
    QTest::addColumn<float>("gain5");    // entry 5 after the load
    QTest::addColumn<float>("offset5");
    // Every case sets entry 3 first; it must stay loaded.
    QTest::newRow("comment without blank") << "3,4,4\n#note\n5,9,9" << 2 << "#note" << 0.1f << 0.0f;
    QTest::newRow("header word") << "3,4,4\nch,gain,offset\n5,9,9" << 2 << "ch" << 0.1f << 0.0f;
    QTest::newRow("number with fraction") << "3,4,4\n5.0,9,9" << 2 << "5.0" << 0.1f << 0.0f;
    QTest::newRow("bad gain") << "3,4,4\n5,x,9" << 2 << "x" << 0.1f << 0.0f;
    QTest::newRow("missing gain") << "3,4,4\n5" << 2 << "" << 0.1f << 0.0f;
    QTest::newRow("bad offset keeps gain") << "3,4,4\n5,9,1..2" << 2 << "1..2" << 9.0f << 0.0f;
    QTest::newRow("missing offset keeps gain") << "3,4,4\n5 9" << 2 << "" << 9.0f << 0.0f;
    QTest::newRow("gain beyond single precision") << "3,4,4\n5,1e39,0" << 2 << "1e39" << 0.1f << 0.0f;
    QTest::newRow("line numbers count skipped lines") << "3,4,4\n# c\n\n5,9,z" << 4 << "z" << 9.0f << 0.0f;
}

void TestConvTable::failureStopsAtLine()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QString, bad);
    QFETCH(float, gain5);
    QFETCH(float, offset5);
    ConversionTable t;
    const auto r = t.load(text);
    QVERIFY(!r.ok);
    QCOMPARE(r.line, line);
    QVERIFY2(r.error.contains(u'\'' + bad + u'\''), qPrintable(r.error));
    QCOMPARE(t.entry(3).gain, 4.0f);
    QCOMPARE(t.entry(5).gain, gain5);
    QCOMPARE(t.entry(5).offset, offset5);
}

void TestConvTable::acceptsAtMost512Lines()
{
    // 600 valid lines: entries 1..512 from the first 512 lines, then lines
    // for 1..88 again, which must not be read.
    QString text;
    for (int i = 0; i < 600; ++i)
        text += QStringLiteral("%1,%2,0\n").arg(i % 512 + 1).arg(i < 512 ? 1 : 7);
    ConversionTable t;
    const auto r = t.load(text);
    QVERIFY(r.ok);
    QCOMPARE(r.accepted, 512);
    for (int c = 1; c <= 512; ++c)
        QCOMPARE(t.entry(c).gain, 1.0f);

    // Skipped lines do not count towards the 512.
    QString skipped = QStringLiteral("# head\n");
    for (int i = 0; i < 600; ++i)
        skipped += QStringLiteral("600,5,5\n");
    skipped += QStringLiteral("4,3,3\n");
    ConversionTable u;
    QVERIFY(u.load(skipped).ok);
    QCOMPARE(u.entry(4).gain, 3.0f);
}

void TestConvTable::secondLoadAddsToFirst()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.cfg")), b = dir.filePath(QStringLiteral("b.cfg"));
    writeFile(a, "5,2,1\r\n");
    writeFile(b, "6 3 -1\r\n");
    ConversionTable t;
    QVERIFY(t.loadFile(a).ok);
    QVERIFY(t.loadFile(b).ok);
    QCOMPARE(t.entry(5).gain, 2.0f);
    QCOMPARE(t.entry(5).offset, 1.0f);
    QCOMPARE(t.entry(6).gain, 3.0f);
    QCOMPARE(t.entry(6).offset, -1.0f);
}

void TestConvTable::emptyAndMissingFiles()
{
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("empty.cfg"));
    writeFile(empty, "");
    ConversionTable t;
    t.entry(8).gain = 5.0f;
    auto r = t.loadFile(empty);
    QVERIFY(r.ok);
    QCOMPARE(r.accepted, 0);
    QCOMPARE(t.entry(8).gain, 5.0f);

    r = t.loadFile(dir.filePath(QStringLiteral("missing.cfg")));
    QVERIFY(!r.ok);
    QVERIFY(r.error.contains(QStringLiteral("missing.cfg")));
    QCOMPARE(t.entry(8).gain, 5.0f);
    QVERIFY(isDefault(t, 1));
}

void TestConvTable::menuItemLoadsChosenFile()
{
    AppFixture fx(false);
    const QString good = QDir(fx.dir()).filePath(QStringLiteral("good.cfg"));
    const QString bad = QDir(fx.dir()).filePath(QStringLiteral("bad.cfg"));
    writeFile(good, "# table\r\n1,2.0,-10\r\n2 0.5 0\r\n");
    writeFile(bad, "3,4,4\r\nwrong,1,1\r\n4,4,4\r\n");

    auto chooseInOpenDialog = [](const QString &path) {
        QTimer::singleShot(0, [path] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(dialog->nameFilters().contains(QStringLiteral("コンフィグファイル (*.cfg)")));
            QVERIFY(dialog->nameFilters().contains(QStringLiteral("全てのファイル (*.*)")));
            controls::chooseFile(dialog, path);
        });
    };
    chooseInOpenDialog(good);
    child<QAction>("N9")->trigger();
    QCOMPARE(appSession->conversionTable().entry(1).gain, 2.0f);
    QCOMPARE(appSession->conversionTable().entry(1).offset, -10.0f);
    QCOMPARE(appSession->conversionTable().entry(2).gain, 0.5f);
    QVERIFY(fx.messages.isEmpty());

    chooseInOpenDialog(bad);
    child<QAction>("N9")->trigger();
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(fx.messages[0].kind, msg::Kind::Error);
    QVERIFY(fx.messages[0].text.contains(QStringLiteral("'wrong'")));
    QCOMPARE(appSession->conversionTable().entry(3).gain, 4.0f);   // before the bad line
    QVERIFY(isDefault(appSession->conversionTable(), 4));         // after it
    QCOMPARE(appSession->conversionTable().entry(1).gain, 2.0f);  // from the first load

    // Cancelling the dialog loads nothing and reports nothing.
    QTimer::singleShot(0, [] {
        if (auto *dialog = QApplication::activeModalWidget())
            qobject_cast<QDialog *>(dialog)->reject();
    });
    child<QAction>("N9")->trigger();
    QCOMPARE(fx.messages.size(), 1);
}

QTEST_MAIN(TestConvTable)
#include "test_convtable.moc"
