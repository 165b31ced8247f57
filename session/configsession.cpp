#include "configsession.h"

#include "comprotocol.h"
#include "groundstationtransport.h"
#include "linkcapture.h"
#include "linkframe.h"
#include "passthrough.h"
#include "portrecord.h"
#include "serialtransport.h"
#include "timeout.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSession, "tovrin.session", QtWarningMsg)

namespace
{
quint8 byteAt(const QByteArray &data, int i)
{
    return i < data.size() ? quint8(data.at(i)) : 0;
}
} // namespace

ConfigSession::ConfigSession(QObject *parent)
    : QObject(parent), m_parser(new COMPROTOCOL), m_watchdog(new TimeOut(this))
{
    m_watchdog->setObjectName(QStringLiteral("watchdog"));
    qRegisterMetaType<ConfigSession::Operation>();
    qRegisterMetaType<ConfigSession::Outcome>();
    connect(m_parser.get(), &COMPROTOCOL::COMRxCmd, this, &ConfigSession::onRecord);
    connect(m_watchdog.get(), &TimeOut::sgl_failRead, this, &ConfigSession::onFailRead);
    connect(m_watchdog.get(), &TimeOut::sgl_timeStart, this, &ConfigSession::onTimeStart);
    m_watchdog->startWatch();
}

ConfigSession::~ConfigSession()
{
    m_watchdog->stopWatch();
    close();
}

std::unique_ptr<Transport> ConfigSession::createTransport(Route route, const QString &serialDevice)
{
    if (route == Route::GroundStation)
        return std::make_unique<GroundStationTransport>();
    return std::make_unique<SerialTransport>(serialDevice);
}

bool ConfigSession::open(Route route, std::unique_ptr<Transport> transport, const QString &device)
{
    close();
    if (!transport || !transport->open()) {
        m_error = transport ? transport->errorString() : QString();
        return false;
    }
    m_error.clear();
    m_route = route;
    m_transport = std::move(transport);
    if (m_capture) {
        m_capture->linkOpened(routeName(route), device);
        // Connected before the parser: the chunk is on record before any
        // request its answer brings goes out.
        connect(m_transport.get(), &Transport::received, this,
                [this](const QByteArray &bytes) { m_capture->received(bytes); });
    }
    connect(m_transport.get(), &Transport::received, m_parser.get(), &COMPROTOCOL::receive);
    connect(m_transport.get(), &Transport::failed, this, &ConfigSession::onTransportFailed);
    connect(m_transport.get(), &Transport::troubled, this, &ConfigSession::linkTroubled);
    return true;
}

void ConfigSession::close()
{
    detachTransport();
}

std::unique_ptr<Transport> ConfigSession::detachTransport()
{
    if (!m_transport)
        return nullptr;
    // Taken out first: closing may deliver the transport's last signals.
    std::unique_ptr<Transport> transport = std::move(m_transport);
    transport->disconnect(this);
    transport->disconnect(m_parser.get());
    transport->close();
    if (m_capture)
        m_capture->linkClosed();
    return transport;
}

void ConfigSession::setCapture(std::unique_ptr<LinkCapture> capture)
{
    m_capture = std::move(capture);
}

QString ConfigSession::routeName(Route route)
{
    switch (route) {
    case Route::Direct:
        return QStringLiteral("direct");
    case Route::FlightController:
        return QStringLiteral("flight-controller");
    case Route::GroundStation:
        return QStringLiteral("ground-station");
    }
    return QString();
}

bool ConfigSession::isOpen() const
{
    return m_transport && m_transport->isOpen();
}

void ConfigSession::queryVersion()
{
    start(Step::Version, 0, QByteArray(1, '\0'));
}

void ConfigSession::queryVersion(const QVector<ModuleModel> &models)
{
    if (!models.isEmpty())
        m_model = models.first();
    if (models.size() < 2 || m_route == Route::Direct) {
        queryVersion();
        return;
    }
    m_pending = Pending();
    m_pending.step = Step::Version;
    m_pending.asked = models;
    m_pending.exchange = m_watchdog->arm();
    sendVersionRound();
}

// Each request of the round is framed as its model; the session stays set
// to the last one until an answer names the module.
void ConfigSession::sendVersionRound()
{
    m_pending.id = MSG_VERSION;
    m_pending.payload = QByteArray(1, '\0');
    if (!isOpen()) {
        emit notSent();
        return;
    }
    for (ModuleModel model : qAsConst(m_pending.asked)) {
        m_model = model;
        transmit(requestFrame(MSG_VERSION, m_pending.payload));
        emit progress(Operation::Version, -1, portCount());
    }
}

void ConfigSession::read()
{
    if (m_route == Route::Direct)
        start(Step::ReadAll, 0, QByteArray(1, '\0'));
    else
        start(Step::ReadPort, 0, QByteArray(1, '\0'));
}

void ConfigSession::write(const QVector<QByteArray> &records)
{
    m_acknowledged.clear();
    m_pending.records = records;
    m_pending.records.resize(portCount());
    if (m_route == Route::Direct) {
        QByteArray payload;
        for (const QByteArray &record : qAsConst(m_pending.records))
            payload.append(record);
        start(Step::WriteAll, 0, payload);
    } else {
        start(Step::WritePort, 0, QByteArray(1, '\0') + m_pending.records.at(0));
    }
}

QByteArray ConfigSession::requestFrame(quint8 id, const QByteArray &payload) const
{
    if (m_route == Route::Direct)
        return packLinkFrame(id, payload, quint8(payload.size()));
    return PassThrough::forwardFrame(ModuleProfile::deviceCode(m_model), id, payload);
}

namespace
{
quint8 requestId(int step)
{
    static const quint8 ids[] = {
        0, MSG_VERSION, MSG_READ_ALL, MSG_READ_PORT, MSG_WRITE_ALL, MSG_WRITE_PORT};
    return ids[step];
}
} // namespace

void ConfigSession::start(Step step, int port, const QByteArray &payload)
{
    const QVector<QByteArray> records = step == Step::WriteAll || step == Step::WritePort
                                            ? m_pending.records
                                            : QVector<QByteArray>();
    m_pending = Pending();
    m_pending.step = step;
    m_pending.port = port;
    m_pending.records = records;
    // Armed before the send, so that even a command that cannot go out is
    // reported as unanswered, as the user expects after a click.
    m_pending.exchange = m_watchdog->arm();
    sendStep(requestId(int(step)), payload);
}

void ConfigSession::interrupt()
{
    if (m_pending.step != Step::None)
        m_pending.interrupted = true;
}

void ConfigSession::sendStep(quint8 id, const QByteArray &payload)
{
    m_pending.id = id;
    m_pending.payload = payload;
    if (!isOpen()) {
        emit notSent();
        return;
    }
    transmit(requestFrame(id, payload));
    const bool byPort = m_pending.step == Step::ReadPort || m_pending.step == Step::WritePort;
    emit progress(operation(), byPort ? m_pending.port : -1, portCount());
}

void ConfigSession::transmit(const QByteArray &frame)
{
    // On record once it is on its way, so the capture costs it no time.
    if (m_transport->send(frame) && m_capture)
        m_capture->sent(frame);
}

void ConfigSession::onRecord(tNKLinkData *record)
{
    if (!record)
        return;
    if (m_pending.step == Step::None) {
        ++m_dropped;
        qCDebug(lcSession) << "dropped an unasked record" << Qt::hex << record->id;
        return;
    }
    if (m_route == Route::Direct) {
        handleAnswer(record->id, record->len, record->data);
        return;
    }
    PassThrough::Inner inner;
    // An answer to a version round comes from one of the models asked.
    if (record->id == MSG_FC_RETURN) {
        for (ModuleModel model : qAsConst(m_pending.asked)) {
            if (PassThrough::unwrap(record->data, PassThrough::Direction::FromDevice,
                                    ModuleProfile::deviceCode(model), &inner)) {
                m_model = model;
                break;
            }
        }
    }
    if (record->id != MSG_FC_RETURN ||
        !PassThrough::unwrap(record->data, PassThrough::Direction::FromDevice,
                             ModuleProfile::deviceCode(m_model), &inner)) {
        ++m_dropped;
        qCDebug(lcSession) << "dropped a record that is no pass-through answer" << Qt::hex
                           << record->id;
        return;
    }
    handleAnswer(inner.id, inner.len, inner.data);
}

// The second answer to a port request that was sent again: the answer to the
// first came late, after the repeat went out, and the chain went on with it.
bool ConfigSession::lateAnswer(const QByteArray &data) const
{
    const int port = byteAt(data, 0);
    return !data.isEmpty() && port < m_pending.port && m_pending.repeatedPorts.contains(port);
}

// A reply whose data holds fewer bytes than its declared length counts as a
// reply of the wrong length, so nothing reads past the bytes present.
void ConfigSession::handleAnswer(quint8 id, quint8 len, const QByteArray &data)
{
    const Step step = m_pending.step;
    if (id != requestId(int(step))) {
        ++m_dropped;
        qCDebug(lcSession) << "dropped an answer to another command" << Qt::hex << id;
        return;
    }
    const bool complete = data.size() >= len;
    switch (step) {
    case Step::Version: {
        ModuleModel model;
        if (len != 4 || !complete) {
            // A wrong answer, not silence.
            if (m_watchdog->answered(m_pending.exchange))
                finish(Outcome::WrongLength);
            return;
        }
        // Naming no known module: not an answer.
        if (!ModuleProfile::modelForDeviceCode(byteAt(data, 0), &model))
            return;
        if (!m_watchdog->answered(m_pending.exchange))
            return; // already reported as unanswered
        m_pending = Pending();
        m_model = model;
        const QString firmware = QStringLiteral("V%1.%2.%3")
                                     .arg(qint8(byteAt(data, 1)))
                                     .arg(qint8(byteAt(data, 2)))
                                     .arg(qint8(byteAt(data, 3)));
        emit versionRead(model, firmware);
        emit finished(Operation::Version, Outcome::Success, {});
        return;
    }
    case Step::ReadAll: {
        if (!m_watchdog->answered(m_pending.exchange))
            return;
        if (len != portCount() * PortRecord::Size || !complete) {
            finish(Outcome::WrongLength);
            return;
        }
        for (int i = 0; i < portCount(); ++i) {
            const QByteArray record = data.mid(i * PortRecord::Size, PortRecord::Size);
            if (recordAccepted(i, record))
                emit recordRead(i, record);
            else
                m_pending.refused.append(i);
        }
        finish(m_pending.refused.isEmpty() ? Outcome::Success : Outcome::RecordRefused);
        return;
    }
    case Step::ReadPort: {
        const int port = m_pending.port;
        const bool last = port == portCount() - 1;
        if (len == 1 + PortRecord::Size && complete && lateAnswer(data))
            return;
        Outcome wrong = Outcome::Success;
        if (len != 1 + PortRecord::Size || !complete)
            wrong = Outcome::WrongLength;
        else if (byteAt(data, 0) != port)
            wrong = Outcome::WrongIndex;
        if (wrong != Outcome::Success || last) {
            if (!m_watchdog->answered(m_pending.exchange))
                return;
            if (wrong != Outcome::Success) {
                finish(wrong);
                return;
            }
        } else {
            const quint32 next = m_watchdog->advance(m_pending.exchange);
            if (next == 0)
                return;
            m_pending.exchange = next;
        }
        const QByteArray record = data.mid(1, PortRecord::Size);
        if (recordAccepted(port, record))
            emit recordRead(port, record);
        else
            m_pending.refused.append(port);
        if (last) {
            finish(m_pending.refused.isEmpty() ? Outcome::Success : Outcome::RecordRefused);
            return;
        }
        // A slot may have started another command meanwhile.
        if (m_pending.step != Step::ReadPort || m_pending.port != port)
            return;
        if (m_pending.interrupted) {
            m_watchdog->answered(m_pending.exchange);
            finish(Outcome::Interrupted);
            return;
        }
        m_pending.port = port + 1;
        m_pending.repeats = 0;
        sendStep(MSG_READ_PORT, QByteArray(1, char(port + 1)));
        return;
    }
    case Step::WriteAll: {
        if (!m_watchdog->answered(m_pending.exchange))
            return;
        if (len != 1 || !complete) {
            finish(Outcome::WrongLength);
        } else if (byteAt(data, 0) == 0) {
            for (int i = 0; i < portCount(); ++i)
                m_acknowledged.append(i);
            finish(Outcome::Success);
        } else {
            finish(Outcome::Refused);
        }
        return;
    }
    case Step::WritePort: {
        const int port = m_pending.port;
        if (len == 1 && complete && lateAnswer(data))
            return;
        Outcome wrong = Outcome::Success;
        if (len != 1 || !complete)
            wrong = Outcome::WrongLength;
        else if (byteAt(data, 0) != port)
            wrong = Outcome::WrongIndex;
        if (wrong != Outcome::Success || port == portCount() - 1 || m_pending.interrupted) {
            if (!m_watchdog->answered(m_pending.exchange))
                return;
            if (wrong == Outcome::Success)
                m_acknowledged.append(port);
            finish(wrong == Outcome::Success && port < portCount() - 1 ? Outcome::Interrupted
                                                                       : wrong);
            return;
        }
        const quint32 next = m_watchdog->advance(m_pending.exchange);
        if (next == 0)
            return;
        m_acknowledged.append(port);
        m_pending.exchange = next;
        m_pending.port = port + 1;
        m_pending.repeats = 0;
        sendStep(MSG_WRITE_PORT, QByteArray(1, char(port + 1)) + m_pending.records.at(port + 1));
        return;
    }
    case Step::None:
        return;
    }
}

bool ConfigSession::recordAccepted(int port, const QByteArray &record) const
{
    return PortRecord(record).refusal(ModuleProfile::port(m_model, port)) ==
           PortRecord::Refusal::None;
}

ConfigSession::Operation ConfigSession::operation() const
{
    switch (m_pending.step) {
    case Step::Version:
        return Operation::Version;
    case Step::WriteAll:
    case Step::WritePort:
        return Operation::Write;
    default:
        return Operation::Read;
    }
}

void ConfigSession::finish(Outcome outcome)
{
    const Operation op = operation();
    const QList<int> refused = m_pending.refused;
    m_pending = Pending();
    emit finished(op, outcome, refused);
}

// An unanswered request is sent again, the same bytes, while repeats are
// left; a chain goes on from the port it asked for.
void ConfigSession::onFailRead(quint32 exchange)
{
    if (m_pending.step == Step::None || m_pending.exchange != exchange)
        return;
    if (m_pending.interrupted) {
        finish(Outcome::NoReply); // not repeated once interrupted
        return;
    }
    if (m_pending.repeats >= m_retries || !isOpen()) {
        finish(Outcome::NoReply);
        return;
    }
    ++m_pending.repeats;
    const bool byPort = m_pending.step == Step::ReadPort || m_pending.step == Step::WritePort;
    if (byPort && !m_pending.repeatedPorts.contains(m_pending.port))
        m_pending.repeatedPorts.append(m_pending.port);
    m_pending.exchange = m_watchdog->arm();
    if (!m_pending.asked.isEmpty())
        sendVersionRound();
    else
        sendStep(m_pending.id, m_pending.payload);
}

void ConfigSession::onTimeStart(quint32 exchange)
{
    Q_UNUSED(exchange)
    if (m_pending.step == Step::None)
        emit idle();
}

void ConfigSession::onTransportFailed(const QString &reason)
{
    // The transport is still delivering this signal: it goes once it is done.
    if (std::unique_ptr<Transport> transport = detachTransport())
        transport.release()->deleteLater();
    if (m_pending.step != Step::None) {
        // Ended here, so the watchdog does not report it as unanswered too.
        m_watchdog->answered(m_pending.exchange);
        finish(Outcome::LinkLost);
    }
    emit linkLost(reason);
}
