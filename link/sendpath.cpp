// Send path of the main window: frames a command, bare or wrapped for the
// flight controller, and writes it to the chosen transport.
#include "mainwidget.h"
#include "ui_mainwidget.h"

#include "comprotocol.h"

#include <QSerialPort>
#include <QUdpSocket>

namespace
{
constexpr quint16 GroundStationPort = 5161;
} // namespace

void MainWidget::sendCommand(quint8 id, const QByteArray &payload, quint8 n)
{
    const bool passThrough = ui->chb_ConfigByFCS->isChecked();
    QByteArray frame;
    if (passThrough) {
        QByteArray inner;
        inner.reserve(PASSTHROUGH_HEADER_SIZE + n);
        inner.append(static_cast<char>(n < 8 ? PASSTHROUGH_KIND_SHORT : PASSTHROUGH_KIND_LONG));
        inner.append(static_cast<char>(PASSTHROUGH_TO_DEVICE));
        inner.append(static_cast<char>(moduleMode == 0 ? DEVICE_TOVRIN : DEVICE_R7));
        inner.append(static_cast<char>(id));
        inner.append(static_cast<char>(n));
        inner.append(payload.left(n));
        frame = parser->packFrame(MSG_FC_FORWARD, inner,
                                  static_cast<quint8>(n + PASSTHROUGH_HEADER_SIZE));
    } else {
        frame = parser->packFrame(id, payload, n);
    }

    if (useGroundStation) {
        if (!udpSocket || !udpSocket->isOpen()) {
            ui->lblStatus->setText(tr("错误：请先打开端口"));
            return;
        }
        // The ground station only relays pass-through messages.
        if (!passThrough) {
            ui->lblStatus->setText(tr("错误：请先勾选通过飞控透传"));
            return;
        }
        udpSocket->writeDatagram(frame, groundStationAddress, GroundStationPort);
        return;
    }
    if (!serialPort || !serialPort->isOpen()) {
        ui->lblStatus->setText(tr("错误：请先打开端口"));
        return;
    }
    serialPort->write(frame);
    // Hand the frame to the port now rather than when the event loop next
    // gets round to it: after a version reply the loop first lays out and
    // paints the new port panel, and the read request would wait for that.
    serialPort->flush();
}
