// The simulated module's answers, its record checks and the record file format.
#include "linkframe.h"
#include "simmodule.h"
#include "simrecordfile.h"
#include "testbytes.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

using TestBytes::hex;

const QByteArray kUart57600 = hex("00 00 E1 00 00 00 00 00 00 00 00");
const QByteArray kCan1M = hex("01 40 42 0F 00 00 00 00 00 00 00");
// 115200 even parity 8 data 1 stop RS-422, receive code 0, send code 16.
const QByteArray kUartSet = hex("00 00 C2 01 00 01 00 00 01 00 10");
const QByteArray kCan500k = hex("01 20 A1 07 00 00 00 00 00 11 12");
// Kind 1 at 0x05040302 with line bytes: unsound anywhere.
const QByteArray kBadRecord = hex("01 02 03 04 05 06 07 08 09 0A 0B");

SimModule::Model modelOf(const QString &name)
{
    return name == QLatin1String("r7") ? SimModule::Model::R7 : SimModule::Model::Tovrin;
}

QByteArray repeat(const QByteArray &record, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += record;
    return out;
}

} // namespace

Q_DECLARE_METATYPE(SimModule::Model)

class TestSimModule : public QObject
{
    Q_OBJECT
private slots:
    void version_data();
    void version();
    void defaultsReadBack_data();
    void defaultsReadBack();
    void writeAll_data();
    void writeAll();
    void readPort_data();
    void readPort();
    void writePort_data();
    void writePort();
    void recordChecks_data();
    void recordChecks();
    void unknownCommandsSilent();
    void failWrites();
    void wrongLength_data();
    void wrongLength();
    void wrongIndex();
    void setRecords();

    void recordFileFormat();
    void recordFileParse_data();
    void recordFileParse();
    void recordFileSaveLoad();
};

void TestSimModule::version_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("patch");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("tovrin 1.0.7") << "tovrin" << 1 << 0 << 7 << hex("20 01 00 07");
    QTest::newRow("r7 1.2.3") << "r7" << 1 << 2 << 3 << hex("2D 01 02 03");
    QTest::newRow("r7 255.128.0") << "r7" << 255 << 128 << 0 << hex("2D FF 80 00");
}

void TestSimModule::version()
{
    QFETCH(QString, model);
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, patch);
    QFETCH(QByteArray, reply);
    SimModule module(modelOf(model));
    module.setFirmware(static_cast<quint8>(major), static_cast<quint8>(minor),
                       static_cast<quint8>(patch));
    const auto answer = module.answer(MSG_VERSION, hex("00"));
    QVERIFY(answer);
    QCOMPARE(*answer, reply);
    QCOMPARE(module.deviceCode(), static_cast<quint8>(reply.at(0)));
}

void TestSimModule::defaultsReadBack_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QByteArray>("all");
    QTest::newRow("tovrin: five UARTs") << "tovrin" << repeat(kUart57600, 5);
    QTest::newRow("r7: five UARTs and CAN") << "r7" << repeat(kUart57600, 5) + kCan1M;
}

void TestSimModule::defaultsReadBack()
{
    QFETCH(QString, model);
    QFETCH(QByteArray, all);
    SimModule module(modelOf(model));
    QCOMPARE(module.portCount() * PORT_RECORD_SIZE, all.size());
    const auto answer = module.answer(MSG_READ_ALL, hex("00"));
    QVERIFY(answer);
    QCOMPARE(*answer, all);
    // A module ships with records it would accept itself.
    for (int i = 0; i < module.portCount(); ++i)
        QVERIFY2(module.recordProblems(i, module.records().at(i)).isEmpty(),
                 qPrintable(QString::number(i)));
}

void TestSimModule::writeAll_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("strict");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("stored");

    const QByteArray tovrin = kUartSet + kUart57600 + kCan500k + kUartSet + kUart57600;
    const QByteArray r7 = repeat(kUartSet, 5) + kCan500k;
    QTest::newRow("tovrin 55 bytes") << "tovrin" << false << tovrin << hex("00") << true;
    QTest::newRow("tovrin 55 bytes strict") << "tovrin" << true << tovrin << hex("00") << true;
    QTest::newRow("r7 66 bytes") << "r7" << true << r7 << hex("00") << true;
    QTest::newRow("tovrin 54 bytes") << "tovrin" << false << tovrin.left(54) << hex("01") << false;
    QTest::newRow("tovrin 56 bytes")
        << "tovrin" << false << tovrin + hex("00") << hex("01") << false;
    QTest::newRow("tovrin given r7's 66") << "tovrin" << false << r7 << hex("01") << false;
    QTest::newRow("r7 given tovrin's 55") << "r7" << false << tovrin << hex("01") << false;
    QTest::newRow("empty") << "tovrin" << false << QByteArray() << hex("01") << false;

    QByteArray oneBad = tovrin;
    oneBad.replace(3 * PORT_RECORD_SIZE, PORT_RECORD_SIZE, kBadRecord);
    QTest::newRow("unsound record kept") << "tovrin" << false << oneBad << hex("00") << true;
    QTest::newRow("unsound record refused, nothing stored")
        << "tovrin" << true << oneBad << hex("01") << false;
    QByteArray canOnUartPort = tovrin;
    canOnUartPort.replace(0, PORT_RECORD_SIZE, kCan500k);
    QTest::newRow("CAN on a UART-only port, strict")
        << "tovrin" << true << canOnUartPort << hex("01") << false;
}

void TestSimModule::writeAll()
{
    QFETCH(QString, model);
    QFETCH(bool, strict);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, reply);
    QFETCH(bool, stored);
    SimModule module(modelOf(model));
    module.setStrict(strict);
    const QList<QByteArray> before = module.records();
    QSignalSpy changed(&module, &SimModule::recordsChanged);

    const auto answer = module.answer(MSG_WRITE_ALL, payload);
    QVERIFY(answer);
    QCOMPARE(*answer, reply);
    QCOMPARE(changed.count(), stored ? 1 : 0);
    if (stored) {
        QCOMPARE(module.records().join(), payload);
        QCOMPARE(*module.answer(MSG_READ_ALL, hex("00")), payload);
    } else {
        QCOMPARE(module.records(), before);
    }
}

void TestSimModule::readPort_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("answers");
    QTest::addColumn<int>("port");
    QTest::newRow("tovrin port 0") << "tovrin" << hex("00") << true << 0;
    QTest::newRow("tovrin port 4") << "tovrin" << hex("04") << true << 4;
    QTest::newRow("tovrin port 5") << "tovrin" << hex("05") << false << -1;
    QTest::newRow("r7 port 5") << "r7" << hex("05") << true << 5;
    QTest::newRow("r7 port 6") << "r7" << hex("06") << false << -1;
    QTest::newRow("index 0x80") << "r7" << hex("80") << false << -1;
    QTest::newRow("no index") << "tovrin" << QByteArray() << false << -1;
}

void TestSimModule::readPort()
{
    QFETCH(QString, model);
    QFETCH(QByteArray, payload);
    QFETCH(bool, answers);
    QFETCH(int, port);
    SimModule module(modelOf(model));
    // Distinct records, so a reply for the wrong port shows.
    QList<QByteArray> records;
    for (int i = 0; i < module.portCount(); ++i) {
        QByteArray r = (i == 5) ? kCan500k : kUartSet;
        r[9] = static_cast<char>(16 + i);
        records.append(r);
    }
    QVERIFY(module.setRecords(records));
    const auto answer = module.answer(MSG_READ_PORT, payload);
    QCOMPARE(bool(answer), answers);
    if (answers)
        QCOMPARE(*answer, QByteArray(1, static_cast<char>(port)) + records.at(port));
}

void TestSimModule::writePort_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("strict");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("storedPort"); // -1: nothing stored and no acknowledgement

    QTest::newRow("tovrin port 0") << "tovrin" << true << hex("00") + kUartSet << 0;
    QTest::newRow("tovrin port 4 CAN") << "tovrin" << true << hex("04") + kCan500k << 4;
    QTest::newRow("r7 port 5 CAN") << "r7" << true << hex("05") + kCan500k << 5;
    QTest::newRow("tovrin port 5") << "tovrin" << false << hex("05") + kUartSet << -1;
    QTest::newRow("r7 port 6") << "r7" << false << hex("06") + kUartSet << -1;
    QTest::newRow("record 10 bytes") << "tovrin" << false << hex("00") + kUartSet.left(10) << -1;
    QTest::newRow("record 12 bytes") << "tovrin" << false << hex("00") + kUartSet + hex("00") << -1;
    QTest::newRow("index only") << "tovrin" << false << hex("00") << -1;
    QTest::newRow("unsound, kept") << "r7" << false << hex("00") + kBadRecord << 0;
    QTest::newRow("unsound, refused") << "r7" << true << hex("00") + kBadRecord << -1;
    QTest::newRow("CAN on tovrin port 1, refused")
        << "tovrin" << true << hex("01") + kCan500k << -1;
    QTest::newRow("UART on r7 CAN port, refused") << "r7" << true << hex("05") + kUartSet << -1;
}

void TestSimModule::writePort()
{
    QFETCH(QString, model);
    QFETCH(bool, strict);
    QFETCH(QByteArray, payload);
    QFETCH(int, storedPort);
    SimModule module(modelOf(model));
    module.setStrict(strict);
    const QList<QByteArray> before = module.records();
    QSignalSpy changed(&module, &SimModule::recordsChanged);

    const auto answer = module.answer(MSG_WRITE_PORT, payload);
    if (storedPort < 0) {
        QVERIFY(!answer);
        QCOMPARE(module.records(), before);
        QCOMPARE(changed.count(), 0);
        return;
    }
    QVERIFY(answer);
    QCOMPARE(*answer, QByteArray(1, static_cast<char>(storedPort)));
    QCOMPARE(changed.count(), 1);
    QList<QByteArray> expected = before;
    expected[storedPort] = payload.mid(1);
    QCOMPARE(module.records(), expected);
}

void TestSimModule::recordChecks_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("problem"); // empty: sound; else a word of the complaint

    QTest::newRow("UART 57600") << "tovrin" << 0 << kUart57600 << "";
    QTest::newRow("UART 2400") << "tovrin" << 0 << hex("00 60 09 00 00 00 00 00 00 00 00") << "";
    QTest::newRow("UART 921600") << "tovrin" << 0 << hex("00 00 10 0E 00 00 00 00 00 00 00") << "";
    QTest::newRow("UART 1200") << "tovrin" << 0 << hex("00 B0 04 00 00 00 00 00 00 00 00")
                               << "baud";
    QTest::newRow("UART 0") << "tovrin" << 0 << hex("00 00 00 00 00 00 00 00 00 00 00") << "baud";
    QTest::newRow("UART 1000000") << "tovrin" << 0 << hex("00 40 42 0F 00 00 00 00 00 00 00")
                                  << "baud";
    QTest::newRow("UART 57601") << "tovrin" << 0 << hex("00 01 E1 00 00 00 00 00 00 00 00")
                                << "baud";
    QTest::newRow("parity 2, 9 data, 2 stop, 422")
        << "r7" << 1 << hex("00 00 E1 00 00 02 01 01 01 00 00") << "";
    QTest::newRow("parity 3") << "tovrin" << 0 << hex("00 00 E1 00 00 03 00 00 00 00 00")
                              << "parity";
    QTest::newRow("data bits 2") << "tovrin" << 0 << hex("00 00 E1 00 00 00 02 00 00 00 00")
                                 << "data";
    QTest::newRow("stop bits 2") << "tovrin" << 0 << hex("00 00 E1 00 00 00 00 02 00 00 00")
                                 << "stop";
    QTest::newRow("level 2") << "tovrin" << 0 << hex("00 00 E1 00 00 00 00 00 02 00 00") << "level";
    QTest::newRow("level byte 0x80")
        << "tovrin" << 0 << hex("00 00 E1 00 00 00 00 00 80 00 00") << "level";

    QTest::newRow("CAN 666666 on tovrin port 2")
        << "tovrin" << 2 << hex("01 2A 2C 0A 00 00 00 00 00 00 00") << "";
    QTest::newRow("CAN 500000 on tovrin port 4") << "tovrin" << 4 << kCan500k << "";
    QTest::newRow("CAN 1000000 on r7 port 5") << "r7" << 5 << kCan1M << "";
    QTest::newRow("CAN on tovrin port 0") << "tovrin" << 0 << kCan1M << "without CAN";
    QTest::newRow("CAN on tovrin port 3") << "tovrin" << 3 << kCan1M << "without CAN";
    QTest::newRow("CAN on r7 port 2") << "r7" << 2 << kCan1M << "without CAN";
    QTest::newRow("UART on r7 port 5") << "r7" << 5 << kUart57600 << "without UART";
    QTest::newRow("UART on tovrin port 4") << "tovrin" << 4 << kUart57600 << "";
    QTest::newRow("CAN 250000") << "r7" << 5 << hex("01 90 D0 03 00 00 00 00 00 00 00")
                                << "bit rate";
    QTest::newRow("CAN with line bytes")
        << "r7" << 5 << hex("01 40 42 0F 00 00 00 00 01 00 00") << "line settings";
    QTest::newRow("kind 2") << "tovrin" << 0 << hex("02 00 E1 00 00 00 00 00 00 00 00") << "kind";
    QTest::newRow("kind 0xFF") << "tovrin" << 0 << hex("FF 00 E1 00 00 00 00 00 00 00 00")
                               << "kind";

    QTest::newRow("codes 2 and 16")
        << "tovrin" << 0 << hex("00 00 E1 00 00 00 00 00 00 02 10") << "";
    QTest::newRow("codes 127 and 1")
        << "tovrin" << 0 << hex("00 00 E1 00 00 00 00 00 00 7F 01") << "";
    QTest::newRow("receive code 3")
        << "tovrin" << 0 << hex("00 00 E1 00 00 00 00 00 00 03 00") << "receive protocol";
    QTest::newRow("receive code 15")
        << "tovrin" << 0 << hex("00 00 E1 00 00 00 00 00 00 0F 00") << "receive protocol";
    QTest::newRow("send code 128")
        << "tovrin" << 0 << hex("00 00 E1 00 00 00 00 00 00 00 80") << "send protocol";
    QTest::newRow("send code 13") << "tovrin" << 0 << hex("00 00 E1 00 00 00 00 00 00 00 0D")
                                  << "send protocol";

    QTest::newRow("10 bytes") << "tovrin" << 0 << kUart57600.left(10) << "bytes";
    QTest::newRow("12 bytes") << "tovrin" << 0 << kUart57600 + hex("00") << "bytes";
}

void TestSimModule::recordChecks()
{
    QFETCH(QString, model);
    QFETCH(int, port);
    QFETCH(QByteArray, record);
    QFETCH(QString, problem);
    SimModule module(modelOf(model));
    const QString problems = module.recordProblems(port, record).join(QStringLiteral("; "));
    if (problem.isEmpty())
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    else
        QVERIFY2(problems.contains(problem), qPrintable(problems));
}

void TestSimModule::unknownCommandsSilent()
{
    SimModule module(SimModule::Model::Tovrin);
    for (quint8 id :
         {quint8(0x00), MSG_FC_FORWARD, MSG_FC_RETURN, quint8(0xE3), quint8(0xF4), quint8(0xFF)})
        QVERIFY2(!module.answer(id, hex("00")), qPrintable(QString::number(id, 16)));
}

void TestSimModule::failWrites()
{
    SimModule module(SimModule::Model::Tovrin);
    SimFaults faults;
    faults.failWrites = true;
    module.setFaults(faults);
    const QList<QByteArray> before = module.records();
    QSignalSpy changed(&module, &SimModule::recordsChanged);

    const auto all = module.answer(MSG_WRITE_ALL, repeat(kUartSet, 5));
    QVERIFY(all);
    QCOMPARE(*all, hex("01"));
    QVERIFY(!module.answer(MSG_WRITE_PORT, hex("00") + kUartSet));
    QCOMPARE(module.records(), before);
    QCOMPARE(changed.count(), 0);
    // Reads still work.
    QCOMPARE(*module.answer(MSG_READ_PORT, hex("01")), hex("01") + kUart57600);
}

void TestSimModule::wrongLength_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("version 3 bytes") << int(MSG_VERSION) << hex("00") << hex("20 01 00");
    QTest::newRow("read-all 54 bytes")
        << int(MSG_READ_ALL) << hex("00") << repeat(kUart57600, 5).left(54);
    QTest::newRow("read-port 11 bytes")
        << int(MSG_READ_PORT) << hex("02") << hex("02") + kUart57600.left(10);
    QTest::newRow("write-all ack 2 bytes")
        << int(MSG_WRITE_ALL) << repeat(kUartSet, 5) << hex("00 00");
    QTest::newRow("write-port ack 2 bytes")
        << int(MSG_WRITE_PORT) << hex("03") + kUartSet << hex("03 00");
}

void TestSimModule::wrongLength()
{
    QFETCH(int, id);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, reply);
    SimModule module(SimModule::Model::Tovrin);
    SimFaults faults;
    faults.wrongLength = true;
    module.setFaults(faults);
    const auto answer = module.answer(static_cast<quint8>(id), payload);
    QVERIFY(answer);
    QCOMPARE(*answer, reply);
}

void TestSimModule::wrongIndex()
{
    SimModule module(SimModule::Model::R7);
    SimFaults faults;
    faults.wrongIndex = true;
    module.setFaults(faults);
    for (int port = 0; port < module.portCount(); ++port) {
        const auto answer = module.answer(MSG_READ_PORT, QByteArray(1, static_cast<char>(port)));
        QVERIFY(answer);
        QCOMPARE(static_cast<quint8>(answer->at(0)), static_cast<quint8>(port | 0x80));
        QCOMPARE(answer->mid(1), module.records().at(port));
    }
    // Write acknowledgements are left alone.
    QCOMPARE(*module.answer(MSG_WRITE_PORT, hex("02") + kUartSet), hex("02"));
}

void TestSimModule::setRecords()
{
    SimModule module(SimModule::Model::Tovrin);
    const QList<QByteArray> before = module.records();
    QVERIFY(!module.setRecords(QList<QByteArray>() << kUartSet << kUartSet));
    QList<QByteArray> six;
    for (int i = 0; i < 6; ++i)
        six.append(kUartSet);
    QVERIFY(!module.setRecords(six));
    QList<QByteArray> shortOne = QList<QByteArray>() << kUartSet << kUartSet << kUartSet << kUartSet
                                                     << kUartSet.left(10);
    QVERIFY(!module.setRecords(shortOne));
    QCOMPARE(module.records(), before);

    // Unsound records load (a test may want the program to see them) with a warning.
    QSignalSpy log(&module, &SimModule::logLine);
    QList<QByteArray> withBad = before;
    withBad[1] = kBadRecord;
    QVERIFY(module.setRecords(withBad));
    QCOMPARE(module.records(), withBad);
    QCOMPARE(log.count(), 1);
    QVERIFY(log.at(0).at(0).toString().contains(QLatin1String("port 1")));
}

void TestSimModule::recordFileFormat()
{
    const QByteArray text = SimRecordFile::format({kUart57600, kCan500k});
    QCOMPARE(text, QByteArray("port 0: 00 00 E1 00 00 00 00 00 00 00 00\n"
                              "port 1: 01 20 A1 07 00 00 00 00 00 11 12\n"));
}

void TestSimModule::recordFileParse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("ports");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error");

    const QByteArray five = SimRecordFile::format(
        QList<QByteArray>() << kUart57600 << kUartSet << kCan500k << kUartSet << kUart57600);
    QTest::newRow("as written") << five << 5 << true << "";
    QTest::newRow("comments, blank lines, lower case, any order")
        << QByteArray("# saved\n\nport 4: 00 00 e1 00 00 00 00 00 00 00 00\r\n"
                      "port 3:00 00 C2 01 00 01 00 00 01 00 10\n"
                      "  port 2 : 01 20 A1 07 00 00 00 00 00 11 12  \n"
                      "port 1: 00 00 C2 01 00 01 00 00 01 00 10\n"
                      "port 0: 00 00 E1 00 00 00 00 00 00 00 00\n")
        << 5 << true << "";
    QTest::newRow("a port missing") << five << 6 << false << "port 5 missing";
    QTest::newRow("a port too many") << five << 4 << false << "no port 4";
    QTest::newRow("a port twice") << five + "port 2: 00 00 E1 00 00 00 00 00 00 00 00\n"
                                  << 5 << false << "twice";
    QTest::newRow("10 bytes") << QByteArray("port 0: 00 00 E1 00 00 00 00 00 00 00\n") << 1 << false
                              << "10 bytes";
    QTest::newRow("12 bytes") << QByteArray("port 0: 00 00 E1 00 00 00 00 00 00 00 00 00\n") << 1
                              << false << "12 bytes";
    QTest::newRow("not hex") << QByteArray("port 0: 00 00 E1 00 00 00 00 00 00 00 0G\n") << 1
                             << false << "line 1";
    QTest::newRow("odd digit") << QByteArray("port 0: 00 00 E1 00 00 00 00 00 00 00 0\n") << 1
                               << false << "line 1";
    QTest::newRow("stray line") << QByteArray("port 0: 00 00 E1 00 00 00 00 00 00 00 00\nhello\n")
                                << 1 << false << "line 2";
    QTest::newRow("empty") << QByteArray() << 5 << false << "port 0 missing";
}

void TestSimModule::recordFileParse()
{
    QFETCH(QByteArray, text);
    QFETCH(int, ports);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    QList<QByteArray> records;
    QString why;
    QCOMPARE(SimRecordFile::parse(text, ports, &records, &why), ok);
    if (ok) {
        QCOMPARE(records, QList<QByteArray>()
                              << kUart57600 << kUartSet << kCan500k << kUartSet << kUart57600);
    } else {
        QVERIFY2(why.contains(error), qPrintable(why));
    }
}

void TestSimModule::recordFileSaveLoad()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("state.txt"));
    const QList<QByteArray> first = SimModule::defaultRecords(SimModule::Model::R7);
    QList<QByteArray> second = first;
    second[3] = kUartSet;
    QString why;
    QVERIFY2(SimRecordFile::save(path, first, &why), qPrintable(why));
    QVERIFY2(SimRecordFile::save(path, second, &why), qPrintable(why));

    QList<QByteArray> loaded;
    QVERIFY2(SimRecordFile::load(path, 6, &loaded, &why), qPrintable(why));
    QCOMPARE(loaded, second);
    // Replaced as a whole: no temporary file left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("state.txt")});

    QVERIFY(!SimRecordFile::load(dir.filePath(QStringLiteral("absent.txt")), 6, &loaded, &why));
    QVERIFY(why.contains(QLatin1String("absent.txt")));
    QVERIFY(
        !SimRecordFile::save(dir.filePath(QStringLiteral("no/such/dir/state.txt")), second, &why));
}

QTEST_GUILESS_MAIN(TestSimModule)
#include "tst_simmodule.moc"
