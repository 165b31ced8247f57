// tovrin-sim: a stand-in for the module, the flight controller's pass-through
// relay and the ground-station software, for tests and demonstrations.
#include "capturefile.h"
#include "capturereplay.h"
#include "replyscheduler.h"
#include "signalwatcher.h"
#include "simdecoder.h"
#include "simendpoint.h"
#include "simmodule.h"
#include "simptylink.h"
#include "simrecordfile.h"
#include "simseriallink.h"
#include "simudplink.h"

#include "portrecord.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{

const char kDescription[] =
    "Simulates the Tovrin engine (or an R7-Eda device), the flight controller that relays\n"
    "pass-through commands to it, and the ground-station software that relays them over UDP.\n"
    "\n"
    "Routes (any combination, at least one unless --decode):\n"
    "  --serial PATH, --pty  bare commands are answered bare; MSG_FC_FORWARD frames whose header\n"
    "                        is kind F0/F1, direction 80 and this device's code are relayed and\n"
    "                        answered in MSG_FC_RETURN (kind F0 for a 0..7-byte reply, F1 from 8;\n"
    "                        direction 00); pass-through for another device code is dropped.\n"
    "  --udp                 the same relay, but bare commands are dropped.\n"
    "With --pty the slave path is printed alone as the first line of stdout. The simulator runs\n"
    "until SIGINT, SIGTERM or SIGHUP.\n"
    "\n"
    "Signals while running: SIGUSR1 sends the --unasked frames, in order, on every route;\n"
    "SIGUSR2 makes the pty vanish, or come back if it is gone (see --vanish-after).\n"
    "\n"
    "A vanished pty: the master is closed, so a port open on the slave sees a hang-up, and the\n"
    "--link symlink is removed; replies due meanwhile are lost. When it comes back it is a new\n"
    "pty (a slave's name cannot be chosen) with --link pointing at it; the module keeps its\n"
    "records. Neither shows on stdout: the first line stays the only one; stderr logs both.\n"
    "\n"
    "The module answers MSG_VERSION (device code + 3 version bytes), MSG_READ_ALL (all records),\n"
    "MSG_WRITE_ALL (00 stored, 01 refused; exactly ports x 11 bytes), MSG_READ_PORT (index +\n"
    "record; silent for an unknown port) and MSG_WRITE_PORT (the index once stored; silent for\n"
    "an unknown port or a payload other than 12 bytes). Records are checked: kind 0 (UART, only\n"
    "on a port with UART) at %1 with\n"
    "parity 0..2, data 0..1, stop 0..1, level 0..1; kind 1 (CAN, only on %2) at %3 with bytes 5..8 "
    "zero; protocol codes %4.\n"
    "An unsound record is stored with a warning, or refused with --strict.\n"
    "Default records: UART %5 8N1 RS-232, protocols 0 (%6);\n"
    "%7.\n"
    "\n"
    "Record and state files: one line per port, \"port N: \" and 11 hex bytes, e.g.\n"
    "  port 0: 00 00 E1 00 00 00 00 00 00 00 00\n"
    "(# comments and blank lines are skipped when reading). --state is rewritten, by temporary\n"
    "file and rename, at start-up and after every stored write.\n"
    "\n"
    "--decode reads raw bytes from stdin until EOF and prints one line per record the link parser\n"
    "yields: \"id=E2 len=1 data=00\" (identifier in hex, declared length in decimal, payload in "
    "hex).\n"
    "--decode FILE reads a capture (the JSON Lines of --capture) instead and prints its frames,\n"
    "each direction on its own, with the time since its link opened and the direction:\n"
    "\"0.001520 sent id=E2 len=1 data=00\"; a line for each link opened (\"0.000000 open ROUTE\n"
    "DEVICE\") and closed.\n"
    "\n"
    "--replay FILE plays the other side of a capture (the module, the flight controller or the\n"
    "ground station) on every route given, whatever route it was made on: a request that the\n"
    "capture shows (the next one after the last found, else an earlier one) is answered with\n"
    "the chunks received after it there, until the next request, as many, as cut and as late as\n"
    "then (--replay-speed divides the delays). A request the capture does not hold gets no\n"
    "answer. The module's options (--model, --records, --state, the faults) do not apply.\n"
    "A capture with a line that is not a capture line, or cut short, is refused (exit 2) with\n"
    "its line number.\n"
    "\n"
    "Every frame received and sent is logged on stderr, one line each, with its message name.\n"
    "Fault counts (--drop-every, --corrupt-every) run over the reply frames of each route;\n"
    "--unasked-after counts the reply frames each route really sent. Unasked frames are logged\n"
    "like replies with \"(unasked)\" after the name; the faults of replies do not touch them.";

QString hexOf(const QByteArray &record)
{
    return QString::fromLatin1(record.toHex(' ').toUpper());
}

QString numbers(const QVector<quint32> &values)
{
    QStringList texts;
    for (quint32 v : values)
        texts << QString::number(v);
    return texts.join(QLatin1Char(' '));
}

// The protocol codes as runs such as "0..2 or 16..127".
QString protocolCodeRuns()
{
    QStringList runs;
    int first = PortRecord::protocolCode(0);
    for (int position = 1; position <= PortRecord::MaxProtocolPosition + 1; ++position) {
        const int previous = PortRecord::protocolCode(position - 1);
        const int code = PortRecord::protocolCode(position);
        if (code == previous + 1)
            continue;
        runs << QStringLiteral("%1..%2").arg(first).arg(previous);
        first = code;
    }
    return runs.join(QStringLiteral(" or "));
}

// The description with the module tables filled in. Its line breaks are set
// by hand; the models' CAN ports are one to a line.
QString description()
{
    QStringList canPorts; // "Tovrin ports 2 and 4"
    QStringList canOnly;  // "R7 port 5: CAN 1000000 (01 40 42 ..)"
    for (ModuleModel model : SimModule::models()) {
        const QList<QByteArray> records = SimModule::defaultRecords(model);
        QStringList ports;
        for (int i = 0; i < ModuleProfile::portCount(model); ++i) {
            const PortTraits traits = ModuleProfile::port(model, i);
            if (traits.canOffered)
                ports << QString::number(i);
            if (!traits.uartOffered)
                canOnly << QStringLiteral("%1 port %2: CAN %3 (%4)")
                               .arg(SimModule::shortName(model))
                               .arg(i)
                               .arg(PortRecord(records.at(i)).rate())
                               .arg(hexOf(records.at(i)));
        }
        if (!ports.isEmpty())
            canPorts << QStringLiteral("%1 %2 %3")
                            .arg(SimModule::shortName(model),
                                 ports.size() == 1 ? QStringLiteral("port")
                                                   : QStringLiteral("ports"),
                                 ports.join(QStringLiteral(" and ")));
    }
    const PortSettings uart;
    return QString::fromLatin1(kDescription)
        .arg(numbers(PortRecord::uartBaudRates()), canPorts.join(QStringLiteral(" and\n")),
             numbers(PortRecord::canBitRates()), protocolCodeRuns(), QString::number(uart.baud),
             hexOf(PortRecord::encode(uart).bytes()), canOnly.join(QStringLiteral(";\n")));
}

struct Options {
    ModuleModel model = ModuleModel::Tovrin;
    quint8 firmware[3] = {1, 0, 7};
    QString recordsPath;
    QString statePath;
    bool strict = false;
    QString serialPath;
    bool pty = false;
    bool udp = false;
    quint16 udpListenPort = 5161;
    quint16 udpReplyPort = 6161;
    SimFaults faults;
    quint32 seed = 0;
    bool decode = false;
    QString decodePath; // --decode FILE: a capture
    QString replayPath;
    double replaySpeed = 1.0;
    QString linkPath;
    int vanishAfterMs = -1; // -1: only SIGUSR2 makes the pty vanish
    int returnAfterMs = -1;
    int vanishAtWrite = 0; // 0: no write makes the pty vanish
};

void logLine(const QString &line)
{
    std::fprintf(stderr, "tovrin-sim: %s\n", line.toLocal8Bit().constData());
}

[[noreturn]] void usageError(const QString &message)
{
    logLine(message);
    std::exit(2);
}

int positive(const QCommandLineParser &parser, const QString &name, int min)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < min)
        usageError(QStringLiteral("--%1 wants a whole number of at least %2").arg(name).arg(min));
    return value;
}

int byteValue(const QCommandLineParser &parser, const QString &name)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok, 0);
    if (!ok || value < 0 || value > 255)
        usageError(QStringLiteral("--%1 wants a number 0..255 (0x.. for hex)").arg(name));
    return value;
}

QByteArray hexFrame(const QString &text)
{
    QString digits = text;
    digits.remove(QLatin1Char(' '));
    static const QRegularExpression hexOnly(QStringLiteral("^([0-9A-Fa-f]{2})+$"));
    if (!hexOnly.match(digits).hasMatch())
        usageError(QStringLiteral("--unasked wants bytes in hex such as \"AB 0E 05 F3 01 00 ..\", "
                                  "not %1")
                       .arg(text));
    return QByteArray::fromHex(digits.toLatin1());
}

Options parseOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    parser.addHelpOption();
    auto add = [&parser](const QString &name, const QString &help, const QString &value = QString(),
                         const QString &defaultValue = QString()) {
        parser.addOption(QCommandLineOption(name, help, value, defaultValue));
    };
    QStringList modelNames;
    QStringList modelTexts;
    for (ModuleModel model : SimModule::models()) {
        modelNames << SimModule::optionName(model);
        modelTexts << QStringLiteral("%1 (device 0x%2, %3 ports%4)")
                          .arg(modelNames.last(),
                               QString::number(ModuleProfile::deviceCode(model), 16)
                                   .toUpper()
                                   .rightJustified(2, QLatin1Char('0')),
                               QString::number(ModuleProfile::portCount(model)),
                               model == Options().model ? QStringLiteral("; the default")
                                                        : QString());
    }
    add(QStringLiteral("model"),
        QStringLiteral("Module model: %1.").arg(modelTexts.join(QStringLiteral(" or "))),
        modelNames.join(QLatin1Char('|')), SimModule::optionName(Options().model));
    add(QStringLiteral("firmware"),
        QStringLiteral(
            "Firmware version in the version reply, three numbers 0..255 (default 1.0.7)."),
        QStringLiteral("x.y.z"), QStringLiteral("1.0.7"));
    add(QStringLiteral("records"),
        QStringLiteral("Load the port records from FILE (format above)."), QStringLiteral("FILE"));
    add(QStringLiteral("state"),
        QStringLiteral("Keep FILE up to date with the current port records."),
        QStringLiteral("FILE"));
    add(QStringLiteral("strict"),
        QStringLiteral("Refuse unsound records: write-all answers 01 and stores nothing, "
                       "write-port sends no acknowledgement."));
    add(QStringLiteral("serial"),
        QStringLiteral("Serve the existing serial device PATH at 115200 8N1."),
        QStringLiteral("PATH"));
    add(QStringLiteral("pty"),
        QStringLiteral("Make a pseudo-terminal pair and serve its master; print the slave path."));
    add(QStringLiteral("udp"),
        QStringLiteral("Act as the ground-station software on 127.0.0.1 (pass-through only)."));
    add(QStringLiteral("udp-listen-port"),
        QStringLiteral("UDP port the datagrams arrive on (default 5161)."), QStringLiteral("PORT"),
        QStringLiteral("5161"));
    add(QStringLiteral("udp-reply-port"),
        QStringLiteral("UDP port the answers are sent to (default 6161)."), QStringLiteral("PORT"),
        QStringLiteral("6161"));
    add(QStringLiteral("baud-pacing"),
        QStringLiteral("Hold every reply for its wire time at 115200 baud, 10 bits a byte; "
                       "replies queue behind each other as on a line."));
    add(QStringLiteral("drop-every"),
        QStringLiteral("Lose every Nth reply frame (the command still takes effect)."),
        QStringLiteral("N"));
    add(QStringLiteral("corrupt-every"),
        QStringLiteral("Spoil the checksum (low byte inverted) of every Nth reply frame."),
        QStringLiteral("N"));
    add(QStringLiteral("garbage"),
        QStringLiteral("Send the stray bytes 00 FF 0E AB 00 before every reply frame."));
    add(QStringLiteral("split"),
        QStringLiteral("Write every reply in random pieces of 1 to 4 bytes, 3 ms apart "
                       "(separate datagrams on UDP)."));
    add(QStringLiteral("delay"),
        QStringLiteral("Hold every reply, relayed ones included, until MS milliseconds after its "
                       "request arrived (later if an earlier reply is still held)."),
        QStringLiteral("MS"));
    add(QStringLiteral("fail-writes"),
        QStringLiteral("Store nothing: write-all answers 01, write-port gets no acknowledgement."));
    add(QStringLiteral("wrong-length"),
        QStringLiteral("Every reply one byte short (version 3 bytes, read-all ports x 11 - 1, "
                       "read-port 11); one-byte acknowledgements get a stray 00 (2 bytes)."));
    add(QStringLiteral("wrong-index"),
        QStringLiteral("Read-port replies carry the port index with bit 7 flipped (0 -> 0x80)."));
    add(QStringLiteral("ack-index"),
        QStringLiteral("Every write-port acknowledgement carries index N (0..255) instead of the "
                       "port written; the record is still stored for the port written."),
        QStringLiteral("N"));
    add(QStringLiteral("stuck-read-index"),
        QStringLiteral("Every read-port reply carries index N (0..255) and the record of port N "
                       "(11 zero bytes for a port the module lacks), whatever port was asked."),
        QStringLiteral("N"));
    add(QStringLiteral("unasked"),
        QStringLiteral("A frame (hex, spaces allowed, sent as given) to send unasked on every "
                       "route on SIGUSR1; repeat for more, sent in order."),
        QStringLiteral("HEX"));
    add(QStringLiteral("unasked-after"),
        QStringLiteral("Also send the --unasked frames once, right after the Nth reply frame a "
                       "route sent (N >= 1)."),
        QStringLiteral("N"));
    add(QStringLiteral("link"),
        QStringLiteral("With --pty, keep a symlink at PATH to the current slave (replaced if it "
                       "exists, removed at the end)."),
        QStringLiteral("PATH"));
    add(QStringLiteral("vanish-after"),
        QStringLiteral("With --pty, make the pty vanish MS milliseconds after start (SIGUSR2 "
                       "does it at any time)."),
        QStringLiteral("MS"));
    add(QStringLiteral("return-after"),
        QStringLiteral("Bring the pty back, new, MS milliseconds after start (more than "
                       "--vanish-after)."),
        QStringLiteral("MS"));
    add(QStringLiteral("vanish-at-write"),
        QStringLiteral("With --pty, make the pty vanish as the module stores its Nth write (a "
                       "whole write or one port's); that write's answer is lost."),
        QStringLiteral("N"));
    add(QStringLiteral("seed"),
        QStringLiteral("Seed for the pieces of --split (random by default, logged)."),
        QStringLiteral("N"));
    add(QStringLiteral("decode"),
        QStringLiteral("Decode raw bytes from stdin, or the capture FILE given after it, instead "
                       "of simulating (formats above)."));
    add(QStringLiteral("replay"),
        QStringLiteral("Answer as the capture FILE shows instead of simulating the module (see "
                       "above)."),
        QStringLiteral("FILE"));
    add(QStringLiteral("replay-speed"),
        QStringLiteral("With --replay, play the capture X times as fast (default 1; 0.5 is half "
                       "as fast)."),
        QStringLiteral("X"), QStringLiteral("1"));
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    const bool decodeFile = parser.isSet(QStringLiteral("decode")) && positional.size() == 1;
    if (!positional.isEmpty() && !decodeFile)
        usageError(QStringLiteral("unexpected argument %1").arg(positional.last()));

    Options o;
    const QString model = parser.value(QStringLiteral("model"));
    const int modelIndex = modelNames.indexOf(model);
    if (modelIndex < 0)
        usageError(QStringLiteral("--model wants %1, not %2")
                       .arg(modelNames.join(QStringLiteral(" or ")), model));
    o.model = SimModule::models().at(modelIndex);

    const QStringList parts = parser.value(QStringLiteral("firmware")).split(QLatin1Char('.'));
    bool versionOk = parts.size() == 3;
    for (int i = 0; versionOk && i < 3; ++i) {
        const uint v = parts.at(i).toUInt(&versionOk);
        versionOk = versionOk && v <= 255;
        o.firmware[i] = static_cast<quint8>(v);
    }
    if (!versionOk)
        usageError(QStringLiteral("--firmware wants three numbers 0..255 such as 1.0.7"));

    o.recordsPath = parser.value(QStringLiteral("records"));
    o.statePath = parser.value(QStringLiteral("state"));
    o.strict = parser.isSet(QStringLiteral("strict"));
    o.serialPath = parser.value(QStringLiteral("serial"));
    o.pty = parser.isSet(QStringLiteral("pty"));
    o.udp = parser.isSet(QStringLiteral("udp"));
    for (auto [name, port] : {std::make_pair(QStringLiteral("udp-listen-port"), &o.udpListenPort),
                              std::make_pair(QStringLiteral("udp-reply-port"), &o.udpReplyPort)}) {
        const int value = positive(parser, name, 1);
        if (value > 65535)
            usageError(QStringLiteral("--%1 wants a port number 1..65535").arg(name));
        *port = static_cast<quint16>(value);
    }

    SimFaults &f = o.faults;
    f.baudPacing = parser.isSet(QStringLiteral("baud-pacing"));
    if (parser.isSet(QStringLiteral("drop-every")))
        f.dropEvery = positive(parser, QStringLiteral("drop-every"), 1);
    if (parser.isSet(QStringLiteral("corrupt-every")))
        f.corruptEvery = positive(parser, QStringLiteral("corrupt-every"), 1);
    f.garbage = parser.isSet(QStringLiteral("garbage"));
    f.split = parser.isSet(QStringLiteral("split"));
    if (parser.isSet(QStringLiteral("delay")))
        f.delayMs = positive(parser, QStringLiteral("delay"), 0);
    f.failWrites = parser.isSet(QStringLiteral("fail-writes"));
    f.wrongLength = parser.isSet(QStringLiteral("wrong-length"));
    f.wrongIndex = parser.isSet(QStringLiteral("wrong-index"));
    if (parser.isSet(QStringLiteral("ack-index")))
        f.ackIndex = byteValue(parser, QStringLiteral("ack-index"));
    if (parser.isSet(QStringLiteral("stuck-read-index")))
        f.stuckReadIndex = byteValue(parser, QStringLiteral("stuck-read-index"));
    for (const QString &text : parser.values(QStringLiteral("unasked")))
        f.unasked.append(hexFrame(text));
    if (parser.isSet(QStringLiteral("unasked-after"))) {
        f.unaskedAfter = positive(parser, QStringLiteral("unasked-after"), 1);
        if (f.unasked.isEmpty())
            usageError(QStringLiteral("--unasked-after wants --unasked frames to send"));
    }
    if (parser.isSet(QStringLiteral("seed"))) {
        bool ok = false;
        o.seed = parser.value(QStringLiteral("seed")).toUInt(&ok);
        if (!ok)
            usageError(QStringLiteral("--seed wants a whole number"));
    } else {
        o.seed = QRandomGenerator::global()->generate();
    }
    o.decode = parser.isSet(QStringLiteral("decode"));
    if (decodeFile)
        o.decodePath = positional.first();
    o.replayPath = parser.value(QStringLiteral("replay"));
    if (parser.isSet(QStringLiteral("replay-speed"))) {
        bool ok = false;
        o.replaySpeed = parser.value(QStringLiteral("replay-speed")).toDouble(&ok);
        if (!ok || !(o.replaySpeed > 0) || o.replaySpeed > 1000)
            usageError(QStringLiteral("--replay-speed wants a number above 0, up to 1000"));
        if (o.replayPath.isEmpty())
            usageError(QStringLiteral("--replay-speed needs --replay"));
    }
    if (o.decode && !o.replayPath.isEmpty())
        usageError(QStringLiteral("--decode and --replay exclude each other"));
    o.linkPath = parser.value(QStringLiteral("link"));
    if (parser.isSet(QStringLiteral("vanish-after")))
        o.vanishAfterMs = positive(parser, QStringLiteral("vanish-after"), 0);
    if (parser.isSet(QStringLiteral("return-after"))) {
        o.returnAfterMs = positive(parser, QStringLiteral("return-after"), 0);
        if (o.returnAfterMs <= o.vanishAfterMs || o.vanishAfterMs < 0)
            usageError(QStringLiteral("--return-after wants a time after --vanish-after"));
    }
    if (parser.isSet(QStringLiteral("vanish-at-write")))
        o.vanishAtWrite = positive(parser, QStringLiteral("vanish-at-write"), 1);
    for (const char *name : {"link", "vanish-after", "return-after", "vanish-at-write"})
        if (parser.isSet(QLatin1String(name)) && !o.pty)
            usageError(QStringLiteral("--%1 needs --pty").arg(QLatin1String(name)));
    if (!o.decode && o.serialPath.isEmpty() && !o.pty && !o.udp)
        usageError(QStringLiteral(
            "nothing to serve: give --serial PATH, --pty or --udp (or --decode); see --help"));
    return o;
}

int runDecodeCapture(const QString &path)
{
    CaptureFile capture;
    QString error;
    if (!capture.load(path, &error)) {
        logLine(error);
        return 2;
    }
    for (const QString &line : capture.describe())
        std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
    return 0;
}

int runDecode()
{
    SimDecoder decoder;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            logLine(QStringLiteral("reading stdin failed"));
            return 1;
        }
        for (const QString &line : decoder.feed(QByteArray(buffer, static_cast<int>(n))))
            std::printf("%s\n", line.toLatin1().constData());
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tovrin-sim"));
    const Options o = parseOptions(app);
    if (o.decode)
        return o.decodePath.isEmpty() ? runDecode() : runDecodeCapture(o.decodePath);
    CaptureFile capture;
    QString error;
    if (!o.replayPath.isEmpty() && !capture.load(o.replayPath, &error)) {
        logLine(error);
        return 2;
    }

    SignalWatcher watcher;
    if (!watcher.install(&error)) {
        logLine(error);
        return 1;
    }
    QObject::connect(&watcher, &SignalWatcher::terminationRequested, &app, [](int sig) {
        logLine(QStringLiteral("signal %1, shutting down").arg(sig));
        QCoreApplication::exit(0);
    });

    SimModule module(o.model);
    QObject::connect(&module, &SimModule::logLine,
                     [](const QString &line) { logLine(QStringLiteral("module ") + line); });
    module.setFirmware(o.firmware[0], o.firmware[1], o.firmware[2]);
    module.setStrict(o.strict);
    module.setFaults(o.faults);
    if (!o.recordsPath.isEmpty()) {
        QList<QByteArray> records;
        if (!SimRecordFile::load(o.recordsPath, module.portCount(), &records, &error) ||
            !module.setRecords(records)) {
            logLine(error);
            return 2;
        }
    }
    if (!o.statePath.isEmpty() && o.replayPath.isEmpty()) {
        auto saveState = [&module, path = o.statePath]() {
            QString why;
            if (!SimRecordFile::save(path, module.records(), &why))
                logLine(QStringLiteral("state file: ") + why);
        };
        saveState();
        QObject::connect(&module, &SimModule::recordsChanged, saveState);
    }

    struct Route {
        std::unique_ptr<SimLink> link;
        std::unique_ptr<SimEndpoint> endpoint;
        std::unique_ptr<ReplyScheduler> scheduler;
        std::unique_ptr<CaptureReplay> replay;
    };
    std::vector<Route> routes;
    // A link that fails ends the simulator, saying why.
    const auto endOnFailure = [&app](SimLink *link) {
        QObject::connect(link, &SimLink::failed, &app, [](const QString &why) {
            logLine(why);
            QCoreApplication::exit(1);
        });
    };
    auto addRoute = [&](std::unique_ptr<SimLink> link, SimEndpoint::Route kind) -> SimLink * {
        Route r;
        r.link = std::move(link);
        if (!o.replayPath.isEmpty()) {
            r.replay = std::make_unique<CaptureReplay>(capture, o.replaySpeed,
                                                       kind == SimEndpoint::Route::GroundStation
                                                           ? QStringLiteral("udp")
                                                           : QStringLiteral("serial"));
            SimLink *l = r.link.get();
            CaptureReplay *p = r.replay.get();
            QObject::connect(p, &CaptureReplay::logLine, logLine);
            QObject::connect(l, &SimLink::received, p, &CaptureReplay::receive);
            QObject::connect(p, &CaptureReplay::write, l,
                             [l](const QByteArray &bytes) { l->send(bytes); });
            endOnFailure(l);
            routes.push_back(std::move(r));
            return l;
        }
        r.endpoint = std::make_unique<SimEndpoint>(&module, kind, o.faults);
        r.scheduler = std::make_unique<ReplyScheduler>(
            o.faults, o.seed + static_cast<quint32>(routes.size()));
        SimLink *l = r.link.get();
        SimEndpoint *e = r.endpoint.get();
        ReplyScheduler *s = r.scheduler.get();
        QObject::connect(e, &SimEndpoint::logLine, logLine);
        QObject::connect(l, &SimLink::received, s, [e, s](const QByteArray &bytes) {
            for (const QByteArray &frame : e->receive(bytes))
                s->enqueue(frame);
        });
        QObject::connect(s, &ReplyScheduler::write, l,
                         [l](const QByteArray &bytes) { l->send(bytes); });
        endOnFailure(l);
        routes.push_back(std::move(r));
        return l;
    };

    if (!o.serialPath.isEmpty()) {
        SimLink *l =
            addRoute(std::make_unique<SimSerialLink>(o.serialPath), SimEndpoint::Route::Serial);
        if (!l->open(&error)) {
            logLine(error);
            return 1;
        }
        logLine(QStringLiteral("serving %1 at 115200 8N1").arg(o.serialPath));
    }
    SimPtyLink *pty = nullptr;
    if (o.pty) {
        auto link = std::make_unique<SimPtyLink>();
        pty = link.get();
        pty->setLinkPath(o.linkPath);
        addRoute(std::move(link), SimEndpoint::Route::Serial);
        if (!pty->open(&error)) {
            logLine(error);
            return 1;
        }
        std::printf("%s\n", pty->slavePath().toLocal8Bit().constData());
        std::fflush(stdout);
        logLine(QStringLiteral("serving pty %1").arg(pty->slavePath()) +
                (o.linkPath.isEmpty() ? QString() : QStringLiteral(", link ") + o.linkPath));
    }
    if (o.udp) {
        SimLink *l = addRoute(std::make_unique<SimUdpLink>(o.udpListenPort, o.udpReplyPort),
                              SimEndpoint::Route::GroundStation);
        if (!l->open(&error)) {
            logLine(error);
            return 1;
        }
        logLine(QStringLiteral("ground station on 127.0.0.1:%1, answers to port %2")
                    .arg(o.udpListenPort)
                    .arg(o.udpReplyPort));
    }
    if (!o.replayPath.isEmpty())
        logLine(QStringLiteral("replaying %1: %2 link(s), %3 request(s), speed %4")
                    .arg(o.replayPath)
                    .arg(capture.links().size())
                    .arg(routes.front().replay->exchanges())
                    .arg(o.replaySpeed));
    else
        logLine(QStringLiteral("module %1, device 0x%2, firmware %3.%4.%5, %6 ports%7, seed %8")
                    .arg(SimModule::optionName(o.model))
                    .arg(module.deviceCode(), 2, 16, QLatin1Char('0'))
                    .arg(o.firmware[0])
                    .arg(o.firmware[1])
                    .arg(o.firmware[2])
                    .arg(module.portCount())
                    .arg(o.strict ? QStringLiteral(", strict") : QString())
                    .arg(o.seed));

    auto vanish = [pty] {
        if (!pty->isOpen())
            return;
        pty->vanish();
        logLine(QStringLiteral("pty %1 vanished").arg(pty->slavePath()));
    };
    auto comeBack = [pty] {
        if (pty->isOpen())
            return;
        QString why;
        if (!pty->open(&why)) {
            logLine(why);
            QCoreApplication::exit(1);
            return;
        }
        logLine(QStringLiteral("pty back as %1").arg(pty->slavePath()));
    };
    if (o.vanishAfterMs >= 0)
        QTimer::singleShot(o.vanishAfterMs, &app, vanish);
    if (o.vanishAtWrite > 0) {
        // Before the answer is sent: the module holds the records, the
        // program never hears so.
        QObject::connect(&module, &SimModule::recordsChanged, &app,
                         [vanish, left = o.vanishAtWrite]() mutable {
                             if (--left == 0)
                                 vanish();
                         });
    }
    if (o.returnAfterMs >= 0)
        QTimer::singleShot(o.returnAfterMs, &app, comeBack);
    QObject::connect(&watcher, &SignalWatcher::userSignal, &app, [&](int sig) {
        if (sig == SIGUSR1) {
            logLine(QStringLiteral("SIGUSR1: %1 unasked frame(s)").arg(o.faults.unasked.size()));
            for (Route &r : routes)
                for (const QByteArray &frame :
                     r.endpoint ? r.endpoint->unasked() : QList<QByteArray>())
                    r.scheduler->enqueue(frame, ReplyScheduler::Timing::Unasked);
        } else if (!pty) {
            logLine(QStringLiteral("SIGUSR2 ignored: no pty"));
        } else if (pty->isOpen()) {
            vanish();
        } else {
            comeBack();
        }
    });
    logLine(QStringLiteral("ready"));

    const int code = QCoreApplication::exec();
    routes.clear();
    return code;
}
