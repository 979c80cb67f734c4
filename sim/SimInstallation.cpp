// The default installation of the simulated gateway.
#include "sim/SimClock.h"
#include "sim/SimGateway.h"
#include "sim/SimModuleInfo.h"
#include "sim/SimWordTerminals.h"

void installDefaultBehaviours(SimGateway &gw)
{
    gw.addBehaviour(std::make_unique<SimClock>());
    gw.addBehaviour(std::make_unique<SimModuleInfo>());
    gw.addBehaviour(std::make_unique<SimWordTerminals>());
}
