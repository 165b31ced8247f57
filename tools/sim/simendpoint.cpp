#include "simendpoint.h"

#include "passthrough.h"
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
    const QByteArray frame = packLinkFrame(record->id, record->data, record->len);
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
        send(packLinkFrame(record->id, *reply, static_cast<quint8>(reply->size())),
             messageName(record->id));
}

void SimEndpoint::relay(const tNKLinkData &record)
{
    const QByteArray &d = record.data;
    if (d.size() < PASSTHROUGH_HEADER_SIZE) {
        log(QStringLiteral("dropped: pass-through header cut short"));
        return;
    }
    const auto device = static_cast<quint8>(d.at(2));
    PassThrough::Inner inner;
    if (!PassThrough::unwrap(d, PassThrough::Direction::ToDevice, device, &inner)) {
        log(QStringLiteral("dropped: pass-through kind %1 direction %2")
                .arg(static_cast<quint8>(d.at(0)), 2, 16, QLatin1Char('0'))
                .arg(static_cast<quint8>(d.at(1)), 2, 16, QLatin1Char('0')));
        return;
    }
    if (device != m_module->deviceCode()) {
        log(QStringLiteral("dropped: pass-through for device 0x%1, this is 0x%2")
                .arg(device, 2, 16, QLatin1Char('0'))
                .arg(m_module->deviceCode(), 2, 16, QLatin1Char('0')));
        return;
    }
    // The relay passes on exactly what the header announces, no more, no less.
    if (d.size() - PASSTHROUGH_HEADER_SIZE != inner.len) {
        log(QStringLiteral("dropped: pass-through announces %1 inner bytes, carries %2")
                .arg(inner.len)
                .arg(d.size() - PASSTHROUGH_HEADER_SIZE));
        return;
    }
    const std::optional<QByteArray> reply = m_module->answer(inner.id, inner.data);
    if (!reply)
        return;
    send(PassThrough::returnFrame(device, inner.id, *reply),
         messageName(MSG_FC_RETURN) + QLatin1Char('/') + messageName(inner.id));
}

QList<QByteArray> SimEndpoint::unasked()
{
    for (const QByteArray &frame : m_faults.unasked) {
        // Named like a received frame when it looks like one.
        QString what = QStringLiteral("bytes");
        if (frame.size() >= 5 && static_cast<quint8>(frame.at(0)) == FRAME_HEAD1 &&
            static_cast<quint8>(frame.at(1)) == FRAME_HEAD2) {
            const auto id = static_cast<quint8>(frame.at(3));
            what = messageName(id);
            if ((id == MSG_FC_FORWARD || id == MSG_FC_RETURN) && frame.size() > 8)
                what += QLatin1Char('/') + messageName(static_cast<quint8>(frame.at(8)));
        }
        log(QStringLiteral("tx %1  %2 (unasked)").arg(hex(frame), what));
    }
    return m_faults.unasked;
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
    if (++m_sent == m_faults.unaskedAfter)
        m_out.append(unasked());
}

void SimEndpoint::log(const QString &text)
{
    emit logLine(
        (m_route == Route::GroundStation ? QStringLiteral("udp ") : QStringLiteral("serial ")) +
        text);
}
