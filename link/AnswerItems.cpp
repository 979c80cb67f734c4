#include "link/AnswerItems.h"

DoubleWordItem doubleWordItem(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, bool swapped)
{
    if (swapped)
        return {uint32_t(b1) << 16 | uint32_t(b2) << 8 | b3, (b0 >> 1) & 7};
    return {uint32_t(b3) << 16 | uint32_t(b0) << 8 | b1, (b2 >> 1) & 7};
}

void forEachWordItem(const ReceiveBuffer &rb, const std::function<void(int, uint16_t)> &fn)
{
    const int n = rb.byteCount() / 2;
    for (int m = 0; m < n; ++m)
        fn(m, rb.word(m));
}

void forEachDoubleWordItem(const ReceiveBuffer &rb, bool swapped,
                           const std::function<void(int, uint32_t, int)> &fn)
{
    const int n = rb.byteCount() / 4;
    for (int m = 0; m < n; ++m) {
        const auto item = doubleWordItem(rb.dataByte(4 * m), rb.dataByte(4 * m + 1),
                                         rb.dataByte(4 * m + 2), rb.dataByte(4 * m + 3), swapped);
        fn(m, item.value, item.field);
    }
}
