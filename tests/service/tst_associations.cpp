#include "data/datasources.h"
#include "data/gzip.h"
#include "data/indexcompiler.h"
#include "index/lexicon.h"
#include "language/inflection.h"
#include "language/termtext.h"
#include "query/associationcache.h"
#include "query/associator.h"
#include "query/wordfamily.h"
#include "search/wordpipeline.h"
#include "servicefixture.h"
#include "support/datatable.h"
#include "support/tempenvironment.h"
#include "support/watchdog.h"
#include "web/pagerenderer.h"
#include "web/queryfields.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <zlib.h>

using namespace Qt::StringLiterals;

namespace {

// Every source, each in its Debian package's format.
DataSources fixtureSources()
{
    const QString dir = ServiceFixture::dataDir();
    return {ServiceFixture::thesaurusPath(), ServiceFixture::wordListPath(),
            dir + u"/dictionary.txt"_s,      {dir + u"/proverbs"_s},
            dir + u"/stopwords.pm"_s,        {dir + u"/definitions.dict.dz"_s},
            dir + u"/annotations.xml"_s};
}

using ServiceFixture::words;

bool answerKeepsItsPromises(const Lexicon &lexicon, uint32_t word)
{
    const QString keyword = QString::fromUtf8(lexicon.word(word));
    const Associator associator(&lexicon);
    const uint32_t base = associator.baseKeyOf(keyword);
    const auto result = associator.associate(keyword, 200);
    QSet<uint32_t> seen;
    float previous = 1.0f;
    qsizetype phrases = 0, lastWord = 0;
    for (const Association &a : result) {
        const uint32_t key = lexicon.keyOf(a.word);
        const QString shown = QString::fromUtf8(lexicon.word(a.word));
        if (base != Lexicon::npos && (key == base || lexicon.baseOf(key) == base)) {
            qWarning() << keyword << "lists its own form" << shown;
            return false;
        }
        if (seen.contains(a.word) || a.score > previous || a.score <= 0) {
            qWarning() << keyword << "repeats or rises at" << shown << a.score;
            return false;
        }
        seen.insert(a.word);
        previous = a.score;
        if (!shown.contains(QLatin1Char(' ')))
            lastWord = seen.size();
    }
    for (qsizetype i = 0; i < std::min<qsizetype>(lastWord, 30); ++i)
        phrases += lexicon.word(result[size_t(i)].word).find(' ') != std::string_view::npos;
    if (phrases > 2 || (!result.empty() && result.front().score != 1.0f)) {
        qWarning() << keyword << "has" << phrases << "phrases at the top";
        return false;
    }
    return true;
}

} // namespace

class TestAssociations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void termsLoseTheirNotes_data();
    void termsLoseTheirNotes();
    void keysIgnoreCaseAndBlanks_data();
    void keysIgnoreCaseAndBlanks();
    void rankingFollowsTheRelations();
    void everyAnswerKeepsItsPromises();
    void junkIsKeptOut_data();
    void junkIsKeptOut();
    void compoundsAreCutOnce_data();
    void compoundsAreCutOnce();
    void capitalTellsTheKind();
    void wordFamiliesAreUsedTogether();
    void indexGivesTheRawAnswers();
    void definitionsCountOnceAndAreChecked();
    void unpackingKeepsToItsBound();
    void definitionWordingIsNoAssociation();
    void missingOrBrokenDataIsReported_data();
    void missingOrBrokenDataIsReported();
    void formFieldsAreDecoded_data();
    void formFieldsAreDecoded();
    void pageYieldsExactlyTheWords();
    void cacheGivesTheComputedAnswers();
    void phrasesAreCappedAtTheTop();
    void refusedWordsTakeNoRank();
    void formsByTheirEndings_data();
    void formsByTheirEndings();
    void basesAreTheOnesFormsAreOf_data();
    void basesAreTheOnesFormsAreOf();
    void formsFindTheirWord_data();
    void formsFindTheirWord();
    void everyMeaningIsAnswered();

private:
    QString goodIndex() const { return m_dir.filePath(u"good.idx"_s); }

    const Lexicon &m_lexicon = ServiceFixture::lexicon(); // the thesaurus and the word list alone
    Lexicon m_full;                                       // every source
    QTemporaryDir m_dir;
};

void TestAssociations::initTestCase()
{
    const TestSupport::Watchdog watchdog("compiling the association fixture", 120);
    QString error;
    QVERIFY2(IndexCompiler::load(fixtureSources(), &m_full, &error), qPrintable(error));
    QVERIFY2(IndexCompiler::compileTo(fixtureSources(), goodIndex(), &error), qPrintable(error));
}

void TestAssociations::termsLoseTheirNotes_data()
{
    TestSupport::addRows(u"associations/terms.tsv"_s,
                         {"term:bytes", "text:bytes", "role:int", "mainForm:bool", "noted:bool"});
}

void TestAssociations::termsLoseTheirNotes()
{
    QFETCH(QByteArray, term);
    QFETCH(QByteArray, text);
    QFETCH(int, role);
    QFETCH(bool, mainForm);
    const TermText::Parsed parsed =
        TermText::parse(std::string_view(term.constData(), size_t(term.size())));
    QCOMPARE(QByteArray(parsed.text.data(), qsizetype(parsed.text.size())), text);
    QCOMPARE(int(parsed.role), role);
    QCOMPARE(parsed.mainForm, mainForm);
    QTEST(parsed.noted, "noted");
}

void TestAssociations::keysIgnoreCaseAndBlanks_data()
{
    TestSupport::addRows(u"associations/keys.tsv"_s, {"text:bytes", "key:bytes"});
}

void TestAssociations::keysIgnoreCaseAndBlanks()
{
    QFETCH(QByteArray, text);
    const std::string key =
        TermText::lookupKey(std::string_view(text.constData(), size_t(text.size())));
    QTEST(QByteArray(key.data(), qsizetype(key.size())), "key");
}

// Baum's answer from the thesaurus and the word list alone. Compounds whose other part is a
// word lead (Weihnachtsbaum and Schlagbaum are no compounds here, Baums and baumeln never), and
// their other parts follow them as words met with Baum; then the thesaurus words, the
// neighbours of the synonyms last. "Haus", which the data use far more often, goes before the
// rarer words that the lists rank about alike. A word with "&", one in angle brackets, an elided
// prefix and the keyword itself never appear.
void TestAssociations::rankingFollowsTheRelations()
{
    const QStringList baum = words(m_lexicon, u"Baum"_s);
    const auto before = [&baum](const char *first, const char *second) {
        const qsizetype a = baum.indexOf(QString::fromUtf8(first));
        const qsizetype b = baum.indexOf(QString::fromUtf8(second));
        return a >= 0 && b >= 0 && a < b;
    };
    const QList<std::pair<const char *, const char *>> order{
        {"Baumschule", "Apfel"},     {"Apfelbaum", "Krone"},   {"Gehölz", "Eiche"},
        {"Pflanze", "Stammbaum"},    {"Holzgewächs", "Hecke"}, {"Gewächs", "Strauch"},
        {"Stammbaum", "Genealogie"}, {"Linde", "Wäldchen"},    {"Dickicht", "Geschwulst"}};
    for (const auto &[first, second] : order)
        QVERIFY2(before(first, second), qPrintable(u"%1 before %2 in %3"_s.arg(
                                            QString::fromUtf8(first), QString::fromUtf8(second),
                                            baum.join(QLatin1Char(',')))));
    QCOMPARE(QSet<QString>(baum.cbegin(), baum.cbegin() + 4),
             (QSet<QString>{"Apfelbaum", "Baumhaus", "Baumkrone", "Baumschule"}));
    for (const char *out : {"Baum", "Baums", "baumeln", "Weihnachtsbaum", "Schlagbaum", "Weihnacht",
                            "Schlag", "Baum & Strauch", "<Baum>", "Baum...", "Baum (fig.)"})
        QVERIFY2(!baum.contains(QString::fromUtf8(out)), out);
    // Elided with the one-character ellipsis too: never a word to show.
    QVERIFY(!TermText::isDisplayable("im Jahre (…)"));

    // A neighbour is no link that goes both ways: Baum, one of Strauch's, is not spared the
    // penalty of an association that goes one way only.
    const QStringList strauch = words(m_lexicon, u"Strauch"_s);
    QVERIFY2(strauch.indexOf(u"Gehölz"_s) >= 0 &&
                 strauch.indexOf(u"Gehölz"_s) < strauch.indexOf(u"Baum"_s),
             qPrintable(strauch.join(u',')));
    QCOMPARE(words(m_lexicon, u"HÖHLE"_s), (QStringList{u"Grotte"_s, u"Hohlraum"_s, u"Kaverne"_s}));
    QCOMPARE(words(m_lexicon, u"grüne Lunge"_s), QStringList({u"Stadtpark"_s, u"Parkanlage"_s}));
    // Case, blanks and the count asked for.
    QCOMPARE(words(m_lexicon, u"  BAUM "_s), baum);
    QCOMPARE(words(m_lexicon, u"...Baum"_s), baum);
    QCOMPARE(words(m_lexicon, u"Baum"_s, 3), baum.mid(0, 3));
    QCOMPARE(words(m_lexicon, u"Baum"_s, -5), baum.mid(0, 1));
    QCOMPARE(words(m_lexicon, u"Baum"_s, 100000), baum);
    for (const char *nothing : {"Xylophon", "", "   ", "..."})
        QVERIFY(words(m_lexicon, QString::fromUtf8(nothing)).isEmpty());
}

// What every answer promises, for every keyword the data know: none of the keyword's own forms,
// no word twice, scores from 1 down the list, at most two phrases among the first thirty places
// (or before the last single word); and each meaning the thesaurus lists under several words
// is kept once.
void TestAssociations::everyAnswerKeepsItsPromises()
{
    for (const Lexicon *lexicon : {&m_lexicon, static_cast<const Lexicon *>(&m_full)}) {
        for (uint32_t key = 0; key < lexicon->keyCount(); ++key) {
            QSet<QList<uint32_t>> meanings;
            for (const uint32_t posting : lexicon->meaningsOf(key)) {
                const Lexicon::Ids members = lexicon->membersOf(Lexicon::idOf(posting));
                meanings.insert(QList<uint32_t>(members.begin(), members.end()));
            }
            QCOMPARE(qsizetype(meanings.size()), qsizetype(lexicon->meaningsOf(key).size()));
            if (lexicon->wordOfKey(key) != Lexicon::npos)
                QVERIFY(answerKeepsItsPromises(*lexicon, lexicon->wordOfKey(key)));
        }
    }
}

void TestAssociations::junkIsKeptOut_data()
{
    TestSupport::addRows(u"associations/junk.tsv"_s,
                         {"keyword", "wanted:list", "unwanted:list", "base"});
}

// Each unwanted word would come in by one of the sources: a word-list entry that ends or
// begins with the keyword, a phrase of the dictionary, a neighbour in the thesaurus.
void TestAssociations::junkIsKeptOut()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, wanted);
    QFETCH(QStringList, unwanted);
    QFETCH(QString, base);
    const QStringList found = words(m_full, keyword);
    QVERIFY(!found.isEmpty());
    if (!base.isEmpty())
        QCOMPARE(found, words(m_full, base));
    ServiceFixture::checkListed(found, wanted, unwanted);
}

// The compiler's cut, as the index keeps it for the query: modifier and head, or none.
void TestAssociations::compoundsAreCutOnce_data()
{
    TestSupport::addRows(u"associations/compounds.tsv"_s, {"compound", "modifier", "head"});
}

void TestAssociations::compoundsAreCutOnce()
{
    QFETCH(QString, compound);
    QFETCH(QString, modifier);
    QFETCH(QString, head);
    const auto text = [&](uint32_t key) {
        return QString::fromUtf8(key == Lexicon::npos ? std::string_view("-") : m_full.key(key));
    };
    const uint32_t key = m_full.findKey(compound.toLower().toStdString());
    QVERIFY(key != Lexicon::npos);
    const Lexicon::CompoundCut cut = m_full.cutOf(key);
    const QString link = QString::fromLatin1(cut.linking.data(), qsizetype(cut.linking.size()));
    QCOMPARE(link.isEmpty() ? text(cut.modifier) : text(cut.modifier) + u'|' + link, modifier);
    QCOMPARE(text(cut.head), head);
}

// Keys ignore case; the capital letter tells a noun from a verb or adjective of that key.
void TestAssociations::capitalTellsTheKind()
{
    // "Sterne sind ferne Sonnen": the plural of "Sonne", not the verb "sonnen".
    QCOMPARE(words(m_full, u"Stern"_s, 1), QStringList{u"Sonne"_s});
    // So is the keyword "Sonnen" with its capital, a blank typed before it or not (the index
    // answers it alike, see indexGivesTheRawAnswers).
    QCOMPARE(words(m_full, u" Sonnen"_s), words(m_full, u"Sonne"_s));
    QVERIFY(words(m_full, u"sonnen"_s) != words(m_full, u"Sonne"_s));
    // "Reisen {n}" makes a noun of the verb too, but "Reise" is used more: "Reisen" is its plural.
    QCOMPARE(words(m_full, u"Reisen"_s), words(m_full, u"Reise"_s));
    QVERIFY(words(m_full, u"reisen"_s) != words(m_full, u"Reise"_s));
    // "Jugendliche {m,f}" is a noun of two genders, and "eine jugendliche Familie" speaks of
    // the adjective, not of it.
    QVERIFY(words(m_full, u"Jugendliche"_s) != words(m_full, u"jugendlich"_s));
    QCOMPARE(words(m_full, u"Familie"_s, 1), QStringList{u"jugendlich"_s});
    // The key they share is written as the dictionary's headword, the verb.
    const QStringList garten = words(m_full, u"Garten"_s);
    QVERIFY2(garten.contains(u"sonnen"_s), qPrintable(garten.join(',')));
}

void TestAssociations::wordFamiliesAreUsedTogether()
{
    QCOMPARE(ServiceFixture::partner(m_full, "traum"), u"träumen"_s);
    QCOMPARE(ServiceFixture::partner(m_full, "träumen"), u"Traum"_s);
    QCOMPARE(ServiceFixture::partner(m_full, "glaube"), u"glauben"_s);
    QCOMPARE(ServiceFixture::partner(m_full, "glauben"), u"Glaube"_s);
    // Alike in their letters, never used together.
    QCOMPARE(ServiceFixture::partner(m_full, "wein"), QString());
    QCOMPARE(ServiceFixture::partner(m_full, "weinen"), QString());
    // "während" is a participle of "währen" in the dictionary's tables; in a text it is the
    // function word, and counted as the verb it would stand beside every word of time.
    const uint32_t key = m_full.findKey("während");
    QVERIFY(key == Lexicon::npos || m_full.baseOf(key) == key);
    QCOMPARE(m_full.baseOf(m_full.findKey("gewährt")), m_full.findKey("währen"));
}

void TestAssociations::indexGivesTheRawAnswers()
{
    Lexicon mapped;
    QString error;
    QVERIFY2(mapped.open(goodIndex(), &error), qPrintable(error));
    for (const char *keyword :
         {"Haus", "Häuser", "schnell", "laufen", "Baum", "Höhle", "Tür", "Sonnen"}) {
        QCOMPARE(ServiceFixture::scoredWords(mapped, QString::fromUtf8(keyword)),
                 ServiceFixture::scoredWords(m_full, QString::fromUtf8(keyword)));
    }
}

// Several dictionaries define a word alike; a definition that two of them give counts once.
// A damaged file is reported, not half read.
void TestAssociations::definitionsCountOnceAndAreChecked()
{
    DataSources twice = fixtureSources();
    twice.definitions.append(twice.definitions.first());
    Lexicon lexicon;
    QString error;
    QVERIFY2(IndexCompiler::load(twice, &lexicon, &error), qPrintable(error));
    for (const char *keyword : {"Boot", "Fahrzeug"})
        QCOMPARE(words(lexicon, QString::fromUtf8(keyword)),
                 words(m_full, QString::fromUtf8(keyword)));
    const QString cut = m_dir.filePath(u"cut.dict.dz"_s);
    TestSupport::writeBytes(cut, TestSupport::readBytes(twice.definitions.first()).chopped(20));
    DataSources damaged = fixtureSources();
    damaged.definitions = {cut};
    QVERIFY(!IndexCompiler::load(damaged, &lexicon, &error));
    QVERIFY2(error.contains(cut) && error.contains(QLatin1String("cut short")), qPrintable(error));
    // So is a stop word file whose list holds no word.
    damaged = fixtureSources();
    damaged.stopWords = m_dir.filePath(u"empty.pm"_s);
    for (const char *module : {"sub _stopwords {\n    return qw(\n    );\n}\n",
                               // Words, but not in the function that holds the list.
                               "my @other = qw(und oder Wald);\n"}) {
        TestSupport::writeBytes(damaged.stopWords, module);
        QVERIFY(!IndexCompiler::load(damaged, &lexicon, &error));
        QVERIFY2(error.contains(QLatin1String("no German stop word list")), qPrintable(error));
    }
}

// What a compressed file unpacks to is bounded to the byte, wherever the bound falls among the
// pieces it is unpacked in.
void TestAssociations::unpackingKeepsToItsBound()
{
    const QByteArray plain((5 << 20) / 2, 'a'); // two and a half pieces
    QByteArray packed(plain.size(), Qt::Uninitialized);
    z_stream stream{};
    QCOMPARE(deflateInit2(&stream, 1, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(plain.constData()));
    stream.avail_in = uInt(plain.size());
    stream.next_out = reinterpret_cast<Bytef *>(packed.data());
    stream.avail_out = uInt(packed.size());
    QCOMPARE(deflate(&stream, Z_FINISH), Z_STREAM_END);
    packed.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    QByteArray out;
    QString error;
    QVERIFY2(Gzip::unpack(packed, plain.size(), &out, &error), qPrintable(error));
    QCOMPARE(out.size(), plain.size());
    QVERIFY(!Gzip::unpack(packed, plain.size() - 1, &out, &error));
    QVERIFY2(error.contains(QLatin1String("more than")) && out.isEmpty(), qPrintable(error));
    QVERIFY(!Gzip::unpack(packed.chopped(8), plain.size(), &out, &error));
    QVERIFY2(error.contains(QLatin1String("cut short")) && out.isEmpty(), qPrintable(error));
}

// Definitions have words of their own ("vorwiegend aus ..."), used in many of them and hardly
// anywhere else; such a word says nothing of what a definition defines. A noun that definitions
// use as much still names what the word is, and a rare word of a definition stays.
void TestAssociations::definitionWordingIsNoAssociation()
{
    const QString wordList = m_dir.filePath(u"wording-words.txt"_s);
    TestSupport::writeBytes(wordList, TestSupport::readBytes(ServiceFixture::wordListPath()) +
                                          "vorwiegend\nflach\nGerät\n");
    QByteArray definitions = "Floß /floːs/ <n, neut>\nradeau\n"
                             "Gerät aus Stämmen, vorwiegend flach\n";
    for (char first = 'a'; first < 'h'; ++first) {
        for (char second = 'a'; second < 'k'; ++second)
            definitions += QByteArray("Ding") + first + second +
                           " <n, neut>\nchose\nGerät, vorwiegend aus Holz\n";
    }
    const QString definitionFile = m_dir.filePath(u"wording.dict"_s);
    TestSupport::writeBytes(definitionFile, definitions);
    DataSources sources = fixtureSources();
    sources.wordList = wordList;
    sources.definitions = {definitionFile};
    Lexicon lexicon;
    QString error;
    QVERIFY2(IndexCompiler::load(sources, &lexicon, &error), qPrintable(error));
    const QStringList found = words(lexicon, u"Floß"_s);
    ServiceFixture::checkListed(found, {u"flach"_s, u"Gerät"_s}, {u"vorwiegend"_s});
}

void TestAssociations::missingOrBrokenDataIsReported_data()
{
    TestSupport::addRows(u"associations/brokendata.tsv"_s,
                         {"missing", "instead", "thesaurus:bytes", "expected"});
}

void TestAssociations::missingOrBrokenDataIsReported()
{
    QFETCH(QString, missing);
    QFETCH(QString, instead);
    QFETCH(QByteArray, thesaurus);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const QString name : {"thesaurus.dat", "thesaurus.idx", "wordlist.txt"}) {
        if (name != missing)
            QVERIFY(QFile::copy(ServiceFixture::dataDir() + QLatin1Char('/') + name,
                                dir.filePath(name)));
    }
    if (!thesaurus.isEmpty())
        TestSupport::writeBytes(dir.filePath(u"thesaurus.dat"_s), thesaurus);
    if (!instead.isEmpty())
        QVERIFY(TestSupport::makeNonFile(dir.filePath(missing), instead));
    Lexicon lexicon;
    QString error;
    const bool loaded = IndexCompiler::load(dir.filePath(u"thesaurus.dat"_s),
                                            dir.filePath(u"wordlist.txt"_s), &lexicon, &error);
    if (expected.isEmpty()) {
        QVERIFY2(loaded, qPrintable(error));
        QCOMPARE(words(lexicon, u"BÖ"_s), QStringList{u"Grotte"_s});
        return;
    }
    QVERIFY(!loaded);
    QVERIFY2(error.contains(expected), qPrintable(error));
    if (!missing.isEmpty())
        QVERIFY2(error.contains(dir.filePath(missing)), qPrintable(error));
}

void TestAssociations::formFieldsAreDecoded_data()
{
    TestSupport::addRows(u"associations/formfields.tsv"_s,
                         {"form:bytes", "keyword", "count:int", "format:int"});
}

void TestAssociations::formFieldsAreDecoded()
{
    QFETCH(QByteArray, form);
    QFETCH(QString, keyword);
    QFETCH(int, count);
    QFETCH(int, format);
    QueryFields fields;
    fields.parse(form);
    QCOMPARE(fields.keyword, keyword);
    QCOMPARE(fields.count, count);
    QCOMPARE(int(fields.format), format);
}

// The words the desktop program reads from the page are exactly the answer's, and JSON
// carries each word with its relation.
void TestAssociations::pageYieldsExactlyTheWords()
{
    // A keyword full of markup is echoed in the page and must not create or hide a block.
    const auto result = Associator(&m_lexicon).associate(u"Baum"_s, 200);
    for (const bool empty : {false, true}) {
        const QByteArray page =
            PageRenderer::html(u"<center>ueber<a>x</a></center>"_s,
                               empty ? std::vector<Association>() : result, m_lexicon);
        QVERIFY(page.contains("<meta charset=\"utf-8\">"));
        QCOMPARE(WordPipeline::extractWords(QString::fromUtf8(page)),
                 empty ? QStringList() : ServiceFixture::answer(u"Baum"_s));
    }
    // JSON names each word's relation, with a keyword that needs escaping.
    const auto haus = Associator(&m_full).associate(u"Haus"_s, 200);
    QJsonParseError error;
    const QJsonDocument doc =
        QJsonDocument::fromJson(PageRenderer::json(u"Hö\"hle\\"_s, haus, m_full), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject object = doc.object();
    QCOMPARE(object.value(u"keyword"_s).toString(), u"Hö\"hle\\"_s);
    const QJsonArray list = object.value(u"associations"_s).toArray();
    QCOMPARE(object.value(u"count"_s).toInt(), list.size());
    QStringList relations;
    for (const QJsonValue &entry : list)
        relations.append(entry[u"word"_s].toString() + QLatin1Char(':') +
                         entry[u"relation"_s].toString());
    QCOMPARE(list[0][u"score"_s].toDouble(), 1.0);
    for (const char *expected : {"Hausboot:compound", "Haustür:compound", "Tür:cooccurrence"})
        QVERIFY2(relations.contains(QString::fromUtf8(expected)),
                 qPrintable(relations.join(QLatin1Char(','))));
}

// The cache answers as the query would, per keyword and count, and drops the least recently
// used answers beyond its size.
void TestAssociations::cacheGivesTheComputedAnswers()
{
    const auto ids = [](const std::vector<Association> &result) {
        QList<uint32_t> words;
        for (const Association &a : result)
            words.append(a.word);
        return words;
    };
    const Associator plain(&m_lexicon);
    const std::vector<Association> baum = plain.associate(u"Baum"_s, 200);
    // Room for the answer for Baum and a little more.
    AssociationCache cache(qsizetype(baum.size() * sizeof(Association)) + 250);
    Associator cached(&m_lexicon);
    cached.setCache(&cache);
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(ids(cached.associate(u"Baum"_s, 200)), ids(baum));
        QCOMPARE(ids(cached.associate(u"Baum"_s, 2)), ids(baum).mid(0, 2));
    }
    std::vector<Association> found;
    QVERIFY(cache.find(u"Baum"_s, 2, &found));
    QVERIFY(!cache.find(u"baum"_s, 2, &found));
    QVERIFY(cache.find(u"Baum"_s, 200, &found));
    // Höhle's answer pushes out the one for Baum with 2 words, used least recently.
    QCOMPARE(ids(cached.associate(u"Höhle"_s, 200)).size(),
             ServiceFixture::answer(u"Höhle"_s).size());
    QVERIFY(cache.find(u"Höhle"_s, 200, &found));
    QVERIFY(!cache.find(u"Baum"_s, 2, &found));
}

// "schnell" has three phrases among its synonyms, all of them ranked before some plain words:
// two keep their places, the third goes after the plain words. Neighbours are capped too.
void TestAssociations::phrasesAreCappedAtTheTop()
{
    const QStringList found = ServiceFixture::answer(u"schnell"_s);
    const auto isPhrase = [](const QString &word) { return word.contains(QLatin1Char(' ')); };
    qsizetype lastPlain = found.size() - 1;
    while (lastPlain >= 0 && isPhrase(found[lastPlain]))
        --lastPlain;
    const qsizetype phrases = std::count_if(found.cbegin(), found.cend(), isPhrase);
    const qsizetype phrasesFirst =
        std::count_if(found.cbegin(), found.cbegin() + lastPlain + 1, isPhrase);
    QVERIFY2(phrases == 3 && phrasesFirst == 2, qPrintable(found.join(QLatin1Char(','))));
    // "Zwuxu" has thirteen synonyms, each with a meaning of its own that brings one neighbour:
    // only the first twelve synonyms are asked.
    const QStringList zwuxu = ServiceFixture::answer(u"Zwuxu"_s);
    QCOMPARE(zwuxu.filter(QRegularExpression(u"^Pf"_s)).size(), 13);
    QCOMPARE(zwuxu.filter(QRegularExpression(u"^Gn"_s)).size(), 12);
}

// A word that the answer refuses (here the keyword's own plural) takes no place in the list it
// stands in: the words after it keep their ranks, scores and all.
void TestAssociations::refusedWordsTakeNoRank()
{
    const QByteArray thesaurus = TestSupport::readBytes(ServiceFixture::thesaurusPath());
    QTemporaryDir dir;
    const auto load = [&dir](const QByteArray &data, Lexicon *lexicon) {
        const QString path = dir.filePath(u"thesaurus.dat"_s);
        TestSupport::writeBytes(path, data);
        TestSupport::writeBytes(dir.filePath(u"thesaurus.idx"_s), "UTF-8\n");
        QString error;
        return IndexCompiler::load(path, ServiceFixture::wordListPath(), lexicon, &error);
    };
    QByteArray withPlural = thesaurus;
    withPlural.replace("-|Stuhl|Sitz|", "-|Stuhl|Stühle|Sitz|");
    withPlural.replace("-|Hausboot|Haus-Boot|", "-|Hausboot|Haus-Boot|Haus-Boote|");
    QVERIFY(withPlural != thesaurus);
    Lexicon plain, plural;
    QVERIFY(load(thesaurus, &plain));
    QVERIFY(load(withPlural, &plural));
    const QStringList expected = ServiceFixture::scoredWords(plain, u"Stuhl"_s);
    QVERIFY(expected.size() >= 3);
    QCOMPARE(ServiceFixture::scoredWords(plural, u"Stuhl"_s), expected);
    // The typed form written with a hyphen is the keyword too.
    const QStringList boats = words(plural, u"Hausboote"_s);
    QVERIFY2(!boats.isEmpty() && !boats.contains(u"Haus-Boote"_s), qPrintable(boats.join(u',')));
    // A meaning listed again under another label is still one meaning, not two that agree.
    QByteArray relabelled = thesaurus;
    const QByteArray meaning = "\n-|Stammbaum|Ahnentafel|<Baum>|Baum (fig.)\n";
    QVERIFY(relabelled.indexOf(meaning) != relabelled.lastIndexOf(meaning));
    relabelled.replace(relabelled.lastIndexOf(meaning) + 1, 1, "(ugs.)");
    Lexicon again;
    QVERIFY(load(relabelled, &again));
    QCOMPARE(again.meaningCount(), plain.meaningCount());
}

// One row for each ending and each umlaut the rules know, and forms just outside them, which
// the dictionary's tables must supply instead.
void TestAssociations::formsByTheirEndings_data()
{
    TestSupport::addRows(u"associations/endings.tsv"_s,
                         {"form:bytes", "base:bytes", "isForm:bool"});
}

void TestAssociations::formsByTheirEndings()
{
    QFETCH(QByteArray, form);
    QFETCH(QByteArray, base);
    std::string scratch;
    const std::string wanted = base.toStdString();
    QTEST(Inflection::forEachReduction(form.toStdString(), &scratch,
                                       [&](std::string_view key) { return key == wanted; }),
          "isForm");
    if (form.size() > base.size())
        QTEST(Inflection::isFormOf(form.toStdString(), wanted, &scratch), "isForm");
}

// The bases read off a form once are exactly those it is a form of, asked one at a time.
void TestAssociations::basesAreTheOnesFormsAreOf_data()
{
    formsByTheirEndings_data();
}

void TestAssociations::basesAreTheOnesFormsAreOf()
{
    QFETCH(QByteArray, form);
    QFETCH(QByteArray, base);
    std::string scratch;
    const std::vector<std::string> bases = Inflection::basesOf(form.toStdString());
    const bool listed = std::find(bases.begin(), bases.end(), base.toStdString()) != bases.end();
    QCOMPARE(listed, Inflection::isFormOf(form.toStdString(), base.toStdString(), &scratch));
    for (const std::string &each : bases) {
        QVERIFY2(Inflection::isFormOf(form.toStdString(), each, &scratch), each.c_str());
    }
}

// A keyword that no list holds as typed is answered as the word it is a form of.
void TestAssociations::formsFindTheirWord_data()
{
    TestSupport::addRows(u"associations/findtheirword.tsv"_s, {"form", "word"});
}

void TestAssociations::formsFindTheirWord()
{
    QFETCH(QString, form);
    QFETCH(QString, word);
    const QStringList expected = ServiceFixture::answer(word);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(ServiceFixture::answer(form), expected);
}

// "Bank" is a seat and a money house: the answer holds the words of both meanings, and "Sitz",
// which it shares with "Stuhl", brings Stuhl's words in as neighbours, never the other way
// round in place of Bank's own.
void TestAssociations::everyMeaningIsAnswered()
{
    const QStringList bank = ServiceFixture::answer(u"Bank"_s);
    ServiceFixture::checkListed(bank,
                                {"Sitzbank", "Sitz", "Geldinstitut", "Kreditinstitut", "Sessel"});
    QVERIFY(bank.indexOf(u"Kreditinstitut"_s) < bank.indexOf(u"Sessel"_s));
    const QStringList stuhl = ServiceFixture::answer(u"Stuhl"_s);
    QVERIFY(stuhl.indexOf(u"Hocker"_s) < stuhl.indexOf(u"Sitzbank"_s));
    QVERIFY2(!stuhl.contains(u"Geldinstitut"_s), qPrintable(stuhl.join(u',')));
}

QTEST_GUILESS_MAIN(TestAssociations)
#include "tst_associations.moc"
