// The conversation believes only answers to its own questions: the window
// against the simulator with its faults and with frames sent unasked. No
// success the module did not give, no lost edit, no endless chain, no
// failure shown for a reply that came, and a read that works after a burst.
#include "look.h"
#include "simsession.h"
#include "windowprobe.h"

#include <QRandomGenerator>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace LinkBytes;

namespace
{

enum class Job { Read, Write };
enum class Stored { Unchanged, Written };

// A record no card shows by default, for edits the user makes.
QByteArray editedRecord()
{
    return uart(115200, 1, 0, 0, 0, 0, 16);
}

QString hexArg(const QByteArray &frame)
{
    return QString::fromLatin1(frame.toHex());
}

} // namespace

Q_DECLARE_METATYPE(Job)
Q_DECLARE_METATYPE(Stored)

class TestFaults : public QObject
{
    Q_OBJECT
private slots:
    void faultyModule_data();
    void faultyModule();
    void unaskedFrames_data();
    void unaskedFrames();
    void closeReads_data();
    void closeReads();
    void readAfterBurst_data();
    void readAfterBurst();
};

void TestFaults::faultyModule_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<bool>("r7");
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<Job>("job");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<QString>("status"); // empty: left as the watchdog leaves it
    QTest::addColumn<Stored>("stored");
    QTest::addColumn<int>("requests"); // frames the job sends, at most

    const Route fc = Route::FlightController;
    QTest::newRow("wrong-length acknowledgement through the flight controller")
        << fc << true << QStringList{"--wrong-length"} << Job::Write << false << Look::writeFailed()
        << Stored::Unchanged << 1;
    QTest::newRow("acknowledgement past the last port")
        << fc << true << QStringList{"--ack-index", "6"} << Job::Write << false
        << Look::writeFailed() << Stored::Unchanged << 1;
    QTest::newRow("acknowledgement skipping ports")
        << fc << false << QStringList{"--ack-index", "4"} << Job::Write << false
        << Look::writeFailed() << Stored::Unchanged << 1;
    QTest::newRow("acknowledgement FF")
        << fc << false << QStringList{"--ack-index", "255"} << Job::Write << false
        << Look::writeFailed() << Stored::Unchanged << 1;
    QTest::newRow("read answers stuck at port 0")
        << fc << false << QStringList{"--stuck-read-index", "0"} << Job::Read << false
        << Look::readFailed() << Stored::Unchanged << 2;
    QTest::newRow("250 ms relay: read") << fc << true << QStringList{"--delay", "250"} << Job::Read
                                        << true << Look::readOk() << Stored::Unchanged << 6;
    QTest::newRow("250 ms relay: write")
        << fc << true << QStringList{"--delay", "250"} << Job::Write << true << Look::writeOk()
        << Stored::Written << 6;
    QTest::newRow("250 ms relay on the ground station: write")
        << Route::GroundStation << false << QStringList{"--delay", "250"} << Job::Write << true
        << Look::writeOk() << Stored::Written << 5;
    // The third reply of the job (port 2) is lost: the chain stops there.
    QTest::newRow("a reply never comes")
        << fc << false << QStringList{"--drop-every", "3"} << Job::Read << false << QString()
        << Stored::Unchanged << 3;
}

void TestFaults::faultyModule()
{
    QFETCH(Route, route);
    QFETCH(bool, r7);
    QFETCH(QStringList, simArgs);
    QFETCH(Job, job);
    QFETCH(bool, succeeds);
    QFETCH(QString, status);
    QFETCH(Stored, stored);
    QFETCH(int, requests);

    SimSession s;
    QVERIFY(s.start(route, QStringList{"--model", r7 ? "r7" : "tovrin"} + simArgs, r7));
    const QByteArrayList atStart = s.stored();
    QVERIFY(!atStart.isEmpty());
    const QString button =
        job == Job::Read ? QStringLiteral("cbAllDownload") : QStringLiteral("cbAllSet");

    int before = 0;
    QByteArrayList written;
    if (job == Job::Read) {
        s.styles.restart();
        s.clickOpen();
        // The version query goes first; the read's requests follow it.
        QTRY_VERIFY_WITH_TIMEOUT(!s.received().isEmpty(), SimSession::WaitMs);
        before = 1;
    } else {
        s.clickOpen();
        // The read on open may fail under the fault; wait until it is over.
        QTRY_VERIFY_WITH_TIMEOUT(!s.readStyle().isEmpty() && s.readStyle() != Look::success() &&
                                     s.readStyle() != Look::failure(),
                                 SimSession::WaitMs);
        QTest::qWait(1700);
        QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);
        // The edit is on the last port, which a write stopped early never
        // reaches; in R7 function mode that is CAN2, which takes only CAN.
        const int last = WindowLookup::portCount(s.window()) - 1;
        QVERIFY(s.card(last)->setPortParam(last == 5 ? can(1000000, 0, 16) : editedRecord()));
        written = s.cardRecords();
        before = s.received().size();
        s.styles.restart();
        s.clickWrite();
        s.clickOk();
    }

    QTRY_VERIFY_WITH_TIMEOUT(
        s.styles.firstChange(button, succeeds ? Look::success() : Look::failure()) >= 0,
        SimSession::WaitMs);
    if (!status.isEmpty())
        QCOMPARE(s.status(), status);
    // Nothing more goes out once the outcome shows, and the outcome holds.
    QTRY_COMPARE_WITH_TIMEOUT(s.styles.stylesOf(button).last(), Look::idle(), SimSession::WaitMs);
    QTest::qWait(1600);
    const QByteArrayList sent = s.received().mid(before);
    QVERIFY2(sent.size() <= requests, qPrintable(QString::number(sent.size())));
    if (succeeds) {
        QCOMPARE(sent.size(), requests);
        QVERIFY(!s.styles.stylesOf(button).contains(Look::failure()));
    } else {
        QVERIFY(!s.styles.stylesOf(button).contains(Look::success()));
    }
    QCOMPARE(s.styles.stylesOf(button).count(Look::idle()), 1);
    if (!status.isEmpty())
        QCOMPARE(s.status(), status);
    if (stored == Stored::Written) {
        QCOMPARE(s.stored(), written);
    } else if (job == Job::Write) {
        // At most the first port reached the module, and the window said so.
        QByteArrayList firstOnly = atStart;
        firstOnly[0] = written.at(0);
        QVERIFY(s.stored() == atStart || s.stored() == firstOnly);
        QVERIFY(s.stored() != written);
    } else {
        QCOMPARE(s.stored(), atStart);
    }
}

void TestFaults::unaskedFrames_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QByteArray>("frame");

    const QByteArrayList others{uart(9600, 2, 1, 1, 0, 17, 18), uart(9600, 2, 1, 1, 0, 17, 18),
                                can(500000, 1, 2), uart(9600, 2, 1, 1, 0, 17, 18),
                                can(500000, 1, 2)};
    QTest::newRow("read-all reply") << Route::Direct << frame(MSG_READ_ALL, join(others));
    QTest::newRow("version reply of the other model")
        << Route::Direct << frame(MSG_VERSION, hex("2D010203"));
    QTest::newRow("write-all acknowledgement") << Route::Direct << frame(MSG_WRITE_ALL, byte(0));
    QTest::newRow("wrapped read-port reply")
        << Route::FlightController << returned(DEVICE_TOVRIN, MSG_READ_PORT, byte(0) + others[0]);
    QTest::newRow("wrapped write-port acknowledgement of length 0")
        << Route::FlightController << returned(DEVICE_TOVRIN, MSG_WRITE_PORT, QByteArray());
    QTest::newRow("wrapped write-port acknowledgement of the last port")
        << Route::FlightController << returned(DEVICE_TOVRIN, MSG_WRITE_PORT, byte(4));
    QTest::newRow("wrapped version reply")
        << Route::FlightController << returned(DEVICE_TOVRIN, MSG_VERSION, hex("20090909"));
}

void TestFaults::unaskedFrames()
{
    QFETCH(Route, route);
    QFETCH(QByteArray, frame);

    SimSession s;
    QVERIFY(s.start(route, {"--model", "tovrin", "--unasked", hexArg(frame)}));
    s.clickOpen();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);
    const QString version = s.versionText();

    // The user edits a card; then the frame arrives, asked by nobody.
    QVERIFY(s.card(0)->setPortParam(editedRecord()));
    s.card(0)->setProperty("shownBefore", true);
    const QByteArrayList shown = s.cardRecords();
    const int before = s.received().size();
    s.styles.restart();
    s.signalSimulator(SIGUSR1);
    QTRY_VERIFY_WITH_TIMEOUT(s.simLog().filter(QStringLiteral("(unasked)")).size() == 1,
                             SimSession::WaitMs);
    QTest::qWait(1500);

    QCOMPARE(s.cardRecords(), shown);
    QVERIFY(s.card(0)->property("shownBefore").toBool());
    QCOMPARE(s.status(), Look::readOk());
    QCOMPARE(s.versionText(), version);
    QCOMPARE(WindowLookup::model(s.window()), ModuleModel::Tovrin);
    QVERIFY(s.styles.changes.isEmpty());
    QCOMPARE(s.received().size(), before);
}

void TestFaults::closeReads_data()
{
    // A second read clicked this long after the first one's success, inside
    // the watchdog's idle pause or around its next tick.
    QTest::addColumn<int>("gap");
    for (int gap : {0, 120, 240, 360, 480, 600})
        QTest::addRow("%d ms", gap) << gap;
}

void TestFaults::closeReads()
{
    QFETCH(int, gap);

    SimSession s;
    QVERIFY(s.start(Route::Direct, {"--model", "tovrin"}));
    s.clickOpen();
    QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::success(), SimSession::WaitMs);
    s.styles.restart();
    QTest::qWait(gap);
    s.clickRead();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);
    QTest::qWait(2000);
    QVERIFY(!s.styles.stylesOf(QStringLiteral("cbAllDownload")).contains(Look::failure()));
    QCOMPARE(s.readStyle(), Look::idle());
}

void TestFaults::readAfterBurst_data()
{
    QTest::addColumn<Route>("route");
    QTest::newRow("ground station: 3000 datagrams of 0 to 8000 random bytes")
        << Route::GroundStation;
    QTest::newRow("serial: 512 KiB of random bytes") << Route::Direct;
}

// A burst of bytes nobody asked for, far more than any buffer on the way
// holds, while the window is idle after a read: the next read succeeds.
void TestFaults::readAfterBurst()
{
    QFETCH(Route, route);
    QRandomGenerator random(7);
    auto randomBytes = [&random](int size) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char &c : bytes)
            c = char(random.bounded(256));
        return bytes;
    };

    // On the serial route the simulator sends the burst: 16 blocks of 4 KiB
    // on each SIGUSR1.
    QStringList simArgs{"--model", "tovrin"};
    if (route == Route::Direct) {
        for (int i = 0; i < 16; ++i)
            simArgs << QStringLiteral("--unasked") << hexArg(randomBytes(4096));
    }
    SimSession s;
    QVERIFY(s.start(route, simArgs));
    s.clickOpen();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);

    if (route == Route::GroundStation) {
        // Another program floods 127.0.0.1:6161 while the window runs.
        std::atomic<bool> done{false};
        QVector<QByteArray> datagrams;
        for (int i = 0; i < 3000; ++i)
            datagrams.append(randomBytes(int(random.bounded(8001))));
        std::thread sender([&done, &datagrams] {
            const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = htons(6161);
            to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            for (const QByteArray &d : qAsConst(datagrams))
                ::sendto(fd, d.constData(), size_t(d.size()), 0,
                         reinterpret_cast<const sockaddr *>(&to), sizeof to);
            ::close(fd);
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 60000);
        sender.join();
    } else {
        for (int i = 0; i < 8; ++i) {
            s.signalSimulator(SIGUSR1);
            QTRY_VERIFY_WITH_TIMEOUT(s.simLog().filter(QStringLiteral("(unasked)")).size() ==
                                         16 * (i + 1),
                                     SimSession::WaitMs);
        }
    }

    const QString read = QStringLiteral("cbAllDownload");
    s.styles.restart();
    s.clickRead();
    QTRY_VERIFY_WITH_TIMEOUT(s.styles.firstChange(read, Look::success()) >= 0, SimSession::WaitMs);
    QVERIFY(!s.styles.stylesOf(read).contains(Look::failure()));
    QCOMPARE(s.status(), Look::readOk());
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
