#include "data/englishbridge.h"

#include "data/buildweights.h"
#include "data/dictionaryreader.h"
#include "data/lexiconbuilder.h"
#include "data/wordtokens.h"

#include <algorithm>

namespace {

// An English word that glosses more entries than this is a function word or too general
// ("to", "make", "house") to tie its German words together; one that glosses a single entry ties
// nothing.
constexpr size_t maxEntriesOfWord = 25;
constexpr size_t minWordLength = 3;

// The English words of a gloss in lower case, without the notes in brackets and braces, the
// misspellings in angle brackets ("<mee-uf-owed>" is no "owe"), and without the explanations in
// parentheses if asked ("quad (movable spacer type)"): they tell what a word is about but are no
// translation of it.
template <class F>
void forEachEnglishWord(std::string_view text, bool explanations, std::string *word, F f)
{
    const char open = explanations ? '[' : '(';
    const char close = explanations ? ']' : ')';
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
        depth += (c == '[' || c == '{' || c == '<' || c == open)                 ? 1
                 : (c == ']' || c == '}' || c == '>' || c == close) && depth > 0 ? -1
                                                                                 : 0;
    }
}

// The words an entry defines: its alternatives that are one word with a grammar note
// ("Insel {f}; Eiland {n}").
template <class F> void forEachDefinedWord(std::string_view german, F f)
{
    while (!german.empty()) {
        const size_t end = german.find("; ");
        const std::string_view alternative = german.substr(0, end);
        const size_t brace = alternative.find(" {");
        if (brace != std::string_view::npos && brace > 0 &&
            alternative.substr(0, brace).find(' ') == std::string_view::npos) {
            f(alternative.substr(0, brace));
        }
        german.remove_prefix(end == std::string_view::npos ? german.size() : end + 2);
    }
}

} // namespace

void EnglishBridge::addEntry(std::string_view german, std::string_view english)
{
    DictionaryReader::documentWords(german, &m_tokens);
    if (m_tokens.empty()) {
        return;
    }
    forEachEnglishWord(english, false, &m_word, [&](const std::string &word) {
        forEachDefinedWord(german,
                           [&](std::string_view defined) { m_builder->addGloss(defined, word); });
    });
    std::vector<std::string> seen;
    const uint32_t entry = uint32_t(m_entries.size());
    forEachEnglishWord(english, true, &m_word, [&](const std::string &word) {
        if (std::find(seen.begin(), seen.end(), word) != seen.end()) {
            return;
        }
        seen.push_back(word);
        auto &entries = m_entriesOf[word];
        if (entries.size() <= maxEntriesOfWord) {
            entries.push_back(entry);
        }
    });
    if (!seen.empty()) {
        m_entries.push_back(m_tokens);
        m_lineOf.push_back(m_line);
    }
}

void EnglishBridge::addDocuments() const
{
    std::vector<std::string_view> tokens;
    std::vector<uint32_t> sources;
    for (const auto &[word, entries] : m_entriesOf) {
        if (entries.size() < 2 || entries.size() > maxEntriesOfWord) {
            continue;
        }
        tokens.clear();
        sources.clear();
        for (const uint32_t entry : entries) {
            const std::vector<std::string_view> &words = m_entries[entry];
            tokens.insert(tokens.end(), words.begin(), words.end());
            // The example sentences of one line that an English word gathers ("pay dearly",
            // "cost dearly") repeat the line: one witness for the words they share with it.
            sources.insert(sources.end(), words.size(), m_lineOf[entry]);
        }
        m_builder->addGathering(tokens, sources, BuildWeights::englishBridge);
    }
}
