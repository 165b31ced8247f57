#include "capturereplay.h"

#include "simendpoint.h"

#include <cmath>

namespace
{
QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
} // namespace

CaptureReplay::CaptureReplay(const CaptureFile &capture, double speed, const QString &routeName,
                             QObject *parent)
    : QObject(parent), m_speed(speed), m_route(routeName)
{
    for (const CaptureFile::Link &link : capture.links()) {
        Exchange *current = nullptr;
        qint64 requestUs = 0;
        for (const CaptureFile::Chunk &chunk : link.chunks) {
            if (chunk.sent) {
                m_exchanges.append(Exchange{chunk.bytes, chunk.line, {}});
                current = &m_exchanges.last();
                requestUs = chunk.us;
            } else if (current) {
                current->answers.append(Answer{chunk.us - requestUs, chunk.bytes, chunk.line});
            }
            // What came before the first request was asked by nobody here.
        }
    }
    connect(&m_parser, &COMPROTOCOL::COMRxCmd, this, &CaptureReplay::onRecord);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CaptureReplay::writeDue);
    m_clock.start();
}

void CaptureReplay::receive(const QByteArray &bytes)
{
    m_parser.receive(bytes);
}

int CaptureReplay::find(const QByteArray &frame) const
{
    for (int i = m_next; i < m_exchanges.size(); ++i)
        if (m_exchanges.at(i).request == frame)
            return i;
    for (int i = 0; i < m_next && i < m_exchanges.size(); ++i)
        if (m_exchanges.at(i).request == frame)
            return i;
    return -1;
}

void CaptureReplay::onRecord(tNKLinkData *record)
{
    // The request as it was sent: the link's frames carry one record each.
    const QByteArray frame = packLinkFrame(record->id, record->data, record->len);
    QString name = SimEndpoint::messageName(record->id);
    if ((record->id == MSG_FC_FORWARD || record->id == MSG_FC_RETURN) && record->data.size() > 3)
        name += QLatin1Char('/') + SimEndpoint::messageName(quint8(record->data.at(3)));
    const int found = find(frame);
    if (found < 0) {
        emit logLine(QStringLiteral("%1 rx %2  %3 (not in the capture: no answer)")
                         .arg(m_route, hex(frame), name));
        return;
    }
    const Exchange &exchange = m_exchanges.at(found);
    emit logLine(QStringLiteral("%1 rx %2  %3 (capture line %4, %5 answer chunk(s))")
                     .arg(m_route, hex(frame), name)
                     .arg(exchange.line)
                     .arg(exchange.answers.size()));
    m_next = found + 1;
    const qint64 now = m_clock.nsecsElapsed() / 1000;
    for (const Answer &answer : exchange.answers) {
        const Piece piece{now + qint64(std::llround(double(answer.delayUs) / m_speed)),
                          answer.bytes, answer.line};
        int at = m_queue.size();
        while (at > 0 && m_queue.at(at - 1).dueUs > piece.dueUs)
            --at;
        m_queue.insert(at, piece);
    }
    writeDue();
}

void CaptureReplay::writeDue()
{
    const qint64 now = m_clock.nsecsElapsed() / 1000;
    while (!m_queue.isEmpty() && m_queue.first().dueUs <= now) {
        const Piece piece = m_queue.takeFirst();
        emit logLine(QStringLiteral("%1 tx %2  (capture line %3)")
                         .arg(m_route, hex(piece.bytes))
                         .arg(piece.line));
        emit write(piece.bytes);
    }
    if (!m_queue.isEmpty())
        m_timer.start(int((m_queue.first().dueUs - now + 999) / 1000));
}
