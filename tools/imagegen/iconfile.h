// Writer of Windows icon files holding one 32-bit image, for the program's
// resource script (Qt's own ICO writer is not always installed).
#ifndef ICONFILE_H
#define ICONFILE_H

#include <QByteArray>
#include <QImage>

namespace IconFile
{
// One ICONDIR entry with an uncompressed 32 bpp DIB (colour rows bottom-up,
// then the 1 bpp AND mask). Width and height must be 1..256; empty on error.
QByteArray encode(const QImage &image);
} // namespace IconFile

#endif // ICONFILE_H
