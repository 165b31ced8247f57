// The ground-station route: datagrams to the ground-station software on
// 127.0.0.1:5161, answers received on 127.0.0.1:6161. A socket error is
// reported through troubled(), or through failed() when it left the socket
// unusable.
#ifndef GROUNDSTATIONTRANSPORT_H
#define GROUNDSTATIONTRANSPORT_H

#include "transport.h"

#include <QHostAddress>
#include <QUdpSocket>

class GroundStationTransport : public Transport
{
    Q_OBJECT
public:
    static constexpr quint16 LocalPort = 6161;
    static constexpr quint16 GroundStationPort = 5161;

    explicit GroundStationTransport(QObject *parent = nullptr);
    ~GroundStationTransport() override;

    // Binds 127.0.0.1:6161; false when the port is taken.
    bool open() override;
    void close() override;
    bool isOpen() const override;
    bool send(const QByteArray &bytes) override;

private:
    void readSome();
    void onError(QAbstractSocket::SocketError error);

    QHostAddress m_address{QHostAddress::LocalHost};
    QUdpSocket m_socket;
    bool m_bound = false; // open() succeeded and close() was not called since
};

#endif // GROUNDSTATIONTRANSPORT_H
