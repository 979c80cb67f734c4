#pragma once
// Texts of the module information fields.
#include <QString>
#include <cstdint>

// Four upper-case hexadecimal digits, zero-padded.
QString hex4(uint16_t value);

// The MAC address from data bytes b0..b5 of the answer. "RM2.x" gateways
// keep the bytes in order; "RM1.x" gateways hold each register's two bytes
// exchanged.
QString macAddressText(const uint8_t bytes[6], bool rm2);

// Transmission mode and line length of the field bus for register 253;
// empty for values above 15.
QString transmissionModeText(unsigned value);
