#include "data/datasources.h"
#include "data/indexcompiler.h"
#include "index/indexsections.h"
#include "index/lexicon.h"
#include "language/termtext.h"
#include "query/associationcache.h"
#include "query/associator.h"
#include "query/wordfamily.h"
#include "servicefixture.h"
#include "support/tempenvironment.h"
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

namespace {

// Every source, each in its Debian package's format.
DataSources fixtureSources()
{
    const QString dir = ServiceFixture::dataDir();
    return {ServiceFixture::thesaurusPath(),         ServiceFixture::wordListPath(),
            dir + QStringLiteral("/dictionary.txt"), {dir + QStringLiteral("/proverbs")},
            dir + QStringLiteral("/stopwords.pm"),   {dir + QStringLiteral("/definitions.dict.dz")},
            dir + QStringLiteral("/annotations.xml")};
}

using ServiceFixture::words;

} // namespace

class TestAssociations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void termsLoseTheirNotes_data();
    void termsLoseTheirNotes();
    void rankingFollowsTheRelations();
    void junkIsKeptOut_data();
    void junkIsKeptOut();
    void compoundsAreCutOnce_data();
    void compoundsAreCutOnce();
    void capitalTellsTheKind();
    void functionWordIsNoForm();
    void wordFamiliesAreUsedTogether();
    void indexGivesTheRawAnswers();
    void definitionsCountOnceAndAreChecked();
    void definitionWordingIsNoAssociation();
    void sectionTableFollowsTheFormat();
    void missingOrBrokenDataIsReported_data();
    void missingOrBrokenDataIsReported();
    void formFieldsAreDecoded_data();
    void formFieldsAreDecoded();
    void pageYieldsExactlyTheWords();
    void jsonCarriesRelationsAndScores();
    void cacheGivesTheComputedAnswers();

private:
    QString goodIndex() const { return m_dir.filePath(QStringLiteral("good.idx")); }

    const Lexicon &m_lexicon = ServiceFixture::lexicon(); // the thesaurus and the word list alone
    Lexicon m_full;                                       // every source
    QTemporaryDir m_dir;
};

void TestAssociations::initTestCase()
{
    QString error;
    QVERIFY2(IndexCompiler::load(fixtureSources(), &m_full, &error), qPrintable(error));
    QVERIFY2(IndexCompiler::compileTo(fixtureSources(), goodIndex(), &error), qPrintable(error));
}

void TestAssociations::termsLoseTheirNotes_data()
{
    QTest::addColumn<QByteArray>("term");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("role");
    QTest::addColumn<bool>("mainForm");
    const auto row = [](const char *name, const QByteArray &term, const QByteArray &text,
                        int role = int(TermRole::Plain), bool mainForm = false) {
        QTest::newRow(name) << term << text << role << mainForm;
    };
    row("usage note", "Bude (ugs.)", "Bude");
    row("several notes", "Haus (Hauptform) (Oberbegriff)", "Haus", int(TermRole::Broader), true);
    row("mark inside a list", "Graph (fachspr., Unterbegriff)", "Graph", int(TermRole::Narrower));
    row("optional words before", "(sich) (die) Seiten halten (ugs.)", "Seiten halten");
    row("optional ending", "viele(s) andere (ugs.)", "viele andere");
    row("nothing but a note", "(Jahreszahl)", QByteArray());
    row("unbalanced", "(kaputt", "(kaputt");
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
}

// Baum's answer from the thesaurus and the word list alone. Compounds whose other part is a
// word lead (Weihnachtsbaum and Schlagbaum are no compounds here, Baums and baumeln never), and
// their other parts follow them as words met with Baum; then the thesaurus words, the
// neighbours of the synonyms last. "Haus", which the data use far more often, goes before the
// rarer words that the lists rank about alike. A word with "&", one in angle brackets, an elided
// prefix and the keyword itself never appear.
void TestAssociations::rankingFollowsTheRelations()
{
    const QStringList baum = words(m_lexicon, QStringLiteral("Baum"));
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
        QVERIFY2(before(first, second),
                 qPrintable(QStringLiteral("%1 before %2 in %3")
                                .arg(QString::fromUtf8(first), QString::fromUtf8(second),
                                     baum.join(QLatin1Char(',')))));
    QCOMPARE(QSet<QString>(baum.cbegin(), baum.cbegin() + 4),
             (QSet<QString>{"Apfelbaum", "Baumhaus", "Baumkrone", "Baumschule"}));
    for (const char *out : {"Baum", "Baums", "baumeln", "Weihnachtsbaum", "Schlagbaum", "Weihnacht",
                            "Schlag", "Baum & Strauch", "<Baum>", "Baum...", "Baum (fig.)"})
        QVERIFY2(!baum.contains(QString::fromUtf8(out)), out);
    QStringList once = baum;
    QCOMPARE(once.removeDuplicates(), 0);

    QCOMPARE(words(m_lexicon, QStringLiteral("HÖHLE")),
             (QStringList{QStringLiteral("Grotte"), QStringLiteral("Hohlraum"),
                          QStringLiteral("Kaverne")}));
    QCOMPARE(words(m_lexicon, QStringLiteral("grüne Lunge")),
             QStringList({QStringLiteral("Stadtpark"), QStringLiteral("Parkanlage")}));
    // Case, blanks and the count asked for.
    QCOMPARE(words(m_lexicon, QStringLiteral("  BAUM ")), baum);
    QCOMPARE(words(m_lexicon, QStringLiteral("Baum"), 3), baum.mid(0, 3));
    QCOMPARE(words(m_lexicon, QStringLiteral("Baum"), -5), baum.mid(0, 1));
    QCOMPARE(words(m_lexicon, QStringLiteral("Baum"), 100000), baum);
    for (const char *nothing : {"Xylophon", "", "   ", "..."}) {
        QVERIFY(words(m_lexicon, QString::fromUtf8(nothing)).isEmpty());
    }
}

void TestAssociations::junkIsKeptOut_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("wanted");
    QTest::addColumn<QStringList>("unwanted");
    QTest::addColumn<QString>("base"); // when set, the keyword is answered exactly as this
    const auto row = [](const char *name, const QString &keyword, const QStringList &wanted,
                        const QStringList &unwanted, const QString &base = {}) {
        QTest::newRow(name) << keyword << wanted << unwanted << base;
    };
    row("compounds", "Haus", {"Hausboot", "Haustür"},
        {"durchaus", "Haussier", "Hausboote", "Haustüren"});
    row("stop words", "Haus", {"Tür", "Garten", "bauen", "Boot"},
        {"ein", "mit", "und", "wer", "warum", "Häuser"});
    // The word list has it only in the plural, the thesaurus in the singular.
    row("compound of a plural", "Land", {"Landhaus"}, {"Landhäuser"});
    // "Sonnen|schein" is of the noun "Sonne", not of the verb "sonnen".
    row("noun before a linking element", "Sonne", {"Sonnenschein"}, {});
    // A freckle is neither summer nor rung: the cut "Sommer|sprosse" stands, but its parts are
    // no associations of each other.
    row("opaque compound", "Sprosse", {"Sommersprosse"}, {"Sommer"});
    row("gloss", "Ei", {"Eigelb"}, {"Eiland"});
    row("loanword, linking s", "Auto", {"Stopp"}, {"Autogramm", "Topp"});
    row("cognate compound", "Ball", {"Handball"}, {});
    // "<mee-uf-owed>" is a misspelling, not an English word that ties "miauen" to "geschuldet".
    row("misspelling", "miauen", {"Katze"}, {"geschuldet"});
    // An emoji's keywords go together; the name it is read out by is no keyword.
    row("emoji keywords", "Turm", {"Burg"}, {"Schnee"});
    row("word part", "Boot", {}, {"Werft"});
    // The line before a definition translates the word; its words are no associations. The
    // next entry's headword has no grammar note ("mit /mɪt/") and still ends this one.
    row("definition", "Boot", {"Fahrzeug"}, {"Kahn"});
    // "umgangssprachlich: Fahrzeug aus Stämmen": the register is no part of the meaning.
    row("register label", "Floß", {"Fahrzeug"}, {"umgangssprachlich"});
    // "Schifffahrt: Fahrzeug aus Brettern": the field names the subject, not what goes with it.
    row("field label", "Floß", {"Fahrzeug"}, {"Schifffahrt"});
    // "Tor {m} [poet.] [obs.]" among the words for a fool: an old use ties nothing to the goal,
    // neither in its line nor through the English they share.
    row("old use", "Tor", {}, {"Blödian", "Narr"});
    row("old use, other words", "Blödian", {"Dummkopf"}, {"Tor"});
    // A line that opens several proverbs is a heading: its words pair with none of theirs.
    row("heading", "Kahn", {"Krone", "Buche"}, {"Motor"});
    // A story too long to be one saying pairs its words sentence by sentence.
    row("long story", "Eiche", {"Sturm"}, {"Ball"});
    // A neighbour in the plural is the synonym it stands beside.
    row("two forms", "Felsenhöhle", {"Felsspalte", "Kluft"}, {"Felsspalten"});
    // Two letters make a noun that the dictionary defines, and it has words that go with it.
    // "in den Eiern" is its dative plural, though "eiern" (to wobble) is a verb and "Eiern" its
    // noun too; never shown as a word that goes with "Ei".
    row("two letters", "Ei", {"Nest"}, {"Eiern"});
    row("form of a function word", "Eiland", {"Linde"}, {"meisten"});
    // "Werks…; betrieblich {adj}": the first part of compounds is no adjective, and "Werks" a
    // form of "Werk".
    row("first part", "Werks", {}, {}, "Werk");
    row("own spelling", "Hausboot", {"Wohnschiff"}, {"Haus-Boot"});
    // "in den Zimmern des Hauses": the noun "Zimmer", not the verb "zimmern".
    row("dative plural, not verb", "Haus", {"Zimmer"}, {"zimmern"});
    row("plural of its own", "Haus", {"Eltern"}, {"Elter"});
    row("own forms", "schnell", {"rasch", "behänd", "Boot"},
        {"schnelle", "schneller", "schnellem", "00"});
    // A plural and a verb form from the dictionary, and an ending on a known form.
    row("plural", "Häuser", {}, {}, "Haus");
    row("verb form", "läuft", {}, {}, "laufen");
    // "etw. (schwer) tragen; schleppen {vt} | ... | ich/er/sie trug; ...": the verb is "tragen",
    // whatever it takes and however it is narrowed.
    row("verb with an object", "trug", {"Boot"}, {}, "tragen");
    // A separable verb with its particle in front: "mitträgt" of "mittragen" as "trägt" is of
    // "tragen", and "mitzutragen" with its "zu".
    row("particle in front", "mitträgt", {}, {}, "mittragen");
    row("particle and zu", "mitzutragen", {}, {}, "mittragen");
    // An ending on a form that the dictionary lists: "getragen" of "tragen".
    row("ending on a form", "getragener", {}, {}, "tragen");
    // "schlafen; pennen [ugs.] {vi} | ... | geschlafen; gepennt": the note is no part of the word.
    row("noted verb", "gepennt", {}, {}, "pennen");
    row("ending", "schnelleren", {}, {}, "schnell");
    row("adjective, not noun", "schnellen", {}, {}, "schnell");
    row("plural of a noun of two genders", "Jugendlichen", {}, {}, "Jugendliche");
    // "Wildern" is no dative plural of a noun: "wilder" is a form of the adjective "wild".
    row("verb made noun, not a plural", "Garten", {}, {"wild"});
    row("dative plural beside a verb made noun", "Eiern", {}, {}, "Ei");
    row("narrowed headword", "Museen", {}, {}, "Museum");
    row("umlaut plural", "Wälder", {}, {"Wälder"}, "Wald");
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
    if (!base.isEmpty()) {
        QCOMPARE(found, words(m_full, base));
    }
    for (const QString &word : wanted) {
        QVERIFY2(found.contains(word), qPrintable(word + QLatin1String(": ") + found.join(',')));
    }
    for (const QString &word : unwanted) {
        QVERIFY2(!found.contains(word), qPrintable(word));
    }
    QCOMPARE(QStringList(found).removeDuplicates(), 0);
    // Phrases move down: at most two in the first thirty places, or before the last single word
    // where the answer is shorter.
    qsizetype lastWord = found.size();
    while (lastWord > 0 && found[lastWord - 1].contains(QLatin1Char(' '))) {
        --lastWord;
    }
    QVERIFY(found.mid(0, std::min<qsizetype>(lastWord, 30)).filter(QLatin1String(" ")).size() <= 2);
}

// The compiler's cut, as the index keeps it for the query: modifier and head, or none.
void TestAssociations::compoundsAreCutOnce_data()
{
    QTest::addColumn<QString>("compound");
    QTest::addColumn<QString>("modifier");
    QTest::addColumn<QString>("head");
    const auto row = [](const char *name, const QString &compound, const QString &modifier,
                        const QString &head) {
        QTest::newRow(name) << compound << modifier << head;
    };
    row("plain", "Hausboot", "haus", "boot");
    row("noun before a linking element", "Sonnenschein", "sonne", "schein");
    row("no linking s after a vowel", "Autostopp", "auto", "stopp");
}

void TestAssociations::compoundsAreCutOnce()
{
    QFETCH(QString, compound);
    QFETCH(QString, modifier);
    QFETCH(QString, head);
    const auto text = [&](uint32_t key) {
        const std::string_view k = key == Lexicon::npos ? std::string_view("-") : m_full.key(key);
        return QString::fromUtf8(k.data(), qsizetype(k.size()));
    };
    const uint32_t key = m_full.findKey(compound.toLower().toStdString());
    QVERIFY(key != Lexicon::npos);
    const Lexicon::CompoundCut cut = m_full.cutOf(key);
    QCOMPARE(text(cut.modifier), modifier);
    QCOMPARE(text(cut.head), head);
}

// Keys ignore case; the capital letter tells a noun from a verb or adjective of that key.
void TestAssociations::capitalTellsTheKind()
{
    // "Sterne sind ferne Sonnen": the plural of "Sonne", not the verb "sonnen".
    QCOMPARE(words(m_full, QStringLiteral("Stern"), 1), QStringList{QStringLiteral("Sonne")});
    // So is the keyword "Sonnen" with its capital (the index answers it alike, see
    // indexGivesTheRawAnswers).
    QCOMPARE(words(m_full, QStringLiteral("Sonnen")), words(m_full, QStringLiteral("Sonne")));
    QVERIFY(words(m_full, QStringLiteral("sonnen")) != words(m_full, QStringLiteral("Sonne")));
    // "Reisen {n}" makes a noun of the verb too, but "Reise" is used more: "Reisen" is its plural.
    QCOMPARE(words(m_full, QStringLiteral("Reisen")), words(m_full, QStringLiteral("Reise")));
    QVERIFY(words(m_full, QStringLiteral("reisen")) != words(m_full, QStringLiteral("Reise")));
    // "Jugendliche {m,f}" is a noun of two genders, and "eine jugendliche Familie" speaks of
    // the adjective, not of it.
    QVERIFY(words(m_full, QStringLiteral("Jugendliche")) !=
            words(m_full, QStringLiteral("jugendlich")));
    QCOMPARE(words(m_full, QStringLiteral("Familie"), 1),
             QStringList{QStringLiteral("jugendlich")});
    // The key they share is written as the dictionary's headword, the verb.
    const QStringList garten = words(m_full, QStringLiteral("Garten"));
    QVERIFY2(garten.contains(QStringLiteral("sonnen")), qPrintable(garten.join(',')));
}

// "während" is a participle of "währen" in the dictionary's tables; in a text it is the function
// word, and counted as the verb it would stand beside every word of time.
void TestAssociations::functionWordIsNoForm()
{
    const uint32_t key = m_full.findKey("während");
    QVERIFY(key == Lexicon::npos || m_full.baseOf(key) == key);
    QCOMPARE(m_full.baseOf(m_full.findKey("gewährt")), m_full.findKey("währen"));
}

void TestAssociations::wordFamiliesAreUsedTogether()
{
    const auto partner = [this](const char *word) {
        std::string scratch;
        const uint32_t key = m_full.findKey(word);
        const uint32_t found =
            key == Lexicon::npos ? key : WordFamily::partnerOf(m_full, key, &scratch);
        return found == Lexicon::npos ? QString()
                                      : QString::fromUtf8(m_full.word(m_full.wordOfKey(found)));
    };
    QCOMPARE(partner("traum"), QStringLiteral("träumen"));
    QCOMPARE(partner("träumen"), QStringLiteral("Traum"));
    QCOMPARE(partner("glaube"), QStringLiteral("glauben"));
    QCOMPARE(partner("glauben"), QStringLiteral("Glaube"));
    // Alike in their letters, never used together.
    QCOMPARE(partner("wein"), QString());
    QCOMPARE(partner("weinen"), QString());
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
    for (const char *keyword : {"Boot", "Fahrzeug"}) {
        QCOMPARE(words(lexicon, QString::fromUtf8(keyword)),
                 words(m_full, QString::fromUtf8(keyword)));
    }
    const QString cut = m_dir.filePath(QStringLiteral("cut.dict.dz"));
    TestSupport::writeBytes(cut, TestSupport::readBytes(twice.definitions.first()).chopped(20));
    DataSources damaged = fixtureSources();
    damaged.definitions = {cut};
    QVERIFY(!IndexCompiler::load(damaged, &lexicon, &error));
    QVERIFY2(error.contains(cut) && error.contains(QLatin1String("cut short")), qPrintable(error));
}

// Definitions have words of their own ("vorwiegend aus ..."), used in many of them and hardly
// anywhere else; such a word says nothing of what a definition defines. A noun that definitions
// use as much still names what the word is, and a rare word of a definition stays.
void TestAssociations::definitionWordingIsNoAssociation()
{
    const QString wordList = m_dir.filePath(QStringLiteral("wording-words.txt"));
    TestSupport::writeBytes(wordList, TestSupport::readBytes(ServiceFixture::wordListPath()) +
                                          "vorwiegend\nflach\nGerät\n");
    QByteArray definitions = "Floß /floːs/ <n, neut>\nradeau\n"
                             "Gerät aus Stämmen, vorwiegend flach\n";
    for (char first = 'a'; first < 'h'; ++first) {
        for (char second = 'a'; second < 'k'; ++second) {
            definitions += QByteArray("Ding") + first + second +
                           " <n, neut>\nchose\nGerät, vorwiegend aus Holz\n";
        }
    }
    const QString definitionFile = m_dir.filePath(QStringLiteral("wording.dict"));
    TestSupport::writeBytes(definitionFile, definitions);
    DataSources sources = fixtureSources();
    sources.wordList = wordList;
    sources.definitions = {definitionFile};
    Lexicon lexicon;
    QString error;
    QVERIFY2(IndexCompiler::load(sources, &lexicon, &error), qPrintable(error));
    const QStringList found = words(lexicon, QStringLiteral("Floß"));
    for (const char *wanted : {"flach", "Gerät"}) {
        QVERIFY2(found.contains(QString::fromUtf8(wanted)), qPrintable(found.join(',')));
    }
    QVERIFY2(!found.contains(QLatin1String("vorwiegend")), qPrintable(found.join(',')));
}

// The writer and the loader both go by the table of sections, which must follow the format.
void TestAssociations::sectionTableFollowsTheFormat()
{
    for (uint32_t s = 0; s < IndexFormat::SectionCount; ++s) {
        QCOMPARE(uint32_t(IndexSections::sections[s].id), s);
    }
}

void TestAssociations::missingOrBrokenDataIsReported_data()
{
    QTest::addColumn<QString>("missing");      // file left out of the copy
    QTest::addColumn<QByteArray>("thesaurus"); // replaces the data file's content when set
    QTest::addColumn<QString>("expected");     // in the message
    QTest::newRow("data file") << "thesaurus.dat" << QByteArray() << "mythes-de";
    QTest::newRow("index") << "thesaurus.idx" << QByteArray() << "thesaurus.idx";
    QTest::newRow("word list") << "wordlist.txt" << QByteArray() << "wngerman";
    QTest::newRow("bad count") << QString() << QByteArray("UTF-8\nbaum|x\n-|a|b\n") << "line 2";
    QTest::newRow("count and letter")
        << QString() << QByteArray("UTF-8\nbaum|1x\n-|a|b\n") << "line 2";
    QTest::newRow("cut short") << QString() << QByteArray("UTF-8\nbaum|3\n-|a|b\n") << "ends";
    QTest::newRow("encoding") << QString() << QByteArray("KOI8-R\nbaum|1\n-|a|b\n") << "KOI8-R";
    // Read, not reported: the office suites also write Latin-1.
    QTest::newRow("latin-1") << QString() << QByteArray("ISO8859-1\nb\xF6|1\n-|B\xF6|Grotte\n")
                             << QString();
}

void TestAssociations::missingOrBrokenDataIsReported()
{
    QFETCH(QString, missing);
    QFETCH(QByteArray, thesaurus);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const QString name : {"thesaurus.dat", "thesaurus.idx", "wordlist.txt"}) {
        if (name != missing) {
            QVERIFY(QFile::copy(ServiceFixture::dataDir() + QLatin1Char('/') + name,
                                dir.filePath(name)));
        }
    }
    if (!thesaurus.isEmpty())
        TestSupport::writeBytes(dir.filePath(QStringLiteral("thesaurus.dat")), thesaurus);
    Lexicon lexicon;
    QString error;
    const bool loaded =
        IndexCompiler::load(dir.filePath(QStringLiteral("thesaurus.dat")),
                            dir.filePath(QStringLiteral("wordlist.txt")), &lexicon, &error);
    if (expected.isEmpty()) {
        QVERIFY2(loaded, qPrintable(error));
        QCOMPARE(words(lexicon, QStringLiteral("BÖ")), QStringList{QStringLiteral("Grotte")});
        return;
    }
    QVERIFY(!loaded);
    QVERIFY2(error.contains(expected), qPrintable(error));
    if (!missing.isEmpty()) {
        QVERIFY2(error.contains(dir.filePath(missing)), qPrintable(error));
    }
}

void TestAssociations::formFieldsAreDecoded_data()
{
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("format");
    const auto row = [](const char *name, const QByteArray &form, const QString &keyword, int count,
                        int format = int(QueryFields::Format::Unspecified)) {
        QTest::newRow(name) << form << keyword << count << format;
    };
    row("plain", "eingabe=Haus&anzahl=200", "Haus", 200);
    row("latin-1 escaped", "eingabe=H%F6hle&anzahl=5", "Höhle", 5);
    row("utf-8 escaped", "eingabe=H%C3%B6hle", "Höhle", 200);
    row("latin-1 raw", "eingabe=H\xF6hle", "Höhle", 200);
    row("utf-8 raw", "eingabe=H\xC3\xB6hle", "Höhle", 200);
    row("plus and escapes", "eingabe=gr%FCne+Lunge%2B%26%3D", "grüne Lunge+&=", 200);
    row("stray percent", "eingabe=100%&anzahl=7%", "100%", 200);
    row("bad escape", "eingabe=%G1%4", "%G1%4", 200);
    row("count too small", "anzahl=0", QString(), 1);
    row("count too big", "anzahl=99999999999", QString(), 200);
    row("count negative", "anzahl=-3", QString(), 1);
    row("count unreadable", "anzahl=viele", QString(), 200);
    // An old client sends "&" unescaped; its own count comes last and wins.
    row("split keyword", "eingabe=a&b&anzahl=7&anzahl=200", "a", 200);
    row("json", "format=JSON&eingabe=x", "x", 200, int(QueryFields::Format::Json));
    row("html", "format=html", QString(), 200, int(QueryFields::Format::Html));
    row("empty", QByteArray(), QString(), 200);
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

// The desktop program reads pages with this pattern (lazy groups, dot matching newlines).
void TestAssociations::pageYieldsExactlyTheWords()
{
    const QRegularExpression pattern(QStringLiteral("<center>(.*?)ueber(.*?)>(.*?)</a></center>"),
                                     QRegularExpression::DotMatchesEverythingOption);
    // A keyword full of markup is echoed in the page and must not create or hide a block.
    const auto result = Associator(&m_lexicon).associate(QStringLiteral("Baum"), 200);
    for (const bool empty : {false, true}) {
        const QByteArray page =
            PageRenderer::html(QStringLiteral("<center>ueber<a>x</a></center>"),
                               empty ? std::vector<Association>() : result, m_lexicon);
        QVERIFY(page.contains("<meta charset=\"utf-8\">"));
        QStringList found;
        auto it = pattern.globalMatch(QString::fromUtf8(page));
        while (it.hasNext()) {
            found.append(it.next().captured(3));
        }
        QCOMPARE(found, empty ? QStringList() : ServiceFixture::answer(QStringLiteral("Baum")));
    }
}

void TestAssociations::jsonCarriesRelationsAndScores()
{
    const auto result = Associator(&m_full).associate(QStringLiteral("Haus"), 200);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(
        PageRenderer::json(QStringLiteral("Hö\"hle\\"), result, m_full), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject object = doc.object();
    QCOMPARE(object.value(QStringLiteral("keyword")).toString(), QStringLiteral("Hö\"hle\\"));
    const QJsonArray list = object.value(QStringLiteral("associations")).toArray();
    QCOMPARE(object.value(QStringLiteral("count")).toInt(), list.size());
    QStringList relations;
    double previous = 1.0;
    for (const QJsonValue &entry : list) {
        relations.append(entry[QStringLiteral("word")].toString() + QLatin1Char(':') +
                         entry[QStringLiteral("relation")].toString());
        const double score = entry[QStringLiteral("score")].toDouble();
        QVERIFY(score > 0.0 && score <= previous);
        previous = score;
    }
    QCOMPARE(list[0][QStringLiteral("score")].toDouble(), 1.0);
    for (const char *expected : {"Hausboot:compound", "Haustür:compound", "Tür:cooccurrence"}) {
        QVERIFY2(relations.contains(QString::fromUtf8(expected)),
                 qPrintable(relations.join(QLatin1Char(','))));
    }
}

// The cache answers as the query would, per keyword and count, and drops the least recently
// used answers beyond its size.
void TestAssociations::cacheGivesTheComputedAnswers()
{
    const auto ids = [](const std::vector<Association> &result) {
        QList<uint32_t> words;
        for (const Association &a : result) {
            words.append(a.word);
        }
        return words;
    };
    const Associator plain(&m_lexicon);
    const std::vector<Association> baum = plain.associate(QStringLiteral("Baum"), 200);
    // Room for the answer for Baum and a little more.
    AssociationCache cache(qsizetype(baum.size() * sizeof(Association)) + 250);
    Associator cached(&m_lexicon);
    cached.setCache(&cache);
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(ids(cached.associate(QStringLiteral("Baum"), 200)), ids(baum));
        QCOMPARE(ids(cached.associate(QStringLiteral("Baum"), 2)), ids(baum).mid(0, 2));
    }
    std::vector<Association> found;
    QVERIFY(cache.find(QStringLiteral("Baum"), 2, &found));
    QVERIFY(!cache.find(QStringLiteral("baum"), 2, &found));
    QVERIFY(cache.find(QStringLiteral("Baum"), 200, &found));
    // Höhle's answer pushes out the one for Baum with 2 words, used least recently.
    QCOMPARE(ids(cached.associate(QStringLiteral("Höhle"), 200)).size(),
             ServiceFixture::answer(QStringLiteral("Höhle")).size());
    QVERIFY(cache.find(QStringLiteral("Höhle"), 200, &found));
    QVERIFY(!cache.find(QStringLiteral("Baum"), 2, &found));
}

QTEST_GUILESS_MAIN(TestAssociations)
#include "tst_associations.moc"
