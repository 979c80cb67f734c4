#pragma once
// Texts of the module information fields.
#include <QString>
#include <cstdint>
#include <optional>

// Four upper-case hexadecimal digits, zero-padded.
QString hex4(uint16_t value);

// The MAC address from data bytes b0..b5 of the answer. "RM2.x" gateways
// keep the bytes in order; "RM1.x" gateways hold each register's two bytes
// exchanged.
QString macAddressText(const uint8_t bytes[6], bool rm2);

// Transmission mode and line length of the field bus for register 253;
// empty for values above 15.
QString transmissionModeText(unsigned value);

struct ReceiveBuffer;

// The three reads of the module information, each sent once the one
// before has its answer: MAC, versions and switches (tag 1); login mode
// (tag 2); rotary switch and transmission mode (tag 3). Input registers.
struct ModuleInfoRead {
    uint8_t tag;
    uint32_t address;
    uint32_t count;
};
inline constexpr ModuleInfoRead kModuleInfoReads[] = {{1, 296, 16}, {2, 182, 1}, {3, 253, 1}};

// The fields of the module information as the three answers fill them. A
// field an answer does not carry stays empty (nullopt): the dialog then
// keeps the text it shows.
struct ModuleInfoFields {
    std::optional<QString> macAddress;     // StaticText21
    std::optional<QString> pcBoardHw;      // StaticText11
    std::optional<QString> pcBoardFw;      // StaticText12
    std::optional<QString> loginMode;      // StaticText13
    std::optional<QString> busBoardHw;     // StaticText14
    std::optional<QString> busBoardFw;     // StaticText15
    std::optional<QString> fpga;           // StaticText16
    std::optional<QString> rotarySwitch;   // StaticText17
    std::optional<QString> dipSwitch;      // StaticText18
    std::optional<QString> extension;      // StaticText19
    std::optional<QString> transmission;   // StaticText20
};

// The fields `from` carries, put into `into`.
void mergeFields(ModuleInfoFields &into, const ModuleInfoFields &from);
// The answer to the read of `tag` (1, 2 or 3), decoded.
ModuleInfoFields decodeModuleInfo(uint8_t tag, const ReceiveBuffer &rb, bool rm2);

// Tag 1: registers 296.. (MAC address, board versions, switches), for the
// gateway type chosen.
ModuleInfoFields decodeModuleWords(const ReceiveBuffer &rb, bool rm2);
// Tag 2: the login mode (the high byte of register 182).
ModuleInfoFields decodeLoginMode(const ReceiveBuffer &rb);
// Tag 3: the rotary switch and the transmission mode of register 253.
ModuleInfoFields decodeRotarySwitch(const ReceiveBuffer &rb);
