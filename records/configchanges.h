// The change list shown before a write: port by port, each field whose value
// differs between two sets of records, in the card's own words.
#ifndef CONFIGCHANGES_H
#define CONFIGCHANGES_H

#include "moduleprofile.h"
#include "portrecord.h"
#include "protocolnames.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>
#include <QVector>

class ConfigChanges
{
    Q_DECLARE_TR_FUNCTIONS(ConfigChanges)
public:
    // One differing field: where, which (the configuration file's key:
    // "kind", "baud", "parity", "dataBits", "stopBits", "level", "receive",
    // "send", or "record" for bytes no field shows), both values as the file
    // writes them (null where it writes none), and the line describe() gives.
    struct Change {
        int port = 0;
        QString title;
        QString field;
        QJsonValue from;
        QJsonValue to;
        QString text;

        QJsonObject toJson() const;
    };

    // The changes in panel order, field by field.
    static QVector<Change> list(ModuleModel model, const QVector<PortRecord> &before,
                                const QVector<PortRecord> &after,
                                const ProtocolNames::Lookup &names = {});
    // Lines like "Uart3 接收功能: 不启用 → 零度标准吊舱", in panel order; empty
    // when no field differs. Labels and list texts are the card's, in the
    // current translation; a value no list item shows appears as its number.
    static QStringList describe(ModuleModel model, const QVector<PortRecord> &before,
                                const QVector<PortRecord> &after,
                                const ProtocolNames::Lookup &names = {});
};

#endif // CONFIGCHANGES_H
