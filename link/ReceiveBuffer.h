#pragma once
// The program's one receive buffer: the latest whole answer of the gateway.
//
// Byte 0 is the request tag, byte 7 the function code, byte 8 the byte count
// and the register data follows from byte 9, each register big-endian.
// `length` is the size of the answer now held; bytes past it are stale and
// no accessor here hands them out.
#include <array>
#include <cstdint>
#include <QByteArrayView>

struct ReceiveBuffer {
    static constexpr int kSize = 304;
    static constexpr int kDataStart = 9;

    std::array<uint8_t, kSize> bytes{};
    int length = 0;

    // Copies one answer in from byte 0; an answer longer than the buffer is
    // cut to its size (the assembler never hands out one that long).
    void assign(QByteArrayView answer);

    uint8_t tag() const { return bytes[0]; }
    uint8_t functionCode() const { return bytes[7]; }
    bool isException() const { return (bytes[7] & 0x80) != 0; }
    uint8_t exceptionCode() const { return bytes[8]; }
    // The stated byte count, limited to the data bytes actually received.
    int byteCount() const;
    // Data byte i (i counted from byte 9), or 0 past the answer.
    uint8_t dataByte(int i) const;
    bool hasDataByte(int i) const { return i >= 0 && kDataStart + i < length; }
    // Register r of the data, big-endian; 0 past the answer.
    uint16_t word(int r) const { return uint16_t(dataByte(2 * r) << 8 | dataByte(2 * r + 1)); }
    int wordCount() const { return byteCount() / 2; }
};
