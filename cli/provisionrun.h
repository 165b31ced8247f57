// tovrinctl provision: brings every module to the file of its model without
// asking (the command is the consent). Each unit finds the model, takes that
// model's file, reads the module (the snapshot), writes only when the module
// does not already hold the result, reads back and compares, then prints one
// line and appends one report line. Without --watch the devices given run at
// once; with --watch the run is a station that serves every module plugged
// into a watched path, once per appearance, until SIGINT or SIGTERM. A
// summary ends the run: the count per outcome, every failed device with its
// error and one command that redoes only those.
#ifndef PROVISIONRUN_H
#define PROVISIONRUN_H

#include "ctloptions.h"
#include "devicewatcher.h"
#include "interruptwatcher.h"
#include "moduleconfig.h"
#include "protocolnames.h"
#include "provisionreport.h"
#include "statusboard.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QJsonValue>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QVector>

class DeviceJob;

class ProvisionRun : public QObject
{
    Q_OBJECT
public:
    explicit ProvisionRun(const CtlOptions &options, QObject *parent = nullptr);
    ~ProvisionRun() override;

    // Runs to the end and returns the exit code.
    int exec();

private:
    // A watched device: how often it appeared, how many of those were served.
    struct Seat {
        bool present = false;
        int appearances = 0;
        int served = 0;
        DeviceJob *job = nullptr;
        int line = -1;
        QElapsedTimer clock;
        QJsonValue adapter; // of the unit on it, looked up as it starts
    };
    struct Failure {
        QString device;
        QString error;
    };

    bool loadFiles(QString *error);
    void onAppeared(const QString &device);
    void onDisappeared(const QString &device);
    void serve(const QString &device);
    void onUnitDone(const QString &device);
    void onInterrupted(int signalNumber);
    void quitWhenIdle();
    void printSummary() const;
    QString redoCommand() const;

    CtlOptions m_options;
    CtlOptions m_jobOptions; // a write with read-back that never asks
    QVector<ModuleConfig> m_files;
    ProtocolNames::Lookup m_names;
    ProvisionReport m_report;
    StatusBoard m_board;
    InterruptWatcher m_interrupts;
    DeviceWatcher *m_watcher = nullptr;
    QMap<QString, Seat> m_seats;
    QEventLoop m_loop;
    bool m_stopping = false;
    int m_worst = 0;
    int m_units = 0;
    QMap<QString, int> m_outcomes; // outcome word -> units
    QVector<Failure> m_failures;
};

#endif // PROVISIONRUN_H
