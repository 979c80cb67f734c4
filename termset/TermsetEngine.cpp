#include "termset/TermsetEngine.h"
#include "termset/TermsetRules.h"
#include <QElapsedTimer>

void TermsetEngine::tick()
{
    if (WaitCount != 0)
        --WaitCount;
    if (TimeoutCount != 0)
        --TimeoutCount;
    m_sequence.poke();
}

QCoro::Task<bool> TermsetEngine::WaitTicks(int n)
{
    WaitCount = n < 0 ? 0 : n;
    if (WaitCount > 0 && countingStarted)
        countingStarted();
    co_return co_await m_sequence.until([this] { return WaitCount <= 0; });
}

QCoro::Task<bool> TermsetEngine::PollSettingsBlock(int b, int count, int timeLimit, std::function<bool()> complete)
{
    TimeoutCount = timeLimit < 0 ? 0 : timeLimit;
    if (TimeoutCount > 0 && countingStarted)
        countingStarted();
    // The ticks come from a timer, whose events a busy event loop can hold
    // back (Windows makes timer messages only when no other message waits,
    // and a terminal that keeps answering keeps the queue full): the limit
    // also holds by the clock, counted in the ticks' 100 ms.
    QElapsedTimer clock;
    clock.start();
    const int limit = TimeoutCount;
    const auto catchUp = [&] {
        const int left = limit - int(clock.elapsed() / kTickMs);
        if (limit > 0 && TimeoutCount > 0 && left < TimeoutCount)
            TimeoutCount = left < 0 ? 0 : left;
    };
    while (!complete()) {
        const Reply reply = m_link.readSettings(termset::settingsBlock(b), count);
        LinkReply *r = reply.get();
        // A read the link timed out gets no answer any more: the poll then
        // waits out its own time limit, as for a read never answered.
        const auto answeredOrOver = [this, r] {
            return TimeoutCount <= 0 || r->isAnswered() || r->ending() == LinkReply::Ending::Lost;
        };
        if (!co_await m_sequence.until(answeredOrOver, reply))
            co_return false;  // stopped
        catchUp();
        if (!r->isAnswered())
            co_return false;  // out of time, cancelled or the connection went
        if (r->isGoodAnswer() && m_link.showAnswer)
            m_link.showAnswer(r->answer());
        // Out of time with the block still incomplete (a limit of 0).
        if (TimeoutCount <= 0 && !complete())
            co_return false;
    }
    TimeoutCount = 0;
    co_return true;
}
