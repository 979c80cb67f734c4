#include "link/FrameAssembler.h"

void FrameAssembler::receiveData(QByteArrayView bytes)
{
    // Consumed bytes go only here, so that the view nextAnswerView() handed
    // out stays valid until then. Truncating keeps the buffer's memory: a
    // connection's answers reuse one allocation.
    if (m_start == m_buffer.size()) {
        m_buffer.truncate(0);
        m_start = 0;
    } else if (m_start > 0 && m_start >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    m_buffer.append(bytes);
}

std::optional<QByteArray> FrameAssembler::nextAnswer()
{
    if (auto view = nextAnswerView())
        return view->toByteArray();
    return std::nullopt;
}

std::optional<QByteArrayView> FrameAssembler::nextAnswerView()
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
    const QByteArrayView answer(m_buffer.constData() + m_start, total);
    m_start += total;
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
