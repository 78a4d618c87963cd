#pragma once

#include "index/indexformat.h"
#include "index/stringpool.h"
#include "language/termtext.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>

// The association data, read-only, in the form the index file stores it: every question a
// query asks is answered from these arrays without touching the disk. The arrays lie in the
// mapped index file, or in an image built in memory (IndexCompiler::load compiles one from the raw
// Debian data); either way they are checked once when opened. Threads may share a Lexicon.
//
// Words are numbered; each word has a lookup key (its case-folded form), and each key a base
// form (another key), a word to show for it and a commonness. Meanings are numbered groups of
// words. Lists of members and of meanings hold packed entries: the number shifted left by
// three, a main-form mark in bit 2 and the TermRole in the two low bits.
class Lexicon
{
public:
    enum WordFlag : uint8_t
    {
        Displayable = 1, // may be shown (TermText::isDisplayable)
        InWordList = 2,  // stands in the word list
        Inflected = 4,   // an inflected form of another word, not a base form
        Phrase = 8,      // several words
        Marked = 16,     // carries a usage note in the thesaurus: slang, regional, dated, ...
        Stop = 32,       // a function word or light verb: no association by itself
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

    static uint32_t idOf(uint32_t packed) { return packed >> 3; }
    static TermRole roleOf(uint32_t packed) { return TermRole(packed & 3u); }
    static bool isMainForm(uint32_t packed) { return (packed & 4u) != 0; }
    static uint32_t pack(uint32_t id, TermRole role, bool mainForm = false)
    {
        return (id << 3) | (mainForm ? 4u : 0u) | uint32_t(role);
    }

    Lexicon();
    ~Lexicon();
    Lexicon(Lexicon &&) noexcept;
    Lexicon &operator=(Lexicon &&) noexcept;

    // Maps a compiled index file. On failure returns false and puts a message for the user,
    // naming the file and how to make it anew, into *error.
    bool open(const QString &indexPath, QString *error);
    // The descriptor of the mapped index file, or -1 for an index built in memory.
    int fileHandle() const { return m_file ? m_file->handle() : -1; }
    // Takes an index image made by IndexWriter; false with the reason when it is damaged.
    bool adopt(const QByteArray &image, QString *error);

    uint32_t wordCount() const { return m_words.size(); }
    uint32_t keyCount() const { return m_keys.size(); }
    uint32_t meaningCount() const { return m_meaningCount; }
    // Of the index's contents: answers change only when it does.
    uint64_t checksum() const { return m_checksum; }

    std::string_view word(uint32_t id) const { return m_words.at(id); }
    uint32_t keyOf(uint32_t word) const
    {
        return word < wordCount() ? array<uint32_t>(IndexFormat::WordKey)[word] : npos;
    }
    bool hasFlag(uint32_t word, WordFlag flag) const
    {
        return word < wordCount() && (array<uint8_t>(IndexFormat::WordFlags)[word] & flag) != 0;
    }
    std::string_view key(uint32_t id) const { return m_keys.at(id); }
    uint32_t findKey(std::string_view key) const { return m_keys.find(key); }
    uint32_t wordOfKey(uint32_t key) const { return perKey(IndexFormat::KeyWord, key, npos); }
    uint32_t baseOf(uint32_t key) const { return perKey(IndexFormat::KeyBase, key, npos); }
    uint32_t commonness(uint32_t key) const { return perKey(IndexFormat::KeyCommonness, key, 0); }

    // The meanings in which a word with this key stands, each with the word's role there; those
    // where it is the main form first, the others in the order of the thesaurus file.
    Ids meaningsOf(uint32_t key) const
    {
        return range(IndexFormat::PostingBegin, IndexFormat::Postings, key);
    }
    // The words of a meaning, each with its role.
    Ids membersOf(uint32_t meaning) const
    {
        return range(IndexFormat::MeaningBegin, IndexFormat::Members, meaning);
    }
    // Base-form compounds made of the key and another word, the most common first.
    Ids compoundsOf(uint32_t key) const
    {
        return range(IndexFormat::CompoundBegin, IndexFormat::Compounds, key);
    }
    // Words that share dictionary entries or proverbs with the key, the most telling first.
    Ids cooccurrentsOf(uint32_t key) const
    {
        return range(IndexFormat::CoocBegin, IndexFormat::Cooc, key);
    }
    // How many of the first cooccurrentsOf(key) share more than one document with it; the rest
    // are brought by a single one.
    uint32_t witnessedCooccurrents(uint32_t key) const
    {
        return perKey(IndexFormat::CoocWitnessed, key, 0);
    }
    // In how many keys' lists of cooccurrents the key stands: a word that goes with everything
    // says little about any one of them.
    uint32_t spread(uint32_t key) const { return perKey(IndexFormat::KeySpread, key, 0); }
    // Words whose own cooccurrents name the key among their first, the nearest first: the other
    // direction of cooccurrentsOf.
    Ids backlinksOf(uint32_t key) const
    {
        return range(IndexFormat::BacklinkBegin, IndexFormat::Backlinks, key);
    }
    // Of the cooccurrentsOf(key), those that only sayings, gatherings and definitions of other
    // words pair with it.
    std::vector<uint32_t> looselyPairedOf(uint32_t key) const;
    // Whether the word at `place` of cooccurrentsOf(key) names the key in its own definition.
    bool definitionNamesKey(uint32_t key, size_t place) const;
    // The kinds (a set of Language::Kind) of the key: those the dictionary states for its
    // headwords, or for a key it does not define those that the case of its word tells.
    uint8_t kindsOf(uint32_t key) const
    {
        return key < keyCount() ? array<uint8_t>(IndexFormat::KeyKinds)[key] : 0;
    }
    // A compound's parts as the index compiler cut it, each as its base: the modifier (the
    // first part: "Zahn" of "Zahnbürste"), the linking element between it and the head ("s" of
    // "Urlaubstag", empty where there is none) and the head (the last: "Bürste"); npos for a
    // key that is no compound.
    struct CompoundCut
    {
        uint32_t modifier = npos;
        uint32_t head = npos;
        std::string_view linking;
    };
    CompoundCut cutOf(uint32_t key) const;
    // Keys ignore case: the base of the key's words written in the other case than the word
    // shown for it ("Sonnen" of "Sonne", where "sonnen" is a verb), or npos.
    uint32_t otherCaseBaseOf(uint32_t key) const;

private:
    struct Table
    {
        const char *data = nullptr;
        size_t count = 0; // elements
    };
    template <class T> const T *array(IndexFormat::Section section) const
    {
        return reinterpret_cast<const T *>(m_sections[section].data);
    }
    uint32_t perKey(IndexFormat::Section section, uint32_t key, uint32_t outside) const
    {
        return key < keyCount() ? array<uint32_t>(section)[key] : outside;
    }
    // Entries begin[i] .. begin[i + 1] of list; empty for an index out of range.
    Ids range(IndexFormat::Section begin, IndexFormat::Section list, uint32_t i) const
    {
        if (i == npos || size_t(i) + 1 >= m_sections[begin].count) {
            return {};
        }
        const uint32_t *offsets = array<uint32_t>(begin);
        const uint32_t *entries = array<uint32_t>(list);
        return {entries + offsets[i], entries + offsets[i + 1]};
    }
    bool attach(const char *data, size_t size, QString *error);
    bool sectionsAgree() const;

    std::unique_ptr<QFile> m_file; // the mapped index, when it came from a file
    QByteArray m_image;            // the index built in memory otherwise
    StringTable m_words;
    StringTable m_keys;
    uint32_t m_meaningCount = 0;
    uint64_t m_checksum = 0;
    Table m_sections[IndexFormat::SectionCount];
};
