#include "statusboard.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

StatusBoard::StatusBoard(bool terminal, std::FILE *out) : m_terminal(terminal), m_out(out) {}

bool StatusBoard::stderrIsTerminal()
{
    return isatty(fileno(stderr)) != 0;
}

bool StatusBoard::stdinIsTerminal()
{
    return isatty(fileno(stdin)) != 0;
}

int StatusBoard::add(const QString &device)
{
    m_devices.append(device);
    m_status.append(QString());
    if (m_terminal) {
        std::fprintf(m_out, "%s:\n", device.toUtf8().constData());
        std::fflush(m_out);
    }
    return m_devices.size() - 1;
}

void StatusBoard::set(int line, const QString &status)
{
    if (line < 0 || line >= m_status.size() || m_status.at(line) == status)
        return;
    m_status[line] = status;
    draw(line);
}

void StatusBoard::draw(int line)
{
    const QByteArray text =
        QStringLiteral("%1: %2").arg(m_devices.at(line), m_status.at(line)).toUtf8();
    if (!m_terminal) {
        std::fprintf(m_out, "%s\n", text.constData());
    } else {
        // The cursor stays below the last line; go up to this one and back.
        const int up = m_devices.size() - line;
        std::fprintf(m_out, "\033[%dA\r\033[2K%s\033[%dB\r", up, text.constData(), up);
    }
    std::fflush(m_out);
}

void StatusBoard::reprint()
{
    if (!m_terminal)
        return;
    for (int i = 0; i < m_devices.size(); ++i)
        std::fprintf(
            m_out, "%s\n",
            QStringLiteral("%1: %2").arg(m_devices.at(i), m_status.at(i)).toUtf8().constData());
    std::fflush(m_out);
}
