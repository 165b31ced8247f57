// The configuration conversation with the module, without any widget: the
// route and the link, the module model, the one command in flight and its
// watchdog. It sends the version query, the read and the write (whole, or
// port by port through the flight controller), handles only the answers to
// the command it is waiting for, and reports every outcome as a signal.
#ifndef CONFIGSESSION_H
#define CONFIGSESSION_H

#include "moduleprofile.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QVector>

#include <memory>

class COMPROTOCOL;
class LinkCapture;
class TimeOut;
class Transport;
struct tNKLinkData;

class ConfigSession : public QObject
{
    Q_OBJECT
public:
    enum class Route {
        Direct,           // bare commands on the serial port
        FlightController, // pass-through on the serial port, port by port
        GroundStation,    // pass-through as datagrams via 127.0.0.1, port by port
    };
    Q_ENUM(Route)
    enum class Operation { Version, Read, Write };
    Q_ENUM(Operation)
    enum class Outcome {
        Success,
        NoReply,       // nothing answered within the watchdog's time
        Refused,       // the module said no (write-all failure byte)
        WrongLength,   // an answer of the wrong length
        WrongIndex,    // an answer naming another port than the one asked
        RecordRefused, // a read record the port's rules refuse
        LinkLost,      // the link broke while the command was in flight
        Interrupted,   // interrupt() stopped it between two requests
    };
    Q_ENUM(Outcome)

    explicit ConfigSession(QObject *parent = nullptr);
    ~ConfigSession() override;

    ModuleModel model() const { return m_model; }
    void setModel(ModuleModel model) { m_model = model; }
    int portCount() const { return ModuleProfile::portCount(m_model); }

    // The transport a route uses: the serial device, or the ground-station
    // socket (the device is then not used).
    static std::unique_ptr<Transport> createTransport(Route route, const QString &serialDevice);

    // Opens the route over the transport, which the session keeps; on
    // failure returns false, keeps nothing and errorString() says why.
    // device names the link in the capture.
    bool open(Route route, std::unique_ptr<Transport> transport, const QString &device = QString());
    void close();
    bool isOpen() const;
    Route route() const { return m_route; }
    QString errorString() const { return m_error; }

    void queryVersion();
    // Through the flight controller or the ground station: asks the version
    // as every one of models, the requests back to back, under one watchdog
    // time; the first valid answer names the model, any later one is dropped.
    // With one model, or on the direct route, as queryVersion() (as the first).
    void queryVersion(const QVector<ModuleModel> &models);
    void read();
    // One record per port, port 0 first.
    void write(const QVector<QByteArray> &records);

    // How often a request that got no answer within the watchdog's time is
    // sent again before the command ends as NoReply (0, the default: never).
    // Each repeat is of the one request unanswered (in a chain, the port it
    // asked for), with a watchdog time of its own.
    void setRetries(int repeats) { m_retries = qMax(0, repeats); }
    int retries() const { return m_retries; }
    // Repeats of the request in flight so far.
    int repeats() const { return m_pending.repeats; }
    // Sends nothing new: the request in flight may still be answered (or go
    // unanswered, without repeats); a chain then ends as Interrupted instead
    // of sending its next step. A command of one request ends as it would.
    void interrupt();
    bool isBusy() const { return m_pending.step != Step::None; }
    // The ports, port 0 first, whose records the module acknowledged in the
    // last write (all or none for a write at once).
    QList<int> acknowledgedPorts() const { return m_acknowledged; }

    // Every link opened from now on is recorded in the capture, which the
    // session keeps (null: none).
    void setCapture(std::unique_ptr<LinkCapture> capture);
    LinkCapture *capture() const { return m_capture.get(); }
    static QString routeName(Route route);

    // The frame that carries a command on the current route and model.
    QByteArray requestFrame(quint8 id, const QByteArray &payload) const;

signals:
    void versionRead(ModuleModel model, const QString &firmware);
    // A record of a read that the port's rules accept, in the order read.
    void recordRead(int port, const QByteArray &record);
    // The command ended; for a read, refusedPorts lists the ports whose
    // record the rules refused (the outcome is then RecordRefused).
    void finished(ConfigSession::Operation operation, ConfigSession::Outcome outcome,
                  const QList<int> &refusedPorts);
    // Time to show the idle look again: 0.2 to 0.7 s after a command ended.
    void idle();
    // A command could not be sent because the link is not open; the watchdog
    // still reports it as unanswered.
    void notSent();
    // The open link broke; the session is closed.
    void linkLost(const QString &reason);
    // The link reported an error it survived; it stays open.
    void linkTroubled(const QString &reason);
    // A step of a command went out: port is the port it asks for, or -1 for
    // a command over the whole module; count is the model's port count.
    void progress(ConfigSession::Operation operation, int port, int count);

private:
    enum class Step { None, Version, ReadAll, ReadPort, WriteAll, WritePort };
    struct Pending {
        Step step = Step::None;
        int port = 0;
        quint32 exchange = 0;
        QVector<QByteArray> records; // what a write sends
        QList<int> refused;          // ports whose read record was refused
        quint8 id = 0;               // the request in flight, to repeat it
        QByteArray payload;
        int repeats = 0;          // of the request in flight
        QList<int> repeatedPorts; // of the chain, whose late answers are dropped
        bool interrupted = false;
        QVector<ModuleModel> asked; // a version round asks as each of them
    };

    void start(Step step, int port, const QByteArray &payload);
    void sendStep(quint8 id, const QByteArray &payload);
    void sendVersionRound();
    // Every frame goes out here, and on the capture's record once it is on
    // its way.
    void transmit(const QByteArray &frame);
    void onRecord(tNKLinkData *record);
    void handleAnswer(quint8 id, quint8 len, const QByteArray &data);
    bool lateAnswer(const QByteArray &data) const;
    void finish(Outcome outcome);
    void onFailRead(quint32 exchange);
    void onTimeStart(quint32 exchange);
    void onTransportFailed(const QString &reason);
    // Disconnects and closes the transport and hands it over; null if none.
    std::unique_ptr<Transport> detachTransport();
    bool recordAccepted(int port, const QByteArray &record) const;
    Operation operation() const;

    ModuleModel m_model = ModuleModel::Tovrin;
    Route m_route = Route::Direct;
    QString m_error;
    std::unique_ptr<Transport> m_transport;
    std::unique_ptr<COMPROTOCOL> m_parser;
    std::unique_ptr<TimeOut> m_watchdog;
    std::unique_ptr<LinkCapture> m_capture;
    Pending m_pending;
    QList<int> m_acknowledged;
    int m_retries = 0;
    int m_dropped = 0;
};

#endif // CONFIGSESSION_H
