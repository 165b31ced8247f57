// SIGINT and SIGTERM during a tovrinctl run: the first one of a run comes
// back on the event loop as interrupted(), so the jobs can end their exchange
// in flight and say what the modules hold; a second one, or one that comes
// while the run waits at the confirmation question (nothing in flight, nothing
// written), ends the process at once with 128 + the signal's number.
#ifndef INTERRUPTWATCHER_H
#define INTERRUPTWATCHER_H

#include <QObject>

class QSocketNotifier;

class InterruptWatcher : public QObject
{
    Q_OBJECT
public:
    explicit InterruptWatcher(QObject *parent = nullptr);
    ~InterruptWatcher() override;

    // False where signals cannot be watched; the run then goes on without.
    bool install();
    // While true a signal ends the process at once, saying nothing was written.
    static void setAsking(bool asking);

signals:
    void interrupted(int signalNumber);

private:
    static void handler(int signalNumber);
    void onNotified();

    QSocketNotifier *m_notifier = nullptr;
};

#endif // INTERRUPTWATCHER_H
