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

// The main window's look: its dark background, white text in its font, and
// its blue buttons with a ring for the focus.
const QString &MessageNotifier::styleSheet()
{
    static const QString sheet = QStringLiteral(
        "QMessageBox{background-color:rgb(41, 45, 49);}\n"
        "QMessageBox QLabel{color:rgb(255, 255, 255);font-family:\"微软雅黑\";font-size:11pt;}\n"
        "QMessageBox QPushButton{background-color:#0B8DCE;color:rgb(255, 255, 255);"
        "border:2px solid #0B8DCE;border-radius:10px;font-family:\"微软雅黑\";font-size:10pt;"
        "min-width:80px;min-height:25px;}\n"
        "QMessageBox QPushButton:hover{background-color:#0872A8;border-color:#0872A8;}\n"
        "QMessageBox QPushButton:pressed{background-color:#026C9B;border-color:#026C9B;}\n"
        "QMessageBox QPushButton:focus{border-color:rgb(255, 255, 255);}");
    return sheet;
}

int MessageNotifier::show(QMessageBox::Icon icon, const QString &title, const QString &text,
                          QMessageBox::StandardButtons buttons, QMessageBox::StandardButton preset)
{
    QMessageBox box(icon, title, text, buttons);
    box.setDefaultButton(preset);
    box.setStyleSheet(styleSheet());
    emit instance()->aboutToShow(&box);
    return box.exec();
}
