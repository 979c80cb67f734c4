#pragma once
// Live data of the bit terminals of the default installation.
//
// Bit bus (bit b is bit b mod 16 of input register b div 16):
//   register 0 (bits 0..15): a binary count, one step every 500 ms
//   register 1 (bits 16..31): a walking one, one place every 500 ms
//   register 2 (bits 32..47): 0x5555 and 0xAAAA in turn, every second
//   register 3 (bits 48..63): 0x00F0 steady, bit 63 blinking at 0.5 Hz
//   registers 4..15: 0
// Discrete input b (10001 + b) follows bit b. Every rising edge of bit b
// adds one to its edge soft counter, input register 2368 + b (read, add,
// write, 16 bits).
//
// D2 bus: D2 bit d is bit d mod 16 of input register 32 + d div 16, the
// registers of word addresses 0..31 of the word bus. A D2 terminal and a
// word terminal cannot share an address, so the D2 bit terminals sit at the
// addresses the word terminals leave free: D2 bits 16..63 (registers 33..35,
// word addresses 1..3):
//   register 33: a walking one from bit 15 down, every 700 ms
//   register 34: a binary count in bits 4..11, one step every 300 ms
//   register 35: 0x0F0F and 0xF0F0 in turn, every two seconds
// Discrete input 1000 + d (11001 + d) follows these bits. D2 bits 0..15
// read register 32, the thermocouple's bus word.
#include "sim/SimBehaviour.h"
#include "sim/SimMap.h"

class SimBitTerminals : public SimBehaviour {
public:
    static constexpr int kEdgeCounters = simmap::kEdgeCounters;
    static constexpr int kD2DiscreteInputs = 1000;

    void tick(SimGateway &gw, qint64 nowMs) override;

    // The bus patterns at a time (registers 0..3 and 33..35).
    static quint16 bitBusWord(int r, qint64 nowMs);
    static quint16 d2Word(int r, qint64 nowMs);
};
