#include "devicejob.h"

#include "configchanges.h"
#include "configfile.h"
#include "linkcapture.h"
#include "transport.h"
#include "writehistory.h"

#include <QJsonArray>

QJsonObject JobResult::toJson() const
{
    QJsonArray changeArray;
    for (const ConfigChanges::Change &change : changes)
        changeArray.append(change.toJson());
    QJsonObject object{
        {QStringLiteral("device"), device},
        {QStringLiteral("model"),
         modelKnown ? QJsonValue(ModuleProfile::name(model)) : QJsonValue()},
        {QStringLiteral("firmware"), firmware.isEmpty() ? QJsonValue() : QJsonValue(firmware)},
        {QStringLiteral("outcome"), outcome},
        {QStringLiteral("exit"), exitCode},
        {QStringLiteral("changes"), changeArray},
        {QStringLiteral("error"), error.isEmpty() ? QJsonValue() : QJsonValue(error)}};
    // Port numbers counted from 1, as in the messages.
    if (writeStarted) {
        QJsonArray ports;
        for (int port : written)
            ports.append(port + 1);
        object.insert(QStringLiteral("written"), ports);
    }
    if (!snapshot.isEmpty())
        object.insert(QStringLiteral("snapshot"), snapshot);
    if (!file.isEmpty())
        object.insert(QStringLiteral("restored"), file);
    return object;
}

DeviceJob::DeviceJob(const QString &device, const CtlOptions &options, const ModuleConfig &file,
                     const ProtocolNames::Lookup &names, QObject *parent)
    : QObject(parent), m_options(options), m_file(file), m_names(names)
{
    m_result.device = device;
    m_workflow.setRetries(m_options.retries);
    if (!m_options.noHistory)
        m_workflow.setHistory(m_options.historyFolder(), m_names);
    connect(&m_workflow, &ModuleWorkflow::versionRead, this, &DeviceJob::onVersionRead);
    connect(&m_workflow, &ModuleWorkflow::finished, this, &DeviceJob::onFinished);
    connect(m_workflow.session(), &ConfigSession::progress, this, &DeviceJob::onProgress);
    connect(m_workflow.session(), &ConfigSession::linkLost, this, &DeviceJob::onLinkLost);
}

DeviceJob::~DeviceJob() = default;

bool DeviceJob::open(std::unique_ptr<Transport> transport)
{
    emit status(QStringLiteral("opening"));
    const bool groundStation = m_options.route == ConfigSession::Route::GroundStation;
    if (m_workflow.open(m_options.route, std::move(transport),
                        groundStation ? QString() : m_result.device))
        return true;
    fail(5, QStringLiteral("open-failed"),
         QStringLiteral("cannot open the port: %1").arg(errorString()));
    return false;
}

void DeviceJob::setCapture(std::unique_ptr<LinkCapture> capture)
{
    m_workflow.session()->setCapture(std::move(capture));
}

// restore --last and provisioning find their file once the module's model
// is known.
bool DeviceJob::needsFile() const
{
    return (m_options.command == CtlOptions::Command::Write ||
            m_options.command == CtlOptions::Command::Diff) &&
           !m_options.last && m_files.isEmpty();
}

void DeviceJob::setFiles(const QVector<ModuleConfig> &files, const QStringList &paths)
{
    m_files = files;
    m_paths = paths;
}

bool DeviceJob::pickFile()
{
    const ModuleModel model = m_workflow.model();
    for (int i = 0; i < m_files.size(); ++i) {
        if (m_files.at(i).model == model) {
            m_file = m_files.at(i);
            m_filePath = m_paths.value(i);
            return true;
        }
    }
    fail(2, QStringLiteral("no-file"),
         QStringLiteral("no file for %1; nothing written").arg(ModuleProfile::name(model)));
    return false;
}

// The file's records, and for the ports a partial file leaves out those the
// module holds.
QVector<PortRecord> DeviceJob::fileRecords() const
{
    return m_file.over(m_workflow.lastRead());
}

// The newest snapshot of this device and the module's model.
bool DeviceJob::pickLastSnapshot()
{
    const QString folder = m_options.historyFolder();
    const QString stem = WriteHistory::deviceStem(m_result.device);
    const ModuleModel model = m_workflow.model();
    const QVector<WriteHistory::Entry> entries = WriteHistory::list(folder);
    for (const WriteHistory::Entry &entry : entries) {
        if (!entry.noted || entry.model != model || WriteHistory::deviceStem(entry.device) != stem)
            continue;
        QString why;
        if (!ConfigFile::load(entry.path, &m_file, &why)) {
            fail(2, QStringLiteral("file-error"),
                 QStringLiteral("%1: %2; nothing written").arg(entry.path, why));
            return false;
        }
        m_result.file = entry.path;
        return true;
    }
    fail(2, QStringLiteral("no-snapshot"),
         QStringLiteral("no snapshot of a %1 on %2 in %3; nothing written")
             .arg(ModuleProfile::name(model), m_result.device, folder));
    return false;
}

void DeviceJob::start()
{
    if (m_stage == Stage::Done)
        return;
    if (m_options.command != CtlOptions::Command::Version && m_options.modelGiven) {
        m_workflow.setModel(m_options.model);
        m_result.model = m_options.model;
        m_result.modelKnown = true;
        if (needsFile() && !m_workflow.fits(m_file)) {
            failModel();
            return;
        }
        m_stage = Stage::Read;
        m_workflow.read();
        return;
    }
    detect();
}

void DeviceJob::detect()
{
    m_stage = Stage::Detect;
    // A bare version reply names the model itself; through the flight
    // controller only a request with the module's device code is answered.
    // The round of version queries is repeated as a whole (retry()).
    QVector<ModuleModel> candidates{m_options.model};
    if (!m_options.modelGiven && m_options.route != ConfigSession::Route::Direct)
        candidates = {ModuleModel::Tovrin, ModuleModel::R7};
    // Both device codes are asked at once: the module's answer ends the
    // round, so finding an R7-Eda costs no watchdog time.
    const auto asking = ModuleWorkflow::Asking::AtOnce;
    if (m_options.command == CtlOptions::Command::Version)
        m_workflow.detect(candidates, asking);
    else
        m_workflow.detectAndRead(candidates, needsFile() ? &m_file : nullptr, asking);
}

void DeviceJob::confirmWrite(bool confirmed)
{
    if (m_stage != Stage::Confirm)
        return;
    if (!confirmed) {
        fail(2, QStringLiteral("declined"), QStringLiteral("write declined; nothing written"));
        return;
    }
    m_stage = Stage::Write;
    m_result.writeStarted = true;
    m_workflow.writeProposed(m_options.verify);
}

void DeviceJob::onVersionRead(ModuleModel model, const QString &firmware)
{
    m_result.model = model;
    m_result.modelKnown = true;
    m_result.firmware = firmware;
    // Every command but the version itself reads on (or stops at the
    // file's model check).
    if (m_options.command != CtlOptions::Command::Version)
        m_stage = Stage::Read;
}

void DeviceJob::onProgress(ConfigSession::Operation operation, int port, int count)
{
    QString text;
    switch (operation) {
    case ConfigSession::Operation::Version:
        text = versionText();
        break;
    case ConfigSession::Operation::Read:
        text = m_workflow.step() == ModuleWorkflow::Step::ReadBack ? QStringLiteral("verifying")
                                                                   : QStringLiteral("reading");
        break;
    case ConfigSession::Operation::Write:
        text = QStringLiteral("writing");
        break;
    }
    if (port >= 0)
        text += QStringLiteral(" port %1/%2").arg(port + 1).arg(count);
    const int retry = m_stage == Stage::Detect ? m_tries : m_workflow.session()->repeats();
    if (retry > 0)
        text += QStringLiteral(" (retry %1)").arg(retry);
    m_step = text;
    emit status(text);
}

// "version (as R7-Eda)": the model of the request that went out last, or of
// the module that answered.
QString DeviceJob::versionText() const
{
    QString text = QStringLiteral("version");
    if (m_options.route != ConfigSession::Route::Direct && !m_options.modelGiven)
        text += QStringLiteral(" (as %1)").arg(ModuleProfile::name(m_workflow.model()));
    return text;
}

void DeviceJob::onFinished(ModuleWorkflow::Step step, ModuleWorkflow::Outcome outcome,
                           const QList<int> &ports)
{
    using Outcome = ModuleWorkflow::Outcome;
    if (m_stage == Stage::Done || m_stage == Stage::Idle || m_stage == Stage::Confirm)
        return;
    if (m_stage == Stage::Write) {
        m_result.written = m_workflow.acknowledgedPorts();
        m_result.snapshot = m_workflow.snapshotPath();
        m_lostDuringWrite =
            outcome == Outcome::LinkLost && m_workflow.step() == ModuleWorkflow::Step::Write;
    }
    m_inDoubt = outcome == Outcome::NoReply || outcome == Outcome::LinkLost ||
                outcome == Outcome::WrongLength || outcome == Outcome::WrongIndex;
    // A version round asks as several models: a message names the one that
    // answered.
    if (step == ModuleWorkflow::Step::Version && m_stage == Stage::Detect &&
        outcome != Outcome::NoReply)
        m_step =
            versionText() + (m_tries > 0 ? QStringLiteral(" (retry %1)").arg(m_tries) : QString());
    if (m_interruptedBy != 0) {
        finishInterrupted(outcome);
        return;
    }
    switch (outcome) {
    case Outcome::Success:
        m_tries = 0;
        break;
    case Outcome::NoReply:
        if (!retry())
            fail(3, QStringLiteral("no-reply"),
                 QStringLiteral("no reply within the watchdog's time (%1)").arg(m_step));
        return;
    case Outcome::Refused:
        fail(4, QStringLiteral("refused"), QStringLiteral("the module refused the write"));
        return;
    case Outcome::WrongLength:
        fail(4, QStringLiteral("wrong-length"),
             QStringLiteral("an answer of the wrong length (%1)").arg(m_step));
        return;
    case Outcome::WrongIndex:
        fail(4, QStringLiteral("wrong-index"),
             QStringLiteral("an answer naming another port (%1)").arg(m_step));
        return;
    case Outcome::LinkLost:
        fail(5, QStringLiteral("link-lost"), QStringLiteral("the link broke (%1)").arg(m_step));
        return;
    case Outcome::Interrupted:
        finishInterrupted(outcome);
        return;
    case Outcome::WrongModel:
        failModel();
        return;
    case Outcome::NoSnapshot:
        // Nothing of the write was sent.
        m_stage = Stage::Read;
        m_result.writeStarted = false;
        fail(2, QStringLiteral("no-snapshot"),
             m_workflow.snapshotError() + QStringLiteral("; nothing written"));
        return;
    case Outcome::RecordRefused:
    case Outcome::Differs:
        break; // a read or a read-back: decided below
    }

    switch (step) {
    case ModuleWorkflow::Step::None:
        return;
    case ModuleWorkflow::Step::Version:
        succeed(0, QStringLiteral("success"),
                ModuleProfile::name(m_workflow.model()) + QLatin1Char(' ') + m_result.firmware);
        return;
    case ModuleWorkflow::Step::Read:
        afterRead(outcome, ports);
        return;
    case ModuleWorkflow::Step::Write:
        succeed(0, QStringLiteral("success"), QStringLiteral("written"));
        return;
    case ModuleWorkflow::Step::ReadBack:
        afterReadBack(outcome, ports);
        return;
    }
}

// Only the version round is repeated here; the session repeats every other
// request itself, the one that went unanswered.
bool DeviceJob::retry()
{
    if (m_stage != Stage::Detect || m_tries >= m_options.retries)
        return false;
    ++m_tries;
    detect();
    return true;
}

void DeviceJob::interrupt(int signalNumber)
{
    if (m_stage == Stage::Done || m_interruptedBy != 0)
        return;
    m_interruptedBy = signalNumber;
    if (m_workflow.isBusy())
        m_workflow.interrupt(); // onFinished reports it
    else
        finishInterrupted(ModuleWorkflow::Outcome::Interrupted);
}

namespace
{
// "1" or "2–4": port numbers counted from 1.
QString portNumbers(int first, int last)
{
    if (first == last)
        return QString::number(first + 1);
    return QStringLiteral("%1–%2").arg(first + 1).arg(last + 1);
}
} // namespace

// What a write that did not end as planned left in the module: the ports it
// acknowledged come first, in order. A request that got no answer, or a wrong
// one, may have been carried out all the same: its ports are named as in
// doubt.
QString DeviceJob::writtenText(bool inDoubt) const
{
    const int count = m_workflow.portCount();
    const int done = m_result.written.size();
    if (inDoubt && m_options.route == ConfigSession::Route::Direct)
        return QStringLiteral("the write was not acknowledged: each port may hold its old record "
                              "or the file's");
    QString text;
    if (done == 0) {
        text = QStringLiteral("no port was acknowledged, the module keeps its old records");
    } else if (done >= count) {
        return QStringLiteral("all %1 ports hold the file's records").arg(count);
    } else {
        const QString held = done == 1
                                 ? QStringLiteral("port 1 holds")
                                 : QStringLiteral("ports %1 hold").arg(portNumbers(0, done - 1));
        const QString rest =
            done == count - 1
                ? QStringLiteral("%1 its old one").arg(count)
                : QStringLiteral("%1 their old ones").arg(portNumbers(done, count - 1));
        text = QStringLiteral("%1 the file's records, %2").arg(held, rest);
    }
    if (inDoubt)
        text += QStringLiteral(" (port %1 was not acknowledged: it may hold either)").arg(done + 1);
    return text;
}

// The outcome is that of the command in flight when the signal came: NoReply
// when its last request went unanswered.
void DeviceJob::finishInterrupted(ModuleWorkflow::Outcome outcome)
{
    const int exitCode = 128 + m_interruptedBy;
    const QString word = QStringLiteral("interrupted");
    if (m_stage != Stage::Write) {
        fail(exitCode, word,
             m_step.isEmpty()
                 ? QStringLiteral("interrupted; nothing was written")
                 : QStringLiteral("interrupted (%1); nothing was written").arg(m_step));
        return;
    }
    const int count = m_workflow.portCount();
    const int done = m_result.written.size();
    const bool inWrite = m_workflow.step() == ModuleWorkflow::Step::Write;
    const bool unanswered = inWrite && outcome == ModuleWorkflow::Outcome::NoReply;
    QString text;
    if (!inWrite || done >= count)
        text =
            QStringLiteral("interrupted after the write: %1; not verified").arg(writtenText(false));
    else if (done == 0)
        text = QStringLiteral("interrupted before any port was acknowledged: %1")
                   .arg(unanswered ? writtenText(true)
                                   : QStringLiteral("the module keeps its old records"));
    else
        text = QStringLiteral("interrupted after port %1 of %2: %3")
                   .arg(done)
                   .arg(count)
                   .arg(writtenText(unanswered));
    if (inWrite && done < count)
        text += QStringLiteral("; run the same command again to finish");
    fail(exitCode, word, text);
}

void DeviceJob::failModel()
{
    QString text =
        QStringLiteral("the file is for model %1, the module is %2")
            .arg(ModuleProfile::name(m_file.model), ModuleProfile::name(m_workflow.model()));
    if (m_options.command == CtlOptions::Command::Write)
        text += QStringLiteral("; nothing written");
    fail(2, QStringLiteral("model-mismatch"), text);
}

namespace
{
QString portTitles(ModuleModel model, const QList<int> &ports)
{
    QStringList titles;
    for (int port : ports)
        titles.append(ModuleProfile::port(model, port).title);
    return titles.join(QStringLiteral(", "));
}
} // namespace

void DeviceJob::afterRead(ModuleWorkflow::Outcome outcome, const QList<int> &refusedPorts)
{
    const ModuleModel model = m_workflow.model();
    const bool refused = outcome == ModuleWorkflow::Outcome::RecordRefused;
    const QString refusal = QStringLiteral("the module holds records the port rules refuse: %1")
                                .arg(portTitles(model, refusedPorts));
    m_result.records = m_workflow.lastRead();
    switch (m_options.command) {
    case CtlOptions::Command::Read:
        if (refused)
            fail(4, QStringLiteral("record-refused"), refusal);
        else
            succeed(0, QStringLiteral("success"),
                    QStringLiteral("read %1 ports").arg(m_result.records.size()));
        return;
    case CtlOptions::Command::Diff:
        m_result.changes = m_workflow.changes(fileRecords(), m_names);
        if (refused)
            fail(4, QStringLiteral("record-refused"), refusal);
        else if (m_result.changes.isEmpty())
            succeed(0, QStringLiteral("equal"), QStringLiteral("equal to the file"));
        else
            succeed(1, QStringLiteral("differ"),
                    QStringLiteral("%1 difference(s) from the file").arg(m_result.changes.size()));
        return;
    case CtlOptions::Command::Write:
        if (m_options.last && !pickLastSnapshot())
            return;
        if (!m_files.isEmpty() && !pickFile())
            return;
        if (!m_file.isComplete() && refused) {
            // A port the file leaves out keeps what the module holds, and
            // that is a record no write may send.
            for (int port : refusedPorts) {
                if (!m_file.covers(port)) {
                    fail(4, QStringLiteral("record-refused"),
                         refusal + QStringLiteral("; the file leaves them as they are, nothing "
                                                  "written"));
                    return;
                }
            }
        }
        // Refused records are shown as such in the change list; the write
        // replaces them.
        m_result.changes = m_workflow.propose(fileRecords(), m_names);
        if (m_result.changes.isEmpty()) {
            succeed(0, QStringLiteral("unchanged"),
                    QStringLiteral("already holds the file's records; nothing written"));
            return;
        }
        m_stage = Stage::Confirm;
        emit status(m_options.yes ? QStringLiteral("changes listed")
                                  : QStringLiteral("waiting for confirmation"));
        emit readyToWrite();
        return;
    case CtlOptions::Command::Version:
    case CtlOptions::Command::History:
    case CtlOptions::Command::Provision: // runs as a write (ProvisionRun)
        return;
    }
}

void DeviceJob::afterReadBack(ModuleWorkflow::Outcome outcome, const QList<int> &ports)
{
    m_result.records = m_workflow.lastRead();
    if (outcome == ModuleWorkflow::Outcome::Success)
        succeed(0, QStringLiteral("success"), QStringLiteral("written and verified"));
    else
        fail(4, QStringLiteral("verify-failed"),
             QStringLiteral("written, but the read-back differs from the file: %1")
                 .arg(portTitles(m_workflow.model(), ports)));
}

void DeviceJob::onLinkLost(const QString &reason)
{
    if (m_stage == Stage::Write && m_workflow.step() == ModuleWorkflow::Step::Write)
        m_lostDuringWrite = true;
    if (m_stage != Stage::Done)
        fail(5, QStringLiteral("link-lost"), QStringLiteral("the link broke: %1").arg(reason));
}

// Not at once: a result may come from inside the transport's own signal.
void DeviceJob::closeLater()
{
    QMetaObject::invokeMethod(
        this, [this] { m_workflow.close(); }, Qt::QueuedConnection);
}

void DeviceJob::fail(int exitCode, const QString &outcome, const QString &error)
{
    m_result.exitCode = exitCode;
    m_result.outcome = outcome;
    m_result.error = error;
    // A write that failed part way says how far it got.
    if (m_stage == Stage::Write && m_workflow.step() == ModuleWorkflow::Step::Write &&
        m_interruptedBy == 0)
        m_result.error += QStringLiteral("; ") + writtenText(m_inDoubt);
    m_result.summary = m_result.error;
    m_stage = Stage::Done;
    closeLater();
    // The result line says why, once; the status line only how it ended.
    emit status(outcome == QLatin1String("declined") ? outcome : QStringLiteral("failed"));
    emit done();
}

void DeviceJob::succeed(int exitCode, const QString &outcome, const QString &summary)
{
    m_result.exitCode = exitCode;
    m_result.outcome = outcome;
    m_result.summary = summary;
    m_stage = Stage::Done;
    closeLater();
    emit status(QStringLiteral("done"));
    emit done();
}
