#include "uiimages.h"

#include "artpalette.h"
#include "iconfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace
{

using namespace ArtPalette;

enum class State { Normal, Hover, Pressed };

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    // Fixed resolution so that the files do not depend on the screen.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    return image;
}

QImage finished(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

void smooth(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QPen roundPen(const QColor &c, qreal width)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Plug (left) and socket (right), lying along the x axis around the origin;
// gap is the distance between the prong tips and the socket face.
void drawPlugPair(QPainter &p, qreal gap, const QColor &ink)
{
    const qreal half = gap / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    // plug body and cable
    p.drawRoundedRect(QRectF(-half - 4 - 9, -6.5, 9, 13), 2.5, 2.5);
    p.drawRect(QRectF(-half - 4 - 9 - 5, -1.5, 6, 3));
    // prongs
    p.drawRect(QRectF(-half - 4.5, -4.5, 4.5, 2.4));
    p.drawRect(QRectF(-half - 4.5, 2.1, 4.5, 2.4));
    // socket body and cable
    p.drawRoundedRect(QRectF(half, -6.5, 9, 13), 2.5, 2.5);
    p.drawRect(QRectF(half + 8, -1.5, 6, 3));
}

QImage linkButton(bool connect, State state)
{
    QImage image = canvas(48, 48);
    QPainter p(&image);
    smooth(p);
    const QColor accent = connect ? blue() : red();
    const QColor accentDark = connect ? blueDark() : redDark();
    const QRectF disc(4, 4, 40, 40);

    if (state == State::Normal) {
        p.setPen(QPen(accent, 2.5));
        p.setBrush(QColor(accent.red(), accent.green(), accent.blue(), 40));
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(state == State::Hover ? accent : accentDark);
    }
    p.drawEllipse(disc);

    p.translate(24, 24);
    if (state == State::Pressed)
        p.scale(0.92, 0.92);
    p.rotate(-45);
    p.scale(0.86, 0.86);
    drawPlugPair(p, connect ? 2.0 : 9.0, white());
    if (!connect) {
        // break marks between the two halves
        p.setPen(roundPen(white(), 1.6));
        p.drawLine(QPointF(-2.5, -11), QPointF(-1.5, -8));
        p.drawLine(QPointF(0, -12), QPointF(0, -8.5));
        p.drawLine(QPointF(2.5, 11), QPointF(1.5, 8));
        p.drawLine(QPointF(0, 12), QPointF(0, 8.5));
    }
    p.end();
    return finished(image);
}

QImage searchButton(State state)
{
    QImage image = canvas(37, 25);
    QPainter p(&image);
    smooth(p);
    const QRectF frame(0.5, 0.5, 36, 24);
    if (state == State::Normal) {
        p.setPen(QPen(grey(), 1));
        p.setBrush(Qt::NoBrush);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(state == State::Hover ? blue() : blueDark());
    }
    p.drawRoundedRect(frame, 4, 4);

    // circular arrow
    const QPointF c(18.5, 12.5 + (state == State::Pressed ? 0.5 : 0));
    const qreal r = 6.5;
    p.setPen(roundPen(white(), 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 60 * 16, 285 * 16);
    const qreal end = qDegreesToRadians(60.0);
    const QPointF tip(c.x() + r * qCos(end), c.y() - r * qSin(end));
    QPainterPath head;
    head.moveTo(tip + QPointF(3.8, -1.2));
    head.lineTo(tip + QPointF(-0.8, -3.6));
    head.lineTo(tip + QPointF(0.6, 2.2));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(white());
    p.drawPath(head);
    p.end();
    return finished(image);
}

QImage minimizeButton(bool hover)
{
    QImage image = canvas(32, 6);
    QPainter p(&image);
    smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(hover ? QColor(206, 232, 255) : white());
    p.drawRoundedRect(QRectF(0, 0, 32, 6), 3, 3);
    p.end();
    return finished(image);
}

QImage exitButton(State state)
{
    QImage image = canvas(16, 16);
    QPainter p(&image);
    smooth(p);
    if (state != State::Normal) {
        p.setPen(Qt::NoPen);
        p.setBrush(state == State::Hover ? red() : redDark());
        p.drawEllipse(QRectF(0, 0, 16, 16));
    }
    const qreal inset = state == State::Normal ? 2.5 : 4.5;
    p.setPen(roundPen(white(), state == State::Normal ? 2.0 : 1.7));
    p.drawLine(QPointF(inset, inset), QPointF(16 - inset, 16 - inset));
    p.drawLine(QPointF(16 - inset, inset), QPointF(inset, 16 - inset));
    p.end();
    return finished(image);
}

QImage arrow(const QColor &ink)
{
    QImage image = canvas(12, 8);
    QPainter p(&image);
    smooth(p);
    QPainterPath chevron;
    chevron.moveTo(1, 1.5);
    chevron.lineTo(6, 6.5);
    chevron.lineTo(11, 1.5);
    p.setPen(roundPen(ink, 1.8));
    p.drawPath(chevron);
    p.end();
    return finished(image);
}

QImage divider()
{
    // Narrower than the window's minimum width, so it never forces the layout wider.
    const int w = 840;
    QImage image = canvas(w, 4);
    QPainter p(&image);
    QLinearGradient core(0, 0, w, 0);
    QColor clear = blue();
    clear.setAlpha(0);
    core.setColorAt(0.0, clear);
    core.setColorAt(0.12, blue());
    core.setColorAt(0.88, blue());
    core.setColorAt(1.0, clear);
    p.fillRect(QRectF(0, 1, w, 2), core);
    QLinearGradient glow(0, 0, w, 0);
    QColor soft = blue();
    soft.setAlpha(70);
    glow.setColorAt(0.0, clear);
    glow.setColorAt(0.2, soft);
    glow.setColorAt(0.8, soft);
    glow.setColorAt(1.0, clear);
    p.fillRect(QRectF(0, 0, w, 1), glow);
    p.fillRect(QRectF(0, 3, w, 1), glow);
    p.end();
    return finished(image);
}

// Isometric cube seen from above: the product mark of the logo and the icon.
void drawCubeMark(QPainter &p, const QPointF &centre, qreal size, const QColor &ink,
                  const QColor &letter)
{
    const qreal s = size / 2;
    const qreal dx = s * 0.866;
    const QPointF top(centre.x(), centre.y() - s);
    const QPointF upperRight(centre.x() + dx, centre.y() - s / 2);
    const QPointF lowerRight(centre.x() + dx, centre.y() + s / 2);
    const QPointF bottom(centre.x(), centre.y() + s);
    const QPointF lowerLeft(centre.x() - dx, centre.y() + s / 2);
    const QPointF upperLeft(centre.x() - dx, centre.y() - s / 2);
    const QPointF middle = centre;

    auto face = [&](std::initializer_list<QPointF> pts, int alpha) {
        QColor c = ink;
        c.setAlpha(alpha);
        p.setBrush(c);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF(QVector<QPointF>(pts)));
    };
    face({top, upperRight, middle, upperLeft}, 255);
    face({upperLeft, middle, bottom, lowerLeft}, 200);
    face({middle, upperRight, lowerRight, bottom}, 150);

    // a "T" lying on the top face
    QTransform onTop(dx / s, 0.5, -dx / s, 0.5, top.x(), top.y());
    p.save();
    p.setTransform(onTop, true);
    p.setBrush(letter);
    const qreal u = s; // face edge length in face units
    p.drawRect(QRectF(u * 0.22, u * 0.22, u * 0.56, u * 0.16));
    p.drawRect(QRectF(u * 0.42, u * 0.22, u * 0.16, u * 0.56));
    p.restore();
}

QImage logo()
{
    QImage image = canvas(42, 42);
    QPainter p(&image);
    smooth(p);
    drawCubeMark(p, QPointF(21, 21), 36, white(), blue());
    p.end();
    return finished(image);
}

// Drawing of the module: a box with five device ports, a USB socket and
// three LEDs; light edges and dark faces so it reads on dark and on white.
QImage moduleDrawing()
{
    const int size = 260;
    QImage image = canvas(size, size);
    QPainter p(&image);
    smooth(p);

    const qreal W = 150, D = 96, H = 44; // box extent along x, y and z
    const qreal c30 = 0.8660254, s30 = 0.5;
    // Centre the projected outline in the canvas.
    const qreal minX = -D * c30, maxX = W * c30;
    const qreal minY = -H, maxY = (W + D) * s30;
    const QPointF origin((size - (maxX - minX)) / 2 - minX, (size - (maxY - minY)) / 2 - minY);
    auto at = [&](qreal x, qreal y, qreal z) {
        return QPointF(origin.x() + (x - y) * c30, origin.y() + (x + y) * s30 - z);
    };
    // Face planes: unit steps along the face's two axes.
    const QTransform top(c30, s30, -c30, s30, at(0, 0, H).x(), at(0, 0, H).y());
    const QTransform front(c30, s30, 0, -1, at(0, D, 0).x(), at(0, D, 0).y());
    const QTransform side(-c30, s30, 0, -1, at(W, 0, 0).x(), at(W, 0, 0).y());

    QPen edge(frame(), 1.6);
    edge.setCosmetic(true);
    edge.setJoinStyle(Qt::RoundJoin);
    QPen fine(frame(), 1.0);
    fine.setCosmetic(true);

    auto drawFace = [&](const QTransform &t, const QRectF &r, const QColor &fill) {
        p.save();
        p.setTransform(t);
        p.setPen(edge);
        p.setBrush(fill);
        p.drawRect(r);
        p.restore();
    };
    drawFace(top, QRectF(0, 0, W, D), QColor(72, 79, 86));
    drawFace(front, QRectF(0, 0, W, H), QColor(52, 57, 63));
    drawFace(side, QRectF(0, 0, D, H), QColor(40, 44, 49));

    // Top: a blue band, the cube mark, four mounting holes.
    p.save();
    p.setTransform(top);
    p.setPen(Qt::NoPen);
    p.setBrush(blue());
    p.drawRect(QRectF(0, D - 14, W, 6));
    p.setPen(fine);
    p.setBrush(QColor(30, 33, 37));
    for (const QPointF &hole :
         {QPointF(9, 9), QPointF(W - 9, 9), QPointF(9, D - 24), QPointF(W - 9, D - 24)})
        p.drawEllipse(hole, 3.5, 3.5);
    p.setPen(Qt::NoPen);
    p.setBrush(frame());
    p.drawRect(QRectF(W / 2 - 22, 22, 44, 9));
    p.drawRect(QRectF(W / 2 - 5, 22, 10, 40));
    p.restore();

    // Front: five port sockets with pins.
    p.save();
    p.setTransform(front);
    const qreal portW = 20, portH = 13, gap = (W - 5 * portW) / 6;
    for (int i = 0; i < 5; ++i) {
        const QRectF socket(gap + i * (portW + gap), H / 2 - portH / 2 + 2, portW, portH);
        p.setPen(fine);
        p.setBrush(QColor(24, 27, 30));
        p.drawRoundedRect(socket, 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(frame());
        for (int k = 0; k < 4; ++k)
            p.drawEllipse(QPointF(socket.left() + 3.5 + k * 4.3, socket.center().y()), 1.3, 1.3);
        p.setBrush(blue());
        p.drawRect(QRectF(socket.left(), socket.bottom() + 3, portW, 2));
    }
    p.restore();

    // Side: USB socket and the three LEDs.
    p.save();
    p.setTransform(side);
    p.setPen(fine);
    p.setBrush(QColor(24, 27, 30));
    p.drawRoundedRect(QRectF(14, H / 2 - 4, 22, 8), 3.5, 3.5);
    const QColor leds[] = {green(), blue(), amber()};
    for (int i = 0; i < 3; ++i) {
        const QPointF c(52 + i * 13, H / 2);
        QColor halo = leds[i];
        halo.setAlpha(90);
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(c, 5, 5);
        p.setBrush(leds[i]);
        p.drawEllipse(c, 3, 3);
    }
    p.restore();

    // Outline again on top so the silhouette stays crisp.
    p.setPen(edge);
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(
        QPolygonF({at(0, 0, H), at(W, 0, H), at(W, 0, 0), at(W, D, 0), at(0, D, 0), at(0, D, H)}));
    p.drawLine(at(W, D, H), at(W, D, 0));
    p.drawLine(at(0, D, H), at(W, D, H));
    p.drawLine(at(W, D, H), at(W, 0, H));
    p.end();
    return finished(image);
}

bool savePng(const QImage &image, const QString &path, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImageWriter writer(path, "png");
    if (!writer.write(image)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, writer.errorString());
        return false;
    }
    return true;
}

} // namespace

QVector<UiImages::Picture> UiImages::renderAll()
{
    const QString r = QStringLiteral("resource/");
    QVector<Picture> all;
    const struct {
        const char *name;
        State state;
    } states[] = {{"normal", State::Normal}, {"hover", State::Hover}, {"select", State::Pressed}};
    for (const auto &s : states) {
        const QString suffix = QLatin1String(s.name) + QStringLiteral(".png");
        all.push_back({r + QStringLiteral("on-load-") + suffix, linkButton(true, s.state)});
        all.push_back({r + QStringLiteral("off-load-") + suffix, linkButton(false, s.state)});
        all.push_back({r + QStringLiteral("search-load-") + suffix, searchButton(s.state)});
        all.push_back({r + QStringLiteral("exit-load-") + suffix, exitButton(s.state)});
    }
    all.push_back({r + QStringLiteral("minimize-load-hover.png"), minimizeButton(true)});
    all.push_back({r + QStringLiteral("minimize-load-select.png"), minimizeButton(false)});
    // arrow_down_hover is the idle arrow, arrow_down the one under the pointer;
    // both sit on the white drop-down button.
    all.push_back({r + QStringLiteral("arrow_down_hover.png"), arrow(QColor(84, 92, 99))});
    all.push_back({r + QStringLiteral("arrow_down.png"), arrow(blue())});
    all.push_back({r + QStringLiteral("arrow_down_disable.png"), arrow(QColor(196, 196, 196))});
    all.push_back({r + QStringLiteral("divider.png"), divider()});
    all.push_back({r + QStringLiteral("tl.png"), logo()});
    all.push_back({r + QStringLiteral("Tovrin引擎模块 轴侧图.png"), moduleDrawing()});
    return all;
}

QImage UiImages::applicationIcon(int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    smooth(p);
    p.scale(size / 64.0, size / 64.0); // drawn on a 64-unit grid
    p.setPen(Qt::NoPen);
    p.setBrush(blue());
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 13, 13);
    drawCubeMark(p, QPointF(32, 32), 44, white(), blue());
    p.end();
    return finished(image);
}

bool UiImages::writeDesktopIcons(const QString &dir, QString *error)
{
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(dir).arg(size);
        if (!QDir().mkpath(folder)) {
            if (error)
                *error = QStringLiteral("%1: cannot make the folder").arg(folder);
            return false;
        }
        if (!savePng(applicationIcon(size), folder + QStringLiteral("/tovrinvazodivuvetool.png"),
                     error))
            return false;
    }
    return true;
}

bool UiImages::writeAll(const QString &appDir, QString *error)
{
    const QDir dir(appDir);
    const QVector<Picture> pictures = renderAll();
    for (const Picture &picture : pictures) {
        if (!savePng(picture.image, dir.filePath(picture.path), error))
            return false;
    }
    const QByteArray ico = IconFile::encode(applicationIcon());
    QFile file(dir.filePath(QStringLiteral("TovrinVazodivuveTool.ico")));
    if (ico.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(ico) != ico.size()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    return true;
}
