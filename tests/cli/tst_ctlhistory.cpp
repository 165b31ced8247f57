// tovrinctl's history: a snapshot of the module's records before every write,
// listed by "history" and written back by "restore"; a snapshot that cannot
// be saved stops the write. The simulator on a pty is the module, and its
// state file says what it holds.
#include "configfile.h"
#include "ctlfixture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <unistd.h>

using namespace CtlFixture;

Q_DECLARE_METATYPE(ModuleModel)

namespace
{
QStringList snapshots(const QString &folder)
{
    return QDir(folder).entryList({QLatin1Char('*') + ConfigFile::suffix()}, QDir::Files,
                                  QDir::Name);
}

// The write object of a snapshot file.
WriteNote noteOf(const QString &path)
{
    QFile file(path);
    WriteNote note;
    if (file.open(QIODevice::ReadOnly))
        ConfigFile::writeNote(file.readAll(), &note);
    return note;
}

QVector<PortRecord> recordsOf(const QString &path)
{
    ModuleConfig config;
    QString error;
    if (!ConfigFile::load(path, &config, &error))
        qWarning("%s", qPrintable(error));
    return config.ports;
}
} // namespace

class TestCtlHistory : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void writeThenRestoreLast_data();
    void writeThenRestoreLast();
    void failedWriteNotedAsFailure();
    void unusableHistoryStopsTheWrite_data();
    void unusableHistoryStopsTheWrite();
    void noHistoryTakesNone();

private:
    QTemporaryDir m_dir;
};

void TestCtlHistory::initTestCase()
{
    QVERIFY(QFileInfo::exists(ctlPath()));
    QVERIFY(m_dir.isValid());
}

void TestCtlHistory::writeThenRestoreLast_data()
{
    QTest::addColumn<ModuleModel>("model");
    QTest::addColumn<bool>("viaFc");
    QTest::newRow("tovrin direct") << ModuleModel::Tovrin << false;
    QTest::newRow("r7 via fc") << ModuleModel::R7 << true;
}

// write: the snapshot holds what the module held, names the device and says
// success; history lists it; restore --last puts those records back and takes
// a snapshot of its own.
void TestCtlHistory::writeThenRestoreLast()
{
    QFETCH(ModuleModel, model);
    QFETCH(bool, viaFc);
    const QString tag =
        QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_'));
    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, model, m_dir, tag));
    const QString history = m_dir.filePath(tag + QStringLiteral("-history"));
    QStringList base{QStringLiteral("--port"), sim.device(), QStringLiteral("--history"), history};
    if (viaFc)
        base << QStringLiteral("--via-fc");
    const ModuleConfig config = sampleConfig(model);
    const QString file = saveConfig(m_dir, tag + ConfigFile::suffix(), config);
    const QVector<PortRecord> before = sim.state();
    QCOMPARE(before.size(), ModuleProfile::portCount(model));

    const CtlRun write = run(base + QStringList{QStringLiteral("--json"), QStringLiteral("write"),
                                                file, QStringLiteral("--yes")});
    QVERIFY2(write.exitCode == 0, qPrintable(write.err));
    QTRY_COMPARE(sim.state(), config.ports);
    QStringList taken = snapshots(history);
    QCOMPARE(taken.size(), 1);
    const QString first = QDir(history).filePath(taken.first());
    QVERIFY2(taken.first().endsWith(
                 QStringLiteral("-%1-%2.tovrin.json")
                     .arg(QFileInfo(sim.device()).fileName(), ModuleProfile::name(model))),
             qPrintable(taken.first()));
    QCOMPARE(QJsonDocument::fromJson(write.out.toUtf8()).object().value(QLatin1String("snapshot")),
             QJsonValue(first));
    QCOMPARE(recordsOf(first), before);
    WriteNote note = noteOf(first);
    QCOMPARE(note.device, sim.device());
    QCOMPARE(note.sent, config.ports);
    QCOMPARE(note.outcome, WriteNote::Outcome::Success);

    const CtlRun listed = run({QStringLiteral("history"), QStringLiteral("--history"), history,
                               QStringLiteral("--port"), sim.device()});
    QVERIFY2(listed.exitCode == 0, qPrintable(listed.err));
    QCOMPARE(listed.out.count(QLatin1Char('\n')), 1);
    for (const QString &column : {sim.device(), ModuleProfile::name(model),
                                  QStringLiteral("V2.3.1"), QStringLiteral("success"), first})
        QVERIFY2(listed.out.contains(column), qPrintable(listed.out + " lacks " + column));
    const CtlRun other = run({QStringLiteral("history"), QStringLiteral("--history"), history,
                              QStringLiteral("--port"), QStringLiteral("/dev/ttyNothing")});
    QCOMPARE(other.exitCode, 0);
    QVERIFY(other.out.isEmpty());

    const CtlRun restore =
        run(base + QStringList{QStringLiteral("restore"), QStringLiteral("--last"),
                               QStringLiteral("--yes"), QStringLiteral("--verify")});
    QVERIFY2(restore.exitCode == 0, qPrintable(restore.err));
    QVERIFY2(restore.out.contains(QLatin1String("written and verified")), qPrintable(restore.out));
    QTRY_COMPARE(sim.state(), before);
    taken = snapshots(history);
    QCOMPARE(taken.size(), 2);

    // Newest first: the restore's snapshot holds what the write had written.
    const CtlRun json = run({QStringLiteral("history"), QStringLiteral("--history"), history,
                             QStringLiteral("--json")});
    QVERIFY2(json.exitCode == 0, qPrintable(json.err));
    const QStringList lines = json.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QJsonObject newest = QJsonDocument::fromJson(lines.first().toUtf8()).object();
    QCOMPARE(newest.value(QLatin1String("outcome")).toString(), QStringLiteral("success"));
    QCOMPARE(newest.value(QLatin1String("model")).toString(), ModuleProfile::name(model));
    QCOMPARE(newest.value(QLatin1String("device")).toString(), sim.device());
    const QString second = newest.value(QLatin1String("file")).toString();
    QVERIFY(second != first);
    QCOMPARE(recordsOf(second), config.ports);
    QCOMPARE(noteOf(second).sent, before);
    QCOMPARE(QJsonDocument::fromJson(lines.last().toUtf8()).object().value(QLatin1String("file")),
             QJsonValue(first));

    // restore FILE: the file's records, as write would.
    const CtlRun named =
        run(base + QStringList{QStringLiteral("restore"), second, QStringLiteral("--yes")});
    QVERIFY2(named.exitCode == 0, qPrintable(named.err));
    QTRY_COMPARE(sim.state(), config.ports);
    QCOMPARE(snapshots(history).size(), 3);
}

// A write the module refuses: its snapshot says so.
void TestCtlHistory::failedWriteNotedAsFailure()
{
    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("refusing"),
                      {QStringLiteral("--fail-writes")}));
    const QString history = m_dir.filePath(QStringLiteral("refusing-history"));
    const QString file = saveConfig(m_dir, QStringLiteral("refusing.tovrin.json"),
                                    sampleConfig(ModuleModel::Tovrin));
    const QVector<PortRecord> before = sim.state();
    const CtlRun write = run({QStringLiteral("--port"), sim.device(), QStringLiteral("--history"),
                              history, QStringLiteral("write"), file, QStringLiteral("--yes")});
    QCOMPARE(write.exitCode, 4);
    const QStringList taken = snapshots(history);
    QCOMPARE(taken.size(), 1);
    const QString path = QDir(history).filePath(taken.first());
    QCOMPARE(noteOf(path).outcome, WriteNote::Outcome::Failure);
    QCOMPARE(recordsOf(path), before);
    const CtlRun listed = run({QStringLiteral("history"), QStringLiteral("--history"), history});
    QVERIFY2(listed.out.contains(QLatin1String("  failure  ")), qPrintable(listed.out));
}

void TestCtlHistory::unusableHistoryStopsTheWrite_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("under a regular file") << "file";
    QTest::newRow("read-only folder") << "read-only";
}

// A snapshot that cannot be saved: exit 2, the message names the folder, and
// the module keeps its records.
void TestCtlHistory::unusableHistoryStopsTheWrite()
{
    QFETCH(QString, how);
    if (how == QLatin1String("read-only") && ::geteuid() == 0)
        QSKIP("root writes into read-only folders");
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    QString history;
    if (how == QLatin1String("file")) {
        QFile blocker(scratch.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        history = blocker.fileName() + QStringLiteral("/history");
    } else {
        history = scratch.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(history));
        QVERIFY(QFile::setPermissions(history, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("locked-") + how));
    const QString file =
        saveConfig(m_dir, QStringLiteral("locked.tovrin.json"), sampleConfig(ModuleModel::R7));
    const QVector<PortRecord> before = sim.state();
    const CtlRun write = run({QStringLiteral("--port"), sim.device(), QStringLiteral("--history"),
                              history, QStringLiteral("write"), file, QStringLiteral("--yes")});
    QFile::setPermissions(history,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(write.exitCode, 2);
    QVERIFY2(write.err.contains(history), qPrintable(write.err));
    QVERIFY2(write.err.contains(QLatin1String("nothing written")), qPrintable(write.err));
    QCOMPARE(write.err.count(QStringLiteral("tovrinctl: ")), 1); // beside the progress lines
    QCOMPARE(sim.state(), before);
    QVERIFY(snapshots(history).isEmpty());
}

void TestCtlHistory::noHistoryTakesNone()
{
    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("nohistory")));
    const QVector<PortRecord> before = sim.state();
    const ModuleConfig config = sampleConfig(ModuleModel::Tovrin);
    const QString file = saveConfig(m_dir, QStringLiteral("nohistory.tovrin.json"), config);
    QTemporaryDir history;
    QVERIFY(history.isValid());
    // Both ways of naming the folder are overruled.
    const CtlRun write =
        run({QStringLiteral("--port"), sim.device(), QStringLiteral("--no-history"),
             QStringLiteral("write"), file, QStringLiteral("--yes")},
            60000, {QStringLiteral("TOVRIN_HISTORY_DIR=") + history.path()});
    QVERIFY2(write.exitCode == 0, qPrintable(write.err));
    QTRY_COMPARE(sim.state(), config.ports);
    QVERIFY(snapshots(history.path()).isEmpty());
    // TOVRIN_HISTORY_DIR names the folder when --history does not.
    const QString back = saveConfig(m_dir, QStringLiteral("nohistory-back.tovrin.json"),
                                    ModuleConfig{ModuleModel::Tovrin, {}, {}, before});
    const CtlRun again = run({QStringLiteral("--port"), sim.device(), QStringLiteral("write"), back,
                              QStringLiteral("--yes")},
                             60000, {QStringLiteral("TOVRIN_HISTORY_DIR=") + history.path()});
    QVERIFY2(again.exitCode == 0, qPrintable(again.err));
    QCOMPARE(snapshots(history.path()).size(), 1);
}

QTEST_GUILESS_MAIN(TestCtlHistory)
#include "tst_ctlhistory.moc"
