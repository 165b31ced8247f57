// The port panel of the main window in both module modes.
#include "childwidget.h"
#include "mainwidget.h"
#include "portconfig.h"
#include "userpick.h"
#include "windowlookup.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTextEdit>
#include <QtTest>

namespace
{
QWidget *holder(MainWidget &window, int position)
{
    return child<QWidget>(&window, QStringLiteral("wdgPort%1").arg(position + 1));
}

ModuleModel modelOf(int mode)
{
    return mode == 0 ? ModuleModel::Tovrin : ModuleModel::R7;
}

void setMode(MainWidget &window, int mode)
{
    WindowLookup::panel(&window)->rebuild(modelOf(mode));
}

PortConfig *card(MainWidget *window, int port)
{
    return WindowLookup::card(window, port);
}

int portCount(MainWidget *window)
{
    return WindowLookup::portCount(window);
}

QString title(PortConfig *card)
{
    return child<QGroupBox>(card, QStringLiteral("gpbPort"))->title();
}
} // namespace

class TestPortPanel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void cards_data();
    void cards();
    void placement();
    void tovrinModeHidesSixthPlaceholder();
    void rebuildRestoresDefaults_data();
    void rebuildRestoresDefaults();
    void oldCardsAreDestroyed();
    void adoptKeepsLaterEdits();
    void modeButtonsRebuild();
    void pickReachesInformationPanel_data();
    void pickReachesInformationPanel();

private:
    MainWidget *window = nullptr;
};

void TestPortPanel::init()
{
    window = new MainWidget;
}

void TestPortPanel::cleanup()
{
    delete window;
    window = nullptr;
}

void TestPortPanel::cards_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("uart");   // per card: 1 the UART choice is offered
    QTest::addColumn<QString>("can");    // 1 the CAN choice is offered
    QTest::addColumn<QString>("level");  // 1 the level list is shown
    QTest::addColumn<QString>("locked"); // 1 the UART lists are disabled

    QTest::newRow("Tovrin") << 0 << QStringList{"Port1", "Port2", "Port3", "Port4", "Port5"}
                            << "11111"
                            << "00101"
                            << "00000"
                            << "00010";
    QTest::newRow("R7 function") << 1
                                 << QStringList{"Uart2", "Uart3", "Uart4", "Uart5", "Uart6", "CAN2"}
                                 << "111110"
                                 << "000001"
                                 << "111111"
                                 << "000000";
}

void TestPortPanel::cards()
{
    QFETCH(int, mode);
    QFETCH(QStringList, titles);
    QFETCH(QString, uart);
    QFETCH(QString, can);
    QFETCH(QString, level);
    QFETCH(QString, locked);

    // Each mode entered both from the other one and from itself.
    for (int from : {1 - mode, mode}) {
        setMode(*window, from);
        setMode(*window, mode);
        QCOMPARE(portCount(window), titles.size());
        QCOMPARE(WindowLookup::panel(window)->model(), modelOf(mode));
        for (int i = 0; i < 6; ++i) {
            PortConfig *card = ::card(window, i);
            if (i >= titles.size()) {
                QVERIFY(!card);
                continue;
            }
            QVERIFY(card);
            QCOMPARE(card->parentWidget(), holder(*window, i));
            QCOMPARE(card->id(), i + 1);
            QCOMPARE(title(card), titles.at(i));
            auto flag = [](bool value) { return value ? QLatin1Char('1') : QLatin1Char('0'); };
            QCOMPARE(flag(child<QRadioButton>(card, "rdbUart")->isVisibleTo(card)), uart.at(i));
            QCOMPARE(flag(child<QRadioButton>(card, "rdbCan")->isVisibleTo(card)), can.at(i));
            QCOMPARE(flag(child<QComboBox>(card, "cmbLevelSec")->isVisibleTo(card)), level.at(i));
            QCOMPARE(flag(child<QLabel>(card, "label_37")->isVisibleTo(card)), level.at(i));
            QCOMPARE(flag(!child<QComboBox>(card, "cmbUartBaudrate")->isEnabled()), locked.at(i));
            QCOMPARE(flag(!child<QComboBox>(card, "cmbParity")->isEnabled()), locked.at(i));
            // A UART-only card shows UART, the CAN-only card its CAN page.
            const bool canOnly = uart.at(i) == QLatin1Char('0');
            QCOMPARE(child<QRadioButton>(card, "rdbCan")->isChecked(), canOnly);
            QCOMPARE(child<QStackedWidget>(card, "stackedWidget")->currentIndex(), canOnly ? 1 : 0);
        }
    }
}

void TestPortPanel::placement()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // Changed on purpose: the cards no longer sit at the form's fixed 648 x 89
    // in their placeholders but span their width, at the top, no higher than
    // 89 and lower where six share the column, so that six cards fit.
    for (int mode : {0, 1, 0}) {
        setMode(*window, mode);
        QCoreApplication::processEvents();
        for (int i = 0; i < portCount(window); ++i) {
            PortConfig *card = ::card(window, i);
            QWidget *place = holder(*window, i);
            QTRY_COMPARE(card->geometry(), QRect(0, 0, place->width(), qMin(place->height(), 89)));
            QVERIFY(card->isVisible());
            QVERIFY(place->layout());
            // One card per placeholder, however often the panel was rebuilt.
            QCOMPARE(place->layout()->count(), 1);
            QCOMPARE(place->layout()->itemAt(0)->widget(), card);
        }
    }
    // The cards follow the window's size.
    window->resize(window->width() + 200, window->height() + 100);
    QCoreApplication::processEvents();
    QTRY_COMPARE(card(window, 0)->width(), holder(*window, 0)->width());
}

void TestPortPanel::tovrinModeHidesSixthPlaceholder()
{
    QWidget *sixth = holder(*window, 5);
    QVERIFY(sixth->isHidden());
    setMode(*window, 1);
    QVERIFY(!sixth->isHidden());
    QCOMPARE(sixth->findChildren<PortConfig *>().size(), 1);
    setMode(*window, 0);
    QVERIFY(sixth->isHidden());
}

void TestPortPanel::rebuildRestoresDefaults_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("Tovrin") << 0;
    QTest::newRow("R7 function") << 1;
}

void TestPortPanel::rebuildRestoresDefaults()
{
    QFETCH(int, mode);
    setMode(*window, mode);
    QVector<QByteArray> defaults;
    for (int i = 0; i < portCount(window); ++i)
        defaults << card(window, i)->getPortParam();
    QCOMPARE(defaults.first(), QByteArray::fromHex("0000e10000000000000000"));

    // Not the defaults; CAN on R7-Eda's CAN2, which takes no UART record.
    const auto changed = [mode](int i) {
        return QByteArray::fromHex(mode == 1 && i == 5 ? "0120a10700000000001011"
                                                       : "0000c20100010101011011");
    };
    for (int i = 0; i < portCount(window); ++i)
        QVERIFY(card(window, i)->setPortParam(changed(i)));
    // The same mode again, as a version reply does: fresh cards.
    setMode(*window, mode);
    for (int i = 0; i < portCount(window); ++i)
        QCOMPARE(card(window, i)->getPortParam().toHex(), defaults.at(i).toHex());

    // And back from the other mode.
    for (int i = 0; i < portCount(window); ++i)
        card(window, i)->setPortParam(changed(i));
    setMode(*window, 1 - mode);
    setMode(*window, mode);
    for (int i = 0; i < portCount(window); ++i)
        QCOMPARE(card(window, i)->getPortParam().toHex(), defaults.at(i).toHex());
}

void TestPortPanel::adoptKeepsLaterEdits()
{
    setMode(*window, 1);
    PortPanel *panel = WindowLookup::panel(window);
    QVERIFY(!panel->edited());
    const PortRecord given(QByteArray::fromHex("0000c20100057f8002030f"));
    for (int i = 0; i < panel->count() - 1; ++i)
        QVERIFY(panel->apply(i, given));
    QVERIFY(!panel->apply(5, given)); // CAN2 takes no UART record
    QVERIFY(!panel->edited());

    UserPick::pick(child<QComboBox>(card(window, 0), QStringLiteral("cmbParity")), 2);
    QVERIFY(panel->edited());
    const QVector<PortRecord> written = panel->records();
    QCOMPARE(written.at(0).bytes().toHex(), QByteArray("0000c20100027f8002030f"));
    QCOMPARE(written.at(1), given);

    // Edited while the write was under way.
    UserPick::pick(child<QComboBox>(card(window, 1), QStringLiteral("cmbLevelSec")), 1);
    auto *parity = child<QComboBox>(card(window, 0), QStringLiteral("cmbParity"));
    QSignalSpy shown(parity, QOverload<int>::of(&QComboBox::currentIndexChanged));
    panel->adopt(written);

    QCOMPARE(card(window, 0)->givenRecord(), written.at(0));
    QVERIFY(!card(window, 0)->isEdited());
    QCOMPARE(shown.count(), 0);
    QCOMPARE(parity->currentIndex(), 2);
    QCOMPARE(card(window, 1)->givenRecord(), given);
    QVERIFY(card(window, 1)->isEdited());
    QCOMPARE(card(window, 1)->record().bytes().toHex(), QByteArray("0000c20100057f8001030f"));
    QVERIFY(panel->edited());
    QCOMPARE(panel->records().at(2), given);
}

void TestPortPanel::oldCardsAreDestroyed()
{
    QVector<QPointer<PortConfig>> first;
    for (int i = 0; i < portCount(window); ++i)
        first << card(window, i);
    setMode(*window, 1);
    QVector<QPointer<PortConfig>> second;
    for (int i = 0; i < portCount(window); ++i)
        second << card(window, i);
    QCOMPARE(second.size(), 6);
    for (const QPointer<PortConfig> &card : first)
        QVERIFY(card.isNull());
    setMode(*window, 0);
    for (const QPointer<PortConfig> &card : second)
        QVERIFY(card.isNull());
    QCOMPARE(portCount(window), 5);
    QVERIFY(!card(window, 5));

    for (int round = 0; round < 20; ++round)
        setMode(*window, round % 3 == 0 ? 1 : 0);
    setMode(*window, 1);
    QCOMPARE(window->findChildren<PortConfig *>().size(), 6);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(
            holder(*window, i)->findChildren<PortConfig *>(QString(), Qt::FindDirectChildrenOnly),
            QList<PortConfig *>{card(window, i)});
}

void TestPortPanel::modeButtonsRebuild()
{
    auto *r7 = child<QRadioButton>(window, QStringLiteral("rb_R7FuncMode"));
    auto *tovrin = child<QRadioButton>(window, QStringLiteral("rb_TovrinMode"));
    r7->click();
    QCOMPARE(WindowLookup::model(window), ModuleModel::R7);
    QCOMPARE(WindowLookup::panel(window)->model(), ModuleModel::R7);
    QCOMPARE(title(card(window, 5)), QStringLiteral("CAN2"));
    tovrin->click();
    QCOMPARE(WindowLookup::model(window), ModuleModel::Tovrin);
    QCOMPARE(WindowLookup::panel(window)->model(), ModuleModel::Tovrin);
    QCOMPARE(title(card(window, 0)), QStringLiteral("Port1"));
    QCOMPARE(window->findChildren<PortConfig *>().size(), 5);
}

void TestPortPanel::pickReachesInformationPanel_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("receive");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("help");

    QTest::newRow("Port1 receive")
        << 0 << 0 << true << 1 << QStringLiteral("波特率 115200\n停止位 1");
    QTest::newRow("Port5 send")
        << 0 << 4 << false << 16
        << QStringLiteral("向木牛科技雷达uSharp3D发送数据\n端口参数须与设备的设置一致");
    QTest::newRow("Uart2 send") << 1 << 0 << false << 0 << QStringLiteral("该端口不发送数据");
    QTest::newRow("CAN2 receive")
        << 1 << 5 << true << 2
        << QStringLiteral("以Norvek标准CAN协议接收数据\n端口须设为CAN，波特率与设备一致");
}

void TestPortPanel::pickReachesInformationPanel()
{
    QFETCH(int, mode);
    QFETCH(int, position);
    QFETCH(bool, receive);
    QFETCH(int, item);
    QFETCH(QString, help);

    setMode(*window, mode);
    // Shown, as when a user picks: the picture is sized to the laid-out panel.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    PortConfig *card = ::card(window, position);
    QSignalSpy spy(card, receive ? &PortConfig::sglAccept : &PortConfig::sglSend);
    auto *combo = child<QComboBox>(card, receive ? "cmbRxProtocol" : "cmbTxProtocol");
    combo->setCurrentIndex(item);
    emit combo->activated(item);

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), position + 1);
    auto *text = child<QTextEdit>(window, QStringLiteral("textCentorMsg"));
    QCOMPARE(text->toPlainText(), help);
    const QImage picture(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/resources/images/") + combo->itemText(item) +
                         QStringLiteral("-zh_CN.png"));
    QVERIFY(!picture.isNull());
    QCOMPARE(child<QLabel>(window, QStringLiteral("LabCentorPicture"))
                 ->pixmap(Qt::ReturnByValue)
                 .toImage()
                 .convertToFormat(QImage::Format_ARGB32),
             picture.convertToFormat(QImage::Format_ARGB32));
}

QTEST_MAIN(TestPortPanel)
#include "tst_portpanel.moc"
