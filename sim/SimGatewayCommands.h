#pragma once
// The gateway's own command registers:
//   holding 1202 (error reset): 1 clears the wire-break error flag, which
//     the gateway shows as bit 0 of input register 254 (reference 30255).
//     The simulated gateway starts with the flag set, as after a line that
//     was cut once.
//   holding 1203 (restart and sizing): 1 restarts the gateway, 2 starts
//     sizing; both are only counted here.
// Both registers return to 0 once the command is taken. Ladder memory
// coils (0..255, 1000..1511, 4000..4511, 5000..5511) are plain memory.
#include "sim/SimBehaviour.h"

class SimGatewayCommands : public SimBehaviour {
public:
    static constexpr int kErrorFlags = 254;
    static constexpr quint16 kWireBreak = 0x0001;
    static constexpr int kErrorReset = 1202;
    static constexpr int kRestartSizing = 1203;

    void attach(SimGateway &gw) override;
    void onWrite(SimGateway &gw, QModbusDataUnit::RegisterType table, int address,
                 quint16 value) override;

    static void raiseWireBreak(SimGateway &gw);
    int restarts() const { return m_restarts; }
    int sizings() const { return m_sizings; }

private:
    int m_restarts = 0;
    int m_sizings = 0;
};
