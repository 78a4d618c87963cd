#include "associationcache.h"
#include "associator.h"
#include "datasources.h"
#include "index/indexsections.h"
#include "indexcompiler.h"
#include "lexicon.h"
#include "pagerenderer.h"
#include "queryfields.h"
#include "servicefixture.h"
#include "termtext.h"
#include "wordfamily.h"

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
    static QStringList words(const Lexicon &lexicon, const QString &keyword, int count = 200);

    QString goodIndex() const { return m_dir.filePath(QStringLiteral("good.idx")); }

    Lexicon m_lexicon; // the thesaurus and the word list alone
    Lexicon m_full;    // every source
    QTemporaryDir m_dir;
};

void TestAssociations::initTestCase()
{
    QString error;
    QVERIFY2(
        m_lexicon.load(ServiceFixture::thesaurusPath(), ServiceFixture::wordListPath(), &error),
        qPrintable(error));
    QVERIFY2(m_full.load(fixtureSources(), &error), qPrintable(error));
    QVERIFY2(IndexCompiler::compileTo(fixtureSources(), goodIndex(), &error), qPrintable(error));
}

QStringList TestAssociations::words(const Lexicon &lexicon, const QString &keyword, int count)
{
    QStringList result;
    for (const Association &a : Associator(&lexicon).associate(keyword, count)) {
        const std::string_view word = lexicon.word(a.word);
        result.append(QString::fromUtf8(word.data(), qsizetype(word.size())));
    }
    return result;
}

void TestAssociations::termsLoseTheirNotes_data()
{
    QTest::addColumn<QByteArray>("term");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("role");
    QTest::addColumn<bool>("mainForm");
    const int plain = int(TermRole::Plain);
    QTest::newRow("usage note") << QByteArray("Bude (ugs.)") << QByteArray("Bude") << plain
                                << false;
    QTest::newRow("several notes") << QByteArray("Haus (Hauptform) (Oberbegriff)")
                                   << QByteArray("Haus") << int(TermRole::Broader) << true;
    QTest::newRow("mark inside a list") << QByteArray("Graph (fachspr., Unterbegriff)")
                                        << QByteArray("Graph") << int(TermRole::Narrower) << false;
    QTest::newRow("optional words before") << QByteArray("(sich) (die) Seiten halten (ugs.)")
                                           << QByteArray("Seiten halten") << plain << false;
    QTest::newRow("optional ending")
        << QByteArray("viele(s) andere (ugs.)") << QByteArray("viele andere") << plain << false;
    QTest::newRow("nothing but a note")
        << QByteArray("(Jahreszahl)") << QByteArray() << plain << false;
    QTest::newRow("unbalanced") << QByteArray("(kaputt") << QByteArray("(kaputt") << plain << false;
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
        {"Baumschule", "Apfel"},     {"Apfelbaum", "Krone"},   {"Schule", "Gehölz"},
        {"Haus", "Gehölz"},          {"Haus", "Holzgewächs"},  {"Gehölz", "Eiche"},
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
    QTest::newRow("compounds") << "Haus" << QStringList{"Hausboot", "Haustür"}
                               << QStringList{"durchaus", "Haussier", "Hausboote", "Haustüren"}
                               << QString();
    QTest::newRow("stop words") << "Haus" << QStringList{"Tür", "Garten", "bauen", "Boot"}
                                << QStringList{"ein", "mit", "und", "wer", "warum", "Häuser"}
                                << QString();
    // The word list has it only in the plural, the thesaurus in the singular.
    QTest::newRow("compound of a plural")
        << "Land" << QStringList{"Landhaus"} << QStringList{"Landhäuser"} << QString();
    // "Schnee|sturm", not "Schnee|s|turm".
    QTest::newRow("linking element")
        << "Turm" << QStringList() << QStringList{"Schneesturm"} << QString();
    QTest::newRow("no linking element")
        << "Sturm" << QStringList{"Schneesturm"} << QStringList() << QString();
    // "Urlaub|s|tag", though "Urlaub|stag" cuts as well: the dictionary uses "Tag" more.
    QTest::newRow("linking element, common head")
        << "Tag" << QStringList{"Urlaubstag"} << QStringList() << QString();
    QTest::newRow("no linking element, rare head")
        << "Stag" << QStringList() << QStringList{"Urlaubstag"} << QString();
    // "Sonnen|schein" is of the noun "Sonne", not of the verb "sonnen".
    QTest::newRow("noun before a linking element")
        << "Sonne" << QStringList{"Sonnenschein"} << QStringList() << QString();
    // A freckle is neither summer nor rung: the cut "Sommer|sprosse" stands, but its parts are
    // no associations of each other.
    QTest::newRow("opaque compound")
        << "Sprosse" << QStringList{"Sommersprosse"} << QStringList{"Sommer"} << QString();
    // "ver|bringen" is a verb with a prefix, not "Verb" and "ringen".
    QTest::newRow("prefixed verb")
        << "ringen" << QStringList() << QStringList{"verbringen"} << QString();
    QTest::newRow("short part") << "Tor" << QStringList() << QStringList{"Motor"} << QString();
    QTest::newRow("gloss") << "Ei" << QStringList{"Eigelb"} << QStringList{"Eiland"} << QString();
    QTest::newRow("loanword, linking s")
        << "Auto" << QStringList{"Stopp"} << QStringList{"Autogramm", "Topp"} << QString();
    QTest::newRow("cognate compound")
        << "Ball" << QStringList{"Handball"} << QStringList() << QString();
    // "<mee-uf-owed>" is a misspelling, not an English word that ties "miauen" to "geschuldet".
    QTest::newRow("misspelling") << "miauen" << QStringList{"Katze"} << QStringList{"geschuldet"}
                                 << QString();
    // An emoji's keywords go together; the name it is read out by is no keyword.
    QTest::newRow("emoji keywords")
        << "Turm" << QStringList{"Burg"} << QStringList{"Schnee"} << QString();
    QTest::newRow("word part") << "Boot" << QStringList() << QStringList{"Werft"} << QString();
    // The line before a definition translates the word; its words are no associations. The
    // next entry's headword has no grammar note ("mit /mɪt/") and still ends this one.
    QTest::newRow("definition") << "Boot" << QStringList{"Fahrzeug"} << QStringList{"Kahn"}
                                << QString();
    // "umgangssprachlich: Fahrzeug aus Stämmen": the register is no part of the meaning.
    QTest::newRow("register label") << QStringLiteral("Floß") << QStringList{"Fahrzeug"}
                                    << QStringList{"umgangssprachlich"} << QString();
    // "Tor {m} [poet.] [obs.]" among the words for a fool: an old use ties nothing to the goal,
    // neither in its line nor through the English they share.
    QTest::newRow("old use") << "Tor" << QStringList() << QStringList{"Blödian", "Narr"}
                             << QString();
    QTest::newRow("old use, other words")
        << QStringLiteral("Blödian") << QStringList{"Dummkopf", "Narr"} << QStringList{"Tor"}
        << QString();
    // A line that opens several proverbs is a heading: its words pair with none of theirs.
    QTest::newRow("heading") << "Kahn" << QStringList{"Krone", "Buche"} << QStringList{"Motor"}
                             << QString();
    // A story too long to be one saying pairs its words sentence by sentence.
    QTest::newRow("long story") << "Eiche" << QStringList{"Sturm"} << QStringList{"Ball"}
                                << QString();
    // A neighbour in the plural is the synonym it stands beside.
    QTest::newRow("two forms") << QStringLiteral("Felsenhöhle")
                               << QStringList{"Felsspalte", "Kluft"} << QStringList{"Felsspalten"}
                               << QString();
    // Two letters make a noun that the dictionary defines, and it has words that go with it.
    // "in den Eiern" is its dative plural, though "eiern" (to wobble) is a verb and "Eiern" its
    // noun too; never shown as a word that goes with "Ei".
    QTest::newRow("two letters") << "Ei" << QStringList{"Nest"} << QStringList{"Eiern"}
                                 << QString();
    QTest::newRow("form of a function word")
        << "Eiland" << QStringList{"Linde"} << QStringList{"meisten"} << QString();
    // "Werks…; betrieblich {adj}": the first part of compounds is no adjective, and "Werks" a
    // form of "Werk".
    QTest::newRow("first part") << "Werks" << QStringList() << QStringList() << "Werk";
    QTest::newRow("own spelling") << "Hausboot" << QStringList{"Wohnschiff"}
                                  << QStringList{"Haus-Boot"} << QString();
    // "in den Zimmern des Hauses": the noun "Zimmer", not the verb "zimmern".
    QTest::newRow("dative plural, not verb")
        << "Haus" << QStringList{"Zimmer"} << QStringList{"zimmern"} << QString();
    QTest::newRow("plural of its own")
        << "Haus" << QStringList{"Eltern"} << QStringList{"Elter"} << QString();
    QTest::newRow("own forms") << "schnell" << QStringList{"rasch", "zügig", "behänd", "Boot"}
                               << QStringList{"schnelle", "schneller", "schnellem", "00"}
                               << QString();
    // A plural and a verb form from the dictionary, and an ending on a known form.
    QTest::newRow("plural") << "Häuser" << QStringList() << QStringList() << "Haus";
    QTest::newRow("verb form") << "läuft" << QStringList() << QStringList() << "laufen";
    // "etw. (schwer) tragen; schleppen {vt} | ... | ich/er/sie trug; ...": the verb is "tragen",
    // whatever it takes and however it is narrowed.
    QTest::newRow("verb with an object")
        << "trug" << QStringList{"Boot"} << QStringList() << "tragen";
    // A separable verb with its particle in front: "mitträgt" of "mittragen" as "trägt" is of
    // "tragen", and "mitzutragen" with its "zu".
    QTest::newRow("particle in front")
        << QStringLiteral("mitträgt") << QStringList() << QStringList() << "mittragen";
    QTest::newRow("particle and zu")
        << "mitzutragen" << QStringList() << QStringList() << "mittragen";
    // An ending on a form that the dictionary lists: "getragen" of "tragen".
    QTest::newRow("ending on a form") << "getragener" << QStringList() << QStringList() << "tragen";
    // "schlafen; pennen [ugs.] {vi} | ... | geschlafen; gepennt": the note is no part of the word.
    QTest::newRow("noted verb") << "gepennt" << QStringList() << QStringList() << "pennen";
    QTest::newRow("ending") << "schnelleren" << QStringList() << QStringList() << "schnell";
    QTest::newRow("adjective, not noun")
        << "schnellen" << QStringList() << QStringList() << "schnell";
    QTest::newRow("plural of a noun of two genders")
        << "Jugendlichen" << QStringList() << QStringList() << "Jugendliche";
    // "Wildern" is no dative plural of a noun: "wilder" is a form of the adjective "wild".
    QTest::newRow("verb made noun, not a plural")
        << "Garten" << QStringList() << QStringList{"wild"} << QString();
    QTest::newRow("dative plural beside a verb made noun")
        << "Eiern" << QStringList() << QStringList() << "Ei";
    QTest::newRow("narrowed headword") << "Museen" << QStringList() << QStringList() << "Museum";
    QTest::newRow("umlaut plural") << "Wälder" << QStringList() << QStringList{"Wälder"} << "Wald";
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
    QTest::newRow("plain") << "Hausboot"
                           << "haus"
                           << "boot";
    QTest::newRow("no linking element") << "Schneesturm"
                                        << "schnee"
                                        << "sturm";
    // "Urlaub|s|tag", though "Urlaub|stag" cuts as well: the dictionary uses "Tag" more.
    QTest::newRow("linking element") << "Urlaubstag"
                                     << "urlaub"
                                     << "tag";
    QTest::newRow("noun before a linking element") << "Sonnenschein"
                                                   << "sonne"
                                                   << "schein";
    // The cut stands, though a freckle is neither summer nor rung.
    QTest::newRow("opaque") << "Sommersprosse"
                            << "sommer"
                            << "sprosse";
    QTest::newRow("no linking s after a vowel") << "Autostopp"
                                                << "auto"
                                                << "stopp";
    QTest::newRow("foreign word") << "Autogramm"
                                  << "-"
                                  << "-";
    QTest::newRow("short part") << "Motor"
                                << "-"
                                << "-";
    QTest::newRow("prefixed verb") << "verbringen"
                                   << "-"
                                   << "-";
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
    // So is the keyword "Sonnen" with its capital, from the index as from the raw data.
    QCOMPARE(words(m_full, QStringLiteral("Sonnen")), words(m_full, QStringLiteral("Sonne")));
    Lexicon compiled;
    QString error;
    QVERIFY2(compiled.open(goodIndex(), &error), qPrintable(error));
    QCOMPARE(words(compiled, QStringLiteral("Sonnen")), words(m_full, QStringLiteral("Sonne")));
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
    const auto answer = [](const Lexicon &lexicon, const char *keyword) {
        QStringList lines;
        for (const Association &a :
             Associator(&lexicon).associate(QString::fromUtf8(keyword), 200)) {
            const std::string_view word = lexicon.word(a.word);
            lines.append(QString::fromUtf8(word.data(), qsizetype(word.size())) + QLatin1Char(' ') +
                         QString::number(int(a.relation)) + QLatin1Char(' ') +
                         QString::number(double(a.score)));
        }
        return lines;
    };
    for (const char *keyword : {"Haus", "Häuser", "schnell", "laufen", "Baum", "Höhle", "Tür"}) {
        QCOMPARE(answer(mapped, keyword), answer(m_full, keyword));
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
    QVERIFY2(lexicon.load(twice, &error), qPrintable(error));
    for (const char *keyword : {"Boot", "Fahrzeug"}) {
        QCOMPARE(words(lexicon, QString::fromUtf8(keyword)),
                 words(m_full, QString::fromUtf8(keyword)));
    }
    QFile packed(twice.definitions.first());
    QVERIFY(packed.open(QIODevice::ReadOnly));
    const QString cut = m_dir.filePath(QStringLiteral("cut.dict.dz"));
    QFile file(cut);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(packed.readAll().chopped(20));
    file.close();
    DataSources damaged = fixtureSources();
    damaged.definitions = {cut};
    QVERIFY(!lexicon.load(damaged, &error));
    QVERIFY2(error.contains(cut) && error.contains(QLatin1String("cut short")), qPrintable(error));
}

// Definitions have words of their own ("vorwiegend aus ..."), used in many of them and hardly
// anywhere else; such a word says nothing of what a definition defines. A noun that definitions
// use as much still names what the word is, and a rare word of a definition stays.
void TestAssociations::definitionWordingIsNoAssociation()
{
    QFile fixtureList(ServiceFixture::wordListPath());
    QVERIFY(fixtureList.open(QIODevice::ReadOnly));
    const QString wordList = m_dir.filePath(QStringLiteral("wording-words.txt"));
    QFile list(wordList);
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write(fixtureList.readAll() + "vorwiegend\nflach\nGerät\n");
    list.close();
    QByteArray definitions = "Floß /floːs/ <n, neut>\nradeau\n"
                             "Gerät aus Stämmen, vorwiegend flach\n";
    for (char first = 'a'; first < 'h'; ++first) {
        for (char second = 'a'; second < 'k'; ++second) {
            definitions += QByteArray("Ding") + first + second +
                           " <n, neut>\nchose\nGerät, vorwiegend aus Holz\n";
        }
    }
    const QString definitionFile = m_dir.filePath(QStringLiteral("wording.dict"));
    QFile file(definitionFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(definitions);
    file.close();
    DataSources sources = fixtureSources();
    sources.wordList = wordList;
    sources.definitions = {definitionFile};
    Lexicon lexicon;
    QString error;
    QVERIFY2(lexicon.load(sources, &error), qPrintable(error));
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
    if (!thesaurus.isEmpty()) {
        QFile file(dir.filePath(QStringLiteral("thesaurus.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(thesaurus);
    }
    Lexicon lexicon;
    QString error;
    const bool loaded = lexicon.load(dir.filePath(QStringLiteral("thesaurus.dat")),
                                     dir.filePath(QStringLiteral("wordlist.txt")), &error);
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
    const int none = int(QueryFields::Format::Unspecified);
    QTest::newRow("plain") << QByteArray("eingabe=Haus&anzahl=200") << "Haus" << 200 << none;
    QTest::newRow("latin-1 escaped")
        << QByteArray("eingabe=H%F6hle&anzahl=5") << "Höhle" << 5 << none;
    QTest::newRow("utf-8 escaped") << QByteArray("eingabe=H%C3%B6hle") << "Höhle" << 200 << none;
    QTest::newRow("latin-1 raw") << QByteArray("eingabe=H\xF6hle") << "Höhle" << 200 << none;
    QTest::newRow("utf-8 raw") << QByteArray("eingabe=H\xC3\xB6hle") << "Höhle" << 200 << none;
    QTest::newRow("plus and escapes")
        << QByteArray("eingabe=gr%FCne+Lunge%2B%26%3D") << "grüne Lunge+&=" << 200 << none;
    QTest::newRow("stray percent") << QByteArray("eingabe=100%&anzahl=7%") << "100%" << 200 << none;
    QTest::newRow("bad escape") << QByteArray("eingabe=%G1%4") << "%G1%4" << 200 << none;
    QTest::newRow("count too small") << QByteArray("anzahl=0") << QString() << 1 << none;
    QTest::newRow("count too big") << QByteArray("anzahl=99999999999") << QString() << 200 << none;
    QTest::newRow("count negative") << QByteArray("anzahl=-3") << QString() << 1 << none;
    QTest::newRow("count unreadable") << QByteArray("anzahl=viele") << QString() << 200 << none;
    // An old client sends "&" unescaped; its own count comes last and wins.
    QTest::newRow("split keyword")
        << QByteArray("eingabe=a&b&anzahl=7&anzahl=200") << "a" << 200 << none;
    QTest::newRow("json") << QByteArray("format=JSON&eingabe=x") << "x" << 200
                          << int(QueryFields::Format::Json);
    QTest::newRow("html") << QByteArray("format=html") << QString() << 200
                          << int(QueryFields::Format::Html);
    QTest::newRow("empty") << QByteArray() << QString() << 200 << none;
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
