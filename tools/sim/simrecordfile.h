// The text form of the module's port records, used for --records and --state:
// one line per port, "port N: " and the 11 bytes in upper-case hex, e.g.
//   port 0: 00 00 E1 00 00 00 00 00 00 00 00
// Blank lines and lines starting with '#' are skipped when reading.
#ifndef SIMRECORDFILE_H
#define SIMRECORDFILE_H

#include <QByteArray>
#include <QList>
#include <QString>

class SimRecordFile
{
public:
    static QByteArray format(const QList<QByteArray> &records);
    // Ports must appear once each, numbered 0 .. count-1, in any order.
    static bool parse(const QByteArray &text, int portCount, QList<QByteArray> *records,
                      QString *error);

    static bool load(const QString &path, int portCount, QList<QByteArray> *records,
                     QString *error);
    // Replaces the file as a whole (temporary file and rename), so a reader
    // never sees half of it.
    static bool save(const QString &path, const QList<QByteArray> &records, QString *error);
};

#endif // SIMRECORDFILE_H
