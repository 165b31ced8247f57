// The images compiled into the program (buttons, arrows, divider, logo, the
// module drawing) and the application icon, drawn in one flat style that
// suits the dark window and the blue title bar.
#ifndef UIIMAGES_H
#define UIIMAGES_H

#include <QImage>
#include <QString>
#include <QVector>

namespace UiImages
{

struct Picture {
    QString path; // relative to the app folder, e.g. "resource/tl.png"
    QImage image;
};

QVector<Picture> renderAll();
QImage applicationIcon(int size = 64); // size x size

// Writes the icon for desktop menus in the freedesktop hicolor sizes, as
// dir/hicolor/NxN/apps/tovrinvazodivuvetool.png.
bool writeDesktopIcons(const QString &dir, QString *error);

// Writes every picture and "TovrinVazodivuveTool.ico" below appDir; returns
// false and fills error on the first file that cannot be written.
bool writeAll(const QString &appDir, QString *error);

} // namespace UiImages

#endif // UIIMAGES_H
