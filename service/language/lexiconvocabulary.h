#pragma once

#include "language/lemmatiser.h"

class Lexicon;

namespace Language {

// The words of a compiled index as the lemmatiser sees them.
class LexiconVocabulary : public Vocabulary
{
public:
    explicit LexiconVocabulary(const Lexicon &lexicon) : m_lexicon(lexicon) {}

    uint32_t find(std::string_view key) const override;
    std::string_view key(uint32_t key) const override;
    uint32_t baseOf(uint32_t key) const override;
    uint32_t otherReadingOf(uint32_t key) const override;
    uint8_t kindsOf(uint32_t base) const override;

private:
    const Lexicon &m_lexicon;
};

} // namespace Language
