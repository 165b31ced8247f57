// A transport of the simulator: delivers received bytes and writes replies.
#ifndef SIMLINK_H
#define SIMLINK_H

#include <QObject>

class SimLink : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool open(QString *error) = 0;
    virtual void send(const QByteArray &bytes) = 0;

signals:
    void received(const QByteArray &bytes);
    void failed(const QString &why);
};

#endif // SIMLINK_H
