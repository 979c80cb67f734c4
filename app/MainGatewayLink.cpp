#include "app/MainGatewayLink.h"

MainGatewayLink::MainGatewayLink(ModbusLink &link, std::function<bool()> connected, WriteJournal *journal,
                                 const QString &source, QObject *parent)
    : GatewayLink(parent), m_link(link), m_connected(std::move(connected)), m_journal(journal), m_source(source)
{
    connect(&link, &ModbusLink::exceptionAnswer, this, &GatewayLink::exceptionAnswer);
}

Reply MainGatewayLink::journaled(const Reply &reply, journal::Write write)
{
    return m_journal ? m_journal->track(reply, std::move(write)) : reply;
}

Reply MainGatewayLink::SendWriteSingleRegister(uint32_t address, uint32_t value)
{
    return journaled(m_link.SendWriteSingleRegister(address, value),
                     journal::Write::singleRegister(m_source, address, value));
}

Reply MainGatewayLink::SendWriteTwoRegisters(uint32_t address, uint32_t value)
{
    return journaled(m_link.SendWriteTwoRegisters(address, value),
                     journal::Write::twoRegisters(m_source, address, value));
}

Reply MainGatewayLink::SendWriteSingleCoil(uint32_t address, uint8_t state)
{
    return journaled(m_link.SendWriteSingleCoil(address, state), journal::Write::singleCoil(m_source, address, state));
}
