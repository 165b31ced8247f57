// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal on the event loop, so the
// simulator ends through its normal shutdown and releases its pty; SIGUSR1
// and SIGUSR2 arrive the same way as requests a test makes of a running
// simulator.
#ifndef SIGNALWATCHER_H
#define SIGNALWATCHER_H

#include <QObject>

class QSocketNotifier;

class SignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    bool install(QString *error);

signals:
    void terminationRequested(int signalNumber);
    void userSignal(int signalNumber);

private:
    static void handler(int signalNumber);
    void onNotified();

    QSocketNotifier *m_notifier = nullptr;
};

#endif // SIGNALWATCHER_H
