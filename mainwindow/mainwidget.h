// The program's only window and its controller: owns the link parser, the two
// transports, the port cards, the confirmation dialog and the watchdog, and
// wires them together. The transports, the send path, the commands and the
// port panel are operations of this class kept in their own source files.
#ifndef MAINWIDGET_H
#define MAINWIDGET_H

#include "linkframe.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

class COMPROTOCOL;
class QImage;
class CanScramblerLoader;
class MessageForm;
class PortConfig;
class QSerialPort;
class QUdpSocket;
class TimeOut;

namespace Ui {
class MainWidget;
}

// Process-wide module mode: 0 Tovrin (5 ports), 1 R7 function mode (6 ports);
// always changed together.
extern int moduleMode;
extern qint8 portCount;

class MainWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MainWidget(QWidget *parent = nullptr);
    ~MainWidget() override;

    // Serial devices the system does not list (pseudo-terminals, some
    // adapters); every port search appends them after the system's ports.
    static void setExtraSerialPorts(const QStringList &devices);
    static QStringList extraSerialPorts();

    void setPicture(const QImage &picture);
    void buildPortPanel();
    void sendCommand(quint8 id, const QByteArray &payload, quint8 n);

    void searchPorts();
    bool openSerialPort();
    void closeSerialPort();
    void openGroundStation();
    void closeGroundStation();

signals:
    void sgl_OpenEnd();

public slots:
    void sltAccept(int Id, int index, QString msg, QString currentComboxText);
    void sltSend(int Id, int index, QString msg, QString currentComboxText);
    void COMRxCmd(tNKLinkData *NKdata);

    void on_btnOpenSerialPort_clicked();
    void on_btnSearchSerialPort_clicked();
    void onSerialReadyRead();
    void onSerialBytesWritten(qint64 size);
    void on_cbAllSet_clicked();
    void on_cbAllDownload_clicked();
    void on_tbtnVersion_clicked();
    void slt_WriteOk();
    void slt_OpenEnd();
    void slt_timeStart();
    void slt_failRead();
    void on_rb_TovrinMode_clicked();
    void on_rb_R7FuncMode_clicked();
    void on_chb_ConfigByFCS_clicked(bool checked);
    void on_chb_DLSpace_clicked(bool checked);
    void onUdpSocketReadyRead();
    void onUdpSocketStateChanged(QAbstractSocket::SocketState state);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void init();
    void handleReply(quint8 id, quint8 len, const QByteArray &data);
    void finishRead(bool ok);
    void finishWrite(bool ok);

public:
    // Members other parts of the program use directly.
    std::unique_ptr<Ui::MainWidget> ui;
    QString toolVersion = QStringLiteral("V1.1.60");
    QSerialPort *serialPort = nullptr;
    QString portName;
    int baudRate = 115200;
    int dataBits = 8;
    int parity = 0;
    int stopBits = 1;
    bool linkOpen = false;
    QStringList portNames;
    bool dragging = false;
    QPoint dragOffset;
    COMPROTOCOL *parser = nullptr;
    CanScramblerLoader *canLib = nullptr;
    std::array<PortConfig *, 6> cards{};
    MessageForm *messageForm = nullptr;
    TimeOut *timeOut = nullptr;
    bool lastOpIsRead = false;
    bool readRefused = false; // a card refused its record during the current read
    bool useGroundStation = false;
    QUdpSocket *udpSocket = nullptr;
    QHostAddress groundStationAddress;
};

#endif // MAINWIDGET_H
