#pragma once

#include "query/associator.h"

#include <QByteArray>
#include <QString>

#include <vector>

class Lexicon;

// Turns a result into the bytes of a reply.
namespace PageRenderer {

// A UTF-8 HTML page with one block "<center>... ueber <a href="...">WORD</a></center>" per
// word, in rank order. Clients take the words with the lazy pattern
// "<center>(.*)ueber(.*)>(.*)</a></center>", so nothing else on the page contains "<center>"
// and each block holds "ueber" once, before its link.
QByteArray html(const QString &keyword, const std::vector<Association> &result,
                const Lexicon &lexicon);

// A word as the text of a link: <, > and & as entities, everything else (quotes too) as it is.
QByteArray escapedWord(QByteArrayView utf8);

// {"keyword": ..., "count": n, "associations": [{"word", "relation", "score"}, ...]}
QByteArray json(const QString &keyword, const std::vector<Association> &result,
                const Lexicon &lexicon);

} // namespace PageRenderer
