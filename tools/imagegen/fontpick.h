// Chooses an installed font family that can show Chinese text.
#ifndef FONTPICK_H
#define FONTPICK_H

#include <QString>

namespace FontPick
{
QString cjkFamily();
} // namespace FontPick

#endif // FONTPICK_H
