#include "elidinglabel.h"

#include <QPainter>
#include <QStyle>

ElidingLabel::ElidingLabel(QWidget *parent) : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Ignored, sizePolicy().verticalPolicy());
}

QSize ElidingLabel::minimumSizeHint() const
{
    return {0, QLabel::minimumSizeHint().height()};
}

bool ElidingLabel::isElided() const
{
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

void ElidingLabel::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    updateToolTip();
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&painter, area, int(alignment()) | Qt::TextSingleLine, palette(),
                          isEnabled(), shown, foregroundRole());
}

void ElidingLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    updateToolTip();
}

void ElidingLabel::setText(const QString &text)
{
    QLabel::setText(text);
    updateToolTip();
}

void ElidingLabel::updateToolTip()
{
    const QString tip = isElided() ? text() : QString();
    if (toolTip() != tip)
        setToolTip(tip);
}
