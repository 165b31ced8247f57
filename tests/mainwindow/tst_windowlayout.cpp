// The window as a user sees it in the language the program starts in (LANG
// set by CTest), in both module modes, with the texts as built and with the
// longest texts every list offers: nothing of a card, of the tool row or of
// the bottom bar lies outside its parent or over a sibling; six cards fit
// above the buttons; every card's columns sit where every other card's do;
// a text that does not fit is cut and whole in its tooltip, and nothing else
// is cut; a long status text moves no other control.
#include "boxwatcher.h"
#include "elidingcheckbox.h"
#include "elidinglabel.h"
#include "listwidth.h"
#include "mainwidget.h"
#include "portconfig.h"
#include "pxcombobox.h"
#include "startup.h"
#include "windowlookup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusFrame>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QtTest>

namespace
{

QString describe(const QWidget *w)
{
    return QStringLiteral("%1 (%2,%3 %4x%5)")
        .arg(w->objectName())
        .arg(w->x())
        .arg(w->y())
        .arg(w->width())
        .arg(w->height());
}

// The visible widgets laid out in parent: none reaches outside it, none
// covers another.
void checkChildren(QWidget *parent)
{
    QList<QWidget *> shown;
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->isWindow() || !w->isVisible() || qobject_cast<QFocusFrame *>(w))
            continue;
        shown.append(w);
    }
    for (int i = 0; i < shown.size(); ++i) {
        const QString where = describe(shown.at(i)) + QStringLiteral(" in ") + describe(parent);
        QVERIFY2(parent->rect().contains(shown.at(i)->geometry()), qPrintable(where));
        for (int j = i + 1; j < shown.size(); ++j)
            QVERIFY2(!shown.at(i)->geometry().intersects(shown.at(j)->geometry()),
                     qPrintable(where + QStringLiteral(" covers ") + describe(shown.at(j))));
    }
}

// Every visible text of the window is shown whole, or cut by a control that
// cuts and then shows it whole in its tooltip.
void checkTexts(QWidget *window)
{
    int cut = 0;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisible())
            continue;
        const QString name = describe(w);
        if (auto *label = qobject_cast<ElidingLabel *>(w)) {
            label->grab(); // the tooltip follows a text set through QLabel at the next paint
            if (label->isElided()) {
                ++cut;
                QCOMPARE(label->toolTip(), label->text());
            }
        } else if (auto *box = qobject_cast<ElidingCheckBox *>(w)) {
            if (box->isElided()) {
                ++cut;
                QCOMPARE(box->toolTip(), box->text());
            }
        } else if (auto *list = dynamic_cast<PxComBoBox *>(w)) {
            if (list->isElided()) {
                ++cut;
                QCOMPARE(list->toolTip(), list->currentText());
            } else {
                QVERIFY2(list->toolTip().isEmpty(), qPrintable(name));
            }
        } else if (auto *list = qobject_cast<QComboBox *>(w)) {
            QVERIFY2(list->width() >= listWidthFor(list, list->currentText()),
                     qPrintable(name + list->currentText()));
        } else if (auto *label = qobject_cast<QLabel *>(w)) {
            if (label->text().isEmpty() || label->textFormat() == Qt::RichText)
                continue;
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <=
                         label->contentsRect().width(),
                     qPrintable(name + label->text()));
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            if (button->text().isEmpty())
                continue;
            QVERIFY2(button->width() >= button->sizeHint().width(),
                     qPrintable(name + button->text()));
        }
    }
    Q_UNUSED(cut)
}

// The widgets of the tool row and the bottom bar, by name, with their places.
QMap<QString, QRect> barGeometries(QWidget *window)
{
    QMap<QString, QRect> places;
    for (const char *parent : {"widget_Centor", "widget_Bottom"}) {
        for (QObject *o : child<QWidget>(window, parent)->children()) {
            auto *w = qobject_cast<QWidget *>(o);
            if (w && !w->isWindow() && !qobject_cast<QFocusFrame *>(w) &&
                !w->objectName().isEmpty())
                places.insert(w->objectName(), w->geometry());
        }
    }
    return places;
}

} // namespace

class TestWindowLayout : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void layout_data();
    void layout();
};

void TestWindowLayout::initTestCase()
{
    QVERIFY(initLanguage(QStringLiteral(TOVRIN_BIN_DIR)));
    // A device name longer than the port list is wide.
    MainWidget::setExtraSerialPorts(
        {QStringLiteral("/dev/serial/by-id/usb-Tovrin_Engine_Module_0123456789-if00-port0")});
}

void TestWindowLayout::layout_data()
{
    QTest::addColumn<bool>("r7");
    QTest::addColumn<bool>("longest"); // every list of every card at its longest item
    QTest::addColumn<bool>("viaFc");   // both route boxes shown
    QTest::newRow("Tovrin, as built") << false << false << false;
    QTest::newRow("R7, as built") << true << false << false;
    QTest::newRow("Tovrin, longest texts") << false << true << false;
    QTest::newRow("R7, longest texts") << true << true << false;
    QTest::newRow("R7, longest texts, both route boxes") << true << true << true;
}

void TestWindowLayout::layout()
{
    QFETCH(bool, r7);
    QFETCH(bool, longest);
    QFETCH(bool, viaFc);

    BoxWatcher boxes;
    MainWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(1028, 720));
    if (r7)
        child<QRadioButton>(&window, "rb_R7FuncMode")->click();
    if (viaFc)
        child<QCheckBox>(&window, "chb_ConfigByFCS")->click();
    const int count = WindowLookup::portCount(&window);
    QCOMPARE(count, r7 ? 6 : 5);
    if (longest) {
        for (int i = 0; i < count; ++i) {
            for (QComboBox *list : WindowLookup::card(&window, i)->findChildren<QComboBox *>()) {
                int widest = 0;
                for (int item = 1; item < list->count(); ++item) {
                    if (list->fontMetrics().horizontalAdvance(list->itemText(item)) >
                        list->fontMetrics().horizontalAdvance(list->itemText(widest)))
                        widest = item;
                }
                list->setCurrentIndex(widest);
            }
        }
    }
    QCoreApplication::processEvents();

    checkChildren(child<QWidget>(&window, "widget_Centor"));
    checkChildren(child<QWidget>(&window, "widget_Bottom"));
    checkChildren(child<QWidget>(&window, "widget"));
    // The cards, whole, above the buttons.
    auto *read = child<QPushButton>(&window, "cbAllDownload");
    const int buttonsTop = read->mapTo(&window, QPoint()).y();
    for (int i = 0; i < count; ++i) {
        PortConfig *card = WindowLookup::card(&window, i);
        QVERIFY2(card->height() >= card->minimumSizeHint().height(),
                 qPrintable(describe(card) +
                            QStringLiteral(" needs %1").arg(card->minimumSizeHint().height())));
        checkChildren(card->parentWidget());
        checkChildren(card);
        auto *group = child<QWidget>(card, "gpbPort");
        checkChildren(group);
        checkChildren(child<QStackedWidget>(card, "stackedWidget")->currentWidget());
        QVERIFY2(group->mapTo(&window, QPoint(0, group->height())).y() <= buttonsTop,
                 qPrintable(describe(card)));
    }

    // Columns: each control where the first card that shows it has it.
    QMap<QString, QRect> first;
    const char *columns[] = {
        "stackedWidget", "label_10", "cmbUartBaudrate", "label_33", "cmbStopBit",     "label_11",
        "cmbDataBit",    "label_36", "cmbParity",       "label_12", "cmbCanBaudrate", "label_37",
        "cmbLevelSec",   "label_13", "cmbRxProtocol",   "label_14", "cmbTxProtocol"};
    for (int i = 0; i < count; ++i) {
        PortConfig *card = WindowLookup::card(&window, i);
        for (const char *name : columns) {
            auto *w = child<QWidget>(card, name);
            if (!w->isVisible())
                continue;
            const QRect place(w->mapTo(card, QPoint()), w->size());
            const QString key = QString::fromLatin1(name);
            if (!first.contains(key)) {
                first.insert(key, place);
                continue;
            }
            const QString what = QStringLiteral("card %1 %2").arg(i + 1).arg(key);
            QVERIFY2(place.x() == first.value(key).x(), qPrintable(what));
            QVERIFY2(place.width() == first.value(key).width(), qPrintable(what));
        }
    }
    // The CAN rate sits where the UART rate does.
    if (first.contains(QStringLiteral("cmbCanBaudrate")))
        QCOMPARE(first.value(QStringLiteral("cmbCanBaudrate")).x(),
                 first.value(QStringLiteral("cmbUartBaudrate")).x());
    // "电平" / "Level" beside its box, on its line.
    if (first.contains(QStringLiteral("label_37"))) {
        const QRect label = first.value(QStringLiteral("label_37"));
        const QRect box = first.value(QStringLiteral("cmbLevelSec"));
        QVERIFY(label.right() < box.left());
        QVERIFY(qAbs(label.center().y() - box.center().y()) <= 2);
    }

    checkTexts(&window);
    auto *port = dynamic_cast<PxComBoBox *>(child<QComboBox>(&window, "cbSerial"));
    QVERIFY(port);
    QVERIFY(port->currentText().endsWith(QLatin1String("port0")));
    QVERIFY(port->isElided());

    // A long status is cut in a place of its own; nothing else moves.
    const QMap<QString, QRect> before = barGeometries(&window);
    QLabel *status = child<QLabel>(&window, "lblStatus");
    const QString longStatus = QStringLiteral("%1 %2").arg(
        window.tr("配置已保存到 %1")
            .arg(QStringLiteral("airframe-12-before-the-flight-test.tovrin.json")),
        QString(80, QLatin1Char('x')));
    status->setText(longStatus);
    QCoreApplication::processEvents();
    QCOMPARE(barGeometries(&window), before);
    checkTexts(&window);
    QCOMPARE(status->toolTip(), longStatus);
    status->setText(QStringLiteral("OK"));
    status->grab();
    QVERIFY(status->toolTip().isEmpty());
}

QTEST_MAIN(TestWindowLayout)
#include "tst_windowlayout.moc"
