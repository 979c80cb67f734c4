#pragma once
// The rules of the monitor's poll and of the automatic saving of its rows:
// which reads a tick of the poll timer sends, the poll interval a typed text
// gives, and on which answers the log rows are written to a file.
//
// A tick reads the window that seReadAddress/seReadSize name, by register
// number: 30001..40000 are input registers (tag 0), followed by the four
// header words of the page's selected terminal (tag 20); 41025..50000 are
// holding registers (tag 0, no header words); any other number (40001 to
// 41024 among them) reads nothing.
#include "monitor/MonitorLayout.h"
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace monitor {

struct PollSelection {
    MonitorPage page = MonitorPage::Word;
    int readAddress = 0;   // seReadAddress: register number of the first word
    int readSize = 0;      // seReadSize: register count
    int wordAddress = 0;   // seWordAdrs
    int bitAddress = 0;    // seBitAdrs
    int d2BitAddress = 0;  // seD2BitAdrs
    friend bool operator==(const PollSelection &, const PollSelection &) = default;
};

struct PollRequest {
    enum Function { InputRegisters, HoldingRegisters };
    uint8_t tag;
    Function function;
    uint32_t address;  // protocol address (register number minus its base)
    uint32_t count;
    friend bool operator==(const PollRequest &, const PollRequest &) = default;
};

// The header word's protocol address of the page's selected terminal.
int headerWord(const PollSelection &s);
// The reads of one tick, in the order they are sent.
std::vector<PollRequest> pollRequests(const PollSelection &s);

// The Interval edit's text as the poll interval in ms (0: monitoring on,
// nothing sent), or the error text when it is no integer or negative.
struct PollInterval {
    std::optional<int> ms;
    QString error;
};
PollInterval pollInterval(const QString &text);

// Automatic saving: with logging on and 自動ファイル保存 checked, every
// interval-th monitor answer (counted since monitoring started) writes the
// log rows to the next file. An interval text that is no integer or not
// positive saves nothing and is reported once per text, until a usable
// interval is seen again.
class AutoSaveRule {
public:
    enum Action { Nothing, Save, Report };
    Action step(bool logging, bool autoSave, const QString &intervalText, uint32_t monitorCount);
    // The message of the last Report.
    const QString &report() const { return m_report; }

private:
    std::optional<QString> m_reportedInterval;
    QString m_report;
};

} // namespace monitor
