// The read-timeout watchdog: failure report for a lost reply, idle signal after
// an ended exchange, a deadline per step of a chain, late replies refused, and
// a clean stop. Bounds are loose on the late side so a loaded machine does not
// fail them; what must hold is never being early.
#include "timeout.h"

#include <QElapsedTimer>
#include <QtTest>

namespace
{

// Records the watchdog's signals on the test thread: they are emitted on the
// watchdog thread and delivered here queued, so nothing is shared unguarded.
struct Reports : QObject {
    struct Entry {
        quint32 exchange;
        qint64 at;
    };
    QVector<Entry> failed, idle;
    QElapsedTimer clock;

    explicit Reports(TimeOut &watchdog)
    {
        clock.start();
        connect(&watchdog, &TimeOut::sgl_failRead, this,
                [this](quint32 n) { failed.append({n, clock.elapsed()}); });
        connect(&watchdog, &TimeOut::sgl_timeStart, this,
                [this](quint32 n) { idle.append({n, clock.elapsed()}); });
    }
};

} // namespace

class TestTimeOut : public QObject
{
    Q_OBJECT
private slots:
    void lostReplyIsReportedThenCleared();
    void replyInTimeGivesOnlyTheIdleSignal();
    void eachStepOfAChainHasItsOwnDeadline();
    void lateReplyIsRefused();
    void closeCommandsNeverFailFalsely_data();
    void closeCommandsNeverFailFalsely();
    void startWatchTwiceAndStop();
};

void TestTimeOut::lostReplyIsReportedThenCleared()
{
    TimeOut watchdog;
    Reports reports(watchdog);
    watchdog.startWatch();

    const qint64 armedAt = reports.clock.elapsed();
    const quint32 n = watchdog.arm();

    QTRY_COMPARE_WITH_TIMEOUT(reports.failed.size(), 1, 4000);
    QCOMPARE(reports.failed.at(0).exchange, n);
    const qint64 failedAfter = reports.failed.at(0).at - armedAt;
    QVERIFY2(failedAfter >= 950, qPrintable(QString::number(failedAfter)));
    QVERIFY(reports.idle.isEmpty());
    QVERIFY(!watchdog.isWaiting());

    QTRY_COMPARE_WITH_TIMEOUT(reports.idle.size(), 1, 4000);
    QCOMPARE(reports.idle.at(0).exchange, n);
    const qint64 idleAfter = reports.idle.at(0).at - reports.failed.at(0).at;
    QVERIFY2(idleAfter >= 650, qPrintable(QString::number(idleAfter)));
    QTest::qWait(1200);
    QCOMPARE(reports.failed.size(), 1);
    QCOMPARE(reports.idle.size(), 1);
}

void TestTimeOut::replyInTimeGivesOnlyTheIdleSignal()
{
    TimeOut watchdog;
    Reports reports(watchdog);
    watchdog.startWatch();

    const quint32 n = watchdog.arm();
    QTest::qWait(100);
    const qint64 answeredAt = reports.clock.elapsed();
    QVERIFY(watchdog.answered(n));

    QTRY_COMPARE_WITH_TIMEOUT(reports.idle.size(), 1, 4000);
    const qint64 idleAfter = reports.idle.at(0).at - answeredAt;
    QVERIFY2(idleAfter >= 150, qPrintable(QString::number(idleAfter)));
    QTest::qWait(2000);
    QVERIFY(reports.failed.isEmpty());
    QCOMPARE(reports.idle.size(), 1);
}

void TestTimeOut::eachStepOfAChainHasItsOwnDeadline()
{
    // A relay that answers every 400 ms: six steps take 2.4 s, far beyond one
    // deadline, and none of them may be reported.
    TimeOut watchdog;
    Reports reports(watchdog);
    watchdog.startWatch();

    quint32 n = watchdog.arm();
    for (int step = 0; step < 5; ++step) {
        QTest::qWait(400);
        n = watchdog.advance(n);
        QVERIFY(n != 0);
    }
    QTest::qWait(400);
    QVERIFY(watchdog.answered(n));
    QTRY_COMPARE_WITH_TIMEOUT(reports.idle.size(), 1, 4000);
    QVERIFY(reports.failed.isEmpty());

    // The last step of a chain that stops answering is reported 1.0 to 1.5 s
    // after it was sent, not counted from the chain's start.
    n = watchdog.arm();
    QTest::qWait(600);
    const qint64 stepAt = reports.clock.elapsed();
    n = watchdog.advance(n);
    QTRY_COMPARE_WITH_TIMEOUT(reports.failed.size(), 1, 4000);
    QCOMPARE(reports.failed.at(0).exchange, n);
    QVERIFY2(reports.failed.at(0).at - stepAt >= 950,
             qPrintable(QString::number(reports.failed.at(0).at - stepAt)));
}

void TestTimeOut::lateReplyIsRefused()
{
    TimeOut watchdog;
    Reports reports(watchdog);
    watchdog.startWatch();

    const quint32 first = watchdog.arm();
    QTRY_COMPARE_WITH_TIMEOUT(reports.failed.size(), 1, 4000);
    QVERIFY(!watchdog.answered(first));
    QCOMPARE(watchdog.advance(first), 0u);

    // A reply to a command replaced by a newer one is refused too.
    const quint32 older = watchdog.arm();
    const quint32 newer = watchdog.arm();
    QVERIFY(!watchdog.answered(older));
    QVERIFY(watchdog.answered(newer));
}

void TestTimeOut::closeCommandsNeverFailFalsely_data()
{
    // A first exchange answered after `firstReply` ms; the second armed
    // `gap` ms after that answer (inside the idle pause or just before a
    // tick) and answered `secondReply` ms later.
    QTest::addColumn<int>("firstReply");
    QTest::addColumn<int>("gap");
    QTest::addColumn<int>("secondReply");
    for (int gap : {0, 120, 240, 360, 480, 600})
        for (int first : {50, 450})
            QTest::addRow("first %d ms, gap %d ms", first, gap) << first << gap << 60;
}

void TestTimeOut::closeCommandsNeverFailFalsely()
{
    QFETCH(int, firstReply);
    QFETCH(int, gap);
    QFETCH(int, secondReply);

    TimeOut watchdog;
    Reports reports(watchdog);
    watchdog.startWatch();

    const quint32 first = watchdog.arm();
    QTest::qWait(firstReply);
    QVERIFY(watchdog.answered(first));
    QTest::qWait(gap);
    const quint32 second = watchdog.arm();
    QTest::qWait(secondReply);
    QVERIFY(watchdog.answered(second));

    QTRY_VERIFY_WITH_TIMEOUT(!reports.idle.isEmpty() && reports.idle.last().exchange == second,
                             4000);
    QTest::qWait(1600);
    QVERIFY(reports.failed.isEmpty());
    QVERIFY(!watchdog.isWaiting());
}

void TestTimeOut::startWatchTwiceAndStop()
{
    TimeOut watchdog;
    QObject receiver; // queued delivery on the test thread
    int started = 0;
    connect(&watchdog, &QThread::started, &receiver, [&started] { ++started; });
    watchdog.startWatch();
    QTRY_COMPARE_WITH_TIMEOUT(started, 1, 2000);
    watchdog.startWatch();
    QTest::qWait(50);
    QCOMPARE(started, 1);
    watchdog.stopWatch();
    QVERIFY(watchdog.isFinished());
}

QTEST_GUILESS_MAIN(TestTimeOut)
#include "tst_timeout.moc"
