#pragma once

#include <QString>
#include <QStringList>

// The tiny data files in data/, one in the format of each Debian source, written for these
// tests (and usable by any test that needs a running service with known answers).
namespace ServiceFixture {

inline QString dataDir()
{
    return QStringLiteral(LEXIGROVE_SERVICE_TEST_DATA);
}
inline QString thesaurusPath()
{
    return dataDir() + QStringLiteral("/thesaurus.dat");
}
inline QString wordListPath()
{
    return dataDir() + QStringLiteral("/wordlist.txt");
}

// The whole answer for the keyword Baum from the thesaurus and the word list alone, in rank
// order. Compounds whose other part is a word lead (Weihnachtsbaum and Schlagbaum are no
// compounds here, Baums and baumeln never), and their other parts follow them as words met
// with Baum; then the thesaurus words, the neighbours of the synonyms last.
// "Haus", which the data use far more often, goes before the rarer words that the lists
// rank about alike.
inline QStringList baumWords()
{
    return QStringList{"Apfelbaum",  "Baumhaus",    "Baumkrone",  "Baumschule", "Apfel",
                       "Krone",      "Schule",      "Haus",       "Gehölz",     "Gewächs",
                       "Pflanze",    "Holzpflanze", "Stammbaum",  "Ahnentafel", "Holzgewächs",
                       "Eiche",      "Buche",       "baumartig",  "Linde",      "baumförmig",
                       "Obstbaum",   "Laubbaum",    "Genealogie", "Gebüsch",    "Abstammungsliste",
                       "Ahnenreihe", "Strauch",     "Busch",      "Hecke",      "Dickicht",
                       "Wäldchen",   "Hain",        "Wucherung",  "Geschwulst"};
}

inline QStringList hoehleWords()
{
    return QStringList{"Grotte", "Hohlraum", "Kaverne"};
}

} // namespace ServiceFixture
