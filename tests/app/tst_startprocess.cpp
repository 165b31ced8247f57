// The real program as a process: started with no translation file beside it,
// it shows the "MsgError" box and, once the box is closed, exits with -1; and
// what it makes of its command-line arguments.
#include "linkpeers.h"
#include "testpaths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

// An Xvfb server on a free display, ended with the object.
class VirtualDisplay
{
public:
    ~VirtualDisplay()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(3000);
        }
    }

    bool start()
    {
        for (int n = 90; n < 140; ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
                QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            m_display = QStringLiteral(":%1").arg(n);
            m_server.start(QStringLiteral("Xvfb"),
                           {m_display, QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp")});
            if (!m_server.waitForStarted(3000))
                return false;
            for (int i = 0; i < 100; ++i) {
                if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
                    return true;
                if (m_server.waitForFinished(50))
                    break; // display taken after all: try the next one
            }
        }
        return false;
    }

    QString display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

QString xdotool(const QString &display, const QStringList &args, int timeoutMs = 15000)
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral("xdotool"), args);
    if (!tool.waitForFinished(timeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return QString();
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

} // namespace

class TestStartProcess : public QObject
{
    Q_OBJECT
private slots:
    void exitsWithMinusOneWithoutTranslations();
    void arguments_data();
    void arguments();
    void informationWithoutDisplay_data();
    void informationWithoutDisplay();
};

void TestStartProcess::exitsWithMinusOneWithoutTranslations()
{
    VirtualDisplay display;
    QVERIFY2(display.start(), "Xvfb could not be started");

    // A program folder with the executable and its run-time data, but no .qm.
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("TovrinVazodivuveTool"));
    QVERIFY(QFile::copy(TestPaths::program(), program));
    QVERIFY(QFile::setPermissions(program, QFile::permissions(TestPaths::program())));

    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display.display());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    app.setProcessEnvironment(env);
    app.setWorkingDirectory(folder.path());
    app.start(program, QStringList());
    QVERIFY(app.waitForStarted());

    const QString window =
        xdotool(display.display(), {QStringLiteral("search"), QStringLiteral("--sync"),
                                    QStringLiteral("--name"), QStringLiteral("^MsgError$")});
    QVERIFY2(!window.isEmpty(), "the error box did not appear");
    QVERIFY(app.state() == QProcess::Running); // the box waits for the user

    // Close the box as a user would: focus it and press Return on its OK button.
    const QString id = window.split(QLatin1Char('\n')).first();
    xdotool(display.display(), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
    xdotool(display.display(),
            {QStringLiteral("key"), QStringLiteral("--window"), id, QStringLiteral("Return")});
    if (!app.waitForFinished(5000)) {
        xdotool(display.display(), {QStringLiteral("key"), QStringLiteral("Escape")});
        QVERIFY(app.waitForFinished(5000));
    }
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 255); // -1 as seen by the parent
}

void TestStartProcess::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("window");    // else the program ends by itself, with 0
    QTest::addColumn<QString>("stdOut"); // a line it prints
    QTest::addColumn<QString>("stdErr"); // a line it prints; empty: no warning
    // What the device end of a pty pair named as PTY receives, no click
    // given; checked where a PTY is named.
    QTest::addColumn<QByteArray>("wire");

    const QString version = QStringLiteral("TovrinVazodivuveTool " TOVRIN_VERSION);
    QTest::newRow("none") << QStringList() << true << QString() << QString() << QByteArray();
    QTest::newRow("--port X") << QStringList{QStringLiteral("--port"), QStringLiteral("/dev/ttyX9")}
                              << true << QString() << QString() << QByteArray();
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << false
                            << QStringLiteral("  --port <device>  Adds a serial device that the "
                                              "system does not list")
                            << QString() << QByteArray();
    QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << false << version
                               << QString() << QByteArray();
    QTest::newRow("-v") << QStringList{QStringLiteral("-v")} << false << version << QString()
                        << QByteArray();
    QTest::newRow("unknown long option")
        << QStringList{QStringLiteral("--bogus")} << true << QString()
        << QStringLiteral("TovrinVazodivuveTool: Unknown option '--bogus' ignored; --help lists "
                          "the options.")
        << QByteArray();
    QTest::newRow("unknown short option beside --port")
        << QStringList{QStringLiteral("-x"), QStringLiteral("--port"), QStringLiteral("/dev/ttyX9")}
        << true << QString()
        << QStringLiteral("TovrinVazodivuveTool: Unknown option '-x' ignored; --help lists the "
                          "options.")
        << QByteArray();
    // The version query goes out as when the plug is clicked.
    const QByteArray versionQuery = LinkPeers::hex("AB0E05E20100D16B");
    QTest::newRow("--port PTY --connect")
        << QStringList{QStringLiteral("--port"), QStringLiteral("PTY"), QStringLiteral("--connect")}
        << true << QString() << QString() << versionQuery;
    QTest::newRow("--port PTY, no click")
        << QStringList{QStringLiteral("--port"), QStringLiteral("PTY")} << true << QString()
        << QString() << QByteArray();
    QTest::newRow("--connect without --port")
        << QStringList{QStringLiteral("--connect")} << true << QString()
        << QStringLiteral("TovrinVazodivuveTool: --connect opens the first device named with "
                          "--port; none was named.")
        << QByteArray();
}

void TestStartProcess::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, window);
    QFETCH(QString, stdOut);
    QFETCH(QString, stdErr);
    QFETCH(QByteArray, wire);

    PtyPair pty;
    LinkPeers::SerialPeer device;
    if (arguments.contains(QStringLiteral("PTY"))) {
        QVERIFY(pty.start());
        QVERIFY(device.open(pty.second()));
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^PTY$")), pty.first());
    }

    VirtualDisplay display;
    QVERIFY2(display.start(), "Xvfb could not be started");
    QTemporaryDir runtime;
    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display.display());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    app.setProcessEnvironment(env);
    app.start(TestPaths::program(), arguments);
    QVERIFY(app.waitForStarted());

    if (window) {
        const QString id =
            xdotool(display.display(), {QStringLiteral("search"), QStringLiteral("--sync"),
                                        QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                        QString::number(app.processId()), QStringLiteral("--name"),
                                        QStringLiteral("Tovrin")});
        QVERIFY2(!id.isEmpty(), "the main window did not appear");
        QCOMPARE(app.state(), QProcess::Running);
        if (!wire.isEmpty())
            QTRY_COMPARE_WITH_TIMEOUT(device.received, wire, LinkPeers::WaitMs);
        app.terminate();
        QVERIFY(app.waitForFinished(10000));
    } else {
        QVERIFY2(app.waitForFinished(10000), "the program did not end by itself");
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
    }
    if (device.port.isOpen()) {
        QCoreApplication::processEvents();
        QCOMPARE(device.received, wire);
    }
    const QStringList out =
        QString::fromLocal8Bit(app.readAllStandardOutput()).split(QLatin1Char('\n'));
    const QStringList err =
        QString::fromLocal8Bit(app.readAllStandardError()).split(QLatin1Char('\n'));
    if (!stdOut.isEmpty())
        QVERIFY2(out.contains(stdOut), qPrintable(out.join(QLatin1Char('\n'))));
    if (stdErr.isEmpty())
        QVERIFY2(err.filter(QStringLiteral("TovrinVazodivuveTool:")).isEmpty(),
                 qPrintable(err.join(QLatin1Char('\n'))));
    else
        QVERIFY2(err.contains(stdErr), qPrintable(err.join(QLatin1Char('\n'))));
}

// --help and --version need no display: with none to connect to, and no
// platform named, they print and end with 0 (no "could not connect" abort).
void TestStartProcess::informationWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("stdOut"); // a line it prints

    const QString version = QStringLiteral("TovrinVazodivuveTool " TOVRIN_VERSION);
    const QString port =
        QStringLiteral("  --port <device>  Adds a serial device that the system does not list");
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << port;
    QTest::newRow("-h") << QStringList{QStringLiteral("-h")} << port;
    QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << version;
    QTest::newRow("-v") << QStringList{QStringLiteral("-v")} << version;
    QTest::newRow("--version after --port and an unknown option")
        << QStringList{QStringLiteral("--port"), QStringLiteral("/dev/ttyX9"),
                       QStringLiteral("--bogus"), QStringLiteral("--version")}
        << version;
}

void TestStartProcess::informationWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, stdOut);

    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    app.setProcessEnvironment(env);
    app.start(TestPaths::program(), arguments);
    QVERIFY(app.waitForStarted());
    QVERIFY2(app.waitForFinished(10000), "the program did not end by itself");
    const QString err = QString::fromLocal8Bit(app.readAllStandardError());
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QVERIFY2(app.exitCode() == 0, qPrintable(err));
    const QStringList out =
        QString::fromLocal8Bit(app.readAllStandardOutput()).split(QLatin1Char('\n'));
    QVERIFY2(out.contains(stdOut), qPrintable(out.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestStartProcess)
#include "tst_startprocess.moc"
