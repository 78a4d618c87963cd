#include "data/listscorer.h"

#include "data/buildweights.h"
#include "data/tokenpairs.h"
#include "index/lexicon.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>

namespace {

using BuildWeights::maxCompounds;
using BuildWeights::maxCooccurrents;

// Lays out lists of (key, word) pairs, sorted by key and best first, as the begin offsets of
// each key and the words, at most `limit` a key.
void fillLists(const std::vector<std::pair<uint32_t, uint32_t>> &pairs, uint32_t keyCount,
               size_t limit, std::vector<uint32_t> *begin, std::vector<uint32_t> *list)
{
    begin->assign(size_t(keyCount) + 1, 0);
    list->clear();
    // At its final size at once: grown by doubling, it would be copied at twice that.
    list->reserve(pairs.size());
    size_t i = 0;
    for (uint32_t key = 0; key < keyCount; ++key) {
        size_t taken = 0;
        for (; i < pairs.size() && pairs[i].first == key; ++i) {
            if (taken++ < limit) {
                list->push_back(pairs[i].second);
            }
        }
        (*begin)[key + 1] = uint32_t(list->size());
    }
}
} // namespace

ListScorer::ListScorer(LexiconTables *tables, const BuildDocuments &documents,
                       const CompoundParts &compounds)
    : m_t(tables), m_docs(documents), m_compounds(compounds)
{}

void ListScorer::rank(const std::vector<uint32_t> &listed)
{
    findCompounds(listed);
    findCooccurrents();
}

void ListScorer::findCompounds(const std::vector<uint32_t> &listed)
{
    LexiconTables &t = *m_t;
    std::vector<std::pair<uint32_t, uint32_t>> found; // key, compound word
    for (const uint32_t w : listed) {
        const auto [first, head] = m_compounds.cut[t.wordKey[w]];
        if (first != Lexicon::npos) {
            found.emplace_back(first, w);
            found.emplace_back(head, w);
        }
    }
    const auto rank = [&](uint32_t a, uint32_t b) {
        const uint32_t ca = t.keyCommonness[t.wordKey[a]];
        const uint32_t cb = t.keyCommonness[t.wordKey[b]];
        if (ca != cb) {
            return ca > cb;
        }
        const size_t la = t.words.at(a).size();
        const size_t lb = t.words.at(b).size();
        return la != lb ? la < lb : t.words.at(a) < t.words.at(b);
    };
    std::sort(found.begin(), found.end(), [&](const auto &a, const auto &b) {
        return a.first != b.first ? a.first < b.first : rank(a.second, b.second);
    });
    found.erase(std::unique(found.begin(), found.end()), found.end());
    fillLists(found, t.keys.size(), maxCompounds, &t.compoundBegin, &t.compounds);
}

// For each key, the words that share documents with it more often than chance would have it.
// The score is the shared count times two factors: the pointwise mutual information, so that
// chance meetings count little, and the log of the word's own frequency, so that among words met
// equally often the common one that people know goes first. A word that stands everywhere is
// held down by the query, by the number of lists it joins: discounting it here as well cut the
// common words that many texts pair with the key ("Natur" of "Wald") out of the list before the
// query could weigh them.
void ListScorer::findCooccurrents()
{
    LexiconTables &t = *m_t;
    const uint32_t keyCount = t.keys.size();
    indexDocuments(keyCount);
    m_tally.assign(keyCount, Tally());
    t.coocWitnessed.assign(keyCount, 0);
    t.keySpread.assign(keyCount, 0);
    m_withheldFrom.assign(keyCount, UINT32_MAX);
    m_commonWeight.resize(keyCount);
    for (uint32_t k = 0; k < keyCount; ++k) {
        m_commonWeight[k] = std::log(1.0 + t.keyCommonness[k]);
    }
    t.coocLoose.clear();
    t.coocDefining.clear();
    std::vector<std::pair<uint32_t, uint32_t>> found;
    for (uint32_t a = 0; a < keyCount; ++a) {
        if (m_keyDocBegin[a] != m_keyDocBegin[a + 1]) {
            scoreKey(a, &found);
        }
    }
    fillLists(found, keyCount, maxCooccurrents, &t.coocBegin, &t.cooc);
}

// The documents of each key, and the weight of them all.
void ListScorer::indexDocuments(uint32_t keyCount)
{
    const uint32_t docCount = uint32_t(m_docs.begin.size() - 1);
    m_keyDocBegin.assign(size_t(keyCount) + 1, 0);
    for (const uint32_t key : m_docs.keys) {
        ++m_keyDocBegin[key + 1];
    }
    std::partial_sum(m_keyDocBegin.begin(), m_keyDocBegin.end(), m_keyDocBegin.begin());
    m_keyDocs.resize(m_docs.keys.size());
    m_keyTokens.resize(m_docs.keys.size());
    std::vector<uint32_t> cursor(m_keyDocBegin.begin(), m_keyDocBegin.end() - 1);
    m_total = 0;
    for (uint32_t d = 0; d < docCount; ++d) {
        m_total += m_docs.weight[d];
        for (uint32_t i = m_docs.begin[d]; i < m_docs.begin[d + 1]; ++i) {
            const uint32_t at = cursor[m_docs.keys[i]]++;
            m_keyDocs[at] = d;
            m_keyTokens[at] = i;
        }
    }
}

// Adds the best co-occurrents of key a to *found, as (a, word) pairs, and marks those that only
// loose documents bring.
void ListScorer::scoreKey(uint32_t a, std::vector<std::pair<uint32_t, uint32_t>> *found)
{
    tallyPairs(a);
    keepBest(a, found);
}

// What the documents of key a say of each word they pair with it, in m_tally for the words of
// m_touched.
void ListScorer::tallyPairs(uint32_t a)
{
    m_touched.clear();
    const uint32_t *keys = m_docs.keys.data();
    Tally *tally = m_tally.data();
    for (uint32_t i = m_keyDocBegin[a]; i < m_keyDocBegin[a + 1]; ++i) {
        const uint32_t d = m_keyDocs[i];
        const uint32_t text = m_docs.textOf(d);
        const bool saying = m_docs.isSayingAt(d);
        const uint8_t weight = m_docs.weight[d];
        const TokenPairs pairs(m_docs, d, m_keyTokens[i]);
        for (uint32_t j = m_docs.begin[d], end = m_docs.begin[d + 1]; j < end; ++j) {
            const uint32_t b = keys[j];
            // A text that names a compound speaks of what the compound names, not of its parts
            // as things that go together; nor does a definition's class with its details. One text
            // that pairs two words again and again is one witness, and so is an entry that
            // gatherings of entries repeat.
            if (pairs.classAndDetail(j)) {
                withhold(a, b, j == m_docs.genus[d]);
                continue;
            }
            Tally &pair = tally[b];
            if (b == a || pairs.detailBeyondDefined(j) || pairs.meetInCompound(j) ||
                pairs.fromOneEntry(j) || pair.lastText == text) {
                continue;
            }
            pair.lastText = text;
            if (pair.weight == 0.0) {
                m_touched.push_back(b);
            }
            pair.weight += weight;
            pair.documents += pair.documents < UINT8_MAX ? 1 : 0;
            // Texts that name only compounds of either word witness the compounds: the wrenches
            // that lists of tools name say nothing of a door's key. One text must name both.
            pair.mark(NamedBoth, pairs.byThemselves(j));
            pair.mark(BeyondSayings, !saying);
            pair.mark(Closely, !pairs.loosely(j));
            pair.mark(Defining, pairs.definesOther(j));
            pair.mark(sourceKind(d, saying), true);
        }
    }
}

// Scores the tallied words, clears their tallies, and adds the best to *found.
void ListScorer::keepBest(uint32_t a, std::vector<std::pair<uint32_t, uint32_t>> *found)
{
    LexiconTables &t = *m_t;
    Tally *tally = m_tally.data();
    m_scored.clear();
    const double dfA = t.keyCommonness[a];
    for (const uint32_t b : m_touched) {
        Tally &pair = tally[b];
        const double value =
            weighted(pair.weight, dfA, t.keyCommonness[b], m_total, m_commonWeight[b]) *
            (pair.ofOneKind() ? BuildWeights::oneKindShare : 1.0);
        if (value > 0.0) {
            const uint32_t needed = pair.has(BeyondSayings) ? 2 : BuildWeights::minSayings;
            m_scored.emplace_back(pair.documents < needed || !pair.has(NamedBoth), -value, b,
                                  !pair.has(Closely), pair.has(Defining));
        }
        pair = Tally();
    }
    // Of the best, a word that one document alone brings goes after those that more bring; so
    // does one that too few sayings alone bring.
    const size_t kept = std::min(m_scored.size(), maxCooccurrents);
    const auto end = m_scored.begin() + std::ptrdiff_t(kept);
    std::nth_element(m_scored.begin(), end, m_scored.end(),
                     [](const auto &x, const auto &y) { return std::get<1>(x) < std::get<1>(y); });
    std::sort(m_scored.begin(), end);
    for (size_t i = 0; i < kept; ++i) {
        const auto &[single, value, b, looselyOnly, defining] = m_scored[i];
        if (looselyOnly) {
            LexiconTables::setBit(&t.coocLoose, found->size());
        }
        if (defining) {
            LexiconTables::setBit(&t.coocDefining, found->size());
        }
        found->emplace_back(a, t.keyWord[b]);
        t.coocWitnessed[a] += single ? 0 : 1;
    }
}

// The kind of source a document comes from: the dictionaries' lines (and what stands beside
// them: emoji keywords, compounds), definitions, sayings, or the gatherings of one English word.
uint8_t ListScorer::sourceKind(uint32_t d, bool saying) const
{
    return m_docs.isDefinitionAt(d)  ? FromDefinition
           : saying                  ? FromSaying
           : m_docs.isGatheringAt(d) ? FromGathering
                                     : FromLine;
}

// A class noun kept out of a key's list still stands beside the key in the texts: it counts as
// spread as far as it would have been, so that the query discounts it as the common word it is
// rather than lift it for the lists it was kept out of.
void ListScorer::withhold(uint32_t a, uint32_t b, bool bIsClass)
{
    if (bIsClass && m_withheldFrom[b] != a) {
        m_withheldFrom[b] = a;
        ++m_t->keySpread[b];
    }
}

double ListScorer::score(double shared, double dfA, double dfB, double total)
{
    return weighted(shared, dfA, dfB, total, std::log(1.0 + dfB));
}

double ListScorer::weighted(double shared, double dfA, double dfB, double total,
                            double commonWeight)
{
    const double n = shared;
    return n * std::log(total * n / (dfA * dfB)) * commonWeight;
}
