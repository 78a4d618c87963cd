#pragma once

#include "index/lexicon.h"
#include "query/associator.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace Ranking {

class Fusion;

// The words of the keyword's meanings, the best borne out meanings' first, each with what it is
// to the keyword.
std::vector<std::pair<uint32_t, Relation>> thesaurusWords(const Lexicon &lexicon, uint32_t key,
                                                          uint32_t base);
// Words that share a meaning with the synonyms among `thesaurus`.
std::vector<std::pair<uint32_t, Relation>>
neighbours(const Lexicon &lexicon, const std::vector<std::pair<uint32_t, Relation>> &thesaurus,
           Fusion &fusion);

} // namespace Ranking
