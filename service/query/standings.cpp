#include "query/standings.h"

#include <cstring>

namespace Ranking {

namespace {

// Orders floats as their bits order unsigned numbers; the scores, sums and products of positive
// weights, are never NaN.
uint32_t orderedBits(float score)
{
    uint32_t bits = 0;
    const float zero = 0.0f;
    std::memcpy(&bits, score == 0.0f ? &zero : &score, sizeof bits); // -0 ranks as 0
    return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

Standing standingOf(const Candidate &c, size_t at)
{
    return {uint64_t(~orderedBits(c.score)) << 32 | c.word, c.score, uint32_t(at)};
}

std::vector<Standing> standings(const std::vector<Candidate> &candidates)
{
    std::vector<Standing> list;
    list.reserve(candidates.size());
    for (size_t i = 0; i < candidates.size(); ++i) {
        list.push_back(standingOf(candidates[i], i));
    }
    return list;
}

struct StandsBefore
{
    bool operator()(const Standing &a, const Standing &b) const { return a.rank < b.rank; }
};

} // namespace

// The best `count` candidates, best first, in one pass: where few are wanted of many, most are
// turned away by their score alone, set against the last one kept so far.
std::vector<Standing> bestFew(const std::vector<Candidate> &candidates, size_t count)
{
    std::vector<Standing> best;
    if (count == 0) {
        return best;
    }
    best.reserve(count + 1);
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (best.size() == count && candidates[i].score < best.back().score) {
            continue;
        }
        const Standing standing = standingOf(candidates[i], i);
        best.insert(std::upper_bound(best.begin(), best.end(), standing, StandsBefore()), standing);
        if (best.size() > count) {
            best.pop_back();
        }
    }
    return best;
}

// The best `count` candidates first, in no order, then the rest.
std::vector<Standing> bestOf(const std::vector<Candidate> &candidates, size_t count)
{
    std::vector<Standing> list = standings(candidates);
    if (count < list.size()) {
        std::nth_element(list.begin(), list.begin() + std::ptrdiff_t(count), list.end(),
                         StandsBefore());
    }
    return list;
}

// The best `count` candidates first, best first, then the rest in no order.
std::vector<Standing> bestFirst(const std::vector<Candidate> &candidates, size_t count)
{
    std::vector<Standing> list = standings(candidates);
    sortFirst(&list, count, StandsBefore());
    return list;
}

} // namespace Ranking
