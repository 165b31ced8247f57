// Reader of the protocol catalogue files (GBK text with [Accept] and [Send]
// sections); needs no widgets so the simulator and tests can reuse it.
#ifndef AGREEMENTCATALOG_H
#define AGREEMENTCATALOG_H

#include <QMap>
#include <QString>
#include <QStringList>

namespace AgreementCatalog {
QString defaultFolder();
} // namespace AgreementCatalog

#endif // AGREEMENTCATALOG_H
