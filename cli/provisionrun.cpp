#include "provisionrun.h"

#include "configfile.h"
#include "ctloutput.h"
#include "devicejob.h"
#include "printabletext.h"
#include "protocolcatalogue.h"
#include "translationinstaller.h"
#include "transport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>

namespace
{
using CtlOutput::printLine;
using CtlOutput::warn;
const QString kGroundStation = CtlOutput::groundStation();

// An argument as a POSIX shell reads it back.
QString shellWord(const QString &word)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=@%+,-]+$"));
    if (plain.match(word).hasMatch())
        return word;
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString orDash(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}
} // namespace

ProvisionRun::ProvisionRun(const CtlOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_jobOptions(options), m_report(options.report),
      m_board(StatusBoard::stderrIsTerminal())
{
    // Each unit is a write that never asks and always reads back.
    m_jobOptions.command = CtlOptions::Command::Write;
    m_jobOptions.yes = true;
    m_jobOptions.verify = true;
}

ProvisionRun::~ProvisionRun()
{
    for (Seat &seat : m_seats)
        delete seat.job;
}

// One file per model; partial files are welcome.
bool ProvisionRun::loadFiles(QString *error)
{
    QMap<ModuleModel, QString> byModel;
    for (const QString &path : qAsConst(m_options.files)) {
        if (!QFileInfo::exists(path)) {
            *error = QStringLiteral("%1: no such file").arg(path);
            return false;
        }
        ModuleConfig file;
        QString why;
        if (!ConfigFile::load(path, &file, &why)) {
            *error = QStringLiteral("%1: %2").arg(path, why);
            return false;
        }
        if (byModel.contains(file.model)) {
            *error = QStringLiteral("%1 and %2 are both for %3: give one file per model")
                         .arg(byModel.value(file.model), path, ModuleProfile::name(file.model));
            return false;
        }
        byModel.insert(file.model, path);
        m_files.append(file);
    }
    return true;
}

int ProvisionRun::exec()
{
    TranslationInstaller::install(QCoreApplication::applicationDirPath(), QLocale::system().name());
    m_names = ProtocolCatalogue::load().names();
    QString error;
    if (!loadFiles(&error) || (!m_options.report.isEmpty() && !m_report.check(&error)) ||
        (!m_options.watch && !m_options.devicesDistinct(&error))) {
        // The file reader's messages are sentences of their own.
        warn(error.endsWith(QLatin1Char('.')) ? error + QStringLiteral(" Nothing sent.")
                                              : error + QStringLiteral("; nothing sent."));
        return 2;
    }

    m_interrupts.install();
    connect(&m_interrupts, &InterruptWatcher::interrupted, this, &ProvisionRun::onInterrupted);

    if (m_options.watch) {
        m_watcher = new DeviceWatcher(m_options.devices, m_options.allSerial, this);
        connect(m_watcher, &DeviceWatcher::appeared, this, &ProvisionRun::onAppeared);
        connect(m_watcher, &DeviceWatcher::disappeared, this, &ProvisionRun::onDisappeared);
        m_watcher->start();
    } else {
        const QStringList devices = m_options.route == ConfigSession::Route::GroundStation
                                        ? QStringList{kGroundStation}
                                        : m_options.devices;
        for (const QString &device : devices)
            onAppeared(device);
    }
    m_loop.exec();
    printSummary();
    return m_worst;
}

void ProvisionRun::onAppeared(const QString &device)
{
    Seat &seat = m_seats[device];
    seat.present = true;
    ++seat.appearances;
    serve(device);
}

void ProvisionRun::onDisappeared(const QString &device)
{
    Seat &seat = m_seats[device];
    seat.present = false;
    if (seat.line >= 0)
        m_board.set(seat.line, QStringLiteral("pulled out"));
}

// Once per appearance, and never two units on one device at a time: one
// that appeared again while its unit ran is served when that unit ends.
void ProvisionRun::serve(const QString &device)
{
    Seat &seat = m_seats[device];
    if (m_stopping || !seat.present || seat.job || seat.served >= seat.appearances)
        return;
    seat.served = seat.appearances;
    auto *job = new DeviceJob(device, m_jobOptions, ModuleConfig(), m_names);
    job->setFiles(m_files, m_options.files);
    seat.job = job;
    seat.clock.start();
    seat.adapter = ProvisionReport::adapterOf(device);
    // One status line per device, whichever unit is on it.
    if (seat.line < 0)
        seat.line = m_board.add(device);
    const int line = seat.line;
    connect(job, &DeviceJob::status, this,
            [this, line](const QString &text) { m_board.set(line, text); });
    connect(
        job, &DeviceJob::readyToWrite, job, [job] { job->confirmWrite(true); },
        Qt::QueuedConnection);
    connect(
        job, &DeviceJob::done, this, [this, device] { onUnitDone(device); }, Qt::QueuedConnection);
    if (job->open(ConfigSession::createTransport(m_options.route, device)))
        job->start();
}

void ProvisionRun::onUnitDone(const QString &device)
{
    Seat &seat = m_seats[device];
    DeviceJob *job = seat.job;
    if (!job)
        return;
    seat.job = nullptr;
    const JobResult &result = job->result();

    ProvisionReport::Unit unit;
    unit.time = QDateTime::currentDateTimeUtc();
    unit.device = device;
    unit.adapter = seat.adapter;
    if (result.modelKnown)
        unit.model = ModuleProfile::name(result.model);
    unit.firmware = result.firmware;
    unit.file = job->filePath();
    unit.outcome =
        result.outcome == QLatin1String("success") ? QStringLiteral("written") : result.outcome;
    unit.exitCode = result.exitCode;
    unit.changes = result.changes;
    unit.seconds = seat.clock.elapsed() / 1000.0;
    unit.snapshot = result.snapshot;
    QString error = result.error;
    if (job->lostDuringWrite() && result.exitCode == 5) {
        error = QStringLiteral("link lost during write: the module may hold some new records");
        if (!result.snapshot.isEmpty())
            error +=
                QStringLiteral("; its records before the write are in %1").arg(result.snapshot);
    }
    job->deleteLater();

    const bool passed = unit.exitCode == 0;
    if (m_options.json) {
        printLine(stdout,
                  QString::fromUtf8(QJsonDocument(unit.toJson()).toJson(QJsonDocument::Compact)));
    } else {
        const QString serial =
            unit.adapter.toObject().value(QLatin1String("serialNumber")).toString();
        QStringList columns{passed ? QStringLiteral("PASS") : QStringLiteral("FAIL"),
                            device,
                            orDash(serial),
                            orDash(unit.model),
                            orDash(unit.firmware),
                            unit.outcome,
                            QStringLiteral("%1 %2")
                                .arg(unit.changes.size())
                                .arg(unit.changes.size() == 1 ? QStringLiteral("change")
                                                              : QStringLiteral("changes")),
                            QStringLiteral("%1 s").arg(unit.seconds, 0, 'f', 2)};
        if (!passed)
            columns.append(error);
        printLine(stdout, PrintableText::escaped(columns.join(QStringLiteral("  "))));
        m_board.reprint();
    }
    if (!m_options.report.isEmpty()) {
        QString why;
        if (!m_report.append(unit, &why)) {
            warn(why);
            m_worst = std::max(m_worst, 2);
        }
    }

    ++m_units;
    ++m_outcomes[unit.outcome];
    // A device counts as failed by its last unit: plugged in again and
    // served, it needs no redoing.
    m_failures.erase(std::remove_if(m_failures.begin(), m_failures.end(),
                                    [&device](const Failure &f) { return f.device == device; }),
                     m_failures.end());
    if (!passed)
        m_failures.append({device, error});
    m_worst = std::max(m_worst, unit.exitCode);
    serve(device);
    quitWhenIdle();
}

void ProvisionRun::onInterrupted(int signalNumber)
{
    m_stopping = true;
    if (m_watcher)
        m_watcher->stop();
    for (Seat &seat : m_seats) {
        if (seat.job)
            seat.job->interrupt(signalNumber);
    }
    quitWhenIdle();
}

void ProvisionRun::quitWhenIdle()
{
    if (m_watcher && !m_stopping)
        return;
    for (const Seat &seat : qAsConst(m_seats)) {
        if (seat.job)
            return;
    }
    // Queued: the loop may not run yet when the last unit fails at once.
    QMetaObject::invokeMethod(&m_loop, "quit", Qt::QueuedConnection);
}

void ProvisionRun::printSummary() const
{
    QStringList counts;
    const QStringList first{QStringLiteral("written"), QStringLiteral("unchanged")};
    for (const QString &word : first) {
        if (m_outcomes.contains(word))
            counts.append(QStringLiteral("%1 %2").arg(m_outcomes.value(word)).arg(word));
    }
    for (auto it = m_outcomes.constBegin(); it != m_outcomes.constEnd(); ++it) {
        if (!first.contains(it.key()))
            counts.append(QStringLiteral("%1 %2").arg(it.value()).arg(it.key()));
    }
    QString line = QStringLiteral("provisioned %1 %2")
                       .arg(m_units)
                       .arg(m_units == 1 ? QStringLiteral("unit") : QStringLiteral("units"));
    if (!counts.isEmpty())
        line += QStringLiteral(": ") + counts.join(QStringLiteral(", "));
    warn(line);
    if (m_failures.isEmpty())
        return;
    for (const Failure &failure : m_failures)
        warn(QStringLiteral("failed: %1: %2").arg(failure.device, failure.error));
    warn(QStringLiteral("to redo only the failed devices:"));
    printLine(stderr, redoCommand());
}

// The same run on the failed devices only, each once, without --watch.
QString ProvisionRun::redoCommand() const
{
    QStringList words{QStringLiteral("tovrinctl")};
    if (m_options.route == ConfigSession::Route::GroundStation) {
        words << QStringLiteral("--ground-station");
    } else {
        for (const Failure &failure : m_failures)
            words << QStringLiteral("--port") << failure.device;
        if (m_options.route == ConfigSession::Route::FlightController)
            words << QStringLiteral("--via-fc");
    }
    if (m_options.modelGiven)
        words << QStringLiteral("--model")
              << (m_options.model == ModuleModel::R7 ? QStringLiteral("r7")
                                                     : QStringLiteral("tovrin"));
    if (m_options.retries != CtlOptions().retries)
        words << QStringLiteral("--retries") << QString::number(m_options.retries);
    if (!m_options.history.isEmpty())
        words << QStringLiteral("--history") << m_options.history;
    if (m_options.noHistory)
        words << QStringLiteral("--no-history");
    if (m_options.json)
        words << QStringLiteral("--json");
    words << QStringLiteral("provision") << m_options.files;
    if (!m_options.report.isEmpty())
        words << QStringLiteral("--report") << m_options.report;
    for (QString &word : words)
        word = shellWord(word);
    return words.join(QLatin1Char(' '));
}
