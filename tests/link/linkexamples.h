// Known frames of the link, shared by the frame, assembler and parser tests:
// each is one message as the program builds it and as the parser must decode it.
#ifndef LINKEXAMPLES_H
#define LINKEXAMPLES_H

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

struct LinkExample {
    const char *name;
    quint8 id;
    QByteArray payload; // the n bytes of the single sub-record
    QByteArray frame;   // the complete frame on the wire
};

inline QByteArray hexBytes(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex));
}

inline QByteArray countingBytes(int first, int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(static_cast<char>(first + i));
    return bytes;
}

inline const QVector<LinkExample> &linkExamples()
{
    static const QVector<LinkExample> examples = {
        {"version query, direct", 0xE2, hexBytes("00"), hexBytes("AB0E05E20100D16B")},
        {"read-all request, direct", 0xF1, hexBytes("00"), hexBytes("AB0E05F1010020AE")},
        {"read port 0, pass-through, Tovrin", 0x5B, hexBytes("F08020F20100"),
         hexBytes("AB0E0A5B06F08020F20100A295")},
        {"version query, pass-through, R7", 0x5B, hexBytes("F0802DE20100"),
         hexBytes("AB0E0A5B06F0802DE20100A1FC")},
        {"write port, pass-through, R7", 0x5B, hexBytes("F1802DF30C") + countingBytes(0, 12),
         hexBytes("AB0E155B11F1802DF30C000102030405060708090A0B7685")},
        {"empty payload", 0xF1, QByteArray(), hexBytes("AB0E04F1000761")},
    };
    return examples;
}

// Bit-by-bit CRC-16/MODBUS, kept apart from the table-driven one under test.
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

// A frame around an arbitrary body (any number of sub-records, or none whole),
// with a correct checksum.
inline QByteArray frameAround(const QByteArray &body)
{
    QByteArray frame = hexBytes("AB0E");
    frame.append(static_cast<char>(body.size() + 2));
    frame.append(body);
    const quint16 crc = referenceCrc(frame);
    frame.append(static_cast<char>(crc & 0xFF));
    frame.append(static_cast<char>(crc >> 8));
    return frame;
}

#endif // LINKEXAMPLES_H
