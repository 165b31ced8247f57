// Read-timeout watchdog: a thread that only sleeps and watches the exchange in
// flight. The command logic arms an exchange (each request of a chain gets a
// number and a deadline of its own) and says when it was answered; the
// watchdog reports an exchange that got no answer within 1.0 to 1.5 s
// (sgl_failRead) and, 0.2 to 0.7 s after an exchange ended, asks for the idle
// look (sgl_timeStart). Both signals carry the exchange's number.
#ifndef TIMEOUT_H
#define TIMEOUT_H

#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>

class TimeOut : public QThread
{
    Q_OBJECT
public:
    explicit TimeOut(QObject *parent = nullptr);
    ~TimeOut() override;

    void startWatch();
    void stopWatch();

    // A new exchange waits for its reply; returns its number (never 0). Any
    // exchange armed before is forgotten.
    quint32 arm();
    // The reply of exchange n came and the next request of the same chain
    // goes out: returns the next step's number, or 0 when n is no longer the
    // exchange waiting (already reported as failed, or replaced).
    quint32 advance(quint32 n);
    // The reply of exchange n came and ended it. False when n is no longer
    // the exchange waiting: its reply is late and must be dropped.
    bool answered(quint32 n);

    bool isWaiting() const;

signals:
    void sgl_timeStart(quint32 exchange);
    void sgl_failRead(quint32 exchange);

protected:
    void run() override;

private:
    enum Phase : quint64 { Idle = 0, Waiting = 1, Ended = 2 };
    static quint64 pack(quint32 n, Phase phase) { return (quint64(n) << 2) | phase; }
    static quint32 number(quint64 state) { return quint32(state >> 2); }
    static Phase phase(quint64 state) { return Phase(state & 3); }

    // Sleeps for ms, or less when stopWatch() asks the loop to end.
    void pause(int ms);

    std::atomic<bool> running{false};
    // The one exchange the watchdog knows of: its number and phase, changed
    // only as a whole, so "armed" and "answered" can never disagree.
    std::atomic<quint64> state{0};
    std::atomic<quint32> lastNumber{0};
    std::mutex pauseMutex;
    std::condition_variable pauseWake;
};

#endif // TIMEOUT_H
