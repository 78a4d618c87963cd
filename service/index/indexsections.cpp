#include "index/indexsections.h"

#include "index/lexicontables.h"
#include "index/stringpool.h"

namespace IndexSections {

namespace {

template <class T> Elements elements(const std::vector<T> &v)
{
    return {v.data(), v.size()};
}

Elements text(const StringPool &pool)
{
    return {pool.text().data(), pool.text().size()};
}

} // namespace

using namespace IndexFormat;
using T = const LexiconTables &;

const Section sections[SectionCount] = {
    {WordText, 1, Extent::Free, [](T t) { return text(t.words); }},
    {WordOffsets, 4, Extent::TextOffsets, [](T t) { return elements(t.words.offsets()); }},
    {KeyText, 1, Extent::Free, [](T t) { return text(t.keys); }},
    {KeyOffsets, 4, Extent::TextOffsets, [](T t) { return elements(t.keys.offsets()); }},
    {KeySlots, 8, Extent::HashSlots, [](T t) { return elements(t.keys.hashSlots()); }},
    {WordKey, 4, Extent::PerWord, [](T t) { return elements(t.wordKey); }},
    {WordFlags, 1, Extent::PerWord, [](T t) { return elements(t.wordFlags); }},
    {KeyWord, 4, Extent::PerKey, [](T t) { return elements(t.keyWord); }},
    {KeyBase, 4, Extent::PerKey, [](T t) { return elements(t.keyBase); }},
    {KeyCommonness, 4, Extent::PerKey, [](T t) { return elements(t.keyCommonness); }},
    {MeaningBegin, 4, Extent::MeaningBegins, [](T t) { return elements(t.meaningBegin); }},
    {Members, 4, Extent::Free, [](T t) { return elements(t.members); }},
    {PostingBegin, 4, Extent::ListBegins, [](T t) { return elements(t.postingBegin); }},
    {Postings, 4, Extent::Free, [](T t) { return elements(t.postings); }},
    {CompoundBegin, 4, Extent::ListBegins, [](T t) { return elements(t.compoundBegin); }},
    {Compounds, 4, Extent::Free, [](T t) { return elements(t.compounds); }},
    {CoocBegin, 4, Extent::ListBegins, [](T t) { return elements(t.coocBegin); }},
    {Cooc, 4, Extent::Free, [](T t) { return elements(t.cooc); }},
    {CaseReadings, 4, Extent::Pairs, [](T t) { return elements(t.caseReadings); }},
    {KeyKinds, 1, Extent::PerKey, [](T t) { return elements(t.keyKinds); }},
    {CompoundCuts, 4, Extent::Quadruples, [](T t) { return elements(t.compoundCuts); }},
    {CoocWitnessed, 4, Extent::PerKey, [](T t) { return elements(t.coocWitnessed); }},
    {KeySpread, 4, Extent::PerKey, [](T t) { return elements(t.keySpread); }},
    {BacklinkBegin, 4, Extent::ListBegins, [](T t) { return elements(t.backlinkBegin); }},
    {Backlinks, 4, Extent::Free, [](T t) { return elements(t.backlinks); }},
    {CoocLoose, 1, Extent::Free, [](T t) { return elements(t.coocLoose); }},
    {CoocDefining, 1, Extent::Free, [](T t) { return elements(t.coocDefining); }},
};

} // namespace IndexSections
