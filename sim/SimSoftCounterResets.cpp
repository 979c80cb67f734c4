#include "sim/SimSoftCounterResets.h"
#include "sim/SimGateway.h"

void SimSoftCounterResets::clearBitCounter(SimGateway &gw, int b)
{
    gw.setInputRegister(kBitCounters + b, 0);
}

void SimSoftCounterResets::clearWordCounter(SimGateway &gw, int w, int k)
{
    for (int base : {kInputIntegration, kFixedTimeIntegration}) {
        gw.setInputRegister(base + 16 * w + 2 * k, 0);
        gw.setInputRegister(base + 16 * w + 2 * k + 1, 0);
    }
}

void SimSoftCounterResets::onWrite(SimGateway &gw, QModbusDataUnit::RegisterType table, int address,
                                   quint16 value)
{
    if (table == QModbusDataUnit::HoldingRegisters) {
        if (address >= 1222 && address <= 1237) {
            for (int i = 0; i < 16; ++i)
                if (value >> i & 1)
                    clearBitCounter(gw, 16 * (address - 1222) + i);
            gw.setHoldingRegister(address, 0);
        } else if (address >= 1238 && address <= 1269) {
            const int even = 2 * (address - 1238);
            for (int k = 0; k < 8; ++k) {
                if (value >> k & 1)
                    clearWordCounter(gw, even, k);
                if (value >> (8 + k) & 1)
                    clearWordCounter(gw, even + 1, k);
            }
            gw.setHoldingRegister(address, 0);
        }
    } else if (table == QModbusDataUnit::Coils && value != 0) {
        if (address >= 2000 && address <= 2255) {
            clearBitCounter(gw, address - 2000);
            gw.setCoil(address, false);
        } else if (address >= 3000 && address <= 3511) {
            clearWordCounter(gw, (address - 3000) / 8, (address - 3000) % 8);
            gw.setCoil(address, false);
        }
    }
}
