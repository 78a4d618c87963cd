#pragma once

#include "data/builddocuments.h"
#include "data/compoundcutter.h"
#include "data/keyfacts.h"
#include "index/lexicontables.h"

#include <cstdint>
#include <string_view>
#include <vector>

// The builder's counting stage: reduces every document to its content words in base form,
// each once, and counts in how many documents (by weight) each base form stands: its
// commonness.
class DocumentCounter
{
public:
    // otherCaseBase: of each key, the base of its words in the other case, or npos.
    DocumentCounter(LexiconTables *tables, const KeyFacts &facts,
                    const std::vector<uint32_t> &otherCaseBase, const CompoundParts &compounds);

    // Adds a document of each listed compound with its meant parts, fills the commonness of
    // each key and returns the documents as keys of content words (the case of the tokens
    // told, it is dropped).
    BuildDocuments count(BuildDocuments documents, const std::vector<uint32_t> &listed);

private:
    void addCompoundDocuments(const std::vector<uint32_t> &listed);
    bool isContentKey(uint32_t key) const;
    void findAdjectiveReadings();
    bool isOneOfAt(size_t i, const std::string_view *words, size_t count) const;
    bool isAdjectiveAt(size_t i) const;
    bool isAdjectivePlaceAt(size_t i, size_t begin, size_t end) const;
    uint32_t baseOfToken(size_t i, size_t begin, size_t end) const;
    // bases: of each token of the documents.
    std::vector<bool> definitionWording(const std::vector<uint32_t> &bases) const;
    void countCommonness();
    void findClassNouns();

    LexiconTables *m_t;
    const KeyFacts &m_facts;
    const std::vector<uint32_t> &m_otherCaseBase;
    const CompoundParts &m_compounds;
    BuildDocuments m_docs;
    // Of each verb's form that is also a declined adjective ("weißen"), the adjective, or npos.
    std::vector<uint32_t> m_adjectiveReading;
};
