#pragma once
// What a dialog needs of the connection to the gateway: the five requests,
// the answers to its own request tags, the state of its requests, and
// whether the connection is up. The program's ModbusLink stands behind it;
// a test puts a fake in its place and builds a dialog without the main
// window.
#include "link/ReceiveBuffer.h"
#include "link/Transactions.h"
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

class GatewayLink : public QObject {
    Q_OBJECT
public:
    using AnswerHandler = std::function<void(const ReceiveBuffer &)>;

    using QObject::QObject;

    // The five requests. Each returns the serial of its transaction (0 when
    // nothing was sent), by which the requester knows its own answer.
    virtual uint64_t SendReadInputRegisters(uint8_t tag, uint32_t address, uint32_t count) = 0;
    virtual uint64_t SendReadHoldingRegisters(uint8_t tag, uint32_t address, uint32_t count) = 0;
    virtual uint64_t SendWriteSingleRegister(uint32_t address, uint32_t value) = 0;
    virtual uint64_t SendWriteTwoRegisters(uint32_t address, uint32_t value) = 0;
    virtual uint64_t SendWriteSingleCoil(uint32_t address, uint8_t state) = 0;

    // The handler of the answers of one request tag; an empty function
    // removes it.
    virtual void setAnswerHandler(uint8_t tag, AnswerHandler handler) = 0;
    virtual modbus::RequestState requestState(uint64_t serial) const = 0;
    // The tag of the answer awaited (0xFF: none).
    virtual uint8_t &lastRequestTag() = 0;

    // The connection: up when the connection dialog says so, and that
    // dialog's status text.
    virtual bool isConnected() const = 0;
    virtual QString statusText() const = 0;

    // Where the next connection goes and how long an answer may take. A
    // different host or port is refused while the connection is open:
    // false with *error set.
    virtual bool setHost(const QString &host, QString *error) = 0;
    virtual bool setPort(int port, QString *error) = 0;
    virtual void setResponseTimeout(int ms) = 0;

signals:
    // An exception answer came for a request of this tag.
    void exceptionAnswer(uint8_t tag, uint8_t function, uint8_t exceptionCode);
};

// Waits for the answer to the request `serial` of the link for at most
// timeoutMs (negative: no limit), or until giveUp() holds. Answers to other
// requests never end it. True when the answer came.
bool WaitForAnswer(GatewayLink &link, uint64_t serial, int timeoutMs,
                   const std::function<bool()> &giveUp = {});
