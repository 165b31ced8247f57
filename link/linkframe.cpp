#include "linkframe.h"

#include <array>

namespace {

// Eight tables: table[0] is the classic byte-at-a-time table; table[k] advances
// a byte's contribution by k further zero bytes, so eight bytes cost one step.
using CrcTables = std::array<std::array<quint16, 256>, 8>;

constexpr CrcTables makeCrcTables()
{
    CrcTables tables{};
    for (int i = 0; i < 256; ++i) {
        quint16 crc = static_cast<quint16>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? static_cast<quint16>((crc >> 1) ^ 0xA001u)
                             : static_cast<quint16>(crc >> 1);
        tables[0][static_cast<size_t>(i)] = crc;
    }
    for (size_t k = 1; k < tables.size(); ++k) {
        for (size_t i = 0; i < 256; ++i) {
            const quint16 prev = tables[k - 1][i];
            tables[k][i] = static_cast<quint16>((prev >> 8) ^ tables[0][prev & 0xFFu]);
        }
    }
    return tables;
}

constexpr CrcTables kCrc = makeCrcTables();

} // namespace

quint16 crc16Modbus(const void *data, int length)
{
    return crc16ModbusUpdate(0xFFFF, data, length);
}

quint16 crc16ModbusUpdate(quint16 crc, const void *data, int length)
{
    const auto *bytes = static_cast<const quint8 *>(data);
    for (; length >= 8; length -= 8, bytes += 8) {
        const unsigned low = (crc ^ bytes[0]) & 0xFFu;
        const unsigned high = ((crc >> 8) ^ bytes[1]) & 0xFFu;
        crc = static_cast<quint16>(kCrc[7][low] ^ kCrc[6][high] ^ kCrc[5][bytes[2]] ^
                                   kCrc[4][bytes[3]] ^ kCrc[3][bytes[4]] ^ kCrc[2][bytes[5]] ^
                                   kCrc[1][bytes[6]] ^ kCrc[0][bytes[7]]);
    }
    // The register is 16 bits wide, so any block of two or more bytes takes
    // one step; the rest of at most 7 bytes goes in 4, 2 and 1.
    if (length & 4) {
        const unsigned low = (crc ^ bytes[0]) & 0xFFu;
        const unsigned high = ((crc >> 8) ^ bytes[1]) & 0xFFu;
        crc = static_cast<quint16>(kCrc[3][low] ^ kCrc[2][high] ^ kCrc[1][bytes[2]] ^
                                   kCrc[0][bytes[3]]);
        bytes += 4;
    }
    if (length & 2) {
        const unsigned low = (crc ^ bytes[0]) & 0xFFu;
        const unsigned high = ((crc >> 8) ^ bytes[1]) & 0xFFu;
        crc = static_cast<quint16>(kCrc[1][low] ^ kCrc[0][high]);
        bytes += 2;
    }
    if (length & 1)
        crc = static_cast<quint16>((crc >> 8) ^ kCrc[0][(crc ^ bytes[0]) & 0xFFu]);
    return crc;
}

QByteArray packLinkFrame(quint8 id, const QByteArray &payload, quint8 n, quint8 head1, quint8 head2)
{
    QByteArray frame;
    frame.reserve(n + 7);
    frame.append(static_cast<char>(head1));
    frame.append(static_cast<char>(head2));
    frame.append(static_cast<char>(static_cast<quint8>(n + 4)));
    frame.append(static_cast<char>(id));
    frame.append(static_cast<char>(n));
    if (n != 0) {
        frame.append(payload.left(n));
        if (payload.size() < n)
            frame.append(n - payload.size(), '\0');
    }
    const quint16 crc = crc16Modbus(frame.constData(), frame.size());
    frame.append(static_cast<char>(crc & 0xFF));
    frame.append(static_cast<char>(crc >> 8));
    return frame;
}
