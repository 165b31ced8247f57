#include "catalogueentries.h"

#include <QDir>
#include <QFile>
#include <QTextCodec>

QMap<QString, QString> CatalogueEntries::findFiles(const QString &folder)
{
    QMap<QString, QString> files;
    const QDir dir(folder);
    if (!dir.exists())
        return files;
    const QString prefix = QStringLiteral("agreement");
    const QFileInfoList entries = dir.entryInfoList(
        QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &info : entries) {
        const QString name = info.fileName();
        if (name.startsWith(prefix) && name.endsWith(QStringLiteral("ini")))
            files.insert(name.mid(prefix.size() + 1, 5), info.absoluteFilePath());
    }
    return files;
}

bool CatalogueEntries::readNames(const QString &path, QStringList *names)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QTextCodec *gbk = QTextCodec::codecForName("GBK");

    enum class Section { None, Accept, Send };
    Section section = Section::None;
    bool inBlock = false;
    while (!file.atEnd()) {
        QByteArray line = file.readLine().simplified();
        if (line.startsWith('[') && line.endsWith(']') && line.size() >= 2) {
            line = line.mid(1, line.size() - 2);
            if (line == "Accept")
                section = Section::Accept;
            else if (line == "Send")
                section = Section::Send;
        }
        if (section == Section::None)
            continue;
        if (line.startsWith('{')) {
            inBlock = true;
        } else if (line.endsWith('}')) {
            inBlock = false;
            if (section == Section::Send)
                section = Section::None;
        } else if (inBlock) {
            QString entry = gbk ? gbk->toUnicode(line) : QString::fromLocal8Bit(line);
            entry.remove(QLatin1Char('"'));
            const int cut = entry.indexOf(QStringLiteral("=="));
            const QString name = cut < 0 ? entry : entry.left(cut);
            if (!names->contains(name))
                names->append(name);
        }
    }
    return true;
}
