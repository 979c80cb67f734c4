#pragma once
// The installation file (*.rmsite): which terminal sits at which word
// address, its type and name, and per channel a tag and the range it is
// expected to stay in. JSON in UTF-8, so that other tools can write it:
//
//   {"format": "rmtool-site/1",
//    "name": "Panel 3, line B",
//    "gateway": {"host": "127.0.0.1", "port": 502},          (optional)
//    "terminals": [
//      {"address": 0, "type": 0, "name": "Furnace",
//       "channels": [{"channel": 1, "tag": "TC-101", "min": 30, "max": 40}]},
//      {"address": 12, "type": 3, "name": "Feeder 1"}]}
//
// address: word address 0..63; type: the monitor's terminal type (item of
// cbTerminalType, 0..12); channel: the value box position 0..31 as the
// monitor lays that terminal out; min and max (each optional): the range in
// the numbers the monitor shows in decimal format. "channels" may be left
// out, and so may "name" (empty) and "tag" (empty).
//
// A file is taken whole or not at all: a file that does not parse, a
// missing or other "format", a value of the wrong JSON type, an address,
// type or channel out of range, a channel listed twice in one terminal,
// min above max, or two terminals at one word address are refused with a
// message naming the file and the line (parse errors) or the terminal (its
// position in the list, from 1, and its address). Keys this program does not
// know are kept, at every level, and written back when the file is saved.
#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace site {

inline constexpr char kFormat[] = "rmtool-site/1";
inline constexpr int kAddressCount = 64;  // word addresses 0..63
inline constexpr int kChannelCount = 32;  // value boxes 0..31

struct Channel {
    int channel = 0;  // value box position
    QString tag;
    std::optional<double> min;
    std::optional<double> max;
    QJsonObject extra;  // keys not known here, kept
    friend bool operator==(const Channel &, const Channel &) = default;
};

struct Gateway {
    QString host;
    int port = 502;
    QJsonObject extra;
    friend bool operator==(const Gateway &, const Gateway &) = default;
};

struct Terminal {
    int address = 0;
    int type = 0;  // item of the monitor's cbTerminalType
    QString name;
    QList<Channel> channels;  // empty: no "channels" key
    QJsonObject extra;
    friend bool operator==(const Terminal &, const Terminal &) = default;

    // The channel entry of value box position p, or null.
    const Channel *channelAt(int p) const;
};

struct Site {
    QString name;
    std::optional<Gateway> gateway;  // absent: the settings' host and port
    QList<Terminal> terminals;       // in the file's order
    QJsonObject extra;
    friend bool operator==(const Site &, const Site &) = default;

    // The terminal at word address a, or null.
    const Terminal *terminalAt(int address) const;
};

// The site in bytes; fileName names it in the messages. On a refusal
// returns nothing and *error (when given) says why.
std::optional<Site> fromBytes(const QByteArray &bytes, const QString &fileName, QString *error);
// The file's bytes (indented JSON, UTF-8); the keys of each object are in
// name order.
QByteArray toBytes(const Site &site);

// The refusals that do not depend on the JSON (ranges, doubles, min above
// max): empty when the site may be written and read back.
QString problem(const Site &site, const QString &fileName);

std::optional<Site> read(const QString &path, QString *error);
// Refuses a site with a problem; writes whole or not at all (an existing
// file stays as it was when anything fails).
bool write(const QString &path, const Site &site, QString *error);

// The tags of the terminal at address whose type is type, by value box
// position; all empty when the site lists no such terminal.
std::array<QString, kChannelCount> tagsOf(const Site &site, int address, int type);

} // namespace site
