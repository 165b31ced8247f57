// How the window handles each reply, well-formed or not, with frames made by
// the test on the far side of a pty: unwrapping and the pass-through checks,
// the version reply and the mode it selects, read and write replies of every
// length and index, and records a card refuses.
#include "handlink.h"
#include "look.h"
#include "mainwidget.h"
#include "portconfig.h"

#include <QRadioButton>
#include <QtTest>

using namespace LinkBytes;

namespace
{

// Sends a write-all acknowledgement and waits until it shows, so that every
// reply sent before it has been handled; then has the window query the
// version, so that every request it made meanwhile has arrived. Returns those
// requests.
QByteArray settle(HandLink &link)
{
    link.send(link.reply(MSG_WRITE_ALL, byte(0)));
    if (!QTest::qWaitFor([&] { return link.status() == Look::writeOk(); }, HandLink::WaitMs))
        return "no acknowledgement shown";
    link.clickVersion();
    const QByteArray query = link.request(MSG_VERSION, byte(0));
    if (!QTest::qWaitFor([&] { return link.pending().endsWith(query); }, HandLink::WaitMs))
        return "no version query";
    return link.take(link.pending().size()).chopped(query.size());
}

} // namespace

class TestReplyHandling : public QObject
{
    Q_OBJECT
private slots:
    void versionReply_data();
    void versionReply();
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
    PortConfig *firstCard = link.window()->cards[0];

    link.send(reply);
    const QByteArray requests = settle(link);

    QCOMPARE(link.versionText(), version);
    QCOMPARE(moduleMode, mode);
    QCOMPARE(int(portCount), mode == 1 ? 6 : 5);
    QCOMPARE(link.window()->findChild<QRadioButton *>("rb_R7FuncMode")->isChecked(), mode == 1);
    QCOMPARE(link.window()->findChild<QRadioButton *>("rb_TovrinMode")->isChecked(), mode == 0);
    if (version.isEmpty()) {
        QCOMPARE(requests.toHex(' '), QByteArray());
        QCOMPARE(link.window()->cards[0], firstCard);
    } else {
        // A fresh panel, and the read of it follows at once.
        const QByteArray read = link.request(passThrough ? MSG_READ_PORT : MSG_READ_ALL, byte(0));
        QCOMPARE(requests.toHex(' '), read.toHex(' '));
        QVERIFY(link.window()->cards[0] != firstCard);
    }
}

QTEST_MAIN(TestReplyHandling)
#include "tst_replyhandling.moc"
