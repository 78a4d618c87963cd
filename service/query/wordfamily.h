#pragma once

#include <cstdint>
#include <string>

class Lexicon;

// The noun and the verb of one stem: "Heirat" and "heiraten", "Traum" and "träumen",
// "Glaube" and "glauben". A keyword's associates come in either; people name both.
namespace WordFamily {

// The base key of the verb of a noun key, or of the noun of a verb key; Lexicon::npos when the
// lexicon has none. The kinds are the index's.
uint32_t partnerOf(const Lexicon &lexicon, uint32_t key, std::string *scratch);

} // namespace WordFamily
