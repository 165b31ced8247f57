// The window when its serial device is pulled out and plugged back in, with
// the simulator as the device (its pty vanishes and comes back under a fixed
// link name): the closed look and the status at once, the failure colour for
// a read in flight, no message boxes and no busy event loop afterwards, the
// device back in the list and working again, and a port list that follows
// devices plugged in while the link is closed.
#include "boxwatcher.h"
#include "linkedsim.h"
#include "look.h"
#include "stylelog.h"
#include "windowprobe.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <QtTest>

#include <memory>
#include <unistd.h>

namespace
{
constexpr int WaitMs = 10000;
// Over the 3 s after a loss the window may use no more CPU than an idle one:
// a spinning port would use all of it.
constexpr int QuietMs = 3000;
constexpr double QuietCpuSeconds = 0.5;

// User and system CPU time of this process so far, from /proc.
double cpuSeconds()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name in parentheses: state is the 3rd field,
    // utime the 14th and stime the 15th.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const double ticks = fields.at(11).toDouble() + fields.at(12).toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

// CPU time used while the event loop runs for ms.
double cpuOver(int ms)
{
    const double before = cpuSeconds();
    QTest::qWait(ms);
    return cpuSeconds() - before;
}

std::unique_ptr<MainWidget> makeWindow(const QStringList &extras)
{
    MainWidget::setExtraSerialPorts(extras);
    auto window = std::make_unique<MainWidget>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("main window not exposed");
    return window;
}

QComboBox *portList(MainWidget *w)
{
    return child<QComboBox>(w, "cbSerial");
}

// How the list shows a chosen device that is not there.
QString missing(const QString &device)
{
    return device + QLatin1Char(' ') + Look::text("（未连接）");
}

QStringList listed(MainWidget *w)
{
    QStringList items;
    for (int i = 0; i < portList(w)->count(); ++i)
        items.append(portList(w)->itemText(i));
    return items;
}

bool showsClosed(MainWidget *w)
{
    return child<QPushButton>(w, "btnOpenSerialPort")
               ->styleSheet()
               .contains(QLatin1String("on-load-normal")) &&
           child<QRadioButton>(w, "rb_TovrinMode")->isEnabled() &&
           child<QRadioButton>(w, "rb_R7FuncMode")->isEnabled() &&
           child<QCheckBox>(w, "chb_ConfigByFCS")->isEnabled() && portList(w)->isEnabled();
}
} // namespace

class TestLinkLoss : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { MainWidget::setExtraSerialPorts({}); }
    void pulledOutAndBack_data();
    void pulledOutAndBack();
    void listFollowsPluggedDevices();
    void chosenDeviceStaysChosen();
};

void TestLinkLoss::pulledOutAndBack_data()
{
    QTest::addColumn<bool>("readInFlight");
    QTest::newRow("idle") << false;
    QTest::newRow("read in flight") << true;
}

void TestLinkLoss::pulledOutAndBack()
{
    QFETCH(bool, readInFlight);
    LinkedSim device;
    // With a read in flight, the replies are held long enough for the pty to
    // vanish before the read is answered, but not past the watchdog.
    QVERIFY(device.start(readInFlight ? QStringList{QStringLiteral("--delay"), QStringLiteral("600")}
                                      : QStringList()));
    auto window = makeWindow({device.link()});
    MainWidget *w = window.get();
    QCOMPARE(portList(w)->currentText(), device.link());
    StyleLog styles;
    styles.watch(child<QPushButton>(w, "cbAllDownload"));
    BoxWatcher boxes;
    // What an idle window uses, watching the port list.
    const double idleCpu = cpuOver(QuietMs);

    WindowProbe::click(w, "btnOpenSerialPort");
    QVERIFY(WindowLookup::linkOpen(w));
    if (readInFlight) {
        QTRY_VERIFY_WITH_TIMEOUT(device.sim().log().contains(QLatin1String("MSG_READ_ALL")),
                                 WaitMs);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(WindowProbe::status(w), Look::readOk(), WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(WindowProbe::readStyle(w), Look::idle(), WaitMs);
    }

    styles.restart();
    QElapsedTimer clock;
    clock.start();
    device.toggle();
    QTRY_COMPARE_WITH_TIMEOUT(WindowProbe::status(w), Look::text("端口已断开"), WaitMs);
    const qint64 noticedMs = clock.elapsed();
    QVERIFY(!WindowLookup::linkOpen(w));
    QVERIFY(showsClosed(w));
    QCOMPARE(styles.stylesOf(QStringLiteral("cbAllDownload")).count(Look::failure()),
             readInFlight ? 1 : 0);

    const double lostCpu = cpuOver(QuietMs);
    qInfo("loss noticed after %lld ms; CPU over the next %d ms: %.3f s (idle window: %.3f s)",
          noticedMs, QuietMs, lostCpu, idleCpu);
    QVERIFY2(lostCpu >= 0 && lostCpu < QuietCpuSeconds, qPrintable(QString::number(lostCpu)));
    // Past the watchdog's deadline: nothing reported the read again, the
    // status stayed, and no message box came up.
    QCOMPARE(styles.stylesOf(QStringLiteral("cbAllDownload")).count(Look::failure()),
             readInFlight ? 1 : 0);
    QCOMPARE(WindowProbe::status(w), Look::text("端口已断开"));
    QVERIFY(boxes.boxes.isEmpty());
    QVERIFY(!listed(w).contains(device.link()));
    QTRY_COMPARE_WITH_TIMEOUT(portList(w)->currentText(), missing(device.link()), WaitMs);

    // Plugged back in: listed and chosen again, it opens and reads.
    device.toggle();
    QTRY_VERIFY_WITH_TIMEOUT(device.reachable(), WaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(portList(w)->currentText(), device.link(), WaitMs);
    WindowProbe::click(w, "btnOpenSerialPort");
    QVERIFY(WindowLookup::linkOpen(w));
    QTRY_COMPARE_WITH_TIMEOUT(WindowProbe::status(w), Look::readOk(), WaitMs);
    QVERIFY(boxes.boxes.isEmpty());
}

// Two devices named on the command line; the second is plugged in only after
// the first was pulled out, and the first comes back while the second is
// the one chosen.
void TestLinkLoss::listFollowsPluggedDevices()
{
    LinkedSim first;
    LinkedSim second;
    QVERIFY(first.start());
    auto window = makeWindow({first.link(), second.link()});
    MainWidget *w = window.get();
    QCOMPARE(portList(w)->currentText(), first.link());

    first.toggle();
    QTRY_COMPARE_WITH_TIMEOUT(portList(w)->currentText(), missing(first.link()), WaitMs);
    // Not there, so not listed either.
    QVERIFY(!listed(w).contains(second.link()));

    QVERIFY(second.start());
    QTRY_VERIFY_WITH_TIMEOUT(listed(w).contains(second.link()), WaitMs);
    // The device plugged in is listed; the chosen one, though away, stays
    // chosen (this list used to move to the new device by itself).
    QCOMPARE(portList(w)->currentText(), missing(first.link()));
    first.toggle();
    QTRY_COMPARE_WITH_TIMEOUT(portList(w)->currentText(), first.link(), WaitMs);
    QVERIFY(listed(w).contains(second.link()));
    QVERIFY(!listed(w).contains(missing(first.link())));

    // The user picks the second; the first, no longer chosen, simply goes
    // when pulled out and comes back unchosen.
    portList(w)->setCurrentIndex(portList(w)->findText(second.link()));
    first.toggle();
    QTRY_VERIFY_WITH_TIMEOUT(!listed(w).contains(first.link()), WaitMs);
    QVERIFY(!listed(w).contains(missing(first.link())));
    QCOMPARE(portList(w)->currentText(), second.link());
    int changes = 0;
    connect(portList(w), &QComboBox::currentTextChanged, this, [&changes] { ++changes; });
    first.toggle();
    QTRY_VERIFY_WITH_TIMEOUT(listed(w).contains(first.link()), WaitMs);
    QCOMPARE(portList(w)->currentText(), second.link());
    // Nothing changed since: the list is not filled again.
    const int afterReturn = changes;
    QTest::qWait(1500);
    QCOMPARE(changes, afterReturn);

    // While a link is open the list is left alone.
    WindowProbe::click(w, "btnOpenSerialPort");
    QVERIFY(WindowLookup::linkOpen(w));
    const QStringList whileOpen = listed(w);
    first.toggle();
    QTRY_VERIFY_WITH_TIMEOUT(!first.reachable(), WaitMs);
    QTest::qWait(1500);
    QCOMPARE(listed(w), whileOpen);
    WindowProbe::click(w, "btnOpenSerialPort");
    QTRY_VERIFY_WITH_TIMEOUT(!listed(w).contains(first.link()), WaitMs);
    QCOMPARE(portList(w)->currentText(), second.link());
}

// The chosen device pulled out while the link is closed: it stays the
// current entry, marked, another device present is not taken,
// and the plug says so instead of opening anything; back, it opens.
void TestLinkLoss::chosenDeviceStaysChosen()
{
    LinkedSim chosen;
    LinkedSim other;
    QVERIFY(chosen.start());
    QVERIFY(other.start());
    auto window = makeWindow({chosen.link(), other.link()});
    MainWidget *w = window.get();
    QCOMPARE(portList(w)->currentText(), chosen.link());
    BoxWatcher boxes;

    chosen.toggle();
    QTRY_COMPARE_WITH_TIMEOUT(portList(w)->currentText(), missing(chosen.link()), WaitMs);
    // Listed once, last, beside the device that is there.
    QCOMPARE(listed(w).last(), missing(chosen.link()));
    QVERIFY(!listed(w).contains(chosen.link()));
    QVERIFY(listed(w).contains(other.link()));

    WindowProbe::click(w, "btnOpenSerialPort");
    QCOMPARE(WindowProbe::status(w), Look::text("错误：所选设备未连接"));
    QVERIFY(!WindowLookup::linkOpen(w));
    QVERIFY(showsClosed(w));
    QVERIFY(boxes.boxes.isEmpty());
    // Seconds later, still the chosen one.
    QTest::qWait(2500);
    QCOMPARE(portList(w)->currentText(), missing(chosen.link()));

    chosen.toggle();
    QTRY_COMPARE_WITH_TIMEOUT(portList(w)->currentText(), chosen.link(), WaitMs);
    QVERIFY(!listed(w).contains(missing(chosen.link())));
    QVERIFY(listed(w).contains(other.link()));
    WindowProbe::click(w, "btnOpenSerialPort");
    QVERIFY(WindowLookup::linkOpen(w));
    QTRY_COMPARE_WITH_TIMEOUT(WindowProbe::status(w), Look::readOk(), WaitMs);
    QVERIFY(boxes.boxes.isEmpty());
}

QTEST_MAIN(TestLinkLoss)
#include "tst_linkloss.moc"
