// tovrinctl provision as a station operator runs it: real tovrinctl and
// simulator processes on ptys. Each row plugs modules, gives files and a
// fault, and checks every unit's outcome, the report's lines, what each
// module ends up holding and the exit code; the summary's command redoes
// exactly the failed devices. Report files stay one object per line when two
// runs append at once, and CSV reports carry their header once.
#include "configfile.h"
#include "ctlfixture.h"
#include "jsonlines.h"
#include "simstatefile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace CtlFixture;

namespace
{
const QStringList kFields{"time",    "device", "adapter", "model",   "firmware", "file",
                          "outcome", "exit",   "changes", "seconds", "snapshot"};

// One plugged module of a row: its model and simulator options.
struct Plugged {
    ModuleModel model = ModuleModel::Tovrin;
    QStringList options;
    bool holdsFile = false; // starts with the file's records
};

// The report's lines, each a JSON object with exactly the report's fields.
QVector<QJsonObject> reportLines(const QString &path, QString *problem)
{
    const JsonLines::Lines read = JsonLines::read(path);
    if (!read.opened)
        *problem = QStringLiteral("no report");
    else if (!read.endsWhole)
        *problem = QStringLiteral("the report ends in half a line");
    for (const QByteArray &line : read.notObjects)
        *problem = QStringLiteral("not one object: %1").arg(QString::fromUtf8(line));
    QStringList wanted = kFields;
    wanted.sort();
    for (const QJsonObject &line : read.objects) {
        QStringList keys = line.keys();
        keys.sort();
        if (keys != wanted)
            *problem = QStringLiteral("fields %1").arg(keys.join(QLatin1Char(',')));
    }
    return read.objects;
}

// The command the summary offers for the failed devices, as words.
QStringList redoWords(const QString &err)
{
    const QStringList lines = err.split(QLatin1Char('\n'));
    const int at = lines.indexOf(QStringLiteral("tovrinctl: to redo only the failed devices:"));
    if (at < 0 || at + 1 >= lines.size())
        return {};
    return lines.at(at + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QStringList portsOf(const QStringList &words)
{
    QStringList ports;
    for (int i = 0; i + 1 < words.size(); ++i) {
        if (words.at(i) == QLatin1String("--port"))
            ports.append(words.at(i + 1));
    }
    return ports;
}

QByteArrayList bytesOf(const QVector<PortRecord> &records)
{
    QByteArrayList bytes;
    for (const PortRecord &record : records)
        bytes.append(record.bytes());
    return bytes;
}
} // namespace

Q_DECLARE_METATYPE(ModuleModel)
Q_DECLARE_METATYPE(Plugged)
Q_DECLARE_METATYPE(QVector<Plugged>)
Q_DECLARE_METATYPE(QVector<ModuleModel>)

class TestCtlProvision : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void units_data();
    void units();
    void partialFile();
    void refusedBeforeSending_data();
    void refusedBeforeSending();
    void jsonOnStdout();
    void csvReport();
    void twoRunsAppendAtOnce();
    void described();

private:
    QString fileFor(ModuleModel model);
    QTemporaryDir m_dir;
};

void TestCtlProvision::initTestCase()
{
    QVERIFY(QFileInfo::exists(ctlPath()));
    QVERIFY(m_dir.isValid());
}

QString TestCtlProvision::fileFor(ModuleModel model)
{
    return saveConfig(m_dir, ModuleProfile::name(model) + ConfigFile::suffix(),
                      sampleConfig(model));
}

void TestCtlProvision::units_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QVector<Plugged>>("plugged");
    QTest::addColumn<QVector<ModuleModel>>("files"); // a file for each of these models
    QTest::addColumn<QStringList>("outcomes");       // per plugged module
    QTest::addColumn<QString>("error");              // in a failed unit's line
    QTest::addColumn<int>("exitCode");

    const auto T = ModuleModel::Tovrin;
    const auto R = ModuleModel::R7;
    const QVector<ModuleModel> both{T, R};
    QTest::newRow("written") << Route::Direct << QVector<Plugged>{{T, {}, false}}
                             << QVector<ModuleModel>{T} << QStringList{"written"} << "" << 0;
    QTest::newRow("unchanged") << Route::Direct << QVector<Plugged>{{T, {}, true}}
                               << QVector<ModuleModel>{T} << QStringList{"unchanged"} << "" << 0;
    QTest::newRow("mixed models, two files")
        << Route::Direct << QVector<Plugged>{{T, {}, false}, {R, {}, false}, {R, {}, true}} << both
        << QStringList{"written", "written", "unchanged"} << "" << 0;
    QTest::newRow("mixed models via fc, two files")
        << Route::ViaFc << QVector<Plugged>{{R, {}, false}, {T, {}, false}} << both
        << QStringList{"written", "written"} << "" << 0;
    QTest::newRow("a model without a file")
        << Route::Direct << QVector<Plugged>{{T, {}, false}, {R, {}, false}}
        << QVector<ModuleModel>{T} << QStringList{"written", "no-file"}
        << "no file for R7-Eda; nothing written" << 2;
    QTest::newRow("a mute module")
        << Route::ViaFc << QVector<Plugged>{{R, {"--drop-every", "1"}, false}, {T, {}, false}}
        << both << QStringList{"no-reply", "written"} << "no reply within the watchdog's time" << 3;
    QTest::newRow("a write refused")
        << Route::Direct << QVector<Plugged>{{T, {"--fail-writes"}, false}, {R, {}, false}} << both
        << QStringList{"refused", "written"} << "the module refused the write" << 4;
    QTest::newRow("a module pulled out mid-write")
        << Route::ViaFc << QVector<Plugged>{{R, {"--vanish-at-write", "3"}, false}, {T, {}, false}}
        << both << QStringList{"link-lost", "written"}
        << "link lost during write: the module may hold some new records" << 5;
}

void TestCtlProvision::units()
{
    QFETCH(Route, route);
    QFETCH(QVector<Plugged>, plugged);
    QFETCH(QVector<ModuleModel>, files);
    QFETCH(QStringList, outcomes);
    QFETCH(QString, error);
    QFETCH(int, exitCode);

    const QString tag =
        QString::fromLatin1(QTest::currentDataTag())
            .replace(QRegularExpression(QStringLiteral("[^a-z]+")), QStringLiteral("-"));
    std::vector<std::unique_ptr<SimModule>> sims;
    QStringList arguments;
    for (int i = 0; i < plugged.size(); ++i) {
        const Plugged &unit = plugged.at(i);
        QStringList options = unit.options;
        if (unit.holdsFile) {
            const QString records = m_dir.filePath(QStringLiteral("%1-%2.records").arg(tag).arg(i));
            QVERIFY(SimStateFile::write(records, bytesOf(sampleConfig(unit.model).ports)));
            options << QStringLiteral("--records") << records;
        }
        sims.push_back(std::make_unique<SimModule>());
        QVERIFY(sims.back()->start(SimModule::Pty, unit.model, m_dir,
                                   QStringLiteral("%1-%2").arg(tag).arg(i), options));
        arguments << QStringLiteral("--port") << sims.back()->device();
    }
    if (route == Route::ViaFc)
        arguments << QStringLiteral("--via-fc");
    const QString history = m_dir.filePath(tag + QStringLiteral("-history"));
    const QString report = m_dir.filePath(tag + QStringLiteral(".jsonl"));
    arguments << QStringLiteral("--retries") << QStringLiteral("0") << QStringLiteral("--history")
              << history << QStringLiteral("provision");
    QMap<ModuleModel, QString> fileOf;
    QStringList given;
    for (ModuleModel model : qAsConst(files)) {
        fileOf.insert(model, fileFor(model));
        given << fileOf.value(model);
    }
    arguments << given;
    arguments << QStringLiteral("--report") << report;
    QVector<QVector<PortRecord>> before;
    for (const auto &sim : sims)
        before.append(sim->state());

    const CtlRun ctl = run(arguments);
    QVERIFY2(ctl.exitCode == exitCode,
             qPrintable(QStringLiteral("exit %1: %2%3").arg(ctl.exitCode).arg(ctl.out, ctl.err)));

    QString problem;
    const QVector<QJsonObject> lines = reportLines(report, &problem);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(lines.size(), plugged.size());
    const QStringList printed = ctl.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(printed.size(), plugged.size());
    QStringList failed;
    for (int i = 0; i < plugged.size(); ++i) {
        const SimModule &sim = *sims.at(i);
        const ModuleModel model = plugged.at(i).model;
        const QString device = sims.at(i)->device();
        // Lines come as units end: found by device.
        const auto line = std::find_if(lines.cbegin(), lines.cend(), [&](const QJsonObject &o) {
            return o.value(QLatin1String("device")).toString() == device;
        });
        QVERIFY2(line != lines.cend(), qPrintable(device));
        const QString outcome = outcomes.at(i);
        const bool pass =
            outcome == QLatin1String("written") || outcome == QLatin1String("unchanged");
        QCOMPARE(line->value(QLatin1String("outcome")).toString(), outcome);
        QCOMPARE(line->value(QLatin1String("exit")).toInt() == 0, pass);
        QVERIFY(line->value(QLatin1String("adapter")).isNull()); // a pty is no adapter
        QVERIFY(QDateTime::fromString(line->value(QLatin1String("time")).toString(), Qt::ISODate)
                    .isValid());
        QVERIFY(line->value(QLatin1String("seconds")).toDouble() > 0);
        if (outcome != QLatin1String("no-reply")) {
            QCOMPARE(line->value(QLatin1String("model")).toString(), ModuleProfile::name(model));
            QCOMPARE(line->value(QLatin1String("firmware")).toString(), QStringLiteral("V2.3.1"));
        }
        const QJsonValue file = line->value(QLatin1String("file"));
        if (fileOf.contains(model) && outcome != QLatin1String("no-reply"))
            QCOMPARE(file.toString(), fileOf.value(model));
        else
            QVERIFY(file.isNull());
        const int changes = line->value(QLatin1String("changes")).toArray().size();
        const QJsonValue snapshot = line->value(QLatin1String("snapshot"));
        const QString text = printed.filter(QStringLiteral("  %1  ").arg(device)).value(0);
        QVERIFY2(text.startsWith(pass ? QStringLiteral("PASS  ") : QStringLiteral("FAIL  ")),
                 qPrintable(ctl.out));
        QVERIFY2(text.contains(QStringLiteral("  %1  ").arg(outcome)), qPrintable(text));
        // A write that went out has its snapshot and its change list.
        const bool wrote = outcome == QLatin1String("written") ||
                           outcome == QLatin1String("link-lost") ||
                           outcome == QLatin1String("refused");
        QCOMPARE(changes > 0, wrote);
        QCOMPARE(QFileInfo::exists(snapshot.toString()), wrote);
        QCOMPARE(snapshot.isNull(), !wrote);
        if (!pass) {
            QVERIFY2(text.contains(error), qPrintable(text));
            failed << device;
        }
        if (outcome == QLatin1String("written")) {
            QTRY_COMPARE(sim.state(), sampleConfig(model).ports);
        } else if (outcome == QLatin1String("link-lost")) {
            QVERIFY2(text.contains(snapshot.toString()), qPrintable(text));
            // The ports stored before the pty went are the file's, the rest
            // the module's own.
            const QVector<PortRecord> held = sim.state();
            for (int port = 0; port < held.size(); ++port)
                QCOMPARE(held.at(port),
                         port < 3 ? sampleConfig(model).ports.at(port) : before.at(i).at(port));
        } else {
            QCOMPARE(sim.state(), before.at(i));
        }
    }
    // The summary counts every outcome; its command redoes the failed
    // devices only, with the same route, files and report.
    QVERIFY2(ctl.err.contains(QStringLiteral("tovrinctl: provisioned %1 unit").arg(plugged.size())),
             qPrintable(ctl.err));
    const QStringList redo = redoWords(ctl.err);
    QCOMPARE(portsOf(redo), failed);
    if (!failed.isEmpty()) {
        QCOMPARE(redo.contains(QStringLiteral("--via-fc")), route == Route::ViaFc);
        QVERIFY(!redo.contains(QStringLiteral("--watch")));
        QCOMPARE(redo.mid(redo.indexOf(QStringLiteral("provision")) + 1, given.size()), given);
        // Pasted, it runs those devices again, if they are still there: the
        // same failures.
        if (std::all_of(failed.cbegin(), failed.cend(),
                        [](const QString &device) { return QFileInfo::exists(device); })) {
            const CtlRun again = run(redo.mid(1));
            QCOMPARE(again.exitCode, exitCode);
            QCOMPARE(again.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), failed.size());
        }
    }
}

// A file that names only some ports: those are provisioned, the others keep
// what the module holds; the change list covers the named ports only.
void TestCtlProvision::partialFile()
{
    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("partial")));
    const QVector<PortRecord> before = sim.state();
    const QJsonArray ports{QJsonObject{
        {QStringLiteral("port"), 2},
        {QStringLiteral("record"),
         QString::fromLatin1(sampleConfig(ModuleModel::Tovrin).ports.at(1).bytes().toHex())}}};
    const QByteArray text =
        QJsonDocument(
            QJsonObject{{QStringLiteral("format"), QStringLiteral("tovrin-module-config")},
                        {QStringLiteral("version"), 1},
                        {QStringLiteral("model"), ModuleProfile::name(ModuleModel::Tovrin)},
                        {QStringLiteral("ports"), ports}})
            .toJson();
    const QString file = m_dir.filePath(QStringLiteral("partial.tovrin.json"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(text) == text.size());
    out.close();
    const QString report = m_dir.filePath(QStringLiteral("partial.jsonl"));

    const CtlRun ctl =
        run(QStringList{QStringLiteral("--port"), sim.device(), QStringLiteral("--no-history"),
                        QStringLiteral("provision"), file, QStringLiteral("--report"), report});
    QVERIFY2(ctl.exitCode == 0, qPrintable(ctl.err));
    QString problem;
    const QVector<QJsonObject> lines = reportLines(report, &problem);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.first().value(QLatin1String("outcome")).toString(), QStringLiteral("written"));
    QVERIFY(lines.first().value(QLatin1String("snapshot")).isNull()); // --no-history
    for (const QJsonValue change : lines.first().value(QLatin1String("changes")).toArray())
        QCOMPARE(change.toObject().value(QLatin1String("port")).toInt(), 1);
    QVector<PortRecord> expected = before;
    expected[1] = sampleConfig(ModuleModel::Tovrin).ports.at(1);
    QTRY_COMPARE(sim.state(), expected);

    // Run again: the module holds the result, nothing is written.
    const CtlRun again =
        run(QStringList{QStringLiteral("--port"), sim.device(), QStringLiteral("--no-history"),
                        QStringLiteral("provision"), file, QStringLiteral("--report"), report});
    QVERIFY2(again.exitCode == 0, qPrintable(again.err));
    QVERIFY2(again.out.startsWith(QStringLiteral("PASS  ") + sim.device()), qPrintable(again.out));
    QVERIFY(again.out.contains(QStringLiteral("  unchanged  0 changes  ")));
    QCOMPARE(reportLines(report, &problem).size(), 2);
}

// Refused before anything is sent: exit 2, the module hears nothing.
void TestCtlProvision::refusedBeforeSending_data()
{
    QTest::addColumn<QStringList>("words"); // DEV: the module, T/R: a file, T2: another Tovrin file
    QTest::addColumn<QString>("message");

    QTest::newRow("two files for one model")
        << words("--port DEV provision T R T2") << "are both for Tovrin: give one file per model";
    QTest::newRow("no file") << words("--port DEV provision")
                             << "'provision' needs a configuration file";
    QTest::newRow("a missing file") << words("--port DEV provision NOFILE") << "no such file";
    QTest::newRow("the report's folder missing")
        << words("--port DEV provision T --report /nonexistent/r.jsonl") << "does not exist";
    QTest::newRow("--yes is no provisioning word")
        << words("--port DEV provision T --yes") << "--yes and --verify belong to 'write'";
    QTest::newRow("--report belongs to provision")
        << words("--port DEV read --report r.jsonl") << "belong to 'provision'";
    QTest::newRow("--capture is no provisioning word")
        << words("--port DEV provision T --capture c.jsonl") << "'provision' takes no --capture";
    QTest::newRow("--all-serial without --watch")
        << words("--port DEV provision T --all-serial") << "--all-serial belongs to";
}

void TestCtlProvision::refusedBeforeSending()
{
    QFETCH(QStringList, words);
    QFETCH(QString, message);
    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("refused")));
    ModuleConfig second = sampleConfig(ModuleModel::Tovrin);
    second.ports[0] = second.ports.at(3);
    const QString t2 = saveConfig(m_dir, QStringLiteral("second.tovrin.json"), second);
    words.replaceInStrings(QRegularExpression(QStringLiteral("^DEV$")), sim.device());
    words.replaceInStrings(QRegularExpression(QStringLiteral("^T$")), fileFor(ModuleModel::Tovrin));
    words.replaceInStrings(QRegularExpression(QStringLiteral("^R$")), fileFor(ModuleModel::R7));
    words.replaceInStrings(QRegularExpression(QStringLiteral("^T2$")), t2);
    words.replaceInStrings(QRegularExpression(QStringLiteral("^NOFILE$")),
                           m_dir.filePath(QStringLiteral("none.tovrin.json")));

    const CtlRun ctl = run(words);
    QCOMPARE(ctl.exitCode, 2);
    QVERIFY2(ctl.err.contains(message), qPrintable(ctl.err));
    QVERIFY2(ctl.err.contains(QStringLiteral("othing sent")), qPrintable(ctl.err));
    QVERIFY(ctl.out.isEmpty());
    QVERIFY(!sim.heardAnything());
}

// --json: one object per unit on stdout, the report's fields, and nothing
// else there.
void TestCtlProvision::jsonOnStdout()
{
    SimModule tovrin;
    SimModule r7;
    QVERIFY(tovrin.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("json-t")));
    QVERIFY(r7.start(SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("json-r")));
    const CtlRun ctl =
        run(QStringList{QStringLiteral("--port"), tovrin.device(), QStringLiteral("--port"),
                        r7.device(), QStringLiteral("--no-history"), QStringLiteral("--json"),
                        QStringLiteral("provision"), fileFor(ModuleModel::Tovrin)});
    QCOMPARE(ctl.exitCode, 2);
    const QString out = m_dir.filePath(QStringLiteral("json-out.jsonl"));
    QFile file(out);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ctl.out.toUtf8());
    file.close();
    QString problem;
    const QVector<QJsonObject> lines = reportLines(out, &problem);
    QVERIFY2(problem.isEmpty(), qPrintable(problem + ctl.out));
    QCOMPARE(lines.size(), 2);
    QStringList outcomes;
    for (const QJsonObject &line : lines)
        outcomes << line.value(QLatin1String("outcome")).toString();
    outcomes.sort();
    QCOMPARE(outcomes, (QStringList{"no-file", "written"}));
}

// A CSV report: a header when the file is new, then one row per unit with
// the JSON line's columns, changes joined in one cell.
void TestCtlProvision::csvReport()
{
    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("csv")));
    const QString report = m_dir.filePath(QStringLiteral("units.csv"));
    const QStringList arguments{QStringLiteral("--port"),
                                sim.device(),
                                QStringLiteral("--no-history"),
                                QStringLiteral("provision"),
                                fileFor(ModuleModel::R7),
                                QStringLiteral("--report"),
                                report};
    QCOMPARE(run(arguments).exitCode, 0);
    QCOMPARE(run(arguments).exitCode, 0);

    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList rows =
        QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 3);
    const QStringList header = rows.at(0).split(QLatin1Char(','));
    QCOMPARE(header.first(), QStringLiteral("time"));
    QVERIFY(header.contains(QStringLiteral("adapter.serialNumber")));
    const int outcome = header.indexOf(QStringLiteral("outcome"));
    const int changes = header.indexOf(QStringLiteral("changes"));
    // Values here hold no commas or quotes but the changes cell: no quoting
    // elsewhere.
    const QStringList written = rows.at(1).split(QLatin1Char(','));
    QCOMPARE(written.value(header.indexOf(QStringLiteral("device"))), sim.device());
    QCOMPARE(written.value(outcome), QStringLiteral("written"));
    QVERIFY2(written.value(changes).contains(QStringLiteral(" -> ")), qPrintable(rows.at(1)));
    const QStringList unchanged = rows.at(2).split(QLatin1Char(','));
    QCOMPARE(unchanged.size(), header.size());
    QCOMPARE(unchanged.value(outcome), QStringLiteral("unchanged"));
    QCOMPARE(unchanged.value(changes), QString());
}

// Two runs appending to one report at once, four units each: every unit
// has its one whole line.
void TestCtlProvision::twoRunsAppendAtOnce()
{
    const QString report = m_dir.filePath(QStringLiteral("shared.jsonl"));
    const QString file = fileFor(ModuleModel::Tovrin);
    std::vector<std::unique_ptr<SimModule>> sims;
    QStringList devices;
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int station = 0; station < 2; ++station) {
        QStringList arguments;
        for (int i = 0; i < 4; ++i) {
            sims.push_back(std::make_unique<SimModule>());
            QVERIFY(sims.back()->start(SimModule::Pty, ModuleModel::Tovrin, m_dir,
                                       QStringLiteral("shared-%1-%2").arg(station).arg(i)));
            arguments << QStringLiteral("--port") << sims.back()->device();
            devices << sims.back()->device();
        }
        arguments << QStringLiteral("--no-history") << QStringLiteral("provision") << file
                  << QStringLiteral("--report") << report;
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->setStandardInputFile(QProcess::nullDevice());
        runs.back()->setArguments(arguments);
        runs.back()->setProgram(ctlPath());
    }
    for (const auto &process : runs)
        process->start();
    for (const auto &process : runs) {
        QVERIFY(process->waitForFinished(60000));
        QCOMPARE(process->exitCode(), 0);
    }
    QString problem;
    const QVector<QJsonObject> lines = reportLines(report, &problem);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QStringList reported;
    for (const QJsonObject &line : lines)
        reported << line.value(QLatin1String("device")).toString();
    reported.sort();
    devices.sort();
    QCOMPARE(reported, devices);
}

// --help, the man page and the shell completion know the command and its
// options.
void TestCtlProvision::described()
{
    const CtlRun help = run({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QFile man(QStringLiteral(TOVRIN_SOURCE_DIR "/packaging/man/tovrinctl.1"));
    QVERIFY(man.open(QIODevice::ReadOnly));
    const QString manText = QString::fromUtf8(man.readAll()).remove(QLatin1Char('\\'));
    QFile completion(QStringLiteral(TOVRIN_SOURCE_DIR "/packaging/completion/tovrinctl"));
    QVERIFY(completion.open(QIODevice::ReadOnly));
    const QString completionText = QString::fromUtf8(completion.readAll());
    for (const char *word : {"provision", "--report", "--watch", "--all-serial"}) {
        QVERIFY2(help.out.contains(QLatin1String(word)), word);
        QVERIFY2(manText.contains(QLatin1String(word)), word);
        QVERIFY2(completionText.contains(QLatin1String(word)), word);
    }
}

QTEST_GUILESS_MAIN(TestCtlProvision)
#include "tst_ctlprovision.moc"
