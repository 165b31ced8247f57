#include "linkcapture.h"

#include "comprotocol.h"
#include "linkframe.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <utility>
#include <vector>

namespace
{
// One line, its fields in the order given (a JSON object sorts its keys):
// the time first, for the reader.
QByteArray line(const std::vector<std::pair<const char *, QJsonValue>> &fields)
{
    QByteArray text = "{";
    for (const auto &field : fields) {
        if (text.size() > 1)
            text += ',';
        // The value written as JSON writes it, without the array around it.
        const QByteArray value =
            QJsonDocument(QJsonArray{field.second}).toJson(QJsonDocument::Compact);
        text += '"' + QByteArray(field.first) + "\":" + value.mid(1, value.size() - 2);
    }
    return text + '}';
}
} // namespace

// The frames completed in one direction: the link's own parser, fed the same
// chunks as the record, so a frame cut over several chunks is named in the
// chunk that completes it.
struct LinkCapture::Direction {
    explicit Direction(const char *name) : name(QLatin1String(name))
    {
        QObject::connect(&parser, &COMPROTOCOL::COMRxCmd, [this](tNKLinkData *record) {
            QJsonObject frame{{QStringLiteral("id"), byteText(record->id)},
                              {QStringLiteral("len"), int(record->len)}};
            const QByteArray &d = record->data;
            const bool passThrough = record->id == MSG_FC_FORWARD || record->id == MSG_FC_RETURN;
            const quint8 kind = d.isEmpty() ? 0 : quint8(d.at(0));
            const bool wrapped = passThrough && d.size() >= PASSTHROUGH_HEADER_SIZE &&
                                 (kind == PASSTHROUGH_KIND_SHORT || kind == PASSTHROUGH_KIND_LONG);
            frame.insert(QStringLiteral("wrapped"), wrapped);
            if (wrapped) {
                frame.insert(QStringLiteral("inner_id"), byteText(quint8(d.at(3))));
                frame.insert(QStringLiteral("inner_len"), int(quint8(d.at(4))));
            }
            frames.append(frame);
        });
    }
    static QString byteText(quint8 b)
    {
        return QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    }

    QString name;
    COMPROTOCOL parser;
    QJsonArray frames;
};

LinkCapture::LinkCapture(const QString &path, qint64 limit)
    : m_file(path), m_limit(limit), m_sent(new Direction("sent")),
      m_received(new Direction("received"))
{
}

LinkCapture::~LinkCapture() = default;

bool LinkCapture::create(QString *error)
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = m_file.errorString();
        return false;
    }
    m_written = 0;
    m_stopped = false;
    return true;
}

qint64 LinkCapture::now() const
{
    return m_clock.isValid() ? m_clock.nsecsElapsed() / 1000 : 0;
}

void LinkCapture::linkOpened(const QString &route, const QString &device)
{
    m_clock.start();
    m_route = route;
    m_device = device;
    // A frame cut off by the last link's end is no part of this one.
    m_sent.reset(new Direction("sent"));
    m_received.reset(new Direction("received"));
    writeLine(
        line({{"us", 0}, {"link", QStringLiteral("open")}, {"route", route}, {"device", device}}));
}

void LinkCapture::linkClosed()
{
    writeLine(line({{"us", now()}, {"link", QStringLiteral("close")}}));
}

void LinkCapture::sent(const QByteArray &bytes)
{
    chunk(*m_sent, bytes);
}

void LinkCapture::received(const QByteArray &bytes)
{
    chunk(*m_received, bytes);
}

void LinkCapture::chunk(Direction &direction, const QByteArray &bytes)
{
    if (!isRecording() || bytes.isEmpty())
        return;
    const qint64 us = now();
    direction.frames = QJsonArray();
    direction.parser.receive(bytes);
    std::vector<std::pair<const char *, QJsonValue>> fields{
        {"us", us},
        {"dir", direction.name},
        {"route", m_route},
        {"device", m_device},
        {"hex", QString::fromLatin1(bytes.toHex().toUpper())}};
    if (!direction.frames.isEmpty())
        fields.emplace_back("frames", direction.frames);
    writeLine(line(fields));
}

void LinkCapture::writeLine(const QByteArray &text)
{
    if (!isRecording())
        return;
    // Room is always kept for the line that says the record stopped.
    const QString why = QStringLiteral("size limit of %1 bytes reached").arg(m_limit);
    const qint64 reserve = line({{"us", now() + 1000000}, {"stopped", why}}).size() + 1;
    if (m_written + text.size() + 1 + reserve > m_limit) {
        stop(why);
        return;
    }
    const QByteArray whole = text + '\n';
    if (m_file.write(whole) != whole.size() || !m_file.flush()) {
        // Nothing more can be said in the file; the session goes on.
        m_stopped = true;
        m_file.close();
        return;
    }
    m_written += whole.size();
}

void LinkCapture::stop(const QString &why)
{
    const QByteArray text = line({{"us", now()}, {"stopped", why}}) + '\n';
    m_stopped = true;
    if (m_file.write(text) == text.size())
        m_file.flush();
    m_written += text.size();
    m_file.close();
}
