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
    // Modal question with Yes and No buttons, No the default; true for Yes.
    static bool question(const QString &title, const QString &text);
    // The boxes' style sheet: the main window's dark look and font.
    static const QString &styleSheet();

signals:
    // Emitted just before the box runs its modal loop.
    void aboutToShow(QMessageBox *box);

private:
    using QObject::QObject;
    static int show(QMessageBox::Icon icon, const QString &title, const QString &text,
                    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton preset);
};

#endif // MESSAGENOTIFIER_H
