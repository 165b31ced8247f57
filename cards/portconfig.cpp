#include "portconfig.h"
#include "ui_portconfig.h"

#include "exclusivetabstop.h"
#include "lazypopupcombobox.h"
#include "textwidths.h"

#include <algorithm>

#include <QComboBox>
#include <QEvent>
#include <QLayout>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace
{
// The least height of a card's row of controls, and the room between rows.
constexpr int CompactRowHeight = 20;
constexpr int CompactRowSpacing = 3;

// The width a list needs to show text whole, reckoned as the list reckons its
// size hint for its widest item.
int textWidth(const QComboBox *list, const QString &text)
{
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    option.frame = list->hasFrame();
    option.currentText = text;
    const QSize contents(TextWidths(list->font()).boundingWidth(text),
                         list->fontMetrics().height());
    return list->style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, list).width();
}
} // namespace

PortConfig::PortConfig(const ProtocolCatalogue &catalogue, QWidget *parent)
    : QWidget(parent), ui(new Ui::PortConfig), catalogue(catalogue)
{
    ui->setupUi(this);

    ui->rdbUart->setChecked(true);
    ui->stackedWidget->setCurrentIndex(0);
    ui->cmbUartBaudrate->setCurrentIndex(5);
    ui->rdbCan->setVisible(true);

    ui->cmbRxProtocol->clear();
    ui->cmbTxProtocol->clear();
    fillProtocolLists();
    const QList<QWidget *> order = focusOrder();
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    fixColumns();
    ExclusiveTabStop::watch({ui->rdbUart, ui->rdbCan});

    // The user's own picks; a choice made in code touches nothing.
    for (auto [list, field] :
         {std::make_pair(ui->cmbUartBaudrate, RateField),
          std::make_pair(ui->cmbCanBaudrate, RateField), std::make_pair(ui->cmbParity, ParityField),
          std::make_pair(ui->cmbDataBit, DataBitsField),
          std::make_pair(ui->cmbStopBit, StopBitsField),
          std::make_pair(ui->cmbLevelSec, LevelField)}) {
        connect(list, QOverload<int>::of(&QComboBox::activated), this,
                [this, field = field] { touch(field); });
    }
    takeDefaults();
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
    takeDefaults();
}

void PortConfig::setCanOnly()
{
    ui->rdbUart->hide();
    // Checking the CAN choice unchecks the UART one: an exclusive radio button
    // cannot be unchecked on its own.
    ui->rdbCan->show();
    ui->rdbCan->setChecked(true);
    ui->stackedWidget->setCurrentIndex(1);
    takeDefaults();
}

void PortConfig::hideLevel(bool keepRoom)
{
    for (QWidget *w :
         {static_cast<QWidget *>(ui->label_37), static_cast<QWidget *>(ui->cmbLevelSec)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(keepRoom);
        w->setSizePolicy(policy);
        w->hide();
    }
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

QList<QWidget *> PortConfig::focusOrder() const
{
    return {ui->rdbUart,       ui->rdbCan,       ui->cmbUartBaudrate, ui->cmbStopBit,
            ui->cmbDataBit,    ui->cmbParity,    ui->cmbCanBaudrate,  ui->cmbLevelSec,
            ui->cmbRxProtocol, ui->cmbTxProtocol};
}

PortSettings PortConfig::shownSettings() const
{
    const auto at = [](const QComboBox *list) { return qMax(list->currentIndex(), 0); };
    PortSettings shown;
    shown.kind = ui->rdbUart->isChecked() ? PortRecord::Uart : PortRecord::Can;
    shown.baud = shown.kind == PortRecord::Uart
                     ? PortRecord::uartBaudRates().value(ui->cmbUartBaudrate->currentIndex())
                     : PortRecord::canRateAt(ui->cmbCanBaudrate->currentIndex());
    shown.parity = PortRecord::Parity(at(ui->cmbParity));
    shown.dataBits = 8 + qMin(at(ui->cmbDataBit), 1);
    shown.stopBits = 1 + qMin(at(ui->cmbStopBit), 1);
    shown.level = PortRecord::Level(at(ui->cmbLevelSec));
    shown.receiveCode =
        quint8(qMax(PortRecord::protocolCode(ui->cmbRxProtocol->currentIndex()), 0));
    shown.sendCode = quint8(qMax(PortRecord::protocolCode(ui->cmbTxProtocol->currentIndex()), 0));
    return shown;
}

const QComboBox *PortConfig::listOf(Field field) const
{
    const bool uart = ui->rdbUart->isChecked();
    switch (field) {
    case RateField:
        return uart ? ui->cmbUartBaudrate : ui->cmbCanBaudrate;
    case ParityField:
        return uart ? ui->cmbParity : nullptr;
    case DataBitsField:
        return uart ? ui->cmbDataBit : nullptr;
    case StopBitsField:
        return uart ? ui->cmbStopBit : nullptr;
    case LevelField:
        return uart ? ui->cmbLevelSec : nullptr;
    case RxField:
        return ui->cmbRxProtocol;
    case TxField:
        return ui->cmbTxProtocol;
    default:
        return nullptr;
    }
}

// Before any record is given, the card gives back what its defaults show.
void PortConfig::takeDefaults()
{
    if (recordGiven)
        return;
    given = PortRecord::encode(shownSettings());
    touched = 0;
}

PortRecord PortConfig::record() const
{
    if (touched == 0)
        return given;
    struct Span {
        Field field;
        int offset;
        int length;
    };
    static constexpr Span spans[] = {
        {KindField, PortRecord::KindOffset, 1},
        {RateField, PortRecord::RateOffset, 4},
        {ParityField, PortRecord::ParityOffset, 1},
        {DataBitsField, PortRecord::DataBitsOffset, 1},
        {StopBitsField, PortRecord::StopBitsOffset, 1},
        {LevelField, PortRecord::LevelOffset, 1},
        {RxField, PortRecord::RxProtocolOffset, 1},
        {TxField, PortRecord::TxProtocolOffset, 1},
    };
    const QByteArray shown = PortRecord::encode(shownSettings()).bytes();
    QByteArray bytes = given.bytes();
    for (const Span &span : spans) {
        if (!(touched & span.field))
            continue;
        const QComboBox *list = listOf(span.field);
        if (list && list->currentIndex() < 0)
            continue;
        bytes.replace(span.offset, span.length, shown.mid(span.offset, span.length));
    }
    return PortRecord(bytes);
}

bool PortConfig::setRecord(const PortRecord &port)
{
    // Relative to the card, so that a card on a page not shown still takes
    // the records of the choices it offers. Every refusal is decided before
    // the first widget changes.
    PortTraits offered;
    offered.uartOffered = ui->rdbUart->isVisibleTo(this);
    offered.canOffered = ui->rdbCan->isVisibleTo(this);
    if (port.refusal(offered) != PortRecord::Refusal::None)
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
    given = port;
    recordGiven = true;
    touched = 0;
    return true;
}

void PortConfig::on_rdbUart_clicked(bool checked)
{
    if (!checked)
        return;
    ui->stackedWidget->setCurrentIndex(0);
    touch(LineFields);
}

void PortConfig::on_rdbCan_clicked(bool checked)
{
    if (!checked)
        return;
    ui->stackedWidget->setCurrentIndex(1);
    touch(LineFields);
}

void PortConfig::on_cmbRxProtocol_activated(int index)
{
    touch(RxField);
    const QString name = ui->cmbRxProtocol->currentText();
    emit sglAccept(portId, index, catalogue.helpText(true, name), name);
}

void PortConfig::on_cmbTxProtocol_activated(int index)
{
    touch(TxField);
    const QString name = ui->cmbTxProtocol->currentText();
    emit sglSend(portId, index, catalogue.helpText(false, name), name);
}

// Every card lays its columns out alike, whatever its lists show now and
// whichever of its controls the port hides: each short list is as wide as its
// widest item, the labels of a column as wide as the widest of them, the two
// kind choices as wide as each other, and the protocol lists take the room
// that is left (a name that does not fit is cut, and whole in the tooltip).
// Measured before any list is locked: a locked list's own style sheet would
// measure it a few pixels apart from its neighbours'.
void PortConfig::fixColumns()
{
    for (QComboBox *list : {ui->cmbUartBaudrate, ui->cmbStopBit, ui->cmbDataBit, ui->cmbParity,
                            ui->cmbCanBaudrate, ui->cmbLevelSec}) {
        int widest = 0;
        for (int i = 0; i < list->count(); ++i)
            widest = qMax(widest, textWidth(list, list->itemText(i)));
        list->setFixedWidth(widest);
    }
    // The CAN rate sits where the UART rate does, as wide.
    const int rateWidth = qMax(ui->cmbUartBaudrate->width(), ui->cmbCanBaudrate->width());
    ui->cmbUartBaudrate->setFixedWidth(rateWidth);
    ui->cmbCanBaudrate->setFixedWidth(rateWidth);
    const auto sameWidth = [](std::initializer_list<QWidget *> widgets) {
        int widest = 0;
        for (QWidget *w : widgets)
            widest = qMax(widest, w->sizeHint().width());
        for (QWidget *w : widgets)
            w->setFixedWidth(widest);
    };
    sameWidth({ui->rdbUart, ui->rdbCan});
    sameWidth({ui->label_10, ui->label_11, ui->label_12});
    sameWidth({ui->label_33, ui->label_36});
    sameWidth({ui->label_13, ui->label_14});
    for (QComboBox *list : {ui->cmbRxProtocol, ui->cmbTxProtocol}) {
        list->setMinimumWidth(textWidth(list, QString()));
        list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    }
    // Every card's lists hold the same items in the same font.
    for (LazyPopupComboBox *list : findChildren<LazyPopupComboBox *>())
        list->setSharedTextWidths(true);
    ui->gridLayout_5->setColumnStretch(3, 1);

    // Six cards share less height than six times the form's 89 pixels: the
    // controls give up a few pixels of their preferred height when the card
    // is short of room, and take them where it has room.
    for (QWidget *w : findChildren<QComboBox *>())
        w->setMinimumHeight(CompactRowHeight);
    for (QWidget *w : {ui->rdbUart, ui->rdbCan})
        w->setMinimumHeight(CompactRowHeight);
    ui->verticalLayout->setSpacing(0);
    for (QGridLayout *grid : {ui->gridLayout_3, ui->gridLayout_4, ui->gridLayout})
        grid->setVerticalSpacing(CompactRowSpacing);
    const QMargins margins = ui->gridLayout_5->contentsMargins();
    ui->gridLayout_5->setContentsMargins(margins.left(), CompactRowSpacing, margins.right(),
                                         CompactRowSpacing);
}

void PortConfig::fillProtocolLists()
{
    // Added at once and measured when the popup opens: measuring after every
    // item went over all the earlier items again, for each card, and most
    // popups are never opened.
    for (auto [receive, list] :
         {std::make_pair(true, ui->cmbRxProtocol), std::make_pair(false, ui->cmbTxProtocol)}) {
        list->addItems(catalogue.keys(receive));
        list->adjustPopupWidthOnOpen();
    }
}
