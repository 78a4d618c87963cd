#include "resultfiles.h"

#include "lexicon.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>

namespace ResultFiles {

namespace {

QByteArrayView view(std::string_view s)
{
    return QByteArrayView(s.data(), qsizetype(s.size()));
}

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

double roundedScore(float score)
{
    return std::round(double(score) * 1000.0) / 1000.0;
}

QByteArray csvField(QByteArrayView utf8)
{
    if (utf8.indexOf(',') < 0 && utf8.indexOf('"') < 0 && utf8.indexOf('\r') < 0 &&
        utf8.indexOf('\n') < 0) {
        return utf8.toByteArray();
    }
    return '"' + utf8.toByteArray().replace("\"", "\"\"") + '"';
}

QByteArray csv(const std::vector<SeedResult> &results, const Lexicon &lexicon)
{
    QByteArray out = "seed,word,relation,score\r\n";
    for (const SeedResult &result : results) {
        const QByteArray seed = csvField(result.seed.toUtf8());
        for (const Association &association : result.associations) {
            out.append(seed)
                .append(',')
                .append(csvField(view(lexicon.word(association.word))))
                .append(',')
                .append(csvField(view(relationName(association.relation))))
                .append(',')
                .append(QByteArray::number(roundedScore(association.score), 'g',
                                           QLocale::FloatingPointShortest))
                .append("\r\n");
        }
    }
    return out;
}

QByteArray json(const std::vector<SeedResult> &results, int count, const Lexicon &lexicon)
{
    QJsonArray seeds;
    for (const SeedResult &result : results) {
        QJsonArray associations;
        for (const Association &association : result.associations) {
            associations.append(
                QJsonObject{{QStringLiteral("word"), text(lexicon.word(association.word))},
                            {QStringLiteral("relation"), text(relationName(association.relation))},
                            {QStringLiteral("score"), roundedScore(association.score)}});
        }
        seeds.append(QJsonObject{{QStringLiteral("seed"), result.seed},
                                 {QStringLiteral("associations"), associations}});
    }
    const QJsonObject root{{QStringLiteral("count"), count}, {QStringLiteral("results"), seeds}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace ResultFiles
