#include "data/cooccurrencelinks.h"

#include "index/lexicontables.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace CooccurrenceLinks {

namespace {

// Only a place this near the top of another word's list links it back: further down, a list
// holds what merely goes along with its word.
constexpr uint32_t backlinkDepth = 20;
constexpr uint32_t maxBacklinks = 150;
constexpr float compoundLinkShare = 0.25f;

uint32_t baseOfWord(const LexiconTables &t, uint32_t word)
{
    return t.keyBase[t.wordKey[word]];
}

// Adds to what the lists' scorer counted of the class nouns it kept out.
void countSpread(LexiconTables *t)
{
    t->keySpread.resize(t->keyBase.size(), 0);
    for (const uint32_t word : t->cooc) {
        ++t->keySpread[baseOfWord(*t, word)];
    }
}

struct Link
{
    uint32_t target; // the key named in the list
    float weight;    // how near the top, and how well known the list's own word is
    uint32_t word;   // the list's own word
    bool operator<(const Link &o) const
    {
        return std::tie(target, o.weight, word) < std::tie(o.target, weight, o.word);
    }
};

// A word that people know and that names the key first says the most: "Finanzamt" naming
// "Steuer" among its first three, rather than a rare compound naming it first.
float linkWeight(uint32_t rank, uint32_t commonness)
{
    return std::log(2.0f + float(commonness)) / (3.0f + float(rank));
}

// Of each compound's key, its modifier and head.
std::vector<std::pair<uint32_t, uint32_t>> partsOf(const LexiconTables &t)
{
    std::vector<std::pair<uint32_t, uint32_t>> parts(t.keyBase.size(), {UINT32_MAX, UINT32_MAX});
    for (size_t i = 0; i + 3 < t.compoundCuts.size(); i += 4) {
        parts[t.compoundCuts[i]] = {t.compoundCuts[i + 1], t.compoundCuts[i + 3]};
    }
    return parts;
}

void findBacklinks(LexiconTables *t)
{
    const uint32_t keyCount = uint32_t(t->keyBase.size());
    const auto parts = partsOf(*t);
    std::vector<Link> links;
    for (uint32_t key = 0; key < keyCount; ++key) {
        // A link that a single document makes does not count from the other side either.
        const uint32_t depth = std::min(backlinkDepth, t->coocWitnessed[key]);
        const uint32_t begin = t->coocBegin[key];
        const uint32_t end = std::min(t->coocBegin[key + 1], begin + depth);
        for (uint32_t i = begin; i < end; ++i) {
            // A compound names its parts first, by its own document: a part is as far down
            // as the compound's texts besides it bear it out.
            const uint32_t target = baseOfWord(*t, t->cooc[i]);
            const bool part = parts[key].first == target || parts[key].second == target;
            links.push_back(
                {target,
                 linkWeight(i - begin, t->keyCommonness[key]) * (part ? compoundLinkShare : 1.0f),
                 t->keyWord[key]});
        }
    }
    std::sort(links.begin(), links.end());
    t->backlinkBegin.assign(size_t(keyCount) + 1, 0);
    t->backlinks.clear();
    size_t i = 0;
    for (uint32_t key = 0; key < keyCount; ++key) {
        uint32_t taken = 0;
        for (; i < links.size() && links[i].target == key; ++i) {
            if (taken++ < maxBacklinks) {
                t->backlinks.push_back(links[i].word);
            }
        }
        t->backlinkBegin[key + 1] = uint32_t(t->backlinks.size());
    }
}

} // namespace

void compute(LexiconTables *tables)
{
    countSpread(tables);
    findBacklinks(tables);
}

} // namespace CooccurrenceLinks
