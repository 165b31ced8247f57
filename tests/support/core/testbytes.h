// Bytes the tests spell out by hand, written the same way everywhere: hex
// text, single bytes, messages and link frames. The checksum is computed bit
// by bit here, apart from the program's table-driven one, so that a frame
// built by a test never depends on the code it tests.
#ifndef TESTBYTES_H
#define TESTBYTES_H

#include <QByteArray>
#include <QtGlobal>

namespace TestBytes
{

// "AB 0E 05" or "AB0E05": spaces are skipped.
inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

inline QByteArray byte(int value)
{
    return QByteArray(1, static_cast<char>(value));
}

// Bit-by-bit CRC-16/MODBUS.
inline quint16 referenceCrc(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? static_cast<quint16>((crc >> 1) ^ 0xA001u)
                             : static_cast<quint16>(crc >> 1);
    }
    return crc;
}

// The bytes with their checksum appended, low byte first.
inline QByteArray withCrc(const QByteArray &bytes)
{
    const quint16 crc = referenceCrc(bytes);
    return bytes + byte(crc & 0xFF) + byte(crc >> 8);
}

// A frame around a body of any number of messages (or none whole).
inline QByteArray frameOf(const QByteArray &body)
{
    return withCrc(hex("AB0E") + byte(body.size() + 2) + body);
}

// One message: identifier, length, payload.
inline QByteArray message(quint8 id, const QByteArray &payload)
{
    return byte(id) + byte(payload.size()) + payload;
}

// A frame around one message.
inline QByteArray frame(quint8 id, const QByteArray &payload)
{
    return frameOf(message(id, payload));
}

} // namespace TestBytes

#endif // TESTBYTES_H
