#include "exclusivetabstop.h"

#include <QAbstractButton>

void ExclusiveTabStop::watch(const QList<QAbstractButton *> &buttons)
{
    if (!buttons.isEmpty())
        new ExclusiveTabStop(buttons);
}

ExclusiveTabStop::ExclusiveTabStop(const QList<QAbstractButton *> &buttons)
    : QObject(buttons.first()->parent()), buttons(buttons)
{
    for (QAbstractButton *button : buttons)
        connect(button, &QAbstractButton::toggled, this, &ExclusiveTabStop::update);
    update();
}

// Qt takes the Tab stop from an exclusive button's siblings when it gets the
// focus, but gives it back to none when the choice is made in code, so a set
// can lose its only stop.
void ExclusiveTabStop::update()
{
    for (QAbstractButton *button : qAsConst(buttons)) {
        const Qt::FocusPolicy policy = button->focusPolicy();
        button->setFocusPolicy(button->isChecked() ? Qt::FocusPolicy(policy | Qt::TabFocus)
                                                   : Qt::FocusPolicy(policy & ~Qt::TabFocus));
    }
}
