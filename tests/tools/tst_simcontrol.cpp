// The simulator's controls for end-to-end tests, run as a process: the index
// faults of the port-by-port commands, frames sent unasked, the delay through
// the relay, and a pty that vanishes and comes back under a fixed link name.
#include "linkframe.h"
#include "passthrough.h"
#include "simprocess.h"
#include "testbytes.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QNetworkDatagram>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <csignal>

namespace
{

using TestBytes::hex;

QStringList args(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString spaced(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// Port 3 of a Tovrin engine at 19200, odd parity, RS-485, protocols 16 and 17.
const char kRecord[] = "00 00 4B 00 00 02 00 00 01 10 11";
const char kDefaultRecord[] = "00 00 E1 00 00 00 00 00 00 00 00";

QByteArray bare(quint8 id, const QByteArray &payload)
{
    return packLinkFrame(id, payload, quint8(payload.size()));
}
QByteArray forward(quint8 id, const QByteArray &payload)
{
    return PassThrough::forwardFrame(DEVICE_TOVRIN, id, payload);
}
QByteArray returned(quint8 id, const QByteArray &payload)
{
    return PassThrough::returnFrame(DEVICE_TOVRIN, id, payload);
}
QByteArray port(quint8 index, const char *record = kRecord)
{
    return QByteArray(1, char(index)) + hex(record);
}

const QByteArray kVersion = bare(MSG_VERSION, hex("00"));
const QByteArray kVersionReply = bare(MSG_VERSION, hex("20 01 00 07"));
const QByteArray kFcVersion = forward(MSG_VERSION, hex("00"));
const QByteArray kFcVersionReply = returned(MSG_VERSION, hex("20 01 00 07"));
// Frames a relay might send on its own: a stale acknowledgement and a version.
const QByteArray kStaleAck = returned(MSG_WRITE_PORT, hex("03"));
const QByteArray kStrayVersion = bare(MSG_VERSION, hex("20 09 09 09"));

// The test's end of one route: the pty (a serial port) or the UDP pair.
class RoutePeer
{
public:
    bool openSerial(const QString &path)
    {
        m_serial.reset(new QSerialPort);
        m_serial->setPortName(path);
        if (!m_serial->open(QIODevice::ReadWrite)) {
            qWarning("%s: %s", qPrintable(path), qPrintable(m_serial->errorString()));
            return false;
        }
        QObject::connect(m_serial.get(), &QSerialPort::readyRead, m_serial.get(),
                         [this] { m_rx.append(m_serial->readAll()); });
        return true;
    }
    bool bindUdp()
    {
        m_udp.reset(new QUdpSocket);
        if (!m_udp->bind(QHostAddress::LocalHost, 6161)) {
            qWarning("bind 6161: %s", qPrintable(m_udp->errorString()));
            return false;
        }
        QObject::connect(m_udp.get(), &QUdpSocket::readyRead, m_udp.get(), [this] {
            while (m_udp->hasPendingDatagrams())
                m_rx.append(m_udp->receiveDatagram().data());
        });
        return true;
    }
    QSerialPort *serial() { return m_serial.get(); }

    // One write or datagram per request.
    void send(const QList<QByteArray> &requests)
    {
        for (const QByteArray &request : requests) {
            if (m_serial)
                m_serial->write(request);
            else
                m_udp->writeDatagram(request, QHostAddress::LocalHost, 5161);
        }
    }
    // Waits until `size` bytes arrived since the last call; returns all of
    // them (whole datagrams on UDP, one piece per read on the pty).
    QList<QByteArray> take(int size, int timeoutMs = 5000)
    {
        (void)QTest::qWaitFor([&] { return m_rx.join().size() >= size; }, timeoutMs);
        QList<QByteArray> got;
        got.swap(m_rx);
        return got;
    }
    QByteArray exchange(const QList<QByteArray> &requests, int size)
    {
        send(requests);
        return take(size).join();
    }

private:
    std::unique_ptr<QSerialPort> m_serial;
    std::unique_ptr<QUdpSocket> m_udp;
    QList<QByteArray> m_rx;
};

QStringList readState(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly)
               ? QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
               : QStringList();
}

} // namespace

class TestSimControl : public QObject
{
    Q_OBJECT
private slots:
    void indexFaults_data();
    void indexFaults();
    void unasked_data();
    void unasked();
    void delayThroughRelay_data();
    void delayThroughRelay();
    void vanishAndReturnOnSignal();
    void vanishAndReturnOnTime();
};

void TestSimControl::indexFaults_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("requests");
    QTest::addColumn<QByteArray>("replies");
    QTest::addColumn<int>("port"); // -1: no record written
    QTest::addColumn<QString>("stored");

    QTest::newRow("ack past the last port")
        << args("--ack-index 5") << forward(MSG_WRITE_PORT, port(4))
        << returned(MSG_WRITE_PORT, hex("05")) << 4
        << QStringLiteral("port 4: %1").arg(QLatin1String(kRecord));
    QTest::newRow("ack skipping to port 4 after port 0")
        << args("--ack-index 4") << forward(MSG_WRITE_PORT, port(0))
        << returned(MSG_WRITE_PORT, hex("04")) << 0
        << QStringLiteral("port 0: %1").arg(QLatin1String(kRecord));
    QTest::newRow("ack 0xFF, bare") << args("--ack-index 0xFF") << bare(MSG_WRITE_PORT, port(2))
                                    << bare(MSG_WRITE_PORT, hex("FF")) << 2
                                    << QStringLiteral("port 2: %1").arg(QLatin1String(kRecord));
    QTest::newRow("ack index leaves a refused record unacknowledged")
        << args("--ack-index 1 --strict")
        << bare(MSG_WRITE_PORT, port(0, "07 00 00 00 00 00 00 00 00 00 00")) + kVersion
        << kVersionReply << 0 << QStringLiteral("port 0: %1").arg(QLatin1String(kDefaultRecord));
    QTest::newRow("stuck read index answers port 3 for port 0")
        << args("--stuck-read-index 3")
        << bare(MSG_WRITE_PORT, port(3)) + bare(MSG_READ_PORT, hex("00"))
        << bare(MSG_WRITE_PORT, hex("03")) + bare(MSG_READ_PORT, port(3)) << 3
        << QStringLiteral("port 3: %1").arg(QLatin1String(kRecord));
    QTest::newRow("stuck read index, wrapped")
        << args("--stuck-read-index 1") << forward(MSG_READ_PORT, hex("04"))
        << returned(MSG_READ_PORT, port(1, kDefaultRecord)) << -1 << QString();
    QTest::newRow("stuck read index 5 of a tovrin engine: zeros")
        << args("--stuck-read-index 5") << forward(MSG_READ_PORT, hex("00"))
        << returned(MSG_READ_PORT, port(5, "00 00 00 00 00 00 00 00 00 00 00")) << -1 << QString();
    QTest::newRow("stuck read index answers an unknown port too")
        << args("--stuck-read-index 0") << bare(MSG_READ_PORT, hex("09"))
        << bare(MSG_READ_PORT, port(0, kDefaultRecord)) << -1 << QString();
}

void TestSimControl::indexFaults()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, requests);
    QFETCH(QByteArray, replies);
    QFETCH(int, port);
    QFETCH(QString, stored);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString state = dir.filePath(QStringLiteral("state.txt"));
    SimProcess sim;
    QVERIFY(sim.start(arguments +
                      QStringList{QStringLiteral("--pty"), QStringLiteral("--state"), state}));
    RoutePeer peer;
    QVERIFY(peer.openSerial(sim.ptyPath()));
    QCOMPARE(spaced(peer.exchange({requests}, replies.size())), spaced(replies));
    if (port >= 0)
        QTRY_COMPARE_WITH_TIMEOUT(readState(state).value(port), stored, 5000);
}

void TestSimControl::unasked_data()
{
    QTest::addColumn<bool>("udp");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QList<QByteArray>>("requests");
    QTest::addColumn<bool>("signal"); // SIGUSR1 after the requests
    QTest::addColumn<QList<QByteArray>>("expected");

    const QStringList frames{QStringLiteral("--unasked"), spaced(kStaleAck),
                             QStringLiteral("--unasked"), spaced(kStrayVersion)};
    QTest::newRow("pty: SIGUSR1 sends both, in order")
        << false << frames << QList<QByteArray>() << true
        << QList<QByteArray>{kStaleAck, kStrayVersion};
    QTest::newRow("pty: once, after the 2nd reply")
        << false << frames + args("--unasked-after 2")
        << QList<QByteArray>{kVersion, kFcVersion, kVersion} << false
        << QList<QByteArray>{kVersionReply, kFcVersionReply, kStaleAck, kStrayVersion,
                             kVersionReply};
    QTest::newRow("pty: a dropped reply does not count")
        << false << frames + args("--unasked-after 2 --drop-every 2")
        << QList<QByteArray>{kVersion, kVersion, kVersion, kVersion} << false
        << QList<QByteArray>{kVersionReply, kVersionReply, kStaleAck, kStrayVersion};
    QTest::newRow("udp: SIGUSR1, one datagram each")
        << true << frames << QList<QByteArray>() << true
        << QList<QByteArray>{kStaleAck, kStrayVersion};
    QTest::newRow("udp: once, after the 1st reply")
        << true << frames + args("--unasked-after 1") << QList<QByteArray>{kFcVersion, kFcVersion}
        << false << QList<QByteArray>{kFcVersionReply, kStaleAck, kStrayVersion, kFcVersionReply};
    QTest::newRow("udp: held replies keep their place")
        << true << frames + args("--delay 200") << QList<QByteArray>{kFcVersion} << true
        << QList<QByteArray>{kFcVersionReply, kStaleAck, kStrayVersion};
}

void TestSimControl::unasked()
{
    QFETCH(bool, udp);
    QFETCH(QStringList, arguments);
    QFETCH(QList<QByteArray>, requests);
    QFETCH(bool, signal);
    QFETCH(QList<QByteArray>, expected);
    RoutePeer peer;
    if (udp)
        QVERIFY(peer.bindUdp());
    SimProcess sim;
    QVERIFY(sim.start(arguments << (udp ? QStringLiteral("--udp") : QStringLiteral("--pty"))));
    if (!udp)
        QVERIFY(peer.openSerial(sim.ptyPath()));
    // Each request is in before the next one or the signal goes out.
    for (int i = 0; i < requests.size(); ++i) {
        peer.send({requests.at(i)});
        QTRY_VERIFY_WITH_TIMEOUT(sim.log().count(QLatin1String(" rx ")) > i, 5000);
    }
    if (signal)
        sim.signal(SIGUSR1);
    const QList<QByteArray> got = peer.take(expected.join().size());
    QCOMPARE(spaced(got.join()), spaced(expected.join()));
    if (udp) // whole frames, one per datagram
        QCOMPARE(got.size(), expected.size());
    QVERIFY(sim.log().contains(spaced(kStaleAck) +
                               QLatin1String("  MSG_FC_RETURN/MSG_WRITE_PORT (unasked)")));
}

void TestSimControl::delayThroughRelay_data()
{
    QTest::addColumn<bool>("udp");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("pty, relayed") << false << kFcVersion << kFcVersionReply;
    QTest::newRow("udp, relayed") << true << kFcVersion << kFcVersionReply;
}

void TestSimControl::delayThroughRelay()
{
    QFETCH(bool, udp);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    RoutePeer peer;
    if (udp)
        QVERIFY(peer.bindUdp());
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--delay"), QStringLiteral("300"),
                       udp ? QStringLiteral("--udp") : QStringLiteral("--pty")}));
    if (!udp)
        QVERIFY(peer.openSerial(sim.ptyPath()));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(spaced(peer.exchange({request}, reply.size())), spaced(reply));
    QVERIFY2(clock.elapsed() >= 300, qPrintable(QString::number(clock.elapsed())));
    // A second request is held from its own arrival, not behind the first.
    clock.restart();
    QCOMPARE(spaced(peer.exchange({request}, reply.size())), spaced(reply));
    QVERIFY2(clock.elapsed() >= 300, qPrintable(QString::number(clock.elapsed())));
}

void TestSimControl::vanishAndReturnOnSignal()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("ttyTovrin"));
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--pty"), QStringLiteral("--link"), link}));
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.ptyPath());

    RoutePeer peer;
    QVERIFY(peer.openSerial(link));
    QCOMPARE(spaced(peer.exchange({bare(MSG_WRITE_PORT, port(3))}, 8)),
             spaced(bare(MSG_WRITE_PORT, hex("03"))));

    // The port open on the old slave learns of the loss through errorOccurred
    // (a hang-up reads as end of file, which QSerialPort reports as ReadError);
    // the program is expected to close it.
    QList<QSerialPort::SerialPortError> errors;
    QSerialPort *old = peer.serial();
    connect(old, &QSerialPort::errorOccurred, this, [&](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::NoError)
            return;
        errors.append(e);
        old->close(); // as the program must: the port keeps reporting until closed
    });
    sim.signal(SIGUSR2);
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!errors.isEmpty(), 5000);
    QVERIFY2(errors.first() == QSerialPort::ReadError ||
                 errors.first() == QSerialPort::ResourceError,
             qPrintable(QString::number(errors.first())));
    QVERIFY(!old->isOpen());

    sim.signal(SIGUSR2);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(link), 5000);
    const QString target = QFileInfo(link).symLinkTarget();
    // A new pty, possibly under the freed number of the old one.
    QVERIFY(target.startsWith(QLatin1String("/dev/")));

    RoutePeer again;
    QVERIFY(again.openSerial(link));
    QCOMPARE(spaced(again.exchange({kVersion}, kVersionReply.size())), spaced(kVersionReply));
    // The module kept what was written before the pty vanished.
    const QByteArray readBack = bare(MSG_READ_PORT, port(3));
    QCOMPARE(spaced(again.exchange({bare(MSG_READ_PORT, hex("03"))}, readBack.size())),
             spaced(readBack));
    const QString log = sim.log();
    QVERIFY2(log.contains(QLatin1String("vanished")) && log.contains(QLatin1String("back as")),
             qPrintable(log));

    QVERIFY(sim.stop(SIGTERM));
    QVERIFY(!QFileInfo(link).isSymLink());
}

void TestSimControl::vanishAndReturnOnTime()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("ttyTovrin"));
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--pty"), QStringLiteral("--link"), link,
                       QStringLiteral("--vanish-after"), QStringLiteral("300"),
                       QStringLiteral("--return-after"), QStringLiteral("900")}));
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo(link).isSymLink(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(link), 5000);
    RoutePeer peer;
    QVERIFY(peer.openSerial(link));
    QCOMPARE(spaced(peer.exchange({kFcVersion}, kFcVersionReply.size())), spaced(kFcVersionReply));
    // stdout still holds the first pty's path alone.
    QCOMPARE(sim.output(), sim.ptyPath().toLocal8Bit() + '\n');
}

QTEST_GUILESS_MAIN(TestSimControl)
#include "tst_simcontrol.moc"
