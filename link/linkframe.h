// Link frame format shared by the program, the tests and the device simulator:
// message identifiers, device codes, the decoded sub-record and CRC-16/MODBUS.
#ifndef LINKFRAME_H
#define LINKFRAME_H

#include <QByteArray>
#include <QMetaType>
#include <QtGlobal>

constexpr quint8 MSG_FC_FORWARD = 0x5B;
constexpr quint8 MSG_FC_RETURN = 0x5F;
constexpr quint8 MSG_VERSION = 0xE2;
constexpr quint8 MSG_WRITE_ALL = 0xF0;
constexpr quint8 MSG_READ_ALL = 0xF1;
constexpr quint8 MSG_READ_PORT = 0xF2;
constexpr quint8 MSG_WRITE_PORT = 0xF3;

constexpr quint8 DEVICE_TOVRIN = 0x20;
constexpr quint8 DEVICE_R7 = 0x2D;

// Pass-through header: kind, direction, device code, inner id, inner length.
constexpr quint8 PASSTHROUGH_KIND_SHORT = 0xF0; // inner payload of 0..7 bytes
constexpr quint8 PASSTHROUGH_KIND_LONG = 0xF1;  // inner payload of 8 bytes or more
constexpr quint8 PASSTHROUGH_TO_DEVICE = 0x80;
constexpr quint8 PASSTHROUGH_FROM_DEVICE = 0x00;
constexpr int PASSTHROUGH_HEADER_SIZE = 5;

constexpr int PORT_RECORD_SIZE = 11;

// One decoded sub-record of a link frame.
struct tNKLinkData {
    quint8 id = 0;
    quint8 len = 0;
    QByteArray data;
};
Q_DECLARE_METATYPE(tNKLinkData *)

constexpr quint8 FRAME_HEAD1 = 0xAB;
constexpr quint8 FRAME_HEAD2 = 0x0E;

// One frame with a single sub-record: head1 head2 n+4 id n payload crcLo crcHi.
// A payload shorter than n is padded with zeros, so LEN always tells the truth.
QByteArray packLinkFrame(quint8 id, const QByteArray &payload, quint8 n,
                         quint8 head1 = FRAME_HEAD1, quint8 head2 = FRAME_HEAD2);

// CRC-16/MODBUS (reflected polynomial 0xA001, initial 0xFFFF, no final XOR).
quint16 crc16Modbus(const void *data, int length);
// Continues a CRC-16/MODBUS register over further bytes.
quint16 crc16ModbusUpdate(quint16 crc, const void *data, int length);

#endif // LINKFRAME_H
