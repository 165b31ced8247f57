#include "simmodule.h"

#include "linkframe.h"
#include "portrecord.h"

#include <QByteArrayList>

namespace
{

// The codes of the card's protocol lists; everything else is unknown.
bool protocolCodeKnown(quint8 code)
{
    return PortRecord::protocolCode(PortRecord::protocolPosition(qint8(code))) == code;
}

} // namespace

SimModule::SimModule(Model model, QObject *parent)
    : QObject(parent), m_model(model), m_records(defaultRecords(model))
{
}

QVector<SimModule::Model> SimModule::models()
{
    QVector<Model> all;
    for (int code = 0; code <= 0xFF; ++code) {
        Model model;
        if (ModuleProfile::modelForDeviceCode(quint8(code), &model))
            all.append(model);
    }
    return all;
}

QString SimModule::shortName(Model model)
{
    return ModuleProfile::name(model).section(QLatin1Char('-'), 0, 0);
}

quint8 SimModule::deviceCode() const
{
    return ModuleProfile::deviceCode(m_model);
}

int SimModule::portCount() const
{
    return ModuleProfile::portCount(m_model);
}

void SimModule::setFirmware(quint8 major, quint8 minor, quint8 patch)
{
    m_version[0] = major;
    m_version[1] = minor;
    m_version[2] = patch;
}

QList<QByteArray> SimModule::defaultRecords(Model model)
{
    // As shipped: every port with UART at 57600 8N1, RS-232, no protocol;
    // a CAN-only port at 1 Mbit/s.
    PortSettings can;
    can.kind = PortRecord::Can;
    can.baud = 1000000;
    QList<QByteArray> records;
    for (int i = 0; i < ModuleProfile::portCount(model); ++i)
        records.append(
            PortRecord::encode(ModuleProfile::port(model, i).uartOffered ? PortSettings() : can)
                .bytes());
    return records;
}

bool SimModule::setRecords(const QList<QByteArray> &records)
{
    if (records.size() != portCount())
        return false;
    for (const QByteArray &r : records)
        if (r.size() != PORT_RECORD_SIZE)
            return false;
    for (int i = 0; i < records.size(); ++i) {
        const QStringList problems = recordProblems(i, records.at(i));
        if (!problems.isEmpty())
            emit logLine(QStringLiteral("warning: port %1 loaded with an unsound record: %2")
                             .arg(i)
                             .arg(problems.join(QStringLiteral("; "))));
    }
    m_records = records;
    emit recordsChanged();
    return true;
}

bool SimModule::portHasUart(int port) const
{
    return port >= 0 && port < portCount() && ModuleProfile::port(m_model, port).uartOffered;
}

bool SimModule::portHasCan(int port) const
{
    return port >= 0 && port < portCount() && ModuleProfile::port(m_model, port).canOffered;
}

QStringList SimModule::recordProblems(int port, const QByteArray &record) const
{
    QStringList problems;
    if (record.size() != PORT_RECORD_SIZE) {
        problems << QStringLiteral("record of %1 bytes, not %2")
                        .arg(record.size())
                        .arg(PORT_RECORD_SIZE);
        return problems;
    }
    // A card's rules (the port's kinds and rate lists, as in
    // PortRecord::refusal), then the line bytes and protocol codes a card
    // would take but the module does not.
    const PortRecord r(record);
    if (r.kind() == PortRecord::Uart) {
        if (!portHasUart(port))
            problems << QStringLiteral("UART record for a port without UART");
        if (!PortRecord::uartBaudRates().contains(r.rate()))
            problems << QStringLiteral("UART baud rate %1 not supported").arg(r.rate());
        if (r.parity() > quint8(PortRecord::Parity::Odd))
            problems << QStringLiteral("parity %1 out of range").arg(r.parity());
        if (r.dataBits() > 1)
            problems << QStringLiteral("data bits %1 out of range").arg(r.dataBits());
        if (r.stopBits() > 1)
            problems << QStringLiteral("stop bits %1 out of range").arg(r.stopBits());
        if (r.level() > quint8(PortRecord::Level::Rs422))
            problems << QStringLiteral("level %1 out of range").arg(r.level());
    } else if (r.kind() == PortRecord::Can) {
        if (!portHasCan(port))
            problems << QStringLiteral("CAN record for a port without CAN");
        if (PortRecord::canRatePosition(r.rate()) < 0)
            problems << QStringLiteral("CAN bit rate %1 not supported").arg(r.rate());
        if (r.parity() != 0 || r.dataBits() != 0 || r.stopBits() != 0 || r.level() != 0)
            problems << QStringLiteral("CAN record with non-zero line settings");
    } else {
        problems << QStringLiteral("port kind %1 unknown").arg(r.kind());
    }
    if (!protocolCodeKnown(r.receiveCode()))
        problems << QStringLiteral("receive protocol code %1 unknown").arg(r.receiveCode());
    if (!protocolCodeKnown(r.sendCode()))
        problems << QStringLiteral("send protocol code %1 unknown").arg(r.sendCode());
    return problems;
}

std::optional<QByteArray> SimModule::answer(quint8 id, const QByteArray &payload)
{
    std::optional<QByteArray> reply = answerPlain(id, payload);
    if (reply && m_faults.wrongLength) {
        if (reply->size() == 1)
            reply->append('\0');
        else
            reply->chop(1);
    }
    return reply;
}

std::optional<QByteArray> SimModule::answerPlain(quint8 id, const QByteArray &payload)
{
    switch (id) {
    case MSG_VERSION: {
        QByteArray reply;
        reply.append(static_cast<char>(deviceCode()));
        for (quint8 v : m_version)
            reply.append(static_cast<char>(v));
        return reply;
    }
    case MSG_READ_ALL:
        return m_records.join();
    case MSG_WRITE_ALL:
        return writeAll(payload);
    case MSG_READ_PORT:
        return readPort(payload);
    case MSG_WRITE_PORT:
        return writePort(payload);
    default:
        emit logLine(QStringLiteral("no answer to message 0x%1").arg(id, 2, 16, QLatin1Char('0')));
        return std::nullopt;
    }
}

QByteArray SimModule::writeAll(const QByteArray &payload)
{
    const QByteArray failed(1, '\x01');
    if (m_faults.failWrites) {
        emit logLine(QStringLiteral("write-all refused (--fail-writes)"));
        return failed;
    }
    if (payload.size() != portCount() * PORT_RECORD_SIZE) {
        emit logLine(QStringLiteral("write-all refused: %1 bytes, expected %2")
                         .arg(payload.size())
                         .arg(portCount() * PORT_RECORD_SIZE));
        return failed;
    }
    QList<QByteArray> incoming;
    bool sound = true;
    for (int i = 0; i < portCount(); ++i) {
        incoming.append(payload.mid(i * PORT_RECORD_SIZE, PORT_RECORD_SIZE));
        sound = acceptRecord(i, incoming.last()) && sound;
    }
    if (!sound)
        return failed;
    m_records = incoming;
    emit recordsChanged();
    return QByteArray(1, '\0');
}

std::optional<QByteArray> SimModule::readPort(const QByteArray &payload) const
{
    if (payload.isEmpty())
        return std::nullopt;
    quint8 index = static_cast<quint8>(payload.at(0));
    if (m_faults.stuckReadIndex >= 0)
        index = static_cast<quint8>(m_faults.stuckReadIndex);
    else if (index >= portCount())
        return std::nullopt;
    // A stuck index may name a port the module lacks: it has no record, so zeros.
    const QByteArray record =
        index < portCount() ? m_records.at(index) : QByteArray(PORT_RECORD_SIZE, '\0');
    const quint8 shown = m_faults.wrongIndex ? static_cast<quint8>(index ^ 0x80) : index;
    return QByteArray(1, static_cast<char>(shown)) + record;
}

std::optional<QByteArray> SimModule::writePort(const QByteArray &payload)
{
    if (payload.size() != 1 + PORT_RECORD_SIZE) {
        emit logLine(QStringLiteral("write-port ignored: %1 bytes, expected %2")
                         .arg(payload.size())
                         .arg(1 + PORT_RECORD_SIZE));
        return std::nullopt;
    }
    const quint8 index = static_cast<quint8>(payload.at(0));
    if (index >= portCount()) {
        emit logLine(QStringLiteral("write-port ignored: no port %1").arg(index));
        return std::nullopt;
    }
    if (m_faults.failWrites) {
        emit logLine(QStringLiteral("write-port %1 not acknowledged (--fail-writes)").arg(index));
        return std::nullopt;
    }
    const QByteArray record = payload.mid(1);
    if (!acceptRecord(index, record))
        return std::nullopt;
    m_records[index] = record;
    emit recordsChanged();
    const int acked = m_faults.ackIndex >= 0 ? m_faults.ackIndex : index;
    return QByteArray(1, static_cast<char>(acked));
}

bool SimModule::acceptRecord(int port, const QByteArray &record)
{
    const QStringList problems = recordProblems(port, record);
    if (problems.isEmpty())
        return true;
    emit logLine(QStringLiteral("warning: port %1 record %2: %3 (%4)")
                     .arg(port)
                     .arg(QString::fromLatin1(record.toHex(' ').toUpper()))
                     .arg(problems.join(QStringLiteral("; ")))
                     .arg(m_strict ? QStringLiteral("refused") : QStringLiteral("stored anyway")));
    return !m_strict;
}
