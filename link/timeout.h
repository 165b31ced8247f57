// Read-timeout watchdog: a thread that only sleeps and watches two flags set by
// the command logic, reporting a finished exchange (sgl_timeStart) or a reply
// that never came (sgl_failRead).
#ifndef TIMEOUT_H
#define TIMEOUT_H

#include <QThread>

#include <atomic>

class TimeOut : public QThread
{
    Q_OBJECT
public:
    explicit TimeOut(QObject *parent = nullptr);
    ~TimeOut() override;

    void startWatch();
    void stopWatch();
    void setReplyDone(bool flag) { replyDone.store(flag); }
    void setWaiting(bool flag) { waiting.store(flag); }

    bool isReplyDone() const { return replyDone.load(); }
    bool isWaiting() const { return waiting.load(); }

signals:
    void sgl_timeStart();
    void sgl_failRead();

protected:
    void run() override;

private:
    std::atomic<bool> running{false};
    std::atomic<bool> replyDone{false};
    std::atomic<bool> waiting{false};
};

#endif // TIMEOUT_H
