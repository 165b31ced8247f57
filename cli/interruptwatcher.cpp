#include "interruptwatcher.h"

#include <QSocketNotifier>

#ifndef Q_OS_WIN
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace
{
#ifndef Q_OS_WIN
int s_fds[2] = {-1, -1}; // [0] written by the handler, [1] read on the event loop
volatile sig_atomic_t s_signals = 0;
volatile sig_atomic_t s_asking = 0;
constexpr int kSignals[] = {SIGINT, SIGTERM};

// Only async-signal-safe calls from here on.
void say(const char *text)
{
    size_t size = 0;
    while (text[size] != '\0')
        ++size;
    [[maybe_unused]] const ssize_t n = ::write(2, text, size);
}
#endif
} // namespace

InterruptWatcher::InterruptWatcher(QObject *parent) : QObject(parent) {}

InterruptWatcher::~InterruptWatcher()
{
#ifndef Q_OS_WIN
    struct sigaction sa {
    };
    sa.sa_handler = SIG_DFL;
    for (int sig : kSignals)
        ::sigaction(sig, &sa, nullptr);
    delete m_notifier;
    for (int &fd : s_fds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
#endif
}

bool InterruptWatcher::install()
{
#ifdef Q_OS_WIN
    return false;
#else
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_fds) != 0)
        return false;
    m_notifier = new QSocketNotifier(s_fds[1], QSocketNotifier::Read);
    connect(m_notifier, &QSocketNotifier::activated, this, &InterruptWatcher::onNotified);
    struct sigaction sa {
    };
    sa.sa_handler = &InterruptWatcher::handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : kSignals) {
        if (::sigaction(sig, &sa, nullptr) != 0)
            return false;
    }
    return true;
#endif
}

void InterruptWatcher::setAsking(bool asking)
{
#ifndef Q_OS_WIN
    s_asking = asking ? 1 : 0;
#else
    Q_UNUSED(asking)
#endif
}

void InterruptWatcher::handler(int signalNumber)
{
#ifndef Q_OS_WIN
    const int saved = errno;
    if (s_asking) {
        say("\ntovrinctl: interrupted at the question; nothing written\n");
        ::_exit(128 + signalNumber);
    }
    if (++s_signals > 1) {
        say("tovrinctl: interrupted again; stopped at once, the exchange in flight not waited "
            "for\n");
        ::_exit(128 + signalNumber);
    }
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(s_fds[0], &byte, 1);
    errno = saved;
#else
    Q_UNUSED(signalNumber)
#endif
}

void InterruptWatcher::onNotified()
{
#ifndef Q_OS_WIN
    char byte = 0;
    if (::read(s_fds[1], &byte, 1) != 1)
        return;
    emit interrupted(byte);
#endif
}
