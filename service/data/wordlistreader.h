#pragma once

#include <QByteArray>

class LexiconBuilder;

// Reads a word list: UTF-8 text, one word per line.
namespace WordListReader {

void read(const QByteArray &data, LexiconBuilder *builder);

} // namespace WordListReader
