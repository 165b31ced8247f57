// The send path of the main window: the exact bytes that leave on the serial
// port and as datagrams to the ground station, bare and wrapped for the
// flight controller in both module modes, and the refusals in lblStatus.
#include "testpaths.h"
#include "transportharness.h"

using namespace Harness;

namespace
{
const QString NotOpen = QStringLiteral("错误：请先打开端口");
const QString NoPassThrough = QStringLiteral("错误：请先勾选通过飞控透传");

QByteArray withCrc(const QByteArray &body)
{
    const quint16 crc = crc16Modbus(body.constData(), body.size());
    return body + QByteArray(1, char(crc & 0xFF)) + QByteArray(1, char(crc >> 8));
}

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
        if (!window->linkOpen)
            return false;
        *versionQuery = next(passThrough ? 13 : 8);
        return true;
    }

    // What the program sends next: one datagram, or the bytes on the serial
    // line once at least the expected number has come.
    QByteArray next(int expectedSize)
    {
        if (groundStation)
            return station.nextDatagram();
        if (!QTest::qWaitFor([&] { return serialPeer.received.size() >= expectedSize; }, WaitMs))
            qWarning("only %d of %d bytes came", int(serialPeer.received.size()), expectedSize);
        QByteArray bytes = serialPeer.received;
        serialPeer.received.clear();
        return bytes;
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
    void wrappedCommands_data();
    void wrappedCommands();
    void refusals_data();
    void refusals();
    void groundStationWithoutPassThroughSendsNothing();
};

void TestSendPath::cleanup()
{
    MainWidget::setExtraSerialPorts({});
    resetModuleMode();
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
    link.window->on_tbtnVersion_clicked();
    QCOMPARE(link.next(expected.size()).toHex(' '), expected.toHex(' '));
    if (groundStation)
        QVERIFY(link.serialPeer.received.isEmpty());
    else
        QVERIFY(!link.station.socket.hasPendingDatagrams());
}

void TestSendPath::wrappedCommands_data()
{
    QTest::addColumn<bool>("r7");
    QTest::addColumn<bool>("groundStation");
    QTest::addColumn<quint8>("id");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray writePort = hex("000102030405060708090A0B");
    const QByteArray writePortFrame = hex("AB0E155B11F1802DF30C000102030405060708090A0B7685");
    QTest::newRow("R7 write-port, serial")
        << true << false << MSG_WRITE_PORT << writePort << writePortFrame;
    QTest::newRow("R7 write-port, ground station")
        << true << true << MSG_WRITE_PORT << writePort << writePortFrame;

    const QByteArray seven = hex("01020304050607");
    const QByteArray eight = hex("0102030405060708");
    QTest::newRow("7 inner bytes: short kind") << false << false << MSG_WRITE_PORT << seven
                                               << withCrc(hex("AB0E105B0CF08020F307") + seven);
    QTest::newRow("8 inner bytes: long kind") << false << false << MSG_WRITE_PORT << eight
                                              << withCrc(hex("AB0E115B0DF18020F308") + eight);
    QTest::newRow("empty inner payload, R7")
        << true << true << MSG_READ_PORT << QByteArray() << withCrc(hex("AB0E095B05F0802DF200"));
    QTest::newRow("read port 3, Tovrin, ground station")
        << false << true << MSG_READ_PORT << hex("03") << withCrc(hex("AB0E0A5B06F08020F20103"));
}

void TestSendPath::wrappedCommands()
{
    QFETCH(bool, r7);
    QFETCH(bool, groundStation);
    QFETCH(quint8, id);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, expected);

    OpenLink link;
    QByteArray versionQuery;
    QVERIFY(link.open(r7, true, groundStation, &versionQuery));

    link.window->sendCommand(id, payload, quint8(payload.size()));
    QCOMPARE(link.next(expected.size()).toHex(' '), expected.toHex(' '));
    QCOMPARE(crc16Modbus(expected.constData(), expected.size()), quint16(0));
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
        QVERIFY(w->linkOpen);
        clickOpenButton(w.get());
        QVERIFY(!w->linkOpen);
        child<QLabel>(w.get(), "lblStatus")->clear();
    }

    w->sendCommand(MSG_READ_ALL, hex("00"), 1);
    QCOMPARE(statusText(w.get()), status);
}

void TestSendPath::groundStationWithoutPassThroughSendsNothing()
{
    GroundStationPeer station;
    QVERIFY(station.bind());
    auto w = makeWindow({});
    // Not reachable with the check boxes alone: the transport is chosen
    // directly while pass-through stays off.
    w->useGroundStation = true;
    clickOpenButton(w.get());
    QVERIFY(w->linkOpen);
    QVERIFY(w->udpSocket && w->udpSocket->isOpen());
    QCOMPARE(statusText(w.get()), NoPassThrough);

    w->sendCommand(MSG_READ_ALL, hex("00"), 1);
    QCOMPARE(statusText(w.get()), NoPassThrough);

    // With pass-through on, the first datagram to arrive is the wrapped one.
    child<QCheckBox>(w.get(), "chb_ConfigByFCS")->setChecked(true);
    w->sendCommand(MSG_READ_PORT, hex("00"), 1);
    QCOMPARE(station.nextDatagram().toHex(' '), hex("AB0E0A5B06F08020F20100A295").toHex(' '));
    QVERIFY(!station.socket.hasPendingDatagrams());
}

QTEST_MAIN(TestSendPath)
#include "tst_sendpath.moc"
