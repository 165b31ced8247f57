// The link capture: what a session puts on record over a real pty (the exact
// chunks each way, on disk after every line, the frames each completes, bare
// and wrapped), the line on the link's closing, the size limit that ends the
// record while the session goes on, and a file that cannot be created.
#include "configsession.h"
#include "jsonlines.h"
#include "linkcapture.h"
#include "linkpeers.h"
#include "passthrough.h"
#include "transport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace LinkPeers;

Q_DECLARE_METATYPE(ConfigSession::Route)

namespace
{
// The lines on disk now, each an object.
QVector<QJsonObject> linesOf(const QString &path)
{
    return JsonLines::read(path).objects;
}

QByteArray bytesOf(const QJsonObject &line)
{
    return QByteArray::fromHex(line.value(QLatin1String("hex")).toString().toLatin1());
}

QJsonObject frameOf(const QJsonObject &line)
{
    return line.value(QLatin1String("frames")).toArray().first().toObject();
}
} // namespace

class TestLinkCapture : public QObject
{
    Q_OBJECT
private slots:
    void recordsEachChunk_data();
    void recordsEachChunk();
    void sizeLimitEndsTheRecordOnly();
    void cannotBeCreated();
};

void TestLinkCapture::recordsEachChunk_data()
{
    QTest::addColumn<ConfigSession::Route>("route");
    QTest::addColumn<QString>("routeName");
    QTest::newRow("direct") << ConfigSession::Route::Direct << "direct";
    QTest::newRow("flight controller")
        << ConfigSession::Route::FlightController << "flight-controller";
}

// The version query and its answer, the answer in two chunks: each chunk is
// on disk as it crossed before the next, and only the one that completes
// the frame names it.
void TestLinkCapture::recordsEachChunk()
{
    QFETCH(ConfigSession::Route, route);
    QFETCH(QString, routeName);
    const bool wrapped = route != ConfigSession::Route::Direct;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("link") + LinkCapture::suffix());
    PeerLine line;
    QVERIFY(line.start());

    ConfigSession session;
    auto capture = std::make_unique<LinkCapture>(path);
    QString error;
    QVERIFY2(capture->create(&error), qPrintable(error));
    session.setCapture(std::move(capture));
    QVERIFY(session.open(route, ConfigSession::createTransport(route, line.device()),
                         QStringLiteral("bench-port")));
    QSignalSpy finished(&session, &ConfigSession::finished);
    session.queryVersion();
    const QByteArray request = session.requestFrame(MSG_VERSION, QByteArray(1, '\0'));
    QCOMPARE(line.peer.take(request.size()), request);

    QVector<QJsonObject> lines = linesOf(path);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).value(QLatin1String("link")).toString(), QStringLiteral("open"));
    QCOMPARE(lines.at(0).value(QLatin1String("route")).toString(), routeName);
    QCOMPARE(lines.at(0).value(QLatin1String("device")).toString(), QStringLiteral("bench-port"));
    const QJsonObject sent = lines.at(1);
    QCOMPARE(sent.value(QLatin1String("dir")).toString(), QStringLiteral("sent"));
    QCOMPARE(sent.value(QLatin1String("route")).toString(), routeName);
    QCOMPARE(sent.value(QLatin1String("device")).toString(), QStringLiteral("bench-port"));
    QCOMPARE(bytesOf(sent), request);
    QCOMPARE(frameOf(sent).value(QLatin1String("id")).toString(),
             wrapped ? QStringLiteral("5B") : QStringLiteral("E2"));
    QCOMPARE(frameOf(sent).value(QLatin1String("len")).toInt(), wrapped ? 6 : 1);
    QCOMPARE(frameOf(sent).value(QLatin1String("wrapped")).toBool(), wrapped);
    if (wrapped) {
        QCOMPARE(frameOf(sent).value(QLatin1String("inner_id")).toString(), QStringLiteral("E2"));
        QCOMPARE(frameOf(sent).value(QLatin1String("inner_len")).toInt(), 1);
    }

    const QByteArray version = hex("20010007");
    const QByteArray answer = wrapped
                                  ? PassThrough::returnFrame(DEVICE_TOVRIN, MSG_VERSION, version)
                                  : frame(MSG_VERSION, version);
    const int cut = 5;
    line.peer.send(answer.left(cut));
    QTRY_COMPARE_WITH_TIMEOUT(linesOf(path).size(), 3, WaitMs);
    QCOMPARE(finished.count(), 0);
    line.peer.send(answer.mid(cut));
    QVERIFY(finished.wait(WaitMs));
    QCOMPARE(finished.first().at(1).value<ConfigSession::Outcome>(),
             ConfigSession::Outcome::Success);

    lines = linesOf(path);
    QCOMPARE(lines.size(), 4);
    const QJsonObject first = lines.at(2);
    const QJsonObject second = lines.at(3);
    for (const QJsonObject &chunk : {first, second})
        QCOMPARE(chunk.value(QLatin1String("dir")).toString(), QStringLiteral("received"));
    QCOMPARE(bytesOf(first) + bytesOf(second), answer);
    QVERIFY(!first.contains(QLatin1String("frames")));
    QCOMPARE(second.value(QLatin1String("frames")).toArray().size(), 1);
    QCOMPARE(frameOf(second).value(QLatin1String("id")).toString(),
             wrapped ? QStringLiteral("5F") : QStringLiteral("E2"));
    QCOMPARE(frameOf(second).value(QLatin1String("wrapped")).toBool(), wrapped);
    // Microseconds since the link opened, never going back.
    qint64 previous = 0;
    for (const QJsonObject &l : lines) {
        const qint64 us = qint64(l.value(QLatin1String("us")).toDouble());
        QVERIFY(us >= previous);
        previous = us;
    }
    QVERIFY(previous > 0);

    session.close();
    lines = linesOf(path);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.last().value(QLatin1String("link")).toString(), QStringLiteral("close"));
}

// A limit a few lines long: the record ends with the line saying so, within
// the limit, and nothing follows it; the session's commands go on answered.
void TestLinkCapture::sizeLimitEndsTheRecordOnly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("small") + LinkCapture::suffix());
    constexpr qint64 Limit = 600;
    PeerLine line;
    QVERIFY(line.start());
    ConfigSession session;
    auto capture = std::make_unique<LinkCapture>(path, Limit);
    QString error;
    QVERIFY2(capture->create(&error), qPrintable(error));
    session.setCapture(std::move(capture));
    QVERIFY(
        session.open(ConfigSession::Route::Direct,
                     ConfigSession::createTransport(ConfigSession::Route::Direct, line.device()),
                     line.device()));
    QSignalSpy finished(&session, &ConfigSession::finished);
    const QByteArray request = session.requestFrame(MSG_VERSION, QByteArray(1, '\0'));
    for (int round = 1; round <= 8; ++round) {
        session.queryVersion();
        QCOMPARE(line.peer.take(request.size()), request);
        line.peer.send(frame(MSG_VERSION, hex("20010007")));
        QVERIFY(finished.wait(WaitMs));
        QCOMPARE(finished.last().at(1).value<ConfigSession::Outcome>(),
                 ConfigSession::Outcome::Success);
    }
    QVERIFY(!session.capture()->isRecording());
    QVERIFY(QFileInfo(path).size() <= Limit);
    const QVector<QJsonObject> lines = linesOf(path);
    QVERIFY(lines.size() > 2);
    QCOMPARE(lines.last().value(QLatin1String("stopped")).toString(),
             QStringLiteral("size limit of 600 bytes reached"));
    for (int i = 0; i + 1 < lines.size(); ++i)
        QVERIFY(!lines.at(i).contains(QLatin1String("stopped")));
    session.close();
    QCOMPARE(linesOf(path).size(), lines.size());
}

void TestLinkCapture::cannotBeCreated()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    LinkCapture capture(dir.filePath(QStringLiteral("no-such-folder/link.capture.jsonl")));
    QString error;
    QVERIFY(!capture.create(&error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!capture.isRecording());
    capture.linkOpened(QStringLiteral("direct"), QStringLiteral("x"));
    capture.sent(hex("AB0E05E2010000"));
    QVERIFY(!QFileInfo::exists(capture.path()));
}

QTEST_GUILESS_MAIN(TestLinkCapture)
#include "tst_linkcapture.moc"
