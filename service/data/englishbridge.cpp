#include "englishbridge.h"

#include "lexiconbuilder.h"
#include "wordtokens.h"

#include <algorithm>

namespace {

// An English word that glosses more entries than this is a function word or too general
// ("to", "make", "house") to tie its German words together; one that glosses a single entry ties
// nothing.
constexpr size_t maxEntriesOfWord = 25;
constexpr size_t minWordLength = 3;

// The English words of a gloss in lower case, notes in brackets and braces left out.
template <class F> void forEachEnglishWord(std::string_view text, std::string *word, F f)
{
    int depth = 0;
    word->clear();
    for (size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (depth == 0 && letter) {
            word->push_back(char(c | 0x20));
            continue;
        }
        if (word->size() >= minWordLength) {
            f(*word);
        }
        word->clear();
        depth += (c == '[' || c == '{') ? 1 : (c == ']' || c == '}') && depth > 0 ? -1 : 0;
    }
}

} // namespace

void EnglishBridge::addEntry(std::string_view german, std::string_view english)
{
    m_tokens.clear();
    WordTokens::split(german, &m_tokens);
    if (m_tokens.empty()) {
        return;
    }
    std::vector<std::string> seen;
    forEachEnglishWord(english, &m_word, [&](const std::string &word) {
        if (std::find(seen.begin(), seen.end(), word) != seen.end()) {
            return;
        }
        seen.push_back(word);
        auto &entries = m_entriesOf[word];
        if (entries.size() <= maxEntriesOfWord) {
            entries.push_back(m_tokens);
        }
    });
}

void EnglishBridge::addDocuments(LexiconBuilder *builder) const
{
    std::vector<std::string_view> tokens;
    for (const auto &[word, entries] : m_entriesOf) {
        if (entries.size() < 2 || entries.size() > maxEntriesOfWord) {
            continue;
        }
        tokens.clear();
        for (const auto &entry : entries) {
            tokens.insert(tokens.end(), entry.begin(), entry.end());
        }
        builder->addDocument(tokens, 1);
    }
}
