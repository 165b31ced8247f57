// tovrinctl --capture: a run against the simulator on each route, captured,
// then replayed by the simulator to a second run, which must print the same
// and end with the same code and send the same requests; one capture per
// device, named after it; a capture that cannot be created stops the run
// before anything is sent.
#include "configfile.h"
#include "ctlfixture.h"
#include "jsonlines.h"
#include "linkcapture.h"

#include "testbytes.h"
#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace CtlFixture;

Q_DECLARE_METATYPE(ModuleModel)

namespace
{
QVector<QJsonObject> linesOf(const QString &path)
{
    return JsonLines::read(path).objects;
}

// The chunks the program sent, in order.
QStringList sentChunks(const QString &path)
{
    QStringList chunks;
    for (const QJsonObject &line : linesOf(path))
        if (line.value(QLatin1String("dir")).toString() == QLatin1String("sent"))
            chunks << line.value(QLatin1String("hex")).toString();
    return chunks;
}
// The frames the simulator logged, as "rx HEX" and "tx HEX" in order.
QStringList loggedFrames(const QString &log)
{
    static const QRegularExpression frame(
        QStringLiteral("^tovrin-sim: \\w+ (rx|tx) ([0-9A-F]{2}(?: [0-9A-F]{2})*)  "));
    QStringList frames;
    for (const QString &line : log.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = frame.match(line);
        if (m.hasMatch())
            frames << m.captured(1) + QLatin1Char(' ') + m.captured(2);
    }
    return frames;
}

// The frames tovrin-sim --decode reads from a capture, in the same terms:
// what the program sent is what the module side received.
QStringList decodedFrames(const QString &capture)
{
    QProcess decoder;
    decoder.start(TestPaths::simulator(), {QStringLiteral("--decode"), capture});
    if (!decoder.waitForFinished(10000) || decoder.exitCode() != 0)
        return {QStringLiteral("decoding failed")};
    static const QRegularExpression line(QStringLiteral(
        "^\\d+\\.\\d{6} (sent|received) id=([0-9A-F]{2}) len=\\d+ data=([0-9A-F ]*)$"));
    QStringList frames;
    for (const QString &text : QString::fromLatin1(decoder.readAllStandardOutput()).split('\n')) {
        const QRegularExpressionMatch m = line.match(text);
        if (!m.hasMatch())
            continue;
        const QByteArray bytes = TestBytes::frame(quint8(m.captured(2).toUInt(nullptr, 16)),
                                                  QByteArray::fromHex(m.captured(3).toLatin1()));
        frames << (m.captured(1) == QLatin1String("sent") ? QStringLiteral("rx ")
                                                          : QStringLiteral("tx ")) +
                      QString::fromLatin1(bytes.toHex(' ').toUpper());
    }
    return frames;
}
} // namespace

class TestCtlCapture : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void replayedRunIsTheSame_data();
    void replayedRunIsTheSame();
    void decodesAsTheModuleLogged_data();
    void decodesAsTheModuleLogged();
    void oneCapturePerDevice();
    void captureCannotBeCreated();
    void captureOptionMisused_data();
    void captureOptionMisused();

private:
    QTemporaryDir m_dir;
};

void TestCtlCapture::initTestCase()
{
    QVERIFY(QFileInfo::exists(ctlPath()));
    QVERIFY(m_dir.isValid());
}

void TestCtlCapture::replayedRunIsTheSame_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<ModuleModel>("model");
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("direct, diff") << Route::Direct << ModuleModel::Tovrin << QStringList()
                                  << "diff FILE" << 1;
    QTest::newRow("direct, write and verify")
        << Route::Direct << ModuleModel::R7 << QStringList() << "write FILE --yes --verify" << 0;
    QTest::newRow("via fc, R7 found by both version requests at once")
        << Route::ViaFc << ModuleModel::R7 << QStringList() << "version" << 0;
    QTest::newRow("via fc, wrong port index")
        << Route::ViaFc << ModuleModel::Tovrin << words("--wrong-index") << "diff FILE" << 4;
    QTest::newRow("ground station, write and verify")
        << Route::GroundStation << ModuleModel::Tovrin << QStringList()
        << "write FILE --yes --verify" << 0;
    QTest::newRow("ground station, diff")
        << Route::GroundStation << ModuleModel::R7 << QStringList() << "diff FILE" << 1;
}

void TestCtlCapture::replayedRunIsTheSame()
{
    QFETCH(Route, route);
    QFETCH(ModuleModel, model);
    QFETCH(QStringList, simArgs);
    QFETCH(QString, command);
    QFETCH(int, exitCode);
    const QString tag = QString::fromLatin1(QTest::currentDataTag())
                            .replace(QLatin1Char(' '), QLatin1Char('_'))
                            .remove(QLatin1Char(','));
    const QString file = saveConfig(m_dir, tag + ConfigFile::suffix(), sampleConfig(model));
    QStringList commandArgs;
    for (const QString &word : command.split(QLatin1Char(' ')))
        commandArgs << (word == QLatin1String("FILE") ? file : word);
    commandArgs << QStringLiteral("--no-history");
    const QString capturePath = m_dir.filePath(tag + LinkCapture::suffix());
    const QString replayCapture =
        m_dir.filePath(tag + QStringLiteral(".again") + LinkCapture::suffix());

    CtlRun first;
    QString firstDevice;
    {
        SimModule sim;
        QVERIFY(sim.start(route == Route::GroundStation ? SimModule::Udp : SimModule::Pty, model,
                          m_dir, tag, simArgs));
        firstDevice = sim.device();
        first = run(routeArguments(route, firstDevice) +
                    QStringList{QStringLiteral("--capture"), capturePath} + commandArgs);
    }
    QVERIFY2(first.exitCode == exitCode, qPrintable(first.err));
    QVERIFY(!sentChunks(capturePath).isEmpty());

    SimProcess replay;
    QVERIFY(replay.start(
        {QStringLiteral("--replay"), capturePath,
         route == Route::GroundStation ? QStringLiteral("--udp") : QStringLiteral("--pty")}));
    const CtlRun again = run(routeArguments(route, replay.ptyPath()) +
                             QStringList{QStringLiteral("--capture"), replayCapture} + commandArgs);
    QCOMPARE(again.exitCode, exitCode);
    // The same words, but for the name of the device, which is another pty.
    auto onDevice = [&](QString text) {
        return route == Route::GroundStation ? text : text.replace(firstDevice, replay.ptyPath());
    };
    QCOMPARE(again.out, onDevice(first.out));
    QCOMPARE(again.err, onDevice(first.err));
    QCOMPARE(sentChunks(replayCapture), sentChunks(capturePath));
}

void TestCtlCapture::decodesAsTheModuleLogged_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QStringList>("simArgs");
    QTest::newRow("direct, answers in pieces") << Route::Direct << words("--split --seed 7");
    QTest::newRow("via fc, stray bytes") << Route::ViaFc << words("--garbage");
    QTest::newRow("ground station, answers in pieces")
        << Route::GroundStation << words("--split --seed 11");
}

// The module's own log of a read and the capture's frames, decoded apart
// from each other, are the same frames in the same order.
void TestCtlCapture::decodesAsTheModuleLogged()
{
    QFETCH(Route, route);
    QFETCH(QStringList, simArgs);
    const QString tag = QStringLiteral("decoded-%1").arg(int(route));
    const QString capture = m_dir.filePath(tag + LinkCapture::suffix());
    SimModule sim;
    QVERIFY(sim.start(route == Route::GroundStation ? SimModule::Udp : SimModule::Pty,
                      ModuleModel::R7, m_dir, tag, simArgs));
    const CtlRun r =
        run(routeArguments(route, sim.device()) +
            QStringList{QStringLiteral("--capture"), capture, QStringLiteral("read"),
                        QStringLiteral("-o"), m_dir.filePath(tag + ConfigFile::suffix())});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QStringList decoded = decodedFrames(capture);
    QVERIFY(decoded.size() >= 4);
    QTRY_COMPARE(loggedFrames(sim.process().log()), decoded);
}

// Two modules at once: a capture each in the folder, named as read -o names
// its files, each holding its own link only.
void TestCtlCapture::oneCapturePerDevice()
{
    SimModule a;
    SimModule b;
    QVERIFY(a.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("several-a")));
    QVERIFY(b.start(SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("several-b")));
    const QString folder = m_dir.filePath(QStringLiteral("captures"));
    const CtlRun r =
        run({QStringLiteral("--port"), a.device(), QStringLiteral("--port"), b.device(),
             QStringLiteral("--capture"), folder, QStringLiteral("version")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    for (const QString &device : {a.device(), b.device()}) {
        const QString path = QDir(folder).filePath(
            device.mid(5).replace(QLatin1Char('/'), QLatin1Char('-')) + LinkCapture::suffix());
        const QVector<QJsonObject> lines = linesOf(path);
        QVERIFY2(lines.size() >= 3, qPrintable(path));
        QCOMPARE(lines.first().value(QLatin1String("link")).toString(), QStringLiteral("open"));
        for (const QJsonObject &line : lines)
            if (line.contains(QLatin1String("dir")))
                QCOMPARE(line.value(QLatin1String("device")).toString(), device);
        QCOMPARE(sentChunks(path).size(), 1);
    }
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
}

void TestCtlCapture::captureCannotBeCreated()
{
    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("no-capture")));
    const QString path = m_dir.filePath(QStringLiteral("missing-folder/x.capture.jsonl"));
    const CtlRun r = run({QStringLiteral("--port"), sim.device(), QStringLiteral("--capture"), path,
                          QStringLiteral("version")});
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(
        r.err.startsWith(QStringLiteral("tovrinctl: cannot create the capture '%1': ").arg(path)),
        qPrintable(r.err));
    QVERIFY2(r.err.contains(QLatin1String("nothing sent")), qPrintable(r.err));
    QVERIFY(r.out.isEmpty());
    QTest::qWait(200);
    QVERIFY(!sim.heardAnything());
}

void TestCtlCapture::captureOptionMisused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("history has no link")
        << words("history --capture x.capture.jsonl") << "'history' opens no link to capture.";
    QTest::newRow("no file") << QStringList{QStringLiteral("--ground-station"),
                                            QStringLiteral("--capture"), QString(),
                                            QStringLiteral("version")}
                             << "--capture needs a file.";
}

void TestCtlCapture::captureOptionMisused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const CtlRun r = run(arguments);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestCtlCapture)
#include "tst_ctlcapture.moc"
