#pragma once
// What a dialog needs of the connection to the gateway: the five requests,
// each returning its reply (link/LinkReply.h), and whether the connection is
// up. The program's ModbusLink stands behind it; a test puts a fake in its
// place and builds a dialog without the main window.
#include "link/LinkReply.h"
#include <QObject>
#include <QString>
#include <cstdint>

class GatewayLink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The five requests. Each returns the request's reply, which ends with
    // its own answer, the response timeout or the connection's loss (at
    // once when nothing could be sent).
    virtual Reply SendReadInputRegisters(uint8_t tag, uint32_t address, uint32_t count) = 0;
    virtual Reply SendReadHoldingRegisters(uint8_t tag, uint32_t address, uint32_t count) = 0;
    virtual Reply SendWriteSingleRegister(uint32_t address, uint32_t value) = 0;
    virtual Reply SendWriteTwoRegisters(uint32_t address, uint32_t value) = 0;
    virtual Reply SendWriteSingleCoil(uint32_t address, uint8_t state) = 0;

    // Whether the connection is up.
    virtual bool isConnected() const = 0;

    // Where the next connection goes and how long an answer may take. A
    // different host or port is refused while the connection is open:
    // false with *error set.
    virtual bool setHost(const QString &host, QString *error) = 0;
    virtual bool setPort(int port, QString *error) = 0;
    virtual void setResponseTimeout(int ms) = 0;

signals:
    // An exception answer came (for the status bar; the request's own reply
    // ends with it too).
    void exceptionAnswer(uint8_t tag, uint8_t function, uint8_t exceptionCode);
};
