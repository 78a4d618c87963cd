#include "pipelinepages.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace PipelinePages {

QStringList germanWords(int count, int seed)
{
    static const QStringList stems = {u"Haus"_s,      u"Bäcker"_s, u"Straßen"_s, u"Grün"_s,
                                      u"Wald"_s,      u"Über"_s,   u"Fluss"_s,   u"Bahn"_s,
                                      u"Schlüssel"_s, u"Garten"_s, u"Tür"_s,     u"Müller"_s,
                                      u"Wetter"_s,    u"Stadt"_s,  u"Kräuter"_s, u"Öl"_s,
                                      u"Licht"_s,     u"Spiel"_s,  u"Hafen"_s,   u"Größe"_s};
    static const QStringList endings = {u"boot"_s, u"bau"_s,   u"feld"_s, u"laden"_s,  u"gärtner"_s,
                                        u"zeug"_s, u"stück"_s, u"weg"_s,  u"häuser"_s, u"werk"_s};
    QRandomGenerator random{quint32(seed)};
    QStringList words;
    words.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString word = stems.at(random.bounded(int(stems.size()))) +
                       endings.at(random.bounded(int(endings.size())));
        if (i >= int(stems.size() * endings.size()))
            word += QString::number(i);
        words.append(word);
    }
    return words;
}

QString realisticPage(const QStringList &words)
{
    QString page = u"<html><head><title>Assoziationen</title>\n"
                   u"<meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\">\n"
                   u"</head><body bgcolor=\"#ffffff\"><h1>Wortassoziationen</h1>\n<table>\n"_s;
    for (const QString &word : words) {
        page += u"<tr><td class=\"rang\">&nbsp;</td><td>\n<center>Assoziationen ueber "
                u"<a href=\"/cgi-bin/meta/meta.ger1-asso?eingabe="_s +
                word + u"&amp;anzahl=200\" title=\"Weitere Assoziationen\">"_s + word +
                u"</a></center>\n</td></tr>\n"_s;
    }
    return page + u"</table>\n</body></html>\n"_s;
}

QString densePage(int matches, int charactersPerMatch)
{
    const QStringList words = germanWords(matches, 7);
    QString page;
    page.reserve(qsizetype(matches) * charactersPerMatch);
    for (const QString &word : words) {
        const QString block = u"<center>ueber <a href=x>"_s + word + u"</a></center>"_s;
        page += block;
        page += QString(std::max(1, charactersPerMatch - int(block.size())), u' ');
        page += u'\n';
    }
    return page;
}

QString hostilePage(int characters)
{
    const QString unit = u"<center> ueber <a href=\"x\"> ueber > Häuser </a> </center>\n"_s;
    return unit.repeated(characters / unit.size() + 1).left(characters);
}

} // namespace PipelinePages
