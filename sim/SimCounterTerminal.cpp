#include "sim/SimCounterTerminal.h"
#include "sim/SimGateway.h"

namespace {

constexpr int kOutputBase = 1056;
constexpr int kWordInputBase = 32;
constexpr int kExtendedBase = 320;
constexpr int kPairs8W[8] = {0, 9, 18, 27, 4, 13, 22, 31};
constexpr int kPairs4W[8] = {0, 9, 2, 11, 4, 13, 6, 15};

} // namespace

SimCounterTerminal::SimCounterTerminal(int wordAddress, Mode mode)
    : m_address(wordAddress), m_mode(mode)
{
    m_pendingDigits.fill(-1);
}

int SimCounterTerminal::channelRegister(int k) const
{
    const int extended = kExtendedBase + 8 * m_address;
    switch (m_mode) {
    case Mode8: return kWordInputBase + m_address + 2 * k;
    case Mode9: return extended + 2 * kPairs8W[k];
    case ModeA: return extended + 2 * kPairs4W[k];
    case ModeB:
    case ModeE: return extended + 2 * k;
    case ModeC: return kWordInputBase + m_address + k;
    case ModeD: return extended + k;
    }
    return extended;
}

quint32 SimCounterTerminal::count(const SimGateway &gw, int k) const
{
    const int r = channelRegister(k);
    if (!wide())
        return gw.inputRegister(r);
    return quint32(gw.inputRegister(r + 1) & 0xFF) << 16 | gw.inputRegister(r);
}

void SimCounterTerminal::setCount(SimGateway &gw, int k, quint32 value)
{
    const int r = channelRegister(k);
    if (!wide()) {
        // The 13-bit counter holds 13 bits of what it is given.
        gw.setInputRegister(r, quint16(m_mode == ModeD ? value & 0x1FFF : value));
        return;
    }
    gw.setInputRegister(r, quint16(value & 0xFFFF));
    gw.setInputRegister(r + 1, quint16((gw.inputRegister(r + 1) & 0xFF00) | ((value >> 16) & 0xFF)));
}

void SimCounterTerminal::writeDigitCode(SimGateway &gw, int k)
{
    if (!wide())
        return;
    const int r = channelRegister(k) + 1;
    gw.setInputRegister(r, quint16((m_digits[size_t(k)] & 7) << 9 | (gw.inputRegister(r) & 0xFF)));
}

void SimCounterTerminal::attach(SimGateway &gw)
{
    for (int k = 0; k < 8; ++k)
        writeDigitCode(gw, k);
}

void SimCounterTerminal::tick(SimGateway &gw, qint64)
{
    // The counting live data may rewrite the whole second register of a pair.
    for (int k = 0; k < 8; ++k)
        writeDigitCode(gw, k);
}

void SimCounterTerminal::onWrite(SimGateway &gw, QModbusDataUnit::RegisterType table, int address,
                                 quint16 value)
{
    if (table != QModbusDataUnit::HoldingRegisters)
        return;
    if (address == kOutputBase + m_address)
        commandWord(gw, value);
    else if (address == kOutputBase + m_address + 1)
        dataWord(value);
}

void SimCounterTerminal::commandWord(SimGateway &gw, quint16 value)
{
    const quint8 presetMask = quint8(value >> 8);
    const quint8 resetMask = quint8(value & 0xFF);
    for (int k = 0; k < 8; ++k)
        if (resetMask >> k & 1)
            setCount(gw, k, 0);
    if (presetMask != 0) {
        // A new operation: nothing received for it yet.
        m_mask = presetMask;
        m_pendingValue.fill(0);
        m_pendingBytes.fill(0);
        m_pendingDigits.fill(-1);
        return;
    }
    if (value != 0)
        return;
    // End of the operation: take over what arrived for the chosen channels.
    for (int k = 0; k < 8; ++k) {
        if (!(m_mask >> k & 1))
            continue;
        if (m_pendingBytes[size_t(k)] != 0)
            setCount(gw, k, m_pendingValue[size_t(k)]);
        if (m_pendingDigits[size_t(k)] >= 0) {
            m_digits[size_t(k)] = m_pendingDigits[size_t(k)];
            writeDigitCode(gw, k);
        }
    }
    m_mask = 0;
}

void SimCounterTerminal::dataWord(quint16 value)
{
    if (m_mask == 0)
        return;  // no operation open
    const int code = value >> 8;
    const quint32 data = value & 0xFF;
    if (code >= 1 && code <= 0x20) {
        const int k = (code - 1) / 4;
        const int byte = (code - 1) % 4;
        if (byte == 3 || (byte == 2 && !wide()) || !(m_mask >> k & 1))
            return;
        m_pendingValue[size_t(k)] = (m_pendingValue[size_t(k)] & ~(0xFFu << (8 * byte))) | data << (8 * byte);
        m_pendingBytes[size_t(k)] |= quint8(1u << byte);
    } else if (code >= 0x21 && code <= 0x28 && wide()) {
        const int k = code - 0x21;
        if ((m_mask >> k & 1) && data <= 7)
            m_pendingDigits[size_t(k)] = int(data);
    }
}
