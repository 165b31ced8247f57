// The history folder: a snapshot of the module's records saved before every
// write, as an ordinary configuration file with a "write" object that says
// what was sent and how the write ended. Files are only ever added; the
// program deletes none. QtCore only.
#ifndef WRITEHISTORY_H
#define WRITEHISTORY_H

#include "moduleconfig.h"
#include "protocolnames.h"
#include "writenote.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QVector>

class WriteHistory
{
    Q_DECLARE_TR_FUNCTIONS(WriteHistory)
public:
    // One snapshot as the folder lists it.
    struct Entry {
        QString path;
        QDateTime time; // when it was taken (the file's "saved")
        QString device;
        ModuleModel model = ModuleModel::Tovrin;
        QString firmware;
        bool noted = false; // it has a write object: outcome is known
        WriteNote::Outcome outcome = WriteNote::Outcome::Interrupted;
    };

    // TOVRIN_HISTORY_DIR when set, else "history" in the program's data
    // folder (~/.local/share/TovrinVazodivuveTool/history on Linux, under
    // %LOCALAPPDATA% on Windows), for the window and tovrinctl alike.
    static QString defaultFolder();
    // The part of a device name a snapshot's file name carries: ttyUSB0 for
    // /dev/ttyUSB0, COM3, ground-station.
    static QString deviceStem(const QString &device);

    // Saves config (what the module holds) with note into a new file of
    // folder, made if missing: named by UTC time, device and model, never
    // over an existing file. False, with a message naming the folder and the
    // reason, when nothing could be saved.
    static bool take(const QString &folder, const ModuleConfig &config, const WriteNote &note,
                     const ProtocolNames::Lookup &names, QString *path, QString *error);
    // Writes the snapshot at path again with note (the write's outcome).
    static bool update(const QString &path, const ModuleConfig &config, const WriteNote &note,
                       const ProtocolNames::Lookup &names, QString *error);

    // The configuration files of folder, newest first; files that are not
    // configuration files are left out.
    static QVector<Entry> list(const QString &folder);
};

#endif // WRITEHISTORY_H
