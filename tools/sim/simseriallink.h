// An existing serial device served at the link's fixed 115200 8N1.
#ifndef SIMSERIALLINK_H
#define SIMSERIALLINK_H

#include "simlink.h"

#include <QSerialPort>

class SimSerialLink : public SimLink
{
    Q_OBJECT
public:
    explicit SimSerialLink(const QString &path, QObject *parent = nullptr);

    bool open(QString *error) override;
    void send(const QByteArray &bytes) override;

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
};

#endif // SIMSERIALLINK_H
