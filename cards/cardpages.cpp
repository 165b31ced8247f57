#include "cardpages.h"

#include <QChildEvent>
#include <QEvent>

CardPages::CardPages(QWidget *parent) : QStackedWidget(parent) {}

void CardPages::setCurrentIndex(int index)
{
    pendingIndex = index < count() ? -1 : index;
    QStackedWidget::setCurrentIndex(index);
}

bool CardPages::event(QEvent *event)
{
    // A child widget is announced at the end of its widget set-up, before its
    // own children are built.
    if (event->type() == QEvent::ChildAdded) {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType() && !static_cast<QWidget *>(child)->isWindow()) {
            addWidget(static_cast<QWidget *>(child));
            if (pendingIndex == count() - 1) {
                pendingIndex = -1;
                QStackedWidget::setCurrentIndex(count() - 1);
            }
        }
    }
    return QStackedWidget::event(event);
}
