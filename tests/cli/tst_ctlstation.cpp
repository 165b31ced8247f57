// tovrinctl provision --watch, the station, as an operator runs it: real
// tovrinctl and simulator processes, each module a pty behind a symlink that
// appears when it is plugged in and goes when it is pulled out. Modules are
// served once per appearance; one pulled out mid-write fails its unit and is
// served again when it comes back; SIGINT during a write lets the exchange end
// and prints the summary and its redo command; a flapping module costs no busy
// loop and keeps no other module from being served.
#include "ctlfixture.h"
#include "jsonlines.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <unistd.h>

using namespace CtlFixture;

namespace
{
// The station as a process; its stderr gathered as it comes.
class Station
{
public:
    ~Station()
    {
        if (m_process.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_process.processId()), SIGKILL);
            m_process.waitForFinished(5000);
        }
    }
    void start(const QStringList &arguments)
    {
        m_process.setStandardInputFile(QProcess::nullDevice());
        m_process.start(ctlPath(), arguments);
    }
    bool waitStarted() { return m_process.waitForStarted(10000); }
    QString err()
    {
        m_err += m_process.readAllStandardError();
        return QString::fromUtf8(m_err);
    }
    QString out()
    {
        m_out += m_process.readAllStandardOutput();
        return QString::fromUtf8(m_out);
    }
    void signal(int number) { ::kill(pid_t(m_process.processId()), number); }
    bool finish(int timeoutMs = 20000)
    {
        const bool ended = m_process.waitForFinished(timeoutMs);
        err();
        out();
        return ended;
    }
    int exitCode() const
    {
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    // User and system time so far, in seconds.
    double cpuSeconds() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(m_process.processId()));
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        // After the name: state is field 3, utime 14 and stime 15.
        return (fields.value(11).toLongLong() + fields.value(12).toLongLong()) /
               double(sysconf(_SC_CLK_TCK));
    }

private:
    QProcess m_process;
    QByteArray m_err;
    QByteArray m_out;
};

// The report's lines as objects; a line that is no whole object is null.
QVector<QJsonObject> reportLines(const QString &path, bool *whole)
{
    const JsonLines::Lines read = JsonLines::read(path);
    *whole = read.whole();
    QVector<QJsonObject> lines = read.objects;
    for (int i = 0; i < read.notObjects.size(); ++i)
        lines.append(QJsonObject());
    return lines;
}

QStringList fieldOf(const QVector<QJsonObject> &lines, const char *field)
{
    QStringList values;
    for (const QJsonObject &line : lines)
        values << line.value(QLatin1String(field)).toString();
    return values;
}

int linesIn(const QString &path)
{
    bool whole = true;
    return reportLines(path, &whole).size();
}
} // namespace

class TestCtlStation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void plugPullAndPlugBack();
    void interruptedDuringWrite();
    void flappingModule();

private:
    QString link(const QString &name) const
    {
        return m_dir.filePath(name + QStringLiteral(".link"));
    }
    QTemporaryDir m_dir;
    QString m_file;
};

void TestCtlStation::initTestCase()
{
    QVERIFY(QFileInfo::exists(ctlPath()));
    QVERIFY(m_dir.isValid());
    m_file = saveConfig(m_dir, QStringLiteral("fleet.tovrin.json"), sampleConfig(ModuleModel::R7));
}

// Three watched paths, nothing plugged in at the start. Three modules come:
// each is written once. The second is pulled out and plugged back: served
// again, it already holds the file. The third is pulled out mid-write: its
// unit fails; plugged back, it is written. SIGINT ends the station.
void TestCtlStation::plugPullAndPlugBack()
{
    const QStringList paths{link(QStringLiteral("plug1")), link(QStringLiteral("plug2")),
                            link(QStringLiteral("plug3"))};
    const QString report = m_dir.filePath(QStringLiteral("plug.jsonl"));
    Station station;
    station.start({QStringLiteral("--port"), paths.at(0), QStringLiteral("--port"), paths.at(1),
                   QStringLiteral("--port"), paths.at(2), QStringLiteral("--via-fc"),
                   QStringLiteral("--history"), m_dir.filePath(QStringLiteral("plug-history")),
                   QStringLiteral("provision"), m_file, QStringLiteral("--report"), report,
                   QStringLiteral("--watch")});
    QVERIFY(station.waitStarted());

    SimModule sims[3];
    for (int i = 0; i < 3; ++i) {
        QStringList options{QStringLiteral("--link"), paths.at(i)};
        if (i == 2)
            options << QStringLiteral("--vanish-at-write") << QStringLiteral("2");
        QVERIFY(sims[i].start(SimModule::Pty, ModuleModel::R7, m_dir,
                              QStringLiteral("plug%1").arg(i + 1), options));
    }
    QTRY_COMPARE_WITH_TIMEOUT(linesIn(report), 3, 30000);
    QTRY_VERIFY(sims[2].process().log().contains(QLatin1String("vanished")));
    QTRY_COMPARE(sims[0].state(), sampleConfig(ModuleModel::R7).ports);
    QTRY_COMPARE(sims[1].state(), sampleConfig(ModuleModel::R7).ports);

    // Pulled out, and plugged back once the station has seen it go.
    sims[1].process().signal(SIGUSR2);
    QTRY_VERIFY_WITH_TIMEOUT(station.err().contains(paths.at(1) + QStringLiteral(": pulled out")),
                             10000);
    sims[1].process().signal(SIGUSR2);
    sims[2].process().signal(SIGUSR2); // back after its cut-off write
    QTRY_COMPARE_WITH_TIMEOUT(linesIn(report), 5, 30000);
    QTRY_COMPARE(sims[2].state(), sampleConfig(ModuleModel::R7).ports);

    station.signal(SIGINT);
    QVERIFY(station.finish());
    bool whole = false;
    const QVector<QJsonObject> lines = reportLines(report, &whole);
    QVERIFY(whole);
    QCOMPARE(lines.size(), 5);
    const QStringList devices = fieldOf(lines, "device");
    QCOMPARE(devices.count(paths.at(0)), 1);
    QCOMPARE(devices.count(paths.at(1)), 2);
    QCOMPARE(devices.count(paths.at(2)), 2);
    QStringList outcomes;
    for (const QJsonObject &line : lines)
        outcomes << line.value(QLatin1String("device")).toString().section(QLatin1Char('/'), -1) +
                        QLatin1Char(' ') + line.value(QLatin1String("outcome")).toString();
    // plug2 before plug3 back: the order the station saw them in.
    QCOMPARE(outcomes.filter(QStringLiteral("plug2")),
             (QStringList{"plug2.link written", "plug2.link unchanged"}));
    QCOMPARE(outcomes.filter(QStringLiteral("plug3")),
             (QStringList{"plug3.link link-lost", "plug3.link written"}));
    const QJsonObject cut = lines.at(outcomes.indexOf(QStringLiteral("plug3.link link-lost")));
    QVERIFY(QFileInfo::exists(cut.value(QLatin1String("snapshot")).toString()));

    // A unit failed, so the exit code is its; the device was served since,
    // so there is nothing to redo.
    QCOMPARE(station.exitCode(), 5);
    QVERIFY2(station.err().contains(
                 QStringLiteral("provisioned 5 units: 3 written, 1 unchanged, 1 link-lost")),
             qPrintable(station.err()));
    QVERIFY(!station.err().contains(QStringLiteral("to redo only the failed devices")));
    QCOMPARE(station.out().count(QStringLiteral("PASS  ")), 4);
    QCOMPARE(station.out().count(QStringLiteral("FAIL  ")), 1);
}

// SIGINT while a module is being written port by port: the port in flight is
// answered, nothing new is sent, the unit is reported interrupted in one
// whole line, and the summary offers the command that redoes that device.
void TestCtlStation::interruptedDuringWrite()
{
    const QString path = link(QStringLiteral("slow"));
    const QString report = m_dir.filePath(QStringLiteral("slow.jsonl"));
    SimModule sim;
    QVERIFY(sim.start(
        SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("slow"),
        {QStringLiteral("--link"), path, QStringLiteral("--delay"), QStringLiteral("300")}));
    const QVector<PortRecord> before = sim.state();
    Station station;
    station.start({QStringLiteral("--port"), path, QStringLiteral("--via-fc"),
                   QStringLiteral("--history"), m_dir.filePath(QStringLiteral("slow-history")),
                   QStringLiteral("provision"), m_file, QStringLiteral("--report"), report,
                   QStringLiteral("--watch")});
    QVERIFY(station.waitStarted());
    QTRY_VERIFY_WITH_TIMEOUT(sim.process().log().contains(QLatin1String("/MSG_WRITE_PORT")), 20000);
    station.signal(SIGINT);
    QVERIFY(station.finish());

    QCOMPARE(station.exitCode(), 128 + SIGINT);
    bool whole = false;
    const QVector<QJsonObject> lines = reportLines(report, &whole);
    QVERIFY(whole);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.first().value(QLatin1String("outcome")).toString(),
             QStringLiteral("interrupted"));
    QCOMPARE(lines.first().value(QLatin1String("exit")).toInt(), 128 + SIGINT);
    QVERIFY(QFileInfo::exists(lines.first().value(QLatin1String("snapshot")).toString()));
    const QString err = station.err();
    QVERIFY2(err.contains(QStringLiteral("provisioned 1 unit: 1 interrupted")), qPrintable(err));
    QVERIFY2(err.contains(QStringLiteral("failed: %1: interrupted after port").arg(path)) ||
                 err.contains(QStringLiteral("failed: %1: interrupted before").arg(path)),
             qPrintable(err));
    const QStringList errLines = err.split(QLatin1Char('\n'));
    const int at = errLines.indexOf(QStringLiteral("tovrinctl: to redo only the failed devices:"));
    QVERIFY2(at >= 0, qPrintable(err));
    QCOMPARE(errLines.value(at + 1),
             QStringLiteral("tovrinctl --port %1 --via-fc --history %2 provision %3 --report %4")
                 .arg(path, m_dir.filePath(QStringLiteral("slow-history")), m_file, report));

    // The write stopped part way: the ports acknowledged hold the file's
    // records, the others their own; the module still answers.
    const QVector<PortRecord> held = sim.state();
    int written = 0;
    while (written < held.size() &&
           held.at(written) == sampleConfig(ModuleModel::R7).ports.at(written))
        ++written;
    QVERIFY2(written < held.size(), "the whole write went out after the signal");
    for (int port = written; port < held.size(); ++port)
        QCOMPARE(held.at(port), before.at(port));
    const CtlRun version = run(routeArguments(Route::ViaFc, path) + words("version"));
    QCOMPARE(version.exitCode, 0);
}

// One module appears and disappears ten times a second for two seconds
// while another sits still: the steady one is served once, the station
// stays mostly idle and ends normally.
void TestCtlStation::flappingModule()
{
    const QString flapping = link(QStringLiteral("flap"));
    const QString steady = link(QStringLiteral("steady"));
    const QString report = m_dir.filePath(QStringLiteral("flap.jsonl"));
    SimModule flapper;
    QVERIFY(flapper.start(SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("flap"),
                          {QStringLiteral("--link"), flapping}));
    Station station;
    station.start({QStringLiteral("--port"), flapping, QStringLiteral("--port"), steady,
                   QStringLiteral("--no-history"), QStringLiteral("provision"), m_file,
                   QStringLiteral("--report"), report, QStringLiteral("--watch")});
    QVERIFY(station.waitStarted());

    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = station.cpuSeconds();
    QTimer toggle;
    int toggles = 0;
    QObject::connect(&toggle, &QTimer::timeout, [&] {
        flapper.process().signal(SIGUSR2);
        ++toggles;
    });
    toggle.start(50);
    SimModule still;
    QVERIFY(still.start(SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("steady"),
                        {QStringLiteral("--link"), steady}));
    QTRY_VERIFY_WITH_TIMEOUT(toggles >= 40, 10000);
    toggle.stop();
    const double cpu = station.cpuSeconds() - cpuBefore;
    const double seconds = wall.elapsed() / 1000.0;
    QVERIFY2(cpu < seconds / 2,
             qPrintable(QStringLiteral("%1 s of CPU in %2 s").arg(cpu).arg(seconds)));
    QTRY_COMPARE_WITH_TIMEOUT(still.state(), sampleConfig(ModuleModel::R7).ports, 20000);

    station.signal(SIGINT);
    QVERIFY(station.finish());
    QVERIFY(station.exitCode() >= 0); // ended by itself, no crash
    bool whole = false;
    const QVector<QJsonObject> lines = reportLines(report, &whole);
    QVERIFY(whole);
    QCOMPARE(fieldOf(lines, "device").count(steady), 1);
    QVERIFY(station.err().contains(QStringLiteral("tovrinctl: provisioned ")));
}

QTEST_GUILESS_MAIN(TestCtlStation)
#include "tst_ctlstation.moc"
