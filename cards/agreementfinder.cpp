#include "agreementfinder.h"

#include "agreementcatalog.h"
#include "messagenotifier.h"

#include <QFileInfo>
#include <QLocale>
#include <QObject>

bool findAgreementFile(QString &fileName)
{
    const QString localeName = QLocale::system().name();
    QMap<QString, QString> files;
    if (!scanAgreementFiles(files, QStringLiteral("agreement"), QStringLiteral("ini"))) {
        MessageNotifier::critical(QObject::tr("MsgError"), QObject::tr("MsgErrAgreeCfg"));
        return false;
    }
    fileName = QFileInfo(AgreementCatalog::choosePath(files, localeName)).fileName();
    return true;
}
