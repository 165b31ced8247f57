// The change list shown before a write: port by port, each field whose value
// differs between two sets of records, in the card's own words.
#ifndef CONFIGCHANGES_H
#define CONFIGCHANGES_H

#include "moduleprofile.h"
#include "portrecord.h"
#include "protocolnames.h"

#include <QCoreApplication>
#include <QStringList>
#include <QVector>

class ConfigChanges
{
    Q_DECLARE_TR_FUNCTIONS(ConfigChanges)
public:
    // Lines like "Uart3 接收功能: 不启用 → 零度标准吊舱", in panel order; empty
    // when no field differs. Labels and list texts are the card's, in the
    // current translation; a value no list item shows appears as its number.
    static QStringList describe(ModuleModel model, const QVector<PortRecord> &before,
                                const QVector<PortRecord> &after,
                                const ProtocolNames::Lookup &names = {});
};

#endif // CONFIGCHANGES_H
