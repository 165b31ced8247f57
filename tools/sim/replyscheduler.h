// Puts reply frames on the wire with the timing faults applied: a fixed delay,
// the wire time at 115200 baud, and splitting into small pieces. Replies
// always leave in the order they were queued; with no timing fault a reply is
// written at once, inside enqueue(). The delay counts from the moment the
// request was handed over, so replies to requests that arrived apart leave
// apart, and never before an earlier one.
#ifndef REPLYSCHEDULER_H
#define REPLYSCHEDULER_H

#include "simfaults.h"

#include <QElapsedTimer>
#include <QObject>
#include <QQueue>
#include <QRandomGenerator>
#include <QTimer>

class ReplyScheduler : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSplitGapUs = 3000; // pause between pieces of a split reply
    static constexpr int kMaxPiece = 4;      // largest piece of a split reply

    ReplyScheduler(const SimFaults &faults, quint32 seed, QObject *parent = nullptr);

    enum class Timing { Reply, Unasked };
    // A reply is held for the delay fault; an unasked frame is not, but it
    // still waits for the replies queued before it.
    void enqueue(const QByteArray &bytes, Timing timing = Timing::Reply);
    bool idle() const { return m_queue.isEmpty(); }

    // Time a byte count takes at 115200 baud with 10 bits per byte.
    static qint64 wireTimeUs(int bytes);

signals:
    void write(const QByteArray &bytes);

private:
    struct Piece {
        qint64 dueUs;
        QByteArray bytes;
    };
    void writeDue();

    SimFaults m_faults;
    QRandomGenerator m_random;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QQueue<Piece> m_queue;
    qint64 m_lastDueUs = 0;
};

#endif // REPLYSCHEDULER_H
