// Ground-station transport of the main window: UDP on the local host. The
// ground-station software listens on port 5161 and answers to our port 6161.
#include "mainwidget.h"

#include "comprotocol.h"

#include <QUdpSocket>

namespace
{
constexpr quint16 LocalPort = 6161;
constexpr qint64 DatagramBufferSize = 512;
} // namespace

void MainWidget::openGroundStation()
{
    if (!udpSocket) {
        udpSocket = new QUdpSocket;
        connect(udpSocket, &QUdpSocket::readyRead, this, &MainWidget::onUdpSocketReadyRead);
        connect(udpSocket, &QUdpSocket::stateChanged, this, &MainWidget::onUdpSocketStateChanged);
    }
    // "Open" means bound: the send path refuses a socket that is not open, so
    // a failed bind must leave it closed.
    if (udpSocket->bind(groundStationAddress, LocalPort, QAbstractSocket::DefaultForPlatform)) {
        if (!udpSocket->isOpen())
            udpSocket->open(QIODevice::ReadWrite);
    } else if (udpSocket->isOpen()) {
        udpSocket->close();
    }
}

void MainWidget::closeGroundStation()
{
    if (udpSocket && udpSocket->isOpen())
        udpSocket->close();
}

void MainWidget::onUdpSocketReadyRead()
{
    while (udpSocket && udpSocket->hasPendingDatagrams()) {
        if (udpSocket->pendingDatagramSize() <= 0) {
            udpSocket->readDatagram(nullptr, 0);
            return;
        }
        char buffer[DatagramBufferSize];
        const qint64 count = udpSocket->readDatagram(buffer, DatagramBufferSize);
        if (count > 0)
            parser->receive(QByteArray(buffer, static_cast<int>(count)));
    }
}

void MainWidget::onUdpSocketStateChanged(QAbstractSocket::SocketState state)
{
    Q_UNUSED(state)
}
