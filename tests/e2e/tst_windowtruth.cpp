// What the window shows and sends is what happened and what the user saw: the
// question before a write freezes the records it lists and keeps the cards
// from changing under it; every outcome of a command has its own status, the
// version lives with the link; unwritten edits are not dropped without asking.
// The window runs against the device simulator on a pty or the UDP ports.
#include "simsession.h"
#include "testpaths.h"
#include "windowprobe.h"
#include "userpick.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTranslator>
#include <QtTest>

using namespace LinkBytes;

namespace
{

// The program's English texts, from the compiled translation beside it, for
// the life of the object.
class English
{
public:
    explicit English(bool on)
    {
        if (!on)
            return;
        m_loaded = m_translator.load(TestPaths::programDir() +
                                     QStringLiteral("/TovrinVazodivuveTool_en_US.qm"));
        if (m_loaded)
            QCoreApplication::installTranslator(&m_translator);
    }
    ~English()
    {
        if (m_loaded)
            QCoreApplication::removeTranslator(&m_translator);
    }
    bool loaded() const { return m_loaded; }

private:
    QTranslator m_translator;
    bool m_loaded = false;
};

QComboBox *baudList(SimSession &s, int port)
{
    return child<QComboBox>(s.card(port), "cmbUartBaudrate");
}

// Opens the link and waits until the read on opening is over and the
// colours are idle again.
bool openAndRead(SimSession &s)
{
    s.clickOpen();
    return QTest::qWaitFor([&s] { return s.status() == Look::readOk(); }, SimSession::WaitMs) &&
           QTest::qWaitFor([&s] { return s.readStyle() == Look::idle(); }, SimSession::WaitMs);
}

} // namespace

class TestWindowTruth : public QObject
{
    Q_OBJECT

private slots:
    void questionFreezesWhatItLists();
    void questionGoesWhenReadRecordsArrive();
    void outcomes_data();
    void outcomes();
    void unwrittenEdits_data();
    void unwrittenEdits();
};

// Two edits listed, then attempts to change a card while the question is
// open: clicks and keys on the main window reach nothing, and even a card
// changed behind the question's back does not change what is sent.
void TestWindowTruth::questionFreezesWhatItLists()
{
    SimSession s;
    QVERIFY(s.start(Route::Direct, {"--model", "tovrin"}));
    QVERIFY(openAndRead(s));
    MainWidget *w = s.window();
    QVERIFY(QTest::qWaitForWindowActive(w));

    // Edit one: a record on Port1. Edit two: Port2's baud one step down the
    // list, with the keyboard, as a user does it.
    QVERIFY(s.card(0)->setPortParam(uart(115200, 1, 0, 0, 0, 0, 16)));
    QComboBox *baud = baudList(s, 1);
    baud->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), baud);
    const int baudBefore = baud->currentIndex();
    QTest::keyClick(w->windowHandle(), Qt::Key_Down);
    QCOMPARE(baud->currentIndex(), baudBefore + 1);
    const QByteArrayList confirmed = s.cardRecords();
    const QByteArrayList atStart = s.stored();
    QCOMPARE(atStart.size(), confirmed.size());

    s.clickWrite();
    MessageForm *question = WindowLookup::dialog(w);
    QVERIFY(question->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(question));
    QCOMPARE(QApplication::activeModalWidget(), question);
    QVERIFY((question->frameGeometry().center() - w->frameGeometry().center()).manhattanLength() <=
            2);
    const QStringList listed =
        child<QLabel>(question, "lblChanges")->text().split(QLatin1Char('\n'));
    QVERIFY2(listed.filter(QStringLiteral("Port1")).size() >= 1, qPrintable(listed.join('|')));
    QVERIFY2(listed.filter(QStringLiteral("Port2")).size() == 1, qPrintable(listed.join('|')));
    QVERIFY(listed.filter(QStringLiteral("Port3")).isEmpty());

    // The same key again, and a click on the list: both blocked.
    QTest::keyClick(w->windowHandle(), Qt::Key_Down);
    QTest::mouseClick(w->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      baud->mapTo(w, baud->rect().center()));
    QCoreApplication::processEvents();
    QCOMPARE(baud->currentIndex(), baudBefore + 1);
    QVERIFY(!baud->view()->isVisible());
    QVERIFY(question->isVisible());
    QCOMPARE(s.cardRecords(), confirmed);

    // A card changed while the question is open, by whatever means: what is
    // sent is still what the list was computed from.
    QVERIFY(s.card(1)->setPortParam(uart(9600, 0, 0, 0, 0, 0, 0)));
    s.clickOk();
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::writeOk(), SimSession::WaitMs);
    QCOMPARE(s.stored(), confirmed);
    for (int i : {2, 3, 4})
        QCOMPARE(s.stored().at(i), atStart.at(i));
}

// Write clicked while the read on opening is still under way: its records
// change the cards, so the question about the old ones closes unanswered.
void TestWindowTruth::questionGoesWhenReadRecordsArrive()
{
    SimSession s;
    QVERIFY(s.start(Route::Direct, {"--model", "tovrin", "--delay", "700"}, false,
                    sampleRecords(false)));
    s.clickOpen();
    QTRY_VERIFY_WITH_TIMEOUT(s.simLog().filter(QStringLiteral("MSG_READ_ALL")).size() >= 1,
                             SimSession::WaitMs);
    QCOMPARE(s.status(), QString());
    s.clickWrite();
    QVERIFY(s.dialogVisible());
    const int sent = s.received().size();

    QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::readOk(), SimSession::WaitMs);
    QVERIFY(!s.dialogVisible());
    QCOMPARE(s.cardRecords(), sampleRecords(false));
    QTest::qWait(500);
    QCOMPARE(s.received().size(), sent);
    QCOMPARE(s.stored(), sampleRecords(false));
}

void TestWindowTruth::outcomes_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<bool>("r7Window");
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("status");  // source text
    QTest::addColumn<QString>("version"); // device version shown after
    QTest::addColumn<QString>("button");  // the button that shows the outcome; empty: none does
    QTest::addColumn<bool>("success");

    const QString read = QStringLiteral("cbAllDownload");
    const QString version = QStringLiteral("V1.0.7");
    const QString noReply = QStringLiteral("模块无应答，请检查连接、通信方式和型号");
    const QString readOk = QStringLiteral("读取参数成功");
    const QString lost = QStringLiteral("端口已断开");
    const QStringList tovrin{"--model", "tovrin"};

    for (bool english : {false, true}) {
        const char *suffix = english ? " (en)" : "";
        QTest::addRow("direct: answered%s", suffix) << Route::Direct << false << tovrin << "open"
                                                    << english << readOk << version << read << true;
        QTest::addRow("direct: version query unanswered%s", suffix)
            << Route::Direct << false << tovrin + QStringList{"--drop-every", "1"} << "open"
            << english << noReply << QString() << read << false;
    }
    // The fourth reply is the second read's: the write's success does not stay.
    QTest::newRow("direct: write answered, then a read unanswered")
        << Route::Direct << false << tovrin + QStringList{"--drop-every", "4"} << "write, then read"
        << false << noReply << version << read << false;
    QTest::newRow("ground station: read unanswered")
        << Route::GroundStation << false << tovrin + QStringList{"--drop-every", "2"} << "open"
        << false << noReply << version << read << false;
    QTest::newRow("flight controller: program in Tovrin mode, R7 module")
        << Route::FlightController << false << QStringList{"--model", "r7"} << "open" << false
        << noReply << QString() << read << false;
    QTest::newRow("flight controller: program in R7 mode, Tovrin module")
        << Route::FlightController << true << tovrin << "open" << false << noReply << QString()
        << read << false;
    QTest::newRow("direct: device gone") << Route::Direct << false << tovrin << "lose" << false
                                         << lost << QString() << QString() << false;
    QTest::newRow("direct: link closed") << Route::Direct << false << tovrin << "close" << false
                                         << readOk << QString() << QString() << false;
    // The third reply, the version of the second opening, is lost.
    QTest::newRow("direct: reopened, version unanswered")
        << Route::Direct << false << tovrin + QStringList{"--drop-every", "3"} << "reopen" << false
        << noReply << QString() << read << false;
}

void TestWindowTruth::outcomes()
{
    QFETCH(Route, route);
    QFETCH(bool, r7Window);
    QFETCH(QStringList, simArgs);
    QFETCH(QString, action);
    QFETCH(bool, english);
    QFETCH(QString, status);
    QFETCH(QString, version);
    QFETCH(QString, button);
    QFETCH(bool, success);

    const English translation(english);
    QCOMPARE(translation.loaded(), english);
    const QString expected = Look::text(qPrintable(status));
    if (english)
        QVERIFY2(expected != status, qPrintable(expected));

    SimSession s;
    QVERIFY(s.start(route, simArgs, r7Window));
    if (action == QLatin1String("open")) {
        s.styles.restart();
        s.clickOpen();
    } else {
        QVERIFY(openAndRead(s));
        if (action == QLatin1String("write, then read")) {
            s.clickWrite();
            s.clickOk();
            QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::writeOk(), SimSession::WaitMs);
            QTRY_COMPARE_WITH_TIMEOUT(s.writeStyle(), Look::idle(), SimSession::WaitMs);
            s.styles.restart();
            s.clickRead();
            // The last outcome goes as the command starts.
            QCOMPARE(s.status(), QString());
        } else if (action == QLatin1String("lose")) {
            s.styles.restart();
            QVERIFY(s.stopSimulator());
        } else if (action == QLatin1String("close")) {
            s.styles.restart();
            s.clickOpen();
        } else if (action == QLatin1String("reopen")) {
            s.clickOpen();
            QVERIFY(!WindowLookup::linkOpen(s.window()));
            s.styles.restart();
            s.clickOpen();
            QVERIFY(WindowLookup::linkOpen(s.window()));
            // Nothing from the last link stays beside the new one.
            QCOMPARE(s.status(), QString());
            QCOMPARE(s.versionText(), QString());
        }
    }

    const QString look = success ? Look::success() : Look::failure();
    if (!button.isEmpty())
        QTRY_VERIFY_WITH_TIMEOUT(s.styles.firstChange(button, look) >= 0, SimSession::WaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(s.status(), expected, SimSession::WaitMs);
    QCOMPARE(s.versionText(), version);
    // Still so once the colours are idle again; nothing else was reported.
    QTest::qWait(1600);
    QCOMPARE(s.status(), expected);
    QCOMPARE(s.versionText(), version);
    for (const QString &name : {QStringLiteral("cbAllDownload"), QStringLiteral("cbAllSet")}) {
        const QStringList looks = s.styles.stylesOf(name);
        const int expectedLooks = name == button ? 1 : 0;
        QCOMPARE(looks.count(Look::success()), success && name == button ? 1 : 0);
        QCOMPARE(looks.count(Look::failure()), !success && name == button ? 1 : 0);
        QVERIFY(looks.count(Look::success()) + looks.count(Look::failure()) == expectedLooks);
    }
    QVERIFY(s.boxes.boxes.isEmpty());
}

void TestWindowTruth::unwrittenEdits_data()
{
    QTest::addColumn<QString>("before"); // what happened to the cards
    QTest::addColumn<bool>("edited");
    QTest::addColumn<QString>("action"); // "mode" or "close"
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("asked");

    QTest::newRow("fresh cards, mode") << "nothing" << false << "mode" << false << false;
    QTest::newRow("fresh cards edited, mode, No") << "nothing" << true << "mode" << false << true;
    QTest::newRow("fresh cards edited, mode, Yes") << "nothing" << true << "mode" << true << true;
    QTest::newRow("read, close") << "read" << false << "close" << false << false;
    QTest::newRow("read and edited, close, No") << "read" << true << "close" << false << true;
    QTest::newRow("read and edited, close, Yes") << "read" << true << "close" << true << true;
    QTest::newRow("read and edited, mode, No") << "read" << true << "mode" << false << true;
    QTest::newRow("edited and written, close") << "written" << false << "close" << false << false;
    QTest::newRow("edited and written, edited again, close, No")
        << "written" << true << "close" << false << true;
    QTest::newRow("edited and set back, close") << "set back" << false << "close" << false << false;
}

void TestWindowTruth::unwrittenEdits()
{
    QFETCH(QString, before);
    QFETCH(bool, edited);
    QFETCH(QString, action);
    QFETCH(bool, yes);
    QFETCH(bool, asked);

    SimSession s;
    QVERIFY(s.start(Route::Direct, {"--model", "tovrin"}));
    MainWidget *w = s.window();
    if (before != QLatin1String("nothing")) {
        QVERIFY(openAndRead(s));
        QComboBox *baud = baudList(s, 1);
        if (before == QLatin1String("written")) {
            UserPick::pick(baud, baud->currentIndex() + 1);
            s.clickWrite();
            s.clickOk();
            QTRY_COMPARE_WITH_TIMEOUT(s.status(), Look::writeOk(), SimSession::WaitMs);
        } else if (before == QLatin1String("set back")) {
            UserPick::pick(baud, baud->currentIndex() + 1);
            UserPick::pick(baud, baud->currentIndex() - 1);
        }
        s.clickOpen(); // closed: the mode buttons work again
        QVERIFY(!WindowLookup::linkOpen(w));
    }
    if (edited) {
        QComboBox *baud = baudList(s, 2);
        UserPick::pick(baud, baud->currentIndex() == 0 ? 1 : 0);
    }
    const QByteArrayList shown = s.cardRecords();
    s.boxes.answer = yes ? QMessageBox::Yes : QMessageBox::No;

    if (action == QLatin1String("mode"))
        WindowProbe::click(w, "rb_R7FuncMode");
    else
        WindowProbe::click(w, "btnClose");

    QCOMPARE(s.boxes.boxes.size(), asked ? 1 : 0);
    if (asked) {
        const ShownBox box = s.boxes.boxes.first();
        QCOMPARE(box.icon, QMessageBox::Question);
        QCOMPARE(box.text, Look::text("放弃未写入的修改？"));
        QCOMPARE(box.buttonCount, 2);
    }
    const bool goes = !asked || yes;
    if (action == QLatin1String("mode")) {
        QCOMPARE(WindowLookup::model(w), goes ? ModuleModel::R7 : ModuleModel::Tovrin);
        QCOMPARE(child<QRadioButton>(w, "rb_R7FuncMode")->isChecked(), goes);
        QCOMPARE(child<QRadioButton>(w, "rb_TovrinMode")->isChecked(), !goes);
        if (goes)
            QCOMPARE(s.cardRecords(), cardDefaults(true));
    } else {
        QCOMPARE(w->isVisible(), !goes);
    }
    if (!goes)
        QCOMPARE(s.cardRecords(), shown);
}

QTEST_MAIN(TestWindowTruth)
#include "tst_windowtruth.moc"
