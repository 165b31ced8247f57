#include "moduleworkflow.h"

#include "transport.h"
#include "writehistory.h"

#include <QDateTime>

#include <algorithm>

namespace
{
ModuleWorkflow::Outcome outcomeOf(ConfigSession::Outcome outcome)
{
    using In = ConfigSession::Outcome;
    using Out = ModuleWorkflow::Outcome;
    switch (outcome) {
    case In::Success:
        return Out::Success;
    case In::NoReply:
        return Out::NoReply;
    case In::Refused:
        return Out::Refused;
    case In::WrongLength:
        return Out::WrongLength;
    case In::WrongIndex:
        return Out::WrongIndex;
    case In::RecordRefused:
        return Out::RecordRefused;
    case In::LinkLost:
        return Out::LinkLost;
    case In::Interrupted:
        return Out::Interrupted;
    }
    return Out::NoReply;
}

bool allValid(const QVector<PortRecord> &records)
{
    return std::all_of(records.cbegin(), records.cend(),
                       [](const PortRecord &record) { return record.isValid(); });
}
} // namespace

ModuleWorkflow::ModuleWorkflow(QObject *parent) : QObject(parent)
{
    m_session = new ConfigSession(this);
    m_session->setObjectName(QStringLiteral("configSession"));
    connect(m_session, &ConfigSession::versionRead, this, &ModuleWorkflow::onVersionRead);
    connect(m_session, &ConfigSession::recordRead, this, &ModuleWorkflow::onRecordRead);
    connect(m_session, &ConfigSession::finished, this, &ModuleWorkflow::onFinished);
    // A broken link ends the module known behind it; the command in flight,
    // if any, ends as LinkLost through finished().
    connect(m_session, &ConfigSession::linkLost, this, [this] {
        m_firmware.clear();
        m_held.clear();
    });
}

ModuleWorkflow::~ModuleWorkflow() = default;

bool ModuleWorkflow::open(ConfigSession::Route route, std::unique_ptr<Transport> transport,
                          const QString &device)
{
    forget();
    m_device = device.isEmpty() ? QStringLiteral("ground-station") : device;
    return m_session->open(route, std::move(transport), m_device);
}

void ModuleWorkflow::close()
{
    // A write cut off by the closing of its link.
    if (m_notePending)
        noteWriteEnd(WriteNote::Outcome::Interrupted);
    m_session->close();
    forget();
}

void ModuleWorkflow::forget()
{
    m_firmware.clear();
    m_held.clear();
    m_proposed.clear();
}

void ModuleWorkflow::setHistory(const QString &folder, const ProtocolNames::Lookup &names)
{
    m_historyFolder = folder;
    m_names = names;
}

void ModuleWorkflow::setModel(ModuleModel model)
{
    if (model != m_session->model()) {
        m_held.clear();
        m_proposed.clear();
    }
    m_session->setModel(model);
}

void ModuleWorkflow::detect(const QVector<ModuleModel> &candidates, Asking asking)
{
    m_readAfterVersion = false;
    m_fileGiven = false;
    m_asking = asking;
    m_candidates = candidates.isEmpty() ? QVector<ModuleModel>{model()} : candidates;
    queryNext();
}

void ModuleWorkflow::detectAndRead(const QVector<ModuleModel> &candidates, const ModuleConfig *file,
                                   Asking asking)
{
    detect(candidates, asking);
    m_readAfterVersion = true;
    m_fileGiven = file != nullptr;
    if (file)
        m_fileModel = file->model;
}

void ModuleWorkflow::queryNext()
{
    m_versionSettled = false;
    m_step = Step::Version;
    m_session->setRetries(0);
    if (m_asking == Asking::AtOnce && m_session->route() != ConfigSession::Route::Direct) {
        const QVector<ModuleModel> asked = m_candidates;
        m_candidates.clear();
        setModel(asked.first());
        m_session->queryVersion(asked);
        return;
    }
    setModel(m_candidates.takeFirst());
    m_session->queryVersion();
}

void ModuleWorkflow::read()
{
    startRead(Step::Read);
}

void ModuleWorkflow::startRead(Step step)
{
    m_step = step;
    m_interrupted = false;
    m_proposed.clear();
    m_read = QVector<PortRecord>(portCount());
    m_readRefused = false;
    m_session->setRetries(m_retries);
    m_session->read();
}

void ModuleWorkflow::write(const QVector<PortRecord> &records, bool readBack)
{
    m_step = Step::Write;
    m_interrupted = false;
    m_proposed.clear();
    m_readBack = readBack;
    m_written = records;
    m_snapshotPath.clear();
    m_snapshotError.clear();
    m_session->setRetries(m_retries);
    if (m_historyFolder.isEmpty()) {
        send();
        return;
    }
    if (holdsKnown()) {
        snapshotAndSend();
        return;
    }
    // The snapshot needs what the module holds: read first, the cards untold.
    m_readBeforeWrite = true;
    m_read = QVector<PortRecord>(portCount());
    m_session->read();
}

// The records the module holds, saved before the first byte of the write.
void ModuleWorkflow::snapshotAndSend()
{
    m_snapshot = ModuleConfig{model(), m_firmware, QDateTime::currentDateTimeUtc(),
                              holdsKnown() ? m_held : m_read};
    m_note = WriteNote{m_device, m_written, WriteNote::Outcome::Interrupted};
    if (!WriteHistory::take(m_historyFolder, m_snapshot, m_note, m_names, &m_snapshotPath,
                            &m_snapshotError)) {
        end(Outcome::NoSnapshot);
        return;
    }
    m_notePending = true;
    send();
}

void ModuleWorkflow::noteWriteEnd(WriteNote::Outcome outcome)
{
    m_notePending = false;
    m_note.outcome = outcome;
    QString error;
    // The snapshot itself is saved; a note that cannot be updated leaves it
    // saying "interrupted".
    WriteHistory::update(m_snapshotPath, m_snapshot, m_note, m_names, &error);
}

void ModuleWorkflow::send()
{
    QVector<QByteArray> bytes;
    bytes.reserve(m_written.size());
    for (const PortRecord &record : qAsConst(m_written))
        bytes.append(record.bytes());
    m_session->write(bytes);
}

QVector<ConfigChanges::Change> ModuleWorkflow::propose(const QVector<PortRecord> &records,
                                                       const ProtocolNames::Lookup &names)
{
    m_proposed = records;
    return changes(records, names);
}

bool ModuleWorkflow::writeProposed(bool readBack)
{
    if (m_proposed.isEmpty())
        return false;
    const QVector<PortRecord> records = m_proposed; // write() drops the proposal
    write(records, readBack);
    return true;
}

void ModuleWorkflow::interrupt()
{
    m_interrupted = true;
    m_candidates.clear();
    m_readAfterVersion = false;
    m_readBack = false;
    m_session->interrupt();
}

QVector<ConfigChanges::Change> ModuleWorkflow::changes(const QVector<PortRecord> &proposed,
                                                       const ProtocolNames::Lookup &names) const
{
    if (holdsKnown())
        return ConfigChanges::list(model(), m_held, proposed, names);
    if (m_readRefused)
        return ConfigChanges::list(model(), m_read, proposed, names);
    return {};
}

void ModuleWorkflow::onVersionRead(ModuleModel model, const QString &firmware)
{
    m_candidates.clear();
    // The module answered afresh: what it holds is read again.
    m_held.clear();
    m_proposed.clear();
    setModel(model);
    m_firmware = firmware;
    emit versionRead(model, firmware);
    if (!m_readAfterVersion || m_step != Step::Version)
        return;
    m_readAfterVersion = false;
    // The session's report of this version step follows: not passed on.
    m_versionSettled = true;
    if (m_fileGiven && m_fileModel != model) {
        end(Outcome::WrongModel);
        return;
    }
    // Straight on, as the reply is handled: the read is the version's
    // outcome, and the session's report of the version step is not.
    startRead(Step::Read);
}

void ModuleWorkflow::onRecordRead(int port, const QByteArray &record)
{
    const PortRecord value(record);
    if (port >= 0 && port < m_read.size())
        m_read[port] = value;
    if (!m_readBeforeWrite)
        emit recordRead(port, value);
}

void ModuleWorkflow::onFinished(ConfigSession::Operation operation,
                                ConfigSession::Outcome sessionOutcome,
                                const QList<int> &refusedPorts)
{
    const Outcome outcome = outcomeOf(sessionOutcome);
    switch (operation) {
    case ConfigSession::Operation::Version:
        // Reported by the read it started, or by the file's model check.
        if (outcome == Outcome::Success && m_versionSettled) {
            m_versionSettled = false;
            return;
        }
        if (outcome == Outcome::NoReply && !m_candidates.isEmpty()) {
            queryNext(); // an unanswered query as one model: ask as the next
            return;
        }
        m_candidates.clear();
        m_readAfterVersion = false;
        if (outcome == Outcome::NoReply)
            m_firmware.clear(); // no module is known to be behind the link
        end(outcome);
        return;
    case ConfigSession::Operation::Read:
        if (m_readBeforeWrite) {
            m_readBeforeWrite = false;
            if (outcome == Outcome::Success && allValid(m_read))
                m_held = m_read;
            // Records the rules refuse are the module's all the same: kept.
            const bool whole = (outcome == Outcome::Success || outcome == Outcome::RecordRefused) &&
                               allValid(m_read);
            if (m_interrupted)
                end(Outcome::Interrupted);
            else if (!whole)
                end(outcome == Outcome::Success ? Outcome::WrongLength : outcome);
            else
                snapshotAndSend();
            return;
        }
        afterRead(outcome, refusedPorts);
        return;
    case ConfigSession::Operation::Write:
        if (m_notePending)
            noteWriteEnd(outcome == Outcome::Success       ? WriteNote::Outcome::Success
                         : outcome == Outcome::Interrupted ? WriteNote::Outcome::Interrupted
                                                           : WriteNote::Outcome::Failure);
        // After a failed write the module may hold some of the new records.
        if (outcome != Outcome::Success) {
            m_held.clear();
            end(outcome);
            return;
        }
        m_held = m_written;
        if (m_readBack) {
            m_readBack = false;
            // The write's own finished() is not reported: the read-back is
            // its outcome.
            startRead(Step::ReadBack);
            return;
        }
        end(outcome);
        return;
    }
}

void ModuleWorkflow::afterRead(Outcome outcome, const QList<int> &refusedPorts)
{
    if (outcome == Outcome::Success && allValid(m_read))
        m_held = m_read;
    // Some of what the module holds is known to be records the rules refuse.
    m_readRefused = outcome == Outcome::RecordRefused;
    if (m_readRefused)
        m_held.clear();
    if (m_step != Step::ReadBack) {
        end(outcome, refusedPorts);
        return;
    }
    if (outcome != Outcome::Success && outcome != Outcome::RecordRefused) {
        end(outcome);
        return;
    }
    QList<int> differing;
    for (int i = 0; i < m_written.size(); ++i) {
        if (m_read.value(i) != m_written.at(i))
            differing.append(i);
    }
    if (differing.isEmpty() && outcome == Outcome::Success)
        end(Outcome::Success);
    else
        end(Outcome::Differs, differing.isEmpty() ? refusedPorts : differing);
}

void ModuleWorkflow::end(Outcome outcome, const QList<int> &ports)
{
    emit finished(m_step, outcome, ports);
}
