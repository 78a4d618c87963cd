#pragma once

#include <cstdint>
#include <string_view>

// The capital letter, read in this one place. German writes nouns with a capital, so a word's
// first letter tells its kind where nothing else does: between the entries of one spelling
// ("Essen", "essen"; "Grenzen", "grenzen"), or for a word of the data that no dictionary gives
// a kind. Wherever the kinds of an entry are known, they decide, not the letters.
namespace Language {

// Whether a word as written (in a text, in the data, or as typed) begins with a capital.
bool writtenWithCapital(std::string_view written);

// The kinds (a set of Kind) that a word as written tells by itself, where nothing states them:
// a noun with a capital; a verb or adjective in small letters.
uint8_t kindsOfWritten(std::string_view written);

// Whether a word of an entry of these kinds (a set of Kind; 0 where nothing states them), as
// written, is the noun: an entry that is a noun only is one however it is written, an entry of
// no noun is none; between a noun and another kind the case chooses ("Essen", "essen").
bool readsAsNoun(std::string_view written, uint8_t kinds);

} // namespace Language
