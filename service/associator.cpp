#include "associator.h"

#include "lexicon.h"

#include <QByteArray>

#include <algorithm>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <unordered_set>

std::string_view relationName(Relation relation)
{
    switch (relation) {
    case Relation::Synonym:
        return "synonym";
    case Relation::Broader:
        return "broader";
    case Relation::Narrower:
        return "narrower";
    case Relation::Compound:
        return "compound";
    case Relation::Neighbour:
        return "neighbour";
    }
    return "neighbour";
}

namespace {

constexpr float synonymScore = 1.0f;
constexpr float hierarchyScore = 0.8f;
constexpr float baseCompoundScore = 0.6f;
constexpr float inflectedCompoundScore = 0.5f;
constexpr float neighbourScore = 0.4f;

// The result under construction: keeps each word once and stops at the requested count.
class Collector
{
public:
    // keywordKey may be npos: then no word of the lexicon is the keyword.
    Collector(const Lexicon &lexicon, uint32_t keywordKey, int limit)
        : m_lexicon(lexicon), m_keywordKey(keywordKey), m_limit(size_t(limit))
    {
        m_result.reserve(m_limit);
        m_seen.reserve(m_limit * 4);
    }

    bool full() const { return m_result.size() >= m_limit; }
    size_t size() const { return m_result.size(); }
    size_t remaining() const { return m_limit - m_result.size(); }

    // Whether the word may still enter the result: shown as written, not the keyword, not in.
    bool admits(uint32_t word) const
    {
        return m_lexicon.hasFlag(word, Lexicon::Displayable) && !isKeyword(word) &&
               m_seen.count(word) == 0;
    }
    bool isKeyword(uint32_t word) const { return m_lexicon.keyOf(word) == m_keywordKey; }

    void add(uint32_t word, Relation relation, float score)
    {
        if (!full() && admits(word)) {
            m_seen.insert(word);
            m_result.push_back({word, relation, score});
        }
    }
    void addAll(const std::vector<uint32_t> &words, Relation relation, float score)
    {
        for (const uint32_t word : words) {
            add(word, relation, score);
        }
    }

    std::vector<Association> take() { return std::move(m_result); }

private:
    const Lexicon &m_lexicon;
    uint32_t m_keywordKey;
    size_t m_limit;
    std::unordered_set<uint32_t> m_seen;
    std::vector<Association> m_result;
};

struct ThesaurusWords
{
    std::vector<uint32_t> synonyms;
    std::vector<uint32_t> broader;
    std::vector<uint32_t> narrower;
};

// The keyword's role in a meaning decides what the meaning's other words are to it.
ThesaurusWords thesaurusWords(const Lexicon &lexicon, uint32_t keywordKey)
{
    ThesaurusWords words;
    for (const uint32_t posting : lexicon.meaningsOf(keywordKey)) {
        const TermRole keywordRole = Lexicon::roleOf(posting);
        for (const uint32_t member : lexicon.membersOf(Lexicon::idOf(posting))) {
            const uint32_t word = Lexicon::idOf(member);
            const TermRole role = Lexicon::roleOf(member);
            if (lexicon.keyOf(word) == keywordKey) {
                continue;
            }
            if (keywordRole == TermRole::Plain) {
                (role == TermRole::Plain     ? words.synonyms
                 : role == TermRole::Broader ? words.broader
                                             : words.narrower)
                    .push_back(word);
            } else if (role == TermRole::Plain) {
                // The keyword is marked broader here, so the meaning's own words are narrower.
                (keywordRole == TermRole::Broader ? words.narrower : words.broader).push_back(word);
            }
        }
    }
    return words;
}

// Word-list entries that begin or end with the key, and inflected forms of those that end with
// it ("Apfelbaums" for "baum").
std::vector<uint32_t> compoundCandidates(const Lexicon &lexicon, std::string_view key)
{
    const Lexicon::Ids starting = lexicon.wordsStartingWith(key);
    const Lexicon::Ids ending = lexicon.wordsEndingWith(key);
    std::vector<uint32_t> candidates;
    candidates.reserve(starting.size() + ending.size());
    candidates.insert(candidates.end(), starting.begin(), starting.end());
    candidates.insert(candidates.end(), ending.begin(), ending.end());
    std::string longerKey(key);
    for (const std::string_view suffix : Lexicon::inflectionEndings) {
        longerKey.resize(key.size());
        longerKey.append(suffix);
        for (const uint32_t word : lexicon.wordsEndingWith(longerKey)) {
            if (lexicon.hasFlag(word, Lexicon::Inflected)) {
                candidates.push_back(word);
            }
        }
    }
    return candidates;
}

void addCompounds(const Lexicon &lexicon, std::string_view key, Collector *result)
{
    std::vector<uint32_t> candidates = compoundCandidates(lexicon, key);
    const auto byRank = [&lexicon](uint32_t a, uint32_t b) {
        return lexicon.compoundRank(a) < lexicon.compoundRank(b);
    };
    // Only the best few are needed; a short keyword can match tens of thousands of entries.
    // Words already taken or found twice may be skipped, hence the margin.
    size_t sorted = std::min(candidates.size(), result->remaining() * 2 + result->size() + 16);
    std::partial_sort(candidates.begin(), candidates.begin() + std::ptrdiff_t(sorted),
                      candidates.end(), byRank);
    for (size_t i = 0; i < candidates.size() && !result->full(); ++i) {
        if (i == sorted) {
            std::sort(candidates.begin() + std::ptrdiff_t(i), candidates.end(), byRank);
            sorted = candidates.size();
        }
        const uint32_t word = candidates[i];
        const bool inflected = lexicon.hasFlag(word, Lexicon::Inflected);
        result->add(word, Relation::Compound,
                    inflected ? inflectedCompoundScore : baseCompoundScore);
    }
}

// Words that share a meaning with the synonyms, the more synonyms share them the closer.
void addNeighbours(const Lexicon &lexicon, const std::vector<uint32_t> &synonyms, Collector *result)
{
    struct Candidate
    {
        uint32_t word;
        uint32_t count;
        uint32_t lastSynonym;
    };
    std::vector<Candidate> candidates;
    std::unordered_map<uint32_t, size_t> indexOf;
    std::unordered_set<uint32_t> keysDone;
    for (uint32_t s = 0; s < synonyms.size(); ++s) {
        const uint32_t key = lexicon.keyOf(synonyms[s]);
        if (!keysDone.insert(key).second) {
            continue;
        }
        for (const uint32_t posting : lexicon.meaningsOf(key)) {
            for (const uint32_t member : lexicon.membersOf(Lexicon::idOf(posting))) {
                const uint32_t word = Lexicon::idOf(member);
                if (!result->admits(word)) {
                    continue;
                }
                const auto [it, added] = indexOf.try_emplace(word, candidates.size());
                if (added) {
                    candidates.push_back({word, 0, UINT32_MAX});
                }
                Candidate &candidate = candidates[it->second];
                if (candidate.lastSynonym != s) {
                    candidate.lastSynonym = s;
                    ++candidate.count;
                }
            }
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate &a, const Candidate &b) { return a.count > b.count; });
    const float top = candidates.empty() ? 1.0f : float(candidates.front().count);
    for (const Candidate &candidate : candidates) {
        result->add(candidate.word, Relation::Neighbour,
                    neighbourScore * float(candidate.count) / top);
    }
}

} // namespace

std::vector<Association> Associator::associate(const QString &keyword, int count) const
{
    const QByteArray keyBytes = TermText::lookupKey(keyword).toUtf8();
    const std::string_view key(keyBytes.constData(), size_t(keyBytes.size()));
    if (key.empty()) {
        return {};
    }
    const Lexicon &lexicon = *m_lexicon;
    const uint32_t keywordKey = lexicon.findKey(key);
    Collector result(lexicon, keywordKey, std::clamp(count, 1, maxCount));

    const ThesaurusWords words = thesaurusWords(lexicon, keywordKey);
    result.addAll(words.synonyms, Relation::Synonym, synonymScore);
    result.addAll(words.broader, Relation::Broader, hierarchyScore);
    result.addAll(words.narrower, Relation::Narrower, hierarchyScore);
    if (!result.full()) {
        addCompounds(lexicon, key, &result);
    }
    if (!result.full()) {
        addNeighbours(lexicon, words.synonyms, &result);
    }
    return result.take();
}
