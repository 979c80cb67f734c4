#include "diag/Reconnect.h"

int64_t reconnectDelayMs(int attempt)
{
    if (attempt < 1)
        attempt = 1;
    if (attempt > 5)
        return 30000;
    return int64_t(1000) << (attempt - 1);
}
