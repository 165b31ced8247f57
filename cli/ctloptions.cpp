#include "ctloptions.h"

#include "writehistory.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QMap>

namespace
{
QCommandLineOption option(const QStringList &names, const QString &valueName = QString())
{
    // The help text is written out in helpText(); the parser only reads.
    return valueName.isEmpty() ? QCommandLineOption(names)
                               : QCommandLineOption(names, QString(), valueName);
}

// The provisioning words: --report, and --watch with --all-serial.
bool parseProvision(const QCommandLineParser &parser, const QCommandLineOption &report,
                    const QCommandLineOption &watch, const QCommandLineOption &allSerial,
                    CtlOptions *parsed, QString *error)
{
    const bool provision = parsed->command == CtlOptions::Command::Provision;
    if (!provision && (parser.isSet(report) || parser.isSet(watch) || parser.isSet(allSerial))) {
        *error = QStringLiteral("--report, --watch and --all-serial belong to 'provision'.");
        return false;
    }
    if (!provision)
        return true;
    if (parser.isSet(report)) {
        parsed->report = parser.value(report);
        if (parsed->report.isEmpty()) {
            *error = QStringLiteral("--report needs a file.");
            return false;
        }
    }
    parsed->watch = parser.isSet(watch);
    parsed->allSerial = parser.isSet(allSerial);
    if (parsed->allSerial && !parsed->watch) {
        *error = QStringLiteral("--all-serial belongs to 'provision --watch'.");
        return false;
    }
    if (parsed->watch && parser.isSet(QStringLiteral("ground-station"))) {
        *error = QStringLiteral("--watch watches serial devices: it takes --port or --all-serial.");
        return false;
    }
    return true;
}
} // namespace

bool CtlOptions::parse(const QStringList &arguments, CtlOptions *options, QString *error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = option({QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version = option({QStringLiteral("version")});
    const QCommandLineOption port = option({QStringLiteral("port")}, QStringLiteral("device"));
    const QCommandLineOption viaFc = option({QStringLiteral("via-fc")});
    const QCommandLineOption groundStation = option({QStringLiteral("ground-station")});
    const QCommandLineOption model = option({QStringLiteral("model")}, QStringLiteral("model"));
    const QCommandLineOption output =
        option({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("path"));
    const QCommandLineOption yes = option({QStringLiteral("yes")});
    const QCommandLineOption verify = option({QStringLiteral("verify")});
    const QCommandLineOption json = option({QStringLiteral("json")});
    const QCommandLineOption retries = option({QStringLiteral("retries")}, QStringLiteral("n"));
    const QCommandLineOption history =
        option({QStringLiteral("history")}, QStringLiteral("folder"));
    const QCommandLineOption noHistory = option({QStringLiteral("no-history")});
    const QCommandLineOption last = option({QStringLiteral("last")});
    const QCommandLineOption overlay = option({QStringLiteral("overlay")}, QStringLiteral("file"));
    const QCommandLineOption report = option({QStringLiteral("report")}, QStringLiteral("path"));
    const QCommandLineOption watch = option({QStringLiteral("watch")});
    const QCommandLineOption allSerial = option({QStringLiteral("all-serial")});
    parser.addOptions({help, version, port, viaFc, groundStation, model, output, yes, verify, json,
                       retries, history, noHistory, last, overlay, report, watch, allSerial});
    const QCommandLineOption capture = option({QStringLiteral("capture")}, QStringLiteral("path"));
    parser.addOption(capture);

    CtlOptions parsed;
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(help)) {
        options->help = true;
        return true;
    }
    if (parser.isSet(version)) {
        options->version = true;
        return true;
    }

    const QStringList words = parser.positionalArguments();
    if (words.isEmpty()) {
        *error = QStringLiteral("No command given (version, read, diff, write or provision).");
        return false;
    }
    const QString command = words.first();
    int wanted = 1;
    if (command == QLatin1String("version")) {
        parsed.command = Command::Version;
    } else if (command == QLatin1String("read")) {
        parsed.command = Command::Read;
    } else if (command == QLatin1String("diff")) {
        parsed.command = Command::Diff;
        wanted = 2;
    } else if (command == QLatin1String("write")) {
        parsed.command = Command::Write;
        wanted = 2;
    } else if (command == QLatin1String("restore")) {
        parsed.command = Command::Write;
        parsed.restore = true;
        parsed.last = parser.isSet(last);
        wanted = parsed.last ? 1 : 2;
        if (parsed.last && words.size() > 1) {
            *error = QStringLiteral("restore takes a snapshot file or --last, not both.");
            return false;
        }
    } else if (command == QLatin1String("history")) {
        parsed.command = Command::History;
    } else if (command == QLatin1String("provision")) {
        parsed.command = Command::Provision;
        parsed.files = words.mid(1);
        wanted = qMax(2, int(words.size()));
    } else {
        *error = QStringLiteral("Unknown command '%1' (version, read, diff, write or provision).")
                     .arg(command);
        return false;
    }
    if (parser.isSet(last) && !parsed.restore) {
        *error = QStringLiteral("--last belongs to 'restore'.");
        return false;
    }
    if (parsed.restore && words.size() < wanted) {
        *error = QStringLiteral("'restore' needs a snapshot file or --last.");
        return false;
    }
    if (words.size() < wanted) {
        *error = QStringLiteral("'%1' needs a configuration file.").arg(command);
        return false;
    }
    if (words.size() > wanted) {
        *error = QStringLiteral("Unexpected argument '%1'.").arg(words.at(wanted));
        return false;
    }
    if (wanted == 2 && parsed.command != Command::Provision)
        parsed.file = words.at(1);
    if (!parseProvision(parser, report, watch, allSerial, &parsed, error))
        return false;
    if (parser.isSet(overlay)) {
        if ((parsed.command != Command::Write && parsed.command != Command::Diff) ||
            parsed.restore) {
            *error = QStringLiteral("--overlay belongs to 'write' and 'diff'.");
            return false;
        }
        parsed.overlays = parser.values(overlay);
        if (parsed.overlays.contains(QString())) {
            *error = QStringLiteral("--overlay needs a configuration file.");
            return false;
        }
    }

    parsed.devices = parser.values(port);
    if (parser.isSet(history) && parser.isSet(noHistory)) {
        *error = QStringLiteral("--history and --no-history exclude each other.");
        return false;
    }
    if (parser.isSet(history)) {
        parsed.history = parser.value(history);
        if (parsed.history.isEmpty()) {
            *error = QStringLiteral("--history needs a folder.");
            return false;
        }
    }
    parsed.noHistory = parser.isSet(noHistory);
    if (parsed.command == Command::History) {
        // Lists the folder: no route; --port picks the device's snapshots.
        if (parsed.devices.size() > 1 || parser.isSet(viaFc) || parser.isSet(groundStation) ||
            parsed.noHistory) {
            *error = QStringLiteral("'history' takes at most one --port and --history.");
            return false;
        }
        parsed.json = parser.isSet(json);
        if (parser.isSet(capture)) {
            *error = QStringLiteral("'history' opens no link to capture.");
            return false;
        }
        *options = parsed;
        return true;
    }
    if (parser.isSet(capture) && parsed.command == Command::Provision) {
        // A station serves a device again and again; one capture per device
        // and run would mix its units.
        *error = QStringLiteral("'provision' takes no --capture; capture one module with 'write'.");
        return false;
    }
    if (parser.isSet(capture)) {
        parsed.capture = parser.value(capture);
        if (parsed.capture.isEmpty()) {
            *error = QStringLiteral("--capture needs a file.");
            return false;
        }
    }
    if (parser.isSet(groundStation)) {
        if (!parsed.devices.isEmpty() || parser.isSet(viaFc)) {
            *error = QStringLiteral("--ground-station takes neither --port nor --via-fc.");
            return false;
        }
        parsed.route = ConfigSession::Route::GroundStation;
    } else if (parsed.devices.isEmpty() && !parsed.allSerial) {
        *error = QStringLiteral("No route given: --port DEVICE [--via-fc] or --ground-station.");
        return false;
    } else {
        parsed.route = parser.isSet(viaFc) ? ConfigSession::Route::FlightController
                                           : ConfigSession::Route::Direct;
    }
    for (int i = 0; i < parsed.devices.size(); ++i) {
        if (parsed.devices.at(i).isEmpty()) {
            *error = QStringLiteral("--port needs a device name.");
            return false;
        }
        if (parsed.devices.indexOf(parsed.devices.at(i), i + 1) > 0) {
            *error = QStringLiteral("Device '%1' is given twice.").arg(parsed.devices.at(i));
            return false;
        }
    }

    if (parser.isSet(model)) {
        const QString name = parser.value(model).toLower();
        if (name == QLatin1String("tovrin")) {
            parsed.model = ModuleModel::Tovrin;
        } else if (name == QLatin1String("r7") || name == QLatin1String("r7-eda")) {
            parsed.model = ModuleModel::R7;
        } else {
            *error = QStringLiteral("Unknown model '%1' (tovrin or r7).").arg(parser.value(model));
            return false;
        }
        parsed.modelGiven = true;
    }
    if (parser.isSet(retries)) {
        bool ok = false;
        parsed.retries = parser.value(retries).toInt(&ok);
        if (!ok || parsed.retries < 0 || parsed.retries > 100) {
            *error = QStringLiteral("--retries needs a number from 0 to 100.");
            return false;
        }
    }
    if (parser.isSet(output)) {
        if (parsed.command != Command::Read) {
            *error = QStringLiteral("-o belongs to 'read'.");
            return false;
        }
        parsed.output = parser.value(output);
    }
    if ((parser.isSet(yes) || parser.isSet(verify)) && parsed.command != Command::Write) {
        *error = QStringLiteral("--yes and --verify belong to 'write'.");
        return false;
    }
    if (parsed.command == Command::Read && parsed.devices.size() > 1 && parsed.output.isEmpty() &&
        !parser.isSet(json)) {
        *error = QStringLiteral("Reading several devices needs -o FOLDER.");
        return false;
    }
    parsed.yes = parser.isSet(yes);
    parsed.verify = parser.isSet(verify);
    parsed.json = parser.isSet(json);
    *options = parsed;
    return true;
}

QString CtlOptions::historyFolder() const
{
    return history.isEmpty() ? WriteHistory::defaultFolder() : history;
}

QString CtlOptions::helpText()
{
    return QStringLiteral(
        R"(Usage: tovrinctl ROUTE [options] COMMAND [FILE]
       tovrinctl ROUTE [options] provision FILE [FILE...] [--report PATH] [--watch]
       tovrinctl history [--port DEVICE] [--history DIR] [--json]

Configures Tovrin engines and R7-Eda devices from the command line: the same
conversation as the window, for one module or for several at once.

Routes:
  --port DEVICE           The module on a serial device (115200 8N1). Repeat
                          --port to run the command on every device at once,
                          each on its own link; one result line per device.
  --port DEVICE --via-fc  Through the flight controller on DEVICE, port by port.
  --ground-station        Through the flight controller via the ground-station
                          software: UDP 127.0.0.1, answers on 6161, sent to 5161.

Commands:
  version                 Prints the model and firmware, e.g. "R7-Eda V2.3.1".
  read [-o PATH]          Reads every port and writes the configuration file
                          (.tovrin.json) to stdout, or to PATH. With several
                          devices PATH is a folder (made if missing) and each
                          file is named after its device, e.g.
                          ttyUSB0.tovrin.json.
  diff FILE               Reads the module and lists, port by port and field by
                          field, what differs from FILE ("Uart3 Receive: A -> B"
                          goes from the module's value to the file's).
  write FILE              Checks FILE against the module's model (a mismatch
                          writes nothing), prints the change list, asks on a
                          terminal, writes. A module that already holds FILE's
                          records is left alone.
    --yes                 Writes without asking; needed when stdin is no
                          terminal.
    --verify              Reads back after the write and compares with FILE.
  restore FILE|--last     Writes a snapshot's records back, as write does (the
                          same question, --yes, --verify, change list). --last
                          takes the newest snapshot of each device and of its
                          module's model.
  history                 Lists the snapshots, newest first: time, device,
                          model, firmware, the write's outcome (success,
                          failure, interrupted) and the file. --port DEVICE
                          lists that device's only; --json gives one object
                          per snapshot.
  provision FILE [FILE...]
                          Brings every module to the file of its model (one
                          file per model; partial files welcome), without
                          asking: finds the model, reads the module (the
                          snapshot), writes only what differs, reads back and
                          compares. A module whose model no file is for fails
                          ("no file for R7-Eda"), nothing written. One line
                          per unit (PASS or FAIL, device, adapter serial
                          number, model, firmware, outcome, changes, seconds),
                          then a summary: the count per outcome, each failed
                          device with its error, and a command that redoes
                          only those. Outcomes: written, unchanged, or the
                          failure's word as --json gives it.
    --report PATH         Appends one JSON object per unit to PATH, one line
                          each (CSV with a header line when PATH ends in .csv
                          and is new); see docs/provisioning.md.
    --watch               A station: watches every --port path, present or
                          not (a path that appears is a module plugged in, as
                          /dev/serial/by-id/...), and provisions each module
                          once per appearance until SIGINT or SIGTERM; exit 0
                          when no unit failed.
    --all-serial          With --watch, also every serial device the system
                          lists.

Snapshots: before every write (and restore) the module's records are saved as
an ordinary configuration file in the history folder, named by UTC time,
device and model (20261210T101502Z-ttyUSB0-R7-Eda.tovrin.json), with a "write"
object saying what was sent and how the write ended. A snapshot that cannot be
saved stops the write before anything is sent (exit 2). Nothing in the folder
is ever deleted. The folder is ~/.local/share/TovrinVazodivuveTool/history
(%LOCALAPPDATA%\TovrinVazodivuveTool\history on Windows), shared with the
window, or the one TOVRIN_HISTORY_DIR names.
  --history DIR           Saves and lists snapshots in DIR instead.
  --no-history            Writes without a snapshot.

Partial files and overlays: a file whose port entries each name their port
("port": N, counted from 1) may give any of the ports; write and diff leave
the others as the module holds them.
  --overlay FILE2         For write and diff: lays FILE2 over FILE, port by
                          port; repeat it for more, the later winning. All
                          files must be for the same model.

Options:
  --model tovrin|r7       The module's model. Through the flight controller it
                          sets the device code of every request; without it the
                          tool asks for the version as a Tovrin and as an
                          R7-Eda at once, and goes on with the one that
                          answered. For read, diff, write and provision it also
                          skips the version query (the firmware is then not
                          known).
  --retries N             Sends a request whose reply never came again, up to
                          N times (default 1): only that request, so a port-
                          by-port read or write goes on from the port that
                          went unanswered. A request is unanswered after the
                          watchdog's 1.0 to 1.5 s.
  --json                  One JSON object per device on stdout, for scripts:
                          device, model, firmware, outcome, exit, changes, error
                          (and the configuration as "config" for read without
                          -o, or its path as "file"; for write and restore the
                          snapshot's path as "snapshot"). Each change is an object:
                          port (its place in the file's "ports", from 0),
                          title, field (the file's key, e.g. "baud" or
                          "receive"), from and to (the module's value and the
                          file's, as the file writes them; null where it
                          writes none) and text (the line diff prints).
  --capture PATH          Records every chunk of bytes sent to and received
                          from the link, as it crossed, in PATH: one JSON
                          object a line (time in microseconds since the link
                          opened, direction, route, device, the bytes in hex,
                          the frames they complete), at most 64 MiB. With
                          several devices PATH is a folder (made if missing)
                          and each capture is named after its device, e.g.
                          ttyUSB0.capture.jsonl. A capture that cannot be
                          created stops the run before anything is sent
                          (exit 2). tovrin-sim --replay plays it back.
  -h, --help              Shows this text.
  --version               Prints the version of tovrinctl (the module's own
                          version is the command "version").

Progress goes to stderr: on a terminal one status line per device, updated in
place (opening, version, reading port 3/6, writing, verifying, done); else
plain lines. Results go to stdout, failures to stderr.

Exit codes (with several devices the worst wins; each line says its own):
  0  success
  1  differences found (diff)
  2  usage or file error, nothing sent: unknown command or option, missing,
     unreadable or invalid file, a device that does not exist, UDP port 6161
     in use, write without --yes and without a terminal; also a file for
     another model than the module's, or a declined write (nothing written),
     overlays for different models, a snapshot that cannot be saved, or no
     snapshot for restore --last (nothing written), a capture that cannot be
     created
  3  no reply within the watchdog's time, after the retries (a write that
     stops part way says which ports the module acknowledged)
  4  the module refused or answered wrongly: write refused, reply of the wrong
     length, wrong port index, a record the port's rules refuse, or a
     --verify read-back that differs from the file
  5  the port could not be opened, or the link broke
  130, 143  interrupted by SIGINT (Ctrl-C) or SIGTERM: nothing new is sent,
     the exchange in flight may end (at most one watchdog time), then each
     device says which ports were written; a second signal ends at once

Examples:
  tovrinctl --port /dev/ttyUSB0 version
  tovrinctl --port /dev/ttyUSB0 read -o bench.tovrin.json
  tovrinctl --port /dev/ttyACM0 --via-fc --model r7 diff bench.tovrin.json
  tovrinctl --port /dev/ttyUSB0 --port /dev/ttyUSB1 --port /dev/ttyUSB2 \
            write bench.tovrin.json --yes --verify
  tovrinctl --port /dev/ttyUSB0 write fleet.tovrin.json --overlay gimbal-b.tovrin.json
  tovrinctl history --port /dev/ttyUSB0
  tovrinctl --port /dev/ttyUSB0 restore --last
  tovrinctl --port /dev/serial/by-id/usb-FTDI_A1 --port /dev/serial/by-id/usb-FTDI_A2 \
            provision fleet.tovrin.json fleet-r7.tovrin.json --report units.jsonl --watch
)");
}

bool CtlOptions::devicesDistinct(QString *error) const
{
#ifndef Q_OS_WIN
    QMap<QString, QString> named; // resolved path -> the name given first
    for (const QString &device : qAsConst(devices)) {
        const QString path =
            device.contains(QLatin1Char('/')) ? device : QStringLiteral("/dev/") + device;
        if (!QFileInfo::exists(path)) {
            *error = QStringLiteral("device '%1' does not exist").arg(device);
            return false;
        }
        const QString resolved = QFileInfo(path).canonicalFilePath();
        if (named.contains(resolved)) {
            *error = QStringLiteral("devices '%1' and '%2' are the same device, %3")
                         .arg(named.value(resolved), device, resolved);
            return false;
        }
        named.insert(resolved, device);
    }
#else
    Q_UNUSED(error)
#endif
    return true;
}
