// The window on a bad link and at its end: a flood of well-framed nonsense,
// a simulator with every fault at once, a device that vanishes while the link
// is open; and closing the window ends the watchdog thread, also while an
// exchange is still waiting.
#include "simsession.h"
#include "handlink.h"
#include "look.h"
#include "mainwidget.h"
#include "timeout.h"
#include "windowprobe.h"

#include <QPushButton>
#include <QRandomGenerator>
#include <QPointer>
#include <QtTest>

#include <algorithm>
#include <atomic>

using namespace LinkBytes;

namespace
{

QStringList args(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// A payload of a length the handlers care about, or any other.
QByteArray randomPayload(QRandomGenerator &rng)
{
    static const int lengths[] = {0, 1, 2, 3, 4, 5, 10, 11, 12, 13, 54, 55, 56, 65, 66, 67};
    const int n =
        rng.bounded(3) == 0 ? int(rng.bounded(70)) : lengths[rng.bounded(int(std::size(lengths)))];
    QByteArray payload(n, Qt::Uninitialized);
    for (char &c : payload)
        c = static_cast<char>(rng.bounded(256));
    // Leading bytes that pass the first checks now and then: device codes,
    // port indexes, an acknowledgement of 0.
    if (n > 0 && rng.bounded(2) == 0) {
        static const quint8 firsts[] = {0x00, 0x01, 0x04, 0x05, 0x06, 0x20, 0x2D, 0x80, 0xFF};
        payload[0] = static_cast<char>(firsts[rng.bounded(int(std::size(firsts)))]);
    }
    return payload;
}

QByteArray randomMessage(QRandomGenerator &rng, bool wrapped)
{
    static const quint8 ids[] = {MSG_VERSION,    MSG_WRITE_ALL, MSG_READ_ALL, MSG_READ_PORT,
                                 MSG_WRITE_PORT, MSG_FC_RETURN, 0x00,         0x42};
    const quint8 id = ids[rng.bounded(int(std::size(ids)))];
    const QByteArray payload = randomPayload(rng);
    if (!wrapped || rng.bounded(4) == 0)
        return message(id, payload);
    // A pass-through reply whose header is mostly right and whose declared
    // inner length is near the truth, sometimes above it.
    const quint8 kind =
        rng.bounded(5) == 0 ? quint8(rng.bounded(256)) : quint8(0xF0 + rng.bounded(2));
    const quint8 direction = rng.bounded(5) == 0 ? 0x80 : 0x00;
    const quint8 device = rng.bounded(5) == 0 ? DEVICE_R7 : DEVICE_TOVRIN;
    const int declared = qBound(0, payload.size() + int(rng.bounded(7)) - 3, 255);
    return message(MSG_FC_RETURN, byte(kind) + byte(direction) + byte(device) + byte(id) +
                                      byte(declared) + payload);
}

// One or two messages in a frame, sometimes after stray bytes that cannot
// start a frame.
QByteArray randomChunk(QRandomGenerator &rng, bool wrapped)
{
    QByteArray body = randomMessage(rng, wrapped);
    if (rng.bounded(4) == 0 && body.size() < 120)
        body += randomMessage(rng, wrapped);
    QByteArray chunk;
    if (rng.bounded(4) == 0) {
        for (int i = int(rng.bounded(1, 6)); i > 0; --i)
            chunk += byte(rng.bounded(0xAB));
    }
    return chunk + frameOf(body.left(250));
}

} // namespace

class TestLifecycle : public QObject
{
    Q_OBJECT
private slots:
    void floodOfNonsense_data();
    void floodOfNonsense();
    void everyFaultAtOnce();
    void deviceVanishes();
    void closingEndsWatchdog_data();
    void closingEndsWatchdog();
    void closingWithTheQuestionOpenWritesNothing();
};

void TestLifecycle::floodOfNonsense_data()
{
    QTest::addColumn<bool>("passThrough");
    QTest::newRow("direct") << false;
    QTest::newRow("pass-through") << true;
}

void TestLifecycle::floodOfNonsense()
{
    QFETCH(bool, passThrough);
    HandLink link;
    QVERIFY(link.open(passThrough));
    WindowProbe::takeNoSnapshots(link.window());
    QRandomGenerator rng(passThrough ? 7 : 11);

    for (int round = 0; round < 40; ++round) {
        switch (round % 3) {
        case 0:
            link.clickRead();
            break;
        case 1:
            link.confirmWrite();
            break;
        default:
            link.clickVersion();
            break;
        }
        QByteArray batch;
        for (int i = 0; i < 8; ++i)
            batch += randomChunk(rng, passThrough);
        link.send(batch);
        // Whatever the batch did, a write asked for behind it still gets its
        // sound answers understood: the window neither hung nor lost the link.
        QTest::qWait(50);
        link.take(link.pending().size());
        link.confirmWrite();
        if (passThrough) {
            const int requestSize = link.request(MSG_WRITE_PORT, QByteArray(12, '\0')).size();
            for (int port = 0; port < 5; ++port) {
                QVERIFY(!link.take(requestSize).isEmpty());
                link.send(link.reply(MSG_WRITE_PORT, byte(port)));
            }
        } else {
            link.send(link.reply(MSG_WRITE_ALL, byte(0)));
        }
        QTRY_COMPARE_WITH_TIMEOUT(link.status(), Look::writeOk(), HandLink::WaitMs);
        link.take(link.pending().size());
    }
    QVERIFY(link.window()->findChild<TimeOut *>()->isRunning());
    QVERIFY(WindowLookup::linkOpen(link.window()));
}

void TestLifecycle::everyFaultAtOnce()
{
    SimSession s;
    QVERIFY(s.start(Route::FlightController,
                    args("--garbage --split --corrupt-every 3 --drop-every 4 --delay 5 "
                         "--seed 3")));
    s.clickOpen();
    // Each read ends one way or the other, and the colours return to idle.
    for (int round = 0; round < 3; ++round) {
        QTRY_VERIFY_WITH_TIMEOUT(s.readStyle() == Look::success() ||
                                     s.readStyle() == Look::failure(),
                                 SimSession::WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);
        s.clickRead();
    }
    QTRY_VERIFY_WITH_TIMEOUT(s.readStyle() == Look::success() || s.readStyle() == Look::failure(),
                             SimSession::WaitMs);
    QVERIFY(s.boxes.boxes.isEmpty());
}

void TestLifecycle::deviceVanishes()
{
    SimSession s;
    QVERIFY(s.start(Route::Direct, {}));
    s.clickOpen();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);

    QVERIFY(s.stopSimulator());
    // The hang-up closes the link at once (tst_e2e_linkloss has the details).
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::text("端口已断开"), SimSession::WaitMs);
    QVERIFY(!WindowLookup::linkOpen(s.window()));
    s.styles.restart();
    s.clickRead();
    // No link: the window says so at once and arms nothing (it used to send
    // into the void and show the watchdog's failure colour a second later).
    QCOMPARE(s.status(), Look::text("错误：请先打开端口"));
    QTest::qWait(1700);
    QVERIFY(s.styles.changes.isEmpty());
    QCOMPARE(s.status(), Look::text("错误：请先打开端口"));
    QVERIFY(s.boxes.boxes.isEmpty());
}

void TestLifecycle::closingEndsWatchdog_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<bool>("open");
    QTest::newRow("link never opened") << QStringList() << false;
    QTest::newRow("read in progress") << args("--delay 5000") << true;
    QTest::newRow("after a finished read") << QStringList() << true;
}

void TestLifecycle::closingEndsWatchdog()
{
    QFETCH(QStringList, simArgs);
    QFETCH(bool, open);

    SimSession s;
    QVERIFY(s.start(Route::Direct, simArgs));
    TimeOut *watchdog = s.window()->findChild<TimeOut *>();
    QVERIFY(watchdog->isRunning());
    std::atomic<bool> finished{false};
    // Direct: the flag is set on the watchdog thread as it ends.
    connect(watchdog, &QThread::finished, [&finished] { finished = true; });
    if (open) {
        s.clickOpen();
        if (simArgs.isEmpty())
            QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
        else
            QVERIFY(watchdog->isWaiting());
    }

    QTest::mouseClick(s.window()->findChild<QPushButton *>("btnClose"), Qt::LeftButton);
    QVERIFY(!s.window()->isVisible());
    s.destroyWindow();
    QVERIFY(finished);
}

void TestLifecycle::closingWithTheQuestionOpenWritesNothing()
{
    SimSession s;
    QVERIFY(s.start(Route::Direct, {}));
    s.clickOpen();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
    const QByteArrayList stored = s.stored();
    const int sent = s.received().size();
    s.clickWrite();
    QVERIFY(s.dialogVisible());
    QPointer<QWidget> question = WindowLookup::dialog(s.window());

    // The user closes the main window with the question still open: the
    // question goes too, so no window is left and the program's loop ends.
    QTest::mouseClick(s.window()->findChild<QPushButton *>("btnClose"), Qt::LeftButton);
    QVERIFY(!s.window()->isVisible());
    QVERIFY(!question->isVisible());
    const QWidgetList windows = QApplication::topLevelWidgets();
    QVERIFY(std::none_of(windows.begin(), windows.end(), [](QWidget *w) { return w->isVisible(); }));
    s.destroyWindow();
    QVERIFY(question.isNull());
    QTest::qWait(500);
    QCOMPARE(s.received().size(), sent);
    QCOMPARE(s.stored(), stored);
}

QTEST_MAIN(TestLifecycle)
#include "tst_lifecycle.moc"
