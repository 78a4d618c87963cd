#pragma once

#include "data/keyfacts.h"
#include "index/lexicontables.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// The builder's lemmatising stage: the base form of every key, from the dictionary's tables of
// forms and by the endings, umlauts and particles of the lemmatiser, chosen among with what the
// texts tell; and of a key whose words are of two kinds, the base of the words in the other case.
class BaseResolver
{
public:
    // forms: form key and base key, as the dictionary lists them; formOfNoun: of each, whether
    // the base is a noun.
    BaseResolver(LexiconTables *tables, KeyFacts *facts,
                 const std::vector<std::pair<uint32_t, uint32_t>> &forms,
                 const std::vector<bool> &formOfNoun);

    // Fills the base of each key and marks the inflected words and those of function words
    // (forms of function words become function words themselves). Returns, of each key, the
    // base of its words in the other case than the word shown for it ("Grenze" of "grenzen"),
    // or npos.
    std::vector<uint32_t> resolve();

private:
    uint32_t keyOfText(std::string_view key) const { return m_t->keys.find(key); }
    void resolveBases();
    void flagWords();
    uint32_t reducedByEnding(uint32_t key, std::string *scratch) const;
    uint32_t adjectiveOfDeclined(uint32_t key, std::string *scratch) const;
    bool isSmallLettersOnly(uint32_t key) const;
    bool isParticipleOfItsVerb(uint32_t form, uint32_t verb) const;
    void findParticipleVerbs(std::string *scratch);
    uint32_t verbOfParticiple(uint32_t key, std::string *scratch) const;
    bool isWordOfItsOwn(uint32_t form, uint32_t base) const;
    uint32_t separableVerbOf(uint32_t key, std::string *scratch) const;
    uint32_t verbBaseOf(uint32_t form) const;
    bool isFormOfSameKind(uint32_t key, uint32_t form) const;
    bool isFormOfFunctionWord(uint32_t key, std::string *scratch) const;
    bool isNounFormInBothCases(uint32_t form) const;
    void addNounReading(uint32_t key, std::string *scratch);
    bool hasOneKind(uint32_t key) const;
    bool isClearReading(uint32_t key, uint32_t of) const;
    bool isListedFormBesideNoun(uint32_t form, uint32_t of) const;
    bool isAdjectiveFormWithEntry(uint32_t form, uint32_t of) const;
    uint32_t nounOfDativePlural(uint32_t key) const;
    void findOtherCaseReadings(std::string *scratch);

    LexiconTables *m_t;
    KeyFacts &m_facts;
    const std::vector<std::pair<uint32_t, uint32_t>> &m_forms;
    const std::vector<bool> &m_formOfNoun;
    // Function words that the dictionary lists as verb forms ("gibt" of "geben"), with the verb.
    std::unordered_map<uint32_t, uint32_t> m_functionFormBase;
    // Of a headword's key, the base of its words in the other case: the noun of a verb's key
    // that is also a plural ("Sonnen"), the adjective of a noun's key that is also its form.
    std::vector<uint32_t> m_otherCaseBase;
    // Adjectives' headwords that are also listed as another adjective's forms ("geringer"):
    // not shown.
    std::vector<uint32_t> m_formsWithEntry;
};
