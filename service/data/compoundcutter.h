#pragma once

#include "data/keyfacts.h"
#include "index/lexicontables.h"

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

class Glosses;

// The parts of each key that is a compound: its first part's base and its head, or npos.
struct CompoundParts
{
    std::vector<std::pair<uint32_t, uint32_t>> cut;
    // Of cut, the parts that the whole's meaning keeps: "Sommersprosse" (a freckle) is cut into
    // "Sommer" and "Sprosse", and means neither.
    std::vector<std::pair<uint32_t, uint32_t>> meant;
    // Of cut, the linking element between the parts: 1 + its place in
    // Inflection::linkingElements, or 0 for none ("Urlaub|s|tag", "Haus|halt").
    std::vector<uint8_t> linking;
};

// The builder's compound stage: cuts each word, once, into a first part (alone or before a
// linking element) and a head, both words of their own, where the cut keeps to the meaning
// that the dictionary's translations give.
class CompoundCutter
{
public:
    CompoundCutter(const LexiconTables &tables, const KeyFacts &facts, const Glosses &glosses);

    CompoundParts cut();
    // The base form of each word-list entry, each once: the words whose compounds are listed.
    std::vector<uint32_t> listedBaseWords() const;

private:
    uint32_t keyOfText(std::string_view key) const { return m_t->keys.find(key); }
    void splitCompounds();
    void findMeantParts();
    bool hasInseparablePrefix(uint32_t word) const;
    // *firstLength: the bytes of the first part without its linking element.
    bool compoundSplit(uint32_t word, size_t at, uint32_t *firstBase, uint32_t *head,
                       size_t *firstLength) const;
    uint8_t real() const;
    uint32_t minUses() const;
    bool isHead(uint32_t word, std::string_view headText, uint32_t headKey) const;
    uint32_t usablePart(uint32_t word, std::string_view part, bool linked,
                        uint32_t headLength) const;
    uint32_t firstPart(uint32_t word, std::string_view first, uint32_t headLength,
                       size_t *stemLength) const;
    bool keepsMeaning(uint32_t word, size_t at, uint32_t firstKey, uint32_t headKey) const;

    const LexiconTables *m_t;
    const KeyFacts &m_facts;
    const Glosses &m_glosses;
    std::vector<std::pair<uint32_t, uint32_t>> m_parts;      // first part's base and head, or npos
    std::vector<std::pair<uint32_t, uint32_t>> m_meantParts; // of m_parts, those the meaning keeps
    std::vector<uint8_t> m_linking; // of m_parts, as CompoundParts::linking
};
