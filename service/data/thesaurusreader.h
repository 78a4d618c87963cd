#pragma once

#include <QByteArray>
#include <QString>

class LexiconBuilder;

// Reads the data file of a thesaurus in the office-suite format: a first line naming the
// encoding, then entries "word|count", each followed by count meaning lines
// "part-of-speech|term|term|...". Each meaning stands under every one of its words, so the
// repeated lines are taken once.
namespace ThesaurusReader {

// False with a message in *error when the data does not have that form.
bool read(const QByteArray &data, LexiconBuilder *builder, QString *error);

} // namespace ThesaurusReader
