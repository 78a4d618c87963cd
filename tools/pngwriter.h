#pragma once

#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>

// A small PNG encoder, because QImage's writer decides the colour type and bit depth itself (it
// widens palettes to 8 bits, for one) while the icons must come out in exactly the stated formats.
// The output is deterministic: no time stamp or text chunks, so rerunning the tool changes nothing.
namespace PngWriter {

// Colour type 6, 8 bits per channel, straight (not premultiplied) alpha.
bool writeRgba(const QImage &image, const QString &path);

// Colour type 2, 8 bits per channel; any alpha in the image is ignored.
bool writeRgb(const QImage &image, const QString &path);

// Colour type 3 with the given bit depth (1, 2 or 4). Every pixel of the image must be one of the
// palette's colours, which may have at most 2^bitDepth entries; otherwise nothing is written.
bool writeIndexed(const QImage &image, const QList<QRgb> &palette, int bitDepth,
                  const QString &path);

} // namespace PngWriter
