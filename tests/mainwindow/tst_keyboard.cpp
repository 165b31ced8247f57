// The window's keys without a link: every action's key named in its button's
// tooltip and pressing that button, Enter on a focused button, the Tab order
// in reading order in both module modes, and the focus ring around the
// control that has the focus.
#include "boxwatcher.h"
#include "filechooser.h"
#include "mainwidget.h"
#include "portconfig.h"
#include "windowlookup.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFocusFrame>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QtTest>

namespace
{

// The key of a one-key sequence, pressed on target.
void press(QWidget *target, const QKeySequence &key)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const QKeyCombination combination = key[0];
    QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
#else
    QTest::keyClick(target, Qt::Key(key[0] & ~Qt::KeyboardModifierMask),
                    Qt::KeyboardModifiers(key[0] & Qt::KeyboardModifierMask));
#endif
}

bool tabStop(const QWidget *w)
{
    return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
           !qobject_cast<const QFocusFrame *>(w);
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void keyPressesItsButton_data();
    void keyPressesItsButton();
    void enterPressesFocusedButton();
    void tabFollowsReadingOrder_data();
    void tabFollowsReadingOrder();
    void focusRingSurroundsFocus();

private:
    std::unique_ptr<BoxWatcher> boxes;
    std::unique_ptr<MainWidget> window;
};

void TestKeyboard::init()
{
    // No device: a search or an open finds nothing to open.
    MainWidget::setExtraSerialPorts({});
    boxes = std::make_unique<BoxWatcher>();
    window = std::make_unique<MainWidget>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void TestKeyboard::cleanup()
{
    window.reset();
    boxes.reset();
}

void TestKeyboard::keyPressesItsButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QString>("named"); // as the tooltip names it
    QTest::newRow("read") << "cbAllDownload" << QKeySequence(Qt::CTRL | Qt::Key_R) << "Ctrl+R";
    QTest::newRow("write") << "cbAllSet" << QKeySequence(Qt::CTRL | Qt::Key_Return) << "Ctrl+Enter";
    QTest::newRow("write, keypad Enter")
        << "cbAllSet" << QKeySequence(Qt::CTRL | Qt::Key_Enter) << "Ctrl+Enter";
    QTest::newRow("save") << "btnSaveConfig" << QKeySequence(Qt::CTRL | Qt::Key_S) << "Ctrl+S";
    QTest::newRow("load") << "btnLoadConfig" << QKeySequence(Qt::CTRL | Qt::Key_O) << "Ctrl+O";
    QTest::newRow("link") << "btnOpenSerialPort" << QKeySequence(Qt::CTRL | Qt::Key_L) << "Ctrl+L";
    QTest::newRow("port list") << "btnSearchSerialPort" << QKeySequence(Qt::Key_F5) << "F5";
}

void TestKeyboard::keyPressesItsButton()
{
    QFETCH(QString, button);
    QFETCH(QKeySequence, key);
    QFETCH(QString, named);

    auto *target = child<QPushButton>(window.get(), qPrintable(button));
    QVERIFY2(target->toolTip().contains(named), qPrintable(target->toolTip()));
    QVERIFY(target->toolTip().size() > named.size() + 4);

    // A file dialog the key opens is cancelled.
    QObject answer;
    connect(FileChooser::instance(), &FileChooser::aboutToShow, &answer,
            [](QFileDialog *dialog) { QTimer::singleShot(0, dialog, &QDialog::reject); });
    QSignalSpy clicked(target, &QPushButton::clicked);
    press(window.get(), key);
    QCOMPARE(clicked.count(), 1);
    // A disabled button's key does nothing.
    target->setEnabled(false);
    press(window.get(), key);
    QCOMPARE(clicked.count(), 1);
}

void TestKeyboard::enterPressesFocusedButton()
{
    auto *read = child<QPushButton>(window.get(), "cbAllDownload");
    auto *viaFc = child<QCheckBox>(window.get(), "chb_ConfigByFCS");
    QSignalSpy clicked(read, &QPushButton::clicked);
    read->setFocus(Qt::TabFocusReason);
    QTest::keyClick(read, Qt::Key_Return);
    QTest::keyClick(read, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(read, Qt::Key_Space);
    QCOMPARE(clicked.count(), 3);
    // Enter on a check box ticks it, as Space does, and shows the next box.
    viaFc->setFocus(Qt::TabFocusReason);
    QTest::keyClick(viaFc, Qt::Key_Return);
    QVERIFY(viaFc->isChecked());
    QVERIFY(child<QCheckBox>(window.get(), "chb_DLSpace")->isVisible());
    // And on a card's kind choice, also after the panel was rebuilt.
    child<QRadioButton>(window.get(), "rb_R7FuncMode")->click();
    QCOMPARE(WindowLookup::portCount(window.get()), 6);
    auto *uart = child<QRadioButton>(WindowLookup::card(window.get(), 0), "rdbUart");
    QSignalSpy chosen(uart, &QRadioButton::clicked);
    uart->setFocus(Qt::TabFocusReason);
    QTest::keyClick(uart, Qt::Key_Return);
    QCOMPARE(chosen.count(), 1);
}

void TestKeyboard::tabFollowsReadingOrder_data()
{
    QTest::addColumn<bool>("r7");
    QTest::newRow("Tovrin") << false;
    QTest::newRow("R7-Eda") << true;
}

void TestKeyboard::tabFollowsReadingOrder()
{
    QFETCH(bool, r7);
    if (r7)
        child<QRadioButton>(window.get(), "rb_R7FuncMode")->click();
    child<QCheckBox>(window.get(), "chb_ConfigByFCS")->click();
    QWidget *start = child<QWidget>(window.get(), "btnSearchSerialPort");
    start->setFocus(Qt::TabFocusReason);
    QList<QWidget *> visited{start};
    for (int i = 0; i < 200; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == start)
            break;
        visited.append(QApplication::focusWidget());
    }
    QCOMPARE(QApplication::focusWidget(), start);

    // Every control a user can reach, once each.
    QList<QWidget *> reachable;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (tabStop(w))
            reachable.append(w);
    }
    for (QWidget *w : qAsConst(reachable))
        QVERIFY2(visited.count(w) == 1, qPrintable(w->objectName()));
    QCOMPARE(visited.size(), reachable.size());

    // In reading order.
    const auto at = [&visited](QWidget *w) { return visited.indexOf(w); };
    const auto named = [this](const char *name) { return child<QWidget>(window.get(), name); };
    // The two modes are one stop, on the mode chosen; the arrow keys move
    // between them.
    QWidget *mode = named(r7 ? "rb_R7FuncMode" : "rb_TovrinMode");
    QCOMPARE(visited.count(named(r7 ? "rb_TovrinMode" : "rb_R7FuncMode")), 0);
    QList<int> order = {
        at(named("btnSearchSerialPort")), at(named("cbSerial")),    at(mode),
        at(named("chb_ConfigByFCS")),     at(named("chb_DLSpace")), at(named("btnOpenSerialPort"))};
    for (int i = 0; i < WindowLookup::portCount(window.get()); ++i) {
        int first = visited.size(), last = -1;
        for (int v = 0; v < visited.size(); ++v) {
            if (WindowLookup::card(window.get(), i)->isAncestorOf(visited.at(v))) {
                first = qMin(first, v);
                last = qMax(last, v);
            }
        }
        QVERIFY(last >= first);
        // A card's controls come together.
        QCOMPARE(last - first + 1,
                 int(std::count_if(visited.begin(), visited.end(), [&](QWidget *w) {
                     return WindowLookup::card(window.get(), i)->isAncestorOf(w);
                 })));
        order << first << last;
    }
    order << at(named("cbAllDownload")) << at(named("cbAllSet")) << at(named("btnSaveConfig"))
          << at(named("btnLoadConfig")) << at(named("textCentorMsg"));
    QStringList names;
    for (QWidget *w : qAsConst(visited))
        names << w->objectName();
    QVERIFY(order.first() >= 0);
    for (int i = 1; i < order.size(); ++i)
        QVERIFY2(order.at(i - 1) < order.at(i), qPrintable(names.join(QLatin1Char(' '))));
}

void TestKeyboard::focusRingSurroundsFocus()
{
    // The job starts at the port list.
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(window.get(), "cbSerial"));

    for (const char *name : {"cbAllSet", "cbSerial", "chb_ConfigByFCS", "btnOpenSerialPort"}) {
        QWidget *w = child<QWidget>(window.get(), name);
        w->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), w);
        auto *ring = window->findChild<QFocusFrame *>(QStringLiteral("focusRing"));
        QVERIFY(ring);
        QTRY_VERIFY(ring->isVisible());
        QCOMPARE(ring->parentWidget(), w->parentWidget());
        QVERIFY2(ring->geometry().contains(w->geometry()) && ring->geometry() != w->geometry(),
                 name);
    }
    // Into a card, which the panel replaces on a mode change: the ring follows.
    child<QRadioButton>(window.get(), "rb_R7FuncMode")->click();
    QWidget *list =
        WindowLookup::card(window.get(), 5)->findChild<QWidget *>(QStringLiteral("cmbRxProtocol"));
    list->setFocus(Qt::TabFocusReason);
    child<QRadioButton>(window.get(), "rb_TovrinMode")->click();
    child<QRadioButton>(window.get(), "rb_TovrinMode")->setFocus(Qt::TabFocusReason);
    auto *ring = window->findChild<QFocusFrame *>(QStringLiteral("focusRing"));
    QVERIFY(ring);
    QTRY_VERIFY(ring->isVisible());

    // The confirmation has a ring of its own; the window's hides meanwhile.
    MessageForm *dialog = WindowLookup::dialog(window.get());
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTRY_COMPARE(QApplication::activeWindow(), dialog);
    auto *cancel = child<QWidget>(dialog, "btnCancle");
    cancel->setFocus(Qt::TabFocusReason);
    QFocusFrame *dialogRing = nullptr;
    for (QFocusFrame *frame : dialog->findChildren<QFocusFrame *>()) {
        if (frame->window() == dialog)
            dialogRing = frame;
    }
    QVERIFY(dialogRing);
    QTRY_VERIFY(dialogRing->isVisible());
    QVERIFY(dialogRing->geometry().contains(cancel->geometry()));
    QTRY_VERIFY(!ring->isVisible());
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
