#include "link/Sequence.h"

Sequence::~Sequence()
{
    // A backstop: the window stops its sequence before its controls go.
    stop();
}

Sequence::Running Sequence::begin()
{
    if (m_running)
        return Running(nullptr);
    m_running = true;
    m_stopped = false;
    return Running(this);
}

void Sequence::stop()
{
    if (!m_running)
        return;
    m_stopped = true;
    emit stopped();
}

Sequence::Await Sequence::reply(const Reply &r)
{
    LinkReply *raw = r.get();
    return Await(this, [raw] { return !raw || raw->isFinished(); }, r);
}

Sequence::Await Sequence::until(std::function<bool()> done)
{
    return Await(this, std::move(done), nullptr);
}

Sequence::Await Sequence::until(std::function<bool()> done, const Reply &r)
{
    return Await(this, std::move(done), r);
}

void Sequence::Await::await_suspend(std::coroutine_handle<> h)
{
    m_handle = h;
    auto wake = [this] { this->wake(); };
    m_connections.push_back(QObject::connect(m_s, &Sequence::stopped, m_s, wake));
    m_connections.push_back(QObject::connect(m_s, &Sequence::poked, m_s, wake));
    if (m_reply && !m_reply->isFinished())
        m_connections.push_back(QObject::connect(m_reply.get(), &LinkReply::finished, m_s, wake));
}

void Sequence::Await::wake()
{
    if (!m_handle || !(m_s->isStopped() || m_done()))
        return;
    disconnectAll();
    std::exchange(m_handle, {}).resume();
}

void Sequence::Await::disconnectAll()
{
    for (const QMetaObject::Connection &c : m_connections)
        QObject::disconnect(c);
    m_connections.clear();
}
