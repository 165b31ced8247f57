// What recording a chunk costs the link: the time LinkCapture takes per
// chunk (line built, written and flushed) for the chunks a session sees,
// printed in microseconds; the record stands between a received chunk and
// the parser, so this is the delay it adds to every answer.
#include "linkcapture.h"
#include "passthrough.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
struct Case {
    const char *name;
    QByteArray bytes;
    bool sent;
};

// The given share of the sorted times, in microseconds.
double quantileUs(const std::vector<qint64> &sorted, int percent)
{
    return double(sorted[sorted.size() * percent / 100]) / 1000.0;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QByteArray record(11, '\x5A');
    const QByteArray readPort = QByteArray(1, '\x02') + record;
    const std::vector<Case> cases{
        {"version request (bare)", packLinkFrame(MSG_VERSION, QByteArray(1, '\0'), 1), true},
        {"read-port answer (pass-through)",
         PassThrough::returnFrame(DEVICE_TOVRIN, MSG_READ_PORT, readPort), false},
        {"read-all answer, 5 ports (bare)", packLinkFrame(MSG_READ_ALL, record.repeated(5), 55),
         false},
        {"4-byte piece of a split answer", QByteArray::fromHex("AB0E0DE2"), false},
    };
    constexpr int Rounds = 20000;
    std::printf("%-36s %12s %12s\n", "chunk", "median us", "p99 us");
    for (const Case &c : cases) {
        LinkCapture capture(dir.filePath(QStringLiteral("bench.capture.jsonl")));
        QString error;
        if (!capture.create(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        capture.linkOpened(QStringLiteral("direct"), QStringLiteral("/dev/ttyUSB0"));
        std::vector<qint64> ns;
        ns.reserve(Rounds);
        QElapsedTimer clock;
        for (int i = 0; i < Rounds; ++i) {
            clock.start();
            c.sent ? capture.sent(c.bytes) : capture.received(c.bytes);
            ns.push_back(clock.nsecsElapsed());
        }
        std::sort(ns.begin(), ns.end());
        std::printf("%-36s %12.2f %12.2f\n", c.name, quantileUs(ns, 50), quantileUs(ns, 99));
    }
    return 0;
}
