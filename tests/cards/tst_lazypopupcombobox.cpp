// A list that builds its popup late shows the same popup as a plain list: the
// same font, the same rows, the same pixels, however the popup comes into
// being; and a port card's lists build none until one is needed.
#include "childwidget.h"
#include "lazypopupcombobox.h"
#include "portconfig.h"
#include "protocolcatalogue.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QVBoxLayout>
#include <QtTest>

namespace
{
const QStringList kItems{QStringLiteral("无"), QStringLiteral("偶校验"), QStringLiteral("奇校验"),
                         QStringLiteral("115200")};

enum class Trigger { Opened, ViewAsked, Typed };

void trigger(QComboBox *list, Trigger how)
{
    switch (how) {
    case Trigger::Opened:
        list->showPopup();
        break;
    case Trigger::ViewAsked:
        list->view();
        break;
    case Trigger::Typed:
        QTest::keyClicks(list, QStringLiteral("1"));
        break;
    }
}

QImage shownRows(QComboBox *list)
{
    list->showPopup();
    QAbstractItemView *view = list->view();
    if (!QTest::qWaitForWindowExposed(view->window()))
        return QImage();
    const QImage rows = view->viewport()->grab().toImage();
    list->hidePopup();
    return rows;
}
} // namespace

Q_DECLARE_METATYPE(Trigger)

class TestLazyPopupComboBox : public QObject
{
    Q_OBJECT
private slots:
    void popupAsPlainList_data();
    void popupAsPlainList();
    void cardBuildsNoPopupUntilNeeded();
    void sharedWidthsHintAsPlainList_data();
    void sharedWidthsHintAsPlainList();
    void cardListsHintAsPlainLists();
};

void TestLazyPopupComboBox::popupAsPlainList_data()
{
    QTest::addColumn<Trigger>("how");
    QTest::addColumn<QString>("parentSheet");
    QTest::addColumn<bool>("fontFirst");
    const QString sheet = QStringLiteral("background-color:rgb(41, 45, 49); color: white;");
    QTest::newRow("opened") << Trigger::Opened << QString() << false;
    QTest::newRow("opened, styled parent") << Trigger::Opened << sheet << false;
    QTest::newRow("opened, font before items") << Trigger::Opened << sheet << true;
    QTest::newRow("view asked, styled parent") << Trigger::ViewAsked << sheet << false;
    QTest::newRow("typed, styled parent") << Trigger::Typed << sheet << false;
    QTest::newRow("typed") << Trigger::Typed << QString() << true;
}

void TestLazyPopupComboBox::popupAsPlainList()
{
    QFETCH(Trigger, how);
    QFETCH(QString, parentSheet);
    QFETCH(bool, fontFirst);

    QWidget parent;
    parent.setStyleSheet(parentSheet);
    QFont font = parent.font();
    font.setPointSize(font.pointSize() + 3);
    const auto fill = [&](QComboBox *list, int x) {
        if (fontFirst)
            list->setFont(font);
        list->addItems(kItems);
        if (!fontFirst)
            list->setFont(font);
        list->setGeometry(x, 0, 120, 24);
    };
    auto *plain = new QComboBox(&parent);
    fill(plain, 0);
    auto *lazy = new LazyPopupComboBox(&parent);
    fill(lazy, 130);
    parent.resize(260, 30);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QVERIFY(!lazy->hasPopup());

    for (QComboBox *list : {static_cast<QComboBox *>(plain), static_cast<QComboBox *>(lazy)}) {
        list->setFocus();
        trigger(list, how);
        list->hidePopup();
    }
    QVERIFY(lazy->hasPopup());
    QCOMPARE(lazy->currentIndex(), plain->currentIndex());

    QCOMPARE(lazy->view()->font(), plain->view()->font());
    QCOMPARE(lazy->view()->window()->font(), plain->view()->window()->font());
    QCOMPARE(lazy->view()->sizeHintForRow(0), plain->view()->sizeHintForRow(0));
    const QImage plainRows = shownRows(plain);
    QVERIFY(!plainRows.isNull());
    QCOMPARE(shownRows(lazy), plainRows);

    // A font set once the popup exists reaches it, as on a plain list.
    font.setPointSize(font.pointSize() + 2);
    plain->setFont(font);
    lazy->setFont(font);
    QCOMPARE(lazy->view()->font(), plain->view()->font());
    QCOMPARE(lazy->view()->window()->font(), plain->view()->window()->font());
    QCOMPARE(shownRows(lazy), shownRows(plain));
}

void TestLazyPopupComboBox::cardBuildsNoPopupUntilNeeded()
{
    QWidget window;
    window.setStyleSheet(QStringLiteral("background-color:rgb(41, 45, 49);"));
    auto *card = new PortConfig(ProtocolCatalogue::load(), &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QList<LazyPopupComboBox *> lists = card->findChildren<LazyPopupComboBox *>();
    QCOMPARE(lists.size(), 8);
    for (LazyPopupComboBox *list : lists)
        QVERIFY2(!list->hasPopup(), qPrintable(list->objectName()));
    // Each popup, once built, as a plain list's in the same place and font.
    for (LazyPopupComboBox *list : lists) {
        auto *plain = new QComboBox(list->parentWidget());
        plain->setFont(list->font());
        list->view();
        QVERIFY(list->hasPopup());
        QCOMPARE(list->view()->font(), plain->view()->font());
        QCOMPARE(list->view()->window()->font(), plain->view()->window()->font());
    }
}

void TestLazyPopupComboBox::sharedWidthsHintAsPlainList_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("parentSheet");
    QTest::addColumn<QString>("ownSheet");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("plainReckoning");
    const QString dark = QStringLiteral("background-color:rgb(41, 45, 49);");
    const QStringList names{QStringLiteral("不启用"), QStringLiteral("北京华工HGIPS1402吊舱"),
                            QStringLiteral("Tmotor DataLink 数据盒"), QString()};
    QTest::newRow("no items") << QStringList() << QString() << QString() << true << 10 << false;
    QTest::newRow("names") << names << QString() << QString() << true << 10 << false;
    QTest::newRow("names, styled parent") << names << dark << QString() << true << 13 << false;
    QTest::newRow("locked") << kItems << dark
                            << QStringLiteral("background-color:rgb(115,126,130);") << false << 10
                            << false;
    QTest::newRow("empty texts") << QStringList{QString(), QString()} << dark << QString() << true
                                 << 8 << false;
    QTest::newRow("placeholder: as a plain list")
        << names << QString() << QString() << true << 10 << true;
}

void TestLazyPopupComboBox::sharedWidthsHintAsPlainList()
{
    QFETCH(QStringList, items);
    QFETCH(QString, parentSheet);
    QFETCH(QString, ownSheet);
    QFETCH(bool, enabled);
    QFETCH(int, pointSize);
    QFETCH(bool, plainReckoning);

    QWidget parent;
    parent.setStyleSheet(parentSheet);
    QFont font = parent.font();
    font.setPointSize(pointSize);
    QComboBox plain(&parent);
    LazyPopupComboBox lazy(&parent);
    lazy.setSharedTextWidths(true);
    for (QComboBox *list : {&plain, static_cast<QComboBox *>(&lazy)}) {
        list->setFont(font);
        list->addItems(items);
        list->setStyleSheet(ownSheet);
        list->setEnabled(enabled);
        if (plainReckoning)
            list->setPlaceholderText(QStringLiteral("a placeholder longer than any name here"));
    }
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    // Twice: the second time from the shared table.
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(lazy.sizeHint(), plain.sizeHint());
        QCOMPARE(lazy.minimumSizeHint(), plain.minimumSizeHint());
    }
}

// Every list of a built card, as a plain list with the same items, font and
// style in the same place reckons it.
void TestLazyPopupComboBox::cardListsHintAsPlainLists()
{
    QWidget window;
    window.setStyleSheet(QStringLiteral("background-color:rgb(41, 45, 49);"));
    auto *layout = new QVBoxLayout(&window);
    const ProtocolCatalogue catalogue = ProtocolCatalogue::load();
    for (bool locked : {false, true}) {
        auto *card = new PortConfig(catalogue, &window);
        layout->addWidget(card);
        if (locked)
            card->lockUartSettings();
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (LazyPopupComboBox *list : window.findChildren<LazyPopupComboBox *>()) {
        auto *plain = new QComboBox(list->parentWidget());
        plain->setObjectName(list->objectName());
        plain->setFont(list->font());
        plain->setPalette(list->palette());
        plain->setStyleSheet(list->styleSheet());
        plain->setEnabled(list->isEnabled());
        for (int i = 0; i < list->count(); ++i)
            plain->addItem(list->itemText(i));
        QCOMPARE(list->sizeHint(), plain->sizeHint());
        QCOMPARE(list->minimumSizeHint(), plain->minimumSizeHint());
    }
}

QTEST_MAIN(TestLazyPopupComboBox)
#include "tst_lazypopupcombobox.moc"
