#include "portconfig.h"
#include "ui_portconfig.h"

#include "agreementcatalog.h"
#include "agreementfinder.h"
#include "portrecord.h"

#include <QCoreApplication>

PortConfig::PortConfig(QWidget *parent) : QWidget(parent), ui(new Ui::PortConfig)
{
    ui->setupUi(this);

    ui->rdbUart->setChecked(true);
    ui->stackedWidget->setCurrentIndex(0);
    ui->cmbUartBaudrate->setCurrentIndex(5);
    ui->rdbCan->setVisible(true);

    ui->cmbRxProtocol->clear();
    ui->cmbTxProtocol->clear();
    loadAgreement();
}

PortConfig::~PortConfig() = default;

void PortConfig::setId(int id)
{
    portId = id;
}

void PortConfig::setPortTitle(const QString &title)
{
    ui->gpbPort->setTitle(title);
}

void PortConfig::setUartOnly()
{
    ui->rdbUart->setChecked(true);
    ui->rdbCan->hide();
}

void PortConfig::setCanOnly()
{
    ui->rdbUart->hide();
    // Checking the CAN choice unchecks the UART one: an exclusive radio button
    // cannot be unchecked on its own.
    ui->rdbCan->show();
    ui->rdbCan->setChecked(true);
    ui->stackedWidget->setCurrentIndex(1);
}

void PortConfig::hideLevel()
{
    ui->label_37->hide();
    ui->cmbLevelSec->hide();
}

void PortConfig::lockUartSettings()
{
    const QString locked = QStringLiteral("background-color:rgb(115,126,130);");
    for (QComboBox *list :
         {ui->cmbUartBaudrate, ui->cmbParity, ui->cmbDataBit, ui->cmbStopBit, ui->cmbLevelSec})
        list->setEnabled(false);
    for (QComboBox *list : {ui->cmbUartBaudrate, ui->cmbDataBit, ui->cmbStopBit, ui->cmbParity})
        list->setStyleSheet(locked);
}

char PortConfig::recordByte(int position, int offset) const
{
    if (position >= 0 && position <= 127)
        return char(position);
    return appliedRecord.size() == PortRecord::Size ? appliedRecord.at(offset) : char(0);
}

char PortConfig::protocolByte(int position, int offset) const
{
    const int code = PortRecord::protocolCode(position);
    if (code >= 0)
        return char(code);
    return appliedRecord.size() == PortRecord::Size ? appliedRecord.at(offset) : char(0);
}

QByteArray PortConfig::getPortParam() const
{
    QByteArray record;
    record.reserve(PortRecord::Size);
    if (ui->rdbUart->isChecked()) {
        record.append(char(PortRecord::Uart));
        PortRecord::appendRate(record, ui->cmbUartBaudrate->currentText().toUInt());
        record.append(recordByte(ui->cmbParity->currentIndex(), PortRecord::ParityOffset));
        record.append(recordByte(ui->cmbDataBit->currentIndex(), PortRecord::DataBitsOffset));
        record.append(recordByte(ui->cmbStopBit->currentIndex(), PortRecord::StopBitsOffset));
        record.append(recordByte(ui->cmbLevelSec->currentIndex(), PortRecord::LevelOffset));
    } else if (ui->rdbCan->isChecked()) {
        record.append(char(PortRecord::Can));
        PortRecord::appendRate(record, PortRecord::canRateAt(ui->cmbCanBaudrate->currentIndex()));
        record.append(4, char(0));
    } else {
        return QByteArray();
    }
    record.append(protocolByte(ui->cmbRxProtocol->currentIndex(), PortRecord::RxProtocolOffset));
    record.append(protocolByte(ui->cmbTxProtocol->currentIndex(), PortRecord::TxProtocolOffset));
    return record;
}

bool PortConfig::setPortParam(const QByteArray &record)
{
    // Relative to the card, so that a card on a page not shown still takes
    // CAN records when its CAN choice is offered. Every refusal is decided
    // before the first widget changes.
    const PortRecord port(record);
    if (port.refusal(ui->rdbCan->isVisibleTo(this)) != PortRecord::Refusal::None)
        return false;

    if (port.kind() == PortRecord::Uart) {
        ui->rdbUart->setChecked(true);
        ui->stackedWidget->setCurrentIndex(0);
        ui->cmbUartBaudrate->setCurrentIndex(PortRecord::uartBaudRates().indexOf(port.rate()));
        ui->cmbParity->setCurrentIndex(qint8(port.parity()));
        ui->cmbDataBit->setCurrentIndex(qint8(port.dataBits()));
        ui->cmbStopBit->setCurrentIndex(qint8(port.stopBits()));
        ui->cmbLevelSec->setCurrentIndex(qint8(port.level()));
    } else {
        ui->rdbCan->setChecked(true);
        ui->stackedWidget->setCurrentIndex(1);
        ui->cmbCanBaudrate->setCurrentIndex(PortRecord::canRatePosition(port.rate()));
    }
    ui->cmbRxProtocol->setCurrentIndex(PortRecord::protocolPosition(qint8(port.receiveCode())));
    ui->cmbTxProtocol->setCurrentIndex(PortRecord::protocolPosition(qint8(port.sendCode())));
    appliedRecord = record;
    return true;
}

void PortConfig::on_rdbUart_clicked(bool checked)
{
    if (checked)
        ui->stackedWidget->setCurrentIndex(0);
}

void PortConfig::on_rdbCan_clicked(bool checked)
{
    if (checked)
        ui->stackedWidget->setCurrentIndex(1);
}

void PortConfig::on_cmbRxProtocol_activated(int index)
{
    const QString name = ui->cmbRxProtocol->currentText();
    emit sglAccept(portId, index, AgreementCatalog::helpText(acceptList, name), name);
}

void PortConfig::on_cmbTxProtocol_activated(int index)
{
    const QString name = ui->cmbTxProtocol->currentText();
    emit sglSend(portId, index, AgreementCatalog::helpText(sendList, name), name);
}

void PortConfig::loadAgreement()
{
    QString fileName;
    if (!findAgreementFile(fileName))
        return;
    const QString path =
        QCoreApplication::applicationDirPath() + QStringLiteral("/resources/agreement/") + fileName;
    if (!parseAgreementFile(path, acceptList, sendList))
        return;
    for (const QString &entry : qAsConst(acceptList)) {
        ui->cmbRxProtocol->addItem(AgreementCatalog::entryKey(entry));
        ui->cmbRxProtocol->adjustPopupWidth();
    }
    for (const QString &entry : qAsConst(sendList)) {
        ui->cmbTxProtocol->addItem(AgreementCatalog::entryKey(entry));
        ui->cmbTxProtocol->adjustPopupWidth();
    }
}
