#include "stylelog.h"

#include <QEvent>
#include <QWidget>

void StyleLog::watch(QWidget *button)
{
    if (!m_clock.isValid())
        m_clock.start();
    button->installEventFilter(this);
}

void StyleLog::restart()
{
    changes.clear();
    m_clock.start();
}

qint64 StyleLog::firstChange(const QString &button, const QString &style, qint64 fromMs) const
{
    for (const Change &c : changes) {
        if (c.ms >= fromMs && c.button == button && c.style == style)
            return c.ms;
    }
    return -1;
}

QStringList StyleLog::stylesOf(const QString &button) const
{
    QStringList styles;
    for (const Change &c : changes) {
        if (c.button == button)
            styles.append(c.style);
    }
    return styles;
}

bool StyleLog::eventFilter(QObject *watched, QEvent *event)
{
    // setStyleSheet() delivers StyleChange synchronously; the same sheet set
    // twice in a row is one change.
    if (event->type() == QEvent::StyleChange) {
        auto *w = static_cast<QWidget *>(watched);
        const QString name = w->objectName();
        const QString style = w->styleSheet();
        const QStringList before = stylesOf(name);
        if (before.isEmpty() || before.last() != style)
            changes.append({m_clock.elapsed(), name, style});
    }
    return QObject::eventFilter(watched, event);
}
