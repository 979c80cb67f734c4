#pragma once
// The machinery that every terminal-settings transaction shares: the two
// tick counters of the dialog's 100 ms timer, the pause awaited on them, and
// the settings block poll with its time limit. A transaction is a coroutine
// on the engine's Sequence: its pauses and its poll's replies are awaited,
// and stopping the sequence (the dialog closed) ends it at its current wait.
//
// The engine only talks to the gateway through the functions of its Link,
// so that it can run against the main window's connection or a test's.
#include "link/Sequence.h"
#include <QCoro/QCoroTask>
#include <cstdint>
#include <functional>

class TermsetEngine {
public:
    struct Link {
        std::function<Reply(int reg, uint16_t value)> writeRegister;   // function 6
        // Function 4, tag 5.
        std::function<Reply(int address, int count)> readSettings;
        // A good answer to one of the poll's reads, to be shown.
        std::function<void(const ReceiveBuffer &answer)> showAnswer;
    };

    explicit TermsetEngine(Link link) : m_link(std::move(link)) {}

    // Remaining ticks of the running pause and of the running poll.
    int WaitCount = 0;
    int TimeoutCount = 0;
    static constexpr int kTickMs = 100;  // one tick of WaitCount and TimeoutCount

    // One tick of the 100 ms timer: both counters move one step towards 0.
    void tick();
    // Called when a pause or a poll sets a counter above 0, so that the
    // ticking timer need run only while a counter is counting.
    std::function<void()> countingStarted;
    bool isCounting() const { return WaitCount > 0 || TimeoutCount > 0; }

    // The transactions' one sequence.
    Sequence &sequence() { return m_sequence; }
    const Sequence &sequence() const { return m_sequence; }

    // Pauses for n ticks (n <= 0 returns at once); needs the ticking timer.
    // False when the sequence was stopped meanwhile.
    QCoro::Task<bool> WaitTicks(int n);

    // Polls the settings block of effective address b (count registers)
    // until `complete` holds, for at most timeLimit ticks over the whole
    // poll. The next read goes out as soon as the answer to the one before
    // has been shown; only the answer to the poll's own read counts. False
    // when the time ran out (or a cancel set the counter to 0), the
    // connection went, or the sequence was stopped.
    QCoro::Task<bool> PollSettingsBlock(int b, int count, int timeLimit, std::function<bool()> complete);

    // Ends a running poll at once.
    void cancelPoll()
    {
        TimeoutCount = 0;
        m_sequence.poke();
    }

    Reply writeRegister(int reg, uint16_t value) { return m_link.writeRegister(reg, value); }

private:
    Link m_link;
    Sequence m_sequence;
};
