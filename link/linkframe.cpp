#include "linkframe.h"

#include <array>

namespace {

constexpr std::array<quint16, 256> makeCrcTable()
{
    std::array<quint16, 256> table{};
    for (int i = 0; i < 256; ++i) {
        quint16 crc = static_cast<quint16>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? static_cast<quint16>((crc >> 1) ^ 0xA001u)
                             : static_cast<quint16>(crc >> 1);
        table[static_cast<size_t>(i)] = crc;
    }
    return table;
}

constexpr std::array<quint16, 256> kCrcTable = makeCrcTable();

} // namespace

quint16 crc16Modbus(const void *data, int length)
{
    return crc16ModbusUpdate(0xFFFF, data, length);
}

quint16 crc16ModbusUpdate(quint16 crc, const void *data, int length)
{
    const auto *bytes = static_cast<const quint8 *>(data);
    for (int i = 0; i < length; ++i)
        crc = static_cast<quint16>((crc >> 8) ^ kCrcTable[(crc ^ bytes[i]) & 0xFFu]);
    return crc;
}
