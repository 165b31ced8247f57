// Whole configuration jobs against the device simulator on every route: the
// open that queries the version, rebuilds the panel for the module's mode and
// reads every port into the cards; a write of edited cards after the
// confirmation dialog, checked against the records the simulator stored; the
// dialog dismissed; and the replies that end a job at once with a failure.
#include "simsession.h"
#include "mainwidget.h"
#include "portconfig.h"
#include "userpick.h"

#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QtTest>

using namespace LinkBytes;

namespace
{

QStringList args(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QStringList modelArgs(bool r7)
{
    return {QStringLiteral("--model"), r7 ? QStringLiteral("r7") : QStringLiteral("tovrin")};
}

QByteArrayList tovrinRecords()
{
    return sampleRecords(false);
}

QByteArrayList r7Records()
{
    return sampleRecords(true);
}

QByteArrayList defaults(int ports)
{
    return cardDefaults(ports == 6);
}

QString combo(PortConfig *card, const char *name)
{
    return child<QComboBox>(card, name)->currentText();
}

// Cards on show now carry a mark that freshly built cards lack.
void markCards(MainWidget *window)
{
    for (int i = 0; i < WindowLookup::portCount(window); ++i)
        WindowLookup::card(window, i)->setProperty("shownBefore", true);
}

bool isMarked(PortConfig *card)
{
    return card->property("shownBefore").toBool();
}

bool isChecked(QWidget *window, const char *name)
{
    return window->findChild<QRadioButton *>(QLatin1String(name))->isChecked();
}

} // namespace

class TestConversation : public QObject
{
    Q_OBJECT
private slots:
    void readOnOpen_data();
    void readOnOpen();
    void modeFollowsEachModule();
    void writeEditedCards_data();
    void writeEditedCards();
    void dialogDismissed_data();
    void dialogDismissed();
    void writeRefused_data();
    void writeRefused();
    void readFails_data();
    void readFails();
};

void TestConversation::readOnOpen_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<bool>("r7Module");
    QTest::addColumn<bool>("r7Window");
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QByteArrayList>("records");
    QTest::addColumn<QString>("version");

    const Route direct = Route::Direct;
    const Route fc = Route::FlightController;
    const Route gs = Route::GroundStation;

    QTest::newRow("direct, Tovrin")
        << direct << false << false << QStringList() << tovrinRecords() << "V1.0.7";
    QTest::newRow("direct, R7 module found from Tovrin mode")
        << direct << true << false << args("--firmware 3.14.200") << r7Records() << "V3.14.-56";
    QTest::newRow("direct, Tovrin module found from R7 mode")
        << direct << false << true << args("--firmware 0.0.255") << tovrinRecords() << "V0.0.-1";
    QTest::newRow("direct, stray bytes before every reply")
        << direct << false << false << args("--garbage") << tovrinRecords() << "V1.0.7";
    QTest::newRow("direct, replies in pieces")
        << direct << true << false << args("--split --seed 5") << r7Records() << "V1.0.7";
    QTest::newRow("flight controller, Tovrin")
        << fc << false << false << QStringList() << tovrinRecords() << "V1.0.7";
    QTest::newRow("flight controller, R7")
        << fc << true << true << args("--firmware 2.0.1") << r7Records() << "V2.0.1";
    QTest::newRow("flight controller, stray bytes before every reply")
        << fc << false << false << args("--garbage") << tovrinRecords() << "V1.0.7";
    QTest::newRow("flight controller, replies in pieces")
        << fc << true << true << args("--split --seed 9") << r7Records() << "V1.0.7";
    QTest::newRow("ground station, Tovrin")
        << gs << false << false << QStringList() << tovrinRecords() << "V1.0.7";
    QTest::newRow("ground station, R7")
        << gs << true << true << QStringList() << r7Records() << "V1.0.7";
    QTest::newRow("ground station, replies in separate pieces")
        << gs << false << false << args("--split --seed 2") << tovrinRecords() << "V1.0.7";
}

void TestConversation::readOnOpen()
{
    QFETCH(Route, route);
    QFETCH(bool, r7Module);
    QFETCH(bool, r7Window);
    QFETCH(QStringList, simArgs);
    QFETCH(QByteArrayList, records);
    QFETCH(QString, version);

    SimSession s;
    QVERIFY(s.start(route, simArgs + modelArgs(r7Module), r7Window, records));
    markCards(s.window());
    s.clickOpen();

    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
    QCOMPARE(s.readStyle(), Look::success());
    QCOMPARE(s.versionText(), version);
    QCOMPARE(WindowLookup::model(s.window()), r7Module ? ModuleModel::R7 : ModuleModel::Tovrin);
    QCOMPARE(WindowLookup::portCount(s.window()), portsOf(r7Module));
    QCOMPARE(isChecked(s.window(), "rb_R7FuncMode"), r7Module);
    QCOMPARE(isChecked(s.window(), "rb_TovrinMode"), !r7Module);
    QCOMPARE(s.window()->findChild<QWidget *>("wdgPort6")->isVisible(), r7Module);
    for (int i = 0; i < WindowLookup::portCount(s.window()); ++i)
        QVERIFY2(!isMarked(s.card(i)), "panel not rebuilt");
    QCOMPARE(s.cardRecords(), records);

    // What the cards show, not only what they give back.
    if (r7Module) {
        QCOMPARE(combo(s.card(0), "cmbUartBaudrate"), QStringLiteral("230400"));
        QCOMPARE(child<QComboBox>(s.card(2), "cmbParity")->currentIndex(), 2);
        QCOMPARE(child<QGroupBox>(s.card(5), "gpbPort")->title(), QStringLiteral("CAN2"));
    } else {
        QCOMPARE(combo(s.card(1), "cmbUartBaudrate"), QStringLiteral("9600"));
        QCOMPARE(child<QComboBox>(s.card(1), "cmbParity")->currentIndex(), 2);
        QVERIFY(child<QRadioButton>(s.card(2), "rdbCan")->isChecked());
        QCOMPARE(combo(s.card(2), "cmbCanBaudrate"), QStringLiteral("500"));
        QCOMPARE(child<QComboBox>(s.card(4), "cmbTxProtocol")->currentIndex(), 0x13 - 13);
    }

    QCOMPARE(s.received(), readRequests(route, r7Module));
    QCOMPARE(s.stored(), records);
    // The watchdog brings the idle colour back; the write button never changed.
    QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);
    QCOMPARE(s.styles.stylesOf(QStringLiteral("cbAllDownload")),
             (QStringList{Look::success(), Look::idle()}));
    QCOMPARE(s.styles.stylesOf(QStringLiteral("cbAllSet")), QStringList{Look::idle()});
    QCOMPARE(s.status(), Look::readOk());
    QVERIFY(s.boxes.boxes.isEmpty());
}

void TestConversation::modeFollowsEachModule()
{
    SimSession s;
    QVERIFY(s.start(Route::Direct, args("--model r7 --firmware 2.3.4"), false, r7Records()));
    s.clickOpen();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
    QCOMPARE(WindowLookup::model(s.window()), ModuleModel::R7);
    QCOMPARE(s.versionText(), QStringLiteral("V2.3.4"));
    QCOMPARE(s.cardRecords(), r7Records());
    QCOMPARE(s.received(), readRequests(Route::Direct, true));
    QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);

    // The user closes the link and plugs in a Tovrin engine.
    s.clickOpen();
    QVERIFY(!WindowLookup::linkOpen(s.window()));
    QVERIFY(s.restartSimulator(args("--model tovrin"), tovrinRecords()));
    markCards(s.window());
    s.styles.restart();
    s.clickOpen();
    // The status still shows the first read's success: wait for the new one.
    QTRY_VERIFY_WITH_TIMEOUT(
        s.styles.firstChange(QStringLiteral("cbAllDownload"), Look::success()) >= 0,
        SimSession::WaitMs);
    QCOMPARE(s.status(), Look::readOk());
    QCOMPARE(WindowLookup::model(s.window()), ModuleModel::Tovrin);
    QCOMPARE(WindowLookup::portCount(s.window()), 5);
    QVERIFY(isChecked(s.window(), "rb_TovrinMode"));
    QVERIFY(!isChecked(s.window(), "rb_R7FuncMode"));
    QVERIFY(!s.window()->findChild<QWidget *>("wdgPort6")->isVisible());
    QCOMPARE(s.versionText(), QStringLiteral("V1.0.7"));
    for (int i = 0; i < 5; ++i) {
        QVERIFY(!isMarked(s.card(i)));
        QCOMPARE(child<QGroupBox>(s.card(i), "gpbPort")->title(),
                 QStringLiteral("Port%1").arg(i + 1));
    }
    QCOMPARE(s.cardRecords(), tovrinRecords());
    QCOMPARE(s.received(), readRequests(Route::Direct, false));
}

void TestConversation::writeEditedCards_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<bool>("r7");
    QTest::addColumn<QStringList>("simArgs");

    QTest::newRow("direct, Tovrin") << Route::Direct << false << QStringList();
    QTest::newRow("direct, R7") << Route::Direct << true << QStringList();
    QTest::newRow("direct, replies in pieces") << Route::Direct << false << args("--split");
    QTest::newRow("flight controller, Tovrin") << Route::FlightController << false << QStringList();
    QTest::newRow("flight controller, R7") << Route::FlightController << true << QStringList();
    QTest::newRow("ground station, Tovrin") << Route::GroundStation << false << QStringList();
    QTest::newRow("ground station, R7") << Route::GroundStation << true << QStringList();
}

void TestConversation::writeEditedCards()
{
    QFETCH(Route, route);
    QFETCH(bool, r7);
    QFETCH(QStringList, simArgs);

    const QByteArrayList records = r7 ? r7Records() : tovrinRecords();
    SimSession s;
    QVERIFY(s.start(route, simArgs + modelArgs(r7), r7 && route != Route::Direct, records));
    s.clickOpen();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);
    const int readRequestCount = s.received().size();

    // The user's edits: baud rate and parity of the second port, the
    // protocols of the first, and a whole record for the last.
    QByteArrayList expected = records;
    auto *baud = child<QComboBox>(s.card(1), "cmbUartBaudrate");
    UserPick::pick(baud, baud->findText(QStringLiteral("19200")));
    UserPick::pick(child<QComboBox>(s.card(1), "cmbParity"), 1);
    expected[1].replace(1, 5, hex("004B000001"));
    UserPick::pick(child<QComboBox>(s.card(0), "cmbRxProtocol"), 4);
    UserPick::pick(child<QComboBox>(s.card(0), "cmbTxProtocol"), 0);
    expected[0].replace(9, 2, hex("1100"));
    const QByteArray last = r7 ? can(666666, 1, 0x12) : uart(921600, 0, 1, 1, 0, 0x10, 2);
    QVERIFY(s.card(WindowLookup::portCount(s.window()) - 1)->setPortParam(last));
    expected[WindowLookup::portCount(s.window()) - 1] = last;

    s.styles.restart();
    s.clickWrite();
    QVERIFY(s.dialogVisible());
    QCOMPARE(s.received().size(), readRequestCount); // nothing before OK
    s.clickOk();
    QVERIFY(!s.dialogVisible());

    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::writeOk(), SimSession::WaitMs);
    QCOMPARE(s.writeStyle(), Look::success());
    QTRY_COMPARE_WITH_TIMEOUT(s.stored(), expected, SimSession::WaitMs);
    QCOMPARE(s.received().mid(readRequestCount), writeRequests(route, r7, expected));
    QTRY_COMPARE_WITH_TIMEOUT(s.writeStyle(), Look::idle(), SimSession::WaitMs);
    QCOMPARE(s.styles.stylesOf(QStringLiteral("cbAllDownload")), QStringList{Look::idle()});
    QVERIFY(s.boxes.boxes.isEmpty());
}

void TestConversation::dialogDismissed_data()
{
    QTest::addColumn<bool>("byCloseButton");
    QTest::newRow("cancel") << false;
    QTest::newRow("close button") << true;
}

void TestConversation::dialogDismissed()
{
    QFETCH(bool, byCloseButton);

    SimSession s;
    QVERIFY(s.start(Route::Direct, {}, false, tovrinRecords()));
    s.clickOpen();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);
    const QByteArrayList before = s.received();
    s.card(0)->setPortParam(uart(2400, 0, 0, 0, 0, 0, 0));

    s.clickWrite();
    QVERIFY(s.dialogVisible());
    byCloseButton ? s.clickDialogClose() : s.clickCancel();
    QVERIFY(!s.dialogVisible());
    QCOMPARE(s.status(), Look::readOk());

    // A read behind it shows that nothing else went out in between.
    s.clickRead();
    QTRY_COMPARE_WITH_TIMEOUT(s.received().size(), before.size() + 1, SimSession::WaitMs);
    QCOMPARE(s.received().mid(before.size()), QByteArrayList{frame(MSG_READ_ALL, byte(0))});
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
    QCOMPARE(s.stored(), tovrinRecords());
    QVERIFY(!s.styles.stylesOf(QStringLiteral("cbAllSet")).contains(Look::success()));
}

void TestConversation::writeRefused_data()
{
    QTest::addColumn<bool>("r7");
    QTest::newRow("Tovrin") << false;
    QTest::newRow("R7") << true;
}

void TestConversation::writeRefused()
{
    QFETCH(bool, r7);
    const QByteArrayList records = r7 ? r7Records() : tovrinRecords();
    SimSession s;
    QVERIFY(s.start(Route::Direct, args("--fail-writes") + modelArgs(r7), false, records));
    s.clickOpen();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);
    s.card(0)->setPortParam(uart(2400, 0, 0, 0, 0, 0, 0));
    QByteArrayList sent = records;
    sent[0] = uart(2400, 0, 0, 0, 0, 0, 0);

    s.styles.restart();
    s.clickWrite();
    s.clickOk();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::writeFailed(), SimSession::WaitMs);
    QCOMPARE(s.writeStyle(), Look::failure());
    QCOMPARE(s.received().last(), frame(MSG_WRITE_ALL, join(sent)));
    QCOMPARE(s.stored(), records);
    QTRY_COMPARE_WITH_TIMEOUT(s.writeStyle(), Look::idle(), SimSession::WaitMs);
    QCOMPARE(s.status(), Look::writeFailed());
}

void TestConversation::readFails_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QByteArrayList>("records");
    QTest::addColumn<bool>("readAtOnce"); // click read right after opening
    QTest::addColumn<QByteArrayList>("requests");
    QTest::addColumn<QByteArrayList>("cards"); // what the cards show afterwards

    const Route direct = Route::Direct;
    const Route fc = Route::FlightController;
    const QByteArray fcVersion = forward(DEVICE_TOVRIN, MSG_VERSION, byte(0));
    const QByteArray fcReadPort0 = forward(DEVICE_TOVRIN, MSG_READ_PORT, byte(0));

    // Version replies are ignored when short, so the read is clicked at once.
    QTest::newRow("direct: read-all reply one byte short")
        << direct << args("--wrong-length") << tovrinRecords() << true
        << QByteArrayList{frame(MSG_VERSION, byte(0)), frame(MSG_READ_ALL, byte(0))} << defaults(5);
    QTest::newRow("flight controller: read-port reply one byte short")
        << fc << args("--wrong-length") << tovrinRecords() << true
        << QByteArrayList{fcVersion, fcReadPort0} << defaults(5);
    QTest::newRow("flight controller: port index with bit 7 set")
        << fc << args("--wrong-index") << tovrinRecords() << false
        << QByteArrayList{fcVersion, fcReadPort0} << defaults(5);
    QTest::newRow("ground station: port index with bit 7 set")
        << Route::GroundStation << args("--wrong-index") << tovrinRecords() << false
        << QByteArrayList{fcVersion, fcReadPort0} << defaults(5);

    // A record a card refuses: the others are still shown, but the read is
    // not reported as a success.
    QByteArrayList canOnUartPort = tovrinRecords();
    canOnUartPort[0] = can(1000000, 0, 0);
    QByteArrayList shownCanOnUartPort = canOnUartPort;
    shownCanOnUartPort[0] = defaultRecord();
    QByteArrayList unofferedBaud = tovrinRecords();
    unofferedBaud[1] = uart(1200, 0, 0, 0, 0, 1, 1);
    QByteArrayList shownUnofferedBaud = unofferedBaud;
    shownUnofferedBaud[1] = defaultRecord();
    QTest::newRow("direct: CAN record for a UART-only port")
        << direct << QStringList() << canOnUartPort << false << readRequests(direct, false)
        << shownCanOnUartPort;
    QTest::newRow("direct: baud rate no card offers")
        << direct << QStringList() << unofferedBaud << false << readRequests(direct, false)
        << shownUnofferedBaud;
    QTest::newRow("flight controller: CAN record for a UART-only port")
        << fc << QStringList() << canOnUartPort << false << readRequests(fc, false)
        << shownCanOnUartPort;
    // The CAN-only port of R7 function mode takes no UART record. This read
    // was once shown as a success (a row of readOnOpen); a strict module
    // refuses such a record.
    QByteArrayList uartOnCanPort = r7Records();
    uartOnCanPort[5] = uart(57600, 0, 0, 0, 1, 0x10, 0x10);
    QByteArrayList shownUartOnCanPort = uartOnCanPort;
    shownUartOnCanPort[5] = cardDefaults(true).at(5);
    QTest::newRow("direct: UART record for the CAN-only port")
        << direct << modelArgs(true) << uartOnCanPort << false << readRequests(direct, true)
        << shownUartOnCanPort;
}

void TestConversation::readFails()
{
    QFETCH(Route, route);
    QFETCH(QStringList, simArgs);
    QFETCH(QByteArrayList, records);
    QFETCH(bool, readAtOnce);
    QFETCH(QByteArrayList, requests);
    QFETCH(QByteArrayList, cards);

    SimSession s;
    QVERIFY(s.start(route, simArgs, false, records));
    s.clickOpen();
    if (readAtOnce)
        s.clickRead();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readFailed(), SimSession::WaitMs);
    QCOMPARE(s.readStyle(), Look::failure());
    QCOMPARE(s.cardRecords(), cards);
    QCOMPARE(s.received(), requests);
    QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);
    QCOMPARE(s.styles.stylesOf(QStringLiteral("cbAllDownload")),
             (QStringList{Look::failure(), Look::idle()}));
    QCOMPARE(s.status(), Look::readFailed());
    QCOMPARE(s.received(), requests);
}

QTEST_MAIN(TestConversation)
#include "tst_conversation.moc"
