#include "messagenotifier.h"

MessageNotifier *MessageNotifier::instance()
{
    static MessageNotifier notifier;
    return &notifier;
}

void MessageNotifier::critical(const QString &title, const QString &text)
{
    show(QMessageBox::Critical, title, text);
}

void MessageNotifier::warning(const QString &title, const QString &text)
{
    show(QMessageBox::Warning, title, text);
}

void MessageNotifier::show(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::NoButton);
    emit instance()->aboutToShow(&box);
    box.exec();
}
