#pragma once

#include <string_view>
#include <vector>

// Cuts running German text (a dictionary entry, a proverb) into words: grammar notes in braces,
// brackets and angle brackets are skipped, punctuation and typographic marks separate words,
// and what has no letter, is a single letter, holds a digit or is an abbreviation
// ("jdm.", "etw.") is left out.
namespace WordTokens {

void split(std::string_view text, std::vector<std::string_view> *tokens);

// Takes the next line off *rest: up to its line feed, without a carriage return before it.
std::string_view takeLine(std::string_view *rest);

} // namespace WordTokens
