#pragma once

#include <QString>
#include <QStringList>

// Where the raw Debian data lies. An empty path leaves that source out, except for the
// thesaurus and the word list, which every index needs.
struct DataSources
{
    QString thesaurus;       // mythes-de, office-suite thesaurus format, its .idx beside it
    QString wordList;        // wngerman, one word a line
    QString dictionary;      // trans-de-en, "German :: English" lines
    QStringList proverbs;    // fortunes-de, fortune files ("%" between entries)
    QString stopWords;       // liblingua-stopwords-perl, the Perl module of the German list
    QStringList definitions; // dict-freedict-deu-*, German Wiktionary definitions (dictd)
    QString annotations;     // unicode-cldr-core, the German emoji keywords (CLDR XML)

    // The files of the installed Debian packages.
    static DataSources debian();
    // The fortune files in a folder, or the one file named.
    static QStringList proverbFiles(const QString &path);
    // The dictionaries with German definitions that the index draws on by default.
    static QStringList definitionFiles();
};
