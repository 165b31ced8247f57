// Shared pieces of the transport and send-path tests: a main window built
// offscreen with extra serial devices, the records its parser decodes, and
// the far ends of its links (the other pty of a socat pair, a UDP socket
// standing in for the ground-station software).
#ifndef TRANSPORTHARNESS_H
#define TRANSPORTHARNESS_H

#include "comprotocol.h"
#include "linkframe.h"
#include "mainwidget.h"

#include <QByteArrayList>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <memory>

namespace Harness
{

constexpr int WaitMs = 5000;
constexpr quint16 GroundStationPort = 5161;
constexpr quint16 ProgramPort = 6161;

inline QHostAddress localHost()
{
    return QHostAddress(QStringLiteral("127.0.0.1"));
}

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

// A frame with one sub-record, checksum appended low byte first.
inline QByteArray frame(quint8 id, const QByteArray &payload)
{
    QByteArray f;
    f.append(char(0xAB));
    f.append(char(0x0E));
    f.append(char(payload.size() + 4));
    f.append(char(id));
    f.append(char(payload.size()));
    f.append(payload);
    const quint16 crc = crc16Modbus(f.constData(), f.size());
    f.append(char(crc & 0xFF));
    f.append(char(crc >> 8));
    return f;
}

// A decoded record as id, declared length and payload, back to back.
inline QByteArray record(quint8 id, const QByteArray &payload)
{
    return QByteArray(1, char(id)) + QByteArray(1, char(payload.size())) + payload;
}

inline QByteArray filler(int size, char byte = '\0')
{
    return QByteArray(size, byte);
}

// Copies every record the parser emits; the pointer it hands out is only
// valid during the call.
class RecordLog : public QObject
{
public:
    explicit RecordLog(COMPROTOCOL *parser)
    {
        connect(parser, &COMPROTOCOL::COMRxCmd, this, [this](tNKLinkData *d) {
            records.append(QByteArray(1, char(d->id)) + QByteArray(1, char(d->len)) + d->data);
        });
    }
    QByteArrayList records;
};

template <class T> T *child(QWidget *window, const char *name)
{
    T *w = window->findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no child widget %s", name);
    return w;
}

inline QStringList comboItems(QWidget *window)
{
    auto *cb = child<QComboBox>(window, "cbSerial");
    QStringList items;
    for (int i = 0; i < cb->count(); ++i)
        items.append(cb->itemText(i));
    return items;
}

inline std::unique_ptr<MainWidget> makeWindow(const QStringList &extraPorts)
{
    MainWidget::setExtraSerialPorts(extraPorts);
    auto window = std::make_unique<MainWidget>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("main window not exposed");
    return window;
}

// Selects the port with the given display name; false when it is not listed.
inline bool choosePort(MainWidget *window, const QString &displayName)
{
    auto *cb = child<QComboBox>(window, "cbSerial");
    const int index = cb->findText(displayName);
    if (index < 0)
        return false;
    cb->setCurrentIndex(index);
    return true;
}

inline void clickOpenButton(MainWidget *window)
{
    QTest::mouseClick(child<QPushButton>(window, "btnOpenSerialPort"), Qt::LeftButton);
}

inline void chooseR7Mode(MainWidget *window)
{
    child<QRadioButton>(window, "rb_R7FuncMode")->click();
}

// Ticks pass-through and, if asked, the ground-station transport, as a user would.
inline void choosePassThrough(MainWidget *window, bool groundStation)
{
    child<QCheckBox>(window, "chb_ConfigByFCS")->click();
    if (groundStation)
        child<QCheckBox>(window, "chb_DLSpace")->click();
}

inline QString statusText(MainWidget *window)
{
    return child<QLabel>(window, "lblStatus")->text();
}

inline QString openButtonStyle(const char *prefix)
{
    return QStringLiteral(
               "QPushButton{border-image: url(:/image/resource/%1-load-normal.png);}\n"
               "QPushButton:hover{border-image: url(:/image/resource/%1-load-hover.png);}\n"
               "QPushButton:pressed{border-image: url(:/image/resource/%1-load-select.png);}")
        .arg(QLatin1String(prefix));
}

// The device end of a pty pair: collects everything the program writes.
class SerialPeer : public QObject
{
public:
    bool open(const QString &device)
    {
        port.setPortName(device);
        port.setBaudRate(115200);
        if (!port.open(QIODevice::ReadWrite))
            return false;
        connect(&port, &QSerialPort::readyRead, this, [this] { received += port.readAll(); });
        return true;
    }
    void send(const QByteArray &bytes)
    {
        port.write(bytes);
        port.waitForBytesWritten(WaitMs);
    }
    QSerialPort port;
    QByteArray received;
};

// The ground-station end: a socket on 127.0.0.1:5161.
class GroundStationPeer
{
public:
    bool bind() { return socket.bind(localHost(), GroundStationPort); }
    // The next datagram, or a null array when none came in time.
    QByteArray nextDatagram()
    {
        if (!QTest::qWaitFor([this] { return socket.hasPendingDatagrams(); }, WaitMs))
            return QByteArray();
        QByteArray d(int(socket.pendingDatagramSize()), Qt::Uninitialized);
        socket.readDatagram(d.data(), d.size());
        return d;
    }
    void sendToProgram(const QByteArray &datagram)
    {
        socket.writeDatagram(datagram, localHost(), ProgramPort);
    }
    QUdpSocket socket;
};

inline void resetModuleMode()
{
    moduleMode = 0;
    portCount = 5;
}

} // namespace Harness

#endif // TRANSPORTHARNESS_H
