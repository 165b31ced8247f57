// The ground-station route of the main window on 127.0.0.1: opening binds
// port 6161 and sends to the ground station, closing frees the port, replies
// reach the window, and a port already taken by another program is said and
// leaves the link closed. The transport's datagram handling is tested in
// tests/session.
#include "boxwatcher.h"
#include "passthrough.h"
#include "transportharness.h"

using namespace Harness;

namespace
{
// The version query wrapped for the flight controller in Tovrin mode.
const QByteArray WrappedVersionQuery = hex("AB0E0A5B06F08020E20100A350");
// The version reply of a Tovrin module (firmware 1.2.3), wrapped by the relay.
const QByteArray WrappedVersionReply = PassThrough::returnFrame(0x20, MSG_VERSION, hex("20010203"));
const QString PortTaken = QStringLiteral("错误：地面站端口 6161 已被占用");
} // namespace

class TestGroundStation : public QObject
{
    Q_OBJECT

private slots:
    void repliesReachWindow();
    void closeAndReopen();
    void takenPortIsSaidAndStaysClosed();

private:
    // A window whose link is open through the ground station, ready to talk.
    std::unique_ptr<MainWidget> openWindow();
};

std::unique_ptr<MainWidget> TestGroundStation::openWindow()
{
    auto w = makeWindow({});
    choosePassThrough(w.get(), true);
    clickOpenButton(w.get());
    return w;
}

void TestGroundStation::repliesReachWindow()
{
    GroundStationPeer station;
    QVERIFY(station.bind());
    auto w = openWindow();
    QVERIFY(WindowLookup::linkOpen(w.get()));
    QCOMPARE(WindowLookup::session(w.get())->route(), ConfigSession::Route::GroundStation);
    QCOMPARE(station.nextDatagram().toHex(' '), WrappedVersionQuery.toHex(' '));

    // From another port than 5161 too: the socket takes any sender.
    QUdpSocket otherSender;
    otherSender.writeDatagram(WrappedVersionReply, localHost(), ProgramPort);
    QTRY_COMPARE_WITH_TIMEOUT(child<QPushButton>(w.get(), "tbtnVersion")->text(),
                              QStringLiteral("V1.2.3"), WaitMs);
    // The version reply starts the read, port by port, on the same route.
    QCOMPARE(station.nextDatagram().toHex(' '), hex("AB0E0A5B06F08020F20100A295").toHex(' '));
}

void TestGroundStation::closeAndReopen()
{
    GroundStationPeer station;
    QVERIFY(station.bind());
    auto w = openWindow();
    QVERIFY(WindowLookup::linkOpen(w.get()));
    QCOMPARE(station.nextDatagram(), WrappedVersionQuery);
    {
        // Port 6161 is the program's while the link is open.
        QUdpSocket probe;
        QVERIFY(!probe.bind(localHost(), ProgramPort));
    }

    clickOpenButton(w.get());
    QVERIFY(!WindowLookup::linkOpen(w.get()));
    QCOMPARE(child<QPushButton>(w.get(), "btnOpenSerialPort")->styleSheet(), openButtonStyle("on"));
    {
        // Port 6161 is free again while the link is closed.
        QUdpSocket probe;
        QVERIFY(probe.bind(localHost(), ProgramPort));
    }

    clickOpenButton(w.get());
    QVERIFY(WindowLookup::linkOpen(w.get()));
    QCOMPARE(station.nextDatagram(), WrappedVersionQuery);

    station.sendToProgram(WrappedVersionReply);
    QTRY_COMPARE_WITH_TIMEOUT(child<QPushButton>(w.get(), "tbtnVersion")->text(),
                              QStringLiteral("V1.2.3"), WaitMs);
}

void TestGroundStation::takenPortIsSaidAndStaysClosed()
{
    GroundStationPeer station;
    QVERIFY(station.bind());
    auto blocker = std::make_unique<QUdpSocket>();
    QVERIFY(blocker->bind(localHost(), ProgramPort));
    BoxWatcher watcher;

    auto w = openWindow();
    // The link stays closed and looks closed, and the status says why.
    QVERIFY(!WindowLookup::linkOpen(w.get()));
    auto *openButton = child<QPushButton>(w.get(), "btnOpenSerialPort");
    QCOMPARE(openButton->styleSheet(), openButtonStyle("on"));
    QCOMPARE(statusText(w.get()), PortTaken);
    QVERIFY(watcher.boxes.isEmpty());
    // The route can still be changed, as with any closed link.
    QVERIFY(child<QCheckBox>(w.get(), "chb_ConfigByFCS")->isEnabled());
    QVERIFY(child<QCheckBox>(w.get(), "chb_DLSpace")->isEnabled());
    // Nothing went out while the socket was unbound.
    QVERIFY(station.nextDatagram(200).isNull());

    // A second try while the port is still taken says the same.
    child<QLabel>(w.get(), "lblStatus")->clear();
    clickOpenButton(w.get());
    QVERIFY(!WindowLookup::linkOpen(w.get()));
    QCOMPARE(statusText(w.get()), PortTaken);

    // Once the port is free, one click opens it.
    blocker.reset();
    child<QLabel>(w.get(), "lblStatus")->clear();
    clickOpenButton(w.get());
    QVERIFY(WindowLookup::linkOpen(w.get()));
    QCOMPARE(openButton->styleSheet(), openButtonStyle("off"));
    QCOMPARE(station.nextDatagram(), WrappedVersionQuery);
    QCOMPARE(statusText(w.get()), QString());
    QVERIFY(watcher.boxes.isEmpty());
}

QTEST_MAIN(TestGroundStation)
#include "tst_groundstation.moc"
