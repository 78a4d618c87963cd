#include "query/weighing.h"

#include "language/inflection.h"
#include "language/lemmatiser.h"
#include "query/rankingweights.h"
#include "query/standings.h"
#include "query/wordtable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace Ranking {

namespace {

// People answer a keyword with the words they use, so a common word goes before a rare one that
// the lists rank alike. The weight grows slowly: a list's order still counts for more.
float commonnessWeight(uint32_t commonness)
{
    return std::sqrt(std::log(2.0f + float(commonness)));
}

// A word that stands in many words' lists of cooccurrents says little about any one of them,
// as a word that every document uses says little about one document.
float specificity(uint32_t spread)
{
    return 1.0f / std::sqrt(1.0f + float(spread) / spreadScale);
}

} // namespace

void weighByCommonness(const Lexicon &lexicon, std::vector<Candidate> *candidates)
{
    // Most candidates are rare words: their weights are looked up rather than computed.
    static const std::array<float, 1024> weights = [] {
        std::array<float, 1024> table{};
        for (uint32_t c = 0; c < table.size(); ++c) {
            table[c] = commonnessWeight(c);
        }
        return table;
    }();
    for (Candidate &c : *candidates) {
        const uint32_t commonness = lexicon.commonness(c.base);
        c.score *= commonness < weights.size() ? weights[commonness] : commonnessWeight(commonness);
        c.score *= specificity(lexicon.spread(c.base));
    }
}

namespace {

// The further down its own list the word names the keyword, the nearer it comes to one that
// does not name it: a word that goes with many names it among its last. The share falls slowly
// near the top, where a word's list still holds what it goes with.
float namedAt(float place)
{
    const float depth = place / fullList;
    return 1.0f - (1.0f - oneWayShare) * std::min(1.0f, depth * std::sqrt(depth));
}

// Where nothing but the keyword's texts speaks for a word, only its own first places do.
float namedAtTextsOnly(float place)
{
    return oneWayShare + (1.0f - oneWayShare) * textsOnlyHalfway / (textsOnlyHalfway + place);
}

} // namespace

// The candidates whose places in their own lists are looked up, best first: the answer, with
// room for the words that follow its first places. A word beyond them is weighed as one whose
// list does not name the keyword, so where words that go with anything fill much of the room, a
// word that names the keyword first, a little further down, would be lost to them. Measured on
// the development lists (twice the answer against three times): 18 labelled junk words and 7
// good ones left the first fifty, 5 junk, 4 good and 34 unlabelled came in; the query's time
// stayed as it was.
size_t placesLookedAt(size_t count)
{
    return count * 3 + topPlaces;
}

// A word that goes with the keyword names the keyword among its own cooccurrents; one that goes
// with everything does not, as it has room for only a few of them. Only the words that may still
// reach the answer are looked at.
void weighByMutuality(const Lexicon &lexicon, uint32_t base, size_t count,
                      std::vector<Candidate> *candidates)
{
    const size_t looked = std::min(candidates->size(), placesLookedAt(count));
    // Which ones are looked at matters here, not their order.
    const std::vector<Standing> best = bestOf(*candidates, looked);
    const uint32_t keyword = lexicon.wordOfKey(base);
    for (size_t i = 0; i < best.size(); ++i) {
        Candidate &c = (*candidates)[best[i].at];
        if (c.linked) {
            continue;
        }
        // A word that the texts do not use says nothing either way.
        const Lexicon::Ids own = lexicon.cooccurrentsOf(c.base);
        if (own.empty()) {
            continue;
        }
        const int at = i < looked ? keywordPlace(lexicon, keyword, &c) : -1;
        const float place = at < 0 ? fullList : float(at);
        c.score *= c.seconded || c.defined ? namedAt(place) : namedAtTextsOnly(place);
    }
}

// "Weihnacht" of "Weihnachten": a noun that the keyword, a noun and nothing else, is a form of
// by its ending is the keyword in the other number. It brings its words like any synonym, but
// is not shown. ("Schlaf" of "schlafen" is a word of its own, and so is "Spiel" of "Spieler":
// a noun in -er is mostly one who does something, not a plural.)
void leaveOutOtherNumber(const Lexicon &lexicon, uint32_t base, std::vector<Candidate> *candidates)
{
    const std::string_view keyword = lexicon.key(base);
    if (lexicon.kindsOf(base) != Language::Noun ||
        (keyword.size() > 2 && keyword.substr(keyword.size() - 2) == "er")) {
        return;
    }
    // The keyword's endings are read once, not once for each of the many candidates.
    const std::vector<std::string> bases = Inflection::basesOf(keyword);
    if (bases.empty()) {
        return;
    }
    const auto isOtherNumber = [&](const Candidate &c) {
        if ((lexicon.kindsOf(c.base) & Language::Noun) == 0) {
            return false;
        }
        const std::string_view text = lexicon.key(c.base);
        return std::find(bases.begin(), bases.end(), text) != bases.end();
    };
    candidates->erase(std::remove_if(candidates->begin(), candidates->end(), isOtherNumber),
                      candidates->end());
}

// Where more than one text speaks of the keyword, a word that nothing bears out is left out:
// the answer is short rather than filled with guesses, unless one document pairs them that
// both the keyword's texts and the word's own list, where it names the keyword, rank among
// their first (see keepBehind). Where no two texts do, what little the data knows is all
// there is, and such words go after the others.
void keepBorneOut(const Lexicon &lexicon, uint32_t base, Lexicon::Ids single, bool textsAgree,
                  std::vector<Candidate> *candidates)
{
    if (!textsAgree) {
        for (Candidate &c : *candidates) {
            c.score *= isBorneOut(c) ? 1.0f : unsupportedShare;
        }
        return;
    }
    const uint32_t keyword = lexicon.wordOfKey(base);
    std::vector<uint32_t> singles(single.begin(), single.end());
    std::sort(singles.begin(), singles.end());
    for (Candidate &c : *candidates) {
        if (!isBorneOut(c) && std::binary_search(singles.begin(), singles.end(), c.word)) {
            c.namedBack = keywordPlace(lexicon, keyword, &c) >= 0;
        }
    }
    candidates->erase(
        std::remove_if(candidates->begin(), candidates->end(),
                       [](const Candidate &c) { return !isBorneOut(c) && !c.namedBack; }),
        candidates->end());
}

// A word whose own definition names the keyword is tied to it by what the word is, which says more
// than texts that merely use both: the definition seconds the texts, however far down its own
// list the word names the keyword among all that its other texts pair with it ("Zwerg" of
// "klein", "Finanzamt" of "Steuer"). Of the labelled words of the development lists' first fifty
// that neither the thesaurus nor a compound links, 8% of those were junk, 22% of the others.
void markDefined(const Lexicon &lexicon, uint32_t base, std::vector<Candidate> *candidates)
{
    for (Candidate &c : *candidates) {
        c.defined = c.place < uint32_t(fullList) && lexicon.definitionNamesKey(base, c.place);
    }
}

// Of the words that only texts bring, those that the keyword's texts pair with it loosely.
void markLoose(const Lexicon &lexicon, uint32_t base, std::vector<Candidate> *candidates)
{
    const std::vector<uint32_t> loose = lexicon.looselyPairedOf(base);
    if (loose.empty()) {
        return;
    }
    WordTable<bool> bases(loose.size());
    for (const uint32_t word : loose) {
        bases.at(lexicon.baseOf(lexicon.keyOf(word)), true);
    }
    for (Candidate &c : *candidates) {
        if (!c.backed && !c.linked && bases.find(c.base) != nullptr) {
            c.loose = c.seconded ? Looseness::AssociatesTexts : Looseness::OwnTexts;
        }
    }
}

} // namespace Ranking
