#pragma once

#include <QByteArray>
#include <QString>

struct DataSources;

// Reads the raw Debian data and compiles it into an association index (indexformat.h).
namespace IndexCompiler {

// On failure returns false with a message naming the file in *error.
bool compile(const DataSources &sources, QByteArray *image, QString *error);

// Compiles and writes the index to path, replacing it only once the new one is complete.
bool compileTo(const DataSources &sources, const QString &path, QString *error);

} // namespace IndexCompiler
