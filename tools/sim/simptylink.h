// A pseudo-terminal pair of our own: the program opens the slave side as its
// serial port, the simulator reads and writes the master side.
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

    bool open(QString *error) override;
    void send(const QByteArray &bytes) override;
    QString slavePath() const { return m_slavePath; }

private:
    void readMaster();
    void flushPending();

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_pending;
};

#endif // SIMPTYLINK_H
