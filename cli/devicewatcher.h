// The devices a provisioning station serves: every path it was given, present
// or not (a path that appears is a module plugged in), and with allSerial
// every serial device the system lists. It looks whenever a folder of the
// paths changes (as a link appears in /dev/serial/by-id) and a few times a
// second besides, and reports each appearance and disappearance once; a
// device that flaps faster than it looks is seen at most once per look.
#ifndef DEVICEWATCHER_H
#define DEVICEWATCHER_H

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

class DeviceWatcher : public QObject
{
    Q_OBJECT
public:
    explicit DeviceWatcher(const QStringList &paths, bool allSerial, QObject *parent = nullptr);

    // Looks at once, then on every change of a folder and every intervalMs.
    void start(int intervalMs = 200);
    void stop();
    bool isPresent(const QString &device) const { return m_present.contains(device); }

signals:
    void appeared(const QString &device);
    void disappeared(const QString &device);

private:
    void look();
    QStringList present();

    QStringList m_paths;
    bool m_allSerial = false;
    // The system's list, asked again only when /dev changed or after a
    // while: asking takes tens of milliseconds.
    QStringList m_listed;
    bool m_listStale = true;
    QElapsedTimer m_listedAt;
    QTimer m_timer;
    QFileSystemWatcher m_folders;
    QSet<QString> m_present;
};

#endif // DEVICEWATCHER_H
