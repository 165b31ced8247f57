// The write confirmation dialog: its buttons, its frameless dragging and its texts.
#include "messageform.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

namespace
{

void sendMouse(QWidget *w, QEvent::Type type, const QPoint &global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, w->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace

Q_DECLARE_METATYPE(Qt::MouseButton)

class TestMessageForm : public QObject
{
    Q_OBJECT

private slots:
    void okEmitsOnceAndHides();
    void dismissHidesSilently_data();
    void dismissHidesSilently();
    void modalToItsWindowAndFrameless();
    void keys_data();
    void keys();
    void drag_data();
    void drag();
    void moveAfterReleaseDoesNothing();
    void formTexts_data();
    void formTexts();
    void changeListFits_data();
    void changeListFits();
};

void TestMessageForm::okEmitsOnceAndHides()
{
    MessageForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 5000));
    QSignalSpy ok(&form, &MessageForm::sglOK);

    auto *btnOk = form.findChild<QPushButton *>(QStringLiteral("btnOk"));
    QVERIFY(btnOk);
    QTest::mouseClick(btnOk, Qt::LeftButton);

    QCOMPARE(ok.count(), 1);
    QVERIFY(!form.isVisible());

    // Shown again and confirmed again: one more emission, not two.
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 5000));
    QTest::mouseClick(btnOk, Qt::LeftButton);
    QCOMPARE(ok.count(), 2);
    QVERIFY(!form.isVisible());
}

void TestMessageForm::dismissHidesSilently_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("cancel") << QStringLiteral("btnCancle");
    QTest::newRow("close") << QStringLiteral("btnClose");
}

void TestMessageForm::dismissHidesSilently()
{
    QFETCH(QString, button);
    MessageForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 5000));
    QSignalSpy ok(&form, &MessageForm::sglOK);

    auto *b = form.findChild<QPushButton *>(button);
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);

    QVERIFY(!form.isVisible());
    QCOMPARE(ok.count(), 0);
}

// Modal to the window it belongs to (the cards there cannot change under an
// open question), over that window's middle; with no window, modal to none.
void TestMessageForm::modalToItsWindowAndFrameless()
{
    QWidget owner;
    owner.setGeometry(130, 90, 900, 600);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner, 5000));
    auto *form = new MessageForm(&owner);
    QVERIFY(form->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(form->isWindow());
    QCOMPARE(form->windowModality(), Qt::WindowModal);
    form->setChanges({QStringLiteral("Uart3 波特率: 4800 → 9600")});
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form, 5000));
    QCOMPARE(QApplication::activeModalWidget(), form);
    QVERIFY((form->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength() <=
            2);
    // Moved away and asked again: back over the middle.
    form->close();
    form->move(0, 0);
    form->show();
    QVERIFY((form->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength() <=
            2);
    form->close();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

// Focus starts on "取消" (never on the close cross); Esc answers "取消", Enter
// and Return the focused button.
void TestMessageForm::keys_data()
{
    QTest::addColumn<QString>("focus"); // moved there first; empty: as opened
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("confirmed");

    QTest::newRow("Return as opened") << QString() << int(Qt::Key_Return) << false;
    QTest::newRow("Enter as opened") << QString() << int(Qt::Key_Enter) << false;
    QTest::newRow("Esc as opened") << QString() << int(Qt::Key_Escape) << false;
    QTest::newRow("Return on OK") << QStringLiteral("btnOk") << int(Qt::Key_Return) << true;
    QTest::newRow("Enter on OK") << QStringLiteral("btnOk") << int(Qt::Key_Enter) << true;
    QTest::newRow("Esc on OK") << QStringLiteral("btnOk") << int(Qt::Key_Escape) << false;
}

void TestMessageForm::keys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(bool, confirmed);

    MessageForm form;
    QCOMPARE(form.findChild<QPushButton *>(QStringLiteral("btnClose"))->focusPolicy(), Qt::NoFocus);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form, 5000));
    QCOMPARE(QApplication::focusWidget(), form.findChild<QWidget *>(QStringLiteral("btnCancle")));
    if (!focus.isEmpty())
        form.findChild<QWidget *>(focus)->setFocus();
    QSignalSpy ok(&form, &MessageForm::sglOK);

    // Through the window, as the keyboard's keys come.
    QTest::keyClick(form.windowHandle(), Qt::Key(key));

    QCOMPARE(ok.count(), confirmed ? 1 : 0);
    QVERIFY(!form.isVisible());
}

void TestMessageForm::drag_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("grab");  // where the window is grabbed, in its coordinates
    QTest::addColumn<QPoint>("delta"); // how far the pointer moves
    QTest::addColumn<bool>("moves");

    QTest::newRow("left drag") << Qt::LeftButton << QPoint(60, 12) << QPoint(37, 23) << true;
    QTest::newRow("left drag up-left")
        << Qt::LeftButton << QPoint(300, 140) << QPoint(-41, -17) << true;
    QTest::newRow("right button") << Qt::RightButton << QPoint(60, 12) << QPoint(37, 23) << false;
    QTest::newRow("middle button") << Qt::MiddleButton << QPoint(60, 12) << QPoint(37, 23) << false;
}

void TestMessageForm::drag()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, grab);
    QFETCH(QPoint, delta);
    QFETCH(bool, moves);

    MessageForm form;
    form.move(200, 150);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 5000));
    const QPoint start = form.pos();
    const QPoint pressAt = form.mapToGlobal(grab);

    sendMouse(&form, QEvent::MouseButtonPress, pressAt, button, button);
    // Two steps: every move is measured from the press, not from the last move.
    sendMouse(&form, QEvent::MouseMove, pressAt + delta / 2, Qt::NoButton, button);
    sendMouse(&form, QEvent::MouseMove, pressAt + delta, Qt::NoButton, button);

    if (moves) {
        QTRY_COMPARE_WITH_TIMEOUT(form.pos(), start + delta, 5000);
        // The grabbed point is still under the pointer.
        QTRY_COMPARE_WITH_TIMEOUT(form.mapToGlobal(grab), pressAt + delta, 5000);
    } else {
        QCoreApplication::processEvents();
        QCOMPARE(form.pos(), start);
    }
    sendMouse(&form, QEvent::MouseButtonRelease, pressAt + delta, button, Qt::NoButton);
}

void TestMessageForm::moveAfterReleaseDoesNothing()
{
    MessageForm form;
    form.move(220, 160);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 5000));
    const QPoint pressAt = form.mapToGlobal(QPoint(40, 10));

    sendMouse(&form, QEvent::MouseButtonPress, pressAt, Qt::LeftButton, Qt::LeftButton);
    sendMouse(&form, QEvent::MouseMove, pressAt + QPoint(10, 5), Qt::NoButton, Qt::LeftButton);
    sendMouse(&form, QEvent::MouseButtonRelease, pressAt + QPoint(10, 5), Qt::LeftButton,
              Qt::NoButton);
    QTRY_COMPARE_WITH_TIMEOUT(form.pos(), QPoint(230, 165), 5000);

    sendMouse(&form, QEvent::MouseMove, pressAt + QPoint(80, 60), Qt::NoButton, Qt::NoButton);
    QCoreApplication::processEvents();
    QCOMPARE(form.pos(), QPoint(230, 165));
}

void TestMessageForm::formTexts_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("text");
    QTest::newRow("title") << QStringLiteral("label") << QStringLiteral("确认");
    QTest::newRow("question key") << QStringLiteral("label_5")
                                  << QStringLiteral("MsgConfirmRebootEffective");
    QTest::newRow("ok") << QStringLiteral("btnOk") << QStringLiteral("确认");
    QTest::newRow("cancel") << QStringLiteral("btnCancle") << QStringLiteral("取消");
    QTest::newRow("close") << QStringLiteral("btnClose") << QString();
}

void TestMessageForm::formTexts()
{
    QFETCH(QString, object);
    QFETCH(QString, text);
    MessageForm form;
    QCOMPARE(form.objectName(), QStringLiteral("MessageForm"));
    QCOMPARE(form.size(), QSize(344, 166));
    QObject *child = form.findChild<QObject *>(object);
    QVERIFY2(child, qPrintable(object));
    QCOMPARE(child->property("text").toString(), text);
}

// The change list sits below the question and buttons; the window grows to
// show every line, keeps its width unless a line needs more, and scrolls
// past a height limit.
void TestMessageForm::changeListFits_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("wider");
    QTest::addColumn<bool>("scrolls");
    const QString shortLine = QStringLiteral("Uart3 波特率: 4800 → 9600");
    QTest::newRow("one short line") << QStringList{shortLine} << false << false;
    QTest::newRow("a long line")
        << QStringList{shortLine, QStringLiteral("Uart2 接收功能: 南京大疆精灵标准吊舱 (0) → "
                                                 "南京大疆精灵标准吊舱 (13)")}
        << true << false;
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many.append(shortLine);
    QTest::newRow("forty lines") << many << false << true;
}

void TestMessageForm::changeListFits()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, wider);
    QFETCH(bool, scrolls);
    MessageForm form;
    form.setChanges(lines);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 5000));

    auto *text = form.findChild<QLabel *>(QStringLiteral("label_5"));
    auto *ok = form.findChild<QPushButton *>(QStringLiteral("btnOk"));
    auto *list = form.findChild<QLabel *>(QStringLiteral("lblChanges"));
    auto *area = form.findChild<QScrollArea *>(QStringLiteral("changeArea"));
    QVERIFY(text && ok && list && area);
    QCOMPARE(list->text().split(QLatin1Char('\n')), lines);
    QVERIFY(area->isVisible());
    QCOMPARE(form.width() > 344, wider);
    QVERIFY(form.height() > 166);
    // Below the question and the buttons, inside the window.
    const QRect listRect(area->mapTo(&form, QPoint()), area->size());
    QVERIFY(listRect.top() >= ok->mapTo(&form, QPoint(0, ok->height())).y());
    QVERIFY(form.rect().contains(listRect));
    QVERIFY(ok->height() >= 25 && text->isVisible());
    QCOMPARE(area->verticalScrollBar()->maximum() > 0, scrolls);
    if (!scrolls)
        QVERIFY(list->width() >= list->sizeHint().width());

    // No list: the window as drawn.
    form.setChanges({});
    QVERIFY(!area->isVisible());
    QCOMPARE(form.size(), QSize(344, 166));
}

QTEST_MAIN(TestMessageForm)
#include "tst_messageform.moc"
