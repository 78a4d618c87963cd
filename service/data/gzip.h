#pragma once

#include <QByteArray>
#include <QString>

// The data files of some Debian packages are gzip-compressed (the dict server's ".dict.dz"
// files are gzip files with an index of their own in the header).
namespace Gzip {

bool isCompressed(const QByteArray &data);
// Unpacks data into *out; false, with the reason, when the data is damaged or would unpack to
// more than maxSize bytes.
bool unpack(const QByteArray &data, qsizetype maxSize, QByteArray *out, QString *error);

} // namespace Gzip
