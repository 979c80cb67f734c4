#pragma once
// Test support: a GatewayLink that sends nothing. It records every request
// with the number of answers delivered before it, and delivers the answers
// a test hands it to the handler of their tag, as the real link routes them.
#include "link/GatewayLink.h"
#include "support/AnswerFrames.h"
#include <QByteArray>
#include <QList>
#include <array>
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
    QString status = QStringLiteral("接続しました");
    QString host;
    int port = 502;
    int responseTimeoutMs = 1000;
    // Writes are answered at once unless cleared (they then stay in flight).
    bool answerWrites = true;
    // Called for each read sent, after it was recorded.
    std::function<void(const Request &)> onRead;
    // Called for each write sent, after it was recorded.
    std::function<void(const Request &)> onWrite;

    uint64_t SendReadInputRegisters(uint8_t tag, uint32_t address, uint32_t count) override
    { return record({Verb::ReadInput, tag, address, count, 0, 0}); }
    uint64_t SendReadHoldingRegisters(uint8_t tag, uint32_t address, uint32_t count) override
    { return record({Verb::ReadHolding, tag, address, count, 0, 0}); }
    uint64_t SendWriteSingleRegister(uint32_t address, uint32_t value) override
    { return record({Verb::WriteSingle, 0, address, value, 0, 0}); }
    uint64_t SendWriteTwoRegisters(uint32_t address, uint32_t value) override
    { return record({Verb::WriteTwo, 0, address, value, 0, 0}); }
    uint64_t SendWriteSingleCoil(uint32_t address, uint8_t state) override
    { return record({Verb::WriteCoil, 0, address, state, 0, 0}); }

    void setAnswerHandler(uint8_t tag, AnswerHandler handler) override { m_handlers[tag] = std::move(handler); }
    modbus::RequestState requestState(uint64_t serial) const override
    {
        const auto it = m_states.find(serial);
        return it == m_states.end() ? modbus::RequestState::Unknown : it->second;
    }
    uint8_t &lastRequestTag() override { return m_lastTag; }
    bool isConnected() const override { return connected; }
    QString statusText() const override { return status; }
    bool setHost(const QString &h, QString *) override { host = h; return true; }
    bool setPort(int p, QString *) override { port = p; return true; }
    void setResponseTimeout(int ms) override { responseTimeoutMs = ms; }

    // Answers request `serial` (tag `tag`, function 4) with the given data
    // bytes: its state becomes answered and the tag's handler runs.
    void answer(uint64_t serial, uint8_t tag, const QByteArray &data)
    {
        const QByteArray a = frames::readAnswer(tag, data);
        ReceiveBuffer rb;
        rb.assign(a);
        if (serial)
            m_states[serial] = modbus::RequestState::Answered;
        ++m_answers;
        m_lastTag = 0xFF;
        if (m_handlers[tag])
            m_handlers[tag](rb);
    }
    int answersDelivered() const { return m_answers; }

private:
    uint64_t record(Request r)
    {
        r.answersBefore = m_answers;
        r.serial = ++m_serial;
        const bool write = r.verb != Verb::ReadInput && r.verb != Verb::ReadHolding;
        m_states[r.serial] = write && answerWrites ? modbus::RequestState::Answered : modbus::RequestState::InFlight;
        if (!write)
            m_lastTag = r.tag;
        requests << r;
        if (!write && onRead)
            onRead(requests.last());
        if (write && onWrite)
            onWrite(requests.last());
        return r.serial;
    }

    std::array<AnswerHandler, 256> m_handlers{};
    std::map<uint64_t, modbus::RequestState> m_states;
    uint8_t m_lastTag = 0xFF;
    uint64_t m_serial = 0;
    int m_answers = 0;
};
