// The simulator playing a capture: answers in the captured chunks and no
// sooner than the captured delays (scaled by --replay-speed), silence for a
// request the capture lacks, captures refused with the number of their bad
// line (by --replay and --decode alike), and --decode of a capture.
#include "linkframe.h"
#include "simprocess.h"
#include "testbytes.h"
#include "testpaths.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

namespace
{
using TestBytes::frame;
using TestBytes::hex;

constexpr int WaitMs = 10000;

QByteArray openLine(const char *route = "ground-station")
{
    return QByteArray(R"({"us":0,"link":"open","route":")") + route +
           R"(","device":"ground-station"})";
}

QByteArray chunkLine(qint64 us, const char *dir, const QByteArray &bytes)
{
    return QByteArray(R"({"us":)") + QByteArray::number(us) + R"(,"dir":")" + dir +
           R"(","route":"ground-station","device":"ground-station","hex":")" +
           bytes.toHex().toUpper() + R"("})";
}

QString writeCapture(const QTemporaryDir &dir, const QString &name, const QByteArray &text)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

struct Finished {
    int exitCode = -1;
    QString out;
    QString err;
};

Finished runSim(const QStringList &arguments)
{
    QProcess process;
    process.start(TestPaths::simulator(), arguments);
    Finished f;
    if (!process.waitForFinished(WaitMs)) {
        process.kill();
        process.waitForFinished();
        return f;
    }
    f.exitCode = process.exitCode();
    f.out = QString::fromUtf8(process.readAllStandardOutput());
    f.err = QString::fromUtf8(process.readAllStandardError());
    return f;
}

// The program's end of the ground-station route.
struct Program {
    QUdpSocket socket;
    bool bind() { return socket.bind(QHostAddress::LocalHost, 6161); }
    void send(const QByteArray &datagram)
    {
        socket.writeDatagram(datagram, QHostAddress::LocalHost, 5161);
    }
    QByteArray next(int timeoutMs = WaitMs)
    {
        if (!QTest::qWaitFor([this] { return socket.hasPendingDatagrams(); }, timeoutMs))
            return QByteArray();
        return socket.receiveDatagram().data();
    }
};

const QByteArray kVersion = hex("AB0E05E20100D16B");
const QByteArray kReadAll = hex("AB0E05F1010020AE");
} // namespace

class TestSimReplay : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void answersAsCaptured();
    void speedScalesTheDelays();
    void badCaptureRefused_data();
    void badCaptureRefused();
    void decodesACapture();

private:
    QTemporaryDir m_dir;
};

void TestSimReplay::initTestCase()
{
    QVERIFY(QFileInfo::exists(TestPaths::simulator()));
    QVERIFY(m_dir.isValid());
}

// The answer to the version query was received in two chunks, 40 and 120 ms
// after it; the read request the capture shows went unanswered; and the
// repeated version query had another answer. A request it lacks gets none.
void TestSimReplay::answersAsCaptured()
{
    const QByteArray reply = frame(MSG_VERSION, hex("20010007"));
    const QByteArray otherReply = frame(MSG_VERSION, hex("2D020301"));
    const QByteArray text = openLine() + '\n' + chunkLine(1000, "sent", kVersion) + '\n' +
                            chunkLine(41000, "received", reply.left(4)) + '\n' +
                            chunkLine(121000, "received", reply.mid(4)) + '\n' +
                            chunkLine(300000, "sent", kReadAll) + '\n' +
                            chunkLine(1600000, "sent", kVersion) + '\n' +
                            chunkLine(1601000, "received", otherReply) + '\n';
    const QString path = writeCapture(m_dir, QStringLiteral("answers.jsonl"), text);
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--replay"), path, QStringLiteral("--udp")}));
    Program program;
    QVERIFY(program.bind());

    const QByteArray unknown = frame(MSG_READ_PORT, hex("03"));
    program.send(unknown);
    QElapsedTimer clock;
    program.send(kVersion);
    clock.start();
    // The first datagram back is the first chunk: the unknown request got
    // nothing.
    QCOMPARE(program.next(), reply.left(4));
    QVERIFY2(clock.elapsed() >= 35, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(program.next(), reply.mid(4));
    QVERIFY2(clock.elapsed() >= 115, qPrintable(QString::number(clock.elapsed())));

    program.send(kReadAll); // unanswered then, unanswered now
    program.send(kVersion); // the next version query of the capture
    QCOMPARE(program.next(), otherReply);
    // From the start again once the capture's are used up.
    program.send(kVersion);
    QCOMPARE(program.next(), reply.left(4));
    QCOMPARE(program.next(), reply.mid(4));
    QVERIFY(sim.log().contains(QLatin1String("not in the capture: no answer")));
}

// 20 s in the capture, a fifth of a second at 100 times the speed.
void TestSimReplay::speedScalesTheDelays()
{
    const QByteArray reply = frame(MSG_VERSION, hex("20010007"));
    const QByteArray text = openLine() + '\n' + chunkLine(0, "sent", kVersion) + '\n' +
                            chunkLine(20000000, "received", reply) + '\n';
    const QString path = writeCapture(m_dir, QStringLiteral("slow.jsonl"), text);
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--replay"), path, QStringLiteral("--replay-speed"),
                       QStringLiteral("100"), QStringLiteral("--udp")}));
    Program program;
    QVERIFY(program.bind());
    QElapsedTimer clock;
    program.send(kVersion);
    clock.start();
    QCOMPARE(program.next(WaitMs), reply);
    QVERIFY2(clock.elapsed() >= 190, qPrintable(QString::number(clock.elapsed())));

    const Finished zero =
        runSim({QStringLiteral("--replay"), path, QStringLiteral("--replay-speed"),
                QStringLiteral("0"), QStringLiteral("--udp")});
    QCOMPARE(zero.exitCode, 2);
    QVERIFY(zero.err.contains(QLatin1String("--replay-speed wants a number above 0")));
}

void TestSimReplay::badCaptureRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("why");
    const QByteArray open = openLine() + '\n';
    const QByteArray sent = chunkLine(10, "sent", kVersion) + '\n';
    const QByteArray whole = open + sent;
    QTest::newRow("cut in the middle of a line")
        << whole + sent.left(30) << 3 << "cut short (no line end)";
    QTest::newRow("last line without its line end")
        << whole + sent.left(sent.size() - 1) << 3 << "cut short (no line end)";
    QTest::newRow("not JSON") << open + "AB 0E 05 E2\n" + sent << 2 << "not JSON";
    QTest::newRow("an array") << whole + "[1,2]\n" << 3 << "not a JSON object";
    QTest::newRow("hex that is no bytes")
        << open + chunkLine(5, "sent", kVersion).replace("AB0E", "XB0E") + '\n'
        << 2 << "\"hex\" holds no whole bytes";
    QTest::newRow("odd number of digits")
        << whole + chunkLine(20, "received", kVersion).replace("D16B", "D16") + '\n'
        << 3 << "\"hex\" holds no whole bytes";
    QTest::newRow("no direction") << whole + chunkLine(20, "both", kVersion) + '\n'
                                  << 3 << "\"dir\" is neither";
    QTest::newRow("no time") << open + QByteArray(R"({"dir":"sent","hex":"AB"})") + '\n'
                             << 2 << "\"us\" is not a whole number";
    QTest::newRow("time going back") << whole + chunkLine(5, "received", kVersion) + '\n'
                                     << 3 << "the time goes back";
    QTest::newRow("a chunk before the link opened") << sent + open << 1 << "before the line";
    QTest::newRow("empty") << QByteArray() << 1 << "no link in the capture";
}

void TestSimReplay::badCaptureRefused()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, why);
    const QString path =
        writeCapture(m_dir, QStringLiteral("bad-%1.jsonl").arg(QTest::currentDataTag()), text);
    const QString where = QStringLiteral("%1:%2: ").arg(path).arg(line);
    for (const QStringList &arguments :
         {QStringList{QStringLiteral("--replay"), path, QStringLiteral("--pty")},
          QStringList{QStringLiteral("--decode"), path}}) {
        const Finished f = runSim(arguments);
        QCOMPARE(f.exitCode, 2);
        QVERIFY2(f.err.contains(where + QStringLiteral("")) && f.err.contains(why),
                 qPrintable(f.err));
        QVERIFY(f.out.isEmpty()); // no pty served
    }
}

// Frames by direction and time, a frame cut over two chunks named at the
// second; two links, each from its own opening.
void TestSimReplay::decodesACapture()
{
    const QByteArray reply = frame(MSG_VERSION, hex("20010007"));
    const QByteArray text = openLine("direct") + '\n' + chunkLine(1520, "sent", kVersion) + '\n' +
                            chunkLine(9000, "received", hex("00FF") + reply.left(3)) + '\n' +
                            chunkLine(12345, "received", reply.mid(3)) + '\n' +
                            R"({"us":20000,"link":"close"})" + '\n' + openLine("direct") + '\n' +
                            chunkLine(3000001, "sent", kReadAll) + '\n';
    const QString path = writeCapture(m_dir, QStringLiteral("decode.jsonl"), text);
    const Finished f = runSim({QStringLiteral("--decode"), path});
    QCOMPARE(f.exitCode, 0);
    const QStringList expected{
        QStringLiteral("0.000000 open direct ground-station"),
        QStringLiteral("0.001520 sent id=E2 len=1 data=00"),
        QStringLiteral("0.012345 received id=E2 len=4 data=20 01 00 07"),
        QStringLiteral("0.020000 close"),
        QStringLiteral("0.000000 open direct ground-station"),
        QStringLiteral("3.000001 sent id=F1 len=1 data=00"),
    };
    QCOMPARE(f.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected);
}

QTEST_GUILESS_MAIN(TestSimReplay)
#include "tst_simreplay.moc"
