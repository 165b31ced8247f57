// Cards built against a catalogue folder the test controls: this program runs
// from a folder of its own, so the test may remove or rewrite the folder.
#include "boxwatcher.h"
#include "catalogfixture.h"
#include "cataloguenotice.h"
#include "mainwidget.h"
#include "portconfig.h"
#include "windowlookup.h"
#include "testpaths.h"
#include "linkpeers.h"
#include "userpick.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>
#include <QTranslator>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace
{
QString catalogueFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/resources/agreement");
}

QComboBox *list(PortConfig &card, const char *name)
{
    return card.findChild<QComboBox *>(QString::fromLatin1(name));
}

QStringList itemsOf(QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// A card as the window builds one: the catalogue loaded, what went wrong told,
// then the card.
std::unique_ptr<PortConfig> loadedCard()
{
    const ProtocolCatalogue catalogue = ProtocolCatalogue::load();
    CatalogueNotice::show(catalogue);
    return std::make_unique<PortConfig>(catalogue);
}

bool writeCatalogue(const QString &name, const QString &text)
{
    return QDir().mkpath(catalogueFolder()) &&
           CatalogFixture::writeGbk(catalogueFolder() + QLatin1Char('/') + name, text, true);
}

// Warnings of the program while one is alive.
class WarningLog
{
public:
    WarningLog() { previous() = qInstallMessageHandler(&WarningLog::record); }
    ~WarningLog()
    {
        qInstallMessageHandler(previous());
        messages().clear();
    }
    static QStringList &messages()
    {
        static QStringList list;
        return list;
    }

private:
    static QtMessageHandler &previous()
    {
        static QtMessageHandler handler = nullptr;
        return handler;
    }
    static void record(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (type == QtWarningMsg)
            messages() << text;
        else if (previous())
            previous()(type, context, text);
    }
};
} // namespace

class TestCardCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanupTestCase();

    void missingFolder();
    void folderWithoutCatalogue();
    void oneBoxPerWindow();
    void rebuildRunsNoEventLoop();
    void repliesDuringTheBoxesReachNoFreedCard();
    void rebuildReadsNoFile();
    void unreadableCatalogue();
    void entriesFillTheLists();
    void choiceOfFile_data();
    void choiceOfFile();
    void entriesPastTheLastCodeAreNotOffered();
    void oversizedFileIsRefused();
};

void TestCardCatalogue::init()
{
    QVERIFY(QCoreApplication::applicationDirPath() != QStringLiteral(TOVRIN_BIN_DIR));
    QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/resources")).removeRecursively();
}

void TestCardCatalogue::cleanupTestCase()
{
    QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/resources")).removeRecursively();
}

void TestCardCatalogue::missingFolder()
{
    BoxWatcher watcher;
    const auto owned = loadedCard();
    PortConfig &card = *owned;
    QCOMPARE(watcher.boxes.size(), 1);
    const ShownBox box = watcher.boxes.first();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.title, QStringLiteral("MsgError"));
    QCOMPARE(box.text, QStringLiteral("MsgErrAgreeCfg"));
    QCOMPARE(box.buttonCount, 1);

    // Both protocol lists stay empty; the form's own items are gone too.
    QCOMPARE(list(card, "cmbRxProtocol")->count(), 0);
    QCOMPARE(list(card, "cmbTxProtocol")->count(), 0);
    // No record applied yet: the lists without an item write 0.
    QCOMPARE(card.getPortParam().toHex(), QByteArray("0000e10000000000000000"));
    // Afterwards they write back what the module sent.
    QVERIFY(card.setPortParam(QByteArray::fromHex("0000c20100000000001011")));
    QCOMPARE(list(card, "cmbRxProtocol")->currentIndex(), -1);
    QCOMPARE(card.getPortParam().toHex(), QByteArray("0000c20100000000001011"));
}

void TestCardCatalogue::folderWithoutCatalogue()
{
    QVERIFY(writeCatalogue(QStringLiteral("Agreement_zh_CN.ini"),
                           QStringLiteral("[Accept]\n{\nA\n}\n")));
    QVERIFY(writeCatalogue(QStringLiteral("agreement_zh_CN.INI"),
                           QStringLiteral("[Accept]\n{\nA\n}\n")));
    BoxWatcher watcher;
    const auto first = loadedCard();
    const auto second = loadedCard();
    QCOMPARE(watcher.boxes.size(), 2);
    QCOMPARE(list(*second, "cmbRxProtocol")->count(), 0);
}

void TestCardCatalogue::oneBoxPerWindow()
{
    BoxWatcher watcher;
    // Other parts of the window may have their own reasons for a box.
    auto catalogueBoxes = [&watcher] {
        return std::count_if(watcher.boxes.cbegin(), watcher.boxes.cend(), [](const ShownBox &box) {
            return box.title == QLatin1String("MsgError") &&
                   box.text == QLatin1String("MsgErrAgreeCfg");
        });
    };
    MainWidget window;
    QCOMPARE(catalogueBoxes(), 1);
    WindowLookup::panel(&window)->rebuild(ModuleModel::R7);
    QCOMPARE(catalogueBoxes(), 1);
    QCOMPARE(WindowLookup::portCount(&window), 6);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(list(*WindowLookup::card(&window, i), "cmbRxProtocol")->count(), 0);
}

// A rebuild shows no box, so no event loop runs inside it: a rebuild asked
// meanwhile (a version reply naming the other model) runs after it, and the
// panel ends with the cards of the model asked last.
void TestCardCatalogue::rebuildRunsNoEventLoop()
{
    BoxWatcher watcher;
    MainWidget window;
    PortPanel *panel = WindowLookup::panel(&window);
    const int before = watcher.boxes.size();
    QTimer::singleShot(0, panel, [panel] { panel->rebuild(ModuleModel::R7); });
    panel->rebuild(ModuleModel::Tovrin);
    QCOMPARE(panel->model(), ModuleModel::Tovrin);
    QCOMPARE(panel->count(), 5);

    QTRY_COMPARE(panel->model(), ModuleModel::R7);
    const int ports = 6;
    QCOMPARE(panel->count(), ports);
    QCOMPARE(window.findChildren<PortConfig *>().size(), ports);
    for (int i = 0; i < ports; ++i)
        QVERIFY(panel->card(i));
    QCOMPARE(panel->records().size(), ports);
    QCOMPARE(watcher.boxes.size() - before, 0);
}

void TestCardCatalogue::repliesDuringTheBoxesReachNoFreedCard()
{
    // No catalogue: the window tells so once, before any link is open; the
    // replies behind a version reply arrive while the panel is rebuilt.
    PtyPair pty;
    QVERIFY(pty.start());
    LinkPeers::SerialPeer module;
    QVERIFY(module.open(pty.second()));
    BoxWatcher watcher;
    MainWidget::setExtraSerialPorts({pty.first()});
    MainWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.findChild<QPushButton *>("btnOpenSerialPort"), Qt::LeftButton);
    const QByteArray query = LinkPeers::frame(MSG_VERSION, QByteArray(1, '\0'));
    QTRY_COMPARE_WITH_TIMEOUT(module.received, query, 5000);
    module.received.clear();

    // The version reply rebuilds the panel for R7; the replies behind it
    // reach the new cards.
    QByteArray records;
    for (int i = 0; i < 5; ++i)
        records += QByteArray::fromHex("0000c20100000000000000");
    records += QByteArray::fromHex("012a2c0a00000000000000"); // CAN2 takes only CAN
    module.send(LinkPeers::frame(MSG_VERSION, QByteArray::fromHex("2d010203"))
                + LinkPeers::frame(MSG_READ_ALL, records)
                + LinkPeers::frame(MSG_WRITE_PORT, QByteArray(1, '\4'))
                + LinkPeers::frame(MSG_READ_PORT, QByteArray(1, '\0') + records.left(11)));
    // The read of the fresh panel follows; its answer fills the new cards.
    const QByteArray read = LinkPeers::frame(MSG_READ_ALL, QByteArray(1, '\0'));
    QTRY_COMPARE_WITH_TIMEOUT(module.received, read, 10000);
    module.send(LinkPeers::frame(MSG_READ_ALL, records));
    QTRY_COMPARE_WITH_TIMEOUT(window.findChild<QLabel *>("lblStatus")->text(),
                              QCoreApplication::translate("MainWidget", "读取参数成功"), 5000);
    QCOMPARE(WindowLookup::portCount(&window), 6);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(WindowLookup::card(&window, i)->getPortParam(), records.mid(11 * i, 11));
    QCOMPARE(window.findChildren<PortConfig *>().size(), 6);
}

// The window reads the catalogue once: a rebuild shows what it read, whatever
// the folder holds by then.
void TestCardCatalogue::rebuildReadsNoFile()
{
    QVERIFY(writeCatalogue(QStringLiteral("agreement_zh_CN.ini"),
                           QStringLiteral("[Accept]\n{\n甲\n乙\n}\n[Send]\n{\n丙\n}\n")));
    BoxWatcher watcher;
    MainWidget window;
    QCOMPARE(watcher.boxes.size(), 0);

    QVERIFY(writeCatalogue(QStringLiteral("agreement_zh_CN.ini"),
                           QStringLiteral("[Accept]\n{\n丁\n}\n")));
    WindowLookup::panel(&window)->rebuild(ModuleModel::R7);
    QVERIFY(QDir(catalogueFolder()).removeRecursively());
    WindowLookup::panel(&window)->rebuild(ModuleModel::R7);
    WindowLookup::panel(&window)->rebuild(ModuleModel::Tovrin);
    WindowLookup::panel(&window)->rebuild(ModuleModel::R7);

    QCOMPARE(watcher.boxes.size(), 0);
    QCOMPARE(WindowLookup::portCount(&window), 6);
    for (int i = 0; i < 6; ++i) {
        PortConfig &card = *WindowLookup::card(&window, i);
        QCOMPARE(itemsOf(list(card, "cmbRxProtocol")),
                 (QStringList{QStringLiteral("甲"), QStringLiteral("乙")}));
        QCOMPARE(itemsOf(list(card, "cmbTxProtocol")), QStringList{QStringLiteral("丙")});
    }
}

void TestCardCatalogue::unreadableCatalogue()
{
    QVERIFY(writeCatalogue(QStringLiteral("agreement_zh_CN.ini"),
                           QStringLiteral("[Accept]\n{\nA\n}\n")));
    QFile file(catalogueFolder() + QStringLiteral("/agreement_zh_CN.ini"));
    QVERIFY(file.setPermissions(QFileDevice::Permissions()));
    if (file.open(QIODevice::ReadOnly))
        QSKIP("file permissions do not bind this user");
    BoxWatcher watcher;
    const auto owned = loadedCard();
    PortConfig &card = *owned;
    QCOMPARE(watcher.boxes.size(), 0);
    QCOMPARE(list(card, "cmbRxProtocol")->count(), 0);
    QCOMPARE(list(card, "cmbTxProtocol")->count(), 0);
}

void TestCardCatalogue::entriesFillTheLists()
{
    QVERIFY(writeCatalogue(QStringLiteral("agreement_zh_CN.ini"),
                           QStringLiteral("[Accept]\n{\n\"不启用\"\n\"甲==帮助\\n第二行\"\n\n乙\n"
                                          "\"甲==另一个\"\n丙==一==二\n}\n"
                                          "[Send]\n{\n\"发送甲==发\\n送\"\n}\n")));
    BoxWatcher watcher;
    const auto owned = loadedCard();
    PortConfig &card = *owned;
    card.setId(3);
    QCOMPARE(watcher.boxes.size(), 0);

    QComboBox *rx = list(card, "cmbRxProtocol");
    QComboBox *tx = list(card, "cmbTxProtocol");
    QCOMPARE(itemsOf(rx),
             (QStringList{QStringLiteral("不启用"), QStringLiteral("甲"), QString(),
                          QStringLiteral("乙"), QStringLiteral("甲"), QStringLiteral("丙")}));
    QCOMPARE(itemsOf(tx), QStringList{QStringLiteral("发送甲")});

    // The blank entry takes a position, so 乙 has code 16.
    UserPick::pick(rx, 3);
    QCOMPARE(card.getPortParam().at(9), char(16));
    UserPick::pick(rx, 5);
    QCOMPARE(card.getPortParam().at(9), char(18));

    QSignalSpy accepted(&card, &PortConfig::sglAccept);
    QSignalSpy sent(&card, &PortConfig::sglSend);
    for (int position : {3, 4, 5, 1}) {
        rx->setCurrentIndex(position);
        emit rx->activated(position);
    }
    emit tx->activated(0);
    QCOMPARE(accepted.count(), 4);
    QCOMPARE(accepted.at(0), (QVariantList{3, 3, QString(), QStringLiteral("乙")}));
    QCOMPARE(accepted.at(1),
             (QVariantList{3, 4, QStringLiteral("帮助\n第二行"), QStringLiteral("甲")}));
    QCOMPARE(accepted.at(2), (QVariantList{3, 5, QStringLiteral("一"), QStringLiteral("丙")}));
    QCOMPARE(accepted.at(3),
             (QVariantList{3, 1, QStringLiteral("帮助\n第二行"), QStringLiteral("甲")}));
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.at(0), (QVariantList{3, 0, QStringLiteral("发\n送"), QStringLiteral("发送甲")}));
}

void TestCardCatalogue::choiceOfFile_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("used");

    QTest::newRow("system locale")
        << QStringList{"agreement_en_US.ini", "agreement_zh_CN.ini"} << "agreement_zh_CN.ini";
    QTest::newRow("en_US when the locale has none")
        << QStringList{"agreement_fr_FR.ini", "agreement_en_US.ini"} << "agreement_en_US.ini";
    QTest::newRow("smallest key without en_US")
        << QStringList{"agreement_fr_FR.ini", "agreement_de_DE.ini"} << "agreement_de_DE.ini";
    QTest::newRow("same key: later name")
        << QStringList{"agreement_zh_CN.ini", "agreement_zh_CN_v2.ini"} << "agreement_zh_CN_v2.ini";
}

void TestCardCatalogue::choiceOfFile()
{
    QFETCH(QStringList, files);
    QFETCH(QString, used);
    // Each file names itself in its one receive entry.
    for (const QString &name : qAsConst(files))
        QVERIFY(
            writeCatalogue(name, QStringLiteral("[Accept]\n{\n") + name + QStringLiteral("\n}\n")));
    const auto owned = loadedCard();
    PortConfig &card = *owned;
    QCOMPARE(itemsOf(list(card, "cmbRxProtocol")), QStringList{used});
}

void TestCardCatalogue::entriesPastTheLastCodeAreNotOffered()
{
    QString text;
    for (const char *section : {"Accept", "Send"}) {
        text += QStringLiteral("[%1]\n{\n").arg(QLatin1String(section));
        for (int i = 0; i < 2000; ++i)
            text += QStringLiteral("\"条目%1==帮助%1\"\n").arg(i);
        text += QStringLiteral("}\n");
    }
    QVERIFY(writeCatalogue(QStringLiteral("agreement_zh_CN.ini"), text));

    WarningLog log;
    QElapsedTimer timer;
    timer.start();
    MainWidget window;
    const qint64 fiveCards = timer.restart();
    WindowLookup::panel(&window)->rebuild(ModuleModel::R7);
    qInfo("2000-entry catalogue: window with 5 cards %lld ms, rebuild with 6 cards %lld ms",
          fiveCards, timer.elapsed());

    for (int i = 0; i < 6; ++i) {
        PortConfig &card = *WindowLookup::card(&window, i);
        for (const char *name : {"cmbRxProtocol", "cmbTxProtocol"}) {
            QComboBox *protocols = list(card, name);
            QCOMPARE(protocols->count(), 115);
            QCOMPARE(protocols->itemText(114), QStringLiteral("条目114"));
        }
    }
    // The last entry offered carries the last code, and that code names it.
    PortConfig &card = *WindowLookup::card(&window, 0);
    UserPick::pick(list(card, "cmbRxProtocol"), 114);
    UserPick::pick(list(card, "cmbTxProtocol"), 3);
    QCOMPARE(card.getPortParam().mid(9).toHex(), QByteArray("7f10"));
    QVERIFY(card.setPortParam(QByteArray::fromHex("0000c20100000000007f7f")));
    QCOMPARE(list(card, "cmbTxProtocol")->currentText(), QStringLiteral("条目114"));

    // The window reads the file once for its eleven cards: the author is told once.
    const QStringList warnings =
        WarningLog::messages().filter(QStringLiteral("agreement_zh_CN.ini"));
    QCOMPARE(warnings.size(), 1);
    QVERIFY2(warnings.first().contains(QLatin1String("3770")), qPrintable(warnings.first()));
}

void TestCardCatalogue::oversizedFileIsRefused()
{
    // 50 MB that start like a catalogue.
    QVERIFY(writeCatalogue(QStringLiteral("agreement_zh_CN.ini"),
                           QStringLiteral("[Accept]\n{\n不启用\n")));
    QFile file(catalogueFolder() + QStringLiteral("/agreement_zh_CN.ini"));
    QVERIFY(file.resize(50 * 1024 * 1024));

    QTranslator english;
    QVERIFY(english.load(QStringLiteral(TOVRIN_BIN_DIR "/TovrinVazodivuveTool_en_US.qm")));
    QCoreApplication::installTranslator(&english);
    BoxWatcher watcher;
    QElapsedTimer timer;
    timer.start();
    const auto owned = loadedCard();
    PortConfig &card = *owned;
    qInfo("50 MB catalogue: loaded and card built in %lld ms", timer.elapsed());
    QCoreApplication::removeTranslator(&english);

    QCOMPARE(watcher.boxes.size(), 1);
    const ShownBox box = watcher.boxes.first();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.title, QStringLiteral("Error"));
    QCOMPARE(box.text, QStringLiteral("The protocol catalogue agreement_zh_CN.ini is larger than "
                                      "1024 KiB and was not read; the protocol lists stay empty."));
    QCOMPARE(list(card, "cmbRxProtocol")->count(), 0);
    QCOMPARE(list(card, "cmbTxProtocol")->count(), 0);
}

QTEST_MAIN(TestCardCatalogue)
#include "tst_cardcatalogue.moc"
