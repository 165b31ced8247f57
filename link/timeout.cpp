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
    running.store(false);
    while (isRunning()) {
        quit();
        wait(50);
    }
}

void TimeOut::run()
{
    int waitingTicks = 0;
    while (running.load()) {
        msleep(500);
        if (replyDone.load()) {
            msleep(200);
            waitingTicks = 0;
            emit sgl_timeStart();
            waiting.store(false);
            continue;
        }
        if (!waiting.load())
            continue;
        if (++waitingTicks <= 2)
            continue;
        waitingTicks = 0;
        emit sgl_failRead();
        waiting.store(false);
        replyDone.store(true);
    }
}
