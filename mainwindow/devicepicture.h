// The picture of a catalogue entry for the information panel. Entry names come
// from a catalogue file that anyone may edit, so a name only ever selects a
// PNG file directly inside the pictures folder, and a picture is read scaled
// to the panel after its declared size has been checked.
#ifndef DEVICEPICTURE_H
#define DEVICEPICTURE_H

#include <QImage>
#include <QSize>
#include <QString>

class DevicePicture
{
public:
    // Pictures larger than this on a side, or in all, are not decoded.
    static constexpr int MaxSide = 8192;
    static constexpr qint64 MaxPixels = qint64(64) * 1024 * 1024;

    // folder: the pictures folder; locale: the locale of the installed
    // translation, such as "zh_CN", which the file names carry.
    DevicePicture(const QString &folder, const QString &locale);

    // The file "<entryName>-<locale>.png" when it is a regular file directly
    // in the folder; empty for a name that could reach anything else (path
    // separators, "..", control characters) or when there is no such file.
    QString path(const QString &entryName) const;

    // The entry's picture, scaled down to fit within bounds when it is
    // larger; a null image when there is no picture, it declares a size over
    // the limits, or it cannot be decoded.
    QImage load(const QString &entryName, const QSize &bounds) const;

private:
    QString folder;
    QString locale;
};

#endif // DEVICEPICTURE_H
