#include "query/candidate.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Ranking {

// Where the list names the word, -1 nowhere. Most lists do not name it and are read to their
// end, some hundred of them in every query: where the processor can, sixteen entries are
// compared at a time, and only the block that holds the word is read one by one.
int placeIn(Lexicon::Ids list, uint32_t word)
{
    const uint32_t *from = list.first;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi32(int(word));
    const auto matches = [&](const uint32_t *at) {
        return _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(at)), wanted);
    };
    for (; list.last - from >= 16; from += 16) {
        const __m128i any = _mm_or_si128(_mm_or_si128(matches(from), matches(from + 4)),
                                         _mm_or_si128(matches(from + 8), matches(from + 12)));
        if (_mm_movemask_epi8(any) != 0) {
            break;
        }
    }
#endif
    const uint32_t *at = std::find(from, list.last, word);
    return at == list.last ? -1 : int(at - list.first);
}

// The filter and the weighting both ask where the word's own list names the keyword; the
// list is searched once.
int keywordPlace(const Lexicon &lexicon, uint32_t keyword, Candidate *c)
{
    if (c->keywordAt == notLookedUp) {
        c->keywordAt = placeIn(lexicon.cooccurrentsOf(c->base), keyword);
    }
    return c->keywordAt;
}

} // namespace Ranking
