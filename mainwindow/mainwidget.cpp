#include "mainwidget.h"
#include "ui_mainwidget.h"

#include "canscramblerloader.h"
#include "comprotocol.h"
#include "devicepicture.h"
#include "messageform.h"
#include "portconfig.h"
#include "startup.h"
#include "timeout.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QSerialPort>
#include <QUdpSocket>

int moduleMode = 0;
qint8 portCount = 5;

namespace {
QStringList s_extraSerialPorts;
}

void MainWidget::setExtraSerialPorts(const QStringList &devices)
{
    s_extraSerialPorts = devices;
}

QStringList MainWidget::extraSerialPorts()
{
    return s_extraSerialPorts;
}

MainWidget::MainWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::MainWidget),
      groundStationAddress(QStringLiteral("127.0.0.1"))
{
    ui->setupUi(this);
    init();
}

MainWidget::~MainWidget()
{
    delete serialPort;
    delete messageForm;
    // The watchdog thread must not outlive the window: stop it before the
    // process tears down. The parser, the socket and the loader go with it, so
    // that a later window in the same process can bind the UDP port again.
    if (timeOut) {
        timeOut->stopWatch();
        delete timeOut;
    }
    delete udpSocket;
    delete parser;
    delete canLib;
}

void MainWidget::init()
{
    parser = new COMPROTOCOL;
    canLib = new CanScramblerLoader;
    searchPorts();
    connect(parser, &COMPROTOCOL::COMRxCmd, this, &MainWidget::COMRxCmd);
    setWindowFlags(Qt::FramelessWindowHint);
    connect(ui->btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->btnMin, &QPushButton::clicked, this, &QWidget::showMinimized);
    ui->labVersion->setText(toolVersion);
    ui->lblStatus->setText(QString());

    ui->tbtnVersion->setFlat(true);
    ui->tbtnVersion->setStyleSheet(
        QStringLiteral("background-color:rgb(41, 45, 49);color:white;border:none;"
                       "border-style:outset;"));
    ui->tbtnVersion->setToolTip(tr("点击更新设备版本"));
    ui->tbtnVersion->setText(QString());

    messageForm = new MessageForm;
    messageForm->hide();
    connect(messageForm, &MessageForm::sglOK, this, &MainWidget::slt_WriteOk);

    connect(this, &MainWidget::sgl_OpenEnd, this, &MainWidget::slt_OpenEnd);

    timeOut = new TimeOut;
    connect(timeOut, &TimeOut::sgl_timeStart, this, &MainWidget::slt_timeStart);
    connect(timeOut, &TimeOut::sgl_failRead, this, &MainWidget::slt_failRead);
    timeOut->startWatch();

    ui->stackedWidget->setCurrentIndex(0);
    ui->chb_DLSpace->hide();
    buildPortPanel();
}

void MainWidget::setPicture(const QImage &picture)
{
    QLabel *label = ui->LabCentorPicture;
    label->setStyleSheet(QStringLiteral("background-color: transparent;"));
    label->setAlignment(Qt::AlignCenter);
    if (picture.isNull())
        label->clear();
    else
        label->setPixmap(QPixmap::fromImage(picture));
}

void MainWidget::sltAccept(int Id, int index, QString msg, QString currentComboxText)
{
    sltSend(Id, index, msg, currentComboxText);
}

void MainWidget::sltSend(int Id, int index, QString msg, QString currentComboxText)
{
    Q_UNUSED(Id)
    Q_UNUSED(index)
    // Pictures are in the language of the texts the user reads.
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/resources/images");
    const DevicePicture pictures(folder, installedTranslationLocale());
    setPicture(pictures.load(currentComboxText, ui->LabCentorPicture->contentsRect().size()));
    ui->textCentorMsg->setText(msg);
}

void MainWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragging = true;
        dragOffset = event->globalPos() - pos();
    }
    raise();
}

void MainWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging)
        move(event->globalPos() - dragOffset);
}

void MainWidget::mouseReleaseEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    dragging = false;
}

void MainWidget::on_rb_TovrinMode_clicked()
{
    if (!ui->rb_TovrinMode->isChecked()) {
        ui->rb_TovrinMode->setChecked(true);
    } else if (moduleMode != 0) {
        ui->rb_R7FuncMode->setChecked(false);
        moduleMode = 0;
        portCount = 5;
        buildPortPanel();
    }
    ui->chb_DLSpace->setChecked(false);
}

void MainWidget::on_rb_R7FuncMode_clicked()
{
    if (!ui->rb_R7FuncMode->isChecked()) {
        ui->rb_R7FuncMode->setChecked(true);
        return;
    }
    if (moduleMode != 1) {
        ui->rb_TovrinMode->setChecked(false);
        moduleMode = 1;
        portCount = 6;
        buildPortPanel();
    }
}

void MainWidget::on_chb_ConfigByFCS_clicked(bool checked)
{
    ui->chb_DLSpace->setVisible(checked);
    useGroundStation = false;
    ui->btnSearchSerialPort->setEnabled(true);
    ui->cbSerial->setEnabled(true);
}

void MainWidget::on_chb_DLSpace_clicked(bool checked)
{
    useGroundStation = checked;
    ui->btnSearchSerialPort->setEnabled(!checked);
    ui->cbSerial->setEnabled(!checked);
}
