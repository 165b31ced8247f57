// The configuration session over its real transports: the exact bytes each
// command puts on each route (bare on the serial port, wrapped for the flight
// controller on the serial port or as datagrams to the ground station) in
// both module models, a command given while no link is open, and opening
// over a link that cannot be opened or while another one is open.
#include "configsession.h"
#include "linkpeers.h"
#include "testpaths.h"
#include "transport.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace LinkPeers;

Q_DECLARE_METATYPE(ConfigSession::Route)
Q_DECLARE_METATYPE(ModuleModel)

namespace
{
using TestBytes::withCrc;

// One 11-byte record per port, each byte telling port and position apart.
QVector<QByteArray> records(int ports)
{
    QVector<QByteArray> all;
    for (int p = 0; p < ports; ++p) {
        QByteArray r;
        for (int i = 0; i < 11; ++i)
            r.append(char(p * 16 + i + 1));
        all.append(r);
    }
    return all;
}

// A session opened on a route, with the far ends of both transports
// listening, so that bytes on the wrong one are seen too.
struct Link {
    PtyPair pty;
    SerialPeer serialPeer;
    GroundStationPeer station;
    ConfigSession session;
    ConfigSession::Route route = ConfigSession::Route::Direct;

    bool open(ConfigSession::Route r, ModuleModel model)
    {
        route = r;
        if (!pty.start() || !serialPeer.open(pty.second()) || !station.bind())
            return false;
        session.setModel(model);
        return session.open(route, ConfigSession::createTransport(route, pty.first()));
    }

    // What went out: the next datagram, or the serial bytes once at least
    // the expected number has come.
    QByteArray next(int expectedSize)
    {
        return route == ConfigSession::Route::GroundStation ? station.nextDatagram()
                                                            : serialPeer.take(expectedSize);
    }

    // Nothing on the transport the route does not use.
    bool otherSideQuiet()
    {
        QTest::qWait(50);
        if (route == ConfigSession::Route::GroundStation)
            return serialPeer.received.isEmpty();
        return !station.socket.hasPendingDatagrams();
    }
};
} // namespace

class TestSessionRoutes : public QObject
{
    Q_OBJECT

private slots:
    void commandBytes_data();
    void commandBytes();
    void requestFrames_data();
    void requestFrames();
    void nothingSentWhileClosed();
    void failedOpenKeepsNothing();
    void openingAgainLetsFirstLinkGo();
};

void TestSessionRoutes::commandBytes_data()
{
    QTest::addColumn<ConfigSession::Route>("route");
    QTest::addColumn<ModuleModel>("model");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("expected");

    using R = ConfigSession::Route;
    const auto tovrin = ModuleModel::Tovrin;
    const auto r7 = ModuleModel::R7;
    const QByteArray bare = hex("AB0E05E20100D16B");
    const QByteArray wrappedTovrin = hex("AB0E0A5B06F08020E20100A350");
    const QByteArray wrappedR7 = hex("AB0E0A5B06F0802DE20100A1FC");
    QTest::newRow("version, direct, Tovrin") << R::Direct << tovrin << "version" << bare;
    QTest::newRow("version, direct, R7") << R::Direct << r7 << "version" << bare;
    QTest::newRow("version, flight controller, Tovrin")
        << R::FlightController << tovrin << "version" << wrappedTovrin;
    QTest::newRow("version, flight controller, R7")
        << R::FlightController << r7 << "version" << wrappedR7;
    QTest::newRow("version, ground station, Tovrin")
        << R::GroundStation << tovrin << "version" << wrappedTovrin;
    QTest::newRow("version, ground station, R7")
        << R::GroundStation << r7 << "version" << wrappedR7;

    // Direct: the whole table at once; wrapped: port 0 first.
    QTest::newRow("read, direct") << R::Direct << tovrin << "read" << withCrc(hex("AB0E05F10100"));
    QTest::newRow("read, flight controller, R7")
        << R::FlightController << r7 << "read" << withCrc(hex("AB0E0A5B06F0802DF20100"));
    QTest::newRow("read, ground station, Tovrin")
        << R::GroundStation << tovrin << "read" << hex("AB0E0A5B06F08020F20100A295");

    QByteArray table;
    for (const QByteArray &r : records(5))
        table += r;
    QTest::newRow("write, direct, Tovrin")
        << R::Direct << tovrin << "write" << frame(MSG_WRITE_ALL, table);
    QByteArray tableR7;
    for (const QByteArray &r : records(6))
        tableR7 += r;
    QTest::newRow("write, direct, R7")
        << R::Direct << r7 << "write" << frame(MSG_WRITE_ALL, tableR7);
    // Port 0's index and record, 12 inner bytes: the long kind.
    const QByteArray writePortR7 = hex("AB0E155B11F1802DF30C000102030405060708090A0B7685");
    QTest::newRow("write, flight controller, R7")
        << R::FlightController << r7 << "write" << writePortR7;
    QTest::newRow("write, ground station, R7") << R::GroundStation << r7 << "write" << writePortR7;
    QTest::newRow("write, ground station, Tovrin")
        << R::GroundStation << tovrin << "write"
        << withCrc(hex("AB0E155B11F18020F30C000102030405060708090A0B"));
}

void TestSessionRoutes::commandBytes()
{
    QFETCH(ConfigSession::Route, route);
    QFETCH(ModuleModel, model);
    QFETCH(QString, command);
    QFETCH(QByteArray, expected);

    Link link;
    QVERIFY(link.open(route, model));
    QVERIFY(link.session.isOpen());
    QCOMPARE(link.session.route(), route);
    QCOMPARE(link.session.model(), model);
    QSignalSpy notSent(&link.session, &ConfigSession::notSent);

    if (command == QLatin1String("version"))
        link.session.queryVersion();
    else if (command == QLatin1String("read"))
        link.session.read();
    else
        link.session.write(records(link.session.portCount()));
    QCOMPARE(link.next(expected.size()).toHex(' '), expected.toHex(' '));
    QCOMPARE(crc16Modbus(expected.constData(), expected.size()), quint16(0));
    QVERIFY(link.otherSideQuiet());
    QCOMPARE(notSent.count(), 0);
}

// Frames of commands a chain sends later, or of payload sizes at the edge of
// the two pass-through kinds.
void TestSessionRoutes::requestFrames_data()
{
    QTest::addColumn<ConfigSession::Route>("route");
    QTest::addColumn<ModuleModel>("model");
    QTest::addColumn<quint8>("id");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("expected");

    using R = ConfigSession::Route;
    const QByteArray seven = hex("01020304050607");
    const QByteArray eight = hex("0102030405060708");
    QTest::newRow("7 inner bytes: short kind")
        << R::FlightController << ModuleModel::Tovrin << MSG_WRITE_PORT << seven
        << withCrc(hex("AB0E105B0CF08020F307") + seven);
    QTest::newRow("8 inner bytes: long kind")
        << R::FlightController << ModuleModel::Tovrin << MSG_WRITE_PORT << eight
        << withCrc(hex("AB0E115B0DF18020F308") + eight);
    QTest::newRow("empty inner payload, R7")
        << R::GroundStation << ModuleModel::R7 << MSG_READ_PORT << QByteArray()
        << withCrc(hex("AB0E095B05F0802DF200"));
    QTest::newRow("read port 3, Tovrin, ground station")
        << R::GroundStation << ModuleModel::Tovrin << MSG_READ_PORT << hex("03")
        << withCrc(hex("AB0E0A5B06F08020F20103"));
    QTest::newRow("direct: bare") << R::Direct << ModuleModel::R7 << MSG_READ_PORT << hex("03")
                                  << frame(MSG_READ_PORT, hex("03"));
}

void TestSessionRoutes::requestFrames()
{
    QFETCH(ConfigSession::Route, route);
    QFETCH(ModuleModel, model);
    QFETCH(quint8, id);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, expected);

    Link link;
    QVERIFY(link.open(route, model));
    QCOMPARE(link.session.requestFrame(id, payload).toHex(' '), expected.toHex(' '));
    QCOMPARE(crc16Modbus(expected.constData(), expected.size()), quint16(0));
}

void TestSessionRoutes::nothingSentWhileClosed()
{
    PeerLine line;
    QVERIFY(line.start());
    SerialPeer &peer = line.peer;
    ConfigSession session;
    QVERIFY(!session.isOpen());
    QSignalSpy notSent(&session, &ConfigSession::notSent);

    session.queryVersion();
    session.read();
    session.write(records(session.portCount()));
    QCOMPARE(notSent.count(), 3);

    // Opened and closed again: the same.
    QVERIFY(
        session.open(ConfigSession::Route::Direct,
                     ConfigSession::createTransport(ConfigSession::Route::Direct, line.device())));
    session.close();
    QVERIFY(!session.isOpen());
    session.read();
    QCOMPARE(notSent.count(), 4);
    QTest::qWait(100);
    QVERIFY(peer.received.isEmpty());
}

void TestSessionRoutes::failedOpenKeepsNothing()
{
    PeerLine line;
    QVERIFY(line.start());
    SerialPeer &peer = line.peer;
    ConfigSession session;
    QVERIFY(session.open(
        ConfigSession::Route::FlightController,
        ConfigSession::createTransport(ConfigSession::Route::FlightController, line.device())));

    // 6161 taken: the ground-station route cannot open; the serial link
    // opened before is let go all the same.
    QUdpSocket blocker;
    QVERIFY(blocker.bind(localHost(), ProgramPort));
    QVERIFY(!session.open(
        ConfigSession::Route::GroundStation,
        ConfigSession::createTransport(ConfigSession::Route::GroundStation, QString())));
    QVERIFY(!session.isOpen());
    QVERIFY(!session.errorString().isEmpty());
    {
        QSerialPort other(line.device());
        QVERIFY2(other.open(QIODevice::ReadWrite), qPrintable(other.errorString()));
    }
    QSignalSpy notSent(&session, &ConfigSession::notSent);
    session.queryVersion();
    QCOMPARE(notSent.count(), 1);

    // A missing device, and no transport at all.
    QVERIFY(!session.open(ConfigSession::Route::Direct,
                          ConfigSession::createTransport(ConfigSession::Route::Direct,
                                                         QStringLiteral("/dev/tovrin-none"))));
    QVERIFY(!session.isOpen());
    QVERIFY(!session.errorString().isEmpty());
    QVERIFY(!session.open(ConfigSession::Route::Direct, nullptr));
    QVERIFY(!session.isOpen());

    // A good open clears the error.
    QVERIFY(
        session.open(ConfigSession::Route::Direct,
                     ConfigSession::createTransport(ConfigSession::Route::Direct, line.device())));
    QCOMPARE(session.errorString(), QString());
}

void TestSessionRoutes::openingAgainLetsFirstLinkGo()
{
    PtyPair ptyA;
    PtyPair ptyB;
    QVERIFY(ptyA.start());
    QVERIFY(ptyB.start());
    SerialPeer peerA;
    SerialPeer peerB;
    QVERIFY(peerA.open(ptyA.second()));
    QVERIFY(peerB.open(ptyB.second()));
    ConfigSession session;
    using R = ConfigSession::Route;
    QVERIFY(session.open(R::Direct, ConfigSession::createTransport(R::Direct, ptyA.first())));
    QVERIFY(session.open(R::FlightController,
                         ConfigSession::createTransport(R::FlightController, ptyB.first())));
    QCOMPARE(session.route(), R::FlightController);
    {
        QSerialPort other(ptyA.first());
        QVERIFY2(other.open(QIODevice::ReadWrite), qPrintable(other.errorString()));
    }
    session.queryVersion();
    QTRY_COMPARE_WITH_TIMEOUT(peerB.received, hex("AB0E0A5B06F08020E20100A350"), WaitMs);
    QVERIFY(peerA.received.isEmpty());
}

QTEST_MAIN(TestSessionRoutes)
#include "tst_sessionroutes.moc"
