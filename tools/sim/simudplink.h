// The ground-station side of the UDP route: datagrams from the program arrive
// on 127.0.0.1 (port 5161 by default); answers go back as datagrams to
// 127.0.0.1 (port 6161 by default).
#ifndef SIMUDPLINK_H
#define SIMUDPLINK_H

#include "simlink.h"

#include <QUdpSocket>

class SimUdpLink : public SimLink
{
    Q_OBJECT
public:
    SimUdpLink(quint16 listenPort, quint16 replyPort, QObject *parent = nullptr);

    bool open(QString *error) override;
    void send(const QByteArray &bytes) override;

private:
    void onReadyRead();

    quint16 m_listenPort;
    quint16 m_replyPort;
    QUdpSocket m_socket;
};

#endif // SIMUDPLINK_H
