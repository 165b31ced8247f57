#include "cataloguenotice.h"

#include "messagenotifier.h"
#include "protocolcatalogue.h"

#include <QObject>

void CatalogueNotice::show(const ProtocolCatalogue &catalogue)
{
    switch (catalogue.outcome()) {
    case ProtocolCatalogue::Outcome::NoCatalogue:
        MessageNotifier::critical(QObject::tr("MsgError"), QObject::tr("MsgErrAgreeCfg"));
        break;
    case ProtocolCatalogue::Outcome::TooLarge:
        MessageNotifier::critical(
            QObject::tr("MsgError"),
            QObject::tr("MsgErrAgreeTooLarge")
                .arg(catalogue.fileName(), QString::number(AgreementCatalog::MaxFileSize / 1024)));
        break;
    case ProtocolCatalogue::Outcome::Unreadable:
        break;
    case ProtocolCatalogue::Outcome::Loaded:
        // The program works on with the entries that have a code.
        if (catalogue.dropped() > 0)
            qWarning("Protocol catalogue %s: %d entries past the first %d of a section are not "
                     "offered (no protocol code left for them)",
                     qUtf8Printable(catalogue.fileName()), catalogue.dropped(),
                     AgreementCatalog::MaxEntries);
        break;
    }
}
