#include "startup.h"

#include "agreementcatalog.h"
#include "messagenotifier.h"
#include "translationinstaller.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmapCache>
#include <QTranslator>

// Translations and catalogues are found and chosen by one rule.
bool scanTranslations(QMap<QString, QString> &files, const QString &baseName, const QString &suffix,
                      const QString &dir)
{
    return scanAgreementFiles(files, baseName, suffix, dir);
}

QString chooseTranslation(const QMap<QString, QString> &files, const QString &locale)
{
    return AgreementCatalog::choosePath(files, locale);
}

bool initLanguage(const QString &dir)
{
    const TranslationInstaller::Installed installed =
        TranslationInstaller::install(dir, QLocale::system().name());
    if (!installed.found) {
        MessageNotifier::critical(QObject::tr("MsgError"), QObject::tr("MsgErrInitLanguage"));
        return false;
    }
    if (installed.installed)
        installQtTranslation(installed.locale);
    return true;
}

bool installQtTranslation(const QString &locale)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    const QString folder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
    bool installed = false;
    // Installed for the rest of the process, like the program's own.
    for (const QString &part : {QStringLiteral("qtbase"), QStringLiteral("qtserialport")}) {
        auto *translator = new QTranslator;
        if (translator->load(part + QLatin1Char('_') + locale, folder) &&
            QCoreApplication::installTranslator(translator))
            installed = true;
        else
            delete translator;
    }
    return installed;
}

void disablePixmapCache()
{
    QPixmapCache::setCacheLimit(0);
}
