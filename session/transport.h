// A link to the module or its relay: open, close, send bytes; received bytes
// and failures come back as signals. Nothing about frames or commands.
#ifndef TRANSPORT_H
#define TRANSPORT_H

#include <QByteArray>
#include <QObject>
#include <QString>

class Transport : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens the link; on failure returns false and errorString() says why.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Hands the bytes to the link at once; false when they could not be sent.
    virtual bool send(const QByteArray &bytes) = 0;
    QString errorString() const { return m_error; }

signals:
    void received(const QByteArray &bytes);
    // The link broke while open (device removed, socket error); it is closed.
    void failed(const QString &reason);
    // An error the link survived (a datagram that could not be sent); it
    // stays open.
    void troubled(const QString &reason);

protected:
    void setErrorString(const QString &error) { m_error = error; }

private:
    QString m_error;
};

#endif // TRANSPORT_H
