// One device's share of a tovrinctl run: its own ConfigSession and link, the
// steps of the command (version, read, write, read-back) with their retries,
// and the result the run prints for the device.
#ifndef DEVICEJOB_H
#define DEVICEJOB_H

#include "configchanges.h"
#include "configsession.h"
#include "ctloptions.h"
#include "moduleconfig.h"
#include "protocolnames.h"

#include <QJsonObject>
#include <QObject>
#include <QStringList>
#include <QVector>

#include <memory>

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
    QString errorString() const { return m_session.errorString(); }

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
    enum class Stage { Idle, Detect, Read, Confirm, Write, Verify, Done };

    void detect();
    void readModule(Stage stage);
    void writeModule();
    void onVersionRead(ModuleModel model, const QString &firmware);
    void onRecordRead(int port, const QByteArray &record);
    void onFinished(ConfigSession::Operation operation, ConfigSession::Outcome outcome,
                    const QList<int> &refusedPorts);
    void onProgress(ConfigSession::Operation operation, int port, int count);
    void onLinkLost(const QString &reason);
    void afterDetect();
    void afterRead(ConfigSession::Outcome outcome, const QList<int> &refusedPorts);
    bool retry();
    void finishInterrupted(ConfigSession::Outcome outcome);
    QString writtenText(bool inDoubt) const;
    void closeLater();
    void fail(int exitCode, const QString &outcome, const QString &error);
    void succeed(int exitCode, const QString &outcome, const QString &summary);
    QString stepText() const;

    CtlOptions m_options;
    ModuleConfig m_file;
    ProtocolNames::Lookup m_names;
    ConfigSession m_session;
    Stage m_stage = Stage::Idle;
    QVector<ModuleModel> m_candidates; // models still to ask the version as
    int m_tries = 0;                   // repeats of the version query round
    int m_interruptedBy = 0;           // the signal that interrupted the job
    bool m_inDoubt = false;            // the last request got no clear answer
    QString m_step;                    // what is in flight, for messages
    JobResult m_result;
};

#endif // DEVICEJOB_H
