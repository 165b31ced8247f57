// The file dialog lists the folder it opens in without reading any file in
// it: a FIFO with no writer, or a terminal, in that folder must not stop it.
#include "filechooser.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestFileChooser : public QObject
{
    Q_OBJECT
private slots:
    void listsFolderWithSpecialFiles_data();
    void listsFolderWithSpecialFiles();
};

void TestFileChooser::listsFolderWithSpecialFiles_data()
{
    QTest::addColumn<bool>("save");
    QTest::newRow("save") << true;
    QTest::newRow("open") << false;
}

void TestFileChooser::listsFolderWithSpecialFiles()
{
    QFETCH(bool, save);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A name without a suffix, so that only its contents could tell its type.
    QVERIFY(mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("waiting"))).constData(), 0644) ==
            0);
    QVERIFY(QFile::link(QStringLiteral("/dev/tty"), dir.filePath(QStringLiteral("terminal"))));
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));

    int shown = 0;
    bool listed = false;
    QMetaObject::Connection watch = connect(
        FileChooser::instance(), &FileChooser::aboutToShow, this, [&](QFileDialog *dialog) {
            ++shown;
            // Closed once the dialog has had time to list its folder; a read
            // of the FIFO would hold the event loop, and this never runs.
            QTimer::singleShot(300, dialog, [&, dialog] {
                listed = dialog->isVisible();
                static_cast<QDialog *>(dialog)->reject();
            });
        });
    const QString chosen =
        save ? FileChooser::saveFileName(nullptr, QStringLiteral("Save"),
                                         QStringLiteral("Files (*.tovrin.json)"))
             : FileChooser::openFileName(nullptr, QStringLiteral("Load"), QString());
    disconnect(watch);
    QDir::setCurrent(before);
    QCOMPARE(shown, 1);
    QVERIFY(listed);
    QCOMPARE(chosen, QString());
}

QTEST_MAIN(TestFileChooser)
#include "tst_filechooser.moc"
