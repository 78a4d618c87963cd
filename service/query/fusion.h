#pragma once

#include "index/lexicon.h"
#include "query/admission.h"
#include "query/candidate.h"
#include "query/rankingweights.h"
#include "query/wordtable.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace Ranking {

// Gathers the fused scores of the candidates, each word once.
class Fusion
{
public:
    Fusion(const Lexicon &lexicon, const Admission &admission)
        : m_lexicon(lexicon), m_admission(admission), m_index(1024), m_places(1024)
    {
        // Room for the candidates of most queries at once: growing copies them all.
        m_candidates.reserve(2048);
    }

    void addList(const std::vector<std::pair<uint32_t, Relation>> &list, float weight,
                 Evidence evidence = Evidence::Witness)
    {
        beginList(evidence);
        float rank = 1.0f;
        for (const auto &[word, relation] : list) {
            if (add(word, relation, weight / (fusionK + rank))) {
                rank += 1.0f;
            }
        }
    }
    // words: word numbers, Lexicon::Ids or a vector of them.
    template <class Words>
    void addList(const Words &list, Relation relation, float weight,
                 Evidence evidence = Evidence::Witness, Kind kind = Kind::Other)
    {
        beginList(evidence, kind);
        m_weight = weight;
        float rank = 1.0f;
        m_at = m_placeFrom;
        for (const uint32_t word : list) {
            if (add(word, relation, weight / (fusionK + rank))) {
                rank += 1.0f;
            }
            ++m_at;
        }
        m_placeFrom = noPlace;
        m_otherSide = false;
    }
    // The list added next is the keyword's texts' list from this place on: its words keep their
    // places in it.
    void placeNext(uint32_t first) { m_placeFrom = first; }
    // The list added next is the keyword's texts seen from the other side (see backlinkWeight).
    void otherSideNext(uint32_t keyword)
    {
        m_otherSide = true;
        m_keyword = keyword;
    }
    // Whether the word may enter, remembered for the word's next list.
    bool admits(uint32_t word) { return entryOf(word) != refused; }

    std::vector<Candidate> &candidates() { return m_candidates; }

    // Starts a list whose words are added one by one.
    void beginList(Evidence evidence, Kind kind = Kind::Other)
    {
        ++m_list;
        m_evidence = evidence;
        m_marks = {kind != Kind::Texts, kind == Kind::Other,
                   kind == Kind::Texts || kind == Kind::AssociatesTexts};
    }
    void addToList(uint32_t word, Relation relation, float gain) { add(word, relation, gain); }

private:
    // The word's entry in m_index, its admission decided the first time it is asked for.
    uint32_t &entryOf(uint32_t word)
    {
        bool added = false;
        uint32_t &index = m_index.at(word, admitted, &added);
        if (added && !m_admission.admits(word)) {
            index = refused;
        }
        return index;
    }

    bool add(uint32_t word, Relation relation, float gain)
    {
        uint32_t &index = entryOf(word);
        if (index == refused) {
            return false;
        }
        if (index == admitted) {
            bool added = false;
            // Forms of one word are one candidate ("Bulle" and "Bullen"), shown as the first
            // list names it.
            const uint32_t base = m_lexicon.baseOf(m_lexicon.keyOf(word));
            const uint32_t place = m_places.at(base, uint32_t(m_candidates.size()), &added);
            if (added) {
                Candidate candidate;
                candidate.word = word;
                candidate.base = base;
                candidate.relation = relation;
                m_candidates.push_back(candidate);
            }
            index = place; // m_index has not grown since: the reference still holds
        }
        Candidate &candidate = m_candidates[index];
        if (m_placeFrom != noPlace) {
            candidate.place = std::min(candidate.place, m_at);
        }
        if (candidate.list == m_list) {
            return false; // another form of a word this list has already named
        }
        candidate.list = m_list;
        if (m_otherSide && candidate.place < uint32_t(fullList) &&
            !m_lexicon.definitionNamesKey(m_keyword, candidate.place)) {
            gain = std::min(gain, m_weight / (fusionK + 1.0f + float(candidate.place)));
        }
        candidate.score += gain;
        candidate.seconded |= m_marks.seconds;
        candidate.backed |= m_marks.backs;
        candidate.texts |= m_marks.texts;
        candidate.linked = candidate.linked ||
                           (relation != Relation::Cooccurrence && relation != Relation::Neighbour);
        if (m_evidence == Evidence::Witness) {
            candidate.witnessed = true;
        } else if (candidate.hints < UINT8_MAX) {
            ++candidate.hints;
        }
        return true;
    }

    const Lexicon &m_lexicon;
    const Admission &m_admission;
    std::vector<Candidate> m_candidates;
    uint32_t m_list = 0; // the list being added
    Evidence m_evidence = Evidence::Witness;
    // What the list being added says of each of its words, read once for the list from its kind.
    struct Marks
    {
        bool seconds = true; // not the keyword's own texts
        bool backs = true;   // not texts at all
        bool texts = false;  // the keyword's texts or its associates'
    };
    Marks m_marks;
    static constexpr uint32_t noPlace = UINT32_MAX;
    uint32_t m_placeFrom = noPlace; // of the list being added, where it begins in the texts' list
    uint32_t m_at = 0;              // the place of the word being added
    float m_weight = 0.0f;          // of the list being added
    bool m_otherSide = false;       // see otherSideNext
    uint32_t m_keyword = 0;
    // Per word: its candidate's place, or whether it may enter.
    static constexpr uint32_t refused = UINT32_MAX;
    static constexpr uint32_t admitted = UINT32_MAX - 1; // in no list yet
    WordTable<uint32_t> m_index;
    WordTable<uint32_t> m_places; // the candidate's place, by base key
};

} // namespace Ranking
