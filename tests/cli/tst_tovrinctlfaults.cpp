// tovrinctl as a real process on a faulty link and when it is interrupted:
// each simulator fault on each route ends with the exit code it should and
// the module holding what the run says (a lost reply is repeated, the one
// request, so a write completes), and SIGINT or SIGTERM during a write lets
// the exchange in flight end, then names the ports written, which the module
// then holds, and nothing more.
#include "configfile.h"
#include "ctlfixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>

using namespace CtlFixture;

class TestTovrinctlFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void faultsOnEveryRoute_data();
    void faultsOnEveryRoute();
    void interrupted_data();
    void interrupted();

private:
    QTemporaryDir m_dir;
};

void TestTovrinctlFaults::initTestCase()
{
    QVERIFY(QFileInfo::exists(ctlPath()));
    QVERIFY(m_dir.isValid());
}

void TestTovrinctlFaults::faultsOnEveryRoute_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QStringList>("simOptions");
    QTest::addColumn<QStringList>("ctlOptions"); // FILE: a file differing on every port
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("written"); // the module holds the file afterwards (else as before)

    const struct {
        const char *name;
        Route route;
    } routes[] = {{"direct", Route::Direct},
                  {"via fc", Route::ViaFc},
                  {"ground station", Route::GroundStation}};
    for (const auto &r : routes) {
        auto row = [&](const char *what) {
            return &QTest::newRow(qPrintable(
                QStringLiteral("%1: %2").arg(QLatin1String(r.name), QLatin1String(what))));
        };
        *row("drop-every 3, write")
            << r.route << words("--drop-every 3") << words("--retries 2 write FILE --yes --verify")
            << 0 << QString() << true;
        *row("drop-every 2, read") << r.route << words("--drop-every 2")
                                   << words("--retries 1 diff FILE") << 1 << QString() << false;
        *row("corrupt-every 3, read") << r.route << words("--corrupt-every 3")
                                      << words("--retries 1 diff FILE") << 1 << QString() << false;
        if (r.route == Route::Direct)
            *row("drop-every 2, no retries, write")
                << r.route << words("--drop-every 2") << words("--retries 0 write FILE --yes") << 3
                << "no reply within the watchdog's time (writing); the write was not "
                   "acknowledged: each port may hold its old record or the file's"
                << true; // the module took the write, its acknowledgement was lost
        else
            *row("drop-every 2, no retries, diff")
                << r.route << words("--drop-every 2") << words("--retries 0 diff FILE") << 3
                << "no reply within the watchdog's time (reading port 2/5)" << false;
        *row("wrong-length") << r.route << words("--wrong-length") << words("diff FILE") << 4
                             << "an answer of the wrong length" << false;
    }
    // A write acknowledgement naming port 1 for every port: port 1 is written,
    // then the second acknowledgement names another port. The module took the
    // record of port 2 all the same, as the message allows.
    const QString ackMessage = QStringLiteral(
        "an answer naming another port (writing port 2/5); port 1 holds the file's records, "
        "2–5 their old ones (port 2 was not acknowledged: it may hold either)");
    QTest::newRow("via fc: ack-index 0") << Route::ViaFc << words("--ack-index 0")
                                         << words("write FILE --yes") << 4 << ackMessage << false;
    QTest::newRow("ground station: ack-index 0")
        << Route::GroundStation << words("--ack-index 0") << words("write FILE --yes") << 4
        << ackMessage << false;
}

void TestTovrinctlFaults::faultsOnEveryRoute()
{
    QFETCH(Route, route);
    QFETCH(QStringList, simOptions);
    QFETCH(QStringList, ctlOptions);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(bool, written);

    SimModule sim;
    QVERIFY(sim.start(route == Route::GroundStation ? SimModule::Udp : SimModule::Pty,
                      ModuleModel::Tovrin, m_dir, QStringLiteral("faults"), simOptions));
    const ModuleConfig config = sampleConfig(ModuleModel::Tovrin);
    const QString file = saveConfig(m_dir, QStringLiteral("faults.tovrin.json"), config);
    ctlOptions.replaceInStrings(QRegularExpression(QStringLiteral("^FILE$")), file);
    const QVector<PortRecord> before = sim.state();

    const CtlRun ctl =
        run(routeArguments(route, sim.device()) + words("--model tovrin") + ctlOptions);
    QVERIFY2(ctl.exitCode == exitCode,
             qPrintable(QStringLiteral("exit %1: %2%3").arg(ctl.exitCode).arg(ctl.out, ctl.err)));
    if (!message.isEmpty())
        QVERIFY2(ctl.err.contains(message), qPrintable(ctl.err));
    if (written) {
        QTRY_COMPARE(sim.state(), config.ports);
    } else if (message.contains(QLatin1String("port 1 holds"))) {
        QVector<PortRecord> firstTwo = before;
        firstTwo[0] = config.ports.at(0);
        firstTwo[1] = config.ports.at(1);
        QTRY_COMPARE(sim.state(), firstTwo);
    } else {
        QCOMPARE(sim.state(), before);
    }
}

void TestTovrinctlFaults::interrupted_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QString>("command"); // write or read
    QTest::addColumn<bool>("json");
    QTest::addColumn<bool>("twice"); // a second SIGINT right after the first
    QTest::newRow("via fc, SIGINT during write")
        << Route::ViaFc << SIGINT << "write" << false << false;
    QTest::newRow("via fc, SIGTERM during write")
        << Route::ViaFc << SIGTERM << "write" << false << false;
    QTest::newRow("ground station, SIGINT during write, --json")
        << Route::GroundStation << SIGINT << "write" << true << false;
    QTest::newRow("via fc, SIGINT during read")
        << Route::ViaFc << SIGINT << "read" << false << false;
    QTest::newRow("via fc, SIGINT twice during read")
        << Route::ViaFc << SIGINT << "read" << false << true;
}

// The simulator holds every reply 300 ms, so the signal comes while a request
// is in flight: the run ends after its answer, says how far it got, and the
// module holds exactly that. A second signal ends the run at once.
void TestTovrinctlFaults::interrupted()
{
    QFETCH(Route, route);
    QFETCH(int, signalNumber);
    QFETCH(QString, command);
    QFETCH(bool, json);
    QFETCH(bool, twice);

    SimModule sim;
    QVERIFY(sim.start(route == Route::GroundStation ? SimModule::Udp : SimModule::Pty,
                      ModuleModel::R7, m_dir, QStringLiteral("interrupted"), words("--delay 300")));
    const ModuleConfig config = sampleConfig(ModuleModel::R7);
    const QString file = saveConfig(m_dir, QStringLiteral("interrupted.tovrin.json"), config);
    const QVector<PortRecord> before = sim.state();

    QStringList arguments = routeArguments(route, sim.device()) + words("--model r7");
    if (json)
        arguments << QStringLiteral("--json");
    if (command == QLatin1String("write"))
        arguments << QStringLiteral("write") << file << QStringLiteral("--yes");
    else
        arguments << QStringLiteral("read") << QStringLiteral("-o")
                  << m_dir.filePath(QStringLiteral("interrupted.read.tovrin.json"));
    QProcess ctl;
    ctl.setStandardInputFile(QProcess::nullDevice());
    ctl.start(ctlPath(), arguments);
    QVERIFY(ctl.waitForStarted());
    QString err;
    const QString step = command == QLatin1String("write") ? QStringLiteral("writing port 3/6")
                                                           : QStringLiteral("reading port 3/6");
    QTRY_VERIFY_WITH_TIMEOUT(
        (err += QString::fromUtf8(ctl.readAllStandardError()), err.contains(step)), 20000);
    ::kill(pid_t(ctl.processId()), signalNumber);
    if (twice) {
        // The second one does not wait for the answer in flight (1.5 s away).
        QTest::qWait(50);
        ::kill(pid_t(ctl.processId()), signalNumber);
        QVERIFY(ctl.waitForFinished(5000));
        QCOMPARE(ctl.exitCode(), 128 + signalNumber);
        err += QString::fromUtf8(ctl.readAllStandardError());
        QVERIFY2(err.contains(QLatin1String("tovrinctl: interrupted again; stopped at once")),
                 qPrintable(err));
        QVERIFY2(!err.contains(QLatin1String("nothing was written")), qPrintable(err));
        return;
    }
    QVERIFY(ctl.waitForFinished(5000));
    err += QString::fromUtf8(ctl.readAllStandardError());
    const QString out = QString::fromUtf8(ctl.readAllStandardOutput());
    QCOMPARE(ctl.exitStatus(), QProcess::NormalExit);
    QCOMPARE(ctl.exitCode(), 128 + signalNumber);

    if (command == QLatin1String("read")) {
        QVERIFY2(err.contains(QLatin1String("interrupted (reading port 3/6); nothing was written")),
                 qPrintable(err));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("interrupted.read.tovrin.json"))));
        QCOMPARE(sim.state(), before);
        return;
    }

    // The port whose request was in flight is answered and counted.
    int done = 0;
    if (json) {
        const QJsonObject object = QJsonDocument::fromJson(out.toUtf8()).object();
        QCOMPARE(object.value(QLatin1String("outcome")).toString(), QStringLiteral("interrupted"));
        QCOMPARE(object.value(QLatin1String("exit")).toInt(), 128 + signalNumber);
        const QJsonArray ports = object.value(QLatin1String("written")).toArray();
        for (int i = 0; i < ports.size(); ++i)
            QCOMPARE(ports.at(i).toInt(), i + 1);
        done = ports.size();
    } else {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("interrupted after port (\\d) of 6: ports 1–(\\d) "
                                              "hold the file's records, (\\d)–6 their old ones; "
                                              "run the same command again to finish"))
                .match(err);
        QVERIFY2(m.hasMatch(), qPrintable(err));
        done = m.captured(1).toInt();
        QCOMPARE(m.captured(2).toInt(), done);
        QCOMPARE(m.captured(3).toInt(), done + 1);
    }
    QVERIFY2(done >= 3 && done < 6, qPrintable(err));
    QVector<PortRecord> expected = before;
    for (int i = 0; i < done; ++i)
        expected[i] = config.ports.at(i);
    QTRY_COMPARE(sim.state(), expected);
    // Nothing went out after the port in flight.
    QTest::qWait(500);
    QCOMPARE(sim.state(), expected);
}

QTEST_MAIN(TestTovrinctlFaults)
#include "tst_tovrinctlfaults.moc"
