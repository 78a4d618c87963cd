#include "language/lexiconvocabulary.h"

#include "index/lexicon.h"

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

uint8_t LexiconVocabulary::kindsOf(uint32_t base) const
{
    const uint8_t kinds = m_lexicon.kindsOf(base);
    return kinds != 0 ? kinds : uint8_t(OtherKind);
}

} // namespace Language
