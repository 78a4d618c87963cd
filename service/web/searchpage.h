#pragma once

#include "web/pagetexts.h"
#include "web/seedresult.h"
#include "web/webquery.h"

#include <QByteArray>

#include <vector>

class Lexicon;

// The search page: the form, a note on what was wrong with the input, and one table per seed
// keyword. Every text from the request or the data is escaped, and the page never holds the
// tag the desktop program looks for in the classic page, so no block can be read off it by
// mistake.
namespace SearchPage {

QByteArray render(const WebQuery &query, const std::vector<SeedResult> &results,
                  const Lexicon &lexicon, const PageTexts &texts);

} // namespace SearchPage
