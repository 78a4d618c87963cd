#pragma once

#include <cstddef>
#include <cstdint>

// The weights and bounds by which the lists of a keyword are fused and its candidates weighed,
// each with the reason for its value.
namespace Ranking {

// Reciprocal rank fusion: a word at rank r of a list gains weight / (k + r).
constexpr float fusionK = 60.0f;
constexpr float thesaurusWeight = 0.4f;
constexpr float cooccurrenceWeight = 1.0f;
// The words whose own cooccurrents name the keyword among their first. Where the keyword's texts
// name the word too, these are the same texts seen from the other side: the word gains from them
// no more than its place in the keyword's list earns, unless its own definition names the keyword.
// A rare word that a few texts pair with the keyword names it first merely for knowing little
// else ("angeschwemmt" of "Strand"). On the development lists, 7 labelled junk words and 18 good
// ones left the first ten, 2 junk and 28 good came in; of the first fifty, 18 junk and 8 good
// left, 17 junk and 8 good came. With definitions held to it as well, 26 good words left the
// first fifty, 18 of them words whose definitions name the keyword ("Huf" of "Pferd").
constexpr float backlinkWeight = 1.0f;
// The cooccurrents that a single document brings.
constexpr float singleDocumentWeight = 0.3f;
// A word the keyword's texts name, that does not name the keyword, keeps this share.
constexpr float oneWayShare = 0.5f;
// A word that only the keyword's texts bring, from either side, has one kind of evidence: the
// same documents seen twice. What it keeps above oneWayShare halves when it names the keyword
// this many places down its own list: a word that goes with the keyword names it among its
// first, as a word that the keyword's examples merely mention does not.
constexpr float textsOnlyHalfway = 8.0f;
// The length of a full list of cooccurrents, as the index keeps them: the keyword at its end is
// as good as not named.
constexpr float fullList = 200.0f;
// A word that nothing bears out, where the data knows too little to leave it out, keeps this.
constexpr float unsupportedShare = 0.01f;
// The spread (lists of cooccurrents a word stands in) at which a word's score is divided by the
// square root of two; a word in every list of the data keeps a tenth or so. With the class
// nouns of definitions and the repeated examples of one line out of the lists, other common
// words take their places: a stronger discount keeps them out.
constexpr float spreadScale = 900.0f;
constexpr float compoundWeight = 0.3f;
constexpr float neighbourWeight = 0.3f;
// The words that share phrases with the keyword's closest associates. These are texts again,
// at one remove, and a word that goes with everything stands in all of them: they weigh less
// than the keyword's own neighbours and compounds.
constexpr float secondOrderWeight = 0.2f;
constexpr size_t secondOrderSources = 4;
constexpr float headWeight = 0.2f;
// The first associates whose verb or noun joins them, with this share of their score.
constexpr size_t familySources = 40;
constexpr float familyShare = 0.5f;
// Multi-word phrases read badly as keywords: at most this many among the first places.
constexpr int phrasesAtTop = 2;
constexpr size_t topPlaces = 30;
// The places before which a word that one document may bring does not stand.
constexpr size_t namedBackFrom = 50;
// A word that only loose texts pair with the keyword, its own and its associates', keeps a place
// among the first ones that its score earns: there stand the words that many such texts pair
// ("Feuerwehr" of "Polizei"). Further down, such words are mostly those that go with anything
// ("Mensch", "leben"), and follow the first fifty places. Measured on the development lists and
// everyday keywords: left anywhere, the words that go with anything took 1.3% of the top 50;
// moved behind from any place, 1.1%, and nine good words left the first ten; from the 21st, 0.9%.
constexpr size_t looseFirstPlaces = 20;
// A word that only texts bring follows the first fifty places where its own list names the keyword
// nowhere, or where neither side ranks the other among its first: these places of the keyword's
// texts, the first few of the word's own. A word that goes with the keyword stands high on at
// least one side. Of such words in the labelled development lists, 76 were junk and 13 good. With
// the first kind left in, words that go with anything took the places of the others: 1.3% of
// everyday keywords' top 50 against 0.9%.
constexpr size_t keywordFirstPlaces = 60;
constexpr int wordFirstPlaces = 5;
// It follows them too where the two sides, taken together, rank each other below the first
// twenty: where the product of its two places (from 1) passes the square of this one. Middling
// places on both sides say as little as a late one on one side: each word goes with many others
// before the other. On the development lists, at the middle of the first fifty (25) 63 labelled
// junk words and 15 good ones left the first fifty places; at 20, 10 junk and 1 good more left
// with those that took their places; at 15 junk came into the first ten.
constexpr float sharedPlace = 20.0f;
// A word that only the keyword's own texts bring, seconded by no other kind of evidence, not even
// the texts of its associates or its own definition, needs the two sides closer: the square of
// this one. On the development lists, at 15, 29 labelled junk words and 18 good ones left the first
// fifty; 13 junk and 13 good came in with those that took their places. Once the words that their
// definitions tie to the keyword were no longer among these (of the first fifty's words that texts
// alone bring, 10% of those were junk, 31% of the rest), at 12 46 junk, 11 good and 51 weak words
// more left, and 28 junk, 19 good and 37 weak came in.
constexpr float textsOnlyPlace = 12.0f;
constexpr size_t maxNeighbours = 200;
// The synonyms whose meanings give neighbours, the most common first.
constexpr size_t neighbourSources = 12;
// The words that a meaning brings when the keyword's texts do not bear it out.
constexpr uint8_t unsupportedMeaningWords = 2;
// Shares of a meaning's members are counted in thousandths; a meaning that the texts bear out
// less than a third as well as the best one counts as unsupported.
constexpr uint32_t supportScale = 1000;
constexpr uint32_t weakSenseRatio = 3;

} // namespace Ranking
