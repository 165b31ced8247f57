#include "writehistory.h"

#include "configfile.h"
#include "printabletext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace
{
// The n of a second snapshot of one second ("…-R7-Eda-2.tovrin.json"); 1 for
// the first.
int sequence(const QString &path)
{
    QString base = QFileInfo(path).fileName();
    base.chop(ConfigFile::suffix().size());
    const int dash = base.lastIndexOf(QLatin1Char('-'));
    bool number = false;
    const int n = base.mid(dash + 1).toInt(&number);
    return number && n > 1 ? n : 1;
}

QString shownFolder(const QString &folder)
{
    return PrintableText::escaped(QDir::toNativeSeparators(folder));
}
} // namespace

QString WriteHistory::defaultFolder()
{
    const QString named = qEnvironmentVariable("TOVRIN_HISTORY_DIR");
    if (!named.isEmpty())
        return named;
    // The program's own folder whichever program asks: tovrinctl shares the
    // window's history.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/TovrinVazodivuveTool/history");
}

QString WriteHistory::deviceStem(const QString &device)
{
    QString stem =
        device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : QFileInfo(device).fileName();
    if (stem.isEmpty())
        stem = QStringLiteral("ground-station");
    for (QChar &c : stem) {
        const ushort u = c.unicode();
        const bool plain = (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') ||
                           (u >= 'A' && u <= 'Z') || u == '.' || u == '_' || u == '-';
        if (!plain)
            c = QLatin1Char('-');
    }
    return stem;
}

bool WriteHistory::take(const QString &folder, const ModuleConfig &config, const WriteNote &note,
                        const ProtocolNames::Lookup &names, QString *path, QString *error)
{
    if (!QDir().mkpath(folder)) {
        *error = tr("无法在 %1 保存写入前的快照：无法创建文件夹").arg(shownFolder(folder));
        return false;
    }
    const QString stem = config.saved.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")) +
                         QLatin1Char('-') + deviceStem(note.device) + QLatin1Char('-') +
                         ModuleProfile::name(config.model);
    const QByteArray text = ConfigFile::toJson(config, note, names);
    QFile file;
    // A name of its own: a file that is there is never replaced.
    for (int n = 1;; ++n) {
        const QString name =
            (n == 1 ? stem : QStringLiteral("%1-%2").arg(stem).arg(n)) + ConfigFile::suffix();
        file.setFileName(QDir(folder).filePath(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            break;
        if (!file.exists() || n >= 1000) {
            *error =
                tr("无法在 %1 保存写入前的快照：%2").arg(shownFolder(folder), file.errorString());
            return false;
        }
    }
    if (file.write(text) != text.size() || !file.flush()) {
        *error = tr("无法在 %1 保存写入前的快照：%2").arg(shownFolder(folder), file.errorString());
        return false;
    }
    file.close();
    *path = file.fileName();
    return true;
}

bool WriteHistory::update(const QString &path, const ModuleConfig &config, const WriteNote &note,
                          const ProtocolNames::Lookup &names, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(ConfigFile::toJson(config, note, names)) < 0 || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QVector<WriteHistory::Entry> WriteHistory::list(const QString &folder)
{
    QVector<Entry> entries;
    const QFileInfoList files = QDir(folder).entryInfoList(
        {QLatin1Char('*') + ConfigFile::suffix()}, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QFileInfo &info : files) {
        if (info.size() > ConfigFile::MaxSize)
            continue;
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = file.read(ConfigFile::MaxSize);
        // The top fields only: a module that held records the port rules
        // refuse still has its snapshot listed.
        const QJsonObject top = QJsonDocument::fromJson(text).object();
        Entry entry;
        if (top.value(QLatin1String("format")).toString() !=
                QLatin1String("tovrin-module-config") ||
            !ModuleProfile::modelForName(top.value(QLatin1String("model")).toString(),
                                         &entry.model))
            continue;
        entry.path = info.filePath();
        entry.firmware = top.value(QLatin1String("firmware")).toString();
        entry.time =
            QDateTime::fromString(top.value(QLatin1String("saved")).toString(), Qt::ISODate);
        WriteNote note;
        entry.noted = ConfigFile::writeNote(text, &note);
        entry.device = note.device;
        entry.outcome = note.outcome;
        entries.append(entry);
    }
    // Newest first; those of one second by their number.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        if (a.time != b.time)
            return a.time > b.time;
        return sequence(a.path) > sequence(b.path);
    });
    return entries;
}
