#include "simdecoder.h"

SimDecoder::SimDecoder(QObject *parent) : QObject(parent)
{
    connect(&m_parser, &COMPROTOCOL::COMRxCmd, this,
            [this](tNKLinkData *record) { m_lines.append(describe(*record)); });
}

QStringList SimDecoder::feed(const QByteArray &bytes)
{
    m_lines.clear();
    m_parser.receive(bytes);
    QStringList lines;
    lines.swap(m_lines);
    return lines;
}

QString SimDecoder::describe(const tNKLinkData &record)
{
    auto byte = [](quint8 b) {
        return QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    };
    return QStringLiteral("id=%1 len=%2 data=%3")
        .arg(byte(record.id), QString::number(record.len),
             QString::fromLatin1(record.data.toHex(' ').toUpper()));
}
