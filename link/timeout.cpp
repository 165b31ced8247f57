#include "timeout.h"

TimeOut::TimeOut(QObject *parent) : QThread(parent) {}

TimeOut::~TimeOut()
{
    stopWatch();
}

void TimeOut::startWatch()
{
    if (isRunning())
        return;
    running.store(true);
    start(InheritPriority);
}

void TimeOut::stopWatch()
{
    {
        std::lock_guard<std::mutex> lock(pauseMutex);
        running.store(false);
    }
    pauseWake.notify_all();
    while (isRunning()) {
        quit();
        wait(50);
    }
}

void TimeOut::pause(int ms)
{
    std::unique_lock<std::mutex> lock(pauseMutex);
    pauseWake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !running.load(); });
}

void TimeOut::run()
{
    int waitingTicks = 0;
    while (running.load()) {
        pause(500);
        if (!running.load())
            return;
        if (replyDone.load()) {
            unsigned ended = waiting.load();
            pause(200);
            if (!running.load())
                return;
            waitingTicks = 0;
            emit sgl_timeStart();
            // A command armed during the pause keeps its flag, so a reply
            // that never comes is still reported.
            waiting.compare_exchange_strong(ended, 0);
            continue;
        }
        unsigned armed = waiting.load();
        if (armed == 0)
            continue;
        if (++waitingTicks <= 2)
            continue;
        waitingTicks = 0;
        emit sgl_failRead();
        waiting.compare_exchange_strong(armed, 0);
        replyDone.store(true);
    }
}
