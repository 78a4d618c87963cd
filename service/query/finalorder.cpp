#include "query/finalorder.h"

#include "query/rankingweights.h"
#include "query/standings.h"
#include "query/weighing.h"

#include <algorithm>

namespace Ranking {

namespace {

bool isOneSided(const Candidate &c)
{
    if (c.backed || c.linked || c.keywordAt == notLookedUp) {
        return false;
    }
    const float named = c.keywordAt < 0 ? fullList : float(c.keywordAt);
    const float bound = c.seconded ? sharedPlace : textsOnlyPlace;
    // A word whose definition names the keyword goes with it from its side, wherever its list,
    // so long as it names the keyword at all, puts it.
    return c.keywordAt == -1 ||
           (!c.defined && ((c.place >= keywordFirstPlaces && c.keywordAt >= wordFirstPlaces) ||
                           (float(c.place) + 1.0f) * (named + 1.0f) > bound * bound));
}

bool isSingleDocument(const Candidate &c)
{
    return c.namedBack && !isBorneOut(c);
}

// A word of the keyword's meanings that no text names with the keyword nor with its associates:
// mostly a rare or regional word for it, or one of a sense that the texts do not speak of.
bool isThesaurusOnly(const Candidate &c)
{
    return !c.texts && (c.relation == Relation::Synonym || c.relation == Relation::Broader ||
                        c.relation == Relation::Narrower);
}

// One document is no proof, nor are loose texts, nor texts that rank a pair high on neither side,
// nor the thesaurus that no text bears out: a word linked from both sides by no more, or brought
// by such evidence alone, stands behind the first places that better borne-out words fill. Where
// not even the others fill them, a single document's words are left out: where the data knows
// little, the rest is what it knows.
void keepBehind(std::vector<Candidate> *candidates)
{
    std::vector<Candidate> kept;
    std::vector<Candidate> behind;
    kept.reserve(candidates->size());
    behind.reserve(candidates->size());
    for (size_t i = 0; i < candidates->size(); ++i) {
        const Candidate &c = (*candidates)[i];
        const bool late = isSingleDocument(c) || c.loose == Looseness::OwnTexts ||
                          (i >= looseFirstPlaces &&
                           (c.loose == Looseness::AssociatesTexts || isThesaurusOnly(c))) ||
                          isOneSided(c);
        (late && kept.size() < namedBackFrom ? behind : kept).push_back(c);
        if (kept.size() == namedBackFrom) {
            kept.insert(kept.end(), behind.begin(), behind.end());
            behind.clear();
        }
    }
    std::vector<Candidate> single;
    for (const Candidate &c : behind) {
        (isSingleDocument(c) ? single : kept).push_back(c);
    }
    if (kept.size() >= namedBackFrom) {
        kept.insert(kept.end(), single.begin(), single.end());
    }
    candidates->swap(kept);
}

} // namespace

// Moves phrases beyond the allowed few out of the first places, keeping the order otherwise,
// and makes the scores fall along the result.
std::vector<Association> finalOrder(const Lexicon &lexicon,
                                    const std::vector<Candidate> &candidates, size_t count)
{
    // Only the first places are needed, with room for the words moved down: as many as were
    // weighed by their own lists. A shorter window that such words fill holds fewer than the fifty
    // they follow, and they would stand among them after all.
    const size_t sorted = std::min(candidates.size(), placesLookedAt(count));
    const std::vector<Standing> order = bestFirst(candidates, sorted);
    std::vector<Candidate> best;
    best.reserve(sorted);
    for (size_t i = 0; i < sorted; ++i) {
        best.push_back(candidates[order[i].at]);
    }
    keepBehind(&best);
    std::vector<Candidate> top;
    std::vector<Candidate> held;
    top.reserve(best.size());
    held.reserve(best.size());
    int phrases = 0;
    for (const Candidate &c : best) {
        const bool phrase = lexicon.hasFlag(c.word, Lexicon::Phrase);
        if (top.size() < topPlaces && phrase && ++phrases > phrasesAtTop) {
            held.push_back(c);
        } else {
            top.push_back(c);
        }
        if (top.size() == topPlaces) {
            top.insert(top.end(), held.begin(), held.end());
            held.clear();
        }
    }
    top.insert(top.end(), held.begin(), held.end());
    std::vector<Association> result;
    result.reserve(std::min(top.size(), count));
    const float first = top.empty() ? 1.0f : top.front().score;
    float previous = 1.0f;
    for (size_t i = 0; i < top.size() && i < count; ++i) {
        previous = std::min(previous, top[i].score / first);
        result.push_back({top[i].word, top[i].relation, previous});
    }
    return result;
}

} // namespace Ranking
