#include "elidingcheckbox.h"

#include <QEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

ElidingCheckBox::ElidingCheckBox(QWidget *parent) : QCheckBox(parent)
{
    setSizePolicy(QSizePolicy::Preferred, sizePolicy().verticalPolicy());
}

QSize ElidingCheckBox::minimumSizeHint() const
{
    const QSize whole = sizeHint();
    const QFontMetrics metrics = fontMetrics();
    const int full = metrics.horizontalAdvance(text());
    const int least =
        qMin(full, metrics.horizontalAdvance(QStringLiteral("…")) + 6 * metrics.averageCharWidth());
    return {whole.width() - full + least, whole.height()};
}

int ElidingCheckBox::textRoom() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this).width();
}

bool ElidingCheckBox::isElided() const
{
    return fontMetrics().horizontalAdvance(text()) > textRoom();
}

void ElidingCheckBox::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = fontMetrics().elidedText(text(), Qt::ElideRight, textRoom());
    painter.drawControl(QStyle::CE_CheckBox, option);
}

void ElidingCheckBox::resizeEvent(QResizeEvent *event)
{
    QCheckBox::resizeEvent(event);
    updateToolTip();
}

void ElidingCheckBox::changeEvent(QEvent *event)
{
    QCheckBox::changeEvent(event);
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::FontChange)
        updateToolTip();
}

void ElidingCheckBox::updateToolTip()
{
    const QString tip = isElided() ? text() : QString();
    if (toolTip() != tip)
        setToolTip(tip);
}
