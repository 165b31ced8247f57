// tovrinctl as a user runs it: a real process against tovrin-sim on pseudo-
// terminals and on the UDP route, every command on every route for both
// models, each failure's exit code and message, and several modules at once.
#include "configfile.h"
#include "ctlfixture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUdpSocket>
#include <QtTest>

using namespace CtlFixture;

Q_DECLARE_METATYPE(ModuleModel)

class TestTovrinctl : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyCommand_data();
    void everyCommand();
    void moduleFailures_data();
    void moduleFailures();
    void versionAskedAtOnce_data();
    void versionAskedAtOnce();
    void badInput_data();
    void badInput();
    void groundStationPortTaken();
    void severalDevicesOneMute();
    void readSeveralIntoFolder();
    void confirmOnTerminal_data();
    void confirmOnTerminal();
    void jsonChanges();
    void fileErrorAsSentence();
    void help();
    void ownVersion();

private:
    QTemporaryDir m_dir;
};

void TestTovrinctl::initTestCase()
{
    QVERIFY(QFileInfo::exists(ctlPath()));
    QVERIFY(m_dir.isValid());
}

void TestTovrinctl::everyCommand_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<ModuleModel>("model");
    QTest::addColumn<bool>("giveModel");
    QTest::newRow("direct tovrin") << Route::Direct << ModuleModel::Tovrin << false;
    QTest::newRow("direct r7") << Route::Direct << ModuleModel::R7 << false;
    QTest::newRow("via fc tovrin") << Route::ViaFc << ModuleModel::Tovrin << false;
    QTest::newRow("via fc r7, found") << Route::ViaFc << ModuleModel::R7 << false;
    QTest::newRow("via fc r7, --model") << Route::ViaFc << ModuleModel::R7 << true;
    QTest::newRow("ground station tovrin") << Route::GroundStation << ModuleModel::Tovrin << false;
    QTest::newRow("ground station r7") << Route::GroundStation << ModuleModel::R7 << false;
}

// version, diff (differ), write --verify, diff (equal), read: the module ends
// up holding the file's records exactly, and reading gives them back.
void TestTovrinctl::everyCommand()
{
    QFETCH(Route, route);
    QFETCH(ModuleModel, model);
    QFETCH(bool, giveModel);
    const QString tag = QString::fromLatin1(QTest::currentDataTag())
                            .replace(QLatin1Char(' '), QLatin1Char('_'))
                            .remove(QLatin1Char(','));
    SimModule sim;
    QVERIFY(sim.start(route == Route::GroundStation ? SimModule::Udp : SimModule::Pty, model, m_dir,
                      tag));
    const ModuleConfig config = sampleConfig(model);
    const QString file = saveConfig(m_dir, tag + ConfigFile::suffix(), config);
    QStringList base = routeArguments(route, sim.device());
    if (giveModel)
        base << QStringLiteral("--model") << QStringLiteral("r7");
    const QVector<PortRecord> before = sim.state();

    CtlRun version = run(base + words("version"));
    QVERIFY2(version.exitCode == 0, qPrintable(version.err));
    QCOMPARE(version.out, ModuleProfile::name(model) + QStringLiteral(" V2.3.1\n"));

    CtlRun diff = run(base + QStringList{QStringLiteral("diff"), file});
    QVERIFY2(diff.exitCode == 1, qPrintable(diff.err));
    QVERIFY2(diff.out.contains(QStringLiteral(" → ")), qPrintable(diff.out));
    QVERIFY(diff.out.contains(QLatin1String("difference(s) from the file")));
    QCOMPARE(sim.state(), before); // a diff changes nothing

    CtlRun json = run(base + QStringList{QStringLiteral("--json"), QStringLiteral("diff"), file});
    QVERIFY2(json.exitCode == 1, qPrintable(json.err));
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    QCOMPARE(object.value(QLatin1String("outcome")).toString(), QStringLiteral("differ"));
    QCOMPARE(object.value(QLatin1String("model")).toString(), ModuleProfile::name(model));
    QCOMPARE(object.value(QLatin1String("exit")).toInt(), 1);
    QCOMPARE(object.value(QLatin1String("changes")).toArray().size(),
             diff.out.count(QStringLiteral(" → ")));

    CtlRun write = run(base + QStringList{QStringLiteral("write"), file, QStringLiteral("--yes"),
                                          QStringLiteral("--verify")});
    QVERIFY2(write.exitCode == 0, qPrintable(write.err));
    QVERIFY(write.out.contains(QLatin1String("written and verified")));
    QTRY_COMPARE(sim.state(), config.ports);

    const CtlRun equal = run(base + QStringList{QStringLiteral("diff"), file});
    QVERIFY2(equal.exitCode == 0, qPrintable(equal.err));

    const QString readPath = m_dir.filePath(tag + QStringLiteral(".read") + ConfigFile::suffix());
    CtlRun read = run(base + QStringList{QStringLiteral("read"), QStringLiteral("-o"), readPath});
    QVERIFY2(read.exitCode == 0, qPrintable(read.err));
    ModuleConfig back;
    QString error;
    QVERIFY2(ConfigFile::load(readPath, &back, &error), qPrintable(error));
    QCOMPARE(back.model, model);
    QCOMPARE(back.ports, config.ports);
    QCOMPARE(back.firmware, giveModel ? QString() : QStringLiteral("V2.3.1"));

    // Without -o the file goes to stdout and stays a valid file.
    CtlRun toStdout = run(base + words("read"));
    QVERIFY2(toStdout.exitCode == 0, qPrintable(toStdout.err));
    QVERIFY(ConfigFile::fromJson(toStdout.out.toUtf8(), &back, &error));
    QCOMPARE(back.ports, config.ports);
}

void TestTovrinctl::moduleFailures_data()
{
    QTest::addColumn<ModuleModel>("model");
    QTest::addColumn<QStringList>("simOptions");
    QTest::addColumn<bool>("viaFc");
    QTest::addColumn<QStringList>("ctlOptions"); // FILE stands for a matching file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("stateKept");

    const auto T = ModuleModel::Tovrin;
    QTest::newRow("mute: version")
        << T << words("--drop-every 1") << false << words("version") << 3
        << "no reply within the watchdog's time (version (retry 1))" << true;
    QTest::newRow("mute via fc: both models asked")
        << T << words("--drop-every 1") << true << words("--retries 0 read") << 3
        << "(version (as R7-Eda))" << true;
    QTest::newRow("mute mid-read")
        << T << words("--drop-every 3") << true << words("--model tovrin --retries 0 read") << 3
        << "(reading port 3/5)" << true;
    QTest::newRow("one lost reply, retried")
        << T << words("--drop-every 2") << false << words("read") << 0 << "" << true;
    QTest::newRow("write refused")
        << T << words("--fail-writes") << false << words("write FILE --yes") << 4
        << "the module refused the write" << true;
    QTest::newRow("write unacknowledged via fc")
        << T << words("--fail-writes") << true << words("--retries 0 write FILE --yes") << 3
        << "(writing port 1/5)" << true;
    QTest::newRow("wrong length version via fc")
        << T << words("--wrong-length") << true << words("version") << 4
        << "an answer of the wrong length (version (as Tovrin))" << true;
    QTest::newRow("wrong length read-all")
        << T << words("--wrong-length") << false << words("--model tovrin read") << 4
        << "an answer of the wrong length (reading)" << true;
    QTest::newRow("wrong length read-port")
        << ModuleModel::R7 << words("--wrong-length") << true << words("--model r7 read") << 4
        << "an answer of the wrong length (reading port 1/6)" << true;
    QTest::newRow("wrong index read")
        << T << words("--wrong-index") << true << words("--model tovrin diff FILE") << 4
        << "an answer naming another port (reading port 1/5)" << true;
    QTest::newRow("wrong index write ack")
        << T << words("--ack-index 7") << true << words("--model tovrin write FILE --yes") << 4
        << "an answer naming another port (writing port 1/5)" << false;
    QTest::newRow("file for the other model")
        << ModuleModel::R7 << QStringList() << false << words("write OTHER --yes") << 2
        << "the file is for model Tovrin, the module is R7-Eda" << true;
    QTest::newRow("stuck read index")
        << T << words("--stuck-read-index 0") << true << words("--model tovrin write FILE --yes")
        << 4 << "an answer naming another port (reading port 2/5)" << true;
}

void TestTovrinctl::moduleFailures()
{
    QFETCH(ModuleModel, model);
    QFETCH(QStringList, simOptions);
    QFETCH(bool, viaFc);
    QFETCH(QStringList, ctlOptions);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(bool, stateKept);

    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, model, m_dir, QStringLiteral("failure"), simOptions));
    const QString file =
        saveConfig(m_dir, QStringLiteral("failure.tovrin.json"), sampleConfig(model));
    const QString other =
        saveConfig(m_dir, QStringLiteral("other.tovrin.json"),
                   sampleConfig(model == ModuleModel::R7 ? ModuleModel::Tovrin : ModuleModel::R7));
    ctlOptions.replaceInStrings(QRegularExpression(QStringLiteral("^FILE$")), file);
    ctlOptions.replaceInStrings(QRegularExpression(QStringLiteral("^OTHER$")), other);
    const QVector<PortRecord> before = sim.state();

    const CtlRun ctl =
        run(routeArguments(viaFc ? Route::ViaFc : Route::Direct, sim.device()) + ctlOptions);
    QVERIFY2(ctl.exitCode == exitCode,
             qPrintable(QStringLiteral("exit %1: %2%3").arg(ctl.exitCode).arg(ctl.out, ctl.err)));
    if (exitCode != 0) {
        // One result line, on stderr, naming the device.
        const QStringList lines =
            ctl.err.split(QLatin1Char('\n')).filter(QStringLiteral("tovrinctl: "));
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith(QStringLiteral("tovrinctl: ") + sim.device()),
                 qPrintable(lines.first()));
        QVERIFY2(lines.first().contains(message), qPrintable(lines.first()));
        // ... and the reason only there: the status line says no more than
        // that the device failed.
        QVERIFY2(ctl.err.count(message) == 1, qPrintable(ctl.err));
        QVERIFY2(ctl.err.contains(sim.device() + QStringLiteral(": failed\n")),
                 qPrintable(ctl.err));
    }
    if (stateKept)
        QCOMPARE(sim.state(), before);
}

// Through the flight controller and the ground station the module is asked
// as both models in one round: the Tovrin, the R7-Eda and a mute module each
// receive both device codes once per round, and the module's answer ends it.
void TestTovrinctl::versionAskedAtOnce_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<ModuleModel>("model");
    QTest::addColumn<QStringList>("simOptions");
    QTest::addColumn<QStringList>("ctlOptions");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<int>("rounds"); // of both version requests

    const auto T = ModuleModel::Tovrin;
    const auto R = ModuleModel::R7;
    for (const Route route : {Route::ViaFc, Route::GroundStation}) {
        const char *name = route == Route::ViaFc ? "via fc" : "ground station";
        QTest::addRow("%s: R7-Eda", name)
            << route << R << QStringList() << words("version") << 0 << "R7-Eda V2.3.1\n"
            << 1;
        QTest::addRow("%s: Tovrin", name)
            << route << T << QStringList() << words("version") << 0 << "Tovrin V2.3.1\n"
            << 1;
        QTest::addRow("%s: R7-Eda read", name)
            << route << R << QStringList() << words("read") << 0 << "" << 1;
        QTest::addRow("%s: mute, asked again", name)
            << route << R << words("--drop-every 1") << words("version") << 3 << "" << 2;
        QTest::addRow("%s: mute, no retries", name)
            << route << T << words("--drop-every 1") << words("--retries 0 read") << 3 << "" << 1;
    }
}

void TestTovrinctl::versionAskedAtOnce()
{
    QFETCH(Route, route);
    QFETCH(ModuleModel, model);
    QFETCH(QStringList, simOptions);
    QFETCH(QStringList, ctlOptions);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(int, rounds);

    SimModule sim;
    QVERIFY(sim.start(route == Route::GroundStation ? SimModule::Udp : SimModule::Pty, model, m_dir,
                      QStringLiteral("atonce"), simOptions));
    const CtlRun ctl = run(routeArguments(route, sim.device()) + ctlOptions);
    QVERIFY2(ctl.exitCode == exitCode,
             qPrintable(QStringLiteral("exit %1: %2%3").arg(ctl.exitCode).arg(ctl.out, ctl.err)));
    if (!out.isEmpty())
        QCOMPARE(ctl.out, out);
    if (exitCode == 3)
        QVERIFY2(ctl.err.contains(QStringLiteral("no reply within the watchdog's time")),
                 qPrintable(ctl.err));

    // Each round: the request for the other model's code, dropped by the
    // relay, and the one for this module's code, in either order.
    const QString other =
        QStringLiteral("dropped: pass-through for device 0x%1")
            .arg(ModuleProfile::deviceCode(model == ModuleModel::R7 ? ModuleModel::Tovrin
                                                                    : ModuleModel::R7),
                 2, 16, QLatin1Char('0'));
    const auto count = [&sim](const QRegularExpression &pattern) {
        return sim.process().log().split(QLatin1Char('\n')).filter(pattern).size();
    };
    const QRegularExpression asked(QStringLiteral(" rx .*MSG_FC_FORWARD/MSG_VERSION"));
    // The simulator's log may still be on its way.
    QTRY_COMPARE(count(asked), 2 * rounds);
    QCOMPARE(count(QRegularExpression(QRegularExpression::escape(other))), rounds);
}

void TestTovrinctl::badInput_data()
{
    QTest::addColumn<QStringList>("arguments"); // DEV: the simulator's pty
    QTest::addColumn<QString>("fileText");      // written to BAD when not empty
    QTest::addColumn<QString>("message");

    QTest::newRow("unknown command")
        << words("--port DEV frobnicate") << QString() << "Unknown command 'frobnicate'";
    QTest::newRow("unknown option")
        << words("--port DEV --frob version") << QString() << "Unknown option 'frob'";
    QTest::newRow("no route") << words("version") << QString() << "No route given";
    QTest::newRow("diff without file")
        << words("--port DEV diff") << QString() << "'diff' needs a configuration file";
    QTest::newRow("bad model") << words("--port DEV --model r9 version") << QString()
                               << "Unknown model 'r9'";
    QTest::newRow("bad retries") << words("--port DEV --retries x version") << QString()
                                 << "--retries needs a number";
    QTest::newRow("missing device") << words("--port /dev/tovrin-no-such-tty version") << QString()
                                    << "device '/dev/tovrin-no-such-tty' does not exist";
    QTest::newRow("missing file") << words("--port DEV write /nonexistent/x.tovrin.json --yes")
                                  << QString() << "/nonexistent/x.tovrin.json: no such file";
    QTest::newRow("not JSON") << words("--port DEV diff BAD") << "{ not json"
                              << "BAD: ";
    QTest::newRow("not a module file")
        << words("--port DEV write BAD --yes") << R"({"format": "something-else", "version": 1})"
        << "BAD: ";
    QTest::newRow("port count wrong")
        << words("--port DEV write BAD --yes")
        << R"({"format":"tovrin-module-config","version":1,"model":"Tovrin","ports":[]})"
        << "BAD: ";
    QTest::newRow("write without --yes or terminal")
        << words("--port DEV write GOOD") << QString() << "stdin is no terminal";
}

// Bad input: exit 2, one line on stderr, and the module hears nothing.
void TestTovrinctl::badInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, fileText);
    QFETCH(QString, message);

    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("bad")));
    const QString bad = m_dir.filePath(QStringLiteral("bad.tovrin.json"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(fileText.toUtf8());
    file.close();
    const QString good =
        saveConfig(m_dir, QStringLiteral("good.tovrin.json"), sampleConfig(ModuleModel::Tovrin));
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^DEV$")), sim.device());
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^BAD$")), bad);
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^GOOD$")), good);
    message.replace(QStringLiteral("BAD"), bad);

    const CtlRun ctl = run(arguments);
    QCOMPARE(ctl.exitCode, 2);
    QVERIFY(ctl.out.isEmpty());
    QCOMPARE(ctl.err.count(QLatin1Char('\n')), 1);
    QVERIFY2(ctl.err.startsWith(QStringLiteral("tovrinctl: ")), qPrintable(ctl.err));
    QVERIFY2(ctl.err.contains(message), qPrintable(ctl.err));
    QVERIFY(ctl.err.contains(QLatin1String("othing sent")));
    QTest::qWait(100);
    QVERIFY2(!sim.heardAnything(), qPrintable(sim.process().log()));
}

void TestTovrinctl::groundStationPortTaken()
{
    SimModule sim;
    QVERIFY(sim.start(SimModule::Udp, ModuleModel::Tovrin, m_dir, QStringLiteral("taken")));
    QUdpSocket squatter;
    QVERIFY(squatter.bind(QHostAddress::LocalHost, 6161));
    const CtlRun ctl = run(words("--ground-station version"));
    QCOMPARE(ctl.exitCode, 2);
    QVERIFY2(ctl.err.contains(QLatin1String("6161")), qPrintable(ctl.err));
    QVERIFY(ctl.err.contains(QLatin1String("Nothing sent")));
    QVERIFY(!sim.heardAnything());
}

// Three modules written at once from one file; the mute one says so, the
// others are written, and the run ends with the worst code.
void TestTovrinctl::severalDevicesOneMute()
{
    SimModule first;
    SimModule mute;
    SimModule third;
    QVERIFY(first.start(SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("first")));
    QVERIFY(mute.start(SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("mute"),
                       words("--drop-every 1")));
    QVERIFY(third.start(SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("third")));
    const ModuleConfig config = sampleConfig(ModuleModel::R7);
    const QString file = saveConfig(m_dir, QStringLiteral("bench.tovrin.json"), config);
    const QVector<PortRecord> muteBefore = mute.state();
    const QStringList ports{QStringLiteral("--port"), first.device(),
                            QStringLiteral("--port"), mute.device(),
                            QStringLiteral("--port"), third.device()};

    const CtlRun write =
        run(ports + QStringList{QStringLiteral("--retries"), QStringLiteral("0"),
                                QStringLiteral("write"), file, QStringLiteral("--yes"),
                                QStringLiteral("--verify")});
    QCOMPARE(write.exitCode, 3);
    QVERIFY2(write.out.contains(first.device() +
                                QStringLiteral(": R7-Eda V2.3.1: written and verified")),
             qPrintable(write.out));
    QVERIFY(write.out.contains(third.device() +
                               QStringLiteral(": R7-Eda V2.3.1: written and verified")));
    QVERIFY2(write.err.contains(QStringLiteral("tovrinctl: ") + mute.device() +
                                QStringLiteral(": no reply within the watchdog's time")),
             qPrintable(write.err));
    QCOMPARE(write.err.count(QStringLiteral("no reply within the watchdog's time")), 1);
    QTRY_COMPARE(first.state(), config.ports);
    QTRY_COMPARE(third.state(), config.ports);
    QCOMPARE(mute.state(), muteBefore);

    // The same as JSON: one object per device, in the order given.
    const CtlRun json = run(ports + words("--retries 0 --json version"));
    QCOMPARE(json.exitCode, 3);
    const QStringList lines = json.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    const QStringList outcomes{QStringLiteral("success"), QStringLiteral("no-reply"),
                               QStringLiteral("success")};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject object = QJsonDocument::fromJson(lines.at(i).toUtf8()).object();
        QCOMPARE(object.value(QLatin1String("device")).toString(), ports.at(2 * i + 1));
        QCOMPARE(object.value(QLatin1String("outcome")).toString(), outcomes.at(i));
    }
}

void TestTovrinctl::readSeveralIntoFolder()
{
    SimModule a;
    SimModule b;
    QVERIFY(a.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("a")));
    QVERIFY(b.start(SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("b")));
    const QString folder = m_dir.filePath(QStringLiteral("reads"));
    const CtlRun read = run({QStringLiteral("--port"), a.device(), QStringLiteral("--port"),
                             b.device(), QStringLiteral("read"), QStringLiteral("-o"), folder});
    QVERIFY2(read.exitCode == 0, qPrintable(read.err));
    for (SimModule *sim : {&a, &b}) {
        const QString name = sim->device().mid(5).replace(QLatin1Char('/'), QLatin1Char('-'));
        ModuleConfig config;
        QString error;
        QVERIFY2(
            ConfigFile::load(QDir(folder).filePath(name + ConfigFile::suffix()), &config, &error),
            qPrintable(error));
        QCOMPARE(config.ports, sim->state());
    }
}

void TestTovrinctl::confirmOnTerminal_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("written");
    QTest::addColumn<int>("modules");
    QTest::newRow("yes") << QByteArray("y\n") << 0 << true << 1;
    QTest::newRow("no") << QByteArray("n\n") << 2 << false << 1;
    QTest::newRow("just enter") << QByteArray("\n") << 2 << false << 1;
    QTest::newRow("two modules, yes") << QByteArray("y\n") << 0 << true << 2;
}

// On a terminal (script(1) gives tovrinctl one) the change list comes first,
// then the question; only a yes writes. The status line is redrawn in place.
void TestTovrinctl::confirmOnTerminal()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, exitCode);
    QFETCH(bool, written);
    QFETCH(int, modules);
    SimModule sims[2];
    QString ports;
    for (int i = 0; i < modules; ++i) {
        QVERIFY(sims[i].start(SimModule::Pty, ModuleModel::Tovrin, m_dir,
                              QStringLiteral("terminal%1").arg(i)));
        ports += QStringLiteral(" --port '%1'").arg(sims[i].device());
    }
    SimModule &sim = sims[0];
    const ModuleConfig config = sampleConfig(ModuleModel::Tovrin);
    const QString file = saveConfig(m_dir, QStringLiteral("terminal.tovrin.json"), config);
    const QVector<PortRecord> before = sim.state();

    QProcess script;
    const QString command = QStringLiteral("'%1'%2 write '%3'").arg(ctlPath(), ports, file);
    script.start(QStringLiteral("script"),
                 {QStringLiteral("-qec"), command, QStringLiteral("/dev/null")});
    QVERIFY(script.waitForStarted());
    QByteArray seen;
    QVERIFY(QTest::qWaitFor(
        [&] {
            seen += script.readAllStandardOutput();
            return seen.contains("[y/N]");
        },
        10000));
    QVERIFY2(seen.contains("Port1"), seen.constData()); // the change list, before the question
    // The question names every module and its device, counts the changes
    // listed and says when they take effect.
    const int changes = seen.count("→");
    const QString question =
        modules == 1
            ? QStringLiteral("Write %1 changes to Tovrin V2.3.1 on %2? The module applies them "
                             "after its next restart. [y/N]")
                  .arg(QString::number(changes), sim.device())
            : QStringLiteral("Write %1 changes to 2 modules: Tovrin V2.3.1 on %2 (%3 changes), "
                             "Tovrin V2.3.1 on %4 (%3 changes)? Each module applies its settings "
                             "after its next restart. [y/N]")
                  .arg(QString::number(changes), sims[0].device(), QString::number(changes / 2),
                       sims[1].device());
    QVERIFY2(QString::fromUtf8(seen).contains(question), seen.constData());
    script.write(answer);
    QVERIFY(script.waitForFinished(20000));
    seen += script.readAllStandardOutput();
    QCOMPARE(script.exitCode(), exitCode);
    QVERIFY(seen.contains("\033[2K")); // a status line rewritten in place
    if (written) {
        QVERIFY(seen.contains(": written"));
        for (int i = 0; i < modules; ++i)
            QTRY_COMPARE(sims[i].state(), config.ports);
    } else {
        QVERIFY(seen.contains("write declined; nothing written"));
        QCOMPARE(sim.state(), before);
    }
}

// --json diff: every change an object a script can use without reading
// the display text; the values are those of the configuration file.
void TestTovrinctl::jsonChanges()
{
    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("json")));
    const QString file =
        saveConfig(m_dir, QStringLiteral("json.tovrin.json"), sampleConfig(ModuleModel::R7));
    const QStringList base{QStringLiteral("--port"), sim.device(), QStringLiteral("diff"), file};
    const CtlRun text = run(base);
    const CtlRun json = run(QStringList{QStringLiteral("--json")} + base);
    QCOMPARE(json.exitCode, 1);
    const QJsonArray changes = QJsonDocument::fromJson(json.out.toUtf8())
                                   .object()
                                   .value(QLatin1String("changes"))
                                   .toArray();
    const QStringList lines = text.out.split(QLatin1Char('\n')).filter(QStringLiteral(" → "));
    QCOMPARE(changes.size(), lines.size());

    QMap<QString, QJsonObject> byField; // "port field" -> change
    for (int i = 0; i < changes.size(); ++i) {
        const QJsonObject change = changes.at(i).toObject();
        QCOMPARE(change.keys(), (QStringList{QStringLiteral("field"), QStringLiteral("from"),
                                             QStringLiteral("port"), QStringLiteral("text"),
                                             QStringLiteral("title"), QStringLiteral("to")}));
        QCOMPARE(change.value(QLatin1String("text")).toString(), lines.at(i));
        const int port = change.value(QLatin1String("port")).toInt();
        QCOMPARE(change.value(QLatin1String("title")).toString(),
                 ModuleProfile::port(ModuleModel::R7, port).title);
        byField.insert(
            QStringLiteral("%1 %2").arg(port).arg(change.value(QLatin1String("field")).toString()),
            change);
    }
    // The simulator's records are UART 57600 8N1 RS-232 with protocols 0, and
    // CAN at 1000 kbit/s on port 5; the file's port 0 is 115200, even parity,
    // RS-422 and send protocol 16, its port 5 CAN at 500 kbit/s.
    const auto values = [&byField](const char *key) {
        const QJsonObject change = byField.value(QLatin1String(key));
        return qMakePair(change.value(QLatin1String("from")), change.value(QLatin1String("to")));
    };
    QCOMPARE(values("0 baud"), qMakePair(QJsonValue(57600), QJsonValue(115200)));
    QCOMPARE(values("0 parity"),
             qMakePair(QJsonValue(QStringLiteral("none")), QJsonValue(QStringLiteral("even"))));
    QCOMPARE(values("0 level"),
             qMakePair(QJsonValue(QStringLiteral("RS-232")), QJsonValue(QStringLiteral("RS-422"))));
    QCOMPARE(values("0 send").first.toObject().value(QLatin1String("code")), QJsonValue(0));
    QCOMPARE(values("0 send").second.toObject().value(QLatin1String("code")), QJsonValue(16));
    QVERIFY(!values("0 send").second.toObject().value(QLatin1String("name")).toString().isEmpty());
    QCOMPARE(values("5 baud"), qMakePair(QJsonValue(1000000), QJsonValue(500000)));
    QVERIFY(!byField.contains(QStringLiteral("0 dataBits"))); // equal fields are not listed
}

// A reason that is a sentence of its own is followed by a sentence, not by
// a clause after its full stop.
void TestTovrinctl::fileErrorAsSentence()
{
    const QString bad = m_dir.filePath(QStringLiteral("sentence.tovrin.json"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(R"({"format": "something-else", "version": 1})");
    file.close();
    const CtlRun ctl =
        run({QStringLiteral("--port"), QStringLiteral("/dev/null"), QStringLiteral("diff"), bad},
            60000, {QStringLiteral("LANG=en_US.UTF-8"), QStringLiteral("LC_ALL=")});
    QCOMPARE(ctl.exitCode, 2);
    QCOMPARE(ctl.err, QStringLiteral("tovrinctl: %1: The file is not a Tovrin module "
                                     "configuration file. Nothing sent.\n")
                          .arg(bad));
}

void TestTovrinctl::help()
{
    const CtlRun help = run(words("--help"));
    QCOMPARE(help.exitCode, 0);
    for (const char *text :
         {"--port", "--via-fc", "--ground-station", "--model", "--retries", "--json", "--yes",
          "--verify", "version", "read", "diff", "write", "Exit codes", "  5  "})
        QVERIFY2(help.out.contains(QLatin1String(text)), text);
}

// The tool's own version, with no route and no module needed.
void TestTovrinctl::ownVersion()
{
    const CtlRun version = run({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("tovrinctl " TOVRIN_VERSION "\n"));
    QVERIFY(version.err.isEmpty());
}

QTEST_GUILESS_MAIN(TestTovrinctl)
#include "tst_tovrinctl.moc"
