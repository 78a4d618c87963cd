#pragma once

#include "associator.h"
#include "lexicon.h"

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

// The thesaurus and the word list alone, as a service started with just these two serves them.
inline const Lexicon &lexicon()
{
    static const Lexicon loaded = [] {
        Lexicon lexicon;
        QString error;
        if (!lexicon.load(thesaurusPath(), wordListPath(), &error))
            qFatal("%s", qPrintable(error));
        return lexicon;
    }();
    return loaded;
}

// The words such a service answers for the keyword, best first: what the tests of the
// transport expect to arrive unchanged. The ranking itself is tested by its rules.
inline QStringList answer(const QString &keyword, int count = 200)
{
    QStringList words;
    for (const Association &a : Associator(&lexicon()).associate(keyword, count)) {
        const std::string_view word = lexicon().word(a.word);
        words.append(QString::fromUtf8(word.data(), qsizetype(word.size())));
    }
    return words;
}

} // namespace ServiceFixture
