#include "devicepicture.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace
{
// A name that can only be one file name: no separators or characters that
// Windows reads as a drive, stream or wildcard, no "..", no control codes.
bool isPlainName(const QString &name)
{
    if (name.isEmpty() || name.contains(QLatin1String("..")))
        return false;
    const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control || forbidden.contains(c))
            return false;
    }
    return true;
}
} // namespace

DevicePicture::DevicePicture(const QString &folder, const QString &locale)
    : folder(folder), locale(locale)
{
}

QString DevicePicture::path(const QString &entryName) const
{
    if (!isPlainName(entryName) || !isPlainName(locale))
        return QString();
    const QDir dir(folder);
    const QFileInfo info(dir, entryName + QLatin1Char('-') + locale + QStringLiteral(".png"));
    if (!info.isFile() || info.isSymLink())
        return QString();
    // The file's own folder, with every link resolved, is the pictures folder.
    if (QFileInfo(info.absolutePath()).canonicalFilePath() != dir.canonicalPath())
        return QString();
    return info.absoluteFilePath();
}

QImage DevicePicture::load(const QString &entryName, const QSize &bounds) const
{
    const QString file = path(entryName);
    if (file.isEmpty())
        return QImage();

    QImageReader reader(file, "png");
    // The header alone tells the size: refuse before anything is decoded.
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > MaxSide || size.height() > MaxSide ||
        qint64(size.width()) * size.height() > MaxPixels)
        return QImage();
    if (!bounds.isEmpty() && (size.width() > bounds.width() || size.height() > bounds.height()))
        reader.setScaledSize(size.scaled(bounds, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));

    QImage image;
    if (!reader.read(&image))
        return QImage();
    return image;
}
