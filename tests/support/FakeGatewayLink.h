#pragma once
// Test support: a GatewayLink that sends nothing. It records every request
// with the number of answers delivered before it and hands out its reply;
// the answers a test gives it end the reply of the request they name (by
// serial), as the real link matches them. Writes are answered at once with
// their echo unless told otherwise.
#include "link/GatewayLink.h"
#include "support/AnswerFrames.h"
#include <QByteArray>
#include <QList>
#include <functional>
#include <map>

class FakeGatewayLink : public GatewayLink {
public:
    enum class Verb { ReadInput, ReadHolding, WriteSingle, WriteTwo, WriteCoil };
    struct Request {
        Verb verb;
        uint8_t tag;        // reads only
        uint32_t address;
        uint32_t value;     // count of a read, value of a write, state of a coil
        int answersBefore;  // answers delivered when it was sent
        uint64_t serial;
    };

    QList<Request> requests;
    bool connected = true;
    QString host;
    int port = 502;
    int responseTimeoutMs = 1000;
    // Writes are answered at once unless cleared (they then stay in flight).
    bool answerWrites = true;
    // Called for each read sent, after it was recorded.
    std::function<void(const Request &)> onRead;
    // Called for each write sent, after it was recorded (before the fake
    // answers it: refuse() there makes the answer an exception).
    std::function<void(const Request &)> onWrite;

    Reply SendReadInputRegisters(uint8_t tag, uint32_t address, uint32_t count) override
    { return record({Verb::ReadInput, tag, address, count, 0, 0}); }
    Reply SendReadHoldingRegisters(uint8_t tag, uint32_t address, uint32_t count) override
    { return record({Verb::ReadHolding, tag, address, count, 0, 0}); }
    Reply SendWriteSingleRegister(uint32_t address, uint32_t value) override
    { return record({Verb::WriteSingle, 0, address, value, 0, 0}); }
    Reply SendWriteTwoRegisters(uint32_t address, uint32_t value) override
    { return record({Verb::WriteTwo, 0, address, value, 0, 0}); }
    Reply SendWriteSingleCoil(uint32_t address, uint8_t state) override
    { return record({Verb::WriteCoil, 0, address, state, 0, 0}); }

    bool isConnected() const override { return connected; }
    bool setHost(const QString &h, QString *) override { host = h; return true; }
    bool setPort(int p, QString *) override { port = p; return true; }
    void setResponseTimeout(int ms) override { responseTimeoutMs = ms; }

    // An answer with the given data bytes (function 4, tag `tag`): it ends
    // the reply of request `serial` if that is still in flight. Serial 0
    // stands for an answer to a request of someone else (the monitor's).
    void answer(uint64_t serial, uint8_t tag, const QByteArray &data)
    {
        ++m_answers;
        finish(serial, frames::readAnswer(tag, data));
    }
    // Request `serial` is answered with exception `code`.
    void refuse(uint64_t serial, uint8_t code)
    {
        const auto it = m_pending.find(serial);
        if (it == m_pending.end())
            return;
        const Request &r = requests[it->second.index];
        const bool read = r.verb == Verb::ReadInput || r.verb == Verb::ReadHolding;
        const uint8_t fn = functionOf(r.verb);
        QByteArray a = frames::readAnswer(read ? r.tag : uint8_t(254), {});
        a[7] = char(fn | 0x80);
        a[8] = char(code);
        ++m_answers;
        emit exceptionAnswer(read ? r.tag : uint8_t(254), fn, code);
        finish(serial, a);
    }
    // The response timeout of request `serial` passed.
    void timeOut(uint64_t serial)
    {
        if (const auto it = m_pending.find(serial); it != m_pending.end()) {
            const Reply r = it->second.reply;
            m_pending.erase(it);
            r->finishTimedOut();
        }
    }
    // The connection went: everything in flight is lost, and nothing is
    // sent (or recorded) any more until reopen().
    void loseConnection()
    {
        m_open = false;
        auto lost = std::exchange(m_pending, {});
        for (auto &[serial, p] : lost)
            p.reply->finishLost();
    }
    void reopen() { m_open = true; }
    bool isInFlight(uint64_t serial) const { return m_pending.count(serial) != 0; }
    int answersDelivered() const { return m_answers; }

private:
    struct Pending {
        Reply reply;
        qsizetype index;
    };

    static uint8_t functionOf(Verb v)
    {
        switch (v) {
        case Verb::ReadInput: return 4;
        case Verb::ReadHolding: return 3;
        case Verb::WriteSingle: return 6;
        case Verb::WriteTwo: return 16;
        case Verb::WriteCoil: return 5;
        }
        return 0;
    }

    void finish(uint64_t serial, const QByteArray &answer)
    {
        const auto it = m_pending.find(serial);
        if (it == m_pending.end())
            return;
        const Reply r = it->second.reply;
        m_pending.erase(it);
        ReceiveBuffer rb;
        rb.assign(answer);
        modbus::AnswerMatch m;
        m.kind = modbus::AnswerKind::Matched;
        m.request.serial = serial;
        m.request.tag = r->tag();
        r->finishAnswered(rb, m);
    }

    Reply record(Request r)
    {
        const bool write = r.verb != Verb::ReadInput && r.verb != Verb::ReadHolding;
        if (!m_open) {
            auto never = std::make_shared<LinkReply>(0, write ? uint8_t(254) : r.tag);
            never->finishLost();
            return never;
        }
        r.answersBefore = m_answers;
        r.serial = ++m_serial;
        auto reply = std::make_shared<LinkReply>(r.serial, write ? uint8_t(254) : r.tag);
        m_pending[r.serial] = Pending{reply, requests.size()};
        requests << r;
        if (!write && onRead)
            onRead(requests.last());
        if (write && onWrite)
            onWrite(requests.last());
        if (write && answerWrites && isInFlight(r.serial)) {
            // The echo: the request's own header and PDU.
            QByteArray echo = frames::readAnswer(254, {});
            echo[7] = char(functionOf(r.verb));
            finish(r.serial, echo);
        }
        return reply;
    }

    std::map<uint64_t, Pending> m_pending;
    bool m_open = true;
    uint64_t m_serial = 0;
    int m_answers = 0;
};
