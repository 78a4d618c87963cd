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
    // A bit per word of cooc: set where only loose documents pair it with its key.
    std::vector<uint8_t> coocLoose;
    // A bit per word of cooc: set where the word's definition names its key.
    std::vector<uint8_t> coocDefining;

    static void setBit(std::vector<uint8_t> *bits, size_t i)
    {
        bits->resize(std::max(bits->size(), i / 8 + 1), 0);
        (*bits)[i / 8] |= uint8_t(1u << (i % 8));
    }
    static bool bitAt(const std::vector<uint8_t> &bits, size_t i)
    {
        return i / 8 < bits.size() && (bits[i / 8] >> (i % 8) & 1u) != 0;
    }
};
