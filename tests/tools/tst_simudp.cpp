// The simulator as the ground-station software: datagrams to 127.0.0.1:5161,
// answers to 127.0.0.1:6161, pass-through only.
#include "simprocess.h"
#include "testbytes.h"

#include <QNetworkDatagram>
#include <QSerialPort>
#include <QUdpSocket>
#include <QtTest>

namespace
{

using TestBytes::hex;

const char kVersion[] = "AB 0E 05 E2 01 00 D1 6B";
const char kReadAll[] = "AB 0E 05 F1 01 00 20 AE";
const char kFcReadPort0Tovrin[] = "AB 0E 0A 5B 06 F0 80 20 F2 01 00 A2 95";
const char kFcVersionTovrin[] = "AB 0E 0A 5B 06 F0 80 20 E2 01 00 A3 50";
const char kFcVersionR7[] = "AB 0E 0A 5B 06 F0 80 2D E2 01 00 A1 FC";
const char kFcWritePortR7[] =
    "AB 0E 15 5B 11 F1 80 2D F3 0C 00 01 02 03 04 05 06 07 08 09 0A 0B 76 85";
const char kFcReadPort0R7[] = "AB 0E 0A 5B 06 F0 80 2D F2 01 00 A0 39";

const char kFcVersionTovrinReply[] = "AB 0E 0D 5F 09 F0 00 20 E2 04 20 01 00 07 C3 4B";
const char kFcVersionR7Reply[] = "AB 0E 0D 5F 09 F0 00 2D E2 04 2D 01 00 07 1D 27";
const char kFcReadPort0TovrinReply[] =
    "AB 0E 15 5F 11 F1 00 20 F2 0C 00 00 00 E1 00 00 00 00 00 00 00 00 2A 13";

QStringList args(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString spaced(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// The program's end of the UDP route: bound to 127.0.0.1:6161, sends to 5161.
class UdpPeer
{
public:
    bool bind()
    {
        if (!m_socket.bind(QHostAddress::LocalHost, 6161)) {
            qWarning("bind 6161: %s", qPrintable(m_socket.errorString()));
            return false;
        }
        QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] {
            while (m_socket.hasPendingDatagrams())
                m_datagrams.append(m_socket.receiveDatagram().data());
        });
        return true;
    }
    // Sends the requests, one datagram each, and waits until the answers hold
    // at least `size` bytes.
    QList<QByteArray> exchange(const QList<QByteArray> &requests, int size, int timeoutMs = 5000)
    {
        m_datagrams.clear();
        for (const QByteArray &request : requests)
            m_socket.writeDatagram(request, QHostAddress::LocalHost, 5161);
        (void)QTest::qWaitFor([&] { return m_datagrams.join().size() >= size; }, timeoutMs);
        return m_datagrams;
    }

private:
    QUdpSocket m_socket;
    QList<QByteArray> m_datagrams;
};

} // namespace

class TestSimUdp : public QObject
{
    Q_OBJECT
private slots:
    void conversation_data();
    void conversation();
    void splitIntoDatagrams();
    void faultsOverUdp();
    void sharedModuleWithPty();
};

void TestSimUdp::conversation_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply"); // empty: silence

    QTest::newRow("wrapped read-port 0")
        << args("") << hex(kFcReadPort0Tovrin) << hex(kFcReadPort0TovrinReply);
    QTest::newRow("wrapped version")
        << args("") << hex(kFcVersionTovrin) << hex(kFcVersionTovrinReply);
    QTest::newRow("r7: wrapped version")
        << args("--model r7") << hex(kFcVersionR7) << hex(kFcVersionR7Reply);
    QTest::newRow("r7: wrapped write-port stored") << args("--model r7") << hex(kFcWritePortR7)
                                                   << hex("AB 0E 0A 5F 06 F0 00 2D F3 01 00 F1 D4");
    QTest::newRow("r7 strict: wrapped write-port refused")
        << args("--model r7 --strict") << hex(kFcWritePortR7) << QByteArray();
    QTest::newRow("bare version dropped") << args("") << hex(kVersion) << QByteArray();
    QTest::newRow("bare read-all dropped") << args("") << hex(kReadAll) << QByteArray();
    QTest::newRow("foreign device code dropped") << args("") << hex(kFcVersionR7) << QByteArray();
    QTest::newRow("r7: tovrin device code dropped")
        << args("--model r7") << hex(kFcReadPort0Tovrin) << QByteArray();
}

void TestSimUdp::conversation()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    UdpPeer peer;
    QVERIFY(peer.bind());
    SimProcess sim;
    QVERIFY(sim.start(arguments + QStringList{QStringLiteral("--udp")}));
    QVERIFY(sim.log().contains(QLatin1String("127.0.0.1:5161")));

    const bool r7 = arguments.contains(QStringLiteral("r7"));
    if (reply.isEmpty()) {
        // Silence shows as nothing before the answer to a version query sent right after.
        const QByteArray probeReply = hex(r7 ? kFcVersionR7Reply : kFcVersionTovrinReply);
        const QList<QByteArray> got =
            peer.exchange({request, hex(r7 ? kFcVersionR7 : kFcVersionTovrin)}, probeReply.size());
        QCOMPARE(got.size(), 1);
        QCOMPARE(spaced(got.at(0)), spaced(probeReply));
        return;
    }
    const QList<QByteArray> got = peer.exchange({request}, reply.size());
    // One frame per datagram.
    QCOMPARE(got.size(), 1);
    QCOMPARE(spaced(got.at(0)), spaced(reply));
}

void TestSimUdp::splitIntoDatagrams()
{
    UdpPeer peer;
    QVERIFY(peer.bind());
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--udp"), QStringLiteral("--split"), QStringLiteral("--seed"),
                       QStringLiteral("3")}));
    const QByteArray reply = hex(kFcReadPort0TovrinReply);
    const QList<QByteArray> got = peer.exchange({hex(kFcReadPort0Tovrin)}, reply.size());
    QVERIFY2(got.size() >= reply.size() / 4, qPrintable(QString::number(got.size())));
    for (const QByteArray &piece : got)
        QVERIFY(piece.size() >= 1 && piece.size() <= 4);
    QCOMPARE(spaced(got.join()), spaced(reply));
}

void TestSimUdp::faultsOverUdp()
{
    UdpPeer peer;
    QVERIFY(peer.bind());
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--udp"), QStringLiteral("--garbage"),
                       QStringLiteral("--drop-every"), QStringLiteral("2")}));
    const QList<QByteArray> first = peer.exchange({hex(kFcVersionTovrin)}, 21);
    QCOMPARE(first.size(), 1);
    QCOMPARE(spaced(first.at(0)), spaced(hex("00 FF 0E AB 00") + hex(kFcVersionTovrinReply)));
    // The second reply is lost; the third arrives.
    const QList<QByteArray> next =
        peer.exchange({hex(kFcVersionTovrin), hex(kFcReadPort0Tovrin)}, 29);
    QCOMPARE(next.size(), 1);
    QCOMPARE(spaced(next.at(0)), spaced(hex("00 FF 0E AB 00") + hex(kFcReadPort0TovrinReply)));
    QVERIFY(sim.log().contains(QLatin1String("tx dropped")));
}

void TestSimUdp::sharedModuleWithPty()
{
    // One module behind both routes: what is written through the ground
    // station reads back over the serial line.
    UdpPeer peer;
    QVERIFY(peer.bind());
    SimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--udp"), QStringLiteral("--pty"), QStringLiteral("--model"),
                       QStringLiteral("r7")}));
    QCOMPARE(spaced(peer.exchange({hex(kFcWritePortR7)}, 13).join()),
             spaced(hex("AB 0E 0A 5F 06 F0 00 2D F3 01 00 F1 D4")));

    QSerialPort serial;
    serial.setPortName(sim.ptyPath());
    QVERIFY(serial.open(QIODevice::ReadWrite));
    QByteArray rx;
    connect(&serial, &QSerialPort::readyRead, this, [&] { rx += serial.readAll(); });
    serial.write(hex(kFcReadPort0R7));
    QTRY_COMPARE_WITH_TIMEOUT(rx.size(), 24, 5000);
    QCOMPARE(spaced(rx.mid(10, 12)), spaced(hex("00 01 02 03 04 05 06 07 08 09 0A 0B")));
}

QTEST_GUILESS_MAIN(TestSimUdp)
#include "tst_simudp.moc"
