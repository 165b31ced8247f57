// A JSON Lines file (captures, provisioning reports) as the tests read it:
// the lines that are objects, the lines that are not, and whether the file
// ends on a whole line.
#ifndef JSONLINES_H
#define JSONLINES_H

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QVector>

namespace JsonLines
{
struct Lines {
    bool opened = false;
    // Empty, or ending in a line feed.
    bool endsWhole = true;
    QVector<QJsonObject> objects;
    QList<QByteArray> notObjects;
    bool whole() const { return endsWhole && notObjects.isEmpty(); }
};

inline Lines read(const QString &path)
{
    Lines read;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return read;
    read.opened = true;
    const QByteArray text = file.readAll();
    read.endsWhole = text.isEmpty() || text.endsWith('\n');
    for (const QByteArray &line : text.split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonDocument document = QJsonDocument::fromJson(line);
        if (document.isObject())
            read.objects.append(document.object());
        else
            read.notObjects.append(line);
    }
    return read;
}
} // namespace JsonLines

#endif // JSONLINES_H
