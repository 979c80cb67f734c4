#pragma once
#include <QString>
#include <cstdint>

// The nominal time that `count` polls at `intervalMs` take, as
// "h:mm:ss.t" (hours unpadded, one digit of tenths). The product is taken
// modulo 2^32, as the counters are 32-bit.
QString FormatElapsed(uint32_t intervalMs, uint32_t count);
