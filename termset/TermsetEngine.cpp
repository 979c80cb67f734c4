#include "termset/TermsetEngine.h"
#include "termset/TermsetRules.h"
#include <QCoreApplication>
#include <QEventLoop>

void TermsetEngine::tick()
{
    if (WaitCount != 0)
        --WaitCount;
    if (TimeoutCount != 0)
        --TimeoutCount;
}

void TermsetEngine::processEventsOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void TermsetEngine::WaitTicks(int n)
{
    WaitCount = n < 0 ? 0 : n;
    while (WaitCount > 0)
        processEventsOnce();
}

bool TermsetEngine::PollSettingsBlock(int b, int count, int timeLimit,
                                      const std::function<bool()> &complete)
{
    TimeoutCount = timeLimit < 0 ? 0 : timeLimit;
    while (!complete()) {
        m_link.lastRequestTag() = termset::kParameterTag;
        m_link.readSettings(termset::settingsBlock(b), count);
        while (m_link.lastRequestTag() != 0xFF) {
            processEventsOnce();
            if (TimeoutCount <= 0)
                return false;
        }
    }
    TimeoutCount = 0;
    return true;
}
