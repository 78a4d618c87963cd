#pragma once

#include <QString>
#include <QStringList>

// The tiny thesaurus and word list in data/, written for these tests (and usable by any test
// that needs a running service with known answers).
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

// The whole answer for the keyword Baum, in rank order: synonyms (the meaning where Baum is the
// main form first), broader terms, narrower terms (from "(Unterbegriff)" marks and from the
// meaning where Baum is the broader term), compounds (base forms by length, then inflected
// forms), neighbours (Gebüsch and Genealogie are reached from two synonyms each).
inline QStringList baumWords()
{
    return QStringList{
        "Gehölz",         "Holzgewächs", "Gewächs",    "Stammbaum",       "Ahnentafel",
        "baumartig",      "baumförmig",  "Pflanze",    "Holzpflanze",     "Eiche",
        "Buche",          "Linde",       "Obstbaum",   "Laubbaum",        "baumeln",
        "Baumhaus",       "Apfelbaum",   "Baumkrone",  "Baumschule",      "Schlagbaum",
        "Weihnachtsbaum", "Baums",       "Baumes",     "baumelt",         "Apfelbaums",
        "Baumhauses",     "Baumkronen",  "Gebüsch",    "Genealogie",      "Hecke",
        "Dickicht",       "Wäldchen",    "Hain",       "Strauch",         "Busch",
        "Wucherung",      "Geschwulst",  "Ahnenreihe", "Abstammungsliste"};
}

inline QStringList hoehleWords()
{
    return QStringList{"Grotte", "Kaverne", "Hohlraum", "Bärenhöhle", "Höhlenmalerei", "Höhlen"};
}

} // namespace ServiceFixture
