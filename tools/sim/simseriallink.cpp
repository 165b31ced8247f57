#include "simseriallink.h"

SimSerialLink::SimSerialLink(const QString &path, QObject *parent) : SimLink(parent)
{
    m_port.setPortName(path);
    connect(&m_port, &QSerialPort::readyRead, this, &SimSerialLink::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SimSerialLink::onError);
}

bool SimSerialLink::open(QString *error)
{
    if (!m_port.open(QIODevice::ReadWrite) || !m_port.setBaudRate(QSerialPort::Baud115200) ||
        !m_port.setDataBits(QSerialPort::Data8) || !m_port.setParity(QSerialPort::NoParity) ||
        !m_port.setStopBits(QSerialPort::OneStop) ||
        !m_port.setFlowControl(QSerialPort::NoFlowControl)) {
        *error = QStringLiteral("%1: %2").arg(m_port.portName(), m_port.errorString());
        return false;
    }
    return true;
}

void SimSerialLink::send(const QByteArray &bytes)
{
    m_port.write(bytes);
}

void SimSerialLink::onReadyRead()
{
    const QByteArray bytes = m_port.readAll();
    if (!bytes.isEmpty())
        emit received(bytes);
}

void SimSerialLink::onError(QSerialPort::SerialPortError error)
{
    // Only a vanished device is fatal; the rest are reported by open() or
    // are transient.
    if (error == QSerialPort::ResourceError)
        emit failed(QStringLiteral("%1: %2").arg(m_port.portName(), m_port.errorString()));
}
