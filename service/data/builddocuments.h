#pragma once

#include <cstdint>
#include <vector>

// The documents as the readers hand them to the builder: the keys of their tokens in text order,
// each with whether the token began with a capital, and of each document where it begins, its
// weight and whether it is a definition.
struct BuildDocuments
{
    std::vector<uint32_t> keys;
    std::vector<bool> capitalised; // of each of keys
    std::vector<uint32_t> begin{0};
    std::vector<uint8_t> weight;
    std::vector<bool> isDefinition; // as far as a definition has been added
    std::vector<bool> isSaying;     // as far as a saying has been added
    std::vector<bool> isGathering;  // as far as a gathering has been added
    // Of each document as far as a part of a longer text has been added: the first document of
    // its text (its own number for a text of one document).
    std::vector<uint32_t> text;
    // Of each of keys once counted: the compound whose part alone brought the key into the
    // document, or UINT32_MAX where the document names the key itself.
    std::vector<uint32_t> partOf;
    // Of each of keys as far as a gathering has been added: the entries of other texts that
    // brought the key into a document gathering entries of several texts (those that one English
    // word translates), a bit each by their order in the document (the 32nd and later share the
    // last bit), or 0 where no such entry did.
    std::vector<uint32_t> source;
    // Of each definition once counted: the token of the noun that names the class of the thing
    // defined ("Gebäude" of "Gebäude eines Flughafens"), or UINT32_MAX where none stands.
    std::vector<uint32_t> genus;

    uint32_t count() const { return uint32_t(begin.size() - 1); }
    uint32_t textOf(uint32_t doc) const { return doc < text.size() ? text[doc] : doc; }
    bool isDefinitionAt(uint32_t doc) const
    {
        return doc < isDefinition.size() && isDefinition[doc];
    }
    bool isSayingAt(uint32_t doc) const { return doc < isSaying.size() && isSaying[doc]; }
    bool isGatheringAt(uint32_t doc) const { return doc < isGathering.size() && isGathering[doc]; }
};
