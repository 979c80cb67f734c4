#include "link/ReceiveBuffer.h"
#include <algorithm>
#include <cstring>

void ReceiveBuffer::assign(QByteArrayView answer)
{
    length = int(std::min<qsizetype>(answer.size(), kSize));
    std::memcpy(bytes.data(), answer.data(), size_t(length));
}

int ReceiveBuffer::byteCount() const
{
    if (length <= 8)
        return 0;
    return std::min<int>(bytes[8], length - kDataStart);
}

uint8_t ReceiveBuffer::dataByte(int i) const
{
    return hasDataByte(i) ? bytes[size_t(kDataStart + i)] : 0;
}
