#include "messagenotifier.h"

MessageNotifier *MessageNotifier::instance()
{
    static MessageNotifier notifier;
    return &notifier;
}

void MessageNotifier::critical(const QString &title, const QString &text)
{
    show(QMessageBox::Critical, title, text, QMessageBox::Ok, QMessageBox::NoButton);
}

void MessageNotifier::warning(const QString &title, const QString &text)
{
    show(QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::NoButton);
}

bool MessageNotifier::question(const QString &title, const QString &text)
{
    return show(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::No) == QMessageBox::Yes;
}

int MessageNotifier::show(QMessageBox::Icon icon, const QString &title, const QString &text,
                          QMessageBox::StandardButtons buttons, QMessageBox::StandardButton preset)
{
    QMessageBox box(icon, title, text, buttons);
    box.setDefaultButton(preset);
    emit instance()->aboutToShow(&box);
    return box.exec();
}
