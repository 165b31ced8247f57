// tovrinctl provision figures against the simulator with 115200-baud pacing,
// printed beside their targets (nothing is asserted):
//  - sixteen modules plugged into a station within one second: time until all
//    sixteen are written and verified, against one module alone;
//  - one unit from plug to report line against the wire time of its frames;
//  - an R7-Eda through the flight controller: version against the same module
//    direct;
//  - a station soak of many plug/unplug cycles: resident memory at the start
//    and the end.
#include "ctlfixture.h"
#include "linkframe.h"
#include "passthrough.h"
#include "portrecord.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace
{
const QStringList kPacing{QStringLiteral("--baud-pacing")};

double wireMs(int bytes)
{
    return bytes * 10.0 * 1000.0 / 115200.0;
}

int frameBytes(quint8 id, int payloadSize)
{
    return packLinkFrame(id, QByteArray(payloadSize, '\0'), quint8(payloadSize)).size();
}

// A direct unit that writes: version, read-all, write-all, read-all back.
int unitBytes(int ports)
{
    const int read =
        frameBytes(MSG_READ_ALL, 1) + frameBytes(MSG_READ_ALL, ports * PortRecord::Size);
    return frameBytes(MSG_VERSION, 1) + frameBytes(MSG_VERSION, 4) + 2 * read +
           frameBytes(MSG_WRITE_ALL, ports * PortRecord::Size) + frameBytes(MSG_WRITE_ALL, 1);
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}

int lines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().count('\n');
}

// Runs the event loop until done() or timeoutMs; false on the timeout.
template <typename Done> bool waitFor(Done done, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        QThread::msleep(2);
    }
    return true;
}

class Station
{
public:
    void start(const QStringList &paths, const QString &file, const QString &report)
    {
        QStringList arguments;
        for (const QString &path : paths)
            arguments << QStringLiteral("--port") << path;
        arguments << QStringLiteral("--no-history") << QStringLiteral("provision") << file
                  << QStringLiteral("--report") << report << QStringLiteral("--watch");
        m_process.setStandardInputFile(QProcess::nullDevice());
        m_process.start(CtlFixture::ctlPath(), arguments);
        m_process.waitForStarted();
    }
    ~Station()
    {
        ::kill(pid_t(m_process.processId()), SIGINT);
        m_process.waitForFinished(20000);
    }
    QByteArray err()
    {
        m_err += m_process.readAllStandardError();
        m_process.readAllStandardOutput();
        return m_err;
    }
    // Resident memory in kB, from /proc.
    long rssKb() const
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(m_process.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
        return -1;
    }

private:
    QProcess m_process;
    QByteArray m_err;
};

double timedRun(const QStringList &arguments)
{
    QElapsedTimer timer;
    timer.start();
    const CtlRun run = CtlFixture::run(arguments);
    return run.exitCode == 0 ? timer.nsecsElapsed() / 1e6 : -1;
}

struct Plugging {
    double allMs = -1;  // from the first plug to the last report line
    double lastMs = -1; // from the last plug to the last report line
};

// Plugs count running modules into a station, spread over spreadMs: a plug
// is the link to a module's pty appearing at a watched path.
Plugging plugged(const QTemporaryDir &dir, const QString &file, int count, int spreadMs,
                 const QString &name)
{
    QStringList paths;
    std::vector<std::unique_ptr<SimModule>> sims;
    for (int i = 0; i < count; ++i) {
        paths << dir.filePath(QStringLiteral("%1-%2.link").arg(name).arg(i));
        sims.push_back(std::make_unique<SimModule>());
        sims.back()->start(SimModule::Pty, ModuleModel::Tovrin, dir,
                           QStringLiteral("%1-%2").arg(name).arg(i), kPacing);
    }
    const QString report = dir.filePath(name + QStringLiteral(".jsonl"));
    Station station;
    station.start(paths, file, report);
    QElapsedTimer timer;
    timer.start();
    waitFor([&] { return timer.elapsed() >= 300; }); // the station is up and watching
    timer.restart();
    qint64 lastPlug = 0;
    for (int i = 0; i < count; ++i) {
        const qint64 due = count > 1 ? qint64(spreadMs) * i / (count - 1) : 0;
        waitFor([&] { return timer.elapsed() >= due; });
        lastPlug = timer.nsecsElapsed();
        QFile::link(sims.at(i)->device(), paths.at(i));
    }
    Plugging result;
    if (!waitFor([&] { return lines(report) >= count; }))
        return result;
    result.allMs = timer.nsecsElapsed() / 1e6;
    result.lastMs = (timer.nsecsElapsed() - lastPlug) / 1e6;
    for (const QString &path : paths)
        QFile::remove(path);
    return result;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = CtlFixture::saveConfig(dir, QStringLiteral("fleet.tovrin.json"),
                                                CtlFixture::sampleConfig(ModuleModel::Tovrin));
    std::printf("tovrinctl provision against tovrin-sim --baud-pacing (Tovrin, direct route)\n");

    // Starting a simulator takes time of its own: one module's figure counts
    // from its plug, sixteen from the first plug.
    QVector<double> ones;
    for (int i = 0; i < 5; ++i)
        ones.append(plugged(dir, file, 1, 0, QStringLiteral("one%1").arg(i)).allMs);
    const Plugging sixteen = plugged(dir, file, 16, 1000, QStringLiteral("sixteen"));
    const double one = median(ones);
    const double wire = wireMs(unitBytes(ModuleProfile::portCount(ModuleModel::Tovrin)));
    std::printf("one module, plug to report line: median %.1f ms, wire %.1f ms, over wire %+.1f "
                "ms (target at most +60 ms)\n",
                one, wire, one - wire);
    std::printf("sixteen plugged within 1 s: all written and verified %.1f ms after the first "
                "plug, %.1f ms after the last; the last against one alone: %.2f (target at most "
                "1.3)\n",
                sixteen.allMs, sixteen.lastMs, sixteen.lastMs / one);

    // The version question: an R7-Eda through the flight controller against
    // the same module direct.
    SimModule r7;
    r7.start(SimModule::Pty, ModuleModel::R7, dir, QStringLiteral("r7"), kPacing);
    QVector<double> viaFc;
    QVector<double> direct;
    for (int i = 0; i < 7; ++i) {
        viaFc.append(timedRun({QStringLiteral("--port"), r7.device(), QStringLiteral("--via-fc"),
                               QStringLiteral("version")}));
        direct.append(timedRun({QStringLiteral("--port"), r7.device(), QStringLiteral("version")}));
    }
    std::printf("R7-Eda version via fc  median %7.1f ms, direct %7.1f ms: %.2f (target at most "
                "2)\n",
                median(viaFc), median(direct), median(viaFc) / median(direct));

    // The soak: one module pulled out and plugged back again and again.
    const int cycles = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 500;
    const QString path = dir.filePath(QStringLiteral("soak.link"));
    const QString report = dir.filePath(QStringLiteral("soak.jsonl"));
    SimModule soak;
    Station station;
    station.start({path}, file, report);
    soak.start(SimModule::Pty, ModuleModel::Tovrin, dir, QStringLiteral("soak"),
               {QStringLiteral("--link"), path});
    long startKb = -1;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        if (!waitFor([&] { return lines(report) > cycle; }))
            break;
        if (cycle == 10)
            startKb = station.rssKb(); // after the first units settled
        const int pulled = station.err().count(": pulled out");
        soak.process().signal(SIGUSR2);
        if (!waitFor([&] { return station.err().count(": pulled out") > pulled; }))
            break;
        soak.process().signal(SIGUSR2);
    }
    waitFor([&] { return lines(report) >= cycles; });
    const long endKb = station.rssKb();
    std::printf("station soak, %d plug/unplug cycles (%d units): resident %ld kB after 10, %ld kB "
                "at the end, %+ld kB (target within 1024 kB)\n",
                cycles, lines(report), startKb, endKb, endKb - startKb);
    return 0;
}
