#include "language/lexiconvocabulary.h"

#include "lexicon.h"
#include "termtext.h"

namespace Language {

uint32_t LexiconVocabulary::find(std::string_view key) const
{
    return m_lexicon.findKey(key);
}

std::string_view LexiconVocabulary::key(uint32_t key) const
{
    return m_lexicon.key(key);
}

uint32_t LexiconVocabulary::baseOf(uint32_t key) const
{
    return m_lexicon.baseOf(key);
}

uint32_t LexiconVocabulary::otherReadingOf(uint32_t key) const
{
    return m_lexicon.otherCaseBaseOf(key);
}

// The index writes each base entry as the dictionary's headword, a noun with its capital; it
// keeps no kinds beside that, and does not tell a verb from an adjective.
uint8_t LexiconVocabulary::kindsOf(uint32_t base) const
{
    const uint32_t word = m_lexicon.wordOfKey(base);
    if (word == Lexicon::npos) {
        return OtherKind;
    }
    return TermText::startsUpper(m_lexicon.word(word)) ? uint8_t(Noun) : uint8_t(Verb | Adjective);
}

} // namespace Language
