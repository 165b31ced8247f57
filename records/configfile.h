// Reader and writer of module configuration files (UTF-8 JSON, extension
// .tovrin.json; docs/config-file.md describes the format). Shared by the
// window and the command-line tool; QtCore only.
#ifndef CONFIGFILE_H
#define CONFIGFILE_H

#include "moduleconfig.h"
#include "protocolnames.h"
#include "writenote.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonValue>
#include <QString>

class ConfigFile
{
    Q_DECLARE_TR_FUNCTIONS(ConfigFile)
public:
    static constexpr int Version = 1;
    static QString suffix() { return QStringLiteral(".tovrin.json"); }

    // The file text for a configuration with one valid record per port of
    // its model. Protocol names come from names; a code it gives no name
    // for is written without one.
    static QByteArray toJson(const ModuleConfig &config, const ProtocolNames::Lookup &names = {});
    // A history snapshot: the module's records as toJson writes them, and
    // after them the write they were taken before.
    static QByteArray toJson(const ModuleConfig &config, const WriteNote &write,
                             const ProtocolNames::Lookup &names = {});
    // The write object of a snapshot's text; false when it has none.
    static bool writeNote(const QByteArray &json, WriteNote *note);
    // Reads file text. On a bad file returns false, sets one translated
    // message in error and leaves config untouched.
    static bool fromJson(const QByteArray &json, ModuleConfig *config, QString *error);

    // One readable field of a port ("kind", "baud", "parity", "dataBits",
    // "stopBits", "level", "receive", "send" or "record") as the file writes
    // it; null where the file writes none (a line setting of a CAN port, a
    // value no list item of the card shows, an invalid record).
    static QJsonValue fieldValue(const QString &field, const PortRecord &record,
                                 const ProtocolNames::Lookup &names = {});

    // Files larger than this are not read (a configuration file has a few
    // kilobytes).
    static constexpr qint64 MaxSize = 1024 * 1024;

    // Whether save may write path: a new name or an existing regular file
    // (never a symbolic link, a device, a FIFO, a socket or a folder), in a
    // folder that exists and takes new files. Touches nothing that is there;
    // callers check before they ask the module for anything.
    static bool checkTarget(const QString &path, QString *error);
    // Writes a temporary file beside path and renames it over path, after
    // checkTarget.
    static bool save(const QString &path, const ModuleConfig &config,
                     const ProtocolNames::Lookup &names, QString *error);
    // Reads only a regular file of at most MaxSize bytes; a FIFO or a device
    // is refused without being opened, so a read never waits for a writer.
    static bool load(const QString &path, ModuleConfig *config, QString *error);
};

#endif // CONFIGFILE_H
