#include "termset/TermsetRules.h"
#include <QCoreApplication>
#include <array>

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

// Pages 0 and 2: answer index -> raw field number (cfgN), 0 for none.
int powerFieldNumber(int index)
{
    if (index >= 0 && index <= 3)
        return index + 1;
    if (index >= 9 && index <= 15)
        return index - 4;
    return 0;
}

// Group-rule field suffixes of the current pages, [register 1..7][group].
// An empty entry has no field.
using GroupTable = std::array<std::array<const char *, 4>, 8>;

const GroupTable kCurron08Groups = {{
    {{nullptr, nullptr, nullptr, nullptr}},
    {{"1", "101", "201", nullptr}},
    {{"2", "102", nullptr, nullptr}},
    {{"3", "103", nullptr, nullptr}},
    {{nullptr, "104", nullptr, nullptr}},
    {{nullptr, "105", nullptr, nullptr}},
    {{nullptr, "106", nullptr, nullptr}},
    {{nullptr, "107", nullptr, nullptr}},
}};

const GroupTable kCurron16Groups = {{
    {{nullptr, nullptr, nullptr, nullptr}},
    {{"1", "101", "201", "301"}},
    {{"2", "102", "202", "302"}},
    {{"3", "103", "203", nullptr}},
    {{nullptr, "104", "204", nullptr}},
    {{nullptr, "105", "205", nullptr}},
    {{nullptr, "106", "206", nullptr}},
    {{nullptr, "107", "207", nullptr}},
}};

// CRC mode of the 8-circuit page: registers 4 to 7 carry two current
// ranges each, low byte first.
const std::array<std::array<const char *, 2>, 8> kCurron08Bytes = {{
    {{nullptr, nullptr}}, {{nullptr, nullptr}}, {{nullptr, nullptr}}, {{nullptr, nullptr}},
    {{"101", "102"}},
    {{"103", "104"}},
    {{"105", "106"}},
    {{"107", "201"}},
}};

void groupRule(QList<RawWrite> &out, const QString &prefix, const GroupTable &table, int index,
               uint16_t value)
{
    if (index == 0) {
        out << RawWrite{prefix + u'0', value};
        return;
    }
    if (index < 1 || index > 7)
        return;
    if (const char *suffix = table[size_t(index)][size_t(wordGroup(value))])
        out << RawWrite{prefix + QLatin1String(suffix), uint16_t(wordCode(value))};
}

QList<PageDef> buildPages()
{
    QList<PageDef> pages;

    // ---- page 0: power, 7 circuits or 28 taken 7 at a time ----
    {
        PageDef p;
        p.index = Wattor7;
        p.tabName = QStringLiteral("tsWattor7");
        p.addressLabel = QStringLiteral("stWattor7adrs");
        p.upDown = QStringLiteral("UpDown1");
        p.addressMax = 62;
        p.readButton = QStringLiteral("btnReadWattor7");
        p.writeButton = QStringLiteral("btnWriteWattor7");
        p.cancelButton = QStringLiteral("btnReadWattor7Cancel");
        p.statusLabel = QStringLiteral("lbWattor7WriteStatus");
        p.progressBar = QStringLiteral("Wattor7ProgressBar1");
        p.radioGroup = QStringLiteral("RadioGroup1");
        p.radioOffsets = {0, 0, 2, 4, 6};
        p.radioLabelCaptions = {
            numbered(QStringLiteral("I"), 1, 7),
            {"I11", "I21", "I31", "I41", "I51", "I61", "I71"},
            {"I12", "I22", "I32", "I42", "I52", "I62", "I72"},
            {"I81", "I91", "I101", "I111", "I121", "I131", "I141"},
            {"I82", "I93", "I104", "I115", "I126", "I137", "I148"},
        };
        p.currentLabels = numbered(QStringLiteral("Label"), 6, 12);
        p.rawFields = numbered(QStringLiteral("stWattor7cfg"), 1, 11);
        p.required = p.rawFields;
        p.registerCount = 16;
        p.powerPage = true;
        p.readFailText = kNoSetting;
        p.writeFailText = kNoSetting;
        const QStringList cur = numbered(QStringLiteral("cbxWattor7Cur"), 1, 7);
        p.listSources = {{"cbxWattor7Freq", "stWattor7cfg2"},
                         {"cbxWattor7Volt", "stWattor7cfg3"},
                         {"cbxWattor7Type", "stWattor7cfg4"}};
        for (int k = 0; k < 7; ++k)
            p.listSources << ListSource{cur[k], QStringLiteral("stWattor7cfg%1").arg(k + 5)};
        p.mustSelect = QStringList{"cbxWattor7Freq", "cbxWattor7Volt"} + cur;
        p.typeList = QStringLiteral("cbxWattor7Type");
        p.allowedTypes = {1, 2, 3, 9, 10, 11};
        pages << p;
    }

    // ---- page 1: current, 8 circuits ----
    {
        PageDef p;
        p.index = Curron08;
        p.tabName = QStringLiteral("tsCurron08");
        p.addressLabel = QStringLiteral("stCurron08Adrs");
        p.upDown = QStringLiteral("UpDown2");
        p.addressMax = 63;
        p.readButton = QStringLiteral("btnReadCurron08");
        p.writeButton = QStringLiteral("btnWriteCurron08");
        p.cancelButton = QStringLiteral("btnReadCurron08Cancel");
        p.statusLabel = QStringLiteral("lbCurron08WriteStatus");
        p.progressBar = QStringLiteral("Curron08ProgressBar1");
        p.rawFields = numbered(QStringLiteral("stCurron08cfg"), 0, 3)
                      + numbered(QStringLiteral("stCurron08cfg"), 101, 107)
                      + QStringList{QStringLiteral("stCurron08cfg201")};
        p.required = p.rawFields.mid(1);
        p.registerCount = 8;
        p.powerPage = false;
        p.readFailText = kNotRead;
        p.writeFailText = kNoSetting;
        const QStringList cur = numbered(QStringLiteral("cbxCurron08Cur"), 1, 8);
        p.listSources = {{"cbxCurron08Freq", "stCurron08cfg1"},
                         {"cbxCurron08Volt", "stCurron08cfg2"},
                         {"cbxCurron08Type", "stCurron08cfg3"}};
        for (int k = 0; k < 7; ++k)
            p.listSources << ListSource{cur[k], QStringLiteral("stCurron08cfg%1").arg(101 + k)};
        p.listSources << ListSource{cur[7], QStringLiteral("stCurron08cfg201")};
        p.mustSelect = QStringList{"cbxCurron08Freq", "cbxCurron08Volt"} + cur;
        p.typeList = QStringLiteral("cbxCurron08Type");
        p.allowedTypes = {4, 5, 6};
        pages << p;
    }

    // ---- page 2: power, 14 circuits (one range per circuit pair) ----
    {
        PageDef p = pages[0];
        p.index = Wattor14;
        p.tabName = QStringLiteral("tsWattor14");
        p.addressLabel = QStringLiteral("stWattor14Adrs");
        p.upDown = QStringLiteral("UpDown4");
        p.addressMax = 62;
        p.readButton = QStringLiteral("btnReadWattor14");
        p.writeButton = QStringLiteral("btnWriteWattor14");
        p.cancelButton = QStringLiteral("btnReadWattor14Cancel");
        p.statusLabel = QStringLiteral("lbWattor14WriteStatus");
        p.progressBar = QStringLiteral("Wattor14ProgressBar1");
        p.radioGroup.clear();
        p.radioOffsets.clear();
        p.radioLabelCaptions.clear();
        p.currentLabels.clear();
        p.rawFields = numbered(QStringLiteral("stWattor14cfg"), 1, 11);
        p.required = p.rawFields;
        const QStringList cur = {"cbxWattor14Cur12",  "cbxWattor14Cur34",   "cbxWattor14Cur56",
                                 "cbxWattor14Cur78",  "cbxWattor14Cur910",  "cbxWattor14Cur1112",
                                 "cbxWattor14Cur1314"};
        p.listSources = {{"cbxWattor14Freq", "stWattor14cfg2"},
                         {"cbxWattor14Volt", "stWattor14cfg3"},
                         {"cbxWattor14Type", "stWattor14cfg4"}};
        for (int k = 0; k < 7; ++k)
            p.listSources << ListSource{cur[k], QStringLiteral("stWattor14cfg%1").arg(k + 5)};
        p.mustSelect = QStringList{"cbxWattor14Freq", "cbxWattor14Volt"} + cur;
        p.typeList = QStringLiteral("cbxWattor14Type");
        p.allowedTypes = {1, 2, 3};
        pages << p;
    }

    // ---- page 3: current, 16 circuits or 32 taken 16 at a time ----
    {
        PageDef p = pages[1];
        p.index = Curron16;
        p.tabName = QStringLiteral("tsCurron16");
        p.addressLabel = QStringLiteral("stCurron16Adrs");
        p.upDown = QStringLiteral("UpDown3");
        p.addressMax = 62;
        p.readButton = QStringLiteral("btnReadCurron16");
        p.writeButton = QStringLiteral("btnWriteCurron16");
        p.cancelButton = QStringLiteral("btnReadCurron16Cancel");
        p.statusLabel = QStringLiteral("lbCurron16WriteStatus");
        p.progressBar = QStringLiteral("Curron16ProgressBar1");
        p.radioGroup = QStringLiteral("RadioGroup2");
        p.radioOffsets = {0, 2};
        p.radioLabelCaptions = {numbered(QStringLiteral("I"), 1, 16), numbered(QStringLiteral("I"), 17, 32)};
        p.currentLabels = numbered(QStringLiteral("lblC"), 1, 16);
        p.rawFields = numbered(QStringLiteral("stCurron16cfg"), 0, 3)
                      + numbered(QStringLiteral("stCurron16cfg"), 101, 107)
                      + numbered(QStringLiteral("stCurron16cfg"), 201, 207)
                      + numbered(QStringLiteral("stCurron16cfg"), 301, 302);
        p.required = p.rawFields;
        const QStringList cur = numbered(QStringLiteral("cbxCurron16Cur"), 1, 16);
        p.listSources = {{"cbxCurron16Freq", "stCurron16cfg1"},
                         {"cbxCurron16Volt", "stCurron16cfg2"},
                         {"cbxCurron16Type", "stCurron16cfg3"}};
        for (int k = 0; k < 7; ++k)
            p.listSources << ListSource{cur[k], QStringLiteral("stCurron16cfg%1").arg(101 + k)};
        for (int k = 0; k < 7; ++k)
            p.listSources << ListSource{cur[7 + k], QStringLiteral("stCurron16cfg%1").arg(201 + k)};
        p.listSources << ListSource{cur[14], QStringLiteral("stCurron16cfg301")}
                      << ListSource{cur[15], QStringLiteral("stCurron16cfg302")};
        p.mustSelect = QStringList{"cbxCurron16Freq", "cbxCurron16Volt"} + cur;
        p.typeList = QStringLiteral("cbxCurron16Type");
        p.allowedTypes = {4, 5, 6};
        pages << p;
    }

    // ---- page 4: outlet bar ----
    {
        PageDef p;
        p.index = PDU;
        p.tabName = QStringLiteral("tsPDU");
        p.addressLabel = QStringLiteral("stPDUadrs");
        p.upDown = QStringLiteral("UpDown5");
        p.addressMax = 63;
        p.readButton = QStringLiteral("btnReadPDU");
        p.writeButton = QStringLiteral("btnWritePDU");
        p.cancelButton = QStringLiteral("btnCancelPDU");
        p.statusLabel = QStringLiteral("lbPDUWriteStatus");
        p.progressBar = QStringLiteral("PDUProgressBar1");
        p.rawFields = numbered(QStringLiteral("stPDUcfg"), 0, 3);
        p.required = p.rawFields.mid(1);
        p.registerCount = 8;
        p.powerPage = false;
        p.readFailText = kNotRead;
        p.writeFailText = kNoSetting;
        p.listSources = {{"cbxPDUfreq", "stPDUcfg1"}, {"cbxPDUclr", "stPDUcfg2"}, {"cbxPDUtype", "stPDUcfg3"}};
        p.mustSelect = {"cbxPDUfreq", "cbxPDUclr"};
        p.typeList = QStringLiteral("cbxPDUtype");
        pages << p;
    }

    // ---- write orders ----
    // Power pages: frequency, voltage and (optionally) type to the command
    // word, the seven current ranges to the second command word.
    for (int page : {int(Wattor7), int(Wattor14)}) {
        PageDef &p = pages[page];
        p.firstProgress = 8;
        p.items = {{p.listSources[0].list, 0x2000, false, false, 16},
                   {p.listSources[1].list, 0x4000, false, false, 24},
                   {p.listSources[2].list, 0x6000, false, true, 32}};
        const int progress[7] = {40, 48, 56, 64, 72, 80, 90};
        for (int k = 0; k < 7; ++k)
            p.items << WriteItem{p.listSources[3 + k].list, itemCommand(k + 1, 0, 0), true, false, progress[k]};
        p.progressAfterLeave = 93;
        p.progressAfterEnter = 96;
    }
    // Current pages: frequency, then circuit n at register 1 + (n-1) mod 7,
    // group 1 + (n-1) div 7.
    {
        const int progress[16] = {25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 80, 84, 88, 92, 95};
        for (int page : {int(Curron08), int(Curron16)}) {
            PageDef &p = pages[page];
            const int circuits = page == Curron08 ? 8 : 16;
            p.firstProgress = 5;
            p.items = {{p.listSources[0].list, 0x2000, false, false, 10}};
            for (int n = 1; n <= circuits; ++n)
                p.items << WriteItem{p.listSources[2 + n].list,
                                     itemCommand(1 + (n - 1) % 7, 1 + (n - 1) / 7, 0), false, false,
                                     progress[n - 1]};
            p.progressAfterLeave = 98;
            p.progressAfterEnter = 99;
        }
    }
    {
        PageDef &p = pages[PDU];
        p.firstProgress = 5;
        p.items = {{QStringLiteral("cbxPDUfreq"), 0x2000, false, false, 10},
                   {QStringLiteral("cbxPDUclr"), 0x4000, false, false, 60}};
        p.progressAfterLeave = 98;
        p.progressAfterEnter = 99;
    }
    return pages;
}

} // namespace

uint16_t itemCommand(int reg, int group, int code)
{
    return uint16_t((reg & 7) << 13 | (group & 3) << 9 | (code & 0x1FF));
}

QList<RawWrite> decodeParameterWord(int page, int index, uint16_t value, bool crcMode)
{
    QList<RawWrite> out;
    switch (page) {
    case Wattor7:
    case Wattor14:
        if (const int n = powerFieldNumber(index))
            out << RawWrite{(page == Wattor7 ? QStringLiteral("stWattor7cfg") : QStringLiteral("stWattor14cfg"))
                                + QString::number(n),
                            value};
        break;
    case PDU:
        if (index >= 0 && index <= 3)
            out << RawWrite{QStringLiteral("stPDUcfg") + QString::number(index), value};
        break;
    case Curron08: {
        const QString prefix = QStringLiteral("stCurron08cfg");
        if (crcMode && index >= 1 && index <= 7) {
            if (index <= 3) {
                out << RawWrite{prefix + QString::number(index), value};
            } else {
                const auto &bytes = kCurron08Bytes[size_t(index)];
                out << RawWrite{prefix + QLatin1String(bytes[0]), uint16_t(value & 0xFF)}
                    << RawWrite{prefix + QLatin1String(bytes[1]), uint16_t(value >> 8)};
            }
        }
        groupRule(out, prefix, kCurron08Groups, index, value);
        break;
    }
    case Curron16:
        groupRule(out, QStringLiteral("stCurron16cfg"), kCurron16Groups, index, value);
        break;
    default:
        break;
    }
    return out;
}

const PageDef &pageDef(int page)
{
    static const QList<PageDef> pages = buildPages();
    return pages[qBound(0, page, int(PageCount) - 1)];
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

QList<CommandStep> writeCommands(const PageDef &def, int b,
                                 const std::function<int(const QString &)> &selected,
                                 bool typeRewrite)
{
    const int cmd = commandWord(b);
    QList<CommandStep> steps;
    steps << CommandStep{cmd, kEnterSettings, true, def.firstProgress};
    for (const WriteItem &item : def.items) {
        if (item.typeOnly && !typeRewrite)
            continue;
        const int index = selected(item.list);
        steps << CommandStep{item.secondWord ? cmd + 1 : cmd, uint16_t(item.base + index), true,
                             item.progress};
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

bool writeAllowed(const PageDef &def, const std::function<int(const QString &)> &selected,
                  bool typeRewrite)
{
    for (const QString &list : def.mustSelect)
        if (selected(list) < 0)
            return false;
    if (typeRewrite && !def.allowedTypes.isEmpty())
        return def.allowedTypes.contains(selected(def.typeList));
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

QStringList productTypeItems()
{
    return {QCoreApplication::translate("termset", "0: 無効"),
            QCoreApplication::translate("termset", "1: 三相3線式電力7回路(4W)"),
            QCoreApplication::translate("termset", "2: 単相3線式電力7回路(4W)"),
            QCoreApplication::translate("termset", "3: 単相2線式電力7回路(4W)"),
            QCoreApplication::translate("termset", "4: 三相3線式電力1回路"),
            QCoreApplication::translate("termset", "5: 単相3線式電力1回路"),
            QCoreApplication::translate("termset", "6: 単相2線式電力1回路"),
            QCoreApplication::translate("termset", "7: 電流16回路"),
            QCoreApplication::translate("termset", "8: 電圧16回路"),
            QCoreApplication::translate("termset", "9: 三相3線式電力7回路(2W)"),
            QCoreApplication::translate("termset", "10: 単相3線式電力7回路(2W)"),
            QCoreApplication::translate("termset", "11: 単相2線式電力７回路(2W)"),
            QCoreApplication::translate("termset", "12: 電流32/16回路"),
            QCoreApplication::translate("termset", "13: 単相2線式電力28/14回路"),
            QCoreApplication::translate("termset", "14: マルチメータ"),
            QStringLiteral("15: PQM"),
            QCoreApplication::translate("termset", "16: 単回路電力"),
            QCoreApplication::translate("termset", "17: 電力7回路標準/高機能"),
            QCoreApplication::translate("termset", "18: ｺﾝｾﾝﾄﾊﾞｰ"),
            QCoreApplication::translate("termset", "19: 4回路電力高機能"),
            QCoreApplication::translate("termset", "20: 単相4回路電力"),
            QStringLiteral("21: ---------"),
            QCoreApplication::translate("termset", "22: 電流8回路")};
}

QStringList frequencyItems()
{
    return {QCoreApplication::translate("termset", "0: 無効"), QStringLiteral("1: 50Hz"), QStringLiteral("2: 60Hz")};
}

} // namespace termset
