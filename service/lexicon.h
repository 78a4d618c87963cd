#pragma once

#include "stringpool.h"
#include "termtext.h"

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

class LexiconBuilder;

// The thesaurus and the word list, held in memory in a form that answers every question a query
// asks without touching the disk. Read-only once loaded, so threads may share it.
//
// Words are numbered; each word has a lookup key (its case-folded form). Meanings are numbered
// groups of words. Lists of members and of meanings hold packed entries: the number shifted
// left by three, a main-form mark in bit 2 and the TermRole in the two low bits.
class Lexicon
{
public:
    enum WordFlag : uint8_t
    {
        Displayable = 1, // may be shown (TermText::isDisplayable)
        InWordList = 2,  // stands in the word list
        Inflected = 4,   // a word-list entry that is another entry plus an inflection ending
    };

    struct Ids
    {
        const uint32_t *first = nullptr;
        const uint32_t *last = nullptr;
        const uint32_t *begin() const { return first; }
        const uint32_t *end() const { return last; }
        size_t size() const { return size_t(last - first); }
        bool empty() const { return first == last; }
    };

    static constexpr uint32_t npos = StringPool::npos;

    // Endings that turn a German base form into another form of the same word (case, number,
    // comparison); a word-list entry that is another entry plus one of them counts as inflected.
    static constexpr std::string_view inflectionEndings[] = {"e",  "em", "en",  "er",  "es", "n",
                                                             "ns", "s",  "ens", "nen", "se", "ses"};

    static uint32_t idOf(uint32_t packed) { return packed >> 3; }
    static TermRole roleOf(uint32_t packed) { return TermRole(packed & 3u); }
    static bool isMainForm(uint32_t packed) { return (packed & 4u) != 0; }
    static uint32_t pack(uint32_t id, TermRole role, bool mainForm = false)
    {
        return (id << 3) | (mainForm ? 4u : 0u) | uint32_t(role);
    }

    // Reads the thesaurus (thesaurusPath, its index beside it) and the word list. On failure
    // returns false and puts a message for the user, naming the file, into *error.
    bool load(const QString &thesaurusPath, const QString &wordListPath, QString *error);

    uint32_t wordCount() const { return m_words.size(); }
    uint32_t meaningCount() const { return uint32_t(m_meaningBegin.size() - 1); }
    uint32_t wordListSize() const { return uint32_t(m_byPrefix.size()); }

    std::string_view word(uint32_t id) const { return m_words.at(id); }
    uint32_t keyOf(uint32_t word) const { return m_wordKey[word]; }
    bool hasFlag(uint32_t word, WordFlag flag) const { return (m_wordFlags[word] & flag) != 0; }
    std::string_view key(uint32_t id) const { return m_keys.at(id); }
    uint32_t findKey(std::string_view key) const { return m_keys.find(key); }

    // The meanings in which a word with this key stands, each with the word's role there; those
    // where it is the main form first, the others in the order of the thesaurus file.
    Ids meaningsOf(uint32_t key) const;
    // The words of a meaning, each with its role.
    Ids membersOf(uint32_t meaning) const;

    // Word-list entries whose key begins (ends) with the given key bytes, in key order.
    Ids wordsStartingWith(std::string_view keyPrefix) const;
    Ids wordsEndingWith(std::string_view keySuffix) const;
    // The place of a word-list entry in the order compounds are offered: base forms before
    // inflected forms, then shorter before longer, then alphabetical.
    uint32_t compoundRank(uint32_t word) const { return m_compoundRank[word]; }

private:
    friend class LexiconBuilder;

    StringPool m_words;
    StringPool m_keys;
    std::vector<uint32_t> m_wordKey;
    std::vector<uint8_t> m_wordFlags;
    std::vector<uint32_t> m_meaningBegin{0};
    std::vector<uint32_t> m_members;
    std::vector<uint32_t> m_postingBegin{0};
    std::vector<uint32_t> m_postings;
    std::vector<uint32_t> m_byPrefix;
    std::vector<uint32_t> m_bySuffix;
    std::vector<uint32_t> m_compoundRank;
};
