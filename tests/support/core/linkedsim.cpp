#include "linkedsim.h"

#include <QFileInfo>

#include <csignal>

bool LinkedSim::start(const QStringList &extra)
{
    return m_dir.isValid() &&
           m_sim.start(QStringList{QStringLiteral("--pty"), QStringLiteral("--link"), m_link} +
                       extra);
}

bool LinkedSim::linked() const
{
    return QFileInfo(m_link).isSymLink();
}

bool LinkedSim::reachable() const
{
    return QFileInfo::exists(m_link);
}

void LinkedSim::toggle()
{
    m_sim.signal(SIGUSR2);
}
