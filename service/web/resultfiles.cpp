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

qsizetype total(const std::vector<SeedResult> &results)
{
    qsizetype sum = 0;
    for (const SeedResult &result : results) {
        sum += qsizetype(result.associations.size());
    }
    return sum;
}

bool needsCsvQuotes(QByteArrayView cell)
{
    for (const char c : cell) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            return true;
        }
    }
    return false;
}

} // namespace

double roundedScore(float score)
{
    return std::round(double(score) * 1000.0) / 1000.0;
}

QByteArray scoreText(float score)
{
    QByteArray text;
    appendScore(&text, score);
    return text;
}

// QByteArray::number(double) took a third of the time of a whole file, so the digits of the
// plain case are made here. They are the same: a thousandth rounded to three decimals is that
// thousandth, however the double stores it. Everything else (negative zero, NaN, infinities,
// huge numbers) takes the general way.
void appendScore(QByteArray *out, float score)
{
    const double thousandths = std::round(double(score) * 1000.0);
    if (!(thousandths >= 0 && thousandths < 1e12) || std::signbit(thousandths)) {
        out->append(QByteArray::number(thousandths / 1000.0, 'f', 3));
        return;
    }
    auto n = static_cast<unsigned long long>(thousandths);
    char digits[24];
    char *end = digits + sizeof digits;
    char *p = end;
    for (int i = 0; i < 3; ++i, n /= 10) {
        *--p = char('0' + n % 10);
    }
    *--p = '.';
    do {
        *--p = char('0' + n % 10);
        n /= 10;
    } while (n != 0);
    out->append(p, end - p);
}

void appendJsonString(QByteArray *out, QByteArrayView utf8)
{
    out->append('"');
    qsizetype plain = 0; // start of the run of characters that need no escape
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c != '"' && c != '\\' && static_cast<unsigned char>(c) >= 0x20) {
            continue;
        }
        out->append(utf8.sliced(plain, i - plain));
        plain = i + 1;
        if (c == '"' || c == '\\') {
            out->append('\\').append(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(c));
            out->append(escape);
        }
    }
    out->append(utf8.sliced(plain)).append('"');
}

void appendCsvField(QByteArray *out, QByteArrayView utf8)
{
    // A spreadsheet runs a cell that begins like this as a formula; the quote shows it as text.
    static constexpr QByteArrayView formulaStarts = "=+-@\t\r";
    const bool formula = !utf8.isEmpty() && formulaStarts.contains(utf8.front());
    if (!needsCsvQuotes(utf8)) {
        if (formula) {
            out->append('\'');
        }
        out->append(utf8);
        return;
    }
    out->append(formula ? "\"'" : "\"");
    for (const char c : utf8) {
        out->append(c);
        if (c == '"') {
            out->append('"');
        }
    }
    out->append('"');
}

QByteArray csvField(QByteArrayView utf8)
{
    QByteArray cell;
    appendCsvField(&cell, utf8);
    return cell;
}

QByteArray csv(const std::vector<SeedResult> &results, const Lexicon &lexicon)
{
    QByteArray out = "seed,word,relation,score\r\n";
    out.reserve(32 + total(results) * 48);
    for (const SeedResult &result : results) {
        const QByteArray seed = csvField(result.seed.toUtf8());
        if (result.associations.empty()) {
            out.append(seed).append(",,,\r\n");
        }
        for (const Association &association : result.associations) {
            out.append(seed).append(',');
            appendCsvField(&out, view(lexicon.word(association.word)));
            out.append(',');
            appendCsvField(&out, view(relationName(association.relation)));
            out.append(',');
            appendScore(&out, association.score);
            out.append("\r\n");
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
            out.append(",\"score\":");
            appendScore(&out, association.score);
            out.append('}');
        }
        out.append("]}");
    }
    out.append("]}\n");
    return out;
}

} // namespace ResultFiles
