// Decodes a captured byte stream with the program's own parser and describes
// every record it yields in one line: "id=E2 len=1 data=00" (identifier in
// hex, declared length in decimal, payload bytes in hex separated by spaces).
#ifndef SIMDECODER_H
#define SIMDECODER_H

#include "comprotocol.h"

#include <QObject>
#include <QStringList>

class SimDecoder : public QObject
{
    Q_OBJECT
public:
    explicit SimDecoder(QObject *parent = nullptr);

    // The lines for the records completed by this block of bytes.
    QStringList feed(const QByteArray &bytes);

    static QString describe(const tNKLinkData &record);

private:
    COMPROTOCOL m_parser;
    QStringList m_lines;
};

#endif // SIMDECODER_H
