#include "app/Waits.h"
#include "link/ModbusFrames.h"
#include "link/ModbusLink.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

bool WaitForReadAnswer(ModbusLink &link, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    // The timer only wakes the loop so that the deadline is seen; between
    // events the thread sleeps instead of spinning.
    QTimer wake;
    wake.start(10);
    while (link.LastRequestTag != modbus::kNoAnswerAwaited) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}
