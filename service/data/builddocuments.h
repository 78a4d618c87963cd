#pragma once

#include <cstdint>
#include <vector>

// The documents as the readers hand them to the builder: the keys of their tokens in text order,
// each with whether the token began with a capital, and of each document where it begins, its
// weight and whether it is a definition.
struct BuildDocuments
{
    std::vector<uint32_t> keys;
    std::vector<bool> capitalised; // of each of keys
    std::vector<uint32_t> begin{0};
    std::vector<uint8_t> weight;
    std::vector<bool> isDefinition; // as far as a definition has been added
    std::vector<bool> isSaying;     // as far as a saying has been added
    std::vector<bool> isGathering;  // as far as a gathering has been added
    // Of each document as far as a part of a longer text has been added: the first document of
    // its text (its own number for a text of one document).
    std::vector<uint32_t> text;
    // Of each of keys once counted: the compound whose part alone brought the key into the
    // document, or UINT32_MAX where the document names the key itself.
    std::vector<uint32_t> partOf;
    // Of each of keys as far as a gathering has been added: the entries of other texts that
    // brought the key into a document gathering entries of several texts (those that one English
    // word translates), a bit each by their order in the document (the 32nd and later share the
    // last bit), or 0 where no such entry did.
    std::vector<uint32_t> source;
    // Of each definition once counted: the token of the noun that names the class of the thing
    // defined ("Gebäude" of "Gebäude eines Flughafens"), or UINT32_MAX where none stands.
    std::vector<uint32_t> genus;

    uint32_t count() const { return uint32_t(begin.size() - 1); }
    uint32_t textOf(uint32_t doc) const { return doc < text.size() ? text[doc] : doc; }
    bool isDefinitionAt(uint32_t doc) const
    {
        return doc < isDefinition.size() && isDefinition[doc];
    }
    bool isSayingAt(uint32_t doc) const { return doc < isSaying.size() && isSaying[doc]; }
    // Whether document d pairs the tokens at i and j only as all its words are paired: a
    // saying's words stand in one sentence, mostly by chance; a gathering joins entries through
    // a foreign word; a definition of a third word describes that word. A dictionary line, or a
    // definition of one of them by words that include the other, pairs them by choice.
    bool pairsLoosely(uint32_t d, uint32_t i, uint32_t j) const
    {
        return isSayingAt(d) || (d < isGathering.size() && isGathering[d]) ||
               (isDefinitionAt(d) && i != begin[d] && j != begin[d]);
    }
    // Whether the token at j stands in the document at i's side only through a compound: as
    // the other part of one ("Tag" beside "Mutter" of "Muttertag") or as a part of the compound
    // at i ("Tag" of "Geburtstag"). The compound's own document joins them once; every text
    // that names the compound is no further witness. (The compound beside its part is one.)
    bool meetInCompound(uint32_t i, uint32_t j) const
    {
        if (i >= partOf.size() || j >= partOf.size()) {
            return false;
        }
        return (partOf[i] != UINT32_MAX && partOf[i] == partOf[j]) || partOf[j] == keys[i];
    }
    // Whether the tokens at i and j both stand in their document as themselves, not only as
    // parts of a compound that it names.
    bool byThemselves(uint32_t i, uint32_t j) const
    {
        return i >= partOf.size() || j >= partOf.size() ||
               (partOf[i] == UINT32_MAX && partOf[j] == UINT32_MAX);
    }
    // Whether the tokens at i and j of document d stand in a definition as its class and a word
    // that tells the thing from others of the class: "Gebäude" names what a terminal is, and
    // says nothing of airports. The class goes with the word defined only.
    bool classAndDetail(uint32_t d, uint32_t i, uint32_t j) const
    {
        if (d >= genus.size() || genus[d] == UINT32_MAX || i == begin[d] || j == begin[d]) {
            return false;
        }
        return i == genus[d] || j == genus[d];
    }
    // Whether one of the tokens at i and j of document d stands in a definition before its
    // class, as a detail of it ("junge, unverheiratete, adlige Frau"), and the other is not the
    // word defined: the details tell what the thing defined is, and say nothing of each other or
    // of the rest of the definition.
    bool detailBeyondDefined(uint32_t d, uint32_t i, uint32_t j) const
    {
        if (d >= genus.size() || genus[d] == UINT32_MAX || i == begin[d] || j == begin[d]) {
            return false;
        }
        return i < genus[d] || j < genus[d];
    }
    // Whether the tokens at i and j came into a gathering with one entry, which pairs them in
    // its own document already: the gathering joins entries, and repeats no entry as a witness,
    // though another entry brings one of the words as well.
    bool fromOneEntry(uint32_t i, uint32_t j) const
    {
        return i < source.size() && j < source.size() && (source[i] & source[j]) != 0;
    }
};
