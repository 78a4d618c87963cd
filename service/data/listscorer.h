#pragma once

#include "data/builddocuments.h"
#include "data/compoundcutter.h"
#include "index/lexicontables.h"

#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

// The builder's scoring stage: the lists of each key, best first. Its co-occurring words by
// how much more often than chance they share its documents, and the compounds made of it by
// their commonness.
class ListScorer
{
public:
    // documents: of content words in base form, each once, with the commonness of each key
    // already counted.
    ListScorer(LexiconTables *tables, const BuildDocuments &documents,
               const CompoundParts &compounds);

    // Fills the tables' lists of compounds (of the listed words) and of co-occurrents.
    void rank(const std::vector<uint32_t> &listed);

    // The score of a word b beside a key a: the weight of their shared documents, the
    // commonness of each and the weight of all documents; above 0 where they meet more often
    // than chance.
    static double score(double shared, double dfA, double dfB, double total);

private:
    // score() with the weight of b's commonness, log(1 + dfB), worked out once a key.
    static double weighted(double shared, double dfA, double dfB, double total,
                           double commonWeight);
    void findCompounds(const std::vector<uint32_t> &listed);
    void findCooccurrents();
    void indexDocuments(uint32_t keyCount);
    void scoreKey(uint32_t a, std::vector<std::pair<uint32_t, uint32_t>> *found);
    void tallyPairs(uint32_t a);
    void keepBest(uint32_t a, std::vector<std::pair<uint32_t, uint32_t>> *found);
    uint8_t sourceKind(uint32_t d, bool saying) const;
    // Key a and word b, which a definition names as class and detail, are no pair.
    void withhold(uint32_t a, uint32_t b, bool bIsClass);

    LexiconTables *m_t;
    const BuildDocuments &m_docs;
    const CompoundParts &m_compounds;
    std::vector<uint32_t> m_keyDocBegin; // of each key, where its documents begin in m_keyDocs
    std::vector<uint32_t> m_keyDocs;
    std::vector<uint32_t> m_keyTokens; // of each of m_keyDocs, the key's place in the documents
    double m_total = 0;                // the weight of all documents
    std::vector<uint32_t> m_touched;
    // What the documents of one key say of each word they pair it with, one record of 16 bytes
    // a word, so that a pair touches one place in memory rather than one in each of six tables.
    struct Tally
    {
        double weight = 0;              // of the documents that pair them
        uint32_t lastText = UINT32_MAX; // the text of the last of them
        uint8_t documents = 0;          // how many do, up to 255: only "fewer than 3" is asked
        uint8_t marks = 0;              // what one of them at least does, as Mark bits

        void mark(uint8_t bit, bool set) { marks |= set ? bit : 0; }
        bool has(uint8_t bit) const { return (marks & bit) != 0; }
        // Whether a single kind of source pairs them.
        bool ofOneKind() const
        {
            const uint8_t kinds =
                marks & uint8_t(FromDefinition | FromSaying | FromGathering | FromLine);
            return kinds != 0 && (kinds & (kinds - 1)) == 0;
        }
    };
    enum Mark : uint8_t
    {
        NamedBoth = 1,     // names both words themselves
        BeyondSayings = 2, // is not a saying
        Closely = 4,       // is not a loose one
        Defining = 8,      // is the definition of b, which names a
        // The kinds of source that pair them, one bit a kind (see sourceKind).
        FromDefinition = 16,
        FromSaying = 32,
        FromGathering = 64,
        FromLine = 128,
    };
    std::vector<Tally> m_tally;
    std::vector<uint32_t> m_withheldFrom; // of each class noun, the last key it was kept from
    std::vector<double> m_commonWeight;   // of each key, log(1 + its commonness)
    // By one document, -score, key, by loose documents only, by its definition naming the key.
    std::vector<std::tuple<bool, double, uint32_t, bool, bool>> m_scored;
};
