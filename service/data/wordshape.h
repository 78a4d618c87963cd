#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

// What the builder's stages read off the letters of a word.
namespace WordShape {

// "EUR", "TEUR", "UN": capitals only.
inline bool isAbbreviation(std::string_view word)
{
    return word.size() >= 2 && std::all_of(word.begin(), word.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || c == '-';
           });
}

inline uint32_t characterCount(std::string_view utf8)
{
    uint32_t count = 0;
    for (const char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

} // namespace WordShape
