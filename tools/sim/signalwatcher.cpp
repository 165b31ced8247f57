#include "signalwatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
int s_fds[2] = {-1, -1}; // [0] written by the handler, [1] read on the event loop
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2};
} // namespace

SignalWatcher::SignalWatcher(QObject *parent) : QObject(parent) {}

SignalWatcher::~SignalWatcher()
{
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
}

bool SignalWatcher::install(QString *error)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_fds) != 0) {
        *error = QStringLiteral("socketpair: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_notifier = new QSocketNotifier(s_fds[1], QSocketNotifier::Read);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::onNotified);

    struct sigaction sa {
    };
    sa.sa_handler = &SignalWatcher::handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : kSignals) {
        if (::sigaction(sig, &sa, nullptr) != 0) {
            *error =
                QStringLiteral("sigaction: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    ::signal(SIGPIPE, SIG_IGN);
    return true;
}

void SignalWatcher::handler(int signalNumber)
{
    const int saved = errno;
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(s_fds[0], &byte, 1);
    errno = saved;
}

void SignalWatcher::onNotified()
{
    char byte = 0;
    if (::read(s_fds[1], &byte, 1) != 1)
        return;
    if (byte == SIGUSR1 || byte == SIGUSR2)
        emit userSignal(byte);
    else
        emit terminationRequested(byte);
}
