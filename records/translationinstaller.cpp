#include "translationinstaller.h"

#include "agreementcatalog.h"
#include "installedlocale.h"

#include <QCoreApplication>
#include <QTranslator>

TranslationInstaller::Installed TranslationInstaller::install(const QString &folder,
                                                              const QString &locale)
{
    Installed result;
    const AgreementCatalog::ChosenFile chosen = AgreementCatalog::chooseFile(
        QStringLiteral("TovrinVazodivuveTool"), QStringLiteral("qm"), folder, locale);
    if (!chosen.found())
        return result;
    result.found = true;
    result.locale = chosen.locale;
    result.path = chosen.path;
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(chosen.path)) {
        delete translator;
        return result;
    }
    QCoreApplication::installTranslator(translator);
    InstalledLocale::set(chosen.locale);
    result.installed = true;
    return result;
}
