// The one place that shows the program's parentless message boxes. A test can
// watch aboutToShow to read a box and dismiss it; users see the plain box.
#ifndef MESSAGENOTIFIER_H
#define MESSAGENOTIFIER_H

#include <QMessageBox>
#include <QObject>

class MessageNotifier : public QObject
{
    Q_OBJECT
public:
    static MessageNotifier *instance();

    // Modal box with no parent, a single OK button and no default button.
    static void critical(const QString &title, const QString &text);
    static void warning(const QString &title, const QString &text);
    // The boxes' style sheet: the main window's dark look and font.
    static const QString &styleSheet();

signals:
    // Emitted just before the box runs its modal loop.
    void aboutToShow(QMessageBox *box);

private:
    using QObject::QObject;
    static void show(QMessageBox::Icon icon, const QString &title, const QString &text);
};

#endif // MESSAGENOTIFIER_H
