// The monitor's decoding and formatting rules, apart from any window.
#include "monitor/CsvRow.h"
#include "monitor/GeneralFormat.h"
#include "monitor/MonitorAnswer.h"
#include "monitor/MonitorLayout.h"
#include "monitor/ValueDecoding.h"
#include <QTest>
#include <cmath>
#include <limits>

using namespace monitor;

namespace {

const QString kUnchanged = QStringLiteral("<unchanged>");

QString text(const std::optional<QString> &t)
{
    return t ? *t : kUnchanged;
}

// Answer data bytes of the given registers, big-endian.
QByteArray registers(const QList<int> &regs)
{
    QByteArray d;
    for (int r : regs) {
        d.append(char(r >> 8 & 0xFF));
        d.append(char(r & 0xFF));
    }
    return d;
}

struct Decoded {
    MonitorBoxes boxes;
    QString row;
    QStringList values() const
    {
        QStringList out;
        for (int p = 0; p < 32; ++p)
            out << ((boxes.valueMask >> p & 1u) ? boxes.values[size_t(p)] : kUnchanged);
        return out;
    }
};

Decoded decode(const QByteArray &data, const MonitorState &s, const QString &prefix = QStringLiteral(","))
{
    Decoded d;
    d.row = prefix;
    decodeMonitorAnswer(reinterpret_cast<const uint8_t *>(data.constData()), int(data.size()), s,
                        d.boxes, d.row);
    return d;
}

} // namespace

class TestMonitorRules : public QObject {
    Q_OBJECT
private slots:
    void generalFormat_data();
    void generalFormat();
    void hexTexts_data();
    void hexTexts();
    void charTexts_data();
    void charTexts();
    void boxTexts_data();
    void boxTexts();
    void assembly_data();
    void assembly();
    void headerAndBitTexts_data();
    void headerAndBitTexts();
    void csvValues_data();
    void csvValues();
    void csvPrefix_data();
    void csvPrefix();
    void answers_data();
    void answers();
    void conversionEntries();
};

void TestMonitorRules::generalFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("expected");
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("zero") << 0.0 << 7 << "0";
    QTest::newRow("negative zero") << -0.0 << 7 << "0";
    QTest::newRow("fraction") << 123.4 << 7 << "123.4";
    QTest::newRow("negative") << -2.5 << 7 << "-2.5";
    QTest::newRow("rounded to 7") << 3.14159265 << 7 << "3.141593";
    QTest::newRow("seven nines stay fixed") << 9999999.0 << 7 << "9999999";
    QTest::newRow("rounding reaches 10^7") << 9999999.5 << 7 << "1E7";
    QTest::newRow("10^7 scientific") << 12345678.0 << 7 << "1.234568E7";
    QTest::newRow("10^-4 fixed") << 0.0001 << 7 << "0.0001";
    QTest::newRow("just below 10^-4 rounds up") << 0.000099999999 << 7 << "0.0001";
    QTest::newRow("below 10^-4") << 0.00001 << 7 << "1E-5";
    QTest::newRow("small with digits") << 0.000015 << 7 << "1.5E-5";
    QTest::newRow("leading zeros kept") << 0.00012345678 << 7 << "0.0001234568";
    QTest::newRow("single 0.1 at 15") << double(0.1f) << 15 << "0.100000001490116";
    QTest::newRow("integer at 15") << 1234.0 << 15 << "1234";
    QTest::newRow("15 digits fixed") << 123456789012345.0 << 15 << "123456789012345";
    QTest::newRow("10^15 scientific") << 1e15 << 15 << "1E15";
    QTest::newRow("max 32-bit at 7") << 4294967295.0 << 7 << "4.294967E9";
    QTest::newRow("inf") << inf << 7 << "INF";
    QTest::newRow("nan") << nan << 7 << "NAN";
    QTest::newRow("-nan") << -nan << 15 << "-NAN";
}

void TestMonitorRules::generalFormat()
{
    QFETCH(double, value);
    QFETCH(int, digits);
    QFETCH(QString, expected);
    QCOMPARE(FormatGeneral(value, digits), expected);
    // Appended to a row, the same text after what the row holds.
    QString row = QStringLiteral("12,");
    AppendGeneral(row, value, digits);
    QCOMPARE(row, QStringLiteral("12,") + expected);
}

void TestMonitorRules::hexTexts_data()
{
    QTest::addColumn<uint>("value");
    QTest::addColumn<int>("minDigits");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero padded") << 0u << 4 << "0000";
    QTest::newRow("upper case") << 0xabcu << 4 << "0ABC";
    QTest::newRow("wider than the minimum") << 0x12345u << 4 << "12345";
    QTest::newRow("eight digits") << 0xDEADBEEFu << 8 << "DEADBEEF";
    QTest::newRow("eight padded") << 0x10u << 8 << "00000010";
}

void TestMonitorRules::hexTexts()
{
    QFETCH(uint, value);
    QFETCH(int, minDigits);
    QFETCH(QString, expected);
    QCOMPARE(HexText(value, minDigits), expected);
}

void TestMonitorRules::charTexts_data()
{
    QTest::addColumn<int>("value");   // 16 bits: FormatCharPair; -1 - b: ControlCharName(b)
    QTest::addColumn<QString>("expected");
    auto name = [](int b) { return -1 - b; };
    QTest::newRow("STX") << name(2) << "STX";
    QTest::newRow("CR") << name(13) << "CR";
    QTest::newRow("ESC") << name(27) << "ESC";
    QTest::newRow("space") << name(32) << " ";
    QTest::newRow("A") << name(65) << "A";
    QTest::newRow("DEL is not named") << name(127) << QString(QChar(0x7F));
    QTest::newRow("half-width dot 0xA5") << name(0xA5) << "･";
    QTest::newRow("half-width a 0xB1") << name(0xB1) << "ｱ";
    QTest::newRow("half-width 0xDF") << name(0xDF) << "ﾟ";
    QTest::newRow("0x80 Latin-1") << name(0x80) << QString(QChar(0x80));
    QTest::newRow("0xE9 Latin-1") << name(0xE9) << "é";
    QTest::newRow("pair A STX") << 0x4102 << "A･STX";
    QTest::newRow("pair CR LF") << 0x0D0A << "CR･LF";
    QTest::newRow("pair katakana") << 0xB1B2 << "ｱ･ｲ";
}

void TestMonitorRules::charTexts()
{
    QFETCH(int, value);
    QFETCH(QString, expected);
    if (value < 0)
        QCOMPARE(ControlCharName(uint8_t(-1 - value)), expected);
    else
        QCOMPARE(FormatCharPair(uint16_t(value)), expected);
}

void TestMonitorRules::boxTexts_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<int>("format");
    QTest::addColumn<double>("value");  // the register, double word or real
    QTest::addColumn<float>("gain");    // or the real factor
    QTest::addColumn<float>("offset");
    QTest::addColumn<QString>("expected");
    QTest::newRow("u16 dec 0xFFFF") << "u16" << 0 << 65535.0 << 0.1f << 0.0f << "65535";
    QTest::newRow("u16 hex 0xFFFF") << "u16" << 1 << 65535.0 << 0.1f << 0.0f << "FFFF";
    QTest::newRow("u16 hex 0x000A") << "u16" << 1 << 10.0 << 0.1f << 0.0f << "000A";
    QTest::newRow("u16 conv 1234") << "u16" << 2 << 1234.0 << 0.1f << 0.0f << "123.4";
    QTest::newRow("u16 conv gain offset") << "u16" << 2 << 10.0 << 2.0f << -5.0f << "15";
    QTest::newRow("u16 chars") << "u16" << 3 << double(0x4102) << 0.1f << 0.0f << "A･STX";
    QTest::newRow("s16 dec -1") << "s16" << 0 << -1.0 << 0.1f << 0.0f << "-1";
    QTest::newRow("s16 hex -1 sign-extended") << "s16" << 1 << -1.0 << 0.1f << 0.0f << "FFFFFFFF";
    QTest::newRow("s16 hex -32768") << "s16" << 1 << -32768.0 << 0.1f << 0.0f << "FFFF8000";
    QTest::newRow("s16 hex 32767") << "s16" << 1 << 32767.0 << 0.1f << 0.0f << "7FFF";
    QTest::newRow("s16 conv -100") << "s16" << 2 << -100.0 << 0.1f << 0.0f << "-10";
    QTest::newRow("s16 chars -1") << "s16" << 3 << -1.0 << 0.1f << 0.0f << "ÿ･ÿ";
    QTest::newRow("dw hex 1") << "dw" << 1 << 1.0 << 0.1f << 0.0f << "00000001";
    QTest::newRow("dw hex 65536") << "dw" << 1 << 65536.0 << 0.1f << 0.0f << "00010000";
    QTest::newRow("dw conv") << "dw" << 2 << 65536.0 << 0.1f << 0.0f << "6553.6";
    QTest::newRow("dw conv large") << "dw" << 2 << 4294967295.0 << 0.1f << 0.0f << "4.294967E8";
    QTest::newRow("dw chars unchanged") << "dw" << 3 << 65.0 << 0.1f << 0.0f << kUnchanged;
    QTest::newRow("real dec 1") << "real" << 0 << 1.0 << 0.1f << 0.0f << "1";
    QTest::newRow("real hex") << "real" << 1 << 1.0 << 0.1f << 0.0f << "--";
    QTest::newRow("real conv") << "real" << 2 << 1.0 << 0.1f << 0.0f << "0.1";
    QTest::newRow("real chars unchanged") << "real" << 3 << 1.0 << 0.1f << 0.0f << kUnchanged;
    QTest::newRow("real nan") << "real" << 0 << double(std::numeric_limits<float>::quiet_NaN())
                              << 0.1f << 0.0f << "NAN";
    QTest::newRow("real -inf conv") << "real" << 2 << -double(std::numeric_limits<float>::infinity())
                                    << 0.1f << 0.0f << "-INF";
}

void TestMonitorRules::boxTexts()
{
    QFETCH(QString, writer);
    QFETCH(int, format);
    QFETCH(double, value);
    QFETCH(float, gain);
    QFETCH(float, offset);
    QFETCH(QString, expected);
    QString got;
    if (writer == u"u16")
        got = unsigned16Text(uint16_t(value), format, gain, offset);
    else if (writer == u"s16")
        got = signed16Text(int16_t(value), format, gain, offset);
    else if (writer == u"dw")
        got = text(doubleWordText(uint32_t(value), format, gain, offset));
    else
        got = text(realText(float(value), format, gain));
    QCOMPARE(got, expected);
}

void TestMonitorRules::assembly_data()
{
    QTest::addColumn<int>("r0");
    QTest::addColumn<int>("r1");
    QTest::addColumn<bool>("swapped");
    QTest::addColumn<uint>("value32");
    QTest::addColumn<uint>("value24");
    QTest::newRow("1 standard") << 0x0001 << 0x0000 << false << 1u << 1u;
    QTest::newRow("1 swapped") << 0x0001 << 0x0000 << true << 65536u << 65536u;
    QTest::newRow("24-bit standard") << 0x1234 << 0xAB56 << false << 0xAB561234u << 5640756u;
    QTest::newRow("24-bit swapped") << 0x1234 << 0xAB56 << true << 0x1234AB56u << 3451734u;
    QTest::newRow("real 1 standard") << 0x0000 << 0x3F80 << false << 0x3F800000u << 0x800000u;
    QTest::newRow("real 1 swapped") << 0x3F80 << 0x0000 << true << 0x3F800000u << 0x800000u;
}

void TestMonitorRules::assembly()
{
    QFETCH(int, r0);
    QFETCH(int, r1);
    QFETCH(bool, swapped);
    QFETCH(uint, value32);
    QFETCH(uint, value24);
    QCOMPARE(assemble32(uint16_t(r0), uint16_t(r1), swapped), value32);
    QCOMPARE(assemble24(uint16_t(r0), uint16_t(r1), swapped), value24);
    if (value32 == 0x3F800000u)
        QCOMPARE(realFromBits(assemble32(uint16_t(r0), uint16_t(r1), swapped)), 1.0f);
}

void TestMonitorRules::headerAndBitTexts_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("arg");  // format, or the pair
    QTest::addColumn<QString>("expected");
    QTest::newRow("word page dec") << "word" << 0x00AB << 0 << "171";
    QTest::newRow("word page hex") << "word" << 0x00AB << 1 << "00AB";
    QTest::newRow("word page chars shows hex") << "word" << 0x00AB << 3 << "00AB";
    QTest::newRow("bit page hex") << "bit" << 0xFFFF << 1 << "FFFF";
    QTest::newRow("bit page conv unchanged") << "bit" << 0xFFFF << 2 << kUnchanged;
    QTest::newRow("bit page chars unchanged") << "bit" << 0xFFFF << 3 << kUnchanged;
    QTest::newRow("0x0006 pair 0") << "pair" << 0x0006 << 0 << "●  ○ ";
    QTest::newRow("0x0006 pair 1") << "pair" << 0x0006 << 1 << "○  ● ";
    QTest::newRow("0x0006 pair 2") << "pair" << 0x0006 << 2 << "●  ● ";
    QTest::newRow("0xC000 pair 7") << "pair" << 0xC000 << 7 << "○  ○ ";
}

void TestMonitorRules::headerAndBitTexts()
{
    QFETCH(QString, kind);
    QFETCH(int, value);
    QFETCH(int, arg);
    QFETCH(QString, expected);
    if (kind == u"pair")
        QCOMPARE(bitPairText(uint16_t(value), arg), expected);
    else
        QCOMPARE(text(headerText(uint16_t(value), arg, kind == u"word")), expected);
}

void TestMonitorRules::csvValues_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("valueType");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("16 unsigned") << "16" << 65535.0 << 0 << 0 << "65535";
    QTest::newRow("16 signed") << "16" << 65535.0 << 1 << 0 << "-1";
    QTest::newRow("16 signed 0.1") << "16" << 65535.0 << 1 << 1 << "-0.1";
    QTest::newRow("16 unsigned 0.1") << "16" << 1234.0 << 0 << 1 << "123.4";
    QTest::newRow("32 signed") << "32" << 4294967295.0 << 1 << 0 << "-1";
    QTest::newRow("32 signed 0.1") << "32" << 2147483648.0 << 1 << 1 << "-214748364.8";
    QTest::newRow("real") << "real" << double(0.1f) << 0 << 0 << "0.100000001490116";
    QTest::newRow("real integer part") << "real" << -7.9 << 1 << 0 << "-7";
    QTest::newRow("real truncated, scale 0.1") << "real" << 1234.56 << 1 << 1 << "123.4";
    QTest::newRow("real huge integer part") << "real" << 1e30 << 1 << 0 << "1.00000001504747E30";
    QTest::newRow("real nan integer part") << "real" << double(std::numeric_limits<float>::quiet_NaN())
                                           << 1 << 0 << "NAN";
    QTest::newRow("unknown type acts as unsigned") << "16" << 65535.0 << 7 << 0 << "65535";
    QTest::newRow("unknown scale acts as 1") << "16" << 1234.0 << 0 << 3 << "1234";
}

void TestMonitorRules::csvValues()
{
    QFETCH(QString, kind);
    QFETCH(double, value);
    QFETCH(int, valueType);
    QFETCH(int, scale);
    QFETCH(QString, expected);
    QString got;
    if (kind == u"16")
        got = csvValue16(uint16_t(value), valueType, scale);
    else if (kind == u"32")
        got = csvValue32(uint32_t(value), valueType, scale);
    else
        got = csvValueReal(float(value), valueType, scale);
    QCOMPARE(got, expected);
    // Appended to a row, the same column after what the row holds.
    QString row = QStringLiteral(",7,");
    if (kind == u"16")
        appendCsvValue16(row, uint16_t(value), valueType, scale);
    else if (kind == u"32")
        appendCsvValue32(row, uint32_t(value), valueType, scale);
    else
        appendCsvValueReal(row, float(value), valueType, scale);
    QCOMPARE(row, QStringLiteral(",7,") + expected);
}

void TestMonitorRules::csvPrefix_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<uint>("count");
    QTest::addColumn<QString>("expected");
    const QDateTime now(QDate(2024, 3, 5), QTime(14, 7, 9));
    const QString stamp = csvDateText(now.date()) + u',' + csvTimeText(now.time()) + u',';
    QTest::newRow("none") << 0 << 5u << ",";
    QTest::newRow("count 0") << 1 << 0u << "0,";
    QTest::newRow("count 1") << 1 << 1u << "1,";
    QTest::newRow("elapsed") << 2 << 5u << "0:00:02.0,";
    QTest::newRow("stamp and count") << 3 << 12u << stamp + "12,";
    QTest::newRow("unknown mode") << 9 << 5u << ",";
}

void TestMonitorRules::csvPrefix()
{
    QFETCH(int, mode);
    QFETCH(uint, count);
    QFETCH(QString, expected);
    const QDateTime now(QDate(2024, 3, 5), QTime(14, 7, 9));
    QCOMPARE(csvRowPrefix(mode, count, QStringLiteral("0:00:02.0"), now), expected);
    // The time stamp carries the time of day (and no time zone).
    if (mode == 3) {
        QVERIFY(csvTimeText(now.time()).contains(QLatin1String("07:09"))
                || csvTimeText(now.time()).contains(QLatin1String("7:09")));
    }
}

void TestMonitorRules::answers_data()
{
    QTest::addColumn<bool>("wordPage");
    QTest::addColumn<int>("dataType");
    QTest::addColumn<bool>("extended");
    QTest::addColumn<bool>("swapped");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("bitItem");
    QTest::addColumn<int>("logValueType");
    QTest::addColumn<int>("logScale");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QStringList>("boxes");  // positions 0.. as far as given
    QTest::addColumn<QStringList>("headers");

    auto U = kUnchanged;
    QTest::newRow("u16 three registers") << true << 0 << false << false << 0 << 0 << 0 << 0
        << registers({1, 2, 65535}) << ",1,2,65535" << QStringList{"1", "2", "65535", U}
        << QStringList{U, U, U, U};
    QTest::newRow("signed row, scale 0.1") << true << 4 << false << false << 0 << 0 << 1 << 1
        << registers({100, 65535}) << ",10,-0.1" << QStringList{"100", "-1", U}
        << QStringList{U, U, U, U};
    QTest::newRow("row unsigned while boxes signed") << true << 4 << false << false << 1 << 0 << 0 << 0
        << registers({65535}) << ",65535" << QStringList{"FFFFFFFF", U} << QStringList{U, U, U, U};
    QTest::newRow("32-bit standard") << true << 1 << false << false << 1 << 0 << 0 << 0
        << registers({1, 0, 0, 1}) << ",1,65536" << QStringList{"00000001", "00010000", U}
        << QStringList{U, U, U, U};
    QTest::newRow("real standard") << true << 2 << false << false << 0 << 0 << 0 << 0
        << registers({0x0000, 0x3F80}) << ",1" << QStringList{"1", U} << QStringList{U, U, U, U};
    QTest::newRow("real swapped") << true << 2 << false << true << 2 << 0 << 0 << 0
        << registers({0x3F80, 0x0000}) << ",1" << QStringList{"0.1", U} << QStringList{U, U, U, U};
    QTest::newRow("24-bit standard and swap") << true << 3 << false << false << 0 << 0 << 0 << 0
        << registers({0x1234, 0xAB56}) << ",5640756" << QStringList{"5640756", U}
        << QStringList{U, U, U, U};
    QTest::newRow("odd byte count: words only") << true << 1 << false << false << 0 << 0 << 0 << 0
        << registers({1, 0, 7}) << ",1" << QStringList{"1", U} << QStringList{U, U, U, U};
    QTest::newRow("ON/OFF on the word page") << true << 5 << false << false << 0 << 0 << 0 << 0
        << registers({1, 2, 3}) << "," << QStringList{U, U, U, U} << QStringList{U, U, U, U};
    QTest::newRow("bit word 0x0006") << false << 5 << false << false << 0 << 0 << 0 << 0
        << registers({6}) << ",6"
        << QStringList{"●  ○ ", "○  ● ", "●  ● ", "●  ● ", "●  ● ", "●  ● ", "●  ● ", "●  ● ", U}
        << QStringList{"6", U, U, U};
    QTest::newRow("bit words ignore the data type") << false << 2 << false << false << 3 << 0 << 1 << 0
        << registers({0, 0, 0, 0xFFFF}) << ",0,0,0,-1"
        << QStringList{"●  ● ", "●  ● ", "●  ● ", "●  ● ", "●  ● ", "●  ● ", "●  ● ", "●  ● "}
        << QStringList{"0", "0", "0", "65535"};
    QTest::newRow("edge counters") << false << 0 << false << false << 1 << 1 << 0 << 0
        << registers({12, 65535}) << ",12,65535" << QStringList{"12", "65535", U}
        << QStringList{U, U, U, U};
}

void TestMonitorRules::answers()
{
    QFETCH(bool, wordPage);
    QFETCH(int, dataType);
    QFETCH(bool, extended);
    QFETCH(bool, swapped);
    QFETCH(int, format);
    QFETCH(int, bitItem);
    QFETCH(int, logValueType);
    QFETCH(int, logScale);
    QFETCH(QByteArray, data);
    QFETCH(QString, row);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, headers);
    ConversionTable table;
    std::array<float, 32> factors;
    factors.fill(0.1f);
    MonitorState s;
    s.wordPage = wordPage;
    s.dataType = dataType;
    s.extendedArea = extended;
    s.swapped = swapped;
    s.displayFormat = format;
    s.bitDataItem = bitItem;
    s.logValueType = logValueType;
    s.logScale = logScale;
    s.table = &table;
    s.realFactor = &factors;
    const Decoded d = decode(data, s);
    QCOMPARE(d.row, row);
    QCOMPARE(d.values().mid(0, boxes.size()), boxes);
    QStringList h;
    for (int i = 0; i < 4; ++i)
        h << ((d.boxes.headerMask >> i & 1u) ? d.boxes.headers[size_t(i)] : kUnchanged);
    QCOMPARE(h, headers);
}

void TestMonitorRules::conversionEntries()
{
    ConversionTable table;
    table.entry(9) = {9, 2.0f, -5.0f};
    std::array<float, 32> factors;
    factors.fill(0.1f);
    MonitorState s;
    s.dataType = Unsigned16;
    s.displayFormat = Converted;
    s.wordAddress = 1;
    s.table = &table;
    s.realFactor = &factors;
    // Box 0 of word address 1 uses entry 9, box 1 entry 10 (the default).
    Decoded d = decode(registers({10, 10}), s);
    QCOMPARE(d.values().mid(0, 2), (QStringList{"15", "1"}));

    // 24-bit counters in the extended area: items 8..15 go to boxes 16..23,
    // and the conversion entry is that of the box.
    table.entry(8 * 1 + 16 + 1) = {25, 1.0f, 1000.0f};
    s.dataType = Unsigned24;
    s.extendedArea = true;
    QList<int> regs;
    for (int j = 0; j < 16; ++j)
        regs << j << 0;
    d = decode(registers(regs), s);
    const QStringList v = d.values();
    for (int p = 0; p < 32; ++p) {
        const bool filled = p < 8 || (p >= 16 && p < 24);
        QVERIFY2(filled == (v[p] != kUnchanged), qPrintable(QString::number(p)));
    }
    QCOMPARE(v[16], QStringLiteral("1008"));  // item 8 × 1 + 1000
    QCOMPARE(v[17], QStringLiteral("0.9"));   // item 9 × 0.1
    QCOMPARE(d.row.count(u','), 16);          // every item in the row

    // Without the extended area the same answer fills boxes 0..15.
    s.extendedArea = false;
    d = decode(registers(regs), s);
    QCOMPARE(d.values()[15], QStringLiteral("1.5"));
    QCOMPARE(d.values()[16], kUnchanged);

    // Values past box 31 go into the row only.
    s.dataType = Unsigned16;
    s.displayFormat = Decimal;
    regs.clear();
    for (int r = 0; r < 64; ++r)
        regs << r;
    d = decode(registers(regs), s);
    QCOMPARE(d.boxes.valueMask, 0xFFFFFFFFu);
    QCOMPARE(d.row.split(u',').size(), 65);
    QVERIFY(d.row.endsWith(QLatin1String(",62,63")));

    // The last word addresses reach past the table's 512 entries: those
    // boxes convert with the default entry instead of reading beyond it.
    table.entry(512) = {512, 3.0f, 0.0f};
    QCOMPARE(conversionFor(table, 63, 7).gain, 3.0f);
    QCOMPARE(conversionFor(table, 63, 8).gain, 0.1f);
    QCOMPARE(conversionFor(table, 63, 31).offset, 0.0f);
    s.wordAddress = 63;
    s.displayFormat = Converted;
    d = decode(registers(regs), s);
    QCOMPARE(d.values()[7], QStringLiteral("21"));
    QCOMPARE(d.values()[31], QStringLiteral("3.1"));
}

QTEST_GUILESS_MAIN(TestMonitorRules)
#include "test_monitor_rules.moc"
