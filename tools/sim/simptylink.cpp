#include "simptylink.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

SimPtyLink::SimPtyLink(QObject *parent) : SimLink(parent) {}

SimPtyLink::~SimPtyLink()
{
    vanish();
}

void SimPtyLink::vanish()
{
    // Later: the pty may vanish while one of them is delivering.
    for (QSocketNotifier *notifier : {m_readNotifier, m_writeNotifier}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    m_readNotifier = nullptr;
    m_writeNotifier = nullptr;
    if (m_slave >= 0)
        ::close(m_slave);
    m_slave = -1;
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
    m_pending.clear();
    if (!m_linkPath.isEmpty())
        ::unlink(QFile::encodeName(m_linkPath).constData());
}

bool SimPtyLink::pointLink(QString *error)
{
    // A new link under a temporary name renamed over the old one: whoever
    // opens the path finds either the old pty or the new one, never nothing.
    const QByteArray link = QFile::encodeName(m_linkPath);
    const QByteArray temporary = link + ".new";
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(m_slavePath).constData(), temporary.constData()) != 0 ||
        ::rename(temporary.constData(), link.constData()) != 0) {
        *error = QStringLiteral("link %1: %2")
                     .arg(m_linkPath, QString::fromLocal8Bit(std::strerror(errno)));
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

bool SimPtyLink::open(QString *error)
{
    vanish();
    auto fail = [error](const char *what) {
        *error = QStringLiteral("%1: %2").arg(QLatin1String(what),
                                              QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0)
        return fail("grantpt");
    if (::unlockpt(m_master) != 0)
        return fail("unlockpt");
    char name[256];
    if (::ptsname_r(m_master, name, sizeof name) != 0)
        return fail("ptsname");
    m_slavePath = QString::fromLocal8Bit(name);

    // Keep a slave descriptor of our own: while no one has the slave open the
    // master reports a hang-up, so without it the pty would be unusable once
    // the program closes its port, and the raw settings would not stick.
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0)
        return fail("open slave");
    termios tio{};
    if (::tcgetattr(m_slave, &tio) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B115200);
    ::cfsetospeed(&tio, B115200);
    if (::tcsetattr(m_slave, TCSANOW, &tio) != 0)
        return fail("tcsetattr");

    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SimPtyLink::readMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &SimPtyLink::flushPending);
    return m_linkPath.isEmpty() || pointLink(error);
}

void SimPtyLink::readMaster()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            emit received(QByteArray(buffer, static_cast<int>(n)));
            if (m_master < 0)
                return; // vanished as it was handled
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        m_readNotifier->setEnabled(false);
        emit failed(QStringLiteral("pty read: %1")
                        .arg(QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO))));
        return;
    }
}

void SimPtyLink::send(const QByteArray &bytes)
{
    if (m_master < 0)
        return;
    m_pending.append(bytes);
    flushPending();
}

void SimPtyLink::flushPending()
{
    while (!m_pending.isEmpty()) {
        const ssize_t n =
            ::write(m_master, m_pending.constData(), static_cast<size_t>(m_pending.size()));
        if (n > 0) {
            m_pending.remove(0, static_cast<int>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            m_writeNotifier->setEnabled(true);
            return;
        }
        m_pending.clear();
        emit failed(
            QStringLiteral("pty write: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        break;
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(false);
}
