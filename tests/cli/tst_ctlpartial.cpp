// tovrinctl with partial files (entries that name their port) and overlays:
// write and diff send the files' records laid over one another, and the
// module's own for the ports none of them names. Bad partial files and
// overlays for another model are refused before anything is sent. The
// simulator on a pty is the module.
#include "configfile.h"
#include "ctlfixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace CtlFixture;

namespace
{
// port (from 1) -> record, as hex; port 0: an entry without "port".
using Entries = QVector<QPair<int, QByteArray>>;
using PortMap = QMap<int, QByteArray>;

const QByteArray kSlow = "0080250000000000010000";   // 9600, RS-422
const QByteArray kFast = "0000c20100010000010010";   // 115200 even, RS-422, send 16
const QByteArray kFaster = "0000100e00000000001100"; // 921600, receive 17

QByteArray fileText(const QString &model, const Entries &entries)
{
    QJsonArray ports;
    for (const auto &entry : entries) {
        QJsonObject port{{QStringLiteral("record"), QString::fromLatin1(entry.second)}};
        if (entry.first > 0)
            port.insert(QStringLiteral("port"), entry.first);
        ports.append(port);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("format"), "tovrin-module-config"},
                                     {QStringLiteral("version"), 1},
                                     {QStringLiteral("model"), model},
                                     {QStringLiteral("ports"), ports}})
        .toJson();
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &text)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qWarning("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

PortRecord record(const QByteArray &hex)
{
    return PortRecord(QByteArray::fromHex(hex));
}
} // namespace

Q_DECLARE_METATYPE(Entries)
Q_DECLARE_METATYPE(QVector<Entries>)
Q_DECLARE_METATYPE(PortMap)

class TestCtlPartial : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void writeLaysFilesOverTheModule_data();
    void writeLaysFilesOverTheModule();
    void refusedBeforeAnythingIsSent_data();
    void refusedBeforeAnythingIsSent();

private:
    QTemporaryDir m_dir;
};

void TestCtlPartial::initTestCase()
{
    QVERIFY(QFileInfo::exists(ctlPath()));
    QVERIFY(m_dir.isValid());
}

void TestCtlPartial::writeLaysFilesOverTheModule_data()
{
    // The first is FILE, the rest its overlays in order; expected: port (from
    // 0) -> record after the write, every other port as the module held it.
    QTest::addColumn<QVector<Entries>>("files");
    QTest::addColumn<PortMap>("expected");
    const Entries full{{0, kFast}, {0, kFaster}, {0, kSlow},
                       {0, kFast}, {0, kFaster}, {0, "0120a10700000000000000"}};
    QMap<int, QByteArray> fullResult;
    for (int i = 0; i < full.size(); ++i)
        fullResult.insert(i, full.at(i).second);

    QTest::newRow("partial file, ports out of order")
        << QVector<Entries>{{{5, kSlow}, {2, kFast}}}
        << QMap<int, QByteArray>{{1, kFast}, {4, kSlow}};
    QTest::newRow("full baseline, airframe overlay on Uart4")
        << QVector<Entries>{full, {{3, kFaster}}} << [&] {
               auto r = fullResult;
               r[2] = kFaster;
               return r;
           }();
    QTest::newRow("two overlays: the later wins its port")
        << QVector<Entries>{full, {{3, kFast}, {1, kSlow}}, {{3, kSlow}}} << [&] {
               auto r = fullResult;
               r[0] = kSlow;
               r[2] = kSlow;
               return r;
           }();
    QTest::newRow("partial baseline, partial overlay")
        << QVector<Entries>{{{1, kSlow}}, {{2, kFaster}}}
        << QMap<int, QByteArray>{{0, kSlow}, {1, kFaster}};
    QTest::newRow("full overlay replaces the baseline")
        << QVector<Entries>{{{1, kSlow}}, full} << fullResult;
}

// diff lists the result against the module and changes nothing; write makes
// the module hold it; diff then finds it equal.
void TestCtlPartial::writeLaysFilesOverTheModule()
{
    QFETCH(QVector<Entries>, files);
    QFETCH(PortMap, expected);
    const QString tag = QString::fromLatin1(QTest::currentDataTag())
                            .replace(QLatin1Char(' '), QLatin1Char('_'))
                            .remove(QLatin1Char(':'))
                            .remove(QLatin1Char(','));
    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::R7, m_dir, tag));
    const QVector<PortRecord> before = sim.state();
    QVector<PortRecord> after = before;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        after[it.key()] = record(it.value());

    QStringList arguments;
    for (int i = 0; i < files.size(); ++i) {
        const QString path = writeFile(m_dir, QStringLiteral("%1-%2.tovrin.json").arg(tag).arg(i),
                                       fileText(QStringLiteral("R7-Eda"), files.at(i)));
        if (i > 0)
            arguments << QStringLiteral("--overlay");
        arguments << path;
    }
    const QStringList base{QStringLiteral("--port"), sim.device(), QStringLiteral("--json")};

    const CtlRun diff = run(base + QStringList{QStringLiteral("diff")} + arguments);
    QCOMPARE(diff.exitCode, 1);
    QSet<int> changedPorts;
    const QJsonArray changes = QJsonDocument::fromJson(diff.out.toUtf8())
                                   .object()
                                   .value(QLatin1String("changes"))
                                   .toArray();
    for (const QJsonValue &change : changes)
        changedPorts.insert(change.toObject().value(QLatin1String("port")).toInt());
    QSet<int> differing;
    for (int i = 0; i < after.size(); ++i) {
        if (after.at(i) != before.at(i))
            differing.insert(i);
    }
    QCOMPARE(changedPorts, differing);
    QCOMPARE(sim.state(), before);

    const CtlRun write =
        run(base + QStringList{QStringLiteral("--no-history"), QStringLiteral("write")} +
            arguments + QStringList{QStringLiteral("--yes"), QStringLiteral("--verify")});
    QVERIFY2(write.exitCode == 0, qPrintable(write.err));
    QTRY_COMPARE(sim.state(), after);

    const CtlRun equal = run(base + QStringList{QStringLiteral("diff")} + arguments);
    QVERIFY2(equal.exitCode == 0, qPrintable(equal.out + equal.err));
}

void TestCtlPartial::refusedBeforeAnythingIsSent_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("overlay"); // empty: none
    QTest::addColumn<QString>("message");
    const QByteArray good = fileText(QStringLiteral("R7-Eda"), {{1, kSlow}});
    QTest::newRow("a port twice") << fileText(QStringLiteral("R7-Eda"),
                                              {{2, kSlow}, {4, kFast}, {2, kFast}})
                                  << QByteArray()
                                  << QStringLiteral("第 3 个端口条目：端口 2 已由第 1 个条目给出");
    QTest::newRow("port out of range")
        << fileText(QStringLiteral("R7-Eda"), {{7, kSlow}}) << QByteArray()
        << QStringLiteral("第 1 个端口条目：“port”应为 1 到 6 的整数（型号 R7-Eda）");
    QTest::newRow("some entries without port")
        << fileText(QStringLiteral("R7-Eda"), {{0, kSlow}, {2, kFast}}) << QByteArray()
        << QStringLiteral("第 1 个端口条目没有“port”字段");
    QTest::newRow("bad overlay") << good
                                 << fileText(QStringLiteral("R7-Eda"), {{1, kSlow}, {1, kSlow}})
                                 << QStringLiteral("第 2 个端口条目：端口 1 已由第 1 个条目给出");
    QTest::newRow("overlay for another model")
        << good << fileText(QStringLiteral("Tovrin"), {{1, kSlow}})
        << QStringLiteral("the overlay is for model Tovrin");
}

void TestCtlPartial::refusedBeforeAnythingIsSent()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, overlay);
    QFETCH(QString, message);
    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("refused")));
    const QVector<PortRecord> before = sim.state();
    QStringList arguments{QStringLiteral("--port"), sim.device(), QStringLiteral("write"),
                          writeFile(m_dir, QStringLiteral("bad.tovrin.json"), file),
                          QStringLiteral("--yes")};
    if (!overlay.isEmpty())
        arguments << QStringLiteral("--overlay")
                  << writeFile(m_dir, QStringLiteral("bad-overlay.tovrin.json"), overlay);
    for (const QString &command : {QStringLiteral("write"), QStringLiteral("diff")}) {
        QStringList words = arguments;
        words[2] = command;
        if (command == QLatin1String("diff"))
            words.removeAll(QStringLiteral("--yes"));
        const CtlRun ctl = run(words);
        QCOMPARE(ctl.exitCode, 2);
        QVERIFY(ctl.out.isEmpty());
        QCOMPARE(ctl.err.count(QLatin1Char('\n')), 1);
        QVERIFY2(ctl.err.contains(message), qPrintable(ctl.err));
        QVERIFY2(ctl.err.contains(QLatin1String("othing sent")), qPrintable(ctl.err));
    }
    QTest::qWait(100);
    QVERIFY2(!sim.heardAnything(), qPrintable(sim.process().log()));
    QCOMPARE(sim.state(), before);
}

QTEST_GUILESS_MAIN(TestCtlPartial)
#include "tst_ctlpartial.moc"
