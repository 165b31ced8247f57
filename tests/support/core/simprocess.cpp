#include "simprocess.h"

#include "testpaths.h"

#include <QtTest>

#include <csignal>

SimProcess::SimProcess() = default;

SimProcess::~SimProcess()
{
    if (m_process.state() != QProcess::NotRunning && !stop(SIGTERM, 5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool SimProcess::start(const QStringList &arguments, int timeoutMs)
{
    m_process.start(TestPaths::simulator(), arguments);
    if (!m_process.waitForStarted(timeoutMs))
        return false;
    const bool wantPty = arguments.contains(QStringLiteral("--pty"));
    const bool ready = QTest::qWaitFor(
        [&] {
            m_stderr += m_process.readAllStandardError();
            m_stdout += m_process.readAllStandardOutput();
            if (m_process.state() == QProcess::NotRunning)
                return true;
            return m_stderr.contains("tovrin-sim: ready\n") &&
                   (!wantPty || m_stdout.contains('\n'));
        },
        timeoutMs);
    if (!ready || m_process.state() == QProcess::NotRunning) {
        qWarning("simulator did not start: %s", m_stderr.constData());
        return false;
    }
    if (wantPty)
        m_ptyPath = QString::fromLocal8Bit(m_stdout.left(m_stdout.indexOf('\n')));
    return true;
}

QString SimProcess::log()
{
    m_stderr += m_process.readAllStandardError();
    return QString::fromLocal8Bit(m_stderr);
}

QByteArray SimProcess::output()
{
    m_stdout += m_process.readAllStandardOutput();
    return m_stdout;
}

void SimProcess::signal(int signalNumber)
{
    if (m_process.state() != QProcess::NotRunning)
        ::kill(static_cast<pid_t>(m_process.processId()), signalNumber);
}

bool SimProcess::stop(int signalNumber, int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    ::kill(static_cast<pid_t>(m_process.processId()), signalNumber);
    const bool ended = m_process.waitForFinished(timeoutMs);
    m_stderr += m_process.readAllStandardError();
    return ended;
}
