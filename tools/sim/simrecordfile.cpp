#include "simrecordfile.h"

#include "linkframe.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QVector>

QByteArray SimRecordFile::format(const QList<QByteArray> &records)
{
    QByteArray text;
    for (int i = 0; i < records.size(); ++i)
        text += "port " + QByteArray::number(i) + ": " + records.at(i).toHex(' ').toUpper() + '\n';
    return text;
}

bool SimRecordFile::parse(const QByteArray &text, int portCount, QList<QByteArray> *records,
                          QString *error)
{
    static const QRegularExpression lineRe(
        QStringLiteral("^port\\s+(\\d+)\\s*:((?:\\s*[0-9A-Fa-f]{2})+)\\s*$"));
    QVector<QByteArray> found(portCount);
    const QList<QByteArray> lines = text.split('\n');
    for (int n = 0; n < lines.size(); ++n) {
        const QString line = QString::fromLatin1(lines.at(n)).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QRegularExpressionMatch m = lineRe.match(line);
        if (!m.hasMatch()) {
            *error = QStringLiteral("line %1: expected \"port N: XX XX ...\"").arg(n + 1);
            return false;
        }
        const int port = m.captured(1).toInt();
        if (port >= portCount) {
            *error = QStringLiteral("line %1: no port %2 on this model").arg(n + 1).arg(port);
            return false;
        }
        if (!found.at(port).isEmpty()) {
            *error = QStringLiteral("line %1: port %2 given twice").arg(n + 1).arg(port);
            return false;
        }
        const QByteArray record = QByteArray::fromHex(m.captured(2).toLatin1());
        if (record.size() != PORT_RECORD_SIZE) {
            *error = QStringLiteral("line %1: %2 bytes, a record has %3")
                         .arg(n + 1)
                         .arg(record.size())
                         .arg(PORT_RECORD_SIZE);
            return false;
        }
        found[port] = record;
    }
    for (int i = 0; i < portCount; ++i) {
        if (found.at(i).isEmpty()) {
            *error = QStringLiteral("port %1 missing").arg(i);
            return false;
        }
    }
    *records = found.toList();
    return true;
}

bool SimRecordFile::load(const QString &path, int portCount, QList<QByteArray> *records,
                         QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QString why;
    if (!parse(file.readAll(), portCount, records, &why)) {
        *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    return true;
}

bool SimRecordFile::save(const QString &path, const QList<QByteArray> &records, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(format(records)) < 0 || !file.commit()) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
