#pragma once

#include <cstddef>
#include <cstdint>

// The layout of the association index file: a header, a table of sections, then the sections,
// each 8-byte aligned. Numbers are stored in the byte order of the machine that compiled the
// index; the header's byte-order mark rejects a file from another kind of machine.
namespace IndexFormat {

// Raised whenever the meaning or layout of any section changes.
constexpr uint32_t version = 8;
constexpr char magic[8] = {'L', 'X', 'G', 'A', 'S', 'S', 'O', 'C'};
constexpr uint32_t byteOrderMark = 0x01020304u;
constexpr const char *fileName = "lexigrove-assoc.idx";

// What each section holds; IndexSections describes their sizes and sources.
enum Section : uint32_t
{
    WordText,      // char: all word texts
    WordOffsets,   // u32: words + 1
    KeyText,       // char: all lookup keys
    KeyOffsets,    // u32: keys + 1
    KeySlots,      // StringTable::Slot: hash index of the keys
    WordKey,       // u32 per word
    WordFlags,     // u8 per word
    KeyWord,       // u32 per key: the word shown for it
    KeyBase,       // u32 per key: the key of its base form
    KeyCommonness, // u32 per key: how many dictionary entries and proverbs use it
    MeaningBegin,  // u32: meanings + 1
    Members,       // u32: packed word, main-form mark and role
    PostingBegin,  // u32: keys + 1
    Postings,      // u32: packed meaning, main-form mark and role
    CompoundBegin, // u32: keys + 1
    Compounds,     // u32: words, the most common first
    CoocBegin,     // u32: keys + 1
    Cooc,          // u32: words, the most telling first
    CaseReadings,  // u32 pairs, by key: a key, and the base of its words in the other case
    KeyKinds,      // u8 per key: its kinds (Language::Kind), stated or told by its word's case
    CompoundCuts,  // u32 quadruples, by key: a compound's key, its modifier's base, its linking
                   // element (1 + its place in Inflection::linkingElements, or 0), its head's base
    CoocWitnessed, // u32 per key: how many of its first Cooc words more than one document brings
    KeySpread,     // u32 per key: in how many keys' Cooc lists it stands
    BacklinkBegin, // u32: keys + 1
    Backlinks,     // u32: words whose Cooc lists name the key among their first, nearest first
    CoocLoose,     // u8: a bit per Cooc word, set where only loose documents pair it with the key
    CoocDefining,  // u8: a bit per Cooc word, set where the word's definition names the key
    SectionCount
};

struct Header
{
    char magic[8];
    uint32_t version;
    uint32_t byteOrderMark;
    uint64_t fileSize;
    uint64_t checksum; // of every byte after the header
    uint32_t sectionCount;
    uint32_t reserved;
};

struct SectionEntry
{
    uint64_t offset;
    uint64_t count; // elements, not bytes
};

// A 64-bit checksum in the manner of FNV-1a over 8-byte words, in four independent lanes so
// that a processor can work on them side by side: a file of tens of megabytes is checked at
// every start. Data may come in pieces whose sizes are multiples of 32, the last one excepted.
class Checksum
{
public:
    void add(const char *data, size_t size);
    uint64_t value() const;

private:
    uint64_t m_lanes[4] = {14695981039346656037ull, 1099511628211ull, 0x9E3779B97F4A7C15ull,
                           0xC2B2AE3D27D4EB4Full};
};

uint64_t checksum(const char *data, size_t size);

} // namespace IndexFormat
