#pragma once

#include "query/candidate.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Ranking {

// Puts the first `count` elements in order, the rest after them in none: selecting them first
// is quicker than a partial sort when the list is long.
template <class T, class Less> void sortFirst(std::vector<T> *list, size_t count, Less less)
{
    const auto end = list->begin() + std::ptrdiff_t(count);
    if (count < list->size()) {
        std::nth_element(list->begin(), end, list->end(), less);
    }
    std::sort(list->begin(), end, less);
}

// A candidate's standing, small enough to move about cheaply: ordering the candidates themselves
// moved more bytes than it compared.
struct Standing
{
    // Higher scores first, equal ones by word number, so that an answer is the same every time:
    // both in one number, lower first, which compares at once.
    uint64_t rank;
    float score;
    uint32_t at; // in the candidates

    uint32_t word() const { return uint32_t(rank); }
};

// The best `count` candidates, best first.
std::vector<Standing> bestFew(const std::vector<Candidate> &candidates, size_t count);
// The best `count` candidates first, in no order, then the rest.
std::vector<Standing> bestOf(const std::vector<Candidate> &candidates, size_t count);
// The best `count` candidates first, best first, then the rest in no order.
std::vector<Standing> bestFirst(const std::vector<Candidate> &candidates, size_t count);

} // namespace Ranking
