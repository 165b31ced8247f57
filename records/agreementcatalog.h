// Reader of the protocol catalogue files (GBK text with [Accept] and [Send]
// sections); needs no widgets so the simulator and tests can reuse it.
#ifndef AGREEMENTCATALOG_H
#define AGREEMENTCATALOG_H

#include "portrecord.h"

#include <QMap>
#include <QString>
#include <QStringList>

namespace AgreementCatalog
{
// A protocol list offers at most this many entries: positions 0 to 114, the
// ones with a one-byte protocol code (up to 127).
constexpr int MaxEntries = PortRecord::MaxProtocolPosition + 1;
// A catalogue is a few kilobytes; a larger file is not read.
constexpr qint64 MaxFileSize = 1024 * 1024;

// What parseAgreementFile met besides the entries it appended.
struct ParseReport {
    bool tooLarge = false; // over MaxFileSize: not read
    int dropped = 0;       // entries past MaxEntries in a section: not appended
};

// The catalogue folder beside the program.
QString defaultFolder();

// The catalogue for a locale name: the one stored under it, else "en_US",
// else the smallest key; empty when files is empty.
QString choosePath(const QMap<QString, QString> &files, const QString &localeName);

// A file chosen by chooseFile: its absolute path and its locale key; an empty
// path when the folder held none.
struct ChosenFile {
    QString path;
    QString locale;
    bool found() const { return !path.isEmpty(); }
};

// The one rule for catalogues and translations: of the files in folder named
// prefix, a separator, a locale key and suffix (scanAgreementFiles), the one
// choosePath picks for locale.
ChosenFile chooseFile(const QString &prefix, const QString &suffix, const QString &folder,
                      const QString &locale);

// The display name of a catalogue entry: the part before the first "==".
QString entryKey(const QString &entry);

// The help text of the first entry whose key equals text, with backslash-n
// turned into a line feed; empty when no entry with a help text matches.
QString helpText(const QStringList &entries, const QString &text);
} // namespace AgreementCatalog

// Fills files with locale key -> absolute path for every file in folder whose
// name starts with prefix and ends with suffix; true when one was found. The
// key is the five characters after prefix and one separator. Catalogues and
// translations are found this way.
bool scanAgreementFiles(QMap<QString, QString> &files, const QString &prefix, const QString &suffix,
                        const QString &folder = AgreementCatalog::defaultFolder());

// Appends the entries of the [Accept] and [Send] blocks of a catalogue file,
// each list up to MaxEntries; false, with the lists untouched, when the file
// cannot be opened or is over MaxFileSize. Time and memory grow linearly
// with the file, which is read at most once.
bool parseAgreementFile(const QString &path, QStringList &acceptList, QStringList &sendList,
                        AgreementCatalog::ParseReport *report = nullptr);

#endif // AGREEMENTCATALOG_H
