#include "capturefile.h"

#include "simdecoder.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>

namespace
{
bool wholeNumber(const QJsonValue &value, qint64 *number)
{
    if (!value.isDouble())
        return false;
    const double d = value.toDouble();
    if (d < 0 || d != std::floor(d) || d > 9.0e15)
        return false;
    *number = qint64(d);
    return true;
}

QString seconds(qint64 us)
{
    return QStringLiteral("%1.%2").arg(us / 1000000).arg(us % 1000000, 6, 10, QLatin1Char('0'));
}
} // namespace

bool CaptureFile::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QString why;
    int line = 0;
    if (!parse(file.readAll(), &why, &line)) {
        *error = QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(why);
        return false;
    }
    return true;
}

bool CaptureFile::parse(const QByteArray &text, QString *why, int *line)
{
    m_links.clear();
    m_stopped.clear();
    static const QRegularExpression hexBytes(QStringLiteral("^([0-9A-Fa-f]{2})+$"));
    const QList<QByteArray> lines = text.split('\n');
    // Every line ends with a line feed: what follows the last one is a line
    // cut short by the end of the file.
    for (int i = 0; i < lines.size(); ++i) {
        *line = i + 1;
        const QByteArray &raw = lines.at(i);
        const bool last = i == lines.size() - 1;
        if (last && raw.isEmpty())
            break;
        if (last) {
            *why = QStringLiteral("the line is cut short (no line end): the capture is truncated");
            return false;
        }
        if (!m_stopped.isEmpty()) {
            *why = QStringLiteral("a line after the line saying the capture stopped");
            return false;
        }
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(raw, &error);
        if (error.error != QJsonParseError::NoError || !document.isObject()) {
            *why = error.error != QJsonParseError::NoError
                       ? QStringLiteral("not JSON (%1 at column %2)")
                             .arg(error.errorString())
                             .arg(error.offset + 1)
                       : QStringLiteral("not a JSON object");
            return false;
        }
        const QJsonObject object = document.object();
        qint64 us = 0;
        if (!wholeNumber(object.value(QStringLiteral("us")), &us)) {
            *why = QStringLiteral("\"us\" is not a whole number of microseconds");
            return false;
        }
        if (object.contains(QStringLiteral("stopped"))) {
            m_stopped = object.value(QStringLiteral("stopped")).toString();
            if (m_stopped.isEmpty())
                m_stopped = QStringLiteral("stopped");
            continue;
        }
        const QString linkEvent = object.value(QStringLiteral("link")).toString();
        if (linkEvent == QLatin1String("open")) {
            Link link;
            link.line = *line;
            link.route = object.value(QStringLiteral("route")).toString();
            link.device = object.value(QStringLiteral("device")).toString();
            if (link.route.isEmpty()) {
                *why = QStringLiteral("a link opened on no route");
                return false;
            }
            m_links.append(link);
            continue;
        }
        if (m_links.isEmpty()) {
            *why = QStringLiteral("a line before the line of a link opening");
            return false;
        }
        Link &link = m_links.last();
        const qint64 previous = link.chunks.isEmpty() ? 0 : link.chunks.last().us;
        if (link.closedUs >= 0) {
            *why = QStringLiteral("a line after the link closed");
            return false;
        }
        if (us < previous) {
            *why = QStringLiteral("the time goes back (%1 us after %2 us)").arg(us).arg(previous);
            return false;
        }
        if (linkEvent == QLatin1String("close")) {
            link.closedUs = us;
            continue;
        }
        if (!linkEvent.isEmpty()) {
            *why = QStringLiteral("unknown link event \"%1\"").arg(linkEvent);
            return false;
        }
        const QString direction = object.value(QStringLiteral("dir")).toString();
        if (direction != QLatin1String("sent") && direction != QLatin1String("received")) {
            *why = QStringLiteral("\"dir\" is neither \"sent\" nor \"received\"");
            return false;
        }
        const QString hex = object.value(QStringLiteral("hex")).toString();
        if (!hexBytes.match(hex).hasMatch()) {
            *why = QStringLiteral("\"hex\" holds no whole bytes in hex");
            return false;
        }
        Chunk chunk;
        chunk.line = *line;
        chunk.us = us;
        chunk.sent = direction == QLatin1String("sent");
        chunk.bytes = QByteArray::fromHex(hex.toLatin1());
        link.chunks.append(chunk);
    }
    if (m_links.isEmpty()) {
        *line = qMax(1, lines.size() - 1);
        *why = QStringLiteral("no link in the capture");
        return false;
    }
    return true;
}

QStringList CaptureFile::describe() const
{
    QStringList lines;
    for (const Link &link : m_links) {
        lines << QStringLiteral("%1 open %2 %3").arg(seconds(0), link.route, link.device);
        // Each direction has its own stream: a frame may span chunks.
        SimDecoder sent;
        SimDecoder received;
        for (const Chunk &chunk : link.chunks) {
            const QString direction =
                chunk.sent ? QStringLiteral("sent") : QStringLiteral("received");
            for (const QString &frame : (chunk.sent ? sent : received).feed(chunk.bytes))
                lines << QStringLiteral("%1 %2 %3").arg(seconds(chunk.us), direction, frame);
        }
        if (link.closedUs >= 0)
            lines << QStringLiteral("%1 close").arg(seconds(link.closedUs));
    }
    if (!m_stopped.isEmpty())
        lines << QStringLiteral("stopped: %1").arg(m_stopped);
    return lines;
}
