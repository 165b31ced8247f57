// Values of the 11-byte port parameter record: the port kinds, the CAN bit
// rates in list order, and the mapping between list positions and protocol
// codes. QtCore only, shared by the port card and the device simulator.
#ifndef PORTRECORD_H
#define PORTRECORD_H

#include <QByteArray>
#include <QVector>

namespace PortRecord
{
constexpr int Size = 11;

enum Offset : int {
    KindOffset = 0,
    RateOffset = 1,
    ParityOffset = 5,
    DataBitsOffset = 6,
    StopBitsOffset = 7,
    LevelOffset = 8,
    RxProtocolOffset = 9,
    TxProtocolOffset = 10,
};

enum Kind : quint8 { Uart = 0, Can = 1 };

// UART baud rates in the order of the card's list.
const QVector<quint32> &uartBaudRates();
// CAN bit rates in the order of the card's list (666.666, 1000, 500 kbit/s).
const QVector<quint32> &canBitRates();

// Position of a CAN bit rate in the list, -1 for any other rate.
int canRatePosition(quint32 rate);
// CAN bit rate at a list position, 0 for a position outside the list.
quint32 canRateAt(int position);

// Largest list position that has a protocol code (code 127).
constexpr int MaxProtocolPosition = 114;
// Code for a protocol list position: 0, 1, 2 for the first three entries,
// then 16 upwards. -1 for a position that has no one-byte code.
int protocolCode(int position);
// List position named by a code read as a signed byte: codes above 2 count
// from 16; the result may name no position (negative).
int protocolPosition(qint8 code);

quint32 readRate(const QByteArray &record);
void appendRate(QByteArray &record, quint32 rate);
} // namespace PortRecord

#endif // PORTRECORD_H
