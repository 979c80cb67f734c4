#pragma once
// The dialogs' GatewayLink over the session's ModbusLink. Whether the
// connection is up comes from the session (the socket's state).
#include "link/GatewayLink.h"
#include "link/ModbusLink.h"

class MainGatewayLink : public GatewayLink {
    Q_OBJECT
public:
    MainGatewayLink(ModbusLink &link, std::function<bool()> connected, QObject *parent = nullptr);

    Reply SendReadInputRegisters(uint8_t tag, uint32_t address, uint32_t count) override
    { return m_link.SendReadInputRegisters(tag, address, count); }
    Reply SendReadHoldingRegisters(uint8_t tag, uint32_t address, uint32_t count) override
    { return m_link.SendReadHoldingRegisters(tag, address, count); }
    Reply SendWriteSingleRegister(uint32_t address, uint32_t value) override
    { return m_link.SendWriteSingleRegister(address, value); }
    Reply SendWriteTwoRegisters(uint32_t address, uint32_t value) override
    { return m_link.SendWriteTwoRegisters(address, value); }
    Reply SendWriteSingleCoil(uint32_t address, uint8_t state) override
    { return m_link.SendWriteSingleCoil(address, state); }

    bool isConnected() const override { return m_connected(); }

    bool setHost(const QString &host, QString *error) override { return m_link.setHost(host, error); }
    bool setPort(int port, QString *error) override { return m_link.setPort(port, error); }
    void setResponseTimeout(int ms) override { m_link.setResponseTimeout(ms); }

private:
    ModbusLink &m_link;
    std::function<bool()> m_connected;
};
