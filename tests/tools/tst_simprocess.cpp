// The simulator as a process: the conversation over its own pty and over a
// serial device, the state and record files, the faults, the signals that end
// it, --decode and the command line.
#include "linkframe.h"
#include "simprocess.h"
#include "testbytes.h"
#include "testpaths.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace
{

using TestBytes::hex;

const char kVersion[] = "AB 0E 05 E2 01 00 D1 6B";
const char kReadAll[] = "AB 0E 05 F1 01 00 20 AE";
const char kReadPort3[] = "AB 0E 05 F2 01 03 90 AF";
const char kFcReadPort0Tovrin[] = "AB 0E 0A 5B 06 F0 80 20 F2 01 00 A2 95";
const char kFcReadPort2Tovrin[] = "AB 0E 0A 5B 06 F0 80 20 F2 01 02 23 54";
const char kFcVersionR7[] = "AB 0E 0A 5B 06 F0 80 2D E2 01 00 A1 FC";
const char kFcWritePortR7[] =
    "AB 0E 15 5B 11 F1 80 2D F3 0C 00 01 02 03 04 05 06 07 08 09 0A 0B 76 85";
// Port 2 of a Tovrin engine to CAN 500 kbit/s, protocols 17 and 18: a sound record.
const char kFcWritePort2CanTovrin[] =
    "AB 0E 15 5B 11 F1 80 20 F3 0C 02 01 20 A1 07 00 00 00 00 00 11 12 BA 6B";
// All five Tovrin ports at 57600: a sound write-all.
const char kWriteAllTovrin[] =
    "AB 0E 3B F0 37 00 00 E1 00 00 00 00 00 00 00 00 00 00 E1 00 00 00 00 00 00 00 00 00 00 "
    "E1 00 00 00 00 00 00 00 00 00 00 E1 00 00 00 00 00 00 00 00 00 00 E1 00 00 00 00 00 00 "
    "00 00 1F 54";

const char kVersionTovrinReply[] = "AB 0E 08 E2 04 20 01 00 07 74 0B";
const char kVersionR7Reply[] = "AB 0E 08 E2 04 2D 01 00 07 76 A7";
const char kReadAllTovrinReply[] =
    "AB 0E 3B F1 37 00 00 E1 00 00 00 00 00 00 00 00 00 00 E1 00 00 00 00 00 00 00 00 00 "
    "00 E1 00 00 00 00 00 00 00 00 00 00 E1 00 00 00 00 00 00 00 00 00 00 E1 00 00 00 00 "
    "00 00 00 00 20 17";
const char kReadPort3Reply[] = "AB 0E 10 F2 0C 03 00 00 E1 00 00 00 00 00 00 00 00 C9 A6";

// A frame around one message, for payloads too long to spell out.
using TestBytes::frame;

QStringList args(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString spaced(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// The test's end of a serial line to the simulator.
class SerialPeer
{
public:
    bool open(const QString &path)
    {
        m_port.setPortName(path);
        if (!m_port.open(QIODevice::ReadWrite)) {
            qWarning("%s: %s", qPrintable(path), qPrintable(m_port.errorString()));
            return false;
        }
        m_port.setBaudRate(QSerialPort::Baud115200);
        QObject::connect(&m_port, &QSerialPort::readyRead, &m_port, [this] {
            m_rx += m_port.readAll();
            ++m_reads;
        });
        return true;
    }
    void close() { m_port.close(); }

    // Writes the request and waits for at least `size` bytes in answer.
    QByteArray exchange(const QByteArray &request, int size, int timeoutMs = 5000)
    {
        m_rx.clear();
        m_reads = 0;
        m_port.write(request);
        (void)QTest::qWaitFor([&] { return m_rx.size() >= size; }, timeoutMs);
        return m_rx;
    }
    int reads() const { return m_reads; }

private:
    QSerialPort m_port;
    QByteArray m_rx;
    int m_reads = 0;
};

} // namespace

class TestSimProcess : public QObject
{
    Q_OBJECT
private slots:
    void conversationOverPty_data();
    void conversationOverPty();
    void serialDevice();
    void portReopened();
    void stateFile_data();
    void stateFile();
    void recordsFile();
    void faults_data();
    void faults();
    void split();
    void delay();
    void baudPacing();
    void endsOnSignal_data();
    void endsOnSignal();
    void decodeSplitCapture();
    void usageErrors_data();
    void usageErrors();
    void helpDescribesEveryFault();
};

void TestSimProcess::conversationOverPty_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply"); // empty: silence

    QTest::newRow("version") << args("") << hex(kVersion) << hex(kVersionTovrinReply);
    QTest::newRow("version, firmware 2.10.255")
        << args("--firmware 2.10.255") << hex(kVersion) << hex("AB 0E 08 E2 04 20 02 0A FF 83 29");
    QTest::newRow("read-all") << args("") << hex(kReadAll) << hex(kReadAllTovrinReply);
    QTest::newRow("wrapped read-port 0")
        << args("") << hex(kFcReadPort0Tovrin)
        << hex("AB 0E 15 5F 11 F1 00 20 F2 0C 00 00 00 E1 00 00 00 00 00 00 00 00 2A 13");
    QTest::newRow("r7: wrapped version") << args("--model r7") << hex(kFcVersionR7)
                                         << hex("AB 0E 0D 5F 09 F0 00 2D E2 04 2D 01 00 07 1D 27");
    QTest::newRow("r7: wrapped write-port, unsound record stored")
        << args("--model r7") << hex(kFcWritePortR7)
        << hex("AB 0E 0A 5F 06 F0 00 2D F3 01 00 F1 D4");
    QTest::newRow("r7 strict: wrapped write-port refused")
        << args("--model r7 --strict") << hex(kFcWritePortR7) << QByteArray();
    QTest::newRow("strict: sound wrapped write-port")
        << args("--strict") << hex(kFcWritePort2CanTovrin)
        << hex("AB 0E 0A 5F 06 F0 00 20 F3 01 02 72 B9");
    QTest::newRow("strict: sound write-all")
        << args("--strict") << hex(kWriteAllTovrin) << hex("AB 0E 05 F0 01 00 71 6E");
    QTest::newRow("write-all one record byte short")
        << args("") << frame(0xF0, hex(kWriteAllTovrin).mid(5, 54))
        << hex("AB 0E 05 F0 01 01 B0 AE");
    QTest::newRow("r7 strict: write-all of junk")
        << args("--model r7 --strict") << frame(0xF0, QByteArray(66, '\x07'))
        << hex("AB 0E 05 F0 01 01 B0 AE");
    QTest::newRow("r7 device code to a tovrin engine dropped")
        << args("") << hex(kFcVersionR7) << QByteArray();
    QTest::newRow("tovrin read-port to an r7 dropped")
        << args("--model r7") << hex(kFcReadPort0Tovrin) << QByteArray();
    QTest::newRow("read-port 5 of a tovrin engine")
        << args("") << hex("AB 0E 05 F2 01 05 10 AD") << QByteArray();
}

void TestSimProcess::conversationOverPty()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    SimProcess sim;
    QVERIFY(sim.start(arguments + QStringList{QStringLiteral("--pty")}));
    QVERIFY(sim.ptyPath().startsWith(QLatin1String("/dev/")));
    SerialPeer peer;
    QVERIFY(peer.open(sim.ptyPath()));

    QByteArray expected = reply;
    QByteArray sent = request;
    if (reply.isEmpty()) {
        // Silence shows as nothing before the answer to a version query sent right after.
        sent += hex(kVersion);
        expected =
            hex(arguments.contains(QStringLiteral("r7")) ? kVersionR7Reply : kVersionTovrinReply);
    }
    QCOMPARE(spaced(peer.exchange(sent, expected.size())), spaced(expected));
}

void TestSimProcess::serialDevice()
{
    PtyPair pair;
    QVERIFY(pair.start());
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--serial"), pair.second(), QStringLiteral("--model"),
                       QStringLiteral("r7")}));
    SerialPeer peer;
    QVERIFY(peer.open(pair.first()));
    QCOMPARE(spaced(peer.exchange(hex(kVersion), 11)), spaced(hex(kVersionR7Reply)));
    QCOMPARE(spaced(peer.exchange(hex(kFcVersionR7), 16)),
             spaced(hex("AB 0E 0D 5F 09 F0 00 2D E2 04 2D 01 00 07 1D 27")));
    QVERIFY(sim.log().contains(QLatin1String("serial rx AB 0E 05 E2 01 00 D1 6B  MSG_VERSION")));
}

void TestSimProcess::portReopened()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--pty")}));
    for (int round = 0; round < 3; ++round) {
        SerialPeer peer;
        QVERIFY2(peer.open(sim.ptyPath()), qPrintable(QString::number(round)));
        QCOMPARE(spaced(peer.exchange(hex(kReadPort3), 19)), spaced(hex(kReadPort3Reply)));
        peer.close();
    }
    QCOMPARE(sim.process().state(), QProcess::Running);
}

void TestSimProcess::stateFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply"); // empty: refused, state unchanged
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("line");

    QTest::newRow("r7: wrapped write-port of an unsound record")
        << args("--model r7") << hex(kFcWritePortR7)
        << hex("AB 0E 0A 5F 06 F0 00 2D F3 01 00 F1 D4") << 0
        << "port 0: 01 02 03 04 05 06 07 08 09 0A 0B";
    QTest::newRow("tovrin strict: wrapped write-port of CAN on port 2")
        << args("--strict") << hex(kFcWritePort2CanTovrin)
        << hex("AB 0E 0A 5F 06 F0 00 20 F3 01 02 72 B9") << 2
        << "port 2: 01 20 A1 07 00 00 00 00 00 11 12";
    QTest::newRow("r7 strict: unsound record refused")
        << args("--model r7 --strict") << hex(kFcWritePortR7) << QByteArray() << 0
        << "port 0: 00 00 E1 00 00 00 00 00 00 00 00";
    QTest::newRow("tovrin: --fail-writes")
        << args("--fail-writes") << hex(kFcWritePort2CanTovrin) << QByteArray() << 2
        << "port 2: 00 00 E1 00 00 00 00 00 00 00 00";
}

void TestSimProcess::stateFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    QFETCH(int, port);
    QFETCH(QString, line);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("state.txt"));
    const bool r7 = arguments.contains(QStringLiteral("r7"));
    SimProcess sim;
    QVERIFY(sim.start(arguments +
                      QStringList{QStringLiteral("--pty"), QStringLiteral("--state"), path}));

    auto readState = [&path] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly)
                   ? QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                   : QStringList();
    };
    // Written at start-up with the shipped records.
    QStringList expected;
    for (int i = 0; i < 5; ++i)
        expected << QStringLiteral("port %1: 00 00 E1 00 00 00 00 00 00 00 00").arg(i);
    if (r7)
        expected << QStringLiteral("port 5: 01 40 42 0F 00 00 00 00 00 00 00");
    QCOMPARE(readState(), expected);

    SerialPeer peer;
    QVERIFY(peer.open(sim.ptyPath()));
    if (reply.isEmpty()) {
        const QByteArray probe = hex(r7 ? kVersionR7Reply : kVersionTovrinReply);
        QCOMPARE(spaced(peer.exchange(request + hex(kVersion), probe.size())), spaced(probe));
    } else {
        QCOMPARE(spaced(peer.exchange(request, reply.size())), spaced(reply));
    }
    expected[port] = line;
    QTRY_COMPARE_WITH_TIMEOUT(readState(), expected, 5000);
}

void TestSimProcess::recordsFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("records.txt"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("# a module that was configured before\n"
                "port 0: 00 00 C2 01 00 01 00 00 01 00 10\n"
                "port 1: 00 00 E1 00 00 00 00 00 00 10 11\n"
                "port 2: 01 20 A1 07 00 00 00 00 00 11 12\n"
                "port 3: 00 00 4B 00 00 02 00 01 00 02 00\n"
                "port 4: 00 00 10 0E 00 00 00 00 00 7F 7F\n");
    }
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--pty"), QStringLiteral("--records"), path}));
    SerialPeer peer;
    QVERIFY(peer.open(sim.ptyPath()));
    const QByteArray reply = peer.exchange(hex(kReadAll), 62);
    QCOMPARE(reply.size(), 62);
    QCOMPARE(
        spaced(reply.mid(5, 55)),
        spaced(hex("00 00 C2 01 00 01 00 00 01 00 10 00 00 E1 00 00 00 00 00 00 10 11 01 20 A1 07 "
                   "00 00 00 00 00 "
                   "11 12 00 00 4B 00 00 02 00 01 00 02 00 00 00 10 0E 00 00 00 00 00 7F 7F")));

    // The same file does not fit an R7-Eda: the simulator refuses to start.
    QProcess wrongModel;
    wrongModel.start(TestPaths::simulator(),
                     {QStringLiteral("--pty"), QStringLiteral("--model"), QStringLiteral("r7"),
                      QStringLiteral("--records"), path});
    QVERIFY(wrongModel.waitForFinished(10000));
    QCOMPARE(wrongModel.exitCode(), 2);
    QVERIFY(QString::fromLocal8Bit(wrongModel.readAllStandardError())
                .contains(QLatin1String("port 5 missing")));
}

void TestSimProcess::faults_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("requests");
    QTest::addColumn<QByteArray>("replies");

    const QByteArray three = hex(kVersion) + hex(kReadAll) + hex(kReadPort3);
    QByteArray spoiledReadAll = hex(kReadAllTovrinReply);
    spoiledReadAll[spoiledReadAll.size() - 2] =
        static_cast<char>(spoiledReadAll.at(spoiledReadAll.size() - 2) ^ 0xFF);

    QTest::newRow("drop every 2nd")
        << args("--drop-every 2") << three << hex(kVersionTovrinReply) + hex(kReadPort3Reply);
    QTest::newRow("drop every 3rd")
        << args("--drop-every 3") << three + hex(kVersion)
        << hex(kVersionTovrinReply) + hex(kReadAllTovrinReply) + hex(kVersionTovrinReply);
    QTest::newRow("corrupt every 2nd")
        << args("--corrupt-every 2") << three
        << hex(kVersionTovrinReply) + spoiledReadAll + hex(kReadPort3Reply);
    QTest::newRow("garbage") << args("--garbage") << hex(kVersion) + hex(kReadPort3)
                             << hex("00 FF 0E AB 00") + hex(kVersionTovrinReply) +
                                    hex("00 FF 0E AB 00") + hex(kReadPort3Reply);
    QTest::newRow("fail writes") << args("--fail-writes")
                                 << hex(kWriteAllTovrin) + hex(kFcWritePort2CanTovrin) +
                                        hex(kVersion)
                                 << hex("AB 0E 05 F0 01 01 B0 AE") + hex(kVersionTovrinReply);
    QTest::newRow("wrong length: version")
        << args("--wrong-length") << hex(kVersion) << hex("AB 0E 07 E2 03 20 01 00 1D BF");
    QTest::newRow("wrong length: wrapped write-port ack")
        << args("--wrong-length --model r7") << hex(kFcWritePortR7)
        << hex("AB 0E 0B 5F 07 F0 00 2D F3 02 00 00 75 8D");
    QTest::newRow("wrong index: wrapped read-port 2")
        << args("--wrong-index") << hex(kFcReadPort2Tovrin)
        << hex("AB 0E 15 5F 11 F1 00 20 F2 0C 82 00 00 E1 00 00 00 00 00 00 00 00 D1 AA");
}

void TestSimProcess::faults()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, requests);
    QFETCH(QByteArray, replies);
    SimProcess sim;
    QVERIFY(sim.start(arguments + QStringList{QStringLiteral("--pty")}));
    SerialPeer peer;
    QVERIFY(peer.open(sim.ptyPath()));
    QCOMPARE(spaced(peer.exchange(requests, replies.size())), spaced(replies));
}

void TestSimProcess::split()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--pty"), QStringLiteral("--split"), QStringLiteral("--seed"),
                       QStringLiteral("11")}));
    SerialPeer peer;
    QVERIFY(peer.open(sim.ptyPath()));
    const QByteArray reply = hex(kReadAllTovrinReply);
    QCOMPARE(spaced(peer.exchange(hex(kReadAll), reply.size())), spaced(reply));
    // 62 bytes in pieces of at most 4, 3 ms apart, cannot all arrive in one read.
    QVERIFY2(peer.reads() > 1, qPrintable(QString::number(peer.reads())));
}

void TestSimProcess::delay()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--pty"), QStringLiteral("--delay"), QStringLiteral("300")}));
    SerialPeer peer;
    QVERIFY(peer.open(sim.ptyPath()));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(spaced(peer.exchange(hex(kVersion), 11)), spaced(hex(kVersionTovrinReply)));
    QVERIFY2(clock.elapsed() >= 300, qPrintable(QString::number(clock.elapsed())));
}

void TestSimProcess::baudPacing()
{
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--pty"), QStringLiteral("--baud-pacing")}));
    SerialPeer peer;
    QVERIFY(peer.open(sim.ptyPath()));
    // Twenty read-all replies of 62 bytes: 20 * 62 * 10 / 115200 s = 107.6 ms on the line.
    QByteArray requests;
    QByteArray replies;
    for (int i = 0; i < 20; ++i) {
        requests += hex(kReadAll);
        replies += hex(kReadAllTovrinReply);
    }
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(peer.exchange(requests, replies.size()), replies);
    QVERIFY2(clock.elapsed() >= 107, qPrintable(QString::number(clock.elapsed())));
}

void TestSimProcess::endsOnSignal_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestSimProcess::endsOnSignal()
{
    QFETCH(int, signalNumber);
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--pty")}));
    const QString path = sim.ptyPath();
    QVERIFY(QFile::exists(path));
    QVERIFY(sim.stop(signalNumber));
    QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process().exitCode(), 0);
    QVERIFY(sim.log().contains(QLatin1String("shutting down")));
    // The pty went with it.
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(path), 5000);
}

void TestSimProcess::decodeSplitCapture()
{
    // A capture as it might come off the line: noise, a request, a wrapped
    // reply, a frame with a spoiled checksum, and a frame of two records.
    const QByteArray capture = hex("00 FF 0E AB 00") + hex(kFcVersionR7) +
                               hex("AB 0E 0D 5F 09 F0 00 2D E2 04 2D 01 00 07 1D 27") +
                               hex("AB 0E 05 E2 01 00 D1 6C") +
                               hex("AB 0E 08 E2 01 00 F2 00 99 C2 50");
    QProcess decoder;
    decoder.start(TestPaths::simulator(), {QStringLiteral("--decode")});
    QVERIFY(decoder.waitForStarted(10000));
    QByteArray out;
    // Blocks of uneven sizes; the first record shows before input ends.
    const int cuts[] = {1, 2, 4, 7, 3, 13, 5};
    int at = 0;
    for (int i = 0; at < capture.size(); ++i) {
        const int size = cuts[i % 7];
        decoder.write(capture.mid(at, size));
        QVERIFY(decoder.waitForBytesWritten(5000));
        at += size;
        if (at == 5 + 13) {
            QTRY_VERIFY_WITH_TIMEOUT((out += decoder.readAllStandardOutput()).contains('\n'), 5000);
        }
    }
    decoder.closeWriteChannel();
    QVERIFY(decoder.waitForFinished(10000));
    QCOMPARE(decoder.exitCode(), 0);
    out += decoder.readAllStandardOutput();
    QCOMPARE(
        QString::fromLatin1(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
        (QStringList{QStringLiteral("id=5B len=6 data=F0 80 2D E2 01 00"),
                     QStringLiteral("id=5F len=9 data=F0 00 2D E2 04 2D 01 00 07"),
                     QStringLiteral("id=E2 len=1 data=00"), QStringLiteral("id=F2 len=0 data=")}));
}

void TestSimProcess::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("no route") << QStringList() << "nothing to serve";
    QTest::newRow("unknown model") << args("--pty --model r8") << "--model";
    QTest::newRow("firmware two parts") << args("--pty --firmware 1.2") << "--firmware";
    QTest::newRow("firmware 256") << args("--pty --firmware 1.2.256") << "--firmware";
    QTest::newRow("drop every 0") << args("--pty --drop-every 0") << "--drop-every";
    QTest::newRow("corrupt every x") << args("--pty --corrupt-every x") << "--corrupt-every";
    QTest::newRow("negative delay") << args("--pty --delay -5") << "--delay";
    QTest::newRow("port 70000") << args("--udp --udp-listen-port 70000") << "--udp-listen-port";
    QTest::newRow("stray argument") << args("--pty extra") << "extra";
    QTest::newRow("ack index 256") << args("--pty --ack-index 256") << "--ack-index";
    QTest::newRow("stuck read index x")
        << args("--pty --stuck-read-index x") << "--stuck-read-index";
    QTest::newRow("unasked odd digits") << args("--pty --unasked AB0E5") << "--unasked";
    QTest::newRow("unasked not hex") << args("--pty --unasked ZZ") << "--unasked";
    QTest::newRow("unasked-after alone") << args("--pty --unasked-after 1") << "--unasked-after";
    QTest::newRow("unasked-after 0")
        << args("--pty --unasked AB --unasked-after 0") << "--unasked-after";
    QTest::newRow("link without pty") << args("--udp --link /tmp/x") << "--link needs --pty";
    QTest::newRow("vanish without pty") << args("--udp --vanish-after 5") << "--vanish-after";
    QTest::newRow("return before vanish")
        << args("--pty --vanish-after 500 --return-after 400") << "--return-after";
    QTest::newRow("return without vanish") << args("--pty --return-after 400") << "--return-after";
    QTest::newRow("missing records file")
        << args("--pty --records /nonexistent/records.txt") << "/nonexistent/records.txt";
}

void TestSimProcess::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QProcess sim;
    sim.start(TestPaths::simulator(), arguments);
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 2);
    const QString err = QString::fromLocal8Bit(sim.readAllStandardError());
    QVERIFY2(err.contains(message), qPrintable(err));
    QVERIFY(sim.readAllStandardOutput().isEmpty());
}

void TestSimProcess::helpDescribesEveryFault()
{
    QProcess sim;
    sim.start(TestPaths::simulator(), {QStringLiteral("--help")});
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitCode(), 0);
    const QString help = QString::fromLocal8Bit(sim.readAllStandardOutput());
    for (const char *option : {"--model",
                               "--firmware",
                               "--records",
                               "--state",
                               "--strict",
                               "--serial",
                               "--pty",
                               "--udp",
                               "--udp-listen-port",
                               "--udp-reply-port",
                               "--baud-pacing",
                               "--drop-every",
                               "--corrupt-every",
                               "--garbage",
                               "--split",
                               "--delay",
                               "--fail-writes",
                               "--wrong-length",
                               "--wrong-index",
                               "--ack-index",
                               "--stuck-read-index",
                               "--unasked",
                               "--unasked-after",
                               "--link",
                               "--vanish-after",
                               "--return-after",
                               "SIGUSR1",
                               "SIGUSR2",
                               "--seed",
                               "--decode",
                               "id=E2 len=1 data=00",
                               "port 0: 00 00 E1"})
        QVERIFY2(help.contains(QLatin1String(option)), option);
}

QTEST_GUILESS_MAIN(TestSimProcess)
#include "tst_simprocess.moc"
