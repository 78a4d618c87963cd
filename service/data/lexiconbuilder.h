#pragma once

#include "data/builddocuments.h"
#include "data/compoundcutter.h"
#include "data/keyfacts.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct LexiconTables;

// Collects what the readers find in the Debian data (words, thesaurus meanings, dictionary
// headwords and forms, phrases and proverbs as documents, stop words); finish() then runs the
// stages that compute the tables of the index from it, each handing its result to the next:
// KeyFacts, BaseResolver, CompoundCutter, DocumentCounter, ListScorer, IndexCompactor.
class LexiconBuilder
{
public:
    explicit LexiconBuilder(LexiconTables *target);

    void reserve(size_t bytes, size_t words);
    // The number of the word with this text. A new word gets the lookup key of keySource, which
    // differs from text only where the text carries marks that lookups ignore.
    uint32_t addWord(std::string_view text, std::string_view keySource);
    uint32_t addWord(std::string_view text) { return addWord(text, text); }
    void addToWordList(uint32_t word);
    // The word carries a usage note (slang, regional, dated, ...) somewhere in the thesaurus.
    void markNoted(uint32_t word);
    // members: packed word numbers with roles (Lexicon::pack).
    void addMeaning(const std::vector<uint32_t> &members);

    void addStopWord(std::string_view word);
    // A word the dictionary gives as one of the closed classes (preposition, conjunction,
    // pronoun, article), or as a noun, verb or adjective. One that is only ever the first is a
    // function word.
    void addWordClass(std::string_view word, bool closed);
    // A base form that the dictionary defines, with its kinds (a set of Language::Kind), and
    // another form of one, with the kinds the dictionary gives the base there.
    // neuter: a noun of neuter gender, which a verb made noun always is.
    void addHeadword(std::string_view word, uint8_t kinds, bool neuter = false);
    void addForm(std::string_view form, std::string_view base, uint8_t baseKinds);
    // The words of one dictionary entry, proverb or other document, weighted by how closely the
    // kind of document ties its words together.
    void addDocument(const std::vector<std::string_view> &tokens, uint32_t weight);
    // A dictionary line whose tokens from firstNote on are its notes of subject ("(Film, TV,
    // Radio)"): they go with the words of the line, but not with each other, as the words of one
    // entry.
    void addDictionaryLine(const std::vector<std::string_view> &tokens, size_t firstNote,
                           uint32_t weight);
    // A further part (a sentence) of the text that the last document began: the words of one
    // anecdote go together sentence by sentence, and the anecdote is one witness, however often
    // it repeats them.
    void addDocumentOfSameText(const std::vector<std::string_view> &tokens, uint32_t weight);
    // A proverb or quotation, or a further sentence of the one before (continues).
    void addSaying(const std::vector<std::string_view> &tokens, uint32_t weight, bool continues);
    // A document that gathers entries of other texts: sources holds, for each token, the number
    // of the text (the entry, or the line of entries) it comes from. Two words of one text do not
    // meet in it again, and all gatherings are one witness of the words they join.
    void addGathering(const std::vector<std::string_view> &tokens,
                      const std::vector<uint32_t> &sources, uint32_t weight);
    // A definition: a document whose wording has words of its own ("betreffend", "vorwiegend")
    // that say nothing of the word it defines.
    void addDefinition(const std::vector<std::string_view> &tokens, uint32_t weight);
    // An English word that translates the German word.
    void addGloss(std::string_view german, std::string_view english);

    // Computes the tables; call once, after the last reader.
    void finish();

private:
    uint32_t keyOfToken(std::string_view token);
    uint32_t keyOfText(std::string_view key) const;
    void addClosedClassWords();
    void buildPostings();
    void chooseShownWords();
    std::vector<uint8_t> caseTheTextsUseMore(const std::vector<uint8_t> &headCases) const;

    LexiconTables *m_t;
    std::vector<uint32_t> m_stopKeys;
    std::vector<uint32_t> m_closedKeys;
    std::vector<uint32_t> m_openKeys;
    std::vector<uint32_t> m_headKeys;
    std::vector<uint32_t> m_headWords; // the words of m_headKeys as the dictionary writes them
    std::vector<uint8_t> m_headKinds;  // of m_headKeys: their kinds as the dictionary states them
    std::vector<bool> m_headNeuter;    // of m_headKeys: whether a neuter noun
    std::vector<std::pair<uint32_t, uint32_t>> m_forms; // form key, base key
    std::vector<bool> m_formOfNoun;                     // of each of m_forms: a noun's form
    BuildDocuments m_docs;
    uint32_t m_firstGathering = UINT32_MAX; // the number of the first gathering document
    // Of a headword's key, the base of its words in the other case: the noun of a verb's key
    // that is also a plural ("Sonnen"), the adjective of a noun's key that is also its form.
    std::vector<uint32_t> m_otherCaseBase;
    KeyFacts m_facts; // found by finish()
    std::unordered_map<std::string, uint32_t> m_englishWords;
    std::vector<std::pair<uint32_t, uint32_t>> m_glosses; // key, English word
    CompoundParts m_compounds;
};
