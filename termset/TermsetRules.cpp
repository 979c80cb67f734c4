#include "termset/TermsetRules.h"
#include <QCoreApplication>

namespace termset {

namespace {

const char *const kNoSetting = QT_TRANSLATE_NOOP("termset", "設定値が読み出せませんでした");
const char *const kNotRead = QT_TRANSLATE_NOOP("termset", "読み出せませんでした");

QStringList numbered(const QString &prefix, int from, int to)
{
    QStringList l;
    for (int i = from; i <= to; ++i)
        l << prefix + QString::number(i);
    return l;
}

// Register 0 and registers 1 to 3 that every page begins with, in group 0:
// frequency, voltage (the outlet bar's clear command) and product type.
QList<Field> commonFields(CodeList reg2Codes, Write typeWrite, bool registerZeroAwaited)
{
    Field zero;
    zero.awaited = registerZeroAwaited;
    Field frequency{0, 1, 0, CodeList::Frequency, Write::Always};
    Field reg2{0, 2, 0, reg2Codes};
    Field type{0, 3, 0, CodeList::ProductType, typeWrite};
    return {zero, frequency, reg2, type};
}

// Circuit n (1-based) of a current page: register 1 + (n-1) mod 7, group
// 1 + (n-1) div 7.
Field currentCircuit(int n, CodeList codes)
{
    return Field{0, 1 + (n - 1) % 7, 1 + (n - 1) / 7, codes, Write::Always};
}

// The power pages: 7 circuits or 28 taken 7 at a time (page 0), and 14
// (page 2). Frequency, voltage and (optionally) the type go to the command
// word, the seven current ranges, in block 1, to the second command word.
PageDef powerPage(int page)
{
    const bool p0 = page == Wattor7;
    PageDef p;
    p.index = page;
    if (p0) {
        p.radioOffsets = {0, 0, 2, 4, 6};
        p.radioLabelCaptions = {
            numbered(QStringLiteral("I"), 1, 7),
            {"I11", "I21", "I31", "I41", "I51", "I61", "I71"},
            {"I12", "I22", "I32", "I42", "I52", "I62", "I72"},
            {"I81", "I91", "I101", "I111", "I121", "I131", "I141"},
            {"I82", "I93", "I104", "I115", "I126", "I137", "I148"},
        };
    }
    p.registerCount = 16;
    p.powerPage = true;
    p.readFailText = kNoSetting;
    p.writeFailText = kNoSetting;
    p.decoding = Decoding::WholeWords;
    p.fields = commonFields(p0 ? CodeList::PowerVoltage : CodeList::PowerVoltage14, Write::TypeRewrite, true);
    p.fields[1].progress = 16;
    p.fields[2].write = Write::Always;
    p.fields[2].progress = 24;
    p.fields[3].progress = 32;
    const int progress[7] = {40, 48, 56, 64, 72, 80, 90};
    for (int r = 1; r <= 7; ++r)
        p.fields << Field{1, r, 0, p0 ? CodeList::PowerRange : CodeList::CurrentRange, Write::Always,
                          progress[r - 1]};
    p.allowedTypes = p0 ? QList<int>{1, 2, 3, 9, 10, 11} : QList<int>{1, 2, 3};
    p.firstProgress = 8;
    p.progressAfterLeave = 93;
    p.progressAfterEnter = 96;
    return p;
}

// The current pages: 8 circuits (page 1), and 16 or 32 taken 16 at a time
// (page 3). The frequency, then the circuits; voltage and type are only
// read.
PageDef currentPage(int page)
{
    const bool p1 = page == Curron08;
    PageDef p;
    p.index = page;
    if (!p1) {
        p.radioOffsets = {0, 2};
        p.radioLabelCaptions = {numbered(QStringLiteral("I"), 1, 16), numbered(QStringLiteral("I"), 17, 32)};
    }
    p.registerCount = 8;
    p.powerPage = false;
    p.readFailText = kNotRead;
    p.writeFailText = kNoSetting;
    p.decoding = Decoding::GroupRule;
    p.crcBytes = p1;
    p.fields = commonFields(CodeList::CurrentVoltage, Write::Never, !p1);
    p.fields[1].progress = 10;
    const int progress[16] = {25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 80, 84, 88, 92, 95};
    const int circuits = p1 ? 8 : 16;
    for (int n = 1; n <= circuits; ++n) {
        // The first three lists of page 3 end in an empty tenth item.
        Field f = currentCircuit(n, !p1 && n <= 3 ? CodeList::CurrentRangeBlank : CodeList::CurrentRange);
        f.progress = progress[n - 1];
        p.fields << f;
    }
    p.allowedTypes = {4, 5, 6};
    p.firstProgress = 5;
    p.progressAfterLeave = 98;
    p.progressAfterEnter = 99;
    return p;
}

// The outlet bar (page 4): frequency and the clear command (register 2).
PageDef outletPage()
{
    PageDef p;
    p.index = PDU;
    p.registerCount = 8;
    p.powerPage = false;
    p.readFailText = kNotRead;
    p.writeFailText = kNoSetting;
    p.decoding = Decoding::WholeWords;
    p.fields = commonFields(CodeList::OutletClear, Write::Never, false);
    p.fields[1].progress = 10;
    p.fields[2].write = Write::Always;
    p.fields[2].progress = 60;
    p.firstProgress = 5;
    p.progressAfterLeave = 98;
    p.progressAfterEnter = 99;
    return p;
}

QList<PageDef> buildPages()
{
    return {powerPage(Wattor7), currentPage(Curron08), powerPage(Wattor14), currentPage(Curron16), outletPage()};
}

void decodeWholeWord(QList<RawWrite> &out, const PageDef &def, int index, uint16_t value)
{
    if (const int f = fieldAt(def, index / 8, index % 8, 0); f >= 0)
        out << RawWrite{f, value};
}

void decodeGroupRule(QList<RawWrite> &out, const PageDef &def, int reg, uint16_t value)
{
    if (reg == 0) {
        decodeWholeWord(out, def, 0, value);
        return;
    }
    if (const int f = fieldAt(def, 0, reg, wordGroup(value)); f >= 0)
        out << RawWrite{f, uint16_t(wordCode(value))};
}

// CRC mode: registers 1 to 3 whole, registers 4 to 7 the current ranges of
// circuits 2(r-4)+1 and 2(r-4)+2, low byte first.
void decodeCrcBytes(QList<RawWrite> &out, const PageDef &def, int reg, uint16_t value)
{
    if (reg <= 3) {
        decodeWholeWord(out, def, reg, value);
        return;
    }
    const int first = 2 * (reg - 4) + 1;
    const uint16_t bytes[2] = {uint16_t(value & 0xFF), uint16_t(value >> 8)};
    for (int k = 0; k < 2; ++k) {
        const Field c = currentCircuit(first + k, CodeList::None);
        if (const int f = fieldAt(def, 0, c.reg, c.group); f >= 0)
            out << RawWrite{f, bytes[k]};
    }
}

} // namespace

uint16_t itemCommand(int reg, int group, int code)
{
    return uint16_t((reg & 7) << 13 | (group & 3) << 9 | (code & 0x1FF));
}

QList<RawWrite> decodeParameterWord(int page, int index, uint16_t value, bool crcMode)
{
    QList<RawWrite> out;
    if (page < 0 || page >= PageCount)
        return out;
    const PageDef &def = pageDef(page);
    if (index < 0 || index >= def.registerCount)
        return out;
    switch (def.decoding) {
    case Decoding::WholeWords:
        decodeWholeWord(out, def, index, value);
        break;
    case Decoding::GroupRule:
        if (crcMode && def.crcBytes && index >= 1)
            decodeCrcBytes(out, def, index, value);
        decodeGroupRule(out, def, index, value);
        break;
    }
    return out;
}

const PageDef &pageDef(int page)
{
    static const QList<PageDef> pages = buildPages();
    return pages[qBound(0, page, int(PageCount) - 1)];
}

int fieldAt(const PageDef &def, int block, int reg, int group)
{
    for (int i = 0; i < def.fields.size(); ++i) {
        const Field &f = def.fields[i];
        if (f.block == block && f.reg == reg && f.group == group)
            return i;
    }
    return -1;
}

int typeField(const PageDef &def)
{
    for (int i = 0; i < def.fields.size(); ++i)
        if (def.fields[i].codes == CodeList::ProductType)
            return i;
    return -1;
}

bool mustSelect(const Field &f)
{
    return f.codes != CodeList::None && f.codes != CodeList::ProductType;
}

int blockOffset(const PageDef &def, int radioItem)
{
    if (radioItem < 0 || radioItem >= def.radioOffsets.size())
        return 0;
    return def.radioOffsets[radioItem];
}

int highestAddressUsed(const PageDef &def, int b)
{
    return def.powerPage ? b + 1 : b;
}

QList<CommandStep> writeCommands(const PageDef &def, int b, const SelectedCode &selected,
                                 bool typeRewrite)
{
    const int cmd = commandWord(b);
    QList<CommandStep> steps;
    steps << CommandStep{cmd, kEnterSettings, true, def.firstProgress};
    for (int i = 0; i < def.fields.size(); ++i) {
        const Field &f = def.fields[i];
        if (f.write == Write::Never || (f.write == Write::TypeRewrite && !typeRewrite))
            continue;
        // The code is added to the command as it is: the validation saw
        // to it that the list has a selection.
        const uint16_t command = uint16_t(itemCommand(f.reg, f.group, 0) + selected(i));
        steps << CommandStep{cmd + f.block, command, true, f.progress};
    }
    steps << CommandStep{cmd, kLeaveSettings, true, def.progressAfterLeave}
          << CommandStep{cmd, kEnterSettings, true, def.progressAfterEnter};
    return steps;
}

QList<int> leaveRegisters(const PageDef &def, int b, bool write)
{
    QList<int> regs{commandWord(b)};
    if (write && def.powerPage)
        regs << commandWord(b) + 1;
    return regs;
}

bool writeAllowed(const PageDef &def, const SelectedCode &selected, bool typeRewrite)
{
    for (int i = 0; i < def.fields.size(); ++i)
        if (mustSelect(def.fields[i]) && selected(i) < 0)
            return false;
    if (typeRewrite && !def.allowedTypes.isEmpty())
        return def.allowedTypes.contains(selected(typeField(def)));
    return true;
}

int listIndexFromRaw(const QString &raw, int count)
{
    bool ok = false;
    const int v = raw.toInt(&ok);
    return ok && v >= 0 && v < count ? v : -1;
}

std::optional<int> parseTicks(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok || v < 0)
        return std::nullopt;
    return v;
}

QStringList codeListItems(CodeList list)
{
    const auto translated = [](const char *text) { return QCoreApplication::translate("termset", text); };
    const QString off = translated(QT_TRANSLATE_NOOP("termset", "0: 無効"));
    const QStringList ranges = {off,
                                QStringLiteral("1: 15A"),
                                QStringLiteral("2: 80A"),
                                QStringLiteral("3: 120A"),
                                QStringLiteral("4: 200A"),
                                QStringLiteral("5: 300A"),
                                QStringLiteral("6: 500A"),
                                QStringLiteral("7: 30A"),
                                QStringLiteral("8: 60A")};
    switch (list) {
    case CodeList::None:
        return {};
    case CodeList::Frequency:
        return {off, QStringLiteral("1: 50Hz"), QStringLiteral("2: 60Hz")};
    case CodeList::ProductType:
        return {off,
                translated(QT_TRANSLATE_NOOP("termset", "1: 三相3線式電力7回路(4W)")),
                translated(QT_TRANSLATE_NOOP("termset", "2: 単相3線式電力7回路(4W)")),
                translated(QT_TRANSLATE_NOOP("termset", "3: 単相2線式電力7回路(4W)")),
                translated(QT_TRANSLATE_NOOP("termset", "4: 三相3線式電力1回路")),
                translated(QT_TRANSLATE_NOOP("termset", "5: 単相3線式電力1回路")),
                translated(QT_TRANSLATE_NOOP("termset", "6: 単相2線式電力1回路")),
                translated(QT_TRANSLATE_NOOP("termset", "7: 電流16回路")),
                translated(QT_TRANSLATE_NOOP("termset", "8: 電圧16回路")),
                translated(QT_TRANSLATE_NOOP("termset", "9: 三相3線式電力7回路(2W)")),
                translated(QT_TRANSLATE_NOOP("termset", "10: 単相3線式電力7回路(2W)")),
                translated(QT_TRANSLATE_NOOP("termset", "11: 単相2線式電力７回路(2W)")),
                translated(QT_TRANSLATE_NOOP("termset", "12: 電流32/16回路")),
                translated(QT_TRANSLATE_NOOP("termset", "13: 単相2線式電力28/14回路")),
                translated(QT_TRANSLATE_NOOP("termset", "14: マルチメータ")),
                QStringLiteral("15: PQM"),
                translated(QT_TRANSLATE_NOOP("termset", "16: 単回路電力")),
                translated(QT_TRANSLATE_NOOP("termset", "17: 電力7回路標準/高機能")),
                translated(QT_TRANSLATE_NOOP("termset", "18: ｺﾝｾﾝﾄﾊﾞｰ")),
                translated(QT_TRANSLATE_NOOP("termset", "19: 4回路電力高機能")),
                translated(QT_TRANSLATE_NOOP("termset", "20: 単相4回路電力")),
                QStringLiteral("21: ---------"),
                translated(QT_TRANSLATE_NOOP("termset", "22: 電流8回路"))};
    case CodeList::PowerVoltage:
        return {off,
                QStringLiteral("1: 100V"),
                QStringLiteral("2: 200V"),
                QStringLiteral("3: 400V"),
                QStringLiteral("4: 110V"),
                QStringLiteral("5: 220V"),
                QStringLiteral("6. 440V")};
    case CodeList::PowerVoltage14:
        return {off, QStringLiteral("1: 100V"), QStringLiteral("2: 200V")};
    case CodeList::CurrentVoltage:
        return {off, QStringLiteral("1: 100V"), QStringLiteral("2: 200V"), QStringLiteral("3: 440V")};
    case CodeList::PowerRange:
        return ranges + QStringList{QStringLiteral("9: 1000A"), QStringLiteral("10: 5A")};
    case CodeList::CurrentRange:
        return ranges;
    case CodeList::CurrentRangeBlank:
        return ranges + QStringList{QString()};
    case CodeList::OutletClear:
        return {off, translated(QT_TRANSLATE_NOOP("termset", "1: クリア"))};
    }
    return {};
}

QString pageCaption(int page)
{
    static const char *const captions[PageCount] = {
        QT_TRANSLATE_NOOP("TfrmWattorSet", "電力7・28回路"), QT_TRANSLATE_NOOP("TfrmWattorSet", "電流8回路"),
        QT_TRANSLATE_NOOP("TfrmWattorSet", "電力14回路"), QT_TRANSLATE_NOOP("TfrmWattorSet", "電流16・32回路"),
        QT_TRANSLATE_NOOP("TfrmWattorSet", "ｺﾝｾﾝﾄﾊﾞｰ")};
    if (page < 0 || page >= PageCount)
        return {};
    return QCoreApplication::translate("TfrmWattorSet", captions[page]);
}

QString fieldCaption(int page, int field, int radioItem)
{
    const auto dialogText = [](const char *text) { return QCoreApplication::translate("TfrmWattorSet", text); };
    if (page < 0 || page >= PageCount || field <= 0 || field >= pageDef(page).fields.size())
        return {};
    switch (field) {
    case 1: return dialogText(QT_TRANSLATE_NOOP("TfrmWattorSet", "周波数"));
    case 2: return page == PDU ? dialogText(QT_TRANSLATE_NOOP("TfrmWattorSet", "電流値ｸﾘｱ"))
                               : dialogText(QT_TRANSLATE_NOOP("TfrmWattorSet", "電圧ﾚﾝｼﾞ"));
    case 3: return dialogText(QT_TRANSLATE_NOOP("TfrmWattorSet", "タイプ"));
    default: break;
    }
    const int k = field - kFirstRangeField;
    const PageDef &def = pageDef(page);
    if (!def.radioLabelCaptions.isEmpty()) {
        const QStringList &captions = def.radioLabelCaptions.value(qBound(0, radioItem, int(def.radioLabelCaptions.size()) - 1));
        return dialogText(captions.value(k).toUtf8().constData());
    }
    if (page == Wattor14) {
        static const char *const pairs[] = {"I1, 2", "I3, 4", "I5, 6", "I7, 8", "I9,10", "I11,12", "I13,14"};
        return k < 7 ? dialogText(pairs[k]) : QString();
    }
    return dialogText(QStringLiteral("I%1").arg(k + 1).toUtf8().constData());
}

QList<SettingsUnit> settingsUnits(int terminalType)
{
    switch (terminalType) {
    case 3:
    case 5: return {{Wattor7, 0}};
    case 4: return {{Wattor14, 0}};
    case 6: return {{Curron08, 0}};
    case 7: return {{Curron16, 0}};
    case 8: return {{Curron16, 0}, {Curron16, 1}};
    case 9: return {{PDU, 0}};
    default: return {};
    }
}

} // namespace termset
