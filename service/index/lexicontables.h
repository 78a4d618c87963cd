#pragma once

#include "index/stringpool.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// Everything the association index holds, as the compiler builds it: the arrays that the
// index file stores section by section (see indexformat.h for what each one means).
struct LexiconTables
{
    StringPool words;
    StringPool keys;
    std::vector<uint32_t> wordKey;
    std::vector<uint8_t> wordFlags;
    std::vector<uint32_t> keyWord;
    std::vector<uint32_t> keyBase;
    std::vector<uint32_t> keyCommonness;
    std::vector<uint32_t> meaningBegin{0};
    std::vector<uint32_t> members;
    std::vector<uint32_t> postingBegin{0};
    std::vector<uint32_t> postings;
    std::vector<uint32_t> compoundBegin{0};
    std::vector<uint32_t> compounds;
    std::vector<uint32_t> coocBegin{0};
    std::vector<uint32_t> cooc;
    std::vector<uint32_t> caseReadings;
    std::vector<uint8_t> keyKinds;
    std::vector<uint32_t> compoundCuts;
    std::vector<uint32_t> coocWitnessed;
    std::vector<uint32_t> keySpread;
    std::vector<uint32_t> backlinkBegin{0};
    std::vector<uint32_t> backlinks;
    std::vector<uint8_t> coocLoose; // a bit per word of cooc

    // Marks the word at place i of cooc as one that only loose documents pair with its key.
    void setCoocLoose(size_t i)
    {
        coocLoose.resize(std::max(coocLoose.size(), i / 8 + 1), 0);
        coocLoose[i / 8] |= uint8_t(1u << (i % 8));
    }
};
