#include "mainwidget.h"
#include "ui_mainwidget.h"

#include "cataloguenotice.h"
#include "configchanges.h"
#include "configfile.h"
#include "devicepicture.h"
#include "exclusivetabstop.h"
#include "filechooser.h"
#include "focusring.h"
#include "installedlocale.h"
#include "linkcapture.h"
#include "messageform.h"
#include "messagenotifier.h"
#include "portconfig.h"
#include "portpanel.h"
#include "protocolcatalogue.h"
#include "tovrinversion.h"
#include "transport.h"
#include "windowdrag.h"
#include "writehistory.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSerialPortInfo>
#include <QShortcut>
#include <QTimer>

#include <algorithm>

namespace
{

QStringList s_extraSerialPorts;
bool s_connectAtStart = false;
QString s_capturePath;

const QString kIdleStyle = QStringLiteral("background-color:#0B8DCE;color:white;border-radius: 10px;");
const QString kSuccessStyle =
    QStringLiteral("background-color:rgb(27,102,67);color:white;border-radius: 10px;");
const QString kFailureStyle =
    QStringLiteral("background-color:rgb(165,81,28);color:white;border-radius: 10px;");

// How often the port list looks for devices plugged in or pulled out.
constexpr int PortWatchMs = 1000;

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

void MainWidget::setConnectAtStart(bool connect)
{
    s_connectAtStart = connect;
}

void MainWidget::setCapturePath(const QString &path)
{
    s_capturePath = path;
}

MainWidget::MainWidget(QWidget *parent) : QWidget(parent), ui(new Ui::MainWidget)
{
    ui->setupUi(this);
    // The port list's popup in the window's colours: the form's own rule gives
    // it a white background under the list's white text.
    ui->cbSerial->setStyleSheet(
        ui->cbSerial->styleSheet() +
        QStringLiteral("\nQComboBox QAbstractItemView {background: rgb(41, 45, 49); color: white;"
                       " selection-background-color: rgb(8, 141, 242); selection-color: white;}"));
    init();
}

MainWidget::~MainWidget() = default;

void MainWidget::init()
{
    workflow = new ModuleWorkflow(this);
    connect(ui->cbSerial, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int i) {
        if (!fillingPorts && i >= 0 && i < portNames.size())
            wantedPort = portNames.at(i);
    });
    searchPorts();
    portWatch = new QTimer(this);
    portWatch->setInterval(PortWatchMs);
    connect(portWatch, &QTimer::timeout, this, &MainWidget::followSystemPorts);
    portWatch->start();
    setWindowFlags(Qt::FramelessWindowHint);
    WindowDrag::attach(this);
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

    connect(workflow, &ModuleWorkflow::versionRead, this, &MainWidget::onVersionRead);
    connect(workflow, &ModuleWorkflow::recordRead, this, [this](int port, const PortRecord &record) {
        // The cards change under the question: what it lists is gone.
        messageForm->close();
        panel->apply(port, record);
    });
    connect(workflow, &ModuleWorkflow::finished, this,
            [this](ModuleWorkflow::Step step, ModuleWorkflow::Outcome outcome) {
                onFinished(step, outcome);
            });
    ConfigSession *session = workflow->session();
    connect(session, &ConfigSession::idle, this, &MainWidget::onIdle);
    connect(session, &ConfigSession::notSent, this,
            [this] { ui->lblStatus->setText(tr("错误：请先打开端口")); });
    connect(session, &ConfigSession::linkLost, this, &MainWidget::onLinkLost);
    connect(session, &ConfigSession::linkTroubled, this, [this](const QString &reason) {
        ui->lblStatus->setText(tr("地面站通信错误：%1").arg(reason));
    });

    ui->stackedWidget->setCurrentIndex(0);
    ui->chb_DLSpace->hide();

    panel = new PortPanel({ui->wdgPort1, ui->wdgPort2, ui->wdgPort3, ui->wdgPort4, ui->wdgPort5,
                           ui->wdgPort6},
                          this);
    panel->setObjectName(QStringLiteral("portPanel"));
    // Read once for every card of every rebuild; what went wrong is told once.
    const ProtocolCatalogue catalogue = ProtocolCatalogue::load();
    CatalogueNotice::show(catalogue);
    panel->setCatalogue(catalogue);
    connect(panel, &PortPanel::sglAccept, this, &MainWidget::sltAccept);
    connect(panel, &PortPanel::sglSend, this, &MainWidget::sltSend);
    panel->rebuild(workflow->model());
    // Every write leaves a snapshot of what the module held before it.
    workflow->setHistory(WriteHistory::defaultFolder(), catalogue.names());
    setUpKeyboard();
    // The first fill of the port list selected the first named device.
    if (s_connectAtStart && !extraSerialPorts().isEmpty())
        QTimer::singleShot(0, ui->btnOpenSerialPort, &QPushButton::click);
}

// Every action of the window has a key, named in its button's tooltip; Enter
// and Space press the button that has the focus, and the focus ring shows
// which one that is.
void MainWidget::setUpKeyboard()
{
    struct Key {
        QPushButton *button;
        QList<QKeySequence> keys;
        QString tip;
    };
    const QKeySequence ctrlReturn(Qt::CTRL | Qt::Key_Return);
    const Key keys[] = {
        {ui->cbAllDownload,
         {QKeySequence(Qt::CTRL | Qt::Key_R)},
         tr("读取模块中全部端口的参数（%1）")},
        {ui->cbAllSet,
         // Named after the key's label; the main keyboard's key is Return to Qt.
         {QKeySequence(Qt::CTRL | Qt::Key_Enter), ctrlReturn},
         tr("把卡片上的参数写入模块，写入前先确认（%1）")},
        {ui->btnSaveConfig,
         {QKeySequence(Qt::CTRL | Qt::Key_S)},
         tr("把卡片上的参数保存到文件（%1）")},
        {ui->btnLoadConfig, {QKeySequence(Qt::CTRL | Qt::Key_O)}, tr("从文件加载参数到卡片（%1）")},
        {ui->btnOpenSerialPort, {QKeySequence(Qt::CTRL | Qt::Key_L)}, tr("打开或关闭连接（%1）")},
        {ui->btnSearchSerialPort, {QKeySequence(Qt::Key_F5)}, tr("刷新端口列表（%1）")},
    };
    for (const Key &key : keys) {
        for (const QKeySequence &sequence : key.keys) {
            auto *shortcut = new QShortcut(sequence, this);
            QPushButton *button = key.button;
            // click() does nothing while the button is disabled.
            connect(shortcut, &QShortcut::activated, button, [button] {
                if (button->isVisible())
                    button->click();
            });
        }
        key.button->setToolTip(key.tip.arg(key.keys.first().toString(QKeySequence::NativeText)));
    }

    for (QAbstractButton *button : std::initializer_list<QAbstractButton *>{
             ui->btnSearchSerialPort, ui->btnOpenSerialPort, ui->rb_TovrinMode, ui->rb_R7FuncMode,
             ui->chb_ConfigByFCS, ui->chb_DLSpace, ui->cbAllDownload, ui->cbAllSet,
             ui->btnSaveConfig, ui->btnLoadConfig, ui->tbtnVersion, ui->btnMin, ui->btnClose})
        button->installEventFilter(this);

    // A group of their own: Qt counts every exclusive button below their
    // parent as theirs, the cards' kind choices too, and would take the
    // cards' Tab stops whenever a mode button gets the focus.
    auto *modes = new QButtonGroup(this);
    modes->addButton(ui->rb_TovrinMode);
    modes->addButton(ui->rb_R7FuncMode);
    ExclusiveTabStop::watch({ui->rb_TovrinMode, ui->rb_R7FuncMode});
    focusRing = std::make_unique<FocusRing>(this);
    orderTabs();
    // Where the job starts, rather than the first control Qt finds (the
    // title bar's minimise button).
    ui->cbSerial->setFocus(Qt::OtherFocusReason);
}

// Reading order: the port row, the mode, the route, the cards from the first
// to the last, the four buttons, the information panel, then the bottom and
// title bars.
void MainWidget::orderTabs()
{
    QList<QWidget *> order = {ui->btnSearchSerialPort, ui->cbSerial,        ui->rb_TovrinMode,
                              ui->rb_R7FuncMode,       ui->chb_ConfigByFCS, ui->chb_DLSpace,
                              ui->btnOpenSerialPort};
    for (int i = 0; i < panel->count(); ++i) {
        order += panel->card(i)->focusOrder();
        // The cards' kind choices take Enter as the window's buttons do.
        for (QAbstractButton *button : panel->card(i)->findChildren<QAbstractButton *>())
            button->installEventFilter(this);
    }
    order += {ui->cbAllDownload, ui->cbAllSet,    ui->btnSaveConfig, ui->btnLoadConfig,
              ui->textCentorMsg, ui->tbtnVersion, ui->btnMin,        ui->btnClose};
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

bool MainWidget::eventFilter(QObject *watched, QEvent *event)
{
    // A focused button takes Enter as it takes Space (outside a dialog Qt
    // gives Enter to push buttons only when they are defaults).
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (auto *button = qobject_cast<QAbstractButton *>(watched)) {
                if (!key->isAutoRepeat())
                    button->click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
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

void MainWidget::closeEvent(QCloseEvent *event)
{
    if (!discardEditsAllowed()) {
        event->ignore();
        return;
    }
    // The question before a write goes with the window: nothing is written
    // from a closed program.
    messageForm->close();
    QWidget::closeEvent(event);
}

// Edits that never reached the module go only when the user says so.
bool MainWidget::discardEditsAllowed()
{
    return !panel->edited() ||
           MessageNotifier::question(tr("未写入的修改"), tr("放弃未写入的修改？"));
}

// The port list: the system's serial ports, then the devices named on the
// command line, once each; with existingExtrasOnly, only those of the named
// devices that are there now.
QStringList MainWidget::presentPorts(bool existingExtrasOnly) const
{
    QStringList found;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        found.append(displayName(info.portName()));
    const QStringList extras = extraSerialPorts();
    for (const QString &device : extras) {
        const QString name = displayName(device);
        if (found.contains(name) || (existingExtrasOnly && !QFileInfo::exists(device)))
            continue;
        found.append(name);
    }
    return found;
}

void MainWidget::searchPorts()
{
    const QStringList found = presentPorts(false);
    seenPorts = presentPorts(true);
    // A device named on the command line is what the user came for: the
    // first fill of the list selects it rather than the system's first port.
    const QStringList extras = extraSerialPorts();
    showPorts(found, extras.isEmpty() ? -1 : found.indexOf(displayName(extras.first())), false);
}

// The device to select in a new list: the one the user chose (or that was
// chosen for them), listed and marked as missing while it is away, so that
// the list never moves to another device by itself; else, when nothing was
// chosen, a device just plugged in, the one shown if still there, the
// preferred one of a first fill, or the first.
void MainWidget::showPorts(const QStringList &found, int preferred, bool pluggedIn)
{
    const int current = ui->cbSerial->currentIndex();
    const QString shown =
        (current >= 0 && current < portNames.size()) ? portNames.at(current) : QString();
    QStringList names = found;
    QString missing;
    int select = -1;
    if (!wantedPort.isEmpty()) {
        select = found.indexOf(wantedPort);
        if (select < 0) {
            missing = wantedPort;
            names.append(missing);
            select = names.size() - 1;
        }
    }
    if (select < 0 && pluggedIn) {
        for (int i = 0; i < found.size() && select < 0; ++i) {
            if (!portNames.contains(found.at(i)))
                select = i;
        }
        if (select >= 0)
            wantedPort = found.at(select);
    }
    if (select < 0 && !shown.isEmpty())
        select = found.indexOf(shown);
    if (select < 0 && portNames.isEmpty() && preferred >= 0) {
        select = preferred;
        wantedPort = found.at(select);
    }
    if (select < 0 && !found.isEmpty())
        select = 0;

    fillingPorts = true;
    ui->cbSerial->clear();
    portNames = names;
    missingPort = missing;
    ui->cbSerial->addItems(found);
    if (!missing.isEmpty())
        ui->cbSerial->addItem(missing + QLatin1Char(' ') + tr("（未连接）"));
    ui->cbSerial->setCurrentIndex(select);
    fillingPorts = false;
}

// Once a second while the link is closed: the list follows the devices
// plugged in and pulled out, and is left alone while nothing changed.
void MainWidget::followSystemPorts()
{
    if (workflow->isOpen())
        return;
    const QStringList present = presentPorts(true);
    if (present == seenPorts)
        return;
    // Not under the user's pointer: the open list is filled on a later turn.
    if (ui->cbSerial->view()->isVisible())
        return;
    seenPorts = present;
    // A missing entry's name is among portNames: it is back, or still away.
    if (present != portNames || !missingPort.isEmpty())
        showPorts(present, -1, true);
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
    const bool closed = !workflow->isOpen();
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
        wantedPort = device;
        if (device == missingPort) {
            ui->lblStatus->setText(tr("错误：所选设备未连接"));
            return;
        }
        device.remove(QLatin1Char(' '));
    }
    // What the window said about the last link is not about this one.
    ui->lblStatus->setText(QString());
    ui->tbtnVersion->setText(QString());
    // Created with the first link; every later link of the run goes on in it.
    if (!s_capturePath.isEmpty() && !workflow->session()->capture()) {
        auto capture = std::make_unique<LinkCapture>(s_capturePath);
        QString why;
        if (!capture->create(&why)) {
            MessageNotifier::critical(tr("TIP_ERROR"),
                                      tr("无法创建链路记录文件 %1：%2").arg(s_capturePath, why));
            return;
        }
        workflow->session()->setCapture(std::move(capture));
    }
    if (!workflow->open(route, ConfigSession::createTransport(route, device), device)) {
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
    workflow->close();
    endLink();
}

// The link is gone: so are the module it reached and any question about
// writing to it.
void MainWidget::endLink()
{
    messageForm->close();
    ui->tbtnVersion->setText(QString());
    setLinkControls(false);
}

void MainWidget::on_btnOpenSerialPort_clicked()
{
    if (workflow->isOpen())
        closeLink();
    else
        openLink();
}

void MainWidget::on_btnSearchSerialPort_clicked()
{
    searchPorts();
}

// Commands need an open link: without one the user is told at once, and
// nothing is asked or armed.
bool MainWidget::linkReady()
{
    if (workflow->isOpen())
        return true;
    ui->lblStatus->setText(tr("错误：请先打开端口"));
    return false;
}

// The question shows what a write of the cards would change; the workflow
// keeps the records it was computed from, and those are what "确认" sends.
void MainWidget::on_cbAllSet_clicked()
{
    if (!linkReady())
        return;
    const bool known = workflow->holdsKnown();
    QStringList lines;
    for (const ConfigChanges::Change &change :
         workflow->propose(panel->records(), panel->catalogue().names()))
        lines.append(change.text);
    if (!known)
        lines = QStringList{tr("尚未从模块读取参数，无法列出将改变的内容。")};
    else if (lines.isEmpty())
        lines = QStringList{tr("与模块中的参数相比没有改变。")};
    messageForm->setChanges(lines);
    messageForm->show();
}

void MainWidget::startWrite()
{
    if (!workflow->hasProposal() || !linkReady())
        return;
    ui->lblStatus->setText(QString());
    workflow->writeProposed();
}

void MainWidget::on_cbAllDownload_clicked()
{
    if (!linkReady())
        return;
    ui->lblStatus->setText(QString());
    workflow->read();
}

// Saves what the cards show, whether or not they were read from a module.
void MainWidget::on_btnSaveConfig_clicked()
{
    QString path = FileChooser::saveFileName(this, tr("保存配置"),
                                             tr("Tovrin 配置文件 (*%1)").arg(ConfigFile::suffix()));
    if (path.isEmpty())
        return;
    if (!path.endsWith(ConfigFile::suffix(), Qt::CaseInsensitive))
        path += ConfigFile::suffix();
    ModuleConfig config;
    config.model = workflow->model();
    config.firmware = ui->tbtnVersion->text();
    config.saved = QDateTime::currentDateTimeUtc();
    config.ports = panel->records();
    QString error;
    if (!ConfigFile::save(path, config, panel->catalogue().names(), &error)) {
        MessageNotifier::critical(tr("TIP_ERROR"), error);
        return;
    }
    ui->lblStatus->setText(tr("配置已保存到 %1").arg(QFileInfo(path).fileName()));
}

// Puts a file's records on the cards; nothing goes to the module until the
// user writes.
void MainWidget::on_btnLoadConfig_clicked()
{
    // The snapshots taken before writes are a place of their own.
    const QString history = workflow->historyFolder();
    QDir().mkpath(history);
    const QString path = FileChooser::openFileName(
        this, tr("加载配置"), tr("Tovrin 配置文件 (*%1)").arg(ConfigFile::suffix()), {history});
    if (path.isEmpty())
        return;
    ModuleConfig config;
    QString error;
    if (!ConfigFile::load(path, &config, &error)) {
        MessageNotifier::warning(tr("TIP_ERROR"), error);
        return;
    }
    if (!workflow->fits(config)) {
        MessageNotifier::warning(tr("TIP_ERROR"),
                                 tr("文件是 %1 的配置，当前为 %2 模式。请切换到 %1 模式或连接 %1 "
                                    "模块后再加载。")
                                     .arg(ModuleProfile::name(config.model),
                                          ModuleProfile::name(workflow->model())));
        return;
    }
    // A file that names its ports changes only those cards.
    QStringList refused;
    QStringList loaded;
    for (int i : config.coveredPorts()) {
        const QString title = ModuleProfile::port(config.model, i).title;
        if (panel->apply(i, config.ports.at(i)))
            loaded.append(title);
        else
            refused.append(title);
    }
    if (!refused.isEmpty())
        MessageNotifier::warning(tr("TIP_ERROR"),
                                 tr("以下端口不接受文件中的设置，保持原样：%1")
                                     .arg(refused.join(QStringLiteral(", "))));
    if (config.isComplete())
        ui->lblStatus->setText(tr("已加载配置，点击“配置”写入模块"));
    else
        ui->lblStatus->setText(tr("已加载 %1 的配置，其余端口不变，点击“配置”写入模块")
                                   .arg(loaded.join(QStringLiteral(", "))));
}

void MainWidget::on_tbtnVersion_clicked()
{
    if (!linkReady())
        return;
    ui->lblStatus->setText(QString());
    // A version reply sets the mode, and the cards are read straight after.
    workflow->detectAndRead();
}

void MainWidget::setModel(ModuleModel model)
{
    const bool r7 = model == ModuleModel::R7;
    ui->rb_TovrinMode->setChecked(!r7);
    ui->rb_R7FuncMode->setChecked(r7);
    // A question about the old cards has no answer any more.
    messageForm->close();
    workflow->setModel(model);
    panel->rebuild(model);
    orderTabs();
}

void MainWidget::on_rb_TovrinMode_clicked()
{
    if (!ui->rb_TovrinMode->isChecked()) {
        ui->rb_TovrinMode->setChecked(true);
    } else if (workflow->model() != ModuleModel::Tovrin) {
        if (!discardEditsAllowed()) {
            ui->rb_R7FuncMode->setChecked(true);
            return;
        }
        setModel(ModuleModel::Tovrin);
    }
    ui->chb_DLSpace->setChecked(false);
    syncRouteControls();
}

void MainWidget::on_rb_R7FuncMode_clicked()
{
    if (!ui->rb_R7FuncMode->isChecked()) {
        ui->rb_R7FuncMode->setChecked(true);
        return;
    }
    if (workflow->model() != ModuleModel::R7) {
        if (!discardEditsAllowed()) {
            ui->rb_TovrinMode->setChecked(true);
            return;
        }
        setModel(ModuleModel::R7);
    }
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

// Every valid version reply sets the mode and rebuilds the panel for it (the
// cards return to their defaults); the workflow reads the fresh cards next.
void MainWidget::onVersionRead(ModuleModel model, const QString &firmware)
{
    setModel(model);
    ui->tbtnVersion->setText(firmware);
}

void MainWidget::onFinished(ModuleWorkflow::Step step, ModuleWorkflow::Outcome outcome)
{
    using Outcome = ModuleWorkflow::Outcome;
    const bool write = step == ModuleWorkflow::Step::Write;
    const bool ok = outcome == Outcome::Success;
    // What was written is what the cards are measured against from now on.
    if (write && ok)
        panel->adopt(workflow->written());
    // A command cut off by the user's closing of the link went unanswered
    // because of that: nothing to report about the module.
    if (outcome == Outcome::NoReply && !workflow->isOpen())
        return;
    if (outcome == Outcome::NoSnapshot) {
        ui->cbAllSet->setStyleSheet(kFailureStyle);
        ui->lblStatus->setText(tr("未写入：无法保存写入前的快照"));
        MessageNotifier::critical(tr("TIP_ERROR"),
                                  tr("%1\n未向模块发送任何参数。").arg(workflow->snapshotError()));
        return;
    }
    QPushButton *button = write ? ui->cbAllSet : ui->cbAllDownload;
    button->setStyleSheet(ok ? kSuccessStyle : kFailureStyle);
    // A lost link has a status of its own.
    if (outcome == Outcome::LinkLost)
        return;
    if (outcome == Outcome::NoReply) {
        // Nothing answered: no module is known to be behind the link.
        if (step == ModuleWorkflow::Step::Version)
            ui->tbtnVersion->setText(QString());
        ui->lblStatus->setText(tr("模块无应答，请检查连接、通信方式和型号"));
        return;
    }
    if (write)
        ui->lblStatus->setText(ok ? tr("写入参数成功，重启生效") : tr("写入参数失败，请重试"));
    else
        // A wrong answer to the version query fails the read it would start.
        ui->lblStatus->setText(ok ? tr("读取参数成功") : tr("读取参数失败"));
}

void MainWidget::onIdle()
{
    // The file buttons look like the read and write buttons at all times.
    for (QPushButton *button : {ui->cbAllDownload, ui->cbAllSet, ui->btnSaveConfig, ui->btnLoadConfig})
        button->setStyleSheet(kIdleStyle);
}

// The session is closed already: the window shows the closed link and why.
void MainWidget::onLinkLost()
{
    endLink();
    ui->lblStatus->setText(tr("端口已断开"));
    followSystemPorts();
}
