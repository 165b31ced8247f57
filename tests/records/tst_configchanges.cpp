// The change list before a write: one line per differing field, in the
// card's words and the current translation.
#include "configchanges.h"
#include "testpaths.h"

#include <QTranslator>
#include <QtTest>

namespace
{
ProtocolNames::Lookup names()
{
    const QStringList entries{QStringLiteral("不启用"), QStringLiteral("Norvek标准吊舱协议"),
                              QStringLiteral("Norvek标准CAN协议"), QStringLiteral("零度标准吊舱")};
    return ProtocolNames::fromCatalogue(entries, entries);
}

const char *const kUart = "0000c20100010000010010"; // 115200 even 8 1 RS-422, 不启用, 零度标准吊舱
const char *const kCan = "0140420f00000000000102"; // 1000, Norvek标准吊舱协议, Norvek标准CAN协议

// Six R7-Eda ports, all kUart but the last (kCan), with some replaced.
QVector<PortRecord> r7(const QMap<int, QByteArray> &changed = {})
{
    QVector<PortRecord> records;
    for (int i = 0; i < 6; ++i)
        records.append(PortRecord(QByteArray::fromHex(changed.value(i, i < 5 ? kUart : kCan))));
    return records;
}
} // namespace

class TestConfigChanges : public QObject
{
    Q_OBJECT
private slots:
    void describe_data();
    void describe();
    void tovrinPorts();
    void english();
};

void TestConfigChanges::describe_data()
{
    QTest::addColumn<QVector<PortRecord>>("before");
    QTest::addColumn<QVector<PortRecord>>("after");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("nothing differs") << r7() << r7() << QStringList();
    QTest::newRow("receive protocol")
        << r7() << r7({{1, "0000c20100010000011010"}})
        << QStringList{QStringLiteral("Uart3 接收功能: 不启用 → 零度标准吊舱")};
    QTest::newRow("several fields, several ports, panel order")
        << r7() << r7({{0, "0000e10000020101000010"}, {4, "0000c20100010000010011"}})
        << QStringList{QStringLiteral("Uart2 波特率: 115200 → 57600"),
                       QStringLiteral("Uart2 奇偶校验: 偶校验 → 奇校验"),
                       QStringLiteral("Uart2 数据位: 8 → 9"),
                       QStringLiteral("Uart2 停止位: 1 → 2"),
                       QStringLiteral("Uart2 电平: 422 → 232"),
                       QStringLiteral("Uart6 发送功能: 零度标准吊舱 → 17")};
    QTest::newRow("values no item shows as numbers")
        << r7() << r7({{2, "00b00400000507ff030010"}})
        << QStringList{
               QStringLiteral("Uart4 波特率: 115200 → 1200"),
               QStringLiteral("Uart4 奇偶校验: 偶校验 → 5"), QStringLiteral("Uart4 数据位: 8 → 7"),
               QStringLiteral("Uart4 停止位: 1 → 255"), QStringLiteral("Uart4 电平: 422 → 3")};
    QTest::newRow("codes that select the same entry")
        << r7() << r7({{3, "0000c20100010000010d10"}})
        << QStringList{QStringLiteral("Uart5 接收功能: 不启用 (0) → 不启用 (13)")};
    QTest::newRow("CAN rates in the card's kbit/s")
        << r7() << r7({{5, "012a2c0a00000000000102"}})
        << QStringList{QStringLiteral("CAN2 波特率: 1000 → 666.666")};
    QTest::newRow("CAN rate no item shows")
        << r7() << r7({{5, "0190d00300000000000102"}})
        << QStringList{QStringLiteral("CAN2 波特率: 1000 → 250000")};
    QTest::newRow("UART to CAN") << r7() << r7({{0, "0120a10700000000000010"}})
                                 << QStringList{QStringLiteral("Uart2 端口类型: 串口 → Can"),
                                                QStringLiteral("Uart2 波特率: 115200 → 500")};
    QTest::newRow("CAN to UART shows the new line settings")
        << r7() << r7({{5, "0000c20100000000000102"}})
        << QStringList{QStringLiteral("CAN2 端口类型: Can → 串口"),
                       QStringLiteral("CAN2 波特率: 1000 → 115200"),
                       QStringLiteral("CAN2 奇偶校验: — → 无"),
                       QStringLiteral("CAN2 数据位: — → 8"),
                       QStringLiteral("CAN2 停止位: — → 1"),
                       QStringLiteral("CAN2 电平: — → 232")};
    QTest::newRow("bytes no field shows")
        << r7() << r7({{5, "0140420f00010000000102"}})
        << QStringList{QStringLiteral(
               "CAN2 记录: 01 40 42 0f 00 00 00 00 00 01 02 → 01 40 42 0f 00 01 00 00 00 01 02")};
    QTest::newRow("a port with no record")
        << r7() << r7({{1, ""}})
        << QStringList{QStringLiteral("Uart3 记录: 00 00 c2 01 00 01 00 00 01 00 10 → —")};
    QTest::newRow("more records than ports are ignored")
        << (r7() << PortRecord(QByteArray::fromHex(kUart)))
        << (r7() << PortRecord(QByteArray::fromHex(kCan))) << QStringList();
}

void TestConfigChanges::describe()
{
    QFETCH(QVector<PortRecord>, before);
    QFETCH(QVector<PortRecord>, after);
    QFETCH(QStringList, lines);
    QCOMPARE(ConfigChanges::describe(ModuleModel::R7, before, after, names()), lines);
}

void TestConfigChanges::tovrinPorts()
{
    // The level list is hidden on Tovrin ports, but its byte is written.
    QVector<PortRecord> before(5, PortRecord(QByteArray::fromHex("0000c20100000000000000")));
    QVector<PortRecord> after = before;
    after[0] = PortRecord(QByteArray::fromHex("0000c20100000000010000"));
    after[2] = PortRecord(QByteArray::fromHex("0120a10700000000000000"));
    QCOMPARE(ConfigChanges::describe(ModuleModel::Tovrin, before, after, names()),
             (QStringList{QStringLiteral("Port1 电平: 232 → 422"),
                          QStringLiteral("Port3 端口类型: 串口 → Can"),
                          QStringLiteral("Port3 波特率: 115200 → 500")}));
    // Without names every protocol shows its code.
    after = before;
    after[4] = PortRecord(QByteArray::fromHex("0000c20100000000001100"));
    QCOMPARE(ConfigChanges::describe(ModuleModel::Tovrin, before, after),
             QStringList{QStringLiteral("Port5 接收功能: 0 → 17")});
}

void TestConfigChanges::english()
{
    QTranslator translator;
    QVERIFY(translator.load(TestPaths::programDir() +
                            QStringLiteral("/TovrinVazodivuveTool_en_US.qm")));
    QCoreApplication::installTranslator(&translator);
    const QStringList lines = ConfigChanges::describe(
        ModuleModel::R7, r7(), r7({{0, "0120a10700000000000010"}, {1, "0000c20100020000000010"}}),
        names());
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(lines, (QStringList{QStringLiteral("Uart2 Port type: UART → CAN"),
                                 QStringLiteral("Uart2 Baud: 115200 → 500"),
                                 QStringLiteral("Uart3 Parity: Even → Odd"),
                                 QStringLiteral("Uart3 Level: 422 → 232")}));
}

QTEST_GUILESS_MAIN(TestConfigChanges)
#include "tst_configchanges.moc"
