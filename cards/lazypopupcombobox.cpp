#include "lazypopupcombobox.h"

#include <QChildEvent>
#include <QEvent>

LazyPopupComboBox::LazyPopupComboBox(QWidget *parent) : QComboBox(parent) {}

QSize LazyPopupComboBox::sizeHint() const
{
    hintComputed = true;
    return QComboBox::sizeHint();
}

QSize LazyPopupComboBox::minimumSizeHint() const
{
    hintComputed = true;
    return QComboBox::minimumSizeHint();
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
