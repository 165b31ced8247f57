#include "startup.h"

#include "installedlocale.h"
#include "messagenotifier.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QPixmapCache>
#include <QTranslator>

bool scanTranslations(QMap<QString, QString> &files, const QString &baseName,
                      const QString &suffix, const QString &dir)
{
    const QDir folder(dir);
    if (!folder.exists())
        return false;
    const QFileInfoList entries = folder.entryInfoList(
        QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (!name.startsWith(baseName, Qt::CaseSensitive) || !name.endsWith(suffix, Qt::CaseSensitive))
            continue;
        files.insert(name.mid(baseName.size() + 1, 5), entry.absoluteFilePath());
    }
    return !files.isEmpty();
}

QString chooseTranslation(const QMap<QString, QString> &files, const QString &locale)
{
    if (files.contains(locale))
        return files.value(locale);
    if (files.contains(QStringLiteral("en_US")))
        return files.value(QStringLiteral("en_US"));
    return files.isEmpty() ? QString() : files.first();
}

bool initLanguage(const QString &dir)
{
    const QString locale = QLocale::system().name();
    QMap<QString, QString> files;
    if (!scanTranslations(files, QStringLiteral("TovrinVazodivuveTool"), QStringLiteral("qm"), dir)) {
        MessageNotifier::critical(QObject::tr("MsgError"), QObject::tr("MsgErrInitLanguage"));
        return false;
    }
    // Installed for the rest of the process; never removed.
    auto *translator = new QTranslator;
    const QString chosen = chooseTranslation(files, locale);
    if (translator->load(chosen)) {
        QCoreApplication::installTranslator(translator);
        InstalledLocale::set(files.key(chosen));
    } else {
        delete translator;
    }
    return true;
}

void disablePixmapCache()
{
    QPixmapCache::setCacheLimit(0);
}
