#pragma once

#include <QByteArray>
#include <QString>

class Lexicon;
struct DataSources;

// Reads the raw Debian data and compiles it into an association index (indexformat.h).
namespace IndexCompiler {

// On failure returns false with a message naming the file in *error.
bool compile(const DataSources &sources, QByteArray *image, QString *error);

// Compiles and writes the index to path, replacing it only once the new one is complete.
bool compileTo(const DataSources &sources, const QString &path, QString *error);

// Compiles the index in memory and gives it to the lexicon (slow; for development and tests).
// On failure, false with a message naming the file.
bool load(const DataSources &sources, Lexicon *lexicon, QString *error);
// The thesaurus and the word list alone.
bool load(const QString &thesaurusPath, const QString &wordListPath, Lexicon *lexicon,
          QString *error);

} // namespace IndexCompiler
