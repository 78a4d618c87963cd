#include "data/glosses.h"

#include <algorithm>

// The English glosses of each base form, once each.
Glosses::Glosses(std::vector<std::pair<uint32_t, uint32_t>> glosses,
                 const std::unordered_map<std::string, uint32_t> &english,
                 const std::vector<uint32_t> &keyBase)
    : m_glosses(std::move(glosses)), m_keyBase(keyBase)
{
    for (auto &gloss : m_glosses) {
        gloss.first = m_keyBase[gloss.first];
    }
    std::sort(m_glosses.begin(), m_glosses.end());
    m_glosses.erase(std::unique(m_glosses.begin(), m_glosses.end()), m_glosses.end());
    m_englishText.resize(english.size());
    for (const auto &[text, id] : english) {
        m_englishText[id] = text;
    }
}

// The English words that translate the key, as a range of m_glosses.
std::pair<Glosses::GlossIt, Glosses::GlossIt> Glosses::glossesOf(uint32_t key) const
{
    const auto from =
        std::lower_bound(m_glosses.begin(), m_glosses.end(), std::pair<uint32_t, uint32_t>(key, 0));
    auto to = from;
    while (to != m_glosses.end() && to->first == key) {
        ++to;
    }
    return {from, to};
}

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c & 0x80);
}

// Whether `word` stands in `text` as a word of its own, not as letters inside a longer one:
// "household" holds no "hold", "egg yolk" holds "egg".
bool holdsWord(std::string_view text, std::string_view word)
{
    if (word.empty()) {
        return false;
    }
    for (size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
        const size_t end = at + word.size();
        if ((at == 0 || !isLetter(text[at - 1])) && (end == text.size() || !isLetter(text[end]))) {
            return true;
        }
    }
    return false;
}

} // namespace

// Whether the dictionary translates both words and no English word of the part is one of the
// whole's, or stands in one of them as far as `match` allows: "Eiland" (isle) is no kind of "Ei"
// (egg), but "Eigelb" (egg yolk) is, and a "snowflake" is of "Schnee". As a word only, letters
// inside one English word prove nothing: "Haushalt" is a "household", no kind of "Halt" (hold).
bool Glosses::refutedByGlosses(uint32_t whole, uint32_t part, Match match) const
{
    const auto [wholeFrom, wholeTo] = glossesOf(whole);
    const auto [partFrom, partTo] = glossesOf(part);
    if (wholeFrom == wholeTo || partFrom == partTo) {
        return false;
    }
    for (auto w = wholeFrom; w != wholeTo; ++w) {
        const std::string_view english = m_englishText[w->second];
        for (auto p = partFrom; p != partTo; ++p) {
            const std::string_view partEnglish = m_englishText[p->second];
            if (w->second == p->second ||
                (match == Match::AsWord && holdsWord(english, partEnglish)) ||
                (match == Match::InsideWord && english.find(partEnglish) != english.npos)) {
                return false;
            }
        }
    }
    return true;
}

// Whether English has the whole word too, beyond where the split would cut it, and does not end
// it with the head's translation: "Autogramm" is "autograph", one loanword, not an "Auto" of
// grams; "Motorboot" is a "motorboat", a boat.
bool Glosses::isSharedLoanword(uint32_t whole, std::string_view key, size_t at, uint32_t head) const
{
    const auto [wholeFrom, wholeTo] = glossesOf(whole);
    if (wholeFrom == wholeTo) {
        return false;
    }
    for (auto g = wholeFrom; g != wholeTo; ++g) {
        const std::string_view english = m_englishText[g->second];
        size_t shared = 0;
        while (shared < english.size() && shared < key.size() && english[shared] == key[shared]) {
            ++shared;
        }
        if (shared <= at) {
            return false;
        }
    }
    const auto [headFrom, headTo] = glossesOf(m_keyBase[head]);
    for (auto g = wholeFrom; g != wholeTo; ++g) {
        const std::string_view english = m_englishText[g->second];
        for (auto h = headFrom; h != headTo; ++h) {
            const std::string_view ending = m_englishText[h->second];
            if (english.size() > ending.size() &&
                english.substr(english.size() - ending.size()) == ending) {
                return false;
            }
        }
    }
    return true;
}
