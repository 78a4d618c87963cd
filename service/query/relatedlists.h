#pragma once

#include "index/lexicon.h"
#include "query/associator.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace Ranking {

class Fusion;

// The key's cooccurrents that more than one document brings.
Lexicon::Ids witnessedCooccurrents(const Lexicon &lexicon, uint32_t key);
// The texts of the keyword's closest associates, as lists of hints.
void addSecondOrder(const Lexicon &lexicon,
                    const std::vector<std::pair<uint32_t, Relation>> &thesaurus, uint32_t base,
                    Fusion *fusion);
// The heads of the keyword's compounds that may enter the answer.
std::vector<uint32_t> compoundHeads(const Lexicon &lexicon, uint32_t base, Fusion *fusion);
// The verb of a noun among the first associates, and the noun of a verb.
void addWordFamilies(const Lexicon &lexicon, Fusion *fusion);

} // namespace Ranking
