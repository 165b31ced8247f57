// Every list of every port card shows its whole current text, in the language
// the program starts in: the real window, the real catalogue and translation.
// The test runs once per language (LANG set by CTest).
#include "listwidth.h"
#include "mainwidget.h"
#include "windowlookup.h"
#include "portconfig.h"
#include "installedlocale.h"
#include "startup.h"

#include <QComboBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QtTest>

namespace
{
void setMode(MainWidget &window, int mode)
{
    WindowLookup::panel(&window)->rebuild(mode == 0 ? ModuleModel::Tovrin : ModuleModel::R7);
}
} // namespace

class TestCardTexts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyListShowsItsText_data();
    void everyListShowsItsText();
    void canChoiceText();
};

void TestCardTexts::initTestCase()
{
    // As the program starts: the translation for the system locale, from the
    // program folder of the build.
    QVERIFY(initLanguage(QStringLiteral(TOVRIN_BIN_DIR)));
    QCOMPARE(InstalledLocale::name(), QLocale::system().name());
}

void TestCardTexts::everyListShowsItsText_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("record"); // applied to every card; empty: none
    const QByteArray none;
    // 9600 baud, even parity, 9 data bits, 2 stop bits, RS-422: the longest
    // texts of the short lists. The protocols stay at "Disabled": some English
    // protocol names are wider than a 648-pixel card can give its lists; their
    // popup shows them whole.
    const QByteArray longest = QByteArray::fromHex("0080250000020101010000");
    QTest::newRow("Tovrin, as built") << 0 << none;
    QTest::newRow("R7, as built") << 1 << none;
    QTest::newRow("Tovrin, longest texts") << 0 << longest;
    QTest::newRow("R7, longest texts") << 1 << longest;
}

void TestCardTexts::everyListShowsItsText()
{
    QFETCH(int, mode);
    QFETCH(QByteArray, record);

    MainWidget window;
    setMode(window, mode);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int i = 0; i < WindowLookup::portCount(&window); ++i) {
        if (!record.isEmpty())
            WindowLookup::card(&window, i)->setPortParam(record);
    }

    int checked = 0;
    for (int i = 0; i < WindowLookup::portCount(&window); ++i) {
        PortConfig *card = WindowLookup::card(&window, i);
        for (QComboBox *list : card->findChildren<QComboBox *>()) {
            if (!list->isVisible())
                continue;
            ++checked;
            const QString what = QStringLiteral("%1 %2 \"%3\": width %4, needs %5")
                                     .arg(card->id())
                                     .arg(list->objectName(), list->currentText())
                                     .arg(list->width())
                                     .arg(listWidthFor(list, list->currentText()));
            QVERIFY2(list->width() >= listWidthFor(list, list->currentText()), qPrintable(what));
        }
    }
    QVERIFY(checked >= 5 * 6);
}
void TestCardTexts::canChoiceText()
{
    // The Chinese cards keep the form's own text; English writes the acronym.
    PortConfig card(ProtocolCatalogue::load());
    const QString expected = InstalledLocale::name() == QLatin1String("zh_CN")
                                 ? QStringLiteral("Can")
                                 : QStringLiteral("CAN");
    QCOMPARE(card.findChild<QRadioButton *>(QStringLiteral("rdbCan"))->text(), expected);
}

QTEST_MAIN(TestCardTexts)
#include "tst_cardtexts.moc"
