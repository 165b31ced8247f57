// The ground-station transport on 127.0.0.1: it binds port 6161 while open,
// sends datagrams to 127.0.0.1:5161 from 6161, hands every datagram it
// receives on (cut at 512 bytes, in order), and says when 6161 is taken.
#include "groundstationtransport.h"
#include "linkpeers.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace LinkPeers;

class TestGroundStationTransport : public QObject
{
    Q_OBJECT

private slots:
    void bindsAndSendsToGroundStation();
    void datagramsReachParser_data();
    void datagramsReachParser();
    void manyDatagramsInOrder();
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
    COMPROTOCOL parser;
    connect(&transport, &Transport::received, &parser, &COMPROTOCOL::receive);
    RecordLog log(&parser);

    QUdpSocket otherSender;
    QUdpSocket &sender = fromGroundStationPort ? station.socket : otherSender;
    for (const QByteArray &d : datagrams)
        QCOMPARE(sender.writeDatagram(d, localHost(), ProgramPort), qint64(d.size()));
    QTRY_COMPARE_WITH_TIMEOUT(log.records, expected, WaitMs);
}

// More datagrams than are handed on in one turn of the event loop: none is
// lost or reordered.
void TestGroundStationTransport::manyDatagramsInOrder()
{
    GroundStationPeer station;
    QVERIFY(station.bind());
    GroundStationTransport transport;
    QVERIFY(transport.open());
    QByteArrayList handedOn;
    connect(&transport, &Transport::received, this,
            [&handedOn](const QByteArray &bytes) { handedOn.append(bytes); });

    QByteArrayList sent;
    for (int i = 0; i < 150; ++i) {
        sent.append(frame(0x42, QByteArray(1 + i % 7, char(i))));
        station.sendToProgram(sent.last());
    }
    QTRY_COMPARE_WITH_TIMEOUT(handedOn.size(), sent.size(), WaitMs);
    QCOMPARE(handedOn, sent);
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
