// The information panel's picture: the file an entry name may reach, the
// locale it is taken in, and the sizes that are read. Runs with a fr_FR
// system locale (set by CTest), for which the program installs English.
#include "devicepicture.h"
#include "mainwidget.h"
#include "installedlocale.h"
#include "startup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace
{
quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray chunk(const char *type, const QByteArray &data)
{
    QByteArray body(type);
    body += data;
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), out.data());
    out += body;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(body), crc.data());
    return out + crc;
}

// A valid black PNG of the given size, one bit a pixel: a few kilobytes even
// for 20000 x 20000, whose decoded image would take 50 MB or, in the 32-bit
// form a picture is shown in, 1.6 GB.
QByteArray blackPng(int width, int height)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(width), header.data());
    qToBigEndian<quint32>(quint32(height), header.data() + 4);
    header[8] = 1; // bit depth
    header[9] = 0; // grey
    const QByteArray rows(height * (1 + (width + 7) / 8), '\0');
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) +
           chunk("IDAT", qCompress(rows, 9).mid(4)) + chunk("IEND", QByteArray());
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

class TestDevicePicture : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void onlyFilesOfThePicturesFolder_data();
    void onlyFilesOfThePicturesFolder();
    void untrustedNameInTheWindow();
    void sizes_data();
    void sizes();
    void pictureFollowsInstalledTranslation();

private:
    QTemporaryDir root;
    QString folder;
};

void TestDevicePicture::initTestCase()
{
    QVERIFY(root.isValid());
    folder = root.filePath(QStringLiteral("images"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writeFile(folder + QStringLiteral("/Pod-en_US.png"), blackPng(40, 20)));
    QVERIFY(writeFile(folder + QStringLiteral("/Pod-zh_CN.png"), blackPng(40, 20)));
    // Outside the folder, and ways to reach it from inside.
    QVERIFY(writeFile(root.filePath(QStringLiteral("secret-en_US.png")), blackPng(8, 8)));
    QVERIFY(QFile::link(root.filePath(QStringLiteral("secret-en_US.png")),
                        folder + QStringLiteral("/Link-en_US.png")));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/Folder-en_US.png")));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/sub")));
    QVERIFY(writeFile(folder + QStringLiteral("/sub/Pod-en_US.png"), blackPng(8, 8)));
}

void TestDevicePicture::onlyFilesOfThePicturesFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("found");
    const QString en = QStringLiteral("en_US");
    QTest::newRow("entry's own file") << QStringLiteral("Pod") << en << true;
    QTest::newRow("other locale") << QStringLiteral("Pod") << QStringLiteral("zh_CN") << true;
    QTest::newRow("no such picture") << QStringLiteral("Radar") << en << false;
    QTest::newRow("style sheet text")
        << QStringLiteral("a);background:url(/etc/passwd") << en << false;
    QTest::newRow("parent folder") << QStringLiteral("../secret") << en << false;
    QTest::newRow("dots alone") << QStringLiteral("..") << en << false;
    QTest::newRow("subfolder") << QStringLiteral("sub/Pod") << en << false;
    QTest::newRow("backslash") << QStringLiteral("sub\\Pod") << en << false;
    QTest::newRow("absolute") << root.filePath(QStringLiteral("secret")) << en << false;
    QTest::newRow("control character") << QStringLiteral("Pod\n") << en << false;
    QTest::newRow("empty") << QString() << en << false;
    QTest::newRow("link leading out") << QStringLiteral("Link") << en << false;
    QTest::newRow("folder") << QStringLiteral("Folder") << en << false;
    QTest::newRow("locale with a path") << QStringLiteral("Pod") << QStringLiteral("../x") << false;
}

void TestDevicePicture::onlyFilesOfThePicturesFolder()
{
    QFETCH(QString, name);
    QFETCH(QString, locale);
    QFETCH(bool, found);
    const DevicePicture pictures(folder, locale);
    const QString path = pictures.path(name);
    QCOMPARE(!path.isEmpty(), found);
    if (found)
        QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(folder).absoluteFilePath());
    QCOMPARE(!pictures.load(name, QSize(100, 100)).isNull(), found);
}

void TestDevicePicture::untrustedNameInTheWindow()
{
    // Pictures from the program folder; a name that once loaded another file
    // through the panel's style sheet shows nothing and never reaches it.
    MainWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *picture = window.findChild<QLabel *>(QStringLiteral("LabCentorPicture"));
    const QString name = QStringLiteral("a);background:url(%1")
                             .arg(root.filePath(QStringLiteral("secret-en_US.png")));
    window.sltSend(1, 0, QStringLiteral("help"), name);
    QVERIFY(picture->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(!picture->styleSheet().contains(QLatin1String("url")));
}

void TestDevicePicture::sizes_data()
{
    QTest::addColumn<QSize>("declared");
    QTest::addColumn<QSize>("bounds");
    QTest::addColumn<QSize>("shown"); // invalid: refused
    QTest::newRow("smaller than the panel") << QSize(40, 20) << QSize(100, 100) << QSize(40, 20);
    QTest::newRow("scaled to the panel") << QSize(400, 200) << QSize(100, 100) << QSize(100, 50);
    QTest::newRow("longest side allowed") << QSize(8192, 1) << QSize(100, 100) << QSize(100, 1);
    QTest::newRow("side too long") << QSize(8193, 1) << QSize(100, 100) << QSize();
    QTest::newRow("too many pixels") << QSize(8192, 8193) << QSize(100, 100) << QSize();
    QTest::newRow("20000 x 20000") << QSize(20000, 20000) << QSize(290, 290) << QSize();
}

void TestDevicePicture::sizes()
{
    QFETCH(QSize, declared);
    QFETCH(QSize, bounds);
    QFETCH(QSize, shown);
    const QString name = QStringLiteral("Size%1x%2").arg(declared.width()).arg(declared.height());
    const QString file = folder + QLatin1Char('/') + name + QStringLiteral("-en_US.png");
    QVERIFY(writeFile(file, blackPng(declared.width(), declared.height())));
    QCOMPARE(QImageReader(file).size(), declared); // a readable picture of that size

    QElapsedTimer timer;
    timer.start();
    const QImage image = DevicePicture(folder, QStringLiteral("en_US")).load(name, bounds);
    qInfo("%dx%d (%lld bytes): %s in %.1f ms", declared.width(), declared.height(),
          QFileInfo(file).size(), image.isNull() ? "refused" : "read", timer.nsecsElapsed() / 1e6);
    QCOMPARE(image.isNull() ? QSize() : image.size(), shown);
}

void TestDevicePicture::pictureFollowsInstalledTranslation()
{
    QCOMPARE(QLocale::system().name(), QStringLiteral("fr_FR"));
    // The program folder's translations: no French one, so English is installed.
    QTemporaryDir programDir;
    for (const char *locale : {"zh_CN", "en_US"}) {
        const QString name =
            QStringLiteral("TovrinVazodivuveTool_%1.qm").arg(QLatin1String(locale));
        QVERIFY(QFile::copy(QStringLiteral(TOVRIN_BIN_DIR "/") + name, programDir.filePath(name)));
    }
    QVERIFY(initLanguage(programDir.path()));
    QCOMPARE(InstalledLocale::name(), QStringLiteral("en_US"));

    MainWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *picture = window.findChild<QLabel *>(QStringLiteral("LabCentorPicture"));
    window.sltSend(1, 0, QStringLiteral("help"), QStringLiteral("Disabled"));
    const QImage shown = picture->pixmap(Qt::ReturnByValue).toImage();
    const QImage english(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/resources/images/Disabled-en_US.png"));
    QVERIFY(!english.isNull());
    QVERIFY(!shown.isNull());
    QCOMPARE(shown.size(), english.size()); // smaller than the panel: not scaled
    QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32),
             english.convertToFormat(QImage::Format_ARGB32));
    QVERIFY(picture->contentsRect().contains(QRect(QPoint(), shown.size())));
}

QTEST_MAIN(TestDevicePicture)
#include "tst_devicepicture.moc"
