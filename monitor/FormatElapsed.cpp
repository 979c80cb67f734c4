#include "monitor/FormatElapsed.h"

QString FormatElapsed(uint32_t intervalMs, uint32_t count)
{
    const uint32_t t = uint32_t(intervalMs * count) / 100;  // tenths of a second
    const uint32_t hours = t / 36000;
    const uint32_t r = t % 36000;
    return QString::asprintf("%u:%.2u:%.2u.%u", hours, r / 600, (r % 600) / 10, r % 10);
}
