#include "groundstationtransport.h"


namespace
{
constexpr qint64 DatagramBufferSize = 512;
// Datagrams read per read notification, so that a flood of them never holds
// the window for more than a moment; those left waiting bring the next
// notification on the next turn of the event loop.
constexpr int DatagramsPerTurn = 32;
} // namespace

GroundStationTransport::GroundStationTransport(QObject *parent) : Transport(parent)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &GroundStationTransport::readSome);
    connect(&m_socket, &QUdpSocket::errorOccurred, this, &GroundStationTransport::onError);
}

GroundStationTransport::~GroundStationTransport() = default;

bool GroundStationTransport::open()
{
    if (isOpen())
        return true;
    if (!m_socket.bind(m_address, LocalPort, QAbstractSocket::DefaultForPlatform)) {
        setErrorString(m_socket.errorString());
        m_socket.close();
        return false;
    }
    // A bound socket is not always open for reading and writing.
    if (!m_socket.isOpen())
        m_socket.open(QIODevice::ReadWrite);
    setErrorString(QString());
    m_bound = true;
    return true;
}

void GroundStationTransport::close()
{
    m_bound = false;
    if (m_socket.state() != QAbstractSocket::UnconnectedState || m_socket.isOpen())
        m_socket.close();
}

bool GroundStationTransport::isOpen() const
{
    return m_socket.isOpen() && m_socket.state() == QAbstractSocket::BoundState;
}

bool GroundStationTransport::send(const QByteArray &bytes)
{
    if (!isOpen())
        return false;
    return m_socket.writeDatagram(bytes, m_address, GroundStationPort) == bytes.size();
}

// Reads only in answer to the socket's read notification, never from a
// timer or elsewhere. The socket turns its notifier off at each notification
// and on again only when a datagram is read; a notification that finds
// nothing to read (the datagram taken meanwhile by a read outside it) emits
// no readyRead, so nothing reads, and the socket is never watched again. Read
// here, at least one datagram is waiting at every readyRead, and whatever
// this turn leaves waiting raises the next notification.
void GroundStationTransport::readSome()
{
    for (int i = 0; i < DatagramsPerTurn && isOpen() && m_socket.hasPendingDatagrams(); ++i) {
        char buffer[DatagramBufferSize];
        // A datagram longer than the buffer is cut, an empty one yields nothing.
        const qint64 count = m_socket.readDatagram(buffer, DatagramBufferSize);
        if (count > 0)
            emit received(QByteArray(buffer, int(count)));
    }
}

// Errors while binding belong to open(); an error that leaves the socket
// bound (a datagram refused by the system) is only worth telling the user.
void GroundStationTransport::onError(QAbstractSocket::SocketError error)
{
    if (!m_bound || error == QAbstractSocket::TemporaryError)
        return;
    const QString reason = m_socket.errorString();
    if (isOpen()) {
        emit troubled(reason);
        return;
    }
    close();
    // From the event loop, as the owner may delete the transport in reply.
    QMetaObject::invokeMethod(
        this, [this, reason] { emit failed(reason); }, Qt::QueuedConnection);
}
