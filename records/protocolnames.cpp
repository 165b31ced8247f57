#include "protocolnames.h"

#include "agreementcatalog.h"
#include "portrecord.h"

ProtocolNames::Lookup ProtocolNames::fromCatalogue(const QStringList &acceptList,
                                                   const QStringList &sendList)
{
    return [acceptList, sendList](bool receive, int code) {
        if (code < 0 || code > 255)
            return QString();
        const QStringList &entries = receive ? acceptList : sendList;
        const int position = PortRecord::protocolPosition(qint8(quint8(code)));
        if (position < 0 || position >= entries.size())
            return QString();
        return AgreementCatalog::entryKey(entries.at(position));
    };
}
