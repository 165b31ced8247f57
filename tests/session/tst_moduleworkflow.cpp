// The module workflow with no window, over a transport the test holds in its
// hand: each row runs steps against scripted replies and checks what the
// module is known to hold afterwards, the change list to a proposal, how each
// step ended and every request sent, byte for byte.
#include "configfile.h"
#include "handtransport.h"
#include "linkframe.h"
#include "moduleworkflow.h"
#include "passthrough.h"
#include "writehistory.h"

#include <QElapsedTimer>
#include <QtTest>

Q_DECLARE_METATYPE(ConfigSession::Route)
Q_DECLARE_METATYPE(ModuleModel)

namespace
{
using Route = ConfigSession::Route;

// UART at 115200 8N1 with the given receive protocol code; on R7-Eda's sixth
// port (CAN only) CAN at 1 Mbit/s.
PortRecord record(ModuleModel model, int port, quint8 receive = 0)
{
    PortSettings settings;
    if (model == ModuleModel::R7 && port == 5) {
        settings.kind = PortRecord::Can;
        settings.baud = 1000000;
    } else {
        settings.baud = 115200;
    }
    settings.receiveCode = receive;
    return PortRecord::encode(settings);
}

QVector<PortRecord> records(ModuleModel model, quint8 receive = 0)
{
    QVector<PortRecord> all;
    for (int i = 0; i < ModuleProfile::portCount(model); ++i)
        all.append(record(model, i, receive));
    return all;
}

QVector<PortRecord> withReceive(QVector<PortRecord> all, int port, quint8 receive)
{
    QByteArray bytes = all.at(port).bytes();
    bytes[PortRecord::RxProtocolOffset] = char(receive);
    all[port] = PortRecord(bytes);
    return all;
}

QByteArray joined(const QVector<PortRecord> &all)
{
    QByteArray bytes;
    for (const PortRecord &r : all)
        bytes += r.bytes();
    return bytes;
}

quint8 device(ModuleModel model)
{
    return model == ModuleModel::R7 ? DEVICE_R7 : DEVICE_TOVRIN;
}

// A request or reply as the route carries it.
QByteArray frame(Route route, ModuleModel model, quint8 id, const QByteArray &payload, bool reply)
{
    if (route == Route::Direct)
        return packLinkFrame(id, payload, quint8(payload.size()));
    return reply ? PassThrough::returnFrame(device(model), id, payload)
                 : PassThrough::forwardFrame(device(model), id, payload);
}

QByteArray versionAsk(Route route, ModuleModel model)
{
    return frame(route, model, MSG_VERSION, QByteArray(1, '\0'), false);
}

QByteArray versionReply(Route route, ModuleModel model)
{
    return frame(route, model, MSG_VERSION,
                 QByteArray(1, char(device(model))) + QByteArray::fromHex("010203"), true);
}

// The requests of a read, and the replies giving records.
QByteArrayList readAsks(Route route, ModuleModel model)
{
    if (route == Route::Direct)
        return {frame(route, model, MSG_READ_ALL, QByteArray(1, '\0'), false)};
    QByteArrayList asks;
    for (int i = 0; i < ModuleProfile::portCount(model); ++i)
        asks << frame(route, model, MSG_READ_PORT, QByteArray(1, char(i)), false);
    return asks;
}

QByteArrayList readReplies(Route route, ModuleModel model, const QVector<PortRecord> &all)
{
    if (route == Route::Direct)
        return {frame(route, model, MSG_READ_ALL, joined(all), true)};
    QByteArrayList replies;
    for (int i = 0; i < all.size(); ++i)
        replies << frame(route, model, MSG_READ_PORT, QByteArray(1, char(i)) + all.at(i).bytes(),
                         true);
    return replies;
}

QByteArrayList writeAsks(Route route, ModuleModel model, const QVector<PortRecord> &all)
{
    if (route == Route::Direct)
        return {frame(route, model, MSG_WRITE_ALL, joined(all), false)};
    QByteArrayList asks;
    for (int i = 0; i < all.size(); ++i)
        asks << frame(route, model, MSG_WRITE_PORT, QByteArray(1, char(i)) + all.at(i).bytes(),
                      false);
    return asks;
}

QByteArrayList writeAcks(Route route, ModuleModel model, int ports)
{
    if (route == Route::Direct)
        return {frame(route, model, MSG_WRITE_ALL, QByteArray(1, '\0'), true)};
    QByteArrayList acks;
    for (int i = 0; i < ports; ++i)
        acks << frame(route, model, MSG_WRITE_PORT, QByteArray(1, char(i)), true);
    return acks;
}

// How each step ended, one line per finished().
class Steps : public QObject
{
public:
    explicit Steps(ModuleWorkflow &workflow)
    {
        connect(&workflow, &ModuleWorkflow::finished, this,
                [this](ModuleWorkflow::Step step, ModuleWorkflow::Outcome outcome,
                       const QList<int> &ports) {
                    QString line = QStringLiteral("%1 %2").arg(
                        QLatin1String(
                            QMetaEnum::fromType<ModuleWorkflow::Step>().valueToKey(int(step))),
                        QLatin1String(QMetaEnum::fromType<ModuleWorkflow::Outcome>().valueToKey(
                            int(outcome))));
                    for (int port : ports)
                        line += QStringLiteral(" %1").arg(port);
                    lines << line;
                });
    }
    QStringList lines;
};

// An action of a row, run on the workflow in turn.
struct Action {
    enum Kind { DetectAndRead, Read, Write, WriteReadBack, SetModel } kind;
    QVector<PortRecord> records; // what a write sends
    ModuleModel model = ModuleModel::Tovrin;
};

// Each request gets the next scripted reply; a silent one waits out the
// watchdog, which ends the step or asks as the next model.
bool answerUntilIdle(ModuleWorkflow &workflow, HandTransport *link, const QByteArrayList &replies,
                     int *answered)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 20000) {
        if (link->sent.size() > *answered) {
            const QByteArray reply = replies.value((*answered)++);
            if (!reply.isEmpty())
                link->answer(reply);
            continue;
        }
        if (!workflow.isBusy())
            return true;
        QTest::qWait(5);
    }
    return !workflow.isBusy();
}

} // namespace

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(QVector<Action>)

class TestModuleWorkflow : public QObject
{
    Q_OBJECT
private slots:
    void steps_data();
    void steps();
    void proposalIsWhatIsWritten();
    void closingForgetsTheModule();
    void versionAskedAtOnce_data();
    void versionAskedAtOnce();
    void snapshotBeforeWrite_data();
    void snapshotBeforeWrite();
};

void TestModuleWorkflow::steps_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<ModuleModel>("model");               // the mode set before opening
    QTest::addColumn<QVector<ModuleModel>>("candidates"); // models detect() asks as
    QTest::addColumn<int>("fileModel");                   // -1: no file for the read
    QTest::addColumn<QVector<Action>>("actions");
    QTest::addColumn<QByteArrayList>("replies");       // one per request; empty: none
    QTest::addColumn<QStringList>("ends");             // finished(), in order
    QTest::addColumn<QByteArrayList>("requests");      // everything sent
    QTest::addColumn<QVector<PortRecord>>("held");     // afterwards; empty: unknown
    QTest::addColumn<QVector<PortRecord>>("proposal"); // compared with what is held
    QTest::addColumn<QStringList>("changes");          // "port field" lines

    const ModuleModel T = ModuleModel::Tovrin;
    const ModuleModel R = ModuleModel::R7;
    const Route direct = Route::Direct;
    const Route fc = Route::FlightController;
    const Route gs = Route::GroundStation;
    const QVector<PortRecord> unknown;
    const QByteArray silence;
    const QVector<PortRecord> t0 = records(T);
    const QVector<PortRecord> t1 = withReceive(t0, 2, 17);
    const QVector<PortRecord> r0 = records(R);
    const QVector<PortRecord> r1 = withReceive(withReceive(r0, 0, 16), 5, 20);

    QTest::newRow("direct: version, then read; one field to change")
        << direct << T << QVector<ModuleModel>{} << -1
        << QVector<Action>{{Action::DetectAndRead, {}, T}}
        << (QByteArrayList{versionReply(direct, T)} + readReplies(direct, T, t0))
        << QStringList{"Read Success"}
        << (QByteArrayList{versionAsk(direct, T)} + readAsks(direct, T)) << t0 << t1
        << QStringList{"2 receive"};
    QTest::newRow("direct: a bare reply names the other model")
        << direct << T << QVector<ModuleModel>{} << -1
        << QVector<Action>{{Action::DetectAndRead, {}, T}}
        << (QByteArrayList{frame(direct, T, MSG_VERSION, QByteArray::fromHex("2d010203"), true)} +
            readReplies(direct, R, r0))
        << QStringList{"Read Success"}
        << (QByteArrayList{versionAsk(direct, T)} + readAsks(direct, R)) << r0 << r1
        << QStringList{"0 receive", "5 receive"};
    QTest::newRow("flight controller: unanswered as Tovrin, answered as R7, read port by port")
        << fc << T << QVector<ModuleModel>{T, R} << -1
        << QVector<Action>{{Action::DetectAndRead, {}, T}}
        << (QByteArrayList{silence, versionReply(fc, R)} + readReplies(fc, R, r0))
        << QStringList{"Read Success"}
        << (QByteArrayList{versionAsk(fc, T), versionAsk(fc, R)} + readAsks(fc, R)) << r0 << r0
        << QStringList{};
    QTest::newRow("file for R7-Eda, module is Tovrin: nothing read")
        << fc << T << QVector<ModuleModel>{T, R} << int(R)
        << QVector<Action>{{Action::DetectAndRead, {}, T}} << QByteArrayList{versionReply(fc, T)}
        << QStringList{"Version WrongModel"} << QByteArrayList{versionAsk(fc, T)} << unknown << t1
        << QStringList{};
    QTest::newRow("no module answers: nothing known")
        << direct << T << QVector<ModuleModel>{} << -1
        << QVector<Action>{{Action::DetectAndRead, {}, T}} << QByteArrayList{silence}
        << QStringList{"Version NoReply"} << QByteArrayList{versionAsk(direct, T)} << unknown << t1
        << QStringList{};

    // A CAN record on Tovrin's first port, which offers UART only.
    QVector<PortRecord> refused = t0;
    refused[0] = record(R, 5);
    QVector<PortRecord> readRefused = t0;
    readRefused[0] = PortRecord();
    QTest::newRow("read refused for one port: that port counts as unknown")
        << direct << T << QVector<ModuleModel>{} << -1 << QVector<Action>{{Action::Read, {}, T}}
        << readReplies(direct, T, refused) << QStringList{"Read RecordRefused 0"}
        << readAsks(direct, T) << unknown << t0 << QStringList{"0 record"};

    QTest::newRow("write accepted: the module holds what was written")
        << direct << T << QVector<ModuleModel>{} << -1
        << QVector<Action>{{Action::Read, {}, T}, {Action::Write, t1, T}}
        << (readReplies(direct, T, t0) + writeAcks(direct, T, 5))
        << QStringList{"Read Success", "Write Success"}
        << (readAsks(direct, T) + writeAsks(direct, T, t1)) << t1 << t0 << QStringList{"2 receive"};
    QTest::newRow("write refused: what the module holds is forgotten")
        << direct << T << QVector<ModuleModel>{} << -1
        << QVector<Action>{{Action::Read, {}, T}, {Action::Write, t1, T}}
        << (readReplies(direct, T, t0) +
            QByteArrayList{frame(direct, T, MSG_WRITE_ALL, QByteArray(1, '\1'), true)})
        << QStringList{"Read Success", "Write Refused"}
        << (readAsks(direct, T) + writeAsks(direct, T, t1)) << unknown << t0 << QStringList{};
    QTest::newRow("write cut short after port 1: forgotten")
        << gs << R << QVector<ModuleModel>{} << -1
        << QVector<Action>{{Action::Read, {}, R}, {Action::Write, r1, R}}
        << (readReplies(gs, R, r0) + writeAcks(gs, R, 1) +
            QByteArrayList{frame(gs, R, MSG_WRITE_PORT, QByteArray(1, '\3'), true)})
        << QStringList{"Read Success", "Write WrongIndex"}
        << (readAsks(gs, R) + writeAsks(gs, R, r1).mid(0, 2)) << unknown << r0 << QStringList{};
    QTest::newRow("write, read back equal")
        << fc << R << QVector<ModuleModel>{} << -1
        << QVector<Action>{{Action::WriteReadBack, r1, R}}
        << (writeAcks(fc, R, 6) + readReplies(fc, R, r1)) << QStringList{"ReadBack Success"}
        << (writeAsks(fc, R, r1) + readAsks(fc, R)) << r1 << r1 << QStringList{};
    QTest::newRow("write, read back differs on port 5")
        << direct << R << QVector<ModuleModel>{} << -1
        << QVector<Action>{{Action::WriteReadBack, r1, R}}
        << (writeAcks(direct, R, 6) + readReplies(direct, R, withReceive(r1, 5, 0)))
        << QStringList{"ReadBack Differs 5"} << (writeAsks(direct, R, r1) + readAsks(direct, R))
        << withReceive(r1, 5, 0) << r1 << QStringList{"5 receive"};
    QTest::newRow("another mode forgets the module")
        << direct << T << QVector<ModuleModel>{} << -1
        << QVector<Action>{{Action::Read, {}, T}, {Action::SetModel, {}, R}}
        << readReplies(direct, T, t0) << QStringList{"Read Success"} << readAsks(direct, T)
        << unknown << r0 << QStringList{};
}

void TestModuleWorkflow::steps()
{
    QFETCH(Route, route);
    QFETCH(ModuleModel, model);
    QFETCH(QVector<ModuleModel>, candidates);
    QFETCH(int, fileModel);
    QFETCH(QVector<Action>, actions);
    QFETCH(QByteArrayList, replies);
    QFETCH(QStringList, ends);
    QFETCH(QByteArrayList, requests);
    QFETCH(QVector<PortRecord>, held);
    QFETCH(QVector<PortRecord>, proposal);
    QFETCH(QStringList, changes);

    ModuleWorkflow workflow;
    workflow.setModel(model);
    auto transport = std::make_unique<HandTransport>();
    HandTransport *link = transport.get();
    QVERIFY(workflow.open(route, std::move(transport)));
    Steps seen(workflow);
    ModuleConfig file;
    file.model = ModuleModel(fileModel);

    int answered = 0;
    for (const Action &action : qAsConst(actions)) {
        switch (action.kind) {
        case Action::DetectAndRead:
            workflow.detectAndRead(candidates, fileModel >= 0 ? &file : nullptr);
            break;
        case Action::Read:
            workflow.read();
            break;
        case Action::Write:
            workflow.write(action.records);
            break;
        case Action::WriteReadBack:
            workflow.write(action.records, true);
            break;
        case Action::SetModel:
            workflow.setModel(action.model);
            break;
        }
        QVERIFY2(answerUntilIdle(workflow, link, replies, &answered), "a step never ended");
    }

    QCOMPARE(seen.lines, ends);
    QCOMPARE(link->sent, requests);
    QCOMPARE(workflow.held(), held);
    QCOMPARE(workflow.holdsKnown(), !held.isEmpty());
    QStringList listed;
    for (const ConfigChanges::Change &change : workflow.changes(proposal))
        listed << QStringLiteral("%1 %2").arg(change.port).arg(change.field);
    QCOMPARE(listed, changes);
}

// What the question listed is what goes out, whatever is proposed or changed
// in the front end meanwhile; a fresh read drops the proposal.
void TestModuleWorkflow::proposalIsWhatIsWritten()
{
    const QVector<PortRecord> before = records(ModuleModel::Tovrin);
    const QVector<PortRecord> confirmed = withReceive(before, 1, 18);
    ModuleWorkflow workflow;
    auto transport = std::make_unique<HandTransport>();
    HandTransport *link = transport.get();
    QVERIFY(workflow.open(Route::Direct, std::move(transport)));
    QVERIFY(!workflow.writeProposed());
    QVERIFY(link->sent.isEmpty());

    workflow.read();
    link->answer(readReplies(Route::Direct, ModuleModel::Tovrin, before).first());
    QVector<PortRecord> shown = confirmed;
    QCOMPARE(workflow.propose(shown).size(), 1);
    shown[3] = before.at(0); // the card changes under the question
    QVERIFY(workflow.writeProposed());
    QCOMPARE(link->sent.last(), writeAsks(Route::Direct, ModuleModel::Tovrin, confirmed).first());
    QVERIFY(!workflow.hasProposal());
    link->answer(writeAcks(Route::Direct, ModuleModel::Tovrin, 5).first());
    QCOMPARE(workflow.held(), confirmed);
    QCOMPARE(workflow.written(), confirmed);

    workflow.propose(before);
    workflow.read();
    QVERIFY(!workflow.hasProposal());
}

void TestModuleWorkflow::closingForgetsTheModule()
{
    const QVector<PortRecord> before = records(ModuleModel::Tovrin);
    ModuleWorkflow workflow;
    auto transport = std::make_unique<HandTransport>();
    HandTransport *link = transport.get();
    QVERIFY(workflow.open(Route::Direct, std::move(transport)));
    workflow.detectAndRead();
    link->answer(versionReply(Route::Direct, ModuleModel::Tovrin));
    link->answer(readReplies(Route::Direct, ModuleModel::Tovrin, before).first());
    QCOMPARE(workflow.firmware(), QStringLiteral("V1.2.3"));
    QCOMPARE(workflow.held(), before);
    workflow.propose(before);

    workflow.close();
    QVERIFY(!workflow.holdsKnown());
    QVERIFY(!workflow.modelDetected());
    QVERIFY(!workflow.hasProposal());
}

// Both device codes go out back to back before any answer; the module's
// answer ends the round and the read follows at once, framed for its model;
// the other code's answer, should one come, is dropped.
void TestModuleWorkflow::versionAskedAtOnce_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QVector<ModuleModel>>("answering"); // in order; empty: none
    QTest::addColumn<QString>("end");                    // the version step's finished()
    QTest::addColumn<int>("model");                      // found; -1: none

    const ModuleModel T = ModuleModel::Tovrin;
    const ModuleModel R = ModuleModel::R7;
    const Route fc = Route::FlightController;
    const Route gs = Route::GroundStation;
    QTest::newRow("flight controller, R7-Eda") << fc << QVector<ModuleModel>{R} << "" << int(R);
    QTest::newRow("flight controller, Tovrin") << fc << QVector<ModuleModel>{T} << "" << int(T);
    QTest::newRow("ground station, R7-Eda") << gs << QVector<ModuleModel>{R} << "" << int(R);
    QTest::newRow("ground station, Tovrin") << gs << QVector<ModuleModel>{T} << "" << int(T);
    QTest::newRow("flight controller, both answer: the first wins")
        << fc << QVector<ModuleModel>{R, T} << "" << int(R);
    QTest::newRow("flight controller, nothing answers")
        << fc << QVector<ModuleModel>{} << "Version NoReply" << -1;
}

void TestModuleWorkflow::versionAskedAtOnce()
{
    QFETCH(Route, route);
    QFETCH(QVector<ModuleModel>, answering);
    QFETCH(QString, end);
    QFETCH(int, model);
    const ModuleModel T = ModuleModel::Tovrin;
    const ModuleModel R = ModuleModel::R7;

    ModuleWorkflow workflow;
    auto transport = std::make_unique<HandTransport>();
    HandTransport *link = transport.get();
    QVERIFY(workflow.open(route, std::move(transport)));
    Steps seen(workflow);
    workflow.detectAndRead({T, R}, nullptr, ModuleWorkflow::Asking::AtOnce);
    QCOMPARE(link->sent, (QByteArrayList{versionAsk(route, T), versionAsk(route, R)}));

    for (ModuleModel answer : qAsConst(answering))
        link->answer(versionReply(route, answer));
    if (model < 0) {
        QTRY_VERIFY_WITH_TIMEOUT(!workflow.isBusy(), 5000);
        QCOMPARE(seen.lines, QStringList{end});
        QCOMPARE(link->sent.size(), 2); // one round: nothing asked again
        QVERIFY(!workflow.modelDetected());
        return;
    }
    const ModuleModel found = ModuleModel(model);
    QCOMPARE(workflow.model(), found);
    QCOMPARE(workflow.firmware(), QStringLiteral("V1.2.3"));
    // The read went out as the answer was handled, for the model found.
    QCOMPARE(link->sent.mid(2, 1), readAsks(route, found).mid(0, 1));
    const QVector<PortRecord> held = records(found);
    for (const QByteArray &reply : readReplies(route, found, held))
        link->answer(reply);
    QCOMPARE(seen.lines, QStringList{"Read Success"});
    QCOMPARE(workflow.held(), held);
}

void TestModuleWorkflow::snapshotBeforeWrite_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<bool>("readFirst"); // the test reads before the write
    QTest::addColumn<bool>("folderUsable");
    QTest::addColumn<QByteArrayList>("replies");  // to the write's requests (and its read)
    QTest::addColumn<QString>("end");             // the write's finished()
    QTest::addColumn<QByteArrayList>("requests"); // sent for the write
    QTest::addColumn<QString>("outcome");         // the snapshot's write outcome; empty: none

    const ModuleModel T = ModuleModel::Tovrin;
    const Route direct = Route::Direct;
    const Route fc = Route::FlightController;
    const QVector<PortRecord> t0 = records(T);
    const QVector<PortRecord> t1 = withReceive(t0, 2, 17);
    QTest::newRow("after a read: no second read, success noted")
        << direct << true << true << writeAcks(direct, T, 5) << "Write Success"
        << writeAsks(direct, T, t1) << "success";
    QTest::newRow("nothing read yet: read first, then write")
        << fc << false << true << (readReplies(fc, T, t0) + writeAcks(fc, T, 5)) << "Write Success"
        << (readAsks(fc, T) + writeAsks(fc, T, t1)) << "success";
    QTest::newRow("write refused: failure noted")
        << direct << true << true
        << QByteArrayList{frame(direct, T, MSG_WRITE_ALL, QByteArray(1, '\1'), true)}
        << "Write Refused" << writeAsks(direct, T, t1) << "failure";
    QTest::newRow("folder cannot be made: nothing of the write sent")
        << direct << true << false << QByteArrayList{} << "Write NoSnapshot" << QByteArrayList{}
        << QString();
    QTest::newRow("read before the write unanswered: nothing written, no snapshot")
        << direct << false << true << QByteArrayList{QByteArray()} << "Write NoReply"
        << readAsks(direct, T) << QString();
}

// The records the module held before the write, saved before its first
// request; the snapshot's note says what was sent and how it ended.
void TestModuleWorkflow::snapshotBeforeWrite()
{
    QFETCH(Route, route);
    QFETCH(bool, readFirst);
    QFETCH(bool, folderUsable);
    QFETCH(QByteArrayList, replies);
    QFETCH(QString, end);
    QFETCH(QByteArrayList, requests);
    QFETCH(QString, outcome);

    const ModuleModel T = ModuleModel::Tovrin;
    const QVector<PortRecord> t0 = records(T);
    const QVector<PortRecord> t1 = withReceive(t0, 2, 17);
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    // A regular file where the folder's parent should be: no folder can be made.
    QFile blocker(scratch.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString folder = folderUsable ? scratch.filePath(QStringLiteral("history/deep"))
                                        : blocker.fileName() + QStringLiteral("/history");

    ModuleWorkflow workflow;
    workflow.setHistory(folder);
    auto transport = std::make_unique<HandTransport>();
    HandTransport *link = transport.get();
    QVERIFY(workflow.open(route, std::move(transport), QStringLiteral("/dev/ttyUSB0")));
    int answered = 0;
    if (readFirst) {
        const QByteArrayList readScript = readReplies(route, T, t0);
        workflow.read();
        QVERIFY(answerUntilIdle(workflow, link, readScript, &answered));
        QCOMPARE(workflow.held(), t0);
    }
    const int before = link->sent.size();
    Steps seen(workflow);
    QSignalSpy cards(&workflow, &ModuleWorkflow::recordRead);
    workflow.write(t1);
    answered = 0;
    link->sent = link->sent.mid(before);
    QVERIFY(answerUntilIdle(workflow, link, replies, &answered));

    QCOMPARE(seen.lines, QStringList{end});
    QCOMPARE(link->sent, requests);
    QCOMPARE(cards.count(), 0); // the read for the snapshot is no read of the cards
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*.tovrin.json")}, QDir::Files);
    if (outcome.isEmpty()) {
        QVERIFY2(files.isEmpty(), qPrintable(files.join(QLatin1Char(' '))));
        if (!folderUsable) {
            QVERIFY2(workflow.snapshotError().contains(QDir::toNativeSeparators(folder)),
                     qPrintable(workflow.snapshotError()));
        }
        return;
    }
    QCOMPARE(files.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{8}T\\d{6}Z-ttyUSB0-Tovrin\\.tovrin\\.json$"))
                 .match(files.first())
                 .hasMatch(),
             qPrintable(files.first()));
    QCOMPARE(QDir(folder).filePath(files.first()), workflow.snapshotPath());
    ModuleConfig snapshot;
    QString error;
    QVERIFY2(ConfigFile::load(workflow.snapshotPath(), &snapshot, &error), qPrintable(error));
    QCOMPARE(snapshot.ports, t0);
    QFile file(workflow.snapshotPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    WriteNote note;
    QVERIFY(ConfigFile::writeNote(file.readAll(), &note));
    QCOMPARE(note.device, QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(note.sent, t1);
    QCOMPARE(WriteNote::word(note.outcome), outcome);
}

QTEST_GUILESS_MAIN(TestModuleWorkflow)
#include "tst_moduleworkflow.moc"
