#include "simudplink.h"

#include <QNetworkDatagram>

SimUdpLink::SimUdpLink(quint16 listenPort, quint16 replyPort, QObject *parent)
    : SimLink(parent), m_listenPort(listenPort), m_replyPort(replyPort)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &SimUdpLink::onReadyRead);
}

bool SimUdpLink::open(QString *error)
{
    if (!m_socket.bind(QHostAddress::LocalHost, m_listenPort)) {
        *error =
            QStringLiteral("UDP 127.0.0.1:%1: %2").arg(m_listenPort).arg(m_socket.errorString());
        return false;
    }
    return true;
}

void SimUdpLink::send(const QByteArray &bytes)
{
    m_socket.writeDatagram(bytes, QHostAddress::LocalHost, m_replyPort);
}

void SimUdpLink::onReadyRead()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        if (!datagram.data().isEmpty())
            emit received(datagram.data());
    }
}
