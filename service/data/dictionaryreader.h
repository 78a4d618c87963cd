#pragma once

#include <QByteArray>

#include <string_view>
#include <unordered_set>
#include <vector>

class LexiconBuilder;

// Reads the German side of a German-English dictionary in the format of trans-de-en: lines
// "German :: English", the German side entries separated by " | ", alternatives by "; ", each
// word followed by its grammar in braces ("Haus {n} | Häuser {pl} | ein Haus bauen").
// A line gives the builder its headwords (base forms), the forms that follow them (plurals
// paired with their singulars; a verb's or adjective's forms right after it: "laufend |
// gelaufen | er/sie läuft", "schöner | am schönsten"), and all its words as one document. German
// entries that share a specific English gloss make documents too (see EnglishBridge).
namespace DictionaryReader {

void read(const QByteArray &data, LexiconBuilder *builder);

// Notes in parentheses that so many lines repeat word for word that they label a kind of line
// ("botanische Gattung", "von etw.") rather than say anything of its words.
using Labels = std::unordered_set<std::string_view>;

// The notes that at least labelLines lines of the dictionary text hold.
Labels findLabels(std::string_view data);

// The words of German text in that format, without the alternatives that are labelled as an
// old or rare use and without labels; with notes, the words of the notes of subject go there
// rather than into tokens.
void documentWords(std::string_view german, std::vector<std::string_view> *tokens,
                   std::vector<std::string_view> *notes = nullptr, const Labels *labels = nullptr);

} // namespace DictionaryReader
