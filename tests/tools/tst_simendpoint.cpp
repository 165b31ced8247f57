// The relay logic of the simulator, bytes in and frames out, the reply timing
// and the capture decoder.
#include "comprotocol.h"
#include "linkframe.h"
#include "replyscheduler.h"
#include "simdecoder.h"
#include "simendpoint.h"
#include "simmodule.h"
#include "testbytes.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace
{

using TestBytes::hex;

// Requests as the program sends them.
const char kVersion[] = "AB 0E 05 E2 01 00 D1 6B";
const char kReadAll[] = "AB 0E 05 F1 01 00 20 AE";
const char kReadPort3[] = "AB 0E 05 F2 01 03 90 AF";
const char kFcReadPort0Tovrin[] = "AB 0E 0A 5B 06 F0 80 20 F2 01 00 A2 95";
const char kFcVersionTovrin[] = "AB 0E 0A 5B 06 F0 80 20 E2 01 00 A3 50";
const char kFcVersionR7[] = "AB 0E 0A 5B 06 F0 80 2D E2 01 00 A1 FC";
const char kFcWritePortR7[] =
    "AB 0E 15 5B 11 F1 80 2D F3 0C 00 01 02 03 04 05 06 07 08 09 0A 0B 76 85";

// Replies of a module with default records and firmware 1.0.7.
const char kVersionTovrinReply[] = "AB 0E 08 E2 04 20 01 00 07 74 0B";
const char kReadAllTovrinReply[] =
    "AB 0E 3B F1 37 00 00 E1 00 00 00 00 00 00 00 00 00 00 E1 00 00 00 00 00 00 00 00 00 "
    "00 E1 00 00 00 00 00 00 00 00 00 00 E1 00 00 00 00 00 00 00 00 00 00 E1 00 00 00 00 "
    "00 00 00 00 20 17";
const char kReadPort3Reply[] = "AB 0E 10 F2 0C 03 00 00 E1 00 00 00 00 00 00 00 00 C9 A6";

struct Rig {
    explicit Rig(SimModule::Model model, SimEndpoint::Route route = SimEndpoint::Route::Serial,
                 const SimFaults &faults = SimFaults(), bool strict = false)
        : module(model), endpoint(&module, route, faults)
    {
        module.setFaults(faults);
        module.setStrict(strict);
    }
    SimModule module;
    SimEndpoint endpoint;
};

QStringList decode(const QByteArray &bytes)
{
    SimDecoder decoder;
    return decoder.feed(bytes);
}

} // namespace

class TestSimEndpoint : public QObject
{
    Q_OBJECT
private slots:
    void conversation_data();
    void conversation();
    void wrappedReplyKindFollowsReplySize_data();
    void wrappedReplyKindFollowsReplySize();
    void streamHandling();
    void wrappedWriteStores();
    void dropEvery();
    void corruptEvery();
    void garbage();
    void logNamesFrames();

    void schedulerImmediate();
    void schedulerSplit();
    void schedulerDelay();
    void schedulerPacing();

    void decoderLines_data();
    void decoderLines();
    void decoderAcrossBlocks();
};

void TestSimEndpoint::conversation_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("udp");
    QTest::addColumn<bool>("strict");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply"); // empty: silence

    QTest::newRow("version, bare")
        << "tovrin" << false << false << hex(kVersion) << hex(kVersionTovrinReply);
    QTest::newRow("version, bare, r7")
        << "r7" << false << false << hex(kVersion) << hex("AB 0E 08 E2 04 2D 01 00 07 76 A7");
    QTest::newRow("read-all, bare")
        << "tovrin" << false << false << hex(kReadAll) << hex(kReadAllTovrinReply);
    QTest::newRow("read-all, bare, r7") << "r7" << false << false << hex(kReadAll)
                                        << hex("AB 0E 46 F1 42 00 00 E1 00 00 00 00 00 00 00 00 00 "
                                               "00 E1 00 00 00 00 00 00 00 00 00 00 E1 00 00 00 00 "
                                               "00 00 00 00 00 00 E1 00 00 00 00 00 00 00 00 00 00 "
                                               "E1 00 00 00 00 00 00 00 00 01 40 42 0F 00 00 00 00 "
                                               "00 00 00 7A 61");
    QTest::newRow("read-port 3, bare")
        << "tovrin" << false << false << hex(kReadPort3) << hex(kReadPort3Reply);
    QTest::newRow("write-all, bare")
        << "tovrin" << false << true
        << hex("AB 0E 3B F0 37 00 00 E1 00 00 00 00 00 00 00 00 00 00 E1 00 00 00 00 00 00 "
               "00 00 00 00 E1 00 00 00 00 00 00 00 00 00 00 E1 00 00 00 00 00 00 00 00 00 "
               "00 E1 00 00 00 00 00 00 00 00 1F 54")
        << hex("AB 0E 05 F0 01 00 71 6E");

    QTest::newRow("read-port 0, wrapped")
        << "tovrin" << false << false << hex(kFcReadPort0Tovrin)
        << hex("AB 0E 15 5F 11 F1 00 20 F2 0C 00 00 00 E1 00 00 00 00 00 00 00 00 2A 13");
    QTest::newRow("read-port 0, wrapped, udp")
        << "tovrin" << true << false << hex(kFcReadPort0Tovrin)
        << hex("AB 0E 15 5F 11 F1 00 20 F2 0C 00 00 00 E1 00 00 00 00 00 00 00 00 2A 13");
    QTest::newRow("version, wrapped") << "tovrin" << false << false << hex(kFcVersionTovrin)
                                      << hex("AB 0E 0D 5F 09 F0 00 20 E2 04 20 01 00 07 C3 4B");
    QTest::newRow("version, wrapped, r7") << "r7" << false << false << hex(kFcVersionR7)
                                          << hex("AB 0E 0D 5F 09 F0 00 2D E2 04 2D 01 00 07 1D 27");
    QTest::newRow("version, wrapped, r7, udp")
        << "r7" << true << false << hex(kFcVersionR7)
        << hex("AB 0E 0D 5F 09 F0 00 2D E2 04 2D 01 00 07 1D 27");
    QTest::newRow("read-port 5, wrapped, r7")
        << "r7" << true << false << hex("AB 0E 0A 5B 06 F0 80 2D F2 01 05 60 3A")
        << hex("AB 0E 15 5F 11 F1 00 2D F2 0C 05 01 40 42 0F 00 00 00 00 00 00 00 41 85");
    QTest::newRow("write-port, wrapped, r7, unsound record kept")
        << "r7" << false << false << hex(kFcWritePortR7)
        << hex("AB 0E 0A 5F 06 F0 00 2D F3 01 00 F1 D4");
    QTest::newRow("write-port, wrapped, r7, unsound record refused")
        << "r7" << false << true << hex(kFcWritePortR7) << QByteArray();
    QTest::newRow("write-port, wrapped, sound CAN record, strict")
        << "tovrin" << true << true
        << hex("AB 0E 15 5B 11 F1 80 20 F3 0C 02 01 20 A1 07 00 00 00 00 00 11 12 BA 6B")
        << hex("AB 0E 0A 5F 06 F0 00 20 F3 01 02 72 B9");

    QTest::newRow("bare version over udp dropped")
        << "tovrin" << true << false << hex(kVersion) << QByteArray();
    QTest::newRow("bare read-all over udp dropped")
        << "tovrin" << true << false << hex(kReadAll) << QByteArray();
    QTest::newRow("r7 device code to tovrin dropped")
        << "tovrin" << false << false << hex(kFcVersionR7) << QByteArray();
    QTest::newRow("tovrin device code to r7 dropped")
        << "r7" << true << false << hex(kFcVersionTovrin) << QByteArray();
    QTest::newRow("r7 write-port to tovrin dropped")
        << "tovrin" << false << false << hex(kFcWritePortR7) << QByteArray();
    QTest::newRow("direction 00 dropped")
        << "tovrin" << false << false << hex("AB 0E 0A 5B 06 F0 00 20 E2 01 00 A2 8E")
        << QByteArray();
    QTest::newRow("kind 00 dropped")
        << "tovrin" << false << false << hex("AB 0E 0A 5B 06 00 80 20 E2 01 00 B7 A0")
        << QByteArray();
    QTest::newRow("inner length disagrees")
        << "tovrin" << false << false << hex("AB 0E 0A 5B 06 F0 80 20 E2 02 00 A3 A0")
        << QByteArray();
    QTest::newRow("header cut short")
        << "tovrin" << false << false << hex("AB 0E 08 5B 04 F0 80 20 E2 DE 01") << QByteArray();
    QTest::newRow("a return frame is not answered")
        << "tovrin" << false << false << hex("AB 0E 0A 5F 06 F0 00 20 E2 01 00 A3 7D")
        << QByteArray();
    QTest::newRow("unknown identifier")
        << "tovrin" << false << false << hex("AB 0E 05 E5 01 00 60 AA") << QByteArray();
    QTest::newRow("bad checksum") << "tovrin" << false << false << hex("AB 0E 05 E2 01 00 D1 6C")
                                  << QByteArray();
}

void TestSimEndpoint::conversation()
{
    QFETCH(QString, model);
    QFETCH(bool, udp);
    QFETCH(bool, strict);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    Rig rig(model == QLatin1String("r7") ? SimModule::Model::R7 : SimModule::Model::Tovrin,
            udp ? SimEndpoint::Route::GroundStation : SimEndpoint::Route::Serial, SimFaults(),
            strict);
    const QList<QByteArray> out = rig.endpoint.receive(request);
    if (reply.isEmpty()) {
        QCOMPARE(out, QList<QByteArray>());
    } else {
        QCOMPARE(out.size(), 1);
        QCOMPARE(out.at(0).toHex(' ').toUpper(), reply.toHex(' ').toUpper());
    }
}

void TestSimEndpoint::wrappedReplyKindFollowsReplySize_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("innerId");
    QTest::addColumn<int>("innerLen");
    // The request's own kind byte does not decide the reply's.
    QTest::newRow("version asked with kind F1")
        << hex("AB 0E 0A 5B 06 F1 80 20 E2 01 00 A2 81") << 0xF0 << 0xE2 << 4;
    QTest::newRow("write-port ack, 1 byte")
        << hex("AB 0E 15 5B 11 F1 80 20 F3 0C 02 01 20 A1 07 00 00 00 00 00 11 12 BA 6B") << 0xF0
        << 0xF3 << 1;
    QTest::newRow("read-port, 12 bytes") << hex(kFcReadPort0Tovrin) << 0xF1 << 0xF2 << 12;
    QTest::newRow("read-all, 55 bytes")
        << hex("AB 0E 0A 5B 06 F0 80 20 F1 01 00 52 95") << 0xF1 << 0xF1 << 55;
}

void TestSimEndpoint::wrappedReplyKindFollowsReplySize()
{
    QFETCH(QByteArray, request);
    QFETCH(int, kind);
    QFETCH(int, innerId);
    QFETCH(int, innerLen);
    Rig rig(SimModule::Model::Tovrin);
    const QList<QByteArray> out = rig.endpoint.receive(request);
    QCOMPARE(out.size(), 1);
    const QByteArray &f = out.at(0);
    QCOMPARE(crc16Modbus(f.constData(), f.size()), quint16(0));
    QCOMPARE(quint8(f.at(3)), MSG_FC_RETURN);
    QCOMPARE(int(quint8(f.at(4))), innerLen + 5);
    QCOMPARE(int(quint8(f.at(5))), kind);
    QCOMPARE(quint8(f.at(6)), PASSTHROUGH_FROM_DEVICE);
    QCOMPARE(quint8(f.at(7)), DEVICE_TOVRIN);
    QCOMPARE(int(quint8(f.at(8))), innerId);
    QCOMPARE(int(quint8(f.at(9))), innerLen);
    QCOMPARE(f.size(), innerLen + 5 + 7);
}

void TestSimEndpoint::streamHandling()
{
    Rig rig(SimModule::Model::Tovrin);
    // Split after every byte: the reply comes with the last one only.
    const QByteArray version = hex(kVersion);
    for (int i = 0; i < version.size() - 1; ++i)
        QCOMPARE(rig.endpoint.receive(version.mid(i, 1)).size(), 0);
    QCOMPARE(rig.endpoint.receive(version.right(1)), QList<QByteArray>{hex(kVersionTovrinReply)});

    // Garbage, then two requests in one block: two replies in order.
    QCOMPARE(rig.endpoint.receive(hex("00 FF 0E AB 00") + hex(kReadPort3) + hex(kVersion)),
             (QList<QByteArray>{hex(kReadPort3Reply), hex(kVersionTovrinReply)}));

    // One frame carrying two commands: each is answered in a frame of its own.
    QCOMPARE(rig.endpoint.receive(hex("AB 0E 08 E2 01 00 F2 01 03 43 AB")),
             (QList<QByteArray>{hex(kVersionTovrinReply), hex(kReadPort3Reply)}));
}

void TestSimEndpoint::wrappedWriteStores()
{
    Rig rig(SimModule::Model::R7);
    QSignalSpy changed(&rig.module, &SimModule::recordsChanged);
    QCOMPARE(rig.endpoint.receive(hex(kFcWritePortR7)).size(), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(rig.module.records().at(0), hex("01 02 03 04 05 06 07 08 09 0A 0B"));
    // And reads back through the relay.
    const QList<QByteArray> out =
        rig.endpoint.receive(hex("AB 0E 0A 5B 06 F0 80 2D F2 01 00 A0 39"));
    QCOMPARE(out.size(), 1);
    QCOMPARE(out.at(0).mid(10, 12), hex("00 01 02 03 04 05 06 07 08 09 0A 0B"));
}

void TestSimEndpoint::dropEvery()
{
    SimFaults faults;
    faults.dropEvery = 3;
    Rig rig(SimModule::Model::Tovrin, SimEndpoint::Route::Serial, faults);
    QList<int> answered;
    for (int i = 1; i <= 7; ++i)
        if (!rig.endpoint.receive(hex(kVersion)).isEmpty())
            answered << i;
    QCOMPARE(answered, (QList<int>{1, 2, 4, 5, 7}));

    // A lost acknowledgement still leaves the write done.
    SimFaults everyOne;
    everyOne.dropEvery = 1;
    Rig lossy(SimModule::Model::R7, SimEndpoint::Route::Serial, everyOne);
    QVERIFY(lossy.endpoint.receive(hex(kFcWritePortR7)).isEmpty());
    QCOMPARE(lossy.module.records().at(0), hex("01 02 03 04 05 06 07 08 09 0A 0B"));
}

void TestSimEndpoint::corruptEvery()
{
    SimFaults faults;
    faults.corruptEvery = 2;
    Rig rig(SimModule::Model::Tovrin, SimEndpoint::Route::Serial, faults);
    const QByteArray good = hex(kVersionTovrinReply);
    QByteArray spoiled = good;
    spoiled[spoiled.size() - 2] = static_cast<char>(spoiled.at(spoiled.size() - 2) ^ 0xFF);
    QByteArray stream;
    for (int i = 1; i <= 4; ++i) {
        const QList<QByteArray> out = rig.endpoint.receive(hex(kVersion));
        QCOMPARE(out.size(), 1);
        QCOMPARE(out.at(0), i % 2 == 0 ? spoiled : good);
        stream += out.at(0);
    }
    // The program's parser keeps only the two sound replies.
    QCOMPARE(decode(stream), (QStringList{QStringLiteral("id=E2 len=4 data=20 01 00 07"),
                                          QStringLiteral("id=E2 len=4 data=20 01 00 07")}));
}

void TestSimEndpoint::garbage()
{
    SimFaults faults;
    faults.garbage = true;
    Rig rig(SimModule::Model::R7, SimEndpoint::Route::GroundStation, faults);
    const QList<QByteArray> out = rig.endpoint.receive(hex(kFcVersionR7));
    QCOMPARE(out.size(), 1);
    QCOMPARE(out.at(0),
             SimEndpoint::garbageBytes() + hex("AB 0E 0D 5F 09 F0 00 2D E2 04 2D 01 00 07 1D 27"));
    QVERIFY(!SimEndpoint::garbageBytes().contains(hex("AB 0E")));
    QCOMPARE(decode(out.at(0)),
             QStringList{QStringLiteral("id=5F len=9 data=F0 00 2D E2 04 2D 01 00 07")});
}

void TestSimEndpoint::logNamesFrames()
{
    Rig rig(SimModule::Model::Tovrin, SimEndpoint::Route::GroundStation);
    QSignalSpy log(&rig.endpoint, &SimEndpoint::logLine);
    rig.endpoint.receive(hex(kFcReadPort0Tovrin));
    rig.endpoint.receive(hex(kVersion));
    QStringList lines;
    for (const QList<QVariant> &args : qAsConst(log))
        lines << args.at(0).toString();
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(0),
             QStringLiteral(
                 "udp rx AB 0E 0A 5B 06 F0 80 20 F2 01 00 A2 95  MSG_FC_FORWARD/MSG_READ_PORT"));
    QCOMPARE(lines.at(1),
             QStringLiteral(
                 "udp tx AB 0E 15 5F 11 F1 00 20 F2 0C 00 00 00 E1 00 00 00 00 00 00 00 00 2A "
                 "13  MSG_FC_RETURN/MSG_READ_PORT"));
    QCOMPARE(lines.at(2), QStringLiteral("udp rx AB 0E 05 E2 01 00 D1 6B  MSG_VERSION"));
    QVERIFY2(lines.at(3).contains(QLatin1String("dropped")), qPrintable(lines.at(3)));
}

void TestSimEndpoint::schedulerImmediate()
{
    ReplyScheduler scheduler(SimFaults(), 1);
    QSignalSpy writes(&scheduler, &ReplyScheduler::write);
    scheduler.enqueue(hex(kVersionTovrinReply));
    scheduler.enqueue(hex(kReadPort3Reply));
    QCOMPARE(writes.count(), 2);
    QCOMPARE(writes.at(0).at(0).toByteArray(), hex(kVersionTovrinReply));
    QCOMPARE(writes.at(1).at(0).toByteArray(), hex(kReadPort3Reply));
    QVERIFY(scheduler.idle());
}

void TestSimEndpoint::schedulerSplit()
{
    SimFaults faults;
    faults.split = true;
    ReplyScheduler scheduler(faults, 7);
    QSignalSpy writes(&scheduler, &ReplyScheduler::write);
    const QByteArray first = hex(kReadAllTovrinReply);
    const QByteArray second = hex(kVersionTovrinReply);
    scheduler.enqueue(first);
    scheduler.enqueue(second);
    QTRY_VERIFY_WITH_TIMEOUT(scheduler.idle(), 10000);
    QByteArray joined;
    for (const QList<QVariant> &args : qAsConst(writes)) {
        const QByteArray piece = args.at(0).toByteArray();
        QVERIFY(piece.size() >= 1 && piece.size() <= ReplyScheduler::kMaxPiece);
        joined += piece;
    }
    QVERIFY(writes.count() >= (first.size() + second.size()) / ReplyScheduler::kMaxPiece);
    QCOMPARE(joined, first + second);
}

void TestSimEndpoint::schedulerDelay()
{
    SimFaults faults;
    faults.delayMs = 200;
    ReplyScheduler scheduler(faults, 1);
    QSignalSpy writes(&scheduler, &ReplyScheduler::write);
    QElapsedTimer clock;
    clock.start();
    scheduler.enqueue(hex(kVersionTovrinReply));
    scheduler.enqueue(hex(kReadPort3Reply));
    QCOMPARE(writes.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(writes.count(), 2, 10000);
    QVERIFY(clock.elapsed() >= 200);
    QCOMPARE(writes.at(0).at(0).toByteArray(), hex(kVersionTovrinReply));
    QCOMPARE(writes.at(1).at(0).toByteArray(), hex(kReadPort3Reply));
}

void TestSimEndpoint::schedulerPacing()
{
    QCOMPARE(ReplyScheduler::wireTimeUs(11520), qint64(1000000));
    QCOMPARE(ReplyScheduler::wireTimeUs(62), qint64(5382)); // 62 bytes: 5381.9 us, rounded up

    SimFaults faults;
    faults.baudPacing = true;
    ReplyScheduler scheduler(faults, 1);
    QElapsedTimer clock;
    QList<QPair<qint64, QByteArray>> writes;
    connect(&scheduler, &ReplyScheduler::write, this, [&](const QByteArray &bytes) {
        writes.append({clock.nsecsElapsed() / 1000, bytes});
    });
    // 2304 bytes are 200 ms on the line; the second reply queues behind the first.
    const QByteArray big(2304, '\x55');
    clock.start();
    scheduler.enqueue(big);
    scheduler.enqueue(hex(kVersionTovrinReply));
    QCOMPARE(writes.size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(writes.size(), 2, 10000);
    QCOMPARE(writes.at(0).second, big);
    QCOMPARE(writes.at(1).second, hex(kVersionTovrinReply));
    QVERIFY(writes.at(0).first >= 200000);
    QVERIFY(writes.at(1).first >= 200000 + ReplyScheduler::wireTimeUs(11));
}

void TestSimEndpoint::decoderLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("version request")
        << hex(kVersion) << QStringList{QStringLiteral("id=E2 len=1 data=00")};
    QTest::newRow("read-all reply, length in decimal")
        << hex(kReadAllTovrinReply)
        << QStringList{
               QStringLiteral("id=F1 len=55 data=") +
               QString::fromLatin1(hex(kReadAllTovrinReply).mid(5, 55).toHex(' ').toUpper())};
    // Body E2 01 00 F2 00 99: the trailing byte is too short for a third record.
    QTest::newRow("two sub-records, one empty")
        << hex("AB 0E 08 E2 01 00 F2 00 99 C2 50")
        << QStringList{QStringLiteral("id=E2 len=1 data=00"), QStringLiteral("id=F2 len=0 data=")};
    QTest::newRow("noise and a broken frame")
        << hex("00 AB AB 0E 05 E2 01 00 D1 6B") + hex("AB 0E 05 E2 01 00 D1 6C") << QStringList();
}

void TestSimEndpoint::decoderLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    SimDecoder decoder;
    QCOMPARE(decoder.feed(bytes), lines);
}

void TestSimEndpoint::decoderAcrossBlocks()
{
    SimDecoder decoder;
    const QByteArray stream =
        hex(kVersion) + hex("AB 0E 0D 5F 09 F0 00 2D E2 04 2D 01 00 07 1D 27");
    QStringList lines;
    for (int at = 0; at < stream.size(); at += 3)
        lines += decoder.feed(stream.mid(at, 3));
    QCOMPARE(lines, (QStringList{QStringLiteral("id=E2 len=1 data=00"),
                                 QStringLiteral("id=5F len=9 data=F0 00 2D E2 04 2D 01 00 07")}));
}

QTEST_GUILESS_MAIN(TestSimEndpoint)
#include "tst_simendpoint.moc"
