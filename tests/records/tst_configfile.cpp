// Module configuration files: what is written for each kind of record, the
// exact round trip through "record", readable-only ports, and one message
// for each kind of bad file.
#include "configfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include "badtargets.h"

#include <sys/stat.h>
#endif

namespace
{
const QString kRecord = QStringLiteral("0000c20100010000010010");
const QString kCanRecord = QStringLiteral("012a2c0a00000000000210");

ProtocolNames::Lookup names()
{
    const QStringList entries{QStringLiteral("不启用"),
                              QStringLiteral("Norvek标准吊舱协议==波特率 115200"),
                              QStringLiteral("Norvek标准CAN协议"), QStringLiteral("零度标准吊舱")};
    return ProtocolNames::fromCatalogue(entries, entries);
}

QVector<PortRecord> records(const QStringList &hex)
{
    QVector<PortRecord> result;
    for (const QString &h : hex)
        result.append(PortRecord(QByteArray::fromHex(h.toLatin1())));
    return result;
}

QJsonObject object(const char *json)
{
    return QJsonDocument::fromJson(json).object();
}

// A valid R7-Eda file whose ports are all kRecord, with changes applied.
QJsonObject validFile()
{
    QJsonArray ports;
    for (int i = 0; i < 5; ++i)
        ports.append(QJsonObject{{QStringLiteral("record"), kRecord}});
    ports.append(QJsonObject{{QStringLiteral("record"), kCanRecord}}); // CAN2 takes only CAN
    return QJsonObject{{QStringLiteral("format"), QStringLiteral("tovrin-module-config")},
                       {QStringLiteral("version"), 1},
                       {QStringLiteral("model"), QStringLiteral("R7-Eda")},
                       {QStringLiteral("ports"), ports}};
}

QByteArray withTop(const QString &key, const QJsonValue &value)
{
    QJsonObject file = validFile();
    if (value.isUndefined())
        file.remove(key);
    else
        file.insert(key, value);
    return QJsonDocument(file).toJson();
}

QByteArray withPort(int index, const QJsonValue &port)
{
    QJsonObject file = validFile();
    QJsonArray ports = file.value(QLatin1String("ports")).toArray();
    ports[index] = port;
    file.insert(QStringLiteral("ports"), ports);
    return QJsonDocument(file).toJson();
}

QByteArray withPort(int index, const char *json)
{
    return withPort(index, QJsonValue(object(json)));
}

// An R7-Eda file of entries that name their port: {port, record}; port 0
// leaves "port" out.
QByteArray namedPorts(const QVector<QPair<int, QString>> &entries)
{
    QJsonObject file = validFile();
    QJsonArray ports;
    for (const auto &entry : entries) {
        QJsonObject port{{QStringLiteral("record"), entry.second}};
        if (entry.first != 0)
            port.insert(QStringLiteral("port"), entry.first);
        ports.append(port);
    }
    file.insert(QStringLiteral("ports"), ports);
    return QJsonDocument(file).toJson();
}

const QString kOther = QStringLiteral("0080250000000000010000");

ModuleConfig sentinel()
{
    ModuleConfig config;
    config.model = ModuleModel::Tovrin;
    config.firmware = QStringLiteral("untouched");
    config.ports = records({QStringLiteral("0140420f00000000000102")});
    return config;
}
} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT
private slots:
    void writtenPort_data();
    void writtenPort();
    void writtenTop();
    void roundTrip_data();
    void roundTrip();
    void badFile_data();
    void badFile();
    void recordAndFields_data();
    void recordAndFields();
    void readableOnly_data();
    void readableOnly();
    void messagesEscapeControlCharacters();
    void saveAndLoad();
    void loadIsBounded();
#ifdef Q_OS_UNIX
    void loadNeverBlocks_data();
    void loadNeverBlocks();
    void saveRefusesTargets_data();
    void saveRefusesTargets();
    void partialFile_data();
    void partialFile();
    void overlayPrecedence_data();
    void overlayPrecedence();
    void snapshotNote();
#endif
};

void TestConfigFile::writtenPort_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("UART, every field listed")
        << kRecord
        << QByteArray(R"({"title":"Uart2","record":"0000c20100010000010010","kind":"uart",
            "baud":115200,"parity":"even","dataBits":8,"stopBits":1,"level":"RS-422",
            "receive":{"code":0,"name":"不启用"},"send":{"code":16,"name":"零度标准吊舱"}})");
    QTest::newRow("UART 921600 odd 9 2, codes 13 and 14")
        << QStringLiteral("0000100e00020101000d0e")
        << QByteArray(R"({"title":"Uart2","record":"0000100e00020101000d0e","kind":"uart",
            "baud":921600,"parity":"odd","dataBits":9,"stopBits":2,"level":"RS-232",
            "receive":{"code":13,"name":"不启用"},"send":{"code":14,"name":"Norvek标准吊舱协议"}})");
    QTest::newRow("values no item shows are left to the record")
        << QStringLiteral("00b0040000050702038064")
        << QByteArray(R"({"title":"Uart2","record":"00b0040000050702038064","kind":"uart",
            "send":{"code":100}})");
    QTest::newRow("CAN: rate and protocols only")
        << QStringLiteral("012a2c0a00010203040f11")
        << QByteArray(R"({"title":"Uart2","record":"012a2c0a00010203040f11","kind":"can",
            "baud":666666,"receive":{"code":15,"name":"Norvek标准CAN协议"},"send":{"code":17}})");
    QTest::newRow("CAN rate not listed")
        << QStringLiteral("0190d00300000000000302")
        << QByteArray(R"({"title":"Uart2","record":"0190d00300000000000302","kind":"can",
            "receive":{"code":3},"send":{"code":2,"name":"Norvek标准CAN协议"}})");
    QTest::newRow("unknown kind: the record alone")
        << QStringLiteral("0740420f00000000000102")
        << QByteArray(R"({"title":"Uart2","record":"0740420f00000000000102"})");
}

void TestConfigFile::writtenPort()
{
    QFETCH(QString, record);
    QFETCH(QByteArray, expected);
    ModuleConfig config;
    config.model = ModuleModel::R7;
    config.ports = records(
        {record, kRecord, kRecord, kRecord, kRecord, QStringLiteral("0140420f00000000000102")});
    const QJsonDocument written = QJsonDocument::fromJson(ConfigFile::toJson(config, names()));
    const QJsonObject port =
        written.object().value(QLatin1String("ports")).toArray().at(0).toObject();
    QCOMPARE(port, QJsonDocument::fromJson(expected).object());
}

void TestConfigFile::writtenTop()
{
    ModuleConfig config;
    config.model = ModuleModel::R7;
    config.firmware = QStringLiteral("V2.3.1");
    config.saved = QDateTime(QDate(2026, 12, 10), QTime(17, 30), Qt::OffsetFromUTC, 8 * 3600);
    config.ports = records(
        {kRecord, kRecord, kRecord, kRecord, kRecord, QStringLiteral("0140420f00000000000102")});
    const QByteArray text = ConfigFile::toJson(config, names());

    // Members in the documented order, for people who read the file.
    QVERIFY2(text.startsWith("{\n  \"format\": \"tovrin-module-config\",\n  \"version\": 1,\n"
                             "  \"model\": \"R7-Eda\",\n  \"firmware\": \"V2.3.1\",\n"
                             "  \"saved\": \"2026-12-10T09:30:00Z\",\n  \"ports\": [\n    {\n"
                             "      \"title\": \"Uart2\",\n"
                             "      \"record\": \"0000c20100010000010010\",\n"),
             text.constData());
    QVERIFY(text.contains("\"name\": \"零度标准吊舱\"")); // UTF-8, not escaped
    const QJsonArray ports =
        QJsonDocument::fromJson(text).object().value(QLatin1String("ports")).toArray();
    QStringList titles;
    for (const QJsonValue &port : ports)
        titles << port.toObject().value(QLatin1String("title")).toString();
    QCOMPARE(titles.join(QLatin1Char(' ')), QStringLiteral("Uart2 Uart3 Uart4 Uart5 Uart6 CAN2"));
}

void TestConfigFile::roundTrip_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QStringList>("hex");
    QTest::newRow("R7-Eda") << int(ModuleModel::R7)
                            << QStringList{
                                   "0000100e00020101010d0e", // 921600, codes 13 and 14
                                   "0000c20100050000000f64", // parity 5, code 15, code 100
                                   // 1200 baud and kind 7 used to be here: the port
                                   // rules refuse them now (badFile).
                                   "00802500000007ff00c800", // data bits 7, 0xff, 0xc8
                                   "0000e10000ffeeddccbbaa", // bytes no list item names
                                   "0000e10000000000001011",
                                   "012a2c0a00000000001002", // CAN 666666
                               };
    QTest::newRow("Tovrin") << int(ModuleModel::Tovrin)
                            << QStringList{
                                   "0000c20100000000010000", // level byte on a Tovrin port
                                   "006009000000000000030c", // codes 3 and 12
                                   "0120a10700000000001011", // CAN 500000
                                   "0000c20100000000000000",
                                   // CAN 500000 with bytes no field shows (the rate
                                   // bytes were once misplaced here, giving a rate the
                                   // port rules refuse)
                                   "0120a10700010203040000",
                               };
}

void TestConfigFile::roundTrip()
{
    QFETCH(int, model);
    QFETCH(QStringList, hex);
    ModuleConfig config;
    config.model = ModuleModel(model);
    config.firmware = QStringLiteral("V2.3.1 \"beta\"");
    config.saved = QDateTime(QDate(2026, 12, 10), QTime(9, 30, 5), Qt::UTC);
    config.ports = records(hex);

    ModuleConfig read;
    QString error;
    QVERIFY2(ConfigFile::fromJson(ConfigFile::toJson(config, names()), &read, &error),
             qPrintable(error));
    QCOMPARE(int(read.model), model);
    QCOMPARE(read.firmware, config.firmware);
    QCOMPARE(read.saved, config.saved);
    QCOMPARE(read.ports.size(), config.ports.size());
    for (int i = 0; i < config.ports.size(); ++i)
        QCOMPARE(read.ports.at(i).bytes().toHex(), config.ports.at(i).bytes().toHex());
}

void TestConfigFile::badFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    const QString wrongFormat = QStringLiteral("文件不是 Tovrin 模块配置文件");
    QTest::newRow("not JSON") << QByteArray("{\"format\": ")
                              << QStringLiteral("文件不是有效的 JSON（第 11 个字节附近有错）");
    QTest::newRow("empty") << QByteArray()
                           << QStringLiteral("文件不是有效的 JSON（第 0 个字节附近有错）");
    QTest::newRow("an array") << QByteArray("[1, 2]") << wrongFormat;
    QTest::newRow("other format") << withTop(QStringLiteral("format"), QStringLiteral("other"))
                                  << wrongFormat;
    QTest::newRow("no version") << withTop(QStringLiteral("version"), QJsonValue::Undefined)
                                << wrongFormat;
    QTest::newRow("version as text")
        << withTop(QStringLiteral("version"), QStringLiteral("1")) << wrongFormat;
    QTest::newRow("version 0") << withTop(QStringLiteral("version"), 0) << wrongFormat;
    QTest::newRow("newer version")
        << withTop(QStringLiteral("version"), 2)
        << QStringLiteral("文件格式版本 2 比本程序能读的版本 1 新，请使用更新的程序");
    QTest::newRow("unknown model") << withTop(QStringLiteral("model"), QStringLiteral("R7"))
                                   << QStringLiteral("未知的模块型号“R7”，应为 Tovrin 或 R7-Eda");
    QTest::newRow("partial: a port twice")
        << namedPorts({{2, kRecord}, {5, kRecord}, {2, kOther}})
        << QStringLiteral("第 3 个端口条目：端口 2 已由第 1 个条目给出");
    QTest::newRow("partial: port 7 of six")
        << namedPorts({{7, kRecord}})
        << QStringLiteral("第 1 个端口条目：“port”应为 1 到 6 的整数（型号 R7-Eda）");
    QTest::newRow("partial: port as text")
        << namedPorts({{1, kRecord}}).replace("\"port\": 1", "\"port\": \"1\"")
        << QStringLiteral("第 1 个端口条目：“port”应为 1 到 6 的整数（型号 R7-Eda）");
    QTest::newRow("partial: port 1.5")
        << namedPorts({{1, kRecord}}).replace("\"port\": 1", "\"port\": 1.5")
        << QStringLiteral("第 1 个端口条目：“port”应为 1 到 6 的整数（型号 R7-Eda）");
    QTest::newRow("partial: an entry without port after one with")
        << namedPorts({{1, kRecord}, {0, kRecord}})
        << QStringLiteral("第 2 个端口条目没有“port”字段，而其他条目有：要么每个条目都写明端口，"
                          "要么都不写");
    QTest::newRow("partial: the named port's rules")
        << namedPorts({{6, kRecord}})
        << QStringLiteral("端口 CAN2：字段“kind”为 UART，但此端口只能用作 CAN");
    QTest::newRow("model named in other case")
        << withTop(QStringLiteral("model"), QStringLiteral("tovrin"))
        << QStringLiteral("未知的模块型号“tovrin”，应为 Tovrin 或 R7-Eda");
    QTest::newRow("six ports for Tovrin")
        << withTop(QStringLiteral("model"), QStringLiteral("Tovrin"))
        << QStringLiteral("型号 Tovrin 有 5 个端口，文件中有 6 个");
    QTest::newRow("no ports") << withTop(QStringLiteral("ports"), QJsonValue::Undefined)
                              << QStringLiteral("型号 R7-Eda 有 6 个端口，文件中有 0 个");
    QTest::newRow("port not an object")
        << withPort(2, QJsonValue(3)) << QStringLiteral("端口 Uart4 不是 JSON 对象");

    const QString badRecord = QStringLiteral("端口 Uart3：record 不是 22 位十六进制数字");
    QTest::newRow("record of 10 bytes")
        << withPort(1, R"({"record":"0000c201000100000100"})") << badRecord;
    QTest::newRow("record of 12 bytes")
        << withPort(1, R"({"record":"0000c2010001000001001000"})") << badRecord;
    QTest::newRow("record not hex")
        << withPort(1, R"({"record":"0000c2010001000001001g"})") << badRecord;
    QTest::newRow("record with spaces")
        << withPort(1, R"({"record":"0000c20100010000010 10"})") << badRecord;
    QTest::newRow("record as number") << withPort(1, R"({"record":12})") << badRecord;

    const auto range = [](const char *field) {
        return QStringLiteral("端口 CAN2：字段“%1”的值超出范围").arg(QLatin1String(field));
    };
    QTest::newRow("kind") << withPort(5, R"({"record":"0000c20100010000010010","kind":"spi"})")
                          << range("kind");
    QTest::newRow("UART baud 1200")
        << withPort(5, R"({"kind":"uart","baud":1200})") << range("baud");
    QTest::newRow("UART baud 1000000")
        << withPort(5, R"({"kind":"uart","baud":1000000})") << range("baud");
    QTest::newRow("CAN baud 115200")
        << withPort(5, R"({"kind":"can","baud":115200})") << range("baud");
    QTest::newRow("baud as text") << withPort(5, R"({"kind":"uart","baud":"115200"})")
                                  << range("baud");
    QTest::newRow("baud fraction")
        << withPort(5, R"({"kind":"uart","baud":9600.5})") << range("baud");
    QTest::newRow("baud of the record's kind")
        << withPort(5, R"({"record":"0140420f00000000000102","baud":9600})") << range("baud");
    QTest::newRow("parity") << withPort(5, R"({"kind":"uart","baud":9600,"parity":"mark"})")
                            << range("parity");
    QTest::newRow("data bits 7") << withPort(5, R"({"kind":"uart","dataBits":7})")
                                 << range("dataBits");
    QTest::newRow("stop bits 0") << withPort(5, R"({"kind":"uart","stopBits":0})")
                                 << range("stopBits");
    QTest::newRow("level") << withPort(5, R"({"kind":"uart","level":"RS-485"})") << range("level");
    QTest::newRow("receive code 128")
        << withPort(5, R"({"kind":"can","receive":{"code":128}})") << range("receive.code");
    QTest::newRow("receive code -1")
        << withPort(5, R"({"kind":"can","receive":{"code":-1}})") << range("receive.code");
    QTest::newRow("send as number")
        << withPort(5, R"({"kind":"can","send":16})") << range("send.code");
    QTest::newRow("send without code")
        << withPort(5, R"({"kind":"can","send":{"name":"不启用"}})") << range("send.code");

    const auto missing = [](const char *field) {
        return QStringLiteral("端口 Uart2：缺少字段“%1”").arg(QLatin1String(field));
    };
    QTest::newRow("nothing given") << withPort(0, "{}") << missing("kind");
    QTest::newRow("title only") << withPort(0, R"({"title":"Uart2"})") << missing("kind");
    QTest::newRow("UART without level")
        << withPort(0, R"({"kind":"uart","baud":9600,"parity":"none","dataBits":8,"stopBits":1,
                          "receive":{"code":0},"send":{"code":0}})")
        << missing("level");
    QTest::newRow("CAN without send")
        << withPort(0, R"({"kind":"can","baud":500000,"receive":{"code":0}})") << missing("send");

    // Records the port rules refuse, given as a record or as readable
    // fields: the port and the field are named.
    const QString uartOnCan = QStringLiteral("端口 CAN2：字段“kind”为 UART，但此端口只能用作 CAN");
    QTest::newRow("UART record on CAN2")
        << withPort(5, R"({"record":"0000c20100010000010010"})") << uartOnCan;
    QTest::newRow("UART fields on CAN2")
        << withPort(5, R"({"kind":"uart","baud":115200,"parity":"even","dataBits":8,"stopBits":1,
                          "level":"RS-422","receive":{"code":0},"send":{"code":16}})")
        << uartOnCan;
    const QString canOnUart = QStringLiteral("端口 Uart4：字段“kind”为 CAN，但此端口只能用作 UART");
    QTest::newRow("CAN record on a UART-only port")
        << withPort(2, R"({"record":"0140420f00000000000102"})") << canOnUart;
    QTest::newRow("CAN fields on a UART-only port")
        << withPort(2, R"({"kind":"can","baud":500000,"receive":{"code":0},"send":{"code":0}})")
        << canOnUart;
    QTest::newRow("UART at 1200 baud")
        << withPort(1, R"({"record":"00b0040000000000000000"})")
        << QStringLiteral("端口 Uart3：字段“baud”的值 1200 不是此端口可选的速率");
    QTest::newRow("UART at 0 baud")
        << withPort(1, R"({"record":"0000000000000000000000"})")
        << QStringLiteral("端口 Uart3：字段“baud”的值 0 不是此端口可选的速率");
    QTest::newRow("CAN at 250k") << withPort(5, R"({"record":"0190d00300000000000000"})")
                                 << QStringLiteral(
                                        "端口 CAN2：字段“baud”的值 250000 不是此端口可选的速率");
    const QString kind5 =
        QStringLiteral("端口 Uart6：字段“kind”的值 5 既不是 UART（0）也不是 CAN（1）");
    QTest::newRow("kind 5") << withPort(4, R"({"record":"0500c20100010000010010"})") << kind5;
    QTest::newRow("kind 5 with fields only a record of known kind would be compared with")
        << withPort(4, R"({"record":"0500c20100010000010010","baud":115200,"receive":{"code":0}})")
        << kind5;
    QTest::newRow("kind 7, line fields not read")
        << withPort(4, R"({"record":"0740420f00000000000102","baud":1000000,"parity":"none",
                          "receive":{"code":1}})")
        << QStringLiteral("端口 Uart6：字段“kind”的值 7 既不是 UART（0）也不是 CAN（1）");

    QJsonObject tovrin = validFile();
    tovrin.insert(QStringLiteral("model"), QStringLiteral("Tovrin"));
    QJsonArray ports = tovrin.value(QLatin1String("ports")).toArray();
    ports.removeLast();
    ports[3] = QJsonObject{{QStringLiteral("record"), QStringLiteral("0120a10700000000000000")}};
    tovrin.insert(QStringLiteral("ports"), ports);
    QTest::newRow("Tovrin: CAN on Port4")
        << QJsonDocument(tovrin).toJson()
        << QStringLiteral("端口 Port4：字段“kind”为 CAN，但此端口只能用作 UART");
}

void TestConfigFile::badFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    ModuleConfig config = sentinel();
    QString error;
    QVERIFY(!ConfigFile::fromJson(file, &config, &error));
    QCOMPARE(error, message);
    QCOMPARE(config.firmware, sentinel().firmware);
    QCOMPARE(int(config.model), int(sentinel().model));
    QCOMPARE(config.ports, sentinel().ports);
}

void TestConfigFile::recordAndFields_data()
{
    QTest::addColumn<QByteArray>("port");
    QTest::addColumn<QString>("disagreeing"); // empty: the two agree
    const QByteArray agreeing = R"({"title":"Uart2","record":"0000c20100010000010010","kind":"uart",
        "baud":115200,"parity":"even","dataBits":8,"stopBits":1,"level":"RS-422",
        "receive":{"code":0,"name":"不启用"},"send":{"code":16,"name":"零度标准吊舱"}})";
    QTest::newRow("all fields agree") << agreeing << QString();
    QTest::newRow("a name is only informative")
        << QByteArray(agreeing).replace("零度标准吊舱", "something else") << QString();
    QTest::newRow("the title is only informative")
        << QByteArray(agreeing).replace("Uart2", "Uart6") << QString();
    QTest::newRow("line fields of a CAN port are not read")
        << QByteArray(R"({"record":"0140420f00000000000102","kind":"can","baud":1000000,
                          "parity":"odd","dataBits":9,"stopBits":2,"level":"RS-485"})")
        << QString();
    // A record of unknown kind is refused by the port rules now, whatever
    // fields it has (badFile, "kind 7, line fields not read").
    QTest::newRow("kind") << QByteArray(R"({"record":"0140420f00000000000102","kind":"uart"})")
                          << QStringLiteral("kind");
    QTest::newRow("baud") << QByteArray(agreeing).replace("115200", "57600")
                          << QStringLiteral("baud");
    QTest::newRow("parity") << QByteArray(agreeing).replace("\"even\"", "\"odd\"")
                            << QStringLiteral("parity");
    QTest::newRow("data bits") << QByteArray(agreeing).replace("\"dataBits\":8", "\"dataBits\":9")
                               << QStringLiteral("dataBits");
    QTest::newRow("stop bits") << QByteArray(agreeing).replace("\"stopBits\":1", "\"stopBits\":2")
                               << QStringLiteral("stopBits");
    QTest::newRow("level") << QByteArray(agreeing).replace("RS-422", "RS-232")
                           << QStringLiteral("level");
    QTest::newRow("receive") << QByteArray(agreeing).replace("\"code\":0", "\"code\":13")
                             << QStringLiteral("receive");
    QTest::newRow("send") << QByteArray(agreeing).replace("\"code\":16", "\"code\":17")
                          << QStringLiteral("send");
    QTest::newRow("CAN rate") << QByteArray(R"({"record":"0140420f00000000000102","baud":500000})")
                              << QStringLiteral("baud");
}

void TestConfigFile::recordAndFields()
{
    QFETCH(QByteArray, port);
    QFETCH(QString, disagreeing);
    const QJsonObject portObject = QJsonDocument::fromJson(port).object();
    QVERIFY(!portObject.isEmpty());
    // CAN records on CAN2, the one port that takes them.
    const bool can =
        portObject.value(QLatin1String("record")).toString().startsWith(QLatin1String("01"));
    const int index = can ? 5 : 2;
    ModuleConfig config = sentinel();
    QString error;
    const bool read =
        ConfigFile::fromJson(withPort(index, QJsonValue(portObject)), &config, &error);
    if (disagreeing.isEmpty()) {
        QVERIFY2(read, qPrintable(error));
        QCOMPARE(config.ports.at(index).bytes().toHex(),
                 portObject.value(QLatin1String("record")).toString().toLatin1());
    } else {
        QVERIFY(!read);
        QCOMPARE(error, QStringLiteral("端口 %1：字段“%2”与 record 不一致")
                            .arg(QLatin1String(can ? "CAN2" : "Uart4"), disagreeing));
        QCOMPARE(config.ports, sentinel().ports);
    }
}

void TestConfigFile::readableOnly_data()
{
    QTest::addColumn<int>("index"); // UART records on Uart2, CAN ones on CAN2
    QTest::addColumn<QByteArray>("port");
    QTest::addColumn<QByteArray>("record");
    QTest::newRow("UART")
        << 0
        << QByteArray(R"({"title":"Uart2","kind":"uart","baud":115200,"parity":"even","dataBits":8,
            "stopBits":1,"level":"RS-422","receive":{"code":0},"send":{"code":16,"name":"x"}})")
        << QByteArray("0000c20100010000010010");
    QTest::newRow("UART 921600 odd 9 2")
        << 0 << QByteArray(R"({"kind":"uart","baud":921600,"parity":"odd","dataBits":9,"stopBits":2,
            "level":"RS-232","receive":{"code":13},"send":{"code":127}})")
        << QByteArray("0000100e00020101000d7f");
    QTest::newRow("CAN 500000, codes 14 and 15")
        << 5
        << QByteArray(R"({"kind":"can","baud":500000,"receive":{"code":14},"send":{"code":15}})")
        << QByteArray("0120a10700000000000e0f");
    QTest::newRow("CAN 666666 ignores line fields")
        << 5 << QByteArray(R"({"kind":"can","baud":666666,"parity":"odd","level":"RS-422",
            "receive":{"code":2},"send":{"code":16}})")
        << QByteArray("012a2c0a00000000000210");
}

void TestConfigFile::readableOnly()
{
    QFETCH(int, index);
    QFETCH(QByteArray, port);
    QFETCH(QByteArray, record);
    const QJsonObject portObject = QJsonDocument::fromJson(port).object();
    QVERIFY(!portObject.isEmpty());
    ModuleConfig config;
    QString error;
    QVERIFY2(ConfigFile::fromJson(withPort(index, QJsonValue(portObject)), &config, &error),
             qPrintable(error));
    QCOMPARE(config.ports.at(index).bytes().toHex(), record);
}

// Text from the file is quoted whole, its control characters escaped.
void TestConfigFile::messagesEscapeControlCharacters()
{
    ModuleConfig config = sentinel();
    QString error;
    const QString model = QStringLiteral("R7-Eda") + QChar(0) + QStringLiteral("\n\x7f the rest");
    QVERIFY(!ConfigFile::fromJson(withTop(QStringLiteral("model"), model), &config, &error));
    QCOMPARE(error,
             QStringLiteral("未知的模块型号“R7-Eda\\x00\\n\\x7f the rest”，应为 Tovrin 或 R7-Eda"));
    QVERIFY(!ConfigFile::fromJson(
        withTop(QStringLiteral("model"), QStringLiteral("a\tb\r\n\u0085c")), &config, &error));
    QCOMPARE(error, QStringLiteral("未知的模块型号“a\\tb\\r\\n\\x85c”，应为 Tovrin 或 R7-Eda"));
}

void TestConfigFile::saveAndLoad()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("airframe") + ConfigFile::suffix());
    ModuleConfig config;
    config.model = ModuleModel::Tovrin;
    config.firmware = QStringLiteral("V1.0.0");
    config.saved = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC);
    config.ports = records({kRecord, kRecord, QStringLiteral("0140420f00000000000102"), kRecord,
                            QStringLiteral("0120a10700000000000000")});
    QString error;
    QVERIFY2(ConfigFile::save(path, config, names(), &error), qPrintable(error));

    ModuleConfig read;
    QVERIFY2(ConfigFile::load(path, &read, &error), qPrintable(error));
    QCOMPARE(read.ports, config.ports);
    QCOMPARE(read.saved, config.saved);

    const QString absent = dir.filePath(QStringLiteral("absent.tovrin.json"));
    read = sentinel();
    QVERIFY(!ConfigFile::load(absent, &read, &error));
    QVERIFY2(error.startsWith(QStringLiteral("无法读取文件 %1：").arg(absent)), qPrintable(error));
    QCOMPARE(read.firmware, sentinel().firmware);

    const QString noFolder = dir.filePath(QStringLiteral("no/such/folder.tovrin.json"));
    QVERIFY(!ConfigFile::save(noFolder, config, names(), &error));
    QVERIFY2(error.startsWith(QStringLiteral("无法保存文件 %1：").arg(noFolder)),
             qPrintable(error));
}

// Files of up to 1 MiB are read, larger ones refused without parsing; a
// folder is refused as not a file.
void TestConfigFile::loadIsBounded()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray valid = QJsonDocument(validFile()).toJson();
    const QString atBound = dir.filePath(QStringLiteral("1mib.tovrin.json"));
    const QString overBound = dir.filePath(QStringLiteral("over.tovrin.json"));
    for (const QString &path : {atBound, overBound}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const qint64 size = ConfigFile::MaxSize + (path == overBound ? 1 : 0);
        QCOMPARE(file.write(valid + QByteArray(int(size - valid.size()), ' ')), size);
    }
    ModuleConfig config;
    QString error;
    QVERIFY2(ConfigFile::load(atBound, &config, &error), qPrintable(error));
    config = sentinel();
    QVERIFY(!ConfigFile::load(overBound, &config, &error));
    QCOMPARE(error, QStringLiteral("无法读取文件 %1：文件大于 1 MiB，不是配置文件").arg(overBound));
    QCOMPARE(config.ports, sentinel().ports);

    QVERIFY(!ConfigFile::load(dir.path(), &config, &error));
    QCOMPARE(error,
             QStringLiteral("无法读取文件 %1：它不是普通文件（是文件夹、设备、管道或套接字）")
                 .arg(dir.path()));
    QCOMPARE(config.ports, sentinel().ports);
}

#ifdef Q_OS_UNIX
void TestConfigFile::loadNeverBlocks_data()
{
    QTest::addColumn<QString>("path"); // FIFO: a FIFO nobody writes to
    QTest::newRow("FIFO without a writer") << QStringLiteral("FIFO");
    QTest::newRow("endless device") << QStringLiteral("/dev/zero");
    QTest::newRow("terminal device") << QStringLiteral("/dev/tty");
}

// A FIFO or a device is refused at once, without being opened.
void TestConfigFile::loadNeverBlocks()
{
    QFETCH(QString, path);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (path == QLatin1String("FIFO")) {
        path = dir.filePath(QStringLiteral("fifo.tovrin.json"));
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
    }
    if (!QFileInfo::exists(path))
        QSKIP("no such device here");
    ModuleConfig config = sentinel();
    QString error;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!ConfigFile::load(path, &config, &error));
    qInfo("refused after %lld ms", timer.elapsed());
    QCOMPARE(error,
             QStringLiteral("无法读取文件 %1：它不是普通文件（是文件夹、设备、管道或套接字）")
                 .arg(path));
    QCOMPARE(config.ports, sentinel().ports);
}

void TestConfigFile::saveRefusesTargets_data()
{
    BadTargets::addRows();
}

// The writer never replaces what is not a regular file, never follows a
// link, and says why; what was there stays as it was.
void TestConfigFile::saveRefusesTargets()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString why;
    const QString target = BadTargets::make(kind, dir.path(), &why);
    if (target.isEmpty() && !why.isEmpty())
        QSKIP(qPrintable(why));
    QVERIFY(!target.isEmpty());
    const QString before = BadTargets::fingerprint(target);

    ModuleConfig config;
    QString error;
    QVERIFY(ConfigFile::fromJson(QJsonDocument(validFile()).toJson(), &config, &error));
    QVERIFY(!ConfigFile::checkTarget(target, &error));
    QVERIFY(!ConfigFile::save(target, config, names(), &error));
    QVERIFY2(error.startsWith(QStringLiteral("无法保存文件 %1：").arg(target)), qPrintable(error));
    QVERIFY2(error.contains(BadTargets::reason(kind)), qPrintable(error));
    QCOMPARE(BadTargets::fingerprint(target), before);
    // Nothing left behind beside it either.
    QVERIFY(QDir(dir.path())
                .entryList({QStringLiteral(".tovrin-*"), QStringLiteral("*.tovrin.json.*")},
                           QDir::Files | QDir::Hidden)
                .isEmpty());

    // A regular file beside it is written as usual.
    const QString good = dir.filePath(QStringLiteral("good") + ConfigFile::suffix());
    QVERIFY2(ConfigFile::save(good, config, names(), &error), qPrintable(error));
    QVERIFY2(ConfigFile::save(good, config, names(), &error), qPrintable(error));
}
#endif

void TestConfigFile::partialFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<int>>("covered");  // ports from 0
    QTest::addColumn<QStringList>("records"); // in port order, empty where not covered

    QTest::newRow("two ports out of order")
        << namedPorts({{5, kOther}, {2, kRecord}}) << QList<int>{1, 4}
        << QStringList{{}, kRecord, {}, {}, kOther, {}};
    QTest::newRow("every port named, any order")
        << namedPorts({{6, kCanRecord}, {1, kOther}, {2, kRecord}, {3, kRecord}, {4, kRecord},
                       {5, kRecord}})
        << QList<int>{0, 1, 2, 3, 4, 5}
        << QStringList{kOther, kRecord, kRecord, kRecord, kRecord, kCanRecord};
    QTest::newRow("no entry at all is no partial file: every port needed")
        << namedPorts({}) << QList<int>{} << QStringList{};
}

void TestConfigFile::partialFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<int>, covered);
    QFETCH(QStringList, records);
    ModuleConfig config;
    QString error;
    const bool read = ConfigFile::fromJson(file, &config, &error);
    if (records.isEmpty()) {
        QVERIFY(!read);
        QCOMPARE(error, QStringLiteral("型号 R7-Eda 有 6 个端口，文件中有 0 个"));
        return;
    }
    QVERIFY2(read, qPrintable(error));
    QCOMPARE(config.coveredPorts(), covered);
    QCOMPARE(config.isComplete(), covered.size() == 6);
    QCOMPARE(config.ports.size(), 6);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(QString::fromLatin1(config.ports.at(i).bytes().toHex()), records.at(i));
}

void TestConfigFile::overlayPrecedence_data()
{
    // base and overlays as files; the module's records under them all.
    QTest::addColumn<QByteArrayList>("files");
    QTest::addColumn<QStringList>("result");
    const QString m = QStringLiteral("0000e10000000000000000"); // the module's
    const QString n = QStringLiteral("0000100e00000000001100");
    const QByteArray full = QJsonDocument(validFile()).toJson();
    QTest::newRow("partial over the module")
        << QByteArrayList{namedPorts({{3, kOther}})} << QStringList{m, m, kOther, m, m, m};
    QTest::newRow("overlay over a full baseline")
        << QByteArrayList{full, namedPorts({{3, kOther}})}
        << QStringList{kRecord, kRecord, kOther, kRecord, kRecord, kCanRecord};
    QTest::newRow("the later overlay wins its ports only")
        << QByteArrayList{full, namedPorts({{3, kOther}, {1, kOther}}), namedPorts({{3, n}})}
        << QStringList{kOther, kRecord, n, kRecord, kRecord, kCanRecord};
    QTest::newRow("a full overlay wins everywhere")
        << QByteArrayList{namedPorts({{2, n}}), full}
        << QStringList{kRecord, kRecord, kRecord, kRecord, kRecord, kCanRecord};
}

void TestConfigFile::overlayPrecedence()
{
    QFETCH(QByteArrayList, files);
    QFETCH(QStringList, result);
    ModuleConfig laid;
    QString error;
    for (int i = 0; i < files.size(); ++i) {
        ModuleConfig config;
        QVERIFY2(ConfigFile::fromJson(files.at(i), &config, &error), qPrintable(error));
        if (i == 0)
            laid = config;
        else
            laid.overlay(config);
    }
    const QVector<PortRecord> module(6, PortRecord(QByteArray::fromHex("0000e10000000000000000")));
    QStringList merged;
    for (const PortRecord &record : laid.over(module))
        merged << QString::fromLatin1(record.bytes().toHex());
    QCOMPARE(merged, result);
}

// A snapshot is an ordinary file to the reader; its write object is read
// back whole.
void TestConfigFile::snapshotNote()
{
    ModuleConfig config;
    QString why;
    QVERIFY2(ConfigFile::fromJson(QJsonDocument(validFile()).toJson(), &config, &why),
             qPrintable(why));
    config.firmware = QStringLiteral("V2.3.1");
    WriteNote note;
    note.device = QStringLiteral("/dev/ttyUSB0");
    note.sent = config.ports;
    note.sent[1] = PortRecord(QByteArray::fromHex(kOther.toLatin1()));
    for (WriteNote::Outcome outcome : {WriteNote::Outcome::Success, WriteNote::Outcome::Failure,
                                       WriteNote::Outcome::Interrupted}) {
        note.outcome = outcome;
        const QByteArray text = ConfigFile::toJson(config, note, names());
        // Everything before the write object is what toJson writes alone.
        const QByteArray plain = ConfigFile::toJson(config, names());
        QVERIFY(text.startsWith(plain.left(plain.lastIndexOf(']') + 1)));
        ModuleConfig read;
        QString error;
        QVERIFY2(ConfigFile::fromJson(text, &read, &error), qPrintable(error));
        QCOMPARE(read.ports, config.ports);
        WriteNote back;
        QVERIFY(ConfigFile::writeNote(text, &back));
        QCOMPARE(back.device, note.device);
        QCOMPARE(back.sent, note.sent);
        QCOMPARE(back.outcome, outcome);
        QCOMPARE(QJsonDocument::fromJson(text)
                     .object()
                     .value(QLatin1String("write"))
                     .toObject()
                     .value(QLatin1String("outcome"))
                     .toString(),
                 WriteNote::word(outcome));
    }
    WriteNote none;
    QVERIFY(!ConfigFile::writeNote(ConfigFile::toJson(config), &none));
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
