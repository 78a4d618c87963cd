#include "web/pagetexts.h"

#include "query/associator.h"

#include <QLocale>

namespace {

const PageTexts germanTexts{
    "de",
    "en",
    "English",
    "Lexigrove – Wortassoziationen",
    "Deutsche Stichwörter und die Wörter, die dazu gehören",
    "Stichwörter",
    "z. B. Haus, Garten",
    "Mehrere Stichwörter durch Kommas trennen, höchstens 10. Die Eingabetaste sucht, "
    "ein Klick auf ein Wort sucht danach.",
    "Anzahl je Stichwort",
    "Suchen",
    "Wort",
    "Beziehung",
    "Wert",
    "1 Wort",
    "%1 Wörter",
    "Keine Assoziationen gefunden.",
    "Ergebnis als CSV herunterladen",
    "als JSON",
    "Assoziationen zu „%1“",
    "Zum Sortieren klicken",
    "Für Skripte:",
};

const PageTexts englishTexts{
    "en",
    "de",
    "Deutsch",
    "Lexigrove – word associations",
    "German keywords and the words that go with them",
    "Keywords",
    "e.g. Haus, Garten",
    "Separate several keywords with commas, at most 10. Enter searches; "
    "click a word to search for it.",
    "Words per keyword",
    "Search",
    "Word",
    "Relation",
    "Score",
    "1 word",
    "%1 words",
    "No associations found.",
    "Download the result as CSV",
    "as JSON",
    "Associations of “%1”",
    "Click to sort",
    "For scripts:",
};

// The weight of "de" and of "en" in an Accept-Language header; the first wins a tie.
const PageTexts &fromAcceptLanguage(QByteArrayView header)
{
    double best = 0;
    const PageTexts *chosen = &germanTexts;
    for (const QByteArray &range : header.toByteArray().split(',')) {
        const QList<QByteArray> parts = range.split(';');
        const QByteArray primary = parts[0].trimmed().toLower().split('-')[0];
        if (primary != "de" && primary != "en") {
            continue;
        }
        double weight = 1;
        for (qsizetype i = 1; i < parts.size(); ++i) {
            const QByteArray parameter = parts[i].trimmed();
            if (parameter.startsWith("q=")) {
                bool ok = false;
                weight = parameter.mid(2).toDouble(&ok);
                weight = ok ? weight : 0;
            }
        }
        if (weight > best) {
            best = weight;
            chosen = primary == "de" ? &germanTexts : &englishTexts;
        }
    }
    return *chosen;
}

} // namespace

const PageTexts &PageTexts::german()
{
    return germanTexts;
}

const PageTexts &PageTexts::english()
{
    return englishTexts;
}

const PageTexts &PageTexts::choose(const QString &asked, QByteArrayView acceptLanguage)
{
    if (asked == QLatin1String("en")) {
        return englishTexts;
    }
    if (asked == QLatin1String("de")) {
        return germanTexts;
    }
    return fromAcceptLanguage(acceptLanguage);
}

QString PageTexts::relationLabel(std::string_view name) const
{
    struct Label
    {
        std::string_view name;
        const char *german;
        const char *english;
    };
    static constexpr Label labels[] = {
        {"synonym", "Synonym", "synonym"},
        {"broader", "Oberbegriff", "broader term"},
        {"narrower", "Unterbegriff", "narrower term"},
        {"compound", "Kompositum", "compound"},
        {"neighbour", "verwandt", "related"},
        {"cooccurrence", "gemeinsam genannt", "co-occurrence"},
    };
    const bool isGerman = this == &germanTexts;
    for (const Label &label : labels) {
        if (label.name == name) {
            return QString::fromUtf8(isGerman ? label.german : label.english);
        }
    }
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

QString PageTexts::problem(const WebQuery &query) const
{
    using Problem = WebQuery::Problem;
    struct Text
    {
        Problem problem;
        const char *german;
        const char *english;
    };
    static constexpr Text texts[] = {
        {Problem::NoSeed, "Bitte mindestens ein Stichwort eingeben.",
         "Please type at least one keyword."},
        {Problem::TooManySeeds, "Zu viele Stichwörter: höchstens %1.",
         "Too many keywords: at most %1."},
        {Problem::SeedTooLong, "Ein Stichwort ist zu lang: höchstens %1 Zeichen.",
         "A keyword is too long: at most %1 characters."},
        {Problem::InputTooLong, "Die Eingabe ist zu lang.", "The input is too long."},
        {Problem::BadCount, "Die Anzahl muss eine ganze Zahl von 1 bis %1 sein.",
         "The number must be a whole number from 1 to %1."},
        {Problem::BadFormat, "Das Format muss json oder csv sein, nicht „%1“.",
         "The format must be json or csv, not \"%1\"."},
        {Problem::BadLanguage, "Die Sprache muss de oder en sein, nicht „%1“.",
         "The language must be de or en, not \"%1\"."},
        {Problem::RepeatedField, "Das Feld %1 ist mehrfach angegeben.",
         "The field %1 is given more than once."},
        {Problem::BadEncoding, "Die Eingabe ist kein gültiges UTF-8.",
         "The input is not valid UTF-8."},
    };
    // Without any q the page is the start page, not a failed search.
    if (query.problem == Problem::NoSeed && !query.seedFieldGiven) {
        return {};
    }
    const bool isGerman = this == &germanTexts;
    for (const Text &text : texts) {
        if (text.problem != query.problem) {
            continue;
        }
        QString message = QString::fromUtf8(isGerman ? text.german : text.english);
        const int limit = query.problem == Problem::TooManySeeds  ? WebQuery::maxSeeds
                          : query.problem == Problem::SeedTooLong ? WebQuery::maxSeedLength
                                                                  : Associator::maxCount;
        return message.contains(QLatin1String("%1"))
                   ? message.arg(query.problem == Problem::BadFormat ||
                                         query.problem == Problem::BadLanguage ||
                                         query.problem == Problem::RepeatedField
                                     ? query.problemDetail
                                     : QString::number(limit))
                   : message;
    }
    return {};
}

QString PageTexts::formatScore(double value) const
{
    const QLocale locale = this == &germanTexts ? QLocale(QLocale::German) : QLocale::c();
    return locale.toString(value, 'f', 2);
}
