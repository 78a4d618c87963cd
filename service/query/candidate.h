#pragma once

#include "index/lexicon.h"
#include "query/associator.h"
#include "query/rankingweights.h"

#include <cstdint>

namespace Ranking {

// What a list's word says by itself. A word that only hints stands in the answer only when
// another list names it too: one document, or the texts of the keyword's associates, or a
// synonym's other meanings, are no proof that it goes with the keyword.
enum class Evidence : uint8_t
{
    Witness, // the thesaurus, the compounds, texts that more than one document brings
    Hint,
};

constexpr int notLookedUp = -2;

// Whether a list comes from the keyword's own texts, those of its associates, or another kind of
// evidence that can agree with them.
enum class Kind : uint8_t
{
    Texts,
    AssociatesTexts,
    // The heads of the keyword's compounds: the keyword makes words with them, which seconds what
    // its texts say of them, but backs no pair that the texts rank high on one side only.
    CompoundHeads,
    Other,
};

// How loosely the texts that bring a word pair it with the keyword: sayings, gatherings and
// definitions of other words pair all their words alike, not these two by choice.
enum class Looseness : uint8_t
{
    No,              // some other document pairs them, or the thesaurus or a compound links them
    OwnTexts,        // nothing but such texts of the keyword bring it
    AssociatesTexts, // and the texts of its associates
};

// The numbers first and the marks after them: a query copies a few thousand of these.
struct Candidate
{
    uint32_t word;
    float score = 0.0f;
    uint32_t list = 0;                   // the last list that scored it
    uint32_t base;                       // its base form's key
    int keywordAt = notLookedUp;         // where its own texts' list names the keyword, -1 nowhere
    uint32_t place = uint32_t(fullList); // in the keyword's texts' list, if it is there
    Relation relation;                   // from the first list that has the word
    bool witnessed = false;
    bool linked = false; // by the thesaurus or a compound, which go both ways
    uint8_t hints = 0;
    bool namedBack = false; // hinted at once, and its own texts name the keyword
    bool seconded = false;  // by a list that is not of the keyword's own texts
    bool backed = false;    // by a list that is not of texts
    Looseness loose = Looseness::No;
    bool texts = false;   // named by the keyword's texts or its associates'
    bool defined = false; // by its own definition, which names the keyword
};

// Where the list names the word, -1 nowhere.
int placeIn(Lexicon::Ids list, uint32_t word);
// Where the candidate's own texts' list names the keyword, -1 nowhere; looked up once.
int keywordPlace(const Lexicon &lexicon, uint32_t keyword, Candidate *c);

inline bool isBorneOut(const Candidate &c)
{
    return c.witnessed || c.hints >= 2;
}

} // namespace Ranking
