// The record of provisioned units: one line per unit appended to a file that
// several stations may share. A JSON object per line, or CSV with the same
// columns when the path ends in ".csv" (a header line first when the file is
// new). Each line goes out in one write on a file opened for appending, then
// is flushed, so a crash or a full disk never leaves half a line.
#ifndef PROVISIONREPORT_H
#define PROVISIONREPORT_H

#include "configchanges.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QVector>

class ProvisionReport
{
public:
    // What became of one unit, as the report and tovrinctl --json give it.
    struct Unit {
        QDateTime time; // when it ended
        QString device;
        QJsonValue adapter; // see adapterOf()
        QString model;      // empty: not known
        QString firmware;   // empty: not known
        QString file;       // the configuration file used; empty: none
        QString outcome;    // written, unchanged, or the failure's word
        int exitCode = 0;
        QVector<ConfigChanges::Change> changes;
        double seconds = 0;
        QString snapshot; // empty: none taken

        QJsonObject toJson() const;
    };

    explicit ProvisionReport(const QString &path = QString());

    QString path() const { return m_path; }
    bool isCsv() const;
    // Whether a line can be appended (the folder exists, the file, if there,
    // is writable); nothing is created.
    bool check(QString *error) const;
    bool append(const Unit &unit, QString *error) const;

    // The adapter behind a serial device as the system lists it: its serial
    // number, vendor and product ids (four hex digits) and location, each
    // null where the system gives none; null when the system lists no
    // adapter for the device.
    static QJsonValue adapterOf(const QString &device);

    static QByteArray jsonLine(const Unit &unit);
    static QByteArray csvHeader();
    static QByteArray csvLine(const Unit &unit);

private:
    QString m_path;
};

#endif // PROVISIONREPORT_H
