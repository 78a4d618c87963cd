#pragma once

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

class AssociationCache;
class Lexicon;

// How an associated word relates to the keyword.
enum class Relation : uint8_t
{
    Synonym,      // shares a meaning with it
    Broader,      // a broader term of one of its meanings
    Narrower,     // a narrower term of one of its meanings
    Compound,     // a word-list entry that begins or ends with it
    Neighbour,    // shares a meaning with one of its synonyms, or is the verb or noun of a close
                  // associate
    Cooccurrence, // shares dictionary phrases or proverbs with it
};

std::string_view relationName(Relation relation);

struct Association
{
    uint32_t word; // number in the Lexicon
    Relation relation;
    float score; // 0 to 1, higher is closer; never rises along a result
};

// Computes the words associated with a keyword, best first. An inflected keyword is answered
// as its base form. Four lists are fused by weighted reciprocal rank: the thesaurus words
// (synonyms, broader and narrower terms, the common ones first), the words that share
// dictionary phrases and proverbs with it, its compounds, and the neighbours of its synonyms;
// the verb of a noun among the first associates, and the noun of a verb, join them; so do the
// words whose own cooccurrents name the keyword. A word that stands beside almost everything, or
// that does not name the keyword among its own cooccurrents, goes down; one that only a single
// text, a neighbour or the texts of other associates bring needs a second such voice, and one
// that only sayings, gatherings and definitions of other words bring follows the first places.
// Each word once; never the keyword or one of its forms (its diminutives among them), a
// function word or anything that cannot be shown.
class Associator
{
public:
    static constexpr int maxCount = 200;

    explicit Associator(const Lexicon *lexicon) : m_lexicon(lexicon) {}

    // count is clamped to 1..maxCount. Case and surrounding blanks of keyword do not matter.
    std::vector<Association> associate(const QString &keyword, int count) const;
    // Answers found in the cache are not computed again; new ones are put into it.
    void setCache(AssociationCache *cache) { m_cache = cache; }

    // The key the keyword is answered as: its base form, as the lemmatiser reads the keyword
    // (with its capital, where that tells a noun); npos when the keyword is not known at all.
    uint32_t baseKeyOf(const QString &keyword) const;

private:
    std::vector<Association> compute(const QString &keyword, int count) const;

    const Lexicon *m_lexicon;
    AssociationCache *m_cache = nullptr;
};
