#pragma once
// Terminal parameter settings: the rules of the command-word protocol and
// the five pages' tables, apart from any widget.
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

// One decoded value for one raw field.
struct RawWrite {
    QString field;
    uint16_t value;
    bool operator==(const RawWrite &o) const { return field == o.field && value == o.value; }
};

// What word `index` of a tag-5 answer writes into the raw fields of `page`,
// in the order the writes happen (the byte rule of CRC mode comes before the
// group rule). Indexes and groups without a field give nothing.
QList<RawWrite> decodeParameterWord(int page, int index, uint16_t value, bool crcMode);

// One setting that a write sends: the list whose item index is the code,
// the base value it is added to, and the progress shown after its wait.
struct WriteItem {
    QString list;
    uint16_t base;
    bool secondWord;   // sent to 1057 + b (power pages' current ranges)
    bool typeOnly;     // sent only while rewriting the product type is allowed
    int progress;
};

// A drop-down list and the raw field it takes its item index from after a read.
struct ListSource {
    QString list;
    QString raw;
};

struct PageDef {
    int index;
    QString tabName;
    QString addressLabel;
    QString upDown;
    int addressMax;
    QString readButton, writeButton, cancelButton;
    QString statusLabel, progressBar;
    QString radioGroup;          // empty where the page has no block offset
    QList<int> radioOffsets;     // block offset of each radio item
    QList<QStringList> radioLabelCaptions;  // captions of the current labels per item
    QStringList currentLabels;   // the labels those captions go to
    QStringList rawFields;       // all of them, cleared at the start of a transaction
    QStringList required;        // complete when all of these are non-empty
    int registerCount;           // 8 or 16
    bool powerPage;              // has a second command word
    // Status texts of a failed read and write, untranslated (context
    // "termset"): the page table is built once, the language is read at use.
    const char *readFailText = nullptr;
    const char *writeFailText = nullptr;
    QList<ListSource> listSources;
    QStringList mustSelect;      // lists that need a selection before a write
    QString typeList;
    QList<int> allowedTypes;     // empty: the type is not checked on this page
    int firstProgress;           // after the opening 1
    QList<WriteItem> items;
    int progressAfterLeave;      // after the 0
    int progressAfterEnter;      // after the 1 that follows
};

const PageDef &pageDef(int page);

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

// The commands of a write before its poll: enter, the items of the page's
// write order, leave and enter again. `selected` gives a list's item index.
QList<CommandStep> writeCommands(const PageDef &def, int b,
                                 const std::function<int(const QString &)> &selected,
                                 bool typeRewrite);
// The commands after a write's poll, or after a failed poll: 0 to the
// command word, and on the power pages then 0 to the second command word.
QList<int> leaveRegisters(const PageDef &def, int b, bool write);

// The validation before a write: every written list has a selection and,
// while the type may be rewritten, the selected type is one of the page's.
bool writeAllowed(const PageDef &def, const std::function<int(const QString &)> &selected,
                  bool typeRewrite);

// The item index that a raw field's text selects in a list of `count`
// items; -1 (no selection) when it is not a number inside the list.
int listIndexFromRaw(const QString &raw, int count);

// A timing value of the dialog: a tick count of 100 ms, 0 or more.
std::optional<int> parseTicks(const QString &text);

// The drop-down items.
QStringList productTypeItems();
QStringList frequencyItems();

} // namespace termset
