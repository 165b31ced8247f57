#include "serialtransport.h"

#include <QTimer>

namespace
{
// Bytes handed on per turn of the event loop: a flood of frames is taken in
// slices, so the window stays responsive between them.
constexpr qint64 ReadSlice = 4096;
} // namespace

SerialTransport::SerialTransport(const QString &portName, QObject *parent)
    : Transport(parent), m_port(portName)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialTransport::readSome);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialTransport::onError);
}

SerialTransport::~SerialTransport() = default;

bool SerialTransport::open()
{
    m_port.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    if (m_port.open(QIODevice::ReadWrite)) {
        // A fresh start: what waits in the device's input (a late answer to
        // a command of an earlier run) is no answer to the next command, and
        // what an earlier run left in its output is not sent.
        m_port.clear(QSerialPort::AllDirections);
        setErrorString(QString());
        return true;
    }
    setErrorString(m_port.errorString());
    return false;
}

void SerialTransport::close()
{
    if (m_port.isOpen())
        m_port.close();
}

bool SerialTransport::isOpen() const
{
    return m_port.isOpen();
}

bool SerialTransport::send(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        return false;
    const bool written = m_port.write(bytes) == bytes.size();
    // Hand the frame to the port now rather than when the event loop next
    // gets round to it: after a version reply the loop first lays out and
    // paints the new port panel, and the read request would wait for that.
    m_port.flush();
    return written;
}

void SerialTransport::readSome()
{
    m_readQueued = false;
    if (!m_port.isOpen())
        return;
    const QByteArray bytes = m_port.read(ReadSlice);
    if (m_port.bytesAvailable() > 0 && !m_readQueued) {
        m_readQueued = true;
        QTimer::singleShot(0, this, &SerialTransport::readSome);
    }
    if (!bytes.isEmpty())
        emit received(bytes);
}

// A removed device reads as end of file, which the port reports as a read
// error again on every turn of the event loop (a write as a resource error)
// until it is closed: so it is closed on the first one. The failure is
// reported from the event loop, never from inside send(), so that whoever
// owns the transport may delete it in reply.
void SerialTransport::onError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ReadError && error != QSerialPort::WriteError &&
        error != QSerialPort::ResourceError)
        return;
    if (!m_port.isOpen())
        return;
    const QString reason = m_port.errorString();
    m_port.close();
    QMetaObject::invokeMethod(
        this, [this, reason] { emit failed(reason); }, Qt::QueuedConnection);
}
