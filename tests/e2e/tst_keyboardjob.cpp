// The whole job by keyboard, as a user without a mouse does it, against the
// device simulator: open the link (which reads the module), change a card,
// write through the confirmation, save to a file, change the card again and
// load the file back; then a read by Enter on the focused read button. No
// mouse event reaches the program. Escape in the confirmation sends nothing.
#include "configsession.h"
#include "filechooser.h"
#include "mainwidget.h"
#include "portconfig.h"
#include "simsession.h"
#include "windowprobe.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QPushButton>
#include <QtTest>

using namespace LinkBytes;

namespace
{

// Counts every mouse press, release and click that reaches any object.
class MouseCounter : public QObject
{
public:
    MouseCounter() { qApp->installEventFilter(this); }
    ~MouseCounter() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            ++count;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

// Answers the next file dialog with path. The dialog is Qt's own; what this
// test follows is that Ctrl+S and Ctrl+O reach it and what the window does
// with its answer. (Under Qt 6 on the offscreen platform the dialog does not
// take keys typed into it, so it is answered through its own interface.)
class FileAnswer : public QObject
{
public:
    explicit FileAnswer(const QString &path)
    {
        connect(FileChooser::instance(), &FileChooser::aboutToShow, this,
                [this, path](QFileDialog *dialog) {
                    ++shown;
                    QTimer::singleShot(0, dialog, [dialog, path] {
                        dialog->selectFile(path);
                        static_cast<QDialog *>(dialog)->accept();
                    });
                });
    }
    int shown = 0;
};

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = QApplication::focusWidget();
    if (!target)
        target = QApplication::activeWindow();
    QVERIFY(target);
    QTest::keyClick(target, key, modifiers);
}

// Tab until the focus is on target; false after a full round without it.
bool tabTo(QWidget *target)
{
    for (int i = 0; i < 80 && QApplication::focusWidget() != target; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return QApplication::focusWidget() == target;
}

bool activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window, SimSession::WaitMs) &&
           QTest::qWaitFor([window] { return QApplication::activeWindow() == window; },
                           SimSession::WaitMs);
}

bool finished(QSignalSpy &spy, ConfigSession::Operation operation)
{
    return QTest::qWaitFor(
        [&spy, operation] {
            for (const QList<QVariant> &args : spy) {
                if (args.at(0).value<ConfigSession::Operation>() == operation)
                    return true;
            }
            return false;
        },
        SimSession::WaitMs);
}

} // namespace

class TestKeyboardJob : public QObject
{
    Q_OBJECT
private slots:
    void wholeJobWithoutMouse();
};

void TestKeyboardJob::wholeJobWithoutMouse()
{
    SimSession s;
    QVERIFY(s.start(Route::Direct, {QStringLiteral("--model"), QStringLiteral("r7"),
                                    QStringLiteral("--firmware"), QStringLiteral("2.3.1")}));
    MainWidget *window = s.window();
    QVERIFY(activate(window));
    MouseCounter mouse;
    ConfigSession *session = WindowLookup::session(window);

    // Ctrl+L opens the link; the version reply makes it an R7-Eda and reads.
    QSignalSpy done(session, &ConfigSession::finished);
    press(Qt::Key_L, Qt::ControlModifier);
    QVERIFY(finished(done, ConfigSession::Operation::Read));
    QCOMPARE(s.status(), Look::readOk());
    QCOMPARE(WindowLookup::portCount(window), 6);
    const QByteArrayList read = s.cardRecords();

    // The second card's baud rate, one step down the list.
    PortConfig *second = s.card(1);
    auto *baud = second->findChild<QComboBox *>(QStringLiteral("cmbUartBaudrate"));
    QVERIFY(tabTo(baud));
    const int before = baud->currentIndex();
    press(Qt::Key_Down);
    QCOMPARE(baud->currentIndex(), before + 1);
    const QByteArrayList edited = s.cardRecords();
    QVERIFY(edited.at(1) != read.at(1));

    // Ctrl+Enter asks first; Escape there sends nothing.
    press(Qt::Key_Return, Qt::ControlModifier);
    QWidget *dialog = WindowLookup::dialog(window);
    QVERIFY(dialog->isVisible());
    QVERIFY(activate(dialog));
    const int framesBefore = s.received().size();
    press(Qt::Key_Escape);
    QTRY_VERIFY(!dialog->isVisible());
    QTest::qWait(300);
    QCOMPARE(s.received().size(), framesBefore);

    // Confirmed from the keyboard: the question starts on its cancel button,
    // Tab moves to the confirming one and Enter presses it; the module takes
    // the edited records.
    QVERIFY(activate(window));
    press(Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(dialog->isVisible());
    QVERIFY(activate(dialog));
    auto *ok = child<QPushButton>(dialog, "btnOk");
    QVERIFY(QApplication::focusWidget() != ok);
    for (int i = 0; i < 6 && QApplication::focusWidget() != ok; ++i)
        press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ok);
    done.clear();
    press(Qt::Key_Return);
    QVERIFY(finished(done, ConfigSession::Operation::Write));
    QCOMPARE(s.status(), Look::writeOk());
    QTRY_COMPARE_WITH_TIMEOUT(s.stored(), edited, SimSession::WaitMs);

    // Ctrl+S saves what the cards show.
    QVERIFY(activate(window));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.tovrin.json"));
    {
        FileAnswer answer(path);
        press(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(answer.shown, 1);
    }
    QVERIFY(QFile::exists(path));

    // Another step on the card, then Ctrl+O puts the file back on it.
    QVERIFY(activate(window));
    QVERIFY(tabTo(baud));
    press(Qt::Key_Down);
    QVERIFY(s.cardRecords() != edited);
    {
        FileAnswer answer(path);
        press(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(answer.shown, 1);
    }
    QCOMPARE(s.cardRecords(), edited);

    // Enter on the focused read button reads, as Space does.
    QVERIFY(activate(window));
    QVERIFY(tabTo(child<QPushButton>(window, "cbAllDownload")));
    done.clear();
    press(Qt::Key_Return);
    QVERIFY(finished(done, ConfigSession::Operation::Read));
    QCOMPARE(s.status(), Look::readOk());
    QCOMPARE(s.cardRecords(), edited);

    QCOMPARE(mouse.count, 0);
}

QTEST_MAIN(TestKeyboardJob)
#include "tst_keyboardjob.moc"
