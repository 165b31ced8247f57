#include "iconfile.h"

#include <QDataStream>
#include <QIODevice>

QByteArray IconFile::encode(const QImage &source)
{
    const int w = source.width();
    const int h = source.height();
    if (source.isNull() || w > 256 || h > 256)
        return {};
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);

    const int maskStride = ((w + 31) / 32) * 4;
    const quint32 dibSize = 40 + quint32(w) * quint32(h) * 4 + quint32(maskStride) * quint32(h);

    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);

    // ICONDIR
    s << quint16(0) << quint16(1) << quint16(1);
    // ICONDIRENTRY; 256 is written as 0
    s << quint8(w == 256 ? 0 : w) << quint8(h == 256 ? 0 : h) << quint8(0) << quint8(0);
    s << quint16(1) << quint16(32) << dibSize << quint32(6 + 16);

    // BITMAPINFOHEADER: the height counts the colour rows and the mask rows.
    s << quint32(40) << qint32(w) << qint32(h * 2) << quint16(1) << quint16(32) << quint32(0)
      << quint32(dibSize - 40) << qint32(0) << qint32(0) << quint32(0) << quint32(0);

    for (int y = h - 1; y >= 0; --y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            s << quint8(qBlue(line[x])) << quint8(qGreen(line[x])) << quint8(qRed(line[x]))
              << quint8(qAlpha(line[x]));
    }
    // AND mask: set where the pixel is fully transparent, for readers that
    // ignore the alpha channel.
    for (int y = h - 1; y >= 0; --y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        s.writeRawData(row.constData(), row.size());
    }
    return out;
}
