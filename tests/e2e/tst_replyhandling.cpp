// How the window handles each reply, well-formed or not, with frames made by
// the test on the far side of a pty: unwrapping and the pass-through checks,
// the version reply and the mode it selects, read and write replies of every
// length and index, and records a card refuses.
#include "handlink.h"
#include "look.h"
#include "mainwidget.h"
#include "portconfig.h"
#include "windowprobe.h"

#include <QRadioButton>
#include <QtTest>

using namespace LinkBytes;

namespace
{

// Gives the window time to take in every reply sent before (an ignored reply
// leaves no trace to wait for); then has the window query the version, so
// that every request it made meanwhile has arrived. Returns those requests.
QByteArray settle(HandLink &link)
{
    QTest::qWait(300);
    link.clickVersion();
    const QByteArray query = link.request(MSG_VERSION, byte(0));
    if (!QTest::qWaitFor([&] { return link.pending().endsWith(query); }, HandLink::WaitMs))
        return "no version query";
    return link.take(link.pending().size()).chopped(query.size());
}

QByteArrayList cardRecords(MainWidget *window)
{
    QByteArrayList records;
    for (int i = 0; i < WindowLookup::portCount(window); ++i)
        records.append(WindowLookup::card(window, i)->getPortParam());
    return records;
}

// Takes the version query the version button sends: nothing may come before it.
void expectOnlyVersionQuery(HandLink &link)
{
    link.clickVersion();
    const QByteArray query = link.request(MSG_VERSION, byte(0));
    QCOMPARE(link.take(query.size()).toHex(' '), query.toHex(' '));
}

enum class Outcome { Succeeded, Failed, Ignored };

} // namespace

Q_DECLARE_METATYPE(Outcome)

class TestReplyHandling : public QObject
{
    Q_OBJECT
private slots:
    void versionReply_data();
    void versionReply();
    void readAllReply_data();
    void readAllReply();
    void portByPortRead_data();
    void portByPortRead();
    void writeAllReply_data();
    void writeAllReply();
    void portByPortWrite_data();
    void portByPortWrite();
};

void TestReplyHandling::versionReply_data()
{
    QTest::addColumn<bool>("passThrough");
    QTest::addColumn<bool>("r7Window");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("version"); // empty: the reply is ignored
    QTest::addColumn<int>("mode");        // module mode afterwards

    const QByteArray tovrin123 = hex("20010203");
    const QByteArray r7107 = hex("2D010007");

    QTest::newRow("direct: Tovrin engine")
        << false << false << frame(MSG_VERSION, tovrin123) << "V1.2.3" << 0;
    QTest::newRow("direct: R7 device switches the mode")
        << false << false << frame(MSG_VERSION, r7107) << "V1.0.7" << 1;
    QTest::newRow("direct: Tovrin engine switches back from R7 mode")
        << false << true << frame(MSG_VERSION, tovrin123) << "V1.2.3" << 0;
    QTest::newRow("direct: numbers of 128 and more show as negative")
        << false << false << frame(MSG_VERSION, hex("20FF807F")) << "V-1.-128.127" << 0;
    QTest::newRow("direct: unknown device code")
        << false << false << frame(MSG_VERSION, hex("21010203")) << "" << 0;
    QTest::newRow("direct: five bytes")
        << false << false << frame(MSG_VERSION, hex("2001020304")) << "" << 0;
    QTest::newRow("direct: three bytes")
        << false << true << frame(MSG_VERSION, hex("2D0100")) << "" << 1;
    QTest::newRow("direct: pass-through reply")
        << false << false << returned(DEVICE_TOVRIN, MSG_VERSION, tovrin123) << "" << 0;

    QTest::newRow("pass-through: kind F0")
        << true << false << returned(DEVICE_TOVRIN, MSG_VERSION, tovrin123) << "V1.2.3" << 0;
    QTest::newRow("pass-through: kind F1")
        << true << false << returned(DEVICE_TOVRIN, MSG_VERSION, tovrin123, 0xF1) << "V1.2.3" << 0;
    QTest::newRow("pass-through: R7 device in R7 mode")
        << true << true << returned(DEVICE_R7, MSG_VERSION, r7107) << "V1.0.7" << 1;
    QTest::newRow("pass-through: more bytes than declared")
        << true << false << returned(DEVICE_TOVRIN, MSG_VERSION, tovrin123 + hex("09"), -1, 4)
        << "V1.2.3" << 0;
    QTest::newRow("pass-through: kind F2")
        << true << false << returned(DEVICE_TOVRIN, MSG_VERSION, tovrin123, 0xF2) << "" << 0;
    QTest::newRow("pass-through: direction 80")
        << true << false << frame(MSG_FC_RETURN, hex("F08020E204") + tovrin123) << "" << 0;
    QTest::newRow("pass-through: R7 device code in Tovrin mode")
        << true << false << returned(DEVICE_R7, MSG_VERSION, r7107) << "" << 0;
    QTest::newRow("pass-through: Tovrin device code in R7 mode")
        << true << true << returned(DEVICE_TOVRIN, MSG_VERSION, tovrin123) << "" << 1;
    QTest::newRow("pass-through: bare reply")
        << true << false << frame(MSG_VERSION, tovrin123) << "" << 0;
    QTest::newRow("pass-through: header of three bytes")
        << true << false << frame(MSG_FC_RETURN, hex("F00020")) << "" << 0;
    QTest::newRow("pass-through: fewer bytes than declared")
        << true << false << returned(DEVICE_TOVRIN, MSG_VERSION, hex("2001"), -1, 4) << "" << 0;
}

void TestReplyHandling::versionReply()
{
    QFETCH(bool, passThrough);
    QFETCH(bool, r7Window);
    QFETCH(QByteArray, reply);
    QFETCH(QString, version);
    QFETCH(int, mode);

    HandLink link;
    QVERIFY(link.open(passThrough, r7Window));
    // Cards on show now carry a mark that freshly built cards lack.
    WindowLookup::card(link.window(), 0)->setProperty("shownBefore", true);

    link.send(reply);
    const QByteArray requests = settle(link);

    QCOMPARE(link.versionText(), version);
    QCOMPARE(WindowLookup::model(link.window()), mode == 1 ? ModuleModel::R7 : ModuleModel::Tovrin);
    QCOMPARE(WindowLookup::portCount(link.window()), mode == 1 ? 6 : 5);
    QCOMPARE(link.window()->findChild<QRadioButton *>("rb_R7FuncMode")->isChecked(), mode == 1);
    QCOMPARE(link.window()->findChild<QRadioButton *>("rb_TovrinMode")->isChecked(), mode == 0);
    if (version.isEmpty()) {
        QCOMPARE(requests.toHex(' '), QByteArray());
        QVERIFY(WindowLookup::card(link.window(), 0)->property("shownBefore").toBool());
    } else {
        // A fresh panel, and the read of it follows at once.
        const QByteArray read = link.request(passThrough ? MSG_READ_PORT : MSG_READ_ALL, byte(0));
        QCOMPARE(requests.toHex(' '), read.toHex(' '));
        QVERIFY(!WindowLookup::card(link.window(), 0)->property("shownBefore").toBool());
    }
}

void TestReplyHandling::readAllReply_data()
{
    QTest::addColumn<bool>("passThrough");
    QTest::addColumn<bool>("r7Window");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QByteArrayList>("cards");

    const QByteArray tovrin = join(sampleRecords(false));
    const QByteArray r7 = join(sampleRecords(true));
    QTest::newRow("direct: 55 bytes in Tovrin mode")
        << false << false << frame(MSG_READ_ALL, tovrin) << Outcome::Succeeded << sampleRecords(false);
    QTest::newRow("direct: 54 bytes")
        << false << false << frame(MSG_READ_ALL, tovrin.left(54)) << Outcome::Failed << cardDefaults(false);
    QTest::newRow("direct: 56 bytes")
        << false << false << frame(MSG_READ_ALL, tovrin + byte(0)) << Outcome::Failed << cardDefaults(false);
    QTest::newRow("direct: 66 bytes in Tovrin mode")
        << false << false << frame(MSG_READ_ALL, r7) << Outcome::Failed << cardDefaults(false);
    QTest::newRow("direct: 66 bytes in R7 mode")
        << false << true << frame(MSG_READ_ALL, r7) << Outcome::Succeeded << sampleRecords(true);
    QTest::newRow("direct: 55 bytes in R7 mode")
        << false << true << frame(MSG_READ_ALL, tovrin) << Outcome::Failed << cardDefaults(true);
    // Through the flight controller the read asks port by port: a whole-set
    // reply answers no question of it and is dropped.
    QTest::newRow("pass-through: 55 bytes")
        << true << false << returned(DEVICE_TOVRIN, MSG_READ_ALL, tovrin) << Outcome::Ignored
        << cardDefaults(false);
    QTest::newRow("pass-through: 20 of 55 declared bytes")
        << true << false << returned(DEVICE_TOVRIN, MSG_READ_ALL, tovrin.left(20), -1, 55)
        << Outcome::Ignored << cardDefaults(false);
}

void TestReplyHandling::readAllReply()
{
    QFETCH(bool, passThrough);
    QFETCH(bool, r7Window);
    QFETCH(QByteArray, reply);
    QFETCH(Outcome, outcome);
    QFETCH(QByteArrayList, cards);

    HandLink link;
    QVERIFY(link.open(passThrough, r7Window));
    link.clickRead();
    const QByteArray read = link.request(passThrough ? MSG_READ_PORT : MSG_READ_ALL, byte(0));
    QCOMPARE(link.take(read.size()).toHex(' '), read.toHex(' '));
    link.send(reply);

    if (outcome == Outcome::Ignored) {
        QTRY_COMPARE_WITH_TIMEOUT(link.readStyle(), Look::failure(), HandLink::WaitMs);
        // Unanswered is said in words, not by the colour alone.
        QCOMPARE(link.status(), Look::noReply());
    } else {
        const bool succeeds = outcome == Outcome::Succeeded;
        QTRY_COMPARE_WITH_TIMEOUT(link.status(), succeeds ? Look::readOk() : Look::readFailed(),
                                  HandLink::WaitMs);
        QCOMPARE(link.readStyle(), succeeds ? Look::success() : Look::failure());
    }
    QCOMPARE(cardRecords(link.window()), cards);
    expectOnlyVersionQuery(link);
}

void TestReplyHandling::portByPortRead_data()
{
    QTest::addColumn<bool>("r7Window");
    QTest::addColumn<QByteArrayList>("replies"); // one after each request
    QTest::addColumn<QList<int>>("requested");   // the port each request asks for
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<QByteArrayList>("cards");

    const QByteArrayList tovrin = sampleRecords(false);
    const QByteArrayList r7 = sampleRecords(true);
    auto port = [](quint8 device, int index, const QByteArray &record) {
        return returned(device, MSG_READ_PORT, byte(index) + record);
    };
    QByteArrayList tovrinReplies, r7Replies;
    for (int i = 0; i < 5; ++i)
        tovrinReplies.append(port(DEVICE_TOVRIN, i, tovrin.at(i)));
    for (int i = 0; i < 6; ++i)
        r7Replies.append(port(DEVICE_R7, i, r7.at(i)));
    QByteArrayList firstOnly = cardDefaults(false);
    firstOnly[0] = tovrin.at(0);

    QTest::newRow("Tovrin: five ports in turn")
        << false << tovrinReplies << QList<int>{0, 1, 2, 3, 4} << true << tovrin;
    QTest::newRow("R7: six ports in turn")
        << true << r7Replies << QList<int>{0, 1, 2, 3, 4, 5} << true << r7;
    QTest::newRow("index 5 in Tovrin mode")
        << false << QByteArrayList{tovrinReplies.at(0), port(DEVICE_TOVRIN, 5, tovrin.at(1))}
        << QList<int>{0, 1} << false << firstOnly;
    QTest::newRow("index 6 in R7 mode") << true << QByteArrayList{port(DEVICE_R7, 6, r7.at(0))}
                                        << QList<int>{0} << false << cardDefaults(true);
    QTest::newRow("index 0x80") << false << QByteArrayList{port(DEVICE_TOVRIN, 0x80, tovrin.at(0))}
                                << QList<int>{0} << false << cardDefaults(false);
    QTest::newRow("eleven bytes") << false
                                  << QByteArrayList{returned(DEVICE_TOVRIN, MSG_READ_PORT,
                                                             byte(0) + tovrin.at(0).left(10))}
                                  << QList<int>{0} << false << cardDefaults(false);
    QTest::newRow("fewer bytes than declared")
        << false
        << QByteArrayList{returned(DEVICE_TOVRIN, MSG_READ_PORT, byte(0) + tovrin.at(0).left(5), -1,
                                   12)}
        << QList<int>{0} << false << cardDefaults(false);

    QByteArrayList refusedReplies = tovrinReplies;
    refusedReplies[1] = port(DEVICE_TOVRIN, 1, can(1000000, 0, 0));
    QByteArrayList refusedCards = tovrin;
    refusedCards[1] = defaultRecord();
    QTest::newRow("a record the card refuses, the others still read")
        << false << refusedReplies << QList<int>{0, 1, 2, 3, 4} << false << refusedCards;

    // Only the answer for the port asked counts: anything else ends the read.
    QTest::newRow("a reply for another port ends the read")
        << false << QByteArrayList{tovrinReplies.at(3)} << QList<int>{0} << false
        << cardDefaults(false);
    QTest::newRow("a reply stuck at port 0 ends the read")
        << false << QByteArrayList{tovrinReplies.at(0), tovrinReplies.at(0)} << QList<int>{0, 1}
        << false << firstOnly;
}

void TestReplyHandling::portByPortRead()
{
    QFETCH(bool, r7Window);
    QFETCH(QByteArrayList, replies);
    QFETCH(QList<int>, requested);
    QFETCH(bool, succeeds);
    QFETCH(QByteArrayList, cards);

    HandLink link;
    QVERIFY(link.open(true, r7Window));
    link.clickRead();
    for (int k = 0; k < replies.size(); ++k) {
        // Each request goes out only once the reply before it came.
        QVERIFY(link.pending().isEmpty());
        const QByteArray expected = link.request(MSG_READ_PORT, byte(requested.at(k)));
        QCOMPARE(link.take(expected.size()).toHex(' '), expected.toHex(' '));
        if (k + 1 < replies.size())
            QCOMPARE(link.status(), QString());
        link.send(replies.at(k));
    }
    QTRY_COMPARE_WITH_TIMEOUT(link.status(), succeeds ? Look::readOk() : Look::readFailed(),
                              HandLink::WaitMs);
    QCOMPARE(link.readStyle(), succeeds ? Look::success() : Look::failure());
    QCOMPARE(cardRecords(link.window()), cards);
    expectOnlyVersionQuery(link);
}

void TestReplyHandling::writeAllReply_data()
{
    QTest::addColumn<bool>("passThrough");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<Outcome>("outcome");

    QTest::newRow("00") << false << frame(MSG_WRITE_ALL, hex("00")) << Outcome::Succeeded;
    QTest::newRow("01") << false << frame(MSG_WRITE_ALL, hex("01")) << Outcome::Failed;
    QTest::newRow("FF") << false << frame(MSG_WRITE_ALL, hex("FF")) << Outcome::Failed;
    // An acknowledgement of the wrong length is a wrong answer, not silence
    // (these two were once ignored and ended as unanswered).
    QTest::newRow("two bytes") << false << frame(MSG_WRITE_ALL, hex("0000")) << Outcome::Failed;
    QTest::newRow("no bytes") << false << frame(MSG_WRITE_ALL, QByteArray()) << Outcome::Failed;
    // Through the flight controller the write goes port by port: a write-all
    // reply answers no question of it.
    QTest::newRow("pass-through: 00")
        << true << returned(DEVICE_TOVRIN, MSG_WRITE_ALL, hex("00")) << Outcome::Ignored;
    QTest::newRow("pass-through: none of one declared byte")
        << true << returned(DEVICE_TOVRIN, MSG_WRITE_ALL, QByteArray(), -1, 1) << Outcome::Ignored;
}

void TestReplyHandling::writeAllReply()
{
    QFETCH(bool, passThrough);
    QFETCH(QByteArray, reply);
    QFETCH(Outcome, outcome);

    HandLink link;
    QVERIFY(link.open(passThrough));
    WindowProbe::takeNoSnapshots(link.window());
    QVERIFY(link.setCards(sampleRecords(false)));
    link.confirmWrite();
    const QByteArray write =
        passThrough ? link.request(MSG_WRITE_PORT, byte(0) + sampleRecords(false).at(0))
                    : frame(MSG_WRITE_ALL, join(sampleRecords(false)));
    QCOMPARE(link.take(write.size()).toHex(' '), write.toHex(' '));
    link.send(reply);

    if (outcome == Outcome::Ignored) {
        // Not an answer: the write stays unanswered until the watchdog says so.
        QTRY_COMPARE_WITH_TIMEOUT(link.writeStyle(), Look::failure(), HandLink::WaitMs);
        // Unanswered is said in words, not by the colour alone.
        QCOMPARE(link.status(), Look::noReply());
        QVERIFY(!link.styles.stylesOf(QStringLiteral("cbAllSet")).contains(Look::success()));
    } else {
        const bool ok = outcome == Outcome::Succeeded;
        QTRY_COMPARE_WITH_TIMEOUT(link.status(), ok ? Look::writeOk() : Look::writeFailed(),
                                  HandLink::WaitMs);
        QCOMPARE(link.writeStyle(), ok ? Look::success() : Look::failure());
        QVERIFY(!link.styles.stylesOf(QStringLiteral("cbAllDownload")).contains(Look::failure()));
    }
    expectOnlyVersionQuery(link);
}

void TestReplyHandling::portByPortWrite_data()
{
    QTest::addColumn<bool>("r7Window");
    QTest::addColumn<QByteArrayList>("acks");  // one after each request
    QTest::addColumn<QList<int>>("requested"); // the port each request writes
    QTest::addColumn<bool>("succeeds");

    auto ack = [](quint8 device, int index) {
        return returned(device, MSG_WRITE_PORT, byte(index));
    };
    QByteArrayList tovrinAcks, r7Acks;
    for (int i = 0; i < 5; ++i)
        tovrinAcks.append(ack(DEVICE_TOVRIN, i));
    for (int i = 0; i < 6; ++i)
        r7Acks.append(ack(DEVICE_R7, i));

    QTest::newRow("Tovrin: five ports in turn")
        << false << tovrinAcks << QList<int>{0, 1, 2, 3, 4} << true;
    QTest::newRow("R7: six ports in turn") << true << r7Acks << QList<int>{0, 1, 2, 3, 4, 5} << true;
    // Only an acknowledgement naming the port just sent moves the write on;
    // anything else ends it as a failure, and no further port is sent.
    QTest::newRow("acknowledgement FF fails")
        << false << QByteArrayList{ack(DEVICE_TOVRIN, 0xFF)} << QList<int>{0} << false;
    QTest::newRow("acknowledgement of the last port after port 0 fails")
        << false << QByteArrayList{ack(DEVICE_TOVRIN, 4)} << QList<int>{0} << false;
    QTest::newRow("R7: acknowledgement of the last port after port 0 fails")
        << true << QByteArrayList{ack(DEVICE_R7, 5)} << QList<int>{0} << false;
    QTest::newRow("acknowledgement beyond the ports fails")
        << false << QByteArrayList{ack(DEVICE_TOVRIN, 7)} << QList<int>{0} << false;
    QTest::newRow("acknowledgement skipping ports fails")
        << false << QByteArrayList{tovrinAcks.at(0), ack(DEVICE_TOVRIN, 3)} << QList<int>{0, 1}
        << false;
    QTest::newRow("acknowledgement of two bytes fails")
        << false << QByteArrayList{returned(DEVICE_TOVRIN, MSG_WRITE_PORT, hex("0000"))}
        << QList<int>{0} << false;
    QTest::newRow("none of one declared byte fails")
        << false << QByteArrayList{returned(DEVICE_TOVRIN, MSG_WRITE_PORT, QByteArray(), -1, 1)}
        << QList<int>{0} << false;
}

void TestReplyHandling::portByPortWrite()
{
    QFETCH(bool, r7Window);
    QFETCH(QByteArrayList, acks);
    QFETCH(QList<int>, requested);
    QFETCH(bool, succeeds);

    HandLink link;
    QVERIFY(link.open(true, r7Window));
    WindowProbe::takeNoSnapshots(link.window());
    const QByteArrayList records = sampleRecords(r7Window);
    QVERIFY(link.setCards(records));
    link.confirmWrite();
    for (int k = 0; k < acks.size(); ++k) {
        QVERIFY(link.pending().isEmpty());
        const int i = requested.at(k);
        const QByteArray expected = link.request(MSG_WRITE_PORT, byte(i) + records.at(i));
        QCOMPARE(link.take(expected.size()).toHex(' '), expected.toHex(' '));
        if (k + 1 < acks.size())
            QCOMPARE(link.status(), QString());
        link.send(acks.at(k));
    }
    QTRY_COMPARE_WITH_TIMEOUT(link.status(), succeeds ? Look::writeOk() : Look::writeFailed(),
                              HandLink::WaitMs);
    QCOMPARE(link.writeStyle(), succeeds ? Look::success() : Look::failure());
    expectOnlyVersionQuery(link);
}

QTEST_MAIN(TestReplyHandling)
#include "tst_replyhandling.moc"
