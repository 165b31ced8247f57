// The serial link, 115200 baud 8N1, to the module or to the flight controller.
// A device that is unplugged or fails to read or write closes the link and
// is reported once through failed().
#ifndef SERIALTRANSPORT_H
#define SERIALTRANSPORT_H

#include "transport.h"

#include <QSerialPort>

class SerialTransport : public Transport
{
    Q_OBJECT
public:
    explicit SerialTransport(const QString &portName, QObject *parent = nullptr);
    ~SerialTransport() override;

    bool open() override;
    void close() override;
    bool isOpen() const override;
    bool send(const QByteArray &bytes) override;

    QString portName() const { return m_port.portName(); }

private:
    void readSome();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    bool m_readQueued = false;
};

#endif // SERIALTRANSPORT_H
