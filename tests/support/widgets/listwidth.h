// The width a drop-down list needs to show a text whole: its own size hint
// computed for that one text, as QComboBox reckons it for its widest item.
#ifndef LISTWIDTH_H
#define LISTWIDTH_H

#include <QComboBox>
#include <QStyle>
#include <QStyleOptionComboBox>

inline int listWidthFor(const QComboBox *list, const QString &text)
{
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    option.frame = list->hasFrame();
    option.currentText = text;
    const QFontMetrics metrics = list->fontMetrics();
    const QSize contents(metrics.boundingRect(text).width(), metrics.height());
    return list->style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, list).width();
}

#endif // LISTWIDTH_H
