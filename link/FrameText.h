#pragma once
// Frames read back as text, for the traffic view and the statistics.
//
// A frame is the bytes of one request as the tool sent it or of one answer
// as the gateway returned it (MBAP header first). Byte 0 is the request
// tag, which names the part of the tool that asked (see requestKind); the
// PDU starts at byte 7. Nothing here trusts a length field: every field is
// read only when its bytes are there, and a frame too short for its function
// is reported as incomplete.
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace modbus {

// Who asked, by request tag: 0 the monitor's window, 20 its header words,
// 1 to 3 the module information, 4 the gateway clock, 5 the terminal
// settings, 10 to 14 the counter read-back, 30 and 31 the survey's reads of
// values and header words, 40 the bus recorder's reads, 254 every write.
enum class RequestKind : uint8_t {
    MonitorData,
    HeaderWords,
    ModuleInfo,
    Clock,
    TerminalSettings,
    CounterReadBack,
    Write,
    Survey,
    Recording,
    Other,
};
constexpr int kRequestKinds = 10;

RequestKind requestKind(uint8_t tag);
QString requestKindName(RequestKind kind);

// "04 入力レジスタ読出し"-style names of the functions the tool uses; other
// codes give "" (the caller shows the number alone).
QString functionName(uint8_t function);
// The Modbus exception names in Japanese ("不正データアドレス" for 2);
// codes without a standard meaning give "不明な例外".
QString exceptionName(uint8_t code);
// A function or exception code as two upper-case hex digits ("0A").
QString codeText(uint8_t code);

// "01 00 00 00 00 06 01 04 01 28 00 10"
QString hexBytes(const QByteArray &frame);

// The fields of one frame, as far as its bytes reach.
struct FrameFields {
    bool complete = false;    // every field the function needs is there
    uint8_t tag = 0;
    uint8_t function = 0;     // with bit 7 for an exception answer
    bool exception = false;
    uint8_t exceptionCode = 0;
    uint16_t address = 0;     // requests; write answers
    uint16_t count = 0;       // reads, function 16
    uint16_t value = 0;       // functions 5 and 6
    int byteCount = -1;       // read answers and function 16 requests
};

FrameFields decodeRequest(const QByteArray &frame);
FrameFields decodeAnswer(const QByteArray &frame);

// One line describing the frame: tag and requester, function, then
//   read request:   アドレス 44 (30045)  個数 32
//   write request:  アドレス 1203 (41204)  値 1 / コイル 5 (00006)  ON
//   read answer:    64 バイト
//   exception:      例外 02 不正データアドレス  (04 入力レジスタ読出し の例外応答)
// A frame too short for its function says so with its length.
QString requestSummary(const QByteArray &frame);
QString answerSummary(const QByteArray &frame);
// A request known by its fields only (a timed-out transaction): tag and
// requester, function, address, and the count of reads and of function 16.
QString requestSummary(uint8_t tag, uint8_t function, uint16_t address, uint16_t count);

} // namespace modbus
