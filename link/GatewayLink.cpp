#include "link/GatewayLink.h"
#include "link/Waits.h"

bool WaitForAnswer(GatewayLink &link, uint64_t serial, int timeoutMs, const std::function<bool()> &giveUp)
{
    // A request that was never sent (serial 0) or died with the connection
    // is never answered: the wait then lasts its full time.
    bool answered = false;
    WaitUntil([&] {
        answered = serial != 0 && link.requestState(serial) == modbus::RequestState::Answered;
        return answered || (giveUp && giveUp());
    }, timeoutMs);
    return answered;
}
