#pragma once

#include "seedresult.h"

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

class Lexicon;

// The results of a search as files for scripts and spreadsheets, in UTF-8.
namespace ResultFiles {

// RFC 4180: the header line "seed,word,relation,score", then one row per association, every
// line ending in CRLF.
QByteArray csv(const std::vector<SeedResult> &results, const Lexicon &lexicon);

// {"count": n, "results": [{"seed": ..., "associations": [{"word", "relation", "score"}]}]}
QByteArray json(const std::vector<SeedResult> &results, int count, const Lexicon &lexicon);

// One CSV field: quoted, with quotes doubled, when it holds a comma, a quote or a line end.
QByteArray csvField(QByteArrayView utf8);

// The score as both files and the page give it: three decimals at most.
double roundedScore(float score);

} // namespace ResultFiles
