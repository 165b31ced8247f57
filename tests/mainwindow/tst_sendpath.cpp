// The send path of the main window: the exact bytes its buttons send on the
// serial port and as datagrams to the ground station, bare and wrapped for
// the flight controller in both module modes, and the refusal in lblStatus.
// Every command's frame on every route is tested in tests/session.
#include "testpaths.h"
#include "transportharness.h"

using namespace Harness;

namespace
{
const QString NotOpen = QStringLiteral("错误：请先打开端口");

using TestBytes::withCrc;

// One window with its link open on the chosen transport and the far end
// listening; the version query sent on opening is already taken off.
struct OpenLink {
    PtyPair pty;
    SerialPeer serialPeer;
    GroundStationPeer station;
    std::unique_ptr<MainWidget> window;
    bool groundStation = false;

    bool open(bool r7, bool passThrough, bool viaGroundStation, QByteArray *versionQuery)
    {
        groundStation = viaGroundStation;
        if (!pty.start() || !serialPeer.open(pty.second()) || !station.bind())
            return false;
        window = makeWindow({pty.first()});
        if (r7)
            chooseR7Mode(window.get());
        if (passThrough)
            choosePassThrough(window.get(), viaGroundStation);
        if (!choosePort(window.get(), pty.first()))
            return false;
        clickOpenButton(window.get());
        if (!WindowLookup::linkOpen(window.get()))
            return false;
        *versionQuery = next(passThrough ? 13 : 8);
        return true;
    }

    // What the program sends next: one datagram, or the bytes on the serial
    // line once at least the expected number has come.
    QByteArray next(int expectedSize)
    {
        return groundStation ? station.nextDatagram() : serialPeer.take(expectedSize);
    }
};
} // namespace

class TestSendPath : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void versionQueryOnOpen_data();
    void versionQueryOnOpen();
    void readButton_data();
    void readButton();
    void refusals_data();
    void refusals();
    // The ground-station route without pass-through can no longer be chosen:
    // the ground station is a pass-through route and always wraps.
};

void TestSendPath::cleanup()
{
    MainWidget::setExtraSerialPorts({});
}

void TestSendPath::versionQueryOnOpen_data()
{
    QTest::addColumn<bool>("r7");
    QTest::addColumn<bool>("passThrough");
    QTest::addColumn<bool>("groundStation");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray bare = hex("AB0E05E20100D16B");
    const QByteArray tovrin = hex("AB0E0A5B06F08020E20100A350");
    const QByteArray r7 = hex("AB0E0A5B06F0802DE20100A1FC");
    QTest::newRow("serial, bare, Tovrin") << false << false << false << bare;
    QTest::newRow("serial, bare, R7") << true << false << false << bare;
    QTest::newRow("serial, wrapped, Tovrin") << false << true << false << tovrin;
    QTest::newRow("serial, wrapped, R7") << true << true << false << r7;
    QTest::newRow("ground station, Tovrin") << false << true << true << tovrin;
    QTest::newRow("ground station, R7") << true << true << true << r7;
}

void TestSendPath::versionQueryOnOpen()
{
    QFETCH(bool, r7);
    QFETCH(bool, passThrough);
    QFETCH(bool, groundStation);
    QFETCH(QByteArray, expected);

    OpenLink link;
    QByteArray sent;
    QVERIFY(link.open(r7, passThrough, groundStation, &sent));
    QCOMPARE(sent.toHex(' '), expected.toHex(' '));
    QCOMPARE(statusText(link.window.get()), QString());

    // The version button sends the same again, on the same transport only.
    clickButton(link.window.get(), "tbtnVersion");
    QCOMPARE(link.next(expected.size()).toHex(' '), expected.toHex(' '));
    if (groundStation)
        QVERIFY(link.serialPeer.received.isEmpty());
    else
        QVERIFY(!link.station.socket.hasPendingDatagrams());
}

void TestSendPath::readButton_data()
{
    QTest::addColumn<bool>("r7");
    QTest::addColumn<bool>("passThrough");
    QTest::addColumn<bool>("groundStation");
    QTest::addColumn<QByteArray>("expected");

    // Direct: read all; through the flight controller: port 0 first.
    QTest::newRow("serial, bare") << false << false << false << withCrc(hex("AB0E05F10100"));
    QTest::newRow("serial, wrapped, R7")
        << true << true << false << withCrc(hex("AB0E0A5B06F0802DF20100"));
    QTest::newRow("ground station, Tovrin")
        << false << true << true << hex("AB0E0A5B06F08020F20100A295");
}

void TestSendPath::readButton()
{
    QFETCH(bool, r7);
    QFETCH(bool, passThrough);
    QFETCH(bool, groundStation);
    QFETCH(QByteArray, expected);

    OpenLink link;
    QByteArray versionQuery;
    QVERIFY(link.open(r7, passThrough, groundStation, &versionQuery));

    clickButton(link.window.get(), "cbAllDownload");
    QCOMPARE(link.next(expected.size()).toHex(' '), expected.toHex(' '));
    QCOMPARE(crc16Modbus(expected.constData(), expected.size()), quint16(0));
    QCOMPARE(statusText(link.window.get()), QString());
    if (groundStation)
        QVERIFY(link.serialPeer.received.isEmpty());
    else
        QVERIFY(!link.station.socket.hasPendingDatagrams());
}

void TestSendPath::refusals_data()
{
    QTest::addColumn<bool>("groundStation");
    QTest::addColumn<bool>("openThenClose");
    QTest::addColumn<QString>("status");

    QTest::newRow("serial never opened") << false << false << NotOpen;
    QTest::newRow("serial closed again") << false << true << NotOpen;
    QTest::newRow("ground station never opened") << true << false << NotOpen;
    QTest::newRow("ground station closed again") << true << true << NotOpen;
}

void TestSendPath::refusals()
{
    QFETCH(bool, groundStation);
    QFETCH(bool, openThenClose);
    QFETCH(QString, status);

    PtyPair pty;
    QVERIFY(pty.start());
    GroundStationPeer station;
    QVERIFY(station.bind());
    auto w = makeWindow({pty.first()});
    QVERIFY(choosePort(w.get(), pty.first()));
    if (groundStation)
        choosePassThrough(w.get(), true);
    if (openThenClose) {
        clickOpenButton(w.get());
        QVERIFY(WindowLookup::linkOpen(w.get()));
        clickOpenButton(w.get());
        QVERIFY(!WindowLookup::linkOpen(w.get()));
        child<QLabel>(w.get(), "lblStatus")->clear();
        // The version query of the opening.
        if (groundStation)
            QVERIFY(!station.nextDatagram().isNull());
    }

    clickButton(w.get(), "cbAllDownload");
    QCOMPARE(statusText(w.get()), status);
    // The version button is refused the same way.
    child<QLabel>(w.get(), "lblStatus")->clear();
    clickButton(w.get(), "tbtnVersion");
    QCOMPARE(statusText(w.get()), status);
    // And the write, at once: no question is asked about a write that cannot go.
    child<QLabel>(w.get(), "lblStatus")->clear();
    clickButton(w.get(), "cbAllSet");
    QCOMPARE(statusText(w.get()), status);
    QVERIFY(!WindowLookup::dialog(w.get())->isVisible());
    QVERIFY(station.nextDatagram(200).isNull());
    // Nothing was armed: no failure comes later to replace the refusal.
    QTest::qWait(1700);
    QCOMPARE(statusText(w.get()), status);
    for (const char *button : {"cbAllDownload", "cbAllSet", "tbtnVersion"})
        QVERIFY(!child<QPushButton>(w.get(), button)
                     ->styleSheet()
                     .contains(QLatin1String("165,81,28")));
}

QTEST_MAIN(TestSendPath)
#include "tst_sendpath.moc"
