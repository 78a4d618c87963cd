#pragma once

#include "index/lexicon.h"
#include "query/associator.h"
#include "query/candidate.h"

#include <cstddef>
#include <vector>

namespace Ranking {

// The answer: the weighed candidates in order, those that nothing but weak evidence brings
// behind the first places, at most a few phrases among the first, and scores that fall along it.
std::vector<Association> finalOrder(const Lexicon &lexicon,
                                    const std::vector<Candidate> &candidates, size_t count);

} // namespace Ranking
