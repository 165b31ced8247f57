#include "devicewatcher.h"

#include <QFileInfo>
#include <QSerialPortInfo>

DeviceWatcher::DeviceWatcher(const QStringList &paths, bool allSerial, QObject *parent)
    : QObject(parent), m_paths(paths), m_allSerial(allSerial)
{
    connect(&m_timer, &QTimer::timeout, this, &DeviceWatcher::look);
    connect(&m_folders, &QFileSystemWatcher::directoryChanged, this, [this](const QString &folder) {
        if (folder == QLatin1String("/dev"))
            m_listStale = true;
        look();
    });
}

void DeviceWatcher::start(int intervalMs)
{
    QStringList folders;
    for (const QString &path : qAsConst(m_paths)) {
        const QString folder = path.contains(QLatin1Char('/')) ? QFileInfo(path).absolutePath()
                                                               : QStringLiteral("/dev");
        if (!folders.contains(folder) && QFileInfo(folder).isDir())
            folders.append(folder);
    }
    if (m_allSerial && QFileInfo(QStringLiteral("/dev")).isDir())
        folders.append(QStringLiteral("/dev"));
    if (!folders.isEmpty())
        m_folders.addPaths(folders); // a folder that cannot be watched is polled
    m_timer.start(intervalMs);
    look();
}

void DeviceWatcher::stop()
{
    m_timer.stop();
    m_folders.disconnect(this);
}

// The given paths by their own names (a link names the module, whatever it
// points at); the system's devices that none of them points at by theirs.
QStringList DeviceWatcher::present()
{
    QStringList devices;
    QSet<QString> resolved;
    for (const QString &path : m_paths) {
        // A bare name is a device in /dev, as for the other commands.
        const QFileInfo info(path.contains(QLatin1Char('/')) ? path
                                                             : QStringLiteral("/dev/") + path);
        if (!info.exists())
            continue; // a link to nothing is a module pulled out
        devices.append(path);
        resolved.insert(info.canonicalFilePath());
    }
    if (m_allSerial) {
        if (m_listStale || !m_listedAt.isValid() || m_listedAt.elapsed() >= 2000) {
            m_listed.clear();
            for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
                m_listed.append(info.systemLocation());
            m_listStale = false;
            m_listedAt.start();
        }
        for (const QString &location : qAsConst(m_listed)) {
            if (!resolved.contains(location) && !devices.contains(location) &&
                QFileInfo::exists(location))
                devices.append(location);
        }
    }
    return devices;
}

void DeviceWatcher::look()
{
    const QStringList now = present();
    const QSet<QString> seen(now.cbegin(), now.cend());
    const QSet<QString> before = m_present;
    m_present = seen;
    for (const QString &device : before) {
        if (!seen.contains(device))
            emit disappeared(device);
    }
    for (const QString &device : now) {
        if (!before.contains(device))
            emit appeared(device);
    }
}
