// Checksum and frame builder: known check values, the frames the program sends,
// and the property that an intact frame checks to 0.
#include "comprotocol.h"
#include "linkexamples.h"
#include "linkframe.h"

#include <QRandomGenerator>
#include <QtTest>

class TestLinkFrame : public QObject
{
    Q_OBJECT
private slots:
    void crcKnownValues_data();
    void crcKnownValues();
    void crcMatchesBitwiseReference();
    void crcUpdateContinuesAnySplit();

    void packFrame_data();
    void packFrame();
    void packFrameChecksumCoversHeadAndBody_data();
    void packFrameChecksumCoversHeadAndBody();
    void packFrameUsesExactlyNBytes_data();
    void packFrameUsesExactlyNBytes();
    void packFrameLargestPayload();
};

void TestLinkFrame::crcKnownValues_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("crc");
    QTest::newRow("check value") << QByteArray("123456789") << 0x4B37;
    QTest::newRow("empty range") << QByteArray() << 0xFFFF;
    QTest::newRow("one zero byte") << hex("00") << 0x40BF;
    QTest::newRow("one 0xFF byte") << hex("FF") << 0x00FF;
    QTest::newRow("version query head and body") << hex("AB0E05E20100") << 0x6BD1;
}

void TestLinkFrame::crcKnownValues()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, crc);
    QCOMPARE(int(crc16Modbus(bytes.constData(), bytes.size())), crc);
    QCOMPARE(int(referenceCrc(bytes)), crc);
}

void TestLinkFrame::crcMatchesBitwiseReference()
{
    // Every table entry is reached by the single bytes; the random blocks mix them.
    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, static_cast<char>(b));
        QCOMPARE(crc16Modbus(one.constData(), 1), referenceCrc(one));
    }
    QRandomGenerator rng(20240611);
    for (int round = 0; round < 200; ++round) {
        QByteArray block(int(rng.bounded(600)), Qt::Uninitialized);
        for (char &c : block)
            c = static_cast<char>(rng.bounded(256));
        QCOMPARE(crc16Modbus(block.constData(), block.size()), referenceCrc(block));
    }
}

void TestLinkFrame::crcUpdateContinuesAnySplit()
{
    const QByteArray bytes = linkExamples().at(4).frame;
    const quint16 whole = crc16Modbus(bytes.constData(), bytes.size());
    QCOMPARE(whole, quint16(0));
    for (int cut = 0; cut <= bytes.size(); ++cut) {
        const quint16 first = crc16Modbus(bytes.constData(), cut);
        QCOMPARE(crc16ModbusUpdate(first, bytes.constData() + cut, bytes.size() - cut), whole);
    }
}

void TestLinkFrame::packFrame_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("frame");
    for (const LinkExample &e : linkExamples())
        QTest::newRow(e.name) << int(e.id) << e.payload << e.frame;
}

void TestLinkFrame::packFrame()
{
    QFETCH(int, id);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, frame);

    COMPROTOCOL parser;
    const QByteArray built = parser.packFrame(quint8(id), payload, quint8(payload.size()));
    QCOMPARE(built.toHex(' '), frame.toHex(' '));
    QCOMPARE(built.size(), payload.size() + 7);
    QCOMPARE(int(quint8(built.at(2))), payload.size() + 4);
    QCOMPARE(int(quint8(built.at(4))), payload.size());
    // An intact frame checks to 0 over its whole length, checksum included.
    QCOMPARE(int(crc16Modbus(built.constData(), built.size())), 0);
}

void TestLinkFrame::packFrameChecksumCoversHeadAndBody_data()
{
    packFrame_data();
}

void TestLinkFrame::packFrameChecksumCoversHeadAndBody()
{
    QFETCH(QByteArray, frame);
    const int len = quint8(frame.at(2));
    QCOMPARE(frame.size(), len + 3);
    const quint16 sent = quint16(quint8(frame.at(len + 1)) | (quint8(frame.at(len + 2)) << 8));
    QCOMPARE(crc16Modbus(frame.constData(), len + 1), sent);
    // Any single changed byte is caught.
    for (int i = 0; i < frame.size(); ++i) {
        QByteArray broken = frame;
        broken[i] = static_cast<char>(broken.at(i) ^ 0x01);
        QVERIFY2(crc16Modbus(broken.constData(), broken.size()) != 0,
                 qPrintable(QString::number(i)));
    }
}

void TestLinkFrame::packFrameUsesExactlyNBytes_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("n 0 leaves the payload out") << 0 << QByteArray("xyz") << hex("AB0E04F1000761");
    QTest::newRow("longer payload is cut to n") << 1 << hex("0011") << hex("AB0E05F1010020AE");
    // Never read past the payload: what is missing goes out as zero bytes.
    QTest::newRow("shorter payload is padded") << 1 << QByteArray() << hex("AB0E05F1010020AE");
    QTest::newRow("shorter payload is padded, 3 bytes")
        << 3 << hex("01") << frameOf(hex("F103010000"));
}

void TestLinkFrame::packFrameUsesExactlyNBytes()
{
    QFETCH(int, n);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, frame);
    COMPROTOCOL parser;
    QCOMPARE(parser.packFrame(MSG_READ_ALL, payload, quint8(n)).toHex(' '), frame.toHex(' '));
}

void TestLinkFrame::packFrameLargestPayload()
{
    COMPROTOCOL parser;
    const QByteArray payload = countingBytes(0x10, 251);
    const QByteArray built = parser.packFrame(MSG_WRITE_ALL, payload, 251);
    QCOMPARE(built.size(), 258);
    QCOMPARE(int(quint8(built.at(2))), 255);
    QCOMPARE(built.mid(5, 251), payload);
    QCOMPARE(int(crc16Modbus(built.constData(), built.size())), 0);
}

QTEST_GUILESS_MAIN(TestLinkFrame)
#include "tst_linkframe.moc"
