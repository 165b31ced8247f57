// Plays the far side of a capture on one link: every request that arrives
// is looked up among the requests the capture shows (the next one after the
// last found, else any earlier one) and answered with the chunks the capture
// received after it, until the next request, each as long after the request
// as it was then (divided by the speed). A request the capture does not hold
// gets no answer.
#ifndef CAPTUREREPLAY_H
#define CAPTUREREPLAY_H

#include "capturefile.h"
#include "comprotocol.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QVector>

class CaptureReplay : public QObject
{
    Q_OBJECT
public:
    CaptureReplay(const CaptureFile &capture, double speed, const QString &routeName,
                  QObject *parent = nullptr);

    void receive(const QByteArray &bytes);
    int exchanges() const { return m_exchanges.size(); }

signals:
    void write(const QByteArray &bytes);
    void logLine(const QString &line);

private:
    struct Answer {
        qint64 delayUs = 0;
        QByteArray bytes;
        int line = 0;
    };
    struct Exchange {
        QByteArray request;
        int line = 0;
        QVector<Answer> answers;
    };
    struct Piece {
        qint64 dueUs = 0;
        QByteArray bytes;
        int line = 0;
    };

    void onRecord(tNKLinkData *record);
    int find(const QByteArray &frame) const;
    void writeDue();

    QVector<Exchange> m_exchanges;
    double m_speed;
    QString m_route;
    int m_next = 0;
    COMPROTOCOL m_parser;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QList<Piece> m_queue; // by due time, in the order queued when equal
};

#endif // CAPTUREREPLAY_H
