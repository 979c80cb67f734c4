// Address and area tables of the gateway tools, and the value conversion of
// the arbitrary write tool.
#include "tools/ladder/LadderAddress.h"
#include "tools/writetool/WriteAreas.h"
#include <QTest>

class TestToolsTables : public QObject {
    Q_OBJECT
private slots:
    void areaDescription_data();
    void areaDescription();
    void writeValue_data();
    void writeValue();
    void ladderReference_data();
    void ladderReference();
};

void TestToolsTables::areaDescription_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("name");
    QTest::newRow("below bit bus") << 41024 << "";
    QTest::newRow("bit bus first") << 41025 << "ﾋﾞｯﾄﾊﾞｽ出力";
    QTest::newRow("bit bus last") << 41040 << "ﾋﾞｯﾄﾊﾞｽ出力";
    QTest::newRow("gap after bit bus") << 41041 << "";
    QTest::newRow("word bus first") << 41057 << "ﾜｰﾄﾞﾊﾞｽ出力";
    QTest::newRow("word bus last") << 41120 << "ﾜｰﾄﾞﾊﾞｽ出力";
    QTest::newRow("gap after word bus") << 41121 << "";
    QTest::newRow("error reset") << 41203 << "ｴﾗｰﾘｾｯﾄ";
    QTest::newRow("restart") << 41204 << "再起動[1],ｻｲｼﾞﾝｸﾞ[2]";
    QTest::newRow("after restart") << 41205 << "";
    QTest::newRow("extended first") << 41281 << "拡張ﾜｰﾄﾞﾊﾞｽ出力  0:0";
    QTest::newRow("extended 2:3") << 41300 << "拡張ﾜｰﾄﾞﾊﾞｽ出力  2:3";
    QTest::newRow("extended last") << 41792 << "拡張ﾜｰﾄﾞﾊﾞｽ出力  63:7";
    QTest::newRow("nvram first") << 41793 << "ﾜｰｸｴﾘｱ(NVRAM)";
    QTest::newRow("nvram last") << 42816 << "ﾜｰｸｴﾘｱ(NVRAM)";
    QTest::newRow("ladder reserved") << 42817 << "ﾗﾀﾞｰﾒﾓﾘ(予約)";
    QTest::newRow("ladder reserved last") << 42848 << "ﾗﾀﾞｰﾒﾓﾘ(予約)";
    QTest::newRow("32-bit work first") << 42849 << "32ﾋﾞｯﾄﾜｰｸｴﾘｱ(RAM)";
    QTest::newRow("32-bit work last") << 46976 << "32ﾋﾞｯﾄﾜｰｸｴﾘｱ(RAM)";
    QTest::newRow("past the work") << 46977 << "";
    QTest::newRow("coil number") << 1 << "";
}

void TestToolsTables::areaDescription()
{
    QFETCH(int, address);
    QFETCH(QString, name);
    QCOMPARE(::areaDescription(address), name);
}

void TestToolsTables::writeValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<uint>("value");
    QTest::newRow("decimal") << "1234" << false << true << 1234u;
    QTest::newRow("decimal with blanks") << " 1234 " << false << true << 1234u;
    QTest::newRow("hex") << "12345678" << true << true << 0x12345678u;
    QTest::newRow("hex lower case") << "abcd" << true << true << 0xABCDu;
    QTest::newRow("minus one") << "-1" << false << true << 0xFFFFFFFFu;
    QTest::newRow("2^32 keeps low bits") << "4294967297" << false << true << 1u;
    QTest::newRow("largest 64-bit") << "9223372036854775807" << false << true << 0xFFFFFFFFu;
    QTest::newRow("past 64 bits") << "9223372036854775808" << false << false << 0u;
    QTest::newRow("16 hex digits") << "FFFFFFFF00000005" << true << true << 5u;
    QTest::newRow("17 hex digits") << "1FFFFFFFF00000005" << true << false << 0u;
    QTest::newRow("hex digits in decimal") << "12AB" << false << false << 0u;
    QTest::newRow("not hex") << "12G4" << true << false << 0u;
    QTest::newRow("hex with sign") << "-5" << true << false << 0u;
    QTest::newRow("prefix in decimal") << "0x10" << false << false << 0u;
    QTest::newRow("empty") << "" << false << false << 0u;
    QTest::newRow("two numbers") << "12 34" << false << false << 0u;
}

void TestToolsTables::writeValue()
{
    QFETCH(QString, text);
    QFETCH(bool, hex);
    QFETCH(bool, ok);
    QFETCH(uint, value);
    const auto v = parseWriteValue(text, hex);
    QCOMPARE(v.has_value(), ok);
    if (ok)
        QCOMPARE(*v, value);
}

void TestToolsTables::ladderReference_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("reference");  // 0: no known area
    QTest::newRow("0") << 0 << 30033;
    QTest::newRow("63") << 63 << 30096;
    QTest::newRow("64") << 64 << 41057;
    QTest::newRow("127") << 127 << 41120;
    QTest::newRow("128 unknown") << 128 << 0;
    QTest::newRow("703 unknown") << 703 << 0;
    QTest::newRow("704") << 704 << 41281;
    QTest::newRow("1215") << 1215 << 41792;
    QTest::newRow("1216") << 1216 << 32359;
    QTest::newRow("3519") << 3519 << 34662;
    QTest::newRow("3520") << 3520 << 41793;
    QTest::newRow("4543") << 4543 << 42816;
    QTest::newRow("4544") << 4544 << 35697;
    QTest::newRow("5887") << 5887 << 37040;
    QTest::newRow("5888") << 5888 << 42849;
    QTest::newRow("7935") << 7935 << 44896;
    QTest::newRow("7936") << 7936 << 0;
    QTest::newRow("negative") << -1 << 0;
}

void TestToolsTables::ladderReference()
{
    QFETCH(int, address);
    QFETCH(int, reference);
    const auto r = ladderWordReference(address);
    QCOMPARE(r.value_or(0), reference);
}

QTEST_GUILESS_MAIN(TestToolsTables)
#include "test_tools_tables.moc"
