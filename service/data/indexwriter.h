#pragma once

#include <QByteArray>

struct LexiconTables;

// Lays the tables out as an index file (indexformat.h) in memory.
namespace IndexWriter {

QByteArray image(const LexiconTables &tables);

} // namespace IndexWriter
