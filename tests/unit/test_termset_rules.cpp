// The rules of the terminal settings protocol: item commands, the decoders
// of the settings block (group rule, CRC byte rule), write validation,
// effective addresses and timing values.
#include "termset/TermsetRules.h"
#include <QSet>
#include <QTest>

using namespace termset;

namespace {

// A field by where the terminal keeps it: "r<register>", with "g<group>"
// on the group-rule pages and "b1." before a field of the second block.
QString location(int page, int field)
{
    const PageDef &d = pageDef(page);
    const Field &f = d.fields.at(field);
    QString s = f.block ? QStringLiteral("b%1.").arg(f.block) : QString();
    s += QStringLiteral("r%1").arg(f.reg);
    if (d.decoding == Decoding::GroupRule && f.reg > 0)
        s += QStringLiteral("g%1").arg(f.group);
    return s;
}

// "field=value field=value" in the order the decoder writes them.
QString describe(int page, const QList<RawWrite> &writes)
{
    QStringList parts;
    for (const RawWrite &w : writes)
        parts << QStringLiteral("%1=%2").arg(location(page, w.field)).arg(w.value);
    return parts.join(u' ');
}

// The word a terminal reports after taking an item command: on the
// group-rule pages the register shows the command (group and code),
// elsewhere the code alone.
uint16_t reported(const PageDef &d, uint16_t command)
{
    return d.decoding == Decoding::GroupRule ? command : uint16_t(wordCode(command));
}

} // namespace

class TestTermsetRules : public QObject {
    Q_OBJECT
private slots:
    void itemCommands_data();
    void itemCommands();
    void decoder_data();
    void decoder();
    void everyRequiredFieldHasADecoderEntry();
    void fieldsInsideTheirBlock();
    void everyCodeRoundTrips();
    void writeOrderAndProgress();
    void validation_data();
    void validation();
    void effectiveAddresses_data();
    void effectiveAddresses();
    void rawToListIndex_data();
    void rawToListIndex();
    void timingValues_data();
    void timingValues();
};

void TestTermsetRules::itemCommands_data()
{
    QTest::addColumn<int>("reg");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("expected");
    QTest::newRow("60 Hz on a current page") << 1 << 0 << 2 << 0x2002;
    QTest::newRow("circuit 8 of a current page, code 3") << 1 << 2 << 3 << 0x2403;
    QTest::newRow("circuit 7 of a power page, code 4") << 7 << 0 << 4 << 0xE004;
    QTest::newRow("circuit 16 of page 3, code 8") << 2 << 3 << 8 << 0x4608;
    QTest::newRow("largest code") << 3 << 1 << 511 << 0x63FF;
}

void TestTermsetRules::itemCommands()
{
    QFETCH(int, reg);
    QFETCH(int, group);
    QFETCH(int, code);
    QFETCH(int, expected);
    QCOMPARE(int(itemCommand(reg, group, code)), expected);
}

void TestTermsetRules::decoder_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("crc");
    QTest::addColumn<QString>("expected");

    // Power pages and the outlet bar take words whole.
    QTest::newRow("p0 register 0") << 0 << 0 << 0xFFFF << false << "r0=65535";
    QTest::newRow("p0 type") << 0 << 3 << 13 << false << "r3=13";
    for (int i = 4; i <= 8; ++i)
        QTest::addRow("p0 index %d unused", i) << 0 << i << 5 << false << "";
    QTest::newRow("p0 current 1") << 0 << 9 << 9 << false << "b1.r1=9";
    QTest::newRow("p0 current 7") << 0 << 15 << 10 << false << "b1.r7=10";
    QTest::newRow("p0 beyond 16 words") << 0 << 16 << 1 << false << "";
    QTest::newRow("p2 frequency whole, high bits kept") << 2 << 1 << 0x0402 << false << "r1=1026";
    QTest::newRow("p2 current 4") << 2 << 12 << 8 << false << "b1.r4=8";
    QTest::newRow("p4 register 0") << 4 << 0 << 1 << false << "r0=1";
    QTest::newRow("p4 clear") << 4 << 2 << 1 << false << "r2=1";
    QTest::newRow("p4 index 4 unused") << 4 << 4 << 1 << false << "";

    // Current pages: group rule, bits 15-11 ignored.
    QTest::newRow("p1 register 0 whole") << 1 << 0 << 0x0603 << false << "r0=1539";
    QTest::newRow("p1 group 0 frequency") << 1 << 1 << 0x2002 << false << "r1g0=2";
    QTest::newRow("p1 high bits ignored") << 1 << 3 << 0xF816 << false << "r3g0=22";
    QTest::newRow("p1 group 1 circuit 7") << 1 << 7 << 0xE208 << false << "r7g1=8";
    QTest::newRow("p1 group 2 circuit 8") << 1 << 1 << 0x0403 << false << "r1g2=3";
    QTest::newRow("p1 group 3 has no field") << 1 << 1 << 0x0603 << false << "";
    QTest::newRow("p1 group 2 at register 2") << 1 << 2 << 0x0405 << false << "";
    QTest::newRow("p1 group 0 at register 4") << 1 << 4 << 0x0001 << false << "";
    QTest::newRow("p3 group 2 circuit 14") << 3 << 7 << 0xE406 << false << "r7g2=6";
    QTest::newRow("p3 group 3 circuit 16") << 3 << 2 << 0x4608 << false << "r2g3=8";
    QTest::newRow("p3 group 3 register 3 none") << 3 << 3 << 0x0601 << false << "";
    QTest::newRow("p3 CRC box has no effect") << 3 << 4 << 0x0201 << true << "r4g1=1";

    // CRC mode of page 1: the byte rule, then the group rule on the same word.
    QTest::newRow("crc index 6") << 1 << 6 << 0x0201 << true
                                 << "r5g1=1 r6g1=2 r6g1=1";
    QTest::newRow("crc index 7 to circuit 8") << 1 << 7 << 0x0807 << true
                                              << "r7g1=7 r1g2=8";
    QTest::newRow("crc index 2 whole then group") << 1 << 2 << 0x0203 << true
                                                  << "r2g0=515 r2g1=3";
    QTest::newRow("crc register 0") << 1 << 0 << 0x1234 << true << "r0=4660";
}

void TestTermsetRules::decoder()
{
    QFETCH(int, page);
    QFETCH(int, index);
    QFETCH(int, value);
    QFETCH(bool, crc);
    QFETCH(QString, expected);
    QCOMPARE(describe(page, decodeParameterWord(page, index, uint16_t(value), crc)), expected);
}

// Every field a page waits for can be filled by some word of its answer,
// and nothing is decoded into a field the page does not have.
void TestTermsetRules::everyRequiredFieldHasADecoderEntry()
{
    for (int page = 0; page < PageCount; ++page) {
        const PageDef &d = pageDef(page);
        QSet<int> reached;
        for (int index = 0; index < d.registerCount; ++index)
            for (int g = 0; g < 4; ++g)
                for (bool crc : {false, true})
                    for (const RawWrite &w : decodeParameterWord(page, index, uint16_t(g << 9 | 1), crc))
                        reached.insert(w.field);
        for (int f : std::as_const(reached))
            QVERIFY2(f >= 0 && f < d.fields.size(), qPrintable(QString::number(f)));
        for (int f = 0; f < d.fields.size(); ++f)
            if (d.fields[f].awaited)
                QVERIFY2(reached.contains(f), qPrintable(QStringLiteral("page %1 %2").arg(page).arg(location(page, f))));
    }
}

// Every field lies inside the block a page polls, where an item command can
// reach it, and no two fields of a page share a place.
void TestTermsetRules::fieldsInsideTheirBlock()
{
    for (int page = 0; page < PageCount; ++page) {
        const PageDef &d = pageDef(page);
        QSet<int> places;
        for (int i = 0; i < d.fields.size(); ++i) {
            const Field &f = d.fields[i];
            const QString where = QStringLiteral("page %1 field %2").arg(page).arg(i);
            QVERIFY2(f.reg >= 0 && f.reg <= 7 && f.group >= 0 && f.group <= 3, qPrintable(where));
            QVERIFY2(f.block >= 0 && 8 * f.block + f.reg < d.registerCount, qPrintable(where));
            QVERIFY2(f.block == 0 || d.powerPage, qPrintable(where));
            // Register 0 holds no item: a command word of group 0, code c
            // at register 0 is the enter (1) or leave (0) command.
            QVERIFY2(f.write == Write::Never || (f.reg >= 1 && f.codes != CodeList::None), qPrintable(where));
            const int place = (f.block * 8 + f.reg) * 4 + f.group;
            QVERIFY2(!places.contains(place), qPrintable(where));
            places.insert(place);
        }
    }
}

// Every item of every list a page writes goes out as one item command to
// the command word of an address the page's block covers, and the
// terminal's report of it comes back into the same field, selecting the
// same item.
void TestTermsetRules::everyCodeRoundTrips()
{
    const int b = 20;
    for (int page = 0; page < PageCount; ++page) {
        const PageDef &d = pageDef(page);
        for (int i = 0; i < d.fields.size(); ++i) {
            if (d.fields[i].write == Write::Never)
                continue;
            const int count = int(codeListItems(d.fields[i].codes).size());
            QVERIFY(count >= 2);
            for (int code = 0; code < count; ++code) {
                const QString where = QStringLiteral("page %1 %2 code %3").arg(page).arg(location(page, i)).arg(code);
                // The other lists keep item 1 (the type one the page allows).
                const auto selection = [&](int mine) {
                    return [&d, i, mine](int field) {
                        if (field == i)
                            return mine;
                        return field == typeField(d) && !d.allowedTypes.isEmpty() ? d.allowedTypes[0] : 1;
                    };
                };
                const QList<CommandStep> steps = writeCommands(d, b, selection(code), true);
                const QList<CommandStep> other = writeCommands(d, b, selection(code == 0 ? 1 : 0), true);
                QCOMPARE(steps.size(), other.size());
                QList<CommandStep> changed;
                for (int k = 0; k < steps.size(); ++k)
                    if (!(steps[k] == other[k]))
                        changed << steps[k];
                QVERIFY2(changed.size() == 1, qPrintable(where));
                const CommandStep &s = changed[0];
                const int block = s.reg - commandWord(b);
                QVERIFY2(block >= 0 && block * 8 < d.registerCount, qPrintable(where));
                const int index = 8 * block + (s.value >> 13);
                const QList<RawWrite> back = decodeParameterWord(page, index, reported(d, s.value), false);
                QVERIFY2(back.size() == 1 && back[0].field == i, qPrintable(where + u' ' + describe(page, back)));
                QCOMPARE(listIndexFromRaw(QString::number(back[0].value), count), code);
            }
        }
    }
}

// A write opens with 1, sends each field once, closes with 0 and 1 again,
// and its progress only grows.
void TestTermsetRules::writeOrderAndProgress()
{
    for (int page = 0; page < PageCount; ++page) {
        const PageDef &d = pageDef(page);
        for (bool typeRewrite : {false, true}) {
            const QList<CommandStep> steps = writeCommands(d, 7, [](int) { return 0; }, typeRewrite);
            QVERIFY(steps.size() >= 4);
            QCOMPARE(steps.first().value, kEnterSettings);
            QCOMPARE(steps[steps.size() - 2].value, kLeaveSettings);
            QCOMPARE(steps.last().value, kEnterSettings);
            QSet<uint32_t> sent;
            for (int i = 0; i < steps.size(); ++i) {
                QVERIFY(steps[i].wait);
                QVERIFY2(steps[i].progress > 0 && steps[i].progress < 100, qPrintable(QString::number(i)));
                if (i > 0)
                    QVERIFY2(steps[i].progress > steps[i - 1].progress, qPrintable(QString::number(i)));
                if (i > 0 && i < steps.size() - 2) {
                    const uint32_t key = uint32_t(steps[i].reg) << 16 | steps[i].value;
                    QVERIFY(!sent.contains(key));
                    sent.insert(key);
                }
            }
            // Only a power page writes its type, and only while allowed.
            bool typeSent = false;
            for (const CommandStep &s : steps)
                typeSent |= s.reg == commandWord(7) && s.value == itemCommand(3, 0, 0);
            QCOMPARE(typeSent, typeRewrite && d.powerPage);
        }
    }
}

void TestTermsetRules::validation_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("typeRewrite");
    QTest::addColumn<QString>("unselected");  // the field whose list has no selection
    QTest::addColumn<int>("type");            // -1: no type selected
    QTest::addColumn<bool>("allowed");

    QTest::newRow("p0 all chosen") << 0 << false << "" << -1 << true;
    QTest::newRow("p0 voltage missing") << 0 << false << "r2" << 1 << false;
    QTest::newRow("p0 current 7 missing") << 0 << false << "b1.r7" << 1 << false;
    for (int t : {1, 2, 3, 9, 10, 11})
        QTest::addRow("p0 type %d allowed", t) << 0 << true << "" << t << true;
    for (int t : {0, 4, 8, 12, 13, 22, -1})
        QTest::addRow("p0 type %d refused", t) << 0 << true << "" << t << false;
    QTest::newRow("p2 type 3 allowed") << 2 << true << "" << 3 << true;
    QTest::newRow("p2 type 9 refused") << 2 << true << "" << 9 << false;
    QTest::newRow("p2 type 13 refused") << 2 << true << "" << 13 << false;
    QTest::newRow("p2 pair 13,14 missing") << 2 << false << "b1.r7" << 1 << false;
    QTest::newRow("p1 voltage never read") << 1 << false << "r2g0" << 22 << false;
    QTest::newRow("p1 type 22 refused") << 1 << true << "" << 22 << false;
    QTest::newRow("p1 type 5 allowed") << 1 << true << "" << 5 << true;
    QTest::newRow("p1 type unchecked") << 1 << false << "" << 22 << true;
    QTest::newRow("p3 current 16 missing") << 3 << false << "r2g3" << 7 << false;
    QTest::newRow("p3 type 12 refused") << 3 << true << "" << 12 << false;
    QTest::newRow("p4 clear missing") << 4 << false << "r2" << 18 << false;
    QTest::newRow("p4 type never checked") << 4 << true << "" << -1 << true;
}

void TestTermsetRules::validation()
{
    QFETCH(int, page);
    QFETCH(bool, typeRewrite);
    QFETCH(QString, unselected);
    QFETCH(int, type);
    QFETCH(bool, allowed);
    const PageDef &d = pageDef(page);
    const auto selected = [&](int field) {
        if (field == typeField(d))
            return type;
        return location(page, field) == unselected ? -1 : 1;
    };
    QCOMPARE(writeAllowed(d, selected, typeRewrite), allowed);
}

void TestTermsetRules::effectiveAddresses_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("radioItem");
    QTest::addColumn<int>("commandWord");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("highest");
    QTest::newRow("p0 5, 28 circuits 15-21") << 0 << 5 << 3 << 1065 << 392 << 10;
    QTest::newRow("p0 items 0 and 1 share registers") << 0 << 5 << 1 << 1061 << 360 << 6;
    QTest::newRow("p0 62, 22-28 beyond 63") << 0 << 62 << 4 << 1124 << 864 << 69;
    QTest::newRow("p3 10, circuits 17-32") << 3 << 10 << 1 << 1068 << 416 << 12;
    QTest::newRow("p3 62, circuits 17-32") << 3 << 62 << 1 << 1120 << 832 << 64;
    QTest::newRow("p4 63") << 4 << 63 << 0 << 1119 << 824 << 63;
    QTest::newRow("p2 62") << 2 << 62 << 0 << 1118 << 816 << 63;
}

void TestTermsetRules::effectiveAddresses()
{
    QFETCH(int, page);
    QFETCH(int, address);
    QFETCH(int, radioItem);
    QFETCH(int, commandWord);
    QFETCH(int, block);
    QFETCH(int, highest);
    const PageDef &d = pageDef(page);
    const int b = address + blockOffset(d, radioItem);
    QCOMPARE(termset::commandWord(b), commandWord);
    QCOMPARE(settingsBlock(b), block);
    QCOMPARE(highestAddressUsed(d, b), highest);
}

void TestTermsetRules::rawToListIndex_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("expected");
    QTest::newRow("inside") << "8" << 9 << 8;
    QTest::newRow("page 2 code 9 beyond its list") << "9" << 9 << -1;
    QTest::newRow("page 0 code 9 is 1000A") << "9" << 11 << 9;
    QTest::newRow("tenth empty item of page 3") << "9" << 10 << 9;
    QTest::newRow("clear code 2") << "2" << 2 << -1;
    QTest::newRow("empty") << "" << 9 << -1;
    QTest::newRow("large") << "65535" << 23 << -1;
}

void TestTermsetRules::rawToListIndex()
{
    QFETCH(QString, raw);
    QFETCH(int, count);
    QFETCH(int, expected);
    QCOMPARE(listIndexFromRaw(raw, count), expected);
}

void TestTermsetRules::timingValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");  // -1: refused
    QTest::newRow("default") << "40" << 40;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("spaces") << " 10 " << 10;
    QTest::newRow("negative") << "-1" << -1;
    QTest::newRow("letters") << "abc" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("decimal fraction") << "1.5" << -1;
    QTest::newRow("hex") << "0x10" << -1;
    QTest::newRow("too large") << "99999999999" << -1;
}

void TestTermsetRules::timingValues()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(parseTicks(text).value_or(-1), expected);
}

QTEST_APPLESS_MAIN(TestTermsetRules)
#include "test_termset_rules.moc"
