#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class LexiconBuilder;

// German words that the dictionary translates with the same specific English word ("Braut"
// and "Bräutigam" both gloss "bride") are associated even where no German phrase holds both:
// each such English word becomes one document of the German entries it translates. Such a
// document joins entries of different lines with each other: the words of one line, and so
// those of its entries, already meet in the line's own document.
class EnglishBridge
{
public:
    explicit EnglishBridge(LexiconBuilder *builder) : m_builder(builder) {}

    // One entry of a dictionary line: its German text and the English text that translates it.
    // The English words become the glosses of the entry's single words.
    void addEntry(std::string_view german, std::string_view english);
    // Ends a line: the entries added after it are of another.
    void endLine() { ++m_line; }
    // The documents, for the English words that are specific enough to tell something.
    void addDocuments() const;

private:
    LexiconBuilder *m_builder;
    std::vector<std::vector<std::string_view>> m_entries; // the tokens of each entry
    std::vector<uint32_t> m_lineOf;                       // of each entry
    uint32_t m_line = 0;
    std::unordered_map<std::string, std::vector<uint32_t>> m_entriesOf; // numbers in m_entries
    std::vector<std::string_view> m_tokens;
    std::string m_word;
};
