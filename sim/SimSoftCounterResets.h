#pragma once
// The gateway's soft counter resets. The counters themselves are live data:
//   bit address b:  input register 2368 + b (reference 32369 + b)
//   word address w, counter k (32 bits, two registers each):
//     input integration 2624 + 16w + 2k, fixed-time integration 3648 + 16w + 2k
// Resets (each command register or coil returns to 0 once taken):
//   holding 1222 + n: bit i set clears bit counter 16n + i
//   holding 1238 + n: bit k of the low byte clears counter k of word address
//     2n, bit k of the high byte counter k of word address 2n + 1
//   coil 2000 + b ON: clears bit counter b
//   coil 3000 + 8w + k ON: clears counter k of word address w
// A word counter reset clears both its integration counters.
#include "sim/SimBehaviour.h"

class SimSoftCounterResets : public SimBehaviour {
public:
    static constexpr int kBitCounters = 2368;
    static constexpr int kInputIntegration = 2624;
    static constexpr int kFixedTimeIntegration = 3648;

    void onWrite(SimGateway &gw, QModbusDataUnit::RegisterType table, int address,
                 quint16 value) override;

    static void clearBitCounter(SimGateway &gw, int b);
    static void clearWordCounter(SimGateway &gw, int w, int k);
};
