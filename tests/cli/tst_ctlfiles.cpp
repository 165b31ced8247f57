// tovrinctl and the files and devices it is given: bad places for -o, files
// whose records a port refuses, inputs that never end, one device under two
// names. Each is exit 2 with one message line, and the module hears nothing.
#include "badtargets.h"
#include "configfile.h"
#include "ctlfixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace CtlFixture;

Q_DECLARE_METATYPE(ModuleModel)

namespace
{
const QString kOne = QStringLiteral("--port");

// exit 2, one line on stderr naming what, nothing sent, nothing heard.
void verifyRefused(const CtlRun &ctl, const QString &what, SimModule &sim)
{
    QVERIFY2(ctl.exitCode == 2, qPrintable(QString::number(ctl.exitCode) + ctl.err));
    QVERIFY(ctl.out.isEmpty());
    QCOMPARE(ctl.err.count(QLatin1Char('\n')), 1);
    QVERIFY2(ctl.err.startsWith(QStringLiteral("tovrinctl: ")), qPrintable(ctl.err));
    QVERIFY2(ctl.err.contains(what), qPrintable(ctl.err + QStringLiteral(" lacks ") + what));
    QVERIFY2(ctl.err.contains(QLatin1String("othing sent")), qPrintable(ctl.err));
    QTest::qWait(100);
    QVERIFY2(!sim.heardAnything(), qPrintable(sim.process().log()));
}
} // namespace

class TestCtlFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void badOutputTargets_data();
    void badOutputTargets();
    void outputFolderEntriesChecked_data();
    void outputFolderEntriesChecked();
    void refusedRecords_data();
    void refusedRecords();
    void inputsThatNeverEnd_data();
    void inputsThatNeverEnd();
    void sameDeviceTwice_data();
    void sameDeviceTwice();
    void controlCharactersEscaped();

private:
    QTemporaryDir m_dir;
};

void TestCtlFiles::initTestCase()
{
    QVERIFY(QFileInfo::exists(ctlPath()));
    QVERIFY(m_dir.isValid());
}

void TestCtlFiles::badOutputTargets_data()
{
    // An existing folder is where -o puts one file per device.
    BadTargets::addRows({QStringLiteral("folder")});
}

// read -o onto a device, a FIFO, a link or an unwritable place: refused
// before the module is asked, and what is there stays as it was.
void TestCtlFiles::badOutputTargets()
{
    QFETCH(QString, kind);
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    QString why;
    const QString target = BadTargets::make(kind, scratch.path(), &why);
    if (target.isEmpty() && !why.isEmpty())
        QSKIP(qPrintable(why));
    QVERIFY(!target.isEmpty());
    const QString before = BadTargets::fingerprint(target);

    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("out")));
    const CtlRun ctl =
        run({kOne, sim.device(), QStringLiteral("read"), QStringLiteral("-o"), target}, 10000);
    verifyRefused(ctl, BadTargets::reason(kind), sim);
    QVERIFY2(ctl.err.contains(target), qPrintable(ctl.err));
    QCOMPARE(BadTargets::fingerprint(target), before);
}

void TestCtlFiles::outputFolderEntriesChecked_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("a FIFO at a device's file name") << QStringLiteral("FIFO");
    QTest::newRow("a folder at a device's file name") << QStringLiteral("folder");
}

// With several devices -o names a folder; each device's file in it is
// checked before anything is sent.
void TestCtlFiles::outputFolderEntriesChecked()
{
    QFETCH(QString, entry);
    SimModule a;
    SimModule b;
    QVERIFY(a.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("fa")));
    QVERIFY(b.start(SimModule::Pty, ModuleModel::R7, m_dir, QStringLiteral("fb")));
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString taken = folder.filePath(
        b.device().mid(5).replace(QLatin1Char('/'), QLatin1Char('-')) + ConfigFile::suffix());
    if (entry == QLatin1String("FIFO"))
        QVERIFY(mkfifo(QFile::encodeName(taken).constData(), 0644) == 0);
    else
        QVERIFY(QDir().mkdir(taken));
    const QString before = BadTargets::fingerprint(taken);

    const CtlRun ctl = run({kOne, a.device(), kOne, b.device(), QStringLiteral("read"),
                            QStringLiteral("-o"), folder.path()},
                           10000);
    verifyRefused(ctl, taken, a);
    QVERIFY(!b.heardAnything());
    QCOMPARE(BadTargets::fingerprint(taken), before);
    QCOMPARE(QDir(folder.path())
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
             QStringList{QFileInfo(taken).fileName()});
}

void TestCtlFiles::refusedRecords_data()
{
    QTest::addColumn<ModuleModel>("model");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("message");
    QTest::newRow("UART on CAN2") << ModuleModel::R7 << 5 << QByteArray("0000c20100010000010010")
                                  << QStringLiteral(
                                         "端口 CAN2：字段“kind”为 UART，但此端口只能用作 CAN");
    QTest::newRow("CAN on a UART-only port")
        << ModuleModel::Tovrin << 0 << QByteArray("0140420f00000000000102")
        << QStringLiteral("端口 Port1：字段“kind”为 CAN，但此端口只能用作 UART");
    QTest::newRow("UART at 1200 baud")
        << ModuleModel::R7 << 1 << QByteArray("00b0040000000000000000")
        << QStringLiteral("端口 Uart3：字段“baud”的值 1200 不是此端口可选的速率");
    QTest::newRow("kind 5") << ModuleModel::Tovrin << 1 << QByteArray("0500c20100010000010010")
                            << QStringLiteral(
                                   "端口 Port2：字段“kind”的值 5 既不是 UART（0）也不是 CAN（1）");
    QTest::newRow("CAN at 250k") << ModuleModel::Tovrin << 2 << QByteArray("0190d00300000000000000")
                                 << QStringLiteral(
                                        "端口 Port3：字段“baud”的值 250000 不是此端口可选的速率");
}

// A file with a record the port refuses never reaches the module, whether
// written (with or without --verify) or compared.
void TestCtlFiles::refusedRecords()
{
    QFETCH(ModuleModel, model);
    QFETCH(int, port);
    QFETCH(QByteArray, record);
    QFETCH(QString, message);

    ModuleConfig config = sampleConfig(model);
    config.ports[port] = PortRecord(QByteArray::fromHex(record));
    QVERIFY(config.ports[port].isValid());
    const QString file = saveConfig(m_dir, QStringLiteral("refused.tovrin.json"), config);
    QVERIFY(QFileInfo(file).isFile());

    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, model, m_dir, QStringLiteral("refused")));
    const QVector<PortRecord> before = sim.state();
    for (const QStringList &command :
         {QStringList{QStringLiteral("write"), file, QStringLiteral("--yes")},
          QStringList{QStringLiteral("write"), file, QStringLiteral("--yes"),
                      QStringLiteral("--verify")},
          QStringList{QStringLiteral("diff"), file}}) {
        const CtlRun ctl = run(QStringList{kOne, sim.device()} + command, 10000);
        verifyRefused(ctl, file + QStringLiteral(": ") + message, sim);
    }
    QCOMPARE(sim.state(), before);
}

void TestCtlFiles::inputsThatNeverEnd_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("message");
    const QString notAFile = QStringLiteral("它不是普通文件");
    QTest::newRow("FIFO without a writer") << QStringLiteral("FIFO") << notAFile;
    QTest::newRow("FIFO a writer holds open") << QStringLiteral("held FIFO") << notAFile;
    QTest::newRow("/dev/zero") << QStringLiteral("/dev/zero") << notAFile;
    QTest::newRow("a file over 1 MiB")
        << QStringLiteral("large") << QStringLiteral("文件大于 1 MiB，不是配置文件");
}

// Inputs with no end or no writer: refused at once, never read.
void TestCtlFiles::inputsThatNeverEnd()
{
    QFETCH(QString, input);
    QFETCH(QString, message);
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    QString path = input;
    int holder = -1;
    if (input.endsWith(QLatin1String("FIFO"))) {
        path = scratch.filePath(QStringLiteral("fifo.tovrin.json"));
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
        if (input.startsWith(QLatin1String("held")))
            holder = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK);
    } else if (input == QLatin1String("large")) {
        path = scratch.filePath(QStringLiteral("large.tovrin.json"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(ConfigFile::MaxSize + 1));
    }

    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("endless")));
    for (const QStringList &command :
         {QStringList{QStringLiteral("write"), path, QStringLiteral("--yes")},
          QStringList{QStringLiteral("diff"), path}}) {
        QElapsedTimer timer;
        timer.start();
        const CtlRun ctl = run(QStringList{kOne, sim.device()} + command, 10000);
        qInfo("%s %s: exit %d after %lld ms", qPrintable(command.first()), qPrintable(input),
              ctl.exitCode, timer.elapsed());
        verifyRefused(ctl, path + QStringLiteral(": 无法读取文件 ") + path, sim);
        QVERIFY2(ctl.err.contains(message), qPrintable(ctl.err));
    }
    if (holder >= 0)
        ::close(holder);
}

void TestCtlFiles::sameDeviceTwice_data()
{
    QTest::addColumn<QString>("spelling");
    QTest::newRow("through a symlink") << QStringLiteral("link");
    QTest::newRow("with a .. in the path") << QStringLiteral("dotdot");
}

// One module named twice would be opened twice: refused before either is.
void TestCtlFiles::sameDeviceTwice()
{
    QFETCH(QString, spelling);
    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("twice")));
    const QString device = sim.device();
    QVERIFY(device.startsWith(QLatin1String("/dev/pts/")));
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    QString other;
    if (spelling == QLatin1String("link")) {
        other = scratch.filePath(QStringLiteral("module"));
        QVERIFY(QFile::link(device, other));
    } else {
        other = QStringLiteral("/dev/pts/../pts/") + QFileInfo(device).fileName();
    }
    for (const QStringList &command :
         {QStringList{QStringLiteral("version")},
          QStringList{QStringLiteral("read"), QStringLiteral("-o"), scratch.path()}}) {
        const CtlRun ctl = run(QStringList{kOne, device, kOne, other} + command, 10000);
        verifyRefused(ctl,
                      QStringLiteral("devices '%1' and '%2' are the same device, %3")
                          .arg(device, other, device),
                      sim);
    }
}

// A file name with a line break and a model name with a NUL: each message
// stays one line and shows the whole text.
void TestCtlFiles::controlCharactersEscaped()
{
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString path = scratch.filePath(QStringLiteral("two\nlines.tovrin.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\"format\":\"tovrin-module-config\",\"version\":1,"
               "\"model\":\"R7-Eda\\u0000 and the rest\",\"ports\":[]}");
    file.close();

    SimModule sim;
    QVERIFY(sim.start(SimModule::Pty, ModuleModel::Tovrin, m_dir, QStringLiteral("escaped")));
    const QString shown = scratch.filePath(QStringLiteral("two\\nlines.tovrin.json"));
    const CtlRun ctl = run({kOne, sim.device(), QStringLiteral("diff"), path}, 10000);
    verifyRefused(ctl, shown + QStringLiteral(": 未知的模块型号“R7-Eda\\x00 and the rest”"), sim);

    const CtlRun output = run({kOne, sim.device(), QStringLiteral("read"), QStringLiteral("-o"),
                               scratch.filePath(QStringLiteral("no\x01such/x.tovrin.json"))},
                              10000);
    verifyRefused(output, QStringLiteral("no\\x01such"), sim);
}

QTEST_GUILESS_MAIN(TestCtlFiles)
#include "tst_ctlfiles.moc"
