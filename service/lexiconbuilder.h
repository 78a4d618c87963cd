#pragma once

#include "lexicon.h"

#include <string>
#include <string_view>
#include <vector>

// Collects words and meanings as the readers find them and turns them into the lookup tables of
// a Lexicon.
class LexiconBuilder
{
public:
    explicit LexiconBuilder(Lexicon *target, size_t expectedBytes, size_t expectedWords);

    // The number of the word with this text. A new word gets the lookup key of keySource, which
    // differs from text only where the text carries marks that lookups ignore.
    uint32_t addWord(std::string_view text, std::string_view keySource);
    uint32_t addWord(std::string_view text) { return addWord(text, text); }
    void addToWordList(uint32_t word) { m_target->m_wordFlags[word] |= Lexicon::InWordList; }
    // members: packed word numbers with roles (Lexicon::pack).
    void addMeaning(const std::vector<uint32_t> &members);

    void finish();

private:
    void buildPostings();
    void markInflectedForms();
    bool isInflected(std::string_view word, std::string *scratch) const;
    bool isInWordList(std::string_view text) const;
    void sortWordList();
    void rankCompounds();

    Lexicon *m_target;
};
