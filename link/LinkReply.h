#pragma once
// The reply to one request of the link.
//
// Every request the link sends returns its reply at once. The reply ends
// exactly once, in one of three ways: the answer to its own request came
// (matched by the transaction's serial, whatever other answers arrive
// meanwhile), the link's response timeout passed first, or the connection
// went (closed, dropped or opened anew) with the request still in flight.
// A request that could not be sent (no connection) is lost at once.
//
// Whoever asked holds the reply (a std::shared_ptr): the link holds it too
// until it ends, so a reply nobody keeps still ends and tells its
// listeners. A command sequence awaits it (see link/Sequence.h); a listener
// that only wants the answer uses onAnswer() below.
#include "link/ReceiveBuffer.h"
#include "link/Transactions.h"
#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

class LinkReply : public QObject {
    Q_OBJECT
public:
    enum class Ending { Pending, Answered, TimedOut, Lost };
    Q_ENUM(Ending)

    // serial 0: the request was never sent.
    LinkReply(uint64_t serial, uint8_t tag) : m_serial(serial), m_tag(tag) {}

    uint64_t serial() const { return m_serial; }
    uint8_t tag() const { return m_tag; }
    Ending ending() const { return m_ending; }
    bool isFinished() const { return m_ending != Ending::Pending; }
    bool isAnswered() const { return m_ending == Ending::Answered; }
    // Answered with an exception answer (function code with bit 7 set).
    bool isException() const { return isAnswered() && m_answer.isException(); }
    // Answered with the data or echo that was asked for.
    bool isGoodAnswer() const { return isAnswered() && !m_answer.isException(); }

    // The answer and how it matched its request (valid once answered).
    const ReceiveBuffer &answer() const { return m_answer; }
    const modbus::AnswerMatch &match() const { return m_match; }

    // The link's side: each ends a pending reply and emits finished(); a
    // reply that has ended already stays as it is.
    void finishAnswered(const ReceiveBuffer &answer, const modbus::AnswerMatch &match);
    void finishTimedOut() { finish(Ending::TimedOut); }
    void finishLost() { finish(Ending::Lost); }

signals:
    void finished();

private:
    void finish(Ending ending);

    uint64_t m_serial = 0;
    uint8_t m_tag = 0;
    Ending m_ending = Ending::Pending;
    ReceiveBuffer m_answer;
    modbus::AnswerMatch m_match;
};

using Reply = std::shared_ptr<LinkReply>;

// Calls handle(answer) when `reply` ends with a good answer (not on an
// exception answer, a timeout or the link's loss), unless `context` is gone
// by then. The connection holds no reference: the reply lives as long as
// its holders and the link keep it.
void onAnswer(const Reply &reply, QObject *context, std::function<void(const LinkReply &)> handle);
