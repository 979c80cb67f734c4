#pragma once
// The rules that turn the user's selection into a read window and a panel
// layout: data areas, terminal types with their captions, channel labels
// and units, and the Modbus address labels of the address pages.
#include <QString>
#include <array>
#include <optional>

namespace monitor {

// The pages of pcSlaveType.
enum class MonitorPage { Word, Bit, D2 };

// ---- data areas -----------------------------------------------------------

// Items of DataAreaSelect; -1 when none is selected.
enum WordArea : int {
    WordBusInput = 0,
    Extended512 = 1,
    EngineeringUnits = 2,
    InputSoftCounters = 3,
    TimedSoftCounters = 4,
    FreeUnsigned16 = 5,
    FreeUnsigned32 = 6,
    FreeReal = 7,
};
inline constexpr int kWordAreaCount = 8;
// Items of cbTerminalType (item 12 is "99：その他").
inline constexpr int kTerminalTypeCount = 13;
inline constexpr int kOtherTerminal = 12;

struct AreaBase {
    int base;    // register number of word address 0
    int stride;  // registers per word address
};

// Base and stride of a word-page data area (none selected: 30001, 1).
AreaBase wordAreaBase(int areaItem);
// The data type (cbxDataType item) a word-page data area selects.
int wordAreaDataType(int areaItem, int terminalItem);

struct ReadWindow {
    int address;  // first register number
    int size;     // register count
};
// The window of terminal w: base + stride × w; four word addresses, or 32
// registers for "99：その他" and for no terminal type.
ReadWindow wordReadWindow(int areaItem, int terminalItem, int w);
ReadWindow wordReadWindow(AreaBase area, int terminalItem, int w);

// Items of BitDataSelect; -1 when none is selected.
enum BitArea : int { BitBusInput = 0, EdgeSoftCounters = 1 };

// The bit page's window for bit address b and its data type (-1: the data
// type is left as it is).
struct BitWindow {
    ReadWindow window;
    int dataType;
};
BitWindow bitReadWindow(int bitItem, int b);
BitWindow d2ReadWindow(int d);

// What a bit page (Bit or D2) shows for the item of BitDataSelect and the
// bit addresses b (seBitAdrs) and d (seD2BitAdrs).
struct BitPageLayout {
    BitWindow window;
    // The item decides the data type, the read size and the channel texts
    // (the D2 page, bit-bus input, edge soft counters); otherwise they stay.
    bool known;
    // The channel texts are the edge soft counters' (else the bit pairs').
    bool edgeCounters;
    // The group captions: SetWordGroupCaptions(prefix, base, first).
    QString captionPrefix;
    int captionBase;
    int firstGroup;
};
BitPageLayout bitPageLayout(MonitorPage page, int bitItem, int b, int d);

// The header word's protocol address of a tick (the register that holds the
// selected terminal's data).
int headerWordOnWordPage(int w);
int headerWordOnBitPage(int b);
int headerWordOnD2Page(int d);

// ---- terminal types -------------------------------------------------------

struct TerminalType {
    QString caption;       // stTerminalType
    int powerTerminalKind;  // page of the terminal settings dialog; -1 unchanged
};
// Item of cbTerminalType (0..12); other values behave as item 12.
TerminalType terminalType(int item);
// The word addresses a terminal of this type occupies on the bus, from its
// own address on: the groups of the monitor's four that show its channels
// (a 24-bit counter, a 7-circuit power and a 16-circuit current terminal
// take two, the 14-circuit and the high-function power and the 32-circuit
// current terminal all four, the others one; item 12 and other values: one).
int terminalWordCount(int item);

struct ChannelTexts {
    std::array<QString, 32> labels;  // lbHd
    std::array<QString, 32> units;   // lbTanni
};
// The channel labels and units of a terminal type for the word-page data
// area (item of DataAreaSelect, which decides the units of types 0 to 2).
ChannelTexts terminalChannels(int terminalItem, int areaItem);
// The bit pages: rows name the two bits of their pair ("0"/"1" .. "14"/"15").
ChannelTexts bitPairChannels();
// The edge soft counters: "0".."15" with the unit "回".
ChannelTexts edgeCounterChannels();

// ---- Modbus address labels ------------------------------------------------

struct AddressLabels {
    QString modbusAdrs;          // stModbusAdrs
    QString bitInAdrs;           // stModbusBitInAdrs
    QString bitWordAdrs;         // stModbusBitWordAdrs
    QString bitOutAdrs;          // stModbusBitOutAdrs
    QString d2BitInAdrs;         // stModbusD2BitInAdrs
    QString d2BitWordAdrs;       // stModbusD2BitWordAdrs
    QString d2BitOutAdrs;        // stModbusD2BitOutAdrs
};
AddressLabels addressLabels(int w, int b, int d);
// The coil an output address label shows ("1" and up), as a protocol
// address; -1 when the label shows none.
int coilOfAddressLabel(const QString &text);

// ---- trend --------------------------------------------------------------

// What decides the meaning of the values on the page: the bit item and bit
// address on the bit pages; the terminal type, word address and data area
// on the word page. A trend with another key is a new trend.
// The data type item and whether the values are converted count on the word
// page, and on the bit page for the edge soft counters.
QString selectionKey(MonitorPage page, int bitItem, int b, int d, int terminalItem, int w,
                     int areaItem, int dataTypeItem, bool converted);

} // namespace monitor
