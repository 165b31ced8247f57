#include "pxcombobox.h"

#include "textwidths.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStylePainter>

PxComBoBox::PxComBoBox(QWidget *parent) : LazyPopupComboBox(parent)
{
    connect(this, &QComboBox::currentTextChanged, this, [this] { updateToolTip(); });
}

int PxComBoBox::textRoom() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    int room =
        style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this)
            .width();
    if (!option.currentIcon.isNull())
        room -= option.iconSize.width() + 4;
    return room;
}

bool PxComBoBox::isElided() const
{
    return fontMetrics().horizontalAdvance(currentText()) > textRoom();
}

// As QComboBox paints itself, with the current text cut to the room it has.
void PxComBoBox::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText =
        fontMetrics().elidedText(option.currentText, Qt::ElideRight, qMax(0, textRoom()));
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void PxComBoBox::resizeEvent(QResizeEvent *event)
{
    QComboBox::resizeEvent(event);
    updateToolTip();
}

void PxComBoBox::updateToolTip()
{
    const QString tip = isElided() ? currentText() : QString();
    if (toolTip() != tip)
        setToolTip(tip);
}

void PxComBoBox::showPopup()
{
    if (widthOnOpen)
        adjustPopupWidth();
    LazyPopupComboBox::showPopup();
}

void PxComBoBox::adjustPopupWidth()
{
    QAbstractItemView *popup = view();
    const QFont font = popup->font();
    TextWidths texts(font);
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = qMax(widest, texts.advance(itemText(i)));

    // The view draws each item with some padding of its own; measure it once
    // on the first item.
    if (!(font == paddingFont))
        itemPadding = -1;
    if (itemPadding < 0 && count() > 0) {
        const QModelIndex first = model()->index(0, modelColumn(), rootModelIndex());
        itemPadding = qMax(0, popup->sizeHintForIndex(first).width() - texts.advance(itemText(0)));
        paddingFont = font;
    }
    const QStyle *style = popup->style();
    const int scrollBar = style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, popup);
    const int frame = 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, popup);
    popup->setMinimumWidth(widest + scrollBar + frame + qMax(0, itemPadding));
}
