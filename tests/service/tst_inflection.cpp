#include "inflection.h"

#include <QTest>

// The regular forms of German words, one row for each ending and each umlaut the rules know,
// and the forms just outside them, which the dictionary's tables must supply instead.
class TestInflection : public QObject
{
    Q_OBJECT

private slots:
    void formsByTheirEndings_data();
    void formsByTheirEndings();
};

void TestInflection::formsByTheirEndings_data()
{
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<QByteArray>("base");
    QTest::addColumn<bool>("isForm");
    const auto rows = [](const char *base, std::initializer_list<const char *> forms,
                         bool isForm = true) {
        for (const char *form : forms)
            QTest::addRow("%s of %s", form, base) << QByteArray(form) << QByteArray(base) << isForm;
    };
    // Nouns and adjectives: every ending once.
    rows("klein", {"kleinsten", "kleinstem", "kleinster", "kleinstes", "kleinste", "kleinst",
                   "kleinem", "kleinen", "kleiner", "kleine"});
    rows("herz", {"herzens"});
    rows("königin", {"königinnen"});
    rows("zeugnis", {"zeugnisses", "zeugnisse"});
    rows("baum", {"baumes", "bäume"});
    rows("name", {"namens", "namen"});
    rows("auto", {"autos"});
    // Umlaut with each ending that takes one, each vowel, "au" too.
    rows("wald", {"wälder", "wäldern"});
    rows("arzt", {"ärzte", "ärzten"});
    rows("apfel", {"äpfel"});
    rows("stuhl", {"stühle", "stühlen"});
    rows("tochter", {"töchter", "töchtern"});
    rows("haus", {"häuser", "häusern"});
    // Verbs: every ending once, on an -en and on an -eln or -ern infinitive.
    rows("kochen",
         {"kochenden", "kochender", "kochendes", "kochendem", "kochende", "kochend", "kochtest",
          "kochtet", "kochten", "kochest", "kochst", "kochte", "kochet", "kocht", "koche"});
    rows("reden", {"redeten", "redete"});
    rows("wandern", {"wanderte", "wandert", "wanderten", "wandere"});
    rows("sammeln", {"sammelte", "sammelst"});
    // Not by endings: irregular forms, longer additions, other words, too short a base.
    rows("laufen", {"läufst", "lief"}, false);
    rows("klein", {"kleinstens", "kleinlich", "klein"}, false);
    rows("baum", {"baumeln", "bäumchen"}, false);
    rows("b", {"be", "bs"}, false);
}

void TestInflection::formsByTheirEndings()
{
    QFETCH(QByteArray, form);
    QFETCH(QByteArray, base);
    std::string scratch;
    const std::string wanted = base.toStdString();
    QTEST(Inflection::forEachReduction(form.toStdString(), &scratch,
                                       [&](std::string_view key) { return key == wanted; }),
          "isForm");
}

QTEST_GUILESS_MAIN(TestInflection)
#include "tst_inflection.moc"
