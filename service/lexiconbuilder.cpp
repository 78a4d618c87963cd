#include "lexiconbuilder.h"

#include <algorithm>
#include <numeric>
#include <thread>
#include <utility>

namespace {

// Endings of conjugated verb forms and present participles; their base is the infinitive,
// which is the stem plus "en" or "n" ("haust", "hausend" from "hausen").
constexpr std::string_view verbEndings[] = {"e",    "st",    "t",     "et",    "est",  "te",
                                            "ten",  "test",  "tet",   "ete",   "eten", "end",
                                            "ende", "enden", "ender", "endes", "endem"};

uint32_t characterCount(std::string_view utf8)
{
    uint32_t count = 0;
    for (const char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

bool endsWith(std::string_view s, std::string_view suffix)
{
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// A meaning can hold a word twice, once plain and once marked ("(eingeschossiges) Haus" and
// "Haus (Oberbegriff)"); the marked relation is the more telling one.
uint32_t merged(uint32_t packedA, uint32_t packedB)
{
    const uint32_t stronger = Lexicon::roleOf(packedA) == TermRole::Plain ? packedB : packedA;
    return stronger | (packedA & 4u) | (packedB & 4u);
}

} // namespace

LexiconBuilder::LexiconBuilder(Lexicon *target, size_t expectedBytes, size_t expectedWords)
    : m_target(target)
{
    m_target->m_words.reserve(expectedBytes, expectedWords);
    m_target->m_keys.reserve(expectedBytes, expectedWords);
    m_target->m_wordKey.reserve(expectedWords);
    m_target->m_wordFlags.reserve(expectedWords);
}

uint32_t LexiconBuilder::addWord(std::string_view text, std::string_view keySource)
{
    bool added = false;
    const uint32_t id = m_target->m_words.intern(text, &added);
    if (added) {
        m_target->m_wordKey.push_back(m_target->m_keys.intern(TermText::lookupKey(keySource)));
        m_target->m_wordFlags.push_back(TermText::isDisplayable(text) ? Lexicon::Displayable : 0);
    }
    return id;
}

void LexiconBuilder::addMeaning(const std::vector<uint32_t> &members)
{
    m_target->m_members.insert(m_target->m_members.end(), members.begin(), members.end());
    m_target->m_meaningBegin.push_back(uint32_t(m_target->m_members.size()));
}

void LexiconBuilder::finish()
{
    std::vector<uint32_t> &list = m_target->m_byPrefix;
    list.clear();
    for (uint32_t id = 0; id < m_target->wordCount(); ++id) {
        if (m_target->hasFlag(id, Lexicon::InWordList)) {
            list.push_back(id);
        }
    }
    // Sorting reads only texts and keys, while the other steps write word flags and the
    // postings, so the two halves can share the start-up time between two cores.
    std::thread sorter(&LexiconBuilder::sortWordList, this);
    buildPostings();
    markInflectedForms();
    sorter.join();
    rankCompounds();
}

void LexiconBuilder::buildPostings()
{
    Lexicon &lx = *m_target;
    const uint32_t keyCount = lx.m_keys.size();
    std::vector<uint32_t> lastMeaning(keyCount, Lexicon::npos);
    std::vector<uint32_t> count(keyCount, 0);
    for (uint32_t m = 0; m < lx.meaningCount(); ++m) {
        for (const uint32_t member : lx.membersOf(m)) {
            const uint32_t key = lx.m_wordKey[Lexicon::idOf(member)];
            if (lastMeaning[key] != m) {
                lastMeaning[key] = m;
                ++count[key];
            }
        }
    }
    lx.m_postingBegin.assign(size_t(keyCount) + 1, 0);
    std::partial_sum(count.begin(), count.end(), lx.m_postingBegin.begin() + 1);
    lx.m_postings.assign(lx.m_postingBegin.back(), 0);

    std::vector<uint32_t> cursor(lx.m_postingBegin.begin(), lx.m_postingBegin.end() - 1);
    std::fill(lastMeaning.begin(), lastMeaning.end(), Lexicon::npos);
    for (uint32_t m = 0; m < lx.meaningCount(); ++m) {
        for (const uint32_t member : lx.membersOf(m)) {
            const uint32_t key = lx.m_wordKey[Lexicon::idOf(member)];
            const uint32_t posting =
                Lexicon::pack(m, Lexicon::roleOf(member), Lexicon::isMainForm(member));
            if (lastMeaning[key] != m) {
                lastMeaning[key] = m;
                lx.m_postings[cursor[key]++] = posting;
            } else {
                uint32_t &previous = lx.m_postings[cursor[key] - 1];
                previous = merged(previous, posting);
            }
        }
    }
    for (uint32_t key = 0; key < keyCount; ++key) {
        std::stable_partition(lx.m_postings.begin() + lx.m_postingBegin[key],
                              lx.m_postings.begin() + lx.m_postingBegin[key + 1],
                              &Lexicon::isMainForm);
    }
}

bool LexiconBuilder::isInWordList(std::string_view text) const
{
    const uint32_t id = m_target->m_words.find(text);
    return id != Lexicon::npos && m_target->hasFlag(id, Lexicon::InWordList);
}

bool LexiconBuilder::isInflected(std::string_view word, std::string *scratch) const
{
    for (const std::string_view ending : Lexicon::inflectionEndings) {
        if (word.size() > ending.size() && endsWith(word, ending) &&
            isInWordList(word.substr(0, word.size() - ending.size()))) {
            return true;
        }
    }
    // Verb forms are written in lower case.
    if (word.empty() || word.front() < 'a' || word.front() > 'z') {
        return false;
    }
    for (const std::string_view ending : verbEndings) {
        if (word.size() <= ending.size() + 1 || !endsWith(word, ending)) {
            continue;
        }
        scratch->assign(word.substr(0, word.size() - ending.size()));
        scratch->append("en");
        if (isInWordList(*scratch)) {
            return true;
        }
        scratch->pop_back();
        scratch->back() = 'n';
        if (isInWordList(*scratch)) {
            return true;
        }
    }
    return false;
}

void LexiconBuilder::markInflectedForms()
{
    Lexicon &lx = *m_target;
    std::string scratch;
    for (uint32_t id = 0; id < lx.wordCount(); ++id) {
        if (lx.hasFlag(id, Lexicon::InWordList) && isInflected(lx.word(id), &scratch)) {
            lx.m_wordFlags[id] |= Lexicon::Inflected;
        }
    }
}

// Sorts the word-list entries collected in m_byPrefix by key, and a copy by reversed key.
void LexiconBuilder::sortWordList()
{
    Lexicon &lx = *m_target;
    std::vector<uint32_t> &list = lx.m_byPrefix;
    // Sorting the texts themselves, side by side, saves two lookups per comparison.
    std::vector<std::pair<std::string_view, uint32_t>> entries;
    entries.reserve(list.size());
    for (const uint32_t id : list) {
        entries.emplace_back(lx.key(lx.keyOf(id)), id);
    }
    std::sort(entries.begin(), entries.end());
    for (size_t i = 0; i < entries.size(); ++i) {
        list[i] = entries[i].second;
    }

    std::string reversed;
    reversed.reserve(lx.m_keys.byteSize());
    for (auto &[key, id] : entries) {
        const size_t start = reversed.size();
        reversed.append(key.rbegin(), key.rend());
        key = std::string_view(reversed).substr(start, key.size());
    }
    std::sort(entries.begin(), entries.end());
    lx.m_bySuffix.resize(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        lx.m_bySuffix[i] = entries[i].second;
    }
}

void LexiconBuilder::rankCompounds()
{
    Lexicon &lx = *m_target;
    // The list is in key order already, which a stable sort keeps within equal sizes.
    std::vector<uint32_t> byRank = lx.m_byPrefix;
    std::vector<uint32_t> length(lx.wordCount(), 0);
    for (const uint32_t id : byRank) {
        length[id] = characterCount(lx.word(id));
    }
    std::stable_sort(byRank.begin(), byRank.end(), [&](uint32_t a, uint32_t b) {
        const bool inflectedA = lx.hasFlag(a, Lexicon::Inflected);
        const bool inflectedB = lx.hasFlag(b, Lexicon::Inflected);
        return inflectedA != inflectedB ? inflectedB : length[a] < length[b];
    });
    lx.m_compoundRank.assign(lx.wordCount(), Lexicon::npos);
    for (uint32_t rank = 0; rank < byRank.size(); ++rank) {
        lx.m_compoundRank[byRank[rank]] = rank;
    }
}
