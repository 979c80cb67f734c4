#include "sim/SimBitTerminals.h"
#include "sim/SimGateway.h"

quint16 SimBitTerminals::bitBusWord(int r, qint64 nowMs)
{
    switch (r) {
    case 0: return quint16(nowMs / 500);
    case 1: return quint16(1u << ((nowMs / 500) % 16));
    case 2: return (nowMs / 1000) % 2 ? 0xAAAA : 0x5555;
    case 3: return quint16(0x00F0 | ((nowMs / 1000) % 2 ? 0x8000 : 0));
    default: return 0;
    }
}

quint16 SimBitTerminals::d2Word(int r, qint64 nowMs)
{
    switch (r) {
    case 33: return quint16(0x8000u >> ((nowMs / 700) % 16));
    case 34: return quint16(((nowMs / 300) & 0xFF) << 4);
    case 35: return (nowMs / 2000) % 2 ? 0xF0F0 : 0x0F0F;
    default: return 0;
    }
}

void SimBitTerminals::tick(SimGateway &gw, qint64 nowMs)
{
    for (int r = 0; r < 16; ++r) {
        const quint16 old = gw.inputRegister(r);
        const quint16 now = bitBusWord(r, nowMs);
        if (now == old)
            continue;
        gw.setInputRegister(r, now);
        const quint16 rising = now & ~old;
        for (int i = 0; i < 16; ++i) {
            const int b = 16 * r + i;
            if ((old ^ now) >> i & 1)
                gw.setDiscreteInput(b, (now >> i) & 1);
            if ((rising >> i) & 1)
                gw.setInputRegister(kEdgeCounters + b, quint16(gw.inputRegister(kEdgeCounters + b) + 1));
        }
    }
    for (int r = 33; r <= 35; ++r) {
        const quint16 old = gw.inputRegister(r);
        const quint16 now = d2Word(r, nowMs);
        if (now == old)
            continue;
        gw.setInputRegister(r, now);
        for (int i = 0; i < 16; ++i)
            if ((old ^ now) >> i & 1)
                gw.setDiscreteInput(kD2DiscreteInputs + 16 * (r - 32) + i, (now >> i) & 1);
    }
}
