// The catalogue reader: folder scan, choice of file, line rules, help texts,
// and the catalogue value the window and tovrinctl load once.
#include "agreementcatalog.h"
#include "catalogfixture.h"
#include "protocolcatalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestAgreementCatalog : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void parseAppendsToLists();
    void parseUnopenableFile();
    void parseOffersOnlyEntriesWithACode_data();
    void parseOffersOnlyEntriesWithACode();
    void parseRefusesLargeFiles_data();
    void parseRefusesLargeFiles();

    void scan_data();
    void scan();
    void scanMissingFolder();
    void scanDefaultFolderIsBesideProgram();

    void choosePath_data();
    void choosePath();

    void helpText_data();
    void helpText();

    void entryKey_data();
    void entryKey();

    void loadCatalogue_data();
    void loadCatalogue();
};

void TestAgreementCatalog::parse_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("crlf");
    QTest::addColumn<QStringList>("accept");
    QTest::addColumn<QStringList>("send");

    const QString example = QStringLiteral("[Accept]\n{\n\"不启用\"\n"
                                           "\"Norvek标准吊舱协议==波特率 115200\\n停止位 1\"\n"
                                           "Norvek标准CAN协议\n零度标准吊舱\n}\n"
                                           "[Send]\n{\n\"不启用\"\n}\n");
    const QStringList exampleAccept{
        QStringLiteral("不启用"), QStringLiteral("Norvek标准吊舱协议==波特率 115200\\n停止位 1"),
        QStringLiteral("Norvek标准CAN协议"), QStringLiteral("零度标准吊舱")};
    QTest::newRow("example, LF") << example << false << exampleAccept
                                 << QStringList{QStringLiteral("不启用")};
    QTest::newRow("example, CR LF")
        << example << true << exampleAccept << QStringList{QStringLiteral("不启用")};

    QTest::newRow("white space simplified")
        << QStringLiteral("  [Accept] \t\n\t{\n  a \t  b\v\fc  \n }\n") << false
        << QStringList{QStringLiteral("a b c")} << QStringList{};
    QTest::newRow("blank line is an empty entry")
        << QStringLiteral("[Accept]\n{\nA\n\n \t \nB\n}\n") << true
        << QStringList{QStringLiteral("A"), QString(), QString(), QStringLiteral("B")}
        << QStringList{};
    QTest::newRow("entry ending in } closes the block and is lost")
        << QStringLiteral("[Accept]\n{\nA\nB}\nC\n") << false << QStringList{QStringLiteral("A")}
        << QStringList{};
    QTest::newRow("rest of a { line ignored")
        << QStringLiteral("[Accept]\n{ X\nA\nend }\n") << false << QStringList{QStringLiteral("A")}
        << QStringList{};
    QTest::newRow("second Accept block read")
        << QStringLiteral("[Accept]\n{\nA\n}\nignored\n{\nB\n}\n") << false
        << QStringList{QStringLiteral("A"), QStringLiteral("B")} << QStringList{};
    QTest::newRow("second Send block ignored")
        << QStringLiteral("[Send]\n{\nA\n}\n{\nB\n}\n") << false << QStringList{}
        << QStringList{QStringLiteral("A")};
    QTest::newRow("new Send header opens the section again")
        << QStringLiteral("[Send]\n{\nA\n}\n[Send]\n{\nB\n}\n") << false << QStringList{}
        << QStringList{QStringLiteral("A"), QStringLiteral("B")};
    QTest::newRow("Send header inside an Accept block")
        << QStringLiteral("[Accept]\n{\nA\n[Send]\nB\n}\nC\n{\nD\n}\n") << false
        << QStringList{QStringLiteral("A")}
        << QStringList{QStringLiteral("Send"), QStringLiteral("B")};
    QTest::newRow("Accept header inside a Send block")
        << QStringLiteral("[Send]\n{\nA\n[Accept]\nB\n}\nC\n") << false
        << QStringList{QStringLiteral("Accept"), QStringLiteral("B")}
        << QStringList{QStringLiteral("A")};
    QTest::newRow("Accept header inside its own block")
        << QStringLiteral("[Accept]\n{\nA\n[Accept]\nB\n}\n") << false
        << QStringList{QStringLiteral("A"), QStringLiteral("Accept"), QStringLiteral("B")}
        << QStringList{};
    QTest::newRow("other bracketed name inside a block")
        << QStringLiteral("[Accept]\n{\nA\n[Other]\n[\"品灵\"]\nB\n}\n") << false
        << QStringList{QStringLiteral("A"), QStringLiteral("Other"), QStringLiteral("品灵"),
                       QStringLiteral("B")}
        << QStringList{};
    QTest::newRow("other header keeps the section")
        << QStringLiteral("[Accept]\n[Other]\n{\nA\n}\n") << false
        << QStringList{QStringLiteral("A")} << QStringList{};
    QTest::newRow("other header opens no section")
        << QStringLiteral("[Other]\n{\nA\n}\n") << false << QStringList{} << QStringList{};
    QTest::newRow("section names are case-sensitive")
        << QStringLiteral("[accept]\n{\nA\n}\n[SEND]\n{\nB\n}\n") << false << QStringList{}
        << QStringList{};
    QTest::newRow("lines before the first header ignored")
        << QStringLiteral("{\nA\n}\n[Accept]\n{\nB\n}\n") << false
        << QStringList{QStringLiteral("B")} << QStringList{};
    QTest::newRow("lines outside a block ignored")
        << QStringLiteral("[Accept]\nA\n{\nB\n}\nC\n[Send]\nD\n") << false
        << QStringList{QStringLiteral("B")} << QStringList{};
    QTest::newRow("quotes removed wherever they stand")
        << QStringLiteral("[Accept]\n{\n\"A\"\nB\"C\"\"D\n\"E==F\\n\"G\n\"\"\n}\n") << false
        << QStringList{QStringLiteral("A"), QStringLiteral("BCD"), QStringLiteral("E==F\\nG"),
                       QString()}
        << QStringList{};
    QTest::newRow("second == kept in the entry")
        << QStringLiteral("[Send]\n{\nA==B==C\n}\n") << false << QStringList{}
        << QStringList{QStringLiteral("A==B==C")};
    // 亇 is 81 7D in GBK: its trail byte is the code of '}'.
    QTest::newRow("GBK trail byte 0x7D does not close the block")
        << QStringLiteral("[Accept]\n{\n甲亇\n乙\n}\n") << true
        << QStringList{QStringLiteral("甲亇"), QStringLiteral("乙")} << QStringList{};
    QTest::newRow("last line without line end")
        << QStringLiteral("[Accept]\n{\nA") << false << QStringList{QStringLiteral("A")}
        << QStringList{};
    QTest::newRow("empty file") << QString() << false << QStringList{} << QStringList{};
}

void TestAgreementCatalog::parse()
{
    QFETCH(QString, content);
    QFETCH(bool, crlf);
    QFETCH(QStringList, accept);
    QFETCH(QStringList, send);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("agreement_zh_CN.ini"));
    QVERIFY(CatalogFixture::writeGbk(path, content, crlf));

    QStringList acceptList;
    QStringList sendList;
    QVERIFY(parseAgreementFile(path, acceptList, sendList));
    QCOMPARE(acceptList, accept);
    QCOMPARE(sendList, send);
}

void TestAgreementCatalog::parseAppendsToLists()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("c.ini"));
    QVERIFY(CatalogFixture::writeGbk(path, QStringLiteral("[Accept]\n{\nA\n}\n[Send]\n{\nB\n}\n")));
    QStringList acceptList{QStringLiteral("x")};
    QStringList sendList{QStringLiteral("y")};
    QVERIFY(parseAgreementFile(path, acceptList, sendList));
    QCOMPARE(acceptList, (QStringList{QStringLiteral("x"), QStringLiteral("A")}));
    QCOMPARE(sendList, (QStringList{QStringLiteral("y"), QStringLiteral("B")}));
}

void TestAgreementCatalog::parseUnopenableFile()
{
    QTemporaryDir dir;
    QStringList acceptList{QStringLiteral("x")};
    QStringList sendList;
    QVERIFY(!parseAgreementFile(dir.filePath(QStringLiteral("missing.ini")), acceptList, sendList));
    QVERIFY(!parseAgreementFile(dir.path(), acceptList, sendList));
    QCOMPARE(acceptList, QStringList{QStringLiteral("x")});
    QVERIFY(sendList.isEmpty());
}

void TestAgreementCatalog::parseOffersOnlyEntriesWithACode_data()
{
    QTest::addColumn<int>("acceptEntries");
    QTest::addColumn<int>("sendEntries");
    QTest::newRow("115 each: all") << 115 << 115;
    QTest::newRow("116 receive, 3 send") << 116 << 3;
    QTest::newRow("2000 each") << 2000 << 2000;
}

void TestAgreementCatalog::parseOffersOnlyEntriesWithACode()
{
    QFETCH(int, acceptEntries);
    QFETCH(int, sendEntries);
    QString text;
    for (const auto &section : {qMakePair(QStringLiteral("Accept"), acceptEntries),
                                qMakePair(QStringLiteral("Send"), sendEntries)}) {
        text += QStringLiteral("[%1]\n{\n").arg(section.first);
        for (int i = 0; i < section.second; ++i)
            text += QStringLiteral("%1 %2==help\n").arg(section.first).arg(i);
        text += QStringLiteral("}\n");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("agreement_zh_CN.ini"));
    QVERIFY(CatalogFixture::writeGbk(path, text));

    QStringList acceptList;
    QStringList sendList;
    AgreementCatalog::ParseReport report;
    QVERIFY(parseAgreementFile(path, acceptList, sendList, &report));
    QCOMPARE(acceptList.size(), qMin(acceptEntries, 115));
    QCOMPARE(sendList.size(), qMin(sendEntries, 115));
    QCOMPARE(acceptList.last(), QStringLiteral("Accept %1==help").arg(acceptList.size() - 1));
    QCOMPARE(report.dropped, qMax(0, acceptEntries - 115) + qMax(0, sendEntries - 115));
    QVERIFY(!report.tooLarge);
}

void TestAgreementCatalog::parseRefusesLargeFiles_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("read");
    QTest::newRow("1 MiB") << AgreementCatalog::MaxFileSize << true;
    QTest::newRow("1 MiB and a byte") << AgreementCatalog::MaxFileSize + 1 << false;
    QTest::newRow("50 MB") << qint64(50) * 1000 * 1000 << false;
}

void TestAgreementCatalog::parseRefusesLargeFiles()
{
    QFETCH(qint64, size);
    QFETCH(bool, read);
    // A short catalogue padded with spaces at the end of its last line.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("agreement_zh_CN.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray start("[Accept]\n{\nA\n}\n");
    QVERIFY(file.write(start) == start.size());
    QVERIFY(file.write(QByteArray(
                int(qMin<qint64>(size, 2 * AgreementCatalog::MaxFileSize) - start.size()), ' ')) >
            0);
    QVERIFY(file.resize(size));
    file.close();

    QStringList acceptList{QStringLiteral("x")};
    QStringList sendList;
    AgreementCatalog::ParseReport report;
    QCOMPARE(parseAgreementFile(path, acceptList, sendList, &report), read);
    QCOMPARE(report.tooLarge, !read);
    QCOMPARE(acceptList, read ? (QStringList{QStringLiteral("x"), QStringLiteral("A")})
                              : QStringList{QStringLiteral("x")});
}

void TestAgreementCatalog::scan_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QStringList>("expected"); // "key=file name", in key order

    QTest::newRow("two locales") << QStringList{QStringLiteral("agreement_zh_CN.ini"),
                                                QStringLiteral("agreement_en_US.ini")}
                                 << QStringList{} << QStringList{}
                                 << QStringList{QStringLiteral("en_US=agreement_en_US.ini"),
                                                QStringLiteral("zh_CN=agreement_zh_CN.ini")};
    QTest::newRow("names are case-sensitive")
        << QStringList{QStringLiteral("Agreement_zh_CN.ini"), QStringLiteral("agreement_zh_CN.INI"),
                       QStringLiteral("agreement_zh_CN.ini.bak"), QStringLiteral("readme.txt")}
        << QStringList{} << QStringList{} << QStringList{};
    QTest::newRow("any separator, no dot needed")
        << QStringList{QStringLiteral("agreement-fr_FRini"), QStringLiteral("agreement.de_DE.ini")}
        << QStringList{} << QStringList{}
        << QStringList{QStringLiteral("de_DE=agreement.de_DE.ini"),
                       QStringLiteral("fr_FR=agreement-fr_FRini")};
    QTest::newRow("same key: later name wins")
        << QStringList{QStringLiteral("agreement_zh_CN.ini"), QStringLiteral("agreement-zh_CN.ini"),
                       QStringLiteral("agreement_zh_CN_old.ini")}
        << QStringList{} << QStringList{}
        << QStringList{QStringLiteral("zh_CN=agreement_zh_CN_old.ini")};
    QTest::newRow("short name gives a short key")
        << QStringList{QStringLiteral("agreement_ini"), QStringLiteral("agreement_de.ini")}
        << QStringList{} << QStringList{}
        << QStringList{QStringLiteral("de.in=agreement_de.ini"),
                       QStringLiteral("ini=agreement_ini")};
    QTest::newRow("folders and links left out")
        << QStringList{QStringLiteral("agreement_zh_CN.ini")}
        << QStringList{QStringLiteral("agreement_fr_FR.ini")}
        << QStringList{QStringLiteral("agreement_en_US.ini")}
        << QStringList{QStringLiteral("zh_CN=agreement_zh_CN.ini")};
}

void TestAgreementCatalog::scan()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, links);
    QFETCH(QStringList, expected);

    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    QVERIFY(dir.isValid() && elsewhere.isValid());
    for (const QString &name : qAsConst(files))
        QVERIFY(CatalogFixture::writeGbk(dir.filePath(name), QStringLiteral("[Accept]\n")));
    for (const QString &name : qAsConst(folders))
        QVERIFY(QDir(dir.path()).mkdir(name));
    const QString target = elsewhere.filePath(QStringLiteral("target.ini"));
    QVERIFY(CatalogFixture::writeGbk(target, QStringLiteral("[Accept]\n")));
    for (const QString &name : qAsConst(links))
        QVERIFY(QFile::link(target, dir.filePath(name)));

    QMap<QString, QString> found;
    const bool any =
        scanAgreementFiles(found, QStringLiteral("agreement"), QStringLiteral("ini"), dir.path());
    QCOMPARE(any, !expected.isEmpty());
    QStringList got;
    for (auto it = found.constBegin(); it != found.constEnd(); ++it) {
        const QString name = QFileInfo(it.value()).fileName();
        QCOMPARE(it.value(), QDir(dir.path()).absoluteFilePath(name));
        got << it.key() + QLatin1Char('=') + name;
    }
    QCOMPARE(got, expected);
}

void TestAgreementCatalog::scanMissingFolder()
{
    QTemporaryDir dir;
    QMap<QString, QString> found;
    QVERIFY(!scanAgreementFiles(found, QStringLiteral("agreement"), QStringLiteral("ini"),
                                dir.filePath(QStringLiteral("absent"))));
    QVERIFY(found.isEmpty());
}

void TestAgreementCatalog::scanDefaultFolderIsBesideProgram()
{
    QCOMPARE(AgreementCatalog::defaultFolder(),
             QCoreApplication::applicationDirPath() + QStringLiteral("/resources/agreement"));
    // The shipped catalogues are copied beside the test programs.
    QMap<QString, QString> found;
    QVERIFY(scanAgreementFiles(found, QStringLiteral("agreement"), QStringLiteral("ini")));
    QCOMPARE(found.keys(), (QStringList{QStringLiteral("en_US"), QStringLiteral("zh_CN")}));
}

void TestAgreementCatalog::choosePath_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");

    const QStringList both{QStringLiteral("zh_CN"), QStringLiteral("en_US")};
    QTest::newRow("system locale present")
        << both << QStringLiteral("zh_CN") << QStringLiteral("zh_CN");
    QTest::newRow("fallback to en_US")
        << both << QStringLiteral("de_DE") << QStringLiteral("en_US");
    QTest::newRow("only zh_CN, German system")
        << QStringList{QStringLiteral("zh_CN")} << QStringLiteral("de_DE")
        << QStringLiteral("zh_CN");
    QTest::newRow("only zh_CN, English system")
        << QStringList{QStringLiteral("zh_CN")} << QStringLiteral("en_US")
        << QStringLiteral("zh_CN");
    QTest::newRow("smallest key") << QStringList{QStringLiteral("ja_JP"), QStringLiteral("fr_FR"),
                                                 QStringLiteral("de_DE")}
                                  << QStringLiteral("es_ES") << QStringLiteral("de_DE");
    QTest::newRow("keys compared by code unit")
        << QStringList{QStringLiteral("ab_CD"), QStringLiteral("Zz_ZZ")} << QStringLiteral("es_ES")
        << QStringLiteral("Zz_ZZ");
    QTest::newRow("no files") << QStringList{} << QStringLiteral("zh_CN") << QString();
}

void TestAgreementCatalog::choosePath()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, locale);
    QFETCH(QString, expected);

    QMap<QString, QString> files;
    for (const QString &key : qAsConst(keys))
        files.insert(key, QStringLiteral("/x/agreement_") + key + QStringLiteral(".ini"));
    const QString path = AgreementCatalog::choosePath(files, locale);
    QCOMPARE(path, expected.isEmpty()
                       ? QString()
                       : QStringLiteral("/x/agreement_") + expected + QStringLiteral(".ini"));
}

void TestAgreementCatalog::helpText_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("backslash-n becomes a line feed")
        << QStringList{QStringLiteral("不启用"),
                       QStringLiteral("Norvek标准吊舱协议==波特率 115200\\n停止位 1")}
        << QStringLiteral("Norvek标准吊舱协议") << QStringLiteral("波特率 115200\n停止位 1");
    QTest::newRow("every backslash-n") << QStringList{QStringLiteral("A==1\\n2\\n\\n3")}
                                       << QStringLiteral("A") << QStringLiteral("1\n2\n\n3");
    QTest::newRow("other backslashes stay") << QStringList{QStringLiteral("A==a\\tb\\\\c")}
                                            << QStringLiteral("A") << QStringLiteral("a\\tb\\\\c");
    QTest::newRow("entry without ==")
        << QStringList{QStringLiteral("A")} << QStringLiteral("A") << QString();
    QTest::newRow("entry without == skipped for a later one")
        << QStringList{QStringLiteral("A"), QStringLiteral("A==later")} << QStringLiteral("A")
        << QStringLiteral("later");
    QTest::newRow("help text ends at the second ==")
        << QStringList{QStringLiteral("A==B==C")} << QStringLiteral("A") << QStringLiteral("B");
    QTest::newRow("duplicate keys: first wins")
        << QStringList{QStringLiteral("A==one"), QStringLiteral("A==two")} << QStringLiteral("A")
        << QStringLiteral("one");
    QTest::newRow("key compared exactly")
        << QStringList{QStringLiteral("a==x"), QStringLiteral("A ==y"), QStringLiteral("AB==z")}
        << QStringLiteral("A") << QString();
    QTest::newRow("key with a space")
        << QStringList{QStringLiteral("上博智像视觉 A_Landing==着陆")}
        << QStringLiteral("上博智像视觉 A_Landing") << QStringLiteral("着陆");
    QTest::newRow("empty help text")
        << QStringList{QStringLiteral("A==")} << QStringLiteral("A") << QString();
    QTest::newRow("no match") << QStringList{QStringLiteral("A==x")} << QStringLiteral("B")
                              << QString();
}

void TestAgreementCatalog::helpText()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(AgreementCatalog::helpText(entries, text), expected);
}

void TestAgreementCatalog::entryKey_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("key");
    QTest::newRow("no help") << QStringLiteral("零度标准吊舱") << QStringLiteral("零度标准吊舱");
    QTest::newRow("help") << QStringLiteral("A==x==y") << QStringLiteral("A");
    QTest::newRow("empty key") << QStringLiteral("==x") << QString();
    QTest::newRow("single =") << QStringLiteral("A=B") << QStringLiteral("A=B");
}

void TestAgreementCatalog::entryKey()
{
    QFETCH(QString, entry);
    QFETCH(QString, key);
    QCOMPARE(AgreementCatalog::entryKey(entry), key);
}

void TestAgreementCatalog::loadCatalogue_data()
{
    QTest::addColumn<QStringList>("files"); // name=content; content "*" is 2 MiB
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QStringList>("receiveKeys");

    using Outcome = ProtocolCatalogue::Outcome;
    const QString fr = QStringLiteral("agreement_fr_FR.ini=[Accept]\n{\n\"甲==帮\\n助\"\n乙\n}\n"
                                      "[Send]\n{\n丙==送\n}\n");
    const QString en = QStringLiteral("agreement_en_US.ini=[Accept]\n{\nA\n}\n");
    QTest::newRow("own locale") << QStringList{fr, en} << "fr_FR" << int(Outcome::Loaded)
                                << "agreement_fr_FR.ini"
                                << QStringList{QStringLiteral("甲"), QStringLiteral("乙")};
    QTest::newRow("en_US for another locale")
        << QStringList{fr, en} << "de_DE" << int(Outcome::Loaded) << "agreement_en_US.ini"
        << QStringList{QStringLiteral("A")};
    QTest::newRow("no catalogue") << QStringList{QStringLiteral("other_fr_FR.ini=[Accept]")}
                                  << "fr_FR" << int(Outcome::NoCatalogue) << QString()
                                  << QStringList{};
    QTest::newRow("too large") << QStringList{QStringLiteral("agreement_fr_FR.ini=*")} << "fr_FR"
                               << int(Outcome::TooLarge) << "agreement_fr_FR.ini" << QStringList{};
}

void TestAgreementCatalog::loadCatalogue()
{
    QFETCH(QStringList, files);
    QFETCH(QString, locale);
    QFETCH(int, outcome);
    QFETCH(QString, fileName);
    QFETCH(QStringList, receiveKeys);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &file : qAsConst(files)) {
        const int sep = file.indexOf(QLatin1Char('='));
        const QString path = dir.filePath(file.left(sep));
        const QString content = file.mid(sep + 1);
        if (content == QLatin1String("*")) {
            QFile big(path);
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(2 * AgreementCatalog::MaxFileSize));
        } else {
            QVERIFY(CatalogFixture::writeGbk(path, content));
        }
    }

    const ProtocolCatalogue catalogue = ProtocolCatalogue::load(dir.path(), locale);
    QCOMPARE(int(catalogue.outcome()), outcome);
    QCOMPARE(catalogue.fileName(), fileName);
    QCOMPARE(catalogue.keys(true), receiveKeys);
    QCOMPARE(catalogue.entries(true).size(), receiveKeys.size());
    QCOMPARE(catalogue.dropped(), 0);

    // Names by code and help texts come from what was read; the file is not
    // read again.
    QVERIFY(QDir(dir.path()).removeRecursively());
    const ProtocolNames::Lookup names = catalogue.names();
    for (int position = 0; position < receiveKeys.size(); ++position)
        QCOMPARE(names(true, PortRecord::protocolCode(position)), receiveKeys.at(position));
    QCOMPARE(names(true, PortRecord::protocolCode(receiveKeys.size())), QString());
    if (fileName == QLatin1String("agreement_fr_FR.ini") &&
        outcome == int(ProtocolCatalogue::Outcome::Loaded)) {
        QCOMPARE(catalogue.helpText(true, QStringLiteral("甲")), QStringLiteral("帮\n助"));
        QCOMPARE(catalogue.helpText(true, QStringLiteral("乙")), QString());
        QCOMPARE(catalogue.keys(false), QStringList{QStringLiteral("丙")});
        QCOMPARE(catalogue.helpText(false, QStringLiteral("丙")), QStringLiteral("送"));
        QCOMPARE(names(false, 0), QStringLiteral("丙"));
    }
}

QTEST_GUILESS_MAIN(TestAgreementCatalog)
#include "tst_agreementcatalog.moc"
