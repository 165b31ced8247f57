// Shared pieces of the tovrinctl tests and benchmark: running tovrinctl as a
// process on one of its routes, a simulated module with its state file, and
// configuration files whose records differ from the simulator's defaults.
#ifndef CTLFIXTURE_H
#define CTLFIXTURE_H

#include "moduleconfig.h"
#include "simprocess.h"

#include <QMetaType>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>

#include <memory>

struct CtlRun {
    int exitCode = -1;
    QString out;
    QString err;
};

namespace CtlFixture
{
enum class Route { Direct, ViaFc, GroundStation };
// The options that put tovrinctl on the route; device is the pty for the
// serial routes.
QStringList routeArguments(Route route, const QString &device);
// Arguments written as one string, split at spaces.
QStringList words(const char *text);

QString ctlPath(); // build/bin/tovrinctl
// Runs tovrinctl with stdin from the null device (no terminal); environment
// holds NAME=value entries that override the test's own.
CtlRun run(const QStringList &arguments, int timeoutMs = 60000,
           const QStringList &environment = {});
// Records that differ from the simulator's defaults on every port.
ModuleConfig sampleConfig(ModuleModel model);
// Writes config to dir/name and returns the path.
QString saveConfig(const QTemporaryDir &dir, const QString &name, const ModuleConfig &config);
// The records of a simulator state file, port by port.
QVector<PortRecord> readState(const QString &path);
} // namespace CtlFixture

Q_DECLARE_METATYPE(CtlFixture::Route)

// A simulator process for one module: on a pty, or as the ground station.
class SimModule
{
public:
    enum Link { Pty, Udp };
    // extra: fault options; the state file lives in dir.
    bool start(Link link, ModuleModel model, const QTemporaryDir &dir, const QString &name,
               const QStringList &extra = {});
    QString device() const { return m_sim.ptyPath(); }
    QString statePath() const { return m_state; }
    QVector<PortRecord> state() const { return CtlFixture::readState(m_state); }
    // True when the simulator received anything.
    bool heardAnything() { return m_sim.log().contains(QLatin1String(" rx ")); }
    SimProcess &process() { return m_sim; }

private:
    SimProcess m_sim;
    QString m_state;
};

#endif // CTLFIXTURE_H
