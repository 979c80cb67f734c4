#include "app/Waits.h"
#include "link/ModbusFrames.h"
#include "link/ModbusLink.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

bool WaitForReadAnswer(ModbusLink &link, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (link.LastRequestTag != modbus::kNoAnswerAwaited) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    }
    return true;
}
