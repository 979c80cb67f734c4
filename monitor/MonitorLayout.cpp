#include "monitor/MonitorLayout.h"
#include <QCoreApplication>
#include "monitor/ValueDecoding.h"

namespace monitor {

AreaBase wordAreaBase(int areaItem)
{
    switch (areaItem) {
    case WordBusInput: return {30033, 1};
    case Extended512: return {30321, 8};
    case EngineeringUnits: return {30833, 16};
    case InputSoftCounters: return {32625, 16};
    case TimedSoftCounters: return {33649, 16};
    case FreeUnsigned16:
    case FreeUnsigned32:
    case FreeReal: return {30033, 1};
    default: return {30001, 1};
    }
}

int wordAreaDataType(int areaItem, int terminalItem)
{
    switch (areaItem) {
    case Extended512: return terminalItem == 2 ? Unsigned24 : Unsigned16;
    case EngineeringUnits: return Real32;
    case InputSoftCounters:
    case TimedSoftCounters: return Unsigned32;
    case FreeUnsigned32: return Unsigned32;
    case FreeReal: return Real32;
    default: return Unsigned16;
    }
}

ReadWindow wordReadWindow(int areaItem, int terminalItem, int w)
{
    return wordReadWindow(wordAreaBase(areaItem), terminalItem, w);
}

ReadWindow wordReadWindow(AreaBase a, int terminalItem, int w)
{
    const bool other = terminalItem < 0 || terminalItem >= kOtherTerminal;
    return {a.base + a.stride * w, other ? 32 : 4 * a.stride};
}

BitWindow bitReadWindow(int bitItem, int b)
{
    switch (bitItem) {
    case BitBusInput: return {{30001 + b / 16, 4}, OnOff};
    case EdgeSoftCounters: return {{32369 + b, 32}, Unsigned16};
    default: return {{30001, 4}, -1};
    }
}

BitWindow d2ReadWindow(int d)
{
    return {{30033 + d / 16, 4}, OnOff};
}

BitPageLayout bitPageLayout(MonitorPage page, int bitItem, int b, int d)
{
    if (page == MonitorPage::D2)
        return {d2ReadWindow(d), true, false, QStringLiteral("D2Bus-word "), 30033, d / 16};
    return {bitReadWindow(bitItem, b), bitItem == BitBusInput || bitItem == EdgeSoftCounters,
            bitItem == EdgeSoftCounters, QStringLiteral("BitBus-word "), 30001, b / 16};
}

int headerWordOnWordPage(int w) { return w + 32; }
int headerWordOnBitPage(int b) { return b / 16; }
int headerWordOnD2Page(int d) { return 32 + d / 16; }

TerminalType terminalType(int item)
{
    switch (item) {
    case 0: return {QCoreApplication::translate("monitor", "温度測定　熱電対ターミナル"), -1};
    case 1: return {QCoreApplication::translate("monitor", "カウンターターミナル(13bit)"), -1};
    case 2: return {QCoreApplication::translate("monitor", "カウンターターミナル(24bit)"), -1};
    case 3: return {QCoreApplication::translate("monitor", "電力７回路標準ターミナル"), 0};
    case 4: return {QCoreApplication::translate("monitor", "電力14回路ターミナル"), 2};
    case 5: return {QCoreApplication::translate("monitor", "電力７回路高機能ターミナル"), 3};
    case 6: return {QCoreApplication::translate("monitor", "電流8回路ターミナル"), -1};
    case 7: return {QCoreApplication::translate("monitor", "電流16回路ターミナル"), -1};
    case 8: return {QCoreApplication::translate("monitor", "電流32回路ターミナル"), -1};
    case 9: return {QCoreApplication::translate("monitor", "コンセントバーPDU"), 1};
    case 10: return {QCoreApplication::translate("monitor", "サーミスタ温度"), 1};
    case 11: return {QCoreApplication::translate("monitor", "温湿度ターミナル"), 1};
    default: return {QCoreApplication::translate("monitor", "その他"), -1};
    }
}

namespace {

QString numbered(const char *prefix, int n)
{
    return QLatin1String(prefix) + QString::number(n);
}

// The same eight rows in every group. Channel labels and units repeated in each of the four groups; the texts
// are looked up in the translation (a text without one stays as it is).
void everyGroup(ChannelTexts &t, const std::array<const char *, 8> &labels,
                const std::array<const char *, 8> &units)
{
    for (int p = 0; p < 32; ++p) {
        t.labels[p] = QCoreApplication::translate("monitor", labels[p % 8]);
        t.units[p] = QCoreApplication::translate("monitor", units[p % 8]);
    }
}

// Fixed tables of 32 texts, read by position.
void fixed(std::array<QString, 32> &out, const std::array<const char16_t *, 32> &in)
{
    for (int p = 0; p < 32; ++p)
        out[p] = QString::fromUtf16(in[p]);
}

} // namespace

int terminalWordCount(int item)
{
    switch (item) {
    case 2:
    case 3:
    case 7:
        return 2;
    case 4:
    case 5:
    case 8:
        return 4;
    default:
        return 1;
    }
}

ChannelTexts terminalChannels(int terminalItem, int areaItem)
{
    ChannelTexts t;
    const QString none;
    switch (terminalItem) {
    case 0:
    case 1: {
        const bool withUnit = terminalItem == 0
                                  ? (areaItem == Extended512 || areaItem == EngineeringUnits)
                                  : areaItem == Extended512;
        const QString unit = terminalItem == 0 ? QCoreApplication::translate("monitor", "℃")
                                                : QCoreApplication::translate("monitor", "回");
        for (int p = 0; p < 32; ++p) {
            t.labels[p] = numbered("CH", p % 8);
            t.units[p] = withUnit ? unit : none;
        }
        break;
    }
    case 2:
        for (int p = 0; p < 32; ++p) {
            const bool counterGroup = (p / 8) % 2 == 0;
            if (areaItem == Extended512) {
                // Each counter of the 24-bit terminal takes two registers:
                // groups 0 and 2 show its eight channels.
                t.labels[p] = counterGroup ? numbered("CH", p % 8) : none;
                t.units[p] = counterGroup ? QCoreApplication::translate("monitor", "回") : none;
            } else {
                t.labels[p] = numbered("CH", p % 8);
                t.units[p] = none;
            }
        }
        break;
    case 3:
        for (int p = 0; p < 32; ++p) {
            const int k = p % 8;
            const bool currentGroup = (p / 8) % 2 == 0;
            if (k == 0) {
                t.labels[p] = currentGroup ? QStringLiteral("Vab") : QStringLiteral("Vbc");
                t.units[p] = QStringLiteral("V");
            } else {
                t.labels[p] = numbered(currentGroup ? "I" : "P", k);
                t.units[p] = currentGroup ? QStringLiteral("A") : QStringLiteral("W");
            }
        }
        break;
    case 4:
        fixed(t.labels, {u"V1", u"I11", u"I21", u"I31", u"I41", u"I51", u"I61", u"I71",
                         u"",   u"P11", u"P21", u"P31", u"P41", u"P51", u"P61", u"P71",
                         u"V2", u"I12", u"I22", u"I32", u"I42", u"I52", u"I62", u"I72",
                         u"",   u"P12", u"P22", u"P32", u"P42", u"P52", u"P62", u"P72"});
        fixed(t.units, {u"V", u"A", u"A", u"A", u"A", u"A", u"A", u"A",
                        u"-", u"W", u"W", u"W", u"W", u"W", u"W", u"W",
                        u"V", u"A", u"A", u"A", u"A", u"A", u"A", u"A",
                        u"-", u"W", u"W", u"W", u"W", u"W", u"W", u"W"});
        break;
    case 5:
        fixed(t.labels, {u"Vab", u"I1a", u"I2a", u"I3a", u"I4a", u"I5a", u"I6a", u"I7a",
                         u"Vca", u"I1b", u"I2b", u"I3b", u"I4b", u"I5b", u"I6b", u"I7b",
                         u"Vcb", u"I1c", u"I2c", u"I3c", u"I4c", u"I5c", u"I6c", u"I7c",
                         u"",    u"P1",  u"P2",  u"P3",  u"P4",  u"P5",  u"P6",  u"P7"});
        fixed(t.units, {u"V", u"A", u"A", u"A", u"A", u"A", u"A", u"A",
                        u"V", u"A", u"A", u"A", u"A", u"A", u"A", u"A",
                        u"V", u"A", u"A", u"A", u"A", u"A", u"A", u"A",
                        u"-", u"W", u"W", u"W", u"W", u"W", u"W", u"W"});
        break;
    case 6:
    case 7:
    case 8: {
        const int span = terminalItem == 6 ? 8 : terminalItem == 7 ? 16 : 32;
        for (int p = 0; p < 32; ++p) {
            t.labels[p] = numbered("I", p % span);
            t.units[p] = QStringLiteral("A");
        }
        break;
    }
    case 9:
        everyGroup(t, {QT_TRANSLATE_NOOP("monitor", "生存"), QT_TRANSLATE_NOOP("monitor", "A電流"), "Atrip", QT_TRANSLATE_NOOP("monitor", "B電流"), "Btrip", QT_TRANSLATE_NOOP("monitor", "A直前"), QT_TRANSLATE_NOOP("monitor", "B直前"), "--"},
                   {"", "A", "", "A", "", "A", "A", ""});
        break;
    case 10:
        everyGroup(t, {QT_TRANSLATE_NOOP("monitor", "温度1"), QT_TRANSLATE_NOOP("monitor", "温度2"), "--", "--", "--", "--", "--", "--"},
                   {QT_TRANSLATE_NOOP("monitor", "℃"), QT_TRANSLATE_NOOP("monitor", "℃"), "", "", "", "", "", ""});
        break;
    case 11:
        everyGroup(t, {"--", "--", QT_TRANSLATE_NOOP("monitor", "温度"), QT_TRANSLATE_NOOP("monitor", "湿度"), "--", "--", "--", "--"},
                   {"", "", QT_TRANSLATE_NOOP("monitor", "℃"), QT_TRANSLATE_NOOP("monitor", "%RH"), "", "", "", ""});
        break;
    default:
        for (int p = 0; p < 32; ++p) {
            t.labels[p] = numbered("CH", p % 8);
            t.units[p] = none;
        }
        break;
    }
    return t;
}

ChannelTexts bitPairChannels()
{
    ChannelTexts t;
    for (int p = 0; p < 32; ++p) {
        t.labels[p] = QString::number(2 * (p % 8));
        t.units[p] = QString::number(2 * (p % 8) + 1);
    }
    return t;
}

ChannelTexts edgeCounterChannels()
{
    ChannelTexts t;
    for (int p = 0; p < 32; ++p) {
        t.labels[p] = QString::number(p % 16);
        t.units[p] = QCoreApplication::translate("monitor", "回");
    }
    return t;
}

AddressLabels addressLabels(int w, int b, int d)
{
    auto five = [](int n) { return QString::number(n).rightJustified(5, u'0'); };
    return {
        QString::number(30033 + w),
        five(10001 + b),
        QString::number(30001 + b / 16),
        five(1 + b),
        five(11001 + d),
        QString::number(30033 + d / 16),
        five(4001 + d),
    };
}

int coilOfAddressLabel(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    return ok && n >= 1 ? n - 1 : -1;
}

QString selectionKey(MonitorPage page, int bitItem, int b, int d, int terminalItem, int w,
                     int areaItem, int dataTypeItem, bool converted)
{
    const QChar c = converted ? u'c' : u'n';
    switch (page) {
    case MonitorPage::Bit:
        // Only the edge soft counters' numbers are converted on the bit page.
        return QStringLiteral("bit/%1/%2/%3").arg(bitItem).arg(b).arg(bitItem == EdgeSoftCounters ? c : u'n');
    case MonitorPage::D2: return QStringLiteral("d2/%1/%2").arg(bitItem).arg(d);
    case MonitorPage::Word: break;
    }
    return QStringLiteral("word/%1/%2/%3/%4/%5").arg(terminalItem).arg(w).arg(areaItem).arg(dataTypeItem).arg(c);
}

} // namespace monitor
