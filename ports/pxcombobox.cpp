#include "pxcombobox.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QStyle>

PxComBoBox::PxComBoBox(QWidget *parent) : QComboBox(parent) {}

void PxComBoBox::adjustPopupWidth()
{
    QAbstractItemView *popup = view();
    const QFont font = popup->font();
    if (!(font == measuredFont)) {
        measuredFont = font;
        textWidths.clear();
        itemPadding = -1;
    }
    const QFontMetrics metrics(font);
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        const QString text = itemText(i);
        auto it = textWidths.constFind(text);
        if (it == textWidths.constEnd())
            it = textWidths.insert(text, metrics.horizontalAdvance(text));
        widest = qMax(widest, it.value());
    }

    // The view draws each item with some padding of its own; measure it once
    // on the first item.
    if (itemPadding < 0 && count() > 0) {
        const QModelIndex first = model()->index(0, modelColumn(), rootModelIndex());
        itemPadding = qMax(0, popup->sizeHintForIndex(first).width() -
                                  metrics.horizontalAdvance(itemText(0)));
    }
    const QStyle *style = popup->style();
    const int scrollBar = style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, popup);
    const int frame = 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, popup);
    popup->setMinimumWidth(widest + scrollBar + frame + qMax(0, itemPadding));
}
