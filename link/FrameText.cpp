#include "link/FrameText.h"
#include "link/ModbusFrames.h"
#include <QCoreApplication>

namespace modbus {

namespace {

constexpr int kPdu = 7;  // function code; the MBAP header comes before it

uint8_t byteAt(const QByteArray &f, int i)
{
    return uint8_t(f[i]);
}

uint16_t wordAt(const QByteArray &f, int i)
{
    return uint16_t(byteAt(f, i) << 8 | byteAt(f, i + 1));
}

// The conventional five-digit reference of a protocol address in its
// table, when it has one (addresses past 9998 would run into the next
// table's numbers, so they are shown bare).
QString reference(uint8_t function, uint16_t address)
{
    if (address > 9998)
        return {};
    int base = 40001;
    if (function == ReadInputRegisters)
        base = 30001;
    else if (function == WriteSingleCoil)
        base = 1;
    return QStringLiteral(" (%1)").arg(base + address, 5, 10, QLatin1Char('0'));
}

QString addressText(uint8_t function, uint16_t address)
{
    const QString word = function == WriteSingleCoil ? QCoreApplication::translate("FrameText", "コイル ")
                                                     : QCoreApplication::translate("FrameText", "アドレス ");
    return word + QString::number(address) + reference(function, address);
}

// "04 入力レジスタ読出し", or the bare code of a function the tool never uses.
QString functionText(uint8_t function)
{
    const QString name = functionName(function);
    return codeText(function) + (name.isEmpty() ? QString() : u' ' + name);
}

// "タグ0 モニターデータ  04 入力レジスタ読出し  "; the function left out of
// exception answers, which name it themselves.
QString head(const FrameFields &f, bool withFunction)
{
    QString s = QCoreApplication::translate("FrameText", "タグ%1 %2  ").arg(f.tag).arg(requestKindName(requestKind(f.tag)));
    if (withFunction)
        s += functionText(f.function) + QStringLiteral("  ");
    return s;
}

// The written value of functions 5 and 6: a coil shows ON or OFF.
QString writtenValue(uint8_t function, uint16_t value)
{
    if (function == WriteSingleCoil && (value == 0xFF00 || value == 0))
        return value ? QStringLiteral("  ON") : QStringLiteral("  OFF");
    return QCoreApplication::translate("FrameText", "  値 %1").arg(value);
}

// Byte 0 and the function code, where the frame reaches them.
FrameFields tagAndFunction(const QByteArray &frame)
{
    FrameFields f;
    if (!frame.isEmpty())
        f.tag = byteAt(frame, 0);
    if (frame.size() > kPdu)
        f.function = byteAt(frame, kPdu);
    return f;
}

QString incomplete(const QByteArray &frame)
{
    return QCoreApplication::translate("FrameText", "不完全なフレーム (%1 バイト)").arg(frame.size());
}

} // namespace

RequestKind requestKind(uint8_t tag)
{
    switch (tag) {
    case 0: return RequestKind::MonitorData;
    case 20: return RequestKind::HeaderWords;
    case 1: case 2: case 3: return RequestKind::ModuleInfo;
    case 4: return RequestKind::Clock;
    case 5: return RequestKind::TerminalSettings;
    case 10: case 11: case 12: case 13: case 14: return RequestKind::CounterReadBack;
    case kSurveyTag: case kSurveyHeaderTag: return RequestKind::Survey;
    case kRecordTag: return RequestKind::Recording;
    case kWriteTag: return RequestKind::Write;
    default: return RequestKind::Other;
    }
}

QString requestKindName(RequestKind kind)
{
    switch (kind) {
    case RequestKind::MonitorData: return QCoreApplication::translate("FrameText", "モニターデータ");
    case RequestKind::HeaderWords: return QCoreApplication::translate("FrameText", "ヘッダーワード");
    case RequestKind::ModuleInfo: return QCoreApplication::translate("FrameText", "モジュール情報");
    case RequestKind::Clock: return QCoreApplication::translate("FrameText", "時計");
    case RequestKind::TerminalSettings: return QCoreApplication::translate("FrameText", "ターミナル設定");
    case RequestKind::CounterReadBack: return QCoreApplication::translate("FrameText", "カウンター読み返し");
    case RequestKind::Write: return QCoreApplication::translate("FrameText", "書き込み");
    case RequestKind::Survey: return QCoreApplication::translate("FrameText", "一括点検");
    case RequestKind::Recording: return QCoreApplication::translate("FrameText", "記録");
    case RequestKind::Other: break;
    }
    return QCoreApplication::translate("FrameText", "その他");
}

QString functionName(uint8_t function)
{
    switch (function) {
    case ReadHoldingRegisters: return QCoreApplication::translate("FrameText", "保持レジスタ読出し");
    case ReadInputRegisters: return QCoreApplication::translate("FrameText", "入力レジスタ読出し");
    case WriteSingleCoil: return QCoreApplication::translate("FrameText", "単一コイル書込み");
    case WriteSingleRegister: return QCoreApplication::translate("FrameText", "単一レジスタ書込み");
    case WriteMultipleRegisters: return QCoreApplication::translate("FrameText", "複数レジスタ書込み");
    default: return {};
    }
}

QString exceptionName(uint8_t code)
{
    switch (code) {
    case 0x01: return QCoreApplication::translate("FrameText", "不正ファンクション");
    case 0x02: return QCoreApplication::translate("FrameText", "不正データアドレス");
    case 0x03: return QCoreApplication::translate("FrameText", "不正データ値");
    case 0x04: return QCoreApplication::translate("FrameText", "スレーブ機器異常");
    case 0x05: return QCoreApplication::translate("FrameText", "処理受付(応答保留)");
    case 0x06: return QCoreApplication::translate("FrameText", "スレーブ機器ビジー");
    case 0x08: return QCoreApplication::translate("FrameText", "メモリパリティエラー");
    case 0x0A: return QCoreApplication::translate("FrameText", "ゲートウェイ異常");
    case 0x0B: return QCoreApplication::translate("FrameText", "ゲートウェイ異常");
    default: return QCoreApplication::translate("FrameText", "不明な例外");
    }
}

QString codeText(uint8_t code)
{
    return QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
}

QString hexBytes(const QByteArray &frame)
{
    return QString::fromLatin1(frame.toHex(' ').toUpper());
}

FrameFields decodeRequest(const QByteArray &frame)
{
    FrameFields f = tagAndFunction(frame);
    const int n = int(frame.size());
    if (n <= kPdu)
        return f;
    if (n < kPdu + 5)
        return f;
    f.address = wordAt(frame, kPdu + 1);
    switch (f.function) {
    case ReadHoldingRegisters:
    case ReadInputRegisters:
        f.count = wordAt(frame, kPdu + 3);
        break;
    case WriteSingleCoil:
    case WriteSingleRegister:
        f.value = wordAt(frame, kPdu + 3);
        break;
    case WriteMultipleRegisters:
        f.count = wordAt(frame, kPdu + 3);
        if (n < kPdu + 6)
            return f;
        f.byteCount = byteAt(frame, kPdu + 5);
        if (n < kPdu + 6 + f.byteCount)
            return f;
        break;
    default:
        break;
    }
    f.complete = true;
    return f;
}

FrameFields decodeAnswer(const QByteArray &frame)
{
    FrameFields f = tagAndFunction(frame);
    const int n = int(frame.size());
    if (n <= kPdu)
        return f;
    f.exception = (f.function & 0x80) != 0;
    if (n < kPdu + 2)
        return f;
    if (f.exception) {
        f.exceptionCode = byteAt(frame, kPdu + 1);
        f.complete = true;
        return f;
    }
    switch (f.function) {
    case ReadHoldingRegisters:
    case ReadInputRegisters:
        f.byteCount = byteAt(frame, kPdu + 1);
        f.complete = n >= kPdu + 2 + f.byteCount;
        return f;
    case WriteSingleCoil:
    case WriteSingleRegister:
    case WriteMultipleRegisters:
        if (n < kPdu + 5)
            return f;
        f.address = wordAt(frame, kPdu + 1);
        (f.function == WriteMultipleRegisters ? f.count : f.value) = wordAt(frame, kPdu + 3);
        break;
    default:
        break;
    }
    f.complete = true;
    return f;
}

QString requestSummary(const QByteArray &frame)
{
    const FrameFields f = decodeRequest(frame);
    if (!f.complete)
        return incomplete(frame);
    const QString s = head(f, true);
    switch (f.function) {
    case ReadHoldingRegisters:
    case ReadInputRegisters:
        return s + addressText(f.function, f.address) + QCoreApplication::translate("FrameText", "  個数 %1").arg(f.count);
    case WriteSingleCoil:
    case WriteSingleRegister:
        return s + addressText(f.function, f.address) + writtenValue(f.function, f.value);
    case WriteMultipleRegisters: {
        QString t = s + addressText(f.function, f.address) + QCoreApplication::translate("FrameText", "  個数 %1  値").arg(f.count);
        for (int i = 0; i < f.byteCount / 2; ++i)
            t += (i ? QStringLiteral(", ") : QStringLiteral(" ")) + QString::number(wordAt(frame, kPdu + 6 + 2 * i));
        return t;
    }
    default:
        return s + QCoreApplication::translate("FrameText", "%1 バイト").arg(frame.size());
    }
}

QString requestSummary(uint8_t tag, uint8_t function, uint16_t address, uint16_t count)
{
    FrameFields f;
    f.tag = tag;
    f.function = function;
    QString s = head(f, true) + addressText(function, address);
    if (function == ReadHoldingRegisters || function == ReadInputRegisters || function == WriteMultipleRegisters)
        s += QCoreApplication::translate("FrameText", "  個数 %1").arg(count);
    return s;
}

QString answerSummary(const QByteArray &frame)
{
    const FrameFields f = decodeAnswer(frame);
    if (!f.complete)
        return incomplete(frame);
    const QString s = head(f, !f.exception);
    if (f.exception)
        return s + QCoreApplication::translate("FrameText", "例外 %1 %2  (%3 の例外応答)")
                       .arg(codeText(f.exceptionCode), exceptionName(f.exceptionCode),
                            functionText(f.function & 0x7F));
    switch (f.function) {
    case ReadHoldingRegisters:
    case ReadInputRegisters:
        return s + QCoreApplication::translate("FrameText", "%1 バイト").arg(f.byteCount);
    case WriteSingleCoil:
    case WriteSingleRegister:
        return s + addressText(f.function, f.address) + writtenValue(f.function, f.value);
    case WriteMultipleRegisters:
        return s + addressText(f.function, f.address) + QCoreApplication::translate("FrameText", "  個数 %1").arg(f.count);
    default:
        return s + QCoreApplication::translate("FrameText", "%1 バイト").arg(frame.size());
    }
}

} // namespace modbus
