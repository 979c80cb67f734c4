#pragma once
// The read transaction of the terminal settings: 1 to the command word
// (enter settings mode), the pre-read wait, the poll of the settings block
// until every awaited field came, and in every ending 0 to the command word
// (leave settings mode). The dialog runs it with its controls around it
// (TermsetController); TermsetRead below runs it without a window and hands
// each field's value back (the survey reads the settings of a whole
// installation this way). Reads only: no item command is ever sent.
#include "termset/TermsetEngine.h"
#include "termset/TermsetRules.h"
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>

namespace termset {

// The dialog's timings as it opens (edPreReadWait and edTObase of
// ui/TfrmWattorSet.ui), in ticks of 100 ms.
inline constexpr int kDefaultPreReadTicks = 40;
inline constexpr int kDefaultTimeLimitTicks = 100;
inline constexpr int kTickMs = TermsetEngine::kTickMs;

enum class ReadEnd {
    Read,     // every awaited field came
    Failed,   // nothing could be sent, a command was refused, the poll ran out of time or the connection went
    Aborted,  // the time limit asked for as the poll began was unusable
    Stopped,  // the engine's sequence was stopped (the window closed)
};

// What the transaction asks of whoever runs it.
struct ReadSteps {
    // Sends one command word; false when nothing could be sent.
    std::function<bool(int reg, uint16_t value)> command;
    // The poll's time limit in ticks, asked for as the poll begins; none
    // aborts the read.
    std::function<std::optional<int>()> timeLimit;
    // The poll has every field it waits for.
    std::function<bool()> complete;
    // A command of this read was refused: the block shows no settings, and
    // the poll is not started.
    std::function<bool()> refused;
};

// The read at effective address b on the page. The engine's sequence must
// have been begun by the caller. After a stop the counters are 0 again.
QCoro::Task<ReadEnd> readTransaction(TermsetEngine &engine, const PageDef &def, int b, int preReadTicks,
                                     ReadSteps steps);

// One setting as a read found it.
struct FieldReading {
    int field = 0;      // index in PageDef::fields
    QString caption;    // as the dialog shows it beside the field's list
    uint16_t raw = 0;   // the code the terminal reported
    QString itemText;   // the item of the code in the field's list; the code as a number past its end
};

struct SettingsReading {
    ReadEnd end = ReadEnd::Failed;
    // The dialog's status text of a read that did not end with Read.
    QString status;
    // The fields with a list, in the page's order (all of them after Read).
    QList<FieldReading> fields;
};

class TermsetRead : public QObject {
    Q_OBJECT
public:
    struct Link {
        std::function<Reply(int reg, uint16_t value)> writeRegister;  // function 6
        std::function<Reply(int address, int count)> readSettings;   // function 4, tag 5
    };

    explicit TermsetRead(Link link, QObject *parent = nullptr);
    // A running read ends as stopped while everything is still there.
    ~TermsetRead() override;

    // Reads the unit (page, radio item) of the terminal at word address
    // `address` (its effective address adds the radio item's block offset).
    // One read at a time: another one ends Failed at once.
    QCoro::Task<SettingsReading> read(int page, int radioItem, int address,
                                      int preReadTicks = kDefaultPreReadTicks,
                                      int timeLimitTicks = kDefaultTimeLimitTicks);
    // Ends the running read at its wait; the command that leaves settings
    // mode still goes out.
    void stop() { m_engine.sequence().stop(); }
    bool isRunning() const { return m_engine.sequence().isRunning(); }

private:
    bool command(int reg, uint16_t value);
    void showAnswer(const ReceiveBuffer &answer);

    TermsetEngine m_engine;
    QTimer m_ticker;
    int m_page = 0;
    QList<std::optional<uint16_t>> m_raw;  // per field of the running page
    bool m_refused = false;
    int m_readNumber = 0;  // a refusal counts only for the read that sent its command
};

} // namespace termset
