// The configuration conversation with no window, over a transport the test
// holds in its hand: each reply, well-formed or not, asked for or not, on each
// route and in each model, and what the session says and sends next.
#include "configsession.h"
#include "handtransport.h"
#include "linkframe.h"
#include "passthrough.h"
#include "testbytes.h"
#include "transport.h"

#include <QtTest>

Q_DECLARE_METATYPE(ConfigSession::Route)
Q_DECLARE_METATYPE(ModuleModel)

namespace
{

enum class Command { None, Version, Read, Write };

using TestBytes::hex;

QByteArray uart(int rx = 0)
{
    return hex("0000c201000000000000").left(9) + QByteArray(1, char(rx)) + QByteArray(1, '\0');
}

// UART records, but CAN on R7-Eda's CAN2 (the sixth port), the one kind it takes.
QVector<QByteArray> sampleRecords(int ports)
{
    QVector<QByteArray> all;
    for (int i = 0; i < ports; ++i)
        all.append(i == 5 ? hex("012a2c0a000000000010") + QByteArray(1, '\0') : uart(16 + i));
    return all;
}

QByteArray joined(int ports)
{
    QByteArray bytes;
    for (const QByteArray &r : sampleRecords(ports))
        bytes.append(r);
    return bytes;
}

// A reply as the route delivers it: bare, or wrapped by the relay with the
// given device code.
QByteArray reply(ConfigSession::Route route, quint8 device, quint8 id, const QByteArray &payload)
{
    if (route == ConfigSession::Route::Direct)
        return packLinkFrame(id, payload, quint8(payload.size()));
    return PassThrough::returnFrame(device, id, payload);
}

// What the session reported, one line per signal.
class Events : public QObject
{
public:
    explicit Events(ConfigSession &session)
    {
        connect(&session, &ConfigSession::versionRead, this,
                [this](ModuleModel model, const QString &firmware) {
                    lines << QStringLiteral("version %1 %2").arg(ModuleProfile::name(model), firmware);
                });
        connect(&session, &ConfigSession::recordRead, this,
                [this](int port, const QByteArray &) { lines << QStringLiteral("record %1").arg(port); });
        connect(&session, &ConfigSession::finished, this,
                [this](ConfigSession::Operation op, ConfigSession::Outcome outcome,
                       const QList<int> &refused) {
                    QString line = QStringLiteral("%1 %2")
                                       .arg(QLatin1String(QMetaEnum::fromType<ConfigSession::Operation>().valueToKey(int(op))),
                                            QLatin1String(QMetaEnum::fromType<ConfigSession::Outcome>().valueToKey(int(outcome))));
                    for (int port : refused)
                        line += QStringLiteral(" refused %1").arg(port);
                    lines << line;
                });
        connect(&session, &ConfigSession::notSent, this, [this] { lines << QStringLiteral("not sent"); });
    }
    QStringList lines;
};

} // namespace

Q_DECLARE_METATYPE(Command)

class TestConfigSession : public QObject
{
    Q_OBJECT
private slots:
    void replies_data();
    void replies();
    void wholeChains_data();
    void wholeChains();
    void repeatsAndInterruptions_data();
    void repeatsAndInterruptions();
    void commandWhileClosedIsReportedUnanswered();
};

void TestConfigSession::replies_data()
{
    using Route = ConfigSession::Route;
    QTest::addColumn<Route>("route");
    QTest::addColumn<ModuleModel>("model");
    QTest::addColumn<Command>("command");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QByteArray>("next"); // the request sent after the answer, if any

    const Route direct = Route::Direct;
    const Route fc = Route::FlightController;
    const ModuleModel tovrin = ModuleModel::Tovrin;
    const ModuleModel r7 = ModuleModel::R7;
    const quint8 T = DEVICE_TOVRIN;
    const quint8 R = DEVICE_R7;
    const QByteArray none;
    auto forward = [](quint8 device, quint8 id, const QByteArray &payload) {
        return PassThrough::forwardFrame(device, id, payload);
    };

    // Version replies.
    QTest::newRow("version: Tovrin engine") << direct << r7 << Command::Version
        << reply(direct, T, MSG_VERSION, hex("20010203"))
        << QStringList{"version Tovrin V1.2.3", "Version Success"} << none;
    QTest::newRow("version: R7 device, numbers above 127") << direct << tovrin << Command::Version
        << reply(direct, T, MSG_VERSION, hex("2dff807f"))
        << QStringList{"version R7-Eda V-1.-128.127", "Version Success"} << none;
    QTest::newRow("version: unknown device code") << direct << tovrin << Command::Version
        << reply(direct, T, MSG_VERSION, hex("21010203")) << QStringList{} << none;
    // A version reply or write acknowledgement of the wrong length is a wrong
    // answer (once it was ignored and ended as no reply).
    QTest::newRow("version: three bytes") << direct << tovrin << Command::Version
        << reply(direct, T, MSG_VERSION, hex("200102")) << QStringList{"Version WrongLength"}
        << none;
    QTest::newRow("version: five bytes, wrapped") << fc << r7 << Command::Version
        << reply(fc, R, MSG_VERSION, hex("2d01000700")) << QStringList{"Version WrongLength"}
        << none;
    QTest::newRow("version: wrapped with the model's code") << fc << r7 << Command::Version
        << reply(fc, R, MSG_VERSION, hex("2d010007"))
        << QStringList{"version R7-Eda V1.0.7", "Version Success"} << none;
    QTest::newRow("version: wrapped with the other code") << fc << tovrin << Command::Version
        << reply(fc, R, MSG_VERSION, hex("2d010007")) << QStringList{} << none;
    QTest::newRow("version: bare on the flight-controller route") << fc << tovrin
        << Command::Version << reply(direct, T, MSG_VERSION, hex("20010203")) << QStringList{}
        << none;

    // Whole-set reads.
    QTest::newRow("read all: 55 bytes") << direct << tovrin << Command::Read
        << reply(direct, T, MSG_READ_ALL, joined(5))
        << QStringList{"record 0", "record 1", "record 2", "record 3", "record 4", "Read Success"}
        << none;
    QTest::newRow("read all: 54 bytes") << direct << tovrin << Command::Read
        << reply(direct, T, MSG_READ_ALL, joined(5).left(54))
        << QStringList{"Read WrongLength"} << none;
    QTest::newRow("read all: 55 bytes in R7 mode") << direct << r7 << Command::Read
        << reply(direct, T, MSG_READ_ALL, joined(5)) << QStringList{"Read WrongLength"} << none;
    QByteArray withCan = joined(5);
    withCan.replace(0, 11, hex("0140420f00000000000102"));
    QTest::newRow("read all: CAN record on a UART-only port") << direct << tovrin << Command::Read
        << reply(direct, T, MSG_READ_ALL, withCan)
        << QStringList{"record 1", "record 2", "record 3", "record 4", "Read RecordRefused refused 0"}
        << none;
    QTest::newRow("read all: a write acknowledgement instead") << direct << tovrin
        << Command::Read << reply(direct, T, MSG_WRITE_ALL, hex("00")) << QStringList{} << none;

    // Port-by-port reads.
    QTest::newRow("read port: port 0 answered") << fc << tovrin << Command::Read
        << reply(fc, T, MSG_READ_PORT, hex("00") + uart())
        << QStringList{"record 0"} << forward(T, MSG_READ_PORT, hex("01"));
    QTest::newRow("read port: R7 port 0 answered") << fc << r7 << Command::Read
        << reply(fc, R, MSG_READ_PORT, hex("00") + uart())
        << QStringList{"record 0"} << forward(R, MSG_READ_PORT, hex("01"));
    QTest::newRow("read port: another port answered") << fc << tovrin << Command::Read
        << reply(fc, T, MSG_READ_PORT, hex("03") + uart())
        << QStringList{"Read WrongIndex"} << none;
    QTest::newRow("read port: eleven bytes") << fc << tovrin << Command::Read
        << reply(fc, T, MSG_READ_PORT, hex("00") + uart().left(10))
        << QStringList{"Read WrongLength"} << none;
    QTest::newRow("read port: whole-set reply") << fc << tovrin << Command::Read
        << reply(fc, T, MSG_READ_ALL, joined(5)) << QStringList{} << none;

    // Writes.
    QTest::newRow("write all: 00") << direct << tovrin << Command::Write
        << reply(direct, T, MSG_WRITE_ALL, hex("00")) << QStringList{"Write Success"} << none;
    QTest::newRow("write all: 01") << direct << tovrin << Command::Write
        << reply(direct, T, MSG_WRITE_ALL, hex("01")) << QStringList{"Write Refused"} << none;
    QTest::newRow("write all: two bytes") << direct << tovrin << Command::Write
        << reply(direct, T, MSG_WRITE_ALL, hex("0000")) << QStringList{"Write WrongLength"}
        << none;
    QTest::newRow("write all: empty acknowledgement") << direct << tovrin << Command::Write
        << reply(direct, T, MSG_WRITE_ALL, QByteArray()) << QStringList{"Write WrongLength"}
        << none;
    QTest::newRow("write all: a write-port acknowledgement") << direct << tovrin << Command::Write
        << reply(direct, T, MSG_WRITE_PORT, hex("00")) << QStringList{} << none;
    QTest::newRow("write port: port 0 acknowledged") << fc << tovrin << Command::Write
        << reply(fc, T, MSG_WRITE_PORT, hex("00")) << QStringList{}
        << forward(T, MSG_WRITE_PORT, hex("01") + sampleRecords(5).at(1));
    QTest::newRow("write port: FF") << fc << tovrin << Command::Write
        << reply(fc, T, MSG_WRITE_PORT, hex("ff")) << QStringList{"Write WrongIndex"} << none;
    QTest::newRow("write port: the last port after port 0") << fc << r7 << Command::Write
        << reply(fc, R, MSG_WRITE_PORT, hex("05")) << QStringList{"Write WrongIndex"} << none;
    QTest::newRow("write port: empty acknowledgement") << fc << tovrin << Command::Write
        << reply(fc, T, MSG_WRITE_PORT, QByteArray()) << QStringList{"Write WrongLength"} << none;
    QTest::newRow("write port: write-all reply") << fc << tovrin << Command::Write
        << reply(fc, T, MSG_WRITE_ALL, hex("00")) << QStringList{} << none;

    // Nothing asked: nothing happens.
    QTest::newRow("unasked read-all reply") << direct << tovrin << Command::None
        << reply(direct, T, MSG_READ_ALL, joined(5)) << QStringList{} << none;
    QTest::newRow("unasked version reply") << direct << tovrin << Command::None
        << reply(direct, T, MSG_VERSION, hex("2d010203")) << QStringList{} << none;
    QTest::newRow("unasked write acknowledgement") << fc << tovrin << Command::None
        << reply(fc, T, MSG_WRITE_PORT, hex("04")) << QStringList{} << none;
}

void TestConfigSession::replies()
{
    QFETCH(ConfigSession::Route, route);
    QFETCH(ModuleModel, model);
    QFETCH(Command, command);
    QFETCH(QByteArray, answer);
    QFETCH(QStringList, events);
    QFETCH(QByteArray, next);

    ConfigSession session;
    session.setModel(model);
    auto transport = std::make_unique<HandTransport>();
    HandTransport *link = transport.get();
    QVERIFY(session.open(route, std::move(transport)));
    Events seen(session);

    switch (command) {
    case Command::Version:
        session.queryVersion();
        break;
    case Command::Read:
        session.read();
        break;
    case Command::Write:
        session.write(sampleRecords(session.portCount()));
        break;
    case Command::None:
        break;
    }
    const int requests = link->sent.size();
    link->answer(answer);

    QCOMPARE(seen.lines, events);
    const QByteArrayList after = link->sent.mid(requests);
    QCOMPARE(after, next.isEmpty() ? QByteArrayList() : QByteArrayList{next});
}

void TestConfigSession::wholeChains_data()
{
    QTest::addColumn<ModuleModel>("model");
    QTest::addColumn<bool>("write");
    QTest::newRow("Tovrin read") << ModuleModel::Tovrin << false;
    QTest::newRow("R7 read") << ModuleModel::R7 << false;
    QTest::newRow("Tovrin write") << ModuleModel::Tovrin << true;
    QTest::newRow("R7 write") << ModuleModel::R7 << true;
}

void TestConfigSession::wholeChains()
{
    // Through the flight controller, each port once, in order, each request
    // sent only when the answer before it came; success after the last.
    QFETCH(ModuleModel, model);
    QFETCH(bool, write);

    ConfigSession session;
    session.setModel(model);
    auto transport = std::make_unique<HandTransport>();
    HandTransport *link = transport.get();
    QVERIFY(session.open(ConfigSession::Route::FlightController, std::move(transport)));
    Events seen(session);
    const quint8 device = ModuleProfile::deviceCode(model);
    const int ports = session.portCount();
    const QVector<QByteArray> records = sampleRecords(ports);

    if (write)
        session.write(records);
    else
        session.read();
    for (int port = 0; port < ports; ++port) {
        QCOMPARE(link->sent.size(), port + 1);
        const QByteArray index(1, char(port));
        QCOMPARE(link->sent.last(),
                 PassThrough::forwardFrame(device, write ? MSG_WRITE_PORT : MSG_READ_PORT,
                                           write ? index + records.at(port) : index));
        link->answer(write ? reply(ConfigSession::Route::FlightController, device,
                                   MSG_WRITE_PORT, index)
                           : reply(ConfigSession::Route::FlightController, device,
                                   MSG_READ_PORT, index + records.at(port)));
    }
    QCOMPARE(link->sent.size(), ports);
    QCOMPARE(seen.lines.last(), write ? QStringLiteral("Write Success") : QStringLiteral("Read Success"));
    QCOMPARE(seen.lines.size(), write ? 1 : ports + 1);
}

void TestConfigSession::repeatsAndInterruptions_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("retries");
    QTest::addColumn<int>("silentPort");    // its first request gets no answer (-1: none)
    QTest::addColumn<bool>("lateAnswer");   // then the first answer comes late, with the repeat's
    QTest::addColumn<int>("interruptAt");   // interrupt() once this port's request is out
    QTest::addColumn<QList<int>>("sent");   // the ports asked for, in order
    QTest::addColumn<QString>("end");
    QTest::addColumn<QList<int>>("acknowledged");

    const QList<int> all{0, 1, 2, 3, 4};
    const QList<int> none;
    QTest::newRow("read: port 2 repeated once") << false << 1 << 2 << false << -1
        << QList<int>{0, 1, 2, 2, 3, 4} << "Read Success" << none;
    QTest::newRow("write: port 2 repeated once") << true << 1 << 2 << false << -1
        << QList<int>{0, 1, 2, 2, 3, 4} << "Write Success" << all;
    QTest::newRow("write: no repeats") << true << 0 << 2 << false << -1
        << QList<int>{0, 1, 2} << "Write NoReply" << QList<int>{0, 1};
    QTest::newRow("read: late answer and the repeat's") << false << 2 << 1 << true << -1
        << QList<int>{0, 1, 1, 2, 3, 4} << "Read Success" << none;
    QTest::newRow("write: late answer and the repeat's") << true << 2 << 1 << true << -1
        << QList<int>{0, 1, 1, 2, 3, 4} << "Write Success" << all;
    QTest::newRow("write: interrupted at port 2") << true << 1 << -1 << false << 2
        << QList<int>{0, 1, 2} << "Write Interrupted" << QList<int>{0, 1, 2};
    QTest::newRow("write: interrupted, port 2 unanswered, not repeated") << true << 2 << 2 << false
        << 2 << QList<int>{0, 1, 2} << "Write NoReply" << QList<int>{0, 1};
    QTest::newRow("write: interrupted at the last port") << true << 1 << -1 << false << 4 << all
        << "Write Success" << all;
    QTest::newRow("read: interrupted at port 1") << false << 1 << -1 << false << 1
        << QList<int>{0, 1} << "Read Interrupted" << none;
}

// Through the flight controller: an unanswered request is sent again, the
// same bytes, up to the retries, and the chain goes on from there; a late
// answer to the first of two requests for a port is dropped. An interrupted
// chain sends nothing after the request in flight.
void TestConfigSession::repeatsAndInterruptions()
{
    QFETCH(bool, write);
    QFETCH(int, retries);
    QFETCH(int, silentPort);
    QFETCH(bool, lateAnswer);
    QFETCH(int, interruptAt);
    QFETCH(QList<int>, sent);
    QFETCH(QString, end);
    QFETCH(QList<int>, acknowledged);

    const ConfigSession::Route fc = ConfigSession::Route::FlightController;
    ConfigSession session;
    session.setRetries(retries);
    auto transport = std::make_unique<HandTransport>();
    HandTransport *link = transport.get();
    QVERIFY(session.open(fc, std::move(transport)));
    Events seen(session);
    const quint8 device = DEVICE_TOVRIN;
    const QVector<QByteArray> records = sampleRecords(session.portCount());
    auto request = [&](int port) {
        const QByteArray index(1, char(port));
        return PassThrough::forwardFrame(device, write ? MSG_WRITE_PORT : MSG_READ_PORT,
                                         write ? index + records.at(port) : index);
    };
    auto answer = [&](int port) {
        const QByteArray index(1, char(port));
        link->answer(write ? reply(fc, device, MSG_WRITE_PORT, index)
                           : reply(fc, device, MSG_READ_PORT, index + records.at(port)));
    };

    if (write)
        session.write(records);
    else
        session.read();
    QList<int> asked;
    bool silenced = false;
    while (session.isBusy()) {
        // A repeat comes after the watchdog's 1.0 to 1.5 s.
        QTRY_VERIFY_WITH_TIMEOUT(link->sent.size() > asked.size() || !session.isBusy(), 3000);
        if (link->sent.size() == asked.size())
            break;
        const QByteArray frame = link->sent.at(asked.size());
        int port = 0;
        while (port < records.size() && frame != request(port))
            ++port;
        QVERIFY2(port < records.size(), frame.toHex(' ').constData());
        asked.append(port);
        QVERIFY(asked.size() <= sent.size());
        if (port == interruptAt)
            session.interrupt();
        if (port == silentPort && !silenced) {
            silenced = true;
            continue;
        }
        if (lateAnswer && port == silentPort)
            answer(port);
        answer(port);
    }
    QCOMPARE(asked, sent);
    QCOMPARE(seen.lines.last(), end);
    QCOMPARE(session.acknowledgedPorts(), acknowledged);
    // Nothing more goes out, and nothing else is reported.
    const QStringList lines = seen.lines;
    QTest::qWait(1600);
    QCOMPARE(link->sent.size(), sent.size());
    QCOMPARE(seen.lines, lines);
}

void TestConfigSession::commandWhileClosedIsReportedUnanswered()
{
    ConfigSession session;
    Events seen(session);
    session.read();
    QCOMPARE(seen.lines, QStringList{"not sent"});
    QTRY_COMPARE_WITH_TIMEOUT(seen.lines, (QStringList{"not sent", "Read NoReply"}), 3000);
}

QTEST_GUILESS_MAIN(TestConfigSession)
#include "tst_configsession.moc"
