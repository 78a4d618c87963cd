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

    uint32_t count() const { return uint32_t(begin.size() - 1); }
    bool isDefinitionAt(uint32_t doc) const
    {
        return doc < isDefinition.size() && isDefinition[doc];
    }
};
