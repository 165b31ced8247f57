// One run of tovrinctl: checks what it was given before anything is sent,
// runs the command on every device at once (a DeviceJob each), asks once for
// confirmation of a write, and prints one result per device.
#ifndef CTLRUN_H
#define CTLRUN_H

#include "ctloptions.h"
#include "interruptwatcher.h"
#include "moduleconfig.h"
#include "protocolnames.h"
#include "statusboard.h"

#include <QEventLoop>
#include <QObject>
#include <QVector>

#include <memory>

class DeviceJob;
class LinkCapture;
struct JobResult;

class CtlRun : public QObject
{
    Q_OBJECT
public:
    explicit CtlRun(const CtlOptions &options, QObject *parent = nullptr);
    ~CtlRun() override;

    // Runs to the end and returns the exit code.
    int exec();

private:
    bool check(QString *error);
    int listHistory();
    void loadTranslation();
    void loadNames();
    QString outputPath(const QString &device) const;
    bool createCaptures(const QStringList &devices, QString *error);
    void onReadyToWrite();
    void onJobDone();
    void onInterrupted(int signalNumber);
    int printResults();
    int printResult(JobResult result, bool several);

    CtlOptions m_options;
    ModuleConfig m_file;
    ProtocolNames::Lookup m_names;
    StatusBoard m_board;
    InterruptWatcher m_interrupts;
    QVector<DeviceJob *> m_jobs;
    QEventLoop m_loop;
    bool m_outputIsFolder = false;
    std::map<QString, std::unique_ptr<LinkCapture>> m_captures; // by device, until its job opens
    bool m_confirmed = false;
};

#endif // CTLRUN_H
