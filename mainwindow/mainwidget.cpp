#include "mainwidget.h"
#include "ui_mainwidget.h"

#include "devicepicture.h"
#include "installedlocale.h"
#include "messageform.h"
#include "messagenotifier.h"
#include "portconfig.h"
#include "portpanel.h"
#include "tovrinversion.h"
#include "transport.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QSerialPortInfo>

namespace
{

// The pointer's place on the screen: globalPos() is deprecated in Qt 6.
QPoint globalPoint(const QMouseEvent *event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event->globalPosition().toPoint();
#else
    return event->globalPos();
#endif
}

QStringList s_extraSerialPorts;

const QString kIdleStyle = QStringLiteral("background-color:#0B8DCE;color:white;border-radius: 10px;");
const QString kSuccessStyle =
    QStringLiteral("background-color:rgb(27,102,67);color:white;border-radius: 10px;");
const QString kFailureStyle =
    QStringLiteral("background-color:rgb(165,81,28);color:white;border-radius: 10px;");

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

void MainWidget::setExtraSerialPorts(const QStringList &devices)
{
    s_extraSerialPorts = devices;
}

QStringList MainWidget::extraSerialPorts()
{
    return s_extraSerialPorts;
}

MainWidget::MainWidget(QWidget *parent) : QWidget(parent), ui(new Ui::MainWidget)
{
    ui->setupUi(this);
    init();
}

MainWidget::~MainWidget() = default;

void MainWidget::init()
{
    session = new ConfigSession(this);
    session->setObjectName(QStringLiteral("configSession"));
    searchPorts();
    setWindowFlags(Qt::FramelessWindowHint);
    connect(ui->btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->btnMin, &QPushButton::clicked, this, &QWidget::showMinimized);
    ui->labVersion->setText(QStringLiteral("V" TOVRIN_VERSION));
    ui->lblStatus->setText(QString());

    ui->tbtnVersion->setFlat(true);
    ui->tbtnVersion->setStyleSheet(
        QStringLiteral("background-color:rgb(41, 45, 49);color:white;border:none;"
                       "border-style:outset;"));
    ui->tbtnVersion->setToolTip(tr("点击更新设备版本"));
    ui->tbtnVersion->setText(QString());

    // A window of its own, but one that lives and dies with this one.
    messageForm = new MessageForm(this);
    messageForm->hide();
    connect(messageForm, &MessageForm::sglOK, this, &MainWidget::startWrite);

    connect(session, &ConfigSession::versionRead, this, &MainWidget::onVersionRead);
    connect(session, &ConfigSession::recordRead, this,
            [this](int port, const QByteArray &record) { panel->apply(port, record); });
    connect(session, &ConfigSession::finished, this,
            [this](ConfigSession::Operation operation, ConfigSession::Outcome outcome) {
                onFinished(operation, outcome);
            });
    connect(session, &ConfigSession::idle, this, &MainWidget::onIdle);
    connect(session, &ConfigSession::notSent, this,
            [this] { ui->lblStatus->setText(tr("错误：请先打开端口")); });

    ui->stackedWidget->setCurrentIndex(0);
    ui->chb_DLSpace->hide();

    panel = new PortPanel({ui->wdgPort1, ui->wdgPort2, ui->wdgPort3, ui->wdgPort4, ui->wdgPort5,
                           ui->wdgPort6},
                          this);
    panel->setObjectName(QStringLiteral("portPanel"));
    connect(panel, &PortPanel::sglAccept, this, &MainWidget::sltAccept);
    connect(panel, &PortPanel::sglSend, this, &MainWidget::sltSend);
    panel->rebuild(session->model());
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
    const DevicePicture pictures(folder, InstalledLocale::name());
    setPicture(pictures.load(currentComboxText, ui->LabCentorPicture->contentsRect().size()));
    ui->textCentorMsg->setText(msg);
}

void MainWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragging = true;
        dragOffset = globalPoint(event) - pos();
    }
    raise();
}

void MainWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging)
        move(globalPoint(event) - dragOffset);
}

void MainWidget::mouseReleaseEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
    dragging = false;
}

void MainWidget::closeEvent(QCloseEvent *event)
{
    // The question before a write goes with the window: nothing is written
    // from a closed program.
    messageForm->close();
    QWidget::closeEvent(event);
}

// The port list: the system's serial ports, then the devices named on the
// command line, once each.
void MainWidget::searchPorts()
{
    QStringList found;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        found.append(displayName(info.portName()));
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

ConfigSession::Route MainWidget::routeShown() const
{
    if (!ui->chb_ConfigByFCS->isChecked())
        return ConfigSession::Route::Direct;
    return ui->chb_DLSpace->isChecked() ? ConfigSession::Route::GroundStation
                                        : ConfigSession::Route::FlightController;
}

// The port list is for the serial routes only: grey while the ground
// station is the route the boxes show, or while a link is open.
void MainWidget::syncRouteControls()
{
    const bool serial = routeShown() != ConfigSession::Route::GroundStation;
    const bool closed = !session->isOpen();
    ui->btnSearchSerialPort->setEnabled(serial && closed);
    ui->cbSerial->setEnabled(serial && closed);
}

void MainWidget::setLinkControls(bool open)
{
    ui->btnOpenSerialPort->setStyleSheet(openButtonStyle(open ? QStringLiteral("off")
                                                              : QStringLiteral("on")));
    ui->chb_ConfigByFCS->setEnabled(!open);
    ui->rb_R7FuncMode->setEnabled(!open);
    ui->rb_TovrinMode->setEnabled(!open);
    ui->chb_DLSpace->setEnabled(!open);
    syncRouteControls();
}

void MainWidget::openLink()
{
    const ConfigSession::Route route = routeShown();
    QString device;
    if (route != ConfigSession::Route::GroundStation) {
        const int index = ui->cbSerial->currentIndex();
        if (index < 0 || index >= portNames.size()) {
            MessageNotifier::warning(tr("TIP_ERROR"), tr("TIP_NOSERIALFOUND"));
            return;
        }
        device = portNames.at(index);
        device.remove(QLatin1Char(' '));
    }
    if (!session->open(route, ConfigSession::createTransport(route, device))) {
        if (route == ConfigSession::Route::GroundStation)
            ui->lblStatus->setText(tr("错误：地面站端口 6161 已被占用"));
        else
            MessageNotifier::critical(
                tr("TIP_ERROR"),
                QStringLiteral("%1(%2).").arg(tr("Fail to open serialport"), device));
        return;
    }
    setLinkControls(true);
    on_tbtnVersion_clicked();
}

void MainWidget::closeLink()
{
    session->close();
    setLinkControls(false);
}

void MainWidget::on_btnOpenSerialPort_clicked()
{
    if (session->isOpen())
        closeLink();
    else
        openLink();
}

void MainWidget::on_btnSearchSerialPort_clicked()
{
    searchPorts();
}

void MainWidget::on_cbAllSet_clicked()
{
    messageForm->show();
}

void MainWidget::startWrite()
{
    ui->lblStatus->setText(QString());
    session->write(panel->records());
}

void MainWidget::on_cbAllDownload_clicked()
{
    ui->lblStatus->setText(QString());
    session->read();
}

void MainWidget::on_tbtnVersion_clicked()
{
    session->queryVersion();
}

void MainWidget::setModel(ModuleModel model)
{
    const bool r7 = model == ModuleModel::R7;
    ui->rb_TovrinMode->setChecked(!r7);
    ui->rb_R7FuncMode->setChecked(r7);
    session->setModel(model);
    panel->rebuild(model);
}

void MainWidget::on_rb_TovrinMode_clicked()
{
    if (!ui->rb_TovrinMode->isChecked())
        ui->rb_TovrinMode->setChecked(true);
    else if (session->model() != ModuleModel::Tovrin)
        setModel(ModuleModel::Tovrin);
    ui->chb_DLSpace->setChecked(false);
    syncRouteControls();
}

void MainWidget::on_rb_R7FuncMode_clicked()
{
    if (!ui->rb_R7FuncMode->isChecked()) {
        ui->rb_R7FuncMode->setChecked(true);
        return;
    }
    if (session->model() != ModuleModel::R7)
        setModel(ModuleModel::R7);
}

void MainWidget::on_chb_ConfigByFCS_clicked(bool checked)
{
    ui->chb_DLSpace->setVisible(checked);
    syncRouteControls();
}

void MainWidget::on_chb_DLSpace_clicked(bool checked)
{
    Q_UNUSED(checked)
    syncRouteControls();
}

// Every valid version reply sets the mode, rebuilds the panel for it (the
// cards return to their defaults) and reads the fresh cards.
void MainWidget::onVersionRead(ModuleModel model, const QString &firmware)
{
    setModel(model);
    ui->tbtnVersion->setText(firmware);
    on_cbAllDownload_clicked();
}

void MainWidget::onFinished(ConfigSession::Operation operation, ConfigSession::Outcome outcome)
{
    using Outcome = ConfigSession::Outcome;
    const bool write = operation == ConfigSession::Operation::Write;
    if (operation == ConfigSession::Operation::Version && outcome == Outcome::Success)
        return; // the read it starts tells the outcome
    QPushButton *button = write ? ui->cbAllSet : ui->cbAllDownload;
    const bool ok = outcome == Outcome::Success;
    button->setStyleSheet(ok ? kSuccessStyle : kFailureStyle);
    // An unanswered command keeps the status as it was; the button says it.
    if (outcome == Outcome::NoReply || operation == ConfigSession::Operation::Version)
        return;
    if (write)
        ui->lblStatus->setText(ok ? tr("写入参数成功，重启生效") : tr("写入参数失败，请重试"));
    else
        ui->lblStatus->setText(ok ? tr("读取参数成功") : tr("读取参数失败"));
}

void MainWidget::onIdle()
{
    ui->cbAllDownload->setStyleSheet(kIdleStyle);
    ui->cbAllSet->setStyleSheet(kIdleStyle);
}
