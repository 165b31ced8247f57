// The ground-station transport on 127.0.0.1: it binds port 6161 while open,
// sends datagrams to 127.0.0.1:5161 from 6161, hands every datagram it
// receives on (cut at 512 bytes, in order), keeps reading after a burst
// that overflows its receive queue and under answers that come at once, and
// says when 6161 is taken.
#include "groundstationtransport.h"
#include "linkpeers.h"

#include <QSignalSpy>
#include <QtTest>

#include <QFile>
#include <QRandomGenerator>

#include <atomic>
#include <memory>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace LinkPeers;

class TestGroundStationTransport : public QObject
{
    Q_OBJECT

private slots:
    void bindsAndSendsToGroundStation();
    void datagramsReachParser_data();
    void datagramsReachParser();
    void manyDatagramsInOrder();
    void answerAfterBurst_data();
    void answerAfterBurst();
    void quickAnswersInARow();
    void takenPortDoesNotOpen();
    void closeFreesPort();
};

void TestGroundStationTransport::bindsAndSendsToGroundStation()
{
    QCOMPARE(GroundStationTransport::LocalPort, ProgramPort);
    QCOMPARE(GroundStationTransport::GroundStationPort, GroundStationPort);
    GroundStationPeer station;
    QVERIFY(station.bind());
    GroundStationTransport transport;
    QVERIFY(!transport.isOpen());
    QVERIFY2(transport.open(), qPrintable(transport.errorString()));
    QVERIFY(transport.isOpen());
    {
        QUdpSocket probe;
        QVERIFY(!probe.bind(localHost(), ProgramPort));
    }

    // One datagram per send, exactly the bytes given, from 127.0.0.1:6161.
    const QByteArray first = hex("AB0E0A5B06F08020E20100A350");
    const QByteArray second = hex("00FF");
    QVERIFY(transport.send(first));
    QVERIFY(transport.send(second));
    QTRY_VERIFY_WITH_TIMEOUT(station.socket.hasPendingDatagrams(), WaitMs);
    QHostAddress from;
    quint16 fromPort = 0;
    QByteArray d(int(station.socket.pendingDatagramSize()), Qt::Uninitialized);
    station.socket.readDatagram(d.data(), d.size(), &from, &fromPort);
    QCOMPARE(d.toHex(' '), first.toHex(' '));
    QCOMPARE(from.toIPv4Address(), localHost().toIPv4Address());
    QCOMPARE(fromPort, ProgramPort);
    QCOMPARE(station.nextDatagram().toHex(' '), second.toHex(' '));
}

void TestGroundStationTransport::datagramsReachParser_data()
{
    QTest::addColumn<QByteArrayList>("datagrams");
    QTest::addColumn<bool>("fromGroundStationPort");
    QTest::addColumn<QByteArrayList>("expected");

    const QByteArray p13 = hex("000102030405060708090A0B0C");
    QTest::newRow("20-byte datagram")
        << QByteArrayList{frame(0x42, p13)} << true << QByteArrayList{record(0x42, p13)};
    QTest::newRow("any sender port")
        << QByteArrayList{frame(0x42, p13)} << false << QByteArrayList{record(0x42, p13)};

    // Bytes past 512 are lost: a frame ending at byte 512 is decoded, one
    // ending after it is not. The zeros of the next datagram flush the cut
    // frame out of the parser before the last frame arrives.
    const QByteArray atLimit = frame(0x44, hex("0102030405"));
    const QByteArray cut = frame(0x45, hex("00112233445566778899AABBCCDDEEFF"));
    const QByteArray last = frame(0x46, hex("07"));
    QTest::newRow("600 bytes give the first 512")
        << QByteArrayList{filler(500 - 12) + atLimit + filler(4, 0x55) + cut +
                              filler(600 - 504 - cut.size(), 0x55),
                          filler(40) + last}
        << true << QByteArrayList{record(0x44, hex("0102030405")), record(0x46, hex("07"))};
    QTest::newRow("frame ending at byte 512")
        << QByteArrayList{filler(512 - atLimit.size()) + atLimit} << true
        << QByteArrayList{record(0x44, hex("0102030405"))};
    QTest::newRow("frame ending at byte 513")
        << QByteArrayList{filler(513 - atLimit.size()) + atLimit, filler(40) + last} << true
        << QByteArrayList{record(0x46, hex("07"))};

    QTest::newRow("frame split over datagrams") << QByteArrayList{last.left(4), last.mid(4)} << true
                                                << QByteArrayList{record(0x46, hex("07"))};
    QTest::newRow("empty datagram dropped, next one read")
        << QByteArrayList{QByteArray(), last} << true << QByteArrayList{record(0x46, hex("07"))};
    QTest::newRow("several datagrams")
        << QByteArrayList{frame(0x41, hex("01")), frame(0x42, hex("0202")),
                          frame(0x43, hex("030303"))}
        << true
        << QByteArrayList{record(0x41, hex("01")), record(0x42, hex("0202")),
                          record(0x43, hex("030303"))};
}

void TestGroundStationTransport::datagramsReachParser()
{
    QFETCH(QByteArrayList, datagrams);
    QFETCH(bool, fromGroundStationPort);
    QFETCH(QByteArrayList, expected);

    GroundStationPeer station;
    QVERIFY(station.bind());
    GroundStationTransport transport;
    QVERIFY(transport.open());
    HandedOn handedOn(&transport, &Transport::received, HandedOn::Decode);

    QUdpSocket otherSender;
    QUdpSocket &sender = fromGroundStationPort ? station.socket : otherSender;
    for (const QByteArray &d : datagrams)
        QCOMPARE(sender.writeDatagram(d, localHost(), ProgramPort), qint64(d.size()));
    QTRY_COMPARE_WITH_TIMEOUT(handedOn.records(), expected, WaitMs);
}

// More datagrams than are handed on in one turn of the event loop: none is
// lost or reordered.
void TestGroundStationTransport::manyDatagramsInOrder()
{
    GroundStationPeer station;
    QVERIFY(station.bind());
    GroundStationTransport transport;
    QVERIFY(transport.open());
    HandedOn handedOn(&transport, &Transport::received);

    QByteArrayList sent;
    for (int i = 0; i < 150; ++i) {
        sent.append(frame(0x42, QByteArray(1 + i % 7, char(i))));
        station.sendToProgram(sent.last());
    }
    QTRY_COMPARE_WITH_TIMEOUT(handedOn.chunks.size(), sent.size(), WaitMs);
    QCOMPARE(handedOn.chunks, sent);
}

namespace
{
// Sends datagrams of random sizes to 127.0.0.1:6161 from another thread as
// fast as it can, the way another program would: the transport reads while
// they arrive, and the socket's receive queue overflows many times over.
void sendBurst(int count, int maxSize, quint32 seed)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(ProgramPort);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QRandomGenerator random(seed);
    QByteArray buffer(maxSize + 1, Qt::Uninitialized);
    for (int i = 0; i < count; ++i) {
        const int size = int(random.bounded(maxSize + 1));
        for (int j = 0; j < size; ++j)
            buffer[j] = char(random.bounded(256));
        ::sendto(fd, buffer.constData(), size_t(size), 0, reinterpret_cast<sockaddr *>(&to),
                 sizeof to);
    }
    ::close(fd);
}

// Bytes waiting in the receive queue of the UDP socket on 127.0.0.1:port, as
// the system reports it; -1 when there is no such socket.
qint64 receiveQueue(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/udp"));
    if (!table.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray local =
        "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 4 && fields.at(1) == local)
            return fields.at(4).split(':').value(1).toLongLong(nullptr, 16);
    }
    return -1;
}
} // namespace

void TestGroundStationTransport::answerAfterBurst_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("maxSize");
    QTest::newRow("3000 datagrams up to 8000 bytes") << 3000 << 8000;
    QTest::newRow("3000 datagrams up to 100 bytes") << 3000 << 100;
    QTest::newRow("20000 empty or one-byte datagrams") << 20000 << 1;
}

// However many datagrams arrive and are lost while the transport reads, the
// answer sent after them is handed on: the socket is still being read.
// Several bursts in a row, each followed by an answer.
void TestGroundStationTransport::answerAfterBurst()
{
    QFETCH(int, count);
    QFETCH(int, maxSize);

    GroundStationPeer station;
    QVERIFY(station.bind());
    GroundStationTransport transport;
    QVERIFY(transport.open());
    HandedOn handedOn(&transport, &Transport::received);

    for (int round = 0; round < 5; ++round) {
        std::atomic<bool> done{false};
        std::thread sender([&done, count, maxSize, round] {
            sendBurst(count, maxSize, quint32(round + 1));
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 60000);
        sender.join();
        // The transport empties the queue; while it is full, the system
        // would drop the answer too, as it dropped much of the burst.
        QTRY_COMPARE_WITH_TIMEOUT(receiveQueue(ProgramPort), qint64(0), WaitMs);
        const QByteArray answer = frame(0x77, QByteArray(1, char(round)));
        station.sendToProgram(answer);
        QTRY_VERIFY_WITH_TIMEOUT(handedOn.chunks.contains(answer), WaitMs);
    }
}

// A ground station that answers each request at once, from another thread:
// the answer often arrives while the transport is still handing on the one
// before it. Each answer is handed on, and the next request goes out from
// inside that hand-over, as the session sends a chain's next step.
void TestGroundStationTransport::quickAnswersInARow()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(GroundStationPort);
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&at), sizeof at), 0);
    std::thread station([fd] {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(ProgramPort);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        char buffer[64];
        for (;;) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            ::sendto(fd, buffer, size_t(n), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
        }
    });

    GroundStationTransport transport;
    QVERIFY(transport.open());
    constexpr int Exchanges = 3000;
    int answered = 0;
    connect(&transport, &Transport::received, this, [&](const QByteArray &bytes) {
        if (bytes != frame(0x42, QByteArray::number(answered)))
            return;
        ++answered;
        if (answered < Exchanges)
            transport.send(frame(0x42, QByteArray::number(answered)));
    });
    QVERIFY(transport.send(frame(0x42, QByteArray::number(0))));
    // Each answer comes within a millisecond or so (3000 take about a second);
    // one that is not read leaves the count where it stopped.
    static_cast<void>(QTest::qWaitFor([&answered] { return answered == Exchanges; }, 60000));
    transport.close();
    ::shutdown(fd, SHUT_RDWR);
    station.join();
    ::close(fd);
    QCOMPARE(answered, Exchanges);
}

void TestGroundStationTransport::takenPortDoesNotOpen()
{
    GroundStationPeer station;
    QVERIFY(station.bind());
    auto blocker = std::make_unique<QUdpSocket>();
    QVERIFY(blocker->bind(localHost(), ProgramPort));

    GroundStationTransport transport;
    QVERIFY(!transport.open());
    QVERIFY(!transport.isOpen());
    QVERIFY(!transport.errorString().isEmpty());
    QVERIFY(!transport.send(hex("AB0E05E20100D16B")));
    QVERIFY(station.nextDatagram(200).isNull());

    // The same transport opens once the port is free.
    blocker.reset();
    QVERIFY2(transport.open(), qPrintable(transport.errorString()));
    QCOMPARE(transport.errorString(), QString());
    QVERIFY(transport.send(hex("01")));
    QCOMPARE(station.nextDatagram(), hex("01"));
}

void TestGroundStationTransport::closeFreesPort()
{
    GroundStationTransport transport;
    QVERIFY(transport.open());
    transport.close();
    QVERIFY(!transport.isOpen());
    QVERIFY(!transport.send(hex("01")));
    QSignalSpy received(&transport, &Transport::received);
    {
        QUdpSocket probe;
        QVERIFY(probe.bind(localHost(), ProgramPort));
    }
    // And takes it again when opened again.
    QVERIFY(transport.open());
    QUdpSocket sender;
    sender.writeDatagram(frame(0x42, hex("01")), localHost(), ProgramPort);
    QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, WaitMs);
}

QTEST_MAIN(TestGroundStationTransport)
#include "tst_groundstationtransport.moc"
