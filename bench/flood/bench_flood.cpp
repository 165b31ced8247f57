// How long the window's event loop stalls while the link floods it with valid
// frames nobody asked for: version replies (each of which once rebuilt the
// panel), whole-set read replies and write acknowledgements, sent as fast as
// another thread can, for a given time on the serial port (a pty pair) and on
// the ground-station socket (127.0.0.1:6161). A 2 ms timer on the window's
// thread measures every gap; the worst gap beyond its interval is the stall.
// After each flood the window reads the module once, answered by the far end,
// and the bench prints whether the read was answered and how long it took: a
// link that stopped listening during the flood shows as "not answered".
//
// Usage: bench_flood [--seconds N] (default 30 per transport)
#include "configsession.h"
#include "linkframe.h"
#include "passthrough.h"
#include "simsession.h"
#include "testpaths.h"
#include "windowlookup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMetaEnum>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

QByteArray floodBlock(bool wrapped)
{
    QByteArray records;
    for (int i = 0; i < 5; ++i)
        records += QByteArray::fromHex("0000c20100000000000000");
    auto frame = [wrapped](quint8 id, const QByteArray &payload) {
        return wrapped ? PassThrough::returnFrame(DEVICE_TOVRIN, id, payload)
                       : packLinkFrame(id, payload, quint8(payload.size()));
    };
    return frame(MSG_VERSION, QByteArray::fromHex("2d010203"))
           + frame(MSG_READ_ALL, records) + frame(MSG_WRITE_ALL, QByteArray(1, '\0'))
           + frame(MSG_WRITE_PORT, QByteArray(1, '\4'));
}

// Lets the window lay itself out and paint before the flood starts.
void settle()
{
    QEventLoop loop;
    QTimer::singleShot(500, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Stalls {
    qint64 worstUs = 0;
    qint64 over16 = 0;
    qint64 ticks = 0;
};

// Runs the event loop for `ms` with a 2 ms timer and returns the stalls seen.
Stalls watchLoop(int ms)
{
    Stalls stalls;
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 gapUs = (now - last) / 1000 - 2000;
        last = now;
        ++stalls.ticks;
        stalls.worstUs = std::max(stalls.worstUs, gapUs);
        if (gapUs > 16000)
            ++stalls.over16;
    });
    tick.start(2);
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return stalls;
}

void report(const char *name, const Stalls &s, qint64 bytes, int ms)
{
    std::printf("%-28s worst stall %7.1f ms   gaps over 16 ms: %lld of %lld   flood %.1f MB in %d s\n",
                name, s.worstUs / 1000.0, static_cast<long long>(s.over16),
                static_cast<long long>(s.ticks), bytes / 1e6, ms / 1000);
    std::fflush(stdout);
}

struct ReadAfter {
    bool answered = false;
    qint64 ms = 0;
    QString outcome;
};

// Clicks "read" and waits up to 5 s for the command to end, while `answer`
// plays the module on another thread.
ReadAfter readAfterFlood(QWidget *window, const std::function<void()> &answer)
{
    ReadAfter result;
    ConfigSession *session = WindowLookup::session(window);
    QEventLoop loop;
    QElapsedTimer clock;
    QObject::connect(session, &ConfigSession::finished, &loop,
                     [&](ConfigSession::Operation, ConfigSession::Outcome outcome) {
                         result.ms = clock.elapsed();
                         result.answered = outcome != ConfigSession::Outcome::NoReply;
                         result.outcome = QString::fromLatin1(
                             QMetaEnum::fromType<ConfigSession::Outcome>().valueToKey(int(outcome)));
                         loop.quit();
                     });
    std::thread device(answer);
    clock.start();
    window->findChild<QPushButton *>("cbAllDownload")->click();
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    device.join();
    if (result.outcome.isEmpty())
        result.ms = clock.elapsed();
    return result;
}

void reportRead(const char *name, const ReadAfter &r)
{
    std::printf("%-28s read after the flood: %s in %lld ms (%s)\n", name,
                r.answered ? "answered" : "NOT ANSWERED", static_cast<long long>(r.ms),
                r.outcome.isEmpty() ? "no end" : qPrintable(r.outcome));
    std::fflush(stdout);
}

// Waits up to 2 s for something to read on fd.
bool readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 2000) > 0;
}

// The records of a module with `count` ports, all alike.
QByteArray records(int count)
{
    QByteArray r;
    for (int i = 0; i < count; ++i)
        r += QByteArray::fromHex("0000c20100000000000000");
    return r;
}

void floodSerial(int ms)
{
    PtyPair pty;
    if (!pty.start())
        qFatal("no pty pair");
    MainWidget::setExtraSerialPorts({pty.first()});
    MainWidget window;
    window.show();
    window.findChild<QPushButton *>("btnOpenSerialPort")->click();
    if (!WindowLookup::linkOpen(&window))
        qFatal("link did not open");
    settle();
    const int fd = ::open(pty.second().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        qFatal("cannot open the far end");
    const QByteArray block = floodBlock(false);
    std::atomic<bool> stop{false};
    std::atomic<qint64> sent{0};
    std::thread writer([&] {
        while (!stop.load()) {
            const ssize_t n = ::write(fd, block.constData(), size_t(block.size()));
            if (n > 0)
                sent += n;
        }
    });
    const Stalls stalls = watchLoop(ms);
    stop = true;
    writer.join();
    report("serial port (pty)", stalls, sent.load(), ms);
    // What the flood left on the way is read first; then the module answers
    // the read-all request once it has come in whole.
    settle();
    const int ports = WindowLookup::portCount(&window);
    const ReadAfter after = readAfterFlood(&window, [fd, ports] {
        QByteArray request;
        const int requestSize = packLinkFrame(MSG_READ_ALL, QByteArray(1, '\0'), 1).size();
        char buffer[64];
        while (request.size() < requestSize && readable(fd)) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            request.append(buffer, int(n));
        }
        const QByteArray reply =
            packLinkFrame(MSG_READ_ALL, records(ports), quint8(ports * 11));
        if (::write(fd, reply.constData(), size_t(reply.size())) < 0)
            return;
    });
    ::close(fd);
    reportRead("serial port (pty)", after);
}

void floodGroundStation(int ms)
{
    MainWidget::setExtraSerialPorts({});
    MainWidget window;
    window.show();
    window.findChild<QCheckBox *>("chb_ConfigByFCS")->click();
    window.findChild<QCheckBox *>("chb_DLSpace")->click();
    window.findChild<QPushButton *>("btnOpenSerialPort")->click();
    if (!WindowLookup::linkOpen(&window))
        qFatal("ground-station port did not open (6161 taken?)");
    settle();
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(6161);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const QByteArray block = floodBlock(true);
    std::atomic<bool> stop{false};
    std::atomic<qint64> sent{0};
    std::thread writer([&] {
        while (!stop.load()) {
            const ssize_t n = ::sendto(fd, block.constData(), size_t(block.size()), 0,
                                       reinterpret_cast<const sockaddr *>(&to), sizeof to);
            if (n > 0)
                sent += n;
        }
    });
    const Stalls stalls = watchLoop(ms);
    stop = true;
    writer.join();
    ::close(fd);
    report("ground station (UDP)", stalls, sent.load(), ms);
    // The ground station answers each port request with that port's record.
    const int station = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(5161);
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(station, reinterpret_cast<const sockaddr *>(&at), sizeof at) != 0)
        qFatal("cannot bind 127.0.0.1:5161");
    settle();
    const int ports = WindowLookup::portCount(&window);
    const quint8 device = ModuleProfile::deviceCode(WindowLookup::model(&window));
    const ReadAfter after = readAfterFlood(&window, [station, to, ports, device] {
        char buffer[512];
        for (int port = 0; port < ports && readable(station); ++port) {
            if (::recv(station, buffer, sizeof buffer, 0) <= 0)
                break;
            const QByteArray reply = PassThrough::returnFrame(
                device, MSG_READ_PORT, QByteArray(1, char(port)) + records(1));
            ::sendto(station, reply.constData(), size_t(reply.size()), 0,
                     reinterpret_cast<const sockaddr *>(&to), sizeof to);
        }
    });
    ::close(station);
    reportRead("ground station (UDP)", after);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int seconds = 30;
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--seconds"));
    if (at >= 0 && at + 1 < args.size())
        seconds = args.at(at + 1).toInt();
    floodSerial(seconds * 1000);
    floodGroundStation(seconds * 1000);
    return 0;
}
