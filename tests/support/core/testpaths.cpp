#include "testpaths.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

QString TestPaths::sourceDir() { return QStringLiteral(TOVRIN_SOURCE_DIR); }
QString TestPaths::programDir() { return QStringLiteral(TOVRIN_BIN_DIR); }
QString TestPaths::program() { return programDir() + QStringLiteral("/TovrinVazodivuveTool"); }
QString TestPaths::simulator() { return programDir() + QStringLiteral("/tovrin-sim"); }

PtyPair::PtyPair() = default;

PtyPair::~PtyPair()
{
    if (m_socat.state() != QProcess::NotRunning) {
        m_socat.terminate();
        if (!m_socat.waitForFinished(2000)) {
            m_socat.kill();
            m_socat.waitForFinished(2000);
        }
    }
}

bool PtyPair::start(int timeoutMs)
{
    if (!m_dir.isValid())
        return false;
    const QString a = m_dir.filePath(QStringLiteral("ptyA"));
    const QString b = m_dir.filePath(QStringLiteral("ptyB"));
    m_socat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_socat.start(QStringLiteral("socat"),
                  {QStringLiteral("pty,raw,echo=0,link=") + a,
                   QStringLiteral("pty,raw,echo=0,link=") + b});
    if (!m_socat.waitForStarted(timeoutMs))
        return false;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (QFileInfo::exists(a) && QFileInfo::exists(b)) {
            m_first = QFileInfo(a).canonicalFilePath();
            m_second = QFileInfo(b).canonicalFilePath();
            return !m_first.isEmpty() && !m_second.isEmpty();
        }
        QThread::msleep(10);
    }
    return false;
}
