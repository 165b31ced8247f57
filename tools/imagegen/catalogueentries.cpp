#include "catalogueentries.h"

#include "agreementcatalog.h"

// The program's own catalogue reader, so the pictures match the names the
// port cards show.
QMap<QString, QString> CatalogueEntries::findFiles(const QString &folder)
{
    QMap<QString, QString> files;
    scanAgreementFiles(files, QStringLiteral("agreement"), QStringLiteral("ini"), folder);
    return files;
}

bool CatalogueEntries::readNames(const QString &path, QStringList *names)
{
    QStringList accept;
    QStringList send;
    if (!parseAgreementFile(path, accept, send))
        return false;
    for (const QString &entry : accept + send) {
        const QString name = AgreementCatalog::entryKey(entry);
        if (!names->contains(name))
            names->append(name);
    }
    return true;
}
