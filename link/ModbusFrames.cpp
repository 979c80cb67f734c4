#include "link/ModbusFrames.h"

namespace modbus {
namespace {

QByteArray header(uint8_t tag, uint8_t length, uint8_t function, int frameSize)
{
    QByteArray f(frameSize, '\0');
    f[0] = char(tag);
    f[5] = char(length);
    f[6] = char(kUnitId);
    f[7] = char(function);
    return f;
}

void put16(QByteArray &f, int at, uint32_t v)
{
    f[at] = char((v >> 8) & 0xFF);
    f[at + 1] = char(v & 0xFF);
}

QByteArray readFrame(uint8_t tag, uint8_t function, uint32_t address, uint32_t count)
{
    QByteArray f = header(tag, 6, function, 12);
    put16(f, 8, address);
    put16(f, 10, count);
    return f;
}

} // namespace

QByteArray readInputRegistersFrame(uint8_t tag, uint32_t address, uint32_t count)
{
    return readFrame(tag, ReadInputRegisters, address, count);
}

QByteArray readHoldingRegistersFrame(uint8_t tag, uint32_t address, uint32_t count)
{
    return readFrame(tag, ReadHoldingRegisters, address, count);
}

QByteArray writeSingleRegisterFrame(uint32_t address, uint32_t value)
{
    QByteArray f = header(kWriteTag, 6, WriteSingleRegister, 12);
    put16(f, 8, address);
    put16(f, 10, value);
    return f;
}

QByteArray writeTwoRegistersFrame(uint32_t address, uint32_t value)
{
    QByteArray f = header(kWriteTag, 11, WriteMultipleRegisters, 17);
    put16(f, 8, address);
    put16(f, 10, 2);
    f[12] = 4;
    put16(f, 13, value & 0xFFFF);
    put16(f, 15, value >> 16);
    return f;
}

QByteArray writeSingleCoilFrame(uint32_t address, uint8_t state)
{
    QByteArray f = header(kWriteTag, 6, WriteSingleCoil, 12);
    put16(f, 8, address);
    f[10] = char(state);
    f[11] = 0;
    return f;
}

} // namespace modbus
