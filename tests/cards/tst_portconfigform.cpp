// The card's form as built, before the card sets its working defaults, and the
// shipped catalogues that replace its protocol items.
#include "agreementcatalog.h"
#include "cardpages.h"
#include "lazypopupcombobox.h"
#include "pxcombobox.h"
#include "ui_portconfig.h"

#include <QFile>
#include <QSpacerItem>
#include <QTextCodec>
#include <QTranslator>
#include <QtTest>

namespace
{
const QString kFamily = QStringLiteral("微软雅黑");
const QString kWhite = QStringLiteral("Color:White\n");

const QStringList kRxItems{QStringLiteral("不启用"),
                           QStringLiteral("Norvek标准吊舱协议"),
                           QStringLiteral("Norvek标准CAN协议"),
                           QStringLiteral("零度标准吊舱"),
                           QStringLiteral("贯中标准吊舱"),
                           QStringLiteral("零度C1AA吊舱"),
                           QStringLiteral("通视光电C0A5吊舱"),
                           QStringLiteral("人加司眸PSP010400"),
                           QStringLiteral("武汉汉非MPPT"),
                           QStringLiteral("汇能精电MPPT"),
                           QStringLiteral("通视光电158吊舱"),
                           QStringLiteral("星网宇达120吊舱"),
                           QStringLiteral("高德红外吊舱"),
                           QStringLiteral("通视光电650B吊舱"),
                           QStringLiteral("上博智像标准吊舱"),
                           QStringLiteral("北京华工HGIPS1402吊舱"),
                           QStringLiteral("品灵标准吊舱"),
                           QStringLiteral("上博智像视觉 A_Landing"),
                           QStringLiteral("木牛科技雷达usharp3D"),
                           QStringLiteral("Tmotor DataLink 数据盒")};
const QStringList kTxItems{QStringLiteral("不启用"),
                           QStringLiteral("Norvek标准吊舱协议"),
                           QStringLiteral("Norvek标准CAN协议"),
                           QStringLiteral("零度标准吊舱"),
                           QStringLiteral("贯中标准吊舱控制接口"),
                           QStringLiteral("贯中标准吊舱导航接口"),
                           QStringLiteral("零度C1AA吊舱"),
                           QStringLiteral("通视光电C0A5吊舱"),
                           QStringLiteral("人加司眸PSP010400"),
                           QStringLiteral("通视光电158吊舱"),
                           QStringLiteral("星网宇达120吊舱"),
                           QStringLiteral("高德红外吊舱"),
                           QStringLiteral("通视光电650B吊舱"),
                           QStringLiteral("上博智像标准吊舱"),
                           QStringLiteral("北京华工HGIPS1402吊舱"),
                           QStringLiteral("品灵标准吊舱"),
                           QStringLiteral("木牛科技雷达uSharp3D")};

QStringList itemsOf(const QComboBox *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

// (row, column) of a widget or layout inside a grid, (-1, -1) when absent.
QPoint gridPosition(QGridLayout *grid, QObject *child)
{
    for (int i = 0; i < grid->count(); ++i) {
        QLayoutItem *item = grid->itemAt(i);
        if (item->widget() == child || item->layout() == child) {
            int row, column, rowSpan, columnSpan;
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            if (rowSpan != 1 || columnSpan != 1)
                return QPoint(-2, -2);
            if (item->alignment() != Qt::Alignment())
                return QPoint(-3, -3);
            return QPoint(row, column);
        }
    }
    return QPoint(-1, -1);
}
} // namespace

class TestPortConfigForm : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void topLevel();
    void tree_data();
    void tree();
    void gridPositions_data();
    void gridPositions();
    void boxLayoutsAndSpacers();
    void layoutMargins();
    void fonts_data();
    void fonts();
    void styleSheets();
    void listPalettes();
    void sizes();
    void texts_data();
    void texts();
    void staticItems_data();
    void staticItems();
    void stateAfterBuild();
    void slotsConnectedByName();
    void partialTranslationKeepsSourceTexts();

    void shippedCatalogues_data();
    void shippedCatalogues();

private:
    QWidget *form = nullptr;
    Ui::PortConfig *ui = nullptr;
};

void TestPortConfigForm::init()
{
    form = new QWidget;
    ui = new Ui::PortConfig;
    ui->setupUi(form);
}

void TestPortConfigForm::cleanup()
{
    delete ui;
    delete form;
    ui = nullptr;
    form = nullptr;
}

void TestPortConfigForm::topLevel()
{
    QCOMPARE(form->objectName(), QStringLiteral("PortConfig"));
    QCOMPARE(form->size(), QSize(648, 89));
    QCOMPARE(form->windowTitle(), QStringLiteral("Form"));
    QCOMPARE(ui->gpbPort->title(), QStringLiteral("PortName"));

    // An object name already given is kept.
    QWidget named;
    named.setObjectName(QStringLiteral("card"));
    Ui::PortConfig other;
    other.setupUi(&named);
    QCOMPARE(named.objectName(), QStringLiteral("card"));
}

void TestPortConfigForm::tree_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");

    const QString gpb = QStringLiteral("gpbPort");
    const QString page = QStringLiteral("page");
    const QString page2 = QStringLiteral("page_2");
    QTest::newRow("gpbPort") << gpb << "QGroupBox"
                             << "PortConfig";
    QTest::newRow("rdbUart") << "rdbUart"
                             << "QRadioButton" << gpb;
    QTest::newRow("rdbCan") << "rdbCan"
                            << "QRadioButton" << gpb;
    QTest::newRow("stackedWidget") << "stackedWidget"
                                   << "QStackedWidget" << gpb;
    QTest::newRow("page") << page << "QWidget"
                          << "stackedWidget";
    QTest::newRow("page_2") << page2 << "QWidget"
                            << "stackedWidget";
    QTest::newRow("label_10") << "label_10"
                              << "QLabel" << page;
    QTest::newRow("cmbUartBaudrate") << "cmbUartBaudrate"
                                     << "QComboBox" << page;
    QTest::newRow("label_33") << "label_33"
                              << "QLabel" << page;
    QTest::newRow("cmbStopBit") << "cmbStopBit"
                                << "QComboBox" << page;
    QTest::newRow("label_11") << "label_11"
                              << "QLabel" << page;
    QTest::newRow("cmbDataBit") << "cmbDataBit"
                                << "QComboBox" << page;
    QTest::newRow("label_36") << "label_36"
                              << "QLabel" << page;
    QTest::newRow("cmbParity") << "cmbParity"
                               << "QComboBox" << page;
    QTest::newRow("cmbCanBaudrate") << "cmbCanBaudrate"
                                    << "QComboBox" << page2;
    QTest::newRow("label_12") << "label_12"
                              << "QLabel" << page2;
    QTest::newRow("label_37") << "label_37"
                              << "QLabel" << gpb;
    QTest::newRow("cmbLevelSec") << "cmbLevelSec"
                                 << "QComboBox" << gpb;
    QTest::newRow("label_13") << "label_13"
                              << "QLabel" << gpb;
    QTest::newRow("cmbRxProtocol") << "cmbRxProtocol"
                                   << "PxComBoBox" << gpb;
    QTest::newRow("label_14") << "label_14"
                              << "QLabel" << gpb;
    QTest::newRow("cmbTxProtocol") << "cmbTxProtocol"
                                   << "PxComBoBox" << gpb;
    QTest::newRow("gridLayout_2") << "gridLayout_2"
                                  << "QGridLayout"
                                  << "PortConfig";
    QTest::newRow("gridLayout_5") << "gridLayout_5"
                                  << "QGridLayout" << gpb;
    QTest::newRow("gridLayout_3") << "gridLayout_3"
                                  << "QGridLayout" << page;
    QTest::newRow("gridLayout_4") << "gridLayout_4"
                                  << "QGridLayout" << page2;
    QTest::newRow("verticalLayout") << "verticalLayout"
                                    << "QVBoxLayout"
                                    << "gridLayout_5";
    // A row, no longer a column: "电平" / "Level" sits level with its box.
    QTest::newRow("verticalLayout_2") << "verticalLayout_2"
                                      << "QHBoxLayout"
                                      << "gridLayout_5";
    QTest::newRow("gridLayout") << "gridLayout"
                                << "QGridLayout"
                                << "gridLayout_5";
}

void TestPortConfigForm::tree()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parentName);

    const QList<QObject *> found = form->findChildren<QObject *>(name);
    QCOMPARE(found.size(), 1);
    QObject *object = found.first();
    if (className == QLatin1String("PxComBoBox")) {
        QVERIFY(dynamic_cast<PxComBoBox *>(object));
    } else if (object->metaObject()->className() != className) {
        // The card's own kinds of list and page stack, which build their
        // popups and pages more cheaply, are the Qt classes the form names.
        QVERIFY2(object->inherits(qPrintable(className)), object->metaObject()->className());
        QVERIFY(dynamic_cast<LazyPopupComboBox *>(object) || dynamic_cast<CardPages *>(object));
    }
    QVERIFY(object->parent());
    QCOMPARE(object->parent()->objectName(), parentName);
}

void TestPortConfigForm::gridPositions_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("child");
    QTest::addColumn<QPoint>("position"); // (row, column)

    QTest::newRow("gpbPort") << "gridLayout_2"
                             << "gpbPort" << QPoint(0, 0);
    QTest::newRow("verticalLayout") << "gridLayout_5"
                                    << "verticalLayout" << QPoint(0, 0);
    QTest::newRow("stackedWidget") << "gridLayout_5"
                                   << "stackedWidget" << QPoint(0, 1);
    QTest::newRow("verticalLayout_2") << "gridLayout_5"
                                      << "verticalLayout_2" << QPoint(0, 2);
    QTest::newRow("gridLayout") << "gridLayout_5"
                                << "gridLayout" << QPoint(0, 3);
    QTest::newRow("label_10") << "gridLayout_3"
                              << "label_10" << QPoint(0, 0);
    QTest::newRow("cmbUartBaudrate") << "gridLayout_3"
                                     << "cmbUartBaudrate" << QPoint(0, 1);
    QTest::newRow("label_33") << "gridLayout_3"
                              << "label_33" << QPoint(0, 2);
    QTest::newRow("cmbStopBit") << "gridLayout_3"
                                << "cmbStopBit" << QPoint(0, 3);
    QTest::newRow("label_11") << "gridLayout_3"
                              << "label_11" << QPoint(1, 0);
    QTest::newRow("cmbDataBit") << "gridLayout_3"
                                << "cmbDataBit" << QPoint(1, 1);
    QTest::newRow("label_36") << "gridLayout_3"
                              << "label_36" << QPoint(1, 2);
    QTest::newRow("cmbParity") << "gridLayout_3"
                               << "cmbParity" << QPoint(1, 3);
    QTest::newRow("cmbCanBaudrate") << "gridLayout_4"
                                    << "cmbCanBaudrate" << QPoint(0, 1);
    QTest::newRow("label_12") << "gridLayout_4"
                              << "label_12" << QPoint(0, 0);
    QTest::newRow("label_13") << "gridLayout"
                              << "label_13" << QPoint(0, 0);
    QTest::newRow("cmbRxProtocol") << "gridLayout"
                                   << "cmbRxProtocol" << QPoint(0, 1);
    QTest::newRow("label_14") << "gridLayout"
                              << "label_14" << QPoint(1, 0);
    QTest::newRow("cmbTxProtocol") << "gridLayout"
                                   << "cmbTxProtocol" << QPoint(1, 1);
}

void TestPortConfigForm::gridPositions()
{
    QFETCH(QString, grid);
    QFETCH(QString, child);
    QFETCH(QPoint, position);

    auto *layout = form->findChild<QGridLayout *>(grid);
    QVERIFY(layout);
    QObject *object = form->findChild<QObject *>(child);
    QVERIFY(object);
    QCOMPARE(gridPosition(layout, object), position);
}

void TestPortConfigForm::boxLayoutsAndSpacers()
{
    // Radio buttons with a vertical spacer between them.
    QCOMPARE(ui->verticalLayout->count(), 3);
    QCOMPARE(ui->verticalLayout->itemAt(0)->widget(), ui->rdbUart);
    QSpacerItem *between = ui->verticalLayout->itemAt(1)->spacerItem();
    QVERIFY(between);
    QCOMPARE(between->sizeHint(), QSize(20, 40));
    QCOMPARE(between->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
    QCOMPARE(between->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(ui->verticalLayout->itemAt(2)->widget(), ui->rdbCan);

    QCOMPARE(ui->verticalLayout_2->count(), 2);
    QCOMPARE(ui->verticalLayout_2->itemAt(0)->widget(), ui->label_37);
    QCOMPARE(ui->verticalLayout_2->itemAt(1)->widget(), ui->cmbLevelSec);

    // The CAN page adds its items in this order.
    QCOMPARE(ui->gridLayout_4->count(), 4);
    QCOMPARE(ui->gridLayout_4->itemAt(0)->widget(), ui->cmbCanBaudrate);
    QSpacerItem *right = ui->gridLayout_4->itemAt(1)->spacerItem();
    QVERIFY(right);
    QCOMPARE(right->sizeHint(), QSize(40, 20));
    QCOMPARE(right->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(right->sizePolicy().verticalPolicy(), QSizePolicy::Minimum);
    int row, column, rowSpan, columnSpan;
    ui->gridLayout_4->getItemPosition(1, &row, &column, &rowSpan, &columnSpan);
    QCOMPARE(QPoint(row, column), QPoint(0, 2));
    QCOMPARE(ui->gridLayout_4->itemAt(2)->widget(), ui->label_12);
    QSpacerItem *below = ui->gridLayout_4->itemAt(3)->spacerItem();
    QVERIFY(below);
    QCOMPARE(below->sizeHint(), QSize(20, 40));
    QCOMPARE(below->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
    QCOMPARE(below->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
    ui->gridLayout_4->getItemPosition(3, &row, &column, &rowSpan, &columnSpan);
    QCOMPARE(QPoint(row, column), QPoint(1, 0));

    QCOMPARE(ui->stackedWidget->count(), 2);
    QCOMPARE(ui->stackedWidget->widget(0), ui->page);
    QCOMPARE(ui->stackedWidget->widget(1), ui->page_2);
}

void TestPortConfigForm::layoutMargins()
{
    QCOMPARE(ui->gridLayout_2->contentsMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(ui->gridLayout_3->contentsMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(ui->gridLayout_4->contentsMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(ui->gridLayout_5->contentsMargins(), QMargins(5, 5, 5, 5));
    QCOMPARE(ui->gridLayout_5->horizontalSpacing(), 5);
    QCOMPARE(ui->gridLayout_5->verticalSpacing(), 5);
}

void TestPortConfigForm::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family"); // empty: not set
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("bold");

    QTest::newRow("gpbPort") << "gpbPort" << QString() << 12 << false;
    QTest::newRow("rdbUart") << "rdbUart" << kFamily << 11 << true;
    QTest::newRow("rdbCan") << "rdbCan" << kFamily << 11 << false;
    for (const char *label : {"label_10", "label_33", "label_11", "label_36", "label_12",
                              "label_37", "label_13", "label_14"})
        QTest::newRow(label) << label << kFamily << 11 << false;
    for (const char *list : {"cmbUartBaudrate", "cmbStopBit", "cmbDataBit", "cmbParity",
                             "cmbCanBaudrate", "cmbLevelSec", "cmbRxProtocol", "cmbTxProtocol"})
        QTest::newRow(list) << list << kFamily << 10 << false;
}

void TestPortConfigForm::fonts()
{
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(int, pointSize);
    QFETCH(bool, bold);

    auto *widget = form->findChild<QWidget *>(name);
    QVERIFY(widget);
    const QFont font = widget->font();
    QCOMPARE(font.pointSize(), pointSize);
    QCOMPARE(font.bold(), bold);
    if (family.isEmpty())
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        QVERIFY(!(font.resolveMask() & QFont::FamilyResolved));
#else
        QVERIFY(!(font.resolve() & QFont::FamilyResolved));
#endif
    else
        QCOMPARE(font.family(), family);
}

void TestPortConfigForm::styleSheets()
{
    QCOMPARE(kWhite.size(), 12);
    for (QWidget *white :
         {static_cast<QWidget *>(ui->gpbPort), static_cast<QWidget *>(ui->rdbUart),
          static_cast<QWidget *>(ui->rdbCan), static_cast<QWidget *>(ui->label_12)})
        QCOMPARE(white->styleSheet(), kWhite);
    for (QComboBox *list : form->findChildren<QComboBox *>())
        QCOMPARE(list->styleSheet(), QString());
    QCOMPARE(form->findChildren<QComboBox *>().size(), 8);
    QCOMPARE(form->styleSheet(), QString());
}

void TestPortConfigForm::listPalettes()
{
    const QColor white(255, 255, 255);
    const QColor black(0, 0, 0);
    const QVector<QPalette::ColorRole> whiteRoles{QPalette::WindowText, QPalette::Button,
                                                  QPalette::Text,       QPalette::ButtonText,
                                                  QPalette::Base,       QPalette::Window};
    for (QComboBox *list : form->findChildren<QComboBox *>()) {
        const QPalette palette = list->palette();
        for (QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            for (QPalette::ColorRole role : whiteRoles)
                QCOMPARE(palette.color(group, role), white);
            QCOMPARE(palette.color(group, QPalette::HighlightedText), black);
        }
        QCOMPARE(palette.color(QPalette::Active, QPalette::Highlight), white);
        QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight), white);
        QCOMPARE(palette.color(QPalette::Disabled, QPalette::Highlight), QColor(0, 120, 215));
    }
}

void TestPortConfigForm::sizes()
{
    QCOMPARE(ui->rdbCan->minimumWidth(), 50);
    QCOMPARE(ui->cmbUartBaudrate->minimumWidth(), 80);
    for (QComboBox *list : {static_cast<QComboBox *>(ui->cmbRxProtocol),
                            static_cast<QComboBox *>(ui->cmbTxProtocol)}) {
        QCOMPARE(list->sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
        QCOMPARE(list->sizePolicy().verticalPolicy(), QSizePolicy::Preferred);
    }
    QCOMPARE(ui->cmbRxProtocol->sizeAdjustPolicy(), QComboBox::AdjustToContentsOnFirstShow);
}

void TestPortConfigForm::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("rdbUart") << "rdbUart" << QStringLiteral("串口");
    QTest::newRow("rdbCan") << "rdbCan" << QStringLiteral("Can");
    QTest::newRow("label_10") << "label_10" << QStringLiteral("波特率");
    QTest::newRow("label_33") << "label_33" << QStringLiteral("停止位");
    QTest::newRow("label_11") << "label_11" << QStringLiteral("数据位");
    QTest::newRow("label_36") << "label_36" << QStringLiteral("奇偶校验");
    QTest::newRow("label_12") << "label_12" << QStringLiteral("波特率");
    QTest::newRow("label_37") << "label_37" << QStringLiteral("电平");
    QTest::newRow("label_13") << "label_13" << QStringLiteral("接收功能");
    QTest::newRow("label_14") << "label_14" << QStringLiteral("发送功能");
}

void TestPortConfigForm::texts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QObject *object = form->findChild<QObject *>(name);
    QVERIFY(object);
    QCOMPARE(object->property("text").toString(), text);
}

void TestPortConfigForm::staticItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("cmbUartBaudrate")
        << "cmbUartBaudrate" << QStringList{"2400",  "4800",   "9600",   "19200",  "38400",
                                            "57600", "115200", "230400", "460800", "921600"};
    QTest::newRow("cmbStopBit") << "cmbStopBit" << QStringList{"1", "2"};
    QTest::newRow("cmbDataBit") << "cmbDataBit" << QStringList{"8", "9"};
    QTest::newRow("cmbParity") << "cmbParity"
                               << QStringList{QStringLiteral("无"), QStringLiteral("偶校验"),
                                              QStringLiteral("奇校验")};
    QTest::newRow("cmbCanBaudrate") << "cmbCanBaudrate" << QStringList{"666.666", "1000", "500"};
    QTest::newRow("cmbLevelSec") << "cmbLevelSec" << QStringList{"232", "422"};
    QTest::newRow("cmbRxProtocol") << "cmbRxProtocol" << kRxItems;
    QTest::newRow("cmbTxProtocol") << "cmbTxProtocol" << kTxItems;
}

void TestPortConfigForm::staticItems()
{
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    auto *list = form->findChild<QComboBox *>(name);
    QVERIFY(list);
    QCOMPARE(itemsOf(list), items);
    for (int i = 0; i < list->count(); ++i) {
        QVERIFY(!list->itemData(i).isValid());
        QVERIFY(list->itemIcon(i).isNull());
    }
}

void TestPortConfigForm::stateAfterBuild()
{
    QCOMPARE(ui->stackedWidget->currentIndex(), 1);
    QVERIFY(!ui->rdbUart->isChecked());
    QVERIFY(!ui->rdbCan->isChecked());
    for (QComboBox *list : form->findChildren<QComboBox *>())
        QCOMPARE(list->currentIndex(), 0);
}

// A receiver with the card's slot names: the form connects them by name.
class SlotProbe : public QWidget
{
    Q_OBJECT
public:
    QStringList calls;
public slots:
    void on_rdbUart_clicked(bool checked) { calls << QStringLiteral("uart %1").arg(checked); }
    void on_rdbCan_clicked(bool checked) { calls << QStringLiteral("can %1").arg(checked); }
    void on_cmbRxProtocol_activated(int index) { calls << QStringLiteral("rx %1").arg(index); }
    void on_cmbTxProtocol_activated(int index) { calls << QStringLiteral("tx %1").arg(index); }
};

void TestPortConfigForm::slotsConnectedByName()
{
    SlotProbe probe;
    Ui::PortConfig probeUi;
    probeUi.setupUi(&probe);
    probeUi.rdbCan->click();
    probeUi.rdbUart->click();
    emit probeUi.cmbRxProtocol->activated(4);
    emit probeUi.cmbTxProtocol->activated(2);
    QCOMPARE(probe.calls, (QStringList{QStringLiteral("can 1"), QStringLiteral("uart 1"),
                                       QStringLiteral("rx 4"), QStringLiteral("tx 2")}));
}

void TestPortConfigForm::partialTranslationKeepsSourceTexts()
{
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(PORTCONFIG_PARTIAL_QM)));
    QCoreApplication::installTranslator(&translator);
    QWidget translated;
    Ui::PortConfig translatedUi;
    translatedUi.setupUi(&translated);
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(translatedUi.rdbUart->text(), QStringLiteral("UART"));
    QCOMPARE(translatedUi.rdbCan->text(), QStringLiteral("Can"));
    QCOMPARE(translatedUi.label_10->text(), QStringLiteral("波特率"));
    QCOMPARE(translatedUi.cmbParity->itemText(1), QStringLiteral("Even"));
    // Only the card's own context counts.
    QCOMPARE(translatedUi.cmbParity->itemText(2), QStringLiteral("奇校验"));
    QCOMPARE(translatedUi.cmbRxProtocol->itemText(3), QStringLiteral("Pod"));
    QCOMPARE(translatedUi.cmbTxProtocol->itemText(3), QStringLiteral("Pod"));
    QCOMPARE(translatedUi.cmbTxProtocol->count(), kTxItems.size());
}

void TestPortConfigForm::shippedCatalogues_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("zh_CN") << QStringLiteral("agreement_zh_CN.ini");
    QTest::newRow("en_US") << QStringLiteral("agreement_en_US.ini");
}

void TestPortConfigForm::shippedCatalogues()
{
    QFETCH(QString, fileName);
    const QString path = AgreementCatalog::defaultFolder() + QLatin1Char('/') + fileName;

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    QTextCodec *gbk = QTextCodec::codecForName("GBK");
    QVERIFY(gbk);
    QTextCodec::ConverterState state;
    const QString decoded = gbk->toUnicode(bytes.constData(), bytes.size(), &state);
    QCOMPARE(state.invalidChars, 0);
    QCOMPARE(gbk->fromUnicode(decoded), bytes);

    QStringList accept;
    QStringList send;
    QVERIFY(parseAgreementFile(path, accept, send));
    // Same positions as the form's own lists, so the protocol codes agree.
    QCOMPARE(accept.size(), kRxItems.size());
    QCOMPARE(send.size(), kTxItems.size());
    QStringList acceptKeys;
    QStringList sendKeys;
    for (const QString &entry : qAsConst(accept))
        acceptKeys << AgreementCatalog::entryKey(entry);
    for (const QString &entry : qAsConst(send))
        sendKeys << AgreementCatalog::entryKey(entry);
    if (fileName.contains(QLatin1String("zh_CN"))) {
        QCOMPARE(acceptKeys, kRxItems);
        QCOMPARE(sendKeys, kTxItems);
        QCOMPARE(AgreementCatalog::helpText(accept, QStringLiteral("Norvek标准吊舱协议")),
                 QStringLiteral("波特率 115200\n停止位 1"));
    } else {
        QCOMPARE(acceptKeys.first(), QStringLiteral("Disabled"));
        QCOMPARE(sendKeys.first(), QStringLiteral("Disabled"));
    }

    // Every name is a usable file name and shows a help text of its own.
    const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (const QStringList *keys : {&acceptKeys, &sendKeys}) {
        const QStringList &entries = keys == &acceptKeys ? accept : send;
        QCOMPARE(QSet<QString>(keys->begin(), keys->end()).size(), keys->size());
        for (const QString &key : *keys) {
            QVERIFY2(!key.trimmed().isEmpty(), qPrintable(key));
            QCOMPARE(key, key.trimmed());
            for (QChar c : forbidden)
                QVERIFY2(!key.contains(c), qPrintable(key));
            QVERIFY2(!AgreementCatalog::helpText(entries, key).isEmpty(), qPrintable(key));
        }
    }
}

QTEST_MAIN(TestPortConfigForm)
#include "tst_portconfigform.moc"
