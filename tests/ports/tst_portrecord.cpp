// Record values shared by the card and the device simulator.
#include "portrecord.h"

#include <QtTest>

class TestPortRecord : public QObject
{
    Q_OBJECT
private slots:
    void protocolCodes_data();
    void protocolCodes();
    void protocolPositions_data();
    void protocolPositions();
    void canRates();
    void rateBytesAreLittleEndian();
};

void TestPortRecord::protocolCodes_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("code");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("2") << 2 << 2;
    QTest::newRow("3 counts from 16") << 3 << 16;
    QTest::newRow("19") << 19 << 32;
    QTest::newRow("last with a code") << 114 << 127;
    QTest::newRow("beyond one signed byte") << 115 << -1;
    QTest::newRow("no current item") << -1 << -1;
}

void TestPortRecord::protocolCodes()
{
    QFETCH(int, position);
    QFETCH(int, code);
    QCOMPARE(PortRecord::protocolCode(position), code);
    if (code >= 0)
        QCOMPARE(PortRecord::protocolPosition(qint8(code)), position);
}

void TestPortRecord::protocolPositions_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("position");
    QTest::newRow("2") << 2 << 2;
    QTest::newRow("3 names no entry") << 3 << -10;
    QTest::newRow("12 names no entry") << 12 << -1;
    QTest::newRow("13 is position 0") << 13 << 0;
    QTest::newRow("14 is position 1") << 14 << 1;
    QTest::newRow("15 is position 2") << 15 << 2;
    QTest::newRow("16 is position 3") << 16 << 3;
    QTest::newRow("0x7F") << 0x7F << 114;
    QTest::newRow("0x80 is negative") << 0x80 << -128;
    QTest::newRow("0xFF is negative") << 0xFF << -1;
}

void TestPortRecord::protocolPositions()
{
    QFETCH(int, byte);
    QFETCH(int, position);
    QCOMPARE(PortRecord::protocolPosition(qint8(quint8(byte))), position);
}

void TestPortRecord::canRates()
{
    QCOMPARE(PortRecord::canRatePosition(666666), 0);
    QCOMPARE(PortRecord::canRatePosition(1000000), 1);
    QCOMPARE(PortRecord::canRatePosition(500000), 2);
    QCOMPARE(PortRecord::canRatePosition(250000), -1);
    QCOMPARE(PortRecord::canRateAt(2), 500000u);
    QCOMPARE(PortRecord::canRateAt(3), 0u);
    QCOMPARE(PortRecord::canRateAt(-1), 0u);
}

void TestPortRecord::rateBytesAreLittleEndian()
{
    QByteArray record(1, '\1');
    PortRecord::appendRate(record, 1000000);
    record.append(6, '\0');
    QCOMPARE(record.mid(1, 4), QByteArray::fromHex("40420f00"));
    QCOMPARE(PortRecord::readRate(record), 1000000u);
    record.replace(1, 4, QByteArray::fromHex("ffffffff"));
    QCOMPARE(PortRecord::readRate(record), 0xFFFFFFFFu);
}

QTEST_GUILESS_MAIN(TestPortRecord)
#include "tst_portrecord.moc"
