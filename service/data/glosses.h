#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// The English words that the dictionary translates each base form with, as the compound
// cutter asks them whether a cut keeps the meaning of the whole.
class Glosses
{
public:
    // glosses: key and English word, by the number english gives it; keyBase: of each key.
    // Both english and keyBase must outlive the object.
    Glosses(std::vector<std::pair<uint32_t, uint32_t>> glosses,
            const std::unordered_map<std::string, uint32_t> &english,
            const std::vector<uint32_t> &keyBase);

    // How far a part's English word may stand in one of the whole's to count as its meaning.
    enum class Match
    {
        Same,
        AsWord,
        InsideWord
    };

    bool refutedByGlosses(uint32_t whole, uint32_t part, Match match) const;
    bool isSharedLoanword(uint32_t whole, std::string_view key, size_t at, uint32_t head) const;

private:
    using GlossIt = std::vector<std::pair<uint32_t, uint32_t>>::const_iterator;
    std::pair<GlossIt, GlossIt> glossesOf(uint32_t key) const;

    std::vector<std::pair<uint32_t, uint32_t>> m_glosses; // base key, English word
    std::vector<std::string_view> m_englishText;          // of each English word
    const std::vector<uint32_t> &m_keyBase;
};
