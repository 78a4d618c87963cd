// The icons of objects and symbols: scissors, floppy disks, gears, power and help.
#include "icons.h"
#include "iconstyle.h"

#include <QtMath>

using namespace IconStyle;

namespace {

// One scissor blade from its neck at the handle to its tip: a narrow shank up to the pivot, then
// a straight cutting edge and a bellied back that narrows to the point. `side` (+1 or -1) says on
// which side of the axis the back lies.
QPainterPath blade(QPointF neck, QPointF tip, qreal side)
{
    const QPointF axis = tip - neck;
    const qreal length = qSqrt(QPointF::dotProduct(axis, axis));
    const QPointF u = axis / length;
    const QPointF v = QPointF(-u.y(), u.x()) * side;
    const auto at = [&](qreal along, qreal across) { return neck + u * along + v * across; };
    const qreal pivot = length * 0.3;
    QPainterPath path;
    path.moveTo(at(0, -1.3));
    path.lineTo(at(pivot - 1, -1.3));
    path.lineTo(at(pivot + 1.5, -0.2));
    path.lineTo(tip);
    path.quadTo(at(length * 0.6, 5.2), at(pivot + 1, 3.3));
    path.lineTo(at(0, 1.3));
    path.closeSubpath();
    return path;
}

QPainterPath ring(QPointF centre, qreal rx, qreal ry, qreal thickness)
{
    // Two ellipses under the odd-even rule leave the ring; no boolean operation, so no seams.
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    path.addEllipse(centre, rx - thickness, ry - thickness);
    return path;
}

QPainterPath gear(QPointF centre, int teeth, qreal outer, qreal root, qreal hole, qreal phase)
{
    QPainterPath path;
    const qreal pitch = 2 * M_PI / teeth;
    for (int i = 0; i < teeth; ++i) {
        const qreal a = phase + i * pitch;
        const qreal angles[] = {a - pitch * 0.5, a - pitch * 0.28, a - pitch * 0.19,
                                a + pitch * 0.19, a + pitch * 0.28};
        const qreal radii[] = {root, root, outer, outer, root};
        for (int k = 0; k < 5; ++k) {
            const QPointF point =
                centre + QPointF(radii[k] * qCos(angles[k]), radii[k] * qSin(angles[k]));
            if (i == 0 && k == 0)
                path.moveTo(point);
            else
                path.lineTo(point);
        }
    }
    path.closeSubpath();
    path.addEllipse(centre, hole, hole);
    return path;
}

void drawGear(QPainter &p, QPointF centre, int teeth, qreal outer, qreal phase, const Tone &tone)
{
    const qreal root = outer - 2.6;
    fillShape(p, gear(centre, teeth, outer, root, outer * 0.3, phase), tone);
    // The hub ring, a step lower than the rim; a small wheel has no room for it.
    if (outer < 9)
        return;
    p.setPen(outlinePen(tone.outline.lighter(140)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, root * 0.62, root * 0.62);
}

// The disk's case: rounded corners, but the top right one cut off as on the real thing.
void floppyCase(QPainter &p, QPoint origin, int size)
{
    const qreal l = origin.x() + 0.5, t = origin.y() + 0.5;
    const qreal r = origin.x() + size - 0.5, b = origin.y() + size - 0.5;
    const qreal round = 2, chamfer = size / 8.0;
    QPainterPath body;
    body.moveTo(l + round, t);
    body.lineTo(r - chamfer, t);
    body.lineTo(r, t + chamfer);
    body.lineTo(r, b - round);
    body.quadTo(r, b, r - round, b);
    body.lineTo(l + round, b);
    body.quadTo(l, b, l, b - round);
    body.lineTo(l, t + round);
    body.quadTo(l, t, l + round, t);
    body.closeSubpath();
    fillShape(p, body, floppy);
}

// A floppy disk filling the square whose outer pixel edges start at `origin` and span `size`.
void floppyDisk(QPainter &p, QPoint origin, int size)
{
    floppyCase(p, origin, size);

    // Metal shutter across the top middle, with its window.
    const int unit = size / 8;
    const QRect shutter(origin.x() + 2 * unit, origin.y(), size - 4 * unit + (size % 8 > 3 ? 1 : 0),
                        size * 3 / 8 + 1);
    QPainterPath shutterPath;
    shutterPath.addRect(QRectF(shutter).adjusted(0.5, 0.5, -0.5, -0.5));
    fillShape(p, shutterPath, steel);
    const QRect window(shutter.right() - shutter.width() / 3 - 1, shutter.top() + 2,
                       shutter.width() / 4 + 1, shutter.height() - 4);
    p.fillRect(window, floppy.outline);

    // White label on the lower part, with a couple of written lines.
    const QRectF label(origin.x() + unit + 0.5, origin.y() + size * 9 / 16 + 0.5,
                       size - 2 * unit - 1, size - size * 9 / 16 - 1.5);
    QPainterPath labelPath;
    labelPath.addRoundedRect(label, 1, 1);
    p.setPen(outlinePen(floppy.outline));
    p.setBrush(vertical(label, paper.light, paper.dark));
    p.drawPath(labelPath);
    for (int i = 0; i < 2; ++i)
        p.fillRect(QRectF(label.left() + 2.5, label.top() + 2.5 + 3 * i, label.width() - 5, 1),
                   textLine);
}

// A pencil lying along the x axis with its point at the origin; the caller rotates it.
void pencil(QPainter &p, qreal length)
{
    const qreal half = 2.6;
    // Wooden cone and graphite point.
    QPainterPath cone;
    cone.moveTo(0, 0);
    cone.lineTo(6, -half);
    cone.lineTo(6, half);
    cone.closeSubpath();
    fillShape(p, cone, Tone{QColor(0xf6, 0xd9, 0xa9), QColor(0xd9, 0xae, 0x74), wood.outline});
    QPainterPath point;
    point.moveTo(0, 0);
    point.lineTo(2.4, -1.05);
    point.lineTo(2.4, 1.05);
    point.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x33, 0x33, 0x3a));
    p.drawPath(point);

    // Body in three facets, then ferrule and eraser.
    const qreal bodyEnd = length - 5;
    QLinearGradient facets(0, -half, 0, half);
    facets.setColorAt(0, gold.light);
    facets.setColorAt(0.45, QColor(0xfb, 0xc0, 0x2d));
    facets.setColorAt(0.55, gold.dark);
    facets.setColorAt(1, QColor(0xd9, 0x85, 0x00));
    p.setPen(outlinePen(gold.outline));
    p.setBrush(facets);
    p.drawRect(QRectF(6, -half, bodyEnd - 6, 2 * half));
    QLinearGradient metal(0, -half, 0, half);
    metal.setColorAt(0, steel.light);
    metal.setColorAt(1, steel.dark);
    p.setPen(outlinePen(steel.outline));
    p.setBrush(metal);
    p.drawRect(QRectF(bodyEnd, -half, 2.5, 2 * half));
    QPainterPath eraser;
    eraser.addRoundedRect(QRectF(bodyEnd + 2.5, -half, 2.5, 2 * half), 1, 1);
    fillShape(p, eraser, Tone{QColor(0xf7, 0x9c, 0xb0), QColor(0xe0, 0x5f, 0x7e), red.outline});
}

// The rounded tile or disc behind a white symbol, with a soft gloss on its upper half.
void glossyGround(QPainter &p, const QPainterPath &shape, const Tone &tone)
{
    fillShape(p, shape, tone);
    const QRectF box = shape.boundingRect();
    QLinearGradient gloss(box.topLeft(), QPointF(box.left(), box.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, 90));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawPath(shape);
}

// Draws the stroked symbol twice: a faint shadow one pixel lower, then the white glyph.
void glyphStroke(QPainter &p, const QPainterPath &path, qreal width, const Tone &ground)
{
    QColor shadow = ground.outline;
    shadow.setAlpha(150);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(shadow, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path.translated(0, 1));
    p.setPen(QPen(glyph, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

} // namespace

namespace Icons {

QImage editCut()
{
    QImage image = canvas(32);
    QPainter p(&image);
    prepare(p);
    // The blade lying underneath is a shade darker, so the two read apart where they cross.
    const Tone underneath{steel.light.darker(112), steel.dark.darker(112), steel.outline};
    fillShape(p, blade(QPointF(19.5, 22), QPointF(7, 1.5), -1), underneath);
    fillShape(p, blade(QPointF(12.5, 22), QPointF(25, 1.5), 1), steel);
    fillShape(p, ring(QPointF(9, 25.5), 5.6, 5.0, 2.6), red);
    fillShape(p, ring(QPointF(23, 25.5), 5.6, 5.0, 2.6), red);
    p.setPen(outlinePen(steel.outline));
    p.setBrush(steel.light);
    p.drawEllipse(QPointF(16, 15.5), 1.6, 1.6);
    return image;
}

QImage fileSave()
{
    QImage image = canvas(32);
    QPainter p(&image);
    prepare(p);
    floppyDisk(p, QPoint(2, 2), 28);
    return image;
}

QImage fileSaveAs()
{
    QImage image = canvas(32);
    QPainter p(&image);
    prepare(p);
    floppyDisk(p, QPoint(1, 1), 24);
    p.translate(13.5, 30.5);
    p.rotate(-45);
    pencil(p, 22);
    return image;
}

QImage exit()
{
    QImage image = canvas(32);
    QPainter p(&image);
    prepare(p);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    glossyGround(p, tile, red);
    QPainterPath power;
    const QRectF circle(8.5, 9, 15, 15);
    power.arcMoveTo(circle, 122);
    power.arcTo(circle, 122, 296);
    power.moveTo(16, 6.5);
    power.lineTo(16, 15.5);
    glyphStroke(p, power, 3, red);
    return image;
}

QImage help()
{
    QImage image = canvas(32);
    QPainter p(&image);
    prepare(p);
    QPainterPath disc;
    disc.addEllipse(QPointF(16, 16), 14.5, 14.5);
    glossyGround(p, disc, blue);
    QPainterPath hook;
    const QRectF bow(10.5, 6, 11, 10.5);
    hook.arcMoveTo(bow, 160);
    hook.arcTo(bow, 160, -215);
    hook.cubicTo(QPointF(18.5, 15.5), QPointF(16, 16.5), QPointF(16, 19.5));
    // The dot is a stroke of almost no length, so its round cap gives a disc the width of the line.
    hook.moveTo(16, 24.4);
    hook.lineTo(16, 24.6);
    glyphStroke(p, hook, 3.4, blue);
    return image;
}

QImage plugin()
{
    QImage image = canvas(32);
    QPainter p(&image);
    prepare(p);
    drawGear(p, QPointF(12.5, 12.5), 8, 11, 0.0, steel);
    drawGear(p, QPointF(23, 23), 6, 7.8, M_PI / 6, gold);
    return image;
}

} // namespace Icons
