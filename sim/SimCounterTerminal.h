#pragma once
// A counter terminal's command side: eight counter channels that obey the
// preset, reset and digit commands written to the terminal's two output
// words, and show their counts and digit codes in the input registers of the
// terminal's counter mode.
//
// Commands (holding registers of word address a):
//   1056 + a, command word: high byte = channel mask of a preset or digit
//     setting (opens the operation), low byte = channel mask of a reset
//     (count := 0 at once), 0 = end of the operation (the preset values and
//     digit settings received are taken over).
//   1057 + a, data word: code 4k+1 / 4k+2 / 4k+3 with bits 0..7 / 8..15 /
//     16..23 of channel k's preset value (the third byte only in the 24-bit
//     modes); code 0x21 + k with channel k's digit code (24-bit modes).
// Counts (input registers) by mode, channel k:
//   8 "24bit 16W": pair at 32 + a + 2k          C "16bit 1W": 32 + a + k
//   9 "24bit 8W":  pair at 320 + 8a + 2p, p = 0, 9, 18, 27, 4, 13, 22, 31
//   A "24bit 4W":  pair at 320 + 8a + 2p, p = 0, 9, 2, 11, 4, 13, 6, 15
//   B "24bit 2W", E "CRC 2W": pair at 320 + 8a + 2k
//   D "13bit 1W":  320 + 8a + k
// The 13-bit counter of mode D keeps bits 0..12 of a preset value.
// A pair holds the count's bits 0..15 in its first register and bits 16..23
// in the low byte of the second; bits 1..3 of the second register's high
// byte are the digit code. The counting itself is the live data of the
// terminal (read, add, write on the registers); this behaviour only writes
// what a command sets, and keeps the digit codes in place on every tick.
#include "sim/SimBehaviour.h"
#include <array>

class SimCounterTerminal : public SimBehaviour {
public:
    enum Mode { Mode8, Mode9, ModeA, ModeB, ModeC, ModeD, ModeE };

    SimCounterTerminal(int wordAddress, Mode mode);

    void attach(SimGateway &gw) override;
    void tick(SimGateway &gw, qint64 nowMs) override;
    void onWrite(SimGateway &gw, QModbusDataUnit::RegisterType table, int address,
                 quint16 value) override;

    int wordAddress() const { return m_address; }
    Mode mode() const { return m_mode; }
    bool wide() const { return m_mode != ModeC && m_mode != ModeD; }
    // First input register of channel k (a pair in the 24-bit modes).
    int channelRegister(int k) const;
    // Count of channel k as the registers hold it now.
    quint32 count(const SimGateway &gw, int k) const;
    int digitCode(int k) const { return m_digits[size_t(k)]; }

private:
    void setCount(SimGateway &gw, int k, quint32 value);
    void writeDigitCode(SimGateway &gw, int k);
    void commandWord(SimGateway &gw, quint16 value);
    void dataWord(quint16 value);

    int m_address;
    Mode m_mode;
    // The operation in progress: its channel mask and what arrived for it.
    quint8 m_mask = 0;
    std::array<quint32, 8> m_pendingValue{};
    std::array<quint8, 8> m_pendingBytes{};
    std::array<int, 8> m_pendingDigits{};
    std::array<int, 8> m_digits{};
};
