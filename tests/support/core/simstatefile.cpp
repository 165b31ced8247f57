#include "simstatefile.h"

#include <QFile>
#include <QRegularExpression>

QByteArrayList SimStateFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression line(QStringLiteral("^port (\\d+): ([0-9A-F ]+)$"));
    QByteArrayList records;
    for (const QByteArray &l : file.readAll().split('\n')) {
        const QRegularExpressionMatch m = line.match(QString::fromLatin1(l.trimmed()));
        if (!m.hasMatch())
            continue;
        if (m.captured(1).toInt() != records.size())
            return {};
        records.append(QByteArray::fromHex(m.captured(2).toLatin1()));
    }
    return records;
}

bool SimStateFile::write(const QString &path, const QByteArrayList &records)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (int i = 0; i < records.size(); ++i)
        file.write("port " + QByteArray::number(i) + ": " + records.at(i).toHex(' ') + '\n');
    return file.flush();
}
