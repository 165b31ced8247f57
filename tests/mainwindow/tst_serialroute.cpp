// The serial route of the main window against a real pty pair: the port
// list, opening and closing through the open/close button, the error boxes,
// and replies reaching the window. The transport itself (line settings,
// bytes in and out) is tested in tests/session.
#include "boxwatcher.h"
#include "testpaths.h"
#include "transportharness.h"

#include <QSerialPortInfo>

using namespace Harness;

namespace
{
const QByteArray VersionQuery = hex("AB0E05E20100D16B");
// A direct version reply: Tovrin module, firmware 1.2.3.
const QByteArray VersionReply = frame(MSG_VERSION, hex("20010203"));

int systemPortCount()
{
    return QSerialPortInfo::availablePorts().size();
}
} // namespace

class TestSerialRoute : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void extraPortsFollowSystemPorts_data();
    void extraPortsFollowSystemPorts();
    void searchKeepsOrResetsChoice_data();
    void searchKeepsOrResetsChoice();
    void searchFindingNothingEmptiesList();
    void openWithoutPortWarns();

    void openCloseReopen();
    void openingAnotherPortUsesIt();
    void failedOpenStaysClosed_data();
    void failedOpenStaysClosed();
};

void TestSerialRoute::cleanup()
{
    MainWidget::setExtraSerialPorts({});
}

void TestSerialRoute::extraPortsFollowSystemPorts_data()
{
    QTest::addColumn<QStringList>("extras");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("COM names get a space")
        << QStringList{"COM3", "COM10"} << QStringList{"COM 3", "COM 10"};
    QTest::newRow("every COM, case-sensitive")
        << QStringList{"xCOMyCOM1", "com4", "Com5"} << QStringList{"xCOM yCOM 1", "com4", "Com5"};
    QTest::newRow("paths kept, order given")
        << QStringList{"/dev/pts/9", "/dev/pts/2"} << QStringList{"/dev/pts/9", "/dev/pts/2"};
    QTest::newRow("exact duplicates once")
        << QStringList{"COM7", "/dev/pts/3", "COM7"} << QStringList{"COM 7", "/dev/pts/3"};
}

void TestSerialRoute::extraPortsFollowSystemPorts()
{
    QFETCH(QStringList, extras);
    QFETCH(QStringList, shown);

    auto w = makeWindow(extras);
    const QStringList items = comboItems(w.get());
    QCOMPARE(items.size(), systemPortCount() + shown.size());
    QCOMPARE(items.mid(systemPortCount()), shown);
    // The first device named on the command line is chosen, not a port of
    // the machine that happens to come first.
    auto *cb = child<QComboBox>(w.get(), "cbSerial");
    QCOMPARE(cb->currentIndex(), systemPortCount());
    QCOMPARE(cb->currentText(), shown.first());

    // A second search lists the same again, not twice, and keeps the choice.
    QTest::mouseClick(child<QPushButton>(w.get(), "btnSearchSerialPort"), Qt::LeftButton);
    QCOMPARE(comboItems(w.get()), items);
    QCOMPARE(cb->currentText(), shown.first());
}

void TestSerialRoute::searchKeepsOrResetsChoice_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("missing"); // listed last and marked, as it is not there

    QTest::newRow("still there, moved")
        << QStringList{"/dev/pts/71", "/dev/pts/72", "/dev/pts/73"} << "/dev/pts/72"
        << QStringList{"/dev/pts/73", "/dev/pts/74", "/dev/pts/72"} << "/dev/pts/72" << false;
    QTest::newRow("COM name still there") << QStringList{"COM3", "COM10"} << "COM 10"
                                          << QStringList{"COM10", "COM11"} << "COM 10" << false;
    // The choice stays: the list never moves to another device by itself.
    QTest::newRow("gone") << QStringList{"/dev/pts/71", "/dev/pts/72"} << "/dev/pts/72"
                          << QStringList{"/dev/pts/73", "/dev/pts/71"} << "/dev/pts/72" << true;
}

void TestSerialRoute::searchKeepsOrResetsChoice()
{
    QFETCH(QStringList, before);
    QFETCH(QString, chosen);
    QFETCH(QStringList, after);
    QFETCH(QString, expected);
    QFETCH(bool, missing);

    auto w = makeWindow(before);
    QVERIFY(choosePort(w.get(), chosen));

    MainWidget::setExtraSerialPorts(after);
    QTest::mouseClick(child<QPushButton>(w.get(), "btnSearchSerialPort"), Qt::LeftButton);

    auto *cb = child<QComboBox>(w.get(), "cbSerial");
    QCOMPARE(cb->count(), systemPortCount() + after.size() + (missing ? 1 : 0));
    if (missing) {
        QCOMPARE(cb->currentIndex(), cb->count() - 1);
        QCOMPARE(cb->currentText(), expected + QLatin1Char(' ') +
                                        QCoreApplication::translate("MainWidget", "（未连接）"));
    } else {
        QCOMPARE(cb->currentText(), expected);
    }
}

void TestSerialRoute::searchFindingNothingEmptiesList()
{
    if (systemPortCount() > 0)
        QSKIP("this machine lists serial ports of its own");
    auto w = makeWindow({QStringLiteral("/dev/pts/71")});
    QCOMPARE(child<QComboBox>(w.get(), "cbSerial")->count(), 1);

    MainWidget::setExtraSerialPorts({});
    clickButton(w.get(), "btnSearchSerialPort");
    QCOMPARE(child<QComboBox>(w.get(), "cbSerial")->count(), 0);
    QCOMPARE(child<QComboBox>(w.get(), "cbSerial")->currentIndex(), -1);
    // With nothing listed, opening warns instead of opening a forgotten port.
    BoxWatcher watcher;
    clickOpenButton(w.get());
    QCOMPARE(watcher.boxes.size(), 1);
    QCOMPARE(watcher.boxes.first().text, QStringLiteral("TIP_NOSERIALFOUND"));
    QVERIFY(!WindowLookup::linkOpen(w.get()));
}

void TestSerialRoute::openWithoutPortWarns()
{
    auto w = makeWindow({});
    auto *cb = child<QComboBox>(w.get(), "cbSerial");
    // Ports of the machine itself would give the list a current item.
    cb->clear();
    QCOMPARE(cb->currentIndex(), -1);

    BoxWatcher watcher;
    const QString closedStyle = child<QPushButton>(w.get(), "btnOpenSerialPort")->styleSheet();
    clickOpenButton(w.get());

    QCOMPARE(watcher.boxes.size(), 1);
    const ShownBox box = watcher.boxes.first();
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.title, QStringLiteral("TIP_ERROR"));
    QCOMPARE(box.text, QStringLiteral("TIP_NOSERIALFOUND"));
    QCOMPARE(box.buttonCount, 1);
    QVERIFY(!box.hasDefaultButton);
    QVERIFY(!WindowLookup::linkOpen(w.get()));
    QCOMPARE(statusText(w.get()), QString());
    QCOMPARE(child<QPushButton>(w.get(), "btnOpenSerialPort")->styleSheet(), closedStyle);
    QVERIFY(child<QPushButton>(w.get(), "btnSearchSerialPort")->isEnabled());
}

void TestSerialRoute::openCloseReopen()
{
    PtyPair pty;
    QVERIFY(pty.start());
    SerialPeer peer;
    QVERIFY(peer.open(pty.second()));
    auto w = makeWindow({pty.first()});
    QVERIFY(choosePort(w.get(), pty.first()));

    const char *controls[] = {"btnSearchSerialPort", "chb_ConfigByFCS", "rb_R7FuncMode",
                              "rb_TovrinMode",       "chb_DLSpace",     "cbSerial"};
    auto *openButton = child<QPushButton>(w.get(), "btnOpenSerialPort");
    ConfigSession *session = WindowLookup::session(w.get());

    for (int round = 0; round < 2; ++round) {
        clickOpenButton(w.get());
        QVERIFY(session->isOpen());
        QCOMPARE(session->route(), ConfigSession::Route::Direct);
        QCOMPARE(openButton->styleSheet(), openButtonStyle("off"));
        for (const char *name : controls)
            QVERIFY2(!child<QWidget>(w.get(), name)->isEnabled(), name);
        QVERIFY(openButton->isEnabled());
        // Opening sends the version query at once, on the chosen device.
        QTRY_COMPARE_WITH_TIMEOUT(peer.received, VersionQuery, WaitMs);
        peer.received.clear();
        // And the link is two-way: the reply reaches the version button.
        peer.send(VersionReply);
        QTRY_COMPARE_WITH_TIMEOUT(child<QPushButton>(w.get(), "tbtnVersion")->text(),
                                  QStringLiteral("V1.2.3"), WaitMs);
        child<QPushButton>(w.get(), "tbtnVersion")->setText(QString());

        clickOpenButton(w.get());
        QVERIFY(!session->isOpen());
        QCOMPARE(openButton->styleSheet(), openButtonStyle("on"));
        for (const char *name : controls)
            QVERIFY2(child<QWidget>(w.get(), name)->isEnabled(), name);
        {
            // Closing lets the device go: another program may open it now.
            QSerialPort other(pty.first());
            QVERIFY2(other.open(QIODevice::ReadWrite), qPrintable(other.errorString()));
        }
        // The read request the version reply started may still be on its way.
        QTest::qWait(50);
        peer.received.clear();
    }
}

// Opening another device after closing the first talks to the new one only.
void TestSerialRoute::openingAnotherPortUsesIt()
{
    PtyPair ptyA;
    PtyPair ptyB;
    QVERIFY(ptyA.start());
    QVERIFY(ptyB.start());
    SerialPeer peerA;
    QVERIFY(peerA.open(ptyA.second()));
    SerialPeer peerB;
    QVERIFY(peerB.open(ptyB.second()));
    auto w = makeWindow({ptyA.first(), ptyB.first()});

    QVERIFY(choosePort(w.get(), ptyA.first()));
    clickOpenButton(w.get());
    QVERIFY(WindowLookup::linkOpen(w.get()));
    QTRY_COMPARE_WITH_TIMEOUT(peerA.received, VersionQuery, WaitMs);
    peerA.received.clear();
    clickOpenButton(w.get());

    QVERIFY(choosePort(w.get(), ptyB.first()));
    clickOpenButton(w.get());
    QVERIFY(WindowLookup::linkOpen(w.get()));
    QTRY_COMPARE_WITH_TIMEOUT(peerB.received, VersionQuery, WaitMs);

    // Replies on the new device reach the window; the old one is deaf.
    peerA.send(VersionReply);
    QTest::qWait(200);
    QCOMPARE(child<QPushButton>(w.get(), "tbtnVersion")->text(), QString());
    peerB.send(VersionReply);
    QTRY_COMPARE_WITH_TIMEOUT(child<QPushButton>(w.get(), "tbtnVersion")->text(),
                              QStringLiteral("V1.2.3"), WaitMs);
    QVERIFY(peerA.received.isEmpty());
}

void TestSerialRoute::failedOpenStaysClosed_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("text");

    QTest::newRow("missing device") << "/dev/tovrin-no-such-port"
                                    << "/dev/tovrin-no-such-port"
                                    << "Fail to open serialport(/dev/tovrin-no-such-port).";
    QTest::newRow("COM name opened without its space") << "COM10"
                                                       << "COM 10"
                                                       << "Fail to open serialport(COM10).";
}

void TestSerialRoute::failedOpenStaysClosed()
{
    QFETCH(QString, device);
    QFETCH(QString, shown);
    QFETCH(QString, text);

    auto w = makeWindow({device});
    QVERIFY(choosePort(w.get(), shown));
    auto *openButton = child<QPushButton>(w.get(), "btnOpenSerialPort");
    const QString closedStyle = openButton->styleSheet();
    BoxWatcher watcher;

    for (int attempt = 1; attempt <= 2; ++attempt) {
        clickOpenButton(w.get());
        QCOMPARE(watcher.boxes.size(), attempt);
        const ShownBox box = watcher.boxes.last();
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.title, QStringLiteral("TIP_ERROR"));
        QCOMPARE(box.text, text);
        QCOMPARE(box.buttonCount, 1);
        QVERIFY(!box.hasDefaultButton);

        QVERIFY(!WindowLookup::linkOpen(w.get()));
        QCOMPARE(openButton->styleSheet(), closedStyle);
        QVERIFY(child<QComboBox>(w.get(), "cbSerial")->isEnabled());
        QVERIFY(child<QPushButton>(w.get(), "btnSearchSerialPort")->isEnabled());
        QVERIFY(child<QCheckBox>(w.get(), "chb_ConfigByFCS")->isEnabled());
    }
    // Nothing was sent, so nothing complained about a closed port either.
    QCOMPARE(statusText(w.get()), QString());
}

QTEST_MAIN(TestSerialRoute)
#include "tst_serialroute.moc"
