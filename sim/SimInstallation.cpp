// The default installation of the simulated gateway.
#include "sim/SimBitTerminals.h"
#include "sim/SimClock.h"
#include "sim/SimCounterTerminal.h"
#include "sim/SimGatewayCommands.h"
#include "sim/SimGateway.h"
#include "sim/SimModuleInfo.h"
#include "sim/SimSoftCounterResets.h"
#include "sim/SimTerminalSettings.h"
#include "sim/SimWordTerminals.h"

void installDefaultBehaviours(SimGateway &gw)
{
    gw.addBehaviour(std::make_unique<SimClock>());
    gw.addBehaviour(std::make_unique<SimModuleInfo>());
    // Live data of the word and bit terminals.
    gw.addBehaviour(std::make_unique<SimWordTerminals>());
    gw.addBehaviour(std::make_unique<SimBitTerminals>());
    // Gateway tools: counter commands of the counter terminals at 4 and 8,
    // soft counter resets, error reset, restart and sizing.
    gw.addBehaviour(std::make_unique<SimCounterTerminal>(4, SimCounterTerminal::ModeD));
    gw.addBehaviour(std::make_unique<SimCounterTerminal>(8, SimCounterTerminal::ModeB));
    gw.addBehaviour(std::make_unique<SimSoftCounterResets>());
    gw.addBehaviour(std::make_unique<SimGatewayCommands>());
    // Settings mode of the power, current and outlet-bar terminals: last, so
    // that a block in settings mode overwrites the live data of the tick.
    gw.addBehaviour(std::make_unique<SimTerminalSettings>());
}
