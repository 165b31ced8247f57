// The read-timeout watchdog: failure report for a lost reply, idle signal after
// an ended exchange, and a clean stop. Bounds are loose on the late side so a
// loaded machine does not fail them; what must hold is never being early.
#include "timeout.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

class TestTimeOut : public QObject
{
    Q_OBJECT
private slots:
    void lostReplyIsReportedThenCleared();
    void replyInTimeGivesOnlyTheIdleSignal();
    void commandArmedWhileClearingIsStillReported();
    void startWatchTwiceAndStop();
};

void TestTimeOut::lostReplyIsReportedThenCleared()
{
    TimeOut watchdog;
    QSignalSpy failed(&watchdog, &TimeOut::sgl_failRead);
    QSignalSpy idle(&watchdog, &TimeOut::sgl_timeStart);
    watchdog.startWatch();

    QElapsedTimer clock;
    watchdog.setReplyDone(false);
    watchdog.setWaiting(true);
    clock.start();

    QVERIFY(failed.wait(4000));
    const qint64 failedAt = clock.elapsed();
    QVERIFY2(failedAt >= 950, qPrintable(QString::number(failedAt)));
    QVERIFY(idle.isEmpty());
    QVERIFY(watchdog.isReplyDone());
    QVERIFY(!watchdog.isWaiting());

    QVERIFY(idle.wait(4000));
    const qint64 idleAfter = clock.elapsed() - failedAt;
    QVERIFY2(idleAfter >= 650, qPrintable(QString::number(idleAfter)));
    QCOMPARE(failed.size(), 1);
    watchdog.stopWatch();
}

void TestTimeOut::replyInTimeGivesOnlyTheIdleSignal()
{
    TimeOut watchdog;
    QSignalSpy failed(&watchdog, &TimeOut::sgl_failRead);
    QSignalSpy idle(&watchdog, &TimeOut::sgl_timeStart);
    watchdog.startWatch();

    watchdog.setReplyDone(false);
    watchdog.setWaiting(true);
    QTest::qWait(100);
    QElapsedTimer clock;
    watchdog.setReplyDone(true); // the reply handler ended the exchange
    clock.start();

    QVERIFY(idle.wait(4000));
    QVERIFY2(clock.elapsed() >= 150, qPrintable(QString::number(clock.elapsed())));
    watchdog.setReplyDone(false); // as the window's idle slot does
    QTest::qWait(2000);
    QVERIFY(failed.isEmpty());
    QCOMPARE(idle.size(), 1);
    watchdog.stopWatch();
}

void TestTimeOut::commandArmedWhileClearingIsStillReported()
{
    // An exchange ends just before the first tick (about 500 ms after the
    // start), so the loop pauses 200 ms before its idle signal; a new command
    // armed in the middle of that pause must still be watched.
    TimeOut watchdog;
    QSignalSpy failed(&watchdog, &TimeOut::sgl_failRead);
    QSignalSpy idle(&watchdog, &TimeOut::sgl_timeStart);
    QElapsedTimer clock;
    watchdog.setReplyDone(false);
    watchdog.setWaiting(true);
    watchdog.setReplyDone(true);
    clock.start();
    watchdog.startWatch();

    while (clock.elapsed() < 600)
        QTest::qWait(5);
    watchdog.setReplyDone(false); // the next command, whose reply never comes
    watchdog.setWaiting(true);

    QVERIFY(idle.wait(3000));
    QVERIFY(watchdog.isWaiting());
    QVERIFY(failed.wait(4000));
    watchdog.stopWatch();
}

void TestTimeOut::startWatchTwiceAndStop()
{
    TimeOut watchdog;
    QSignalSpy started(&watchdog, &QThread::started);
    watchdog.startWatch();
    QVERIFY(started.wait(2000) || watchdog.isRunning());
    watchdog.startWatch();
    QTest::qWait(50);
    QCOMPARE(started.size(), 1);
    watchdog.stopWatch();
    QVERIFY(watchdog.isFinished());
}

QTEST_GUILESS_MAIN(TestTimeOut)
#include "tst_timeout.moc"
