#pragma once
// Automatic reconnection: when the connection drops without the user asking
// (the gateway closes it or restarts, the cable goes), the connection is
// opened again after 1, 2, 4, 8, 16 and then every 30 s until it is back.
//
// The owner tells it what happens to the connection (connectionUp,
// connectionDown, connectError) and what the user does (userConnect,
// userDisconnect); it opens the connection through the function it was
// given and reports each step by a signal. Switched off (the default), or
// after the user's 切断, it never opens anything. An attempt that neither
// connects nor fails within kAttemptLimitMs counts as failed (a dead cable
// can leave a connect pending for minutes).
#include <QObject>
#include <functional>

class QTimer;

class AutoReconnect : public QObject {
    Q_OBJECT
public:
    static constexpr int kAttemptLimitMs = 10000;

    using Open = std::function<void()>;
    using Delay = std::function<int64_t(int attempt)>;

    // delay defaults to reconnectDelayMs (tests pass a shorter one).
    explicit AutoReconnect(Open open, QObject *parent = nullptr, Delay delay = {});

    void setEnabled(bool on);
    void setAttemptLimit(int ms);
    bool isEnabled() const { return m_enabled; }
    // True from the drop until the connection is back or the user stops it.
    bool isPending() const { return m_pending; }
    // The attempt now waited for or running (1 the first), 0 when none.
    int attempt() const { return m_attempt; }

public slots:
    // The link is being opened or closed (its openRequested and
    // closeRequested); an open that is not one of ours is the user's.
    void openRequested();
    void closeRequested();
    void connectionUp();
    void connectionDown();
    void connectError();

signals:
    // Attempt n will be made in delayMs.
    void attemptScheduled(int attempt, qint64 delayMs);
    // Attempt n is being made now.
    void attemptStarted(int attempt);
    // The connection is back after n attempts.
    void reconnected(int attempts);
    // The user stopped it (切断, or switched the option off) before it succeeded.
    void stopped();

private:
    void schedule();
    void attemptNow();
    void stop();

    Open m_open;
    Delay m_delay;
    QTimer *m_wait;
    QTimer *m_limit;
    bool m_enabled = false;
    bool m_pending = false;
    bool m_trying = false;   // an attempt's connect is under way
    bool m_opening = false;  // inside our own call of m_open
    bool m_userClosed = false;  // the user's 切断: the drop that follows is no drop
    int m_attempt = 0;
};
