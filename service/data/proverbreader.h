#pragma once

#include <QByteArray>

class LexiconBuilder;

// Reads a fortune file (fortunes-de): entries separated by lines holding only "%", an author
// line ("-- Sprichwort") after the text. Each short entry is one document of the builder;
// long ones (anecdotes, poems) say too little about any pair of their words.
namespace ProverbReader {

void read(const QByteArray &data, LexiconBuilder *builder);

} // namespace ProverbReader
