#include "pngwriter.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>

#include <array>
#include <cstdlib>

namespace {

enum ColourType : quint8
{
    Truecolour = 2,
    Indexed = 3,
    TruecolourAlpha = 6
};

quint32 crc32(const QByteArray &data)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320U ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xffffffffU;
    for (const char byte : data)
        c = table[(c ^ static_cast<quint8>(byte)) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffU;
}

void appendBigEndian(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

void appendChunk(QByteArray &out, const char *type, const QByteArray &data)
{
    const QByteArray typed = QByteArray(type, 4) + data;
    appendBigEndian(out, static_cast<quint32>(data.size()));
    out.append(typed);
    appendBigEndian(out, crc32(typed));
}

int paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

QByteArray filterRow(const QByteArray &row, const QByteArray &prior, int bpp, int type)
{
    QByteArray out(row.size() + 1, '\0');
    out[0] = static_cast<char>(type);
    for (int i = 0; i < row.size(); ++i) {
        const int x = static_cast<quint8>(row[i]);
        const int a = i >= bpp ? static_cast<quint8>(row[i - bpp]) : 0;
        const int b = static_cast<quint8>(prior[i]);
        const int c = i >= bpp ? static_cast<quint8>(prior[i - bpp]) : 0;
        const int predictor[] = {0, a, b, (a + b) / 2, paeth(a, b, c)};
        out[i + 1] = static_cast<char>((x - predictor[type]) & 0xff);
    }
    return out;
}

// The usual heuristic: per row, the filter whose output has the smallest sum of signed bytes.
QByteArray bestFilteredRow(const QByteArray &row, const QByteArray &prior, int bpp)
{
    QByteArray best;
    long bestScore = -1;
    for (int type = 0; type < 5; ++type) {
        const QByteArray candidate = filterRow(row, prior, bpp, type);
        long score = 0;
        for (int i = 1; i < candidate.size(); ++i)
            score += std::abs(static_cast<int>(static_cast<qint8>(candidate[i])));
        if (bestScore < 0 || score < bestScore) {
            bestScore = score;
            best = candidate;
        }
    }
    return best;
}

// bpp is the filter's byte distance; 0 means sub-byte pixels, which PNG leaves unfiltered.
bool writeFile(const QString &path, int width, int height, ColourType colourType, int bitDepth,
               const QList<QByteArray> &rows, int bpp, const QByteArray &plte = {})
{
    QByteArray header;
    appendBigEndian(header, static_cast<quint32>(width));
    appendBigEndian(header, static_cast<quint32>(height));
    header.append(static_cast<char>(bitDepth));
    header.append(static_cast<char>(colourType));
    header.append(3, '\0'); // deflate, adaptive filtering, no interlace

    QByteArray raw;
    QByteArray prior(rows.value(0).size(), '\0');
    for (const QByteArray &row : rows) {
        raw.append(bpp > 0 ? bestFilteredRow(row, prior, bpp) : QByteArray(1, '\0') + row);
        prior = row;
    }
    // qCompress prefixes the zlib stream with its own 4-byte length; PNG wants the bare stream.
    const QByteArray zlibStream = qCompress(raw, 9).mid(4);

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    if (!plte.isEmpty())
        appendChunk(png, "PLTE", plte);
    appendChunk(png, "IDAT", zlibStream);
    appendChunk(png, "IEND", {});

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(png) == png.size() && file.flush();
}

} // namespace

namespace PngWriter {

bool writeRgba(const QImage &image, const QString &path)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    QList<QByteArray> rows;
    for (int y = 0; y < rgba.height(); ++y) {
        QByteArray row(reinterpret_cast<const char *>(rgba.constScanLine(y)), rgba.width() * 4);
        // Invisible pixels keep no stray colour: it compresses better and hides nothing.
        for (int x = 0; x < rgba.width(); ++x) {
            if (row[x * 4 + 3] == '\0')
                row.replace(x * 4, 3, QByteArray(3, '\0'));
        }
        rows.append(row);
    }
    return writeFile(path, rgba.width(), rgba.height(), TruecolourAlpha, 8, rows, 4);
}

bool writeRgb(const QImage &image, const QString &path)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QList<QByteArray> rows;
    for (int y = 0; y < rgb.height(); ++y)
        rows.append(
            QByteArray(reinterpret_cast<const char *>(rgb.constScanLine(y)), rgb.width() * 3));
    return writeFile(path, rgb.width(), rgb.height(), Truecolour, 8, rows, 3);
}

bool writeIndexed(const QImage &image, const QList<QRgb> &palette, int bitDepth,
                  const QString &path)
{
    if ((bitDepth != 1 && bitDepth != 2 && bitDepth != 4) || palette.isEmpty() ||
        palette.size() > (1 << bitDepth))
        return false;
    QByteArray plte;
    for (const QRgb colour : palette) {
        plte.append(static_cast<char>(qRed(colour)));
        plte.append(static_cast<char>(qGreen(colour)));
        plte.append(static_cast<char>(qBlue(colour)));
    }
    // Colours are matched on their RGB part alone; the image is opaque by contract.
    QList<QRgb> opaquePalette;
    for (const QRgb colour : palette)
        opaquePalette.append(colour | 0xff000000U);
    const int perByte = 8 / bitDepth;
    QList<QByteArray> rows;
    for (int y = 0; y < image.height(); ++y) {
        QByteArray row((image.width() + perByte - 1) / perByte, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const qsizetype index = opaquePalette.indexOf(image.pixel(x, y) | 0xff000000U);
            if (index < 0)
                return false;
            const int shift = 8 - bitDepth * (x % perByte + 1);
            row[x / perByte] =
                static_cast<char>(static_cast<quint8>(row[x / perByte]) | (index << shift));
        }
        rows.append(row);
    }
    return writeFile(path, image.width(), image.height(), Indexed, bitDepth, rows, 0, plte);
}

} // namespace PngWriter
