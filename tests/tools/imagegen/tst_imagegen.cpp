// The image generator: device kinds, file-name checks, catalogue reading,
// the icon file, and the program run on a catalogue folder and an app folder.
#include "catalogueentries.h"
#include "devicecard.h"
#include "fontpick.h"
#include "iconfile.h"
#include "uiimages.h"

#include "testpaths.h"

#include <QFontDatabase>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QXmlStreamReader>
#include <QtEndian>
#include <QtTest>

Q_DECLARE_METATYPE(DeviceKind)

namespace
{

bool writeGbk(const QString &path, const QString &text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = QTextCodec::codecForName("GBK")->fromUnicode(text);
    return f.write(bytes) == bytes.size();
}

struct Run {
    int exitCode = -1;
    QString log;
};

Run runGenerator(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(IMAGEGEN_PATH), args);
    Run run;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.log = QString::fromUtf8(p.readAllStandardError());
    return run;
}

// Resource files listed in the program's resource collection, relative to app/.
QStringList qrcFiles()
{
    QFile f(TestPaths::sourceDir() + QStringLiteral("/app/images.qrc"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList files;
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("file"))
            files << xml.readElementText();
    }
    return files;
}

} // namespace

class TestImageGen : public QObject
{
    Q_OBJECT

private slots:
    void classify_data();
    void classify();
    void fileNameProblem_data();
    void fileNameProblem();
    void readNames_data();
    void readNames();
    void findFilesByLocale();
    void chineseFontAvailable();
    void cardsForAnyName_data();
    void cardsForAnyName();
    void iconFile();
    void devicePictures();
    void devicePicturesWithoutCatalogue();
    void embeddedImagesAndIcon();
};

void TestImageGen::classify_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<DeviceKind>("kind");

    QTest::newRow("disabled zh") << QStringLiteral("不启用") << DeviceKind::Disabled;
    QTest::newRow("disabled en") << QStringLiteral("Disable") << DeviceKind::Disabled;
    QTest::newRow("none") << QStringLiteral("None") << DeviceKind::Disabled;
    QTest::newRow("standard pod") << QStringLiteral("Norvek标准吊舱协议") << DeviceKind::Gimbal;
    QTest::newRow("pod maker") << QStringLiteral("零度标准吊舱") << DeviceKind::Gimbal;
    QTest::newRow("gimbal en") << QStringLiteral("Norvek standard gimbal protocol")
                               << DeviceKind::Gimbal;
    QTest::newRow("pod word") << QStringLiteral("Camera Pod X") << DeviceKind::Gimbal;
    QTest::newRow("tripod is not a pod") << QStringLiteral("Tripod") << DeviceKind::Generic;
    QTest::newRow("can zh") << QStringLiteral("Norvek标准CAN协议") << DeviceKind::CanBus;
    QTest::newRow("can1") << QStringLiteral("CAN1 bus") << DeviceKind::CanBus;
    QTest::newRow("scanner is not can") << QStringLiteral("Scanner") << DeviceKind::Generic;
    QTest::newRow("mppt") << QStringLiteral("MPPT太阳能充电控制器") << DeviceKind::Mppt;
    QTest::newRow("charger en") << QStringLiteral("Solar charger") << DeviceKind::Mppt;
    QTest::newRow("radar zh") << QStringLiteral("毫米波雷达") << DeviceKind::Radar;
    QTest::newRow("radar over can") << QStringLiteral("CAN雷达") << DeviceKind::Radar;
    QTest::newRow("data link zh") << QStringLiteral("数传电台") << DeviceKind::DataLink;
    QTest::newRow("data link en") << QStringLiteral("Data link box") << DeviceKind::DataLink;
    QTest::newRow("landing zh") << QStringLiteral("视觉降落模块") << DeviceKind::VisionLanding;
    QTest::newRow("landing camera")
        << QStringLiteral("Landing camera") << DeviceKind::VisionLanding;
    QTest::newRow("serial protocol")
        << QStringLiteral("Standard UART protocol") << DeviceKind::Standard;
    QTest::newRow("unknown") << QStringLiteral("某某传感器") << DeviceKind::Generic;
    QTest::newRow("offset is not off") << QStringLiteral("Offset sensor") << DeviceKind::Generic;
}

void TestImageGen::classify()
{
    QFETCH(QString, name);
    QFETCH(DeviceKind, kind);
    QCOMPARE(DeviceCard::classify(name), kind);
}

void TestImageGen::fileNameProblem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("usable");

    QTest::newRow("chinese") << QStringLiteral("Norvek标准吊舱协议") << true;
    QTest::newRow("spaces and dots") << QStringLiteral("A. B (v2.0)") << true;
    QTest::newRow("slash") << QStringLiteral("TCP/IP") << false;
    QTest::newRow("nul") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << false;
    QTest::newRow("empty") << QString() << false;
    for (const char *c : {"\\", ":", "*", "?", "\"", "<", ">", "|"})
        QTest::newRow(c) << QStringLiteral("x%1y").arg(QLatin1String(c)) << false;
    QTest::newRow("tab") << QStringLiteral("a\tb") << false;
    // 3 bytes per character in UTF-8: 80 fit, 90 do not (with "-zh_CN.png").
    QTest::newRow("long but fits") << QString(80, QChar(0x5F15)) << true;
    QTest::newRow("too long") << QString(90, QChar(0x5F15)) << false;
}

void TestImageGen::fileNameProblem()
{
    QFETCH(QString, name);
    QFETCH(bool, usable);
    const QString problem = DeviceCard::fileNameProblem(name, QStringLiteral("zh_CN"));
    QCOMPARE(problem.isEmpty(), usable);
    if (usable) {
        // A usable name really makes a file here.
        QTemporaryDir dir;
        QFile f(dir.filePath(DeviceCard::fileName(name, QStringLiteral("zh_CN"))));
        QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(f.errorString()));
    }
}

void TestImageGen::readNames_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("quoted, help text, both sections")
        << QStringLiteral(
               "[Accept]\r\n{\r\n\"不启用\"\r\n\"Norvek标准吊舱协议==波特率 115200\\n停止位 1\"\r\n"
               "Norvek标准CAN协议\r\n}\r\n[Send]\r\n{\r\n\"不启用\"\r\n\"数传电台\"\r\n}\r\n")
        << QStringList{QStringLiteral("不启用"), QStringLiteral("Norvek标准吊舱协议"),
                       QStringLiteral("Norvek标准CAN协议"), QStringLiteral("数传电台")};
    QTest::newRow("white space simplified")
        << QStringLiteral("[Accept]\n{\n   零度   标准\t吊舱  \n}\n")
        << QStringList{QStringLiteral("零度 标准 吊舱")};
    QTest::newRow("lines outside blocks and sections ignored")
        << QStringLiteral("外面\n[Accept]\n不在块里\n{\n雷达\n}\n[Other]\n{\n}\n")
        << QStringList{QStringLiteral("雷达")};
    QTest::newRow("second send block ignored")
        << QStringLiteral("[Send]\n{\nA\n}\n{\nB\n}\n") << QStringList{QStringLiteral("A")};
    QTest::newRow("second accept block read")
        << QStringLiteral("[Accept]\n{\nA\n}\n{\nB\n}\n")
        << QStringList{QStringLiteral("A"), QStringLiteral("B")};
    QTest::newRow("blank entry kept as empty name")
        << QStringLiteral("[Accept]\n{\nA\n\nB\n}\n")
        << QStringList{QStringLiteral("A"), QString(), QStringLiteral("B")};
    QTest::newRow("key ends at first ==")
        << QStringLiteral("[Accept]\n{\nK==help==more\n}\n") << QStringList{QStringLiteral("K")};
}

void TestImageGen::readNames()
{
    QFETCH(QString, content);
    QFETCH(QStringList, names);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("agreement_zh_CN.ini"));
    QVERIFY(writeGbk(path, content));
    QStringList read;
    QVERIFY(CatalogueEntries::readNames(path, &read));
    QCOMPARE(read, names);

    QStringList none;
    QVERIFY(!CatalogueEntries::readNames(dir.filePath(QStringLiteral("missing.ini")), &none));
}

void TestImageGen::findFilesByLocale()
{
    QTemporaryDir dir;
    for (const char *name : {"agreement_zh_CN.ini", "agreement_en_US.ini", "Agreement_fr_FR.ini",
                             "agreement_de_DE.INI", "notes.txt"})
        QVERIFY(writeGbk(dir.filePath(QLatin1String(name)), QString()));
    const QMap<QString, QString> files = CatalogueEntries::findFiles(dir.path());
    QCOMPARE(files.keys(), (QStringList{QStringLiteral("en_US"), QStringLiteral("zh_CN")}));
    QCOMPARE(QFileInfo(files.value(QStringLiteral("zh_CN"))).fileName(),
             QStringLiteral("agreement_zh_CN.ini"));
    QVERIFY(CatalogueEntries::findFiles(dir.filePath(QStringLiteral("absent"))).isEmpty());
}

void TestImageGen::chineseFontAvailable()
{
    const QString family = FontPick::cjkFamily();
    QVERIFY(!family.isEmpty());
    QVERIFY2(QFontDatabase().writingSystems(family).contains(QFontDatabase::SimplifiedChinese),
             qPrintable(family));
}

void TestImageGen::cardsForAnyName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("locale");
    QTest::newRow("short") << QStringLiteral("雷达") << QStringLiteral("zh_CN");
    QTest::newRow("english") << QStringLiteral("Norvek standard gimbal protocol")
                             << QStringLiteral("en_US");
    QTest::newRow("one long word") << QString(200, QLatin1Char('W')) << QStringLiteral("en_US");
    QTest::newRow("very long chinese") << QString(300, QChar(0x957F)) << QStringLiteral("zh_CN");
    QTest::newRow("other locale") << QStringLiteral("Radar") << QStringLiteral("de_DE");
}

void TestImageGen::cardsForAnyName()
{
    QFETCH(QString, name);
    QFETCH(QString, locale);
    const QImage card = DeviceCard::render(name, locale);
    QCOMPARE(card.size(), QSize(220, 220));
    QVERIFY(card.hasAlphaChannel());
    // Opaque in the middle, transparent in the rounded corner.
    QCOMPARE(qAlpha(card.pixel(110, 110)), 255);
    QCOMPARE(qAlpha(card.pixel(0, 0)), 0);
    // The name is drawn: the name area holds white-ish text pixels.
    int light = 0;
    for (int y = 165; y < 210; ++y)
        for (int x = 12; x < 208; ++x)
            light += qGray(card.pixel(x, y)) > 160 ? 1 : 0;
    QVERIFY2(light > 20, qPrintable(QString::number(light)));
}

void TestImageGen::iconFile()
{
    const QImage icon = UiImages::applicationIcon();
    QCOMPARE(icon.size(), QSize(64, 64));
    const QByteArray ico = IconFile::encode(icon);
    QCOMPARE(ico.size(), 6 + 16 + 40 + 64 * 64 * 4 + 64 * 8);

    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(ico.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(ico.constData() + at); };
    QCOMPARE(u16(0), quint16(0)); // reserved
    QCOMPARE(u16(2), quint16(1)); // icon
    QCOMPARE(u16(4), quint16(1)); // one image
    QCOMPARE(quint8(ico[6]), quint8(64));
    QCOMPARE(quint8(ico[7]), quint8(64));
    QCOMPARE(u16(10), quint16(1));  // planes
    QCOMPARE(u16(12), quint16(32)); // bits per pixel
    QCOMPARE(u32(14), quint32(ico.size() - 22));
    QCOMPARE(u32(18), quint32(22));
    QCOMPARE(u32(22), quint32(40)); // BITMAPINFOHEADER
    QCOMPARE(u32(26), quint32(64));
    QCOMPARE(u32(30), quint32(128)); // colour rows plus mask rows
    QCOMPARE(u16(36), quint16(32));

    // Row order and channel order: decode it again and compare every pixel.
    if (!QImageReader::supportedImageFormats().contains("ico"))
        QSKIP("no ICO reader installed");
    QBuffer buffer(const_cast<QByteArray *>(&ico));
    QImageReader reader(&buffer, "ico");
    const QImage back = reader.read().convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!back.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(back.size(), QSize(64, 64));
    QCOMPARE(back, icon.convertToFormat(QImage::Format_ARGB32));

    QVERIFY(IconFile::encode(QImage(300, 300, QImage::Format_ARGB32)).isEmpty());
    QVERIFY(IconFile::encode(QImage()).isEmpty());
}

void TestImageGen::devicePictures()
{
    QTemporaryDir dir;
    const QString catalogues = dir.filePath(QStringLiteral("agreement"));
    const QString out = dir.filePath(QStringLiteral("out/images"));
    QVERIFY(QDir().mkpath(catalogues));
    QVERIFY(
        writeGbk(catalogues + QStringLiteral("/agreement_zh_CN.ini"),
                 QStringLiteral("[Accept]\n{\n\"不启用\"\n\"Norvek标准吊舱协议==波特率 115200\"\n"
                                "\"坏/名字\"\n\"冒号:名字\"\n\n}\n[Send]\n{\n\"不启用\"\n}\n")));
    QVERIFY(writeGbk(catalogues + QStringLiteral("/agreement_en_US.ini"),
                     QStringLiteral("[Accept]\n{\n\"Disable\"\n\"Radar\"\n}\n")));

    const Run run = runGenerator({QStringLiteral("devices"), catalogues, out});
    QCOMPARE(run.exitCode, 0);

    QStringList made = QDir(out).entryList(QDir::Files, QDir::Name);
    QStringList expected = {QStringLiteral("Disable-en_US.png"),
                            QStringLiteral("Norvek标准吊舱协议-zh_CN.png"),
                            QStringLiteral("Radar-en_US.png"), QStringLiteral("不启用-zh_CN.png")};
    expected.sort();
    QCOMPARE(made, expected);
    for (const QString &file : qAsConst(made))
        QCOMPARE(QImage(out + QLatin1Char('/') + file).size(), QSize(220, 220));

    // Every skipped name is reported, and nothing else is.
    QVERIFY2(run.log.contains(QStringLiteral("坏/名字")), qPrintable(run.log));
    QVERIFY2(run.log.contains(QStringLiteral("冒号:名字")), qPrintable(run.log));
    QVERIFY2(run.log.contains(QStringLiteral("empty name")), qPrintable(run.log));
    QCOMPARE(run.log.count(QStringLiteral("warning:")), 3);
}

void TestImageGen::devicePicturesWithoutCatalogue()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    const Run run =
        runGenerator({QStringLiteral("devices"), dir.filePath(QStringLiteral("none")), out});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(!QFileInfo::exists(out) || QDir(out).isEmpty());

    QCOMPARE(runGenerator({QStringLiteral("bogus")}).exitCode, 2);
}

void TestImageGen::embeddedImagesAndIcon()
{
    QTemporaryDir dir;
    const Run run = runGenerator({QStringLiteral("ui"), dir.path()});
    QCOMPARE(run.exitCode, 0);

    // Every image the resource collection lists is drawn, with the size of
    // the committed file.
    const QStringList files = qrcFiles();
    QVERIFY(files.size() >= 20);
    for (const QString &file : files) {
        const QImage drawn(dir.filePath(file));
        QVERIFY2(!drawn.isNull(), qPrintable(file));
        const QImage committed(TestPaths::sourceDir() + QStringLiteral("/app/") + file);
        QVERIFY2(!committed.isNull(), qPrintable(file));
        QCOMPARE(drawn.size(), committed.size());
    }
    const QImage logo(dir.filePath(QStringLiteral("resource/tl.png")));
    QCOMPARE(logo.size(), QSize(42, 42));
    QCOMPARE(QImage(dir.filePath(QStringLiteral("resource/on-load-normal.png"))).size(),
             QSize(48, 48));
    QCOMPARE(QImage(dir.filePath(QStringLiteral("resource/search-load-normal.png"))).size(),
             QSize(37, 25));
    // The module drawing lies on a transparent background.
    const QImage module(dir.filePath(QStringLiteral("resource/Tovrin引擎模块 轴侧图.png")));
    QCOMPARE(qAlpha(module.pixel(0, 0)), 0);

    QFile ico(dir.filePath(QStringLiteral("TovrinVazodivuveTool.ico")));
    QVERIFY(ico.open(QIODevice::ReadOnly));
    QCOMPARE(ico.readAll(), IconFile::encode(UiImages::applicationIcon()));
}

QTEST_MAIN(TestImageGen)
#include "tst_imagegen.moc"
