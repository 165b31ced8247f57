// The far ends of the program's links, for tests of the transports, the
// session and the window alike: the other pty of a socat pair, a UDP socket
// standing in for the ground-station software, frames built by hand and the
// records a parser decodes from what arrives.
#ifndef LINKPEERS_H
#define LINKPEERS_H

#include "comprotocol.h"
#include "linkframe.h"

#include <QByteArrayList>
#include <QHostAddress>
#include <QSerialPort>
#include <QTest>
#include <QUdpSocket>

namespace LinkPeers
{

constexpr int WaitMs = 5000;
constexpr quint16 GroundStationPort = 5161;
constexpr quint16 ProgramPort = 6161;

inline QHostAddress localHost()
{
    return QHostAddress(QStringLiteral("127.0.0.1"));
}

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

// A frame with one sub-record, checksum appended low byte first.
inline QByteArray frame(quint8 id, const QByteArray &payload)
{
    QByteArray f;
    f.append(char(0xAB));
    f.append(char(0x0E));
    f.append(char(payload.size() + 4));
    f.append(char(id));
    f.append(char(payload.size()));
    f.append(payload);
    const quint16 crc = crc16Modbus(f.constData(), f.size());
    f.append(char(crc & 0xFF));
    f.append(char(crc >> 8));
    return f;
}

// A decoded record as id, declared length and payload, back to back.
inline QByteArray record(quint8 id, const QByteArray &payload)
{
    return QByteArray(1, char(id)) + QByteArray(1, char(payload.size())) + payload;
}

inline QByteArray filler(int size, char byte = '\0')
{
    return QByteArray(size, byte);
}

// Copies every record the parser emits; the pointer it hands out is only
// valid during the call.
class RecordLog : public QObject
{
public:
    explicit RecordLog(COMPROTOCOL *parser)
    {
        connect(parser, &COMPROTOCOL::COMRxCmd, this, [this](tNKLinkData *d) {
            records.append(QByteArray(1, char(d->id)) + QByteArray(1, char(d->len)) + d->data);
        });
    }
    QByteArrayList records;
};

// The device end of a pty pair: collects everything the program writes.
class SerialPeer : public QObject
{
public:
    bool open(const QString &device)
    {
        port.setPortName(device);
        port.setBaudRate(115200);
        if (!port.open(QIODevice::ReadWrite))
            return false;
        connect(&port, &QSerialPort::readyRead, this, [this] { received += port.readAll(); });
        return true;
    }
    void send(const QByteArray &bytes)
    {
        port.write(bytes);
        port.waitForBytesWritten(WaitMs);
    }
    QSerialPort port;
    QByteArray received;
};

// The ground-station end: a socket on 127.0.0.1:5161.
class GroundStationPeer
{
public:
    bool bind() { return socket.bind(localHost(), GroundStationPort); }
    // The next datagram, or a null array when none came in time.
    QByteArray nextDatagram(int timeoutMs = WaitMs)
    {
        if (!QTest::qWaitFor([this] { return socket.hasPendingDatagrams(); }, timeoutMs))
            return QByteArray();
        QByteArray d(int(socket.pendingDatagramSize()), Qt::Uninitialized);
        socket.readDatagram(d.data(), d.size());
        return d;
    }
    void sendToProgram(const QByteArray &datagram)
    {
        socket.writeDatagram(datagram, localHost(), ProgramPort);
    }
    QUdpSocket socket;
};

} // namespace LinkPeers

#endif // LINKPEERS_H
