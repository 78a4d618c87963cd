#pragma once

#include "data/builddocuments.h"

#include <cstdint>
#include <vector>

struct LexiconTables;

// What the sources say of a key.
enum KeyFlag : uint8_t
{
    Head = 1,        // a dictionary headword
    StopKey = 2,     // a function word
    Listed = 4,      // in the word list
    LightVerb = 8,   // says little by itself (sein, haben, machen, ...)
    Thesaurus = 16,  // a thesaurus word
    LowerHead = 32,  // a headword in small letters: an adjective, verb or adverb
    LowerForm = 64,  // written in small letters somewhere
    UpperHead = 128, // a headword with a capital letter: a noun
    Known = Head | Listed | Thesaurus,
};

// What the sources say of each key, found once every reader is done: the stages after it read
// these instead of going back to the sources.
struct KeyFacts
{
    // What the readers collected beside the tables.
    struct Sources
    {
        const std::vector<uint32_t> &stopKeys;
        const std::vector<uint32_t> &headKeys;
        const std::vector<uint8_t> &headKinds; // of headKeys: their kinds as the dictionary states
        const BuildDocuments &documents;
    };

    // The tables' words must have their keys and each key the word shown for it.
    static KeyFacts find(const LexiconTables &tables, const Sources &sources);

    // The kinds a key is stored with: those of its headwords, or else those that the case of the
    // word shown for it tells, so that no reader of the index looks at the letters again.
    uint8_t storedKinds(uint32_t key) const;

    std::vector<uint8_t> flags;  // of each key, a set of KeyFlag
    std::vector<uint8_t> kinds;  // of each key: the kinds it is stored with
    std::vector<bool> upperForm; // of each key: written with a capital somewhere
    // Of each key: whether it is a noun by its kinds; of a key of a noun and another kind
    // ("essen"), whether its shown word is the noun. The stages after this one ask this, never
    // the letters, where they need to know whether a key is a noun.
    std::vector<bool> noun;
    std::vector<uint32_t> uses; // of each key: how often the documents use it
    bool dictionary = false;    // whether there are headwords at all

private:
    void flagKeys(const LexiconTables &t, const Sources &sources);
    void findUpperForms(const LexiconTables &t, const BuildDocuments &documents);
    void findKinds(const LexiconTables &t);
};
