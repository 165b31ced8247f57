// A pick from a list as the user makes it: the item becomes current and the
// list reports it activated. A card counts only such picks as edits.
#ifndef USERPICK_H
#define USERPICK_H

#include <QComboBox>

namespace UserPick
{

inline void pick(QComboBox *list, int index)
{
    list->setCurrentIndex(index);
    emit list->activated(index);
}

} // namespace UserPick

#endif // USERPICK_H
