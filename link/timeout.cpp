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

quint32 TimeOut::arm()
{
    quint32 n = lastNumber.fetch_add(1) + 1;
    if (n == 0) // wrapped: 0 means "none"
        n = lastNumber.fetch_add(1) + 1;
    state.store(pack(n, Waiting));
    return n;
}

quint32 TimeOut::advance(quint32 n)
{
    quint32 next = lastNumber.fetch_add(1) + 1;
    if (next == 0)
        next = lastNumber.fetch_add(1) + 1;
    quint64 expected = pack(n, Waiting);
    return state.compare_exchange_strong(expected, pack(next, Waiting)) ? next : 0;
}

bool TimeOut::answered(quint32 n)
{
    quint64 expected = pack(n, Waiting);
    return state.compare_exchange_strong(expected, pack(n, Ended));
}

bool TimeOut::isWaiting() const
{
    return phase(state.load()) == Waiting;
}

void TimeOut::pause(int ms)
{
    std::unique_lock<std::mutex> lock(pauseMutex);
    pauseWake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !running.load(); });
}

void TimeOut::run()
{
    quint32 watched = 0; // the waiting exchange the ticks count for
    int waitingTicks = 0;
    while (running.load()) {
        pause(500);
        if (!running.load())
            return;
        quint64 seen = state.load();
        if (phase(seen) == Ended) {
            pause(200);
            if (!running.load())
                return;
            // Only if nothing was armed meanwhile: a newer exchange keeps
            // its own state and deadline.
            if (state.compare_exchange_strong(seen, pack(number(seen), Idle)))
                emit sgl_timeStart(number(seen));
            continue;
        }
        if (phase(seen) != Waiting)
            continue;
        if (number(seen) != watched) {
            watched = number(seen);
            waitingTicks = 0;
        }
        if (++waitingTicks <= 2)
            continue;
        waitingTicks = 0;
        // Reported only if the reply did not end it in the meantime; the
        // failure colour stays until the next tick ends the exchange.
        if (state.compare_exchange_strong(seen, pack(number(seen), Ended)))
            emit sgl_failRead(number(seen));
    }
}
