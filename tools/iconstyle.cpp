#include "iconstyle.h"

namespace IconStyle {

const Tone paper{QColor(0xff, 0xff, 0xff), QColor(0xe4, 0xea, 0xf1), QColor(0x5f, 0x6e, 0x80)};
const Tone paperFold{QColor(0xf4, 0xf7, 0xfa), QColor(0xc9, 0xd3, 0xde), QColor(0x5f, 0x6e, 0x80)};
const Tone steel{QColor(0xe9, 0xed, 0xf1), QColor(0x9a, 0xa5, 0xb1), QColor(0x4a, 0x55, 0x62)};
const Tone red{QColor(0xef, 0x5b, 0x50), QColor(0xc0, 0x26, 0x1d), QColor(0x8a, 0x17, 0x12)};
const Tone blue{QColor(0x4f, 0xa3, 0xf0), QColor(0x1b, 0x5f, 0xc0), QColor(0x12, 0x42, 0x8a)};
const Tone gold{QColor(0xff, 0xe0, 0x6a), QColor(0xf5, 0xa6, 0x0a), QColor(0xa8, 0x66, 0x00)};
const Tone wood{QColor(0xd8, 0x9d, 0x5e), QColor(0xa1, 0x63, 0x2e), QColor(0x6a, 0x3d, 0x18)};
const Tone floppy{QColor(0x55, 0x86, 0xd6), QColor(0x2b, 0x55, 0x9e), QColor(0x1a, 0x36, 0x6b)};
const QColor textLine(0xa3, 0xb2, 0xc4);
const QColor glyph(0xff, 0xff, 0xff);

QImage canvas(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void prepare(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
}

QLinearGradient vertical(const QRectF &bounds, const QColor &top, const QColor &bottom)
{
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

QPen outlinePen(const QColor &colour, qreal width)
{
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void fillShape(QPainter &painter, const QPainterPath &path, const Tone &tone)
{
    painter.setPen(outlinePen(tone.outline));
    painter.setBrush(vertical(path.boundingRect(), tone.light, tone.dark));
    painter.drawPath(path);
}

void sheet(QPainter &painter, const QRect &edges, int fold, int lines)
{
    // Strokes run through pixel centres, half a pixel inside the edges.
    const qreal l = edges.left() + 0.5, t = edges.top() + 0.5;
    const qreal r = edges.right() + 0.5, b = edges.bottom() + 0.5;
    QPainterPath page;
    page.moveTo(l, t);
    page.lineTo(r - fold, t);
    page.lineTo(r, t + fold);
    page.lineTo(r, b);
    page.lineTo(l, b);
    page.closeSubpath();
    painter.setPen(outlinePen(paper.outline));
    painter.setBrush(vertical(page.boundingRect(), paper.light, paper.dark));
    painter.drawPath(page);

    QPainterPath corner;
    corner.moveTo(r - fold, t);
    corner.lineTo(r - fold, t + fold);
    corner.lineTo(r, t + fold);
    corner.closeSubpath();
    fillShape(painter, corner, paperFold);

    const int left = edges.left() + 3, right = edges.right() - 2;
    for (int i = 0; i < lines; ++i) {
        const int y = edges.top() + 4 + fold / 2 + 3 * i;
        // The first rows stop short of the fold; the last row is a paragraph's short end.
        int end = y <= edges.top() + fold + 1 ? right - fold : right;
        if (i == lines - 1 && lines > 1)
            end = left + (right - left) * 3 / 5;
        painter.fillRect(QRect(left, y, end - left, 1), textLine);
    }
}

} // namespace IconStyle
