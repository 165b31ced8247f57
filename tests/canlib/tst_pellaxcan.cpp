// The scrambler library as its callers see it: the built file in the
// program's lib/ folder, its exports and their byte-level behaviour.
#include "pellaxcan.h"
#include "pellaxcankey.h"
#include "testpaths.h"

#include <QFile>
#include <QLibrary>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstring>

namespace
{

using Bytes = QVector<quint8>;

// Entries called with an int where the library takes an 8-bit length, as a
// caller in another language may do.
using WideEncode = void (*)(const quint8 *, quint8 *, int);
using WideDecode = int (*)(const quint8 *, quint8 *, int);
using WideXor = void (*)(quint8 *, int);

constexpr quint8 kUntouched = 0xA5;
constexpr int kPayloadsPerLength = 500;

QString libraryFile()
{
    return TestPaths::programDir() + QStringLiteral("/lib/libPellaxCan.so");
}

// The key as the constant's bytes in big-endian order.
Bytes keyBytes()
{
    quint8 raw[8];
    qToBigEndian<quint64>(PELLAXCAN_KEY_CONSTANT, raw);
    return Bytes(raw, raw + 8);
}

Bytes randomBytes(QRandomGenerator &random, int count)
{
    Bytes bytes(count);
    for (quint8 &b : bytes)
        b = static_cast<quint8>(random.bounded(256));
    return bytes;
}

// Substitution first, then the key.
Bytes referenceEncode(const Bytes &payload)
{
    const Bytes key = keyBytes();
    Bytes out(payload.size());
    for (int i = 0; i < payload.size(); ++i)
        out[i] = PellaxLib_CAN_EncodeTable[payload[i]] ^ key[i % 8];
    return out;
}

void addLengthRows(int from, int to)
{
    QTest::addColumn<int>("length");
    for (int n = from; n <= to; ++n)
        QTest::addRow("%d bytes", n) << n;
}

QStringList runTool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(tool.readAllStandardOutput())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

namespace QTest
{
template <> inline char *toString(const Bytes &bytes)
{
    return toHexRepresentation(reinterpret_cast<const char *>(bytes.constData()), bytes.size());
}
} // namespace QTest

class TestPellaxCan : public QObject
{
    Q_OBJECT

private slots:
    void versionIs0x11();
    void tablesAreMutuallyInversePermutations();
    void tablesMatchTheirGenerator();
    void xorUsesTheKeyMostSignificantByteFirst_data();
    void xorUsesTheKeyMostSignificantByteFirst();
    void roundTripsEveryPayload_data();
    void roundTripsEveryPayload();
    void worksInPlace_data();
    void worksInPlace();
    void refusesPayloadsAboveEightBytes_data();
    void refusesPayloadsAboveEightBytes();
    void onlyTheLowEightBitsOfLengthCount_data();
    void onlyTheLowEightBitsOfLengthCount();
    void exportsExactlyTheSixNames();
    void needsOnlyTheCRuntime();
};

void TestPellaxCan::versionIs0x11()
{
    QCOMPARE(PellaxLib_Can_GetVersion(), 0x11);
}

void TestPellaxCan::tablesAreMutuallyInversePermutations()
{
    QSet<int> seen;
    int fixedPoints = 0;
    for (int x = 0; x < 256; ++x) {
        seen.insert(PellaxLib_CAN_EncodeTable[x]);
        QCOMPARE(int(PellaxLib_CAN_DecodeTable[PellaxLib_CAN_EncodeTable[x]]), x);
        QCOMPARE(int(PellaxLib_CAN_EncodeTable[PellaxLib_CAN_DecodeTable[x]]), x);
        fixedPoints += PellaxLib_CAN_EncodeTable[x] == x;
    }
    QCOMPARE(seen.size(), 256);
    // Key material that scrambles nothing would still round-trip.
    QVERIFY2(fixedPoints < 8, qPrintable(QStringLiteral("%1 fixed points").arg(fixedPoints)));
    QVERIFY(PELLAXCAN_KEY_CONSTANT != 0);
}

// The committed key material is what its documented seed produces.
void TestPellaxCan::tablesMatchTheirGenerator()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = TestPaths::sourceDir() + QStringLiteral("/canlib");
    QProcess cmake;
    cmake.start(QStringLiteral(TOVRIN_CMAKE_COMMAND),
                {QStringLiteral("-DOUT_DIR=") + dir.path(), QStringLiteral("-P"),
                 source + QStringLiteral("/gentables.cmake")});
    QVERIFY(cmake.waitForFinished(60000));
    QCOMPARE(cmake.exitCode(), 0);
    for (const QString &name :
         {QStringLiteral("pellaxcantables.c"), QStringLiteral("pellaxcankey.h")}) {
        QFile committed(source + QLatin1Char('/') + name);
        QFile generated(dir.filePath(name));
        QVERIFY(committed.open(QIODevice::ReadOnly));
        QVERIFY(generated.open(QIODevice::ReadOnly));
        QVERIFY2(committed.readAll() == generated.readAll(), qPrintable(name));
    }
}

void TestPellaxCan::xorUsesTheKeyMostSignificantByteFirst_data()
{
    QTest::addColumn<int>("length");
    for (int n : {0, 1, 7, 8, 9, 16, 100, 255})
        QTest::addRow("%d bytes", n) << n;
}

// No upper bound here: byte 8 starts the key again at key[0].
void TestPellaxCan::xorUsesTheKeyMostSignificantByteFirst()
{
    QFETCH(int, length);
    const Bytes key = keyBytes();
    QRandomGenerator random(0x5EED0000u + quint32(length));
    const Bytes original = randomBytes(random, 256);

    Bytes buffer = original;
    PellaxLib_CAN_XOR(buffer.data(), static_cast<uint8_t>(length));
    for (int i = 0; i < 256; ++i) {
        const quint8 expected = i < length ? quint8(original[i] ^ key[i % 8]) : original[i];
        QCOMPARE(buffer[i], expected);
    }

    // Zeros reveal the key itself.
    Bytes zeros(256, 0);
    PellaxLib_CAN_XOR(zeros.data(), static_cast<uint8_t>(length));
    for (int i = 0; i < length; ++i)
        QCOMPARE(zeros[i], key[i % 8]);
}

void TestPellaxCan::roundTripsEveryPayload_data()
{
    addLengthRows(0, 8);
}

void TestPellaxCan::roundTripsEveryPayload()
{
    QFETCH(int, length);
    QRandomGenerator random(0xCA4u + quint32(length));
    for (int round = 0; round < kPayloadsPerLength; ++round) {
        const Bytes payload = randomBytes(random, length);
        Bytes padded = payload;
        padded.resize(12);

        Bytes encoded(12, kUntouched);
        PellaxLib_CAN_Encode(padded.constData(), encoded.data(), static_cast<uint8_t>(length));
        QCOMPARE(encoded.mid(0, length), referenceEncode(payload));
        QCOMPARE(encoded.mid(length), Bytes(12 - length, kUntouched));

        Bytes decoded(12, kUntouched);
        QCOMPARE(
            PellaxLib_CAN_Decode(encoded.constData(), decoded.data(), static_cast<uint8_t>(length)),
            length);
        QCOMPARE(decoded.mid(0, length), payload);
        QCOMPARE(decoded.mid(length), Bytes(12 - length, kUntouched));

        // The other order holds as well: the tables are mutual inverses.
        Bytes unscrambled(12, kUntouched);
        QCOMPARE(PellaxLib_CAN_Decode(padded.constData(), unscrambled.data(),
                                      static_cast<uint8_t>(length)),
                 length);
        Bytes rescrambled(12, kUntouched);
        PellaxLib_CAN_Encode(unscrambled.constData(), rescrambled.data(),
                             static_cast<uint8_t>(length));
        QCOMPARE(rescrambled.mid(0, length), payload);
        QCOMPARE(rescrambled.mid(length), Bytes(12 - length, kUntouched));
    }
}

void TestPellaxCan::worksInPlace_data()
{
    addLengthRows(0, 8);
}

void TestPellaxCan::worksInPlace()
{
    QFETCH(int, length);
    QRandomGenerator random(0x1A7u + quint32(length));
    for (int round = 0; round < kPayloadsPerLength; ++round) {
        const Bytes payload = randomBytes(random, 8);
        const Bytes prefix = payload.mid(0, length);

        Bytes buffer = payload;
        PellaxLib_CAN_Encode(buffer.constData(), buffer.data(), static_cast<uint8_t>(length));
        QCOMPARE(buffer.mid(0, length), referenceEncode(prefix));
        QCOMPARE(buffer.mid(length), payload.mid(length));

        QCOMPARE(
            PellaxLib_CAN_Decode(buffer.constData(), buffer.data(), static_cast<uint8_t>(length)),
            length);
        QCOMPARE(buffer, payload);
    }
}

void TestPellaxCan::refusesPayloadsAboveEightBytes_data()
{
    QTest::addColumn<int>("length");
    for (int n : {9, 10, 64, 128, 255})
        QTest::addRow("%d bytes", n) << n;
}

// Above 8 bytes nothing is written, while the XOR export still runs over
// every byte.
void TestPellaxCan::refusesPayloadsAboveEightBytes()
{
    QFETCH(int, length);
    QRandomGenerator random(0x9u + quint32(length));
    const Bytes input = randomBytes(random, 256);

    Bytes output(256, kUntouched);
    PellaxLib_CAN_Encode(input.constData(), output.data(), static_cast<uint8_t>(length));
    QCOMPARE(output, Bytes(256, kUntouched));
    QCOMPARE(PellaxLib_CAN_Decode(input.constData(), output.data(), static_cast<uint8_t>(length)),
             0);
    QCOMPARE(output, Bytes(256, kUntouched));

    Bytes buffer = input;
    PellaxLib_CAN_XOR(buffer.data(), static_cast<uint8_t>(length));
    const Bytes key = keyBytes();
    for (int i = 0; i < length; ++i)
        QCOMPARE(buffer[i], quint8(input[i] ^ key[i % 8]));
    QCOMPARE(buffer.mid(length), input.mid(length));
}

void TestPellaxCan::onlyTheLowEightBitsOfLengthCount_data()
{
    QTest::addColumn<int>("passed");
    QTest::addColumn<int>("effective");
    QTest::newRow("264 acts as 8") << 264 << 8;
    QTest::newRow("256 acts as 0") << 256 << 0;
    QTest::newRow("257 acts as 1") << 257 << 1;
    QTest::newRow("265 acts as 9") << 265 << 9;
    QTest::newRow("0x7FFFFF03 acts as 3") << 0x7FFFFF03 << 3;
    QTest::newRow("-248 acts as 8") << -248 << 8;
}

void TestPellaxCan::onlyTheLowEightBitsOfLengthCount()
{
    QFETCH(int, passed);
    QFETCH(int, effective);
    QLibrary library(libraryFile());
    QVERIFY2(library.load(), qPrintable(library.errorString()));
    const auto encode = reinterpret_cast<WideEncode>(library.resolve("PellaxLib_CAN_Encode"));
    const auto decode = reinterpret_cast<WideDecode>(library.resolve("PellaxLib_CAN_Decode"));
    const auto xorStep = reinterpret_cast<WideXor>(library.resolve("PellaxLib_CAN_XOR"));
    QVERIFY(encode && decode && xorStep);

    QRandomGenerator random(0x264u);
    const Bytes input = randomBytes(random, 16);
    const bool accepted = effective <= 8;
    const int written = accepted ? effective : 0;

    Bytes encoded(16, kUntouched);
    encode(input.constData(), encoded.data(), passed);
    QCOMPARE(encoded.mid(0, written), referenceEncode(input.mid(0, written)));
    QCOMPARE(encoded.mid(written), Bytes(16 - written, kUntouched));

    Bytes decoded(16, kUntouched);
    QCOMPARE(decode(encoded.constData(), decoded.data(), passed), written);
    QCOMPARE(decoded.mid(0, written), input.mid(0, written));
    QCOMPARE(decoded.mid(written), Bytes(16 - written, kUntouched));

    Bytes buffer = input;
    xorStep(buffer.data(), passed);
    Bytes expected = input;
    PellaxLib_CAN_XOR(expected.data(), static_cast<uint8_t>(effective));
    QCOMPARE(buffer, expected);
}

void TestPellaxCan::exportsExactlyTheSixNames()
{
#ifndef Q_OS_LINUX
    QSKIP("reads the ELF dynamic symbol table");
#endif
    QVERIFY(QFile::exists(libraryFile()));
    const QStringList lines =
        runTool(QStringLiteral("nm"),
                {QStringLiteral("-D"), QStringLiteral("--defined-only"), libraryFile()});
    QVERIFY(!lines.isEmpty());
    QStringList symbols;
    for (const QString &line : lines) {
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QVERIFY2(fields.size() == 3, qPrintable(line));
        symbols << fields[1] + QLatin1Char(' ') + fields[2];
    }
    symbols.sort();
    // Functions in text, tables in read-only data.
    const QStringList expected = {
        QStringLiteral("R PellaxLib_CAN_DecodeTable"),
        QStringLiteral("R PellaxLib_CAN_EncodeTable"),
        QStringLiteral("T PellaxLib_CAN_Decode"),
        QStringLiteral("T PellaxLib_CAN_Encode"),
        QStringLiteral("T PellaxLib_CAN_XOR"),
        QStringLiteral("T PellaxLib_Can_GetVersion"),
    };
    QCOMPARE(symbols, expected);
}

void TestPellaxCan::needsOnlyTheCRuntime()
{
#ifndef Q_OS_LINUX
    QSKIP("reads the ELF dynamic section");
#endif
    const QStringList lines =
        runTool(QStringLiteral("readelf"), {QStringLiteral("-d"), libraryFile()});
    QVERIFY(!lines.isEmpty());
    for (const QString &line : lines) {
        if (!line.contains(QLatin1String("(NEEDED)")))
            continue;
        const QString needed = line.section(QLatin1Char('['), 1).section(QLatin1Char(']'), 0, 0);
        QVERIFY2(needed.startsWith(QLatin1String("libc.so")), qPrintable(needed));
    }
}

QTEST_GUILESS_MAIN(TestPellaxCan)
#include "tst_pellaxcan.moc"
