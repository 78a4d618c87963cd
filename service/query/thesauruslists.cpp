#include "query/thesauruslists.h"

#include "query/fusion.h"
#include "query/rankingweights.h"
#include "query/standings.h"
#include "query/wordtable.h"

#include <algorithm>
#include <numeric>

namespace Ranking {

namespace {

// How far the keyword's own texts bear out each of its meanings: the share of its other members
// that are among the words it shares documents with, either way. A meaning of fifty words has
// a few of them in any keyword's texts by its size alone. A meaning borne out far less than the
// best is one whose sense the texts do not speak of. One each when the texts know none.
std::vector<uint32_t> meaningSupport(const Lexicon &lexicon, uint32_t key, uint32_t base)
{
    WordTable<bool> related(512);
    for (const Lexicon::Ids list : {lexicon.cooccurrentsOf(base), lexicon.backlinksOf(base)}) {
        for (const uint32_t word : list) {
            related.at(lexicon.baseOf(lexicon.keyOf(word)), true);
        }
    }
    std::vector<uint32_t> support;
    for (const uint32_t posting : lexicon.meaningsOf(key)) {
        uint32_t others = 0;
        uint32_t named = 0;
        for (const uint32_t m : lexicon.membersOf(Lexicon::idOf(posting))) {
            const uint32_t b = lexicon.baseOf(lexicon.keyOf(Lexicon::idOf(m)));
            others += b != base;
            named += b != base && related.find(b) != nullptr;
        }
        support.push_back(others == 0 ? 0 : named * supportScale / others);
    }
    const uint32_t best = support.empty() ? 0 : *std::max_element(support.begin(), support.end());
    if (best == 0) {
        support.assign(support.size(), 1);
        return support;
    }
    for (uint32_t &n : support) {
        n = n * weakSenseRatio < best ? 0 : n;
    }
    return support;
}

struct ThesaurusWord
{
    uint32_t word;
    Relation relation;
    uint32_t meaning; // the place of its first meaning among the keyword's
};

// The keyword's role in a meaning decides what the meaning's other words are to it.
void addMeaningWords(const Lexicon &lexicon, uint32_t posting, uint32_t meaning,
                     WordTable<bool> *seen, std::vector<ThesaurusWord> *words)
{
    const TermRole keywordRole = Lexicon::roleOf(posting);
    for (const uint32_t member : lexicon.membersOf(Lexicon::idOf(posting))) {
        const uint32_t word = Lexicon::idOf(member);
        const TermRole role = Lexicon::roleOf(member);
        // A word that shares the keyword's role in a broader or narrower meaning is nothing to
        // it there, and stays free for the meaning where it is a synonym.
        if (keywordRole != TermRole::Plain && role != TermRole::Plain) {
            continue;
        }
        bool added = false;
        seen->at(word, true, &added);
        if (!added) {
            continue;
        }
        if (keywordRole == TermRole::Plain) {
            words->push_back({word,
                              role == TermRole::Plain     ? Relation::Synonym
                              : role == TermRole::Broader ? Relation::Broader
                                                          : Relation::Narrower,
                              meaning});
        } else {
            // The keyword is marked broader here, so the meaning's own words are narrower.
            words->push_back(
                {word, keywordRole == TermRole::Broader ? Relation::Narrower : Relation::Broader,
                 meaning});
        }
    }
}

// The words of the keyword's meanings, those of the meanings its texts bear out best first:
// a word of two meanings counts as one of the better borne out.
std::vector<ThesaurusWord> meaningWords(const Lexicon &lexicon, uint32_t key,
                                        const std::vector<uint32_t> &support)
{
    std::vector<uint32_t> order(support.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return support[a] > support[b]; });
    std::vector<ThesaurusWord> words;
    WordTable<bool> seen(256);
    const Lexicon::Ids postings = lexicon.meaningsOf(key);
    for (const uint32_t m : order) {
        addMeaningWords(lexicon, postings.first[m], m, &seen, &words);
    }
    return words;
}

} // namespace

// The common words come first; phrases and words with usage notes go after the plain ones.
std::vector<std::pair<uint32_t, Relation>> thesaurusWords(const Lexicon &lexicon, uint32_t key,
                                                          uint32_t base)
{
    const std::vector<uint32_t> support = meaningSupport(lexicon, key, base);
    const std::vector<ThesaurusWord> words = meaningWords(lexicon, key, support);
    // Sort keys read once per word, not once per comparison.
    struct Keyed
    {
        bool unsupported;
        bool demoted;
        uint32_t commonness;
        const ThesaurusWord *entry;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(words.size());
    for (const ThesaurusWord &entry : words) {
        const uint32_t word = entry.word;
        keyed.push_back(
            {support[entry.meaning] == 0,
             lexicon.hasFlag(word, Lexicon::Phrase) || lexicon.hasFlag(word, Lexicon::Marked),
             lexicon.commonness(lexicon.keyOf(word)), &entry});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        if (a.unsupported != b.unsupported) {
            return b.unsupported;
        }
        return a.demoted != b.demoted ? b.demoted : a.commonness > b.commonness;
    });
    // A meaning that nothing else bears out brings only its best known words.
    std::vector<uint8_t> taken(support.size(), 0);
    std::vector<std::pair<uint32_t, Relation>> result;
    for (const Keyed &k : keyed) {
        if (k.unsupported) {
            uint8_t &count = taken[k.entry->meaning];
            if (count == unsupportedMeaningWords) {
                continue;
            }
            ++count;
        }
        result.emplace_back(k.entry->word, k.entry->relation);
    }
    return result;
}

// Words that share a meaning with the synonyms, the more synonyms share them the closer, then
// the more common.
std::vector<std::pair<uint32_t, Relation>>
neighbours(const Lexicon &lexicon, const std::vector<std::pair<uint32_t, Relation>> &thesaurus,
           Fusion &fusion)
{
    struct Reach
    {
        uint32_t synonyms; // how many reach the word
        uint32_t last;     // the last one that did
    };
    WordTable<Reach> count(256);
    std::vector<uint32_t> reached; // in the order first reached
    std::vector<uint32_t> keysDone;
    for (const auto &[synonym, relation] : thesaurus) {
        const uint32_t key = lexicon.keyOf(synonym);
        if (relation != Relation::Synonym || keysDone.size() >= neighbourSources ||
            std::find(keysDone.begin(), keysDone.end(), key) != keysDone.end()) {
            continue;
        }
        keysDone.push_back(key);
        const uint32_t source = uint32_t(keysDone.size());
        for (const uint32_t posting : lexicon.meaningsOf(key)) {
            for (const uint32_t member : lexicon.membersOf(Lexicon::idOf(posting))) {
                const uint32_t word = Lexicon::idOf(member);
                bool added = false;
                Reach &reach = count.at(word, {0, 0}, &added);
                if (added) {
                    reached.push_back(word);
                }
                if (reach.last != source && fusion.admits(word)) {
                    reach.last = source;
                    ++reach.synonyms;
                }
            }
        }
    }
    struct Ranked
    {
        uint32_t word;
        uint32_t synonyms; // how many reach it
        uint32_t commonness;
    };
    std::vector<Ranked> ranked;
    for (const uint32_t word : reached) {
        const uint32_t synonyms = count.find(word)->synonyms;
        if (synonyms > 0) {
            ranked.push_back({word, synonyms, lexicon.commonness(lexicon.keyOf(word))});
        }
    }
    const size_t kept = std::min(ranked.size(), maxNeighbours);
    sortFirst(&ranked, kept, [](const Ranked &a, const Ranked &b) {
        if (a.synonyms != b.synonyms) {
            return a.synonyms > b.synonyms;
        }
        return a.commonness != b.commonness ? a.commonness > b.commonness : a.word < b.word;
    });
    std::vector<std::pair<uint32_t, Relation>> words;
    for (size_t i = 0; i < kept; ++i) {
        words.emplace_back(ranked[i].word, Relation::Neighbour);
    }
    return words;
}

} // namespace Ranking
