// Choice and installation of the user-interface translation at start-up.
#include "boxwatcher.h"
#include "startup.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <algorithm>

namespace
{

const QString kBase = QStringLiteral("TovrinVazodivuveTool");

// Creates the given files (a trailing '/' makes a folder) below dir.
void makeFiles(const QString &dir, const QStringList &names)
{
    for (const QString &name : names) {
        const QString path = dir + QLatin1Char('/') + name;
        if (name.endsWith(QLatin1Char('/'))) {
            QDir().mkpath(path);
            continue;
        }
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a translation");
    }
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void chooseFile_data();
    void chooseFile();
    void keysTakeFiveCharactersAfterTheSeparator();
    void missingFolderFindsNothing();
    void noTranslationShowsErrorBox();
    void invalidTranslationStartsUntranslated();
    void realTranslationIsInstalled();
    void qtTranslationMakesStandardButtonsChinese();
};

void TestStartup::chooseFile_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected"); // file name chosen; empty: nothing found

    const QString zh = kBase + QStringLiteral("_zh_CN.qm");
    const QString en = kBase + QStringLiteral("_en_US.qm");
    QTest::newRow("locale present") << QStringList{zh, en} << "zh_CN" << zh;
    QTest::newRow("fallback to en_US") << QStringList{zh, en} << "fr_FR" << en;
    QTest::newRow("last resort, only file") << QStringList{zh} << "fr_FR" << zh;
    QTest::newRow("last resort, smallest key")
        << QStringList{zh, kBase + QStringLiteral("_de_DE.qm")} << "fr_FR"
        << kBase + QStringLiteral("_de_DE.qm");
    QTest::newRow("base name is case-sensitive")
        << QStringList{QStringLiteral("tovrinVazodivuveTool_en_US.qm")} << "en_US" << QString();
    QTest::newRow("suffix is case-sensitive")
        << QStringList{kBase + QStringLiteral("_en_US.QM")} << "en_US" << QString();
    QTest::newRow("subfolders are ignored")
        << QStringList{QStringLiteral("sub/") + en, en + QLatin1Char('/')} << "en_US" << QString();
    QTest::newRow("same key twice: later name wins")
        << QStringList{kBase + QStringLiteral("-en_US.qm"), en} << "en_US" << en;
    QTest::newRow("short key matches no locale")
        << QStringList{kBase + QStringLiteral("_en.qm"), zh} << "fr_FR"
        << kBase + QStringLiteral("_en.qm");
    QTest::newRow("nothing between base name and suffix")
        << QStringList{kBase + QStringLiteral("qm")} << "zh_CN" << kBase + QStringLiteral("qm");
    QTest::newRow("empty folder") << QStringList{} << "zh_CN" << QString();
}

void TestStartup::chooseFile()
{
    QFETCH(QStringList, files);
    QFETCH(QString, locale);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    makeFiles(dir.path(), files);

    QMap<QString, QString> table;
    const bool found = scanTranslations(table, kBase, QStringLiteral("qm"), dir.path());
    QCOMPARE(found, !expected.isEmpty());
    if (found)
        QCOMPARE(QFileInfo(chooseTranslation(table, locale)).fileName(), expected);
}

void TestStartup::keysTakeFiveCharactersAfterTheSeparator()
{
    QTemporaryDir dir;
    makeFiles(dir.path(), {kBase + QStringLiteral("_zh_CN.qm"), kBase + QStringLiteral("_en.qm")});
    QMap<QString, QString> table;
    QVERIFY(scanTranslations(table, kBase, QStringLiteral("qm"), dir.path()));
    QCOMPARE(table.keys(), (QStringList{QStringLiteral("en.qm"), QStringLiteral("zh_CN")}));
    QCOMPARE(table.value(QStringLiteral("zh_CN")),
             dir.filePath(kBase + QStringLiteral("_zh_CN.qm")));
}

void TestStartup::missingFolderFindsNothing()
{
    QMap<QString, QString> table;
    QVERIFY(!scanTranslations(table, kBase, QStringLiteral("qm"),
                              QStringLiteral("/nonexistent/folder")));
    QVERIFY(table.isEmpty());
}

void TestStartup::noTranslationShowsErrorBox()
{
    QTemporaryDir dir;
    BoxWatcher boxes;
    QVERIFY(!initLanguage(dir.path()));
    QCOMPARE(boxes.boxes.size(), 1);
    const ShownBox box = boxes.boxes.first();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.title, QStringLiteral("MsgError"));
    QCOMPARE(box.text, QStringLiteral("MsgErrInitLanguage"));
    QCOMPARE(box.buttonCount, 1);
    QVERIFY(!box.hasDefaultButton);
}

void TestStartup::invalidTranslationStartsUntranslated()
{
    QTemporaryDir dir;
    makeFiles(dir.path(), {kBase + QStringLiteral("_zh_CN.qm")});
    BoxWatcher boxes;
    QVERIFY(initLanguage(dir.path()));
    QVERIFY(boxes.boxes.isEmpty());
    QCOMPARE(QCoreApplication::translate("QObject", "MsgError"), QStringLiteral("MsgError"));
}

void TestStartup::realTranslationIsInstalled()
{
    // The compiled translations beside the program give the keys readable text.
    QVERIFY(initLanguage(QStringLiteral(TOVRIN_BIN_DIR)));
    QVERIFY(QCoreApplication::translate("QObject", "MsgError") != QStringLiteral("MsgError"));
}

void TestStartup::qtTranslationMakesStandardButtonsChinese()
{
    // English needs none of Qt's translations.
    QVERIFY(!installQtTranslation(QStringLiteral("en_US")));

    if (!installQtTranslation(QStringLiteral("zh_CN")))
        QSKIP("Qt's Chinese translation is not installed (Debian: qttranslations5-l10n, "
              "qt6-translations-l10n)");
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                         QDialogButtonBox::No | QDialogButtonBox::Open | QDialogButtonBox::Save);
    const QString english[] = {QStringLiteral("OK"),    QStringLiteral("Cancel"),
                               QStringLiteral("&Yes"),  QStringLiteral("&No"),
                               QStringLiteral("&Open"), QStringLiteral("&Save")};
    const QList<QAbstractButton *> buttons = box.buttons();
    QCOMPARE(buttons.size(), 6);
    for (const QAbstractButton *button : buttons) {
        QVERIFY2(std::none_of(std::begin(english), std::end(english),
                              [button](const QString &e) { return button->text() == e; }),
                 qPrintable(button->text()));
        QVERIFY2(
            std::any_of(button->text().cbegin(), button->text().cend(),
                        [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; }),
            qPrintable(button->text()));
    }
    QCOMPARE(box.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
