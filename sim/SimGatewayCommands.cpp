#include "sim/SimGatewayCommands.h"
#include "sim/SimGateway.h"

void SimGatewayCommands::attach(SimGateway &gw)
{
    raiseWireBreak(gw);
}

void SimGatewayCommands::raiseWireBreak(SimGateway &gw)
{
    gw.setInputRegister(kErrorFlags, gw.inputRegister(kErrorFlags) | kWireBreak);
}

void SimGatewayCommands::onWrite(SimGateway &gw, QModbusDataUnit::RegisterType table, int address,
                                 quint16 value)
{
    if (table != QModbusDataUnit::HoldingRegisters)
        return;
    if (address == kErrorReset) {
        if (value == 1)
            gw.setInputRegister(kErrorFlags, gw.inputRegister(kErrorFlags) & ~kWireBreak);
        gw.setHoldingRegister(address, 0);
    } else if (address == kRestartSizing) {
        if (value == 1)
            ++m_restarts;
        else if (value == 2)
            ++m_sizings;
        gw.setHoldingRegister(address, 0);
    }
}
