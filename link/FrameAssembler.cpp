#include "link/FrameAssembler.h"

void FrameAssembler::receiveData(const QByteArray &bytes)
{
    if (m_start > 0 && m_start >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    m_buffer.append(bytes);
}

std::optional<QByteArray> FrameAssembler::nextAnswer()
{
    const qsizetype avail = m_buffer.size() - m_start;
    if (avail < kHeaderSize)
        return std::nullopt;
    const auto *p = reinterpret_cast<const unsigned char *>(m_buffer.constData() + m_start);
    const int protocol = (p[2] << 8) | p[3];
    const int length = (p[4] << 8) | p[5];
    if (protocol != 0 || length < kMinLength || length > kMaxLength) {
        clear();
        m_lost = true;
        return std::nullopt;
    }
    const qsizetype total = kHeaderSize + length;
    if (avail < total)
        return std::nullopt;
    QByteArray answer = m_buffer.mid(m_start, total);
    m_start += total;
    if (m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    }
    return answer;
}

bool FrameAssembler::takeStreamLost()
{
    const bool lost = m_lost;
    m_lost = false;
    return lost;
}

void FrameAssembler::clear()
{
    m_buffer.clear();
    m_start = 0;
}
