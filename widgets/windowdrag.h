// Moves a frameless window with the pointer: pressing the left button on any
// point of its body that does not take the press itself, and dragging. Any
// press raises the window.
#ifndef WINDOWDRAG_H
#define WINDOWDRAG_H

#include <QObject>
#include <QPoint>

class QWidget;

class WindowDrag : public QObject
{
    Q_OBJECT
public:
    // Watches window's mouse events; lives as long as the window.
    static void attach(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WindowDrag(QWidget *window);

    QWidget *m_window;
    bool m_dragging = false;
    QPoint m_offset;
};

#endif // WINDOWDRAG_H
