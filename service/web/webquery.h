#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The fields of a search from the page or the API: "q" (seed keywords, separated by commas or
// line ends, and the field may be repeated), "n" (words per seed), "format" and "lang".
// Everything here comes from the network, so sizes are bounded and anything odd is a problem
// to report, never something to guess around.
struct WebQuery
{
    static constexpr int maxSeeds = 10;
    static constexpr int maxSeedLength = 100; // code points, after blanks are simplified
    static constexpr qsizetype maxInputBytes = 4096;
    static constexpr int defaultCount = 20;

    enum class Format
    {
        Unspecified,
        Html,
        Json,
        Csv
    };
    enum class Problem
    {
        None,
        NoSeed,
        TooManySeeds,
        SeedTooLong,
        InputTooLong,
        BadCount,
        BadFormat,
        BadLanguage,
        RepeatedField,
        BadEncoding
    };

    QStringList seeds;           // in the order given, each once (case ignored)
    QString seedText;            // as typed, for the page's form
    bool seedFieldGiven = false; // q was sent, even if empty: a search, not the start page
    int count = defaultCount;
    QString countText; // n as given, for the page's field after a bad value
    Format format = Format::Unspecified;
    QString language; // "de", "en" or empty when not asked for
    Problem problem = Problem::None;
    QByteArrayList givenOnce; // the single-valued fields met so far
    QString problemDetail;    // the value a problem is about
    // A field of no meaning here: the API refuses it (a misspelt field would otherwise be
    // ignored without a word), the page does not (links from elsewhere may add some).
    QString unknownField;

    static WebQuery parse(QByteArrayView query);

    // The query string that asks for the same search, as a link target would carry it.
    QByteArray toQuery(Format format, bool withLanguage) const;

    // What is wrong, in one line of English for scripts; empty when nothing is.
    QString problemText() const;

private:
    void take(const QByteArray &name, const QString &value);
    bool firstTime(const QByteArray &name);
    void report(Problem what, const QString &value);
    void addSeeds(const QString &text);
};
