// The program's lazy loader of the scrambler library. Its one-time load is
// process-wide, so each scenario runs in a probe process of its own, copied
// into a fresh program folder and started from another working directory.
#include "canscramblerloader.h"
#include "pellaxcan.h"
#include "testpaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

const QString kLibraryName = QStringLiteral("libPellaxCan.so");
constexpr char kUntouched = '\xEE'; // the probe's destination filling

enum class Peer { Real, Stub, Copy };

QString realLibrary()
{
    return TestPaths::programDir() + QStringLiteral("/lib/") + kLibraryName;
}

QString stubLibrary(const QString &kind)
{
    if (kind == QLatin1String("noDecode"))
        return QStringLiteral(STUB_NODECODE_LIBRARY);
    if (kind == QLatin1String("noEncode"))
        return QStringLiteral(STUB_NOENCODE_LIBRARY);
    if (kind == QLatin1String("decoy"))
        return QStringLiteral(STUB_DECOY_LIBRARY);
    return realLibrary();
}

QByteArray realScramble(bool encode, const QByteArray &payload)
{
    QByteArray out(payload.size(), '\0');
    const auto *in = reinterpret_cast<const uint8_t *>(payload.constData());
    auto *dst = reinterpret_cast<uint8_t *>(out.data());
    if (encode)
        PellaxLib_CAN_Encode(in, dst, static_cast<uint8_t>(payload.size()));
    else
        PellaxLib_CAN_Decode(in, dst, static_cast<uint8_t>(payload.size()));
    return out;
}

// What the probe prints for one call: the destination, or the buffer itself
// when in place, after `peer` handled `length`.
QByteArray outcome(Peer peer, bool encode, const QByteArray &input, int length, bool inPlace)
{
    const int n = length & 0xFF;
    QByteArray out = inPlace ? input : QByteArray(input.size(), kUntouched);
    const int shown = qMin(n, int(input.size()));
    if (peer == Peer::Copy) {
        out.replace(0, shown, input.left(shown));
    } else if (n <= 8) {
        QByteArray result = input.left(n);
        if (peer == Peer::Real) {
            result = realScramble(encode, result);
        } else {
            for (char &c : result)
                c = char(quint8(c) ^ STUB_MARK);
        }
        out.replace(0, n, result);
    }
    return out;
}

class Scenario
{
public:
    explicit Scenario(quint32 seed) : random(seed) {}

    QByteArray payload(int size)
    {
        QByteArray bytes(size, '\0');
        for (char &c : bytes)
            c = char(random.bounded(256));
        return bytes;
    }

    void call(Peer peer, const char *operation, int length, int size)
    {
        const QByteArray input = payload(size);
        const QString name = QString::fromLatin1(operation);
        steps << name << QString::number(length) << QString::fromLatin1(input.toHex());
        const bool encode = name.startsWith(QLatin1String("encode"));
        const bool inPlace = name.endsWith(QLatin1String("inplace"));
        expected << QString::fromLatin1(outcome(peer, encode, input, length, inPlace).toHex());
    }

    void fileStep(const QStringList &step) { steps << step; }

    QStringList steps;
    QStringList expected;

private:
    QRandomGenerator random;
};

} // namespace

class TestCanScramblerLoader : public QObject
{
    Q_OBJECT

private slots:
    void loadsFromTheProgramFolderNotTheWorkingDirectory();
    void scenarios_data();
    void scenarios();
};

// In this process: the test program's folder has lib/ with the real library
// (copied there by the build), the working directory a decoy.
void TestCanScramblerLoader::loadsFromTheProgramFolderNotTheWorkingDirectory()
{
    QTemporaryDir cwd;
    QVERIFY(cwd.isValid());
    QVERIFY(QDir(cwd.path()).mkpath(QStringLiteral("lib")));
    QVERIFY(QFile::copy(stubLibrary(QStringLiteral("decoy")),
                        cwd.filePath(QStringLiteral("lib/")) + kLibraryName));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(cwd.path()));
    const auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });

    const QString expectedPath =
        QCoreApplication::applicationDirPath() + QStringLiteral("/lib/") + kLibraryName;
    QCOMPARE(CanScramblerLoader::libraryPath(), expectedPath);
    QVERIFY2(QFile::exists(expectedPath), qPrintable(expectedPath));

    const QByteArray payload = QByteArray::fromHex("0011f0e1a55a7f80");
    QByteArray scrambled(8, kUntouched);
    CanScramblerLoader::encode(reinterpret_cast<const unsigned char *>(payload.constData()),
                               reinterpret_cast<unsigned char *>(scrambled.data()), 8);
    QCOMPARE(scrambled.toHex(), realScramble(true, payload).toHex());

    QByteArray restored(8, kUntouched);
    CanScramblerLoader::decode(reinterpret_cast<const unsigned char *>(scrambled.constData()),
                               reinterpret_cast<unsigned char *>(restored.data()), 8);
    QCOMPARE(restored.toHex(), payload.toHex());
}

void TestCanScramblerLoader::scenarios_data()
{
    QTest::addColumn<QString>("programLibrary"); // "real", "noDecode", "noEncode" or none
    QTest::addColumn<bool>("decoyInWorkingDirectory");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("expected");

    const QStringList installReal = {QStringLiteral("copy"), QStringLiteral("@REAL@"),
                                     QStringLiteral("@PROGLIB@")};
    const QStringList removeLibrary = {QStringLiteral("remove"), QStringLiteral("@PROGLIB@")};

    {
        Scenario s(1);
        s.call(Peer::Real, "encode", 8, 8);
        s.call(Peer::Real, "decode", 8, 8);
        s.call(Peer::Real, "encode", 3, 8);
        s.call(Peer::Real, "encode-inplace", 5, 8);
        s.call(Peer::Real, "decode-inplace", 5, 8);
        s.call(Peer::Real, "encode", 0, 4);
        s.call(Peer::Real, "decode", 0, 4);
        s.call(Peer::Real, "encode", 9, 9);
        s.call(Peer::Real, "decode", 9, 9);
        s.call(Peer::Real, "encode", 264, 12);
        s.call(Peer::Real, "decode", 264, 12);
        QTest::newRow("library beside the program, decoy in the working directory")
            << QStringLiteral("real") << true << s.steps << s.expected;
    }
    {
        Scenario s(2);
        s.call(Peer::Real, "encode", 8, 8);
        s.call(Peer::Real, "decode", 8, 8);
        QTest::newRow("library beside the program, empty working directory")
            << QStringLiteral("real") << false << s.steps << s.expected;
    }
    {
        Scenario s(3);
        s.call(Peer::Copy, "encode", 8, 8);
        s.call(Peer::Copy, "decode", 8, 8);
        s.call(Peer::Copy, "encode", 9, 9);
        s.call(Peer::Copy, "decode", 255, 255);
        s.call(Peer::Copy, "encode", 264, 12);
        s.call(Peer::Copy, "decode", 256, 4);
        s.call(Peer::Copy, "encode-inplace", 8, 8);
        s.call(Peer::Copy, "decode-inplace", 6, 8);
        QTest::newRow("no library: plain copies of the low 8 bits of the length")
            << QString() << true << s.steps << s.expected;
    }
    {
        Scenario s(4);
        s.call(Peer::Stub, "encode", 8, 8);
        s.call(Peer::Copy, "decode", 8, 8);
        s.call(Peer::Copy, "decode-inplace", 3, 8);
        s.call(Peer::Stub, "encode", 9, 9);
        QTest::newRow("no decode export: only decode copies")
            << QStringLiteral("noDecode") << true << s.steps << s.expected;
    }
    {
        Scenario s(5);
        s.call(Peer::Copy, "encode", 8, 8);
        s.call(Peer::Stub, "decode", 8, 8);
        s.call(Peer::Copy, "encode", 9, 9);
        QTest::newRow("no encode export: only encode copies")
            << QStringLiteral("noEncode") << true << s.steps << s.expected;
    }
    {
        Scenario s(6);
        s.call(Peer::Copy, "decode", 8, 8);
        s.fileStep(installReal);
        s.call(Peer::Copy, "encode", 8, 8);
        s.call(Peer::Copy, "decode", 8, 8);
        QTest::newRow("a failed load is not retried") << QString() << true << s.steps << s.expected;
    }
    {
        Scenario s(7);
        s.fileStep(installReal);
        s.call(Peer::Real, "encode", 8, 8);
        s.call(Peer::Real, "decode", 8, 8);
        QTest::newRow("loaded on first use, not at start")
            << QString() << true << s.steps << s.expected;
    }
    {
        Scenario s(8);
        s.call(Peer::Real, "encode", 8, 8);
        s.fileStep(removeLibrary);
        s.call(Peer::Real, "decode", 8, 8);
        s.call(Peer::Real, "encode", 4, 8);
        QTest::newRow("the loaded library stays after its file goes")
            << QStringLiteral("real") << false << s.steps << s.expected;
    }
}

void TestCanScramblerLoader::scenarios()
{
    QFETCH(QString, programLibrary);
    QFETCH(bool, decoyInWorkingDirectory);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    QDir dir(root.path());
    QVERIFY(dir.mkpath(QStringLiteral("program/lib")));
    QVERIFY(dir.mkpath(QStringLiteral("cwd/lib")));
    const QString probe = root.filePath(QStringLiteral("program/canloader_probe"));
    const QString programLib = root.filePath(QStringLiteral("program/lib/")) + kLibraryName;
    QVERIFY(QFile::copy(QStringLiteral(CANLOADER_PROBE), probe));
    if (!programLibrary.isEmpty())
        QVERIFY(QFile::copy(stubLibrary(programLibrary), programLib));
    if (decoyInWorkingDirectory)
        QVERIFY(QFile::copy(stubLibrary(QStringLiteral("decoy")),
                            root.filePath(QStringLiteral("cwd/lib/")) + kLibraryName));

    steps.replaceInStrings(QStringLiteral("@REAL@"), realLibrary());
    steps.replaceInStrings(QStringLiteral("@PROGLIB@"), programLib);

    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setWorkingDirectory(root.filePath(QStringLiteral("cwd")));
    process.start(probe, steps);
    QVERIFY2(process.waitForFinished(30000), qPrintable(process.errorString()));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QStringList lines = QString::fromLatin1(process.readAllStandardOutput())
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines, expected);
}

QTEST_GUILESS_MAIN(TestCanScramblerLoader)
#include "tst_canscramblerloader.moc"
