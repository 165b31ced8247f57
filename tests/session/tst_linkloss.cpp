// Links that break under an open session, against the simulator run as a
// process: its pty vanishing closes the serial transport and is reported
// once (idle, or found out while sending), a command in flight ends as a
// lost link and never again as unanswered, and the device can be opened
// again once it is back. A datagram the system refuses is reported while the
// ground-station link stays open and usable.
#include "configsession.h"
#include "groundstationtransport.h"
#include "linkedsim.h"
#include "linkpeers.h"
#include "serialtransport.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

using namespace LinkPeers;

Q_DECLARE_METATYPE(ConfigSession::Outcome)

namespace
{
const QByteArray VersionQuery = frame(MSG_VERSION, hex("00"));

} // namespace

class TestLinkLoss : public QObject
{
    Q_OBJECT

private slots:
    void serialFailsOnceWhenDeviceVanishes_data();
    void serialFailsOnceWhenDeviceVanishes();
    void commandInFlightEndsAsLinkLost();
    void groundStationErrorKeepsLinkOpen();
};

void TestLinkLoss::serialFailsOnceWhenDeviceVanishes_data()
{
    QTest::addColumn<bool>("sendAfter");
    QTest::newRow("idle") << false;
    QTest::newRow("a frame sent before the event loop saw the hang-up") << true;
}

void TestLinkLoss::serialFailsOnceWhenDeviceVanishes()
{
    QFETCH(bool, sendAfter);
    LinkedSim device;
    QVERIFY(device.start());
    SerialTransport transport(device.link());
    QVERIFY2(transport.open(), qPrintable(transport.errorString()));
    QSignalSpy failed(&transport, &Transport::failed);

    device.toggle();
    if (sendAfter) {
        // Without turning the event loop, so that the port meets the loss
        // in the write; the failure still arrives from the event loop only.
        QElapsedTimer clock;
        clock.start();
        while (device.linked() && clock.elapsed() < WaitMs)
            QThread::msleep(10);
        QVERIFY(!device.linked());
        transport.send(VersionQuery);
        QCOMPARE(failed.count(), 0);
    }
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, WaitMs);
    QVERIFY(!transport.isOpen());
    QVERIFY(!failed.first().first().toString().isEmpty());
    QVERIFY(!transport.send(VersionQuery));
    // Reported once, not on every turn of the event loop.
    QTest::qWait(300);
    QCOMPARE(failed.count(), 1);
}

void TestLinkLoss::commandInFlightEndsAsLinkLost()
{
    LinkedSim device;
    // The version reply is held long enough for the pty to vanish first.
    QVERIFY(device.start({QStringLiteral("--delay"), QStringLiteral("700")}));
    ConfigSession session;
    QVERIFY(
        session.open(ConfigSession::Route::Direct,
                     ConfigSession::createTransport(ConfigSession::Route::Direct, device.link())));
    QSignalSpy finished(&session, &ConfigSession::finished);
    QSignalSpy lost(&session, &ConfigSession::linkLost);
    QSignalSpy idle(&session, &ConfigSession::idle);

    session.queryVersion();
    QTRY_VERIFY_WITH_TIMEOUT(device.sim().log().contains(QLatin1String(" rx ")), WaitMs);
    device.toggle();
    QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, WaitMs);
    QVERIFY(!session.isOpen());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().at(1).value<ConfigSession::Outcome>(),
             ConfigSession::Outcome::LinkLost);
    // Past the watchdog's deadline: the command is not reported a second
    // time, and the idle look is asked for as after any ending.
    QTest::qWait(2000);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(lost.count(), 1);
    QVERIFY(idle.count() >= 1);

    // Back again: the same device opens and answers.
    device.toggle();
    QTRY_VERIFY_WITH_TIMEOUT(device.linked(), WaitMs);
    QVERIFY(
        session.open(ConfigSession::Route::Direct,
                     ConfigSession::createTransport(ConfigSession::Route::Direct, device.link())));
    finished.clear();
    session.queryVersion();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, WaitMs);
    QCOMPARE(finished.first().at(1).value<ConfigSession::Outcome>(),
             ConfigSession::Outcome::Success);
}

void TestLinkLoss::groundStationErrorKeepsLinkOpen()
{
    GroundStationPeer station;
    QVERIFY(station.bind());
    auto owned = std::make_unique<GroundStationTransport>();
    GroundStationTransport *transport = owned.get();
    ConfigSession session;
    QVERIFY(session.open(ConfigSession::Route::GroundStation, std::move(owned)));
    QSignalSpy troubled(transport, &Transport::troubled);
    QSignalSpy relayed(&session, &ConfigSession::linkTroubled);
    QSignalSpy lost(&session, &ConfigSession::linkLost);

    // Larger than any datagram: the system refuses it.
    QVERIFY(!transport->send(QByteArray(70000, 'x')));
    QCOMPARE(troubled.count(), 1);
    QCOMPARE(relayed.count(), 1);
    QVERIFY(!relayed.first().first().toString().isEmpty());
    QCOMPARE(relayed.first().first(), troubled.first().first());

    // The link stays, and carries the next command.
    QTest::qWait(50);
    QCOMPARE(lost.count(), 0);
    QVERIFY(session.isOpen());
    session.queryVersion();
    QCOMPARE(station.nextDatagram().size(), session.requestFrame(MSG_VERSION, hex("00")).size());
}

QTEST_MAIN(TestLinkLoss)
#include "tst_linkloss.moc"
