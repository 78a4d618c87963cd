#pragma once

#include "data/builddocuments.h"

#include <cstdint>

// The rules for the pairs that the token at i of document d makes with the other tokens of the
// document. The scorer asks them of every pair of every document, so what they need of the
// token and of its document is read once, here, and not again for each partner j.
class TokenPairs
{
public:
    TokenPairs(const BuildDocuments &docs, uint32_t d, uint32_t i)
        : m_partOf(docs.partOf.data()), m_parts(docs.partOf.size()), m_source(docs.source.data()),
          m_sources(docs.source.size()), m_i(i), m_key(docs.keys[i]), m_first(docs.begin[d]),
          m_counted(i < m_parts), m_part(m_counted ? m_partOf[i] : UINT32_MAX),
          m_entries(i < m_sources ? m_source[i] : 0),
          m_loose(docs.isSayingAt(d) || docs.isGatheringAt(d)),
          m_ofThird(docs.isDefinitionAt(d) && i != m_first)
    {
        const bool hasClass = d < docs.genus.size() && docs.genus[d] != UINT32_MAX;
        m_genus = hasClass && i != m_first ? docs.genus[d] : UINT32_MAX;
    }

    // Whether the document pairs them only as all its words are paired: a saying's words stand
    // in one sentence, mostly by chance; a gathering joins entries through a foreign word; a
    // definition of a third word describes that word. A dictionary line, or a definition of one
    // of them by words that include the other, pairs them by choice.
    bool loosely(uint32_t j) const { return m_loose || (m_ofThird && j != m_first); }

    // Whether the document is the definition of the word at j, which describes it by the word
    // at i: the lexicographer's own statement of what it is, not words used side by side.
    bool definesOther(uint32_t j) const { return m_ofThird && j == m_first; }

    // Whether the token at j stands beside the one at i only through a compound: as the other
    // part of one ("Tag" beside "Mutter" of "Muttertag") or as a part of the compound at i
    // ("Tag" of "Geburtstag"). The compound's own document joins them once; every text that
    // names the compound is no further witness. (The compound beside its part is one.)
    bool meetInCompound(uint32_t j) const
    {
        if (!m_counted || j >= m_parts) {
            return false;
        }
        return (m_part != UINT32_MAX && m_part == m_partOf[j]) || m_partOf[j] == m_key;
    }

    // Whether both stand in their document as themselves, not only as parts of a compound that
    // it names.
    bool byThemselves(uint32_t j) const
    {
        return !m_counted || j >= m_parts || (m_part == UINT32_MAX && m_partOf[j] == UINT32_MAX);
    }

    // Whether they stand in a definition as its class and a word that tells the thing from
    // others of the class: "Gebäude" names what a terminal is, and says nothing of airports.
    // The class goes with the word defined only.
    bool classAndDetail(uint32_t j) const
    {
        return m_genus != UINT32_MAX && j != m_first && (m_i == m_genus || j == m_genus);
    }

    // Whether one of them stands in a definition before its class, as a detail of it ("junge,
    // unverheiratete, adlige Frau"), and the other is not the word defined: the details tell
    // what the thing defined is, and say nothing of each other or of the rest of the definition.
    bool detailBeyondDefined(uint32_t j) const
    {
        return m_genus != UINT32_MAX && j != m_first && (m_i < m_genus || j < m_genus);
    }

    // Whether they came into a gathering with one entry, which pairs them in its own document
    // already: the gathering joins entries, and repeats no entry as a witness, though another
    // entry brings one of the words as well.
    bool fromOneEntry(uint32_t j) const
    {
        return m_entries != 0 && j < m_sources && (m_entries & m_source[j]) != 0;
    }

private:
    const uint32_t *m_partOf;
    size_t m_parts;
    const uint32_t *m_source;
    size_t m_sources;
    uint32_t m_i;
    uint32_t m_key;
    uint32_t m_first; // the document's first token: the word a definition defines
    bool m_counted;   // whether the parts of compounds are known as far as token i
    uint32_t m_part;
    uint32_t m_entries;
    bool m_loose;
    bool m_ofThird;
    uint32_t m_genus; // the class's token, where the rules of classes apply to i
};
