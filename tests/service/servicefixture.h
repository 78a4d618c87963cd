#pragma once

#include "data/indexcompiler.h"
#include "index/lexicon.h"
#include "query/associator.h"
#include "query/wordfamily.h"

#include <QString>
#include <QStringList>
#include <QTest>

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
        if (!IndexCompiler::load(thesaurusPath(), wordListPath(), &lexicon, &error))
            qFatal("%s", qPrintable(error));
        return lexicon;
    }();
    return loaded;
}

// The words a lexicon answers for the keyword, best first.
inline QStringList words(const Lexicon &lexicon, const QString &keyword, int count = 200)
{
    QStringList words;
    for (const Association &a : Associator(&lexicon).associate(keyword, count))
        words.append(QString::fromUtf8(lexicon.word(a.word)));
    return words;
}

// Word, relation and score of each association, for comparing two ways to the same answers.
inline QStringList scoredWords(const Lexicon &lexicon, const QString &keyword)
{
    QStringList lines;
    for (const Association &a : Associator(&lexicon).associate(keyword, 200))
        lines.append(QString::fromUtf8(lexicon.word(a.word)) +
                     QStringLiteral(" %1 %2").arg(int(a.relation)).arg(double(a.score)));
    return lines;
}

// The words such a service answers for the keyword, best first: what the tests of the
// transport expect to arrive unchanged. The ranking itself is tested by its rules.
inline QStringList answer(const QString &keyword, int count = 200)
{
    return words(lexicon(), keyword, count);
}

// Whether the answer lists every word wanted and none unwanted; a failure names the word.
inline void checkListed(const QStringList &answer, const QStringList &wanted,
                        const QStringList &unwanted = {})
{
    for (const QString &word : wanted)
        QVERIFY2(answer.contains(word),
                 qPrintable(word + QStringLiteral(": ") + answer.join(u',')));
    for (const QString &word : unwanted)
        QVERIFY2(!answer.contains(word),
                 qPrintable(word + QStringLiteral(": ") + answer.join(u',')));
}

// The word of the key that the family rule pairs with the key given, empty for none.
inline QString partner(const Lexicon &lexicon, std::string_view key)
{
    std::string scratch;
    const uint32_t k = lexicon.findKey(key);
    const uint32_t found = k == Lexicon::npos ? k : WordFamily::partnerOf(lexicon, k, &scratch);
    return found == Lexicon::npos ? QString()
                                  : QString::fromUtf8(lexicon.word(lexicon.wordOfKey(found)));
}

} // namespace ServiceFixture
