// The route the window opens is the route its boxes show when the user
// clicks open, whatever order the pass-through box, the ground-station box
// and the mode buttons were clicked in: the session's route, where the bytes
// go (the pty or the ground station's socket) and whether the serial port
// list can be used all agree with the boxes.
#include "testpaths.h"
#include "transportharness.h"

using namespace Harness;

Q_DECLARE_METATYPE(ConfigSession::Route)
Q_DECLARE_METATYPE(ModuleModel)

class TestRouteChoice : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { MainWidget::setExtraSerialPorts({}); }
    void routeOpenedIsRouteShown_data();
    void routeOpenedIsRouteShown();
};

void TestRouteChoice::routeOpenedIsRouteShown_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("passThroughShown");
    QTest::addColumn<bool>("groundStationShown");
    QTest::addColumn<ModuleModel>("model");
    QTest::addColumn<ConfigSession::Route>("route");

    using R = ConfigSession::Route;
    const auto tovrin = ModuleModel::Tovrin;
    const auto r7 = ModuleModel::R7;
    const QString fcs = QStringLiteral("chb_ConfigByFCS");
    const QString gs = QStringLiteral("chb_DLSpace");
    const QString toTovrin = QStringLiteral("rb_TovrinMode");
    const QString toR7 = QStringLiteral("rb_R7FuncMode");

    QTest::newRow("no clicks") << QStringList{} << false << false << tovrin << R::Direct;
    QTest::newRow("pass-through") << QStringList{fcs} << true << false << tovrin
                                  << R::FlightController;
    QTest::newRow("ground station")
        << QStringList{fcs, gs} << true << true << tovrin << R::GroundStation;
    QTest::newRow("ground station ticked and unticked")
        << QStringList{fcs, gs, gs} << true << false << tovrin << R::FlightController;
    QTest::newRow("R7, ground station")
        << QStringList{toR7, fcs, gs} << true << true << r7 << R::GroundStation;
    QTest::newRow("ground station, then R7")
        << QStringList{fcs, gs, toR7} << true << true << r7 << R::GroundStation;
    // The Tovrin button unticks the ground station: the route follows.
    QTest::newRow("ground station, then Tovrin")
        << QStringList{fcs, gs, toTovrin} << true << false << tovrin << R::FlightController;
    QTest::newRow("R7, ground station, back to Tovrin")
        << QStringList{toR7, fcs, gs, toTovrin} << true << false << tovrin << R::FlightController;
    QTest::newRow("ground station, Tovrin, ground station again")
        << QStringList{fcs, gs, toTovrin, gs} << true << true << tovrin << R::GroundStation;
    // Pass-through off hides the ground-station box, ticked or not.
    QTest::newRow("ground station, pass-through off")
        << QStringList{fcs, gs, fcs} << false << true << tovrin << R::Direct;
    QTest::newRow("ground station, pass-through off and on")
        << QStringList{fcs, gs, fcs, fcs} << true << true << tovrin << R::GroundStation;
    QTest::newRow("ground station, pass-through off, Tovrin, pass-through on")
        << QStringList{fcs, gs, fcs, toTovrin, fcs} << true << false << tovrin
        << R::FlightController;
    QTest::newRow("R7, pass-through, back to Tovrin")
        << QStringList{toR7, fcs, toTovrin} << true << false << tovrin << R::FlightController;
    QTest::newRow("pass-through on and off, R7")
        << QStringList{fcs, fcs, toR7} << false << false << r7 << R::Direct;
}

void TestRouteChoice::routeOpenedIsRouteShown()
{
    QFETCH(QStringList, clicks);
    QFETCH(bool, passThroughShown);
    QFETCH(bool, groundStationShown);
    QFETCH(ModuleModel, model);
    QFETCH(ConfigSession::Route, route);

    PtyPair pty;
    QVERIFY(pty.start());
    SerialPeer serialPeer;
    QVERIFY(serialPeer.open(pty.second()));
    GroundStationPeer station;
    QVERIFY(station.bind());
    auto w = makeWindow({pty.first()});
    QVERIFY(choosePort(w.get(), pty.first()));

    for (const QString &name : clicks) {
        auto *button = w->findChild<QAbstractButton *>(name);
        QVERIFY(button);
        // Only what a user can see can be clicked.
        QVERIFY2(button->isVisible() && button->isEnabled(), qPrintable(name));
        QTest::mouseClick(button, Qt::LeftButton);
    }

    auto *fcs = child<QCheckBox>(w.get(), "chb_ConfigByFCS");
    auto *gs = child<QCheckBox>(w.get(), "chb_DLSpace");
    auto *serialList = child<QComboBox>(w.get(), "cbSerial");
    auto *search = child<QPushButton>(w.get(), "btnSearchSerialPort");
    // What the boxes show.
    QCOMPARE(fcs->isChecked(), passThroughShown);
    QCOMPARE(gs->isVisible(), passThroughShown);
    QCOMPARE(gs->isChecked(), groundStationShown);
    QCOMPARE(child<QRadioButton>(w.get(), "rb_R7FuncMode")->isChecked(), model == ModuleModel::R7);
    QCOMPARE(WindowLookup::model(w.get()), model);
    // The port list can be used exactly when the route shown is a serial one.
    const bool serial = route != ConfigSession::Route::GroundStation;
    QCOMPARE(serialList->isEnabled(), serial);
    QCOMPARE(search->isEnabled(), serial);

    clickOpenButton(w.get());
    ConfigSession *session = WindowLookup::session(w.get());
    QVERIFY(session->isOpen());
    QCOMPARE(session->route(), route);
    QVERIFY(!serialList->isEnabled());
    QVERIFY(!search->isEnabled());

    // The version query went out on that route, bare or wrapped for the
    // module chosen, and nowhere else.
    const QByteArray bare = hex("AB0E05E20100D16B");
    const QByteArray wrapped = model == ModuleModel::R7 ? hex("AB0E0A5B06F0802DE20100A1FC")
                                                        : hex("AB0E0A5B06F08020E20100A350");
    if (route == ConfigSession::Route::GroundStation) {
        QCOMPARE(station.nextDatagram().toHex(' '), wrapped.toHex(' '));
        QTest::qWait(100);
        QVERIFY(serialPeer.received.isEmpty());
    } else {
        const QByteArray expected = route == ConfigSession::Route::Direct ? bare : wrapped;
        QTRY_COMPARE_WITH_TIMEOUT(serialPeer.received.toHex(' '), expected.toHex(' '), WaitMs);
        QVERIFY(station.nextDatagram(100).isNull());
    }

    // Closing gives the port list back as the boxes show it.
    clickOpenButton(w.get());
    QVERIFY(!session->isOpen());
    QCOMPARE(serialList->isEnabled(), serial);
    QCOMPARE(search->isEnabled(), serial);
}

QTEST_MAIN(TestRouteChoice)
#include "tst_routechoice.moc"
