// The ground-station transport of the main window on 127.0.0.1: binding port
// 6161 when the link opens, datagrams reaching the parser, closing and
// reopening, and a port already taken by another program.
#include "boxwatcher.h"
#include "transportharness.h"

#include <QPointer>

using namespace Harness;

namespace
{
// The version query wrapped for the flight controller in Tovrin mode.
const QByteArray WrappedVersionQuery = hex("AB0E0A5B06F08020E20100A350");
} // namespace

class TestGroundStation : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void datagramsReachParser_data();
    void datagramsReachParser();
    void waitingDatagramsReadInOneCall();
    void closeAndReopenReusesSocket();
    void takenPortLeavesSocketClosed();

private:
    // A window whose link is open through the ground station, ready to talk.
    std::unique_ptr<MainWidget> openWindow();
};

void TestGroundStation::cleanup()
{
    resetModuleMode();
}

std::unique_ptr<MainWidget> TestGroundStation::openWindow()
{
    auto w = makeWindow({});
    choosePassThrough(w.get(), true);
    clickOpenButton(w.get());
    return w;
}

void TestGroundStation::datagramsReachParser_data()
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
}

void TestGroundStation::datagramsReachParser()
{
    QFETCH(QByteArrayList, datagrams);
    QFETCH(bool, fromGroundStationPort);
    QFETCH(QByteArrayList, expected);

    GroundStationPeer station;
    QVERIFY(station.bind());
    auto w = openWindow();
    QVERIFY(w->udpSocket && w->udpSocket->isOpen());
    QCOMPARE(station.nextDatagram(), WrappedVersionQuery);

    RecordLog log(w->parser);
    QUdpSocket otherSender;
    QUdpSocket &sender = fromGroundStationPort ? station.socket : otherSender;
    for (const QByteArray &d : datagrams)
        QCOMPARE(sender.writeDatagram(d, localHost(), ProgramPort), qint64(d.size()));
    QTRY_COMPARE_WITH_TIMEOUT(log.records, expected, WaitMs);
}

void TestGroundStation::waitingDatagramsReadInOneCall()
{
    GroundStationPeer station;
    QVERIFY(station.bind());
    auto w = openWindow();
    QVERIFY(w->udpSocket && w->udpSocket->isOpen());
    RecordLog log(w->parser);

    const QByteArrayList sent{frame(0x41, hex("01")), frame(0x42, hex("0202")),
                              frame(0x43, hex("030303"))};
    for (const QByteArray &d : sent)
        station.sendToProgram(d);
    // Local datagrams are queued by the time the send returns; one call with
    // no event loop in between must take them all, in order.
    w->onUdpSocketReadyRead();
    QCOMPARE(log.records, (QByteArrayList{record(0x41, hex("01")), record(0x42, hex("0202")),
                                          record(0x43, hex("030303"))}));
    QVERIFY(!w->udpSocket->hasPendingDatagrams());
}

void TestGroundStation::closeAndReopenReusesSocket()
{
    GroundStationPeer station;
    QVERIFY(station.bind());
    auto w = openWindow();
    QVERIFY(w->linkOpen);
    QPointer<QUdpSocket> socket = w->udpSocket;
    QVERIFY(socket && socket->isOpen());
    QCOMPARE(station.nextDatagram(), WrappedVersionQuery);

    clickOpenButton(w.get());
    QVERIFY(!w->linkOpen);
    QVERIFY(!socket.isNull());
    QCOMPARE(w->udpSocket, socket.data());
    QVERIFY(!socket->isOpen());
    {
        // Port 6161 is free again while the link is closed.
        QUdpSocket probe;
        QVERIFY(probe.bind(localHost(), ProgramPort));
    }

    clickOpenButton(w.get());
    QVERIFY(w->linkOpen);
    QCOMPARE(w->udpSocket, socket.data());
    QVERIFY(socket->isOpen());
    QCOMPARE(socket->localPort(), ProgramPort);
    QCOMPARE(station.nextDatagram(), WrappedVersionQuery);

    RecordLog log(w->parser);
    station.sendToProgram(frame(0x42, hex("0102")));
    QTRY_COMPARE_WITH_TIMEOUT(log.records, QByteArrayList{record(0x42, hex("0102"))}, WaitMs);
}

void TestGroundStation::takenPortLeavesSocketClosed()
{
    GroundStationPeer station;
    QVERIFY(station.bind());
    auto blocker = std::make_unique<QUdpSocket>();
    QVERIFY(blocker->bind(localHost(), ProgramPort));
    BoxWatcher watcher;

    auto w = openWindow();
    // The link counts as open, but the socket is not, and the version query
    // sent on opening says so.
    QVERIFY(w->linkOpen);
    QCOMPARE(child<QPushButton>(w.get(), "btnOpenSerialPort")->styleSheet(),
             openButtonStyle("off"));
    QVERIFY(w->udpSocket);
    QVERIFY(!w->udpSocket->isOpen());
    QCOMPARE(statusText(w.get()), QStringLiteral("错误：请先打开端口"));
    QVERIFY(watcher.boxes.isEmpty());

    // Once the port is free, closing and opening again works.
    blocker.reset();
    clickOpenButton(w.get());
    child<QLabel>(w.get(), "lblStatus")->clear();
    clickOpenButton(w.get());
    QVERIFY(w->udpSocket->isOpen());
    QCOMPARE(station.nextDatagram(), WrappedVersionQuery);
    // Nothing went out while the socket was unbound.
    QVERIFY(!station.socket.hasPendingDatagrams());
    QCOMPARE(statusText(w.get()), QString());
}

QTEST_MAIN(TestGroundStation)
#include "tst_groundstation.moc"
