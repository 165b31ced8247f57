#include "protocolcatalogue.h"

#include <QFileInfo>

ProtocolCatalogue ProtocolCatalogue::load(const QString &folder, const QString &locale)
{
    ProtocolCatalogue catalogue;
    const AgreementCatalog::ChosenFile chosen = AgreementCatalog::chooseFile(
        QStringLiteral("agreement"), QStringLiteral("ini"), folder, locale);
    if (!chosen.found())
        return catalogue;
    catalogue.m_fileName = QFileInfo(chosen.path).fileName();

    AgreementCatalog::ParseReport report;
    if (!parseAgreementFile(chosen.path, catalogue.m_accept, catalogue.m_send, &report)) {
        catalogue.m_outcome = report.tooLarge ? Outcome::TooLarge : Outcome::Unreadable;
        return catalogue;
    }
    catalogue.m_outcome = Outcome::Loaded;
    catalogue.m_dropped = report.dropped;
    for (auto [entries, keys] : {std::make_pair(&catalogue.m_accept, &catalogue.m_acceptKeys),
                                 std::make_pair(&catalogue.m_send, &catalogue.m_sendKeys)}) {
        keys->reserve(entries->size());
        for (const QString &entry : qAsConst(*entries))
            keys->append(AgreementCatalog::entryKey(entry));
    }
    return catalogue;
}
