#pragma once

#include "web/seedresult.h"

#include <QByteArray>
#include <QByteArrayView>

#include <string>
#include <vector>

class Lexicon;

// The results of a search as files for scripts and spreadsheets, in UTF-8. They are written into
// a std::string, whose append is inline, while QByteArray's goes through its general insert.
namespace ResultFiles {

// RFC 4180: the header line "seed,word,relation,score", then one row per association, every
// line ending in CRLF. A seed without words gets one row with the other three cells empty, so
// that every seed of the query is in the file, as in the JSON.
QByteArray csv(const std::vector<SeedResult> &results, const Lexicon &lexicon);

// {"n": words asked per seed, "count": words in all results,
//  "results": [{"seed", "count", "associations": [{"word", "relation", "score"}]}]}
QByteArray json(const std::vector<SeedResult> &results, int count, const Lexicon &lexicon);

// One CSV field: quoted, with quotes doubled, when it holds a comma, a quote or a line end;
// one that begins with = + - @, a tab or a CR gets a leading ' so that no spreadsheet takes it
// for a formula.
QByteArray csvField(QByteArrayView utf8);
void appendCsvField(std::string *out, QByteArrayView utf8);

// A JSON string: quotes, backslashes and control characters escaped.
void appendJsonString(std::string *out, QByteArrayView utf8);
// The same without its quotes.
void appendJsonText(std::string *out, QByteArrayView utf8);

// The score as both files and the page give it: rounded to three decimals.
double roundedScore(float score);
// As the files write it: always three decimals ("1.000", "0.895").
QByteArray scoreText(float score);
void appendScore(std::string *out, float score);

} // namespace ResultFiles
