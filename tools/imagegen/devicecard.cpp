#include "devicecard.h"

#include "artpalette.h"
#include "fontpick.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QTextLayout>
#include <QtMath>

namespace
{

using namespace ArtPalette;

bool containsAny(const QString &text, std::initializer_list<const char *> words)
{
    for (const char *w : words) {
        if (text.contains(QString::fromUtf8(w), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool containsWord(const QString &text, const char *pattern)
{
    const QRegularExpression re(
        QStringLiteral("(?<![A-Za-z])(%1)(?![A-Za-z])").arg(QLatin1String(pattern)),
        QRegularExpression::CaseInsensitiveOption);
    return re.match(text).hasMatch();
}

QPen line(qreal width, const QColor &c = white())
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Pictograms are drawn in a 64 x 64 box centred on the origin.
void drawGimbal(QPainter &p)
{
    p.setPen(line(3.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(-22, -26), QPointF(22, -26)); // mounting plate
    p.drawLine(QPointF(0, -26), QPointF(0, -16));    // yaw arm
    p.drawArc(QRectF(-18, -18, 36, 12), 0, -180 * 16);
    p.setBrush(white());
    p.drawEllipse(QPointF(0, 8), 17, 17); // camera ball
    p.setPen(Qt::NoPen);
    p.setBrush(blue());
    p.drawEllipse(QPointF(0, 10), 8, 8); // lens
    p.setBrush(white());
    p.drawEllipse(QPointF(-2.5, 7.5), 2.5, 2.5);
}

void drawMppt(QPainter &p)
{
    // solar panel
    QPolygonF panel({QPointF(-28, -4), QPointF(-16, -26), QPointF(14, -26), QPointF(2, -4)});
    p.setPen(line(3));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawPolygon(panel);
    p.setPen(line(1.6));
    p.drawLine(QPointF(-22, -15), QPointF(8, -15));
    p.drawLine(QPointF(-9, -4), QPointF(-1, -26));
    // battery
    p.setPen(line(3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0, 4, 26, 22), 3, 3);
    p.drawLine(QPointF(7, 0), QPointF(19, 0));
    QPainterPath bolt;
    bolt.moveTo(15, 7);
    bolt.lineTo(8, 16);
    bolt.lineTo(13, 16);
    bolt.lineTo(10, 24);
    bolt.lineTo(18, 13);
    bolt.lineTo(13, 13);
    bolt.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(amber());
    p.drawPath(bolt);
    // wire from panel to battery
    p.setPen(line(2.2, blueLight()));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(-13, -4), QPointF(-13, 15));
    p.drawLine(QPointF(-13, 15), QPointF(0, 15));
}

void drawRadar(QPainter &p)
{
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i) {
        p.setPen(line(i == 3 ? 3 : 2, i == 3 ? white() : QColor(255, 255, 255, 140)));
        const qreal r = 9.0 * i;
        p.drawEllipse(QPointF(0, 4), r, r);
    }
    QPainterPath sweep;
    sweep.moveTo(0, 4);
    sweep.arcTo(QRectF(-27, -23, 54, 54), 20, 55);
    sweep.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 141, 242, 160));
    p.drawPath(sweep);
    p.setPen(line(3));
    p.drawLine(QPointF(0, 4), QPointF(25.4 * qCos(qDegreesToRadians(20.0)),
                                      4 - 25.4 * qSin(qDegreesToRadians(20.0))));
    p.setPen(Qt::NoPen);
    p.setBrush(amber());
    p.drawEllipse(QPointF(-12, -8), 3, 3);
    p.setBrush(white());
    p.drawEllipse(QPointF(0, 4), 3.5, 3.5);
}

void drawDataLink(QPainter &p)
{
    p.setPen(line(3.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(0, -12), QPointF(0, 26)); // mast
    p.drawLine(QPointF(0, -2), QPointF(-12, 26));
    p.drawLine(QPointF(0, -2), QPointF(12, 26));
    p.setBrush(white());
    p.drawEllipse(QPointF(0, -14), 4, 4);
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 2; ++i) {
        const qreal r = 9.0 * i + 2;
        const QRectF box(-r, -14 - r, 2 * r, 2 * r);
        p.setPen(line(3, i == 1 ? white() : blueLight()));
        p.drawArc(box, 135 * 16, 90 * 16);
        p.drawArc(box, -45 * 16, 90 * 16);
    }
}

void drawVisionLanding(QPainter &p)
{
    p.setPen(line(3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), 25, 25);
    // "H" landing mark
    p.setPen(line(4.5, blueLight()));
    p.drawLine(QPointF(-9, -12), QPointF(-9, 12));
    p.drawLine(QPointF(9, -12), QPointF(9, 12));
    p.drawLine(QPointF(-9, 0), QPointF(9, 0));
    // aiming corners
    p.setPen(line(3));
    for (int sx : {-1, 1}) {
        for (int sy : {-1, 1}) {
            p.drawLine(QPointF(sx * 31, sy * 31), QPointF(sx * 31, sy * 23));
            p.drawLine(QPointF(sx * 31, sy * 31), QPointF(sx * 23, sy * 31));
        }
    }
}

void drawCanBus(QPainter &p)
{
    p.setPen(line(3));
    p.drawLine(QPointF(-30, 8), QPointF(30, 8));
    p.setPen(line(3, blueLight()));
    p.drawLine(QPointF(-30, 16), QPointF(30, 16));
    p.setPen(line(2.5));
    p.setBrush(QColor(255, 255, 255, 40));
    for (int i = -1; i <= 1; ++i) {
        const qreal x = i * 21;
        p.drawRoundedRect(QRectF(x - 8, -24, 16, 16), 3, 3);
        p.drawLine(QPointF(x - 3, -8), QPointF(x - 3, 8));
        p.setPen(line(2.5, blueLight()));
        p.drawLine(QPointF(x + 3, -8), QPointF(x + 3, 16));
        p.setPen(line(2.5));
    }
}

void drawStandard(QPainter &p)
{
    // serial connector face with pins, and a cable
    QPolygonF shell({QPointF(-27, -14), QPointF(27, -14), QPointF(21, 8), QPointF(-21, 8)});
    p.setPen(line(3));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawPolygon(shell);
    p.setPen(Qt::NoPen);
    p.setBrush(white());
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(-16 + i * 8, -7), 2.3, 2.3);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(-12 + i * 8, 1), 2.3, 2.3);
    p.setPen(line(3.5, blueLight()));
    p.setBrush(Qt::NoBrush);
    QPainterPath cable;
    cable.moveTo(0, 8);
    cable.cubicTo(0, 20, 18, 16, 18, 28);
    p.drawPath(cable);
}

void drawDisabled(QPainter &p)
{
    p.setPen(line(4, QColor(190, 196, 200)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), 24, 24);
    p.drawLine(QPointF(-17, 17), QPointF(17, -17));
}

void drawGeneric(QPainter &p)
{
    p.setPen(line(3));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(QRectF(-18, -18, 36, 36), 4, 4);
    p.setPen(line(2.5, blueLight()));
    for (int i = -1; i <= 1; ++i) {
        const qreal o = i * 10;
        p.drawLine(QPointF(o, -18), QPointF(o, -27));
        p.drawLine(QPointF(o, 18), QPointF(o, 27));
        p.drawLine(QPointF(-18, o), QPointF(-27, o));
        p.drawLine(QPointF(18, o), QPointF(27, o));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(blue());
    p.drawEllipse(QPointF(0, 0), 6, 6);
}

void drawPictogram(QPainter &p, DeviceKind kind)
{
    switch (kind) {
    case DeviceKind::Disabled:
        drawDisabled(p);
        break;
    case DeviceKind::Gimbal:
        drawGimbal(p);
        break;
    case DeviceKind::Mppt:
        drawMppt(p);
        break;
    case DeviceKind::Radar:
        drawRadar(p);
        break;
    case DeviceKind::DataLink:
        drawDataLink(p);
        break;
    case DeviceKind::VisionLanding:
        drawVisionLanding(p);
        break;
    case DeviceKind::CanBus:
        drawCanBus(p);
        break;
    case DeviceKind::Standard:
        drawStandard(p);
        break;
    case DeviceKind::Generic:
        drawGeneric(p);
        break;
    }
}

// Lays the name out in the box: word-wrapped (anywhere, for Chinese), the
// largest size from 15 pt down to 8 pt that fits; if even 8 pt does not,
// the last line that fits is elided.
void drawName(QPainter &p, const QString &name, const QRectF &box)
{
    QFont font(FontPick::cjkFamily());
    font.setBold(true);
    for (int pt = 15; pt >= 8; --pt) {
        font.setPixelSize(pt * 4 / 3);
        QTextLayout layout(name, font);
        QTextOption option(Qt::AlignHCenter);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal height = 0;
        QVector<QTextLine> lines;
        bool overflow = false;
        forever
        {
            QTextLine textLine = layout.createLine();
            if (!textLine.isValid())
                break;
            textLine.setLineWidth(box.width());
            if (height + textLine.height() > box.height()) {
                overflow = true;
                break;
            }
            textLine.setPosition(QPointF(0, height));
            height += textLine.height();
            lines.push_back(textLine);
        }
        layout.endLayout();
        if (overflow && pt > 8)
            continue;

        p.setFont(font);
        p.setPen(white());
        const qreal top = box.top() + (box.height() - height) / 2;
        if (!overflow) {
            layout.draw(&p, QPointF(box.left(), top));
            return;
        }
        // Too long even at the smallest size: elide the last line kept.
        const QFontMetricsF fm(font);
        for (int i = 0; i < lines.size(); ++i) {
            QString text = name.mid(lines[i].textStart(), lines[i].textLength());
            if (i == lines.size() - 1)
                text = fm.elidedText(name.mid(lines[i].textStart()), Qt::ElideRight, box.width());
            p.drawText(QRectF(box.left(), top + lines[i].y(), box.width(), lines[i].height()),
                       Qt::AlignHCenter | Qt::AlignVCenter, text);
        }
        return;
    }
}

} // namespace

DeviceKind DeviceCard::classify(const QString &name)
{
    if (containsAny(name, {"不启用", "未启用", "禁用", "disable", "not used", "unused"}) ||
        containsWord(name, "none|off"))
        return DeviceKind::Disabled;
    if (containsAny(name, {"视觉", "降落", "着陆", "landing", "vision"}))
        return DeviceKind::VisionLanding;
    if (containsAny(name, {"吊舱", "云台", "相机", "光电", "gimbal", "camera"}) ||
        containsWord(name, "pod"))
        return DeviceKind::Gimbal;
    if (containsAny(name, {"mppt", "充电", "太阳能", "光伏", "charge", "solar"}))
        return DeviceKind::Mppt;
    if (containsAny(name, {"雷达", "毫米波", "radar"}))
        return DeviceKind::Radar;
    if (containsAny(name, {"数传", "数据链", "图传", "电台", "链路", "data link", "datalink",
                           "radio", "telemetry"}))
        return DeviceKind::DataLink;
    if (containsWord(name, "can|can[0-9]+|canfd"))
        return DeviceKind::CanBus;
    if (containsAny(name, {"标准", "协议", "串口", "standard", "protocol", "uart", "serial"}))
        return DeviceKind::Standard;
    return DeviceKind::Generic;
}

QString DeviceCard::caption(DeviceKind kind, const QString &locale)
{
    const bool zh = locale.startsWith(QStringLiteral("zh"));
    switch (kind) {
    case DeviceKind::Disabled:
        return zh ? QStringLiteral("未启用") : QStringLiteral("Not used");
    case DeviceKind::Gimbal:
        return zh ? QStringLiteral("吊舱 / 云台") : QStringLiteral("Gimbal pod");
    case DeviceKind::Mppt:
        return zh ? QStringLiteral("MPPT 充电控制器") : QStringLiteral("MPPT charger");
    case DeviceKind::Radar:
        return zh ? QStringLiteral("雷达") : QStringLiteral("Radar");
    case DeviceKind::DataLink:
        return zh ? QStringLiteral("数据链") : QStringLiteral("Data link");
    case DeviceKind::VisionLanding:
        return zh ? QStringLiteral("视觉降落") : QStringLiteral("Vision landing");
    case DeviceKind::CanBus:
        return zh ? QStringLiteral("CAN 协议") : QStringLiteral("CAN protocol");
    case DeviceKind::Standard:
        return zh ? QStringLiteral("标准协议") : QStringLiteral("Standard protocol");
    case DeviceKind::Generic:
        return zh ? QStringLiteral("第三方设备") : QStringLiteral("Device");
    }
    return {};
}

QString DeviceCard::fileName(const QString &name, const QString &locale)
{
    return QStringLiteral("%1-%2.png").arg(name, locale);
}

QString DeviceCard::fileNameProblem(const QString &name, const QString &locale)
{
    if (name.isEmpty())
        return QStringLiteral("empty name");
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c.unicode() == 0)
            return QStringLiteral("'/' or NUL in the name");
        if (c.unicode() < 0x20)
            return QStringLiteral("control character in the name");
        if (QStringLiteral("\\:*?\"<>|").contains(c))
            return QStringLiteral("'%1' is not allowed in Windows file names").arg(c);
    }
    // Both systems limit one file name to 255 units (bytes / UTF-16 units).
    const QString file = fileName(name, locale);
    if (file.toUtf8().size() > 255 || file.size() > 255)
        return QStringLiteral("name too long for a file name");
    return {};
}

QImage DeviceCard::render(const QString &name, const QString &locale)
{
    const int size = 220;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    const DeviceKind kind = classify(name);
    const QRectF card(0.5, 0.5, size - 1, size - 1);
    p.setPen(QPen(QColor(70, 77, 84), 1));
    p.setBrush(background());
    p.drawRoundedRect(card, 12, 12);

    // title strip
    QPainterPath strip;
    strip.addRoundedRect(card, 12, 12);
    p.save();
    p.setClipPath(strip);
    p.fillRect(QRectF(0, 0, size, 6), blue());
    p.restore();

    // pictogram on a soft disc
    const QPointF centre(size / 2.0, 76);
    p.setPen(QPen(QColor(8, 141, 242, 180), 2));
    p.setBrush(QColor(8, 141, 242, 46));
    p.drawEllipse(centre, 50, 50);
    p.save();
    p.translate(centre);
    p.scale(1.1, 1.1);
    drawPictogram(p, kind);
    p.restore();

    // kind caption
    QFont small(FontPick::cjkFamily());
    small.setPixelSize(13);
    p.setFont(small);
    p.setPen(blueLight());
    p.drawText(QRectF(10, 134, size - 20, 18), Qt::AlignCenter, caption(kind, locale));

    p.setPen(QPen(QColor(70, 77, 84), 1));
    p.drawLine(QPointF(40, 157.5), QPointF(size - 40, 157.5));

    drawName(p, name, QRectF(12, 162, size - 24, 50));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}
