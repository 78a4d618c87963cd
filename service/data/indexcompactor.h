#pragma once

#include "data/compoundcutter.h"
#include "data/keyfacts.h"
#include "index/lexicon.h"
#include "index/lexicontables.h"

#include <cstdint>
#include <vector>

// The builder's last stage before the writer: drops the words and keys that no answer can
// reach and numbers the rest anew.
class IndexCompactor
{
public:
    // otherCaseBase: of each key, the base of its words in the other case, or npos.
    IndexCompactor(LexiconTables *tables, const KeyFacts &facts, const CompoundParts &compounds,
                   const std::vector<uint32_t> &otherCaseBase);

    // Replaces the tables with the kept ones, the compound cuts and case readings added.
    void compact();

private:
    static constexpr uint32_t npos = Lexicon::npos;

    void reserveKeptLists();
    void keepKey(uint32_t key);
    void keepCutsAndReadings();

    LexiconTables *m_t;
    const KeyFacts &m_facts;
    const CompoundParts &m_compounds;
    const std::vector<uint32_t> &m_otherCaseBase;
    std::vector<uint32_t> m_newKey;  // of each key, its number in m_kept or npos
    std::vector<uint32_t> m_newWord; // of each word, its number in m_kept or npos
    LexiconTables m_kept;
};
