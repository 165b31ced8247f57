#include "replyscheduler.h"

ReplyScheduler::ReplyScheduler(const SimFaults &faults, quint32 seed, QObject *parent)
    : QObject(parent), m_faults(faults), m_random(seed)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ReplyScheduler::writeDue);
}

qint64 ReplyScheduler::wireTimeUs(int bytes)
{
    return (static_cast<qint64>(bytes) * 10 * 1000000 + 115199) / 115200;
}

void ReplyScheduler::enqueue(const QByteArray &bytes, Timing timing)
{
    if (bytes.isEmpty())
        return;
    QList<QByteArray> pieces;
    if (m_faults.split) {
        for (int at = 0; at < bytes.size();) {
            const int size =
                qMin(bytes.size() - at, static_cast<int>(m_random.bounded(1, kMaxPiece + 1)));
            pieces.append(bytes.mid(at, size));
            at += size;
        }
    } else {
        pieces.append(bytes);
    }

    const qint64 nowUs = m_clock.nsecsElapsed() / 1000;
    // A reply never overtakes one queued before it.
    const qint64 delayUs = timing == Timing::Reply ? qint64(m_faults.delayMs) * 1000 : 0;
    qint64 dueUs = qMax(nowUs + delayUs, m_lastDueUs);
    for (int i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            dueUs += kSplitGapUs;
        if (m_faults.baudPacing)
            dueUs += wireTimeUs(pieces.at(i).size());
        m_queue.enqueue({dueUs, pieces.at(i)});
    }
    m_lastDueUs = dueUs;
    writeDue();
}

void ReplyScheduler::writeDue()
{
    const qint64 nowUs = m_clock.nsecsElapsed() / 1000;
    while (!m_queue.isEmpty() && m_queue.head().dueUs <= nowUs)
        emit write(m_queue.dequeue().bytes);
    if (!m_queue.isEmpty())
        m_timer.start(static_cast<int>((m_queue.head().dueUs - nowUs + 999) / 1000));
}
