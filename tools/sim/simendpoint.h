// One link as the module's side sees it: parses the bytes that arrive, relays
// pass-through commands to the module (as the flight controller would), answers
// bare commands where the route allows them, and returns the reply frames to
// send, with the link-side faults applied. Pure bytes in, frames out; timing
// is ReplyScheduler's business.
#ifndef SIMENDPOINT_H
#define SIMENDPOINT_H

#include "comprotocol.h"
#include "simfaults.h"

#include <QList>
#include <QObject>

class SimModule;

class SimEndpoint : public QObject
{
    Q_OBJECT
public:
    enum class Route {
        Serial,       // direct or through the flight controller: bare and wrapped commands
        GroundStation // through the ground-station software: wrapped commands only
    };

    SimEndpoint(SimModule *module, Route route, const SimFaults &faults, QObject *parent = nullptr);

    // Feeds received bytes; returns the frames to send in answer, in order.
    // With --unasked-after the unasked frames follow the reply that reaches
    // the count.
    QList<QByteArray> receive(const QByteArray &bytes);
    // The unasked frames of the faults, logged as sent.
    QList<QByteArray> unasked();

    // Garbage sent before every reply with --garbage: a broken start (AB 00)
    // among bytes that are not a start at all.
    static QByteArray garbageBytes();
    static QString messageName(quint8 id);

signals:
    void logLine(const QString &line);

private:
    void onRecord(tNKLinkData *record);
    void relay(const tNKLinkData &record);
    void send(const QByteArray &frame, const QString &what);
    void log(const QString &text);

    SimModule *m_module;
    Route m_route;
    SimFaults m_faults;
    COMPROTOCOL m_parser;
    QList<QByteArray> m_out;
    int m_replies = 0; // reply frames made, dropped ones included
    int m_sent = 0;    // reply frames that went out
};

#endif // SIMENDPOINT_H
