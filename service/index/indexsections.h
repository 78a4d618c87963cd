#pragma once

#include "index/indexformat.h"

#include <cstddef>
#include <cstdint>

struct LexiconTables;

// Every section of the association index in one table, in file order: the size of its elements,
// how many it must hold, and where the compiler's tables keep them. The writer lays the
// sections out from it and the loader checks them by it, so that a new section is one entry
// here and one in IndexFormat::Section.
namespace IndexSections {

// How many elements a section holds, checked when an index is opened.
enum class Extent : uint8_t
{
    Free,          // any number: texts, and the lists that another section begins
    TextOffsets,   // ascending offsets into the text section before it, one more than strings
    HashSlots,     // a power of two, more than keys
    PerWord,       // one per word
    PerKey,        // one per key
    ListBegins,    // one per key and one more, ascending offsets into the section after it
    MeaningBegins, // one per meaning and one more, ascending offsets into the section after it
    Pairs,         // an even number
    Quadruples,    // a multiple of four
};

struct Elements
{
    const void *data;
    size_t count;
};

struct Section
{
    IndexFormat::Section id;
    size_t elementSize;
    Extent extent;
    Elements (*of)(const LexiconTables &tables);
};

extern const Section sections[IndexFormat::SectionCount];

} // namespace IndexSections
