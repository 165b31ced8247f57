// The command line of tovrinctl, read once into a plain value: the route,
// the devices, the command and its arguments. Parsing checks only the words;
// files and devices are checked by the run.
#ifndef CTLOPTIONS_H
#define CTLOPTIONS_H

#include "configsession.h"
#include "moduleprofile.h"

#include <QString>
#include <QStringList>

struct CtlOptions {
    enum class Command { Version, Read, Diff, Write, History, Provision };

    Command command = Command::Version;
    ConfigSession::Route route = ConfigSession::Route::Direct;
    QStringList devices; // --port values, in order; empty for the ground station
    bool modelGiven = false;
    ModuleModel model = ModuleModel::Tovrin;
    QString file;           // diff FILE, write FILE, restore FILE
    QStringList files;      // provision FILE [FILE ...]: one per model
    QString report;         // provision --report PATH
    bool watch = false;     // provision --watch
    bool allSerial = false; // provision --watch --all-serial
    QStringList overlays;   // write|diff FILE --overlay FILE2 ...: laid over FILE in order
    bool restore = false;   // restore: a write of a snapshot
    bool last = false;      // restore --last: each device's newest snapshot of its model
    QString history;        // --history DIR; empty: WriteHistory::defaultFolder()
    bool noHistory = false;
    QString output;  // read -o FILE or folder
    QString capture; // --capture FILE or folder
    bool yes = false;
    bool verify = false;
    bool json = false;
    int retries = 1;
    bool help = false;
    bool version = false; // --version: the tool's own version

    // Fills options from the arguments (program name first); false with one
    // line in error when they make no valid command.
    static bool parse(const QStringList &arguments, CtlOptions *options, QString *error);
    // Each --port names a device that exists, and no two name the same one
    // (a link, ".."), which would be opened twice. Always true on Windows.
    bool devicesDistinct(QString *error) const;
    static QString helpText();

    // The folder snapshots are saved in and listed from.
    QString historyFolder() const;
};

#endif // CTLOPTIONS_H
