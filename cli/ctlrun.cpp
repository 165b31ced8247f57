#include "ctlrun.h"

#include "configfile.h"
#include "ctloutput.h"
#include "devicejob.h"
#include "linkcapture.h"
#include "printabletext.h"
#include "protocolcatalogue.h"
#include "translationinstaller.h"
#include "transport.h"
#include "writehistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocale>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace
{
using CtlOutput::printLine;
using CtlOutput::warn;
const QString kGroundStation = CtlOutput::groundStation();

// A message and what became of the run: a message that is a sentence of
// its own (the file reader's are) gets a second sentence, others a clause.
QString withOutcome(const QString &message, const QString &outcome)
{
    if (message.endsWith(QLatin1Char('.')) || message.endsWith(QChar(0x3002)))
        return message + QLatin1Char(' ') + outcome.at(0).toUpper() + outcome.mid(1) +
               QLatin1Char('.');
    return message + QStringLiteral("; ") + outcome + QLatin1Char('.');
}

// A device's own file in a folder: its name without /dev/, or its last part.
QString deviceFile(const QString &folder, const QString &device, const QString &suffix)
{
    QString stem;
    if (device == kGroundStation)
        stem = kGroundStation;
    else if (device.startsWith(QLatin1String("/dev/")))
        stem = device.mid(5).replace(QLatin1Char('/'), QLatin1Char('-'));
    else
        stem = QFileInfo(device).fileName();
    return QDir(folder).filePath(stem + suffix);
}

QString countOf(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}
} // namespace

CtlRun::CtlRun(const CtlOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_board(StatusBoard::stderrIsTerminal())
{
}

CtlRun::~CtlRun()
{
    qDeleteAll(m_jobs);
}

// The window's rule: the file of the system locale, else en_US, else the
// first. The catalogue only lends names to the files and change lists.
void CtlRun::loadTranslation()
{
    TranslationInstaller::install(QCoreApplication::applicationDirPath(), QLocale::system().name());
}

void CtlRun::loadNames()
{
    m_names = ProtocolCatalogue::load().names();
}

bool CtlRun::check(QString *error)
{
    if (!m_options.file.isEmpty()) {
        const QFileInfo info(m_options.file);
        if (!info.exists()) {
            *error = QStringLiteral("%1: no such file").arg(m_options.file);
            return false;
        }
        QString why;
        if (!ConfigFile::load(m_options.file, &m_file, &why)) {
            *error = QStringLiteral("%1: %2").arg(m_options.file, why);
            return false;
        }
    }
    // Each overlay over what came before it, port by port.
    for (const QString &path : qAsConst(m_options.overlays)) {
        if (!QFileInfo::exists(path)) {
            *error = QStringLiteral("%1: no such file").arg(path);
            return false;
        }
        ModuleConfig overlay;
        QString why;
        if (!ConfigFile::load(path, &overlay, &why)) {
            *error = QStringLiteral("%1: %2").arg(path, why);
            return false;
        }
        if (overlay.model != m_file.model) {
            *error = QStringLiteral("%1: the overlay is for model %2, %3 is for %4")
                         .arg(path, ModuleProfile::name(overlay.model), m_options.file,
                              ModuleProfile::name(m_file.model));
            return false;
        }
        m_file.overlay(overlay);
    }
    if (m_options.command == CtlOptions::Command::Write && !m_options.yes &&
        !StatusBoard::stdinIsTerminal()) {
        *error = QStringLiteral("write asks for confirmation, but stdin is no terminal: "
                                "give --yes to write without asking");
        return false;
    }
    if (!m_options.devicesDistinct(error))
        return false;
    if (!m_options.output.isEmpty()) {
        const QFileInfo info(m_options.output);
        m_outputIsFolder = m_options.devices.size() > 1 || info.isDir();
        if (m_outputIsFolder && !QDir().mkpath(m_options.output)) {
            *error = QStringLiteral("cannot make the folder '%1'").arg(m_options.output);
            return false;
        }
        // Every file the run will save, checked before the module is asked.
        const QStringList devices = m_options.route == ConfigSession::Route::GroundStation
                                        ? QStringList{kGroundStation}
                                        : m_options.devices;
        for (const QString &device : devices) {
            if (!ConfigFile::checkTarget(outputPath(device), error))
                return false;
        }
    }
    return true;
}

QString CtlRun::outputPath(const QString &device) const
{
    if (!m_outputIsFolder)
        return m_options.output;
    return deviceFile(m_options.output, device, ConfigFile::suffix());
}

// One capture per device, named as read -o names its files, every one
// created before any link opens.
bool CtlRun::createCaptures(const QStringList &devices, QString *error)
{
    if (m_options.capture.isEmpty())
        return true;
    const bool folder = devices.size() > 1 || QFileInfo(m_options.capture).isDir();
    if (folder && !QDir().mkpath(m_options.capture)) {
        *error = QStringLiteral("cannot make the folder '%1'").arg(m_options.capture);
        return false;
    }
    for (const QString &device : devices) {
        const QString path = folder ? deviceFile(m_options.capture, device, LinkCapture::suffix())
                                    : m_options.capture;
        auto capture = std::make_unique<LinkCapture>(path);
        QString why;
        if (!capture->create(&why)) {
            *error = QStringLiteral("cannot create the capture '%1': %2").arg(path, why);
            return false;
        }
        m_captures[device] = std::move(capture);
    }
    return true;
}

// The history folder's snapshots, newest first: one line each, or one JSON
// object each.
int CtlRun::listHistory()
{
    const QString folder = m_options.historyFolder();
    const QString device = m_options.devices.value(0);
    int shown = 0;
    for (const WriteHistory::Entry &entry : WriteHistory::list(folder)) {
        if (!device.isEmpty() &&
            WriteHistory::deviceStem(entry.device) != WriteHistory::deviceStem(device))
            continue;
        ++shown;
        const QString outcome = entry.noted ? WriteNote::word(entry.outcome) : QStringLiteral("-");
        const QString time =
            entry.time.isValid()
                ? entry.time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss'Z'"))
                : QStringLiteral("-");
        if (m_options.json) {
            const QJsonObject object{
                {QStringLiteral("time"), entry.time.isValid()
                                             ? QJsonValue(entry.time.toUTC().toString(Qt::ISODate))
                                             : QJsonValue()},
                {QStringLiteral("device"), entry.noted ? QJsonValue(entry.device) : QJsonValue()},
                {QStringLiteral("model"), ModuleProfile::name(entry.model)},
                {QStringLiteral("firmware"),
                 entry.firmware.isEmpty() ? QJsonValue() : QJsonValue(entry.firmware)},
                {QStringLiteral("outcome"), entry.noted ? QJsonValue(outcome) : QJsonValue()},
                {QStringLiteral("file"), entry.path}};
            printLine(stdout,
                      QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
            continue;
        }
        const QStringList columns{time,
                                  entry.noted ? entry.device : QStringLiteral("-"),
                                  ModuleProfile::name(entry.model),
                                  entry.firmware.isEmpty() ? QStringLiteral("-") : entry.firmware,
                                  outcome,
                                  entry.path};
        printLine(stdout, PrintableText::escaped(columns.join(QStringLiteral("  "))));
    }
    if (shown == 0)
        warn(device.isEmpty() ? QStringLiteral("no snapshots in %1").arg(folder)
                              : QStringLiteral("no snapshots of %1 in %2").arg(device, folder));
    return 0;
}

int CtlRun::exec()
{
    if (m_options.command == CtlOptions::Command::History)
        return listHistory();
    loadTranslation();
    loadNames();
    const bool groundStation = m_options.route == ConfigSession::Route::GroundStation;
    const QStringList devices = groundStation ? QStringList{kGroundStation} : m_options.devices;
    QString error;
    if (!check(&error) || !createCaptures(devices, &error)) {
        warn(withOutcome(error, QStringLiteral("nothing sent")));
        return 2;
    }

    // From here on a signal lets each job end its exchange in flight.
    m_interrupts.install();
    connect(&m_interrupts, &InterruptWatcher::interrupted, this, &CtlRun::onInterrupted);

    // Each job starts as soon as its link is open: its first request is on
    // the wire while the next port opens (a lock file and a sync each). The
    // ground station is the only device of its run, so a taken UDP port
    // still stops the run with nothing sent.
    for (const QString &device : devices) {
        auto *job = new DeviceJob(device, m_options, m_file, m_names);
        m_jobs.append(job);
        const int line = m_board.add(device);
        connect(job, &DeviceJob::status, this,
                [this, line](const QString &text) { m_board.set(line, text); });
        connect(job, &DeviceJob::readyToWrite, this, &CtlRun::onReadyToWrite, Qt::QueuedConnection);
        connect(job, &DeviceJob::done, this, &CtlRun::onJobDone, Qt::QueuedConnection);
        if (m_captures.count(device))
            job->setCapture(std::move(m_captures[device]));
        if (!job->open(ConfigSession::createTransport(m_options.route, device)) && groundStation) {
            warn(QStringLiteral("cannot receive on UDP 127.0.0.1:6161 (%1); is another program "
                                "using it? Nothing sent.")
                     .arg(job->errorString()));
            return 2;
        }
        job->start();
    }
    onJobDone();
    if (std::any_of(m_jobs.cbegin(), m_jobs.cend(),
                    [](DeviceJob *job) { return !job->isFinished(); }))
        m_loop.exec();
    return printResults();
}

void CtlRun::onReadyToWrite()
{
    if (m_confirmed)
        return;
    bool anyWaiting = false;
    for (DeviceJob *job : qAsConst(m_jobs)) {
        if (!job->isFinished() && !job->isWaiting())
            return; // asked once, when every change list is known
        anyWaiting = anyWaiting || job->isWaiting();
    }
    if (!anyWaiting)
        return;
    m_confirmed = true;
    const bool several = m_jobs.size() > 1;
    std::FILE *out = m_options.json ? stderr : stdout;
    QStringList targets; // "R7-Eda V2.3.1 on /dev/ttyUSB0", with its count when several
    int total = 0;
    for (DeviceJob *job : qAsConst(m_jobs)) {
        if (!job->isWaiting())
            continue;
        const JobResult &result = job->result();
        if (several)
            printLine(out, result.device + QLatin1Char(':'));
        for (const ConfigChanges::Change &change : result.changes)
            printLine(out, several ? QStringLiteral("  ") + change.text : change.text);
        const QString module = QStringLiteral("%1 %2")
                                   .arg(ModuleProfile::name(result.model), result.firmware)
                                   .trimmed();
        targets.append(QStringLiteral("%1 on %2").arg(module, result.device));
        total += result.changes.size();
        if (several)
            targets.last() +=
                QStringLiteral(" (%1)").arg(countOf(result.changes.size(), "change", "changes"));
    }
    bool yes = m_options.yes;
    if (!yes) {
        // Names every module the answer concerns, and when it takes effect.
        const QString question =
            targets.size() > 1
                ? QStringLiteral("Write %1 to %2 modules: %3? Each module applies its settings "
                                 "after its next restart. [y/N] ")
                      .arg(countOf(total, "change", "changes"), QString::number(targets.size()),
                           targets.join(QStringLiteral(", ")))
                : QStringLiteral("Write %1 to %2? The module applies them after its next "
                                 "restart. [y/N] ")
                      .arg(countOf(total, "change", "changes"), targets.value(0));
        std::fputs(question.toUtf8().constData(), stderr);
        std::fflush(stderr);
        QTextStream in(stdin);
        InterruptWatcher::setAsking(true);
        const QString answer = in.readLine().trimmed().toLower();
        InterruptWatcher::setAsking(false);
        yes = answer == QLatin1String("y") || answer == QLatin1String("yes");
    }
    m_board.reprint();
    for (DeviceJob *job : qAsConst(m_jobs))
        job->confirmWrite(yes);
}

void CtlRun::onInterrupted(int signalNumber)
{
    for (DeviceJob *job : qAsConst(m_jobs))
        job->interrupt(signalNumber);
}

void CtlRun::onJobDone()
{
    for (DeviceJob *job : qAsConst(m_jobs)) {
        if (!job->isFinished()) {
            // The last job to leave may be what the others wait for.
            onReadyToWrite();
            return;
        }
    }
    m_loop.quit();
}

int CtlRun::printResults()
{
    int worst = 0;
    const bool several = m_jobs.size() > 1;
    for (DeviceJob *job : qAsConst(m_jobs)) {
        worst = std::max(worst, printResult(job->result(), several));
    }
    return worst;
}

// Saves what a read gave, then prints; returns the device's exit code.
int CtlRun::printResult(JobResult result, bool several)
{
    QJsonObject extra;
    QByteArray configText;
    if (m_options.command == CtlOptions::Command::Read && result.exitCode == 0) {
        const ModuleConfig config{result.model, result.firmware, QDateTime::currentDateTimeUtc(),
                                  result.records};
        if (m_options.output.isEmpty()) {
            configText = ConfigFile::toJson(config, m_names);
            extra.insert(QStringLiteral("config"), QJsonDocument::fromJson(configText).object());
        } else {
            const QString path = outputPath(result.device);
            QString why;
            if (ConfigFile::save(path, config, m_names, &why)) {
                result.summary += QStringLiteral(" into %1").arg(path);
                extra.insert(QStringLiteral("file"), path);
            } else {
                result.exitCode = 2;
                result.outcome = QStringLiteral("file-error");
                result.error = QStringLiteral("cannot write %1: %2").arg(path, why);
                result.summary = result.error;
            }
        }
    }

    if (m_options.json) {
        QJsonObject object = result.toJson();
        for (auto it = extra.constBegin(); it != extra.constEnd(); ++it)
            object.insert(it.key(), it.value());
        printLine(stdout, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        return result.exitCode;
    }

    QString label = result.device;
    if (result.modelKnown && m_options.command != CtlOptions::Command::Version)
        label += QStringLiteral(": %1 %2")
                     .arg(ModuleProfile::name(result.model), result.firmware)
                     .trimmed();
    if (!result.error.isEmpty()) {
        warn(QStringLiteral("%1: %2").arg(label, result.error));
        return result.exitCode;
    }
    if (m_options.command == CtlOptions::Command::Version) {
        printLine(stdout,
                  several ? QStringLiteral("%1: %2").arg(label, result.summary) : result.summary);
        return result.exitCode;
    }
    if (m_options.command == CtlOptions::Command::Diff) {
        if (several && !result.changes.isEmpty())
            printLine(stdout, result.device + QLatin1Char(':'));
        for (const ConfigChanges::Change &change : qAsConst(result.changes))
            printLine(stdout, several ? QStringLiteral("  ") + change.text : change.text);
    }
    if (!configText.isEmpty()) {
        std::fwrite(configText.constData(), 1, size_t(configText.size()), stdout);
        std::fflush(stdout);
        printLine(stderr, QStringLiteral("%1: %2").arg(label, result.summary));
        return result.exitCode;
    }
    printLine(stdout, QStringLiteral("%1: %2").arg(label, result.summary));
    return result.exitCode;
}
