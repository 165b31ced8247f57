// Known frames of the link, shared by the frame, assembler and parser tests:
// each is one message as the program builds it and as the parser must decode it.
#ifndef LINKEXAMPLES_H
#define LINKEXAMPLES_H

#include "testbytes.h"

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

struct LinkExample {
    const char *name;
    quint8 id;
    QByteArray payload; // the n bytes of the single sub-record
    QByteArray frame;   // the complete frame on the wire
};

using TestBytes::frameOf;
using TestBytes::hex;
using TestBytes::referenceCrc;

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
        {"version query, direct", 0xE2, hex("00"), hex("AB0E05E20100D16B")},
        {"read-all request, direct", 0xF1, hex("00"), hex("AB0E05F1010020AE")},
        {"read port 0, pass-through, Tovrin", 0x5B, hex("F08020F20100"),
         hex("AB0E0A5B06F08020F20100A295")},
        {"version query, pass-through, R7", 0x5B, hex("F0802DE20100"),
         hex("AB0E0A5B06F0802DE20100A1FC")},
        {"write port, pass-through, R7", 0x5B, hex("F1802DF30C") + countingBytes(0, 12),
         hex("AB0E155B11F1802DF30C000102030405060708090A0B7685")},
        {"empty payload", 0xF1, QByteArray(), hex("AB0E04F1000761")},
    };
    return examples;
}

#endif // LINKEXAMPLES_H
