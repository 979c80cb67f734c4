#pragma once
// The two hand-over forms of answer data: word items and double-word items.
//
// Word item m is register m of the answer. Double-word item m is built from
// data bytes b0..b3 = 4m..4m+3 as a 24-bit value and a 3-bit field:
//   standard order: value = b3<<16 | b0<<8 | b1, field = (b2 >> 1) & 7
//   swapped order:  value = b1<<16 | b2<<8 | b3, field = (b0 >> 1) & 7
// Only items that lie wholly inside the answer are handed over.
#include "link/ReceiveBuffer.h"
#include <cstdint>
#include <functional>

struct DoubleWordItem {
    uint32_t value;
    int field;
};

DoubleWordItem doubleWordItem(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, bool swapped);

void forEachWordItem(const ReceiveBuffer &rb, const std::function<void(int, uint16_t)> &fn);
void forEachDoubleWordItem(const ReceiveBuffer &rb, bool swapped,
                           const std::function<void(int, uint32_t, int)> &fn);
