// The ring around the control that has the keyboard focus in one window: a
// white frame in the window's look, which follows the focus from control to
// control and hides while the focus is in another window.
#ifndef FOCUSRING_H
#define FOCUSRING_H

#include <QObject>
#include <QPointer>

class QFocusFrame;
class QWidget;

class FocusRing : public QObject
{
    Q_OBJECT
public:
    // Held by the window (a member, so that it stops following the focus
    // before the window's children go).
    explicit FocusRing(QWidget *window);
    ~FocusRing() override;

private:
    void follow(QWidget *focused);

    QWidget *window;
    // Lives beside the control it surrounds, so it goes with a part of the
    // window that is replaced (a port card); then a new one is made.
    QPointer<QFocusFrame> ring;
};

#endif // FOCUSRING_H
