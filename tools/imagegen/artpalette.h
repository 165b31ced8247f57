// Colours shared by every generated picture: the window's dark background,
// the title-bar blue and the light frame colour of the information panel.
#ifndef ARTPALETTE_H
#define ARTPALETTE_H

#include <QColor>

namespace ArtPalette
{
inline QColor background()
{
    return QColor(41, 45, 49);
}
inline QColor blue()
{
    return QColor(8, 141, 242);
}
inline QColor blueDark()
{
    return QColor(5, 104, 182);
}
inline QColor blueLight()
{
    return QColor(92, 178, 248);
}
inline QColor white()
{
    return QColor(255, 255, 255);
}
inline QColor frame()
{
    return QColor(227, 227, 227);
}
inline QColor grey()
{
    return QColor(115, 126, 130);
}
inline QColor red()
{
    return QColor(226, 78, 66);
}
inline QColor redDark()
{
    return QColor(176, 48, 40);
}
inline QColor green()
{
    return QColor(76, 209, 104);
}
inline QColor amber()
{
    return QColor(255, 176, 32);
}
} // namespace ArtPalette

#endif // ARTPALETTE_H
