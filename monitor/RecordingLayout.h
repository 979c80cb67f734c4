#pragma once
// What a recording of the bus reads each tick and which channels its rows
// hold.
//
// With an installation open: the registers of every terminal it lists, in
// the extended input area (拡張512W入力データ, input registers 320..831,
// eight per word address), and as channels every value box the survey
// reports for the terminal (the labelled boxes of its own word addresses
// and those the file names), decoded as the monitor decodes that terminal
// on the word page with the extended area in decimal format. With none: the
// whole area, each register a channel of its own (unsigned 16 bits), named
// by its register number as the monitor's read address names it (30321..).
//
// The registers are read in as few reads as the Modbus limit of 125
// registers a read allows; a row holds the registers of the reads one after
// the other.
#include "monitor/SiteFile.h"
#include <QList>
#include <QString>
#include <cstdint>

namespace rec {

inline constexpr uint32_t kAreaFirst = 320;  // protocol address of register 30321
inline constexpr int kAreaRegisters = 512;
inline constexpr int kMaxReadRegisters = 125;

// How a channel's number is made from its registers.
enum class Kind : int {
    Unsigned16 = 0,  // one register
    Unsigned24 = 1,  // two registers, the high byte of the high word left out
};

struct Read {
    uint32_t address;  // protocol address of the first input register
    int count;
    friend bool operator==(const Read &, const Read &) = default;
};

struct Channel {
    int terminal = -1;     // word address of its terminal; -1 without an installation
    int type = -1;         // the terminal's type (cbTerminalType item)
    QString terminalName;  // as the installation names it
    int box = 0;           // value box position in the terminal's window; the register's index without one
    QString label;         // the monitor's label of the box ("CH3"), or the register number
    QString unit;          // the monitor's unit ("℃"), may be empty
    QString tag;           // the installation's tag of the channel, may be empty
    int offset = 0;        // index in a row of the first register it reads
    Kind kind = Kind::Unsigned16;
    friend bool operator==(const Channel &, const Channel &) = default;

    // The channel as the trend and the exported files name it:
    // "W12 Feeder 1 CH3 ℃ TC-101" (word address, terminal name, label and
    // unit, tag; empty parts left out), or "30321" without an installation.
    QString name() const;
};

struct Layout {
    QList<Read> reads;
    int registers = 0;  // registers in a row: the sum of the reads' counts
    QList<Channel> channels;
    friend bool operator==(const Layout &, const Layout &) = default;
};

// The layout for the installation (null: none open).
Layout layoutOf(const site::Site *site);

// The channel's number in a row's registers (swapped: the gateway's word
// order is high word first).
double channelValue(const Channel &channel, const uint16_t *registers, bool swapped);

} // namespace rec
