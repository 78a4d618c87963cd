#include "data/indexcompactor.h"

#include "index/lexicon.h"

IndexCompactor::IndexCompactor(LexiconTables *tables, const KeyFacts &facts,
                               const CompoundParts &compounds,
                               const std::vector<uint32_t> &otherCaseBase)
    : m_t(tables), m_facts(facts), m_compounds(compounds), m_otherCaseBase(otherCaseBase)
{}

// Drops the words and keys that no answer can reach: dictionary tokens that are neither known
// words nor forms of one. They are most of the dictionary's vocabulary, and a smaller index is
// quicker to check at start and keeps fewer pages resident.
void IndexCompactor::compact()
{
    LexiconTables &t = *m_t;
    const uint32_t keyCount = t.keys.size();
    m_newKey.assign(keyCount, npos);
    m_newWord.assign(t.words.size(), npos);
    for (uint32_t key = 0; key < keyCount; ++key) {
        if ((m_facts.flags[key] & Known) || t.keyBase[key] != key) {
            m_newKey[key] = m_kept.keys.intern(t.keys.at(key));
        }
    }
    for (uint32_t w = 0; w < t.words.size(); ++w) {
        if (m_newKey[t.wordKey[w]] != npos) {
            m_newWord[w] = m_kept.words.intern(t.words.at(w));
            m_kept.wordKey.push_back(m_newKey[t.wordKey[w]]);
            m_kept.wordFlags.push_back(t.wordFlags[w]);
        }
    }
    reserveKeptLists();
    for (uint32_t key = 0; key < keyCount; ++key) {
        if (m_newKey[key] != npos) {
            keepKey(key);
        }
    }
    keepCutsAndReadings();
    m_kept.meaningBegin = std::move(t.meaningBegin);
    m_kept.members = std::move(t.members);
    for (uint32_t &member : m_kept.members) {
        member = Lexicon::pack(m_newWord[Lexicon::idOf(member)], Lexicon::roleOf(member),
                               Lexicon::isMainForm(member));
    }
    m_kept.keys.shrinkSlots();
    *m_t = std::move(m_kept);
}

// Room for the kept keys' arrays and lists at their final sizes: grown one key at a time, the
// largest of them would be copied at twice its size while the builder's tables are all alive,
// which set the compiler's peak memory.
void IndexCompactor::reserveKeptLists()
{
    const LexiconTables &t = *m_t;
    size_t keys = 0;
    size_t postings = 0;
    size_t compounds = 0;
    size_t cooc = 0;
    for (uint32_t key = 0; key < t.keys.size(); ++key) {
        if (m_newKey[key] != npos) {
            ++keys;
            postings += t.postingBegin[key + 1] - t.postingBegin[key];
            compounds += t.compoundBegin[key + 1] - t.compoundBegin[key];
            cooc += t.coocBegin[key + 1] - t.coocBegin[key];
        }
    }
    LexiconTables &kept = m_kept;
    for (std::vector<uint32_t> *perKey : {&kept.keyWord, &kept.keyBase, &kept.keyCommonness,
                                          &kept.coocWitnessed, &kept.keySpread}) {
        perKey->reserve(keys);
    }
    kept.keyKinds.reserve(keys);
    for (std::vector<uint32_t> *begin :
         {&kept.postingBegin, &kept.compoundBegin, &kept.coocBegin}) {
        begin->reserve(keys + 1);
    }
    kept.postings.reserve(postings);
    kept.compounds.reserve(compounds);
    kept.cooc.reserve(cooc);
}

// The arrays of one kept key, and its lists.
void IndexCompactor::keepKey(uint32_t key)
{
    const LexiconTables &t = *m_t;
    LexiconTables &kept = m_kept;
    kept.keyWord.push_back(m_newWord[t.keyWord[key]]);
    const uint32_t base = m_newKey[t.keyBase[key]];
    kept.keyBase.push_back(base != npos ? base : m_newKey[key]);
    kept.keyCommonness.push_back(t.keyCommonness[key]);
    kept.keyKinds.push_back(m_facts.storedKinds(key));
    kept.coocWitnessed.push_back(t.coocWitnessed[key]);
    kept.keySpread.push_back(t.keySpread[key]);
    const auto copy = [&](const std::vector<uint32_t> &begin, const std::vector<uint32_t> &list,
                          std::vector<uint32_t> *newBegin, std::vector<uint32_t> *newList,
                          bool words) {
        for (uint32_t i = begin[key]; i < begin[key + 1]; ++i) {
            newList->push_back(words ? m_newWord[list[i]] : list[i]);
        }
        newBegin->push_back(uint32_t(newList->size()));
    };
    copy(t.postingBegin, t.postings, &kept.postingBegin, &kept.postings, false);
    copy(t.compoundBegin, t.compounds, &kept.compoundBegin, &kept.compounds, true);
    for (uint32_t i = t.coocBegin[key]; i < t.coocBegin[key + 1]; ++i) {
        const size_t at = kept.cooc.size() + (i - t.coocBegin[key]);
        for (const auto bits : {&LexiconTables::coocLoose, &LexiconTables::coocDefining}) {
            if (LexiconTables::bitAt(t.*bits, i)) {
                LexiconTables::setBit(&(kept.*bits), at);
            }
        }
    }
    copy(t.coocBegin, t.cooc, &kept.coocBegin, &kept.cooc, true);
}

// The compound cuts and the other-case readings between kept keys.
void IndexCompactor::keepCutsAndReadings()
{
    const LexiconTables &t = *m_t;
    const uint32_t keyCount = t.keys.size();
    for (uint32_t key = 0; key < keyCount; ++key) {
        const auto [modifier, head] = m_compounds.cut[key];
        const uint32_t keptModifier = modifier == npos ? npos : m_newKey[modifier];
        const uint32_t keptHead = head == npos ? npos : m_newKey[head];
        if (m_newKey[key] != npos && (keptModifier != npos || keptHead != npos)) {
            m_kept.compoundCuts.insert(
                m_kept.compoundCuts.end(),
                {m_newKey[key], keptModifier, uint32_t(m_compounds.linking[key]), keptHead});
        }
    }
    for (uint32_t key = 0; key < keyCount; ++key) {
        const uint32_t other = m_otherCaseBase[key];
        if (other != npos && m_newKey[key] != npos && m_newKey[t.keyBase[other]] != npos) {
            m_kept.caseReadings.push_back(m_newKey[key]);
            m_kept.caseReadings.push_back(m_newKey[t.keyBase[other]]);
        }
    }
}
