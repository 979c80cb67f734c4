#pragma once
// A window's command sequence, one at a time, as a C++20 coroutine
// (QCoro::Task) that co_awaits its replies and its pauses through here.
//
// Nothing waits by running the event loop again: an await suspends the
// coroutine and the window's handlers return, so answers, timers and
// repaints go on, and no handler of the window runs inside its own
// sequence. stop() ends the running sequence: the await it is suspended in
// returns false at once (the coroutine resumes inside stop()), and so does
// every await after it, so that the sequence runs its own ending (buttons
// back) and returns before stop() does. A window stops its sequence when it
// is closed and first thing in its destructor.
//
//     QCoro::Task<> TfrmX::run() {
//         auto running = m_sequence.begin();
//         if (!running) co_return;                    // one runs already
//         Reply r = m_link.SendReadInputRegisters(...);
//         if (!co_await m_sequence.reply(r)) co_return;  // stopped
//         ...
//     }
#include "link/LinkReply.h"
#include <QObject>
#include <QPointer>
#include <coroutine>
#include <functional>
#include <utility>
#include <vector>

class Sequence : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Sequence() override;

    // Marks the sequence running while it lives; false (not running) when
    // another one runs already.
    class Running {
    public:
        explicit Running(Sequence *s) : m_s(s) {}
        Running(Running &&o) noexcept : m_s(std::exchange(o.m_s, nullptr)) {}
        Running(const Running &) = delete;
        Running &operator=(const Running &) = delete;
        ~Running()
        {
            if (m_s)
                m_s->m_running = false;
        }
        explicit operator bool() const { return m_s != nullptr; }

    private:
        QPointer<Sequence> m_s;
    };
    Running begin();

    bool isRunning() const { return m_running; }
    // True from stop() until the next begin().
    bool isStopped() const { return m_stopped; }
    void stop();

    // Wakes the awaits whose condition may have changed (a counter moved).
    void poke() { emit poked(); }

    class Await;
    // Until `reply` has ended (any ending). True unless stopped.
    Await reply(const Reply &reply);
    // Until done() holds; done() is tested now and at every poke().
    Await until(std::function<bool()> done);
    // Until done() holds, tested now, at every poke() and when `reply`
    // ends (an empty reply is never waited for).
    Await until(std::function<bool()> done, const Reply &reply);

signals:
    void stopped();
    void poked();

private:
    bool m_running = false;
    bool m_stopped = false;
};

class Sequence::Await {
public:
    Await(Sequence *s, std::function<bool()> done, Reply reply)
        : m_s(s), m_done(std::move(done)), m_reply(std::move(reply))
    {
    }
    // Moved only before it is awaited (nothing is connected yet).
    Await(Await &&o) noexcept
        : m_s(o.m_s), m_done(std::move(o.m_done)), m_reply(std::move(o.m_reply))
    {
    }
    Await(const Await &) = delete;
    Await &operator=(const Await &) = delete;
    ~Await() { disconnectAll(); }

    bool await_ready() const { return m_s->isStopped() || m_done(); }
    void await_suspend(std::coroutine_handle<> h);
    // False when the sequence was stopped.
    bool await_resume() const { return !m_s->isStopped(); }

private:
    void wake();
    void disconnectAll();

    Sequence *m_s;
    std::function<bool()> m_done;
    Reply m_reply;
    std::coroutine_handle<> m_handle;
    std::vector<QMetaObject::Connection> m_connections;
};
