#pragma once

#include <QByteArray>

class LexiconBuilder;

// Reads the German stop words from the Perl module of liblingua-stopwords-perl
// (Lingua/StopWords/DE.pm), where they stand as a quoted word list "qw( aber alle ... )" in
// the function _stopwords. Perl is not needed for that.
namespace StopWordReader {

// False when the file holds no such list.
bool read(const QByteArray &data, LexiconBuilder *builder);

} // namespace StopWordReader
