// The simulator on a pty reached through a link under a fixed name in a
// folder of its own, so that the device can vanish and come back (SIGUSR2)
// while the name stays.
#ifndef LINKEDSIM_H
#define LINKEDSIM_H

#include "simprocess.h"

#include <QStringList>
#include <QTemporaryDir>

class LinkedSim
{
public:
    // Starts tovrin-sim --pty --link with the extra options.
    bool start(const QStringList &extra = {});
    QString link() const { return m_link; }
    // The link itself is there (the simulator removes it when the pty vanishes).
    bool linked() const;
    // The link leads to a device.
    bool reachable() const;
    void toggle(); // the pty vanishes, or comes back
    SimProcess &sim() { return m_sim; }

private:
    QTemporaryDir m_dir;
    QString m_link = m_dir.filePath(QStringLiteral("ttyTovrin"));
    SimProcess m_sim;
};

#endif // LINKEDSIM_H
