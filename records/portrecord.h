// One port's 11-byte parameter record as a value: the bytes as the module
// stores them, their named fields, encoding from readable settings, and the
// rules by which a port card refuses a record. Also the record's constants
// (kinds, rate lists, protocol codes). QtCore only, shared by the card, the
// session, the configuration files and the device simulator.
#ifndef PORTRECORD_H
#define PORTRECORD_H

#include "linkframe.h"
#include "moduleprofile.h"

#include <QByteArray>
#include <QMetaType>
#include <QVector>

struct PortSettings;

class PortRecord
{
public:
    static constexpr int Size = PORT_RECORD_SIZE; // the frames carry records of this size

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
    // List positions of the card's parity and level lists.
    enum class Parity : quint8 { None = 0, Even = 1, Odd = 2 };
    enum class Level : quint8 { Rs232 = 0, Rs422 = 1 };

    // Why a card refuses a record; None when it applies it.
    enum class Refusal {
        None,
        WrongLength,
        UnknownKind,
        UartNotOffered,
        UartRateNotListed,
        CanNotOffered,
        CanRateNotListed,
    };

    // UART baud rates in the order of the card's list.
    static const QVector<quint32> &uartBaudRates();
    // CAN bit rates in the order of the card's list (666.666, 1000, 500 kbit/s).
    static const QVector<quint32> &canBitRates();

    // Position of a CAN bit rate in the list, -1 for any other rate.
    static int canRatePosition(quint32 rate);
    // CAN bit rate at a list position, 0 for a position outside the list.
    static quint32 canRateAt(int position);

    // Largest list position that has a protocol code (code 127).
    static constexpr int MaxProtocolPosition = 114;
    // Code for a protocol list position: 0, 1, 2 for the first three entries,
    // then 16 upwards. -1 for a position that has no one-byte code.
    static int protocolCode(int position);
    // List position named by a code read as a signed byte: codes above 2 count
    // from 16; the result may name no position (negative).
    static int protocolPosition(qint8 code);

    static quint32 readRate(const QByteArray &record);
    static void appendRate(QByteArray &record, quint32 rate);

    // An empty record: not valid, equal only to another empty one.
    PortRecord() = default;
    // Any bytes are kept as given; only 11 of them make a valid record.
    explicit PortRecord(const QByteArray &bytes);
    // The record of readable settings; invalid when data or stop bits name
    // no list item. A CAN record carries zeros at offsets 5 to 8.
    static PortRecord encode(const PortSettings &settings);

    QByteArray bytes() const { return data; }
    bool isValid() const { return data.size() == Size; }

    // Raw fields, 0 for an invalid record. Parity, data bits, stop bits and
    // level are list positions (data bits 0 means 8, stop bits 0 means 1).
    quint8 kind() const { return byteAt(KindOffset); }
    quint32 rate() const { return isValid() ? readRate(data) : 0; }
    quint8 parity() const { return byteAt(ParityOffset); }
    quint8 dataBits() const { return byteAt(DataBitsOffset); }
    quint8 stopBits() const { return byteAt(StopBitsOffset); }
    quint8 level() const { return byteAt(LevelOffset); }
    quint8 receiveCode() const { return byteAt(RxProtocolOffset); }
    quint8 sendCode() const { return byteAt(TxProtocolOffset); }

    // Whether a port refuses this record: the one rule of the card, the
    // session's read check and the configuration files. A UART record needs
    // a port that offers UART, a CAN record one that offers CAN, each at a
    // rate of its list; the other bytes are never refused (a position that
    // names no list item leaves that list without a current item).
    Refusal refusal(const PortTraits &port) const;

    bool operator==(const PortRecord &other) const { return data == other.data; }
    bool operator!=(const PortRecord &other) const { return data != other.data; }

private:
    quint8 byteAt(int offset) const { return isValid() ? quint8(data.at(offset)) : 0; }

    QByteArray data;
};

// A record's fields as people name them.
struct PortSettings {
    PortRecord::Kind kind = PortRecord::Uart;
    quint32 baud = 57600; // UART baud rate or CAN bit rate, in bit/s
    PortRecord::Parity parity = PortRecord::Parity::None;
    int dataBits = 8; // 8 or 9
    int stopBits = 1; // 1 or 2
    PortRecord::Level level = PortRecord::Level::Rs232;
    quint8 receiveCode = 0;
    quint8 sendCode = 0;
};

// Records travel in signals and test tables.
Q_DECLARE_METATYPE(PortRecord)

#endif // PORTRECORD_H
