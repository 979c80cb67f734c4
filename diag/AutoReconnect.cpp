#include "diag/AutoReconnect.h"
#include "diag/Reconnect.h"
#include <QTimer>

AutoReconnect::AutoReconnect(Open open, QObject *parent, Delay delay)
    : QObject(parent), m_open(std::move(open)), m_delay(delay ? std::move(delay) : Delay(reconnectDelayMs)),
      m_wait(new QTimer(this)), m_limit(new QTimer(this))
{
    m_wait->setSingleShot(true);
    m_limit->setSingleShot(true);
    m_limit->setInterval(kAttemptLimitMs);
    connect(m_wait, &QTimer::timeout, this, &AutoReconnect::attemptNow);
    connect(m_limit, &QTimer::timeout, this, [this] {
        m_trying = false;
        schedule();  // the next open abandons the connect still pending
    });
}

void AutoReconnect::setEnabled(bool on)
{
    m_enabled = on;
    if (!on && m_pending)
        stop();
}

void AutoReconnect::setAttemptLimit(int ms)
{
    m_limit->setInterval(ms);
}

void AutoReconnect::openRequested()
{
    if (m_opening)
        return;
    m_userClosed = false;
    if (m_pending)
        stop();  // the user connects himself: no attempt of ours gets in the way
}

void AutoReconnect::closeRequested()
{
    m_userClosed = true;
    if (m_pending)
        stop();
}

void AutoReconnect::connectionUp()
{
    m_userClosed = false;
    if (!m_pending)
        return;
    const int attempts = m_attempt;
    m_pending = m_trying = false;
    m_attempt = 0;
    m_wait->stop();
    m_limit->stop();
    emit reconnected(attempts);
}

void AutoReconnect::connectionDown()
{
    if (!m_enabled || m_userClosed)
        return;
    if (m_pending) {
        connectError();  // an attempt got through and dropped again at once
        return;
    }
    m_pending = true;
    m_attempt = 0;
    schedule();
}

void AutoReconnect::connectError()
{
    if (!m_pending || !m_trying)
        return;
    m_trying = false;
    m_limit->stop();
    schedule();
}

void AutoReconnect::schedule()
{
    ++m_attempt;
    const int64_t d = m_delay(m_attempt);
    m_wait->start(int(d));
    emit attemptScheduled(m_attempt, d);
}

void AutoReconnect::attemptNow()
{
    m_opening = true;
    m_open();
    m_opening = false;
    // Set after the open: an abandoned connect that the open aborts is not
    // this attempt's failure.
    m_trying = true;
    m_limit->start();
    emit attemptStarted(m_attempt);
}

void AutoReconnect::stop()
{
    m_pending = m_trying = false;
    m_attempt = 0;
    m_wait->stop();
    m_limit->stop();
    emit stopped();
}
