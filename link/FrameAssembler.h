#pragma once
// Cuts the byte stream of a Modbus/TCP connection into whole answers.
//
// Bytes go in as they arrive (receiveData); whole answers come out in
// arrival order (nextAnswer), each cut by the length field of its MBAP
// header. An incomplete tail waits for more bytes. A header that cannot be
// an answer (protocol identifier not 0, length outside 2..254) means the
// stream has lost its framing: everything buffered is discarded and
// streamLost() reports it once.
#include <QByteArray>
#include <QByteArrayView>
#include <optional>

class FrameAssembler {
public:
    static constexpr int kHeaderSize = 6;   // bytes up to and including the length
    static constexpr int kMinLength = 2;    // unit identifier + function code
    static constexpr int kMaxLength = 254;  // largest PDU + unit identifier

    void receiveData(QByteArrayView bytes);
    std::optional<QByteArray> nextAnswer();
    // The next whole answer without copying it: the view points into the
    // assembler's buffer and is valid only until the next receiveData() or
    // clear(). The buffer keeps its memory from one answer to the next.
    std::optional<QByteArrayView> nextAnswerView();
    // True once after the stream was found unframed; reading it clears it.
    bool takeStreamLost();
    int bufferedBytes() const { return int(m_buffer.size() - m_start); }
    void clear();

private:
    QByteArray m_buffer;
    qsizetype m_start = 0;  // first unconsumed byte: consuming stays linear
    bool m_lost = false;
};
