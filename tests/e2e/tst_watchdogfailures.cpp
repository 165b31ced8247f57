// Exchanges that get no usable reply end only through the watchdog: the
// button of the last operation turns to the failure colour 1 to 1.5 s after
// the command was armed and back to idle some 0.7 s later, the status text
// stays as it was and nothing else is sent. An answer of the wrong length is
// no silence: it ends the command at once as a wrong answer, in the same
// failure colour, and nothing else is sent.
#include "configsession.h"
#include "mainwidget.h"
#include "simsession.h"
#include "windowprobe.h"

#include <QSignalSpy>
#include <QtTest>

using namespace LinkBytes;

namespace
{

enum class Operation {
    Open,           // the version query sent on opening
    WriteAfterRead, // a write once the read of the open has ended
    WriteAtOnce,    // a write confirmed right after opening
};

QStringList args(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(ConfigSession::Outcome)

class TestWatchdogFailures : public QObject
{
    Q_OBJECT
private slots:
    void failureThenIdle_data();
    void failureThenIdle();
};

void TestWatchdogFailures::failureThenIdle_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<bool>("r7Window");
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QString>("button");          // the one that must fail
    QTest::addColumn<QByteArrayList>("requests"); // all the simulator must have seen
    QTest::addColumn<QString>("logLine");         // a line the simulator must have logged
    QTest::addColumn<ConfigSession::Outcome>("outcome");
    QTest::addColumn<QString>("status"); // the status text after it
    const auto noReply = ConfigSession::Outcome::NoReply;
    const auto wrongLength = ConfigSession::Outcome::WrongLength;

    QByteArrayList defaults;
    for (int i = 0; i < 5; ++i)
        defaults.append(defaultRecord());
    const QString read = QStringLiteral("cbAllDownload");
    const QString write = QStringLiteral("cbAllSet");

    QTest::newRow("direct: version query unanswered")
        << Route::Direct << false << args("--drop-every 1") << Operation::Open << read
        << QByteArrayList{frame(MSG_VERSION, byte(0))} << QString() << noReply << Look::noReply();
    QTest::newRow("direct: version reply with a spoiled checksum")
        << Route::Direct << false << args("--corrupt-every 1") << Operation::Open << read
        << QByteArrayList{frame(MSG_VERSION, byte(0))} << QStringLiteral("checksum spoiled")
        << noReply << Look::noReply();
    QTest::newRow("direct: version reply one byte short")
        << Route::Direct << false << args("--wrong-length") << Operation::Open << read
        << QByteArrayList{frame(MSG_VERSION, byte(0))} << QString() << wrongLength << Look::readFailed();
    QTest::newRow("flight controller: version reply one byte short")
        << Route::FlightController << false << args("--wrong-length") << Operation::Open << read
        << QByteArrayList{forward(DEVICE_TOVRIN, MSG_VERSION, byte(0))} << QString() << wrongLength
        << Look::readFailed();
    QTest::newRow("flight controller: program in R7 mode, Tovrin module")
        << Route::FlightController << true << args("--model tovrin") << Operation::Open << read
        << QByteArrayList{forward(DEVICE_R7, MSG_VERSION, byte(0))}
        << QStringLiteral("dropped: pass-through for device 0x2d") << noReply << Look::noReply();
    QTest::newRow("direct: write unanswered")
        << Route::Direct << false << args("--drop-every 3") << Operation::WriteAfterRead << write
        << readRequests(Route::Direct, false) + writeRequests(Route::Direct, false, defaults)
        << QStringLiteral("tx dropped (reply 3)") << noReply << Look::noReply();
    QTest::newRow("flight controller: write-port not acknowledged")
        << Route::FlightController << false << args("--fail-writes") << Operation::WriteAfterRead
        << write
        << readRequests(Route::FlightController, false) +
               writeRequests(Route::FlightController, false, defaults).mid(0, 1)
        << QString() << noReply << Look::noReply();
    QTest::newRow("direct: write-all acknowledgement of two bytes")
        << Route::Direct << false << args("--wrong-length") << Operation::WriteAtOnce << write
        << QByteArrayList{frame(MSG_VERSION, byte(0))} +
               writeRequests(Route::Direct, false, defaults)
        << QString() << wrongLength << Look::writeFailed();
}

void TestWatchdogFailures::failureThenIdle()
{
    QFETCH(Route, route);
    QFETCH(bool, r7Window);
    QFETCH(QStringList, simArgs);
    QFETCH(Operation, operation);
    QFETCH(QString, button);
    QFETCH(QByteArrayList, requests);
    QFETCH(QString, logLine);
    QFETCH(ConfigSession::Outcome, outcome);
    QFETCH(QString, status);

    SimSession s;
    QVERIFY(s.start(route, simArgs, r7Window));
    if (operation == Operation::WriteAtOnce)
        WindowProbe::takeNoSnapshots(s.window());
    QSignalSpy finished(WindowLookup::session(s.window()), &ConfigSession::finished);
    const QByteArrayList storedAtStart = s.stored();
    QVERIFY(!storedAtStart.isEmpty());

    if (operation == Operation::WriteAfterRead) {
        s.clickOpen();
        QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
        // Armed only once the read's exchange is over and the colours are idle.
        QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);
        s.styles.restart();
        s.clickWrite();
        s.clickOk();
    } else {
        s.styles.restart();
        s.clickOpen();
        if (operation == Operation::WriteAtOnce) {
            s.clickWrite();
            s.clickOk();
        }
    }
    const QString other = button == QLatin1String("cbAllSet") ? QStringLiteral("cbAllDownload")
                                                              : QStringLiteral("cbAllSet");

    QTRY_VERIFY_WITH_TIMEOUT(s.styles.firstChange(button, Look::failure()) >= 0,
                             SimSession::WaitMs);
    const qint64 failedAt = s.styles.firstChange(button, Look::failure());
    QTRY_VERIFY_WITH_TIMEOUT(s.styles.firstChange(button, Look::idle(), failedAt) >= 0,
                             SimSession::WaitMs);
    const qint64 idleAt = s.styles.firstChange(button, Look::idle(), failedAt);

    QVERIFY(!finished.isEmpty());
    QCOMPARE(finished.last().at(1).value<ConfigSession::Outcome>(), outcome);
    if (outcome == ConfigSession::Outcome::NoReply) {
        // Loose lower bounds only: three ticks of half a second, then one more
        // tick and the 200 ms pause.
        QVERIFY2(failedAt >= 900, qPrintable(QStringLiteral("failed after %1 ms").arg(failedAt)));
        QVERIFY2(idleAt - failedAt >= 600,
                 qPrintable(QStringLiteral("idle %1 ms after the failure").arg(idleAt - failedAt)));
    }
    QCOMPARE(s.styles.stylesOf(button), (QStringList{Look::failure(), Look::idle()}));
    QVERIFY(!s.styles.stylesOf(other).contains(Look::failure()));
    QVERIFY(!s.styles.stylesOf(other).contains(Look::success()));

    QCOMPARE(s.status(), status);
    QCOMPARE(WindowLookup::model(s.window()), r7Window ? ModuleModel::R7 : ModuleModel::Tovrin);
    if (operation == Operation::Open)
        QCOMPARE(s.versionText(), QString());
    QCOMPARE(s.received(), requests);
    QCOMPARE(s.stored(), storedAtStart);
    if (!logLine.isEmpty())
        QVERIFY(s.simLog().filter(logLine).size() == 1);
    QVERIFY(s.boxes.boxes.isEmpty());
}

QTEST_MAIN(TestWatchdogFailures)
#include "tst_watchdogfailures.moc"
