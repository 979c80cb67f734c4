#pragma once
// The gateway's identity registers, with fixed values:
//   296..298 MAC address 00-1A-2B-3C-4D-5E (bytes in register order)
//   299 Nexilo board H/W 0x0102   300 Nexilo board F/W 0x0215
//   301 PC board H/W 0x0100       302 PC board F/W 0x0304
//   303 internal DIP switch 0x00A5   306 single cycle 0x0001 (ON)
//   310 FPGA 0x0110   182 login mode 0x0000 (User)
//   253 rotary switch / transmission mode 0x0009 ("D2 1km")
#include "sim/SimBehaviour.h"

class SimModuleInfo : public SimBehaviour {
public:
    static constexpr quint16 kRegisters[16] = {0x001A, 0x2B3C, 0x4D5E, 0x0102, 0x0215, 0x0100,
                                               0x0304, 0x00A5, 0x0000, 0x0000, 0x0001, 0x0000,
                                               0x0000, 0x0000, 0x0110, 0x0000};
    static constexpr quint16 kLoginMode = 0x0000;
    static constexpr quint16 kTransmissionMode = 0x0009;

    void attach(SimGateway &gw) override;
};
