// How long the window's event loop stalls while the link floods it with valid
// frames nobody asked for: version replies (each of which once rebuilt the
// panel), whole-set read replies and write acknowledgements, sent as fast as
// another thread can, for a given time on the serial port (a pty pair) and on
// the ground-station socket (127.0.0.1:6161). A 2 ms timer on the window's
// thread measures every gap; the worst gap beyond its interval is the stall.
//
// Usage: bench_flood [--seconds N] (default 30 per transport)
#include "linkframe.h"
#include "passthrough.h"
#include "simsession.h"
#include "testpaths.h"
#include "windowlookup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
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
    const int fd = ::open(pty.second().toLocal8Bit().constData(), O_WRONLY | O_NOCTTY);
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
    ::close(fd);
    report("serial port (pty)", stalls, sent.load(), ms);
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
