#include "search/wordpipeline.h"

#include <QByteArray>

#include <re2/re2.h>

#include <string>

namespace WordPipeline {

namespace {

// The page is searched with RE2 rather than a backtracking engine: its time is linear in the
// page size, so a hostile page with many openings and no terminator cannot stall the search.
constexpr char wordHead[] = "<center>(.*?)ueber(.*?)>";
constexpr char wordTail[] = "</a></center>";
constexpr size_t wordTailSize = sizeof(wordTail) - 1;

RE2::Options pageOptions()
{
    RE2::Options options;
    options.set_encoding(RE2::Options::EncodingLatin1);
    options.set_dot_nl(true);
    options.set_case_sensitive(true);
    options.set_log_errors(false);
    return options;
}

const RE2 &wholeMatch()
{
    static const RE2 pattern(std::string(wordHead) + "(.*?)" + wordTail, pageOptions());
    return pattern;
}

const RE2 &headOfMatch()
{
    static const RE2 pattern(wordHead, pageOptions());
    return pattern;
}

// Where the word of the match [start, end) begins. RE2 finds the groups of a match with its
// backtracker or NFA, which is slow on long matches, and they are not needed: with the match fixed,
// the word is what the first two groups leave before the terminator, and with the same preference
// for short groups those two take exactly what the head of the pattern takes when anchored at the
// match's start and kept before the terminator. RE2's fast DFA finds the end of that head match.
size_t wordStart(const re2::StringPiece &text, size_t start, size_t end)
{
    re2::StringPiece head;
    if (!headOfMatch().Match(text, start, end - wordTailSize, RE2::ANCHOR_START, &head, 1))
        return end - wordTailSize; // cannot happen: the whole match contains a head match
    return start + head.size();
}

template <typename Take> void forEachWord(const QString &page, Take take)
{
    // One byte per UTF-16 unit keeps match offsets equal to string indices, so each word is cut
    // from the page itself and comes back exactly as it stands there. toLatin1() turns units
    // beyond U+00FF into '?', which the pattern does not contain, so no match appears or vanishes.
    const QByteArray bytes = page.toLatin1();
    const re2::StringPiece text(bytes.constData(), size_t(bytes.size()));

    re2::StringPiece match;
    size_t from = 0;
    while (from < text.size() &&
           wholeMatch().Match(text, from, text.size(), RE2::UNANCHORED, &match, 1)) {
        const size_t start = size_t(match.data() - text.data());
        const size_t end = start + match.size();
        const size_t word = wordStart(text, start, end);
        take(QStringView(page).mid(qsizetype(word), qsizetype(end - wordTailSize - word)));
        from = end;
    }
}

} // namespace

QStringList extractWords(const QString &page)
{
    QStringList words;
    forEachWord(page, [&words](QStringView word) { words.append(word.toString()); });
    return words;
}

QStringList extractShownWords(const QString &page)
{
    QStringList words;
    forEachWord(page, [&words](QStringView word) { words.append(cleanWord(word)); });
    return words;
}

} // namespace WordPipeline
