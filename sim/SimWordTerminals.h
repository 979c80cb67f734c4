#pragma once
// Live word-terminal data: a thermocouple terminal at word address 0 whose
// eight channels drift around room temperature (tenths of a degree in the
// word bus register 32 and the extended area 320..327).
#include "sim/SimBehaviour.h"

class SimWordTerminals : public SimBehaviour {
public:
    void tick(SimGateway &gw, qint64 nowMs) override;
};
