// One device's share of a tovrinctl run: its own module workflow and link,
// the command's use of it (which steps, how often the version round is
// repeated, when to wait for the terminal's answer), and the result the run
// prints for the device.
#ifndef DEVICEJOB_H
#define DEVICEJOB_H

#include "configchanges.h"
#include "ctloptions.h"
#include "moduleconfig.h"
#include "moduleworkflow.h"
#include "protocolnames.h"

#include <QJsonObject>
#include <QObject>
#include <QStringList>
#include <QVector>

#include <memory>

class LinkCapture;

struct JobResult {
    QString device;
    bool modelKnown = false;
    ModuleModel model = ModuleModel::Tovrin;
    QString firmware;
    int exitCode = 0;
    QString outcome = QStringLiteral("success"); // a word for scripts
    QString summary;                             // the result line's text
    QString error;                               // empty on success
    QVector<ConfigChanges::Change> changes;
    QVector<PortRecord> records; // what a read gave, in port order
    bool writeStarted = false;   // the write went out: written says how far
    QList<int> written;          // ports the module acknowledged, port 0 first
    QString file;                // restore --last: the snapshot restored
    QString snapshot;            // the snapshot taken before the write

    QJsonObject toJson() const;
};

class DeviceJob : public QObject
{
    Q_OBJECT
public:
    DeviceJob(const QString &device, const CtlOptions &options, const ModuleConfig &file,
              const ProtocolNames::Lookup &names, QObject *parent = nullptr);
    ~DeviceJob() override;

    // Opens the device's link; on failure the job is finished with exit 5
    // and errorString() says why. Nothing is sent.
    bool open(std::unique_ptr<Transport> transport);
    // Records the link that open() opens.
    void setCapture(std::unique_ptr<LinkCapture> capture);
    QString errorString() const { return m_workflow.session()->errorString(); }

    // Provisioning: the file is the one of these for the module's model,
    // picked once the model is known; a model none is for fails the job
    // ("no-file") with nothing written. Set before start().
    void setFiles(const QVector<ModuleConfig> &files, const QStringList &paths);
    // The path of the file picked for the module; empty before or without.
    QString filePath() const { return m_filePath; }
    // The module's link lost under a write in flight.
    bool lostDuringWrite() const { return m_lostDuringWrite; }

    void start();
    // After readyToWrite: go on with the write, or leave the module alone.
    void confirmWrite(bool confirmed);
    // SIGINT or SIGTERM: nothing new is sent; the request in flight may end
    // (at most one watchdog time), then the job finishes as interrupted
    // (exit 128 + the signal's number) and says what the module holds.
    void interrupt(int signalNumber);

    bool isFinished() const { return m_stage == Stage::Done; }
    bool isWaiting() const { return m_stage == Stage::Confirm; }
    const JobResult &result() const { return m_result; }

signals:
    void status(const QString &text);
    // A write's change list is known; the job waits for confirmWrite().
    void readyToWrite();
    void done();

private:
    enum class Stage { Idle, Detect, Read, Confirm, Write, Done };

    void detect();
    bool needsFile() const;
    bool pickLastSnapshot();
    bool pickFile();
    QVector<PortRecord> fileRecords() const;
    void onVersionRead(ModuleModel model, const QString &firmware);
    void onFinished(ModuleWorkflow::Step step, ModuleWorkflow::Outcome outcome,
                    const QList<int> &ports);
    void onProgress(ConfigSession::Operation operation, int port, int count);
    QString versionText() const;
    void onLinkLost(const QString &reason);
    void afterRead(ModuleWorkflow::Outcome outcome, const QList<int> &refusedPorts);
    void afterReadBack(ModuleWorkflow::Outcome outcome, const QList<int> &ports);
    bool retry();
    void finishInterrupted(ModuleWorkflow::Outcome outcome);
    void failModel();
    QString writtenText(bool inDoubt) const;
    void closeLater();
    void fail(int exitCode, const QString &outcome, const QString &error);
    void succeed(int exitCode, const QString &outcome, const QString &summary);
    QString stepText() const;

    CtlOptions m_options;
    ModuleConfig m_file;
    ProtocolNames::Lookup m_names;
    ModuleWorkflow m_workflow;
    Stage m_stage = Stage::Idle;
    int m_tries = 0;               // repeats of the version query round
    int m_interruptedBy = 0;       // the signal that interrupted the job
    bool m_inDoubt = false;        // the last request got no clear answer
    QString m_step;                // what is in flight, for messages
    QVector<ModuleConfig> m_files; // provisioning: one file per model
    QStringList m_paths;           // of m_files
    QString m_filePath;            // of the file picked
    bool m_lostDuringWrite = false;
    JobResult m_result;
};

#endif // DEVICEJOB_H
