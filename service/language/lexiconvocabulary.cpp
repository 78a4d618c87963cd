#include "language/lexiconvocabulary.h"

#include "index/lexicon.h"
#include "language/termtext.h"

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

// The kinds the dictionary states. A word it does not define (from the thesaurus or the word
// list alone) is a noun if it is written with a capital: the one place where the query reads
// the kind from the case of a word.
uint8_t LexiconVocabulary::kindsOf(uint32_t base) const
{
    const uint8_t stated = m_lexicon.kindsOf(base);
    if (stated != 0) {
        return stated;
    }
    const uint32_t word = m_lexicon.wordOfKey(base);
    if (word == Lexicon::npos) {
        return OtherKind;
    }
    return TermText::startsUpper(m_lexicon.word(word)) ? uint8_t(Noun) : uint8_t(Verb | Adjective);
}

} // namespace Language
