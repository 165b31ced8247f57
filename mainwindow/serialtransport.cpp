// Serial transport of the main window: port list, open/close, received bytes.
// The open/close button also opens and closes the ground-station socket when
// that transport is chosen.
#include "mainwidget.h"
#include "ui_mainwidget.h"

#include "comprotocol.h"
#include "messagenotifier.h"

#include <QSerialPort>
#include <QSerialPortInfo>

namespace
{

// The system's port names are shown with a space after every "COM".
QString displayName(QString name)
{
    return name.replace(QStringLiteral("COM"), QStringLiteral("COM "));
}

// Border image per button state; prefix "on" is the closed look, "off" the open one.
QString openButtonStyle(const QString &prefix)
{
    return QStringLiteral(
               "QPushButton{border-image: url(:/image/resource/%1-load-normal.png);}\n"
               "QPushButton:hover{border-image: url(:/image/resource/%1-load-hover.png);}\n"
               "QPushButton:pressed{border-image: url(:/image/resource/%1-load-select.png);}")
        .arg(prefix);
}

} // namespace

void MainWidget::searchPorts()
{
    QStringList found;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        found.append(displayName(info.portName()));
    // Devices named on the command line follow, once each.
    const QStringList extras = extraSerialPorts();
    for (const QString &device : extras) {
        const QString name = displayName(device);
        if (!found.contains(name))
            found.append(name);
    }
    // A device named on the command line is what the user came for: the
    // first fill of the list selects it rather than the system's first port.
    const int preferred = extras.isEmpty() ? 0 : found.indexOf(displayName(extras.first()));

    if (found.isEmpty()) {
        portNames.clear();
        ui->cbSerial->clear();
        return;
    }
    if (portNames.isEmpty()) {
        portNames = found;
        ui->cbSerial->addItems(portNames);
        ui->cbSerial->setCurrentIndex(qMax(preferred, 0));
        return;
    }
    const int current = ui->cbSerial->currentIndex();
    const QString chosen =
        (current >= 0 && current < portNames.size()) ? portNames.at(current) : QString();
    ui->cbSerial->clear();
    const int keep = chosen.isEmpty() ? -1 : found.indexOf(chosen);
    portNames = found;
    ui->cbSerial->addItems(portNames);
    ui->cbSerial->setCurrentIndex(keep >= 0 ? keep : 0);
}

bool MainWidget::openSerialPort()
{
    const int index = ui->cbSerial->currentIndex();
    if (index < 0 || index >= portNames.size()) {
        MessageNotifier::warning(tr("TIP_ERROR"), tr("TIP_NOSERIALFOUND"));
        return false;
    }
    QString name = portNames.at(index);
    name.remove(QLatin1Char(' '));

    if (!serialPort || portName != name) {
        delete serialPort;
        portName = name;
        serialPort = new QSerialPort(portName);
        connect(serialPort, &QSerialPort::readyRead, this, &MainWidget::onSerialReadyRead);
        connect(serialPort, &QSerialPort::bytesWritten, this, &MainWidget::onSerialBytesWritten);
    }

    serialPort->setBaudRate(baudRate, QSerialPort::AllDirections);
    serialPort->setDataBits(static_cast<QSerialPort::DataBits>(dataBits));
    serialPort->setParity(static_cast<QSerialPort::Parity>(parity));
    serialPort->setStopBits(static_cast<QSerialPort::StopBits>(stopBits));

    if (serialPort->open(QIODevice::ReadWrite)) {
        ui->cbSerial->setEnabled(false);
        return true;
    }
    MessageNotifier::critical(
        tr("TIP_ERROR"), QStringLiteral("%1(%2).").arg(tr("Fail to open serialport"), portName));
    return false;
}

void MainWidget::closeSerialPort()
{
    if (serialPort && serialPort->isOpen())
        serialPort->close();
}

void MainWidget::on_btnOpenSerialPort_clicked()
{
    if (!linkOpen) {
        if (useGroundStation) {
            closeSerialPort();
            openGroundStation();
        } else {
            closeGroundStation();
            if (!openSerialPort())
                return;
        }
        ui->btnOpenSerialPort->setStyleSheet(openButtonStyle(QStringLiteral("off")));
        ui->btnSearchSerialPort->setEnabled(false);
        ui->chb_ConfigByFCS->setEnabled(false);
        ui->rb_R7FuncMode->setEnabled(false);
        ui->rb_TovrinMode->setEnabled(false);
        ui->chb_DLSpace->setEnabled(false);
        linkOpen = true;
        on_tbtnVersion_clicked();
    } else {
        closeGroundStation();
        closeSerialPort();
        ui->cbSerial->setEnabled(true);
        ui->btnOpenSerialPort->setStyleSheet(openButtonStyle(QStringLiteral("on")));
        ui->btnSearchSerialPort->setEnabled(true);
        ui->chb_ConfigByFCS->setEnabled(true);
        ui->rb_R7FuncMode->setEnabled(true);
        ui->rb_TovrinMode->setEnabled(true);
        ui->chb_DLSpace->setEnabled(true);
        linkOpen = false;
    }
}

void MainWidget::on_btnSearchSerialPort_clicked()
{
    searchPorts();
}

void MainWidget::onSerialReadyRead()
{
    if (!serialPort)
        return;
    const QByteArray bytes = serialPort->readAll();
    if (!bytes.isEmpty())
        parser->receive(bytes);
}

void MainWidget::onSerialBytesWritten(qint64 size)
{
    Q_UNUSED(size)
}
