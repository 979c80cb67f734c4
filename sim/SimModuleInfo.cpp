#include "sim/SimModuleInfo.h"
#include "sim/SimGateway.h"

void SimModuleInfo::attach(SimGateway &gw)
{
    for (int i = 0; i < 16; ++i)
        gw.setInputRegister(296 + i, kRegisters[i]);
    gw.setInputRegister(182, kLoginMode);
    gw.setInputRegister(253, kTransmissionMode);
}
