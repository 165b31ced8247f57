// tovrinctl timings against the simulator with 115200-baud pacing: one
// module's read from process start to exit, and a write of eight modules on
// eight simulated ports at once against one module's write. Each figure is
// printed beside the wire time of the frames the command exchanges.
#include "ctlfixture.h"
#include "linkframe.h"
#include "portrecord.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace
{
constexpr int kRuns = 7;
constexpr int kPorts = 5; // the Tovrin engine

// Milliseconds for bytes on the line at 115200 baud, 10 bits a byte.
double wireMs(int bytes)
{
    return bytes * 10.0 * 1000.0 / 115200.0;
}

int frameBytes(quint8 id, int payloadSize)
{
    return packLinkFrame(id, QByteArray(payloadSize, '\0'), quint8(payloadSize)).size();
}

// The direct route's exchanges: version, read-all, and for a write the
// write-all and its one-byte answer.
int versionBytes()
{
    return frameBytes(MSG_VERSION, 1) + frameBytes(MSG_VERSION, 4);
}
int readBytes()
{
    return frameBytes(MSG_READ_ALL, 1) + frameBytes(MSG_READ_ALL, kPorts * PortRecord::Size);
}
int writeBytes()
{
    return frameBytes(MSG_WRITE_ALL, kPorts * PortRecord::Size) + frameBytes(MSG_WRITE_ALL, 1);
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Runs tovrinctl and returns the wall time from start to exit in ms, or -1.
double timedRun(const QStringList &arguments)
{
    QElapsedTimer timer;
    timer.start();
    const CtlRun run = CtlFixture::run(arguments);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (run.exitCode != 0) {
        std::fprintf(stderr, "tovrinctl %s: exit %d\n%s",
                     qPrintable(arguments.join(QLatin1Char(' '))), run.exitCode,
                     qPrintable(run.err));
        return -1;
    }
    return ms;
}

void report(const char *what, const QVector<double> &times, double wire)
{
    std::printf(
        "%-44s median %7.1f ms  (min %7.1f, max %7.1f)  wire %6.1f ms  over wire %+7.1f ms\n", what,
        median(times), *std::min_element(times.begin(), times.end()),
        *std::max_element(times.begin(), times.end()), wire, median(times) - wire);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QStringList pacing{QStringLiteral("--baud-pacing")};

    // One module: read, from process start to exit.
    SimModule one;
    if (!one.start(SimModule::Pty, ModuleModel::Tovrin, dir, QStringLiteral("one"), pacing))
        return 1;
    const QString out = dir.filePath(QStringLiteral("read.tovrin.json"));
    QVector<double> starts;
    QVector<double> reads;
    QVector<double> readsKnown;
    for (int i = 0; i < kRuns; ++i) {
        starts.append(timedRun({QStringLiteral("--help")}));
        reads.append(timedRun({QStringLiteral("--port"), one.device(), QStringLiteral("read"),
                               QStringLiteral("-o"), out}));
        readsKnown.append(timedRun({QStringLiteral("--port"), one.device(),
                                    QStringLiteral("--model"), QStringLiteral("tovrin"),
                                    QStringLiteral("read"), QStringLiteral("-o"), out}));
    }
    std::printf("tovrinctl against tovrin-sim --baud-pacing (Tovrin, direct route), %d runs each\n",
                kRuns);
    report("process start and exit (--help)", starts, 0);
    report("read (version + read-all)", reads, wireMs(versionBytes() + readBytes()));
    report("read --model tovrin (read-all only)", readsKnown, wireMs(readBytes()));

    // Two files that differ, so that every write has something to write.
    ModuleConfig a = CtlFixture::sampleConfig(ModuleModel::Tovrin);
    ModuleConfig b = a;
    std::reverse(b.ports.begin() + 0, b.ports.begin() + 2);
    const QStringList files{CtlFixture::saveConfig(dir, QStringLiteral("a.tovrin.json"), a),
                            CtlFixture::saveConfig(dir, QStringLiteral("b.tovrin.json"), b)};

    QVector<double> single;
    for (int i = 0; i < kRuns; ++i)
        single.append(timedRun({QStringLiteral("--port"), one.device(), QStringLiteral("write"),
                                files.at(i % 2), QStringLiteral("--yes")}));

    std::vector<std::unique_ptr<SimModule>> eight;
    QStringList ports;
    for (int i = 0; i < 8; ++i) {
        eight.push_back(std::make_unique<SimModule>());
        if (!eight.back()->start(SimModule::Pty, ModuleModel::Tovrin, dir,
                                 QStringLiteral("m%1").arg(i), pacing))
            return 1;
        ports << QStringLiteral("--port") << eight.back()->device();
    }
    QVector<double> multi;
    for (int i = 0; i < kRuns; ++i)
        multi.append(timedRun(ports + QStringList{QStringLiteral("write"), files.at(i % 2),
                                                  QStringLiteral("--yes")}));
    const double wire = wireMs(versionBytes() + readBytes() + writeBytes());
    report("write --yes, one module", single, wire);
    report("write --yes, eight modules at once", multi, wire);
    std::printf("eight at once / one: %.2f (target at most 1.3)\n", median(multi) / median(single));
    std::printf("read: %.1f ms over the wire time (target at most 60 ms)\n",
                median(reads) - wireMs(versionBytes() + readBytes()));
    return 0;
}
