#pragma once
// The communication statistics of the connection: what was asked, what came
// back and how long it took, in total and per kind of request.
//
// An answer is a reply matched to a request in flight, exception answers
// included (they too are the gateway's reply and have a response time);
// `exceptions` counts the exception answers among them. So for every kind
// requests = answers + timeouts + those still in flight. Late answers (after
// their timeout) and unsolicited ones (matching nothing in flight) are
// counted on their own and never as answers. Times are given by the caller
// (a monotonic clock in ms), so the rules run without a clock of their own.
#include "diag/ResponseTimes.h"
#include "link/FrameText.h"
#include "link/Transactions.h"
#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>

struct KindStats {
    int64_t requests = 0;
    int64_t answers = 0;
    int64_t exceptions = 0;
    int64_t timeouts = 0;
    ResponseTimes times;
};

class CommStats {
public:
    explicit CommStats(int timeoutMs = 1000);

    // Empties every figure; the histograms take the given range from now on.
    void reset(int64_t nowMs, int timeoutMs);
    void reset(int64_t nowMs) { reset(nowMs, m_timeoutMs); }

    void connected(int64_t nowMs);
    void disconnected(int64_t nowMs);

    void requestSent(uint8_t tag, int bytes);
    // exception: the code of an exception answer; none for a normal one.
    void answerMatched(uint8_t tag, int64_t responseUs, std::optional<uint8_t> exception = {});
    void timedOut(uint8_t tag);
    void lateAnswer();
    void unsolicitedAnswer();
    // The link's frames as it reports them: a request as sent (its tag in
    // byte 0), an answer with what it matched.
    void frameSent(const QByteArray &frame);
    void answerReceived(const QByteArray &frame, const modbus::AnswerMatch &match);
    void bytesReceived(int n) { m_bytesReceived += n; }
    void streamLost() { ++m_resyncs; }

    const KindStats &total() const { return m_total; }
    const KindStats &kind(modbus::RequestKind k) const { return m_kinds[size_t(k)]; }
    int64_t late() const { return m_late; }
    int64_t unsolicited() const { return m_unsolicited; }
    int64_t bytesSent() const { return m_bytesSent; }
    int64_t bytesReceived() const { return m_bytesReceived; }
    int64_t resyncs() const { return m_resyncs; }
    int64_t exceptionsWithCode(uint8_t code) const { return m_byCode[code]; }
    // Time connected since the reset (the current connection included).
    int64_t connectedMs(int64_t nowMs) const;
    bool isConnected() const { return m_connectedSince >= 0; }
    int timeoutMs() const { return m_timeoutMs; }

private:
    KindStats &kindOf(uint8_t tag) { return m_kinds[size_t(modbus::requestKind(tag))]; }

    int m_timeoutMs;
    KindStats m_total;
    std::array<KindStats, modbus::kRequestKinds> m_kinds;
    std::array<int64_t, 256> m_byCode{};
    int64_t m_late = 0;
    int64_t m_unsolicited = 0;
    int64_t m_bytesSent = 0;
    int64_t m_bytesReceived = 0;
    int64_t m_resyncs = 0;
    int64_t m_connectedMs = 0;       // closed connections since the reset
    int64_t m_connectedSince = -1;   // start of the open one, -1 when closed
};

// The statistics' time connected as "h:mm:ss".
QString connectedTimeText(int64_t ms);

// The exception codes always listed (the standard ones), in order.
inline constexpr std::array<uint8_t, 9> kStandardExceptionCodes{1, 2, 3, 4, 5, 6, 8, 0x0A, 0x0B};
