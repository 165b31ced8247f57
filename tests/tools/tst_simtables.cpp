// The simulated module against the program's own tables: every model the
// profile knows, every port, every rate of both lists and the edges of the
// protocol codes. The module stores what a port card takes
// (PortRecord::refusal) and refuses what a card refuses; on top of that it
// refuses line bytes outside their lists, a CAN record with line bytes and a
// protocol code that no list position has.
#include "linkframe.h"
#include "moduleprofile.h"
#include "portrecord.h"
#include "simmodule.h"

#include <QtTest>

namespace
{

// Every model, found through the device codes the profile accepts.
QVector<ModuleModel> profileModels()
{
    QVector<ModuleModel> models;
    for (int code = 0; code <= 0xFF; ++code) {
        ModuleModel model;
        if (ModuleProfile::modelForDeviceCode(quint8(code), &model))
            models.append(model);
    }
    return models;
}

struct Line {
    quint8 parity = 0;
    quint8 dataBits = 0;
    quint8 stopBits = 0;
    quint8 level = 0;
};

QByteArray recordOf(quint8 kind, quint32 rate, const Line &line = Line(), quint8 rx = 0,
                    quint8 tx = 0)
{
    QByteArray record(1, char(kind));
    PortRecord::appendRate(record, rate);
    record.append(char(line.parity));
    record.append(char(line.dataBits));
    record.append(char(line.stopBits));
    record.append(char(line.level));
    record.append(char(rx));
    record.append(char(tx));
    return record;
}

bool codeListed(quint8 code)
{
    for (int position = 0; position <= PortRecord::MaxProtocolPosition; ++position)
        if (PortRecord::protocolCode(position) == code)
            return true;
    return false;
}

QByteArray name(ModuleModel model, int port, const QString &what)
{
    return QStringLiteral("%1 port %2 %3")
        .arg(ModuleProfile::name(model))
        .arg(port)
        .arg(what)
        .toLatin1();
}

} // namespace

Q_DECLARE_METATYPE(ModuleModel)

class TestSimTables : public QObject
{
    Q_OBJECT
private slots:
    void models();
    void records_data();
    void records();
};

void TestSimTables::models()
{
    const QVector<ModuleModel> models = profileModels();
    QVERIFY(models.size() >= 2);
    QCOMPARE(SimModule::models(), models);
    for (ModuleModel model : models) {
        SimModule module(model);
        QCOMPARE(module.deviceCode(), ModuleProfile::deviceCode(model));
        QCOMPARE(module.portCount(), ModuleProfile::portCount(model));
        QCOMPARE(quint8(module.answer(MSG_VERSION, QByteArray(1, '\0'))->at(0)),
                 ModuleProfile::deviceCode(model));
        QCOMPARE(module.answer(MSG_READ_ALL, QByteArray(1, '\0'))->size(),
                 ModuleProfile::portCount(model) * PortRecord::Size);
        // What it holds when given nothing is sound to the card and to itself.
        const QList<QByteArray> defaults = module.records();
        QCOMPARE(defaults.size(), ModuleProfile::portCount(model));
        for (int port = 0; port < defaults.size(); ++port) {
            QCOMPARE(PortRecord(defaults.at(port)).refusal(ModuleProfile::port(model, port)),
                     PortRecord::Refusal::None);
            QCOMPARE(module.recordProblems(port, defaults.at(port)), QStringList());
        }
    }
}

void TestSimTables::records_data()
{
    QTest::addColumn<ModuleModel>("model");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<bool>("moduleRuleKept"); // the module's own rules on top of the card's

    QVector<quint32> rates = PortRecord::uartBaudRates() + PortRecord::canBitRates();
    // Off the lists: nothing, one above a listed rate on either list.
    rates << 0 << PortRecord::uartBaudRates().first() + 1 << PortRecord::canBitRates().first() + 1;

    for (ModuleModel model : profileModels()) {
        for (int port = 0; port < ModuleProfile::portCount(model); ++port) {
            for (quint32 rate : rates) {
                QTest::newRow(name(model, port, QStringLiteral("UART %1").arg(rate)))
                    << model << port << recordOf(PortRecord::Uart, rate) << true;
                QTest::newRow(name(model, port, QStringLiteral("CAN %1").arg(rate)))
                    << model << port << recordOf(PortRecord::Can, rate) << true;
            }
            for (quint8 kind : {quint8(2), quint8(0xFF)})
                QTest::newRow(name(model, port, QStringLiteral("kind %1").arg(kind)))
                    << model << port << recordOf(kind, PortRecord::uartBaudRates().first()) << true;

            // Line bytes at and past the ends of their lists.
            const quint32 baud = PortRecord::uartBaudRates().last();
            const struct {
                const char *what;
                Line line;
                bool kept;
            } lines[] = {
                {"odd parity, 9 data, 2 stop, RS-422", {2, 1, 1, 1}, true},
                {"parity 3", {3, 0, 0, 0}, false},
                {"data bits 2", {0, 2, 0, 0}, false},
                {"stop bits 2", {0, 0, 2, 0}, false},
                {"level 2", {0, 0, 0, 2}, false},
            };
            for (const auto &l : lines)
                QTest::newRow(name(model, port, QStringLiteral("UART ") + QLatin1String(l.what)))
                    << model << port << recordOf(PortRecord::Uart, baud, l.line) << l.kept;
            const quint32 bitRate = PortRecord::canBitRates().last();
            const Line canLines[] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
            for (int i = 0; i < 4; ++i)
                QTest::newRow(name(model, port, QStringLiteral("CAN line byte %1").arg(5 + i)))
                    << model << port << recordOf(PortRecord::Can, bitRate, canLines[i]) << false;

            // Protocol codes at the edges of their runs, received and sent.
            const quint32 uartRate = PortRecord::uartBaudRates().first();
            const quint32 canRate = PortRecord::canBitRates().first();
            for (int code : {0, 2, 3, 15, 16, 127, 128, 255}) {
                const bool listed = codeListed(quint8(code));
                for (quint8 kind : {quint8(PortRecord::Uart), quint8(PortRecord::Can)}) {
                    const quint32 rate = kind == PortRecord::Uart ? uartRate : canRate;
                    const QString k =
                        kind == PortRecord::Uart ? QStringLiteral("UART") : QStringLiteral("CAN");
                    QTest::newRow(
                        name(model, port, k + QStringLiteral(" receive code %1").arg(code)))
                        << model << port << recordOf(kind, rate, Line(), quint8(code), 0) << listed;
                    QTest::newRow(name(model, port, k + QStringLiteral(" send code %1").arg(code)))
                        << model << port << recordOf(kind, rate, Line(), 0, quint8(code)) << listed;
                }
            }
        }
    }
}

void TestSimTables::records()
{
    QFETCH(ModuleModel, model);
    QFETCH(int, port);
    QFETCH(QByteArray, record);
    QFETCH(bool, moduleRuleKept);

    const bool cardTakes =
        PortRecord(record).refusal(ModuleProfile::port(model, port)) == PortRecord::Refusal::None;
    const bool sound = cardTakes && moduleRuleKept;
    SimModule module(model);
    QCOMPARE(module.recordProblems(port, record).isEmpty(), sound);

    // A strict module stores and acknowledges exactly the sound records.
    module.setStrict(true);
    const QList<QByteArray> before = module.records();
    const std::optional<QByteArray> ack =
        module.answer(MSG_WRITE_PORT, QByteArray(1, char(port)) + record);
    QCOMPARE(ack.has_value(), sound);
    QCOMPARE(module.records().at(port), sound ? record : before.at(port));

    // Without --strict an unsound record is stored all the same.
    module.setStrict(false);
    QCOMPARE(module.answer(MSG_WRITE_PORT, QByteArray(1, char(port)) + record),
             std::optional<QByteArray>(QByteArray(1, char(port))));
    QCOMPARE(module.records().at(port), record);
}

QTEST_GUILESS_MAIN(TestSimTables)
#include "tst_simtables.moc"
