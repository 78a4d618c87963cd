#pragma once

#include "index/lexicon.h"
#include "language/lemmatiser.h"
#include "language/lexiconvocabulary.h"
#include "language/writtencase.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace Ranking {

// What may stand in an answer for one keyword: not the keyword in any of its forms, not a
// function word, nothing that cannot be shown.
class Admission
{
public:
    Admission(const Lexicon &lexicon, uint32_t typedKey, uint32_t baseKey)
        : m_lexicon(lexicon), m_typedKey(typedKey), m_baseKey(baseKey),
          m_typed(lexicon.key(typedKey)), m_base(lexicon.key(baseKey)), m_vocabulary(lexicon),
          m_lemmatiser(m_vocabulary)
    {}

    bool admits(uint32_t word) const
    {
        if (!m_lexicon.hasFlag(word, Lexicon::Displayable) ||
            m_lexicon.hasFlag(word, Lexicon::Stop)) {
            return false;
        }
        const uint32_t key = m_lexicon.keyOf(word);
        if (key == m_typedKey || key == m_baseKey || m_lexicon.baseOf(key) == m_baseKey) {
            return false;
        }
        const std::string_view text = m_lexicon.key(key);
        // Most keywords are typed in their base form: one reading of the forms does for both.
        return !isOwnForm(text, m_base) && (m_typedKey == m_baseKey || !isOwnForm(text, m_typed)) &&
               !isOwnSpelling(text) && !isShownAsOwnForm(word, key, text);
    }

private:
    // A word shown as the keyword's form though its key is another's: "Eiern" of "Ei", where
    // "eiern" (to wobble) is a verb. Such a form begins as the keyword does (umlauts come later).
    bool isShownAsOwnForm(uint32_t word, uint32_t key, std::string_view text) const
    {
        if (text.empty() || m_base.empty() || text[0] != m_base[0]) {
            return false;
        }
        return m_lemmatiser.entryOfWritten(
                   key, Language::writtenWithCapital(m_lexicon.word(word))) == m_baseKey;
    }

    // "Hoch-Zeit" is "Hochzeit" written with a hyphen, not a word that goes with it.
    bool isOwnSpelling(std::string_view word) const
    {
        if (word.find('-') == std::string_view::npos) {
            return false;
        }
        m_scratch.clear();
        for (const char c : word) {
            if (c != '-') {
                m_scratch.push_back(c);
            }
        }
        return m_scratch == m_base || m_scratch == m_typed;
    }

    // "schnelle" of "schnell", and the keyword's diminutives: "Sternchen" of "Stern".
    bool isOwnForm(std::string_view word, std::string_view keyword) const
    {
        return m_lemmatiser.isFormOf(word, keyword);
    }

    const Lexicon &m_lexicon;
    uint32_t m_typedKey;
    uint32_t m_baseKey;
    std::string_view m_typed;
    std::string_view m_base;
    Language::LexiconVocabulary m_vocabulary;
    Language::Lemmatiser m_lemmatiser;
    mutable std::string m_scratch;
};

} // namespace Ranking
