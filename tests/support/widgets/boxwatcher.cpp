#include "boxwatcher.h"

#include "messagenotifier.h"

#include <QAbstractButton>
#include <QTimer>

BoxWatcher::BoxWatcher()
{
    connect(MessageNotifier::instance(), &MessageNotifier::aboutToShow, this,
            &BoxWatcher::onAboutToShow, Qt::DirectConnection);
}

BoxWatcher::~BoxWatcher() = default;

void BoxWatcher::onAboutToShow(QMessageBox *box)
{
    boxes.append({box->icon(), box->windowTitle(), box->text(), static_cast<int>(box->buttons().size()),
                  box->defaultButton() != nullptr});
    const QMessageBox::StandardButton choice =
        box->button(QMessageBox::Ok) ? QMessageBox::Ok : answer;
    QTimer::singleShot(0, box, [box, choice] { box->button(choice)->click(); });
}
