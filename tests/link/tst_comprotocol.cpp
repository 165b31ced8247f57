// The link parser: frames in any split, garbage and broken frames around them,
// the splitting of a body into sub-records, and bytes fed back in from a slot.
#include "comprotocol.h"
#include "linkexamples.h"

#include <QRandomGenerator>
#include <QtTest>

#include <functional>

namespace {

// "id:len:payload", all in hex; the record itself is only valid during the call.
QString describe(quint8 id, int len, const QByteArray &data)
{
    return QStringLiteral("%1:%2:%3")
        .arg(id, 2, 16, QLatin1Char('0'))
        .arg(len, 2, 16, QLatin1Char('0'))
        .arg(QString::fromLatin1(data.toHex()));
}

QString describe(const LinkExample &e)
{
    return describe(e.id, e.payload.size(), e.payload);
}

// Copies every emitted record; onRecord, when set, runs inside the emission.
class Collector
{
public:
    explicit Collector(COMPROTOCOL &parser)
    {
        QObject::connect(&parser, &COMPROTOCOL::COMRxCmd, [this](tNKLinkData *d) {
            records.append(describe(d->id, d->len, d->data));
            if (d->data.size() != d->len)
                sizeMismatches.append(records.last());
            if (onRecord)
                onRecord(*d);
        });
    }
    QStringList records;
    QStringList sizeMismatches;
    std::function<void(const tNKLinkData &)> onRecord;
};

const QByteArray A("A"), B("B"), D("D"), x("x"), y("y"), z("z");

QByteArray lenByte(int n)
{
    return QByteArray(1, static_cast<char>(n));
}

QByteArray withByteFlipped(QByteArray bytes, int index)
{
    bytes[index] = static_cast<char>(bytes.at(index) ^ 0x5A);
    return bytes;
}

const QByteArray &versionQuery()
{
    return linkExamples().at(0).frame;
}

const QByteArray &readAllRequest()
{
    return linkExamples().at(1).frame;
}

QString versionRecord()
{
    return describe(linkExamples().at(0));
}

QString readAllRecord()
{
    return describe(linkExamples().at(1));
}

} // namespace

class TestComProtocol : public QObject
{
    Q_OBJECT
private slots:
    void exampleFrames_data();
    void exampleFrames();
    void streams_data();
    void streams();
    void randomStreamInRandomBlocks();
    void insideSlot_data();
    void insideSlot();
    void anotherParserFedInsideSlot();
    void parsersKeepSeparateState();
    void keptCopiesOfDataStayIntact();

private:
    // Feeds the stream whole, byte by byte, cut in two after every byte, and
    // with empty blocks in between, each into a fresh parser.
    void checkAllSplits(const QByteArray &stream, const QStringList &expected);
};

void TestComProtocol::checkAllSplits(const QByteArray &stream, const QStringList &expected)
{
    const auto run = [&](const QString &how, const std::function<void(COMPROTOCOL &)> &feed) {
        COMPROTOCOL parser;
        Collector collector(parser);
        feed(parser);
        if (collector.records == expected && collector.sizeMismatches.isEmpty())
            return true;
        const QString message = QStringLiteral("%1: got [%2], expected [%3]")
                                    .arg(how, collector.records.join(QLatin1Char(' ')),
                                         expected.join(QLatin1Char(' ')));
        QTest::qFail(qPrintable(message), __FILE__, __LINE__);
        return false;
    };

    if (!run(QStringLiteral("whole"), [&](COMPROTOCOL &p) { p.receive(stream); }))
        return;
    if (!run(QStringLiteral("byte by byte"), [&](COMPROTOCOL &p) {
            for (int i = 0; i < stream.size(); ++i)
                p.receive(stream.mid(i, 1));
        }))
        return;
    for (int cut = 1; cut < stream.size(); ++cut) {
        if (!run(QStringLiteral("cut after %1").arg(cut), [&](COMPROTOCOL &p) {
                p.receive(stream.left(cut));
                p.receive(QByteArray());
                p.receive(stream.mid(cut));
            }))
            return;
    }
}

void TestComProtocol::exampleFrames_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QStringList>("expected");
    QStringList all;
    QByteArray allFrames;
    for (const LinkExample &e : linkExamples()) {
        QTest::newRow(e.name) << e.frame << QStringList{describe(e)};
        all << describe(e);
        allFrames += e.frame;
    }
    QTest::newRow("all examples back to back") << allFrames << all;
}

void TestComProtocol::exampleFrames()
{
    QFETCH(QByteArray, stream);
    QFETCH(QStringList, expected);
    checkAllSplits(stream, expected);
}

void TestComProtocol::streams_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QStringList>("expected");

    const QByteArray version = versionQuery();
    const QByteArray readAll = readAllRequest();
    const QStringList none;

    // Around frames.
    QTest::newRow("nothing") << QByteArray() << none;
    QTest::newRow("garbage only") << hex("000E0EFFAB00AB") << none;
    QTest::newRow("garbage before a frame")
        << hex("00FF0EAB00") + version << QStringList{versionRecord()};
    QTest::newRow("start byte then a non-start byte, then a frame")
        << hex("AB00") + version << QStringList{versionRecord()};
    QTest::newRow("doubled first start byte breaks the frame") << hex("AB") + version << none;
    QTest::newRow("doubled first start byte, next frame decodes")
        << hex("AB") + version + readAll << QStringList{readAllRecord()};
    QTest::newRow("wrong checksum low byte, next frame decodes")
        << withByteFlipped(version, 6) + readAll << QStringList{readAllRecord()};
    QTest::newRow("wrong checksum high byte, next frame decodes")
        << withByteFlipped(version, 7) + readAll << QStringList{readAllRecord()};
    QTest::newRow("wrong body byte, next frame decodes")
        << withByteFlipped(version, 5) + readAll << QStringList{readAllRecord()};
    QTest::newRow("wrong second start byte, next frame decodes")
        << withByteFlipped(version, 1) + readAll << QStringList{readAllRecord()};
    QTest::newRow("frames back to back with garbage between")
        << version + hex("0011") + readAll + hex("AB00") + version + hex("FF") + readAll
        << QStringList{versionRecord(), readAllRecord(), versionRecord(), readAllRecord()};
    // The bytes of a frame, dropped or not, are not searched again for frames.
    QTest::newRow("frame inside a dropped frame is not decoded")
        << withByteFlipped(frameOf(A + lenByte(version.size()) + version), 5 + version.size()) +
               readAll
        << QStringList{readAllRecord()};
    QTest::newRow("frame inside a valid frame is only payload")
        << frameOf(A + lenByte(version.size()) + version)
        << QStringList{describe('A', version.size(), version)};
    QTest::newRow("truncated frame swallows the next one, the one after decodes")
        << hex("AB0E05E2") + version + readAll << QStringList{readAllRecord()};

    // LEN values that no frame can carry are abandoned at once.
    for (int len = 0; len <= 2; ++len) {
        QTest::addRow("LEN %d, then a frame", len)
            << hex("AB0E") + lenByte(len) + version << QStringList{versionRecord()};
        QTest::addRow("LEN %d, start byte, then a frame", len)
            << hex("AB0E") + lenByte(len) + hex("AB") + readAll << none;
    }

    // Splitting a body into sub-records.
    QTest::newRow("A 1 x B 2 y z") << frameOf(A + lenByte(1) + x + B + lenByte(2) + y + z)
                                   << QStringList{describe('A', 1, x), describe('B', 2, y + z)};
    QTest::newRow("A 1 x B 0") << frameOf(A + lenByte(1) + x + B + lenByte(0))
                               << QStringList{describe('A', 1, x)};
    QTest::newRow("A 0") << frameOf(A + lenByte(0)) << QStringList{describe('A', 0, QByteArray())};
    QTest::newRow("A 1 x B 0 D") << frameOf(A + lenByte(1) + x + B + lenByte(0) + D)
                                 << QStringList{describe('A', 1, x),
                                                describe('B', 0, QByteArray())};
    QTest::newRow("A 5 x") << frameOf(A + lenByte(5) + x) << none;
    QTest::newRow("A 1 x B 5 y") << frameOf(A + lenByte(1) + x + B + lenByte(5) + y)
                                 << QStringList{describe('A', 1, x)};
    QTest::newRow("single byte") << frameOf(A) << none;
    QTest::newRow("three records")
        << frameOf(A + lenByte(0) + B + lenByte(1) + x + D + lenByte(2) + y + z)
        << QStringList{describe('A', 0, QByteArray()), describe('B', 1, x),
                       describe('D', 2, y + z)};

    // Lengths of 128 and more are unsigned like any other.
    const QByteArray p128 = countingBytes(0x80, 128);
    const QByteArray p144 = countingBytes(0x20, 144);
    QTest::newRow("length 128, first")
        << frameOf(A + lenByte(128) + p128) << QStringList{describe('A', 128, p128)};
    QTest::newRow("length 144, second")
        << frameOf(A + lenByte(1) + x + B + lenByte(144) + p144)
        << QStringList{describe('A', 1, x), describe('B', 144, p144)};
    QTest::newRow("length 255 does not fit, first") << frameOf(A + lenByte(255) + x + y) << none;
    QTest::newRow("length 200 does not fit, second")
        << frameOf(A + lenByte(1) + x + B + lenByte(200) + y + z)
        << QStringList{describe('A', 1, x)};
    const QByteArray p251 = countingBytes(0x05, 251);
    QTest::newRow("largest frame")
        << frameOf(A + lenByte(251) + p251) << QStringList{describe('A', 251, p251)};

    // Replies of the module.
    const QByteArray records55 = countingBytes(0x30, 55);
    const QByteArray records66 = countingBytes(0x40, 66);
    QTest::newRow("read-all reply, 5 ports")
        << frameOf(hex("F137") + records55) << QStringList{describe(0xF1, 55, records55)};
    QTest::newRow("read-all reply, 6 ports")
        << frameOf(hex("F142") + records66) << QStringList{describe(0xF1, 66, records66)};
    QTest::newRow("version reply with write reply")
        << frameOf(hex("E20420010203") + hex("F00100"))
        << QStringList{describe(0xE2, 4, hex("20010203")), describe(0xF0, 1, hex("00"))};
}

void TestComProtocol::streams()
{
    QFETCH(QByteArray, stream);
    QFETCH(QStringList, expected);
    checkAllSplits(stream, expected);
}

void TestComProtocol::randomStreamInRandomBlocks()
{
    QRandomGenerator rng(7031);
    QByteArray stream;
    QStringList expected;
    for (int i = 0; i < 400; ++i) {
        // Garbage never holds a start byte, so every frame after it starts clean.
        QByteArray garbage(int(rng.bounded(6)), Qt::Uninitialized);
        for (char &c : garbage)
            c = static_cast<char>(rng.bounded(0xAB));
        stream += garbage;

        QByteArray body;
        QStringList records;
        const int count = 1 + int(rng.bounded(3));
        for (int r = 0; r < count; ++r) {
            const auto id = static_cast<quint8>(rng.bounded(256));
            const int n = int(rng.bounded(70));
            QByteArray payload(n, Qt::Uninitialized);
            for (char &c : payload)
                c = static_cast<char>(rng.bounded(256));
            body += QByteArray(1, static_cast<char>(id)) + lenByte(n) + payload;
            // Two bytes left at the end of a body are not looked at.
            if (r == 0 || r < count - 1 || n > 0)
                records << describe(id, n, payload);
        }
        QByteArray frame = frameOf(body);
        if (rng.bounded(10) == 0)
            frame = withByteFlipped(frame, 3 + int(rng.bounded(frame.size() - 3))); // LEN kept
        else
            expected += records;
        stream += frame;
    }

    for (int round = 0; round < 20; ++round) {
        COMPROTOCOL parser;
        Collector collector(parser);
        for (int pos = 0; pos < stream.size();) {
            const int size = int(rng.bounded(round < 10 ? 8 : 600));
            parser.receive(stream.mid(pos, size));
            pos += size;
        }
        QCOMPARE(collector.records, expected);
        QVERIFY(collector.sizeMismatches.isEmpty());
    }
}

void TestComProtocol::insideSlot_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("fedInside");
    QTest::addColumn<QStringList>("expected");

    const QByteArray twoRecords = frameOf(A + lenByte(1) + x + B + lenByte(2) + y + z);
    const QStringList both{describe('A', 1, x), describe('B', 2, y + z)};

    QTest::newRow("whole frame fed inside is dropped")
        << readAllRequest() << versionQuery() << QStringList{readAllRecord()};
    QTest::newRow("rest of the frame survives a whole frame fed inside")
        << twoRecords << versionQuery() << both;
    QTest::newRow("rest of the frame survives a partial frame fed inside")
        << twoRecords << frameOf(countingBytes(0x61, 40)).left(30) << both;
    QTest::newRow("rest of the frame survives an empty block fed inside")
        << twoRecords << QByteArray() << both;
    // The rest of the outer block is consumed by the inner call, while dispatching.
    QTest::newRow("frame after it in the same block completes inside and is dropped")
        << twoRecords + readAllRequest() << QByteArray() << both;
}

void TestComProtocol::insideSlot()
{
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, fedInside);
    QFETCH(QStringList, expected);

    COMPROTOCOL parser;
    Collector collector(parser);
    bool fed = false;
    collector.onRecord = [&](const tNKLinkData &) {
        if (!fed) {
            fed = true;
            parser.receive(fedInside);
        }
    };
    parser.receive(stream);
    QCOMPARE(collector.records, expected);
    QVERIFY(collector.sizeMismatches.isEmpty());

    // Afterwards the parser decodes as usual.
    collector.records.clear();
    parser.receive(versionQuery());
    QCOMPARE(collector.records, QStringList{versionRecord()});
}

void TestComProtocol::anotherParserFedInsideSlot()
{
    // The guard belongs to each parser: another parser fed from inside this
    // one's slot decodes as usual, and keeps the frame it has begun.
    COMPROTOCOL outer;
    COMPROTOCOL other;
    Collector outerRecords(outer);
    Collector otherRecords(other);
    const QByteArray version = versionQuery();
    const QByteArray readAll = readAllRequest();
    outerRecords.onRecord = [&](const tNKLinkData &) { other.receive(readAll + version.left(5)); };
    outer.receive(readAll);
    QCOMPARE(outerRecords.records, QStringList{readAllRecord()});
    QCOMPARE(otherRecords.records, QStringList{readAllRecord()});

    other.receive(version.mid(5));
    QCOMPARE(otherRecords.records, (QStringList{readAllRecord(), versionRecord()}));
}

void TestComProtocol::keptCopiesOfDataStayIntact()
{
    COMPROTOCOL parser;
    QList<QByteArray> kept;
    QObject::connect(&parser, &COMPROTOCOL::COMRxCmd,
                     [&kept](tNKLinkData *d) { kept.append(d->data); });
    const QByteArray p40 = countingBytes(0x30, 40);
    parser.receive(
        frameOf(A + lenByte(3) + hex("010203") + D + lenByte(0) + B + lenByte(40) + p40) +
        frameOf(A + lenByte(1) + x));
    QCOMPARE(kept, (QList<QByteArray>{hex("010203"), QByteArray(), p40, x}));
}

void TestComProtocol::parsersKeepSeparateState()
{
    COMPROTOCOL first;
    COMPROTOCOL second;
    Collector firstRecords(first);
    Collector secondRecords(second);
    const QByteArray version = versionQuery();
    first.receive(version.left(4));
    second.receive(readAllRequest());
    first.receive(version.mid(4));
    QCOMPARE(firstRecords.records, QStringList{versionRecord()});
    QCOMPARE(secondRecords.records, QStringList{readAllRecord()});
}

QTEST_GUILESS_MAIN(TestComProtocol)
#include "tst_comprotocol.moc"
