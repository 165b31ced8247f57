// A window session against the simulator with a capture, then a second
// window against the simulator replaying that capture: the same cards,
// status, version and button looks after the open, a write of an edited card
// and a read; and a capture that cannot be created, told in a box, with the
// link left closed.
#include "linkcapture.h"
#include "mainwidget.h"
#include "portconfig.h"
#include "simsession.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace LinkBytes;

namespace
{
QString shown(SimSession &s)
{
    QStringList cards;
    for (const QByteArray &record : s.cardRecords())
        cards << QString::fromLatin1(record.toHex());
    return QStringLiteral("status=%1 version=%2 read=%3 write=%4 cards=%5")
        .arg(s.status(), s.versionText(), s.readStyle(), s.writeStyle(),
             cards.join(QLatin1Char(' ')));
}

// Open (version and read), a write of the last card edited, a read: what the
// window shows at the end of each, and the outcome looks the buttons took.
bool job(SimSession &s, bool r7, QStringList *seen)
{
    s.styles.restart();
    s.clickOpen();
    if (!QTest::qWaitFor([&] { return s.status() == Look::readOk(); }, SimSession::WaitMs) ||
        !QTest::qWaitFor([&] { return s.readStyle() == Look::idle(); }, SimSession::WaitMs))
        return false;
    *seen << shown(s);
    const int last = WindowLookup::portCount(s.window()) - 1;
    if (!s.card(last)->setPortParam(r7 ? can(500000, 1, 0x11) : uart(57600, 2, 0, 1, 0, 0x10, 1)))
        return false;
    s.clickWrite();
    if (!s.dialogVisible())
        return false;
    s.clickOk();
    if (!QTest::qWaitFor([&] { return s.status() == Look::writeOk(); }, SimSession::WaitMs))
        return false;
    *seen << shown(s);
    if (!QTest::qWaitFor([&] { return s.writeStyle() == Look::idle(); }, SimSession::WaitMs))
        return false;
    s.clickRead();
    if (!QTest::qWaitFor([&] { return s.readStyle() == Look::idle(); }, SimSession::WaitMs))
        return false;
    *seen << shown(s);
    *seen << s.styles.stylesOf(QStringLiteral("cbAllDownload")).join(QLatin1Char(','));
    *seen << s.styles.stylesOf(QStringLiteral("cbAllSet")).join(QLatin1Char(','));
    return true;
}
} // namespace

class TestCaptureReplay : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void replayedWindowShowsTheSame_data();
    void replayedWindowShowsTheSame();
    void laterLinksGoOnInTheCapture();
    void captureCannotBeCreated();
};

void TestCaptureReplay::cleanup()
{
    MainWidget::setCapturePath(QString());
}

void TestCaptureReplay::replayedWindowShowsTheSame_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<bool>("r7");
    QTest::newRow("direct, Tovrin") << Route::Direct << false;
    QTest::newRow("flight controller, R7") << Route::FlightController << true;
    QTest::newRow("ground station, Tovrin") << Route::GroundStation << false;
}

void TestCaptureReplay::replayedWindowShowsTheSame()
{
    QFETCH(Route, route);
    QFETCH(bool, r7);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString capture = dir.filePath(QStringLiteral("window") + LinkCapture::suffix());
    const QStringList model{QStringLiteral("--model"),
                            r7 ? QStringLiteral("r7") : QStringLiteral("tovrin")};

    QStringList original;
    {
        MainWidget::setCapturePath(capture);
        SimSession s;
        QVERIFY(s.start(route, model, r7 && route != Route::Direct, sampleRecords(r7)));
        QVERIFY(job(s, r7, &original));
        QVERIFY(s.boxes.boxes.isEmpty());
    }
    MainWidget::setCapturePath(QString());
    QFile file(capture);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray firstLine = file.readLine();
    QCOMPARE(QJsonDocument::fromJson(firstLine).object().value(QLatin1String("link")).toString(),
             QStringLiteral("open"));

    QStringList replayed;
    SimSession s;
    QVERIFY(s.start(route, {QStringLiteral("--replay"), capture}, r7 && route != Route::Direct));
    QVERIFY(job(s, r7, &replayed));
    QCOMPARE(replayed, original);
    QVERIFY(s.boxes.boxes.isEmpty());
    QVERIFY(s.simLog().filter(QStringLiteral("not in the capture")).isEmpty());
}

// Closed and opened again: the second link follows the first in the same
// capture, each from its own opening.
void TestCaptureReplay::laterLinksGoOnInTheCapture()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString capture = dir.filePath(QStringLiteral("twice") + LinkCapture::suffix());
    MainWidget::setCapturePath(capture);
    SimSession s;
    QVERIFY(s.start(Route::Direct, {}));
    for (int round = 0; round < 2; ++round) {
        s.clickOpen();
        QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(s.readStyle(), Look::idle(), SimSession::WaitMs);
        s.clickOpen(); // closes
        QTRY_VERIFY_WITH_TIMEOUT(!WindowLookup::linkOpen(s.window()), SimSession::WaitMs);
    }
    QFile file(capture);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList events;
    int sent = 0;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (object.contains(QLatin1String("link")))
            events << object.value(QLatin1String("link")).toString();
        else if (object.value(QLatin1String("dir")).toString() == QLatin1String("sent"))
            ++sent;
    }
    QCOMPARE(events, (QStringList{QStringLiteral("open"), QStringLiteral("close"),
                                  QStringLiteral("open"), QStringLiteral("close")}));
    QCOMPARE(sent, s.received().size());
}

void TestCaptureReplay::captureCannotBeCreated()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("missing/window.capture.jsonl"));
    MainWidget::setCapturePath(path);
    SimSession s;
    QVERIFY(s.start(Route::Direct, {}));
    s.clickOpen();
    QTRY_COMPARE_WITH_TIMEOUT(s.boxes.boxes.size(), 1, SimSession::WaitMs);
    QCOMPARE(s.boxes.boxes.first().icon, QMessageBox::Critical);
    QVERIFY2(s.boxes.boxes.first().text.startsWith(
                 QStringLiteral("无法创建链路记录文件 %1：").arg(path)),
             qPrintable(s.boxes.boxes.first().text));
    QVERIFY(!WindowLookup::linkOpen(s.window()));
    QTest::qWait(300);
    QVERIFY(s.received().isEmpty());
}

QTEST_MAIN(TestCaptureReplay)
#include "tst_capturereplay.moc"
