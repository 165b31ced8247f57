#include "agreementcatalog.h"

#include <QCoreApplication>

QString AgreementCatalog::defaultFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/resources/agreement");
}
