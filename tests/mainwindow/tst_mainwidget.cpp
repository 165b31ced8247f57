// The main window's controller: start state, module-mode buttons, transport
// choice, the information panel and window dragging.
#include "mainwidget.h"
#include "portconfig.h"
#include "windowlookup.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QtTest>

Q_DECLARE_METATYPE(ModuleModel)

class TestMainWidget : public QObject
{
    Q_OBJECT
private slots:
    void startState();
    void modeButtons_data();
    void modeButtons();
    void transportChoice();
    void informationPanel();
    void dragging_data();
    void dragging();

private:
    QRadioButton *radio(MainWidget &w, const char *name)
    {
        return w.findChild<QRadioButton *>(QLatin1String(name));
    }
};

void TestMainWidget::startState()
{
    MainWidget w;
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(w.findChild<QLabel *>("labVersion")->text(), QStringLiteral("V1.1.60"));
    QCOMPARE(w.findChild<QLabel *>("lblStatus")->text(), QString());
    auto *version = w.findChild<QPushButton *>("tbtnVersion");
    QCOMPARE(version->text(), QString());
    QVERIFY(version->isFlat());
    QVERIFY(!version->toolTip().isEmpty());
    // The form starts with the same closed look the open button returns to.
    QCOMPARE(w.findChild<QPushButton *>("btnOpenSerialPort")->styleSheet(),
             QStringLiteral(
                 "QPushButton{border-image: url(:/image/resource/on-load-normal.png);}\n"
                 "QPushButton:hover{border-image: url(:/image/resource/on-load-hover.png);}\n"
                 "QPushButton:pressed{border-image: url(:/image/resource/on-load-select.png);}"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(!w.findChild<QCheckBox *>("chb_DLSpace")->isVisible());
    QVERIFY(w.findChild<QCheckBox *>("chb_ConfigByFCS")->isVisible());
    QVERIFY(radio(w, "rb_TovrinMode")->isChecked());
    QVERIFY(!radio(w, "rb_R7FuncMode")->isChecked());
    QVERIFY(!WindowLookup::linkOpen(&w));
    QCOMPARE(WindowLookup::session(&w)->route(), ConfigSession::Route::Direct);
    QCOMPARE(WindowLookup::model(&w), ModuleModel::Tovrin);
    QCOMPARE(WindowLookup::panel(&w)->model(), ModuleModel::Tovrin);
    QCOMPARE(WindowLookup::portCount(&w), 5);
    for (int i = 0; i < 5; ++i)
        QVERIFY(WindowLookup::card(&w, i) != nullptr);
    // The serial port list is the route the boxes show.
    QVERIFY(w.findChild<QWidget *>("cbSerial")->isEnabled());
    QVERIFY(w.findChild<QPushButton *>("btnSearchSerialPort")->isEnabled());
}

void TestMainWidget::modeButtons_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<ModuleModel>("mode");
    QTest::addColumn<int>("ports");
    QTest::addColumn<bool>("panelRebuilt");

    QTest::newRow("Tovrin while in Tovrin")
        << QStringList{"rb_TovrinMode"} << ModuleModel::Tovrin << 5 << false;
    QTest::newRow("to R7") << QStringList{"rb_R7FuncMode"} << ModuleModel::R7 << 6 << true;
    QTest::newRow("R7 while in R7")
        << QStringList{"rb_R7FuncMode", "rb_R7FuncMode"} << ModuleModel::R7 << 6 << true;
    QTest::newRow("to R7 and back")
        << QStringList{"rb_R7FuncMode", "rb_TovrinMode"} << ModuleModel::Tovrin << 5 << true;
}

void TestMainWidget::modeButtons()
{
    QFETCH(QStringList, clicks);
    QFETCH(ModuleModel, mode);
    QFETCH(int, ports);
    QFETCH(bool, panelRebuilt);

    MainWidget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QPointer<PortConfig> firstCard = WindowLookup::card(&w, 0);
    auto *dlSpace = w.findChild<QCheckBox *>("chb_DLSpace");
    dlSpace->setChecked(true);

    for (const QString &name : clicks)
        QTest::mouseClick(w.findChild<QRadioButton *>(name), Qt::LeftButton);

    QCOMPARE(WindowLookup::model(&w), mode);
    QCOMPARE(WindowLookup::panel(&w)->model(), mode);
    QCOMPARE(WindowLookup::portCount(&w), ports);
    QCOMPARE(radio(w, "rb_TovrinMode")->isChecked(), mode == ModuleModel::Tovrin);
    QCOMPARE(radio(w, "rb_R7FuncMode")->isChecked(), mode == ModuleModel::R7);
    // A rebuild frees the old cards.
    QCOMPARE(WindowLookup::card(&w, 0) != firstCard, panelRebuilt);
    QCOMPARE(firstCard.isNull(), panelRebuilt);
    QCOMPARE(w.findChild<QWidget *>("wdgPort6")->isVisible(), mode == ModuleModel::R7);
    // A click on the Tovrin button always clears the ground-station tick;
    // the R7 button leaves it alone.
    QCOMPARE(dlSpace->isChecked(), clicks.last() != QLatin1String("rb_TovrinMode"));
    // Pass-through is off, so the route shown is the serial port, whatever
    // the hidden ground-station tick says.
    QVERIFY(w.findChild<QWidget *>("cbSerial")->isEnabled());
    QVERIFY(w.findChild<QPushButton *>("btnSearchSerialPort")->isEnabled());
}

void TestMainWidget::transportChoice()
{
    MainWidget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *fcs = w.findChild<QCheckBox *>("chb_ConfigByFCS");
    auto *dlSpace = w.findChild<QCheckBox *>("chb_DLSpace");
    auto *search = w.findChild<QPushButton *>("btnSearchSerialPort");
    auto *serial = w.findChild<QWidget *>("cbSerial");

    QTest::mouseClick(fcs, Qt::LeftButton);
    QVERIFY(dlSpace->isVisible());
    QVERIFY(search->isEnabled());
    QVERIFY(serial->isEnabled());

    QTest::mouseClick(dlSpace, Qt::LeftButton);
    QVERIFY(!search->isEnabled());
    QVERIFY(!serial->isEnabled());

    QTest::mouseClick(fcs, Qt::LeftButton); // untick
    QVERIFY(!dlSpace->isVisible());
    QVERIFY(search->isEnabled());
    QVERIFY(serial->isEnabled());
    // Nothing is opened by choosing; the route taken on opening is tested
    // in tst_routechoice.
    QVERIFY(!WindowLookup::linkOpen(&w));
}

void TestMainWidget::informationPanel()
{
    MainWidget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *picture = w.findChild<QLabel *>("LabCentorPicture");
    auto *text = w.findChild<QTextEdit *>("textCentorMsg");
    const QString help = QStringLiteral("第一行\n第二行");
    // No translation is installed: the pictures of the forms' own language.
    const QImage expected(QCoreApplication::applicationDirPath()
                          + QStringLiteral("/resources/images/不启用-zh_CN.png"));
    QVERIFY(!expected.isNull());

    w.sltAccept(3, 1, help, QStringLiteral("不启用"));
    QCOMPARE(picture->pixmap(Qt::ReturnByValue).toImage().convertToFormat(QImage::Format_ARGB32),
             expected.convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(text->toPlainText(), help);

    text->clear();
    picture->clear();
    w.sltSend(4, 2, help, QStringLiteral("不启用"));
    QCOMPARE(picture->pixmap(Qt::ReturnByValue).toImage().convertToFormat(QImage::Format_ARGB32),
             expected.convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(text->toPlainText(), help);

    // An entry without a picture leaves the panel empty.
    w.sltSend(4, 2, help, QStringLiteral("ABC"));
    QVERIFY(picture->pixmap(Qt::ReturnByValue).isNull());
}

void TestMainWidget::dragging_data()
{
    QTest::addColumn<int>("buttonValue");
    QTest::addColumn<bool>("moves");
    QTest::newRow("left button drags") << int(Qt::LeftButton) << true;
    QTest::newRow("right button does not") << int(Qt::RightButton) << false;
}

void TestMainWidget::dragging()
{
    QFETCH(int, buttonValue);
    const auto button = static_cast<Qt::MouseButton>(buttonValue);
    QFETCH(bool, moves);

    MainWidget w;
    w.move(100, 100);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QPoint start = w.pos();
    const QPoint grab(300, 10);

    // Global positions are taken from the event, so a fixed offset suffices.
    QMouseEvent press(QEvent::MouseButtonPress, grab, start + grab, button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &press);
    QMouseEvent move(QEvent::MouseMove, grab, start + grab + QPoint(40, 25), Qt::NoButton, button,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &move);
    QCOMPARE(w.pos(), moves ? start + QPoint(40, 25) : start);

    QMouseEvent release(QEvent::MouseButtonRelease, grab, start + grab, button, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &release);
    const QPoint afterRelease = w.pos();
    QMouseEvent moveAgain(QEvent::MouseMove, grab, start + grab + QPoint(90, 90), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &moveAgain);
    QCOMPARE(w.pos(), afterRelease);
}

QTEST_MAIN(TestMainWidget)
#include "tst_mainwidget.moc"
