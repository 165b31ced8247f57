// The port card with the shipped catalogue: defaults, user picks, restrictions
// and the conversion to and from the 11-byte port record.
#include "agreementcatalog.h"
#include "childwidget.h"
#include "portconfig.h"
#include "pxcombobox.h"
#include "userpick.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStyle>
#include <QtTest>

namespace
{
QComboBox *list(QWidget &card, const char *name)
{
    return child<QComboBox>(card, name);
}

const char *const kLists[] = {"cmbUartBaudrate", "cmbParity",    "cmbDataBit",
                              "cmbStopBit",      "cmbLevelSec",  "cmbCanBaudrate",
                              "cmbRxProtocol",   "cmbTxProtocol"};

// Everything a record can change, and what the restrictions change.
QStringList snapshot(PortConfig &card)
{
    QStringList state;
    for (const char *name : {"rdbUart", "rdbCan"}) {
        auto *radio = child<QRadioButton>(card, name);
        state << QStringLiteral("%1 checked=%2 shown=%3")
                     .arg(QLatin1String(name))
                     .arg(radio->isChecked())
                     .arg(radio->isVisibleTo(&card));
    }
    state << QStringLiteral("page=%1").arg(
        child<QStackedWidget>(card, "stackedWidget")->currentIndex());
    for (const char *name : kLists) {
        QComboBox *combo = list(card, name);
        state << QStringLiteral("%1=%2 enabled=%3 count=%4")
                     .arg(QLatin1String(name))
                     .arg(combo->currentIndex())
                     .arg(combo->isEnabled())
                     .arg(combo->count());
    }
    return state;
}

// The shipped catalogue of the system's language, as the window loads it.
const ProtocolCatalogue &shipped()
{
    static const ProtocolCatalogue catalogue = ProtocolCatalogue::load();
    return catalogue;
}

QStringList shippedKeys(bool accept)
{
    QStringList acceptList;
    QStringList sendList;
    parseAgreementFile(AgreementCatalog::defaultFolder() + QStringLiteral("/agreement_zh_CN.ini"),
                       acceptList, sendList);
    QStringList keys;
    for (const QString &entry : accept ? acceptList : sendList)
        keys << AgreementCatalog::entryKey(entry);
    return keys;
}

QStringList itemsOf(QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

void restrict(PortConfig &card, const QString &setup)
{
    if (setup == QLatin1String("uartOnly")) {
        card.setUartOnly();
    } else if (setup == QLatin1String("canOnly")) {
        card.setCanOnly();
    } else if (setup == QLatin1String("hideLevel")) {
        card.setUartOnly();
        card.hideLevel();
    } else if (setup == QLatin1String("locked")) {
        card.lockUartSettings();
        card.setUartOnly();
        card.hideLevel();
    }
}
} // namespace

class TestPortConfig : public QObject
{
    Q_OBJECT
private slots:
    void defaults();
    void radioSlots();
    void pickSendsHelpText_data();
    void pickSendsHelpText();
    void pickByKeyboardAndPopup();
    void programmaticChoicesEmitNothing();
    void idAndTitle();

    void uartOnly();
    void canOnly();
    void hideLevel();
    void lockUartSettings();

    void popupWidth();
    void popupWidthOfBareList();
    void popupWidthPerFont();

    void getPortParam_data();
    void getPortParam();
    void setPortParamApplies_data();
    void setPortParamApplies();
    void setPortParamRefuses_data();
    void setPortParamRefuses();
    void uncodableBytesArePreserved();
    void untouchedCardKeepsRecord_data();
    void untouchedCardKeepsRecord();
    void editChangesOneField_data();
    void editChangesOneField();
};

void TestPortConfig::defaults()
{
    PortConfig card(shipped());
    QCOMPARE(card.id(), 0);
    QCOMPARE(card.size(), QSize(648, 89));
    QVERIFY(child<QRadioButton>(card, "rdbUart")->isChecked());
    QVERIFY(!child<QRadioButton>(card, "rdbCan")->isChecked());
    QVERIFY(child<QRadioButton>(card, "rdbUart")->isVisibleTo(&card));
    QVERIFY(child<QRadioButton>(card, "rdbCan")->isVisibleTo(&card));
    QVERIFY(child<QComboBox>(card, "cmbLevelSec")->isVisibleTo(&card));
    QCOMPARE(child<QStackedWidget>(card, "stackedWidget")->currentIndex(), 0);
    QCOMPARE(list(card, "cmbUartBaudrate")->currentText(), QStringLiteral("57600"));
    QCOMPARE(list(card, "cmbParity")->currentText(), QStringLiteral("无"));
    QCOMPARE(list(card, "cmbDataBit")->currentText(), QStringLiteral("8"));
    QCOMPARE(list(card, "cmbStopBit")->currentText(), QStringLiteral("1"));
    QCOMPARE(list(card, "cmbLevelSec")->currentText(), QStringLiteral("232"));
    QCOMPARE(list(card, "cmbCanBaudrate")->currentText(), QStringLiteral("666.666"));

    // The protocol lists hold the catalogue's names, for the system locale.
    QCOMPARE(itemsOf(list(card, "cmbRxProtocol")), shippedKeys(true));
    QCOMPARE(itemsOf(list(card, "cmbTxProtocol")), shippedKeys(false));
    QCOMPARE(list(card, "cmbRxProtocol")->count(), 20);
    QCOMPARE(list(card, "cmbTxProtocol")->count(), 17);
    QCOMPARE(list(card, "cmbRxProtocol")->currentIndex(), 0);
    QCOMPARE(list(card, "cmbTxProtocol")->currentIndex(), 0);

    QCOMPARE(card.getPortParam(), QByteArray::fromHex("0000e10000000000000000"));
}

void TestPortConfig::radioSlots()
{
    PortConfig card(shipped());
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    auto *stack = child<QStackedWidget>(card, "stackedWidget");
    auto *uart = child<QRadioButton>(card, "rdbUart");
    auto *can = child<QRadioButton>(card, "rdbCan");

    QTest::mouseClick(can, Qt::LeftButton);
    QVERIFY(can->isChecked());
    QCOMPARE(stack->currentIndex(), 1);
    QTest::mouseClick(can, Qt::LeftButton);
    QCOMPARE(stack->currentIndex(), 1);
    QTest::mouseClick(uart, Qt::LeftButton);
    QVERIFY(uart->isChecked());
    QCOMPARE(stack->currentIndex(), 0);

    // An unchecking click changes no page.
    QVERIFY(QMetaObject::invokeMethod(&card, "on_rdbCan_clicked", Q_ARG(bool, false)));
    QCOMPARE(stack->currentIndex(), 0);
    stack->setCurrentIndex(1);
    QVERIFY(QMetaObject::invokeMethod(&card, "on_rdbUart_clicked", Q_ARG(bool, false)));
    QCOMPARE(stack->currentIndex(), 1);
}

void TestPortConfig::pickSendsHelpText_data()
{
    QTest::addColumn<bool>("receive");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("help");

    QTest::newRow("receive, line break in help")
        << true << 1 << QStringLiteral("波特率 115200\n停止位 1");
    QTest::newRow("receive, first entry") << true << 0 << QStringLiteral("该端口不接收数据");
    QTest::newRow("receive, name with a space")
        << true << 17
        << QStringLiteral("接收上博智像视觉着陆设备 A_Landing的数据\n端口参数须与设备的设置一致");
    QTest::newRow("send, same name as a receive entry")
        << false << 1 << QStringLiteral("以Norvek标准吊舱协议发送数据\n端口参数须与设备的设置一致");
    QTest::newRow("send, last entry")
        << false << 16
        << QStringLiteral("向木牛科技雷达uSharp3D发送数据\n端口参数须与设备的设置一致");
}

void TestPortConfig::pickSendsHelpText()
{
    QFETCH(bool, receive);
    QFETCH(int, position);
    QFETCH(QString, help);

    PortConfig card(shipped());
    card.setId(4);
    QSignalSpy accepted(&card, &PortConfig::sglAccept);
    QSignalSpy sent(&card, &PortConfig::sglSend);
    QComboBox *combo = list(card, receive ? "cmbRxProtocol" : "cmbTxProtocol");

    combo->setCurrentIndex(position);
    emit combo->activated(position);
    emit combo->activated(position);

    QSignalSpy &spy = receive ? accepted : sent;
    QCOMPARE((receive ? sent : accepted).count(), 0);
    QCOMPARE(spy.count(), 2);
    const QVariantList expected{4, position, help, combo->itemText(position)};
    QCOMPARE(spy.at(0), expected);
    QCOMPARE(spy.at(1), expected);
}

void TestPortConfig::pickByKeyboardAndPopup()
{
    PortConfig card(shipped());
    card.setId(2);
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    QSignalSpy accepted(&card, &PortConfig::sglAccept);
    QSignalSpy sent(&card, &PortConfig::sglSend);

    QComboBox *rx = list(card, "cmbRxProtocol");
    QTest::keyClick(rx, Qt::Key_Down);
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(accepted.at(0), (QVariantList{2, 1, QStringLiteral("波特率 115200\n停止位 1"),
                                           QStringLiteral("Norvek标准吊舱协议")}));

    QComboBox *tx = list(card, "cmbTxProtocol");
    tx->showPopup();
    QAbstractItemView *view = tx->view();
    QTRY_VERIFY_WITH_TIMEOUT(view->isVisible(), 5000);
    const QModelIndex item = tx->model()->index(3, tx->modelColumn(), tx->rootModelIndex());
    view->scrollTo(item);
    const QPoint at = view->visualRect(item).center();
    QTest::mouseMove(view->viewport(), at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTRY_COMPARE_WITH_TIMEOUT(sent.count(), 1, 5000);
    QCOMPARE(
        sent.at(0),
        (QVariantList{2, 3, QStringLiteral("向零度标准吊舱发送数据\n端口参数须与设备的设置一致"),
                      QStringLiteral("零度标准吊舱")}));
    QCOMPARE(accepted.count(), 1);
}

void TestPortConfig::programmaticChoicesEmitNothing()
{
    PortConfig card(shipped());
    QSignalSpy accepted(&card, &PortConfig::sglAccept);
    QSignalSpy sent(&card, &PortConfig::sglSend);
    QVERIFY(card.setPortParam(QByteArray::fromHex("0000c20100010000011011")));
    QVERIFY(card.setPortParam(QByteArray::fromHex("0140420f00000000000102")));
    list(card, "cmbRxProtocol")->setCurrentIndex(5);
    card.setUartOnly();
    card.setCanOnly();
    QCOMPARE(accepted.count(), 0);
    QCOMPARE(sent.count(), 0);
}

void TestPortConfig::idAndTitle()
{
    PortConfig card(shipped());
    card.setId(6);
    card.setPortTitle(QStringLiteral("CAN2"));
    QCOMPARE(card.id(), 6);
    QCOMPARE(child<QGroupBox>(card, "gpbPort")->title(), QStringLiteral("CAN2"));
    QSignalSpy sent(&card, &PortConfig::sglSend);
    emit list(card, "cmbTxProtocol")->activated(0);
    QCOMPARE(sent.at(0).at(0).toInt(), 6);
}

void TestPortConfig::uartOnly()
{
    PortConfig card(shipped());
    child<QRadioButton>(card, "rdbCan")->click();
    QCOMPARE(child<QStackedWidget>(card, "stackedWidget")->currentIndex(), 1);
    card.setUartOnly();
    QVERIFY(child<QRadioButton>(card, "rdbUart")->isChecked());
    QVERIFY(!child<QRadioButton>(card, "rdbCan")->isChecked());
    QVERIFY(child<QRadioButton>(card, "rdbUart")->isVisibleTo(&card));
    QVERIFY(!child<QRadioButton>(card, "rdbCan")->isVisibleTo(&card));
    // The page shown stays as it was.
    QCOMPARE(child<QStackedWidget>(card, "stackedWidget")->currentIndex(), 1);
}

void TestPortConfig::canOnly()
{
    PortConfig card(shipped());
    card.setUartOnly();
    card.setCanOnly();
    QVERIFY(!child<QRadioButton>(card, "rdbUart")->isVisibleTo(&card));
    QVERIFY(!child<QRadioButton>(card, "rdbUart")->isChecked());
    QVERIFY(child<QRadioButton>(card, "rdbCan")->isVisibleTo(&card));
    QVERIFY(child<QRadioButton>(card, "rdbCan")->isChecked());
    QCOMPARE(child<QStackedWidget>(card, "stackedWidget")->currentIndex(), 1);
    // The level list stays on a CAN-only card.
    QVERIFY(list(card, "cmbLevelSec")->isVisibleTo(&card));
    QCOMPARE(card.getPortParam(), QByteArray::fromHex("012a2c0a00000000000000"));
}

void TestPortConfig::hideLevel()
{
    PortConfig card(shipped());
    const QStringList before = snapshot(card);
    card.hideLevel();
    QVERIFY(!child<QLabel>(card, "label_37")->isVisibleTo(&card));
    QVERIFY(!list(card, "cmbLevelSec")->isVisibleTo(&card));
    QVERIFY(child<QLabel>(card, "label_13")->isVisibleTo(&card));
    QCOMPARE(snapshot(card), before);
}

void TestPortConfig::lockUartSettings()
{
    PortConfig card(shipped());
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    card.lockUartSettings();

    const QString locked = QStringLiteral("background-color:rgb(115,126,130);");
    for (const char *name : {"cmbUartBaudrate", "cmbParity", "cmbDataBit", "cmbStopBit"}) {
        QVERIFY2(!list(card, name)->isEnabled(), name);
        QCOMPARE(list(card, name)->styleSheet(), locked);
    }
    QVERIFY(!list(card, "cmbLevelSec")->isEnabled());
    QCOMPARE(list(card, "cmbLevelSec")->styleSheet(), QString());
    for (const char *name : {"cmbCanBaudrate", "cmbRxProtocol", "cmbTxProtocol"})
        QVERIFY2(list(card, name)->isEnabled(), name);

    // The user cannot change them.
    QComboBox *parity = list(card, "cmbParity");
    QTest::keyClick(parity, Qt::Key_Down);
    QTest::mouseClick(parity, Qt::LeftButton);
    QVERIFY(!parity->view()->isVisible());
    QCOMPARE(parity->currentIndex(), 0);
}

void TestPortConfig::popupWidth()
{
    PortConfig card(shipped());
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    for (const char *name : {"cmbRxProtocol", "cmbTxProtocol"}) {
        QComboBox *combo = list(card, name);
        // Sized when it opens.
        combo->showPopup();
        combo->hidePopup();
        QAbstractItemView *view = combo->view();
        const QFontMetrics metrics(view->font());
        int widest = 0;
        for (int i = 0; i < combo->count(); ++i)
            widest = qMax(widest, metrics.horizontalAdvance(combo->itemText(i)));
        const int scrollBar = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
        QVERIFY2(view->minimumWidth() >= widest + scrollBar, name);
        // Each item, with the view's own padding, fits beside the scroll bar.
        QVERIFY2(view->minimumWidth() >= view->sizeHintForColumn(0) + scrollBar, name);
    }

    QComboBox *rx = list(card, "cmbRxProtocol");
    rx->showPopup();
    QTRY_VERIFY_WITH_TIMEOUT(rx->view()->isVisible(), 5000);
    QVERIFY(rx->view()->width() >= rx->view()->minimumWidth());
    rx->hidePopup();
}

void TestPortConfig::popupWidthOfBareList()
{
    QWidget parent;
    PxComBoBox combo(&parent);
    combo.adjustPopupWidth();
    const int empty = combo.view()->minimumWidth();
    const int scrollBar =
        combo.view()->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, combo.view());
    QVERIFY(empty >= scrollBar);

    const QString longName = QStringLiteral("北京华工HGIPS1402吊舱 and a much longer tail");
    combo.addItem(QStringLiteral("A"));
    combo.addItem(longName);
    combo.adjustPopupWidth();
    const int wide = combo.view()->minimumWidth();
    QVERIFY(wide >= QFontMetrics(combo.view()->font()).horizontalAdvance(longName) + scrollBar);

    // A shorter item added later does not shrink the popup.
    combo.addItem(QStringLiteral("B"));
    combo.adjustPopupWidth();
    QCOMPARE(combo.view()->minimumWidth(), wide);
}

void TestPortConfig::popupWidthPerFont()
{
    // Lists in different fonts showing the same names, adjusted one after the
    // other: each popup is sized with its own font's measures, also when the
    // font of a list changes after it was sized once.
    const QStringList names{QStringLiteral("不启用"), QStringLiteral("北京华工HGIPS1402吊舱"),
                            QStringLiteral("Tmotor DataLink 数据盒")};
    QWidget parent;
    QFont small = parent.font();
    small.setPixelSize(9);
    QFont large = small;
    large.setPixelSize(27);

    const auto widest = [&names](const QFont &font) {
        const QFontMetrics metrics(font);
        int width = 0;
        for (const QString &name : names)
            width = qMax(width, metrics.horizontalAdvance(name));
        return width;
    };
    const auto sized = [&names, &parent](const QFont &font) {
        auto *combo = new PxComBoBox(&parent);
        combo->view()->setFont(font);
        for (const QString &name : names) {
            combo->addItem(name);
            combo->adjustPopupWidth();
        }
        return combo;
    };
    const auto room = [](PxComBoBox *combo) {
        QAbstractItemView *view = combo->view();
        return view->minimumWidth() -
               view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    };

    PxComBoBox *smallList = sized(small);
    PxComBoBox *largeList = sized(large);
    QVERIFY(widest(large) > widest(small) + 20);
    QVERIFY(room(smallList) >= widest(small));
    QVERIFY(room(largeList) >= widest(large));
    QVERIFY(room(smallList) < widest(large));

    smallList->view()->setFont(large);
    smallList->adjustPopupWidth();
    QCOMPARE(smallList->view()->minimumWidth(), largeList->view()->minimumWidth());
}

void TestPortConfig::getPortParam_data()
{
    QTest::addColumn<bool>("uart");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("can");
    QTest::addColumn<int>("rx");
    QTest::addColumn<int>("tx");
    QTest::addColumn<QByteArray>("record");

    QTest::newRow("UART 115200 even 8N1 RS-422") << true << 6 << 1 << 0 << 0 << 1 << 0 << 0 << 3
                                                 << QByteArray::fromHex("0000c20100010000010010");
    QTest::newRow("CAN 1000") << false << 5 << 0 << 0 << 0 << 0 << 1 << 1 << 2
                              << QByteArray::fromHex("0140420f00000000000102");
    QTest::newRow("UART 921600 odd 9 data bits 2 stop bits")
        << true << 9 << 2 << 1 << 1 << 0 << 2 << 19 << 16
        << QByteArray::fromHex("0000100e0002010100201d");
    QTest::newRow("UART 2400") << true << 0 << 0 << 0 << 0 << 0 << 0 << 2 << 1
                               << QByteArray::fromHex("0060090000000000000201");
    QTest::newRow("CAN 666.666 leaves the UART lists out")
        << false << 9 << 2 << 1 << 1 << 1 << 0 << 2 << 0
        << QByteArray::fromHex("012a2c0a00000000000200");
    QTest::newRow("CAN 500") << false << 5 << 0 << 0 << 0 << 0 << 2 << 3 << 4
                             << QByteArray::fromHex("0120a10700000000001011");
}

void TestPortConfig::getPortParam()
{
    QFETCH(bool, uart);
    QFETCH(int, baud);
    QFETCH(int, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    QFETCH(int, level);
    QFETCH(int, can);
    QFETCH(int, rx);
    QFETCH(int, tx);
    QFETCH(QByteArray, record);

    PortConfig card(shipped());
    child<QRadioButton>(card, uart ? "rdbUart" : "rdbCan")->click();
    UserPick::pick(list(card, "cmbUartBaudrate"), baud);
    UserPick::pick(list(card, "cmbParity"), parity);
    UserPick::pick(list(card, "cmbDataBit"), dataBits);
    UserPick::pick(list(card, "cmbStopBit"), stopBits);
    UserPick::pick(list(card, "cmbLevelSec"), level);
    UserPick::pick(list(card, "cmbCanBaudrate"), can);
    UserPick::pick(list(card, "cmbRxProtocol"), rx);
    UserPick::pick(list(card, "cmbTxProtocol"), tx);
    QCOMPARE(card.getPortParam().toHex(), record.toHex());

    // A fresh card shown the record comes back to the same choices.
    PortConfig other(shipped());
    QVERIFY(other.setPortParam(record));
    QCOMPARE(other.getPortParam().toHex(), record.toHex());
    QCOMPARE(child<QRadioButton>(other, "rdbUart")->isChecked(), uart);
    QCOMPARE(child<QRadioButton>(other, "rdbCan")->isChecked(), !uart);
    QCOMPARE(child<QStackedWidget>(other, "stackedWidget")->currentIndex(), uart ? 0 : 1);
    if (uart) {
        QCOMPARE(list(other, "cmbUartBaudrate")->currentIndex(), baud);
        QCOMPARE(list(other, "cmbParity")->currentIndex(), parity);
        QCOMPARE(list(other, "cmbDataBit")->currentIndex(), dataBits);
        QCOMPARE(list(other, "cmbStopBit")->currentIndex(), stopBits);
        QCOMPARE(list(other, "cmbLevelSec")->currentIndex(), level);
    } else {
        QCOMPARE(list(other, "cmbCanBaudrate")->currentIndex(), can);
    }
    QCOMPARE(list(other, "cmbRxProtocol")->currentIndex(), rx);
    QCOMPARE(list(other, "cmbTxProtocol")->currentIndex(), tx);
}

void TestPortConfig::setPortParamApplies_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("expected"); // page, then the eight list positions

    // Read back, every record gives its own bytes: the card changes none the
    // user did not touch.
    QTest::newRow("codes 13 and 14 select positions 0 and 1")
        << "plain" << QByteArray::fromHex("0000e10000000000000d0e") << "0 5 0 0 0 0 0 0 1";
    QTest::newRow("code 15 selects position 2, code 16 position 3")
        << "plain" << QByteArray::fromHex("0000e10000000000000f10") << "0 5 0 0 0 0 0 2 3";
    QTest::newRow("last receive and send entries")
        << "plain" << QByteArray::fromHex("0000e1000000000000201d") << "0 5 0 0 0 0 0 19 16";
    QTest::newRow("921600 accepted")
        << "plain" << QByteArray::fromHex("0000100e00000000000000") << "0 9 0 0 0 0 0 0 0";
    QTest::newRow("CAN on a card that offers CAN, bytes 5 to 8 kept")
        << "plain" << QByteArray::fromHex("0140420f00ffffffff0102") << "1 5 0 0 0 0 1 1 2";
    QTest::newRow("CAN on the CAN-only card")
        << "canOnly" << QByteArray::fromHex("0120a1070000000000021d") << "1 5 0 0 0 0 2 2 16";
    QTest::newRow("level applied while the level list is hidden")
        << "hideLevel" << QByteArray::fromHex("0000c20100000000010000") << "0 6 0 0 0 1 0 0 0";
    QTest::newRow("locked lists still applied and read")
        << "locked" << QByteArray::fromHex("00004b0000020101011112") << "0 3 2 1 1 1 0 4 5";
    QTest::newRow("positions that name no item")
        << "plain" << QByteArray::fromHex("0000e10000057f80ff0c80") << "0 5 -1 -1 -1 -1 0 -1 -1";
    QTest::newRow("protocol code 3 names no item")
        << "plain" << QByteArray::fromHex("0000e10000000000000300") << "0 5 0 0 0 0 0 -1 0";
}

void TestPortConfig::setPortParamApplies()
{
    QFETCH(QString, setup);
    QFETCH(QByteArray, record);
    QFETCH(QString, expected);

    PortConfig card(shipped());
    restrict(card, setup);
    QVERIFY(card.setPortParam(record));

    QStringList state{
        QString::number(child<QStackedWidget>(card, "stackedWidget")->currentIndex())};
    for (const char *name : kLists)
        state << QString::number(list(card, name)->currentIndex());
    QCOMPARE(state.join(QLatin1Char(' ')), expected);
    const bool uart = record.at(0) == 0;
    QCOMPARE(child<QRadioButton>(card, "rdbUart")->isChecked(), uart);
    QCOMPARE(child<QRadioButton>(card, "rdbCan")->isChecked(), !uart);
    if (setup == QLatin1String("canOnly"))
        QVERIFY(!child<QRadioButton>(card, "rdbUart")->isVisibleTo(&card));
    QCOMPARE(card.getPortParam().toHex(), record.toHex());
}

void TestPortConfig::setPortParamRefuses_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QByteArray>("record");

    QTest::newRow("10 bytes") << "plain" << QByteArray::fromHex("0000c201000100000100");
    QTest::newRow("12 bytes") << "plain" << QByteArray::fromHex("0000c2010001000001001000");
    QTest::newRow("empty") << "plain" << QByteArray();
    QTest::newRow("kind 2") << "plain" << QByteArray::fromHex("0200c20100010000010010");
    QTest::newRow("kind 0xFF") << "plain" << QByteArray::fromHex("ff00c20100010000010010");
    QTest::newRow("baud 0") << "plain" << QByteArray::fromHex("0000000000010000010010");
    QTest::newRow("baud 1200") << "plain" << QByteArray::fromHex("00b0040000010000010010");
    QTest::newRow("baud 1000000") << "plain" << QByteArray::fromHex("0040420f00010000010010");
    QTest::newRow("baud 57601") << "plain" << QByteArray::fromHex("0001e10000010000010010");
    QTest::newRow("CAN on a UART-only card")
        << "uartOnly" << QByteArray::fromHex("0140420f00000000000102");
    QTest::newRow("CAN on a locked UART-only card")
        << "locked" << QByteArray::fromHex("012a2c0a00000000000102");
    // The CAN-only card used to take UART records (showing a UART page the
    // user cannot choose); a module with such a port refuses them.
    QTest::newRow("UART on the CAN-only card")
        << "canOnly" << QByteArray::fromHex("0000c20100010000010010");
    QTest::newRow("CAN rate 250000") << "plain" << QByteArray::fromHex("0190d00300000000000102");
    QTest::newRow("CAN rate 0") << "plain" << QByteArray::fromHex("0100000000000000000102");
    QTest::newRow("CAN rate 57600") << "plain" << QByteArray::fromHex("0100e10000000000000102");
}

void TestPortConfig::setPortParamRefuses()
{
    QFETCH(QString, setup);
    QFETCH(QByteArray, record);

    PortConfig card(shipped());
    restrict(card, setup);
    // Choices that differ from every default, so any change would show.
    if (setup == QLatin1String("canOnly")) {
        QVERIFY(card.setPortParam(QByteArray::fromHex("0120a1070000000000201d")));
        for (const char *name : {"cmbUartBaudrate", "cmbParity", "cmbDataBit", "cmbStopBit"})
            UserPick::pick(list(card, name), 1);
    } else {
        QVERIFY(card.setPortParam(QByteArray::fromHex("0000100e0002010101201d")));
        UserPick::pick(list(card, "cmbCanBaudrate"), 2);
    }
    UserPick::pick(list(card, "cmbTxProtocol"), 2);
    const QStringList before = snapshot(card);
    const QByteArray recordBefore = card.getPortParam();
    const PortRecord givenBefore = card.givenRecord();
    QVERIFY(card.isEdited());

    QSignalSpy accepted(&card, &PortConfig::sglAccept);
    QSignalSpy sent(&card, &PortConfig::sglSend);
    QVERIFY(!card.setPortParam(record));
    QCOMPARE(snapshot(card), before);
    QCOMPARE(card.getPortParam().toHex(), recordBefore.toHex());
    QCOMPARE(card.givenRecord().bytes().toHex(), givenBefore.bytes().toHex());
    QVERIFY(card.isEdited());
    QCOMPARE(accepted.count() + sent.count(), 0);
}

void TestPortConfig::uncodableBytesArePreserved()
{
    PortConfig card(shipped());
    // Parity 5 and receive code 7 name no item: the card shows nothing for
    // them and writes back what the module sent.
    const QByteArray odd = QByteArray::fromHex("0000c20100050000010710");
    QVERIFY(card.setPortParam(odd));
    QCOMPARE(list(card, "cmbParity")->currentIndex(), -1);
    QCOMPARE(list(card, "cmbRxProtocol")->currentIndex(), -1);
    QCOMPARE(card.getPortParam().toHex(), odd.toHex());

    // A list the user sets again writes its own position.
    UserPick::pick(list(card, "cmbParity"), 2);
    QCOMPARE(card.getPortParam().toHex(), QByteArray::fromHex("0000c20100020000010710").toHex());

    // The next record replaces what is kept.
    QVERIFY(card.setPortParam(QByteArray::fromHex("0000c20100000000000000")));
    list(card, "cmbTxProtocol")->setCurrentIndex(-1);
    QCOMPARE(card.getPortParam().toHex(), QByteArray::fromHex("0000c20100000000000000").toHex());
}

void TestPortConfig::untouchedCardKeepsRecord_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QByteArray>("record");

    // Codes 3 to 12 name no list item; 13 to 15 show the first three items,
    // which themselves are written as 0 to 2.
    for (int code = 3; code <= 15; ++code) {
        QByteArray record = QByteArray::fromHex("0000c201000100000100");
        record.append(char(code));
        record[PortRecord::RxProtocolOffset] = char(18 - code);
        QTest::addRow("protocol codes %d and %d", 18 - code, code) << "plain" << record;
    }
    QTest::newRow("level 2") << "plain" << QByteArray::fromHex("0000c20100000000020000");
    QTest::newRow("level 0x7f, level hidden")
        << "hideLevel" << QByteArray::fromHex("0000c201000000007f0000");
    QTest::newRow("parity 3, data bits 2, stop bits 0xff")
        << "plain" << QByteArray::fromHex("0000c201000302ff000000");
    QTest::newRow("odd line bytes on a locked card")
        << "locked" << QByteArray::fromHex("00004b0000808182831011");
    QTest::newRow("CAN, 0xff at offsets 5 to 8")
        << "plain" << QByteArray::fromHex("0140420f00ffffffff0102");
    QTest::newRow("CAN on the CAN-only card, 1 2 3 4 at offsets 5 to 8")
        << "canOnly" << QByteArray::fromHex("0120a10700010203040c0d");
}

void TestPortConfig::untouchedCardKeepsRecord()
{
    QFETCH(QString, setup);
    QFETCH(QByteArray, record);

    PortConfig card(shipped());
    restrict(card, setup);
    QVERIFY(!card.isEdited());
    QVERIFY(card.setRecord(PortRecord(record)));
    QCOMPARE(card.record().bytes().toHex(), record.toHex());
    QCOMPARE(card.givenRecord().bytes().toHex(), record.toHex());
    QVERIFY(!card.isEdited());

    // Shown and laid out as on screen, still nothing touched.
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    QCOMPARE(card.getPortParam().toHex(), record.toHex());
}

void TestPortConfig::editChangesOneField_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QStringList>("actions"); // "pick LIST POSITION", "key LIST", "click BUTTON"
    QTest::addColumn<QByteArray>("expected");

    // Bytes no list item shows at every line field and in both protocols.
    const QByteArray uart = QByteArray::fromHex("0000c20100057f8002030f");
    const QByteArray can = QByteArray::fromHex("0140420f0001020304030f");
    QTest::newRow("UART rate") << uart << QStringList{"pick cmbUartBaudrate 0"}
                               << QByteArray::fromHex("0060090000057f8002030f");
    QTest::newRow("UART rate by keyboard") << uart << QStringList{"key cmbUartBaudrate"}
                                           << QByteArray::fromHex("0000840300057f8002030f");
    QTest::newRow("parity") << uart << QStringList{"pick cmbParity 2"}
                            << QByteArray::fromHex("0000c20100027f8002030f");
    QTest::newRow("data bits") << uart << QStringList{"pick cmbDataBit 1"}
                               << QByteArray::fromHex("0000c2010005018002030f");
    QTest::newRow("stop bits") << uart << QStringList{"pick cmbStopBit 1"}
                               << QByteArray::fromHex("0000c20100057f0102030f");
    QTest::newRow("level") << uart << QStringList{"pick cmbLevelSec 1"}
                           << QByteArray::fromHex("0000c20100057f8001030f");
    QTest::newRow("receive protocol") << uart << QStringList{"pick cmbRxProtocol 3"}
                                      << QByteArray::fromHex("0000c20100057f8002100f");
    QTest::newRow("send protocol") << uart << QStringList{"pick cmbTxProtocol 0"}
                                   << QByteArray::fromHex("0000c20100057f80020300");
    QTest::newRow("CAN rate") << can << QStringList{"pick cmbCanBaudrate 2"}
                              << QByteArray::fromHex("0120a1070001020304030f");
    // The kind sets the line fields of that kind from the lists, the
    // protocols stay.
    QTest::newRow("UART chosen on a CAN record")
        << can << QStringList{"click rdbUart"} << QByteArray::fromHex("0000e1000000000000030f");
    QTest::newRow("CAN chosen on a UART record")
        << uart << QStringList{"click rdbCan"} << QByteArray::fromHex("012a2c0a0000000000030f");
    // Lists without an item still write what the record carried.
    QTest::newRow("back to the kind given")
        << uart << QStringList{"click rdbCan", "click rdbUart"} << uart;
    QTest::newRow("the same item picked again")
        << QByteArray::fromHex("0000c20100010000011011") << QStringList{"pick cmbParity 1"}
        << QByteArray::fromHex("0000c20100010000011011");
}

void TestPortConfig::editChangesOneField()
{
    QFETCH(QByteArray, record);
    QFETCH(QStringList, actions);
    QFETCH(QByteArray, expected);

    PortConfig card(shipped());
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    QVERIFY(card.setRecord(PortRecord(record)));
    for (const QString &action : actions) {
        const QStringList words = action.split(QLatin1Char(' '));
        const QByteArray name = words.at(1).toLatin1();
        if (words.at(0) == QLatin1String("pick")) {
            UserPick::pick(list(card, name.constData()), words.at(2).toInt());
        } else if (words.at(0) == QLatin1String("key")) {
            QTest::keyClick(list(card, name.constData()), Qt::Key_Down);
        } else {
            auto *button = child<QRadioButton>(card, name.constData());
            QTest::mouseClick(button, Qt::LeftButton);
        }
    }
    QCOMPARE(card.record().bytes().toHex(), expected.toHex());
    QCOMPARE(card.givenRecord().bytes().toHex(), record.toHex());
    QCOMPARE(card.isEdited(), expected != record);

    // Choices made in code are no edits: the next record is given whole.
    QVERIFY(card.setRecord(PortRecord(record)));
    QVERIFY(!card.isEdited());
    QCOMPARE(card.getPortParam().toHex(), record.toHex());
}

QTEST_MAIN(TestPortConfig)
#include "tst_portconfig.moc"
