#pragma once
// Modbus/TCP request frames as the tool puts them on the wire.
//
// Byte 0 of every frame (the high byte of the transaction identifier) is the
// request tag: the caller's tag for reads, the fixed write tag for writes.
// The gateway echoes the identifier, so every answer names its requester.
#include <QByteArray>
#include <cstdint>

namespace modbus {

constexpr uint8_t kWriteTag = 254;       // tag of every write request
// The survey's reads of a terminal's values and header words: tags of
// their own, so that the monitor and the trend do not take their answers or
// timeouts for the monitor's polls.
constexpr uint8_t kSurveyTag = 30;
constexpr uint8_t kSurveyHeaderTag = 31;
// The bus recorder's reads of the input area, beside the monitor's own.
constexpr uint8_t kRecordTag = 40;
constexpr uint8_t kUnitId = 1;

enum Function : uint8_t {
    ReadHoldingRegisters = 3,
    ReadInputRegisters = 4,
    WriteSingleCoil = 5,
    WriteSingleRegister = 6,
    WriteMultipleRegisters = 16,
};

// Addresses, counts and 16-bit values are sent as their low 16 bits.
QByteArray readInputRegistersFrame(uint8_t tag, uint32_t address, uint32_t count);
QByteArray readHoldingRegistersFrame(uint8_t tag, uint32_t address, uint32_t count);
QByteArray writeSingleRegisterFrame(uint32_t address, uint32_t value);
// Function 16 with two registers: the register at address gets the low
// half of value, the one at address + 1 the high half.
QByteArray writeTwoRegistersFrame(uint32_t address, uint32_t value);
// state 0xFF switches the coil on (0xFF00), 0x00 off.
QByteArray writeSingleCoilFrame(uint32_t address, uint8_t state);

} // namespace modbus
