// The icons built around sheets of paper: copy, paste, new and search.
#include "icons.h"
#include "iconstyle.h"

#include <QtMath>

using namespace IconStyle;

namespace {

QPainterPath star(QPointF centre, qreal outer, qreal inner, int points)
{
    QPainterPath path;
    for (int i = 0; i < 2 * points; ++i) {
        const qreal angle = -M_PI / 2 + i * M_PI / points;
        const qreal radius = i % 2 == 0 ? outer : inner;
        const QPointF corner = centre + QPointF(radius * qCos(angle), radius * qSin(angle));
        if (i == 0)
            path.moveTo(corner);
        else
            path.lineTo(corner);
    }
    path.closeSubpath();
    return path;
}

void clipboardBoard(QPainter &p)
{
    QPainterPath board;
    board.addRoundedRect(QRectF(3.5, 5.5, 21, 25), 2.5, 2.5);
    fillShape(p, board, wood);
    // A lighter rim along the top and left edge gives the board its thickness.
    p.setPen(outlinePen(QColor(255, 255, 255, 70)));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(4.5, 6.5, 19, 23), 1.5, 1.5);
}

void clipboardClip(QPainter &p)
{
    QPainterPath clip;
    clip.addRoundedRect(QRectF(8.5, 4.5, 11, 5), 1.5, 1.5);
    QPainterPath ring;
    ring.addEllipse(QPointF(14, 4), 3.2, 3.2);
    clip = clip.united(ring);
    QPainterPath hole;
    hole.addEllipse(QPointF(14, 3.6), 1.3, 1.3);
    clip = clip.subtracted(hole);
    fillShape(p, clip, steel);
}

// The handle points to the lower right; drawn before the lens so the rim covers its joint.
void magnifierHandle(QPainter &p, QPointF centre, qreal radius)
{
    const QPointF dir(M_SQRT1_2, M_SQRT1_2);
    const QPointF start = centre + dir * (radius + 1);
    const QPointF end = centre + dir * (radius + 12.5);
    QPen handleEdge(steel.outline.darker(130), 7, Qt::SolidLine, Qt::RoundCap);
    p.setPen(handleEdge);
    p.drawLine(start, end);
    QLinearGradient handleFill(start + QPointF(-3, 3), start + QPointF(3, -3));
    handleFill.setColorAt(0, QColor(0x3a, 0x43, 0x4f));
    handleFill.setColorAt(0.5, QColor(0x80, 0x8c, 0x9b));
    handleFill.setColorAt(1, QColor(0x2c, 0x33, 0x3c));
    p.setPen(QPen(QBrush(handleFill), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(start, end);
    // The collar between rim and handle.
    p.setPen(QPen(steel.outline, 6.4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(centre + dir * (radius + 0.5), centre + dir * (radius + 3));
    p.setPen(QPen(steel.dark, 4.4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(centre + dir * (radius + 0.5), centre + dir * (radius + 2.6));
}

void magnifierLens(QPainter &p, QPointF centre, qreal radius)
{
    // Under the glass the page's text rows show enlarged.
    QPainterPath lens;
    lens.addEllipse(centre, radius, radius);
    p.save();
    p.setClipPath(lens);
    p.fillRect(lens.boundingRect(), paper.light);
    const int rows[][2] = {{-7, 9}, {-2, 9}, {3, 9}, {8, 3}};
    for (const auto &row : rows)
        p.fillRect(QRectF(centre.x() - radius, centre.y() + row[0], radius + row[1], 2), textLine);
    p.restore();

    // Glass: a faint blue tint so the page shows through, brighter towards the light.
    QRadialGradient glass(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    glass.setColorAt(0, QColor(255, 255, 255, 110));
    glass.setColorAt(1, QColor(0x7f, 0xbf, 0xf5, 120));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawEllipse(centre, radius, radius);
    // A highlight arc on the upper left of the glass.
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const qreal hr = radius - 3.2;
    p.drawArc(QRectF(centre.x() - hr, centre.y() - hr, 2 * hr, 2 * hr), 100 * 16, 70 * 16);
}

void magnifierRim(QPainter &p, QPointF centre, qreal radius)
{
    // A dark edge around a metal body lit from the upper left.
    p.setPen(QPen(steel.outline, 4.2));
    p.drawEllipse(centre, radius, radius);
    QLinearGradient rim(centre - QPointF(radius, radius), centre + QPointF(radius, radius));
    rim.setColorAt(0, steel.light);
    rim.setColorAt(1, steel.dark.darker(115));
    p.setPen(QPen(QBrush(rim), 2.2));
    p.drawEllipse(centre, radius, radius);
}

} // namespace

namespace Icons {

QImage editCopy()
{
    QImage image = canvas(32);
    QPainter p(&image);
    prepare(p);
    sheet(p, QRect(3, 1, 17, 22), 5, 5);
    sheet(p, QRect(12, 9, 17, 22), 5, 5);
    return image;
}

QImage editPaste()
{
    QImage image = canvas(32);
    QPainter p(&image);
    prepare(p);
    clipboardBoard(p);
    clipboardClip(p);
    sheet(p, QRect(13, 12, 17, 19), 5, 4);
    return image;
}

QImage fileNew()
{
    QImage image = canvas(32);
    QPainter p(&image);
    prepare(p);
    sheet(p, QRect(8, 2, 21, 28), 7, 0);
    const QPainterPath sparkle = star(QPointF(9.5, 10), 8, 3.4, 5);
    p.setPen(outlinePen(gold.outline));
    p.setBrush(vertical(sparkle.boundingRect(), gold.light, gold.dark));
    p.drawPath(sparkle);
    return image;
}

QImage search()
{
    QImage image = canvas(48);
    QPainter p(&image);
    prepare(p);
    sheet(p, QRect(4, 2, 24, 32), 7, 7);
    sheet(p, QRect(11, 8, 24, 32), 7, 7);
    const QPointF centre(25, 24);
    magnifierHandle(p, centre, 10);
    magnifierLens(p, centre, 10);
    magnifierRim(p, centre, 10);
    return image;
}

} // namespace Icons
