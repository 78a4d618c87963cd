#pragma once

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRectF>

// The look shared by all icons: light from the top left, every shape filled with a gentle vertical
// gradient and edged with a one-pixel line in a darker tone of its own colour.
namespace IconStyle {

struct Tone
{
    QColor light;   // top of the fill
    QColor dark;    // bottom of the fill
    QColor outline; // edge line
};

// The palette of the set; every icon picks its colours from here.
extern const Tone paper;
extern const Tone paperFold;
extern const Tone steel;
extern const Tone red;
extern const Tone blue;
extern const Tone gold;
extern const Tone wood;
extern const Tone floppy;
extern const QColor textLine;
extern const QColor glyph; // the white of symbols on coloured ground

// A transparent ARGB canvas of the given size.
QImage canvas(int size);
// Turns on antialiasing for a painter on a fresh canvas.
void prepare(QPainter &painter);

QLinearGradient vertical(const QRectF &bounds, const QColor &top, const QColor &bottom);
QPen outlinePen(const QColor &colour, qreal width = 1.0);
// Fills the path with the tone's gradient over the path's bounds and strokes its outline.
void fillShape(QPainter &painter, const QPainterPath &path, const Tone &tone);

// A sheet of paper whose outer pixel edges are the given rectangle, with a folded top-right
// corner of `fold` pixels and `lines` rows of text (0 for a blank page).
void sheet(QPainter &painter, const QRect &edges, int fold, int lines);

} // namespace IconStyle
