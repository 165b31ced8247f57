// The far ends of the program's links, for tests of the transports, the
// session and the window alike: the other pty of a socat pair, a UDP socket
// standing in for the ground-station software, frames built by hand and the
// records a parser decodes from what arrives.
#ifndef LINKPEERS_H
#define LINKPEERS_H

#include "comprotocol.h"
#include "linkframe.h"
#include "testbytes.h"
#include "testpaths.h"

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

using TestBytes::frame;
using TestBytes::hex;

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

// What a transport hands on, chunk by chunk in the order it came; with
// Decode also fed to a parser whose records are kept.
class HandedOn : public QObject
{
public:
    enum Parse { BytesOnly, Decode };
    template <class Link, class Signal>
    HandedOn(Link *link, Signal received, Parse parse = BytesOnly) : log(&parser)
    {
        connect(link, received, this, [this, parse](const QByteArray &bytes) {
            chunks.append(bytes);
            if (parse == Decode)
                parser.receive(bytes);
        });
    }
    QByteArray bytes() const { return chunks.join(); }
    int size() const
    {
        int total = 0;
        for (const QByteArray &c : chunks)
            total += c.size();
        return total;
    }
    QByteArrayList records() const { return log.records; }

    QByteArrayList chunks;

private:
    COMPROTOCOL parser;
    RecordLog log;
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
    // What the program wrote, taken off once at least expectedSize bytes have
    // come (with a warning when they did not come in time).
    QByteArray take(int expectedSize)
    {
        if (!QTest::qWaitFor([&] { return received.size() >= expectedSize; }, WaitMs))
            qWarning("only %d of %d bytes came", int(received.size()), expectedSize);
        QByteArray bytes = received;
        received.clear();
        return bytes;
    }
    QSerialPort port;
    QByteArray received;
};

// A pty pair whose device end a SerialPeer holds; the program opens device().
struct PeerLine {
    PtyPair pty;
    SerialPeer peer;

    bool start() { return pty.start() && peer.open(pty.second()); }
    QString device() const { return pty.first(); }
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
