#include "link/Waits.h"
#include "link/ModbusLink.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

bool WaitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(timeoutMs));
    // The timer only wakes the loop so that the deadline and any condition
    // that changes without an event of its own are seen; between events the
    // thread sleeps instead of spinning.
    QTimer wake;
    wake.start(10);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

bool WaitForAnswer(ModbusLink &link, uint64_t serial, int timeoutMs,
                   const std::function<bool()> &giveUp)
{
    // A request that was never sent (serial 0) or died with the connection
    // is never answered: the wait then lasts its full time, as for a
    // gateway that does not answer.
    bool answered = false;
    WaitUntil([&] {
        answered = serial != 0 && link.requestState(serial) == modbus::RequestState::Answered;
        return answered || (giveUp && giveUp());
    }, timeoutMs);
    return answered;
}

void WaitUntilSettled(ModbusLink &link, uint64_t serial)
{
    WaitUntil([&] { return link.requestState(serial) != modbus::RequestState::InFlight; });
}
