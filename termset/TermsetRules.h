#pragma once
// Terminal parameter settings: the rules of the command-word protocol and
// the five pages' tables, apart from any widget (the dialog binds a page's
// fields to its controls by their index).
//
// A terminal at effective address b is commanded through holding register
// 1056 + b (power terminals also through 1057 + b) and, while in settings
// mode, reports its settings in input registers 320 + 8b onward. An item
// command sets the setting reported in register r, group g to a code:
//   r << 13 | g << 9 | code      (r 1..7, g 0..3, code 0..511)
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

namespace termset {

enum PageIndex { Wattor7 = 0, Curron08 = 1, Wattor14 = 2, Curron16 = 3, PDU = 4, PageCount = 5 };

constexpr int kCommandWordBase = 1056;
constexpr int kSettingsBlockBase = 320;
constexpr int kMaxAddress = 63;
constexpr uint16_t kEnterSettings = 1;
constexpr uint16_t kLeaveSettings = 0;
constexpr uint8_t kParameterTag = 5;

inline int commandWord(int b) { return kCommandWordBase + b; }
inline int settingsBlock(int b) { return kSettingsBlockBase + 8 * b; }

// The item command for register r (1..7), group g (0..3) and a code.
uint16_t itemCommand(int reg, int group, int code);

// How a page takes a settings-block word apart.
// Group rule: bits 10-9 the group, bits 8-0 the code (bits 15-11 ignored).
inline int wordGroup(uint16_t w) { return (w >> 9) & 3; }
inline int wordCode(uint16_t w) { return w & 0x1FF; }

// The code lists a setting is chosen from; an item's index is its code.
enum class CodeList {
    None,              // a value that is only shown (register 0)
    Frequency,         // 0: 無効, 50Hz, 60Hz
    ProductType,       // the 23 product types
    PowerVoltage,      // 7-circuit power: 100V to 440V
    PowerVoltage14,    // 14-circuit power: 100V, 200V
    CurrentVoltage,    // current terminals: 100V, 200V, 440V
    PowerRange,        // 7-circuit power: 15A to 1000A and 5A
    CurrentRange,      // 15A to 60A
    CurrentRangeBlank, // CurrentRange and a tenth, empty item
    OutletClear,       // outlet bar: 0: 無効, 1: クリア
};

// Every page begins with register 0 and the three settings of registers 1
// to 3 (frequency; voltage range or, on the outlet bar, the clear command;
// product type); the current ranges, where a page has them, follow.
inline constexpr int kFirstRangeField = 4;

// When a setting is sent by a write.
enum class Write {
    Never,
    Always,
    TypeRewrite,  // only while rewriting the product type is allowed
};

// One setting of a page: where the terminal reports it, where an item
// command sets it, the list its code comes from, and its place in a write.
//
// The terminal reports register r of block k (the page's own address for
// k = 0, the address after it for k = 1) at word 8k + r of the answer, and
// takes the item command itemCommand(r, group, code) at the command word of
// that address. On the pages with the group rule a register carries up to
// four settings, one per group; on the others a register is one setting,
// shown whole, and written in group 0.
struct Field {
    int block = 0;
    int reg = 0;
    int group = 0;
    CodeList codes = CodeList::None;
    Write write = Write::Never;
    int progress = -1;     // the progress shown after its command
    bool awaited = true;   // a poll is complete when every awaited field is filled
};

// How the words of a settings block reach a page's fields.
enum class Decoding {
    WholeWords,  // word 8k + r whole to the field at block k, register r
    GroupRule,   // register 0 whole; register r >= 1 to (r, wordGroup) as wordCode
};

// One decoded value for one field: the field's index in PageDef::fields.
struct RawWrite {
    int field;
    uint16_t value;
    bool operator==(const RawWrite &o) const { return field == o.field && value == o.value; }
};

// What word `index` of a tag-5 answer writes into the fields of `page`, in
// the order the writes happen (the byte rule of CRC mode comes before the
// group rule). Indexes and groups without a field give nothing.
QList<RawWrite> decodeParameterWord(int page, int index, uint16_t value, bool crcMode);

struct PageDef {
    int index;
    QList<int> radioOffsets;     // block offset of each radio item; empty: none
    QList<QStringList> radioLabelCaptions;  // captions of the current labels per item
    int registerCount;           // 8 or 16
    bool powerPage;              // has a second command word
    // Status texts of a failed read and write, untranslated (context
    // "termset"): the page table is built once, the language is read at use.
    const char *readFailText = nullptr;
    const char *writeFailText = nullptr;
    Decoding decoding;
    // CRC mode (page 1): registers 4 to 7 carry the current ranges of two
    // circuits each, low byte first, before the group rule reads them.
    bool crcBytes = false;
    // In the page's order: the order of a write's commands and of the
    // lists filled after a read.
    QList<Field> fields;
    QList<int> allowedTypes;     // empty: the type is not checked on this page
    int firstProgress;           // after the opening 1
    int progressAfterLeave;      // after the 0
    int progressAfterEnter;      // after the 1 that follows
};

const PageDef &pageDef(int page);

// The index of the field at block, register and group, -1 where the page
// has none.
int fieldAt(const PageDef &def, int block, int reg, int group);
// The field of the page's product type, -1 where it has none.
int typeField(const PageDef &def);
// Whether a write needs a selection in the field's list: every list but the
// product type's.
bool mustSelect(const Field &f);

// The block offset of a radio item (0 where the page has none or the item
// is out of range).
int blockOffset(const PageDef &def, int radioItem);
// The highest terminal address a transaction at effective address b uses:
// b + 1 on the power pages (two blocks), b elsewhere.
int highestAddressUsed(const PageDef &def, int b);

// A command of a write: the register written, the value, whether a wait
// follows and the progress value shown after it (-1: the bar is left as is).
struct CommandStep {
    int reg;
    uint16_t value;
    bool wait;
    int progress;
    bool operator==(const CommandStep &o) const
    { return reg == o.reg && value == o.value && wait == o.wait && progress == o.progress; }
};

// A field's selected code (its list's item index, -1: none).
using SelectedCode = std::function<int(int field)>;

// The commands of a write before its poll: enter, the fields that the page
// writes in its order, leave and enter again.
QList<CommandStep> writeCommands(const PageDef &def, int b, const SelectedCode &selected,
                                 bool typeRewrite);
// The commands after a write's poll, or after a failed poll: 0 to the
// command word, and on the power pages then 0 to the second command word.
QList<int> leaveRegisters(const PageDef &def, int b, bool write);

// The validation before a write: every written list has a selection and,
// while the type may be rewritten, the selected type is one of the page's.
bool writeAllowed(const PageDef &def, const SelectedCode &selected, bool typeRewrite);

// The item index that a raw field's text selects in a list of `count`
// items; -1 (no selection) when it is not a number inside the list.
int listIndexFromRaw(const QString &raw, int count);

// A timing value of the dialog: a tick count of 100 ms, 0 or more.
std::optional<int> parseTicks(const QString &text);

// The items of a code list, item i for code i, in the interface language.
QStringList codeListItems(CodeList list);

// The tab caption of a page and the caption beside a field's list, as the
// dialog shows them (context "TfrmWattorSet", the dialog's own texts): the
// current ranges of a page with a radio group as that radio item names
// them. Empty for register 0, which has no list.
QString pageCaption(int page);
QString fieldCaption(int page, int field, int radioItem = 0);

// The settings of a terminal of the monitor's terminal type (item of
// cbTerminalType): the page and radio item of each of its units, in order.
// Power terminals of 7 circuits (standard and high function) are read on
// page 0, of 14 circuits on page 2; current terminals of 8 circuits on page
// 1, of 16 on page 3, of 32 on page 3 twice (circuits 1 to 16 and 17 to
// 32); the outlet bar on page 4. Other types have no settings: empty.
struct SettingsUnit {
    int page;
    int radioItem;
};
QList<SettingsUnit> settingsUnits(int terminalType);

} // namespace termset
