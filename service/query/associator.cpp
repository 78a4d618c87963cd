#include "query/associator.h"

#include "index/lexicon.h"
#include "language/lemmatiser.h"
#include "language/lexiconvocabulary.h"
#include "language/writtencase.h"
#include "query/admission.h"
#include "query/associationcache.h"
#include "query/finalorder.h"
#include "query/fusion.h"
#include "query/rankingweights.h"
#include "query/relatedlists.h"
#include "query/thesauruslists.h"
#include "query/weighing.h"

#include <QByteArray>

#include <algorithm>

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
    case Relation::Cooccurrence:
        return "cooccurrence";
    }
    return "neighbour";
}

namespace {

std::string_view viewOf(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

} // namespace

uint32_t Associator::baseKeyOf(const QString &keyword) const
{
    const QByteArray keyBytes = TermText::lookupKey(keyword).toUtf8();
    const QByteArray typed = keyword.trimmed().toUtf8();
    const bool capitalised = Language::writtenWithCapital(viewOf(typed));
    const Language::LexiconVocabulary vocabulary(*m_lexicon);
    return Language::Lemmatiser(vocabulary).baseOf(viewOf(keyBytes), capitalised);
}

std::vector<Association> Associator::associate(const QString &keyword, int count) const
{
    std::vector<Association> result;
    if (m_cache && m_cache->find(keyword, count, &result)) {
        return result;
    }
    result = compute(keyword, count);
    if (m_cache) {
        m_cache->insert(keyword, count, result);
    }
    return result;
}

std::vector<Association> Associator::compute(const QString &keyword, int count) const
{
    using namespace Ranking;
    const Lexicon &lexicon = *m_lexicon;
    const uint32_t base = baseKeyOf(keyword);
    if (base == Lexicon::npos) {
        return {};
    }
    const QByteArray typedBytes = TermText::lookupKey(keyword).toUtf8();
    const uint32_t typed = lexicon.findKey(viewOf(typedBytes));
    const Admission admission(lexicon, typed == Lexicon::npos ? base : typed, base);
    Fusion fusion(lexicon, admission);

    // A keyword that the thesaurus knows only as typed keeps its meanings.
    const uint32_t thesaurusKey =
        lexicon.meaningsOf(base).empty() && typed != Lexicon::npos ? typed : base;
    const auto thesaurus = thesaurusWords(lexicon, thesaurusKey, base);
    // The lists in the order in which they name a word's relation.
    fusion.addList(thesaurus, thesaurusWeight);
    fusion.addList(lexicon.compoundsOf(base), Relation::Compound, compoundWeight);
    const Lexicon::Ids cooccurrents = lexicon.cooccurrentsOf(base);
    const Lexicon::Ids witnessed = witnessedCooccurrents(lexicon, base);
    fusion.placeNext(0);
    fusion.addList(witnessed, Relation::Cooccurrence, cooccurrenceWeight, Evidence::Witness,
                   Kind::Texts);
    fusion.otherSideNext(base);
    fusion.addList(lexicon.backlinksOf(base), Relation::Cooccurrence, backlinkWeight,
                   Evidence::Witness, Kind::Texts);
    const Lexicon::Ids single{witnessed.last, cooccurrents.last};
    fusion.placeNext(uint32_t(witnessed.size()));
    fusion.addList(single, Relation::Cooccurrence, singleDocumentWeight, Evidence::Hint,
                   Kind::Texts);
    fusion.addList(neighbours(lexicon, thesaurus, fusion), neighbourWeight, Evidence::Hint);
    addSecondOrder(lexicon, thesaurus, base, &fusion);
    fusion.addList(compoundHeads(lexicon, base, &fusion), Relation::Cooccurrence, headWeight,
                   Evidence::Witness, Kind::CompoundHeads);
    addWordFamilies(lexicon, &fusion);
    auto &candidates = fusion.candidates();
    keepBorneOut(lexicon, base, single, witnessed.size() > 0, &candidates);
    markDefined(lexicon, base, &candidates);
    markLoose(lexicon, base, &candidates);
    weighByCommonness(lexicon, &fusion.candidates());
    weighByMutuality(lexicon, base, size_t(std::clamp(count, 1, maxCount)), &candidates);
    leaveOutOtherNumber(lexicon, base, &candidates);
    return finalOrder(lexicon, fusion.candidates(), size_t(std::clamp(count, 1, maxCount)));
}
