#include "data/gzip.h"

#include <zlib.h>

namespace Gzip {

bool isCompressed(const QByteArray &data)
{
    return data.size() >= 2 && uchar(data[0]) == 0x1f && uchar(data[1]) == 0x8b;
}

bool unpack(const QByteArray &data, qsizetype maxSize, QByteArray *out, QString *error)
{
    z_stream stream{};
    // 16 + window bits: a gzip header and trailer around the deflate data.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        *error = QStringLiteral("cannot start unpacking");
        return false;
    }
    out->clear();
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(chunk.data());
        stream.avail_out = uInt(chunk.size());
        result = inflate(&stream, Z_NO_FLUSH);
        const qsizetype produced = chunk.size() - qsizetype(stream.avail_out);
        if (out->size() + produced > maxSize) {
            result = Z_MEM_ERROR;
            break;
        }
        out->append(chunk.constData(), produced);
        if (result == Z_BUF_ERROR && stream.avail_in == 0) {
            break; // the data ends before the stream does
        }
    }
    inflateEnd(&stream);
    if (result != Z_STREAM_END) {
        *error = result == Z_MEM_ERROR
                     ? QStringLiteral("unpacks to more than %1 bytes").arg(maxSize)
                     : QStringLiteral("is damaged or cut short");
        out->clear();
        return false;
    }
    return true;
}

} // namespace Gzip
