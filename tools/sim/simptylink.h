// A pseudo-terminal pair of our own: the program opens the slave side as its
// serial port, the simulator reads and writes the master side. The pair can
// vanish and come back as a new pair, as a USB adapter pulled and plugged in
// again would; a symlink of a fixed name follows the current slave, since a
// slave's own name cannot be chosen.
#ifndef SIMPTYLINK_H
#define SIMPTYLINK_H

#include "simlink.h"

#include <QByteArray>

class QSocketNotifier;

class SimPtyLink : public SimLink
{
    Q_OBJECT
public:
    explicit SimPtyLink(QObject *parent = nullptr);
    ~SimPtyLink() override;

    // Keep a symlink at path to the current slave (set before open()).
    void setLinkPath(const QString &path) { m_linkPath = path; }

    // Makes a new pair and, with a link path, points the link at its slave.
    bool open(QString *error) override;
    // Bytes sent while the pair is gone are lost, as on an unplugged line.
    void send(const QByteArray &bytes) override;
    QString slavePath() const { return m_slavePath; }
    bool isOpen() const { return m_master >= 0; }

    // Closes the master, so the program's open slave sees a hang-up, and
    // removes the link.
    void vanish();

private:
    void readMaster();
    void flushPending();
    bool pointLink(QString *error);

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_linkPath;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_pending;
};

#endif // SIMPTYLINK_H
