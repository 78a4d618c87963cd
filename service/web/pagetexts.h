#pragma once

#include "web/webquery.h"

#include <QByteArrayView>
#include <QString>

#include <string_view>

// The words of the search page in one language. German is the default; English is there for
// the many keyword researchers who do not read German.
struct PageTexts
{
    const char *language; // as in <html lang>
    const char *otherLanguage;
    const char *otherLanguageName; // the link that switches, in that language
    const char *title;
    const char *tagline;
    const char *keywords;
    const char *keywordsPlaceholder;
    const char *keywordsHint;
    const char *count;
    const char *search;
    const char *word;
    const char *relation;
    const char *score;
    const char *oneWord;
    const char *words; // %1 is the number
    const char *nothingFound;
    const char *downloadCsv;
    const char *downloadJson;
    const char *caption; // of a seed's table; %1 is the seed
    const char *sortHint;
    const char *scripts; // before the API's address in the footer

    static const PageTexts &german();
    static const PageTexts &english();
    // "de" or "en" as asked for in the query; otherwise the preferred of the two in an
    // Accept-Language header; otherwise German.
    static const PageTexts &choose(const QString &asked, QByteArrayView acceptLanguage);

    QString relationLabel(std::string_view name) const;
    QString problem(const WebQuery &query) const;
    QString formatScore(double value) const;
};
