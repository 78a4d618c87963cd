#include "data/datasources.h"

#include <QDir>

DataSources DataSources::debian()
{
    DataSources sources;
    sources.thesaurus = QStringLiteral("/usr/share/mythes/th_de_DE_v2.dat");
    sources.wordList = QStringLiteral("/usr/share/dict/ngerman");
    sources.dictionary = QStringLiteral("/usr/share/trans/de-en");
    sources.stopWords = QStringLiteral("/usr/share/perl5/Lingua/StopWords/DE.pm");
    sources.proverbs = proverbFiles(QStringLiteral("/usr/share/games/fortunes/de"));
    sources.definitions = definitionFiles();
    sources.annotations = QStringLiteral("/usr/share/unicode/cldr/common/annotations/de.xml");
    return sources;
}

QStringList DataSources::proverbFiles(const QString &path)
{
    const QDir dir(path);
    if (!dir.exists()) {
        return {path};
    }
    // The fortune files themselves: no .dat indexes or .u8 links, no pictures.
    QStringList files;
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        if (!name.contains(QLatin1Char('.')) && name != QLatin1String("asciiart")) {
            files.append(dir.filePath(name));
        }
    }
    return files;
}

QStringList DataSources::definitionFiles()
{
    // Three of the dictionaries built from Wiktionary; each holds the definitions of the words
    // it translates, and together they define about 59,000 words.
    QStringList files;
    for (const char *language : {"fra", "swe", "spa"}) {
        files.append(QStringLiteral("/usr/share/dictd/freedict-deu-%1.dict.dz")
                         .arg(QLatin1String(language)));
    }
    return files;
}
