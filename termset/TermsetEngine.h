#pragma once
// The machinery that every terminal-settings transaction shares: the two
// tick counters of the dialog's 100 ms timer, the pause that keeps the
// event loop running, and the settings block poll with its time limit.
//
// The engine only talks to the gateway through the functions of its Link,
// so that it can run against the main window's connection or a test's.
#include <cstdint>
#include <functional>

class TermsetEngine {
public:
    struct Link {
        std::function<void(int reg, uint16_t value)> writeRegister;   // function 6
        // Function 4, tag 5; gives the serial of the request (0: not sent).
        std::function<uint64_t(int address, int count)> readSettings;
        std::function<uint8_t &()> lastRequestTag;
        // Waits for the answer to one request until giveUp() holds; true
        // when it came.
        std::function<bool(uint64_t serial, const std::function<bool()> &giveUp)> awaitAnswer;
    };

    explicit TermsetEngine(Link link) : m_link(std::move(link)) {}

    // Remaining ticks of the running pause and of the running poll.
    int WaitCount = 0;
    int TimeoutCount = 0;

    // One tick of the 100 ms timer: both counters move one step towards 0.
    void tick();
    // Called when a pause or a poll sets a counter above 0, so that the
    // ticking timer need run only while a counter is counting.
    std::function<void()> countingStarted;
    bool isCounting() const { return WaitCount > 0 || TimeoutCount > 0; }

    // Pauses for n ticks (n = 0 returns at once) while the event loop runs.
    // Needs the ticking timer; n must not be negative.
    void WaitTicks(int n);

    // Polls the settings block of effective address b (count registers)
    // until `complete` holds, for at most timeLimit ticks over the whole
    // poll. Returns false when the time ran out (or a cancel set the
    // counter to 0). The next request goes out as soon as an answer has
    // been handled; only the answer to the poll's own read counts.
    bool PollSettingsBlock(int b, int count, int timeLimit, const std::function<bool()> &complete);

    // Ends a running poll at its next check.
    void cancelPoll() { TimeoutCount = 0; }

    void writeRegister(int reg, uint16_t value) { m_link.writeRegister(reg, value); }

private:
    Link m_link;
};
