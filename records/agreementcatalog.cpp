#include "agreementcatalog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

namespace
{
const QString kSeparator = QStringLiteral("==");

QString decodeGbk(const QByteArray &bytes)
{
    static QTextCodec *const codec = QTextCodec::codecForName("GBK");
    return codec ? codec->toUnicode(bytes) : QString::fromLocal8Bit(bytes);
}
} // namespace

QString AgreementCatalog::defaultFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/resources/agreement");
}

QString AgreementCatalog::choosePath(const QMap<QString, QString> &files, const QString &localeName)
{
    if (files.isEmpty())
        return QString();
    auto it = files.constFind(localeName);
    if (it == files.constEnd())
        it = files.constFind(QStringLiteral("en_US"));
    if (it == files.constEnd())
        it = files.constBegin();
    return it.value();
}

AgreementCatalog::ChosenFile AgreementCatalog::chooseFile(const QString &prefix,
                                                          const QString &suffix,
                                                          const QString &folder,
                                                          const QString &locale)
{
    ChosenFile chosen;
    QMap<QString, QString> files;
    if (!scanAgreementFiles(files, prefix, suffix, folder))
        return chosen;
    chosen.path = choosePath(files, locale);
    chosen.locale = files.key(chosen.path);
    return chosen;
}

QString AgreementCatalog::entryKey(const QString &entry)
{
    const int sep = entry.indexOf(kSeparator);
    return sep < 0 ? entry : entry.left(sep);
}

QString AgreementCatalog::helpText(const QStringList &entries, const QString &text)
{
    for (const QString &entry : entries) {
        const int sep = entry.indexOf(kSeparator);
        if (sep != text.size() || !entry.startsWith(text))
            continue;
        const int start = sep + kSeparator.size();
        const int end = entry.indexOf(kSeparator, start);
        QString help = end < 0 ? entry.mid(start) : entry.mid(start, end - start);
        return help.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    }
    return QString();
}

bool scanAgreementFiles(QMap<QString, QString> &files, const QString &prefix, const QString &suffix,
                        const QString &folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        return false;
    const QFileInfoList entries = dir.entryInfoList(
        QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &info : entries) {
        if (info.isDir())
            continue;
        const QString name = info.fileName();
        if (name.startsWith(prefix) && name.endsWith(suffix))
            files.insert(name.mid(prefix.size() + 1, 5), info.absoluteFilePath());
    }
    return !files.isEmpty();
}

bool parseAgreementFile(const QString &path, QStringList &acceptList, QStringList &sendList,
                        AgreementCatalog::ParseReport *report)
{
    using AgreementCatalog::MaxEntries;
    using AgreementCatalog::MaxFileSize;
    enum class Section { None, Accept, Send };

    AgreementCatalog::ParseReport found;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Read at once and walk its lines; never more than the limit and a byte,
    // also from a file whose size says nothing (a device, a growing file).
    const QByteArray content =
        file.size() > MaxFileSize ? QByteArray() : file.read(MaxFileSize + 1);
    if (file.size() > MaxFileSize || content.size() > MaxFileSize) {
        found.tooLarge = true;
        if (report)
            *report = found;
        return false;
    }
    file.close();

    Section section = Section::None;
    bool blockOpen = false;
    int start = 0;
    while (start < content.size()) {
        int end = content.indexOf('\n', start);
        end = end < 0 ? content.size() : end + 1;
        // Simplifying the raw bytes touches only ASCII white space, which never
        // occurs inside a GBK double-byte character. The structure tests run on
        // the decoded text so that a trail byte such as 0x7D is not taken for '}'.
        QString line = decodeGbk(content.mid(start, end - start).simplified());
        start = end;

        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            line = line.mid(1, line.size() - 2);
            if (line == QLatin1String("Accept"))
                section = Section::Accept;
            else if (line == QLatin1String("Send"))
                section = Section::Send;
        }

        if (section == Section::None)
            continue;
        if (line.startsWith(QLatin1Char('{'))) {
            blockOpen = true;
        } else if (line.endsWith(QLatin1Char('}'))) {
            blockOpen = false;
            if (section == Section::Send)
                section = Section::None;
        } else if (blockOpen) {
            QStringList &list = section == Section::Accept ? acceptList : sendList;
            if (list.size() < MaxEntries)
                list.append(line.remove(QLatin1Char('"')));
            else
                ++found.dropped;
        }
    }
    if (report)
        *report = found;
    return true;
}
