#pragma once
// One piece of simulated gateway behaviour: the clock, a terminal, the
// module information. Behaviours set their registers when attached, move
// them on every tick, and react to what a client writes.
#include <QModbusDataUnit>
#include <QtGlobal>

class SimGateway;

class SimBehaviour {
public:
    virtual ~SimBehaviour() = default;
    virtual void attach(SimGateway &) {}
    // Called every SimGateway::kTickMs with the simulator's own clock in ms.
    virtual void tick(SimGateway &, qint64 /*nowMs*/) {}
    // One register or coil written by a client (a multi-register write
    // arrives register by register, in ascending address order).
    virtual void onWrite(SimGateway &, QModbusDataUnit::RegisterType /*table*/, int /*address*/,
                         quint16 /*value*/) {}
};
