#pragma once
// Test support: answers of function 4 as the gateway sends them, to feed a
// link or a ReceiveBuffer.
#include <QByteArray>
#include <QList>
#include <cstdint>

namespace frames {

// The registers' bytes, big-endian.
inline QByteArray registerBytes(const QList<uint16_t> &regs)
{
    QByteArray d;
    for (uint16_t r : regs) {
        d += char(r >> 8);
        d += char(r & 0xFF);
    }
    return d;
}

// One answer: tag, function 4, the stated byte count and the data bytes that
// actually follow (statedCount < 0: the number of data bytes).
inline QByteArray readAnswer(uint8_t tag, const QByteArray &data, int statedCount = -1)
{
    QByteArray a;
    a += char(tag);
    a += QByteArray(3, '\0');
    const int len = 3 + int(data.size());
    a += char(len >> 8);
    a += char(len & 0xFF);
    a += char(1);
    a += char(4);
    a += char(statedCount < 0 ? data.size() : statedCount);
    a += data;
    return a;
}

} // namespace frames
