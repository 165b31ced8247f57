#include "lazypopupcombobox.h"

#include "textwidths.h"

#include <QChildEvent>
#include <QEvent>
#include <QFontMetricsF>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QtMath>

LazyPopupComboBox::LazyPopupComboBox(QWidget *parent) : QComboBox(parent) {}

QSize LazyPopupComboBox::sizeHint() const
{
    hintComputed = true;
    return reckonsHints() ? reckonedHint() : QComboBox::sizeHint();
}

// With no minimum contents length a plain list reckons both hints alike.
QSize LazyPopupComboBox::minimumSizeHint() const
{
    hintComputed = true;
    return reckonsHints() ? reckonedHint() : QComboBox::minimumSizeHint();
}

bool LazyPopupComboBox::reckonsHints() const
{
    if (!sharedWidths || isEditable() || minimumContentsLength() > 0 ||
        !placeholderText().isEmpty())
        return false;
    if (sizeAdjustPolicy() != AdjustToContents && sizeAdjustPolicy() != AdjustToContentsOnFirstShow)
        return false;
    for (int i = 0; i < count(); ++i) {
        if (!itemIcon(i).isNull())
            return false;
    }
    return true;
}

QSize LazyPopupComboBox::reckonedHint() const
{
    const QFontMetrics metrics = fontMetrics();
    int width = -1;
    if (count() == 0) {
        width = 7 * metrics.horizontalAdvance(QLatin1Char('x'));
    } else {
        TextWidths texts(font());
        for (int i = 0; i < count(); ++i)
            width = qMax(width, texts.boundingWidth(itemText(i)));
    }
    const int height = qMax(qCeil(QFontMetricsF(metrics).height()), 14) + 2;
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(width, height), this);
}

bool LazyPopupComboBox::event(QEvent *event)
{
    // The popup is the list's one child window. It is announced at the end of
    // its own widget set-up, before its list view is built, and takes the
    // list's font there, as a plain list gives it when its font is set.
    if (event->type() == QEvent::ChildAdded && !popupBuilt) {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType() && static_cast<QWidget *>(child)->isWindow()) {
            popupBuilt = true;
            static_cast<QWidget *>(child)->setFont(font());
        }
    }
    return QComboBox::event(event);
}

void LazyPopupComboBox::changeEvent(QEvent *event)
{
    // A font set before the popup exists needs no popup to carry it: the
    // popup inherits it when it is built. The list's own handling of the
    // change would build the popup now.
    if (event->type() == QEvent::FontChange && !popupBuilt && !hintComputed && !isEditable()) {
        QWidget::changeEvent(event);
        return;
    }
    QComboBox::changeEvent(event);
}
