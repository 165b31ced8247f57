#include "simendpoint.h"

#include "simmodule.h"

namespace
{

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

} // namespace

SimEndpoint::SimEndpoint(SimModule *module, Route route, const SimFaults &faults, QObject *parent)
    : QObject(parent), m_module(module), m_route(route), m_faults(faults)
{
    connect(&m_parser, &COMPROTOCOL::COMRxCmd, this, &SimEndpoint::onRecord);
}

QList<QByteArray> SimEndpoint::receive(const QByteArray &bytes)
{
    m_out.clear();
    m_parser.receive(bytes);
    QList<QByteArray> out;
    out.swap(m_out);
    return out;
}

QByteArray SimEndpoint::garbageBytes()
{
    return QByteArray::fromHex("00FF0EAB00");
}

QString SimEndpoint::messageName(quint8 id)
{
    switch (id) {
    case MSG_FC_FORWARD:
        return QStringLiteral("MSG_FC_FORWARD");
    case MSG_FC_RETURN:
        return QStringLiteral("MSG_FC_RETURN");
    case MSG_VERSION:
        return QStringLiteral("MSG_VERSION");
    case MSG_WRITE_ALL:
        return QStringLiteral("MSG_WRITE_ALL");
    case MSG_READ_ALL:
        return QStringLiteral("MSG_READ_ALL");
    case MSG_READ_PORT:
        return QStringLiteral("MSG_READ_PORT");
    case MSG_WRITE_PORT:
        return QStringLiteral("MSG_WRITE_PORT");
    default:
        return QStringLiteral("0x%1").arg(
            QString::number(id, 16).toUpper().rightJustified(2, QLatin1Char('0')));
    }
}

void SimEndpoint::onRecord(tNKLinkData *record)
{
    // The record is rebuilt as a frame for the log; for the single-record
    // frames of this link that is exactly what arrived.
    const QByteArray frame = m_parser.packFrame(record->id, record->data, record->len);
    if (record->id == MSG_FC_FORWARD) {
        const quint8 inner = record->data.size() > 3 ? static_cast<quint8>(record->data.at(3)) : 0;
        log(QStringLiteral("rx %1  %2/%3")
                .arg(hex(frame), messageName(record->id), messageName(inner)));
        relay(*record);
        return;
    }
    log(QStringLiteral("rx %1  %2").arg(hex(frame), messageName(record->id)));
    if (m_route == Route::GroundStation) {
        log(QStringLiteral("dropped: bare command on the ground-station link"));
        return;
    }
    const std::optional<QByteArray> reply = m_module->answer(record->id, record->data);
    if (reply)
        send(m_parser.packFrame(record->id, *reply, static_cast<quint8>(reply->size())),
             messageName(record->id));
}

void SimEndpoint::relay(const tNKLinkData &record)
{
    const QByteArray &d = record.data;
    if (d.size() < PASSTHROUGH_HEADER_SIZE) {
        log(QStringLiteral("dropped: pass-through header cut short"));
        return;
    }
    const auto kind = static_cast<quint8>(d.at(0));
    const auto direction = static_cast<quint8>(d.at(1));
    const auto device = static_cast<quint8>(d.at(2));
    const auto innerId = static_cast<quint8>(d.at(3));
    const auto innerLen = static_cast<quint8>(d.at(4));
    if ((kind != PASSTHROUGH_KIND_SHORT && kind != PASSTHROUGH_KIND_LONG) ||
        direction != PASSTHROUGH_TO_DEVICE) {
        log(QStringLiteral("dropped: pass-through kind %1 direction %2")
                .arg(kind, 2, 16, QLatin1Char('0'))
                .arg(direction, 2, 16, QLatin1Char('0')));
        return;
    }
    if (device != m_module->deviceCode()) {
        log(QStringLiteral("dropped: pass-through for device 0x%1, this is 0x%2")
                .arg(device, 2, 16, QLatin1Char('0'))
                .arg(m_module->deviceCode(), 2, 16, QLatin1Char('0')));
        return;
    }
    if (d.size() - PASSTHROUGH_HEADER_SIZE != innerLen) {
        log(QStringLiteral("dropped: pass-through announces %1 inner bytes, carries %2")
                .arg(innerLen)
                .arg(d.size() - PASSTHROUGH_HEADER_SIZE));
        return;
    }
    const std::optional<QByteArray> reply =
        m_module->answer(innerId, d.mid(PASSTHROUGH_HEADER_SIZE));
    if (!reply)
        return;
    const auto n = static_cast<quint8>(reply->size());
    QByteArray wrapped;
    wrapped.append(static_cast<char>(n < 8 ? PASSTHROUGH_KIND_SHORT : PASSTHROUGH_KIND_LONG));
    wrapped.append(static_cast<char>(PASSTHROUGH_FROM_DEVICE));
    wrapped.append(static_cast<char>(device));
    wrapped.append(static_cast<char>(innerId));
    wrapped.append(static_cast<char>(n));
    wrapped.append(*reply);
    send(m_parser.packFrame(MSG_FC_RETURN, wrapped, static_cast<quint8>(wrapped.size())),
         messageName(MSG_FC_RETURN) + QLatin1Char('/') + messageName(innerId));
}

void SimEndpoint::send(const QByteArray &frame, const QString &what)
{
    ++m_replies;
    if (m_faults.dropEvery > 0 && m_replies % m_faults.dropEvery == 0) {
        log(QStringLiteral("tx dropped (reply %1): %2  %3").arg(m_replies).arg(hex(frame), what));
        return;
    }
    QByteArray out = frame;
    QString note;
    if (m_faults.corruptEvery > 0 && m_replies % m_faults.corruptEvery == 0) {
        out[out.size() - 2] = static_cast<char>(out.at(out.size() - 2) ^ 0xFF);
        note = QStringLiteral(" (checksum spoiled)");
    }
    if (m_faults.garbage) {
        log(QStringLiteral("tx garbage %1").arg(hex(garbageBytes())));
        out.prepend(garbageBytes());
    }
    log(QStringLiteral("tx %1  %2%3")
            .arg(hex(m_faults.garbage ? out.mid(garbageBytes().size()) : out), what, note));
    m_out.append(out);
}

void SimEndpoint::log(const QString &text)
{
    emit logLine(
        (m_route == Route::GroundStation ? QStringLiteral("udp ") : QStringLiteral("serial ")) +
        text);
}
