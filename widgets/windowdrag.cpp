#include "windowdrag.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace
{
// The pointer's place on the screen: globalPos() is deprecated in Qt 6.
QPoint globalPoint(const QMouseEvent *event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event->globalPosition().toPoint();
#else
    return event->globalPos();
#endif
}
} // namespace

WindowDrag::WindowDrag(QWidget *window) : QObject(window), m_window(window)
{
    window->installEventFilter(this);
}

void WindowDrag::attach(QWidget *window)
{
    new WindowDrag(window);
}

bool WindowDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_dragging = true;
            m_offset = globalPoint(mouse) - m_window->pos();
        }
        m_window->raise();
        break;
    }
    case QEvent::MouseMove:
        if (m_dragging)
            m_window->move(globalPoint(static_cast<QMouseEvent *>(event)) - m_offset);
        break;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        break;
    default:
        break;
    }
    return false;
}
