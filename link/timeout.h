// Read-timeout watchdog: a thread that only sleeps and watches two flags set by
// the command logic, reporting a finished exchange (sgl_timeStart) or a reply
// that never came (sgl_failRead).
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
    void setReplyDone(bool flag) { replyDone.store(flag); }
    void setWaiting(bool flag) { waiting.store(flag ? nextArm.fetch_add(1) + 1 : 0); }

    bool isReplyDone() const { return replyDone.load(); }
    bool isWaiting() const { return waiting.load() != 0; }

signals:
    void sgl_timeStart();
    void sgl_failRead();

protected:
    void run() override;

private:
    // Sleeps for ms, or less when stopWatch() asks the loop to end.
    void pause(int ms);

    std::atomic<bool> running{false};
    std::atomic<bool> replyDone{false};
    // 0 when no command waits; otherwise a number that changes with every
    // command armed, so the loop never clears the flag of a newer command.
    std::atomic<unsigned> waiting{0};
    std::atomic<unsigned> nextArm{0};
    std::mutex pauseMutex;
    std::condition_variable pauseWake;
};

#endif // TIMEOUT_H
