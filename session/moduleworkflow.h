// Everything known about the module behind one configuration session, and the
// steps that change what is known: open, version (as one model or several in
// turn), read, write with an optional read-back. It owns the session and the
// records the module holds: those of the last complete read, or of the last
// write it acknowledged whole, forgotten when a write fails, the link closes
// or the model changes. With a history folder it saves what the module holds
// before every write, and notes how the write ended (WriteHistory). It
// reports what happened as signals and never words it for a window or a
// terminal; the main window and tovrinctl both stand on it.
#ifndef MODULEWORKFLOW_H
#define MODULEWORKFLOW_H

#include "configchanges.h"
#include "configsession.h"
#include "moduleconfig.h"
#include "portrecord.h"
#include "protocolnames.h"
#include "writenote.h"

#include <QList>
#include <QObject>
#include <QVector>

#include <memory>

class Transport;

class ModuleWorkflow : public QObject
{
    Q_OBJECT
public:
    // What a step of the workflow was.
    enum class Step { None, Version, Read, Write, ReadBack };
    Q_ENUM(Step)
    // How a step ended: the session's outcomes, and the two the workflow
    // decides itself.
    enum class Outcome {
        Success,
        NoReply,
        Refused,
        WrongLength,
        WrongIndex,
        RecordRefused,
        LinkLost,
        Interrupted,
        WrongModel, // the module is not of the model a file is for: nothing read
        Differs,    // the read-back differs from what was written
        NoSnapshot, // the snapshot before a write could not be saved: nothing sent
    };
    Q_ENUM(Outcome)

    explicit ModuleWorkflow(QObject *parent = nullptr);
    ~ModuleWorkflow() override;

    // The conversation, for its route, link, retries and progress signals.
    ConfigSession *session() const { return m_session; }

    // Opening or closing a link forgets the module behind the last one.
    // device names the link in snapshots (empty: the ground station).
    bool open(ConfigSession::Route route, std::unique_ptr<Transport> transport,
              const QString &device = QString());
    void close();
    bool isOpen() const { return m_session->isOpen(); }

    // The model commands are framed for: set by the user, or by the module's
    // version reply. Another model forgets what the module holds.
    ModuleModel model() const { return m_session->model(); }
    void setModel(ModuleModel model);
    int portCount() const { return m_session->portCount(); }
    // The firmware of the last version reply on this link; empty before one.
    QString firmware() const { return m_firmware; }
    bool modelDetected() const { return !m_firmware.isEmpty(); }

    // How often an unanswered read or write request is sent again (see
    // ConfigSession::setRetries). Version queries are never repeated one by
    // one: a caller repeats the whole round of detect().
    void setRetries(int repeats) { m_retries = qMax(0, repeats); }

    // Where a snapshot of the module's records is saved before every write;
    // empty (the default): none is. Names lend the snapshot's readable
    // fields their protocol names.
    void setHistory(const QString &folder, const ProtocolNames::Lookup &names = {});
    QString historyFolder() const { return m_historyFolder; }
    // The snapshot of the last write; empty when none was taken.
    QString snapshotPath() const { return m_snapshotPath; }
    // Why the last write's snapshot could not be saved (NoSnapshot), naming
    // the folder.
    QString snapshotError() const { return m_snapshotError; }

    // How detect() asks as several models through the flight controller or
    // the ground station: one after the other, each with a watchdog time of
    // its own, or all at once, the requests back to back under one watchdog
    // time (see ConfigSession::queryVersion()).
    enum class Asking { InTurn, AtOnce };
    Q_ENUM(Asking)

    // Asks the version, as each candidate model until one answers (none: as
    // the current model); a bare reply names the model itself.
    void detect(const QVector<ModuleModel> &candidates = {}, Asking asking = Asking::InTurn);
    // As detect(), then reads the module. With a file, a module of another
    // model ends the step as WrongModel and nothing is read.
    void detectAndRead(const QVector<ModuleModel> &candidates = {},
                       const ModuleConfig *file = nullptr, Asking asking = Asking::InTurn);
    void read();
    // Writes one record per port, port 0 first; with readBack, reads the
    // module afterwards and compares (the ReadBack step). With a history
    // folder, what the module holds is saved there first, read first when
    // not known (without recordRead signals); a snapshot that cannot be
    // saved ends the write as NoSnapshot before anything is sent.
    void write(const QVector<PortRecord> &records, bool readBack = false);
    // Sends nothing new; the request in flight may still end (see
    // ConfigSession::interrupt).
    void interrupt();
    bool isBusy() const { return m_session->isBusy(); }
    // The step in progress, or the last one after it ended.
    Step step() const { return m_step; }

    // What the module holds, port 0 first; empty when not known.
    QVector<PortRecord> held() const { return m_held; }
    bool holdsKnown() const { return !m_held.isEmpty(); }
    // The records of the last read (or read-back), port 0 first: invalid
    // where none was accepted.
    QVector<PortRecord> lastRead() const { return m_read; }
    // The records of the last write.
    QVector<PortRecord> written() const { return m_written; }
    // The ports whose records the module acknowledged in the last write.
    QList<int> acknowledgedPorts() const { return m_session->acknowledgedPorts(); }

    // Whether a file is for the model the module is (or is set to).
    bool fits(const ModuleConfig &file) const { return file.model == model(); }
    // What writing records would change in what the module holds, field by
    // field; empty when nothing would, or when nothing is known (see
    // holdsKnown()). After a read the rules refused for some ports, those
    // ports count as holding an unknown record, which any record changes.
    QVector<ConfigChanges::Change> changes(const QVector<PortRecord> &proposed,
                                           const ProtocolNames::Lookup &names = {}) const;

    // The records a write would send, frozen with the change list shown to
    // the user (see changes()): what writeProposed() sends, whatever changes
    // in the front end meanwhile. Dropped when the module's records are read
    // afresh, the model changes, the link opens or closes, or a write starts.
    QVector<ConfigChanges::Change> propose(const QVector<PortRecord> &records,
                                           const ProtocolNames::Lookup &names = {});
    bool hasProposal() const { return !m_proposed.isEmpty(); }
    QVector<PortRecord> proposal() const { return m_proposed; }
    void dropProposal() { m_proposed.clear(); }
    // Writes the proposal, as write() does; false, with nothing sent, when
    // there is none.
    bool writeProposed(bool readBack = false);

signals:
    // A version reply: the model is set to the one it names.
    void versionRead(ModuleModel model, const QString &firmware);
    // A record of a read that the port's rules accept, in the order read.
    void recordRead(int port, const PortRecord &record);
    // A step ended. ports: for a read, the ports whose record the rules
    // refused; for a read-back, the ports that differ from what was written.
    void finished(ModuleWorkflow::Step step, ModuleWorkflow::Outcome outcome,
                  const QList<int> &ports);

private:
    void queryNext();
    void startRead(Step step);
    void onVersionRead(ModuleModel model, const QString &firmware);
    void onRecordRead(int port, const QByteArray &record);
    void onFinished(ConfigSession::Operation operation, ConfigSession::Outcome outcome,
                    const QList<int> &refusedPorts);
    void afterRead(Outcome outcome, const QList<int> &refusedPorts);
    void end(Outcome outcome, const QList<int> &ports = {});
    void forget();
    void snapshotAndSend();
    void send();
    void noteWriteEnd(WriteNote::Outcome outcome);

    ConfigSession *m_session = nullptr;
    Step m_step = Step::None;
    QVector<ModuleModel> m_candidates; // models still to ask the version as
    Asking m_asking = Asking::InTurn;
    bool m_readAfterVersion = false;
    bool m_versionSettled = false; // the version step's outcome is reported already
    bool m_fileGiven = false;
    ModuleModel m_fileModel = ModuleModel::Tovrin;
    bool m_readBack = false;
    bool m_readRefused = false;     // the last read ended with refused records
    bool m_readBeforeWrite = false; // the read in flight is the write's snapshot
    bool m_interrupted = false;     // interrupt() since the step started
    int m_retries = 0;
    QString m_firmware;
    QVector<PortRecord> m_held;
    QVector<PortRecord> m_read;
    QVector<PortRecord> m_written;
    QVector<PortRecord> m_proposed;
    QString m_device;
    QString m_historyFolder;
    ProtocolNames::Lookup m_names;
    // The snapshot of the write in flight, written again when it ends.
    ModuleConfig m_snapshot;
    WriteNote m_note;
    bool m_notePending = false;
    QString m_snapshotPath;
    QString m_snapshotError;
};

#endif // MODULEWORKFLOW_H
