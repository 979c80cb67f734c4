#pragma once
// A dialog's GatewayLink over the session's ModbusLink. Whether the
// connection is up comes from the session (the socket's state). Each window
// has its own, named after the window: every write it sends goes into the
// write journal under that name.
#include "link/GatewayLink.h"
#include "link/ModbusLink.h"
#include "monitor/WriteJournal.h"

class MainGatewayLink : public GatewayLink {
    Q_OBJECT
public:
    // journal may be null: the writes are then recorded nowhere.
    MainGatewayLink(ModbusLink &link, std::function<bool()> connected, WriteJournal *journal,
                    const QString &source, QObject *parent = nullptr);

    Reply SendReadInputRegisters(uint8_t tag, uint32_t address, uint32_t count) override
    { return m_link.SendReadInputRegisters(tag, address, count); }
    Reply SendReadHoldingRegisters(uint8_t tag, uint32_t address, uint32_t count) override
    { return m_link.SendReadHoldingRegisters(tag, address, count); }
    Reply SendWriteSingleRegister(uint32_t address, uint32_t value) override;
    Reply SendWriteTwoRegisters(uint32_t address, uint32_t value) override;
    Reply SendWriteSingleCoil(uint32_t address, uint8_t state) override;

    bool isConnected() const override { return m_connected(); }

    bool setHost(const QString &host, QString *error) override { return m_link.setHost(host, error); }
    bool setPort(int port, QString *error) override { return m_link.setPort(port, error); }
    void setResponseTimeout(int ms) override { m_link.setResponseTimeout(ms); }

    // The window's name in the journal.
    QString source() const { return m_source; }

private:
    Reply journaled(const Reply &reply, journal::Write write);

    ModbusLink &m_link;
    std::function<bool()> m_connected;
    WriteJournal *m_journal;
    QString m_source;
};
