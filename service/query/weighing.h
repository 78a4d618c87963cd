#pragma once

#include "index/lexicon.h"
#include "query/candidate.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Ranking {

// The candidates whose places in their own lists are looked up: the answer, with room for the
// words that follow its first places.
size_t placesLookedAt(size_t count);

// Common words go before rare ones that the lists rank alike; words in many lists go down.
void weighByCommonness(const Lexicon &lexicon, std::vector<Candidate> *candidates);
// Words whose own lists name the keyword late or nowhere go down.
void weighByMutuality(const Lexicon &lexicon, uint32_t base, size_t count,
                      std::vector<Candidate> *candidates);
// Leaves out the keyword in its other grammatical number.
void leaveOutOtherNumber(const Lexicon &lexicon, uint32_t base, std::vector<Candidate> *candidates);
// Leaves out, or sends down, the words that nothing bears out.
void keepBorneOut(const Lexicon &lexicon, uint32_t base, Lexicon::Ids single, bool textsAgree,
                  std::vector<Candidate> *candidates);
// Marks the words whose own definition names the keyword.
void markDefined(const Lexicon &lexicon, uint32_t base, std::vector<Candidate> *candidates);
// Marks the words that only loose texts pair with the keyword.
void markLoose(const Lexicon &lexicon, uint32_t base, std::vector<Candidate> *candidates);

} // namespace Ranking
