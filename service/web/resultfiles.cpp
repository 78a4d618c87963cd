#include "web/resultfiles.h"

#include "index/lexicon.h"

#include <cmath>
#include <cstdio>

namespace ResultFiles {

namespace {

QByteArrayView view(std::string_view s)
{
    return QByteArrayView(s.data(), qsizetype(s.size()));
}

void appendJsonString(QByteArray *out, QByteArrayView utf8)
{
    out->append('"');
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out->append('\\').append(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(c));
            out->append(escape);
        } else {
            out->append(c);
        }
    }
    out->append('"');
}

qsizetype total(const std::vector<SeedResult> &results)
{
    qsizetype sum = 0;
    for (const SeedResult &result : results) {
        sum += qsizetype(result.associations.size());
    }
    return sum;
}

} // namespace

double roundedScore(float score)
{
    return std::round(double(score) * 1000.0) / 1000.0;
}

QByteArray scoreText(float score)
{
    return QByteArray::number(roundedScore(score), 'f', 3);
}

QByteArray csvField(QByteArrayView utf8)
{
    // A spreadsheet runs a cell that begins like this as a formula; the quote shows it as text.
    static constexpr QByteArrayView formulaStarts = "=+-@\t\r";
    const bool formula = !utf8.isEmpty() && formulaStarts.contains(utf8.front());
    const QByteArray cell = formula ? '\'' + utf8.toByteArray() : utf8.toByteArray();
    if (cell.indexOf(',') < 0 && cell.indexOf('"') < 0 && cell.indexOf('\r') < 0 &&
        cell.indexOf('\n') < 0) {
        return cell;
    }
    return '"' + QByteArray(cell).replace("\"", "\"\"") + '"';
}

QByteArray csv(const std::vector<SeedResult> &results, const Lexicon &lexicon)
{
    QByteArray out = "seed,word,relation,score\r\n";
    for (const SeedResult &result : results) {
        const QByteArray seed = csvField(result.seed.toUtf8());
        if (result.associations.empty()) {
            out.append(seed).append(",,,\r\n");
        }
        for (const Association &association : result.associations) {
            out.append(seed)
                .append(',')
                .append(csvField(view(lexicon.word(association.word))))
                .append(',')
                .append(csvField(view(relationName(association.relation))))
                .append(',')
                .append(scoreText(association.score))
                .append("\r\n");
        }
    }
    return out;
}

QByteArray json(const std::vector<SeedResult> &results, int count, const Lexicon &lexicon)
{
    QByteArray out;
    out.reserve(64 + total(results) * 64);
    out.append("{\"n\":").append(QByteArray::number(count));
    out.append(",\"count\":").append(QByteArray::number(total(results)));
    out.append(",\"results\":[");
    for (size_t s = 0; s < results.size(); ++s) {
        const SeedResult &result = results[s];
        out.append(s == 0 ? "{\"seed\":" : ",{\"seed\":");
        appendJsonString(&out, result.seed.toUtf8());
        out.append(",\"count\":").append(QByteArray::number(qsizetype(result.associations.size())));
        out.append(",\"associations\":[");
        for (size_t i = 0; i < result.associations.size(); ++i) {
            const Association &association = result.associations[i];
            out.append(i == 0 ? "{\"word\":" : ",{\"word\":");
            appendJsonString(&out, view(lexicon.word(association.word)));
            out.append(",\"relation\":");
            appendJsonString(&out, view(relationName(association.relation)));
            out.append(",\"score\":").append(scoreText(association.score)).append('}');
        }
        out.append("]}");
    }
    out.append("]}\n");
    return out;
}

} // namespace ResultFiles
