// The two flags. Both are opaque and painted without antialiasing, so every pixel takes one of
// the flag's own colours (the US flag must fit a four-colour palette).
#include "flagicons.h"
#include "icons.h"

#include <QPainter>

namespace {

QImage flagCanvas()
{
    QImage image(FlagIcons::width, FlagIcons::height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

namespace FlagIcons {

const QList<QRgb> usPalette{qRgb(0xb2, 0x22, 0x34), qRgb(0xff, 0xff, 0xff), qRgb(0x3c, 0x3b, 0x6e)};

} // namespace FlagIcons

namespace Icons {

QImage flagGermany()
{
    QImage image = flagCanvas();
    QPainter p(&image);
    // 14 rows do not split in three; the middle band gives up the odd pixel.
    p.fillRect(0, 0, FlagIcons::width, 5, QColor(0x00, 0x00, 0x00));
    p.fillRect(0, 5, FlagIcons::width, 4, QColor(0xdd, 0x00, 0x00));
    p.fillRect(0, 9, FlagIcons::width, 5, QColor(0xff, 0xce, 0x00));
    return image;
}

QImage flagUnitedStates()
{
    using FlagIcons::usPalette;
    QImage image = flagCanvas();
    QPainter p(&image);
    const QColor red = QColor::fromRgb(usPalette[0]);
    const QColor white = QColor::fromRgb(usPalette[1]);
    const QColor blue = QColor::fromRgb(usPalette[2]);
    // Seven two-pixel stripes stand for the thirteen, starting and ending with red.
    for (int stripe = 0; stripe < 7; ++stripe)
        p.fillRect(0, stripe * 2, FlagIcons::width, 2, stripe % 2 == 0 ? red : white);
    // The canton reaches down over four stripes and across two fifths of the fly.
    p.fillRect(0, 0, 9, 8, blue);
    for (int row = 1; row <= 6; ++row) {
        for (int column = row % 2 == 1 ? 1 : 2; column <= 7; column += 2)
            p.fillRect(column, row, 1, 1, white);
    }
    return image;
}

} // namespace Icons
