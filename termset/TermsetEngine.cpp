#include "termset/TermsetEngine.h"
#include "termset/TermsetRules.h"
#include "link/Waits.h"

void TermsetEngine::tick()
{
    if (WaitCount != 0)
        --WaitCount;
    if (TimeoutCount != 0)
        --TimeoutCount;
}

void TermsetEngine::WaitTicks(int n)
{
    WaitCount = n < 0 ? 0 : n;
    if (WaitCount > 0 && countingStarted)
        countingStarted();
    WaitUntil([this] { return WaitCount <= 0; });
}

bool TermsetEngine::PollSettingsBlock(int b, int count, int timeLimit,
                                      const std::function<bool()> &complete)
{
    TimeoutCount = timeLimit < 0 ? 0 : timeLimit;
    if (TimeoutCount > 0 && countingStarted)
        countingStarted();
    while (!complete()) {
        m_link.lastRequestTag() = termset::kParameterTag;
        const uint64_t serial = m_link.readSettings(termset::settingsBlock(b), count);
        if (!m_link.awaitAnswer(serial, [this] { return TimeoutCount <= 0; }))
            return false;  // cancelled or out of time
    }
    TimeoutCount = 0;
    return true;
}
