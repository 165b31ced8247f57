// Every text the program shows has a finished translation in both files: the
// sources and forms are scanned afresh with lupdate into copies of the .ts files.
#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message {
    QString context;
    QString source;
    QString translation;
    QString type;
};

QVector<Message> readTs(const QString &path)
{
    QVector<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            current = Message{context, QString(), QString(), QString()};
        else if (xml.name() == QLatin1String("source"))
            current.source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            current.type = xml.attributes().value(QLatin1String("type")).toString();
            current.translation = xml.readElementText();
            messages.append(current);
        }
    }
    return messages;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void everyTextIsTranslated_data();
    void everyTextIsTranslated();
};

void TestTranslations::everyTextIsTranslated_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("zh_CN") << QStringLiteral("zh_CN");
    QTest::newRow("en_US") << QStringLiteral("en_US");
}

void TestTranslations::everyTextIsTranslated()
{
    QFETCH(QString, locale);
    const QString name = QStringLiteral("TovrinVazodivuveTool_%1.ts").arg(locale);
    const QString committed = TestPaths::sourceDir() + QStringLiteral("/translations/") + name;

    QTemporaryDir dir;
    const QString copy = dir.filePath(name);
    QVERIFY(QFile::copy(committed, copy));
    QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    QProcess lupdate;
    QStringList args{QStringLiteral("-no-obsolete"), QStringLiteral("-locations"), QStringLiteral("none")};
    for (const char *folder :
         {"app", "mainwindow", "link", "records", "session", "cards", "widgets"})
        args << TestPaths::sourceDir() + QLatin1Char('/') + QLatin1String(folder);
    args << QStringLiteral("-ts") << copy;
    lupdate.start(QStringLiteral(TOVRIN_LUPDATE), args);
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);

    const QVector<Message> fresh = readTs(copy);
    QVERIFY(!fresh.isEmpty());
    QStringList missing;
    for (const Message &m : fresh) {
        if (m.type == QLatin1String("unfinished") || m.translation.isEmpty())
            missing << m.context + QStringLiteral(": ") + m.source.left(60);
    }
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("untranslated in %1:\n").arg(name)
                                           + missing.join(QLatin1Char('\n'))));
    // The committed file is current: the scan neither added nor dropped texts.
    QCOMPARE(readTs(committed).size(), fresh.size());
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
